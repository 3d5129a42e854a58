{ tag_order TABLE.DBF TAG: the record numbers of TABLE's rows, deleted rows
  included, one per line, in the order Free Pascal's TDbf walks them through
  TAG of the table's production .MDX. }
program tag_order;

{$mode objfpc}{$H+}

uses
  SysUtils, BaseUnix, Dbf;

{ Windows finds TABLE.MDX by any letter case. On a case-sensitive file system
  TDbf asks for TABLE.mdx unless the whole path is in capitals, so such a
  table gets a link by that name. }
procedure LinkIndexForTdbf(const TablePath: string);
var
  Wanted, Present: string;
begin
  Wanted := ChangeFileExt(TablePath, '.mdx');
  if UpperCase(TablePath) = TablePath then
    Wanted := UpperCase(Wanted);
  Present := ChangeFileExt(TablePath, '.MDX');
  if not FileExists(Wanted) and FileExists(Present) then
    { another run may have made the link a moment ago }
    if (fpSymlink(PChar(ExtractFileName(Present)), PChar(Wanted)) <> 0) and not FileExists(Wanted) then
      raise Exception.CreateFmt('cannot link %s to %s', [Wanted, Present]);
end;

var
  Table: TDbf;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'usage: tag_order TABLE.DBF TAG');
    Halt(64);
  end;
  Table := TDbf.Create(nil);
  try
    try
      LinkIndexForTdbf(ExpandFileName(ParamStr(1)));
      Table.FilePathFull := ExtractFilePath(ExpandFileName(ParamStr(1)));
      Table.TableName := ExtractFileName(ParamStr(1));
      Table.ReadOnly := True;
      Table.ShowDeleted := True;
      Table.Open;
      Table.IndexName := ParamStr(2);
      { TDbf falls back to row order, without a word, for a tag it cannot use }
      if not SameText(Table.IndexName, ParamStr(2)) then
        raise Exception.CreateFmt('TDbf cannot use tag %s of the .MDX of %s', [ParamStr(2), ParamStr(1)]);
      Table.First;
      while not Table.EOF do
      begin
        WriteLn(Table.PhysicalRecNo);
        Table.Next;
      end;
      Table.Close;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, 'tag_order: ', E.ClassName, ': ', E.Message);
        Halt(1);
      end;
    end;
  finally
    Table.Free;
  end;
end.

{ read_tdbf TABLE.DBF [TAG]: the table's live rows as UTF-8 CSV, in row order
  or, given TAG, walked through that tag of its production .MDX. }
program read_tdbf;

{$mode objfpc}{$H+}

uses
  SysUtils, Dbf, tdbf_csv;

var
  Table: TDbf;
begin
  if (ParamCount < 1) or (ParamCount > 2) then
  begin
    WriteLn(StdErr, 'usage: read_tdbf TABLE.DBF [TAG]');
    Halt(64);
  end;
  Table := TDbf.Create(nil);
  try
    try
      Table.FilePathFull := ExtractFilePath(ExpandFileName(ParamStr(1)));
      Table.TableName := ExtractFileName(ParamStr(1));
      Table.ReadOnly := True;
      Table.Open;
      if ParamCount = 2 then
      begin
        Table.IndexName := ParamStr(2);
        { TDbf falls back to row order, without a word, for a tag it cannot find }
        if not SameText(Table.IndexName, ParamStr(2)) then
          raise Exception.CreateFmt('TDbf finds no index tag %s in the .MDX of %s', [ParamStr(2), ParamStr(1)]);
      end;
      WriteStdOut(TableCsv(Table));
      Table.Close;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, 'read_tdbf: ', E.ClassName, ': ', E.Message);
        Halt(1);
      end;
    end;
  finally
    Table.Free;
  end;
end.

{ read_tdbf TABLE.DBF [TAG]: the table's live rows as UTF-8 CSV, in row order
  or, given TAG, walked through that tag of its production .MDX. }
program read_tdbf;

{$mode objfpc}{$H+}

uses
  SysUtils, BaseUnix, Dbf, tdbf_csv;

{ The production index beside TablePath whatever the letter case of its name,
  as Windows finds it; '' when there is none. }
function IndexBeside(const TablePath: string): string;
var
  Found: TSearchRec;
  Wanted: string;
begin
  Result := '';
  Wanted := ChangeFileExt(ExtractFileName(TablePath), '.mdx');
  if FindFirst(ExtractFilePath(TablePath) + '*', faAnyFile, Found) = 0 then
  try
    repeat
      if SameText(Found.Name, Wanted) then
        Result := ExtractFilePath(TablePath) + Found.Name;
    until (Result <> '') or (FindNext(Found) <> 0);
  finally
    FindClose(Found);
  end;
end;

procedure Link(const Target, Name: string);
begin
  if fpSymlink(PChar(Target), PChar(Name)) <> 0 then
    raise Exception.CreateFmt('cannot link %s to %s', [Name, Target]);
end;

var
  Table: TDbf;
  TablePath, IndexPath, View: string;
begin
  if (ParamCount < 1) or (ParamCount > 2) then
  begin
    WriteLn(StdErr, 'usage: read_tdbf TABLE.DBF [TAG]');
    Halt(64);
  end;
  { On a case-sensitive file system TDbf asks for "name.mdx" in small letters
    (in capitals only when the whole path is), so it reads the table through
    a folder of its own holding links by the names it asks for. }
  TablePath := ExpandFileName(ParamStr(1));
  IndexPath := IndexBeside(TablePath);
  View := IncludeTrailingPathDelimiter(GetTempDir(False)) + 'read_tdbf.' + IntToStr(GetProcessID) + PathDelim;
  Table := TDbf.Create(nil);
  try
    try
      if not FileExists(TablePath) then
        raise Exception.CreateFmt('%s does not exist', [TablePath]);
      ForceDirectories(View);
      Link(TablePath, View + ExtractFileName(TablePath));
      if IndexPath <> '' then
        Link(IndexPath, View + ChangeFileExt(ExtractFileName(TablePath), '.mdx'));
      Table.FilePathFull := View;
      Table.TableName := ExtractFileName(TablePath);
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
        ExitCode := 1;
      end;
    end;
  finally
    Table.Free;
    DeleteFile(View + ExtractFileName(TablePath));
    DeleteFile(View + ChangeFileExt(ExtractFileName(TablePath), '.mdx'));
    RemoveDir(View);
  end;
end.

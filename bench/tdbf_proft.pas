{ tdbf_proft ROWS OUTDIR LEVEL: the peer of Ludaro's teacher table for the
  scaling run. Free Pascal's TDbf creates PROFT.DBF with the same fields, a
  production .MDX with the tag ABREV, and appends the rows of ROWS (one
  teacher a line: ABREV, NOMBRE, X_EMPLEADO separated by tabs, cp1252). }
program tdbf_proft;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, DB, Dbf, Dbf_Fields;

procedure AddField(Defs: TDbfFieldDefs; const Name: string; Width: Integer);
begin
  with Defs.AddFieldDef do
  begin
    FieldName := Name;
    NativeFieldType := 'C';
    Size := Width;
  end;
end;

var
  Defs: TDbfFieldDefs;
  Table: TDbf;
  Rows: TextFile;
  Line: RawByteString;
  Tab1, Tab2: Integer;
  Abrev, Nombre, Empleado: TField;
begin
  if ParamCount <> 3 then
  begin
    WriteLn(StdErr, 'usage: tdbf_proft ROWS OUTDIR LEVEL');
    Halt(64);
  end;
  Defs := TDbfFieldDefs.Create(nil);
  Table := TDbf.Create(nil);
  try
    AddField(Defs, 'ABREV', 10);
    AddField(Defs, 'NOMBRE', 80);
    AddField(Defs, 'DEPART', 40);
    AddField(Defs, 'DNI', 15);
    AddField(Defs, 'EMAIL', 100);
    AddField(Defs, 'X_EMPLEADO', 10);
    Table.FilePathFull := IncludeTrailingPathDelimiter(ExpandFileName(ParamStr(2)));
    Table.TableName := 'PROFT.DBF';
    Table.TableLevel := StrToInt(ParamStr(3));
    Table.CreateTableEx(Defs);
    Table.Exclusive := True;
    Table.Open;
    Table.AddIndex('ABREV', 'ABREV', []);
    Abrev := Table.FieldByName('ABREV');
    Nombre := Table.FieldByName('NOMBRE');
    Empleado := Table.FieldByName('X_EMPLEADO');
    AssignFile(Rows, ParamStr(1));
    Reset(Rows);
    while not Eof(Rows) do
    begin
      ReadLn(Rows, Line);
      Tab1 := Pos(#9, Line);
      Tab2 := Pos(#9, Line, Tab1 + 1);
      if (Tab1 = 0) or (Tab2 = 0) then
        raise Exception.CreateFmt('%s: a line without three fields: %s', [ParamStr(1), Line]);
      Table.Append;
      Abrev.AsString := Copy(Line, 1, Tab1 - 1);
      Nombre.AsString := Copy(Line, Tab1 + 1, Tab2 - Tab1 - 1);
      Empleado.AsString := Copy(Line, Tab2 + 1, MaxInt);
      Table.Post;
    end;
    CloseFile(Rows);
    Table.Close;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, 'tdbf_proft: ', E.Message);
      Halt(1);
    end;
  end;
  Table.Free;
  Defs.Free;
end.

{ make_fixtures OUTDIR: Free Pascal's TDbf writes a small dBase IV table
  (TDBF4) and a small dBase 7 table (TDBF7), each with a production .MDX
  holding a character and a numeric tag, and beside each tag the record
  numbers TDbf walks through it, deleted rows included, one per line
  (<TABLE>.<TAG>.order). The unit tests read these .MDX files as a foreign
  writer's; run this again to regenerate them. }
program make_fixtures;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, Dbf, Dbf_Fields;

type
  TSample = record
    Name: string;
    Level: Integer;
    TextField, NumberField: string;  { each gets a tag of its own name }
    Texts: array of RawByteString;   { cp1252 }
    Numbers: array of Double;
    DeletedRow: Integer;             { 0-based }
  end;

function Samples: specialize TArray<TSample>;
begin
  Result := nil;
  SetLength(Result, 2);
  with Result[0] do
  begin
    Name := 'TDBF4';
    Level := 4;
    TextField := 'CODIGO';
    NumberField := 'IMPORTE';
    Texts := ['XAN', 'BEA', #$C1'NX', '', 'AND', 'BEA', 'ZZ', 'bea', #$D1'OR'];
    Numbers := [12.5, -4, 12.5, 0, 999.99, -0.25, 0.05, 30, -30];
    DeletedRow := 1;
  end;
  with Result[1] do
  begin
    Name := 'TDBF7';
    Level := 7;
    TextField := 'GRUPO';
    NumberField := 'ORDEN';
    Texts := ['1ESOA', 'CSOLD', #$D1'U', '', '2BACA', '1ESOA', 'OLA', #$C1'baco'];
    Numbers := [2, -1, 2, 0, 10, 7, -5, 8];
    DeletedRow := 4;
  end;
end;

procedure CreateAndFill(const Folder: string; const Sample: TSample);
var
  Defs: TDbfFieldDefs;
  Table: TDbf;
  R: Integer;
begin
  Defs := TDbfFieldDefs.Create(nil);
  Table := TDbf.Create(nil);
  try
    with Defs.AddFieldDef do
    begin
      FieldName := Sample.TextField;
      NativeFieldType := 'C';
      Size := 8;
    end;
    with Defs.AddFieldDef do
    begin
      FieldName := Sample.NumberField;
      NativeFieldType := 'N';
      Size := 8;
      Precision := 2;
    end;
    Table.FilePathFull := Folder;
    Table.TableName := Sample.Name + '.DBF';
    Table.TableLevel := Sample.Level;
    Table.CreateTableEx(Defs);
    Table.Exclusive := True;
    Table.Open;
    Table.AddIndex(Sample.TextField, Sample.TextField, []);
    Table.AddIndex(Sample.NumberField, Sample.NumberField, []);
    for R := 0 to High(Sample.Texts) do
    begin
      Table.Append;
      if Sample.Texts[R] <> '' then
        Table.Fields[0].AsString := Sample.Texts[R];
      Table.Fields[1].AsFloat := Sample.Numbers[R];
      Table.Post;
      if R = Sample.DeletedRow then
        Table.Delete;
    end;
    Table.Close;
  finally
    Table.Free;
    Defs.Free;
  end;
end;

procedure WriteOrder(const Folder: string; const Sample: TSample; const Tag: string);
var
  Table: TDbf;
  Lines: TStringList;
begin
  Table := TDbf.Create(nil);
  Lines := TStringList.Create;
  try
    Table.FilePathFull := Folder;
    Table.TableName := Sample.Name + '.DBF';
    Table.ReadOnly := True;
    Table.ShowDeleted := True;
    Table.Open;
    Table.IndexName := Tag;
    if not SameText(Table.IndexName, Tag) then
      raise Exception.CreateFmt('TDbf finds no tag %s in the .MDX it wrote for %s', [Tag, Sample.Name]);
    Table.First;
    while not Table.EOF do
    begin
      Lines.Add(IntToStr(Table.PhysicalRecNo));
      Table.Next;
    end;
    Table.Close;
    Lines.LineBreak := #10;
    Lines.SaveToFile(Folder + Sample.Name + '.' + Tag + '.order');
  finally
    Lines.Free;
    Table.Free;
  end;
end;

var
  Folder: string;
  Sample: TSample;
begin
  if ParamCount <> 1 then
  begin
    WriteLn(StdErr, 'usage: make_fixtures OUTDIR');
    Halt(64);
  end;
  try
    Folder := IncludeTrailingPathDelimiter(ExpandFileName(ParamStr(1)));
    ForceDirectories(Folder);
    for Sample in Samples do
    begin
      CreateAndFill(Folder, Sample);
      WriteOrder(Folder, Sample, Sample.TextField);
      WriteOrder(Folder, Sample, Sample.NumberField);
    end;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, 'make_fixtures: ', E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.

{ write_tdbf OUTDIR: TDbf writes a dBase IV table (TDBF4) and a dBase 7 table
  (TDBF7), each with a production .MDX holding a character and a numeric tag,
  accented text, blank values and one deleted row, and beside each what it
  says it wrote: <TABLE>.csv (live rows in row order) and <TABLE>.<TAG>.csv
  (walked through the tag), UTF-8 CSV in the form `ludaro-cli dump` prints. }
program write_tdbf;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, DB, Dbf, Dbf_Fields, tdbf_csv;

type
  TFieldLayout = record
    Name: string;
    NativeType: Char;
    Size, Decimals: Integer;
  end;
  TRow = array of RawByteString;  { one CSV value per field; '' is blank }

  TSample = record
    Name: string;
    Level: Integer;
    Fields: array of TFieldLayout;
    Tags: array of string;
    Rows: array of TRow;
    DeletedRow: Integer;  { 0-based }
  end;

function Field(const Name: string; NativeType: Char; Size, Decimals: Integer): TFieldLayout;
begin
  Result.Name := Name;
  Result.NativeType := NativeType;
  Result.Size := Size;
  Result.Decimals := Decimals;
end;

function Samples: specialize TArray<TSample>;
begin
  SetLength(Result, 2);
  with Result[0] do
  begin
    Name := 'TDBF4';
    Level := 4;
    Fields := [Field('CODIGO', 'C', 8, 0), Field('NOMBRE', 'C', 30, 0), Field('NUMERO', 'N', 6, 0),
      Field('NOTA', 'F', 10, 3), Field('ACTIVO', 'L', 1, 0)];
    Tags := ['CODIGO', 'NUMERO'];
    Rows := [
      TRow.Create('XAN', 'Xan Fernández Añón', '12', '7.25', 'T'),
      TRow.Create('BEA', 'Beatriz «Bea» Rúa, 2º', '-4', '-0.5', 'F'),
      TRow.Create('ÑOR', 'Noelia Ñoño Çarballo', '12', '10', 'T'),
      TRow.Create('', '', '', '', ''),
      TRow.Create('AND', 'André "Müller" € …', '0', '3.125', 'F'),
      TRow.Create('BEA', 'Bea Outra ª', '999', '0.125', 'T'),
      TRow.Create('ZZ', 'Zeltia Iglesias', '-4', '', 'F'),
      TRow.Create('OLA', 'Olalla Vázquez', '30', '-12.5', 'T'),
      TRow.Create('ábc', 'Álvaro Bello Cid', '-30', '1.75', 'F')];
    DeletedRow := 1;
  end;
  with Result[1] do
  begin
    Name := 'TDBF7';
    Level := 7;
    Fields := [Field('CONVOCATORIA', 'C', 12, 0), Field('NOMEABREVGRUPXADE', 'C', 30, 0),
      Field('GRUPO', 'C', 10, 0), Field('ORDEN', 'N', 5, 0), Field('NOTA', 'F', 10, 3), Field('ACTIVO', 'L', 1, 0)];
    Tags := ['GRUPO', 'ORDEN'];
    Rows := [
      TRow.Create('2024', '1º ESO A – Ciencias', '1ESOA', '2', '1.5', 'T'),
      TRow.Create('2024', 'Ciclo "Soldadura", ª', 'CSOLD', '-1', '-2.75', 'F'),
      TRow.Create('2023', 'Música ü', 'ÑU', '2', '0', 'T'),
      TRow.Create('', '', '', '', '', ''),
      TRow.Create('2024', 'Bacharelato — Artes', '2BACA', '10', '100.125', 'F'),
      TRow.Create('2024', 'Ximnasia ç', '1ESOA', '7', '3', ''),
      TRow.Create('2024', 'Óscar Álgebra', 'OLA', '-5', '0.5', 'T'),
      TRow.Create('2024', 'Ábaco e Cálculo', 'Ábaco', '8', '2.25', 'F')];
    DeletedRow := 4;
  end;
end;

procedure SetValue(Target: TField; const Layout: TFieldLayout; const Value: RawByteString);
var
  Dot: TFormatSettings;
begin
  if Value = '' then
    Exit;  { a new row starts blank }
  Dot := DefaultFormatSettings;
  Dot.DecimalSeparator := '.';
  case Layout.NativeType of
    'C': Target.AsString := Utf8ToCp1252(Value);
    'L': Target.AsBoolean := Value = 'T';
  else
    if Layout.Decimals = 0 then
      Target.AsLargeInt := StrToInt64(Value)
    else
      Target.AsFloat := StrToFloat(Value, Dot);
  end;
end;

procedure CreateAndFill(const Folder: string; const Sample: TSample);
var
  Defs: TDbfFieldDefs;
  Table: TDbf;
  I, R: Integer;
begin
  Defs := TDbfFieldDefs.Create(nil);
  Table := TDbf.Create(nil);
  try
    for I := 0 to High(Sample.Fields) do
      with Defs.AddFieldDef do
      begin
        FieldName := Sample.Fields[I].Name;
        NativeFieldType := Sample.Fields[I].NativeType;
        Size := Sample.Fields[I].Size;
        Precision := Sample.Fields[I].Decimals;
      end;
    Table.FilePathFull := Folder;
    Table.TableName := Sample.Name + '.DBF';
    Table.TableLevel := Sample.Level;
    Table.CreateTableEx(Defs);
    Table.Exclusive := True;
    Table.Open;
    for I := 0 to High(Sample.Tags) do
      Table.AddIndex(Sample.Tags[I], Sample.Tags[I], []);
    for R := 0 to High(Sample.Rows) do
    begin
      Table.Append;
      for I := 0 to High(Sample.Fields) do
        SetValue(Table.Fields[I], Sample.Fields[I], Sample.Rows[R][I]);
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

{ The live rows as the data above says they are. }
function IntendedCsv(const Sample: TSample): RawByteString;
var
  Header: array of RawByteString;
  I, R: Integer;
begin
  SetLength(Header, Length(Sample.Fields));
  for I := 0 to High(Sample.Fields) do
    Header[I] := Sample.Fields[I].Name;
  Result := CsvLine(Header);
  for R := 0 to High(Sample.Rows) do
    if R <> Sample.DeletedRow then
      Result := Result + CsvLine(Sample.Rows[R]);
end;

procedure WriteExpected(const Folder: string; const Sample: TSample);
var
  Table: TDbf;
  RowOrder: RawByteString;
  I: Integer;
begin
  Table := TDbf.Create(nil);
  try
    Table.FilePathFull := Folder;
    Table.TableName := Sample.Name + '.DBF';
    Table.ReadOnly := True;
    Table.Open;
    if Table.TableLevel <> Sample.Level then
      raise Exception.CreateFmt('%s reopens at level %d', [Sample.Name, Table.TableLevel]);
    RowOrder := TableCsv(Table);
    if RowOrder <> IntendedCsv(Sample) then
      raise Exception.CreateFmt('TDbf does not read back what it wrote to %s:'#10'%s', [Sample.Name, RowOrder]);
    WriteBytes(Folder + Sample.Name + '.csv', RowOrder);
    for I := 0 to High(Sample.Tags) do
    begin
      Table.IndexName := Sample.Tags[I];
      if not SameText(Table.IndexName, Sample.Tags[I]) then
        raise Exception.CreateFmt('TDbf finds no tag %s in the .MDX it wrote for %s', [Sample.Tags[I], Sample.Name]);
      WriteBytes(Folder + Sample.Name + '.' + Sample.Tags[I] + '.csv', TableCsv(Table));
    end;
    Table.Close;
  finally
    Table.Free;
  end;
end;

var
  Folder: string;
  Sample: TSample;
begin
  if ParamCount <> 1 then
  begin
    WriteLn(StdErr, 'usage: write_tdbf OUTDIR');
    Halt(64);
  end;
  try
    Folder := IncludeTrailingPathDelimiter(ExpandFileName(ParamStr(1)));
    ForceDirectories(Folder);
    for Sample in Samples do
    begin
      CreateAndFill(Folder, Sample);
      WriteExpected(Folder, Sample);
    end;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, 'write_tdbf: ', E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.

{ What the TDbf reader and writer of the interoperability tests share: cp1252
  to and from UTF-8 (TDbf hands text over as stored), and a table walked in
  its current order as UTF-8 CSV, in the form `ludaro-cli dump` prints. }
unit tdbf_csv;

{$mode objfpc}{$H+}

interface

uses
  Classes, SysUtils, DB, Dbf;

function Cp1252ToUtf8(const Stored: RawByteString): RawByteString;
function Utf8ToCp1252(const Text: RawByteString): RawByteString;
function CsvLine(const Values: array of RawByteString): RawByteString;
{ Header and every row from the first in the table's current order. }
function TableCsv(Table: TDbf): RawByteString;
procedure WriteBytes(const FileName: string; const Bytes: RawByteString);
procedure WriteStdOut(const Bytes: RawByteString);

implementation

const
  { cp1252 0x80..0x9F; 0 where the code page has no character }
  HighControls: array[$80..$9F] of Word = (
    $20AC, 0, $201A, $0192, $201E, $2026, $2020, $2021, $02C6, $2030, $0160, $2039, $0152, 0, $017D, 0,
    0, $2018, $2019, $201C, $201D, $2022, $2013, $2014, $02DC, $2122, $0161, $203A, $0153, 0, $017E, $0178);

function EncodeUtf8(CodePoint: Cardinal): RawByteString;
begin
  if CodePoint < $80 then
    Result := Chr(CodePoint)
  else if CodePoint < $800 then
    Result := Chr($C0 or (CodePoint shr 6)) + Chr($80 or (CodePoint and $3F))
  else
    Result := Chr($E0 or (CodePoint shr 12)) + Chr($80 or ((CodePoint shr 6) and $3F)) +
      Chr($80 or (CodePoint and $3F));
end;

function Cp1252ToUtf8(const Stored: RawByteString): RawByteString;
var
  I: Integer;
  B: Byte;
begin
  Result := '';
  for I := 1 to Length(Stored) do
  begin
    B := Ord(Stored[I]);
    if (B >= $80) and (B <= $9F) then
    begin
      if HighControls[B] = 0 then
        raise Exception.CreateFmt('byte $%.2x is not a cp1252 character', [B]);
      Result := Result + EncodeUtf8(HighControls[B]);
    end else
      Result := Result + EncodeUtf8(B);
  end;
end;

function Utf8ToCp1252(const Text: RawByteString): RawByteString;
var
  I, Extra, B: Integer;
  CodePoint: Cardinal;
begin
  Result := '';
  I := 1;
  while I <= Length(Text) do
  begin
    CodePoint := Ord(Text[I]);
    if CodePoint >= $F0 then begin Extra := 3; CodePoint := CodePoint and $07; end
    else if CodePoint >= $E0 then begin Extra := 2; CodePoint := CodePoint and $0F; end
    else if CodePoint >= $C0 then begin Extra := 1; CodePoint := CodePoint and $1F; end
    else Extra := 0;
    while (Extra > 0) and (I < Length(Text)) do
    begin
      Inc(I);
      CodePoint := (CodePoint shl 6) or (Ord(Text[I]) and $3F);
      Dec(Extra);
    end;
    Inc(I);
    if (CodePoint < $80) or ((CodePoint >= $A0) and (CodePoint <= $FF)) then
      Result := Result + Chr(CodePoint)
    else begin
      B := $80;
      while (B <= $9F) and (HighControls[B] <> CodePoint) do
        Inc(B);
      if B <= $9F then Result := Result + Chr(B) else Result := Result + '?';
    end;
  end;
end;

function CsvField(const Text: RawByteString): RawByteString;
begin
  if LastDelimiter(',"'#13#10, Text) = 0 then
    Result := Text
  else
    Result := '"' + StringReplace(Text, '"', '""', [rfReplaceAll]) + '"';
end;

function FieldText(Field: TField): RawByteString;
var
  Dot: TFormatSettings;
begin
  if Field.IsNull then
    Exit('');
  case Field.DataType of
    ftString, ftFixedChar:
      Result := TrimRight(Cp1252ToUtf8(Field.AsString));
    ftSmallint, ftInteger, ftWord, ftLargeint:
      Result := IntToStr(Field.AsLargeInt);
    ftFloat:
      begin
        Dot := DefaultFormatSettings;
        Dot.DecimalSeparator := '.';
        Result := FloatToStr(Field.AsFloat, Dot);
      end;
    ftBoolean:
      if Field.AsBoolean then Result := 'T' else Result := 'F';
  else
    raise Exception.CreateFmt('field %s has a type these tests do not print', [Field.FieldName]);
  end;
end;

function CsvLine(const Values: array of RawByteString): RawByteString;
var
  I: Integer;
begin
  Result := '';
  for I := 0 to High(Values) do
  begin
    if I > 0 then Result := Result + ',';
    Result := Result + CsvField(Values[I]);
  end;
  Result := Result + #10;
end;

function TableCsv(Table: TDbf): RawByteString;
var
  I: Integer;
  Values: array of RawByteString;
begin
  SetLength(Values, Table.FieldCount);
  for I := 0 to Table.FieldCount - 1 do
    Values[I] := Table.Fields[I].FieldName;
  Result := CsvLine(Values);
  Table.First;
  while not Table.EOF do
  begin
    for I := 0 to Table.FieldCount - 1 do
      Values[I] := FieldText(Table.Fields[I]);
    Result := Result + CsvLine(Values);
    Table.Next;
  end;
end;

procedure WriteToStream(Stream: TStream; const Bytes: RawByteString);
begin
  if Length(Bytes) > 0 then
    Stream.WriteBuffer(Bytes[1], Length(Bytes));
end;

procedure WriteBytes(const FileName: string; const Bytes: RawByteString);
var
  Stream: TFileStream;
begin
  Stream := TFileStream.Create(FileName, fmCreate);
  try
    WriteToStream(Stream, Bytes);
  finally
    Stream.Free;
  end;
end;

procedure WriteStdOut(const Bytes: RawByteString);
var
  Stream: THandleStream;
begin
  Stream := THandleStream.Create(StdOutputHandle);
  try
    WriteToStream(Stream, Bytes);
  finally
    Stream.Free;
  end;
end;

end.

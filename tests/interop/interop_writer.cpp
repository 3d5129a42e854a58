// interop_writer OUTDIR
//
// Writes, through the Table API alone, the tables that readers we did not
// write must be able to read, and beside each table what they must print:
// <TABLE>.csv (rows in row order) and <TABLE>.<TAG>.csv (rows in the order of
// that index tag), both UTF-8 CSV as `ludaro-cli dump` prints them.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numeric>
#include <string>
#include <vector>

#include "cli/csv_output.h"
#include "common/dbf/table.h"
#include "common/error.h"
#include "common/utf.h"

namespace {

using ludaro::dbf::FieldDef;
using ludaro::dbf::FieldType;

// Outside cp1252: it is stored, and reads back, as '?'.
const std::string kOutsideCp1252 = u8"王";

struct Sample {
  std::string name;
  int level;  // what the engine must choose for these field names
  std::vector<FieldDef> fields;
  std::vector<std::string> tags;
  // One text per field, exactly as the CSV shows it: text in UTF-8, numbers
  // in their shortest decimal form, logicals as T or F; "" is a blank value.
  std::vector<std::vector<std::string>> rows;
};

// Keys are out of order on insertion and some repeat; one row is all blank.
std::vector<Sample> Samples() {
  return {
      {"PROFES4",
       4,
       {FieldDef::Text("ABREV", 10), FieldDef::Text("NOMBRE", 40), FieldDef::Integer("HORAS"),
        FieldDef::Float("PESO"), FieldDef::Logical("ACTIVO")},
       {"ABREV", "HORAS"},
       {
           {"MAR", u8"María Núñez Pérez", "18", "1.5", "T"},
           {u8"ÁNG", u8"Ángel Castro Iglesias", "-3", "-12.75", "F"},
           {"ALB", u8"Alba Souto, \"A Coruña\"", "18", "0.1", "T"},
           {"", "", "", "", ""},
           {"MAR", u8"Xoán Ramón Cañizares", "0", "3.1416", "F"},
           {"ZOE", u8"Zoé Müller «€» Lopes", "7", "1234567.5", "T"},
           {u8"çº", u8"Conceição ª 1º … Brandão", "25", "-0.0625", "F"},
           {"MA", "Wang " + kOutsideCp1252 + u8" Lí", "100000", "2.25", "T"},
           {"abc", u8"Úrsula Ígüez ñandú", "-99999", "99.9999", ""},
           {u8"ÁNG", u8"Íñigo Óscar Çaña", "18", "0", "F"},
       }},
      {"GRUPOS7",
       7,
       {FieldDef::Text("CONVOCATORIA", 12), FieldDef::Text("NOMEABREVGRUPXADE", 40), FieldDef::Text("GRUPO", 10),
        FieldDef::Integer("ORDEN"), FieldDef::Float("FACTOR"), FieldDef::Logical("ACTIVO")},
       {"GRUPO", "ORDEN"},
       {
           {"2024", u8"1º ESO A – Ciencias", "1ESOA", "3", "0.5", "T"},
           {"2024", u8"2º Bacharelato «B»", "2BACB", "1", "-1.25", "F"},
           {"2024", u8"Ciclo, \"Soldadura\" ª", "CSOLD", "3", "12.125", "T"},
           {"", "", "", "", "", ""},
           {"2023", u8"Música — Señora ü", u8"ÑU", "-7", "1000.0001", "F"},
           {"2024", u8"Educación Física " + kOutsideCp1252, "1ESOA", "2", "0.75", "T"},
           {"2024", u8"Ximnasia € ç", "1ESOB", "10", "3", ""},
       }},
  };
}

std::string AsReadBack(std::string text) {
  for (std::size_t at = text.find(kOutsideCp1252); at != std::string::npos; at = text.find(kOutsideCp1252, at))
    text.replace(at, kOutsideCp1252.size(), "?");
  return text;
}

void SetField(ludaro::dbf::Table& table, const FieldDef& field, const std::string& text) {
  if (text.empty()) return;  // a new row starts blank
  switch (field.type) {
    case FieldType::Character:
      table.SetString(field.name, ludaro::Utf8ToU16(text));
      break;
    case FieldType::Numeric:
      table.SetInteger(field.name, std::stoll(text));
      break;
    case FieldType::Float:
      table.SetFloat(field.name, std::stod(text));
      break;
    case FieldType::Logical:
      table.SetBoolean(field.name, text == "T");
      break;
    case FieldType::Date:
      throw std::logic_error("the samples have no date fields");
  }
}

void WriteTable(const std::filesystem::path& folder, const Sample& sample) {
  ludaro::dbf::Table table(folder, sample.name);
  table.Create({sample.fields, sample.tags});
  table.SetExclusive(true);
  table.Open();
  if (table.Level() != sample.level)
    throw std::runtime_error(sample.name + " was written at level " + std::to_string(table.Level()) +
                             ", not " + std::to_string(sample.level));
  for (const auto& row : sample.rows) {
    table.Append();
    for (std::size_t i = 0; i < sample.fields.size(); ++i) SetField(table, sample.fields[i], row[i]);
    table.Post();
  }
  table.Close();
}

// The order a dBase reader walking the tag must give: by key, equal keys in
// row order. Character keys are compared blank-padded to the field's width by
// their stored bytes; the sample keys are Latin-1, whose cp1252 byte is the
// character's code, so comparing the 16-bit characters gives that order.
// Blank numbers index as 0.
std::vector<std::size_t> IndexOrder(const Sample& sample, const std::string& tag) {
  const auto field = std::find_if(sample.fields.begin(), sample.fields.end(),
                                  [&](const FieldDef& f) { return f.name == tag; });
  const std::size_t column = static_cast<std::size_t>(field - sample.fields.begin());
  std::vector<std::size_t> order(sample.rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (field->type == FieldType::Character) {
    std::vector<std::u16string> keys;
    for (const auto& row : sample.rows) {
      std::u16string key = ludaro::Utf8ToU16(row[column]);
      if (std::any_of(key.begin(), key.end(), [](char16_t c) { return c > 0xFF; }) ||
          key.size() > static_cast<std::size_t>(field->width))
        throw std::logic_error("sample key '" + row[column] + "' is not Latin-1 or too long for its field");
      key.resize(static_cast<std::size_t>(field->width), u' ');
      keys.push_back(key);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  } else {
    std::vector<double> keys;
    for (const auto& row : sample.rows) keys.push_back(row[column].empty() ? 0.0 : std::stod(row[column]));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  }
  return order;
}

void WriteExpected(const std::filesystem::path& file, const Sample& sample, const std::vector<std::size_t>& order) {
  std::vector<std::string> header;
  for (const auto& field : sample.fields) header.push_back(field.name);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << ludaro::cli::CsvLine(header);
  for (std::size_t row : order) {
    std::vector<std::string> values;
    for (const auto& text : sample.rows[row]) values.push_back(AsReadBack(text));
    out << ludaro::cli::CsvLine(values);
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: interop_writer OUTDIR\n";
    return 64;
  }
  try {
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& sample : Samples()) {
      WriteTable(folder, sample);
      std::vector<std::size_t> rowOrder(sample.rows.size());
      std::iota(rowOrder.begin(), rowOrder.end(), std::size_t{0});
      WriteExpected(folder / (sample.name + ".csv"), sample, rowOrder);
      for (const auto& tag : sample.tags)
        WriteExpected(folder / (sample.name + "." + tag + ".csv"), sample, IndexOrder(sample, tag));
    }
  } catch (const std::exception& error) {
    std::cerr << "interop_writer: " << error.what() << '\n';
    return 1;
  }
  return 0;
}

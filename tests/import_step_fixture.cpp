#include "tests/import_step_fixture.h"

#include <set>

#include "common/case_fold.h"
#include "common/dbf/table.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "import/import_tables.h"

namespace ludaro::test {

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (const auto& field : fields) {
    if (!line.empty()) line += ',';
    line += '"';
    for (char c : field) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line;
}

void ImportStepTest::WriteCursos(const std::vector<std::string>& codCursos) const {
  dbf::Table cursos(htemp(), kCursosTable);
  cursos.Create(CursosTableDef());
  cursos.Open();
  for (const auto& code : codCursos) {
    cursos.Append();
    cursos.SetString("NIVEL", u"N");
    cursos.SetString("CURSO", u"1");
    cursos.SetString("NOMECURSO", Utf8ToU16("Curso " + code));
    cursos.SetString("CODCURSO", Utf8ToU16(code));
    cursos.Post();
  }
  cursos.Close();
}

void ImportStepTest::WriteGrupos(const std::vector<Grupo>& grupos) const {
  dbf::Table table(htemp(), kGruposTable);
  table.Create(GruposTableDef());
  table.Open();
  for (const auto& grupo : grupos) {
    table.Append();
    table.SetString("ABREV", Utf8ToU16(grupo.abrev));
    table.SetString("TURNO", Utf8ToU16(grupo.turno));
    table.SetString("NIVEL", Utf8ToU16(grupo.nivel));
    table.SetString("CURSO", Utf8ToU16(grupo.curso));
    table.SetString("GRUPO", Utf8ToU16(grupo.grupo));
    table.SetString("CODGRUXADE", Utf8ToU16(grupo.codGrupo));
    table.SetString("CODSUBGRUXADE", Utf8ToU16(grupo.codSubgrupo));
    table.SetString("CODCURSOXADE", Utf8ToU16(grupo.codCurso));
    table.Post();
  }
  table.Close();
}

void ImportStepTest::ExpectUniqueAbbreviations(const std::string& table, const std::string& field,
                                               const std::string& skipWhenTrue) const {
  dbf::Table handle(htemp(), table);
  handle.Open();
  std::set<std::u16string> folded;
  for (handle.First(); !handle.Eof(); handle.Next()) {
    if (!skipWhenTrue.empty() && handle.AsBoolean(skipWhenTrue)) continue;
    const std::u16string value = handle.AsString(field);
    EXPECT_FALSE(value.empty()) << table << " has an empty " << field;
    EXPECT_LE(value.size(), 10u) << U16ToUtf8(value);
    EXPECT_TRUE(folded.insert(FoldCase(value)).second) << table << "." << field << " repeats " << U16ToUtf8(value);
  }
}

std::vector<std::string> ImportStepTest::Layout(const std::string& table) const {
  dbf::Table handle(htemp(), table);
  handle.Open();
  std::vector<std::string> layout;
  for (const auto& field : handle.Fields())
    layout.push_back(field.name + ":" + field.type + std::to_string(field.width));
  return layout;
}

bool ImportStepTest::TableExists(const std::string& table) const {
  return platform::FindFileIgnoringCase(htemp() / (table + ".DBF")).has_value();
}

}  // namespace ludaro::test

#include "tests/horalia_tables.h"

#include "common/dbf/table.h"
#include "common/utf.h"

namespace ludaro::test {
namespace {

using dbf::FieldDef;

template <typename Row, typename Fill>
void Write(const std::filesystem::path& htemp, const char* name, const dbf::TableDef& definition,
           const std::vector<Row>& rows, Fill fill) {
  dbf::Table table(htemp, name);
  table.Create(definition);
  table.Open();
  for (const auto& row : rows) {
    table.Append();
    fill(table, row);
    table.Post();
  }
  table.Close();
}

}  // namespace

bool operator==(const PlantillaRow& a, const PlantillaRow& b) {
  return a.hora == b.hora && a.horaIni == b.horaIni && a.horaFin == b.horaFin;
}

void PrintTo(const PlantillaRow& row, std::ostream* out) {
  *out << row.hora << " " << U16ToUtf8(row.horaIni) << "-" << U16ToUtf8(row.horaFin);
}

void WriteGrupos(const std::filesystem::path& htemp, const std::vector<GrupoRow>& rows) {
  dbf::TableDef definition;
  for (const auto& [name, width] : std::vector<std::pair<const char*, int>>{
           {"ABREV", 10}, {"TURNO", 1}, {"NIVEL", 5}, {"CURSO", 3}, {"GRUPO", 2}, {"MARCO", 1}, {"NUMALUMN", 2},
           {"DESCRIP", 80}, {"TUTOR", 10}, {"CODGRUXADE", 15}, {"CODSUBGRUXADE", 15}, {"CODCURSOXADE", 15},
           {"NOMEGRUPOXADE", 100}, {"NOMEABREVGRUPXADE", 100}, {"NOMESUBGRUXADE", 100},
           {"NOMEABREVSUBGRUXADE", 100}, {"NOMECURSOXADE", 100}})
    definition.fields.push_back(FieldDef::Text(name, width));
  Write(htemp, "GRUPOST", definition, rows, [](dbf::Table& table, const GrupoRow& row) {
    table.SetString("ABREV", row.abrev);
    table.SetString("NOMEABREVSUBGRUXADE", row.subgrupo);
    table.SetString("NOMEABREVGRUPXADE", row.grupo);
    table.SetString("CODCURSOXADE", row.codCurso);
  });
}

void WriteAsignaturas(const std::filesystem::path& htemp, const std::vector<AsignaturaRow>& rows) {
  const dbf::TableDef definition{{FieldDef::Text("COD", 10), FieldDef::Text("CODLARGO", 10),
                                  FieldDef::Text("NOMBRE", 80), FieldDef::Text("CODMATERIA", 20),
                                  FieldDef::Text("CODCURSO", 20), FieldDef::Logical("ESTAREA"),
                                  FieldDef::Text("CODTAREA", 10), FieldDef::Text("ABREVXADE", 100)},
                                 {}};
  Write(htemp, "ASIGNOMT2", definition, rows, [](dbf::Table& table, const AsignaturaRow& row) {
    table.SetString("COD", row.cod);
    table.SetString("CODCURSO", row.codCurso);
    table.SetString("ABREVXADE", row.abrevXade);
    table.SetBoolean("ESTAREA", row.codCurso.empty());
  });
}

void WriteProfesores(const std::filesystem::path& htemp, const std::vector<ProfesorRow>& rows) {
  const dbf::TableDef definition{{FieldDef::Text("ABREV", 10), FieldDef::Text("NOMBRE", 80),
                                  FieldDef::Text("DEPART", 40), FieldDef::Text("DNI", 15),
                                  FieldDef::Text("EMAIL", 100), FieldDef::Text("X_EMPLEADO", 10)},
                                 {"ABREV"}};
  Write(htemp, "PROFT", definition, rows, [](dbf::Table& table, const ProfesorRow& row) {
    table.SetString("ABREV", row.abrev);
    table.SetString("NOMBRE", row.nombre);
  });
}

void WriteAulas(const std::filesystem::path& htemp) {
  dbf::Table(htemp, "AULAT").Create({{FieldDef::Text("ABREV", 10), FieldDef::Text("NOMBRE", 80)}, {"ABREV"}});
}

void WriteSoluc(const std::filesystem::path& htemp, const std::vector<SolucRow>& rows) {
  const dbf::TableDef definition{
      {FieldDef::Text("ASIG", 4), FieldDef::Text("PROF", 4), FieldDef::Text("CODGRUPO", 4), FieldDef::Text("TURNO", 1),
       FieldDef::Text("NIVEL", 5), FieldDef::Text("CURSO", 3), FieldDef::Text("GRUPO", 1), FieldDef::Text("AULA", 4),
       FieldDef::Float("DIA"), FieldDef::Float("HORA"), FieldDef::Float("SESIONES")},
      {"PROF", "ASIG"}};
  Write(htemp, "SOLUC", definition, rows, [](dbf::Table& table, const SolucRow& row) {
    table.SetString("ASIG", row.asig);
    table.SetString("PROF", row.prof);
    table.SetString("CODGRUPO", row.codGrupo);
    table.SetString("AULA", row.aula);
    table.SetFloat("DIA", row.dia);
    table.SetFloat("HORA", row.hora);
    table.SetFloat("SESIONES", row.sesiones);
  });
}

void WriteDiasHoras(const std::filesystem::path& htemp, const std::vector<DiasHorasRow>& rows) {
  const dbf::TableDef definition{
      {FieldDef::Text("DIHO", 10), FieldDef::Text("CODDIHO", 10), FieldDef::Text("DIA", 20),
       FieldDef::Text("TEXTODIA", 20), FieldDef::Text("HORA", 8), FieldDef::Text("TEXTOHOR", 15),
       FieldDef::Text("HORADESDE", 8), FieldDef::Text("HORAHASTA", 8), FieldDef::Text("MINUTOS", 8),
       FieldDef::Integer("SESION_ORDEN"), FieldDef::Text("PLANTILLA", 20)},
      {}};
  Write(htemp, "DIASHORAST", definition, rows, [](dbf::Table& table, const DiasHorasRow& row) {
    table.SetString("DIA", row.dia);
    table.SetString("HORA", row.hora);
    table.SetString("HORADESDE", row.desde);
    table.SetString("HORAHASTA", row.hasta);
  });
}

void WritePlantilla(const std::filesystem::path& htemp, const std::vector<PlantillaRow>& rows) {
  const dbf::TableDef definition{
      {FieldDef::Integer("HORA"), FieldDef::Text("HORAINI", 5), FieldDef::Text("HORAFIN", 5)}, {"HORA"}};
  Write(htemp, "PLANTILLA", definition, rows, [](dbf::Table& table, const PlantillaRow& row) {
    table.SetInteger("HORA", row.hora);
    table.SetString("HORAINI", row.horaIni);
    table.SetString("HORAFIN", row.horaFin);
  });
}

std::vector<PlantillaRow> ReadPlantilla(const std::filesystem::path& htemp) {
  dbf::Table table(htemp, "PLANTILLA");
  table.Open();
  std::vector<PlantillaRow> rows;
  for (table.First(); !table.Eof(); table.Next())
    rows.push_back({table.AsInteger("HORA"), table.AsString("HORAINI"), table.AsString("HORAFIN")});
  return rows;
}

void WriteSchoolTranslations(const std::filesystem::path& htemp) {
  WriteGrupos(htemp, {{u"1A", u"", u"1ESO-A", u"2301"}, {u"1AD", u"1ESO-A-DESD", u"1ESO-A", u"2301"}});
  WriteAsignaturas(htemp, {{u"MAT", u"2301", u"MAT1"}, {u"FIS", u"2301", u"FQ"}, {u"GARD", u"", u""}});
  WriteProfesores(htemp, {{u"P01", u"DOCENTE UNO"}, {u"P02", u"DOCENTE DOUS"}});
  WriteAulas(htemp);
}

void WriteSchool(const std::filesystem::path& htemp) {
  WriteSchoolTranslations(htemp);
  WritePlantilla(htemp, {{1, u"08:00", u"08:55"},
                         {2, u"08:55", u"09:50"},
                         {3, u"09:50", u"10:45"},
                         {4, u"11:05", u"12:00"},
                         {5, u"12:00", u"12:55"},
                         {6, u"12:55", u"13:50"}});
  WriteDiasHoras(htemp, {{u"2", u"9", u"12:30", u"13:00"}, {u"2", u"10", u"13:00:00", u"13:30:00"}});
}

ExportFolders::ExportFolders() {
  std::filesystem::create_directory(htemp);
  std::filesystem::create_directory(xade);
}

}  // namespace ludaro::test

#include "import/timetable_tables.h"

namespace ludaro {

using dbf::FieldDef;

const dbf::TableDef& MateriasTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("COD", kAbbreviationWidth), FieldDef::Text("CODLARGO", 10), FieldDef::Text("NOMBRE", 80),
       FieldDef::Logical("ESTAREA"), FieldDef::Text("CODTAREA", 10), FieldDef::Text("CODLARGO2", 50)},
      {}};
  return definition;
}

const dbf::TableDef& OfertaMateriasTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("COD", kAbbreviationWidth), FieldDef::Text("CODLARGO", 10), FieldDef::Text("NOMBRE", 80),
       FieldDef::Text("CODMATERIA", 20), FieldDef::Text("CODCURSO", 20), FieldDef::Logical("ESTAREA"),
       FieldDef::Text("CODTAREA", 10), FieldDef::Text("ABREVXADE", 100)},
      {}};
  return definition;
}

const dbf::TableDef& ProfesoresTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("ABREV", kAbbreviationWidth), FieldDef::Text("NOMBRE", 80), FieldDef::Text("DEPART", 40),
       FieldDef::Text("DNI", 15), FieldDef::Text("EMAIL", 100), FieldDef::Text("X_EMPLEADO", 10)},
      {"ABREV"}};
  return definition;
}

const dbf::TableDef& AulasTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("ABREV", kAbbreviationWidth), FieldDef::Text("NOMBRE", 80), FieldDef::Text("EDIFICIO", 1),
       FieldDef::Integer("MAXALUM"), FieldDef::Text("CODAULA", 10)},
      {}};
  return definition;
}

const dbf::TableDef& AsignacionesTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("CASIG", 10), FieldDef::Text("CPROF", 10), FieldDef::Text("CGRUP", 10),
       FieldDef::Text("CAULA", 10), FieldDef::Text("TURNO", 1), FieldDef::Text("NIVEL", 5),
       FieldDef::Text("CURSO", 3), FieldDef::Text("GRUPO", 2), FieldDef::Float("HORAS"),
       FieldDef::Text("SESIONES", 20), FieldDef::Text("NCONEX", 4), FieldDef::Text("CLAVE", 10),
       FieldDef::Text("CLAVECURSO", 10), FieldDef::Text("CTAREA", 10)},
      {}};
  return definition;
}

}  // namespace ludaro

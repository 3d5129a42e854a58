#pragma once

// The working tables of subjects, teachers, classrooms and subject-group
// assignments, each defined once: Horalia and the export read them by these
// exact names, field orders and widths.

#include "common/dbf/table.h"

namespace ludaro {

inline constexpr const char* kMateriasTable = "ASIGNOMT";
inline constexpr const char* kOfertaMateriasTable = "ASIGNOMT2";
inline constexpr const char* kProfesoresTable = "PROFT";
inline constexpr const char* kAulasTable = "AULAT";
inline constexpr const char* kAsignacionesTable = "ASIGT";

// Width of the abbreviation fields: ASIGNOMT.COD, PROFT.ABREV, AULAT.ABREV.
inline constexpr int kAbbreviationWidth = 10;

// COD, CODLARGO, NOMBRE, ESTAREA, CODTAREA, CODLARGO2; no index.
const dbf::TableDef& MateriasTableDef();
// COD, CODLARGO, NOMBRE, CODMATERIA, CODCURSO, ESTAREA, CODTAREA, ABREVXADE; no index.
const dbf::TableDef& OfertaMateriasTableDef();
// ABREV, NOMBRE, DEPART, DNI, EMAIL, X_EMPLEADO with the tag ABREV.
const dbf::TableDef& ProfesoresTableDef();
// ABREV, NOMBRE, EDIFICIO, MAXALUM, CODAULA; no index.
const dbf::TableDef& AulasTableDef();
// CASIG, CPROF, CGRUP, CAULA, TURNO, NIVEL, CURSO, GRUPO, HORAS, SESIONES,
// NCONEX, CLAVE, CLAVECURSO, CTAREA; no index.
const dbf::TableDef& AsignacionesTableDef();

}  // namespace ludaro

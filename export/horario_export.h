#pragma once

// The timetable export proper: Horalia's solution SOLUC, row by row, turned
// into the lines XADE wants, with Horalia's short codes translated back into
// XADE's texts through the tables the import wrote.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/dbf/table.h"
#include "common/session/run_log.h"
#include "common/session/user_dialog.h"

namespace ludaro {

inline constexpr const char* kHorarioTable = "HORARIOXADECSV";

// NLIN, DIASEM, HORAINI, GRUPO_SUBGRU, MATERIA, PROFESOR, RESERVADO, AULA.
const dbf::TableDef& HorarioTableDef();

// "Luns" to "Domingo" for days 1 to 7; empty for any other day.
std::u16string NombreDia(std::int64_t dia);

// The open tables the export reads. `profesores` must have the index ABREV
// selected; the others are read in stored order.
struct HorarioFuentes {
  dbf::Table& soluc;
  dbf::Table& grupos;       // GRUPOST
  dbf::Table& profesores;   // PROFT
  dbf::Table& asignaturas;  // ASIGNOMT2
  dbf::Table& diasHoras;    // DIASHORAST
};

// The start times of the template, in the order of its tag HORA. An hour
// that starts before the one above it ends (or starts) is told to `log`.
std::vector<std::u16string> LeerHorasInicio(const std::filesystem::path& htemp, RunLog& log = NullRunLog());

// Walks SOLUC and appends to `horario` (open, empty) one row per taught
// hour, numbered from 1. Rows of day 0, and rows whose teacher or subject is
// unknown, give no line. A whole number of sessions takes its start times
// from `horasInicio` by position; a block of a fractional number of sessions
// gives one line starting at its slot of DIASHORAST. A position outside
// `horasInicio` stops the walk with "List index out of bounds (n)". Every
// line written and every SOLUC row left out is told to `log`, and so is a
// row whose hour neither the template nor DIASHORAST has. Returns the
// number of lines.
std::uint64_t LlenarHorario(HorarioFuentes& fuentes, const std::vector<std::u16string>& horasInicio,
                            dbf::Table& horario, UserDialog& dialog, RunLog& log);

}  // namespace ludaro

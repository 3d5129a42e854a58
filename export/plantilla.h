#pragma once

// The school's hour template, PLANTILLA.DBF in the working folder: one row
// per teaching hour with its number and start and end times. It outlives
// every run as the school's memory of its timetable; only an empty or missing
// template is built again, from Horalia's day-and-hour table or from twenty
// default hours.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/dbf/table.h"
#include "common/session/run_log.h"

namespace ludaro {

inline constexpr const char* kPlantillaTable = "PLANTILLA";
inline constexpr const char* kPlantillaTag = "HORA";

// HORA (integer), HORAINI and HORAFIN (text of 5), with the tag HORA.
const dbf::TableDef& PlantillaTableDef();

struct HoraPlantilla {
  std::int64_t hora = 0;
  std::u16string horaIni;
  std::u16string horaFin;
};

// Hours 1 to 20 from 08:00, the last four after midnight.
std::vector<HoraPlantilla> HorasPorDefecto();

enum class OrigenPlantilla {
  Conservada,   // a template with rows was there and is kept as it was
  DiasHoras,    // built from the hours of day 1 of DIASHORAST
  PorDefecto,   // built from the twenty default hours
};

// The data part of PlantillaCentro. `diasHoras` is the handle on Horalia's
// DIASHORAST; when the template is built from it, it is left open for the
// timetable export. The rows of a template built are told to `log`.
OrigenPlantilla PrepararPlantilla(const std::filesystem::path& htemp, dbf::Table& diasHoras, RunLog& log);

// A start time the school can use: HH:MM from 00:00 to 24:00.
bool EsHoraInicioValida(std::u16string_view text);

// What the user is told when a typed start time is refused.
std::u16string HoraInicioNoValida(std::u16string_view text);

}  // namespace ludaro

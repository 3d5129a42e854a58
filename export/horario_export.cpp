#include "export/horario_export.h"

#include <cmath>
#include <optional>

#include "common/error.h"
#include "common/utf.h"
#include "export/plantilla.h"

namespace ludaro {
namespace {

constexpr std::uint64_t kProgressRows = 4096;

std::u16string Decimal(std::int64_t number) { return Utf8ToU16(std::to_string(number)); }

// The slot of DIASHORAST where a fractional block starts: hours count two
// slots each, and a block starting half way through an hour takes the second.
std::optional<std::int64_t> SlotOfFractionalBlock(float hora) {
  const float whole = std::trunc(hora);
  // Beyond this no timetable has slots, and the arithmetic stays exact.
  if (std::fabs(whole) > 1e9f) return std::nullopt;
  const auto wholeNumber = static_cast<std::int64_t>(whole);
  return hora == whole ? 2 * wholeNumber - 1 : 2 * wholeNumber;
}

struct Grupo {
  std::u16string texto;
  std::u16string codCurso;
};

Grupo FindGrupo(dbf::Table& grupos, const std::u16string& codGrupo) {
  if (!grupos.Locate("ABREV", {codGrupo})) return {};
  std::u16string texto = grupos.AsString("NOMEABREVSUBGRUXADE");
  if (texto.empty()) texto = grupos.AsString("NOMEABREVGRUPXADE");
  return {std::move(texto), grupos.AsString("CODCURSOXADE")};
}

// "HH:MM" (or "H:MM") as minutes after midnight; nothing for any other text.
std::optional<int> MinutesOf(const std::u16string& time) {
  const std::size_t colon = time.find(u':');
  if (colon == std::u16string::npos || colon == 0 || colon > 2 || time.size() != colon + 3) return std::nullopt;
  int minutes = 0;
  for (std::size_t i = 0; i < time.size(); ++i) {
    if (i == colon) continue;
    if (time[i] < u'0' || time[i] > u'9') return std::nullopt;
    minutes = minutes * 10 + (time[i] - u'0');
  }
  const int hours = minutes / 100;
  const int rest = minutes % 100;
  if (hours > 23 || rest > 59) return std::nullopt;
  return hours * 60 + rest;
}

}  // namespace

const dbf::TableDef& HorarioTableDef() {
  static const dbf::TableDef definition{{
      dbf::FieldDef::Integer("NLIN"),
      dbf::FieldDef::Text("DIASEM", 10),
      dbf::FieldDef::Text("HORAINI", 5),
      dbf::FieldDef::Text("GRUPO_SUBGRU", 200),
      dbf::FieldDef::Text("MATERIA", 200),
      dbf::FieldDef::Text("PROFESOR", 200),
      dbf::FieldDef::Text("RESERVADO", 50),
      dbf::FieldDef::Text("AULA", 100),
  }, {}};
  return definition;
}

std::u16string NombreDia(std::int64_t dia) {
  static const char16_t* const kNames[] = {u"Luns", u"Martes", u"Mércores", u"Xoves",
                                           u"Venres", u"Sábado", u"Domingo"};
  return dia >= 1 && dia <= 7 ? kNames[dia - 1] : u"";
}

std::vector<std::u16string> LeerHorasInicio(const std::filesystem::path& htemp, RunLog& log) {
  dbf::Table plantilla(htemp, kPlantillaTable);
  plantilla.SetIndexName(kPlantillaTag);
  plantilla.Open();
  const std::string file = plantilla.path().u8string();
  std::vector<std::u16string> horas;
  horas.reserve(plantilla.RecordCount());
  // The hour above: where it starts and ends, in minutes, and its record.
  std::optional<int> lastStart;
  std::optional<int> lastEnd;
  long lastRecord = 0;
  for (plantilla.First(); !plantilla.Eof(); plantilla.Next()) {
    horas.push_back(plantilla.AsString("HORAINI"));
    const auto start = MinutesOf(horas.back());
    const auto end = MinutesOf(plantilla.AsString("HORAFIN"));
    const auto record = static_cast<long>(plantilla.RecNo());
    if (start && ((lastStart && *start <= *lastStart) || (lastEnd && *start < *lastEnd)))
      log.DataWarned(DataWarning::TemplateOutOfOrder, file, record, plantilla.AsString("HORA"), horas.back(), {},
                     lastRecord);
    // An hour without a time of its own is passed over, not compared.
    if (start) {
      lastStart = start;
      lastEnd = end;
      lastRecord = record;
    }
  }
  plantilla.Close();
  return horas;
}

std::uint64_t LlenarHorario(HorarioFuentes& fuentes, const std::vector<std::u16string>& horasInicio,
                            dbf::Table& horario, UserDialog& dialog, RunLog& log) {
  dbf::Table& soluc = fuentes.soluc;
  const std::string solucFile = soluc.path().u8string();
  std::uint64_t lineas = 0;
  std::uint64_t filas = 0;
  std::vector<std::u16string> inicios;
  for (soluc.First(); !soluc.Eof(); soluc.Next()) {
    if (++filas % kProgressRows == 0) dialog.Progress(u"Horario", filas);
    const std::int64_t dia = soluc.AsInteger("DIA");
    if (dia == 0) {
      log.RowLeftOut(LeftOutReason::UnplacedSession, solucFile, static_cast<long>(soluc.RecNo()),
                     soluc.AsString("ASIG"));
      continue;
    }

    const std::u16string asignatura = soluc.AsString("ASIG");
    const std::u16string aula = soluc.AsString("AULA");
    const std::u16string nombreDia = NombreDia(dia);
    const std::int64_t h = soluc.AsInteger("HORA");

    const std::u16string prof = soluc.AsString("PROF");
    if (!fuentes.profesores.FindKey({prof})) {
      log.RowLeftOut(LeftOutReason::UnknownTeacher, solucFile, static_cast<long>(soluc.RecNo()), prof);
      continue;
    }
    const std::u16string profesor = fuentes.profesores.AsString("NOMBRE");

    const std::int64_t n = soluc.AsInteger("SESIONES");
    const auto nDecSesiones = static_cast<float>(soluc.AsFloat("SESIONES"));
    const auto nDecHora = static_cast<float>(soluc.AsFloat("HORA"));

    const Grupo grupo = FindGrupo(fuentes.grupos, soluc.AsString("CODGRUPO"));
    if (!fuentes.asignaturas.Locate("COD;CODCURSO", {asignatura, grupo.codCurso})) {
      log.RowLeftOut(LeftOutReason::UnknownSubject, solucFile, static_cast<long>(soluc.RecNo()),
                     asignatura + u", curso " + grupo.codCurso);
      continue;
    }
    const std::u16string materia = fuentes.asignaturas.AsString("ABREVXADE");

    inicios.clear();
    if (nDecSesiones - std::trunc(nDecSesiones) == 0.0f) {
      for (std::int64_t j = 0; j < n; ++j) {
        const std::int64_t position = h - 1 + j;
        if (position < 0 || position >= static_cast<std::int64_t>(horasInicio.size())) {
          log.DataWarned(DataWarning::SessionOutsideTemplate, solucFile, static_cast<long>(soluc.RecNo()),
                         Decimal(position + 1),
                         u"materia " + asignatura + u", grupo " + soluc.AsString("CODGRUPO") +
                             u": la plantilla no tiene esa hora",
                         {}, 0);
          throw Error("List index out of bounds (" + std::to_string(position) + ")", soluc.path().string(),
                      static_cast<long>(filas));
        }
        inicios.push_back(horasInicio[static_cast<std::size_t>(position)]);
      }
    } else {
      std::u16string inicio;
      bool found = false;
      if (const auto slot = SlotOfFractionalBlock(nDecHora)) {
        found = fuentes.diasHoras.Locate("DIA;HORA", {Decimal(dia), Decimal(*slot)});
        if (found) inicio = fuentes.diasHoras.AsString("HORADESDE");
      }
      // Its line is written all the same, with no start time.
      if (!found)
        log.DataWarned(DataWarning::SessionOutsideTemplate, solucFile, static_cast<long>(soluc.RecNo()),
                       soluc.AsString("HORA"),
                       u"materia " + asignatura + u", grupo " + soluc.AsString("CODGRUPO") + u", día " + Decimal(dia) +
                           u": DIASHORAST.DBF no tiene esa media hora; la línea queda sin hora de inicio",
                       {}, 0);
      inicios.push_back(std::move(inicio));
    }

    for (const auto& inicio : inicios) {
      horario.Append();
      horario.SetInteger("NLIN", static_cast<std::int64_t>(++lineas));
      horario.SetString("DIASEM", nombreDia);
      horario.SetString("HORAINI", inicio);
      horario.SetString("GRUPO_SUBGRU", grupo.texto);
      horario.SetString("MATERIA", materia);
      horario.SetString("PROFESOR", profesor);
      horario.SetString("RESERVADO", u"");
      horario.SetString("AULA", aula);
      horario.Post();
      log.RowWritten(kHorarioTable);
    }
  }
  return lineas;
}

}  // namespace ludaro

#include "export/plantilla.h"

#include <optional>

#include "common/platform/platform.h"
#include "export/horalia_tables.h"

namespace ludaro {
namespace {

// The hour in decimal followed by ":00", with one leading "0" when shorter
// than five characters.
std::u16string WholeHour(int hour) {
  std::u16string text;
  for (char c : std::to_string(hour) + ":00") text.push_back(static_cast<char16_t>(c));
  if (text.size() < 5) text.insert(text.begin(), u'0');
  return text;
}

std::optional<std::filesystem::path> ExistingFile(const std::filesystem::path& htemp, const char* table) {
  return platform::FindFileIgnoringCase(htemp / (std::string(table) + ".DBF"));
}

void AppendHour(dbf::Table& plantilla, std::int64_t hora, std::u16string_view horaIni, std::u16string_view horaFin,
                RunLog& log) {
  plantilla.Append();
  plantilla.SetInteger("HORA", hora);
  plantilla.SetString("HORAINI", horaIni);
  plantilla.SetString("HORAFIN", horaFin);
  plantilla.Post();
  log.RowWritten(kPlantillaTable);
}

}  // namespace

const dbf::TableDef& PlantillaTableDef() {
  static const dbf::TableDef definition{
      {dbf::FieldDef::Integer("HORA"), dbf::FieldDef::Text("HORAINI", 5), dbf::FieldDef::Text("HORAFIN", 5)},
      {kPlantillaTag}};
  return definition;
}

std::vector<HoraPlantilla> HorasPorDefecto() {
  std::vector<HoraPlantilla> hours;
  for (int row = 1; row <= 20; ++row) {
    const int start = row <= 16 ? row + 7 : row - 17;
    hours.push_back({row, WholeHour(start), WholeHour(start + 1)});
  }
  return hours;
}

OrigenPlantilla PrepararPlantilla(const std::filesystem::path& htemp, dbf::Table& diasHoras, RunLog& log) {
  if (ExistingFile(htemp, kPlantillaTable)) {
    dbf::Table existing(htemp, kPlantillaTable);
    existing.SetIndexName(kPlantillaTag);
    existing.Open();
    const std::size_t rows = existing.RecordCount();
    existing.Close();
    if (rows > 0) return OrigenPlantilla::Conservada;
    dbf::DeleteTable(htemp, kPlantillaTable);
  }

  dbf::Table plantilla(htemp, kPlantillaTable);
  plantilla.Create(PlantillaTableDef());
  plantilla.Open();
  OrigenPlantilla origen = OrigenPlantilla::PorDefecto;
  if (ExistingFile(htemp, "DIASHORAST")) {
    if (!diasHoras.Active()) diasHoras.Open();
    RequireDiasHorasLayout(diasHoras);
    for (diasHoras.First(); !diasHoras.Eof(); diasHoras.Next()) {
      if (diasHoras.AsString("DIA") != u"1") continue;
      AppendHour(plantilla, diasHoras.AsInteger("HORA"), diasHoras.AsString("HORADESDE"),
                 diasHoras.AsString("HORAHASTA"), log);
    }
    origen = OrigenPlantilla::DiasHoras;
  } else {
    for (const auto& hour : HorasPorDefecto()) AppendHour(plantilla, hour.hora, hour.horaIni, hour.horaFin, log);
  }
  plantilla.Close();
  return origen;
}

bool EsHoraInicioValida(std::u16string_view text) {
  if (text.size() != 5 || text[2] != u':') return false;
  for (std::size_t i : {0, 1, 3, 4})
    if (text[i] < u'0' || text[i] > u'9') return false;
  const int hours = (text[0] - u'0') * 10 + (text[1] - u'0');
  const int minutes = (text[3] - u'0') * 10 + (text[4] - u'0');
  return minutes <= 59 && (hours < 24 || (hours == 24 && minutes == 0));
}

std::u16string HoraInicioNoValida(std::u16string_view text) {
  return u"La hora de inicio \"" + std::u16string(text) +
         u"\" no es válida: escríbala como HH:MM, entre 00:00 y 24:00.";
}

}  // namespace ludaro

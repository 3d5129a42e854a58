#include "export/exportacion.h"

#include <system_error>

#include "common/dbf/field_codec.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "export/horalia_tables.h"
#include "export/horario_csv.h"
#include "export/horario_export.h"

namespace ludaro {
namespace {

// The widest whole number the template's HORA field (N 11) can hold.
constexpr std::int64_t kMaxHora = 9'999'999'999;

void Release(std::unique_ptr<dbf::Table>& table) {
  // Only read from, so closing writes nothing that could fail; the handle's
  // destructor releases the file.
  table.reset();
}

}  // namespace

Exportacion::Exportacion(RunState& state, UserDialog& dialog, std::optional<std::filesystem::path> htempOverride)
    : state_(state), dialog_(dialog), htempOverride_(std::move(htempOverride)) {}

Exportacion::~Exportacion() = default;

void Exportacion::RequirePhase(Phase phase, const char* operation) const {
  if (phase_ == phase) return;
  if (phase_ == Phase::Finished) throw Error(std::string(operation) + ": the export has already run in this session");
  throw Error(std::string(operation) + ": the hour template is not being edited");
}

bool Exportacion::Iniciar(const std::filesystem::path& folder) {
  if (phase_ == Phase::Finished) RequirePhase(Phase::NotStarted, "Iniciar");
  wwTablePlantilla_.reset();
  ReleaseSources();
  phase_ = Phase::NotStarted;

  dirTxt_ = folder;
  std::error_code ignored;
  if (!std::filesystem::is_directory(folder, ignored)) {
    dialog_.Message(u"No existe la carpeta");
    if (state_.OnBehalfOfHoralia()) {
      state_.nTransformado = 0;
      state_.RequestAutomaticClose();
    }
    return false;
  }

  try {
    htemp_ = platform::HtempFolder(htempOverride_);
    log_->StepStarted("PlantillaCentro");
    wwTableDiasHorasT_ = ExclusiveTable(htemp_, "DIASHORAST");
    origen_ = PrepararPlantilla(htemp_, *wwTableDiasHorasT_, *log_);
  } catch (...) {
    ReleaseSources();
    throw;
  }
  wwTablePlantilla_ = std::make_unique<dbf::Table>(htemp_, "plantilla");
  filas_.clear();
  posicion_ = 0;
  filaTocada_ = false;
  phase_ = Phase::EditingTemplate;
  return true;
}

// ------------------------------------------------------------ template dialog

dbf::Table& Exportacion::plantilla() {
  RequirePhase(Phase::EditingTemplate, "plantilla");
  if (!wwTablePlantilla_) throw Error("plantilla: the hour template has been closed");
  return *wwTablePlantilla_;
}

void Exportacion::ReadRows() {
  dbf::Table& table = *wwTablePlantilla_;
  filas_.clear();
  for (table.First(); !table.Eof(); table.Next())
    filas_.push_back({table.AsInteger("HORA"), table.AsString("HORAINI"), table.AsString("HORAFIN")});
  table.First();
  posicion_ = 0;
}

void Exportacion::EntrarRejilla() {
  dbf::Table& table = plantilla();
  if (!table.Active()) {
    table.Open();
    ReadRows();
  }
  if (!table.Editing()) {
    table.Edit();
    filaTocada_ = false;
  }
}

bool Exportacion::FijarHoraInicio(std::u16string_view text) {
  dbf::Table& table = plantilla();
  if (!EsHoraInicioValida(text)) {
    dialog_.Message(HoraInicioNoValida(text));
    return false;
  }
  EntrarRejilla();
  table.SetString("HORAINI", text);
  filaTocada_ = true;
  return true;
}

bool Exportacion::FijarHora(std::u16string_view text) {
  dbf::Table& table = plantilla();
  const auto hora = dbf::ParseWholeNumber(text);
  if (!hora || *hora < 0 || *hora > kMaxHora) {
    dialog_.Message(u"La hora \"" + std::u16string(text) + u"\" no es válida: escriba un número entero.");
    return false;
  }
  EntrarRejilla();
  table.SetInteger("HORA", *hora);
  filaTocada_ = true;
  return true;
}

void Exportacion::GuardarFila() {
  dbf::Table& table = plantilla();
  if (!table.Active() || !table.Editing()) return;
  const bool nueva = table.state() == dbf::Table::State::Insert;
  if (nueva && !filaTocada_) {
    table.Cancel();
    return;
  }
  table.Post();
  if (filaTocada_) log_->RowWritten(kPlantillaTable);
  filaTocada_ = false;
  HoraPlantilla fila{table.AsInteger("HORA"), table.AsString("HORAINI"), table.AsString("HORAFIN")};
  if (nueva) {
    filas_.push_back(std::move(fila));
    posicion_ = filas_.size() - 1;
  } else {
    filas_.at(posicion_) = std::move(fila);
  }
}

void Exportacion::CancelarFila() {
  dbf::Table& table = plantilla();
  table.Cancel();
  filaTocada_ = false;
}

void Exportacion::MoverAFila(std::size_t position) {
  EntrarRejilla();
  if (position >= filas_.size())
    throw Error("the hour template has no row " + std::to_string(position + 1), plantilla().path().string());
  GuardarFila();
  dbf::Table& table = plantilla();
  table.First();
  for (std::size_t i = 0; i < position; ++i) table.Next();
  posicion_ = position;
  table.Edit();
  filaTocada_ = false;
}

void Exportacion::Aceptar() {
  dbf::Table& table = plantilla();
  if (table.Active()) {
    GuardarFila();
    table.Close();
  }
}

// ------------------------------------------------------------ timetable export

void Exportacion::OpenSources() {
  struct Source {
    std::unique_ptr<dbf::Table>& table;
    const char* name;
    const char* indexTag;
    void (*requireLayout)(const dbf::Table&);
  };
  const Source sources[] = {
      {wwTableSoluc_, "SOLUC", "", RequireSolucLayout},
      {wwTableGrupos_, "GRUPOST", "", RequireGruposLayout},
      {wwTableProfesor_, "PROFT", "ABREV", RequireProfesoresLayout},
      {wwTableAulas_, "AULAT", "", nullptr},
      {wwTableNomAsg2_, "ASIGNOMT2", "", RequireAsignaturasLayout},
      {wwTableDiasHorasT_, "DIASHORAST", "", RequireDiasHorasLayout},
  };
  for (const auto& source : sources) {
    if (!source.table) source.table = ExclusiveTable(htemp_, source.name, source.indexTag);
    if (!source.table->Active()) source.table->Open();
    if (source.requireLayout) source.requireLayout(*source.table);
  }
}

void Exportacion::ReleaseSources() {
  Release(wwTableSoluc_);
  Release(wwTableGrupos_);
  Release(wwTableProfesor_);
  Release(wwTableAulas_);
  Release(wwTableNomAsg2_);
  Release(wwTableDiasHorasT_);
}

void Exportacion::Importar2() {
  log_->StepStarted("Importar2");
  OpenSources();
  dbf::Table horario(htemp_, kHorarioTable);
  dbf::DeleteTable(htemp_, kHorarioTable);
  horario.Create(HorarioTableDef());
  horario.SetExclusive(true);
  horario.Open();
  const std::vector<std::u16string> horasInicio = LeerHorasInicio(htemp_, *log_);

  HorarioFuentes fuentes{*wwTableSoluc_, *wwTableGrupos_, *wwTableProfesor_, *wwTableNomAsg2_, *wwTableDiasHorasT_};
  lineas_ = LlenarHorario(fuentes, horasInicio, horario, dialog_, *log_);
  ReleaseSources();

  log_->StepStarted("EscribirHorarioCsv");
  horarioCsv_ = EscribirHorarioCsv(horario, dirTxt_);
  horario.Close();
}

void Exportacion::Exportar() {
  RequirePhase(Phase::EditingTemplate, "Exportar");
  if (wwTablePlantilla_) Aceptar();
  wwTablePlantilla_.reset();

  dialog_.Busy(true);
  try {
    Importar2();
  } catch (...) {
    ReleaseSources();
    phase_ = Phase::NotStarted;
    throw;
  }
  dialog_.Busy(false);
  state_.nTransformado = 1;
  dialog_.Message(u"Proceso finalizado");
  view_.exportarEnabled = false;
  view_.importarEnabled = false;
  phase_ = Phase::Finished;
  state_.RequestAutomaticClose();
}

}  // namespace ludaro

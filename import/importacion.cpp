#include "import/importacion.h"

#include <system_error>

#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "import/datos_nivel.h"
#include "import/guardar_codificacion.h"
#include "import/import_chain.h"
#include "import/import_tables.h"
#include "import/stored_text.h"
#include "import/leer_convocatorias.h"
#include "import/leer_cursos.h"

namespace ludaro {
namespace {

// The hourglass for as long as the chain runs, also when an error stops it,
// so the window the user must close is not left looking busy.
class BusyCursor {
 public:
  explicit BusyCursor(UserDialog& dialog) : dialog_(dialog) { dialog_.Busy(true); }
  ~BusyCursor() { dialog_.Busy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  UserDialog& dialog_;
};

}  // namespace

Importacion::Importacion(RunState& state, UserDialog& dialog, std::optional<std::filesystem::path> htempOverride)
    : state_(state), dialog_(dialog), htempOverride_(std::move(htempOverride)) {}

Importacion::~Importacion() = default;

ImportStepContext& Importacion::Context() {
  if (!context_) throw Error("The import has not started");
  return *context_;
}

dbf::Table& Importacion::convocatorias() {
  if (!wwTableCentro_) throw Error("The import has not loaded its convocatorias");
  return *wwTableCentro_;
}

dbf::Table& Importacion::cursos() {
  if (!wwTableNIVIMP_) throw Error("The import has not built its course table");
  return *wwTableNIVIMP_;
}

void Importacion::Iniciar(const std::filesystem::path& folder) {
  if (phase_ != Phase::NotStarted) return;
  std::error_code ignored;
  if (folder.empty() || !std::filesystem::is_directory(folder, ignored)) {
    dialog_.Message(u"No existe la carpeta");
    if (state_.OnBehalfOfHoralia()) {
      state_.nTransformado = -1;
      state_.RequestAutomaticClose();
    }
    return;
  }
  const std::filesystem::path htemp = platform::HtempFolder(htempOverride_);
  context_.emplace(ImportStepContext{folder / "", htemp, std::u16string(), state_, dialog_, *log_});
  view_.exportarEnabled = false;
  state_.nTransformado = 1;

  // From here on no direction can start again, whatever follows.
  view_.folderListsShown = false;
  view_.importarEnabled = false;
  phase_ = Phase::Stopped;
  log_->StepStarted("LeerConvocatorias");
  if (!LeerConvocatorias(Context())) return;
  wwTableCentro_ = std::make_unique<dbf::Table>(htemp, kConvocatoriasTable);
  wwTableCentro_->Open();
  wwTableCentro_->First();
  wwTableNIVIMP_ = std::make_unique<dbf::Table>(htemp, kCursosTable);
  wwTableNIVIMP2_ = std::make_unique<dbf::Table>(htemp, kCodificacionTable);
  view_.convocatoriaPanelShown = true;
  phase_ = Phase::ChoosingConvocatoria;
}

std::u16string Importacion::ChosenConvocatoria() { return convocatorias().AsString("CONVOCATORIA"); }

std::string Importacion::ConvocatoriaForReport() {
  if (!wwTableCentro_ || !wwTableCentro_->Active() || wwTableCentro_->Eof()) return {};
  return U16ToUtf8(ChosenConvocatoria() + u" (" + wwTableCentro_->AsString("DESCRIPCION") + u")");
}

bool Importacion::ElegirConvocatoria(const std::u16string& code) {
  if (phase_ != Phase::ChoosingConvocatoria) return false;
  return convocatorias().Locate("CONVOCATORIA", {code});
}

void Importacion::Continuar() {
  if (phase_ != Phase::ChoosingConvocatoria) return;
  Context().convocatoria = ChosenConvocatoria();
  log_->StepStarted("LeerCursos");
  LeerCursos(Context());
  log_->StepStarted("DatosNivel");
  DatosNivel();
}

bool Importacion::DatosNivel() {
  if (!AbrirCursos(Context(), cursos())) return false;
  view_.convocatoriaPanelShown = false;
  view_.levelPanelShown = true;
  phase_ = Phase::CodingLevels;
  RecuperarCodificacion(Context(), cursos(), *wwTableNIVIMP2_);
  return true;
}

void Importacion::EntrarRejillaNiveles() {
  if (phase_ != Phase::CodingLevels && phase_ != Phase::CheckFailed) return;
  dbf::Table& table = cursos();
  if (table.Active() && !table.Editing() && table.RecordCount() > 0) table.Edit();
}

bool Importacion::CodificarCurso(const std::u16string& codCurso, const std::u16string& turno,
                                 const std::u16string& nivel, const std::u16string& curso) {
  if (phase_ != Phase::CodingLevels && phase_ != Phase::CheckFailed) return false;
  dbf::Table& table = cursos();
  if (!table.Locate("CODCURSO", {StoredText(codCurso, FieldWidth(CursosTableDef(), "CODCURSO"))})) return false;
  table.Edit();
  table.SetString("TURNO", turno);
  table.SetString("NIVEL", nivel);
  table.SetString("CURSO", curso);
  table.Post();
  return true;
}

void Importacion::Aceptar() {
  if (phase_ != Phase::CodingLevels) return;
  dbf::Table& table = cursos();
  if (table.Editing()) table.Post();
  log_->StepStarted("ComprobarNiveles");
  incompletos_ = ComprobarNiveles(Context());
  if (state_.nFalloNiveles != 0) {
    view_.warningShown = true;
    view_.aceptarShown = false;
    view_.volverShown = true;
    phase_ = Phase::CheckFailed;
    return;
  }
  Context().convocatoria = ChosenConvocatoria();

  // The save releases the coding's table and the chain rebuilds tables, so
  // from here on an error must not leave anything that could run them again.
  try {
    log_->StepStarted("GuardarCodificacion");
    const std::size_t courses = table.RecordCount();
    GuardarCodificacion(table, *wwTableNIVIMP2_);
    log_->RowsWritten(kCodificacionTable, courses);
    BusyCursor busy(dialog_);
    RunImportChain(Context());
  } catch (...) {
    Stop();
    throw;
  }
  view_.levelPanelShown = false;
  view_.importarEnabled = false;
  phase_ = Phase::Finished;
  dialog_.Message(u"Proceso finalizado");
  state_.RequestAutomaticClose();
}

void Importacion::Stop() {
  phase_ = Phase::Stopped;
  // Only help and "&Salir" stay of use: the level panel, which would cover
  // them, goes away with its buttons.
  view_.levelPanelShown = false;
  view_.aceptarShown = false;
  view_.volverShown = false;
  view_.levelGridEditable = false;
  view_.importarEnabled = false;
}

void Importacion::Volver() {
  if (phase_ != Phase::CheckFailed) return;
  view_.volverShown = false;
  view_.aceptarShown = true;
  view_.warningShown = false;
  phase_ = Phase::CodingLevels;
  DatosNivel();
}

}  // namespace ludaro

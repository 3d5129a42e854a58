#include "app/import_panels.h"

#include <commctrl.h>

#include <vector>

#include "app/dialog_keys.h"
#include "app/image_button.h"
#include "app/main_form.h"
#include "app/resource_ids.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/session/error_report.h"
#include "import/level_grid.h"

namespace ludaro {
namespace {

using controls::Colour;
using controls::GridModel;
using controls::GridStyle;
namespace system_colour = controls::system_colour;

constexpr UINT_PTR kSubclassId = 0x1D0;
constexpr COLORREF kMaroon = RGB(128, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

const wchar_t kInstruction[] =
    L"Escriba las Abreviaturas Turno (1 caracter), Nivel (hasta 5 cars.) y Curso (hasta 2 cars.). "
    L"Servir\u00E1n para las Abreviaturas de Horalia.";
const wchar_t kNotice[] =
    L"ATENCI\u00D3N - Los Identificadores o Abreviaturas que luego aparecer\u00E1n en Horalia, se formar\u00E1n "
    L"en funci\u00F3n de las  siglas que aqu\u00ED se introduzcan.";
const wchar_t kWarning[] =
    L"!!!!!!! ATENCI\u00D3N !!!!!!!  Existe alg\u00FAn NIVEL o CURSO, sin contenido. Debe completar todos los "
    L"datos en la columna NIVEL y CURSO.";

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The columns of a grid as the import gives them; the first `fixed` stay in
// place and cannot be entered, the rest are read-only unless editable.
std::vector<controls::GridColumn> ColumnsOf(const ludaro::GridColumn* first, const ludaro::GridColumn* last,
                                            std::size_t fixed) {
  std::vector<controls::GridColumn> columns;
  for (const auto* column = first; column != last; ++column) {
    controls::GridColumn shown;
    shown.field = column->field;
    for (const char* c = column->title; *c; ++c) shown.title.push_back(static_cast<char16_t>(*c));
    shown.displayWidth = column->displayWidth;
    shown.fixed = columns.size() < fixed;
    shown.readOnly = !column->editable;
    // What is typed there are the abbreviations' codes, which must show whole.
    shown.wholeCodes = column->editable;
    columns.push_back(std::move(shown));
  }
  return columns;
}

GridStyle ImportGridStyle() {
  GridStyle style;
  style.cellBackground = Colour::FromSystem(system_colour::kInfoBackground);
  style.cellText = Colour::FromSystem(system_colour::kInfoText);
  style.titleBackground = controls::colours::kCream;
  style.titleText = controls::colours::kBlue;
  style.titleBold = true;
  style.titleLines = 1;
  style.horizontalScrollBar = false;
  return style;
}

void Show(HWND control, bool shown) {
  if (control) ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

// The main window's own controls only ever go: never shown or enabled again.
void Disable(HWND control) {
  if (control && IsWindowEnabled(control)) EnableWindow(control, FALSE);
}

void Hide(HWND control) {
  if (control && IsWindowVisible(control)) ShowWindow(control, SW_HIDE);
}

}  // namespace

// ------------------------------------------------------------- the dialog

void ImportPanels::ScreenFirstDialog::Message(const std::u16string& text) {
  panels_.ApplyView(false);
  shown_.Message(text);
}

bool ImportPanels::ScreenFirstDialog::Question(const std::u16string& caption, const std::u16string& text) {
  panels_.ApplyView(false);
  return shown_.Question(caption, text);
}

// ------------------------------------------------------------- building

ImportPanels::ImportPanels(TMForm& form) : form_(form), dialog_(*this, form.dialog()) {
  panel1_ = form_.Control(IDC_PANEL1);
  panel2_ = form_.Control(IDC_PANEL2);
  if (!panel1_ || !panel2_) throw Error("The main window has no panels for the import");
  // The window's fonts, kept at its screen scale by its layout.
  font_ = form_.layout().Font(L"MS Sans Serif", 8, false);
  boldFont_ = form_.layout().Font(L"MS Sans Serif", 8, true);
  titleFont_ = form_.layout().Font(L"MS Sans Serif", 8, true, true);
  panel1Brush_ = GetSysColorBrush(COLOR_GRADIENTINACTIVECAPTION);
  panel2Brush_ = GetSysColorBrush(COLOR_INACTIVECAPTION);
  CreatePanel1Controls();
  CreatePanel2Controls();
  form_.layout().Adopt(form_.handle());
  SetWindowSubclass(form_.handle(), FormProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(panel1_, PanelProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(panel2_, PanelProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(wwDBGridCODCENTRO_->list(), ChoiceListProc, kSubclassId, 0);
  session_ = std::make_unique<Importacion>(form_.state(), reportingDialog_);
  session_->SetRunLog(report_);
}

ImportPanels::~ImportPanels() {
  if (IsWindow(wwDBGridCODCENTRO_->list()))
    RemoveWindowSubclass(wwDBGridCODCENTRO_->list(), ChoiceListProc, kSubclassId);
  for (HWND window : {form_.handle(), panel1_, panel2_}) {
    if (IsWindow(window)) RemoveWindowSubclass(window, window == form_.handle() ? FormProc : PanelProc, kSubclassId);
  }
  wwDBGridNIVIMP_.reset();
  wwDBGridCODCENTRO_.reset();
  session_.reset();
}

HWND ImportPanels::CreateLabel(HWND parent, int id, const wchar_t* text, int left, int top, int width, int height,
                               HFONT font) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, left, top, width,
                               height, parent, ControlId(id), GetModuleHandleW(nullptr), nullptr);
  if (!label) throw Error("Cannot create the label " + std::to_string(id));
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

void ImportPanels::CreatePanel1Controls() {
  CreateLabel(panel1_, IDC_LABEL7, L"Seleccionar la Convocatoria a importar:", 9, 5, 270, 13, boldFont_);

  GridStyle style = ImportGridStyle();
  style.currentRowBackground = controls::colours::kMaroon;
  style.currentRowText = controls::colours::kWhite;
  wwDBGridCODCENTRO_ = std::make_unique<controls::DataGrid>(
      panel1_, IDC_WWDBGRIDCODCENTRO, RECT{7, 18, 7 + 277, 18 + 56},
      GridModel(ColumnsOf(std::begin(kConvocatoriaColumns), std::end(kConvocatoriaColumns), 1), style), font_);
  wwDBGridCODCENTRO_->SetErrorReport([this](HWND, const std::exception& error) { form_.dialog().ErrorReport(error); });

  HWND bitBtn1 = CreateImageButton(panel1_, IDC_BITBTN1, L"Continuar", 106, 83, 81, 23, IDI_OK);
  SendMessageW(bitBtn1, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void ImportPanels::CreatePanel2Controls() {
  CreateLabel(panel2_, IDC_PANEL2_TITLE, L"NIVELES DE ESTUDIOS", 8, 8, 132, 14, titleFont_);
  CreateLabel(panel2_, IDC_PANEL2_INSTRUCTION, kInstruction, 148, 6, 432, 28, boldFont_);
  CreateLabel(panel2_, IDC_PANEL2_NOTICE, kNotice, 8, 38, 572, 28, boldFont_);
  HWND label9 = CreateLabel(panel2_, IDC_LABEL9, kWarning, 468, 72, 112, 150, boldFont_);
  ShowWindow(label9, SW_HIDE);

  GridStyle style = ImportGridStyle();
  style.alternateBackground = controls::colours::kSilver;
  style.enterMovesToNextCell = true;
  style.allowDelete = true;
  wwDBGridNIVIMP_ = std::make_unique<controls::DataGrid>(
      panel2_, IDC_WWDBGRIDNIVIMP, RECT{8, 72, 8 + 452, 72 + 152},
      GridModel(ColumnsOf(std::begin(kLevelColumns), std::end(kLevelColumns), 2), style), font_);
  wwDBGridNIVIMP_->SetCellColourHook(
      [](const controls::GridRows&, std::size_t, std::size_t column) -> std::optional<Colour> {
        if (!wwDBGridNIVIMPCalcCellColors(kLevelColumns[column].field)) return std::nullopt;
        return Colour::FromSystem(system_colour::kButtonFace);
      });
  wwDBGridNIVIMP_->SetErrorReport([this](HWND, const std::exception& error) { form_.dialog().ErrorReport(error); });
  wwDBGridNIVIMP_->SetOnEnter([this] { WwDBGridNIVIMPEnter(); });

  HWND button2 = CreateWindowExW(0, L"BUTTON", L"Volver a los Datos", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 386, 234,
                                 110, 25, panel2_, ControlId(IDC_BUTTON2), GetModuleHandleW(nullptr), nullptr);
  if (!button2) throw Error("Cannot create the button " + std::to_string(IDC_BUTTON2));
  SendMessageW(button2, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  HWND bitBtn2 = CreateImageButton(panel2_, IDC_BITBTN2, L"Aceptar", 504, 234, 76, 25, IDI_OK);
  SendMessageW(bitBtn2, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

// ------------------------------------------------------------- the session

void ImportPanels::Start(const std::filesystem::path& folder) {
  // A press after a missing folder starts a run of its own.
  report_ = RunReport(ReportedDirection::Import);
  report_.Setting("Carpeta de XADE", folder.u8string());
  report_.Setting("Carpeta de trabajo", platform::HtempFolder().u8string());
  // The window closes itself after the folder check on its own.
  Run(Operation::Iniciar, [&] { session_->Iniciar(folder); }, false);
}

void ImportPanels::Run(Operation operation, const std::function<void()>& call, bool mayClose) {
  inSessionCall_ = true;
  bool failed = false;
  try {
    call();
  } catch (const std::exception& error) {
    form_.dialog().ErrorReport(error);
    report_.Stopped(OneLine(ErrorReportText(error)));
    failed = true;
  }
  inSessionCall_ = false;
  ApplyView(true);
  if (failed || RunIsOver(operation)) {
    report_.Ended(form_.state().nTransformado);
    form_.LeaveRunReport(report_, ReportedDirection::Import);
  }
  if (mayClose && form_.state().closeRequested) PostMessageW(form_.handle(), WM_CLOSE, 0, 0);
}

bool ImportPanels::RunIsOver(Operation operation) {
  switch (session_->phase()) {
    case Importacion::Phase::NotStarted:
      report_.Stopped("la carpeta de XADE no existe");
      return true;
    case Importacion::Phase::ChoosingConvocatoria:
      if (operation == Operation::Iniciar) return false;
      report_.Stopped("no se creó la tabla de cursos");
      return true;
    case Importacion::Phase::CodingLevels:
      return false;
    case Importacion::Phase::CheckFailed:
      if (operation != Operation::Aceptar) return false;
      report_.Stopped("faltan niveles o cursos por codificar; no se guardó nada",
                      IncompleteCoursesForReport(session_->incompletos()));
      return true;
    case Importacion::Phase::Finished:
      return true;
    case Importacion::Phase::Stopped:
      report_.Stopped("no hay archivo de convocatorias");
      return true;
  }
  return true;
}

void ImportPanels::BitBtn1Click() {
  report_.Setting("Convocatoria", session_->ConvocatoriaForReport());
  Run(Operation::Continuar, [&] { session_->Continuar(); });
}

void ImportPanels::FinalRecogida() {
  // A cell still being typed in belongs to the coding being accepted.
  if (!wwDBGridNIVIMP_->CommitEdit()) return;
  // The user mended what the level check found: the run goes on.
  report_.Resumed();
  Run(Operation::Aceptar, [&] { session_->Aceptar(); });
}

void ImportPanels::Button2Click() {
  if (!wwDBGridNIVIMP_->CommitEdit()) return;
  Run(Operation::Volver, [&] { session_->Volver(); });
}

void ImportPanels::WwDBGridNIVIMPEnter() {
  // While the session works on the course table (the recovery question
  // gives the focus back to the grid), its row must not be put into edit.
  if (inSessionCall_) return;
  try {
    session_->EntrarRejillaNiveles();
  } catch (const std::exception& error) {
    form_.dialog().ErrorReport(error);
  }
}

void ImportPanels::ApplyView(bool settled) {
  const ImportacionView& view = session_->view();
  if (!view.exportarEnabled) Disable(form_.Control(IDC_BEXPORTAR));
  if (!view.importarEnabled) Disable(form_.Control(IDC_BIMPORTAR));
  if (!view.folderListsShown) {
    Hide(form_.Control(IDC_DIRECTORIOS));
    Hide(form_.Control(IDC_UNIDADES));
  }

  if (view.convocatoriaPanelShown && !choiceGridAttached_) {
    wwDBGridCODCENTRO_->Attach(&session_->convocatorias());
    choiceGridAttached_ = true;
  }
  if (view.levelPanelShown && !levelGridAttached_) {
    wwDBGridNIVIMP_->Attach(&session_->cursos());
    levelGridAttached_ = true;
  }
  RefreshGrids();

  Show(form_.Control(IDC_BITBTN2), view.aceptarShown);
  Show(form_.Control(IDC_BUTTON2), view.volverShown);
  Show(form_.Control(IDC_LABEL9), view.warningShown);
  EnableWindow(wwDBGridNIVIMP_->window(), view.levelGridEditable ? TRUE : FALSE);

  if (view.convocatoriaPanelShown) {
    form_.ShowPanel(IDC_PANEL1);
  } else {
    Hide(panel1_);
  }
  if (view.levelPanelShown) {
    form_.ShowPanel(IDC_PANEL2);
  } else {
    Hide(panel2_);
  }
  UpdateWindow(form_.handle());

  if (!settled) return;
  if (view.convocatoriaPanelShown && !panel1WasShown_) SetFocus(wwDBGridCODCENTRO_->list());
  if (view.levelPanelShown && !panel2WasShown_) SetFocus(wwDBGridNIVIMP_->list());
  // The focus may have come back to the grid while the session was busy.
  if (view.levelPanelShown && GetFocus() == wwDBGridNIVIMP_->list()) WwDBGridNIVIMPEnter();
  // A panel that went, or a grid disabled by a failed check, may have taken
  // the focus with it.
  EnsureUsableFocus(form_.handle());
  panel1WasShown_ = view.convocatoriaPanelShown;
  panel2WasShown_ = view.levelPanelShown;
}

void ImportPanels::RefreshGrids() {
  if (choiceGridAttached_ && IsWindowVisible(panel1_)) wwDBGridCODCENTRO_->Refresh();
  if (levelGridAttached_) wwDBGridNIVIMP_->Refresh();
}

// ------------------------------------------------------------- messages

std::optional<int> ImportPanels::DefaultButton() const {
  if (IsWindowVisible(panel2_)) {
    HWND aceptar = GetDlgItem(panel2_, IDC_BITBTN2);
    if (IsWindowVisible(aceptar)) return IDC_BITBTN2;
    return std::nullopt;
  }
  if (IsWindowVisible(panel1_)) return IDC_BITBTN1;
  return std::nullopt;
}

bool ImportPanels::OnCommand(int id) {
  switch (id) {
    case IDC_BITBTN1: BitBtn1Click(); return true;
    case IDC_BITBTN2: FinalRecogida(); return true;
    case IDC_BUTTON2: Button2Click(); return true;
    default: return false;
  }
}

std::optional<LRESULT> ImportPanels::OnColour(HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case IDC_LABEL7:
      SetTextColor(dc, kBlue);
      SetBkColor(dc, GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
      return reinterpret_cast<LRESULT>(panel1Brush_);
    case IDC_PANEL2_TITLE:
      SetTextColor(dc, kMaroon);
      break;
    case IDC_PANEL2_INSTRUCTION:
      SetTextColor(dc, kBlue);
      break;
    case IDC_PANEL2_NOTICE:
      SetTextColor(dc, kRed);
      break;
    case IDC_LABEL9:
      SetTextColor(dc, kMaroon);
      SetBkColor(dc, GetSysColor(COLOR_INFOBK));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
    default:
      return std::nullopt;
  }
  SetBkColor(dc, GetSysColor(COLOR_INACTIVECAPTION));
  return reinterpret_cast<LRESULT>(panel2Brush_);
}

LRESULT CALLBACK ImportPanels::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
  auto* panels = reinterpret_cast<ImportPanels*>(self);
  try {
    switch (message) {
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && panels->OnCommand(LOWORD(wParam))) return 0;
        break;
      case WM_CTLCOLORSTATIC:
        if (auto brush = panels->OnColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
          return *brush;
        break;
      case DM_GETDEFID:
        // Enter outside the grids presses the shown panel's default button.
        if (auto id = panels->DefaultButton()) return MAKELRESULT(*id, DC_HASDEFID);
        break;
      default:
        break;
    }
  } catch (const std::exception& error) {
    panels->form_.dialog().ErrorReport(error);
    return 0;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// Nothing in the choice grid can be edited, so Enter there is left to the
// panel's default button, "Continuar".
LRESULT CALLBACK ImportPanels::ChoiceListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR) {
  LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  const auto* pending = reinterpret_cast<const MSG*>(lParam);
  if (message == WM_GETDLGCODE && pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
    result &= ~static_cast<LRESULT>(DLGC_WANTMESSAGE | DLGC_WANTALLKEYS);
  return result;
}

LRESULT CALLBACK ImportPanels::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
  auto* panels = reinterpret_cast<ImportPanels*>(self);
  if (message != WM_PAINT) return DefSubclassProc(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, window == panels->panel1_ ? panels->panel1Brush_ : panels->panel2Brush_);
  DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
  EndPaint(window, &paint);
  return 0;
}

}  // namespace ludaro

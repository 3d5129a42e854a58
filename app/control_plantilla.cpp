#include "app/control_plantilla.h"

#include <string>
#include <vector>

#include "app/controls/window_object.h"
#include "app/image_button.h"
#include "app/resource_ids.h"
#include "app/test_hooks.h"
#include "common/error.h"

namespace ludaro {
namespace {

constexpr int kClientWidth = 595;
constexpr int kClientHeight = 310;
// Posted when the grid lost the focus; by the time it arrives the focus has
// settled, so the dialog can tell where it went.
constexpr UINT kGridExited = WM_APP + 1;

constexpr COLORREF kAqua = RGB(0, 255, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kNavy = RGB(0, 0, 128);

constexpr int kNavigatorButtonSize = 25;
const RECT kGridBounds{16, 40, 266, 240};

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LUDARO));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = TControlPlantilla::kClassName;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Error("Cannot register the window class of the hour-template dialog");
}

// Aqua at the top fading to white at the bottom, one band per pixel row.
void PaintGradient(HDC dc, const RECT& area) {
  const int height = area.bottom - area.top;
  const int steps = height > 1 ? height - 1 : 1;
  for (int row = 0; row < height; ++row) {
    auto channel = [&](int from, int to) { return static_cast<BYTE>(from + (to - from) * row / steps); };
    SetBkColor(dc, RGB(channel(GetRValue(kAqua), GetRValue(kWhite)), channel(GetGValue(kAqua), GetGValue(kWhite)),
                       channel(GetBValue(kAqua), GetBValue(kWhite))));
    const RECT band{area.left, area.top + row, area.right, area.top + row + 1};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &band, nullptr, 0, nullptr);
  }
}

controls::GridModel TemplateGridModel() {
  controls::GridStyle style;
  style.cellBackground = controls::Colour::FromRgb(240, 251, 255);
  style.alternateBackground = controls::Colour::FromRgb(207, 217, 254);
  style.titleBackground = controls::Colour::FromRgb(254, 228, 169);
  style.titleBold = true;
  style.titleLines = 2;
  style.horizontalScrollBar = true;
  style.enterMovesToNextCell = true;
  style.allowDelete = false;
  return controls::GridModel({{"HORA", u"HORA", 7}, {"HORAINI", u"HORA INICIO CLASE", 20}}, style);
}

// Moving, editing, storing, cancelling and refreshing: no insert and no
// delete, so the dialog cannot add or remove hours.
std::vector<controls::NavigatorButton> TemplateNavigatorButtons() {
  using controls::NavigatorButton;
  return {NavigatorButton::First, NavigatorButton::PriorPage, NavigatorButton::Prior, NavigatorButton::Next,
          NavigatorButton::NextPage, NavigatorButton::Last, NavigatorButton::Edit, NavigatorButton::Post,
          NavigatorButton::Cancel, NavigatorButton::Refresh};
}

}  // namespace

TControlPlantilla::TControlPlantilla(HWND owner, Exportacion& exportacion, Win32Dialog& dialog, HelpViewer& help)
    : owner_(owner), exportacion_(exportacion), dialog_(dialog), help_(help), layout_(DpiOf(owner)) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClass(instance, WindowProc);
  font_ = layout_.Font(L"MS Sans Serif", 8, false);
  boldFont_ = layout_.Font(L"MS Sans Serif", 8, true);
  underlinedFont_ = layout_.Font(L"MS Sans Serif", 8, true, true);

  // The labels are drawn transparently onto the gradient, so the dialog
  // paints under its controls (no WS_CLIPCHILDREN).
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  const RECT frame = CentredWindowRect(kClientWidth, kClientHeight, style, exStyle, layout_.dpi());
  window_ = CreateWindowExW(exStyle, kClassName, kCaption, style, frame.left, frame.top, frame.right - frame.left,
                            frame.bottom - frame.top, owner_, nullptr, instance, this);
  if (!window_) throw Error("Cannot create the hour-template dialog");
  // Controls are made at their places at 100 % and then scaled together.
  CreateControls();
  layout_.Adopt(window_);
}

TControlPlantilla::~TControlPlantilla() {
  navigator_.reset();
  grid_.reset();
  if (IsWindow(window_)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

HWND TControlPlantilla::CreateLabel(int id, const wchar_t* text, int left, int top, int width, int height, DWORD align,
                                    HFONT font) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | align, left, top, width, height,
                               window_, ControlId(id), GetModuleHandleW(nullptr), nullptr);
  if (!label) throw Error("Cannot create the label " + std::to_string(id) + " of the hour-template dialog");
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

void TControlPlantilla::CreateControls() {
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // The grid is created first, so it is first in the tab order and has the
  // focus when the dialog appears.
  grid_ = std::make_unique<controls::DataGrid>(window_, IDC_PLANTIHORDBGRID, kGridBounds, TemplateGridModel(), font_);
  navigator_ = std::make_unique<controls::RecordNavigator>(
      window_, IDC_WWDBNAVIGATOR1, POINT{kGridBounds.left, kGridBounds.bottom + 6}, kNavigatorButtonSize,
      TemplateNavigatorButtons(), *grid_);
  navigator_->SetPressHandler([this](controls::NavigatorButton button) { PressNavigator(button, true); });
  HookGrid();
  grid_->Attach(&exportacion_.plantilla());

  CreateLabel(IDC_CP_TITLE, L"COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO", 16, 12, 330, 16, SS_LEFT,
              underlinedFont_);
  CreateLabel(IDC_CP_HEADING, L"PLANTILLA HORARIA DEL CENTRO", 290, 64, 290, 16, SS_CENTER, underlinedFont_);
  CreateLabel(IDC_CP_ADVICE,
              L"Modifique, en caso necesario, las Horas de Inicio de Clase, en la presente rejilla. Deben ser "
              L"iguales que la Plantilla Horaria de su Centro.",
              305, 92, 260, 60, SS_LEFT, boldFont_);
  HWND aceptar = CreateImageButton(window_, IDC_CP_BITBTN2, L"Aceptar", 490, 270, 89, 25, IDI_OK);
  SendMessageW(aceptar, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

template <typename Step>
void TControlPlantilla::Run(Step step) {
  try {
    step();
  } catch (const std::exception& failure) {
    dialog_.ErrorReport(failure);
  }
  grid_->Refresh();
}

void TControlPlantilla::HookGrid() {
  // Entering the grid puts the current row into edit (on an empty template
  // that starts a new row); the first entry opens the template.
  grid_->SetOnEnter([this] {
    const bool first = !exportacion_.plantilla().Active();
    Run([this] { exportacion_.EntrarRejilla(); });
    // Opened only now, so its columns can be checked only now.
    if (first && exportacion_.plantilla().Active()) Run([this] { grid_->Attach(&exportacion_.plantilla()); });
  });
  grid_->SetOnExit([this] { PostMessageW(window_, kGridExited, 0, 0); });
  grid_->SetCellStore([this](const controls::CellEdit& edit) {
    if (edit.field == "HORAINI") return exportacion_.FijarHoraInicio(edit.text);
    if (edit.field == "HORA") return exportacion_.FijarHora(edit.text);
    throw Error("the hour template shows no column " + edit.field);
  });
  grid_->SetRowMove([this](std::size_t row) { exportacion_.MoverAFila(row); });
}

void TControlPlantilla::AfterGridExit() {
  HWND focus = GetFocus();
  // The focus went to another window (a message box): the grid is still the
  // dialog's control and gets it back. Only a move inside the dialog leaves it.
  if (!focus || (focus != window_ && !IsChild(window_, focus))) return;
  if (IsChild(grid_->window(), focus)) return;
  Run([this] { exportacion_.GuardarFila(); });
}

bool TControlPlantilla::TakeNavigatorPress(const MSG& message) {
  if (message.message != WM_LBUTTONDOWN && message.message != WM_LBUTTONDBLCLK && message.message != BM_CLICK)
    return false;
  if (!navigator_ || !IsChild(navigator_->window(), message.hwnd)) return false;
  if (IsWindowEnabled(message.hwnd))
    PressNavigator(static_cast<controls::NavigatorButton>(GetDlgCtrlID(message.hwnd) - IDC_WWDBNAVIGATOR1));
  return true;
}

bool TControlPlantilla::TakeNavigatorKey(const MSG& message) {
  using controls::NavigatorButton;
  if (message.message != WM_KEYDOWN || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
  if (message.wParam == VK_F5) {
    PressNavigator(NavigatorButton::Refresh);
    return true;
  }
  if (message.wParam == VK_ESCAPE && message.hwnd == grid_->list()) {
    if (navigator_->IsButtonEnabled(NavigatorButton::Cancel)) PressNavigator(NavigatorButton::Cancel);
    return true;
  }
  return false;
}

void TControlPlantilla::PressNavigator(controls::NavigatorButton button, bool fromKeyboard) {
  using controls::NavigatorButton;
  switch (button) {
    case NavigatorButton::Edit:
      Run([this] { exportacion_.EntrarRejilla(); });
      grid_->BeginEdit();
      break;
    case NavigatorButton::Post:
    case NavigatorButton::Refresh:
      if (!grid_->CommitEdit()) break;
      Run([this] { exportacion_.GuardarFila(); });
      break;
    case NavigatorButton::Cancel:
      grid_->CancelEdit();
      Run([this] { exportacion_.CancelarFila(); });
      break;
    default:
      // Moving goes through the grid, which hands it to the session.
      navigator_->Press(button);
      break;
  }
  navigator_->Update();
  if (fromKeyboard && IsChild(navigator_->window(), GetFocus())) return;
  if (!grid_->CellEditorOpen()) SetFocus(grid_->list());
}

void TControlPlantilla::Close() {
  // A value still in the cell editor goes to the session first; a refused
  // one keeps the dialog open with the value in edit.
  if (!grid_->CommitEdit()) return;
  done_ = true;
}

void TControlPlantilla::ShowHelp() {
  const HWND focus = GetFocus();
  const int context = focus && GetDlgCtrlID(focus) == IDC_CP_BITBTN2 ? HELP_CONTEXT_MAIN : HELP_CONTEXT_PLANTILLA;
  try {
    help_.ShowTopic(window_, context);
  } catch (const std::exception& failure) {
    dialog_.ErrorReport(failure);
  }
}

void TControlPlantilla::ShowModal() {
  // Messages of the session appear over the dialog while it is up.
  struct OwnerSwap {
    Win32Dialog& dialog;
    HWND restore;
    ~OwnerSwap() { dialog.SetOwner(restore); }
  } ownerSwap{dialog_, owner_};
  dialog_.SetOwner(window_);

  EnableWindow(owner_, FALSE);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  SetFocus(grid_->list());
  MSG message;
  while (!done_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: the main loop must see the quit too.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (TakeNavigatorPress(message)) continue;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1 &&
        (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
      ShowHelp();
      continue;
    }
    if (TakeNavigatorKey(message)) continue;
    if (HandleDialogKey(window_, message)) continue;
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The owner is enabled before the dialog goes, so it becomes the active
  // window again.
  EnableWindow(owner_, TRUE);
  ShowWindow(window_, SW_HIDE);
}

void TControlPlantilla::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT area;
  GetClientRect(window_, &area);
  PaintGradient(dc, area);
  EndPaint(window_, &paint);
}

LRESULT TControlPlantilla::LabelColours(HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case IDC_CP_HEADING: SetTextColor(dc, kRed); break;
    case IDC_CP_ADVICE: SetTextColor(dc, kNavy); break;
    default: SetTextColor(dc, RGB(0, 0, 0)); break;
  }
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT CALLBACK TControlPlantilla::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<TControlPlantilla>(window, message, lParam);
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) self->window_ = window;
  return HandleReportingErrors(self->dialog_, [&] { return self->Handle(message, wParam, lParam); });
}

LRESULT TControlPlantilla::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LayoutReportMessage()) return WriteLayoutReport(window_) ? 1 : 0;
  switch (message) {
    case WM_COMMAND:
      // "Aceptar", also as the default button for Enter outside the grid.
      // Escape (IDCANCEL) does nothing: the dialog has no cancel button.
      if (LOWORD(wParam) == IDC_CP_BITBTN2 && HIWORD(wParam) == BN_CLICKED) {
        Close();
        return 0;
      }
      break;
    case DM_GETDEFID:
      return MAKELRESULT(IDC_CP_BITBTN2, DC_HASDEFID);
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_BUTTON) {
        DrawImageButton(item);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
      return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      if (Win32Dialog::IsBusy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case kGridExited:
      AfterGridExit();
      return 0;
    case WM_ACTIVATE:
      if (focusKeeper_.OnActivate(window_, wParam)) return 0;
      break;
    case WM_DPICHANGED:
      // Moved to a screen of another scale.
      layout_.ChangeDpi(window_, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      // Closing the dialog any way goes on with the export, as "Aceptar" does.
      Close();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ludaro

#include "app/main_form.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>

#include "app/controls/window_object.h"
#include "app/direction_hooks.h"
#include "app/folder_path.h"
#include "app/image_button.h"
#include "app/import_panels.h"
#include "app/panel.h"
#include "app/report_page.h"
#include "app/resource_ids.h"
#include "app/run_mode.h"
#include "app/test_hooks.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"

namespace ludaro {
namespace {

constexpr int kClientWidth = 599;
constexpr int kClientHeight = 269;
constexpr int kDirectionPanelHeight = 90;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

HICON LoadSmallIcon(HINSTANCE instance, int id) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LUDARO));
  windowClass.hIconSm = LoadSmallIcon(instance, IDI_LUDARO);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = TMForm::kClassName;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Error("Cannot register the window class of the main window");
}

}  // namespace

TMForm::TMForm(HINSTANCE instance, RunState& state, Win32Dialog& dialog, const std::vector<std::wstring>& arguments)
    : instance_(instance),
      state_(state),
      dialog_(dialog),
      layout_(SystemDpi()),
      help_(platform::ProgramFolder() / L"XADE.CHM") {
  RegisterPanelClass(instance);
  RegisterWindowClass(instance, WindowProc);
  font_ = layout_.Font(L"MS Sans Serif", 8, false);
  boldFont_ = layout_.Font(L"MS Sans Serif", 8, true);
  panelFont_ = layout_.Font(L"Arial", 12, true);
  linkFont_ = layout_.Font(L"MS Sans Serif", 8, false, true);

  // A fixed dialog border: no resizing, no minimise or maximise box.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  const RECT frame = CentredWindowRect(kClientWidth, kClientHeight, style, exStyle, layout_.dpi());
  window_ = CreateWindowExW(exStyle, kClassName, kCaption, style, frame.left, frame.top, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, instance, this);
  if (!window_) throw Error("Cannot create the main window");
  dialog_.SetOwner(window_);
  // Controls are made at their places at 100 % and then scaled together.
  CreateControls();
  FormCreate(arguments);
  layout_.Adopt(window_);
  folders_->FollowFont(layout_.dpi());
}

TMForm::~TMForm() {
  folders_.reset();
  if (IsWindow(window_)) DestroyWindow(window_);
}

void TMForm::Show() {
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  // The first direction's "OK", so Enter starts what the window is for.
  EnsureUsableFocus(window_);
}

HWND TMForm::CreateLabel(HWND parent, int id, const wchar_t* text, int left, int top, HFONT font) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, left, top,
                               0, 0, parent, ControlId(id), instance_, nullptr);
  if (!label) throw Error("Cannot create the label " + std::to_string(id));
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // As wide and high as its text, at any screen scale.
  MarkSizedToText(label);
  SizeToText(label);
  return label;
}

HWND TMForm::CreateWrappedLabel(HWND parent, int id, const wchar_t* text, int left, int top, int width, int height) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, left, top, width,
                               height, parent, ControlId(id), instance_, nullptr);
  if (!label) throw Error("Cannot create the label " + std::to_string(id));
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont_), FALSE);
  return label;
}

void TMForm::CreateControls() {
  HWND draw3D2 = CreatePanel(window_, IDC_DRAW3D2, 0, 0, 289, kDirectionPanelHeight, PanelLook::Gradient);
  CreateWrappedLabel(draw3D2, IDC_DRAW3D2_LABEL, L"Transformar datos desde XADE hacia Horalia ", 24, 3, 265, 41);
  HWND bExportar = CreateImageButton(draw3D2, IDC_BEXPORTAR, L"OK", 88, 56, 89, 25, IDI_OK);
  SendMessageW(bExportar, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  HWND draw3D3 = CreatePanel(window_, IDC_DRAW3D3, 289, 0, 310, kDirectionPanelHeight, PanelLook::Gradient);
  CreateWrappedLabel(draw3D3, IDC_DRAW3D3_LABEL, L"Transformar datos desde Horalia hacia XADE", 8, 3, 305, 57);
  HWND bImportar = CreateImageButton(draw3D3, IDC_BIMPORTAR, L"OK", 96, 56, 89, 25, IDI_OK);
  SendMessageW(bImportar, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  HWND panel3 = CreatePanel(window_, IDC_PANEL3, 0, kDirectionPanelHeight, 599, 178, PanelLook::Raised);
  CreateLabel(panel3, IDC_LABEL12, L"PRIMERO ==>", 67, 4, boldFont_);
  CreateLabel(panel3, IDC_LABEL5, L"Seleccione la Carpeta en la que se encuentran los Ficheros CSV de XADE", 152, 4,
              font_);
  CreateLabel(panel3, IDC_LABEL6, L"Ruta Actual:", 152, 18, font_);
  HWND label2 = CreateLabel(panel3, IDC_LABEL2, L"", 212, 19, boldFont_);
  folders_ = std::make_unique<FolderList>(panel3, label2, font_, dialog_);

  HWND button1 = CreateWindowExW(0, L"BUTTON", L"F1 AYUDA", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 12,
                                 146, 77, 21, panel3, ControlId(IDC_BUTTON1), instance_, nullptr);
  if (!button1) throw Error("Cannot create the help button");
  SendMessageW(button1, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  HWND bClose = CreateImageButton(panel3, IDC_BCLOSE, L"&Salir", 480, 87, 89, 25, IDI_CLOSE);
  SendMessageW(bClose, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  CreateLabel(panel3, IDC_LABEL1, L"Ludaro para HL19 V-1.0", 368, 149, boldFont_);
  // The free space right of the folder list, above "&Salir"; shown after a
  // run. A button, so that Tab reaches it and Enter opens it; its text wraps.
  HWND reportLink = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | BS_MULTILINE, 444, 34,
                                    146, 48, panel3, ControlId(IDC_REPORTLINK), instance_, nullptr);
  if (!reportLink) throw Error("Cannot create the report's link");
  SendMessageW(reportLink, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);

  CreatePanel(panel3, IDC_PANEL1, 11, 34, 289, 110, PanelLook::Raised, false);
  CreatePanel(window_, IDC_PANEL2, 6, 1, 587, 266, PanelLook::Raised, false);
}

void TMForm::FormCreate(const std::vector<std::wstring>& arguments) {
  state_.nTransformado = 0;
  const RunMode mode = RunModeFromArguments(arguments);
  state_.nParam = mode.nParam;
  // The one panel left spans the whole width at the top.
  if (!mode.showXadeToHoralia) {
    ShowWindow(Control(IDC_DRAW3D2), SW_HIDE);
    MoveWindow(Control(IDC_DRAW3D3), 0, 0, kClientWidth, kDirectionPanelHeight, FALSE);
  }
  if (!mode.showHoraliaToXade) {
    ShowWindow(Control(IDC_DRAW3D3), SW_HIDE);
    MoveWindow(Control(IDC_DRAW3D2), 0, 0, kClientWidth, kDirectionPanelHeight, FALSE);
  }
}

void TMForm::FormClose() {
  if (closed_) return;
  closed_ = true;
  if (!state_.OnBehalfOfHoralia()) return;
  try {
    platform::WriteIniInteger(platform::ProgramFolder() / L"Horalia.ini", u"Transformadores", u"Transformado",
                              state_.nTransformado);
  } catch (const std::exception& failure) {
    // The message already names the file; no second line for it. The window
    // closes all the same: Horalia gets no result, but the user is not
    // kept in a program that cannot end.
    dialog_.ErrorReport(Error(failure.what()));
  }
}

void TMForm::BCloseClick() { SendMessageW(window_, WM_CLOSE, 0, 0); }

void TMForm::Button1Click() { help_.ShowContents(window_); }

void TMForm::ShowContextHelp() {
  try {
    help_.ShowTopic(window_, HELP_CONTEXT_MAIN);
  } catch (const std::exception& failure) {
    dialog_.ErrorReport(failure);
  }
}

void TMForm::LeaveRunReport(const RunReport& report, ReportedDirection direction) {
  std::optional<std::wstring> failure;
  const std::filesystem::path file = std::filesystem::path(dirTxt_) / ReportPageName(direction);
  try {
    failure = WriteReportPage(file, report.Html());
  } catch (const std::exception& error) {
    const std::u16string reason = Utf8ToU16(error.what());
    failure = std::wstring(reason.begin(), reason.end());
  }
  reportFile_ = failure ? std::filesystem::path() : file;
  // On behalf of Horalia the window closes by itself: the file is all.
  if (state_.OnBehalfOfHoralia()) return;
  const bool import = direction == ReportedDirection::Import;
  const std::wstring text = failure ? L"No se pudo escribir el informe: " + *failure
                                    : std::wstring(import ? L"Ver el informe de la importaci\u00F3n"
                                                          : L"Ver el informe de la exportaci\u00F3n");
  HWND link = Control(IDC_REPORTLINK);
  SetWindowTextW(link, text.c_str());
  EnableWindow(link, failure ? FALSE : TRUE);
  ShowWindow(link, SW_SHOWNA);
  InvalidateRect(link, nullptr, TRUE);
}

void TMForm::ReportLinkClick() {
  if (!reportFile_.empty()) OpenReportPage(window_, reportFile_);
}

void TMForm::DrawReportLink(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  wchar_t text[512];
  GetWindowTextW(item.hwndItem, text, static_cast<int>(std::size(text)));
  const bool link = (item.itemState & ODS_DISABLED) == 0;
  HGDIOBJ oldFont = SelectObject(item.hDC, link ? linkFont_ : font_);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, link ? kBlue : RGB(128, 0, 0));
  RECT area = item.rcItem;
  DrawTextW(item.hDC, text, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) {
    RECT measured = item.rcItem;
    DrawTextW(item.hDC, text, -1, &measured, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    measured.right = std::min(measured.right, item.rcItem.right);
    measured.bottom = std::min(measured.bottom, item.rcItem.bottom);
    DrawFocusRect(item.hDC, &measured);
  }
  SelectObject(item.hDC, oldFont);
}

void TMForm::BExportarClick() { RunDirection(StartImport); }

void TMForm::BImportarClick() { RunDirection(StartExport); }

void TMForm::RunDirection(void (*start)(TMForm&, const std::wstring&)) {
  const std::wstring folder = folders_->folder();
  dirTxt_ = DirectionFolderText(folder);
  try {
    if (!RunDirectionTestHooks(dirTxt_, dialog_)) start(*this, folder);
    // Closing after an error report is left to the user, also for Horalia.
    if (state_.closeRequested) PostMessageW(window_, WM_CLOSE, 0, 0);
  } catch (const std::exception& failure) {
    dialog_.ErrorReport(failure);
  }
}

namespace {

struct ControlSearch {
  int id;
  HWND found;
};

// A named stdcall function: a lambda does not convert to WNDENUMPROC in the
// 32-bit build, whose callbacks have another calling convention.
BOOL CALLBACK FindControl(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<ControlSearch*>(data);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

HWND TMForm::Control(int id) const {
  ControlSearch search{id, nullptr};
  EnumChildWindows(window_, FindControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void TMForm::KeepImportPanels(std::unique_ptr<ImportPanels> panels) { importPanels_ = std::move(panels); }

void TMForm::ShowPanel(int panelId) {
  SetWindowPos(Control(panelId), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

LRESULT TMForm::LabelColours(HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case IDC_DRAW3D2_LABEL:
    case IDC_DRAW3D3_LABEL:
      // Drawn onto the gradient.
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case IDC_LABEL12:
    case IDC_LABEL2:
    case IDC_LABEL1:
      SetTextColor(dc, kRed);
      break;
    case IDC_LABEL5:
    case IDC_LABEL6:
      SetTextColor(dc, kBlue);
      break;
    default:
      return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK TMForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = WindowObject<TMForm>(window, message, lParam);
  if (!form) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) form->window_ = window;
  return HandleReportingErrors(form->dialog_, [&] { return form->Handle(message, wParam, lParam); });
}

LRESULT TMForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LayoutReportMessage()) return WriteLayoutReport(window_) ? 1 : 0;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int notification = HIWORD(wParam);
      if (folders_ && folders_->OnCommand(id, notification)) return 0;
      if (notification != BN_CLICKED) break;
      switch (id) {
        case IDC_BEXPORTAR: BExportarClick(); return 0;
        case IDC_BIMPORTAR: BImportarClick(); return 0;
        case IDC_BUTTON1: Button1Click(); return 0;
        case IDC_BCLOSE: BCloseClick(); return 0;
        case IDC_REPORTLINK: ReportLinkClick(); return 0;
        default: break;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_BUTTON && item.CtlID == IDC_REPORTLINK) {
        DrawReportLink(item);
        return TRUE;
      }
      if (item.CtlType == ODT_BUTTON) {
        DrawImageButton(item);
        return TRUE;
      }
      if (FolderList::OnDrawItem(item)) return TRUE;
      break;
    }
    case WM_MEASUREITEM:
      if (FolderList::OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), font_, layout_.dpi())) return TRUE;
      break;
    case WM_DPICHANGED:
      // Moved to a screen of another scale.
      layout_.ChangeDpi(window_, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      font_ = layout_.Font(L"MS Sans Serif", 8, false);
      boldFont_ = layout_.Font(L"MS Sans Serif", 8, true);
      panelFont_ = layout_.Font(L"Arial", 12, true);
      linkFont_ = layout_.Font(L"MS Sans Serif", 8, false, true);
      if (folders_) folders_->FollowFont(layout_.dpi());
      return 0;
    case WM_CTLCOLORSTATIC:
      return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORLISTBOX:
      if (folders_) return reinterpret_cast<LRESULT>(folders_->ListBackground());
      break;
    case WM_ACTIVATE:
      if (focusKeeper_.OnActivate(window_, wParam)) return 0;
      break;
    case WM_HELP:
      ShowContextHelp();
      return TRUE;
    case WM_SETCURSOR:
      if (Win32Dialog::IsBusy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      FormClose();
      DestroyWindow(window_);
      return 0;
    case WM_ENDSESSION:
      if (wParam) FormClose();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ludaro

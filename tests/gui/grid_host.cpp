// A window that shows one table in a data grid with a record navigator, for
// the GUI tests of the grid and for looking at it:
//   grid_host TABLE.DBF [--index TAG] [--columns F:W[:FLAGS[:TITLE]],...]
//             [--title T] [--delete] [--enter-next] [--edit-on-focus]
//             [--check-time FIELD] [--mark-empty FIELD] [--template-buttons]
//             [--title-lines N]
// FLAGS: r read-only, f fixed. Without --columns every field is shown.
// Control ids: the grid 100, the navigator's buttons 200 + their number, a
// status line 300 ("row R of N, recno K, STATE"), the close button 1.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls/data_grid.h"
#include "app/controls/record_navigator.h"
#include "app/controls/window_object.h"
#include "common/dbf/table.h"
#include "common/session/error_report.h"

namespace {

using namespace ludaro;
using namespace ludaro::controls;

constexpr int kGridId = 100;
constexpr int kNavigatorFirstId = 200;
constexpr int kStatusId = 300;
constexpr int kCloseId = IDOK;

struct HostOptions {
  std::filesystem::path table;
  std::string index;
  std::wstring title = L"Grid host";
  std::vector<GridColumn> columns;
  bool allowDelete = false;
  bool enterNext = false;
  bool editOnFocus = false;
  bool templateButtons = false;
  int titleLines = 1;
  std::string timeField;
  std::string markEmptyField;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::wstring::npos) return parts;
    start = end + 1;
  }
}

std::vector<GridColumn> ParseColumns(const std::wstring& spec) {
  std::vector<GridColumn> columns;
  for (const auto& item : Split(spec, L',')) {
    const auto parts = Split(item, L':');
    GridColumn column;
    column.field = Narrow(parts[0]);
    if (parts.size() > 1) column.displayWidth = std::stoi(parts[1]);
    if (parts.size() > 2) {
      column.readOnly = parts[2].find(L'r') != std::wstring::npos;
      column.fixed = parts[2].find(L'f') != std::wstring::npos;
    }
    if (parts.size() > 3) column.title = U16(parts[3]);
    columns.push_back(column);
  }
  return columns;
}

HostOptions ParseArguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count < 2) throw std::invalid_argument("usage: grid_host TABLE.DBF [options]");
  HostOptions options;
  options.table = words[1];
  for (int i = 2; i < count; ++i) {
    const std::wstring word = words[i];
    auto value = [&]() -> std::wstring {
      if (i + 1 >= count) throw std::invalid_argument("option " + Narrow(word) + " needs a value");
      return words[++i];
    };
    if (word == L"--index") options.index = Narrow(value());
    else if (word == L"--columns") options.columns = ParseColumns(value());
    else if (word == L"--title") options.title = value();
    else if (word == L"--delete") options.allowDelete = true;
    else if (word == L"--enter-next") options.enterNext = true;
    else if (word == L"--edit-on-focus") options.editOnFocus = true;
    else if (word == L"--template-buttons") options.templateButtons = true;
    else if (word == L"--title-lines") options.titleLines = std::stoi(value());
    else if (word == L"--check-time") options.timeField = Narrow(value());
    else if (word == L"--mark-empty") options.markEmptyField = Narrow(value());
    else throw std::invalid_argument("unknown option " + Narrow(word));
  }
  LocalFree(words);
  return options;
}

bool IsClockTime(const std::u16string& text) {
  if (text.size() != 5 || text[2] != u':') return false;
  for (std::size_t i : {0u, 1u, 3u, 4u})
    if (text[i] < u'0' || text[i] > u'9') return false;
  const int hours = (text[0] - u'0') * 10 + (text[1] - u'0');
  const int minutes = (text[3] - u'0') * 10 + (text[4] - u'0');
  return hours <= 24 && minutes <= 59;
}

class Host {
 public:
  explicit Host(HostOptions options) : options_(std::move(options)) {}

  int Run() {
    table_ = std::make_unique<dbf::Table>(options_.table.parent_path(), options_.table.filename().string());
    if (!options_.index.empty()) table_->SetIndexName(options_.index);
    table_->Open();
    table_->First();
    if (options_.columns.empty())
      for (const auto& field : table_->Fields()) options_.columns.push_back({field.name, u"", std::min(field.width, 20)});

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"LudaroGridHost";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, 600, 330};
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU, FALSE);
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, windowClass.lpszClassName, options_.title.c_str(),
                              WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 20, 20, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, windowClass.hInstance, this);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    GridStyle style;
    style.cellBackground = Colour::FromSystem(system_colour::kInfoBackground);
    style.alternateBackground = colours::kSilver;
    style.titleBackground = colours::kCream;
    style.titleText = colours::kBlue;
    style.titleBold = true;
    style.currentRowBackground = colours::kMaroon;
    style.currentRowText = colours::kWhite;
    style.allowDelete = options_.allowDelete;
    style.enterMovesToNextCell = options_.enterNext;
    style.horizontalScrollBar = false;
    style.titleLines = options_.titleLines;
    grid_ = std::make_unique<DataGrid>(window_, kGridId, RECT{10, 10, 590, 250}, GridModel(options_.columns, style), font);
    HookGrid();
    grid_->Attach(table_.get());

    const auto buttons = options_.templateButtons
                             ? std::vector<NavigatorButton>{NavigatorButton::First, NavigatorButton::PriorPage,
                                                            NavigatorButton::Prior, NavigatorButton::Next,
                                                            NavigatorButton::NextPage, NavigatorButton::Last,
                                                            NavigatorButton::Edit, NavigatorButton::Post,
                                                            NavigatorButton::Cancel, NavigatorButton::Refresh}
                             : StandardNavigatorButtons();
    navigator_ = std::make_unique<RecordNavigator>(window_, kNavigatorFirstId, POINT{10, 258}, 25, buttons, *grid_);
    status_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 294, 400, 20, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), nullptr, nullptr);
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HWND close = CreateWindowExW(0, L"BUTTON", L"Cerrar", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 510, 290,
                                 80, 26, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), nullptr, nullptr);
    SendMessageW(close, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    grid_->AddChangeListener([this] { ShowStatus(); });
    ShowStatus();
    SetFocus(grid_->list());

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (IsDialogMessageW(window_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return exitCode_;
  }

 private:
  void HookGrid() {
    if (options_.editOnFocus) {
      grid_->SetOnEnter([this] {
        grid_->RunOnTable([](dbf::Table& table) {
          if (!table.Editing()) table.Edit();
        });
      });
      grid_->SetOnExit([this] {
        grid_->RunOnTable([](dbf::Table& table) {
          if (table.Editing()) table.Post();
        });
      });
    }
    if (!options_.timeField.empty()) {
      grid_->SetCellCheck([this](const CellEdit& edit) -> std::optional<std::u16string> {
        if (lstrcmpiA(edit.field.c_str(), options_.timeField.c_str()) != 0 || IsClockTime(edit.text)) return std::nullopt;
        return u"Hora no v\u00E1lida: " + edit.text + u". Escriba la hora como HH:MM.";
      });
    }
    if (!options_.markEmptyField.empty()) {
      grid_->SetCellColourHook([this](const GridRows& rows, std::size_t row, std::size_t column) -> std::optional<Colour> {
        if (lstrcmpiA(options_.columns[column].field.c_str(), options_.markEmptyField.c_str()) != 0) return std::nullopt;
        if (!rows.Text(row, column).empty()) return std::nullopt;
        return Colour::FromRgb(255, 255, 0);
      });
    }
  }

  void ShowStatus() {
    if (!status_) return;
    const auto current = grid_->CurrentRow();
    static const wchar_t* const kStates[] = {L"Inactive", L"Browse", L"Edit", L"Insert"};
    std::wstring text = L"row " + (current ? std::to_wstring(*current + 1) : std::wstring(L"-")) + L" of " +
                        std::to_wstring(grid_->RowCount()) + L", recno " + std::to_wstring(table_->RecNo()) + L", " +
                        kStates[static_cast<int>(table_->state())];
    SetWindowTextW(status_, text.c_str());
  }

  void Close() {
    grid_->CommitEdit();
    try {
      if (table_->Editing()) table_->Post();
      table_->Close();
    } catch (const std::exception& error) {
      MessageBoxW(window_, reinterpret_cast<const wchar_t*>(ErrorReportText(error).c_str()), L"Ludaro", MB_OK | MB_ICONERROR);
      exitCode_ = 1;
    }
    navigator_.reset();
    grid_.reset();
    DestroyWindow(window_);
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowObject<Host>(window, message, lParam);
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(wParam) == kCloseId && HIWORD(wParam) == BN_CLICKED) {
          self->Close();
          return 0;
        }
        break;
      case WM_CLOSE:
        self->Close();
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HostOptions options_;
  std::unique_ptr<dbf::Table> table_;
  std::unique_ptr<DataGrid> grid_;
  std::unique_ptr<RecordNavigator> navigator_;
  HWND window_ = nullptr;
  HWND status_ = nullptr;
  int exitCode_ = 0;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    Host host(ParseArguments());
    return host.Run();
  } catch (const std::exception& error) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(ludaro::ErrorReportText(error).c_str()), L"Ludaro",
                MB_OK | MB_ICONERROR);
    return 1;
  }
}

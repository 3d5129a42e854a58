#include "app/controls/data_grid.h"

#include <commctrl.h>

#include <algorithm>

#include "app/controls/text_metrics.h"
#include "app/controls/window_object.h"
#include "common/error.h"
#include "common/session/error_report.h"

namespace ludaro::controls {
namespace {

constexpr wchar_t kFrameClass[] = L"LudaroDataGrid";
constexpr wchar_t kCaption[] = L"Ludaro";
// Posted by the cell editor when it loses the focus: the edit is stored once
// the focus change (and the click that caused it) is over.
constexpr UINT kCommitAfterFocusLoss = WM_APP + 1;
constexpr int kTextInset = 4;
constexpr COLORREF kGridLine = RGB(208, 208, 208);

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::u16string TextOfWindow(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(std::max(0, copied)));
  return text;
}

void RegisterFrameClass(WNDPROC procedure) {
  static bool registered = false;
  if (registered) return;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW frame{};
  frame.lpfnWndProc = procedure;
  frame.hInstance = GetModuleHandleW(nullptr);
  frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  frame.lpszClassName = kFrameClass;
  if (!RegisterClassW(&frame)) throw Error("cannot register the data grid's window class");
  registered = true;
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

COLORREF ToColorRef(const Colour& colour) {
  if (colour.kind == Colour::Kind::System) return GetSysColor(static_cast<int>(colour.value));
  return static_cast<COLORREF>(colour.value);
}

DataGrid::DataGrid(HWND parent, int id, const RECT& bounds, GridModel model, HFONT font) : model_(std::move(model)) {
  RegisterFrameClass(FrameProc);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  font_ = font ? font : reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
  if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  titleFont_ = font_;
  if (model_.style().titleBold) {
    LOGFONTW bold{};
    GetObjectW(font_, sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    titleFont_ = CreateFontIndirectW(&bold);
    ownsTitleFont_ = true;
  }
  rowHeight_ = LineHeight(parent, font_) + 6;

  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  frame_ = CreateWindowExW(WS_EX_CONTROLPARENT, kFrameClass, L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top, width,
                           height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  if (!frame_) throw Error("cannot create the data grid's window");
  const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL |
                          LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_OWNERDRAWFIXED | LVS_NOSORTHEADER;
  list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", listStyle, 0, 0, width, height, frame_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!list_) throw Error("cannot create the data grid's list");
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  header_ = ListView_GetHeader(list_);
  SetWindowSubclass(list_, ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
  if (header_) SetWindowSubclass(header_, HeaderProc, 1, reinterpret_cast<DWORD_PTR>(this));

  editor_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, list_, nullptr, instance,
                            nullptr);
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetWindowSubclass(editor_, EditorProc, 1, reinterpret_cast<DWORD_PTR>(this));

  CreateColumns();
  LayoutColumns();
  currentColumn_ = model_.FirstEnterableColumn();
}

DataGrid::~DataGrid() {
  if (IsWindow(editor_)) RemoveWindowSubclass(editor_, EditorProc, 1);
  if (header_ && IsWindow(header_)) RemoveWindowSubclass(header_, HeaderProc, 1);
  if (IsWindow(list_)) RemoveWindowSubclass(list_, ListProc, 1);
  if (IsWindow(frame_)) {
    SetWindowLongPtrW(frame_, GWLP_USERDATA, 0);
    DestroyWindow(frame_);
  }
  if (ownsTitleFont_) DeleteObject(titleFont_);
}

// ----------------------------------------------------------------- table

void DataGrid::Attach(dbf::Table* table) {
  CloseEditor();
  if (table && table->Active()) CheckColumnsAgainst(model_.columns(), table->Fields(), table->path().string());
  table_ = table;
  rows_.reset();
  if (table_) {
    std::vector<std::string> fields;
    for (const auto& column : model_.columns()) fields.push_back(column.field);
    rows_ = std::make_unique<GridRows>(*table_, std::move(fields));
  }
  currentColumn_ = model_.FirstEnterableColumn();
  Refresh();
}

void DataGrid::ReloadRows() {
  if (!rows_) return;
  try {
    rows_->Reload();
  } catch (const std::exception& error) {
    Report(error);
  }
}

void DataGrid::Refresh() {
  CloseEditor();
  ReloadRows();
  ShowRows();
  NotifyChange();
}

std::size_t DataGrid::RowCount() const { return rows_ ? rows_->Count() : 0; }

std::optional<std::size_t> DataGrid::CurrentRow() const { return rows_ ? rows_->Current() : std::nullopt; }

bool DataGrid::MoveToRow(std::size_t row) {
  if (!rows_ || !CommitEdit()) return false;
  bool moved = true;
  try {
    if (rowMove_) {
      rowMove_(row);
    } else {
      rows_->MoveTo(row);
    }
  } catch (const std::exception& error) {
    Report(error);
    moved = false;
  }
  // The screen may have stored the row it left: show what the table holds.
  if (rowMove_) ReloadRows();
  ShowRows();
  NotifyChange();
  return moved;
}

void DataGrid::InsertRow() {
  if (!CommitEdit()) return;
  RunOnTable([](dbf::Table& table) { table.Append(); });
  currentColumn_ = model_.FirstEnterableColumn();
}

void DataGrid::DeleteCurrentRow(bool ask) {
  const auto row = CurrentRow();
  if (!row) return;
  CancelEdit();
  if (ask && !Ask(deleteQuestion_)) return;
  try {
    rows_->Delete(*row);
  } catch (const std::exception& error) {
    Report(error);
  }
  ShowRows();
  NotifyChange();
}

void DataGrid::RunOnTable(const std::function<void(dbf::Table&)>& action) {
  if (!table_) return;
  try {
    action(*table_);
  } catch (const std::exception& error) {
    Report(error);
  }
  Refresh();
}

// ----------------------------------------------------------------- editing

bool DataGrid::CellEditorOpen() const { return editRow_.has_value(); }

int DataGrid::EditLimitOf(std::size_t column) const {
  const GridColumn& shown = model_.columns().at(column);
  if (table_ && table_->Active())
    for (const auto& field : table_->Fields())
      if (lstrcmpiA(field.name.c_str(), shown.field.c_str()) == 0) return EditLimit(field);
  return std::max(1, shown.displayWidth);
}

void DataGrid::BeginEdit(std::optional<std::u16string> initialText) {
  if (CellEditorOpen() || !rows_ || !currentColumn_ || !model_.CanEdit(*currentColumn_)) return;
  const auto row = CurrentRow();
  if (!row) return;
  const std::size_t column = *currentColumn_;
  ListView_EnsureVisible(list_, static_cast<int>(*row), FALSE);
  ScrollColumnIntoView(column);
  const RECT cell = CellRect(*row, column);
  std::u16string text = initialText ? *initialText : rows_->Text(*row, column);
  SendMessageW(editor_, EM_LIMITTEXT, static_cast<WPARAM>(EditLimitOf(column)), 0);
  SetWindowTextW(editor_, Wide(text));
  SetWindowPos(editor_, HWND_TOP, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, SWP_SHOWWINDOW);
  editRow_ = *row;
  editColumn_ = column;
  SetFocus(editor_);
  const int length = GetWindowTextLengthW(editor_);
  if (initialText) {
    SendMessageW(editor_, EM_SETSEL, static_cast<WPARAM>(length), length);
  } else {
    SendMessageW(editor_, EM_SETSEL, 0, -1);
  }
}

bool DataGrid::CommitEdit() {
  if (!CellEditorOpen()) return true;
  if (committing_) return false;
  committing_ = true;
  const std::size_t row = *editRow_;
  const std::size_t column = editColumn_;
  const std::u16string text = TextOfWindow(editor_);
  bool stored = true;
  if (text != rows_->Text(row, column) && cellStore_) {
    try {
      stored = cellStore_({row, column, model_.columns()[column].field, text});
    } catch (const std::exception& error) {
      Report(error);
      stored = false;
    }
    ReloadRows();
  } else if (text != rows_->Text(row, column)) {
    const auto refusal = cellCheck_ ? cellCheck_({row, column, model_.columns()[column].field, text}) : std::nullopt;
    if (refusal) {
      MessageBoxW(GetAncestor(frame_, GA_ROOT), Wide(*refusal), kCaption, MB_OK | MB_ICONWARNING);
      stored = false;
    } else {
      try {
        rows_->Store(row, column, text);
      } catch (const std::exception& error) {
        Report(error);
        stored = false;
      }
    }
  }
  if (stored) {
    CloseEditor();
    ShowRows();
    NotifyChange();
  } else {
    SetFocus(editor_);
    SendMessageW(editor_, EM_SETSEL, 0, -1);
  }
  committing_ = false;
  return stored;
}

void DataGrid::CancelEdit() {
  if (!CellEditorOpen()) return;
  CloseEditor();
  NotifyChange();
}

void DataGrid::CloseEditor() {
  if (!editRow_) return;
  const auto row = editRow_;
  editRow_.reset();
  if (GetFocus() == editor_) SetFocus(list_);
  ShowWindow(editor_, SW_HIDE);
  InvalidateRow(row);
}

void DataGrid::AfterEditorLostFocus() {
  HWND focus = GetFocus();
  if (!CellEditorOpen() || focus == editor_) return;
  if (!CommitEdit()) return;
  focus = GetFocus();
  if (focus != list_ && focus != editor_ && onExit_) onExit_();
}

// ----------------------------------------------------------------- moving

void DataGrid::OnCurrentItemChanged(int item) {
  if (!rows_ || item < 0) return;
  const auto current = CurrentRow();
  if (current && *current == static_cast<std::size_t>(item)) return;
  if (!MoveToRow(static_cast<std::size_t>(item))) SelectCurrentRow();
}

void DataGrid::MoveColumn(int direction) {
  if (!currentColumn_) {
    currentColumn_ = model_.FirstEnterableColumn();
  } else if (auto next = model_.NextEnterableColumn(*currentColumn_, direction)) {
    currentColumn_ = next;
  }
  if (currentColumn_) ScrollColumnIntoView(*currentColumn_);
  InvalidateRow(CurrentRow());
  NotifyChange();
}

void DataGrid::OnClick(POINT point) {
  if (!CommitEdit()) return;
  LVHITTESTINFO hit{};
  hit.pt = point;
  ListView_SubItemHitTest(list_, &hit);
  SetFocus(list_);
  if (hit.iItem < 0 || !rows_) return;
  const auto row = static_cast<std::size_t>(hit.iItem);
  const auto current = CurrentRow();
  if ((!current || *current != row) && !MoveToRow(row)) return;
  const auto column = static_cast<std::size_t>(std::max(0, hit.iSubItem));
  if (!model_.CanEnter(column)) return;
  currentColumn_ = column;
  InvalidateRow(row);
  NotifyChange();
  if (model_.CanEdit(column)) BeginEdit();
}

// ----------------------------------------------------------------- showing

void DataGrid::CreateColumns() {
  for (std::size_t i = 0; i < model_.columns().size(); ++i) {
    std::u16string title = model_.TitleOf(i);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 60;
    column.pszText = const_cast<wchar_t*>(Wide(title));
    ListView_InsertColumn(list_, static_cast<int>(i), &column);
  }
}

void DataGrid::LayoutColumns() {
  HDC dc = GetDC(list_);
  HGDIOBJ old = SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  int widest = 0;
  for (wchar_t c : std::wstring(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, &c, 1, &extent);
    widest = std::max(widest, static_cast<int>(extent.cx));
  }
  SelectObject(dc, titleFont_);
  std::vector<int> widths;
  for (std::size_t i = 0; i < model_.columns().size(); ++i) {
    const std::u16string title = model_.TitleOf(i);
    SIZE extent{};
    GetTextExtentPoint32W(dc, Wide(title), static_cast<int>(title.size()), &extent);
    widths.push_back(model_.PixelWidth(i, metrics.tmAveCharWidth, extent.cx, widest));
  }
  SelectObject(dc, old);
  ReleaseDC(list_, dc);

  if (!model_.style().horizontalScrollBar && !widths.empty()) {
    // Without a horizontal scroll bar every column must be reachable, so
    // the last one gives up what does not fit.
    RECT client{};
    GetClientRect(list_, &client);
    const int available = client.right - GetSystemMetrics(SM_CXVSCROLL);
    int total = 0;
    for (int width : widths) total += width;
    // The last column also takes what is left, so no unpainted strip stays
    // right of it.
    widths.back() = std::max(2 * kTextInset + 8, widths.back() + (available - total));
  }
  for (std::size_t i = 0; i < widths.size(); ++i) ListView_SetColumnWidth(list_, static_cast<int>(i), widths[i]);
}

void DataGrid::SetFont(HFONT font) {
  if (!font || font == font_) return;
  font_ = font;
  if (ownsTitleFont_) {
    DeleteObject(titleFont_);
    LOGFONTW bold{};
    GetObjectW(font_, sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    titleFont_ = CreateFontIndirectW(&bold);
  } else {
    titleFont_ = font_;
  }
  rowHeight_ = LineHeight(frame_, font_) + 6;
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  LayoutColumns();
  InvalidateRect(list_, nullptr, TRUE);
}

DataGrid* DataGrid::FromWindow(HWND frame) {
  wchar_t name[32] = L"";
  GetClassNameW(frame, name, 32);
  if (lstrcmpW(name, kFrameClass) != 0) return nullptr;
  return reinterpret_cast<DataGrid*>(GetWindowLongPtrW(frame, GWLP_USERDATA));
}

std::vector<ColumnFit> DataGrid::MeasureColumns() const {
  std::vector<ColumnFit> fits;
  HDC dc = GetDC(list_);
  HGDIOBJ old = SelectObject(dc, font_);
  RECT header{};
  GetWindowRect(header_, &header);
  for (std::size_t column = 0; column < model_.columns().size(); ++column) {
    ColumnFit fit{ListView_GetColumnWidth(list_, static_cast<int>(column)), 0, true};
    SelectObject(dc, font_);
    // The texts the column's width promises to show whole: those no longer
    // than its display width.
    for (std::size_t row = 0; row < RowCount(); ++row) {
      const std::u16string text = rows_->Text(row, column);
      if (static_cast<int>(text.size()) > model_.columns()[column].displayWidth) continue;
      SIZE size{};
      GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
      fit.widestCell = std::max(fit.widestCell, static_cast<int>(size.cx) + 2 * kTextInset);
    }
    SelectObject(dc, titleFont_);
    const std::u16string title = model_.TitleOf(column);
    RECT area{0, 0, fit.width - 2 * kTextInset, 0};
    const UINT lines = model_.style().titleLines > 1 ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextW(dc, Wide(title), static_cast<int>(title.size()), &area, DT_CALCRECT | DT_NOPREFIX | lines);
    fit.titleFits = area.right <= fit.width - 2 * kTextInset && area.bottom <= header.bottom - header.top - 4;
    fits.push_back(fit);
  }
  SelectObject(dc, old);
  ReleaseDC(list_, dc);
  return fits;
}

RECT DataGrid::CellRect(std::size_t row, std::size_t column) const {
  RECT rowRect{};
  ListView_GetItemRect(list_, static_cast<int>(row), &rowRect, LVIR_BOUNDS);
  RECT title{};
  Header_GetItemRect(header_, static_cast<int>(column), &title);
  return {rowRect.left + title.left, rowRect.top, rowRect.left + title.right, rowRect.bottom};
}

void DataGrid::ScrollColumnIntoView(std::size_t column) {
  RECT client{};
  GetClientRect(list_, &client);
  const RECT cell = CellRect(0, column);
  if (cell.left < 0) {
    ListView_Scroll(list_, cell.left, 0);
  } else if (cell.right > client.right) {
    ListView_Scroll(list_, std::min(cell.left, cell.right - client.right), 0);
  }
}

void DataGrid::DrawRow(const DRAWITEMSTRUCT& item) {
  if (!rows_ || item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  const auto row = static_cast<std::size_t>(item.itemID);
  const auto current = CurrentRow();
  const bool isCurrent = current && *current == row;
  const bool focused = GetFocus() == list_;
  HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t column = 0; column < model_.columns().size(); ++column) {
    RECT title{};
    Header_GetItemRect(header_, static_cast<int>(column), &title);
    RECT cell{item.rcItem.left + title.left, item.rcItem.top, item.rcItem.left + title.right, item.rcItem.bottom};
    const auto fromHook = colourHook_ ? colourHook_(*rows_, row, column) : std::nullopt;
    const CellColours colours = model_.ColoursOf(row, isCurrent, fromHook);
    Fill(dc, cell, ToColorRef(colours.background));
    Fill(dc, {cell.right - 1, cell.top, cell.right, cell.bottom}, kGridLine);
    Fill(dc, {cell.left, cell.bottom - 1, cell.right, cell.bottom}, kGridLine);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(colours.text));
    const std::u16string text = rows_->Text(row, column);
    RECT textRect{cell.left + kTextInset, cell.top, cell.right - kTextInset, cell.bottom - 1};
    DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &textRect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (isCurrent && focused && currentColumn_ && *currentColumn_ == column) {
      RECT frame{cell.left + 1, cell.top + 1, cell.right - 2, cell.bottom - 2};
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      DrawFocusRect(dc, &frame);
    }
  }
  SelectObject(dc, oldFont);
}

LRESULT DataGrid::OnHeaderCustomDraw(NMCUSTOMDRAW& draw) {
  const GridStyle& style = model_.style();
  if (draw.dwDrawStage == CDDS_PREPAINT) {
    RECT all{};
    GetClientRect(header_, &all);
    Fill(draw.hdc, all, ToColorRef(style.titleBackground));
    return CDRF_NOTIFYITEMDRAW;
  }
  if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const auto column = static_cast<std::size_t>(draw.dwItemSpec);
  if (column >= model_.columns().size()) return CDRF_DODEFAULT;
  RECT cell = draw.rc;
  Fill(draw.hdc, cell, ToColorRef(style.titleBackground));
  DrawEdge(draw.hdc, &cell, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
  HGDIOBJ old = SelectObject(draw.hdc, titleFont_);
  SetBkMode(draw.hdc, TRANSPARENT);
  SetTextColor(draw.hdc, ToColorRef(style.titleText));
  const std::u16string title = model_.TitleOf(column);
  RECT textRect{cell.left + kTextInset, cell.top + 2, cell.right - kTextInset, cell.bottom - 2};
  const UINT lines = style.titleLines > 1 ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
  DrawTextW(draw.hdc, Wide(title), static_cast<int>(title.size()), &textRect, DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS | lines);
  SelectObject(draw.hdc, old);
  return CDRF_SKIPDEFAULT;
}

void DataGrid::ShowRows() {
  // A shorter list moves the list view's own focus; the table's row is the
  // one to show, so that move must not reach the table.
  syncing_ = true;
  ListView_SetItemCountEx(list_, static_cast<int>(RowCount()), LVSICF_NOSCROLL);
  syncing_ = false;
  SelectCurrentRow();
  InvalidateRect(list_, nullptr, FALSE);
}

void DataGrid::SelectCurrentRow() {
  syncing_ = true;
  const auto current = CurrentRow();
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (current) {
    ListView_SetItemState(list_, static_cast<int>(*current), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, static_cast<int>(*current), FALSE);
  }
  syncing_ = false;
}

void DataGrid::InvalidateRow(std::optional<std::size_t> row) {
  if (!row) return;
  RECT rect{};
  if (ListView_GetItemRect(list_, static_cast<int>(*row), &rect, LVIR_BOUNDS)) InvalidateRect(list_, &rect, FALSE);
}

void DataGrid::NotifyChange() {
  for (const auto& listener : changeListeners_) listener();
}

void DataGrid::Report(const std::exception& error) {
  HWND owner = GetAncestor(frame_, GA_ROOT);
  if (errorReport_) {
    errorReport_(owner, error);
    return;
  }
  const std::u16string text = ErrorReportText(error);
  MessageBoxW(owner, Wide(text), kCaption, MB_OK | MB_ICONERROR);
}

bool DataGrid::Ask(const std::u16string& question) {
  return MessageBoxW(GetAncestor(frame_, GA_ROOT), Wide(question), kCaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

// ----------------------------------------------------------------- messages

LRESULT CALLBACK DataGrid::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<DataGrid>(window, message, lParam);
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) self->frame_ = window;
  return self->OnFrameMessage(message, wParam, lParam);
}

LRESULT DataGrid::OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measure->itemHeight = static_cast<UINT>(rowHeight_);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->hwndItem == list_) DrawRow(*draw);
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom != list_) break;
      if (header->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          const std::u16string text =
              rows_ ? rows_->Text(static_cast<std::size_t>(std::max(0, info->item.iItem)),
                                  static_cast<std::size_t>(std::max(0, info->item.iSubItem)))
                    : std::u16string();
          lstrcpynW(info->item.pszText, Wide(text), info->item.cchTextMax);
        }
        return 0;
      }
      if (header->code == LVN_ITEMCHANGED && !syncing_) {
        OnCurrentItemChanged(ListView_GetNextItem(list_, -1, LVNI_FOCUSED));
        return 0;
      }
      break;
    }
    case WM_SIZE:
      if (list_) MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      SetFocus(list_);
      return 0;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case kCommitAfterFocusLoss:
      AfterEditorLostFocus();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(frame_, message, wParam, lParam);
}

LRESULT CALLBACK DataGrid::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  (void)window;
  return reinterpret_cast<DataGrid*>(self)->OnListMessage(message, wParam, lParam);
}

LRESULT DataGrid::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = DefSubclassProc(list_, message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTCHARS;
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_F2:
        case VK_RETURN:
          BeginEdit();
          return 0;
        case VK_LEFT:
          MoveColumn(-1);
          return 0;
        case VK_RIGHT:
          MoveColumn(+1);
          return 0;
        case VK_DELETE:
          if (model_.style().allowDelete) DeleteCurrentRow(true);
          return 0;
        case VK_INSERT:
          return 0;
        default:
          break;
      }
      break;
    case WM_CHAR:
      if (wParam >= 0x20 && wParam != 0x7F) {
        BeginEdit(std::u16string(1, static_cast<char16_t>(wParam)));
        return 0;
      }
      if (wParam == '\r' || wParam == 0x1B) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnClick({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
      // An open editor would stay where its cell was; store it first.
      if (!CommitEdit()) return 0;
      break;
    case WM_SETFOCUS: {
      const LRESULT result = DefSubclassProc(list_, message, wParam, lParam);
      InvalidateRow(CurrentRow());
      if (reinterpret_cast<HWND>(wParam) != editor_ && onEnter_) onEnter_();
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(list_, message, wParam, lParam);
      InvalidateRow(CurrentRow());
      if (reinterpret_cast<HWND>(wParam) != editor_ && onExit_) onExit_();
      return result;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom != header_) break;
      if (header->code == NM_CUSTOMDRAW) return OnHeaderCustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
      if (header->code == HDN_BEGINTRACKW || header->code == HDN_BEGINTRACKA || header->code == HDN_DIVIDERDBLCLICKW ||
          header->code == HDN_DIVIDERDBLCLICKA) {
        const auto column = static_cast<std::size_t>(reinterpret_cast<NMHEADERW*>(lParam)->iItem);
        if (column < model_.columns().size() && model_.columns()[column].fixed) return TRUE;
      }
      break;
    }
    case WM_SIZE: {
      const LRESULT result = DefSubclassProc(list_, message, wParam, lParam);
      if (!model_.style().horizontalScrollBar) LayoutColumns();
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(list_, message, wParam, lParam);
}

LRESULT CALLBACK DataGrid::HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* grid = reinterpret_cast<DataGrid*>(self);
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (message == HDM_LAYOUT && result && grid->model_.style().titleLines > 1) {
    auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
    const int height = grid->model_.style().titleLines * LineHeight(window, grid->titleFont_) + 8;
    layout->pwpos->cy = height;
    layout->prc->top = layout->pwpos->y + height;
  }
  return result;
}

LRESULT CALLBACK DataGrid::EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  (void)window;
  return reinterpret_cast<DataGrid*>(self)->OnEditorMessage(message, wParam, lParam);
}

LRESULT DataGrid::OnEditorMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = DefSubclassProc(editor_, message, wParam, lParam);
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      if (pending && pending->message == WM_KEYDOWN && (pending->wParam == VK_RETURN || pending->wParam == VK_ESCAPE))
        code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_RETURN: {
          const CellPosition at{editRow_.value_or(0), editColumn_};
          if (!CommitEdit()) return 0;
          const CellPosition next = model_.CellAfterEnter(at, RowCount());
          if (next.row != at.row && !MoveToRow(next.row)) return 0;
          if (next.column != at.column) {
            currentColumn_ = next.column;
            ScrollColumnIntoView(next.column);
            InvalidateRow(CurrentRow());
            NotifyChange();
          }
          return 0;
        }
        case VK_ESCAPE:
          CancelEdit();
          return 0;
        case VK_UP:
        case VK_DOWN: {
          const auto row = editRow_;
          if (!row || !CommitEdit()) return 0;
          if (wParam == VK_UP && *row > 0) MoveToRow(*row - 1);
          if (wParam == VK_DOWN && *row + 1 < RowCount()) MoveToRow(*row + 1);
          return 0;
        }
        default:
          break;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == 0x1B) return 0;
      break;
    case WM_KILLFOCUS:
      if (CellEditorOpen() && !committing_) PostMessageW(frame_, kCommitAfterFocusLoss, 0, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(editor_, message, wParam, lParam);
}

}  // namespace ludaro::controls

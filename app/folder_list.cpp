#include "app/folder_list.h"

#include <commctrl.h>

#include <algorithm>

#include "app/controls/text_metrics.h"
#include "app/folder_path.h"
#include "app/scaled_layout.h"
#include "app/resource_ids.h"
#include "common/error.h"
#include "common/utf.h"

namespace ludaro {
namespace {

// Positions on the lower panel.
constexpr int kListLeft = 150, kListTop = 34, kListWidth = 287, kListHeight = 110;
constexpr int kDrivesLeft = 150, kDrivesTop = 147, kDrivesWidth = 137, kDrivesHeight = 19;
constexpr COLORREF kListColour = RGB(240, 251, 255);

constexpr int kItemHeight = 16;  // at 96 DPI; the images are drawn for it
constexpr int kIndent = 8;
constexpr int kMaxIndentLevels = 16;
constexpr UINT_PTR kSubclassId = 1;

// Item data of an entry of the folder list.
constexpr LRESULT kOpenFolder = 0x100;
constexpr LRESULT kDepthMask = 0xFF;

std::string Utf8(const std::wstring& text) { return U16ToUtf8(std::u16string(text.begin(), text.end())); }

std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(code);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  return Utf8(text);
}

std::wstring CurrentFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0) throw Error("Cannot read the current folder: " + SystemMessage(GetLastError()));
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    folder.resize(length);
  }
}

// Windows keeps each drive's current folder for the process in an
// environment variable named "=C:"; changing the current directory does not
// set it, so the list does, as the C runtime's chdir would.
void RememberDriveFolder(const std::wstring& folder) {
  if (folder.size() >= 2 && folder[1] == L':')
    SetEnvironmentVariableW((L"=" + folder.substr(0, 2)).c_str(), folder.c_str());
}

// The folder a drive was last in, as Windows remembers it for the process.
std::wstring DriveCurrentFolder(const std::wstring& root) {
  const std::wstring drive = root.substr(0, 2);
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetFullPathNameW(drive.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return root;
  const std::wstring folder(buffer, length);
  return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES ? root : folder;
}

std::vector<std::wstring> Subfolders(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::wstring pattern = folder;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
    if ((found.dwFileAttributes & hiddenSystem) == hiddenSystem) continue;
    names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
  return names;
}

std::wstring ItemText(HWND control, UINT item, bool combo) {
  const LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, item, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void FillRectColour(HDC dc, const RECT& area, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

// The rows' heights for `font` at `dpi`: the field of the closed drive list
// as high as a line, a row 16 pixels at 96 DPI, scaled, and never less than
// the line and three pixels.
struct RowHeights {
  int field;
  int row;
};

RowHeights RowHeightsFor(HFONT font, UINT dpi) {
  const int measured = controls::LineHeight(nullptr, font);
  const int line = measured > 0 ? measured : kItemHeight - 3;
  return {line, std::max(Scaled(kItemHeight, dpi), line + 3)};
}

// A glyph drawn on a 16-pixel row, scaled to a row `rowHeight` high.
class GlyphPainter {
 public:
  GlyphPainter(HDC dc, int left, int top, int rowHeight) : dc_(dc), left_(left), top_(top), rowHeight_(rowHeight) {}
  void Fill(int x0, int y0, int x1, int y1, COLORREF colour) const {
    FillRectColour(dc_, RECT{left_ + At(x0), top_ + At(y0), left_ + At(x1), top_ + At(y1)}, colour);
  }
  int At(int value) const { return MulDiv(value, rowHeight_, kItemHeight); }

 private:
  HDC dc_;
  int left_, top_, rowHeight_;
};

void DrawFolderGlyph(const GlyphPainter& paint, bool open) {
  paint.Fill(0, 0, 6, 2, RGB(128, 96, 0));
  paint.Fill(0, 2, 14, 12, RGB(128, 96, 0));
  paint.Fill(1, 3, 13, 11, open ? RGB(255, 236, 150) : RGB(240, 190, 50));
}

void DrawDriveGlyph(const GlyphPainter& paint) {
  paint.Fill(0, 3, 14, 11, RGB(96, 96, 96));
  paint.Fill(1, 4, 13, 10, RGB(200, 200, 200));
  paint.Fill(10, 7, 12, 9, RGB(0, 160, 0));
}

HWND CreateList(HWND parent, int id, const wchar_t* windowClass, DWORD style, int left, int top, int width,
                int height, HFONT font) {
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, windowClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, left,
                              top, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (!list) throw Error("Cannot create the list " + std::to_string(id));
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return list;
}

}  // namespace

FolderList::FolderList(HWND parent, HWND pathLabel, HFONT font, Win32Dialog& dialog)
    : pathLabel_(pathLabel), dialog_(dialog), background_(CreateSolidBrush(kListColour)) {
  folders_ = CreateList(parent, IDC_DIRECTORIOS, L"LISTBOX",
                        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                        kListLeft, kListTop, kListWidth, kListHeight, font);
  // The closed box gets its height from the item height, the open one from
  // the window's height.
  drives_ = CreateList(parent, IDC_UNIDADES, L"COMBOBOX",
                       CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, kDrivesLeft, kDrivesTop,
                       kDrivesWidth, kDrivesHeight + 8 * kItemHeight, font);
  SetWindowSubclass(folders_, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  folder_ = CurrentFolder();
  RememberDriveFolder(folder_);
  FillDrives();
  Fill();
  SelectCurrentDrive();
  ShowPath();
}

FolderList::~FolderList() {
  RemoveWindowSubclass(folders_, ListProc, kSubclassId);
  DeleteObject(background_);
}

void FolderList::Hide() {
  ShowWindow(folders_, SW_HIDE);
  ShowWindow(drives_, SW_HIDE);
}

LRESULT CALLBACK FolderList::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
  // Enter opens the selected folder, as a double click does; the dialog
  // keyboard handling would otherwise take it for the window's default button.
  if (message == WM_GETDLGCODE && lParam) {
    const MSG* key = reinterpret_cast<const MSG*>(lParam);
    if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
      return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTMESSAGE;
  }
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    reinterpret_cast<FolderList*>(self)->OpenSelected();
    return 0;
  }
  if (message == WM_CHAR && wParam == L'\r') return 0;
  return DefSubclassProc(list, message, wParam, lParam);
}

bool FolderList::OnCommand(int id, int notification) {
  if (id == IDC_DIRECTORIOS) {
    if (notification == LBN_DBLCLK) OpenSelected();
    return true;
  }
  if (id == IDC_UNIDADES) {
    if (notification == CBN_SELCHANGE) ChooseSelectedDrive();
    return true;
  }
  return false;
}

bool FolderList::Open(const std::wstring& folder) {
  if (!SetCurrentDirectoryW(folder.c_str())) {
    const DWORD code = GetLastError();
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
      dialog_.Message(u"No existe la carpeta");
    } else {
      dialog_.ErrorReport(Error("No se puede abrir la carpeta " + Utf8(folder) + ": " + SystemMessage(code)));
    }
    Fill();
    return false;
  }
  folder_ = CurrentFolder();
  RememberDriveFolder(folder_);
  Fill();
  SelectCurrentDrive();
  ShowPath();
  return true;
}

void FolderList::OpenSelected() {
  const LRESULT selected = SendMessageW(folders_, LB_GETCURSEL, 0, 0);
  if (selected < 0) return;
  const auto index = static_cast<std::size_t>(selected);
  if (index < parts_.size()) {
    Open(JoinFolder(parts_, index + 1));
  } else {
    std::vector<std::wstring> target = parts_;
    target.push_back(ItemText(folders_, static_cast<UINT>(index), false));
    Open(JoinFolder(target, target.size()));
  }
}

void FolderList::ChooseSelectedDrive() {
  const LRESULT selected = SendMessageW(drives_, CB_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<std::size_t>(selected) >= driveRoots_.size()) return;
  if (!Open(DriveCurrentFolder(driveRoots_[static_cast<std::size_t>(selected)]))) SelectCurrentDrive();
}

void FolderList::Fill() {
  parts_ = SplitFolder(folder_);
  SendMessageW(folders_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(folders_, LB_RESETCONTENT, 0, 0);
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    const LRESULT item = SendMessageW(folders_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(parts_[i].c_str()));
    SendMessageW(folders_, LB_SETITEMDATA, static_cast<WPARAM>(item), kOpenFolder | static_cast<LPARAM>(i));
  }
  for (const std::wstring& name : Subfolders(folder_)) {
    const LRESULT item = SendMessageW(folders_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(folders_, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(parts_.size()));
  }
  if (!parts_.empty()) SendMessageW(folders_, LB_SETCURSEL, parts_.size() - 1, 0);
  SendMessageW(folders_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(folders_, nullptr, TRUE);
}

void FolderList::FillDrives() {
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(drives & (1u << letter))) continue;
    const std::wstring root = std::wstring(1, static_cast<wchar_t>(L'A' + letter)) + L":\\";
    std::wstring text = root.substr(0, 2);
    // Only fixed drives are asked for their name: a removable or network
    // drive may keep the window waiting.
    const UINT type = GetDriveTypeW(root.c_str());
    wchar_t name[MAX_PATH + 1] = L"";
    if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
        GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) && name[0])
      text += std::wstring(L" [") + name + L"]";
    SendMessageW(drives_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    driveRoots_.push_back(root);
  }
}

void FolderList::SelectCurrentDrive() {
  WPARAM index = static_cast<WPARAM>(-1);
  for (std::size_t i = 0; i < driveRoots_.size(); ++i) {
    if (folder_.size() >= 2 && CompareStringOrdinal(folder_.c_str(), 2, driveRoots_[i].c_str(), 2, TRUE) == CSTR_EQUAL)
      index = i;
  }
  SendMessageW(drives_, CB_SETCURSEL, index, 0);
}

void FolderList::ShowPath() {
  HDC dc = GetDC(pathLabel_);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(pathLabel_, WM_GETFONT, 0, 0)));
  auto width = [&](const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
  };
  // No wider than the folder list, at whatever scale the list is shown.
  RECT list{};
  GetWindowRect(folders_, &list);
  const LONG widest = list.right - list.left;
  const std::wstring shown = ShortenFolder(folder_, [&](const std::wstring& text) { return width(text).cx <= widest; });
  const SIZE size = width(shown);
  SelectObject(dc, oldFont);
  ReleaseDC(pathLabel_, dc);
  SetWindowTextW(pathLabel_, shown.c_str());
  SetWindowPos(pathLabel_, nullptr, 0, 0, std::min<LONG>(size.cx, widest), size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(GetParent(pathLabel_), nullptr, TRUE);
}

bool FolderList::OnMeasureItem(MEASUREITEMSTRUCT& item, HFONT font, UINT dpi) {
  if (item.CtlID != IDC_DIRECTORIOS && item.CtlID != IDC_UNIDADES) return false;
  const RowHeights heights = RowHeightsFor(font, dpi);
  const bool field = item.CtlID == IDC_UNIDADES && item.itemID == static_cast<UINT>(-1);
  item.itemHeight = static_cast<UINT>(field ? heights.field : heights.row);
  return true;
}

void FolderList::FollowFont(UINT dpi) {
  const RowHeights heights = RowHeightsFor(reinterpret_cast<HFONT>(SendMessageW(folders_, WM_GETFONT, 0, 0)), dpi);
  SendMessageW(folders_, LB_SETITEMHEIGHT, 0, heights.row);
  SendMessageW(drives_, CB_SETITEMHEIGHT, 0, heights.row);
  // The closed drive list is 19 pixels high at 96 DPI, scaled; how much of
  // that its border takes differs between systems and looks, so the field
  // is fitted to the border there is (never lower than a line).
  SendMessageW(drives_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), heights.field);
  RECT closed{};
  GetWindowRect(drives_, &closed);
  const int border = (closed.bottom - closed.top) - heights.field;
  const int field = std::max(heights.field, Scaled(kDrivesHeight, dpi) - border);
  SendMessageW(drives_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  ShowPath();
}

bool FolderList::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const bool folderList = item.CtlID == IDC_DIRECTORIOS;
  if (!folderList && item.CtlID != IDC_UNIDADES) return false;
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRectColour(dc, item.rcItem, selected ? GetSysColor(COLOR_HIGHLIGHT) : kListColour);
  if (item.itemID != static_cast<UINT>(-1)) {
    const std::wstring text = ItemText(item.hwndItem, item.itemID, !folderList);
    // Glyphs and indents follow the row, which follows the font.
    const int rowHeight = std::max<int>(kItemHeight, item.rcItem.bottom - item.rcItem.top);
    const GlyphPainter scale(dc, 0, 0, rowHeight);
    int left = item.rcItem.left + scale.At(2);
    const int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - scale.At(12)) / 2;
    if (folderList) {
      const LRESULT data = SendMessageW(item.hwndItem, LB_GETITEMDATA, item.itemID, 0);
      left += scale.At(kIndent) * static_cast<int>(std::min<LRESULT>(data & kDepthMask, kMaxIndentLevels));
      DrawFolderGlyph(GlyphPainter(dc, left, top, rowHeight), (data & kOpenFolder) != 0);
    } else {
      DrawDriveGlyph(GlyphPainter(dc, left, top, rowHeight));
    }
    RECT textArea = item.rcItem;
    textArea.left = left + scale.At(18);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
  return true;
}

}  // namespace ludaro

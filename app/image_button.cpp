#include "app/image_button.h"

#include <string>

#include "common/error.h"

namespace ludaro {
namespace {

constexpr int kImageSize = 16;
constexpr int kImageGap = 4;

std::wstring CaptionOf(HWND button) {
  std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(button)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(GetWindowTextW(button, caption.data(), static_cast<int>(caption.size()))));
  return caption;
}

}  // namespace

HWND CreateImageButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height,
                       HICON icon) {
  HWND button = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, left, top,
                                width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (!button) throw Error("Cannot create the button " + std::to_string(id));
  SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(icon));
  return button;
}

void DrawImageButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  const std::wstring caption = CaptionOf(item.hwndItem);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT textArea{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textArea, DT_CALCRECT | DT_SINGLELINE);

  // Image and caption centred together; a pushed button moves them one pixel.
  const int shift = pushed ? 1 : 0;
  const int contentWidth = kImageSize + kImageGap + (textArea.right - textArea.left);
  const int left = area.left + (area.right - area.left - contentWidth) / 2 + shift;
  const int middle = (area.top + area.bottom) / 2 + shift;
  HICON icon = reinterpret_cast<HICON>(GetWindowLongPtrW(item.hwndItem, GWLP_USERDATA));
  if (icon) {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, left, middle - kImageSize / 2, kImageSize,
               kImageSize, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
  }
  RECT captionArea{left + kImageSize + kImageGap, area.top + shift, area.right, area.bottom + shift};
  SetBkMode(dc, TRANSPARENT);
  if (disabled) {
    // Embossed, as the system draws a disabled caption.
    OffsetRect(&captionArea, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &captionArea, DT_SINGLELINE | DT_VCENTER);
    OffsetRect(&captionArea, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  }
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &captionArea, DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, oldFont);

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = area;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace ludaro

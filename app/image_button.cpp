#include "app/image_button.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/dialog_keys.h"
#include "app/scaled_layout.h"
#include "common/error.h"

namespace ludaro {
namespace {

constexpr int kImageSize96 = 16;
constexpr int kImageGap96 = 4;

std::wstring CaptionOf(HWND button) {
  std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(button)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(GetWindowTextW(button, caption.data(), static_cast<int>(caption.size()))));
  return caption;
}

constexpr UINT_PTR kSubclassId = 0x1B7;

// A button's image, loaded again at the size its screen scale asks for.
struct Image {
  int iconId;
  HICON icon = nullptr;
  int size = 0;
};

HICON ImageAtSize(HWND button, int size) {
  auto* image = reinterpret_cast<Image*>(GetWindowLongPtrW(button, GWLP_USERDATA));
  if (!image) return nullptr;
  if (image->size != size) {
    if (image->icon) DestroyIcon(image->icon);
    image->icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image->iconId), IMAGE_ICON,
                                                size, size, LR_DEFAULTCOLOR));
    image->size = size;
  }
  return image->icon;
}

HWND DefaultButtonOf(HWND button) {
  HWND top = GetAncestor(button, GA_ROOT);
  const LRESULT id = SendMessageW(top, DM_GETDEFID, 0, 0);
  if (HIWORD(id) != DC_HASDEFID) return nullptr;
  HWND parent = GetParent(button);
  return parent ? GetDlgItem(parent, LOWORD(id)) : nullptr;
}

// Enter presses the focused push button, else the window's default one:
// that is the button that shows the default border.
bool ShowsAsDefault(HWND button) {
  HWND focus = GetFocus();
  if (focus == button) return true;
  if (focus && IsPushButton(focus)) return false;
  return DefaultButtonOf(button) == button;
}

// The icon greyed out, as the system shows a disabled button's picture: each
// pixel the icon changed, lightened to grey.
void DrawDisabledIcon(HDC dc, HICON icon, int left, int top, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (!bitmap) {
    if (memory) DeleteDC(memory);
    return;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, size, size, dc, left, top, SRCCOPY);
  GdiFlush();
  auto* pixels = static_cast<std::uint32_t*>(bits);
  const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
  std::vector<std::uint32_t> under(pixels, pixels + count);
  DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  for (std::size_t i = 0; i < count; ++i) {
    if (pixels[i] == under[i]) continue;
    const std::uint32_t red = (pixels[i] >> 16) & 0xFF, green = (pixels[i] >> 8) & 0xFF, blue = pixels[i] & 0xFF;
    const std::uint32_t grey = 128 + (red * 30 + green * 59 + blue * 11) / 200;
    pixels[i] = grey << 16 | grey << 8 | grey;
  }
  BitBlt(dc, left, top, size, size, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

// The button's face: the current Windows look where the system draws one,
// else the classic raised frame, with the black border of the default button.
void DrawFace(const DRAWITEMSTRUCT& item, RECT& area, bool pushed, bool disabled, bool isDefault) {
  if (HTHEME theme = OpenThemeData(item.hwndItem, L"BUTTON")) {
    const int state = disabled ? PBS_DISABLED : pushed ? PBS_PRESSED : isDefault ? PBS_DEFAULTED : PBS_NORMAL;
    if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, state))
      DrawThemeParentBackground(item.hwndItem, item.hDC, &area);
    DrawThemeBackground(theme, item.hDC, BP_PUSHBUTTON, state, &area, nullptr);
    CloseThemeData(theme);
    return;
  }
  if (isDefault) {
    FrameRect(item.hDC, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&area, -1, -1);
  }
  DrawFrameControl(item.hDC, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
}

// The default border follows the focus: when it moves onto or off a push
// button, the window's default button is drawn again.
LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(button, ButtonProc, kSubclassId);
    if (auto* image = reinterpret_cast<Image*>(GetWindowLongPtrW(button, GWLP_USERDATA))) {
      if (image->icon) DestroyIcon(image->icon);
      delete image;
      SetWindowLongPtrW(button, GWLP_USERDATA, 0);
    }
  }
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    if (HWND defaultButton = DefaultButtonOf(button); defaultButton && defaultButton != button)
      InvalidateRect(defaultButton, nullptr, FALSE);
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

HWND CreateImageButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height,
                       int iconId) {
  HWND button = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, left, top,
                                width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (!button) throw Error("Cannot create the button " + std::to_string(id));
  SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Image{iconId}));
  SetWindowSubclass(button, ButtonProc, kSubclassId, 0);
  return button;
}

void DrawImageButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  DrawFace(item, area, pushed, disabled, !disabled && ShowsAsDefault(item.hwndItem));

  const std::wstring caption = CaptionOf(item.hwndItem);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT textArea{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textArea, DT_CALCRECT | DT_SINGLELINE);

  // Image and caption centred together; a pushed button moves them one pixel.
  const UINT dpi = DpiOf(item.hwndItem);
  const int imageSize = Scaled(kImageSize96, dpi);
  const int imageGap = Scaled(kImageGap96, dpi);
  const int shift = pushed ? 1 : 0;
  const int contentWidth = imageSize + imageGap + (textArea.right - textArea.left);
  const int left = area.left + (area.right - area.left - contentWidth) / 2 + shift;
  const int middle = (area.top + area.bottom) / 2 + shift;
  HICON icon = ImageAtSize(item.hwndItem, imageSize);
  if (icon && disabled) {
    DrawDisabledIcon(dc, icon, left, middle - imageSize / 2, imageSize);
  } else if (icon) {
    DrawIconEx(dc, left, middle - imageSize / 2, icon, imageSize, imageSize, 0, nullptr, DI_NORMAL);
  }
  RECT captionArea{left + imageSize + imageGap, area.top + shift, area.right, area.bottom + shift};
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

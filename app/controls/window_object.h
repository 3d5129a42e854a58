#pragma once

#include <windows.h>

namespace ludaro {

// The object a window serves, handed over as CreateWindowExW's last argument
// and kept in the window's user data from WM_NCCREATE on, so that one static
// window procedure serves every instance. Null for the few messages a window
// gets before WM_NCCREATE.
template <typename Object>
Object* WindowObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<Object*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
  }
  return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace ludaro

#pragma once

// The window's side of the UserDialog: message boxes captioned "Ludaro", the
// OK/Cancel question, the hourglass over every window of the program, and
// the error report that ends a button's work.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

#include "common/error.h"
#include "common/session/user_dialog.h"

namespace ludaro {

inline constexpr wchar_t kApplicationTitle[] = L"Ludaro";

class Win32Dialog : public UserDialog {
 public:
  // Message boxes are modal to `owner` (which may be set later, once the
  // main window exists).
  explicit Win32Dialog(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  void Message(const std::u16string& text) override;
  bool Question(const std::u16string& caption, const std::u16string& text) override;
  void Busy(bool busy) override;
  void Progress(const std::u16string& step, std::uint64_t linesDone) override;

  // The error's message with its full stop (and where it came from) under
  // the error icon. The hourglass goes off afterwards: the work has ended,
  // and a wait cursor left on would make the program look hung.
  void ErrorReport(const std::exception& error);

  // Windows ask this on WM_SETCURSOR; while it is true they show the hourglass.
  static bool IsBusy() { return busy_; }

 private:
  HWND owner_;
  std::uint64_t lastRepaint_ = 0;
  static inline bool busy_ = false;
};

// Runs a window's handling of one message. An error must not unwind through
// the system's code that called the window procedure: it ends the message,
// reported through `dialog`.
template <typename Handle>
LRESULT HandleReportingErrors(Win32Dialog& dialog, Handle handle) {
  try {
    return handle();
  } catch (const std::exception& failure) {
    dialog.ErrorReport(failure);
  } catch (...) {
    dialog.ErrorReport(Error("Unexpected error"));
  }
  return 0;
}

}  // namespace ludaro

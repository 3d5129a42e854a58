#include "app/win32_dialog.h"

#include "common/session/error_report.h"

namespace ludaro {
namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

void Win32Dialog::Message(const std::u16string& text) {
  MessageBoxW(owner_, Wide(text).c_str(), kApplicationTitle, MB_OK);
}

bool Win32Dialog::Question(const std::u16string& caption, const std::u16string& text) {
  return MessageBoxW(owner_, Wide(text).c_str(), Wide(caption).c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

void Win32Dialog::Busy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Dialog::Progress(const std::u16string&, std::uint64_t) {
  // A long step runs inside a button's handler. Letting the windows repaint
  // now and then (and nothing else: no input, so no button can be pressed
  // twice) keeps the window drawn and not marked as hung.
  const std::uint64_t now = GetTickCount64();
  if (now - lastRepaint_ < 100) return;
  lastRepaint_ = now;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&message);
}

void Win32Dialog::ErrorReport(const std::exception& error) {
  MessageBoxW(owner_, Wide(ErrorReportText(error)).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
  Busy(false);
}

}  // namespace ludaro

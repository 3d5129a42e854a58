// Ludaro.exe: moves a school's data between XADE and Horalia. Started by
// Horalia with two arguments ("importar"/"exportar" and one more) it shows
// that one direction and reports its result in Horalia.ini.

#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

#include "app/dialog_keys.h"
#include "app/main_form.h"
#include "app/win32_dialog.h"
#include "common/session/run_state.h"

namespace {

std::vector<std::wstring> CommandLineArguments() {
  std::vector<std::wstring> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(words[i]);
  LocalFree(words);
  return arguments;
}

bool BelongsTo(HWND window, HWND form) { return window == form || IsChild(form, window); }

int RunMessageLoop(ludaro::TMForm& form) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    // F1 anywhere in the window asks for the window's help topic, whichever
    // control has the focus.
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1 && BelongsTo(message.hwnd, form.handle())) {
      form.ShowContextHelp();
      continue;
    }
    // Tab, the access keys and Enter on a button, as in a dialog.
    if (ludaro::HandleDialogKey(form.handle(), message)) continue;
    if (IsWindow(form.handle()) && IsDialogMessageW(form.handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A drive without a disk is listed, not asked about with a system box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ludaro::RunState state;
  ludaro::Win32Dialog dialog;
  try {
    ludaro::TMForm form(instance, state, dialog, CommandLineArguments());
    form.Show();
    return RunMessageLoop(form);
  } catch (const std::exception& failure) {
    dialog.SetOwner(nullptr);
    dialog.ErrorReport(failure);
    return 1;
  }
}

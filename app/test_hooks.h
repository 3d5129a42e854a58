#pragma once

// Hooks for the GUI tests, read from the environment when a direction button
// is pressed; without the variables they do nothing. They let a test see
// what a direction would start with, and make a direction fail on purpose,
// without the directions' data:
//   LUDARO_GUI_TEST_RAISE=text   the button's work raises an error with that message
//   LUDARO_GUI_TEST_FOLDERS=1    the button shows its folder text and the
//                                working folder, one per line, and stops
//   LUDARO_GUI_TEST_SHELL_LOG=file  what the window would open with
//                                ShellExecuteW is added to the file as a
//                                line "verb<TAB>path" instead
// and one read when a window is asked for its layout:
//   LUDARO_GUI_TEST_LAYOUT=file  the window writes there where each control
//                                is and how much room its text needs, measured
//                                in the control's own font (which no other
//                                process can read)

#include <windows.h>

#include <string>

#include "common/session/user_dialog.h"

namespace ludaro {

// True when a hook took the button's place.
bool RunDirectionTestHooks(const std::wstring& dirTxt, UserDialog& dialog);

// True when the call to ShellExecuteW was recorded for a test, in UTF-8,
// instead of made.
bool RecordShellExecuteForTests(const wchar_t* verb, const std::wstring& file);

// The message that asks a window for its layout report.
UINT LayoutReportMessage();
// Writes the report of `top`; false when no file is named.
bool WriteLayoutReport(HWND top);

}  // namespace ludaro

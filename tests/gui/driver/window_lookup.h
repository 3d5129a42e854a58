#pragma once

// Finding the windows of the program under test: top-level windows by their
// caption, controls by their id, message boxes by their caption; waiting for
// them with a timeout, since the program answers asynchronously.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace ludaro::gui {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

std::wstring ClassOf(HWND window);
// Every top-level window of the desktop, visible or not.
std::vector<HWND> TopLevelWindows();
// The text of a window of any process (sent as WM_GETTEXT, which the system
// copies across processes).
std::wstring TextOf(HWND window);

// Polls `find` until it gives a window or `timeout` passes; then fails with
// "<what> not found within N s".
HWND WaitFor(std::chrono::milliseconds timeout, const std::string& what, const std::function<HWND()>& find);

// A visible top-level window captioned exactly `title`, or null.
HWND FindTopLevel(const std::wstring& title);
// The first descendant of `top` whose control id is `id`, or null.
HWND FindControl(HWND top, int id);
// The first descendant of `parent` of window class `className`, or null.
HWND FindDescendantOfClass(HWND parent, const std::wstring& className);
// A visible message box (a system dialog) captioned `caption`, or null.
HWND FindMessageBox(const std::wstring& caption);
// The text a message box shows: its static texts, without its icon.
std::wstring MessageBoxText(HWND box);

// Gives the program's user-interface thread the chance to handle what was
// just posted to it before the driver reads the window again.
void Settle(HWND window);

}  // namespace ludaro::gui

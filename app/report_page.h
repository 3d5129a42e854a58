#pragma once

// The run's report as the window leaves it: an HTML page in the chosen
// folder, written whole or not at all, and opened in the user's browser
// from the link on the main window.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/session/run_report.h"

namespace ludaro {

// "Ludaro-importacion.html" or "Ludaro-exportacion.html".
const wchar_t* ReportPageName(ReportedDirection direction);

// Writes `text` to a temporary file beside `file`, then puts it in the place
// of `file` (an older report there is replaced in one step). Returns the
// reason, as the system words it, when that fails; the temporary file is
// then removed.
std::optional<std::wstring> WriteReportPage(const std::filesystem::path& file, std::string_view text);

// Opens the page with the program the user has for it.
void OpenReportPage(HWND owner, const std::filesystem::path& file);

}  // namespace ludaro

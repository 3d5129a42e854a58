#pragma once

// Where the two direction buttons hand over. The main window checks nothing
// itself: it builds the folder text, calls the hook, reports an error the
// hook raises, and closes itself when the run state asks for it.

#include <string>

namespace ludaro {

class TMForm;

// BExportarClick: the import from XADE into Horalia. `folder` is the folder
// list's folder; form.dirTxt() holds it with its trailing backslash.
void StartImport(TMForm& form, const std::wstring& folder);

// BImportarClick: the export from Horalia to XADE.
void StartExport(TMForm& form, const std::wstring& folder);

}  // namespace ludaro

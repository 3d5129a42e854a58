#include "app/help_viewer.h"

#include <htmlhelp.h>

#include <system_error>

#include "common/error.h"
#include "common/utf.h"

namespace ludaro {
namespace {

std::string Display(const std::filesystem::path& path) {
  const std::wstring wide = path.wstring();
  return U16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace

HelpViewer::~HelpViewer() {
  if (htmlHelp_) htmlHelp_(nullptr, nullptr, HH_CLOSE_ALL, 0);
  if (library_) FreeLibrary(library_);
}

HelpViewer::HtmlHelpFunction HelpViewer::Viewer() {
  if (htmlHelp_) return htmlHelp_;
  if (!library_) library_ = LoadLibraryW(L"hhctrl.ocx");
  if (library_) htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library_, "HtmlHelpW")));
  if (!htmlHelp_) throw Error("No se encuentra el visor de ayuda (hhctrl.ocx)");
  return htmlHelp_;
}

void HelpViewer::Call(HWND owner, UINT command, DWORD_PTR data) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(helpFile_, ignored))
    throw Error("No existe el archivo de ayuda " + Display(helpFile_));
  if (!Viewer()(owner, helpFile_.c_str(), command, data))
    throw Error("No se puede mostrar la ayuda " + Display(helpFile_));
}

void HelpViewer::ShowContents(HWND owner) { Call(owner, HH_DISPLAY_TOC, 0); }

void HelpViewer::ShowTopic(HWND owner, int context) {
  Call(owner, HH_HELP_CONTEXT, static_cast<DWORD_PTR>(context));
}

}  // namespace ludaro

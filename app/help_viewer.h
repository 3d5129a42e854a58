#pragma once

// The program's help, XADE.CHM beside the program, shown by the system's HTML
// Help viewer. hhctrl.ocx is loaded on first use, not linked: the program
// starts just as fast without it and says so if the viewer is missing.

#include <windows.h>

#include <filesystem>

namespace ludaro {

class HelpViewer {
 public:
  explicit HelpViewer(std::filesystem::path helpFile) : helpFile_(std::move(helpFile)) {}
  ~HelpViewer();
  HelpViewer(const HelpViewer&) = delete;
  HelpViewer& operator=(const HelpViewer&) = delete;

  // Throw ludaro::Error naming the help file when it or the viewer is missing.
  void ShowContents(HWND owner);
  void ShowTopic(HWND owner, int context);

 private:
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  HtmlHelpFunction Viewer();
  void Call(HWND owner, UINT command, DWORD_PTR data);

  std::filesystem::path helpFile_;
  HMODULE library_ = nullptr;
  HtmlHelpFunction htmlHelp_ = nullptr;
};

}  // namespace ludaro

#pragma once

// The folder list `Directorios`, the drive list `Unidades` and the path label
// that follows them. The list's folder is always the process's current
// directory: opening a folder or choosing a drive changes both, which is
// what makes \HTEMP the HTEMP folder of the drive the user works on.

#include <windows.h>

#include <string>
#include <vector>

#include "app/win32_dialog.h"

namespace ludaro {

class FolderList {
 public:
  // Creates both lists on `parent` at their fixed places and shows the
  // current directory. `pathLabel` is the label that shows the folder.
  FolderList(HWND parent, HWND pathLabel, HFONT font, Win32Dialog& dialog);
  ~FolderList();
  FolderList(const FolderList&) = delete;
  FolderList& operator=(const FolderList&) = delete;

  // The folder shown, as the list shows it: "C:\" at a drive's root, else
  // without a trailing backslash.
  const std::wstring& folder() const { return folder_; }

  // Both lists hidden for the rest of the run (an import has begun).
  void Hide();

  // The parent passes these on; each returns true when it was for the lists.
  bool OnCommand(int id, int notification);
  static bool OnDrawItem(const DRAWITEMSTRUCT& item);
  // Answers WM_MEASUREITEM, which arrives while the lists are being created
  // (before they have their font): rows as high as `font` needs at `dpi`.
  static bool OnMeasureItem(MEASUREITEMSTRUCT& item, HFONT font, UINT dpi);
  // The rows made as high as the lists' font needs at `dpi` (after the
  // screen scale changed).
  void FollowFont(UINT dpi);
  // The lists' background colour.
  HBRUSH ListBackground() const { return background_; }

 private:
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

  // Makes `folder` the current directory and shows it; on failure says why
  // and stays where it was. False when it failed.
  bool Open(const std::wstring& folder);
  void OpenSelected();
  void ChooseSelectedDrive();
  void Fill();
  void FillDrives();
  void SelectCurrentDrive();
  void ShowPath();

  HWND folders_ = nullptr;
  HWND drives_ = nullptr;
  HWND pathLabel_ = nullptr;
  Win32Dialog& dialog_;
  HBRUSH background_ = nullptr;
  std::wstring folder_;
  std::vector<std::wstring> parts_;     // folder_ split: root, then names
  std::vector<std::wstring> driveRoots_;  // "C:\" for each entry of the drive list
};

}  // namespace ludaro

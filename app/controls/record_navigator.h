#pragma once

// A row of buttons that move through and change the table of a data grid:
// first, prior, next, last, insert, delete, edit, post, cancel, refresh (and
// ten rows back or forward), each with its hint. A button that would do
// nothing is disabled.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/controls/data_grid.h"
#include "app/controls/navigator_model.h"

namespace ludaro::controls {

class RecordNavigator {
 public:
  // The buttons are `buttonSize` squares side by side from `origin`; each
  // button's control id is `firstId` plus its NavigatorButton value.
  RecordNavigator(HWND parent, int firstId, POINT origin, int buttonSize, std::vector<NavigatorButton> buttons,
                  DataGrid& grid);
  ~RecordNavigator();
  RecordNavigator(const RecordNavigator&) = delete;
  RecordNavigator& operator=(const RecordNavigator&) = delete;

  HWND window() const { return frame_; }
  void Press(NavigatorButton button);
  // A button pressed from the keyboard (Space or Enter on it) goes to this
  // instead of Press, for a screen that works the table its own way.
  void SetPressHandler(std::function<void(NavigatorButton)> handler) { pressHandler_ = std::move(handler); }
  bool IsButtonEnabled(NavigatorButton button) const;
  // Enables the buttons that can act now.
  void Update();

 private:
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The enabled button nearest to `from` (its index) towards `direction`,
  // or -1.
  int EnabledButtonFrom(int from, int direction) const;
  void FocusButton(int index);
  void DrawButton(const DRAWITEMSTRUCT& item) const;
  NavigatorState State() const;

  HWND frame_ = nullptr;
  HWND tooltip_ = nullptr;
  int firstId_;
  std::vector<NavigatorButton> buttons_;
  std::vector<HWND> buttonWindows_;
  DataGrid& grid_;
  std::function<void(NavigatorButton)> pressHandler_;
  int focusedButton_ = 0;  // the button the navigator's tab stop leads to
  // The grid may outlive the navigator; its listener then does nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace ludaro::controls

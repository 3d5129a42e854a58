#pragma once

// The buttons of the record navigator and when each can be pressed, free of
// any window so the rules are tested without a display.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ludaro::controls {

// The value is the button's offset from the navigator's first control id, so
// a button keeps its id whichever buttons a screen shows.
enum class NavigatorButton {
  First = 0,
  PriorPage = 1,
  Prior = 2,
  Next = 3,
  NextPage = 4,
  Last = 5,
  Insert = 6,
  Delete = 7,
  Edit = 8,
  Post = 9,
  Cancel = 10,
  Refresh = 11,
};

constexpr std::size_t kNavigatorPageRows = 10;

// first, prior, next, last, insert, delete, edit, post, cancel, refresh
std::vector<NavigatorButton> StandardNavigatorButtons();
// The hint a button shows under the mouse.
std::u16string HintOf(NavigatorButton button);

struct NavigatorState {
  bool active = false;  // a table is shown and open
  std::size_t rowCount = 0;
  std::optional<std::size_t> current;
  bool editing = false;  // a row is being edited or appended
};

bool IsEnabled(NavigatorButton button, const NavigatorState& state);

// The row a moving button goes to; none for the other buttons or an empty grid.
std::optional<std::size_t> TargetRow(NavigatorButton button, const NavigatorState& state);

}  // namespace ludaro::controls

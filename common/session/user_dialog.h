#pragma once

// How a direction talks to the person running it. The window answers with
// message boxes and the hourglass, the command line with stderr and its
// options, tests with a recorder; the directions never see which.

#include <cstdint>
#include <string>

namespace ludaro {

class UserDialog {
 public:
  virtual ~UserDialog() = default;

  // A plain message with one OK button, captioned with the program's title.
  virtual void Message(const std::u16string& text) = 0;
  // A question with OK (the default) and Cancel and the exclamation icon;
  // true for OK.
  virtual bool Question(const std::u16string& caption, const std::u16string& text) = 0;
  // The busy (hourglass) cursor on or off.
  virtual void Busy(bool busy) = 0;
  // A long step's progress: which step, how many input lines are done.
  virtual void Progress(const std::u16string& step, std::uint64_t linesDone) = 0;
};

}  // namespace ludaro

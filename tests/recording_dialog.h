#pragma once

// A user who answers questions from a script and remembers everything the
// program told them, for tests that drive a direction without a window.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "common/session/user_dialog.h"

namespace ludaro::test {

class RecordingDialog : public UserDialog {
 public:
  // Every message and question, in order; questions as "? caption | text".
  std::vector<std::u16string> said;
  // The answers to the next questions (true = OK); OK once they run out.
  std::deque<bool> answers;
  bool busy = false;

  void Message(const std::u16string& text) override { said.push_back(text); }
  bool Question(const std::u16string& caption, const std::u16string& text) override {
    said.push_back(u"? " + caption + u" | " + text);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Busy(bool on) override { busy = on; }
  void Progress(const std::u16string&, std::uint64_t) override {}
};

}  // namespace ludaro::test

#pragma once

// The state the two directions share for one start of the program: how it
// was started, the result code reported to Horalia, and the level-check flag.

#include <cstdint>

namespace ludaro {

struct RunState {
  // 2 when started with exactly two arguments (on behalf of Horalia), else 0.
  std::int32_t nParam = 0;
  // 1 a direction ran, -1 an import input was missing, 0 nothing done.
  std::int32_t nTransformado = 0;
  // 1 while the level check has failed, 0 once it passed.
  std::int32_t nFalloNiveles = 0;
  // Set where a finished or impossible direction ends the program when it
  // runs on behalf of Horalia; the window (or the command line) acts on it.
  bool closeRequested = false;

  bool OnBehalfOfHoralia() const { return nParam == 2; }
  void RequestAutomaticClose() {
    if (OnBehalfOfHoralia()) closeRequested = true;
  }
};

}  // namespace ludaro

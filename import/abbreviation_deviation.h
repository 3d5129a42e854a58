#pragma once

// How an abbreviation came to differ from the one its row would naturally
// have, for the run's account of itself.

#include <optional>
#include <string>
#include <string_view>

#include "common/session/run_log.h"

namespace ludaro {

struct AbbreviationDeviation {
  DeviationReason reason;
  std::u16string natural;
};

// Why `stored`, what a text field of `width` gave back for `text`, is not
// `text`: cut to the width, or a character the code page lacks. Trailing
// blanks, which no field keeps, are no difference.
std::optional<DeviationReason> StoringDeviation(std::u16string_view text, std::u16string_view stored, int width);

// Tells `log` of the deviation, if there was one.
void LogDeviation(RunLog& log, std::string_view table, const std::optional<AbbreviationDeviation>& deviation,
                  std::u16string_view stored);

}  // namespace ludaro

#include "import/abbreviation_deviation.h"

namespace ludaro {

std::optional<DeviationReason> StoringDeviation(std::u16string_view text, std::u16string_view stored, int width) {
  const std::size_t end = text.find_last_not_of(u' ');
  const std::u16string_view kept = end == std::u16string_view::npos ? std::u16string_view() : text.substr(0, end + 1);
  if (stored == kept) return std::nullopt;
  return kept.size() > static_cast<std::size_t>(width) ? DeviationReason::TooLong : DeviationReason::CodePage;
}

void LogDeviation(RunLog& log, std::string_view table, const std::optional<AbbreviationDeviation>& deviation,
                  std::u16string_view stored) {
  if (deviation) log.AbbreviationDeviated(table, deviation->reason, deviation->natural, stored);
}

}  // namespace ludaro

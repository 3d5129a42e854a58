#include "app/run_mode.h"

namespace ludaro {
namespace {

// Only A-Z: Horalia passes plain words, and a locale's idea of lower case
// must not turn some other word into one of them.
std::wstring LowerAsciiLetters(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

}  // namespace

RunMode RunModeFromArguments(const std::vector<std::wstring>& arguments) {
  RunMode mode;
  if (arguments.size() != 2) return mode;
  mode.nParam = 2;
  const std::wstring direction = LowerAsciiLetters(arguments[0]);
  if (direction == L"importar") mode.showXadeToHoralia = false;
  if (direction == L"exportar") mode.showHoraliaToXade = false;
  return mode;
}

}  // namespace ludaro

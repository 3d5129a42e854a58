#include "common/session/error_report.h"

#include "common/error.h"
#include "common/utf.h"

namespace ludaro {

std::u16string ErrorReportText(const std::exception& error) {
  std::u16string text = Utf8ToU16(error.what());
  if (text.empty() || text.back() > u'.') text += u'.';
  if (const auto* located = dynamic_cast<const Error*>(&error); located && !located->where().empty())
    text += u"\r\n" + Utf8ToU16(located->where());
  return text;
}

}  // namespace ludaro

#include "import/stored_text.h"

#include "common/dbf/field_codec.h"
#include "common/platform/platform.h"

namespace ludaro {

std::u16string StoredText(std::u16string_view text, int width) {
  const unsigned codePage = platform::AnsiCodePage();
  return dbf::DecodeText(dbf::EncodeText(text, width, codePage), codePage);
}

}  // namespace ludaro

// Reads arbitrary bytes as a production index (.MDX): its tags, then the
// record order of each. Errors are fine; crashes, reads out of bounds, hangs
// and runaway memory are not.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "common/dbf/mdx_file.h"
#include "common/error.h"

namespace {

const std::filesystem::path& IndexFile() {
  static const std::filesystem::path file = [] {
    auto folder = std::filesystem::temp_directory_path() / ("ludaro-mdx-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder / "T.MDX";
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(IndexFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    for (const auto& tag : ludaro::dbf::ReadMdxTags(IndexFile())) {
      try {
        (void)ludaro::dbf::ReadMdxRecordOrder(IndexFile(), tag.name);
      } catch (const ludaro::Error&) {
      }
    }
  } catch (const ludaro::Error&) {
  }
  return 0;
}

#include "export/horario_csv.h"

#include <cstdint>
#include <iterator>
#include <system_error>

#include "common/platform/platform.h"

namespace ludaro {
namespace {

// The order of the fields in a line of HORARIO.CSV.
const char* const kLineFields[] = {"NLIN", "DIASEM", "HORAINI", "GRUPO_SUBGRU",
                                   "MATERIA", "PROFESOR", "RESERVADO", "AULA"};

constexpr std::size_t kWriteBlock = std::size_t{1} << 16;

std::u16string Quoted(const std::u16string& field) {
  std::u16string quoted;
  quoted.reserve(field.size() + 2);
  for (char16_t c : field) {
    quoted.push_back(c);
    if (c == u'"') quoted.push_back(u'"');
  }
  return quoted;
}

// Sequential writes through one handle, in blocks.
class BlockWriter {
 public:
  explicit BlockWriter(platform::File& file) : file_(file) {}

  void Write(const std::string& bytes) {
    pending_ += bytes;
    if (pending_.size() >= kWriteBlock) Drain();
  }

  void Finish() {
    Drain();
    file_.Flush();
  }

 private:
  void Drain() {
    if (pending_.empty()) return;
    file_.WriteAt(offset_, pending_.data(), pending_.size());
    offset_ += pending_.size();
    pending_.clear();
  }

  platform::File& file_;
  std::string pending_;
  std::uint64_t offset_ = 0;
};

}  // namespace

std::string HorarioCsvLine(const std::vector<std::u16string>& fields, unsigned codePage) {
  std::u16string line = u"\"";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += u"\",\"";
    line += Quoted(fields[i]);
  }
  line += u"\"\r\n";
  return platform::ToCodePage(line, codePage);
}

std::filesystem::path EscribirHorarioCsv(dbf::Table& horario, const std::filesystem::path& folder) {
  const std::filesystem::path target =
      platform::FindFileIgnoringCase(folder / kHorarioCsvName).value_or(folder / kHorarioCsvName);
  std::filesystem::path temporary = target;
  temporary += ".new";
  const unsigned codePage = platform::AnsiCodePage();

  bool temporaryCreated = false;
  try {
    {
      platform::File file =
          platform::File::Open(temporary, platform::Access::ReadWrite, platform::Share::None,
                               platform::Disposition::CreateAlways);
      temporaryCreated = true;
      BlockWriter writer(file);
      std::vector<std::u16string> fields(std::size(kLineFields));
      for (horario.First(); !horario.Eof(); horario.Next()) {
        for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = horario.AsString(kLineFields[i]);
        writer.Write(HorarioCsvLine(fields, codePage));
      }
      writer.Finish();
    }
    platform::ReplaceFile(temporary, target);
  } catch (...) {
    std::error_code ignored;
    if (temporaryCreated) std::filesystem::remove(temporary, ignored);
    throw;
  }
  return target;
}

}  // namespace ludaro

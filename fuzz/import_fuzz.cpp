// Runs a whole import over a XADE folder made from the input, then reopens
// every table it wrote. The input is cut at each line "--8<--" into:
//
//   part 0     options: its first byte, bit 0 the answer to the recovery
//              question, bit 1 a second import into the same working folder
//              (the one that finds the first one's saved coding), bits 2-3
//              the row of the convocatoria grid to choose; its second byte,
//              bit n leaves out XADE file n
//   parts 1-8  the eight XADE files, in kXadeFiles order; a file whose part
//              is missing is not written either
//   part 9     what the user types in the level grid: one course a line,
//              CODCURSO,TURNO,NIVEL,CURSO
//   parts 10-11  the saved coding of an earlier import found in the working
//              folder, CURSOST2.DBF and its CURSOST2.MDX, if present
//
// A level check that fails is answered as the user would: back to the grid,
// every course left without NIVEL or CURSO given one, and "Aceptar" again,
// which must then pass. An import that finishes reports 1 to Horalia exactly
// when no input file whose absence counts was left out.
//
// An error the session reports is fine. A crash, a leak, undefined behaviour,
// an exception that is not an error report, a changed XADE file, or a table
// the import wrote that does not open again, read whole and match its index
// file, is not.

#include <array>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "common/dbf/mdx_file.h"
#include "common/dbf/table.h"
#include "common/error.h"
#include "common/session/run_state.h"
#include "common/session/user_dialog.h"
#include "common/utf.h"
#include "common/xade_csv.h"
#include "import/importacion.h"

namespace {

constexpr std::string_view kSeparator = "\n--8<--\n";
constexpr std::size_t kCodingPart = 9;
constexpr std::size_t kSavedCodingPart = 10;
constexpr std::size_t kSavedCodingIndexPart = 11;
constexpr std::size_t kProductionIndexFlag = 28;

// The one XADE file whose absence leaves the result code alone.
constexpr std::size_t kSubgruposFile = 2;
constexpr std::array<const char*, 8> kXadeFiles = {
    "convocatoriasCentro.csv",         "gruposCentro.csv",
    "subgruposCentro.csv",             "materiasHorarioOfertaCentro.csv",
    "materiasHorarioOfertaXeral.csv",  "actividadesProfesor.csv",
    "profesoresGrupoCentro.csv",       "aulasCentro.csv",
};

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Folders {
  std::filesystem::path root;
  std::filesystem::path xade;
  std::filesystem::path htemp;
};

constexpr std::string_view kScratchPrefix = "ludaro-import-fuzz-";

// libFuzzer ends its process without running exit handlers, so each process
// removes the scratch folders of those that are gone instead.
void RemoveFoldersOfEndedProcesses(const std::filesystem::path& base) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(base, ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, kScratchPrefix.size(), kScratchPrefix) != 0) continue;
    const long pid = std::strtol(name.c_str() + kScratchPrefix.size(), nullptr, 10);
    if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      std::filesystem::remove_all(entry.path(), ignored);
  }
}

// In memory where the machine has a tmpfs, so an execution costs no disk.
const Folders& Scratch() {
  static const Folders folders = [] {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code ignored;
    const auto base = std::filesystem::is_directory(shm, ignored) ? shm : std::filesystem::temp_directory_path();
    RemoveFoldersOfEndedProcesses(base);
    Folders made;
    made.root = base / (std::string(kScratchPrefix) + std::to_string(getpid()));
    made.xade = made.root / "xade";
    made.htemp = made.root / "HTEMP";
    std::filesystem::create_directories(made.xade);
    std::filesystem::create_directories(made.htemp);
    return made;
  }();
  return folders;
}

void EmptyFolder(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove_all(entry.path());
}

void Write(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string_view> Parts(std::string_view input) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t end = input.find(kSeparator);
    parts.push_back(input.substr(0, end));
    if (end == std::string_view::npos) return parts;
    input.remove_prefix(end + kSeparator.size());
  }
}

struct Options {
  bool recover = false;
  bool twice = false;
  unsigned convocatoriaRow = 0;
  unsigned leftOut = 0;
};

Options OptionsFrom(std::string_view part) {
  const auto byte = [&](std::size_t n) { return n < part.size() ? static_cast<unsigned char>(part[n]) : 0u; };
  return Options{(byte(0) & 1u) != 0, (byte(0) & 2u) != 0, (byte(0) >> 2) & 3u, byte(1)};
}

bool Written(const Options& options, const std::vector<std::string_view>& parts, std::size_t file) {
  return file + 1 < parts.size() && (options.leftOut & (1u << file)) == 0;
}

class ScriptedUser : public ludaro::UserDialog {
 public:
  explicit ScriptedUser(bool answer) : answer_(answer) {}
  void Message(const std::u16string&) override {}
  bool Question(const std::u16string&, const std::u16string&) override { return answer_; }
  void Busy(bool) override {}
  void Progress(const std::u16string&, std::uint64_t) override {}

 private:
  bool answer_;
};

void ChooseConvocatoria(ludaro::Importacion& importacion, unsigned row) {
  ludaro::dbf::Table& grid = importacion.convocatorias();
  grid.First();
  for (unsigned n = 0; n < row && !grid.Eof(); ++n) grid.Next();
  if (grid.Eof()) grid.First();
  if (!grid.Eof()) importacion.ElegirConvocatoria(grid.AsString("CONVOCATORIA"));
}

void TypeCoding(ludaro::Importacion& importacion, std::string_view coding) {
  std::vector<std::u16string> fields;
  while (!coding.empty()) {
    const std::size_t end = coding.find('\n');
    ludaro::SplitXadeLine(ludaro::Utf8ToU16(coding.substr(0, end)), fields);
    coding = end == std::string_view::npos ? std::string_view() : coding.substr(end + 1);
    if (fields.empty()) continue;
    fields.resize(4);
    importacion.CodificarCurso(fields[0], fields[1], fields[2], fields[3]);
  }
}

// What the user does after a failed check: every course lacking NIVEL or
// CURSO gets one in the grid.
void CompleteCoding(ludaro::Importacion& importacion) {
  ludaro::dbf::Table& grid = importacion.cursos();
  for (grid.First(); !grid.Eof(); grid.Next()) {
    if (!grid.AsString("NIVEL").empty() && !grid.AsString("CURSO").empty()) continue;
    grid.Edit();
    grid.SetString("NIVEL", u"ESO");
    grid.SetString("CURSO", u"1");
    grid.Post();
  }
}

void Import(const Options& options, std::string_view coding, bool everyCountedFileThere) {
  ludaro::RunState state;
  ScriptedUser user(options.recover);
  ludaro::Importacion importacion(state, user, Scratch().htemp);
  try {
    importacion.Iniciar(Scratch().xade);
    if (importacion.phase() != ludaro::Importacion::Phase::ChoosingConvocatoria) return;
    ChooseConvocatoria(importacion, options.convocatoriaRow);
    importacion.Continuar();
    if (importacion.phase() != ludaro::Importacion::Phase::CodingLevels) return;
    TypeCoding(importacion, coding);
    importacion.Aceptar();
    if (importacion.phase() == ludaro::Importacion::Phase::CheckFailed) {
      Check(!importacion.incompletos().empty());
      importacion.Volver();
      CompleteCoding(importacion);
      importacion.Aceptar();
      Check(importacion.phase() != ludaro::Importacion::Phase::CheckFailed);
    }
  } catch (const ludaro::Error&) {
  }
  if (importacion.phase() == ludaro::Importacion::Phase::Finished)
    Check((state.nTransformado == 1) == everyCountedFileThere);
}

bool IsTableFile(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".DBF";
}

// A table the import wrote opens again, every field of every row reads, and
// each tag of its index file lists the rows in the order the engine keeps.
// The index file may only be missing where it was missing before the import,
// for a table whose header declares an index that is nowhere.
void CheckTable(const std::filesystem::path& dbfFile, const std::string& bytes, bool indexMayBeMissing) {
  const std::filesystem::path folder = dbfFile.parent_path();
  const std::string name = dbfFile.stem().string();
  std::set<std::uint32_t> live;
  {
    ludaro::dbf::Table table(folder, name);
    table.Open();
    const auto fields = table.Fields();
    for (table.First(); !table.Eof(); table.Next()) {
      live.insert(table.RecNo());
      for (const auto& field : fields) (void)table.Value(field.name);
    }
  }
  if (bytes.size() <= kProductionIndexFlag || bytes[kProductionIndexFlag] != 1) return;
  auto mdx = dbfFile;
  mdx.replace_extension(".MDX");
  if (indexMayBeMissing && !std::filesystem::exists(mdx)) return;
  for (const auto& tag : ludaro::dbf::ReadMdxTags(mdx)) {
    ludaro::dbf::Table table(folder, name);
    table.SetIndexName(tag.name);
    table.Open();
    // An index lists deleted rows too, as dBase keeps them; readers pass over them.
    std::vector<std::uint32_t> listed;
    for (const auto row : ludaro::dbf::ReadMdxRecordOrder(mdx, tag.name))
      if (live.count(row) != 0) listed.push_back(row);
    Check(listed == table.RecNosInOrder());
  }
}

// The saved coding put there before the import, if any.
struct PlacedCoding {
  std::string_view table;
  bool withIndex = false;
};

// The placed saved coding is not the import's to vouch for while it is left
// as it was.
void CheckTables(const std::optional<PlacedCoding>& placed) {
  for (const auto& entry : std::filesystem::directory_iterator(Scratch().htemp)) {
    if (!IsTableFile(entry.path())) continue;
    const std::string bytes = Read(entry.path());
    const bool isPlaced = placed && entry.path().filename() == "CURSOST2.DBF";
    if (isPlaced && bytes == placed->table) continue;
    CheckTable(entry.path(), bytes, isPlaced && !placed->withIndex);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = Parts(std::string_view(reinterpret_cast<const char*>(data), size));
  const Options options = OptionsFrom(parts[0]);
  const std::string_view coding = parts.size() > kCodingPart ? parts[kCodingPart] : std::string_view();

  EmptyFolder(Scratch().xade);
  EmptyFolder(Scratch().htemp);
  for (std::size_t n = 0; n < kXadeFiles.size(); ++n)
    if (Written(options, parts, n)) Write(Scratch().xade / kXadeFiles[n], parts[n + 1]);
  bool everyCountedFileThere = true;
  for (std::size_t n = 0; n < kXadeFiles.size(); ++n)
    if (n != kSubgruposFile) everyCountedFileThere = everyCountedFileThere && Written(options, parts, n);
  std::optional<PlacedCoding> savedCoding;
  if (parts.size() > kSavedCodingPart) {
    savedCoding = PlacedCoding{parts[kSavedCodingPart], parts.size() > kSavedCodingIndexPart};
    Write(Scratch().htemp / "CURSOST2.DBF", savedCoding->table);
    if (savedCoding->withIndex) Write(Scratch().htemp / "CURSOST2.MDX", parts[kSavedCodingIndexPart]);
  }

  try {
    Import(options, coding, everyCountedFileThere);
    if (options.twice) Import(options, coding, everyCountedFileThere);
    CheckTables(savedCoding);
  } catch (const ludaro::Error&) {
    // A table of ours that the engine refuses, or an error from outside the session.
    std::abort();
  }

  for (std::size_t n = 0; n < kXadeFiles.size(); ++n)
    if (Written(options, parts, n)) Check(Read(Scratch().xade / kXadeFiles[n]) == parts[n + 1]);
  return 0;
}

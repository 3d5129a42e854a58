#pragma once

// A small XADE export and a working folder for driving the import through
// Importacion without a window, and a way to read back the tables it wrote.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/session/run_state.h"
#include "import/importacion.h"
#include "tests/recording_dialog.h"
#include "tests/test_support.h"

namespace ludaro::test {

// Rows of a table as UTF-8 texts of the named fields, in row order or in the
// order of `indexTag`.
using TableRows = std::vector<std::vector<std::string>>;
TableRows ReadRows(const std::filesystem::path& folder, const std::string& table,
                   const std::vector<std::string>& fields, const std::string& indexTag = "");

class ImportFixture {
 public:
  ImportFixture();

  const std::filesystem::path& xade() const { return xade_; }
  const std::filesystem::path& htemp() const { return htemp_; }

  // Writes a XADE file: the header line, then `lines`, each ended by LF.
  void WriteXade(const std::string& name, const std::vector<std::string>& lines) const;
  // The convocatorias "C1" and "C2", the groups, subgroups of a small school.
  void WriteSmallSchool() const;
  // The files the steps after the subgroups read, header only, so that a test
  // of the first steps sees the chain end without a word of its own.
  void WriteLaterFiles() const;

  // An empty working folder, as on a machine that never ran an import.
  // Ends the session first: its open tables would keep the folder from being
  // removed on Windows, as they would for a user.
  void ResetHtemp();

  // A fresh session, as a new start of the program would have.
  Importacion& NewSession(std::int32_t nParam = 0);

  // Iniciar, then Continuar with `convocatoria` chosen.
  void StartAndContinue(const std::u16string& convocatoria);
  // Codes every course of the grid: CODCURSO -> {TURNO, NIVEL, CURSO}.
  void Code(const std::map<std::u16string, std::vector<std::u16string>>& coding);
  // A whole import of the small school's convocatoria C1, coded.
  void ImportSmallSchool();

  Importacion& session() { return *session_; }
  RunState state;
  RecordingDialog dialog;

 private:
  TempDir root_;
  std::filesystem::path xade_;
  std::filesystem::path htemp_;
  std::unique_ptr<Importacion> session_;
};

}  // namespace ludaro::test

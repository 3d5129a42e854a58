#pragma once

// Runs one import step on its own: a XADE folder and a working folder, the
// tables earlier steps would have left there written directly, and checks
// over whole tables.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/import_step.h"
#include "tests/import_fixture.h"

namespace ludaro::test {

// Quotes every field, doubling quotes inside, so that blanks and commas stay
// in their field.
std::string CsvLine(const std::vector<std::string>& fields);

class ImportStepTest : public ::testing::Test, public ImportFixture {
 protected:
  ImportStepContext Context() { return ImportStepContext{xade(), htemp(), u"C1", state, dialog}; }

  // CURSOST.DBF with these XADE course codes, coded.
  void WriteCursos(const std::vector<std::string>& codCursos) const;

  struct Grupo {
    std::string abrev, turno, nivel, curso, grupo, codGrupo, codSubgrupo, codCurso;
  };
  // GRUPOST.DBF with these rows, in this order.
  void WriteGrupos(const std::vector<Grupo>& grupos) const;

  // Every value of `field` is non-empty, at most 10 characters, and differs
  // from every other one without regard to letter case; rows whose logical
  // field `skipWhenTrue` is true are left out.
  void ExpectUniqueAbbreviations(const std::string& table, const std::string& field,
                                 const std::string& skipWhenTrue = "") const;

  // "NAME:C10" for every field of the table, in order.
  std::vector<std::string> Layout(const std::string& table) const;
  bool TableExists(const std::string& table) const;
};

}  // namespace ludaro::test

#include "common/session/error_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/error.h"

namespace ludaro {
namespace {

TEST(ErrorReportTest, AddsAFullStopOnlyAfterCharactersAboveIt) {
  const struct {
    const char* message;
    const char16_t* report;
  } kCases[] = {
      {"Table is busy", u"Table is busy."},
      {"List index out of bounds (3)", u"List index out of bounds (3)"},
      {"Done.", u"Done."},
      {"Ends in a slash/", u"Ends in a slash/."},  // '/' comes right after '.'
      {"Ends in a hyphen-", u"Ends in a hyphen-"},
      {"Ends in a blank ", u"Ends in a blank "},
      {"Año académico", u"Año académico."},
      {"", u"."},
  };
  for (const auto& c : kCases) EXPECT_EQ(ErrorReportText(std::runtime_error(c.message)), c.report) << c.message;
}

TEST(ErrorReportTest, NamesTheFileAndLineOnASecondLine) {
  EXPECT_EQ(ErrorReportText(Error("List index out of bounds (4)", "C:\\XADE\\gruposCentro.csv", 12)),
            u"List index out of bounds (4)\r\nC:\\XADE\\gruposCentro.csv, line 12");
  EXPECT_EQ(ErrorReportText(Error("damaged table", "CURSOST2.DBF")), u"damaged table.\r\nCURSOST2.DBF");
}

}  // namespace
}  // namespace ludaro

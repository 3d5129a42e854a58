#include "app/run_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ludaro {
namespace {

TEST(RunModeFromArguments, TwoArgumentsMeanHoraliaAndTheFirstChoosesThePanel) {
  struct Case {
    std::vector<std::wstring> arguments;
    int nParam;
    bool xadeToHoralia;
    bool horaliaToXade;
  };
  const Case cases[] = {
      {{}, 0, true, true},
      {{L"importar"}, 0, true, true},
      {{L"importar", L"1", L"2"}, 0, true, true},
      {{L"importar", L"x"}, 2, false, true},
      {{L"IMPORTAR", L""}, 2, false, true},
      {{L"Exportar", L"x"}, 2, true, false},
      {{L"otra", L"x"}, 2, true, true},
      {{L"", L"x"}, 2, true, true},
      // Only A-Z are lowered: a dotted capital I is not an i.
      {{L"\u0130MPORTAR", L"x"}, 2, true, true},
      {{L"importar ", L"x"}, 2, true, true},
  };
  for (const Case& c : cases) {
    const RunMode mode = RunModeFromArguments(c.arguments);
    const std::wstring first = c.arguments.empty() ? L"(none)" : c.arguments[0];
    SCOPED_TRACE(std::string(first.begin(), first.end()) + " with " + std::to_string(c.arguments.size()));
    EXPECT_EQ(mode.nParam, c.nParam);
    EXPECT_EQ(mode.showXadeToHoralia, c.xadeToHoralia);
    EXPECT_EQ(mode.showHoraliaToXade, c.horaliaToXade);
  }
}

}  // namespace
}  // namespace ludaro

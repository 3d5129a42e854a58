// Runs one step of the import on its own, so that the scaling run can time
// it apart from the rest of the chain:
//
//   import_step_bench grupos|profesores XADE_DIR HTEMP CONVOCATORIA
//
// "grupos" fills GRUPOST from the groups file and needs the course table of
// an earlier full import in HTEMP; "profesores" fills PROFT (with its ABREV
// tag) from the teachers file and needs nothing.

#include <cstdint>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "common/error.h"
#include "common/session/run_state.h"
#include "common/session/user_dialog.h"
#include "common/utf.h"
#include "import/import_step.h"
#include "import/leer_grupos.h"
#include "import/leer_profesores.h"

namespace {

// Messages go to stderr, so a missing file does not pass for a fast run.
class QuietDialog : public ludaro::UserDialog {
 public:
  void Message(const std::u16string& text) override {
    std::cerr << ludaro::U16ToUtf8(text) << '\n';
    ++messages;
  }
  bool Question(const std::u16string&, const std::u16string&) override { return true; }
  void Busy(bool) override {}
  void Progress(const std::u16string&, std::uint64_t) override {}

  int messages = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: import_step_bench grupos|profesores XADE_DIR HTEMP CONVOCATORIA\n";
    return 64;
  }
  try {
    ludaro::RunState state;
    QuietDialog dialog;
    std::filesystem::path xade = argv[2];
    xade += std::filesystem::path::preferred_separator;
    ludaro::ImportStepContext context{xade, argv[3], ludaro::Utf8ToU16(argv[4]), state, dialog};
    if (std::strcmp(argv[1], "grupos") == 0) {
      ludaro::LeerGrupos(context);
    } else if (std::strcmp(argv[1], "profesores") == 0) {
      ludaro::LeerProfesores(context);
    } else {
      std::cerr << "import_step_bench: unknown step " << argv[1] << '\n';
      return 64;
    }
    return dialog.messages == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "import_step_bench: " << error.what() << '\n';
    return 1;
  }
}

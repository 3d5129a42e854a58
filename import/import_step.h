#pragma once

// What every step of the import works with: where the XADE files are, where
// Horalia's working tables go, the run's shared state and the way to talk to
// the user. A step deletes, creates, fills and closes its own tables; nothing
// passes from one step to the next but the tables in the working folder and
// the chosen convocatoria.

#include <filesystem>
#include <string>

#include "common/session/run_log.h"
#include "common/session/run_state.h"
#include "common/session/user_dialog.h"

namespace ludaro {

struct ImportStepContext {
  // The chosen folder with its trailing separator; XADE file names are
  // appended to it as they are.
  std::filesystem::path xadeFolder;
  // The working folder (\HTEMP on the drive of the chosen folder).
  std::filesystem::path htemp;
  // The CONVOCATORIA of the row the user chose.
  std::u16string convocatoria;
  RunState& state;
  UserDialog& dialog;
  // Facts for an account of the run; nobody keeps them unless asked.
  RunLog& log = NullRunLog();
};

}  // namespace ludaro

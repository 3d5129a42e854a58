#pragma once

#include <string>
#include <vector>

#include "import/import_step.h"

namespace ludaro {

// A course the user has not finished coding.
struct CursoIncompleto {
  std::u16string codCurso;
  std::u16string nomeCurso;
  bool sinNivel = false;
  bool sinCurso = false;
};

// Checks that every course of CURSOST.DBF has a NIVEL and a CURSO (TURNO may
// stay empty) and sets nFalloNiveles to 1 when one lacks either, else 0.
// Returns the incomplete courses in row order, so the command line can name
// them all.
std::vector<CursoIncompleto> ComprobarNiveles(ImportStepContext& context);

// The same courses in Spanish, one line each, for the run's report.
std::vector<std::string> IncompleteCoursesForReport(const std::vector<CursoIncompleto>& incompletos);

}  // namespace ludaro

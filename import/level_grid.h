#pragma once

// What the two grids of the import show, for the window that draws them: the
// columns of the convocatoria choice and of the level coding, and which
// cells of the level grid are painted as not editable.

#include <string_view>

namespace ludaro {

struct GridColumn {
  const char* field;
  const char* title;
  int displayWidth;  // in characters
  bool editable;     // typed into in place, at most the field's width
  int maxLength;     // characters the user may type; 0 when not editable
};

// wwDBGridCODCENTRO over wwTableCentro; the first column stays in place.
inline constexpr GridColumn kConvocatoriaColumns[] = {
    {"CONVOCATORIA", "CONVOC.", 6, false, 0},
    {"DESCRIPCION", "DESCRIPCION", 30, false, 0},
};

// wwDBGridNIVIMP over wwTableNIVIMP (CODCURSO order); the first two columns
// stay in place and cannot be entered.
inline constexpr GridColumn kLevelColumns[] = {
    {"CODCURSO", "CODCURSO", 10, false, 0}, {"NOMECURSO", "NOMECURSO", 30, false, 0}, {"TURNO", "TURNO", 1, true, 1},
    {"NIVEL", "NIVEL", 5, true, 5},         {"CURSO", "CURSO", 3, true, 3},
};

// wwDBGridNIVIMPCalcCellColors: true when the cell of this field is painted
// in the button-face colour (system colour 15); other cells keep the grid's.
inline bool wwDBGridNIVIMPCalcCellColors(std::string_view field) { return field == "CODCURSO" || field == "NOMECURSO"; }

}  // namespace ludaro

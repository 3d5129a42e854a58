#pragma once

// Small working folders for the export's tests: the tables the import leaves
// and Horalia's own SOLUC and DIASHORAST, written with Ludaro's engine in the
// layouts the two programs use.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace ludaro::test {

// An empty working folder (root/HTEMP) and an empty folder for HORARIO.CSV
// (root/xade), side by side in a folder of their own.
struct ExportFolders {
  ExportFolders();
  TempDir root;
  const std::filesystem::path htemp = root / "HTEMP";
  const std::filesystem::path xade = root / "xade";
};

struct GrupoRow {
  std::u16string abrev, subgrupo, grupo, codCurso;
};
struct AsignaturaRow {
  std::u16string cod, codCurso, abrevXade;
};
struct ProfesorRow {
  std::u16string abrev, nombre;
};
struct SolucRow {
  std::u16string asig, prof, codGrupo, aula;
  double dia, hora, sesiones;
};
struct DiasHorasRow {
  std::u16string dia, hora, desde, hasta;
};
struct PlantillaRow {
  long long hora;
  std::u16string horaIni, horaFin;
};
bool operator==(const PlantillaRow& a, const PlantillaRow& b);
void PrintTo(const PlantillaRow& row, std::ostream* out);

void WriteGrupos(const std::filesystem::path& htemp, const std::vector<GrupoRow>& rows);
void WriteAsignaturas(const std::filesystem::path& htemp, const std::vector<AsignaturaRow>& rows);
// PROFT with its tag ABREV.
void WriteProfesores(const std::filesystem::path& htemp, const std::vector<ProfesorRow>& rows);
void WriteAulas(const std::filesystem::path& htemp);
void WriteSoluc(const std::filesystem::path& htemp, const std::vector<SolucRow>& rows);
void WriteDiasHoras(const std::filesystem::path& htemp, const std::vector<DiasHorasRow>& rows);
void WritePlantilla(const std::filesystem::path& htemp, const std::vector<PlantillaRow>& rows);

// The template's rows in stored order.
std::vector<PlantillaRow> ReadPlantilla(const std::filesystem::path& htemp);

// What the import leaves for the school of the worked example: group 1A
// (1ESO-A, course 2301) and its subgroup 1AD (1ESO-A-DESD), subjects MAT
// (MAT1) and FIS (FQ) of course 2301 and the activity GARD of no course,
// teachers P01 DOCENTE UNO and P02 DOCENTE DOUS, and an empty AULAT.
void WriteSchoolTranslations(const std::filesystem::path& htemp);

// The same, with the six hours 08:00, 08:55, 09:50, 11:05, 12:00, 12:55 in
// the template and DIASHORAST slots 9 (12:30) and 10 (13:00:00) of day 2.
// SOLUC is left to the test.
void WriteSchool(const std::filesystem::path& htemp);

}  // namespace ludaro::test

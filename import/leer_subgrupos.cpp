#include "import/leer_subgrupos.h"

#include <iterator>
#include <string>
#include <vector>

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_deviation.h"
#include "import/group_abbreviations.h"
#include "import/import_tables.h"
#include "import/stored_text.h"

namespace ludaro {
namespace {

// What a subgroup row takes from its parent's row.
constexpr const char* kCopiedFromParent[] = {
    "TURNO", "NIVEL", "CURSO", "CODGRUXADE", "CODCURSOXADE", "NOMEGRUPOXADE", "NOMEABREVGRUPXADE", "NOMECURSOXADE"};

}  // namespace

void LeerSubgrupos(ImportStepContext& context) {
  if (!ExistingTableFile(context, kGruposTable)) {
    context.dialog.Message(u"No existe archivo de Grupos (GRUPOST.DBF)");
    return;
  }
  const auto file = XadeFile(context, "subgruposCentro.csv");
  if (!file) {
    context.dialog.Message(u"No existe archivo de Sub-Grupos (subgruposCentro.CSV)");
    return;
  }
  XadeCsvReader reader(*file);
  dbf::Table grupos(context.htemp, kGruposTable);
  grupos.SetExclusive(true);
  grupos.Open();
  RequireLayout(grupos, GruposTableDef());

  GroupAbbreviations abbreviations;
  for (grupos.First(); !grupos.Eof(); grupos.Next()) abbreviations.Reserve(grupos.AsString("ABREV"));

  const int codeWidth = FieldWidth(GruposTableDef(), "CODGRUXADE");
  std::vector<std::u16string> parent(std::size(kCopiedFromParent));
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerSubgrupos", static_cast<std::uint64_t>(reader.LineNumber()));
    if (!grupos.Locate("CODGRUXADE", {StoredText(line.Field(0), codeWidth)})) {
      context.log.RowLeftOut(LeftOutReason::ParentGroupNotFound, reader.DisplayName(), reader.LineNumber(),
                             line.Field(0));
      continue;
    }
    for (std::size_t i = 0; i < parent.size(); ++i) parent[i] = grupos.AsString(kCopiedFromParent[i]);
    const std::u16string parentAbbreviation = grupos.AsString("ABREV");
    const std::u16string& codSubgrupo = line.Field(1);
    const std::u16string& descripcion = line.Field(2);
    const std::u16string& nomeSubgrupo = line.Field(3);
    const std::u16string& nomeAbrevSubgrupo = line.Field(4);
    const std::u16string abbreviation = abbreviations.ForSubgroup(parentAbbreviation);
    LogDeviation(context.log, kGruposTable, abbreviations.LastDeviation(), abbreviation);

    grupos.Append();
    grupos.SetString("ABREV", abbreviation);
    for (std::size_t i = 0; i < parent.size(); ++i) grupos.SetString(kCopiedFromParent[i], parent[i]);
    grupos.SetString("GRUPO", abbreviation.substr(abbreviation.size() - 1));
    grupos.SetString("MARCO", u"0");
    grupos.SetString("DESCRIP", descripcion + u" (" + nomeSubgrupo + u")");
    grupos.SetString("CODSUBGRUXADE", codSubgrupo);
    grupos.SetString("NOMESUBGRUXADE", nomeSubgrupo);
    grupos.SetString("NOMEABREVSUBGRUXADE", nomeAbrevSubgrupo);
    grupos.Post();
    context.log.RowWritten(kGruposTable);
  }
  grupos.Close();
}

}  // namespace ludaro

#include "tests/import_fixture.h"

#include <gtest/gtest.h>

#include "common/dbf/table.h"
#include "common/utf.h"

namespace ludaro::test {

TableRows ReadRows(const std::filesystem::path& folder, const std::string& table,
                   const std::vector<std::string>& fields, const std::string& indexTag) {
  dbf::Table handle(folder, table);
  if (!indexTag.empty()) handle.SetIndexName(indexTag);
  handle.Open();
  TableRows rows;
  for (handle.First(); !handle.Eof(); handle.Next()) {
    std::vector<std::string> row;
    for (const auto& field : fields) row.push_back(U16ToUtf8(handle.AsString(field)));
    rows.push_back(std::move(row));
  }
  handle.Close();
  return rows;
}

ImportFixture::ImportFixture() : xade_(root_ / "xade"), htemp_(root_ / "HTEMP") {
  std::filesystem::create_directory(xade_);
  std::filesystem::create_directory(htemp_);
  WriteLaterFiles();
}

void ImportFixture::WriteLaterFiles() const {
  for (const char* name : {"materiasHorarioOfertaCentro.csv", "materiasHorarioOfertaXeral.csv",
                           "actividadesProfesor.csv", "profesoresGrupoCentro.csv", "aulasCentro.csv"})
    WriteXade(name, {});
}

void ImportFixture::WriteXade(const std::string& name, const std::vector<std::string>& lines) const {
  std::string text = "cabeceira,de,XADE\n";
  for (const auto& line : lines) text += line + "\n";
  WriteBytes(xade_ / name, text);
}

void ImportFixture::WriteSmallSchool() const {
  WriteXade("convocatoriasCentro.csv", {"C1,\"Curso 2025/2026, ordinaria\"", "C2,Extraordinaria"});
  // convocatoria, course code, group code, group name, course name, short group name
  WriteXade("gruposCentro.csv", {
                                    "C1,ESO1,G11,A,\"1º ESO\",1A",
                                    "C1,ESO1,G12,B,\"1º ESO (outro nome)\",1B",
                                    "C2,ESO1,G91,A,\"1º ESO\",1A",
                                    "C1,BAC2,G21,A,\"2º Bacharelato, Ciencias\",2BA",
                                });
  // parent group, subgroup code, description, subgroup name, short name
  WriteXade("subgruposCentro.csv", {
                                       "G11,S111,Desdobre,Lab1,L1",
                                       "G11,S112,Desdobre,Lab2,L2",
                                       "G91,S911,Desdobre,Lab,L",
                                   });
}

void ImportFixture::ResetHtemp() {
  session_.reset();
  std::filesystem::remove_all(htemp_);
  std::filesystem::create_directory(htemp_);
}

Importacion& ImportFixture::NewSession(std::int32_t nParam) {
  state = RunState{};
  state.nParam = nParam;
  dialog.said.clear();
  session_ = std::make_unique<Importacion>(state, dialog, htemp_);
  return *session_;
}

void ImportFixture::StartAndContinue(const std::u16string& convocatoria) {
  if (!session_) NewSession();
  session_->Iniciar(xade_);
  ASSERT_EQ(session_->phase(), Importacion::Phase::ChoosingConvocatoria);
  ASSERT_TRUE(session_->ElegirConvocatoria(convocatoria));
  session_->Continuar();
}

void ImportFixture::Code(const std::map<std::u16string, std::vector<std::u16string>>& coding) {
  for (const auto& [code, values] : coding)
    ASSERT_TRUE(session_->CodificarCurso(code, values.at(0), values.at(1), values.at(2))) << U16ToUtf8(code);
}

void ImportFixture::ImportSmallSchool() {
  WriteSmallSchool();
  StartAndContinue(u"C1");
  Code({{u"ESO1", {u"M", u"ESO", u"1"}}, {u"BAC2", {u"T", u"BAC", u"2"}}});
  session_->Aceptar();
}

}  // namespace ludaro::test

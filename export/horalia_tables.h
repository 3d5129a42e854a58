#pragma once

// Tables the export reads but never writes: Horalia's own SOLUC and
// DIASHORAST, and the group, subject and teacher tables the import left.
// Each is read by the layout stored in its file, so a table written by
// another version of Horalia is accepted as long as the fields the export
// reads are there and hold text or numbers.

#include <filesystem>
#include <initializer_list>
#include <memory>

#include "common/dbf/table.h"

namespace ludaro {

// Fails with an error naming the table and the first field of `fields` that
// it lacks or that holds neither text nor a number.
void RequireReadableFields(const dbf::Table& table, std::initializer_list<const char*> fields);

// A handle on `name` in the working folder, for exclusive use, in stored
// order or in the order of `indexTag`.
std::unique_ptr<dbf::Table> ExclusiveTable(const std::filesystem::path& htemp, const char* name,
                                           const char* indexTag = "");

// The fields each table must have for the export; checked when it is opened.
void RequireSolucLayout(const dbf::Table& soluc);
void RequireDiasHorasLayout(const dbf::Table& diasHoras);
void RequireGruposLayout(const dbf::Table& grupos);
void RequireProfesoresLayout(const dbf::Table& profesores);
void RequireAsignaturasLayout(const dbf::Table& asignaturas);

}  // namespace ludaro

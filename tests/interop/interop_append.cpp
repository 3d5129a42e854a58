// interop_append FOLDER TABLE FIELD=VALUE...
//
// Appends one row to an existing table through the Table API, each named
// field set from its text, as the import does to tables it did not create.

#include <exception>
#include <iostream>
#include <string>

#include "common/dbf/table.h"
#include "common/utf.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: interop_append FOLDER TABLE FIELD=VALUE...\n";
    return 64;
  }
  try {
    ludaro::dbf::Table table(argv[1], argv[2]);
    table.SetExclusive(true);
    table.Open();
    table.Append();
    for (int i = 3; i < argc; ++i) {
      const std::string assignment = argv[i];
      const std::size_t equals = assignment.find('=');
      if (equals == std::string::npos) throw std::invalid_argument("not FIELD=VALUE: " + assignment);
      table.SetString(assignment.substr(0, equals), ludaro::Utf8ToU16(assignment.substr(equals + 1)));
    }
    table.Post();
    table.Close();
  } catch (const std::exception& error) {
    std::cerr << "interop_append: " << error.what() << '\n';
    return 1;
  }
  return 0;
}

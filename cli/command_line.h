#pragma once

// The one place where ludaro-cli's arguments are taken apart. Every
// subcommand declares how many positional arguments it takes and which
// options (each with one value) it accepts; anything else is a usage error.

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ludaro::cli {

// A command line the program cannot act on; the message says why and the
// caller adds the usage text.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CommandSyntax {
  std::vector<std::string> positionals;  // names shown in messages, e.g. "TABLE.DBF"
  std::vector<std::string> options;      // without the leading "--"
};

// The arguments after the subcommand's name, checked against its syntax.
class ParsedArguments {
 public:
  const std::string& positional(std::size_t index) const { return positionals_.at(index); }
  std::optional<std::string> option(const std::string& name) const;
  // An option naming a file or folder; its value is UTF-8 on every system.
  std::optional<std::filesystem::path> pathOption(const std::string& name) const;

  friend ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const CommandSyntax& syntax);

 private:
  std::vector<std::string> positionals_;
  std::map<std::string, std::string> options_;
};

// Accepts "--name value" and "--name=value"; "--" ends the options, so a
// table named "--x" can still be given. Throws UsageError.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const CommandSyntax& syntax);

}  // namespace ludaro::cli

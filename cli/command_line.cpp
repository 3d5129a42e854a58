#include "cli/command_line.h"

#include <algorithm>

namespace ludaro::cli {

std::optional<std::string> ParsedArguments::option(const std::string& name) const {
  auto found = options_.find(name);
  if (found == options_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::filesystem::path> ParsedArguments::pathOption(const std::string& name) const {
  if (auto value = option(name)) return std::filesystem::u8path(*value);
  return std::nullopt;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const CommandSyntax& syntax) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
      parsed.positionals_.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    if (std::find(syntax.options.begin(), syntax.options.end(), name) == syntax.options.end())
      throw UsageError("unknown option --" + name);
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      throw UsageError("option --" + name + " needs a value");
    }
    if (!parsed.options_.emplace(name, value).second) throw UsageError("option --" + name + " is given twice");
  }
  if (parsed.positionals_.size() < syntax.positionals.size())
    throw UsageError("missing " + syntax.positionals[parsed.positionals_.size()]);
  if (parsed.positionals_.size() > syntax.positionals.size())
    throw UsageError("unexpected argument '" + parsed.positionals_[syntax.positionals.size()] + "'");
  return parsed;
}

}  // namespace ludaro::cli

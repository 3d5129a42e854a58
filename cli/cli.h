#pragma once

// ludaro-cli: the batch front end. Each subcommand is one function that gets
// its checked arguments; this dispatcher owns the usage text, the mapping of
// failures to exit statuses and the "error: " lines on stderr.

#include <iosfwd>
#include <string>
#include <vector>

namespace ludaro {
class Error;
}

namespace ludaro::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitIncomplete = 1;  // the direction finished, but an input file was missing (result code -1)
inline constexpr int kExitStopped = 2;  // an error report: missing or damaged input, failed step
inline constexpr int kExitUsage = 64;

// The error as its "error: " line shows it: the message, followed by the file
// and line where it was found unless the message names the file already.
std::string ErrorText(const Error& error);

// `arguments` without the program's name. Returns the exit status.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace ludaro::cli

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ludaro::test {

// A helper program run with pipes on its standard input and output, for
// tests that need a second process. The destructor closes its input and
// waits for it, so a failing test leaves no process behind.
class ChildProcess {
 public:
  explicit ChildProcess(const std::filesystem::path& program);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void WriteLine(std::string_view line);
  // One line of its output without the line end; empty once it has ended.
  std::string ReadLine();
  void CloseInput();
  // Waits for the process to end and returns its exit code.
  int Wait();

 private:
  std::intptr_t process_ = -1;
  std::intptr_t input_ = -1;
  std::intptr_t output_ = -1;
  int exitCode_ = -1;
  bool ended_ = false;
};

}  // namespace ludaro::test

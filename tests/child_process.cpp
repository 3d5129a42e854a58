#include "tests/child_process.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;
#endif

namespace ludaro::test {

#ifdef _WIN32

namespace {
HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
void CloseIfOpen(std::intptr_t& handle) {
  if (handle != -1) CloseHandle(AsHandle(handle));
  handle = -1;
}
}  // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childInput = nullptr, parentInput = nullptr, parentOutput = nullptr, childOutput = nullptr;
  if (!CreatePipe(&childInput, &parentInput, &inheritable, 0)) throw std::runtime_error("CreatePipe failed");
  if (!CreatePipe(&parentOutput, &childOutput, &inheritable, 0)) {
    CloseHandle(childInput);
    CloseHandle(parentInput);
    throw std::runtime_error("CreatePipe failed");
  }
  SetHandleInformation(parentInput, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(parentOutput, HANDLE_FLAG_INHERIT, 0);
  input_ = FromHandle(parentInput);
  output_ = FromHandle(parentOutput);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &info);
  CloseHandle(childInput);
  CloseHandle(childOutput);
  if (!started) {
    CloseIfOpen(input_);
    CloseIfOpen(output_);
    throw std::runtime_error("cannot start " + program.string() + " (error " + std::to_string(GetLastError()) + ")");
  }
  CloseHandle(info.hThread);
  process_ = FromHandle(info.hProcess);
}

ChildProcess::~ChildProcess() {
  CloseInput();
  Wait();
  CloseIfOpen(output_);
  CloseIfOpen(process_);
}

void ChildProcess::WriteLine(std::string_view line) {
  const std::string text = std::string(line) + "\n";
  DWORD written = 0;
  if (!WriteFile(AsHandle(input_), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size())
    throw std::runtime_error("cannot write to the child process");
}

std::string ChildProcess::ReadLine() {
  std::string line;
  char c;
  DWORD got = 0;
  while (ReadFile(AsHandle(output_), &c, 1, &got, nullptr) && got == 1 && c != '\n') line.push_back(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void ChildProcess::CloseInput() { CloseIfOpen(input_); }

int ChildProcess::Wait() {
  if (!ended_) {
    WaitForSingleObject(AsHandle(process_), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(AsHandle(process_), &code);
    exitCode_ = static_cast<int>(code);
    ended_ = true;
  }
  return exitCode_;
}

#else

namespace {
void CloseIfOpen(std::intptr_t& fd) {
  if (fd != -1) ::close(static_cast<int>(fd));
  fd = -1;
}
}  // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program) {
  int toChild[2];
  int fromChild[2];
  if (::pipe2(toChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (::pipe2(fromChild, O_CLOEXEC) != 0) {
    ::close(toChild[0]);
    ::close(toChild[1]);
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
  std::string name = program.string();
  std::vector<char*> argv{name.data(), nullptr};
  pid_t pid = 0;
  const int failed = ::posix_spawn(&pid, name.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(toChild[0]);
  ::close(fromChild[1]);
  input_ = toChild[1];
  output_ = fromChild[0];
  if (failed != 0) {
    CloseIfOpen(input_);
    CloseIfOpen(output_);
    throw std::runtime_error("cannot start " + name + ": " + std::strerror(failed));
  }
  process_ = pid;
}

ChildProcess::~ChildProcess() {
  CloseInput();
  Wait();
  CloseIfOpen(output_);
}

void ChildProcess::WriteLine(std::string_view line) {
  const std::string text = std::string(line) + "\n";
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = ::write(static_cast<int>(input_), text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw std::runtime_error("cannot write to the child process");
    done += static_cast<std::size_t>(put);
  }
}

std::string ChildProcess::ReadLine() {
  std::string line;
  char c;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(output_), &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1 || c == '\n') break;
    line.push_back(c);
  }
  return line;
}

void ChildProcess::CloseInput() { CloseIfOpen(input_); }

int ChildProcess::Wait() {
  if (!ended_) {
    int status = 0;
    while (::waitpid(static_cast<pid_t>(process_), &status, 0) < 0 && errno == EINTR) {
    }
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ended_ = true;
  }
  return exitCode_;
}

#endif

}  // namespace ludaro::test

// Holds a file for exclusive use on behalf of a test, from a second process.
// Reads the file's path (UTF-8) as the first line of its input, opens it with
// no sharing and answers "locked", or "in use" when another handle holds it
// (exit status 1), or "failed" with the reason on its error output (exit
// status 2). Once locked it keeps the file until its input closes.

#include <iostream>
#include <string>

#include "common/platform/platform.h"

int main() {
  using namespace ludaro::platform;
  std::string path;
  if (!std::getline(std::cin, path)) return 64;
  if (!path.empty() && path.back() == '\r') path.pop_back();
  try {
    File held = File::Open(std::filesystem::u8path(path), Access::ReadWrite, Share::None);
    std::cout << "locked" << std::endl;
    while (std::cin.get() != std::char_traits<char>::eof()) {
    }
    return 0;
  } catch (const OpenError& error) {
    const bool inUse = error.failure().kind == OpenFailure::Kind::InUse;
    std::cout << (inUse ? "in use" : "failed") << std::endl;
    if (!inUse) std::cerr << error.what() << '\n';
    return inUse ? 1 : 2;
  }
}

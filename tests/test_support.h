#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace ludaro::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / std::string(name); }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& file);

// The message of the ludaro::Error that `action` throws, or "(no error)".
std::string MessageOf(const std::function<void()>& action);

// A file of the checked-in fixtures folder.
std::filesystem::path Fixture(std::string_view relative);

}  // namespace ludaro::test

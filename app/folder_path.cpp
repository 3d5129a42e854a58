#include "app/folder_path.h"

namespace ludaro {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Length of the root at the start of `folder`, its backslash included, or 0.
std::size_t RootLength(const std::wstring& folder) {
  if (folder.size() >= 2 && folder[1] == L':') return folder.size() >= 3 && IsSeparator(folder[2]) ? 3 : 2;
  if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
    // \\server\share\ : the root ends after the share's name.
    std::size_t separators = 0;
    for (std::size_t i = 2; i < folder.size(); ++i) {
      if (IsSeparator(folder[i]) && ++separators == 2) return i + 1;
    }
    return folder.size();
  }
  return 0;
}

}  // namespace

std::vector<std::wstring> SplitFolder(const std::wstring& folder) {
  std::vector<std::wstring> parts;
  const std::size_t rootLength = RootLength(folder);
  if (rootLength > 0) {
    std::wstring root = folder.substr(0, rootLength);
    if (!IsSeparator(root.back())) root += L'\\';
    parts.push_back(root);
  }
  std::wstring name;
  for (std::size_t i = rootLength; i <= folder.size(); ++i) {
    if (i == folder.size() || IsSeparator(folder[i])) {
      if (!name.empty()) parts.push_back(name);
      name.clear();
    } else {
      name += folder[i];
    }
  }
  return parts;
}

std::wstring JoinFolder(const std::vector<std::wstring>& parts, std::size_t count) {
  std::wstring folder;
  for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
    if (!folder.empty() && !IsSeparator(folder.back())) folder += L'\\';
    folder += parts[i];
  }
  return folder;
}

std::wstring DirectionFolderText(const std::wstring& folder) { return folder + L'\\'; }

std::wstring ShortenFolder(const std::wstring& folder, const std::function<bool(const std::wstring&)>& fits) {
  if (fits(folder)) return folder;
  const std::vector<std::wstring> parts = SplitFolder(folder);
  const bool rooted = !parts.empty() && RootLength(folder) > 0;
  const std::size_t first = rooted ? 1 : 0;  // the first name that may be left out
  if (parts.size() < first + 2) return folder;
  std::wstring shortened;
  for (std::size_t kept = first + 1; kept < parts.size(); ++kept) {
    shortened = rooted ? parts[0] : std::wstring();
    shortened += L"...";
    for (std::size_t i = kept; i < parts.size(); ++i) shortened += L'\\' + parts[i];
    if (fits(shortened)) break;
  }
  return shortened;
}

}  // namespace ludaro

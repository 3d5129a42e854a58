#pragma once

// Windows folder paths as the folder list shows them: a root that keeps its
// backslash ("C:\", "\\server\share\") followed by plain folder names. Pure
// text work, so it is tested without a window.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ludaro {

// "C:\Datos\XADE" -> {"C:\", "Datos", "XADE"}. A trailing backslash and
// doubled separators add no empty names. A path without a recognisable root
// gives its names alone.
std::vector<std::wstring> SplitFolder(const std::wstring& folder);

// The folder made of the first `count` parts of SplitFolder's result.
std::wstring JoinFolder(const std::vector<std::wstring>& parts, std::size_t count);

// The text a direction works with: the folder plus one backslash, so a
// drive's root ("C:\") ends in two and every file name is appended as it is.
std::wstring DirectionFolderText(const std::wstring& folder);

// The folder shortened by leaving out inner folders ("C:\...\Curso\XADE")
// until `fits` accepts it; the root and the last name always stay. When
// even that does not fit, that shortest form is returned anyway.
std::wstring ShortenFolder(const std::wstring& folder, const std::function<bool(const std::wstring&)>& fits);

}  // namespace ludaro

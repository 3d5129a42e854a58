#include "app/folder_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ludaro {
namespace {

TEST(SplitFolder, RootKeepsItsBackslashAndNamesFollow) {
  struct Case {
    std::wstring folder;
    std::vector<std::wstring> parts;
  };
  const Case cases[] = {
      {L"C:\\", {L"C:\\"}},
      {L"C:", {L"C:\\"}},
      {L"C:\\Datos\\XADE", {L"C:\\", L"Datos", L"XADE"}},
      {L"C:\\Datos\\XADE\\", {L"C:\\", L"Datos", L"XADE"}},
      {L"C:\\Datos\\\\XADE", {L"C:\\", L"Datos", L"XADE"}},
      {L"d:/Curso 2024/Xeografía", {L"d:/", L"Curso 2024", L"Xeografía"}},
      {L"\\\\servidor\\centro\\XADE", {L"\\\\servidor\\centro\\", L"XADE"}},
      {L"\\\\servidor\\centro", {L"\\\\servidor\\centro\\"}},
      {L"Datos\\XADE", {L"Datos", L"XADE"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitFolder(c.folder), c.parts) << std::string(c.folder.begin(), c.folder.end());
}

TEST(JoinFolder, EachPrefixIsTheFolderTheListOpens) {
  const std::vector<std::wstring> parts = SplitFolder(L"C:\\Datos\\XADE");
  EXPECT_EQ(JoinFolder(parts, 1), L"C:\\");
  EXPECT_EQ(JoinFolder(parts, 2), L"C:\\Datos");
  EXPECT_EQ(JoinFolder(parts, 3), L"C:\\Datos\\XADE");
  EXPECT_EQ(JoinFolder(parts, 9), L"C:\\Datos\\XADE");
  EXPECT_EQ(JoinFolder(SplitFolder(L"\\\\servidor\\centro\\XADE"), 2), L"\\\\servidor\\centro\\XADE");
}

TEST(DirectionFolderText, OneBackslashMoreSoADriveRootEndsInTwo) {
  EXPECT_EQ(DirectionFolderText(L"C:\\"), L"C:\\\\");
  EXPECT_EQ(DirectionFolderText(L"D:\\XADE"), L"D:\\XADE\\");
}

TEST(ShortenFolder, LeavesOutInnerFoldersUntilItFits) {
  auto within = [](std::size_t limit) { return [limit](const std::wstring& text) { return text.size() <= limit; }; };
  const std::wstring folder = L"C:\\Centro\\Cursos\\2024-2025\\Xeografía";
  EXPECT_EQ(ShortenFolder(folder, within(folder.size())), folder);
  EXPECT_EQ(ShortenFolder(folder, within(folder.size() - 1)), L"C:\\...\\Cursos\\2024-2025\\Xeografía");
  EXPECT_EQ(ShortenFolder(folder, within(26)), L"C:\\...\\2024-2025\\Xeografía");
  // Even the shortest form is too wide: it is still the one shown.
  EXPECT_EQ(ShortenFolder(folder, within(3)), L"C:\\...\\Xeografía");
  // Nothing inner to leave out.
  EXPECT_EQ(ShortenFolder(L"C:\\Xeografía", within(3)), L"C:\\Xeografía");
  EXPECT_EQ(ShortenFolder(L"\\\\servidor\\centro\\a\\b", within(10)), L"\\\\servidor\\centro\\...\\b");
}

}  // namespace
}  // namespace ludaro

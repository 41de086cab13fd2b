#include "directory_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace folios {
namespace {

using test::TempDir;
using test::WriteFile;

std::vector<std::string> Relative(const SearchResult& result, const std::string& root) {
  std::vector<std::string> relative;
  for (const std::string& path : result.files) relative.push_back(path.substr(root.size() + 1));
  return relative;
}

TEST(DirectorySearch, PatternOrderFollowsTheChosenTypes) {
  SearchTypes all{true, true, true, true, true, true};
  EXPECT_EQ(SearchExtensions(all),
            (std::vector<std::string>{"hpp", "h", "hh", "hxx", "h++", "inl", "ipp", "tcc", "cpp", "c", "cc",
                                      "cxx", "c++", "cp", "cls", "bas", "frm", "java"}));
  SearchTypes headers{false, true, false, false, false, false};
  EXPECT_EQ(SearchExtensions(headers),
            (std::vector<std::string>{"hpp", "h", "hh", "hxx", "h++", "inl", "ipp", "tcc"}));
  EXPECT_FALSE((SearchTypes{false, false, false, false, false, false}).any());
}

TEST(DirectorySearch, BreadthFirstThenPatternThenSortedNames) {
  TempDir dir;
  for (const char* name : {"z.c", "b.cpp", "a.h", "m.hpp", "B.H", "notes.txt", "x.java",
                           "sub/inner.c", "sub/deep/deeper.h", "alpha/first.hpp", "my.lib/dotted.c"}) {
    WriteFile(dir.File(name), "x");
  }
  SearchResult result;
  ASSERT_TRUE(FindSourceFiles(dir.path(), SearchTypes{}, true, &result).ok());
  EXPECT_EQ(Relative(result, dir.path()), (std::vector<std::string>{
                                              "m.hpp", "B.H", "a.h", "b.cpp", "z.c",
                                              "alpha/first.hpp", "my.lib/dotted.c",
                                              "sub/inner.c", "sub/deep/deeper.h"}));

  ASSERT_TRUE(FindSourceFiles(dir.path(), SearchTypes{}, false, &result).ok());
  EXPECT_EQ(Relative(result, dir.path()),
            (std::vector<std::string>{"m.hpp", "B.H", "a.h", "b.cpp", "z.c"}));
}

TEST(DirectorySearch, OnlyChosenTypesAreFound) {
  TempDir dir;
  for (const char* name : {"a.h", "b.cpp", "c.frm", "d.bas", "e.cls", "f.java"}) {
    WriteFile(dir.File(name), "x");
  }
  SearchResult result;
  SearchTypes vb{false, false, false, true, true, true};
  ASSERT_TRUE(FindSourceFiles(dir.path(), vb, true, &result).ok());
  EXPECT_EQ(Relative(result, dir.path()), (std::vector<std::string>{"e.cls", "d.bas", "c.frm"}));
}

// A search stays inside the directory it was given: links to directories
// are reported, not followed (so no loop and no stray tree), unless the link
// is the directory given.
TEST(DirectorySearch, LinksToDirectoriesAreSkippedUnlessNamed) {
  TempDir dir;
  WriteFile(dir.File("tree/a.c"), "x");
  WriteFile(dir.File("tree/sub/b.c"), "x");
  WriteFile(dir.File("outside/secret.c"), "x");
  ASSERT_EQ(symlink(dir.File("tree").c_str(), dir.File("tree/sub/loop").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("outside").c_str(), dir.File("tree/away").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("outside/secret.c").c_str(), dir.File("tree/linked.c").c_str()), 0);
  SearchResult result;
  ASSERT_TRUE(FindSourceFiles(dir.File("tree"), SearchTypes{}, true, &result).ok());
  EXPECT_EQ(Relative(result, dir.File("tree")),
            (std::vector<std::string>{"a.c", "linked.c", "sub/b.c"}));
  EXPECT_EQ(result.skipped_links,
            (std::vector<std::string>{dir.File("tree/away"), dir.File("tree/sub/loop")}));

  // Without subfolders nothing would be entered, so nothing is reported.
  ASSERT_TRUE(FindSourceFiles(dir.File("tree"), SearchTypes{}, false, &result).ok());
  EXPECT_TRUE(result.skipped_links.empty());

  ASSERT_TRUE(FindSourceFiles(dir.File("tree/away"), SearchTypes{}, true, &result).ok());
  EXPECT_EQ(result.files, (std::vector<std::string>{dir.File("tree/away/secret.c")}));
}

TEST(DirectorySearch, AFilePathSearchesItsDirectoryAndMissingDirectoriesFail) {
  TempDir dir;
  WriteFile(dir.File("a.c"), "x");
  SearchResult result;
  ASSERT_TRUE(FindSourceFiles(dir.File("a.c"), SearchTypes{}, false, &result).ok());
  EXPECT_EQ(result.files, (std::vector<std::string>{dir.File("a.c")}));
  EXPECT_FALSE(FindSourceFiles(dir.File("missing"), SearchTypes{}, true, &result).ok());
}

TEST(DirectorySearch, UnreadableSubdirectoriesAreSkippedAndListed) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every directory";
  TempDir dir;
  WriteFile(dir.File("a.c"), "x");
  WriteFile(dir.File("locked/b.c"), "x");
  std::filesystem::permissions(dir.File("locked"), std::filesystem::perms::none);
  SearchResult result;
  ASSERT_TRUE(FindSourceFiles(dir.path(), SearchTypes{}, true, &result).ok());
  EXPECT_EQ(result.files, (std::vector<std::string>{dir.File("a.c")}));
  EXPECT_EQ(result.unreadable, (std::vector<std::string>{dir.File("locked")}));
}

TEST(DirectorySearch, ManyFilesInOneDirectory) {
  TempDir dir;
  const int kCount = 20000;
  for (int i = 0; i < kCount; ++i) {
    WriteFile(dir.File("f" + std::to_string(kCount - i) + ".c"), "");
  }
  SearchResult result;
  ASSERT_TRUE(FindSourceFiles(dir.path(), SearchTypes{}, true, &result).ok());
  ASSERT_EQ(result.files.size(), static_cast<size_t>(kCount));
  EXPECT_TRUE(std::is_sorted(result.files.begin(), result.files.end()));
}

}  // namespace
}  // namespace folios

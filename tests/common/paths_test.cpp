#include "paths.h"

#include <gtest/gtest.h>

namespace folios {
namespace {

TEST(PathRoutines, SplitIntoDirectoryAndFileName) {
  struct Case {
    const char* path;
    const char* directory;
    const char* file_name;
  };
  const Case cases[] = {
      {"/work/app/main.cpp", "/work/app", "main.cpp"},
      {"/main.cpp", "", "main.cpp"},  // joining "" + "/" + name gives the path back
      {"main.cpp", "", ""},
      {"/work/app/", "/work/app", ""},
      {"/work/my.project/README", "/work/my.project", "README"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Directory(c.path), c.directory) << c.path;
    EXPECT_EQ(FileName(c.path), c.file_name) << c.path;
  }
  EXPECT_EQ(JoinRowPath(Directory("/main.cpp"), FileName("/main.cpp")), "/main.cpp");
}

TEST(PathRoutines, ExtensionIsLowerCaseAndTakenFromTheFileNameOnly) {
  EXPECT_EQ(Extension("/src/MAIN.CPP"), "cpp");
  EXPECT_EQ(Extension("/src/Form1.Frm"), "frm");
  EXPECT_EQ(Extension("/src/archive.tar.gz"), "gz");
  EXPECT_EQ(Extension("/src/v1.2/Makefile"), "");   // a dot in a directory is not an extension
  EXPECT_EQ(Extension("/home/ada/.profile"), "");   // nor is a leading dot
  EXPECT_EQ(Extension("/src/trailing."), "");
  EXPECT_EQ(Extension("x.h"), "h");
}

TEST(PathRoutines, DriveIsTheFirstTwoCharacters) {
  EXPECT_EQ(Drive("C:\\work"), "C:");
  EXPECT_EQ(Drive("/"), "/");
}

TEST(ShortenPath, KeepsShortPathsAndCutsLongOnesInTheMiddle) {
  EXPECT_EQ(ShortenPath("/short/path.c", 28), "/short/path.c");
  std::string exact(28, 'x');
  EXPECT_EQ(ShortenPath(exact, 28), exact);

  // A 40-character path with n = 28 keeps its first 3 and its last 23 characters.
  std::string forty = "/abcdefghijklmnopqrstuvwxyz/0123456789.c";
  ASSERT_EQ(forty.size(), 40u);
  std::string shortened = ShortenPath(forty, 28);
  EXPECT_EQ(shortened, "/ab..." + forty.substr(40 - 23));
  EXPECT_EQ(shortened.size(), 29u);  // n + 1 characters in all
}

TEST(ShortenPath, CountsUtf8CharactersAndNeverSplitsOne) {
  // 12 characters, each "é" two bytes.
  std::string path = "/\xC3\xA9\xC3\xA9\xC3\xA9/abcdefgh";
  std::string shortened = ShortenPath(path, 10);
  EXPECT_EQ(shortened, "/\xC3\xA9\xC3\xA9...defgh");
}

TEST(ShortenPath, TinyLimitsDoNotReadOutOfRange) {
  EXPECT_EQ(ShortenPath("abcdef", 2), "abc...");
  EXPECT_EQ(ShortenPath("abcdef", -1), "abc...");
}

TEST(AbsolutePath, ResolvesDotsAndDropsTrailingSlash) {
  EXPECT_EQ(AbsolutePath("/a/b/../c/./d/"), "/a/c/d");
  EXPECT_EQ(AbsolutePath("/"), "/");
  EXPECT_EQ(AbsolutePath("rel").front(), '/');
}

}  // namespace
}  // namespace folios

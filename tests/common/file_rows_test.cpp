#include "file_rows.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>

#include "project_file.h"
#include "test_support.h"

namespace folios {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(FileRows, SizeIsKilobytesOfAThousandRoundedUp) {
  struct Case {
    uint64_t bytes;
    const char* text;
    uint64_t kilobytes;
  };
  const Case cases[] = {
      {0, "1KB", 0}, {1, "1KB", 1}, {999, "1KB", 1}, {1000, "1KB", 1},
      {1001, "2KB", 2}, {12000, "12KB", 12}, {5000000001ULL, "5000001KB", 5000001},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(Kilobytes(c.bytes), c.kilobytes) << c.bytes;
  }
}

TEST(FileRows, ModifiedTimeIsUtcWhateverTheTimeZone) {
  const char* old_tz = std::getenv("TZ");
  std::string saved = old_tz ? old_tz : "";
  setenv("TZ", "Pacific/Auckland", 1);
  tzset();
  // 4 July 2000, 09:05 UTC
  EXPECT_EQ(ModifiedText(962701500), "07/04/2000 09:05");
  EXPECT_EQ(ModifiedText(0), "01/01/1970 00:00");
  if (old_tz) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(FileRows, RowsComeFromDiskAndMissingFilesShowEmpty) {
  TempDir dir;
  WriteFile(dir.File("a.cpp"), std::string(1001, 'x'));
  utimbuf times{962701500, 962701500};
  ASSERT_EQ(utime(dir.File("a.cpp").c_str(), &times), 0);
  FileRow row = MakeRow(dir.File("a.cpp"), kCppSources);
  EXPECT_EQ(row.file_name, "a.cpp");
  EXPECT_EQ(row.directory, dir.path());
  EXPECT_EQ(row.size_text, "2KB");
  EXPECT_EQ(row.modified_text, "07/04/2000 09:05");
  EXPECT_EQ(row.path(), dir.File("a.cpp"));
  EXPECT_TRUE(row.exists);

  FileRow missing = MakeRow(dir.File("gone.h"), kCppHeaders);
  EXPECT_EQ(missing.file_name, "gone.h");
  EXPECT_EQ(missing.size_text, "");
  EXPECT_EQ(missing.modified_text, "");
  EXPECT_EQ(missing.kilobytes, 0u);
  EXPECT_FALSE(missing.exists);
}

TEST(FileRows, EachRowGoesInAtTheTopSoTheLastGroupComesFirst) {
  TempDir dir;
  WriteFile(dir.File("app.dsp"), "SOURCE=.\\a.cpp\nSOURCE=.\\b.cpp\nSOURCE=.\\x.h\n");
  CProjectFile files;
  files.Open(dir.File("app.dsp"), true);
  files.Process();
  files.AddFile(dir.File("Main.java"));
  FileList list = BuildFileList(files);
  std::vector<std::string> names;
  for (const FileRow& row : list.rows) names.push_back(row.file_name);
  EXPECT_EQ(names, (std::vector<std::string>{"Main.java", "x.h", "b.cpp", "a.cpp"}));
}

TEST(FileRows, StatisticsCountTheCollectionAndTotalTheRebuild) {
  TempDir dir;
  WriteFile(dir.File("empty.cpp"), "");
  WriteFile(dir.File("big.cpp"), std::string(2500, 'x'));
  WriteFile(dir.File("f.frm"), "x");
  CProjectFile files;
  for (const char* name : {"empty.cpp", "big.cpp", "f.frm", "missing.bas"}) {
    files.AddFile(dir.File(name));
  }
  FileList list = BuildFileList(files);
  std::vector<StatisticsRow> rows = Statistics(files, list.totals);
  ASSERT_EQ(rows.size(), 7u);
  struct Expected {
    const char* label;
    int image;
    const char* number;
    const char* size;
  };
  const Expected expected[] = {
      {"C++ Sourcefiles (*.cpp, *.c)", 0, "2", "3KB"},  // a 0-byte file shows 1KB but adds 0
      {"C++ Headerfiles (*.h)", 1, "0", "0KB"},
      {"Visual Basic Form files (*.frm)", 4, "1", "1KB"},
      {"Visual Basic Module (*.bas)", 3, "1", "0KB"},
      {"Visual Basic Class Module (*.cls)", 2, "0", "0KB"},
      {"Java Files (*.java)", 5, "0", "0KB"},
      {"Total", 6, "4", "4KB"},
  };
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(rows[i].label, expected[i].label);
    EXPECT_EQ(rows[i].image, expected[i].image);
    EXPECT_EQ(rows[i].number, expected[i].number) << rows[i].label;
    EXPECT_EQ(rows[i].total_size, expected[i].size) << rows[i].label;
  }
}

}  // namespace
}  // namespace folios

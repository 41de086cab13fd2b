#include "atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "test_support.h"

namespace folios {
namespace {

using test::FileExists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

size_t EntriesIn(const std::string& dir) {
  size_t n = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir)) {
    (void)entry;
    ++n;
  }
  return n;
}

TEST(AtomicFile, TargetKeepsItsOldContentUntilCommit) {
  TempDir dir;
  std::string target = dir.File("out.rtf");
  WriteFile(target, "old");
  chmod(target.c_str(), 0640);
  {
    AtomicFile file;
    ASSERT_TRUE(file.Open(target).ok());
    std::fputs("new content", file.file());
    std::fflush(file.file());
    EXPECT_EQ(ReadFile(target), "old");
    ASSERT_TRUE(file.Commit().ok());
  }
  EXPECT_EQ(ReadFile(target), "new content");
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, DiscardedOrAbandonedWritesLeaveNoTrace) {
  TempDir dir;
  std::string target = dir.File("out.rtf");
  WriteFile(target, "old");
  {
    AtomicFile file;
    ASSERT_TRUE(file.Open(target).ok());
    std::fputs("half", file.file());
  }
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, FailuresAreReported) {
  TempDir dir;
  AtomicFile file;
  EXPECT_FALSE(file.Open(dir.File("missing-dir/out.rtf")).ok());
  std::string content;
  EXPECT_FALSE(ReadWholeFile(dir.File("nothing"), &content).ok());
  EXPECT_FALSE(CopyFileAtomically(dir.File("nothing"), dir.File("copy")).ok());
  EXPECT_FALSE(FileExists(dir.File("copy")));
}

TEST(AtomicFile, CopyAndReadRoundTripBinaryBytes) {
  TempDir dir;
  std::string bytes("a\0b\xff\r\n", 6);
  ASSERT_TRUE(WriteFileAtomically(dir.File("src"), bytes).ok());
  ASSERT_TRUE(CopyFileAtomically(dir.File("src"), dir.File("dst")).ok());
  std::string content;
  ASSERT_TRUE(ReadWholeFile(dir.File("dst"), &content).ok());
  EXPECT_EQ(content, bytes);
}

}  // namespace
}  // namespace folios

#include "atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "temp_files.h"
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

// Only regular files are read whole: a pipe is refused without being opened
// (opening it would wait for a writer), a directory names what it is, and a
// missing file keeps its errno for callers with codes of their own.
TEST(AtomicFile, ReadRegularFileReadsOnlyRegularFiles) {
  TempDir dir;
  std::string bytes(200000, 'x');
  bytes[100000] = '\0';
  ASSERT_TRUE(WriteFileAtomically(dir.File("src"), bytes).ok());
  std::string content = "left over";
  ASSERT_TRUE(ReadRegularFile(dir.File("src"), &content).ok());
  EXPECT_EQ(content, bytes);

  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  Status pipe = ReadRegularFile(dir.File("pipe"), &content);
  EXPECT_EQ(pipe.message(), "a named pipe, not a regular file");
  EXPECT_EQ(ReadRegularFile(dir.path(), &content).message(), "a directory, not a regular file");
  errno = 0;
  EXPECT_FALSE(ReadRegularFile(dir.File("missing"), &content).ok());
  EXPECT_EQ(errno, ENOENT);
}

// Writes `text` through a fresh AtomicFile and commits it.
Status WriteThrough(const std::string& target, const std::string& text, const OutputOptions& options = {}) {
  AtomicFile file;
  Status status = file.Open(target, options);
  if (!status.ok()) return status;
  std::fputs(text.c_str(), file.file());
  return file.Commit();
}

TEST(AtomicFilePolicy, SymbolicLinksAreFollowedAndStayLinks) {
  TempDir dir;
  WriteFile(dir.File("real/doc.rtf"), "old");
  ASSERT_EQ(symlink("real/doc.rtf", dir.File("link.rtf").c_str()), 0);
  ASSERT_TRUE(WriteThrough(dir.File("link.rtf"), "new").ok());
  struct stat st;
  ASSERT_EQ(lstat(dir.File("link.rtf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(dir.File("real/doc.rtf")), "new");
  EXPECT_EQ(EntriesIn(dir.File("real")), 1u);  // the temporary file was made beside the real file

  // A link to a file that does not exist yet creates that file.
  ASSERT_EQ(symlink("real/later.rtf", dir.File("dangling.rtf").c_str()), 0);
  ASSERT_TRUE(WriteThrough(dir.File("dangling.rtf"), "made").ok());
  EXPECT_EQ(ReadFile(dir.File("real/later.rtf")), "made");

  // A loop is refused, not followed for ever.
  ASSERT_EQ(symlink("loop-b", dir.File("loop-a").c_str()), 0);
  ASSERT_EQ(symlink("loop-a", dir.File("loop-b").c_str()), 0);
  EXPECT_FALSE(WriteThrough(dir.File("loop-a"), "x").ok());
}

TEST(AtomicFilePolicy, PipesAndDevicesAreWrittenIntoNotReplaced) {
  TempDir dir;
  std::string fifo = dir.File("fifo.rtf");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] {
    int fd = open(fifo.c_str(), O_RDONLY);
    char buffer[64];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<size_t>(n));
    close(fd);
  });
  Status status = WriteThrough(fifo, "through the pipe");
  reader.join();
  EXPECT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(received, "through the pipe");
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A full device reports its failure and stays a device.
  ASSERT_EQ(symlink("/dev/full", dir.File("full.rtf").c_str()), 0);
  status = WriteThrough(dir.File("full.rtf"), std::string(100000, 'x'));
  EXPECT_FALSE(status.ok());
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

// What a pipe end holds after the writer closed it.
std::string Drain(int fd) {
  std::string received;
  char buffer[256];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<size_t>(n));
  return received;
}

// /dev/stdout, /dev/fd/N and /proc/self/fd/N lead to "pipe:[1234]" when the
// shell redirects into a pipe: the descriptor itself is written.
TEST(AtomicFilePolicy, TheProcessesOwnDescriptorsAreWrittenThrough) {
  TempDir dir;
  ASSERT_EQ(symlink("/dev/fd/47", dir.File("to-fd.rtf").c_str()), 0);
  const std::vector<std::string> names = {"/dev/fd/47", "/proc/self/fd/47",
                                          "/proc/" + std::to_string(getpid()) + "/fd/47", dir.File("to-fd.rtf")};
  for (const std::string& name : names) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(dup2(ends[1], 47), 47);
    close(ends[1]);
    Status status = WriteThrough(name, "through " + name);
    close(47);
    EXPECT_TRUE(status.ok()) << name << ": " << status.message();
    EXPECT_EQ(Drain(ends[0]), "through " + name);
    close(ends[0]);
  }
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  // A descriptor open on a file in append mode (">> log") keeps what the
  // file held: it is written where the descriptor stands, not replaced.
  WriteFile(dir.File("log.txt"), "earlier\n");
  int log = open(dir.File("log.txt").c_str(), O_WRONLY | O_APPEND);
  ASSERT_EQ(dup2(log, 47), 47);
  close(log);
  EXPECT_TRUE(WriteThrough("/dev/fd/47", "later\n").ok());
  close(47);
  EXPECT_EQ(ReadFile(dir.File("log.txt")), "earlier\nlater\n");

  // ... and refused when it is one of the inputs, or not open at all.
  log = open(dir.File("log.txt").c_str(), O_WRONLY | O_APPEND);
  ASSERT_EQ(dup2(log, 47), 47);
  close(log);
  AtomicFile file;
  OutputOptions options;
  options.inputs = {dir.File("log.txt")};
  EXPECT_EQ(file.Open("/dev/fd/47", options).message(), "it is also one of the input files");
  close(47);
  EXPECT_FALSE(file.Open("/dev/fd/47").ok());
  EXPECT_EQ(ReadFile(dir.File("log.txt")), "earlier\nlater\n");
}

TEST(AtomicFilePolicy, ReadOnlyTargetsAndInputsAreRefusedUntouched) {
  TempDir dir;
  std::string ro = dir.File("ro.rtf");
  WriteFile(ro, "keep me");
  chmod(ro.c_str(), 0444);
  Status status = WriteThrough(ro, "new");
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message(), ErrnoMessage(EACCES));
  EXPECT_EQ(ReadFile(ro), "keep me");

  // The output may not be one of the inputs, however it is named.
  WriteFile(dir.File("a.c"), "int a;");
  ASSERT_EQ(symlink("a.c", dir.File("alias.rtf").c_str()), 0);
  OutputOptions options;
  options.inputs = {dir.File("other.c"), dir.path() + "/./a.c"};
  for (const std::string& out : {dir.File("a.c"), dir.File("alias.rtf")}) {
    status = WriteThrough(out, "{\\rtf1}", options);
    EXPECT_FALSE(status.ok()) << out;
    EXPECT_EQ(status.message(), "it is also one of the input files");
  }
  EXPECT_EQ(ReadFile(dir.File("a.c")), "int a;");
  EXPECT_EQ(EntriesIn(dir.path()), 3u);
  EXPECT_EQ(WriteThrough(dir.path(), "x").message(), ErrnoMessage(EISDIR));
}

TEST(AtomicFilePolicy, AppendModeStartsFromTheOldContent) {
  TempDir dir;
  WriteFile(dir.File("log"), "first\n");
  OutputOptions options;
  options.keep_existing_content = true;
  ASSERT_TRUE(WriteThrough(dir.File("log"), "second\n", options).ok());
  EXPECT_EQ(ReadFile(dir.File("log")), "first\nsecond\n");
  ASSERT_TRUE(WriteThrough(dir.File("new-log"), "only\n", options).ok());
  EXPECT_EQ(ReadFile(dir.File("new-log")), "only\n");
}

TEST(AtomicFilePolicy, ReplacedFileKeepsOwnerAndGroupWhenRunAsRoot) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another owner";
  TempDir dir;
  std::string path = dir.File("theirs.c");
  WriteFile(path, "old");
  ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteThrough(path, "new").ok());
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(path), "new");
}

TEST(AtomicFilePolicy, SignalRemovesTheTemporaryFile) {
  TempDir dir;
  std::string target = dir.File("doc.rtf");
  WriteFile(target, "old");
  for (int signal_number : {SIGTERM, SIGINT}) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RemoveTemporaryFilesOnSignals();
      AtomicFile file;
      if (!file.Open(target).ok()) _exit(3);
      std::fputs("half written", file.file());
      std::fflush(file.file());
      raise(signal_number);
      _exit(4);
    }
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child);
    ASSERT_TRUE(WIFSIGNALED(wstatus)) << "exit " << WEXITSTATUS(wstatus);
    EXPECT_EQ(WTERMSIG(wstatus), signal_number);
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
  }
}

TEST(AtomicFilePolicy, SameContentComparesBytes) {
  TempDir dir;
  WriteFile(dir.File("a"), std::string(200000, 'x'));
  WriteFile(dir.File("b"), std::string(200000, 'x'));
  WriteFile(dir.File("c"), std::string(199999, 'x') + "y");
  EXPECT_TRUE(SameContent(dir.File("a"), dir.File("b")));
  EXPECT_FALSE(SameContent(dir.File("a"), dir.File("c")));
  EXPECT_FALSE(SameContent(dir.File("a"), dir.File("missing")));
}

}  // namespace
}  // namespace folios

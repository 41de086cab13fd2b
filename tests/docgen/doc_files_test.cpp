// The files a documentation run reads and writes: sources it cannot read,
// binary sources, bare names, and documents that must never be clobbered
// (inputs, read-only files, links, a run that fails or is killed).
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "doc_driver.h"
#include "doc_messages.h"
#include "doc_run_fixture.h"
#include "test_support.h"

namespace folios::docgen {
namespace {

const char kFormat[] =
    "[file]\n.output=doc\n.pre=<doc>^n\n.post=</doc>^n\n"
    "[topic]\n.tag=t, doc, 2, 1, $1\n.pre=[$1:$2:$!f]^n\n"
    "[extension]\n.ext=c, c\n.ext=h, c\n"
    "[token]\n.output=doc, txt\n";

class DocFilesTest : public DocRunFixture {
 protected:
  void SetUp() override {
    DocRunFixture::SetUp();
    format_ = dir_.File("f.fmt");
    test::WriteFile(format_, kFormat);
  }
  // Names in `directory` that start with `prefix`.
  static std::vector<std::string> Leftovers(const std::string& directory, const std::string& prefix) {
    std::vector<std::string> names;
    DIR* d = opendir(directory.c_str());
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    closedir(d);
    return names;
  }

  std::string format_;
};

// Missing sources, patterns without a match, directories and binary files
// are reported; the others are documented, and the result says a source was
// lost.
TEST_F(DocFilesTest, UnreadableSourcesAreReportedAndFailTheRun) {
  std::string good = Source("good.c", "// @doc\n// @t Good | kept\n");
  static const char kBinary[] = "// @doc\n// @t Bin | x\n\0\x01\x02";
  std::string binary = Source("bin.c", std::string(kBinary, sizeof kBinary - 1));
  std::string out = dir_.File("out.txt");
  ASSERT_EQ(::mkdir(dir_.File("sub").c_str(), 0755), 0);
  struct Case {
    std::string source;
    int rc;
    std::string message;
  } cases[] = {
      {dir_.File("missing.c"), kErrNotFound, dir_.File("missing.c") + ": Error 102: file not found\n"},
      {dir_.File("none*.c"), kErrNotFound, dir_.File("none*.c") + ": Error 102: file not found\n"},
      {dir_.File("sub"), kFileErrorBase + kCauseInvalidFile, dir_.File("sub") + ": Error 106: invalid file\n"},
      {binary, kErrBinaryFile, binary + ": Error 215: binary file (it holds NUL bytes), skipped\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run({c.source, good, "-f", format_, "-o", out}), c.rc) << c.source;
    EXPECT_EQ(err_, c.message);
    EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[Good:kept:good.c]\r\n</doc>\r\n") << c.source;
  }
  EXPECT_EQ(Run({good, "-f", format_, "-o", out}), 0);
  if (::geteuid() != 0) {
    std::string locked = Source("locked.c", "// @doc\n// @t L | x\n");
    ::chmod(locked.c_str(), 0);
    EXPECT_EQ(Run({locked, good, "-f", format_, "-o", out}), kFileErrorBase + kCauseAccessDenied);
    EXPECT_EQ(err_, locked + ": Error 105: access denied\n");
  }
}

// Control characters of comments never reach a document raw.
TEST_F(DocFilesTest, ControlCharactersAreEscapedInRtf) {
  test::WriteFile(dir_.File("rtf.fmt"),
                  "[file]\n.output=doc\n.pre={\\rtf1 \n.post=}\n"
                  "[topic]\n.tag=t, doc, 2, 1, $1\n.pre=$1 $2\\par^n\n"
                  "[extension]\n.ext=c, c\n"
                  "[token]\n.output=doc, rtf\n.token={,\\{\n.highcharmask=rtf\n");
  std::string a = Source("a.c", "// @doc\n// @t Bell\x07 | esc\x1b tab\tff\x0c del\x7f\n");
  ASSERT_EQ(Run({a, "-f", dir_.File("rtf.fmt"), "-o", dir_.File("a.rtf")}), 0);
  EXPECT_EQ(test::ReadFile(dir_.File("a.rtf")), "{\\rtf1 Bell\\'07 esc\\'1b tab\tff\\'0c del\\'7f\\par\r\n}");
}

// A replacement that ends in a control word is set off from the text after
// it, wherever the text comes from (a name that runs over two lines).
TEST_F(DocFilesTest, AReplacementEndingInAControlWordIsDelimited) {
  test::WriteFile(dir_.File("rtf.fmt"),
                  "[file]\n.output=doc\n.pre={\\rtf1 \n.post=}\n"
                  "[topic]\n.tag=t, doc, 2, 1, $1\n.pre=$!n|$2\\par^n\n"
                  "[extension]\n.ext=c, c\n"
                  "[token]\n.output=doc, rtf\n.token=^P,\\par\n.token=x,\\tab\n.token=y,{\\tab}\n.highcharmask=rtf\n");
  std::string a = Source("a.c", "// @doc\n// @t Two\n// lines | axb y\n");
  ASSERT_EQ(Run({a, "-f", dir_.File("rtf.fmt"), "-o", dir_.File("a.rtf")}), 0);
  EXPECT_EQ(test::ReadFile(dir_.File("a.rtf")), "{\\rtf1 Two\\par  lines|a\\tab b {\\tab}\\par\r\n}");
}

// A source named without a directory names the output and "$!f" by itself.
TEST_F(DocFilesTest, ABareSourceNameIsItsOwnFileName) {
  Source("geometry.h", "// @doc\n// @t Point | x\n");
  std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  int named = Run({"geometry.h", "-f", format_});
  std::string named_out = out_;
  int given = Run({"geometry.h", "-f", format_, "-o", "given.txt"});
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  EXPECT_EQ(named, 0);
  EXPECT_EQ(named_out, "Output file is geometry.txt.\n");
  EXPECT_EQ(test::ReadFile(dir_.File("geometry.txt")), "<doc>\r\n[Point:x:geometry.h]\r\n</doc>\r\n");
  EXPECT_FALSE(test::FileExists(dir_.File(".txt")));
  EXPECT_EQ(given, 0);
  EXPECT_EQ(test::ReadFile(dir_.File("given.txt")), "<doc>\r\n[Point:x:geometry.h]\r\n</doc>\r\n");
}

// Documents that are inputs or read-only are refused before anything is
// written; a link is followed and stays a link.
TEST_F(DocFilesTest, DocumentsAreNeverWrittenOverWhatTheUserDidNotName) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  const std::string source_text = test::ReadFile(a);
  EXPECT_EQ(Run({a, "-f", format_, "-o", a}), kFileErrorBase + kCauseAccessDenied);
  EXPECT_EQ(err_, a + ": Error 105: it is also one of the input files\n");
  EXPECT_EQ(test::ReadFile(a), source_text);
  // The format file and the log are inputs and outputs the same way.
  EXPECT_EQ(Run({a, "-f", format_, "-o", format_}), kFileErrorBase + kCauseAccessDenied);
  EXPECT_EQ(test::ReadFile(format_), kFormat);
  EXPECT_EQ(Run({a, "-f", format_, "-n", "-l", a}), kFileErrorBase + kCauseAccessDenied);
  EXPECT_EQ(err_, a + ": Error 105: it is also one of the input files\n");
  EXPECT_EQ(test::ReadFile(a), source_text);

  std::string ro = Source("ro.txt", "old document");
  ::chmod(ro.c_str(), 0444);
  EXPECT_EQ(Run({a, "-f", format_, "-o", ro}), kFileErrorBase + kCauseAccessDenied);
  EXPECT_EQ(test::ReadFile(ro), "old document");
  EXPECT_NE(err_.find(ro + ": Error 105: "), std::string::npos) << err_;

  std::string target = Source("target.txt", "old");
  std::string link = dir_.File("link.txt");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  EXPECT_EQ(Run({a, "-f", format_, "-o", link, "-l", link + ".log"}), 0);
  struct stat info;
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(test::ReadFile(target), "<doc>\r\n[A:x:a.c]\r\n</doc>\r\n");
  EXPECT_EQ(Leftovers(dir_.path(), ".target.txt.tmp"), std::vector<std::string>{});
}

// A run that ends early leaves the old document, log and project as they
// were, and no temporary file behind.
TEST_F(DocFilesTest, AFailedRunLeavesTheOldFiles) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  std::string out = Source("out.txt", "old document without trailer");
  EXPECT_EQ(Run({a, "-f", format_, "-o", out, "-a", "-l", dir_.File("log.txt")}), kErrTrailerNotFound);
  EXPECT_EQ(test::ReadFile(out), "old document without trailer");
  EXPECT_FALSE(test::FileExists(dir_.File("log.txt")));
  EXPECT_EQ(Leftovers(dir_.path(), ".out.txt.tmp").size(), 0u);
  EXPECT_EQ(Leftovers(spool_dir_, "~SV").size(), 0u);
  // A device that refuses the bytes: the run fails.
  if (test::FileExists("/dev/full")) {
    EXPECT_EQ(Run({a, "-f", format_, "-o", "/dev/full"}), kFileErrorBase + kCauseDiskFull);
    EXPECT_EQ(err_, "/dev/full: Error 113: disk full\n");
  }
}

// SIGTERM in the middle of a run: the old document stays, the spool file
// and the document's temporary file go.
TEST_F(DocFilesTest, ATerminatedRunLeavesNoTemporaryFiles) {
  std::string folios = std::string(FOLIOS_BINARY_ROOT) + "/bin/folios";
  if (!test::FileExists(folios)) GTEST_SKIP() << folios << " is not built";
  std::string text = "// @doc\n";
  for (int i = 0; i < 20000; ++i) text += "// @t Topic" + std::to_string(i) + " | x\n";
  std::string a = Source("a.c", text);
  std::string out = Source("out.txt", "old document");
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The verbose list of topics fills the pipe nobody reads: the run stops
    // in the middle, with its spool and temporary document open.
    ::dup2(pipe_fds[1], 1);
    int null_fd = ::open("/dev/null", O_WRONLY);
    ::dup2(null_fd, 2);
    ::execl(folios.c_str(), folios.c_str(), "doc", a.c_str(), "-f", format_.c_str(), "-o", out.c_str(), "-v",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  bool started = false;
  for (int i = 0; i < 1000 && !started; ++i) {
    started = !Leftovers(dir_.path(), ".out.txt.tmp").empty() && !Leftovers(spool_dir_, "~SV").empty();
    if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::close(pipe_fds[0]);
  EXPECT_TRUE(started);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(test::ReadFile(out), "old document");
  EXPECT_EQ(Leftovers(dir_.path(), ".out.txt.tmp"), std::vector<std::string>{});
  EXPECT_EQ(Leftovers(spool_dir_, "~SV"), std::vector<std::string>{});
}

}  // namespace
}  // namespace folios::docgen

// Rewriting a file in place never loses its original: runs take turns, a
// file changed by someone else meanwhile is left alone, every name of a
// file sees the new text, and nothing but a regular file is opened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <streambuf>
#include <thread>

#include "folios_runner.h"
#include "reformat_build.h"
#include "reformat_file.h"
#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;

const char kSource[] = "int f()\n{\nx;\n}\n";
const char kFormatted[] = "int f() {\n    x;\n}\n";

ino_t Inode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_ino;
}

// Names left behind in `dir` that look like temporary files.
std::vector<std::string> Temporaries(const std::string& dir) {
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.find(".tmp-") != std::string::npos) left.push_back(entry.path().string());
  }
  return left;
}

// An output stream that calls `act` the first time anything is written to
// it: ReformatFileWith writes its settings report once the source is read
// and before the result is written, so `act` runs in between.
class ActOnFirstWrite : public std::streambuf {
 public:
  explicit ActOnFirstWrite(std::function<void()> act) : act_(std::move(act)) {}

 protected:
  int_type overflow(int_type c) override {
    Fire();
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    Fire();
    return n;
  }

 private:
  void Fire() {
    if (act_) std::exchange(act_, nullptr)();
  }
  std::function<void()> act_;
};

ReformatFileResult ReformatWithBackup(const std::string& path, std::function<void()> meanwhile = nullptr) {
  ReformatFileOptions options;
  options.skip_unchanged = true;
  options.backup_path = path + ".orig";
  ActOnFirstWrite hook(std::move(meanwhile));
  std::ostream out(&hook);
  std::ostringstream err;
  return ReformatFileWith(path, path, options, out, err);
}

// Two builds over one tree at once, again and again: every original ends in
// its backup, every file formatted, both runs content, nothing left behind.
TEST(RewriteSafety, TwoRunsAtOnceKeepEveryOriginal) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const int kFiles = 40;
  auto original = [](int i) {
    return "int f" + std::to_string(i) + "()\n{\nif (a)\nx = " + std::to_string(i) + ";\n}\n";
  };
  auto formatted = [](int i) {
    return "int f" + std::to_string(i) + "() {\n    if (a)\n        x = " + std::to_string(i) + ";\n}\n";
  };
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    fs::remove_all(dir.File("tree"));
    for (int i = 0; i < kFiles; ++i) {
      test::WriteFile(dir.File("tree/d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".c"), original(i));
    }
    test::RunResult first, second;
    std::thread other([&] { second = test::RunFolios({"reformat", "-j", "2", "tree"}, dir.path()); });
    first = test::RunFolios({"reformat", "-j", "2", "tree"}, dir.path());
    other.join();
    EXPECT_EQ(first.exit_code, 0) << first.err;
    EXPECT_EQ(second.exit_code, 0) << second.err;
    for (int i = 0; i < kFiles; ++i) {
      std::string path = dir.File("tree/d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".c");
      EXPECT_EQ(test::ReadFile(path), formatted(i)) << path;
      EXPECT_EQ(test::ReadFile(path + ".orig"), original(i)) << path;
    }
    EXPECT_EQ(Temporaries(dir.File("tree")), std::vector<std::string>());
    if (HasFailure()) break;
  }
}

// Someone else writes the file while it is formatted: it keeps what they
// wrote, and the backup of an earlier run is not touched.
TEST(RewriteSafety, AFileChangedWhileFormattingIsLeftAsItWas) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const std::string path = dir.File("a.c");
  const std::vector<std::pair<std::string, std::function<void()>>> editors = {
      {"written in place, same size", [&] { test::WriteFile(path, "int g()\n{\ny;\n}\n"); }},
      {"saved under another name and renamed over it",
       [&] {
         test::WriteFile(dir.File("a.c.new"), "int edited;\n");
         ASSERT_EQ(std::rename(dir.File("a.c.new").c_str(), path.c_str()), 0);
       }},
      {"appended to", [&] { test::WriteFile(path, std::string(kSource) + "int more;\n"); }},
  };
  for (const auto& [name, edit] : editors) {
    SCOPED_TRACE(name);
    test::WriteFile(path, kSource);
    test::WriteFile(path + ".orig", "earlier backup\n");
    std::string edited;
    ReformatFileResult r = ReformatWithBackup(path, [&] {
      edit();
      edited = test::ReadFile(path);
    });
    EXPECT_EQ(r.code, kReformatRefused);
    EXPECT_EQ(r.reason, "changed while formatting; left as it was");
    EXPECT_EQ(test::ReadFile(path), edited);
    EXPECT_EQ(test::ReadFile(path + ".orig"), "earlier backup\n");
    EXPECT_EQ(Temporaries(dir.path()), std::vector<std::string>());
  }
  // Left alone, the same file is formatted and its backup is the text read.
  test::WriteFile(path, kSource);
  ReformatFileResult r = ReformatWithBackup(path);
  EXPECT_EQ(r.code, kReformatOk) << r.reason;
  EXPECT_EQ(test::ReadFile(path), kFormatted);
  EXPECT_EQ(test::ReadFile(path + ".orig"), kSource);
}

// The backup holds the text that was read even when the file is large
// enough to be streamed, and a change to such a file is seen too.
TEST(RewriteSafety, AStreamedFileIsCheckedAndBackedUpFromWhatWasRead) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const std::string path = dir.File("big.c");
  std::string big;
  while (big.size() < (size_t{5} << 20)) big += kSource;
  test::WriteFile(path, big);
  ReformatFileResult r = ReformatWithBackup(path);
  ASSERT_EQ(r.code, kReformatOk) << r.reason;
  EXPECT_EQ(test::ReadFile(path + ".orig"), big);
  EXPECT_EQ(test::ReadFile(path).substr(0, sizeof kFormatted - 1), kFormatted);

  test::WriteFile(path, big);
  r = ReformatWithBackup(path, [&] { test::WriteFile(path, big + "int late;\n"); });
  EXPECT_EQ(r.code, kReformatRefused);
  EXPECT_EQ(test::ReadFile(path), big + "int late;\n");
  EXPECT_EQ(Temporaries(dir.path()), std::vector<std::string>());
}

// A file with several names is written in place: every name sees the new
// text; the backup is a file of its own holding the old one.
TEST(RewriteSafety, EveryNameOfALinkedFileSeesTheNewText) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const std::string a = dir.File("a.c"), b = dir.File("b.c");
  test::WriteFile(a, kSource);
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  const ino_t inode = Inode(a);
  test::RunResult run = test::RunFolios({"reformat", "a.c"}, dir.path());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(test::ReadFile(a), kFormatted);
  EXPECT_EQ(test::ReadFile(b), kFormatted);
  EXPECT_EQ(Inode(a), inode);
  EXPECT_EQ(Inode(b), inode);
  EXPECT_EQ(test::ReadFile(a + ".orig"), kSource);
  EXPECT_NE(Inode(a + ".orig"), inode);
}

// A backup that is another name of its source is replaced by a real copy,
// and no temporary file stays behind.
TEST(RewriteSafety, ABackupThatIsTheSourceItselfBecomesACopy) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const std::string a = dir.File("a.c");
  test::WriteFile(a, kSource);
  ASSERT_EQ(::link(a.c_str(), (a + ".orig").c_str()), 0);
  test::RunResult run = test::RunFolios({"reformat", "a.c"}, dir.path());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(test::ReadFile(a), kFormatted);
  EXPECT_EQ(test::ReadFile(a + ".orig"), kSource);
  EXPECT_NE(Inode(a), Inode(a + ".orig"));
  EXPECT_EQ(Temporaries(dir.path()), std::vector<std::string>());
}

// A named pipe given to reformat is refused at once, with what it is; it
// is never opened, so no writer is waited for.
TEST(RewriteSafety, ANamedPipeIsRefusedWithoutWaiting) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("p.c").c_str(), 0600), 0);
  test::WriteFile(dir.File("a.c"), kSource);
  // A run that waits is stopped by the timeout (status 124).
  std::string command = "cd '" + dir.path() + "' && timeout 20 '" + FOLIOS_EXECUTABLE +
                        "' reformat p.c a.c > out.txt 2> err.txt";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(test::ReadFile(dir.File("err.txt"))
                .find("cannot reformat '" + dir.File("p.c") + "': cannot open '" + dir.File("p.c") +
                      "': a named pipe, not a regular file"),
            std::string::npos)
      << test::ReadFile(dir.File("err.txt"));
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), kFormatted);
  EXPECT_FALSE(test::FileExists(dir.File("p.c.orig")));
}

}  // namespace
}  // namespace folios

// Faults injected into the folios command from outside, with no seam in the
// program: writes that fail part way (a file size limit, a full device),
// kill -9 at known points (a build blocked on a named pipe) and at spread
// moments, SIGTERM and SIGINT. After each, every old file is intact or the
// new file complete, nothing is left that the next run trips over, and the
// next run succeeds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "rtf_check.h"
#include "test_support.h"

namespace folios::test {
namespace {

namespace fs = std::filesystem;

// A C source of about `bytes` bytes that the beautifier changes in one pass
// (its indentation and braces are off) and the documentation build documents.
std::string GeneratedSource(size_t bytes) {
  std::string text = "/* @doc GENERATED */\n#include <stdio.h>\n";
  for (int i = 0; text.size() < bytes; ++i) {
    std::string n = std::to_string(i);
    text += "/* @func Adds " + n + ".\n * @parm int | a | the number\n * @rdesc the sum\n */\n";
    text += "int add" + n + "(int a)\n{\nif (a > " + n + ") {\n/* larger */\nreturn a + " + n +
            ";\n}\n  return a;\n}\n";
  }
  return text;
}

struct Outcome {
  bool exited = false;  // false: ended by a signal
  int code = -1;        // exit status, or the signal
  std::string out;
  std::string err;
};

struct SpawnOptions {
  rlim_t file_size_limit = RLIM_INFINITY;  // RLIMIT_FSIZE of the child
  std::string stdin_path = "/dev/null";
  std::string stdout_path;                  // empty: a log file
};

class FaultInjection : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = dir_.File("work");
    logs_ = dir_.File("logs");
    spool_ = dir_.File("spool");
    for (const std::string& d : {work_, logs_, spool_}) fs::create_directories(d);
    // The documentation build's spool file goes to TEMP, the listing's
    // pre-formatted copies to TMPDIR.
    setenv("TEMP", spool_.c_str(), 1);
    const char* tmpdir = getenv("TMPDIR");
    had_tmpdir_ = tmpdir != nullptr;
    if (tmpdir) old_tmpdir_ = tmpdir;
    setenv("TMPDIR", spool_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TEMP");
    if (had_tmpdir_) {
      setenv("TMPDIR", old_tmpdir_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  std::string W(const std::string& name) const { return work_ + "/" + name; }

  // Starts folios in the work directory; stdout and stderr go to log files.
  pid_t Start(const std::vector<std::string>& args, const SpawnOptions& options = SpawnOptions()) {
    std::string out = options.stdout_path.empty() ? logs_ + "/out" : options.stdout_path;
    std::string err = logs_ + "/err";
    pid_t child = fork();
    if (child == 0) {
      if (chdir(work_.c_str()) != 0) _exit(97);
      int in_fd = open(options.stdin_path.c_str(), O_RDONLY);
      int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (in_fd < 0 || out_fd < 0 || err_fd < 0) _exit(96);
      dup2(in_fd, 0);
      dup2(out_fd, 1);
      dup2(err_fd, 2);
      // A write past the limit then fails with EFBIG instead of killing.
      signal(SIGXFSZ, SIG_IGN);
      // As from a terminal, whatever the test runner ignores or blocks.
      for (int s : {SIGINT, SIGTERM, SIGHUP}) signal(s, SIG_DFL);
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      struct rlimit limit = {options.file_size_limit, options.file_size_limit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(95);
      std::vector<char*> argv{const_cast<char*>("folios")};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(FOLIOS_EXECUTABLE, argv.data());
      _exit(98);
    }
    return child;
  }

  Outcome Wait(pid_t child) {
    int status = 0;
    Outcome outcome;
    if (waitpid(child, &status, 0) != child) {
      ADD_FAILURE() << "waitpid failed";
      return outcome;
    }
    outcome.exited = WIFEXITED(status);
    outcome.code = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    outcome.out = ReadIfThere(logs_ + "/out");
    outcome.err = ReadIfThere(logs_ + "/err");
    return outcome;
  }

  Outcome Run(const std::vector<std::string>& args, const SpawnOptions& options = SpawnOptions()) {
    return Wait(Start(args, options));
  }

  static std::string ReadIfThere(const std::string& path) {
    return fs::exists(path) ? ReadFile(path) : std::string();
  }

  // Names in a directory, sorted.
  static std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Hidden temporary files (".NAME.tmp-XXXXXX") in a directory.
  static std::vector<std::string> Temporaries(const std::string& dir) {
    std::vector<std::string> found;
    for (const std::string& name : Names(dir)) {
      if (name.size() > 1 && name[0] == '.' && name.find(".tmp-") != std::string::npos) found.push_back(name);
    }
    return found;
  }

  // Polls until `ready` holds (at most 10 s); false when it never did.
  static bool WaitFor(const std::function<bool()>& ready) {
    for (int i = 0; i < 20000; ++i) {
      if (ready()) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
  }

  ScopedSettings settings_;
  TempDir dir_;
  std::string work_, logs_, spool_;
  std::string old_tmpdir_;
  bool had_tmpdir_ = false;
};

// A whole document (listing or documentation), from "{\rtf1" to its closing brace.
bool IsCompleteDocument(const std::string& rtf) {
  std::string problem;
  bool ok = fuzz::CheckRtfDocument(rtf, &problem);
  EXPECT_TRUE(ok) << problem;
  return ok;
}

// ---------------------------------------------------------------------------
// Writes that fail part way.

TEST_F(FaultInjection, ListingThatCannotBeWrittenWholeKeepsTheOldDocument) {
  WriteFile(W("big.c"), GeneratedSource(200000));
  WriteFile(W("doc.rtf"), "old document");
  SpawnOptions limited;
  limited.file_size_limit = 64 * 1024;
  Outcome r = Run({"listing", "--set", "m_use_advanced_options=0", "-o", "doc.rtf", "big.c"}, limited);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("doc.rtf"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(W("doc.rtf")), "old document");
  EXPECT_EQ(Names(work_), (std::vector<std::string>{"big.c", "doc.rtf"}));

  // With pre-formatting on, the formatted copy is the first write to fail.
  r = Run({"listing", "-o", "doc.rtf", "big.c"}, limited);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(ReadFile(W("doc.rtf")), "old document");
  EXPECT_EQ(Names(work_), (std::vector<std::string>{"big.c", "doc.rtf"}));
  EXPECT_TRUE(Names(spool_).empty());

  // Without the limit the same build succeeds.
  r = Run({"listing", "-o", "doc.rtf", "big.c"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(IsCompleteDocument(ReadFile(W("doc.rtf"))));
}

TEST_F(FaultInjection, ReformatThatCannotWriteLeavesTheSourceAsItWas) {
  const std::string small = "int f(int a)\n{\nreturn a;\n}\n";
  const std::string big = GeneratedSource(200000);
  WriteFile(W("a.c"), small);
  WriteFile(W("big.c"), big);
  WriteFile(W("old.c"), big);
  WriteFile(W("old.c.orig"), "an older backup");
  SpawnOptions limited;
  limited.file_size_limit = 100 * 1024;  // above a.c, below the formatted big.c
  Outcome r = Run({"reformat", "a.c", "big.c", "old.c"}, limited);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("big.c"), std::string::npos) << r.err;
  // a.c was formatted completely and backed up; the others are untouched.
  EXPECT_NE(ReadFile(W("a.c")), small);
  EXPECT_EQ(ReadFile(W("a.c.orig")), small);
  EXPECT_EQ(ReadFile(W("big.c")), big);
  EXPECT_EQ(ReadFile(W("old.c")), big);
  EXPECT_EQ(ReadFile(W("old.c.orig")), "an older backup");
  EXPECT_FALSE(FileExists(W("big.c.orig")) && ReadFile(W("big.c.orig")) != big);
  EXPECT_TRUE(Temporaries(work_).empty());

  // The next run without the limit formats what is left.
  std::string formatted_small = ReadFile(W("a.c"));
  r = Run({"reformat", "a.c", "big.c"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadFile(W("a.c")), formatted_small);
  EXPECT_EQ(ReadFile(W("a.c.orig")), small);
  EXPECT_NE(ReadFile(W("big.c")), big);
  EXPECT_EQ(ReadFile(W("big.c.orig")), big);
}

TEST_F(FaultInjection, DocumentationThatCannotBeWrittenKeepsDocumentLogAndProject) {
  WriteFile(W("api.c"), GeneratedSource(150000));
  WriteFile(W("api.rtf"), "old document");
  WriteFile(W("Topics.rtf"), "old log\r\n");
  SpawnOptions limited;
  limited.file_size_limit = 32 * 1024;
  for (const char* type : {"-rd", "-rh"}) {
    Outcome r = Run({"doc", type, "-o", "api.rtf", "-l", "Topics.rtf", "api.c"}, limited);
    EXPECT_TRUE(r.exited) << type;
    EXPECT_EQ(r.code, 1) << type;
    EXPECT_NE(r.err.find("api.rtf"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(W("api.rtf")), "old document") << type;
    EXPECT_EQ(ReadFile(W("Topics.rtf")), "old log\r\n") << type;
    EXPECT_TRUE(Temporaries(work_).empty()) << type;
    EXPECT_TRUE(Names(spool_).empty()) << type;
  }
  // Appending to a document keeps it whole when the append cannot finish.
  Outcome r = Run({"doc", "-o", "api.rtf", "api.c"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string complete = ReadFile(W("api.rtf"));
  r = Run({"doc", "-a", "-o", "api.rtf", "api.c"}, limited);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(ReadFile(W("api.rtf")), complete);
  EXPECT_TRUE(Temporaries(work_).empty());
}

TEST_F(FaultInjection, SettingsStoreThatCannotBeRewrittenIsKept) {
  std::string store = settings_.config_dir() + "/settings.ini";
  std::string content = "; kept by hand\n[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\nm_colnumber=1\n";
  for (int i = 0; i < 2000; ++i) content += "; note " + std::to_string(i) + "\n";
  WriteFile(store, content);
  SpawnOptions limited;
  limited.file_size_limit = 4096;
  Outcome r = Run({"settings", "set", "m_colnumber", "2"}, limited);
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.err.empty());
  EXPECT_EQ(ReadFile(store), content);
  EXPECT_TRUE(Temporaries(settings_.config_dir()).empty());
  r = Run({"settings", "get", "m_colnumber"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "1\n");
}

TEST_F(FaultInjection, WritesIntoAFullDeviceFailWithTheReason) {
  WriteFile(W("a.c"), "int f(int a)\n{\nreturn a;\n}\n");
  ASSERT_EQ(symlink("/dev/full", W("full.rtf").c_str()), 0);
  Outcome r = Run({"listing", "-o", "full.rtf", "a.c"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
  r = Run({"doc", "-o", "full.rtf", "a.c"});
  EXPECT_EQ(r.code, 1);
  struct stat st;
  ASSERT_EQ(lstat(W("full.rtf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  SpawnOptions to_full;
  to_full.stdin_path = W("a.c");
  to_full.stdout_path = "/dev/full";
  EXPECT_EQ(Run({"reformat", "-"}, to_full).code, 1);
  EXPECT_EQ(Run({"listing", "-o", "-", "a.c"}, to_full).code, 1);
  EXPECT_EQ(Names(work_), (std::vector<std::string>{"a.c", "full.rtf"}));
}

// ---------------------------------------------------------------------------
// kill -9 at known points: sources that take seconds to list stand first,
// between the files and last, and the kill comes once the temporary
// document exists.

TEST_F(FaultInjection, KilledListingLeavesTheOldDocumentAndTheNextRunSucceeds) {
  WriteFile(W("a.c"), GeneratedSource(3000));
  WriteFile(W("b.c"), GeneratedSource(2000));
  const std::vector<std::string> slow = SlowListingSources(W("slow.c"), "slow.c");
  const std::vector<std::vector<std::string>> orders = {
      {"slow", "a.c", "b.c"}, {"a.c", "slow", "b.c"}, {"a.c", "b.c", "slow"}};
  for (size_t point = 0; point < orders.size(); ++point) {
    SCOPED_TRACE("kill point " + std::to_string(point));
    WriteFile(W("doc.rtf"), "old document");
    std::vector<std::string> args{"listing", "--set", "m_use_advanced_options=0", "-o", "doc.rtf"};
    std::vector<std::string> next_args = args;
    for (const std::string& name : orders[point]) {
      if (name == "slow") {
        args.insert(args.end(), slow.begin(), slow.end());
        next_args.push_back("small.c");
      } else {
        args.push_back(name);
        next_args.push_back(name);
      }
    }
    pid_t child = Start(args);
    EXPECT_TRUE(WaitFor([&] { return !Temporaries(work_).empty(); }));
    kill(child, SIGKILL);
    Outcome killed = Wait(child);
    EXPECT_FALSE(killed.exited);
    EXPECT_EQ(ReadFile(W("doc.rtf")), "old document");

    // The next run, with a small file in place of the slow ones, succeeds
    // and is not confused by what the killed one left.
    WriteFile(W("small.c"), "int from_the_small_file;\n");
    std::vector<std::string> stale = Temporaries(work_);
    Outcome next = Run(next_args);
    EXPECT_EQ(next.code, 0) << next.err;
    std::string rtf = ReadFile(W("doc.rtf"));
    EXPECT_TRUE(IsCompleteDocument(rtf));
    EXPECT_NE(rtf.find("from_the_small_file"), std::string::npos);
    EXPECT_EQ(Temporaries(work_), stale);  // its own temporary file is gone
    for (const std::string& name : stale) fs::remove(W(name));
  }
}

// The documentation build of a large source: a kill arrives while it
// extracts (its spool file exists) or while it writes (the temporary
// document beside the old one exists).
class DocumentationKill : public FaultInjection {
 protected:
  void SetUp() override {
    FaultInjection::SetUp();
    WriteFile(W("big.c"), GeneratedSource(6000000));
  }
  void WriteOldFiles() {
    WriteFile(W("api.rtf"), "old document");
    WriteFile(W("Topics.rtf"), "old log\r\n");
  }
  void ExpectOldFiles() {
    EXPECT_EQ(ReadFile(W("api.rtf")), "old document");
    EXPECT_EQ(ReadFile(W("Topics.rtf")), "old log\r\n");
    EXPECT_FALSE(FileExists(W("api.HPJ")));
  }
  bool Extracting() const { return !Names(spool_).empty(); }
  bool Writing() const {
    for (const std::string& name : Temporaries(work_)) {
      if (name.rfind(".api.rtf.tmp-", 0) == 0) return true;
    }
    return false;
  }
  const std::vector<std::string> args_{"doc", "-rh", "-o", "api.rtf", "-l", "Topics.rtf", "big.c"};
};

TEST_F(DocumentationKill, KilledBuildKeepsItsOldFilesAndTheNextRunSucceeds) {
  for (bool writing : {false, true}) {
    SCOPED_TRACE(writing ? "killed while writing" : "killed while extracting");
    WriteOldFiles();
    pid_t child = Start(args_);
    EXPECT_TRUE(WaitFor([&] { return writing ? Writing() : Extracting(); }));
    kill(child, SIGKILL);
    Wait(child);
    ExpectOldFiles();

    std::vector<std::string> stale = Temporaries(work_);
    Outcome next = Run(args_);
    EXPECT_EQ(next.code, 0) << next.err;
    EXPECT_TRUE(IsCompleteDocument(ReadFile(W("api.rtf"))));
    EXPECT_NE(ReadFile(W("Topics.rtf")).find("add1\r\n"), std::string::npos);
    EXPECT_TRUE(FileExists(W("api.HPJ")));
    EXPECT_EQ(Temporaries(work_), stale);
    for (const std::string& name : stale) fs::remove(W(name));
    fs::remove(W("api.HPJ"));
  }
}

TEST_F(DocumentationKill, TerminatedBuildLeavesNoSpoolOrTemporaryFile) {
  for (int signal_number : {SIGTERM, SIGINT}) {
    for (bool writing : {false, true}) {
      SCOPED_TRACE(std::string(signal_number == SIGTERM ? "SIGTERM" : "SIGINT") +
                   (writing ? " while writing" : " while extracting"));
      WriteOldFiles();
      pid_t child = Start(args_);
      EXPECT_TRUE(WaitFor([&] { return writing ? Writing() : Extracting(); }));
      kill(child, signal_number);
      Outcome r = Wait(child);
      EXPECT_FALSE(r.exited && r.code == 0);
      ExpectOldFiles();
      EXPECT_TRUE(Names(spool_).empty());
      EXPECT_EQ(Names(work_), (std::vector<std::string>{"Topics.rtf", "api.rtf", "big.c"}));
    }
  }
}

TEST_F(FaultInjection, ReformatKilledWhileWritingLeavesTheFileAsItWasAndTheNextRunFinishes) {
  // The known point: the formatted text of a large file is half written.
  const std::string a = GeneratedSource(2000), big = GeneratedSource(4000000), c = GeneratedSource(3000);
  WriteFile(W("a.c"), a);
  WriteFile(W("big.c"), big);
  WriteFile(W("c.c"), c);
  pid_t child = Start({"reformat", "a.c", "big.c", "c.c"});
  auto writing_big = [&] {
    for (const std::string& name : Temporaries(work_)) {
      if (name.rfind(".big.c.tmp-", 0) == 0) return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitFor(writing_big));
  kill(child, SIGKILL);
  Wait(child);
  EXPECT_EQ(ReadFile(W("big.c")), big);
  EXPECT_FALSE(FileExists(W("big.c.orig")));
  // The small files, before or after big.c in the build's order, are each
  // as they were or formatted with their backup. One formatted beside big.c
  // may have been killed between its backup and its replacement: the
  // backup then holds the same text as the file.
  std::map<std::string, std::string> formatted_before;
  for (auto [name, text] : {std::pair{"a.c", a}, std::pair{"c.c", c}}) {
    std::string now = ReadFile(W(name));
    if (now == text) {
      if (FileExists(W(std::string(name) + ".orig"))) {
        EXPECT_EQ(ReadFile(W(std::string(name) + ".orig")), text) << name;
      }
    } else {
      EXPECT_EQ(ReadFile(W(std::string(name) + ".orig")), text) << name;
      formatted_before[name] = now;
    }
  }

  std::vector<std::string> stale = Temporaries(work_);
  Outcome next = Run({"reformat", "a.c", "big.c", "c.c"});
  EXPECT_EQ(next.code, 0) << next.err;
  for (auto [name, text] : {std::pair{"a.c", a}, std::pair{"big.c", big}, std::pair{"c.c", c}}) {
    EXPECT_NE(ReadFile(W(name)), text) << name;
    EXPECT_EQ(ReadFile(W(std::string(name) + ".orig")), text) << name;
    if (formatted_before.count(name)) {
      EXPECT_EQ(ReadFile(W(name)), formatted_before[name]) << name;
    }
  }
  EXPECT_EQ(Temporaries(work_), stale);
}

TEST_F(FaultInjection, ReformatKilledAtSpreadMomentsLeavesEachFileOldOrComplete) {
  // What each file becomes, from a run on copies elsewhere.
  const int kFiles = 40;
  std::map<std::string, std::string> original, formatted;
  std::string reference = dir_.File("reference");
  fs::create_directories(reference);
  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "f" + std::to_string(i) + ".c";
    names.push_back(name);
    original[name] = GeneratedSource(4000 + 977 * static_cast<size_t>(i));
    WriteFile(reference + "/" + name, original[name]);
  }
  std::vector<std::string> args{"reformat"};
  for (const std::string& name : names) args.push_back(reference + "/" + name);
  ASSERT_EQ(Run(args).code, 0);
  for (const std::string& name : names) formatted[name] = ReadFile(reference + "/" + name);

  args = {"reformat"};
  args.insert(args.end(), names.begin(), names.end());
  int stopped = 0;
  for (int delay_ms : {0, 3, 10, 25, 60, 150}) {
    SCOPED_TRACE("killed after " + std::to_string(delay_ms) + " ms");
    for (const std::string& name : Names(work_)) fs::remove(W(name));
    for (const std::string& name : names) WriteFile(W(name), original[name]);
    pid_t child = Start(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    kill(child, SIGKILL);
    if (!Wait(child).exited) ++stopped;
    for (const std::string& name : names) {
      std::string now = ReadFile(W(name));
      EXPECT_TRUE(now == original[name] || now == formatted[name]) << name << " is cut";
      if (now == formatted[name]) {
        EXPECT_EQ(ReadFile(W(name + ".orig")), original[name]) << name;
      }
      if (FileExists(W(name + ".orig"))) {
        EXPECT_EQ(ReadFile(W(name + ".orig")), original[name]) << name;
      }
    }
    // Nothing but the files, their backups and hidden temporary files.
    for (const std::string& name : Names(work_)) {
      bool known = original.count(name) || (name.size() > 5 && original.count(name.substr(0, name.size() - 5)));
      EXPECT_TRUE(known || name[0] == '.') << name;
    }
    Outcome next = Run(args);
    EXPECT_EQ(next.code, 0) << next.err;
    for (const std::string& name : names) {
      EXPECT_EQ(ReadFile(W(name)), formatted[name]) << name;
      EXPECT_EQ(ReadFile(W(name + ".orig")), original[name]) << name;
    }
  }
  EXPECT_GT(stopped, 2) << "the kills came too late to test anything";
}

// ---------------------------------------------------------------------------
// SIGTERM and SIGINT: nothing left behind.

TEST_F(FaultInjection, TerminatedReformatLeavesNoTemporaryFile) {
  const int kFiles = 30;
  std::vector<std::string> args{"reformat"};
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "f" + std::to_string(i) + ".c";
    args.push_back(name);
  }
  int stopped = 0;
  for (int delay_ms : {1, 3, 6, 10, 15, 22, 30, 45, 60, 80}) {
    for (const std::string& name : Names(work_)) fs::remove(W(name));
    for (size_t i = 1; i < args.size(); ++i) WriteFile(W(args[i]), GeneratedSource(20000 + 5000 * i));
    pid_t child = Start(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    kill(child, SIGTERM);
    if (!Wait(child).exited) ++stopped;
    EXPECT_EQ(Temporaries(work_), std::vector<std::string>{}) << "after " << delay_ms << " ms";
  }
  EXPECT_GT(stopped, 5) << "the signals came too late to test anything";
}

TEST_F(FaultInjection, TerminatedListingLeavesNoDocumentOrFormattedCopyBehind) {
  // Pre-formatting on (the default): each file is formatted into a copy in
  // TMPDIR before it is listed.
  std::vector<std::string> args{"listing", "-o", "doc.rtf"};
  for (int i = 0; i < 30; ++i) {
    std::string name = "f" + std::to_string(i) + ".c";
    WriteFile(W(name), GeneratedSource(6000 + 1500 * static_cast<size_t>(i)));
    args.push_back(name);
  }
  int stopped = 0;
  for (int signal_number : {SIGTERM, SIGHUP}) {
    for (int delay_ms : {1, 3, 6, 10, 15, 22, 30, 45, 60, 80}) {
      WriteFile(W("doc.rtf"), "old document");
      pid_t child = Start(args);
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      kill(child, signal_number);
      Outcome r = Wait(child);
      std::string when = std::to_string(delay_ms) + " ms after the start";
      if (r.exited) continue;  // finished before the signal
      ++stopped;
      // A signal after the new document took the old one's place (and
      // before the program ended) finds it complete.
      std::string doc = ReadFile(W("doc.rtf"));
      if (doc != "old document") {
        EXPECT_TRUE(IsCompleteDocument(doc)) << when;
      }
      EXPECT_EQ(Temporaries(work_), std::vector<std::string>{}) << when;
      EXPECT_EQ(Names(spool_), std::vector<std::string>{}) << when;
    }
  }
  EXPECT_GT(stopped, 10) << "the signals came too late to test anything";
}

// On the command line Ctrl-C stops the build as SIGTERM does: the old
// document stays, no temporary file is left, and the process ends by the
// signal (exit status 130 in a shell).
TEST_F(FaultInjection, InterruptedListingKeepsTheOldDocument) {
  WriteFile(W("a.c"), "int first_file;\n");
  WriteFile(W("b.c"), "int third_file;\n");
  WriteFile(W("doc.rtf"), "old document");
  std::vector<std::string> args{"listing", "--set", "m_use_advanced_options=0", "-o", "doc.rtf", "a.c"};
  for (const std::string& name : SlowListingSources(W("slow.c"), "slow.c")) args.push_back(name);
  args.push_back("b.c");
  pid_t child = Start(args);
  EXPECT_TRUE(WaitFor([&] { return !Temporaries(work_).empty(); }));
  kill(child, SIGINT);
  Outcome r = Wait(child);
  EXPECT_FALSE(r.exited);
  EXPECT_EQ(r.code, SIGINT);
  EXPECT_EQ(r.err, "folios: interrupted; the document was not written\n");
  EXPECT_EQ(ReadFile(W("doc.rtf")), "old document");
  EXPECT_TRUE(Temporaries(work_).empty());
}

}  // namespace
}  // namespace folios::test

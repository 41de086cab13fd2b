// folios doc: exit statuses, the default format file, hostile input.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "cli_support.h"
#include "commands.h"
#include "doc_driver.h"
#include "extraction.h"
#include "format_model.h"
#include "test_support.h"

namespace folios {
namespace {

TEST(DocCommand, ExitStatusFollowsTheDriver) {
  test::ScopedSettings settings;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), "/* @doc */\n/* @func Adds.\n * @parm Left.\n */\nint add(int a);\n");
  EXPECT_EQ(cli::RunDocCommand({dir.File("a.c"), "-o", dir.File("a.rtf")}), cli::kExitOk);
  std::string rtf = test::ReadFile(dir.File("a.rtf"));
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);  // the shipped LFX.fmt was used
  EXPECT_NE(rtf.find("add"), std::string::npos);
  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{}, cli::kExitUsage},
      {{"--help"}, cli::kExitOk},
      {{"-h"}, cli::kExitOk},
      {{dir.File("a.c"), "-k"}, cli::kExitUsage},
      {{dir.File("a.c"), "-t", "x"}, cli::kExitUsage},
      {{dir.File("a.c"), "-x", "a &"}, cli::kExitUsage},
      {{dir.File("a.c"), "-o"}, cli::kExitUsage},
      {{dir.File("none*.c")}, cli::kExitFailure},                          // no output name
      {{dir.File("a.c"), "-f", dir.File("missing.fmt"), "-o", dir.File("b.rtf")}, cli::kExitFailure},
      {{dir.File("a.c"), "-o", dir.File("no/dir/c.rtf")}, cli::kExitFailure},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cli::RunDocCommand(c.args), c.status) << (c.args.empty() ? "(none)" : c.args.back());
  }
}

// Standard error of one command run, and its exit status.
int RunCapturingErrors(const std::vector<std::string>& args, std::string* errors) {
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  int status = cli::RunDocCommand(args);
  std::cerr.rdbuf(old);
  *errors = captured.str();
  return status;
}

// A source that cannot be read, or a document that may not be written,
// fails the command (the run goes on for the other sources).
TEST(DocCommand, LostSourcesAndRefusedDocumentsExitWithFailure) {
  test::ScopedSettings settings;
  test::TempDir dir;
  std::string g = dir.File("g.c");
  test::WriteFile(g, "/* @doc */\n/* @func Adds.\n */\nint add(int a);\n");
  std::string errors;
  EXPECT_EQ(RunCapturingErrors({"-o", g, g}, &errors), cli::kExitFailure);
  EXPECT_EQ(errors, g + ": Error 105: it is also one of the input files\n");
  EXPECT_EQ(test::ReadFile(g), "/* @doc */\n/* @func Adds.\n */\nint add(int a);\n");

  EXPECT_EQ(RunCapturingErrors({dir.File("missing.c"), g, "-o", dir.File("a.rtf")}, &errors), cli::kExitFailure);
  EXPECT_EQ(errors, dir.File("missing.c") + ": Error 102: file not found\n");
  EXPECT_NE(test::ReadFile(dir.File("a.rtf")).find("add"), std::string::npos);  // the others are documented

  EXPECT_EQ(RunCapturingErrors({g, "-t", "4294967300", "-o", dir.File("b.rtf")}, &errors), cli::kExitUsage);
  EXPECT_FALSE(test::FileExists(dir.File("b.rtf")));
}

// A pipe or device named as a source is refused before it is opened, with
// its reason, and the other sources are documented. Should the run wait on
// the pipe after all, a watchdog opens its other end after a while, so the
// test fails instead of hanging.
TEST(DocCommand, APipeOrDeviceIsRefusedAtOnce) {
  test::ScopedSettings settings;
  test::TempDir dir;
  std::string g = dir.File("g.c");
  test::WriteFile(g, "/* @doc */\n/* @func Adds.\n */\nint add(int a);\n");
  std::string pipe = dir.File("p.c");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string device = dir.File("null.c");
  ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool waited = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (done.wait_for(lock, std::chrono::seconds(20), [&] { return finished; })) return;
    waited = true;
    int fd = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  std::string errors;
  int status = RunCapturingErrors({pipe, g, device, "-o", dir.File("a.rtf")}, &errors);
  {
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
  }
  done.notify_one();
  watchdog.join();
  EXPECT_FALSE(waited);
  EXPECT_EQ(status, cli::kExitFailure);
  EXPECT_EQ(errors, pipe + ": Error 106: a named pipe, not a regular file\n" + device +
                        ": Error 106: a device, not a regular file\n");
  EXPECT_NE(test::ReadFile(dir.File("a.rtf")).find("add"), std::string::npos);

  // Alone, nothing is read and the old document stays.
  test::WriteFile(dir.File("b.rtf"), "old");
  EXPECT_EQ(RunCapturingErrors({pipe, "-o", dir.File("b.rtf")}, &errors), cli::kExitFailure);
  EXPECT_EQ(test::ReadFile(dir.File("b.rtf")), "old");
}

// Random bytes and shuffled fragments must never crash the reader, the
// extraction or the writer (the sanitizer build checks memory use).
TEST(DocHostileInput, NoCrashOnGarbage) {
  const char* fragments[] = {
      "[file]\n", "[topic]\n", "[paragraph]\n", "[text]\n", "[diagram]\n", "[token]\n", "[index]\n",
      ".output=doc\n", ".pre=$1$!n$[index:a,b]^n\n", ".tag=t, doc, 2, 1, $1\n", ".tag=p, doc, 6, 0, 1\n",
      ".format=<$6>#1$t.1$(x)$[d]\n", ".if=exists($1),tagexists(p)\n", ".order=p t\n", ".parse=function\n",
      ".parse=bparameter\n", ".token=^p,\\par\n", ".output=doc, rtf\n", ".map=t, $1, $t.2\n",
      ".tag=d, doc, p\n", ".define=x, y\n", "[extension]\n.ext=c, c\n", "; c\n", "\n"};
  const char* source_fragments[] = {"// @doc\n", "/* @t a | b\n", " * @p x|y|z\n", "*/\n", "int f(int a,\n",
                                    "// @@t c\n", "// @p,t q\n", "\"'\\\"/*\"\n", "<e x.y>\n", "@\n",
                                    "template <class T>\n", "Public Sub S(ByVal x As Long)\n", "' @p\n"};
  std::mt19937 random(12345);
  test::TempDir dir;
  for (int round = 0; round < 150; ++round) {
    std::string format, source;
    for (int k = 0; k < 20; ++k) format += fragments[random() % std::size(fragments)];
    for (int k = 0; k < 30; ++k) source += source_fragments[random() % std::size(source_fragments)];
    for (int k = 0; k < 5; ++k) source[random() % source.size()] = static_cast<char>(random() % 256);
    format += "[token]\n.output=doc, rtf\n";
    test::WriteFile(dir.File("f.fmt"), format);
    test::WriteFile(dir.File("s.c"), source);
    std::ostringstream out, err;
    int rc = docgen::RunDocDriver({dir.File("s.c"), "-f", dir.File("f.fmt"), "-o", dir.File("o.rtf")}, nullptr,
                                  out, err);
    // Either success or one of the engine's numbered errors, and every
    // message line names its error.
    EXPECT_TRUE(rc == 0 || (rc >= 100 && rc <= 215)) << rc;
    std::istringstream lines(err.str());
    for (std::string line; std::getline(lines, line);) {
      EXPECT_NE(line.find("Error "), std::string::npos) << line;
    }
    if (rc == 0) {
      EXPECT_TRUE(test::FileExists(dir.File("o.rtf")));
    }
  }
}

}  // namespace
}  // namespace folios

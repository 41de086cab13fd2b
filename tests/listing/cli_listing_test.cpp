// folios listing: the command's wiring, run as a user runs it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class CliListing : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(settings_.data_dir() + "/noise-chars.lfx", "");
    golden_ = test::TestSourceDir() + "/listing/golden";
  }
  // Runs folios in the work directory; the exit status.
  int Folios(const std::string& args, std::string* out = nullptr) {
    std::string command = "cd '" + dir_.path() + "' && '" FOLIOS_BIN_DIR "/folios' listing " +
                          "--set m_use_advanced_options=0 --set m_cfiles='" + golden_ +
                          "/keywords.lfx' " + args + " > stdout.txt 2> stderr.txt";
    int status = system(command.c_str());
    if (out) *out = ReadFile(dir_.File("stdout.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs a shell script in the work directory; the exit status.
  int Script(const std::string& text) {
    WriteFile(dir_.File("run.sh"), "cd '" + dir_.path() + "'\nfolios='" FOLIOS_BIN_DIR
                                   "/folios'\n" + text);
    int status = system(("bash '" + dir_.File("run.sh") + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  test::ScopedSettings settings_;
  TempDir dir_;
  std::string golden_;
};

TEST_F(CliListing, WritesTheGoldenDocument) {
  fs::copy_file(golden_ + "/c-defaults/main.c", dir_.File("main.c"));
  ASSERT_EQ(Folios("-o out.rtf main.c"), 0) << ReadFile(dir_.File("stderr.txt"));
  // The command names files by their full paths, as the file list does.
  std::string expected = ReadFile(golden_ + "/c-defaults/expected.rtf");
  size_t header = expected.find("\\lang1033 main.c{");
  ASSERT_NE(header, std::string::npos);
  expected.replace(header + 10, 6, dir_.File("main.c"));
  EXPECT_EQ(test::FirstDifference(expected, ReadFile(dir_.File("out.rtf"))), "");
  std::string stdout_text;
  ASSERT_EQ(Folios("-o - main.c", &stdout_text), 0);
  EXPECT_EQ(test::FirstDifference(expected, stdout_text), "");
}

TEST_F(CliListing, SetOverridesWithoutStoring) {
  WriteFile(dir_.File("a.c"), "x\n");
  ASSERT_EQ(Folios("--set m_uselinenumbers=0 --set m_startat=41 -o out.rtf a.c"), 0);
  EXPECT_NE(ReadFile(dir_.File("out.rtf")).find("\\par }{41 x\n"), std::string::npos);
  EXPECT_FALSE(test::FileExists(settings_.config_dir() + "/settings.ini") &&
               ReadFile(settings_.config_dir() + "/settings.ini").find("m_startat") !=
                   std::string::npos);
}

TEST_F(CliListing, DefaultNameIsTheLastInputsName) {
  WriteFile(dir_.File("proj/src/a.c"), "x\n");
  ASSERT_EQ(Folios("--types cpp proj"), 0) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_TRUE(test::FileExists(dir_.File("proj.rtf")));
  WriteFile(dir_.File("ring.c"), "y\n");
  ASSERT_EQ(Folios("ring.c"), 0);
  EXPECT_TRUE(test::FileExists(dir_.File("ring.rtf")));
}

TEST_F(CliListing, TheFormatComesFromTheOptionTheNameOrTheSetting) {
  WriteFile(dir_.File("a.c"), "x\n");
  auto is_page = [&](const std::string& name) {
    return ReadFile(dir_.File(name)).rfind("<!DOCTYPE html>\n", 0) == 0;
  };
  auto is_rtf = [&](const std::string& name) { return ReadFile(dir_.File(name)).rfind("{\\rtf1", 0) == 0; };
  ASSERT_EQ(Folios("--format=html -o page a.c"), 0) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_TRUE(is_page("page"));
  ASSERT_EQ(Folios("-o out.HTM a.c"), 0);
  EXPECT_TRUE(is_page("out.HTM"));
  ASSERT_EQ(Folios("--format rtf -o out.html a.c"), 0);
  EXPECT_TRUE(is_rtf("out.html"));
  // The stored choice decides for other names, and names the default output.
  ASSERT_EQ(Folios("--set m_output_type=1 -o out.txt a.c"), 0);
  EXPECT_TRUE(is_page("out.txt"));
  ASSERT_EQ(Folios("--set m_output_type=1 a.c"), 0);
  EXPECT_TRUE(is_page("a.html"));
  ASSERT_EQ(Folios("--set m_output_type=1 -o out.rtf a.c"), 0);
  EXPECT_TRUE(is_rtf("out.rtf"));
  std::string stdout_text;
  ASSERT_EQ(Folios("--format=html -o - a.c", &stdout_text), 0);
  EXPECT_NE(stdout_text.find("<div class=\"l\">x</div>\n"), std::string::npos);
  EXPECT_TRUE(stdout_text.ends_with("</html>\n"));
  EXPECT_EQ(Folios("--format=pdf a.c"), 2);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt")).find("--format must be rtf or html, not 'pdf'"),
            std::string::npos);
  EXPECT_EQ(Folios("a.c --format"), 2);
}

TEST_F(CliListing, ExitStatus) {
  WriteFile(dir_.File("a.c"), "x\n");
  EXPECT_EQ(Folios(""), 2);
  EXPECT_EQ(Folios("--bogus a.c"), 2);
  EXPECT_EQ(Folios("--set no_such_setting=1 a.c"), 2);
  EXPECT_EQ(Folios("-o"), 2);
  // A missing file is listed with a note, the others are listed, status 1.
  EXPECT_EQ(Folios("-o out.rtf a.c gone.c"), 1);
  std::string doc = ReadFile(dir_.File("out.rtf"));
  EXPECT_NE(doc.find("This file could not be read"), std::string::npos);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt")).find("gone.c"), std::string::npos);
  EXPECT_EQ(Folios("--help"), 0);
}

TEST_F(CliListing, UnwritableOutputKeepsNothingAndFails) {
  WriteFile(dir_.File("a.c"), "x\n");
  EXPECT_EQ(Folios("-o missing-dir/out.rtf a.c"), 1);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt")).find("cannot write"), std::string::npos);
}


// The headers of a document, in order.
std::vector<std::string> Headers(const std::string& doc) {
  std::vector<std::string> headers;
  const std::string before = "\\lang1033 ";
  for (size_t p = doc.find("{\\par } "); p != std::string::npos; p = doc.find("{\\par } ", p + 1)) {
    size_t start = doc.rfind(before, p) + before.size();
    headers.push_back(doc.substr(start, p - start));
  }
  return headers;
}

TEST_F(CliListing, FilesComeInTheOrderOfTheCommandLine) {
  for (const char* name : {"a.c", "b.c", "d/z.h", "d/a.c", "d/m.hpp", "d/sub/b.c", "d/Q.java"}) {
    WriteFile(dir_.File(name), "x\n");
  }
  WriteFile(dir_.File("p.vbp"), "Module=M; m.bas\r\nForm=f.frm\r\nClass=C; c.cls\r\n");
  for (const char* name : {"m.bas", "f.frm", "c.cls"}) WriteFile(dir_.File(name), "x\n");
  ASSERT_EQ(Folios("-o out.rtf b.c a.c"), 0) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(Headers(ReadFile(dir_.File("out.rtf"))),
            (std::vector<std::string>{dir_.File("b.c"), dir_.File("a.c")}));
  // A project's files in its order; a directory's by type as the file list
  // groups them, by name within a type.
  ASSERT_EQ(Folios("-o out.rtf --types cpp,h,java p.vbp d a.c"), 0)
      << ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(Headers(ReadFile(dir_.File("out.rtf"))),
            (std::vector<std::string>{dir_.File("m.bas"), dir_.File("f.frm"), dir_.File("c.cls"),
                                      dir_.File("d/Q.java"), dir_.File("d/m.hpp"),
                                      dir_.File("d/z.h"), dir_.File("d/a.c"),
                                      dir_.File("d/sub/b.c"), dir_.File("a.c")}));
}

TEST_F(CliListing, SetRefusesWhatTheOptionPagesRefuse) {
  WriteFile(dir_.File("a.c"), "x\n");
  struct Case {
    const char* set;
    const char* message;
  };
  const Case refused[] = {
      {"m_incrementby=0", "m_incrementby must be a whole number from 1 to 99999, not 0"},
      {"m_startat=abc", "m_startat must be a whole number from 1 to 99999, not 'abc'"},
      {"m_startat=100000", "m_startat must be a whole number from 1 to 99999, not 100000"},
      {"m_colnumber=3", "m_colnumber must be 1 or 2, not 3"},
      {"m_pagebreak=yes", "m_pagebreak must be 0 or 1, not 'yes'"},
      {"m_format=3", "m_format must be a whole number from 0 to 2, not 3"},
      {"doc/m_code_fontsize=17", "m_code_fontsize must be a whole number from 8 to 16, not 17"},
      {"m_comment_forecolor=0", "m_comment_forecolor must be a whole number from 1 to 14, not 0"},
      {"m_empty_lines=two", "m_empty_lines must be a whole number from 0 to 10, not 'two'"},
  };
  for (const Case& c : refused) {
    EXPECT_EQ(Folios(std::string("--set ") + c.set + " -o out.rtf a.c"), 2) << c.set;
    EXPECT_NE(ReadFile(dir_.File("stderr.txt")).find(c.message), std::string::npos)
        << c.set << ": " << ReadFile(dir_.File("stderr.txt"));
    EXPECT_FALSE(test::FileExists(dir_.File("out.rtf"))) << c.set;
  }
  // The ends of a range are allowed.
  ASSERT_EQ(Folios("--set m_uselinenumbers=0 --set m_startat=99999 --set m_incrementby=99999 "
                   "-o out.rtf a.c"),
            0);
  EXPECT_NE(ReadFile(dir_.File("out.rtf")).find("\\par }{99999 x\n"), std::string::npos);
  // The beautifier's numbers are brought into range with a warning.
  ASSERT_EQ(Folios("--set m_empty_lines=50 -o out.rtf a.c"), 0);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt"))
                .find("warning: m_empty_lines must be a whole number from 0 to 10; 50 is taken as 10"),
            std::string::npos);
}

TEST_F(CliListing, BinaryInputIsNamedAndFailsTheBuild) {
  WriteFile(dir_.File("a.c"), "int a;\n");
  WriteFile(dir_.File("x.c"), std::string("\x7f" "ELF\0\0\0\x01\x02", 9));
  EXPECT_EQ(Folios("-o out.rtf a.c x.c"), 1);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt"))
                .find("folios: cannot list '" + dir_.File("x.c") +
                      "': binary file (it holds NUL bytes): not listed"),
            std::string::npos)
      << ReadFile(dir_.File("stderr.txt"));
  std::string doc = ReadFile(dir_.File("out.rtf"));
  EXPECT_NE(doc.find("(binary file: not listed)"), std::string::npos);
  EXPECT_EQ(doc.find('\0'), std::string::npos);
  EXPECT_EQ(doc.find("ELF"), std::string::npos);
}

TEST_F(CliListing, ProjectNamesInAnyCaseFindTheirFiles) {
  WriteFile(dir_.File("vb/AIP.BAS"), "Attribute VB_Name = \"AIP\"\nSub Main()\n");
  WriteFile(dir_.File("vb/Forms/Main.FRM"), "VERSION 5.00\n");
  WriteFile(dir_.File("vb/AskAIP.vbp"), "Form=forms\\main.frm\r\nModule=AIP; AIP.bas\r\n");
  WriteFile(dir_.File("lua/src/lauxlib.c"), "int aux;\n");
  WriteFile(dir_.File("lua/lua.dsp"), "SOURCE=.\\SRC\\LAUXLIB.C\r\n");
  ASSERT_EQ(Folios("-o out.rtf vb/AskAIP.vbp lua/lua.dsp"), 0) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(Headers(ReadFile(dir_.File("out.rtf"))),
            (std::vector<std::string>{dir_.File("vb/Forms/Main.FRM"), dir_.File("vb/AIP.BAS"),
                                      dir_.File("lua/src/lauxlib.c")}));
  EXPECT_EQ(ReadFile(dir_.File("stderr.txt")), "");
}

// Killed politely mid-build: the old document stays, and no temporary file
// is left beside it.
TEST_F(CliListing, TerminatedBuildLeavesTheOldDocument) {
  WriteFile(dir_.File("out.rtf"), "previous");
  std::string names;
  for (const std::string& name : test::SlowListingSources(dir_.File("slow.c"), "slow.c")) names += " " + name;
  int status = Script(
      "\"$folios\" listing --set m_use_advanced_options=0 -o out.rtf" + names + " 2> stderr.txt &\n"
      "pid=$!\n"
      "for i in $(seq 3000); do ls -a | grep -q '^\\.out\\.rtf\\.tmp-' && break; sleep 0.01; done\n"
      "kill -TERM $pid\n"
      "wait $pid\n");
  EXPECT_EQ(status, 128 + SIGTERM) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(ReadFile(dir_.File("out.rtf")), "previous");
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

// A named pipe, socket or device is refused before it is opened, whether
// named or found through a project or a directory search; the other files
// are listed. Status 99 would mean the build still waited on the pipe.
TEST_F(CliListing, APipeIsRefusedAtOnceAndTheOtherFilesListed) {
  WriteFile(dir_.File("a.c"), "int first;\n");
  WriteFile(dir_.File("dir/b.c"), "int second;\n");
  ASSERT_EQ(mkfifo(dir_.File("dir/p.c").c_str(), 0600), 0);
  WriteFile(dir_.File("proj.dsp"), "SOURCE=.\\a.c\r\nSOURCE=.\\dir\\p.c\r\n");
  ASSERT_EQ(::symlink("/dev/null", dir_.File("null.c").c_str()), 0);
  const std::string reason = "a named pipe, not a regular file";
  const struct {
    std::string args;
    std::vector<std::string> listed;
  } cases[] = {
      {"a.c dir/p.c dir/b.c", {dir_.File("a.c"), dir_.File("dir/p.c"), dir_.File("dir/b.c")}},
      {"proj.dsp", {dir_.File("a.c"), dir_.File("dir/p.c")}},
      {"--types cpp dir", {dir_.File("dir/b.c"), dir_.File("dir/p.c")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    fs::remove(dir_.File("out.rtf"));
    int status = Script("timeout -s KILL 20 \"$folios\" listing --set m_use_advanced_options=0 -o out.rtf " +
                        c.args + " 2> stderr.txt || exit $?\n");
    std::string err = ReadFile(dir_.File("stderr.txt"));
    EXPECT_EQ(status, 1) << err;
    EXPECT_NE(err.find("folios: cannot list '" + dir_.File("dir/p.c") + "': " + reason), std::string::npos)
        << err;
    std::string doc = ReadFile(dir_.File("out.rtf"));
    for (const std::string& path : c.listed) EXPECT_NE(doc.find(path), std::string::npos) << path;
    EXPECT_NE(doc.find(c.args == "--types cpp dir" ? "second" : "first"), std::string::npos);
  }
  // With the pre-format step too, the pipe is named once.
  int formatted = Script("timeout -s KILL 20 \"$folios\" listing --set m_use_advanced_options=1 -o out.rtf "
                         "a.c dir/p.c 2> stderr.txt || exit $?\n");
  std::string told = ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(formatted, 1) << told;
  EXPECT_EQ(told, "folios: cannot list '" + dir_.File("dir/p.c") + "': " + reason + "\n");

  // A device fares the same; standard input is still read.
  int status = Script("timeout -s KILL 20 \"$folios\" listing --set m_use_advanced_options=0 -o out.rtf "
                      "null.c - < a.c 2> stderr.txt || exit $?\n");
  std::string err = ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(status, 1) << err;
  EXPECT_NE(err.find("cannot list '" + dir_.File("null.c") + "': a device, not a regular file"),
            std::string::npos)
      << err;
  EXPECT_NE(ReadFile(dir_.File("out.rtf")).find("first"), std::string::npos);
}

// A line too long for the memory at hand ends that file with a note; the
// build goes on and says so. The limit is far below the line's length.
TEST_F(CliListing, OutOfMemoryOnAHugeLineIsAnErrorForThatFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
  WriteFile(dir_.File("a.c"), "int a;\n");
  int status = Script(
      "head -c 64000000 /dev/zero | tr '\\0' x > endless.c\n"
      "ulimit -v 100000\n"
      "\"$folios\" listing --set m_use_advanced_options=0 -o out.rtf endless.c a.c 2> stderr.txt\n");
  std::string err = ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(status, 1) << err;
  EXPECT_NE(err.find("cannot list '" + dir_.File("endless.c") + "': out of memory"),
            std::string::npos)
      << err;
  std::string doc = ReadFile(dir_.File("out.rtf"));
  EXPECT_NE(doc.find("(out of memory: the rest of this file is not listed)"), std::string::npos);
  EXPECT_NE(doc.find(dir_.File("a.c")), std::string::npos);
  EXPECT_EQ(doc.substr(doc.size() - 10), "a;\n\\par}}\n");
#endif
}

}  // namespace
}  // namespace folios

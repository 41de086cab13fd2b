// ReformatFile, the reformat build, the listing's pre-format step and the
// folios reformat command: reports, backups, and files never left damaged.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "folios_runner.h"
#include "preformat_for_listing.h"
#include "reformat_build.h"
#include "reformat_file.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

const char kDefaultReport[] =
    "Function Line Spacing              : 2\n"
    "Use Tabs In Indenting              : No\n"
    "Indent Spacing Length              : 4\n"
    "Comments With Code                 : 1\n"
    "Comments With No Code              : 0\n"
    "Remove Non-ASCII Chars             : Yes But Not Graphic Chars\n"
    "Non-ASCII Chars In Quotes To Octal : No\n"
    "Open Braces On New Line            : No\n"
    "Program Output                     : Yes\n"
    "Internal Queue Buffer Size         : 10\n";

// The elapsed time is the one part of the report that may vary.
std::string WithoutTime(const std::string& report) {
  static const std::regex time("\\(In 0 Hours 0 Minutes [0-9]+ Seconds\\)");
  return std::regex_replace(report, time, "(TIME)");
}

const char kUnformatted[] = "int f()\n{\nx;\n}\n";
const char kFormatted[] = "int f() {\n    x;\n}\n";

TEST(ReformatFile, ReportsSettingsAndProgressOnTheGivenStreams) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("in.c"), kUnformatted);
  std::ostringstream out, err;
  EXPECT_EQ(ReformatFile(dir.File("in.c"), dir.File("out.c"), out, err), kReformatOk);
  EXPECT_EQ(test::ReadFile(dir.File("out.c")), kFormatted);
  // Four lines and the empty read after the last line feed.
  EXPECT_EQ(WithoutTime(out.str()), std::string(kDefaultReport) +
                                        "\nFeed Me, Feed Me Code ...\nNumber Of Lines Processed :  5 (TIME)"
                                        "\nCleaning Up Dinner ... Done !\n");
  EXPECT_EQ(err.str(), "");
}

TEST(ReformatFile, LineCounterErasesWithBackspaces) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::string input;
  for (int i = 0; i < 25; ++i) input += "x;\n";
  test::WriteFile(dir.File("in.c"), input);
  std::ostringstream out, err;
  ASSERT_EQ(ReformatFile(dir.File("in.c"), dir.File("out.c"), out, err), kReformatOk);
  // 26 reads: "10 " after one backspace, "20 " after erasing "10 ", and the
  // final "26 " after erasing "20 ".
  EXPECT_NE(WithoutTime(out.str()).find("Number Of Lines Processed :  \b10 \b\b\b20 \b\b\b26 (TIME)"),
            std::string::npos)
      << out.str();
}

TEST(ReformatFile, ReportFollowsTheSettings) {
  test::ScopedSettings scoped;
  Settings s(SettingKey::kMain);
  s.SetText("m_empty_lines", "3");
  s.SetInt("m_indent_with_tabs", 1);
  s.SetText("m_spaces_to_indent", "8");  // not used with tabs
  s.SetText("m_c_with_code", "40");
  s.SetText("m_c_without_code", "abc");  // not a number: 0
  s.SetInt("m_brace_style", 1);
  test::TempDir dir;
  test::WriteFile(dir.File("in.c"), "x;\n");
  std::ostringstream out, err;
  ASSERT_EQ(ReformatFile(dir.File("in.c"), dir.File("out.c"), out, err), kReformatOk);
  std::string report = out.str().substr(0, out.str().find("\nFeed Me"));
  EXPECT_EQ(report,
            "Function Line Spacing              : 3\n"
            "Use Tabs In Indenting              : Yes\n"
            "Indent Spacing Length              : 4\n"
            "Comments With Code                 : 40\n"
            "Comments With No Code              : 0\n"
            "Remove Non-ASCII Chars             : Yes But Not Graphic Chars\n"
            "Non-ASCII Chars In Quotes To Octal : No\n"
            "Open Braces On New Line            : Yes\n"
            "Program Output                     : Yes\n"
            "Internal Queue Buffer Size         : 10\n");
}

TEST(ReformatFile, FailuresLeaveTheOutputAsItWas) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("out.c"), "precious\n");
  std::ostringstream out, err;
  std::string reason;
  // A missing input: -1, the existing output is not truncated.
  EXPECT_EQ(ReformatFile(dir.File("missing.c"), dir.File("out.c"), out, err, &reason), kReformatNoFileOrMemory);
  EXPECT_EQ(test::ReadFile(dir.File("out.c")), "precious\n");
  EXPECT_NE(reason.find("missing.c"), std::string::npos) << reason;
  EXPECT_EQ(out.str(), "\nCleaning Up Dinner ... Done !\n");

  // An output that cannot be created: -1, nothing written beside it.
  test::WriteFile(dir.File("in.c"), kUnformatted);
  out.str("");
  EXPECT_EQ(ReformatFile(dir.File("in.c"), dir.File("no/such/dir/out.c"), out, err, &reason),
            kReformatNoFileOrMemory);
  EXPECT_EQ(out.str(), "\nCleaning Up Dinner ... Done !\n");
  EXPECT_EQ(test::ReadFile(dir.File("in.c")), kUnformatted);
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 2u);  // in.c and out.c: no temporary file left behind
}

TEST(ReformatFile, FormatsAFileOntoItself) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), kUnformatted);
  std::ostringstream out, err;
  EXPECT_EQ(ReformatFile(dir.File("a.c"), dir.File("a.c"), out, err), kReformatOk);
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), kFormatted);
}

TEST(ReformatBuild, BacksUpAndFormatsOnlyCFamilyFiles) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const std::string formatted[] = {"a.c", "Main.CPP", "b.h", "C.Java", "main.hpp", "main.CXX",
                                   "x.cc", "y.HH", "z.inl", "w.tcc", "v.c++", "u.h++", "t.ipp", "s.hxx", "r.cp"};
  const std::string passed[] = {"m.bas", "x.frm", "notes.txt", "x.cpp~"};
  std::vector<std::string> paths;
  for (const std::string& name : formatted) {
    test::WriteFile(dir.File(name), kUnformatted);
    paths.push_back(dir.File(name));
  }
  for (const std::string& name : passed) {
    test::WriteFile(dir.File(name), kUnformatted);
    paths.push_back(dir.File(name));
  }
  SilentProgress progress;
  std::ostringstream out, err;
  ReformatBuildResult result = RunReformatBuild(paths, &progress, out, err);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_FALSE(result.ok());  // passed-over files are reported
  EXPECT_EQ(result.formatted, 15);
  EXPECT_EQ(result.passed_over, 4);
  EXPECT_EQ(result.passed_over_paths.front(), dir.File("m.bas"));
  for (const std::string& name : formatted) {
    EXPECT_EQ(test::ReadFile(dir.File(name)), kFormatted) << name;
    EXPECT_EQ(test::ReadFile(dir.File(name + ".orig")), kUnformatted) << name;
  }
  for (const std::string& name : passed) {
    EXPECT_EQ(test::ReadFile(dir.File(name)), kUnformatted) << name;
    EXPECT_FALSE(test::FileExists(dir.File(name + ".orig"))) << name;
  }
  EXPECT_EQ(progress.position(), 19);
  EXPECT_EQ(progress.upper(), 19);

  // A second run finds nothing to change and keeps the first backup.
  result = RunReformatBuild({dir.File("a.c")}, nullptr, out, err);
  EXPECT_EQ(result.unchanged, 1);
  EXPECT_EQ(result.formatted, 0);
  EXPECT_EQ(test::ReadFile(dir.File("a.c.orig")), kUnformatted);
}

TEST(ReformatBuild, ExtensionIsTakenFromTheWholePath) {
  EXPECT_TRUE(IsReformattable("/x/main.c"));
  EXPECT_TRUE(IsReformattable("/x/Main.CPP"));
  EXPECT_TRUE(IsReformattable("/x/y.H"));
  EXPECT_TRUE(IsReformattable("/x/main.Hpp"));
  EXPECT_FALSE(IsReformattable("/x/main.txt"));
  EXPECT_FALSE(IsReformattable("/x/main.cs"));
  EXPECT_FALSE(IsReformattable("/x/noext"));
  EXPECT_FALSE(IsReformattable("/x.c/noext"));  // ".c/noext" is no C extension
}

TEST(ReformatBuild, FileWithoutBackupIsNotTouched) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), kUnformatted);
  // The backup cannot be written: a directory stands in its place.
  std::filesystem::create_directory(dir.File("a.c.orig"));
  std::ostringstream out, err;
  ReformatBuildResult result = RunReformatBuild({dir.File("a.c"), dir.File("gone.c")}, nullptr, out, err);
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].path, dir.File("a.c"));
  EXPECT_NE(result.failures[0].reason.find("backup"), std::string::npos) << result.failures[0].reason;
  EXPECT_EQ(result.failures[1].path, dir.File("gone.c"));
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), kUnformatted);
  EXPECT_FALSE(test::FileExists(dir.File("gone.c")));
}

TEST(PreformatForListing, FormatsIntoTheOutputAndLeavesTheSource) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), kUnformatted);
  struct stat before {};
  ASSERT_EQ(stat(dir.File("a.c").c_str(), &before), 0);
  EXPECT_TRUE(PreformatForListing(dir.File("a.c"), dir.File("listed.c"), nullptr));
  EXPECT_EQ(test::ReadFile(dir.File("listed.c")), kFormatted);
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), kUnformatted);
  struct stat after {};
  ASSERT_EQ(stat(dir.File("a.c").c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);  // never replaced, not even for a moment
  EXPECT_FALSE(PreformatForListing(dir.File("missing.c"), dir.File("listed2.c"), nullptr));
  EXPECT_FALSE(test::FileExists(dir.File("listed2.c")));
}

TEST(ReformatCommand, RewritesFilesAndKeepsBackups) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), kUnformatted);
  test::WriteFile(dir.File("notes.txt"), kUnformatted);
  test::RunResult r = test::RunFolios({"reformat", "--report", "a.c", "--set", "m_spaces_to_indent=2"}, dir.path());
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), "int f() {\n  x;\n}\n");
  EXPECT_EQ(test::ReadFile(dir.File("a.c.orig")), kUnformatted);
  EXPECT_NE(r.out.find("Indent Spacing Length              : 2\n"), std::string::npos) << r.out;
  // --set lasts for the run only.
  EXPECT_EQ(Settings(SettingKey::kMain).Int("m_spaces_to_indent"), 4);
}

TEST(ReformatCommand, JobsOption) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::vector<std::string> args = {"reformat", "", ""};
  for (int i = 0; i < 6; ++i) {
    std::string name = "f" + std::to_string(i) + ".c";
    test::WriteFile(dir.File(name), kUnformatted);
    args.push_back(name);
  }
  args.push_back("gone.c");
  // Every spelling runs the same build; the report follows the list.
  std::string first_out;
  for (const std::vector<std::string>& jobs :
       {std::vector<std::string>{"-j", "1"}, {"-j", "3"}, {"-j3", "--set=m_empty_lines=2"}, {"--jobs", "40"},
        {"--jobs=2", "--set=m_empty_lines=2"}}) {
    for (int i = 0; i < 6; ++i) test::WriteFile(dir.File("f" + std::to_string(i) + ".c"), kUnformatted);
    args[1] = jobs[0];
    args[2] = jobs[1];
    test::RunResult r = test::RunFolios(args, dir.path());
    EXPECT_EQ(r.exit_code, 1) << jobs[0];  // gone.c
    EXPECT_NE(r.err.find("gone.c': cannot open"), std::string::npos) << r.err;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(test::ReadFile(dir.File("f" + std::to_string(i) + ".c")), kFormatted);
    std::string out = WithoutTime(r.out);
    if (first_out.empty()) first_out = out;
    EXPECT_EQ(out, first_out) << jobs[0];
    // More jobs than the temporary-file handler can follow are lowered.
    EXPECT_EQ(r.err.find("warning: -j 40 is more than 32: 32 files are formatted at once") != std::string::npos,
              jobs[1] == "40") << r.err;
  }
  for (const char* bad : {"0", "-1", "x", "2x", ""}) {
    test::RunResult r = test::RunFolios({"reformat", "-j", bad, "f0.c"}, dir.path());
    EXPECT_EQ(r.exit_code, 2) << bad;
    EXPECT_NE(r.err.find("-j takes a number from 1 up"), std::string::npos) << r.err;
  }
  EXPECT_EQ(test::RunFolios({"reformat", "f0.c", "-j"}, dir.path()).exit_code, 2);
}

TEST(ReformatCommand, StandardInputToStandardOutput) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::string input = kUnformatted;
  test::RunResult r = test::RunFolios({"reformat", "-"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, kFormatted);
  r = test::RunFolios({"reformat", "--stdout", "--set", "m_brace_style=1"}, dir.path(), &input);
  EXPECT_EQ(r.out, "int f()\n{\n    x;\n}\n");
}

TEST(ReformatCommand, StandardInputThatCannotBeFormattedSafelyComesOutAsItWentIn) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  // The formatter still reads "//" in a header name as a comment; the check
  // against the input must catch it before anything is written.
  std::string input = "#include <a//b.h>\nint x;\n";
  test::RunResult r = test::RunFolios({"reformat", "-"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, input);
  EXPECT_EQ(r.err,
            "folios: cannot reformat standard input: formatting would change the program at line 1; "
            "it was written out as it was\n");

  input = std::string("int f(){\0x;}\n", 13);
  r = test::RunFolios({"reformat", "-"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, input);
  EXPECT_NE(r.err.find("folios: cannot reformat standard input: binary text (it holds NUL bytes); "
                       "it was written out as it was\n"), std::string::npos) << r.err;

  input.clear();
  r = test::RunFolios({"reformat", "-"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
}

TEST(ReformatCommand, WarnsAboutClampedSettings) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::string input = kUnformatted;
  test::RunResult r =
      test::RunFolios({"reformat", "--set", "m_spaces_to_indent=-3", "--set", "m_c_with_code=61", "-"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "int f() {\nx;\n}\n");
  EXPECT_EQ(r.err,
            "folios: warning: m_spaces_to_indent must be a whole number from 0 to 10; -3 is taken as 0\n"
            "folios: warning: m_c_with_code must be a whole number from 0 to 60; 61 is taken as 60\n");

  // A stored value out of range (written by hand) is clamped by the engine
  // with the same warning.
  test::WriteFile(scoped.config_dir() + "/settings.ini",
                  "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\nm_c_without_code=99\n");
  r = test::RunFolios({"reformat", "-"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "folios: warning: m_c_without_code must be a whole number from 0 to 60; 99 is taken as 60\n");
}

TEST(ReformatCommand, NamesTheFileItCouldNotFormat) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), kUnformatted);
  std::filesystem::create_directory(dir.File("a.c.orig"));
  test::RunResult r = test::RunFolios({"reformat", "a.c"}, dir.path());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("folios: cannot reformat '"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("a.c'"), std::string::npos) << r.err;
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), kUnformatted);
  EXPECT_EQ(test::RunFolios({"reformat"}, dir.path()).exit_code, 2);
}

}  // namespace
}  // namespace folios

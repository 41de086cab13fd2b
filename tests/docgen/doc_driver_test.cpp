// The driver: the option vector, output naming, append mode, help project,
// topic log, spool file, and the option vector the desktop command builds.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data_files.h"
#include "doc_driver.h"
#include "doc_messages.h"
#include "doc_run_fixture.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios::docgen {
namespace {

const char kFormat[] =
    "[file]\n.output=doc\n.pre=<doc>^n\n.post=</doc>^n\n"
    "[file]\n.output=help\n.pre=<help>^n\n.post=</help>^n\n"
    "[constant]\n.define=k, from format\n"
    "[topic]\n.tag=t, both, 2, 1, $1\n.pre=[$1:$2:$(k)]^n\n"
    ".tag=e, doc, 1, 1, $1\n.if=exists(Other)\n.pre=(e $1 sees Other)^n\n"
    ".tag=e, doc, 1, 1, $1\n.pre=(e $1)^n\n"
    "[extension]\n.ext=c, c\n"
    "[token]\n.output=both, txt\n";

class DocDriverTest : public DocRunFixture {
 protected:
  void SetUp() override {
    DocRunFixture::SetUp();
    test::WriteFile(dir_.File("f.fmt"), kFormat);
  }
  // Files left in the spool directory besides the marker.
  int SpoolFilesLeft() {
    int count = 0;
    DIR* d = opendir(spool_dir_.c_str());
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name.rfind("~SV", 0) == 0) ++count;
    }
    closedir(d);
    return count;
  }

};

TEST_F(DocDriverTest, OptionErrorsEndTheRunWithTheirCode) {
  struct Case {
    std::vector<std::string> argv;
    int rc;
  } cases[] = {
      {{"-h"}, kUsageRequested},
      {{"-?"}, kUsageRequested},
      {{"-tx"}, kErrTabNotNumber},
      {{"-t", "x4"}, kErrTabNotNumber},
      // A tab size out of range is refused, not wrapped or obeyed.
      {{"-t", "4294967300"}, kErrTabNotNumber},
      {{"-t", "1000000000"}, kErrTabNotNumber},
      {{"-t65"}, kErrTabNotNumber},
      {{"-t", "0"}, kErrTabNotNumber},
      {{"-q"}, kErrUnknownOption},
      {{"-o"}, kErrOptionValueMissing},
      {{"-dNAMEVALUE"}, kErrDefineTooLong},
      {{"-d" + std::string(65, 'n') + "=v"}, kErrDefineTooLong},
      {{"-x", "a &"}, kErrExprSyntax},
      {{"-X", "a", "-x", ")"}, kErrExprOperator},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.argv), c.rc) << c.argv[0];
    EXPECT_EQ(err_, "") << c.argv[0];
  }
  EXPECT_EQ(SpoolFilesLeft(), 0);
}

TEST_F(DocDriverTest, TabSizesWithinRangeAreTaken) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("o.txt"), "-t", "64"}), 0);
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("o.txt"), "-t1"}), 0);
}

TEST_F(DocDriverTest, AbsolutePathsAreSourcesAndOptionsMayComeAnywhere) {
  std::string a = Source("a.c", "// @doc\n// @t Alpha | first\n");
  std::string out = dir_.File("out.txt");
  EXPECT_EQ(Run({"-o", out, a, "-F", dir_.File("f.fmt")}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[Alpha:first:from format]\r\n</doc>\r\n");
  EXPECT_EQ(err_, "");
}

TEST_F(DocDriverTest, AnEmptyFileListWritesHeaderAndTrailer) {
  std::string out = dir_.File("empty.txt");
  EXPECT_EQ(Run({"-f", dir_.File("f.fmt"), "-o", out}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n</doc>\r\n");
}

TEST_F(DocDriverTest, ConstantsFromTheCommandLineHideTheFormatFiles) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  std::string out = dir_.File("out.txt");
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out, "-dk=from option"}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[A:x:from option]\r\n</doc>\r\n");
}

TEST_F(DocDriverTest, OutputIsNamedAfterTheFirstSourceWhenNotGiven) {
  std::string a = Source("first.c", "// @doc\n// @t A | x\n");
  std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  int rc = Run({dir_.File("fi*.c"), "-f", dir_.File("f.fmt")});
  EXPECT_EQ(out_, "Output file is first.txt.\n");
  EXPECT_TRUE(test::FileExists(dir_.File("first.txt")));
  int none = Run({dir_.File("nomatch*.c"), "-f", dir_.File("f.fmt")});
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(none, kErrNoOutputName);
  EXPECT_EQ(err_, dir_.File("nomatch*.c") + ": Error 117: no output file given and the first source name matches no file\n");
  EXPECT_EQ(SpoolFilesLeft(), 0);
}

TEST_F(DocDriverTest, FormatFileErrorsAreReportedWithFileAndLine) {
  test::WriteFile(dir_.File("bad.fmt"), "; comment\n[topics]\n");
  EXPECT_EQ(Run({"-f", dir_.File("bad.fmt"), "-o", dir_.File("o.txt")}), kErrUnknownSection);
  EXPECT_EQ(err_, dir_.File("bad.fmt") + "(2): Error 143: unknown section name\n");
  EXPECT_FALSE(test::FileExists(dir_.File("o.txt")));
  EXPECT_EQ(Run({"-f", "NoSuch.fmt", "-o", dir_.File("o.txt")}), kErrNotFound);
  EXPECT_EQ(err_, "NoSuch.fmt: Error 102: file not found\n");
}

TEST_F(DocDriverTest, SourceErrorsAreReportedAndTheRunGoesOn) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  std::string out = dir_.File("out.txt");
  // The run goes on past a source it cannot read, and says so in its result.
  EXPECT_EQ(Run({dir_.File("missing.c"), a, "-f", dir_.File("f.fmt"), "-o", out, "-v"}), kErrNotFound);
  EXPECT_EQ(err_, dir_.File("missing.c") + ": Error 102: file not found\n");
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[A:x:from format]\r\n</doc>\r\n");
  EXPECT_EQ(out_, "Getting tags from " + dir_.File("f.fmt") + "\n" + a + "\n\tA\nWriting topics...\n\n");
}

TEST_F(DocDriverTest, TheSpoolFileIsRemovedOnEveryWayOut) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("ok.txt")}), 0);
  EXPECT_EQ(SpoolFilesLeft(), 0);
  int rc = Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("no/such/dir/out.txt")});
  EXPECT_EQ(rc, kFileErrorBase + kCauseNotFound);
  EXPECT_EQ(SpoolFilesLeft(), 0);
  test::WriteFile(dir_.File("old.txt"), "no trailer here");
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("old.txt"), "-a"}), kErrTrailerNotFound);
  EXPECT_EQ(SpoolFilesLeft(), 0);
}

TEST_F(DocDriverTest, TheSpoolFileIsNeverOpenedThroughALeftOverName) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  char name[32];
  std::snprintf(name, sizeof name, "/~SV%05d.tmp", static_cast<int>(getpid()));
  std::string taken = spool_dir_ + name;
  test::WriteFile(taken, "someone else's file");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("out.txt")}), 0);
  EXPECT_EQ(test::ReadFile(taken), "someone else's file");
  EXPECT_EQ(test::ReadFile(dir_.File("out.txt")), "<doc>\r\n[A:x:from format]\r\n</doc>\r\n");
  EXPECT_EQ(SpoolFilesLeft(), 1);  // only the one that was there before
}

TEST_F(DocDriverTest, AppendWritesOverTheOldTrailer) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  std::string b = Source("b.c", "// @doc\n// @t B | y\n");
  std::string out = dir_.File("out.txt");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out, "-a"}), 0);  // no file yet: written whole
  ASSERT_EQ(Run({b, "-f", dir_.File("f.fmt"), "-o", out, "-a"}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[A:x:from format]\r\n[B:y:from format]\r\n</doc>\r\n");
  test::WriteFile(out, "");
  ASSERT_EQ(Run({b, "-f", dir_.File("f.fmt"), "-o", out, "-a"}), 0);  // empty: from its start
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[B:y:from format]\r\n</doc>\r\n");
}

TEST_F(DocDriverTest, HelpOutputWritesAProjectOnlyOnce) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  std::string out = dir_.File("api.rtf");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out, "-rh"}), 0);
  EXPECT_EQ(test::ReadFile(out), "<help>\r\n[A:x:from format]\r\n</help>\r\n");
  EXPECT_EQ(test::ReadFile(dir_.File("api.HPJ")),
            "; HPJ file generated by Lumentra Folios V3.5\r\n\r\n"
            "[options]\r\n\r\n"
            "[config]\r\n"
            " BrowseButtons()\r\n\r\n"
            "[files]\r\n"
            " api.rtf\r\n\r\n");
  test::WriteFile(dir_.File("api.HPJ"), "edited by the user");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out, "-r", "H"}), 0);
  EXPECT_EQ(test::ReadFile(dir_.File("api.HPJ")), "edited by the user");
  // The default type writes no project.
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("doc.rtf")}), 0);
  EXPECT_FALSE(test::FileExists(dir_.File("doc.HPJ")));
}

TEST_F(DocDriverTest, TopicLogListsContextsInOrder) {
  std::string a = Source("a.c", "// @doc\n// @t Beta | 1\n// @t alpha | 2\n// @t Beta | 3\n");
  std::string log = dir_.File("Topics.rtf");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-n", "-l", log}), 0);
  EXPECT_EQ(test::ReadFile(log), "alpha\r\nBeta\r\nBeta_1\r\n");
  std::string none = Source("none.c", "int x;\n");
  ASSERT_EQ(Run({none, "-f", dir_.File("f.fmt"), "-n", "-l", log, "-a"}), 0);
  EXPECT_EQ(test::ReadFile(log), "alpha\r\nBeta\r\nBeta_1\r\n");
  ASSERT_EQ(Run({none, "-f", dir_.File("f.fmt"), "-n", "-l", log}), 0);
  EXPECT_EQ(test::ReadFile(log), "");
}

TEST_F(DocDriverTest, ContentsEntriesSatisfyExistsButAreNotWritten) {
  std::string a = Source("a.c", "// @doc\n// @e Lone\n");
  test::WriteFile(dir_.File("contents.txt"), "Other\r\n\r\nThird\n");
  std::string out = dir_.File("out.txt");
  std::string log = dir_.File("log.txt");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out, "-c", dir_.File("contents.txt"), "-l", log}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n(e Lone sees Other)\r\n</doc>\r\n");
  EXPECT_EQ(test::ReadFile(log), "Lone\r\n");
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n(e Lone)\r\n</doc>\r\n");
}

TEST_F(DocDriverTest, UnsortedKeepsSourceOrder) {
  std::string b = Source("b.c", "// @doc\n// @t Zed | 1\n// @t Amy | 2\n");
  std::string a = Source("a.c", "// @doc\n// @t Bob | 3\n");
  std::string out = dir_.File("out.txt");
  ASSERT_EQ(Run({b, a, "-f", dir_.File("f.fmt"), "-o", out, "-u"}), 0);
  EXPECT_EQ(test::ReadFile(out),
            "<doc>\r\n[Zed:1:from format]\r\n[Amy:2:from format]\r\n[Bob:3:from format]\r\n</doc>\r\n");
  ASSERT_EQ(Run({b, a, "-f", dir_.File("f.fmt"), "-o", out}), 0);
  EXPECT_EQ(test::ReadFile(out),
            "<doc>\r\n[Amy:2:from format]\r\n[Bob:3:from format]\r\n[Zed:1:from format]\r\n</doc>\r\n");
}

TEST_F(DocDriverTest, ManySourcesAreReadAheadAndTakenInOrder) {
  std::vector<std::string> args;
  std::string expected = "<doc>\r\n";
  std::string listed;
  for (int i = 0; i < 40; ++i) {
    std::string n = std::to_string(i);
    if (i == 13) {
      args.push_back(dir_.File("missing.c"));
    } else if (i == 27) {
      args.push_back(Source("bin.c", std::string("// @doc\0\n", 10)));
    } else {
      args.push_back(Source("s" + n + ".c", "// @doc\n// @t T" + n + " | " + n + "\n"));
      expected += "[T" + n + ":" + n + ":from format]\r\n";
      listed += args.back() + "\n\tT" + n + "\n";
    }
  }
  expected += "</doc>\r\n";
  std::string out = dir_.File("out.txt");
  for (const char* flag : {"-u", "-v"}) args.push_back(flag);
  for (const std::string& arg : {std::string("-f"), dir_.File("f.fmt"), std::string("-o"), out}) args.push_back(arg);
  EXPECT_EQ(Run(args), kErrNotFound);
  EXPECT_EQ(test::ReadFile(out), expected);
  // Files and errors are reported in the order of the sources.
  EXPECT_EQ(out_, "Getting tags from " + dir_.File("f.fmt") + "\n" + listed + "Writing topics...\n\n");
  size_t missing = err_.find(dir_.File("missing.c"));
  size_t binary = err_.find(dir_.File("bin.c"));
  EXPECT_NE(missing, std::string::npos) << err_;
  EXPECT_NE(binary, std::string::npos) << err_;
  EXPECT_LT(missing, binary);
}

TEST(DocOptionVector, FollowsTheSettings) {
  test::ScopedSettings scoped;
  std::string format = LocateDataFile("LFX.fmt");
  EXPECT_EQ(BuildDocOptionVector({"/src/a.c", "/src/b.h"}, "/docs/api.rtf"),
            (std::vector<std::string>{"/src/a.c", "/src/b.h", "-o", "/docs/api.rtf", "-f", format}));
  Settings settings(SettingKey::kMain);
  settings.SetInt("m_sort_topics", 0);
  settings.SetInt("m_doctype", 1);
  settings.SetInt("m_create_topic_log", 1);
  settings.SetText("m_extraction_expression", "public & api");
  EXPECT_EQ(BuildDocOptionVector({"/src/a.c"}, "/docs/api.rtf"),
            (std::vector<std::string>{"/src/a.c", "-u", "-rh", "-o", "/docs/api.rtf", "-l", "/docs/Topics.rtf",
                                      "-f", format}));
  // The web page reference.
  settings.SetInt("m_doctype", 2);
  settings.SetInt("m_create_topic_log", 0);
  EXPECT_EQ(BuildDocOptionVector({"/src/a.c"}, "/docs/api.html"),
            (std::vector<std::string>{"/src/a.c", "-u", "-rhtml", "-o", "/docs/api.html", "-f", format}));
  // The expression is kept while unused and passed once switched on.
  settings.SetInt("m_use_extraction_expression", 1);
  std::vector<std::string> argv = BuildDocOptionVector({}, "/docs/api.rtf");
  ASSERT_GE(argv.size(), 2u);
  EXPECT_EQ(argv[argv.size() - 2], "-x");
  EXPECT_EQ(argv.back(), "public & api");
}

}  // namespace
}  // namespace folios::docgen

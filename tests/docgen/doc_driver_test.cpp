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
#include "folios_version.h"
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
            "; HPJ file generated by Lumentra Folios V" + std::string(kVersion) + "\r\n\r\n"
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

// "--" ends the options; switches combine; an argument that combines a
// switch with anything else is refused whole, naming itself.
TEST_F(DocDriverTest, OptionsEndAtTwoDashesAndCombinedLettersAreAllOrNothing) {
  std::string a = Source("-notes.c", "// @doc\n// @t A | x\n");
  struct Case {
    std::vector<std::string> argv;
    int code;
    const char* argument;
    size_t sources;
  } cases[] = {
      {{"-o", "o.rtf", "-notes.c"}, kErrUnknownOption, "-notes.c", 0},
      {{"-nq"}, kErrUnknownOption, "-nq", 0},
      {{"-uvx", "a"}, kErrUnknownOption, "-uvx", 0},
      {{"-uv", "a.c"}, 0, "", 1},
      {{"-UvN", "a.c"}, 0, "", 1},
      {{"-vh"}, kUsageRequested, "-vh", 0},
      {{"-o", "o.rtf", "--", "-notes.c", "--", "-x"}, 0, "", 3},
      {{"-rhtml", "--"}, 0, "", 0},
  };
  for (const Case& c : cases) {
    DocOptions options;
    DocOptionCheck check = ParseDocOptions(c.argv, &options);
    EXPECT_EQ(check.code, c.code) << c.argv[0];
    EXPECT_EQ(check.argument, c.argument) << c.argv[0];
    EXPECT_EQ(options.sources.size(), c.sources) << c.argv[0];
  }
  // -uv is -u and -v: unsorted and verbose.
  std::string b = Source("b.c", "// @doc\n// @t Zed | 1\n// @t Amy | 2\n");
  std::string out = dir_.File("out.txt");
  ASSERT_EQ(Run({b, "-f", dir_.File("f.fmt"), "-o", out, "-uv"}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[Zed:1:from format]\r\n[Amy:2:from format]\r\n</doc>\r\n");
  EXPECT_NE(out_.find("Writing topics..."), std::string::npos);
  // After "--" a name that begins with "-" is a source.
  ASSERT_EQ(Run({"-f", dir_.File("f.fmt"), "-o", out, "--", a}), 0);
  EXPECT_EQ(test::ReadFile(out), "<doc>\r\n[A:x:from format]\r\n</doc>\r\n");
}

// A run that could read none of its sources writes nothing: the document,
// its topic log and its help project stay as they were. One source read is
// enough for all three to be written.
TEST_F(DocDriverTest, ARunThatReadNothingKeepsTheOldDocument) {
  std::string out = dir_.File("api.rtf");
  std::string log = dir_.File("Topics.rtf");
  test::WriteFile(out, "complete reference");
  test::WriteFile(log, "old log");
  std::filesystem::create_directory(dir_.File("adir"));
  std::string binary = Source("bin.c", std::string("a\0b", 3));
  struct Case {
    std::vector<std::string> sources;
    int rc;
  } cases[] = {
      {{dir_.File("typo.c")}, kErrNotFound},
      {{dir_.File("adir")}, kFileErrorBase + kCauseInvalidFile},
      {{dir_.File("typo.c"), binary, dir_.File("none*.c")}, kErrNotFound},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = c.sources;
    argv.insert(argv.end(), {"-f", dir_.File("f.fmt"), "-o", out, "-l", log, "-rh"});
    EXPECT_EQ(Run(argv), c.rc) << c.sources[0];
    EXPECT_EQ(test::ReadFile(out), "complete reference");
    EXPECT_EQ(test::ReadFile(log), "old log");
    EXPECT_FALSE(test::FileExists(dir_.File("api.HPJ")));
    EXPECT_NE(err_.find(out + ": not written: none of the sources could be read\n"), std::string::npos) << err_;
    EXPECT_EQ(SpoolFilesLeft(), 0);
  }
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  EXPECT_EQ(Run({dir_.File("typo.c"), a, "-f", dir_.File("f.fmt"), "-o", out, "-l", log, "-rh"}), kErrNotFound);
  EXPECT_EQ(test::ReadFile(out), "<help>\r\n[A:x:from format]\r\n</help>\r\n");
  EXPECT_EQ(test::ReadFile(log), "A\r\n");
  EXPECT_TRUE(test::FileExists(dir_.File("api.HPJ")));
}

// Every error the sources' text gives fails the run, though the document is
// written; an unclosed comment is named with the line it opens on.
TEST_F(DocDriverTest, ErrorsInTheSourcesFailTheRun) {
  test::WriteFile(dir_.File("p.fmt"),
                  "[topic]\n.tag=t, doc, 2, 1, $1\n.pre=[$1]\n.tag=f, doc, 2, 1, $2\n.parse=function\n.pre=($2)\n"
                  "[paragraph]\n.tag=p, doc, 2, 1\n.format=<$1>\n"
                  "[extension]\n.ext=c, c\n[token]\n.output=doc, txt\n");
  struct Case {
    const char* source;
    int rc;
    const char* message;
  } cases[] = {
      {"// @doc\n// @t A | x\n", 0, ""},
      {"// @doc\n// @p one | two\n// @t A | x\n", kErrTagBeforeTopic,
       "(2): Error 206: a tag inside a documentation block before any topic tag\n"},
      {"// @doc\n// @t A | x\n// @q y\n", kErrParagraphTag, "(3): Error 204: paragraph tag without [paragraph] definition\n"},
      // (Reported when the paragraph is read and again when it is written.)
      {"// @doc\n// @t A | x\n// @p y\n", kErrFieldsDiffer,
       "(3): Error 207: field count differs from the definition\n"},
      {"// @doc\n// @f Does.\n*;\n", kDeclNotThisKind,
       "(3): Error 194: the code is not a declaration of the requested kind\n"},
      {"// @doc\n// @t A | x\nint x; /* @t B | y\nint y;\n", kErrUnclosedComment,
       "(3): Error 216: a comment that is not closed before the end of the file; the text after it was taken as "
       "comment\n"},
  };
  for (const Case& c : cases) {
    std::string a = Source("a.c", c.source);
    std::string out = dir_.File("out.txt");
    std::remove(out.c_str());
    EXPECT_EQ(Run({a, "-f", dir_.File("p.fmt"), "-o", out}), c.rc) << c.source;
    std::string first = *c.message ? a + c.message : "";
    EXPECT_EQ(err_.substr(0, err_.find('\n') + 1), first) << c.source;
    EXPECT_TRUE(test::FileExists(out)) << c.source;
  }
}

// The result tells what was read and written and every error with its
// number, file and line, without reading the text back.
TEST_F(DocDriverTest, TheResultTellsWhatTheRunDid) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n// @t B | y\n");
  std::string b = Source("b.c", "// @doc\n// @t C | z\n// @q w\n");
  std::string out = dir_.File("api.rtf");
  std::string log = dir_.File("Topics.rtf");
  EXPECT_EQ(Run({a, dir_.File("gone.c"), b, "-f", dir_.File("f.fmt"), "-o", out, "-l", log, "-rh"}),
            kErrNotFound);
  EXPECT_EQ(result_.files_read, 2);
  EXPECT_EQ(result_.topics_written, 3);
  EXPECT_EQ(result_.document, out);
  EXPECT_EQ(result_.help_project, dir_.File("api.HPJ"));
  EXPECT_EQ(result_.topic_log, log);
  ASSERT_EQ(result_.errors.size(), 2u) << err_;
  EXPECT_EQ(result_.errors[0].code, kErrNotFound);
  EXPECT_EQ(result_.errors[0].file, dir_.File("gone.c"));
  EXPECT_EQ(result_.errors[0].line, 0);
  EXPECT_EQ(result_.errors[1].code, kErrParagraphTag);
  EXPECT_EQ(result_.errors[1].file, b);
  EXPECT_EQ(result_.errors[1].line, 3);
  // A project that exists is kept and not named; nothing written, nothing named.
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", out, "-rh"}), 0);
  EXPECT_EQ(result_.help_project, "");
  EXPECT_EQ(result_.topic_log, "");
  EXPECT_TRUE(result_.errors.empty());
  ASSERT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-n"}), 0);
  EXPECT_EQ(result_.document, "");
  EXPECT_EQ(result_.topics_written, 0);
  EXPECT_EQ(result_.files_read, 1);
  // A document that cannot be written is not named, nor are its topics counted.
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-o", dir_.File("no/dir/api.rtf")}), kFileErrorBase + kCauseNotFound);
  EXPECT_EQ(result_.document, "");
  EXPECT_EQ(result_.topics_written, 0);
  ASSERT_EQ(result_.errors.size(), 1u);
  EXPECT_EQ(result_.errors[0].code, kFileErrorBase + kCauseNotFound);
  EXPECT_EQ(result_.errors[0].file, dir_.File("no/dir/api.rtf"));
}

// A flood of one error in one file is cut short; the summary line counts
// the rest.
TEST_F(DocDriverTest, ASummaryLineCountsTheErrorsNotShown) {
  std::string text = "// @doc\n// @t A | x\n";
  for (int i = 0; i < 8; ++i) text += "// @q w\n";
  std::string a = Source("a.c", text);
  EXPECT_EQ(Run({a, "-f", dir_.File("f.fmt"), "-n"}), kErrParagraphTag);
  ASSERT_EQ(result_.errors.size(), static_cast<size_t>(ErrorReporter::kShown) + 1) << err_;
  const DocError& summary = result_.errors.back();
  EXPECT_EQ(summary.code, kErrParagraphTag);
  EXPECT_EQ(summary.file, a);
  EXPECT_EQ(summary.more, 8 - ErrorReporter::kShown);
  EXPECT_EQ(summary.text, a + ": Error 204: paragraph tag without [paragraph] definition ... and 3 more");
}

// An output type that has no [token] definition is named, with the types
// the format file defines.
TEST_F(DocDriverTest, AnUnknownOutputTypeIsNamed) {
  std::string a = Source("a.c", "// @doc\n// @t A | x\n");
  EXPECT_EQ(Run({a, "-f", LocateDataFile("LFX.fmt"), "-o", dir_.File("o.rtf"), "-r", "xyz"}), kErrNoToken);
  EXPECT_EQ(err_, LocateDataFile("LFX.fmt") +
                      ": Error 169: no token definition for the output type 'xyz' (the format files define doc, "
                      "help, html)\n");
  EXPECT_FALSE(test::FileExists(dir_.File("o.rtf")));
}

// C++ heads through the shipped format file, as a reader sees them:
// operators, template heads, qualifiers, (void) and defaults as written.
TEST_F(DocDriverTest, CppHeadsAreWrittenAsTheCodeHasThem) {
  std::string a = Source("shapes.cpp",
                         "// @doc\n"
                         "/* @mfunc Compares two shapes.\n   @parm The other shape. */\n"
                         "bool Shape::operator<(const Shape &other) const\n{\n}\n"
                         "/* @class A box of things. */\n"
                         "template <typename T>\nclass Box\n{\npublic:\n"
                         "  /* @cmember Compares. */\n  bool operator<(const Box &other) const;\n"
                         "  // @cmember Tells whether it holds anything.\n  explicit operator bool() const noexcept;\n};\n"
                         "/* @mfunc Adds one.\n   @parm The item. */\n"
                         "template <typename T>\nvoid Box<T>::add(const T &item)\n{\n}\n"
                         "/* @func Does nothing. */\nint f(void);\n"
                         "/* @func Counts.\n   @parmopt The count.\n   @parmopt The scale.\n   @parmopt The text. */\n"
                         "int g(int n = -1, double d = -1.5e3,\n      const char *s = \"a b\");\n");
  std::string out = dir_.File("shapes.rtf");
  ASSERT_EQ(Run({a, "-f", LocateDataFile("LFX.fmt"), "-o", out}), 0) << err_;
  EXPECT_EQ(err_, "");
  std::string rtf = test::ReadFile(out);
  const char* heads[] = {
      "\\f1\\fs20 bool {\\b Shape::operator<}(const Shape &other) const\\par",
      "{\\*\\bkmkstart tp_Shape__operator.3c}Shape::operator<{\\*\\bkmkend tp_Shape__operator.3c}",
      "\\f1\\fs20 template <typename T> class Box\\par",
      "\\f1\\fs20 bool {\\b operator<}(const Box &other) const\\cell",
      "\\f1\\fs20 explicit {\\b operator bool}() const noexcept\\cell",
      "\\f1\\fs20 template <typename T> void {\\b Box::add}(const T &item)\\par",
      "\\f1\\fs20 int {\\b f}(void)\\par",
      "\\f1\\fs20 int {\\b g}(int n = -1, double d = -1.5e3, const char *s = \"a b\")\\par",
      "\\f1\\fs20 double {\\b d} = -1.5e3\\cell",
      "\\f1\\fs20 const char * {\\b s} = \"a b\"\\cell",
  };
  for (const char* head : heads) EXPECT_NE(rtf.find(head), std::string::npos) << head;
}

TEST(DocOptionVector, EveryOptionLandsInItsField) {
  DocOptions options;
  DocOptionCheck check = ParseDocOptions(
      {"a.c", "-A", "-c", "toc.txt", "-dNAME=v=1", "-e", "-ffmt.fmt", "-l", "log.rtf", "-n", "-o", "out.rtf",
       "-rH", "-s", "one.fmt", "-sTwo.fmt", "-t", "4", "-U", "-v", "-x", "public", "-x&api", "--", "-b.c"},
      &options);
  ASSERT_EQ(check.code, 0) << check.argument;
  EXPECT_EQ(options.sources, (std::vector<std::string>{"a.c", "-b.c"}));
  EXPECT_TRUE(options.append && options.option_e && options.no_output && options.unsorted && options.verbose);
  EXPECT_EQ(options.contents_file, "toc.txt");
  EXPECT_EQ(options.defines, (std::vector<std::pair<std::string, std::string>>{{"NAME", "v=1"}}));
  EXPECT_EQ(options.main_format_file, "fmt.fmt");
  EXPECT_TRUE(options.format_given);
  EXPECT_EQ(options.log_file, "log.rtf");
  EXPECT_EQ(options.output_file, "out.rtf");
  EXPECT_EQ(options.output_type, "help");
  EXPECT_EQ(options.extra_format_files, (std::vector<std::string>{"one.fmt", "Two.fmt"}));
  EXPECT_EQ(options.tab_size, 4);
  EXPECT_EQ(options.expression, "public &api");
  // Nothing given: the defaults, and "-rd" is "doc".
  DocOptions plain;
  ASSERT_EQ(ParseDocOptions({"a.c", "-rd"}, &plain).code, 0);
  EXPECT_EQ(plain.output_type, "doc");
  EXPECT_EQ(plain.main_format_file, "Scrivlet.FMT");
  EXPECT_FALSE(plain.format_given || plain.append || plain.verbose || plain.unsorted);
  EXPECT_EQ(plain.tab_size, 8);
  // An expression that does not compile is refused with the expression.
  DocOptions bad;
  DocOptionCheck refused = ParseDocOptions({"a.c", "-x", "(api"}, &bad);
  EXPECT_EQ(refused.code, kErrExprParen);
  EXPECT_EQ(refused.argument, "(api");
}

TEST(DocOptionVector, FollowsTheSettings) {
  test::ScopedSettings scoped;
  std::string format = LocateDataFile("LFX.fmt");
  DocOptions options = DocOptionsFromSettings({"/src/a.c", "/src/b.h"}, "/docs/api.rtf");
  EXPECT_EQ(options.sources, (std::vector<std::string>{"/src/a.c", "/src/b.h"}));
  EXPECT_EQ(options.output_file, "/docs/api.rtf");
  EXPECT_EQ(options.main_format_file, format);
  EXPECT_EQ(options.output_type, "doc");
  EXPECT_FALSE(options.unsorted);
  EXPECT_EQ(options.log_file, "");
  EXPECT_EQ(options.expression, "");
  Settings settings(SettingKey::kMain);
  settings.SetInt("m_sort_topics", 0);
  settings.SetInt("m_doctype", 1);
  settings.SetInt("m_create_topic_log", 1);
  settings.SetText("m_extraction_expression", "public & api");
  options = DocOptionsFromSettings({"/src/a.c"}, "/docs/api.rtf");
  EXPECT_TRUE(options.unsorted);
  EXPECT_EQ(options.output_type, "help");
  EXPECT_EQ(options.log_file, "/docs/Topics.rtf");
  // The expression is kept while unused and passed once switched on.
  EXPECT_EQ(options.expression, "");
  settings.SetInt("m_use_extraction_expression", 1);
  // The web page reference.
  settings.SetInt("m_doctype", 2);
  settings.SetInt("m_create_topic_log", 0);
  options = DocOptionsFromSettings({}, "/docs/api.html");
  EXPECT_EQ(options.output_type, "html");
  EXPECT_EQ(options.log_file, "");
  EXPECT_EQ(options.expression, "public & api");
}

}  // namespace
}  // namespace folios::docgen

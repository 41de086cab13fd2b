// Topic output: golden documents (sources + format file -> expected bytes,
// worked out by hand), expansion codes and their errors.
#include <dirent.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_driver.h"
#include "test_support.h"
#include "topic_output.h"

namespace folios::docgen {
namespace {

struct RunResult {
  int rc = 0;
  std::string output;
  std::string out;
  std::string err;
};

// Runs the driver over `sources` in `dir` with format file `format`.
RunResult RunDoc(const test::TempDir& dir, const std::vector<std::string>& sources, const std::string& format,
              std::vector<std::string> extra = {}) {
  std::vector<std::string> argv;
  for (const std::string& s : sources) argv.push_back(dir.File(s));
  argv.insert(argv.end(), {"-f", dir.File(format), "-o", dir.File("out.doc")});
  argv.insert(argv.end(), extra.begin(), extra.end());
  std::ostringstream out, err;
  RunResult result;
  result.rc = RunDocDriver(argv, nullptr, out, err);
  result.out = out.str();
  result.err = err.str();
  if (test::FileExists(dir.File("out.doc"))) result.output = test::ReadFile(dir.File("out.doc"));
  return result;
}

std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(DocGoldenDocuments, EachCaseGivesItsExpectedBytes) {
  std::string root = test::TestSourceDir() + "/docgen/golden";
  std::vector<std::string> cases = ListDir(root);
  ASSERT_GE(cases.size(), 3u);
  for (const std::string& name : cases) {
    test::TempDir dir;
    std::vector<std::string> sources;
    for (const std::string& file : ListDir(root + "/" + name)) {
      test::WriteFile(dir.File(file), test::ReadFile(root + "/" + name + "/" + file));
      if (file != "format.fmt" && file.rfind("expected", 0) != 0) sources.push_back(file);
    }
    RunResult r = RunDoc(dir, sources, "format.fmt");
    EXPECT_EQ(r.rc, 0) << name;
    EXPECT_EQ(r.err, "") << name;
    std::string expected = test::ReadFile(root + "/" + name + "/expected.out");
    EXPECT_EQ(test::FirstDifference(expected, r.output), "") << name;
  }
}

class DocExpansionTest : public ::testing::Test {
 protected:
  // A document from one C source and a format file whose [topic] "pre" is `pre`.
  RunResult Expand(const std::string& pre, const std::string& source = "// @doc\n// @t Name | text\n",
                   const std::string& more = "") {
    test::WriteFile(dir_.File("f.fmt"),
                    "[constant]\n.define=k, <K>\n[topic]\n.tag=t, doc, 2, 1, $1\n.pre=" + pre +
                        "\n[paragraph]\n.tag=p, doc, 1, 1\n.format=<$1>\n" + more +
                        "\n[extension]\n.ext=c, c\n[token]\n.output=doc, txt\n");
    test::WriteFile(dir_.File("a.c"), source);
    return RunDoc(dir_, {"a.c"}, "f.fmt");
  }
  test::TempDir dir_;
};

TEST_F(DocExpansionTest, CodesAndTheirEscapes) {
  struct Case {
    const char* pre;
    const char* output;
  } cases[] = {
      {"^^ $$ ## ^n", "^ $ # \r\n"},
      {"$1/$2", "Name/text"},
      {"#2", "text"},
      {"$t.1 $T.2", "Name text"},
      {"$p.1", ""},           // no such paragraph: nothing
      {"$!n $!N $!f $!l", "Name NAME a.c 2"},
      {"$(k)", "<K>"},
      {"$( k )", "<K>"},
      {"#x", "#x"},
  };
  for (const Case& c : cases) {
    RunResult r = Expand(c.pre);
    EXPECT_EQ(r.output, c.output) << c.pre;
    EXPECT_EQ(r.err, "") << c.pre;
  }
}

TEST_F(DocExpansionTest, ContextStringsAndTheDate) {
  EXPECT_EQ(ContextString("List::Add"), "List__Add");
  EXPECT_EQ(ContextString("a b.c_d"), "a_b.c_d");
  EXPECT_EQ(ContextString("x\\y"), "xy");
  EXPECT_EQ(ContextString("f(int)"), "f.28int.29");
  EXPECT_EQ(ContextString("Vec<T>x"), "Vec");
  EXPECT_EQ(ContextString("a<b"), "a.3cb");
  EXPECT_EQ(ContextString(std::string(300, 'a')).size(), 255u);
  RunResult lower = Expand("$!d");
  RunResult upper = Expand("$!D");
  ASSERT_EQ(lower.output.size(), 8u);
  EXPECT_EQ(lower.output[2], '/');
  EXPECT_EQ(lower.output[5], '/');
  EXPECT_EQ(lower.output, upper.output);
}

TEST_F(DocExpansionTest, ErrorsAreReportedWithTheDefinitionAndWritingGoesOn) {
  struct Case {
    const char* pre;
    const char* output;
    int code;
  } cases[] = {
      {"a^xb", "a^xb", 179},
      {"$3", "", 178},
      {"$%z", "%z", 115},
      {"$!q", "", 203},
      {"$(nosuch)", "", 186},
      {"$(k", "", 175},
      {"$[nosuch]", "", 187},
      {"$[ ]", "", 177},
      {"$[index]", "", 188},
      {"$[index:a", "", 180},
      {"$t.9", "", 182},
      {"$tx", "", 182},
  };
  for (const Case& c : cases) {
    RunResult r = Expand(c.pre);
    EXPECT_EQ(r.output, c.output) << c.pre;
    std::string where = dir_.File("f.fmt") + "(4): Error " + std::to_string(c.code) + ":";
    EXPECT_EQ(r.err.rfind(where, 0), 0u) << c.pre << "\n" << r.err;
    // Writing went on, and the run fails with the code of its first error.
    EXPECT_EQ(r.rc, c.code) << c.pre;
  }
}

TEST_F(DocExpansionTest, InlineTagsAndTheirErrors) {
  const char* text = "\n[text]\n.tag=b, doc, 2\n.format=[$2|$1]";
  struct Case {
    const char* field;
    const char* output;
    const char* error;  // empty for none
  } cases[] = {
      {"<b x.y>", "[y|x]", ""},
      {"<b x::y>", "[y|x]", ""},
      {"<b x\\.z.y\\>>", "[y>|x.z]", ""},
      {"<b x>", "[|x]", "Error 208: inline tag field count differs from its [text] definition: \"<b x>\""},
      // The words of an unknown tag are kept.
      {"<q x>", " x", "Error 191: inline tag without [text] definition: \"<q x>\""},
      {"<b x", "<b x", "Error 185: inline tag without \">\": \"<b x\""},
      {"may be < 0 or > 100.", "may be < 0 or > 100.",
       "Error 146: a name that is empty or longer than 64 characters: \"< 0 or > 100.\""},
      {"<b 1.2.3.4.5.6.7>", "[2|1]", "Error 201: inline tag with more than 6 fields: \"<b 1.2.3.4.5.6.7>\""},
  };
  for (const Case& c : cases) {
    // The text came from the source: the message names the source and the
    // line of its paragraph, not the format file, and quotes the text.
    RunResult r = Expand("$2", std::string("// @doc\n//\n// @t N | ") + c.field + "\n", text);
    EXPECT_EQ(r.output, c.output) << c.field;
    if (*c.error) {
      std::string first = dir_.File("a.c") + "(3): " + c.error + "\n";
      EXPECT_EQ(r.err.substr(0, first.size()), first) << c.field;
      EXPECT_NE(r.rc, 0) << c.field;
    } else {
      EXPECT_EQ(r.err, "") << c.field;
      EXPECT_EQ(r.rc, 0) << c.field;
    }
  }
}

// A format whose topic "t" has the order list `order`, over paragraphs a, b,
// c, p and z of level 1 and s of level 2 (in brackets).
std::string OrderFormat(const std::string& order) {
  return "[topic]\n.tag=t, doc, 1, 1, $1\n.order=" + order + "\n.pre=T\n.post=/T\n[paragraph]\n" +
         ".tag=a, doc, 1, 1\n.format=a$1\n.tag=b, doc, 1, 1\n.format=b$1\n.tag=c, doc, 1, 1\n.format=c$1\n" +
         ".tag=p, doc, 1, 1\n.format=p$1\n.tag=z, doc, 1, 1\n.format=z$1\n" +
         ".tag=s, doc, 1, 2\n.pre=(\n.format=s$1\n.post=)\n[extension]\n.ext=c, c\n[token]\n.output=doc, txt\n";
}

TEST_F(DocExpansionTest, UnorderedDeeperParagraphWaitsForTheFinalPass) {
  test::WriteFile(dir_.File("f.fmt"), OrderFormat("p"));
  test::WriteFile(dir_.File("a.c"), "// @doc\n// @t N\n// @c 1\n// @s 2\n// @p 3\n// @s 4\n// @x 5\n");
  RunResult r = RunDoc(dir_, {"a.c"}, "f.fmt");
  // Order pass: p3 and the s4 that nests under it. Final pass: c1, then s2
  // nested under c1.
  EXPECT_EQ(r.output, "Tp3(s4)c1(s2)/T");
  EXPECT_EQ(r.err, dir_.File("a.c") + "(7): Error 204: paragraph tag without [paragraph] definition\n");
}

// The order list taken against the source order: each name's paragraphs
// with the deeper ones that follow them, a name listed twice or unknown
// changing nothing, the rest in source order.
TEST_F(DocExpansionTest, OrderListAgainstTheSourceOrder) {
  test::WriteFile(dir_.File("f.fmt"), OrderFormat("c none b c a"));
  test::WriteFile(dir_.File("a.c"), "// @doc\n// @t N\n// @a 1\n// @s 2\n// @z 3\n// @b 4\n// @C 5\n// @s 6\n// @a 7\n");
  RunResult r = RunDoc(dir_, {"a.c"}, "f.fmt");
  // c: C5 and the s6 under it (a7 ends the run); b: b4; a: a1 with s2, then
  // a7; the final pass: z3.
  EXPECT_EQ(r.output, "Tc5(s6)b4a1(s2)a7z3/T");
  EXPECT_EQ(r.err, "");
}

TEST_F(DocExpansionTest, IndexEntriesReadNamedFieldsBack) {
  const char* more = "\n[file]\n.output=doc\n.pre=$[index]|\n[index]\n.output=doc\n.format=$!n:$t.2";
  RunResult r = Expand("", "// @doc\n// @t B | second\n// @t A | first\n", more);
  EXPECT_EQ(r.output, "A:first\r\nB:second\r\n|");
  EXPECT_EQ(r.err, "");
}

TEST_F(DocExpansionTest, ExamplesLoseTheirCommonIndentationByTabSize) {
  test::WriteFile(dir_.File("f.fmt"),
                  "[topic]\n.tag=t, doc, 0, 1, T\n"
                  "[paragraph]\n.tag=ex, doc, 1, 1, 1\n.format=$1\n"
                  "[extension]\n.ext=c, c\n[token]\n.output=doc, txt\n"
                  ".context=example\n.token=^T,<T>\n.token=^P,<L>\n.token=\\,\\\\\n");
  // Indentation: a tab; a tab and three blanks; three blanks.
  test::WriteFile(dir_.File("a.c"), "// @doc\n// @t\n// @ex\n//\tx = 1;\n//\t   y\\/z\\n\n//   }\n");
  struct Case {
    const char* tab;
    const char* output;
  } cases[] = {
      // Tab size 4: widths 4, 7, 3; less 4: 0, 3 blanks, nothing.
      {"4", "x = 1;<L>\r\n   y/z\\\\n<L>\r\n}"},
      // Tab size 2: widths 2, 5, 3; less 2: 0, a tab and a blank, a blank.
      {"2", "x = 1;<L>\r\n<T> y/z\\\\n<L>\r\n }"},
  };
  for (const Case& c : cases) {
    RunResult r = RunDoc(dir_, {"a.c"}, "f.fmt", {"-t", c.tab});
    EXPECT_EQ(r.output, c.output) << c.tab;
    EXPECT_EQ(r.err, "") << c.tab;
  }
}

TEST_F(DocExpansionTest, DiagramsAreCancelledByListedTags) {
  const char* more = "\n[diagram]\n.tag=d, doc, p\n.cancelifpresent=stop\n.pre=[\n.format=$1\n.post=]\n"
                     "[paragraph]\n.tag=stop, doc, 0, 1\n";
  RunResult shown = Expand("$[d]", "// @doc\n// @t N | x\n", more);
  EXPECT_EQ(shown.output, "[]");
  RunResult cancelled = Expand("$[d]", "// @doc\n// @t N | x\n// @stop\n", more);
  EXPECT_EQ(cancelled.output.substr(0, 1), "");
  EXPECT_EQ(cancelled.err, "");
}

// A format text that refers to itself, directly or through another, is
// stopped with an error naming its definition; the rest is written.
TEST_F(DocExpansionTest, SelfReferringTextsAreStopped) {
  struct Case {
    const char* name;
    const char* pre;
    const char* more;
    const char* output;
    const char* where;  // file line of the definition that holds the looping code
  } cases[] = {
      {"index in its own format", "<$[index]>", "\n[index]\n.output=doc\n.format=($!n$[index])", "<(Name)\r\n>", "(11)"},
      {"diagram in its own pre", "<$[d]>", "\n[diagram]\n.tag=d, doc, p\n.pre=[$[d]]", "<[]>", "(11)"},
      {"diagram and index in turn", "<$[d]>",
       "\n[diagram]\n.tag=d, doc, p\n.pre=[$[index]]\n[index]\n.output=doc\n.format=$[d]", "<[\r\n]>", "(14)"},
  };
  for (const Case& c : cases) {
    RunResult r = Expand(c.pre, "// @doc\n// @t Name | text\n", c.more);
    EXPECT_EQ(r.rc, kErrNestedTooDeep) << c.name;
    EXPECT_EQ(r.output, c.output) << c.name;
    EXPECT_EQ(r.err, dir_.File("f.fmt") + c.where +
                         ": Error 214: a format text that refers to itself: expansion nested too deep\n")
        << c.name;
  }
}

// The paragraphs of a diagram each take the first definition whose
// conditions hold for them: empty words can be left out item by item.
TEST_F(DocExpansionTest, DiagramItemsTakeTheirOwnConditionalFormat) {
  const char* more =
      "\n[diagram]\n"
      ".tag=d, doc, p\n.if=$1=skip\n.formatfirst=(none)\n.format=, (none)\n"
      ".tag=d, doc, p\n.pre=[\n.formatfirst=$1\n.format=, $1\n.post=]";
  RunResult r = Expand("$[d]", "// @doc\n// @t N | x\n// @p a\n// @p skip\n// @p c\n", more);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.output.substr(0, r.output.find('<')), "[a, (none), c]");
}

// Token replacements may end in ";" (entities), written "^;".
TEST_F(DocExpansionTest, TokenReplacementsMayHoldSemicolons) {
  test::WriteFile(dir_.File("f.fmt"),
                  "[topic]\n.tag=t, x, 2, 1, $1\n.pre=<p>$2</p>\n[extension]\n.ext=c, c\n"
                  "[token]\n.output=x, x\n.token=&,&amp^;; a comment\n.token=<,&lt^;\n.token=>,^^&gt^;\n"
                  ".highcharmask=none\n");
  test::WriteFile(dir_.File("a.c"), "// @doc\n// @t N | a\\<b && c\\>d \xc3\xa9\n");
  RunResult r = RunDoc(dir_, {"a.c"}, "f.fmt", {"-rx"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.output, "<p>a&lt;b &amp;&amp; c^&gt;d \xc3\xa9</p>");
}

// With the "utf-8" mask, UTF-8 passes and stray bytes are code page 1252;
// control characters become U+FFFD rather than raw bytes.
TEST_F(DocExpansionTest, Utf8MaskMakesWellFormedText) {
  test::WriteFile(dir_.File("f.fmt"),
                  "[topic]\n.tag=t, x, 2, 1, $1\n.pre=$2\n[extension]\n.ext=c, c\n"
                  "[token]\n.output=x, x\n.highcharmask=utf-8\n");
  test::WriteFile(dir_.File("a.c"), "// @doc\n// @t N | \xc3\xa9 \xe9 \x80 \x93q\x94 \x81 \x01 \xe2\x82\xac\n");
  RunResult r = RunDoc(dir_, {"a.c"}, "f.fmt", {"-rx"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.output,
            "\xc3\xa9 \xc3\xa9 \xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d \xef\xbf\xbd \xef\xbf\xbd \xe2\x82\xac");
}

// One broken code used by every topic is reported a few times, then summed up.
TEST_F(DocExpansionTest, RepeatedOutputErrorsAreSummarised) {
  std::string source = "// @doc\n";
  for (int i = 0; i < 12; ++i) source += "// @t N" + std::to_string(i) + " | x\n";
  RunResult r = Expand("$9", source);
  std::string line = dir_.File("f.fmt") + "(4): Error 178: field number that the current paragraph does not have\n";
  std::string expected;
  for (int i = 0; i < 5; ++i) expected += line;
  expected += dir_.File("f.fmt") + ": Error 178: field number that the current paragraph does not have ... and 7 more\n";
  EXPECT_EQ(r.err, expected);
}

}  // namespace
}  // namespace folios::docgen

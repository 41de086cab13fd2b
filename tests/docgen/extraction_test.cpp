// Comment tag extraction: documentation blocks, tags and fields, keyword
// lists and the extraction expression, duplicates, comment styles.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_messages.h"
#include "extraction.h"
#include "format_model.h"
#include "test_support.h"
#include "topic_collection.h"

namespace folios::docgen {
namespace {

const char kFormat[] =
    "[topic]\n"
    ".tag=func, doc, 3, 1, $2\n.parse=function\n"
    ".tag=topic, doc, 2, 1, $1\n"
    ".tag=bsub, doc, 3, 1, $2\n.parse=bsub\n"
    ".tag=mfunc, doc, 2, 1, $1::$2\n"
    "[paragraph]\n"
    ".tag=parm, doc, 3, 1\n.parse=parameter\n"
    ".tag=parmopt, doc, 4, 1\n.parse=parameteropt\n"
    ".tag=bparm, doc, 4, 1\n.parse=bparameter\n"
    ".tag=note, doc, 2, 1\n"
    ".tag=ex, doc, 2, 1, 1\n"
    ".tag=member, doc, 2, 1\n.map=mfunc, $topic.1, $1\n"
    "[extension]\n.ext=c, c\n.ext=bas, bas\n"
    "[token]\n.output=doc, txt\n";

class DocExtractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    long line = 0;
    ASSERT_EQ(model_.LoadText("t.fmt", kFormat, &line), 0) << line;
    ASSERT_EQ(spool_.Create(dir_.File("spool.tmp")), 0);
  }
  // Extracts `text` as file `name`; returns the messages.
  std::string Extract(const std::string& name, const std::string& text, const char* expression = "") {
    ExtractionExpression compiled;
    EXPECT_EQ(compiled.Compile(expression), 0);
    ExtractionSettings settings;
    settings.expression = &compiled;
    std::ostringstream out, err;
    ErrorLog log(err);
    ExtractText(name, text, &collection_, model_, settings, &spool_, out, log);
    return err.str();
  }
  // The fields of every paragraph of topic `i`, read back from the spool.
  std::vector<std::vector<std::string>> Fields(size_t i) {
    Topic& topic = collection_.topics()[i];
    EXPECT_EQ(spool_.Load(&topic), 0);
    std::vector<std::vector<std::string>> result;
    for (const Paragraph& p : topic.paragraphs) {
      std::vector<std::string> fields = p.fields;
      fields.insert(fields.begin(), p.tag);
      result.push_back(fields);
    }
    SpoolFile::Release(&topic);
    return result;
  }

  test::TempDir dir_;
  FormatModel model_{"doc"};
  SpoolFile spool_;
  TopicCollection collection_;
};

TEST_F(DocExtractionTest, FieldsComeFromCommentsAndCode) {
  std::string errors = Extract("a.c",
                               "/* @doc api\n"
                               " * @func Adds two numbers.\n"
                               " * @parm The left one.\n"
                               " * @parm The right\n"
                               " *       one.   \n"
                               " */\n"
                               "int Add(int a,\n"
                               "        long b) { return a + b; }\n");
  EXPECT_EQ(errors, "");
  ASSERT_EQ(collection_.topics().size(), 1u);
  const Topic& topic = collection_.topics()[0];
  EXPECT_EQ(topic.name, "Add");
  EXPECT_EQ(topic.context, "Add");
  EXPECT_EQ(topic.line, 2);
  EXPECT_EQ(Fields(0), (std::vector<std::vector<std::string>>{
                           {"func", "int", "Add", "Adds two numbers."},
                           {"parm", "int", "a", "The left one."},
                           {"parm", "long", "b", "The right\n       one."}}));
}

TEST_F(DocExtractionTest, FieldSeparatorsEscapesAndLineEnds) {
  std::string errors = Extract("a.c",
                               "// @doc\n"
                               "// @topic First | Second \\| still second   \n"
                               "//   and more\n"
                               "// @note a|b|c\n"
                               "// @note only one\n");
  EXPECT_EQ(errors,
            "a.c(4): Error 200: more fields than declared\n"
            "a.c(5): Error 207: field count differs from the definition\n");
  EXPECT_EQ(Fields(0), (std::vector<std::vector<std::string>>{
                           {"topic", "First", "Second | still second\n   and more"},
                           {"note", "a", "b"},
                           {"note", "only one"}}));
}

TEST_F(DocExtractionTest, ExamplesKeepTheirTextVerbatim) {
  Extract("a.c",
          "// @doc\n"
          "// @topic T | d\n"
          "// @ex Title |\n"
          "//     if (x) {\n"
          "//         y();   \n"
          "//     }\n"
          "\n");
  auto fields = Fields(0);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[1], (std::vector<std::string>{"ex", "Title", "\n     if (x) {\n         y();\n     }"}));
  EXPECT_TRUE(collection_.topics()[0].paragraphs[1].flags & kParagraphExample);
}

TEST_F(DocExtractionTest, BlocksAndKeywordListsFollowTheExpression) {
  const char* text =
      "// @doc PUBLIC GEOMETRY\n"
      "// @topic Area | public\n"
      "// @topic:(internal) Hidden | internal topic\n"
      "// @note skipped with its topic\n"
      "// @topic : ( extra public ) Shown | listed\n"
      "// @doc PRIVATE\n"
      "// @topic Secret | private block\n";
  Extract("a.c", text, "public | extra");
  std::vector<std::string> names;
  for (const Topic& t : collection_.topics()) names.push_back(t.name);
  // The PUBLIC block matches, so its topics without a list are kept; the
  // PRIVATE block is passed over whole.
  ASSERT_EQ(names, (std::vector<std::string>{"Area", "Shown"}));
  EXPECT_EQ(collection_.topics()[1].keywords, " EXTRA PUBLIC ");
  EXPECT_EQ(collection_.block(collection_.topics()[0].block_index), " PUBLIC GEOMETRY ");
}

TEST_F(DocExtractionTest, TagsOutsideBlocksAndBeforeTopics) {
  std::string errors = Extract("a.c",
                               "// @topic Outside | no block yet\n"
                               "// @doc\n"
                               "// @note too early | x\n"
                               "// @topic : (unclosed | y\n"
                               "// @unknown z\n");
  EXPECT_EQ(errors,
            "a.c(3): Error 206: a tag inside a documentation block before any topic tag\n"
            "a.c(4): Error 197: keyword list without \")\"\n"
            "a.c(5): Error 204: paragraph tag without [paragraph] definition\n");
  ASSERT_EQ(collection_.topics().size(), 1u);
  EXPECT_EQ(collection_.topics()[0].name, ": (unclosed");
}

TEST_F(DocExtractionTest, AFileWithoutDocLineYieldsNothing) {
  EXPECT_EQ(Extract("a.c", "/* @func Adds. */\nint Add(int a, int b);\n"), "");
  EXPECT_TRUE(collection_.topics().empty());
}

TEST_F(DocExtractionTest, DuplicateContextsGetSuffixes) {
  Extract("a.c", "// @doc\n// @topic Foo | 1\n// @topic foo | 2\n// @topic Foo | 3\n// @topic Foo_1 | 4\n");
  std::vector<std::string> contexts;
  for (const Topic& t : collection_.topics()) contexts.push_back(t.context);
  EXPECT_EQ(contexts, (std::vector<std::string>{"Foo", "foo_1", "Foo_2", "Foo_1_1"}));
}

TEST_F(DocExtractionTest, ContentsEntriesGiveWayToTopics) {
  Topic entry;
  entry.context = "Foo";
  collection_.Add(entry, kAddContents);
  collection_.Add(entry, kAddContents);
  Extract("a.c", "// @doc\n// @topic Foo | real\n");
  size_t live = 0;
  for (const Topic& t : collection_.topics()) live += t.removed ? 0 : 1;
  EXPECT_EQ(live, 1u);
  EXPECT_EQ(collection_.OutputOrder(true).size(), 1u);
  EXPECT_EQ(collection_.topics().back().context, "Foo");
}

TEST_F(DocExtractionTest, VisualBasicCommentsAndDeclarations) {
  std::string errors = Extract("m.bas",
                               "' @doc\r\n"
                               "' @bsub Prints it.\r\n"
                               "' @bparm The text.\r\n"
                               "Public Sub Show(ByVal Text As String)\r\n"
                               "    X = \"it's ' not a comment\" ' @note n | v\r\n");
  EXPECT_EQ(errors, "");
  EXPECT_EQ(Fields(0), (std::vector<std::vector<std::string>>{
                           {"bsub", "Public", "Show", "Prints it."},
                           {"bparm", "ByVal", "Text", "String", "The text."},
                           {"note", "n", "v"}}));
}

TEST_F(DocExtractionTest, CommentStylesAndDecoration) {
  struct Case {
    const char* name;
    const char* file;
    const char* text;
    const char* field;  // field 2 of the only topic
  } cases[] = {
      {"stars and equals are decoration", "a.c", "/* @doc\n ** @topic T | one\n *=*=* two\n */\n", "one\n two"},
      {"a run glued to text is kept", "a.c", "/* @doc\n * @topic T | one\n *bold* two\n */\n", "one\n *bold* two"},
      {"text before the closing mark", "a.c", "/* @doc\n @topic T | one\n two */\n", "one\n two"},
      {"line comments inside a block are ignored", "a.c", "/* @doc\n @topic T | one\n// not this\n two */\n",
       "one\n two"},
      {"a block comment ends the text", "a.c", "/* @doc */\n/* @topic T | one */\n/* more */\n", "one"},
      {"consecutive line comments continue it", "a.c", "// @doc\n// @topic T | one\n// two\n", "one\n two"},
      {"a blank line ends it", "a.c", "// @doc\n// @topic T | one\n\n// two\n", "one"},
      {"slashes in strings are no comment", "a.c",
       "// @doc\n// @topic T | one\nchar *s = \"// x\"; // two\n", "one"},
      {"assembler comments", "a.s", "; @doc\n; @topic T | one\n; two\n", "one\n two"},
  };
  long line = 0;
  ASSERT_EQ(model_.LoadText("s.fmt", "[extension]\n.ext=s, asm\n", &line), 0);
  for (const Case& c : cases) {
    TopicCollection fresh;
    std::swap(collection_, fresh);
    EXPECT_EQ(Extract(c.file, c.text), "") << c.name;
    ASSERT_EQ(collection_.topics().size(), 1u) << c.name;
    auto fields = Fields(0);
    ASSERT_EQ(fields[0].size(), 3u) << c.name;
    EXPECT_EQ(fields[0][2], c.field) << c.name;
  }
}

TEST_F(DocExtractionTest, TagTextHasALimit) {
  std::string text = "// @doc\n// @topic T | start\n";
  std::string line = "// " + std::string(997, 'w') + "\n";  // " www...", 998 bytes and a line feed
  for (int i = 0; i < 25; ++i) text += line;
  // " T | start\n" is 11 bytes; 11 + 24 * 999 = 23987 fit, the 25th line
  // would make 24986: its first 587 bytes fill the text up to 24575 with
  // the line feed, the rest is dropped.
  EXPECT_EQ(Extract("a.c", text), "a.c(27): Error 130: collected text of one tag longer than 24575 bytes\n");
  auto fields = Fields(0);
  // "start", 24 times a line feed and 998 bytes, a line feed and 587 bytes
  EXPECT_EQ(fields[0][2].size(), 5u + 24 * 999 + 1 + 587);
  EXPECT_EQ(fields[0][2].substr(fields[0][2].size() - 589), "w\n " + std::string(586, 'w'));
}

TEST_F(DocExtractionTest, UnknownExtensionIsReportedAndReadAsC) {
  std::string errors = Extract("x.pas", "// @doc\n// @topic T | d\n");
  EXPECT_EQ(errors, "x.pas: Error 184: file extension without an [extension] definition\n");
  EXPECT_EQ(collection_.topics().size(), 1u);
}

TEST_F(DocExtractionTest, SecondParagraphsBecomeTopicsThroughMaps) {
  std::string errors = Extract("a.c",
                               "// @doc\n"
                               "// @topic View | a view\n"
                               "// @member,mfunc Draw | draws\n"
                               "// @note n | after\n"
                               "// @member,nosuch X | y\n");
  EXPECT_EQ(errors, "a.c(5): Error 183: no map for a second paragraph\n");
  std::vector<std::string> names;
  for (const Topic& t : collection_.topics()) names.push_back(t.name);
  EXPECT_EQ(names, (std::vector<std::string>{"View::Draw", "View"}));
}

TEST_F(DocExtractionTest, DoubleAtTagsMakeASecondaryTopic) {
  EXPECT_EQ(Extract("a.c", "// @doc\n// @topic Main | m\n// @@topic Side | s\n// @note n | after\n"), "");
  ASSERT_EQ(collection_.topics().size(), 2u);
  EXPECT_EQ(collection_.topics()[0].name, "Side");
  EXPECT_EQ(collection_.topics()[1].name, "Main");
  EXPECT_EQ(Fields(1), (std::vector<std::vector<std::string>>{{"topic", "Main", "m"}, {"note", "n", "after"}}));
}

TEST_F(DocExtractionTest, DeclarationsJoinLinesUpToTheLimit) {
  std::string long_line(600, 'x');
  std::string errors = Extract("a.c",
                               "// @doc\n"
                               "// @func Split head.\n"
                               "static int\n"
                               "Split(void);\n"
                               "// @func Endless.\n"
                               "int " + long_line + "\n" + long_line + "\n");
  EXPECT_EQ(errors,
            "a.c(6): Error 127: a declaration spread over lines grew past 1023 characters\n"
            "a.c(5): Error 207: field count differs from the definition\n");
  EXPECT_EQ(collection_.topics()[0].name, "Split");
}

TEST(DocKeywordLists, AreNormalizedToUpperCaseWordsBetweenBlanks) {
  EXPECT_EQ(NormalizeKeywords("  public\tapi  "), " PUBLIC API ");
  EXPECT_EQ(NormalizeKeywords("a*b c"), " A ");
  EXPECT_EQ(NormalizeKeywords("one\ntwo"), " ONE ");
  EXPECT_EQ(NormalizeKeywords(""), " ");
  EXPECT_EQ(NormalizeKeywords(std::string(70, 'k')), " " + std::string(64, 'K') + " ");
}

TEST(DocExtractionExpressions, CompileAndMatch) {
  struct Case {
    const char* expression;
    const char* keywords;
    int result;
    bool matches;
  } cases[] = {
      {"", " ANY ", 0, true},
      {"api", " X API ", 0, true},
      {"api", " APIS ", 0, false},
      {"a b", " B ", 0, true},             // nothing between terms means "or"
      {"a & b", " A ", 0, false},
      {"a | b & c", " A ", 0, false},      // left to right: (a | b) & c
      {"a | (b & c)", " A ", 0, true},
      {"a &", "", kErrExprSyntax, false},
      {"a & &", "", kErrExprSyntax, false},
      {"a, b", "", kErrExprOperator, false},
      {"(a | b", "", kErrExprParen, false},
      {"a)", "", kErrExprOperator, false},
  };
  for (const Case& c : cases) {
    ExtractionExpression e;
    EXPECT_EQ(e.Compile(c.expression), c.result) << c.expression;
    if (c.result == 0) {
      EXPECT_EQ(e.Matches(c.keywords), c.matches) << c.expression;
    }
  }
  ExtractionExpression e;
  EXPECT_EQ(e.Compile(std::string(65, 'w')), kErrExprWordTooLong);
  EXPECT_EQ(e.Compile("a, b", true), 0);  // index filters read "," as "or"
  EXPECT_TRUE(e.Matches(" B "));
}

// A default that is no plain name (-1, "r", 'a', {}) is read as a default;
// the topic after it keeps its tags.
TEST_F(DocExtractionTest, DefaultsOfEveryFormKeepTheNextTopic) {
  std::string errors = Extract("a.c",
                               "// @doc\n"
                               "// @func Sets the level.\n"
                               "// @parmopt The level.\n"
                               "void set_level(int n = -1);\n"
                               "// @func Opens.\n"
                               "// @parmopt The mode.\n"
                               "// @parmopt The fill.\n"
                               "// @parmopt The size.\n"
                               "FILE* open(const char* mode = \"r\", char fill = 'a',\n"
                               "           Size size = {});\n"
                               "// @func Closes.\n"
                               "void close();\n");
  EXPECT_EQ(errors, "");
  ASSERT_EQ(collection_.topics().size(), 3u);
  EXPECT_EQ(Fields(0)[1], (std::vector<std::string>{"parmopt", "int", "n", "-1", "The level."}));
  auto open = Fields(1);
  ASSERT_EQ(open.size(), 4u);
  EXPECT_EQ(open[1], (std::vector<std::string>{"parmopt", "const char*", "mode", "\"r\"", "The mode."}));
  EXPECT_EQ(open[2], (std::vector<std::string>{"parmopt", "char", "fill", "'a'", "The fill."}));
  EXPECT_EQ(open[3], (std::vector<std::string>{"parmopt", "Size", "size", "{}", "The size."}));
  EXPECT_EQ(collection_.topics()[2].name, "close");
}

// A declaration that never completes is joined with code lines only: the
// comment lines after it, and their tags, are left for the next topic.
TEST_F(DocExtractionTest, AnUnfinishedDeclarationNeverSwallowsComments) {
  std::string errors = Extract("a.c",
                               "// @doc\n"
                               "// @func Broken.\n"
                               "// @parm First.\n"
                               "void broken(int\n"
                               "            a  // trailing words are no code\n"
                               "// @func Next.\n"
                               "// @parm The value.\n"
                               "int next(int value);\n"
                               "/* @func Last.\n"
                               " * @parm X.\n"
                               " * @parm Y.\n"
                               " */\n"
                               "void last(int x, /* a block comment that goes on\n"
                               "   int not_code) */\n");
  EXPECT_EQ(errors,
            "a.c(5): Error 195: the declaration is not complete\n"
            "a.c(13): Error 195: the declaration is not complete\n");
  ASSERT_EQ(collection_.topics().size(), 3u);
  EXPECT_EQ(collection_.topics()[1].name, "next");
  EXPECT_EQ(Fields(1)[1], (std::vector<std::string>{"parm", "int", "value", "The value."}));
}

TEST_F(DocExtractionTest, AnExplicitlyEmptyLastFieldIsAField) {
  std::string errors = Extract("a.c",
                               "// @doc\n"
                               "// @topic T | Text\n"
                               "// @note a |\n"
                               "// @note b | \n"
                               "//\n"
                               "// @note c\n");
  EXPECT_EQ(errors, "a.c(6): Error 207: field count differs from the definition\n");
  auto fields = Fields(0);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[1], (std::vector<std::string>{"note", "a", ""}));
  EXPECT_EQ(fields[2], (std::vector<std::string>{"note", "b", ""}));
  EXPECT_EQ(fields[3], (std::vector<std::string>{"note", "c"}));
}

TEST_F(DocExtractionTest, LoneCarriageReturnsEndLines) {
  // An old Mac file: CR only. Mixed with CR LF and LF, every form ends a line.
  std::string errors = Extract("a.c",
                               "// @doc\r// @func Adds.\r// @parm Left.\r\n"
                               "int add(int a);\n// @func Subtracts.\rint sub(void);\r");
  EXPECT_EQ(errors, "");
  ASSERT_EQ(collection_.topics().size(), 2u);
  EXPECT_EQ(Fields(0)[0], (std::vector<std::string>{"func", "int", "add", "Adds."}));
  EXPECT_EQ(Fields(0)[1], (std::vector<std::string>{"parm", "int", "a", "Left."}));
  EXPECT_EQ(collection_.topics()[1].name, "sub");
  EXPECT_EQ(collection_.topics()[1].line, 5);
}

// A flood of one error is summarised after the first few for each file.
TEST_F(DocExtractionTest, RepeatedErrorsAreSummarised) {
  std::string text = "// @doc\n// @topic T | start\n";
  std::string line = "// " + std::string(1000, 'w') + "\n";
  for (int i = 0; i < 1030; ++i) text += line;
  std::string errors = Extract("a.c", text);
  // 24 lines fit whole, the 25th in part; 1006 more are over the limit.
  std::string expected;
  for (int n = 27; n < 32; ++n) {
    expected += "a.c(" + std::to_string(n) + "): Error 130: collected text of one tag longer than 24575 bytes\n";
  }
  expected += "a.c: Error 130: collected text of one tag longer than 24575 bytes ... and 1,001 more\n";
  EXPECT_EQ(errors, expected);
  EXPECT_EQ(Fields(0)[0][2].size(), 24575u - std::string(" T | \n").size());
}

}  // namespace
}  // namespace folios::docgen

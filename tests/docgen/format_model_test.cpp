// The format-file reader: one small file per error code, text values, active
// and skipped definitions, lookups with conditions, field patterns.
#include <dirent.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_messages.h"
#include "format_model.h"
#include "test_support.h"

namespace folios::docgen {
namespace {

// format_errors/eCODE_LINE[_what].fmt must fail with CODE at LINE.
TEST(DocFormatFileErrors, EveryFileFailsWithTheCodeAndLineItsNameGives) {
  std::string dir = test::TestSourceDir() + "/docgen/format_errors";
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  ASSERT_NE(d, nullptr);
  while (dirent* entry = readdir(d)) {
    std::string name = entry->d_name;
    if (name.size() > 4 && name.substr(name.size() - 4) == ".fmt") names.push_back(name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  ASSERT_GE(names.size(), 45u);
  for (const std::string& name : names) {
    int code = std::stoi(name.substr(1, 3));
    long line = std::stol(name.substr(5));
    FormatModel model("doc");
    std::ostringstream out;
    long stopped = 0;
    int rc = model.Load(dir + "/" + name, "", false, out, &stopped);
    EXPECT_EQ(rc, code) << name;
    EXPECT_EQ(stopped, line) << name;
  }
}

TEST(DocFormatFileErrors, MissingFileIsNotFoundAndAbsoluteNamesAreNotSearched) {
  test::TempDir dir;
  test::WriteFile(dir.File("Found.fmt"), "[token]\n.output=doc, rtf\n");
  FormatModel model("doc");
  std::ostringstream out;
  long line = 0;
  EXPECT_EQ(model.Load("/nonexistent/Found.fmt", dir.path(), false, out, &line), kErrNotFound);
  EXPECT_EQ(model.Load("Missing.fmt", dir.path(), false, out, &line), kErrNotFound);
  // A plain name is found in the fallback directory.
  EXPECT_EQ(model.Load("Found.fmt", dir.path(), true, out, &line), 0);
  EXPECT_EQ(out.str(), "Getting tags from " + dir.File("Found.fmt") + "\n");
}

TEST(DocFormatFileErrors, MessagesCarryCodeAndText) {
  std::ostringstream err;
  ErrorLog log(err);
  ReportError(log, "LFX.fmt", 12, kErrUnknownSection);
  ReportError(log, "", 0, 105);
  ReportError(log, "a.c", 0, 3);  // a raw cause is raised by 100
  EXPECT_EQ(err.str(),
            "LFX.fmt(12): Error 143: unknown section name\n"
            "Error 105: access denied\n"
            "a.c: Error 103: bad path\n");
  // Each line is kept with its code, file and line.
  ASSERT_EQ(log.errors().size(), 3u);
  EXPECT_EQ(log.errors()[0].code, kErrUnknownSection);
  EXPECT_EQ(log.errors()[0].file, "LFX.fmt");
  EXPECT_EQ(log.errors()[0].line, 12);
  EXPECT_EQ(log.errors()[1].file, "");
  EXPECT_EQ(log.errors()[2].code, 103);
  EXPECT_EQ(log.errors()[2].text, "a.c: Error 103: bad path");
  EXPECT_EQ(DocMessage(999), "Error 999");
}

struct TextValueCase {
  const char* name;
  const char* file;
  const char* pre;
  const char* post;
};

TEST(DocFormatFileTextValues, KeepEveryCharacterWithEitherLineEnd) {
  const TextValueCase cases[] = {
      {"one line, LF", "[file]\n.output=doc\n.pre=abc\n.post=xyz\n", "abc", "xyz"},
      {"one line, CR LF", "[file]\r\n.output=doc\r\n.pre=abc\r\n.post=xyz\r\n", "abc", "xyz"},
      {"lines and an empty line belong to the value", "[file]\n.output=doc\n.pre=a\nb, c\n\nd\n.post=\n",
       "a\nb, c\n\nd", ""},
      {"CR LF inside a value stays", "[file]\r\n.output=doc\r\n.pre=a\r\nb\r\n.post=z", "a\r\nb", "z"},
      {"value at the end without a line break", "[file]\n.output=doc\n.post=x\n.pre=ab", "ab", "x"},
      {"one character at the end", "[file]\n.output=doc\n.pre=a", "a", ""},
      {"only a line break is empty", "[file]\n.output=doc\n.pre=\n.post=q\n", "", "q"},
      {"a comment line ends a value", "[file]\n.output=doc\n.pre=a\n; note\n.post=b\n", "a", "b"},
      {"a section header ends a value", "[file]\n.output=doc\n.pre=a\n[token]\n.output=doc, rtf\n", "a", ""},
  };
  for (const TextValueCase& c : cases) {
    FormatModel model("doc");
    long line = 0;
    ASSERT_EQ(model.LoadText("t.fmt", c.file, &line), 0) << c.name;
    const Definition* file = model.First(kSectionFile);
    ASSERT_NE(file, nullptr) << c.name;
    EXPECT_EQ(file->text[kSlotPre], c.pre) << c.name;
    EXPECT_EQ(file->text[kSlotPost], c.post) << c.name;
  }
}

TEST(DocFormatFileDefinitions, InactiveDefinitionsAndAllTheirKeywordsAreSkipped) {
  const char* text =
      "[file]\n.output=help\n.pre=a\n.pre=b\n.output=doc\n.pre=doc text\n"
      "[token]\n.output=doc, rtf\n";
  FormatModel model("doc");
  long line = 0;
  ASSERT_EQ(model.LoadText("t.fmt", text, &line), 0);
  ASSERT_EQ(model.section(kSectionFile).size(), 1u);
  EXPECT_EQ(model.First(kSectionFile)->text[kSlotPre], "doc text");
  EXPECT_EQ(model.First(kSectionFile)->line, 5);
  FormatModel help("HELP");
  EXPECT_EQ(help.LoadText("t.fmt", text, &line), kErrTextTwice);
  EXPECT_EQ(line, 4);
}

TEST(DocFormatFileDefinitions, BothIsActiveForDocAndHelpOnly) {
  const char* text = "[paragraph]\n.tag=parm, both, 2, 1\n";
  for (const char* type : {"doc", "help", "rtf"}) {
    FormatModel model(type);
    long line = 0;
    ASSERT_EQ(model.LoadText("t.fmt", text, &line), 0);
    EXPECT_EQ(model.section(kSectionParagraph).size(), std::string(type) == "rtf" ? 0u : 1u) << type;
  }
}

TEST(DocFormatFileDefinitions, TopicKeywordsAreStored) {
  const char* text =
      "[topic]\n.tag=func, doc, 3, -2, $2\n.context=f_$<2\n.order=parm rdesc, comm\n.order=parm ex\n"
      ".parse=function\n"
      "[paragraph]\n.tag=ex, doc, 2, 3, 1\n.map=func, $1, $func.2\n"
      "[diagram]\n.tag=sig, doc, parm\n.cancelifpresent=NoSig other, third\n"
      "[extension]\n.ext=bas, BAS\n.ext=s, asm\n.ext=x, generic\n.genericdelim=!\n.linecont=_\n"
      "[token]\n.output=doc, rtf\n.token=^p,\\par\n.context=example\n.token=a,b c\n.highcharmask=  rtf\n";
  FormatModel model("doc");
  long line = 0;
  ASSERT_EQ(model.LoadText("t.fmt", text, &line), 0) << line;
  const Definition* func = model.Find(kSectionTopic, "FUNC", nullptr);
  ASSERT_NE(func, nullptr);
  EXPECT_EQ(func->field_count, 3);
  EXPECT_EQ(func->level, -2);
  EXPECT_EQ(func->parse, kDeclFunction);
  EXPECT_EQ(func->order, (std::vector<std::string>{"parm", "rdesc", "comm", "ex"}));
  ASSERT_TRUE(func->has_context);
  ASSERT_EQ(func->context_pattern.size(), 2u);
  EXPECT_EQ(func->context_pattern[1].kind, PatternPart::kFieldHead);
  const Definition* ex = model.Find(kSectionParagraph, "ex", nullptr);
  ASSERT_NE(ex, nullptr);
  EXPECT_TRUE(ex->example);
  EXPECT_EQ(ex->level, 3);
  ASSERT_EQ(ex->maps.size(), 1u);
  EXPECT_EQ(ex->maps[0].target, "func");
  ASSERT_EQ(ex->maps[0].references.size(), 2u);
  EXPECT_EQ(ex->maps[0].references[1].kind, PatternPart::kNamedField);
  const Definition* sig = model.Find(kSectionDiagram, "sig", nullptr);
  ASSERT_NE(sig, nullptr);
  EXPECT_EQ(sig->second_name, "parm");
  EXPECT_EQ(sig->cancel, (std::vector<std::string>{"nosig", "other", "third"}));
  EXPECT_EQ(model.FindExtension("BAS")->style, kStyleBas);
  EXPECT_EQ(model.FindExtension("bas")->delimiter, '\'');
  EXPECT_EQ(model.FindExtension("s")->delimiter, ';');
  EXPECT_EQ(model.FindExtension("x")->delimiter, '!');
  EXPECT_EQ(model.FindExtension("x")->line_continuation, '_');
  const Definition* token = model.First(kSectionToken);
  ASSERT_EQ(token->replacements.size(), 2u);
  // Newest first, each with the context in force when it was read.
  EXPECT_EQ(token->replacements[0].character, 'a');
  EXPECT_EQ(token->replacements[0].text, "b c");
  EXPECT_EQ(token->replacements[0].context, 1);
  EXPECT_EQ(token->replacements[1].character, '\n');
  EXPECT_EQ(token->replacements[1].text, "\\par");
  EXPECT_EQ(token->replacements[1].context, 0);
  EXPECT_EQ(token->high_char_mask, "rtf");
}

TEST(DocFormatFileDefinitions, AnEarlierTokenSectionSatisfiesALaterEmptyOne) {
  FormatModel model("doc");
  long line = 0;
  EXPECT_EQ(model.LoadText("a.fmt", "[token]\n.output=doc, rtf\n", &line), 0);
  EXPECT_EQ(model.LoadText("b.fmt", "[token]\n.output=help, hlp\n", &line), 0);
  std::ostringstream err;
  ErrorLog log(err);
  EXPECT_TRUE(model.Validate(log));
  FormatModel empty("doc");
  EXPECT_FALSE(empty.Validate(log));
  EXPECT_EQ(err.str(), "Error 169: no token definition for the output type 'doc' (the format files define no output type)\n");
}

// An output type the format files have no [token] definition for is named,
// with the types they define ("both" standing for doc and help).
TEST(DocFormatFileDefinitions, AnUnknownOutputTypeIsNamedWithTheTypesThereAre) {
  FormatModel model("xyz");
  long line = 0;
  EXPECT_EQ(model.LoadText("a.fmt", "[token]\n.output=both, rtf\n.output=html, html\n.output=HTML, htm\n", &line),
            kErrNoToken);
  EXPECT_EQ(model.NoTokenReason(), "no token definition for the output type 'xyz' (the format files define doc, help, html)");
}

TEST(DocFormatFileDefinitions, ConstantsFromOptionsComeFirst) {
  FormatModel model("doc");
  model.DefineConstantFirst("title", "From option");
  long line = 0;
  ASSERT_EQ(model.LoadText("a.fmt", "[constant]\n.define=title, From file\n.define=other, x\n", &line), 0);
  EXPECT_EQ(model.Find(kSectionConstant, "TITLE", nullptr)->text[kSlotPre], "From option");
  EXPECT_EQ(model.Find(kSectionConstant, "other", nullptr)->text[kSlotPre], "x");
  // An inactive "output" line hides the constants that follow it.
  FormatModel help("help");
  ASSERT_EQ(help.LoadText("a.fmt", "[constant]\n.output=doc\n.define=a, 1\n.output=help\n.define=b, 2\n", &line), 0);
  EXPECT_EQ(help.Find(kSectionConstant, "a", nullptr), nullptr);
  EXPECT_NE(help.Find(kSectionConstant, "b", nullptr), nullptr);
}

// A condition context over a fixed paragraph and topic.
class FakeContext : public ConditionContext {
 public:
  std::vector<std::string> fields;
  std::vector<std::string> tags;
  std::vector<std::string> contexts;
  bool ContextExists(const std::string& c) const override {
    return std::find(contexts.begin(), contexts.end(), c) != contexts.end();
  }
  bool TopicHasTag(const std::string& tag) const override {
    for (const std::string& t : tags) {
      if (EqualsNoCase(t, tag)) return true;
    }
    return false;
  }
  PatternScope Scope() const override { return PatternScope{&fields, &topic_tag, &fields}; }
  std::string topic_tag = "func";
};

TEST(DocFormatFileLookup, TheFirstDefinitionWhoseConditionsHoldIsUsed) {
  const char* text =
      "[paragraph]\n"
      ".tag=parm, doc, 2, 1\n.if=tagexists(rdesc), $1=int\n.if=exists(K_$2)\n.format=first\n"
      ".tag=parm, doc, 2, 1\n.if=fieldempty(2)\n.format=second\n"
      ".tag=parm, doc, 2, 1\n.format=third\n";
  FormatModel model("doc");
  long line = 0;
  ASSERT_EQ(model.LoadText("t.fmt", text, &line), 0);
  struct Case {
    std::vector<std::string> fields, tags, contexts;
    const char* expected;
  } cases[] = {
      {{"INT", "x"}, {"rdesc"}, {}, "first"},     // both conditions of the first line
      {{"int", "x"}, {}, {"K_x"}, "first"},       // the second line
      {{"long", "x"}, {"rdesc"}, {}, "third"},     // $1=int fails, field 2 is set
      {{"long", ""}, {}, {}, "second"},
      {{"long"}, {}, {}, "second"},                 // an absent field is empty
  };
  for (const Case& c : cases) {
    FakeContext context;
    context.fields = c.fields;
    context.tags = c.tags;
    context.contexts = c.contexts;
    const Definition* d = model.Find(kSectionParagraph, "parm", &context);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->text[kSlotFormat], c.expected) << c.fields[0];
  }
  // Without a context (extraction) conditions are not evaluated.
  EXPECT_EQ(model.Find(kSectionParagraph, "parm", nullptr)->text[kSlotFormat], "first");
}

TEST(DocFieldPatterns, RenderFieldsHeadsNamedFieldsAndEscapes) {
  struct Case {
    const char* pattern;
    std::vector<std::string> fields;
    const char* expected;
  } cases[] = {
      {"$2", {"int", "Foo"}, "Foo"},
      {"$<1::$2", {"List\\<T\\>", "Add"}, "List::Add"},
      {"$<1", {"Plain"}, "Plain"},
      {"x$func.1y", {"a\\.b"}, "xa.by"},
      {"$other.1", {"a"}, ""},
      {"$1", {"a\\@b\\\\c\\|d"}, "a@b\\c\\|d"},
      {"$3", {"a"}, ""},
  };
  for (const Case& c : cases) {
    FieldPattern pattern;
    size_t pos = 0;
    ASSERT_EQ(ParsePattern(c.pattern, &pos, 0, &pattern), 0) << c.pattern;
    std::string tag = "FUNC";
    PatternScope scope{&c.fields, &tag, &c.fields};
    EXPECT_EQ(RenderPattern(pattern, scope), c.expected) << c.pattern;
  }
  // Patterns end at a blank, ")", ",", ";" or "=".
  FieldPattern pattern;
  size_t pos = 0;
  ASSERT_EQ(ParsePattern("a$1=b", &pos, 0, &pattern), 0);
  EXPECT_EQ(pos, 3u);
  std::vector<std::string> big(1, std::string(300, 'x'));
  PatternScope scope{&big, nullptr, nullptr};
  pos = 0;
  ASSERT_EQ(ParsePattern("$1", &pos, 0, &pattern), 0);
  EXPECT_EQ(RenderPattern(pattern, scope).size(), 256u);
}

}  // namespace
}  // namespace folios::docgen

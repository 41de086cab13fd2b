// Whitespace, keyword lookup and the HTML script gate.
#include <gtest/gtest.h>

#include "output_stage.h"
#include "script_gate.h"

namespace folios {
namespace {

TEST(MakeWhitespace, TabsThenSpacesUpToTheColumn) {
  struct Case {
    bool tabs;
    int start, width;
    const char* expected;
  } cases[] = {
      {false, 0, 5, "     "},
      {false, 3, 0, ""},
      {false, 3, -2, ""},
      {true, 0, 9, "\t\t "},  // an indent of 9 columns
      {true, 9, 1, " "},      // one column after code ending at column 9
      {true, 9, 5, "\t  "},   // from column 9 to column 14
      {true, 0, 4, "\t"},
      {true, 1, 2, "  "},     // no tab stop crossed
      {true, 2, 6, "\t\t"},   // 2 -> 4 -> 8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeWhitespace(c.tabs, c.start, c.width, 4), c.expected)
        << c.tabs << " " << c.start << " " << c.width;
  }
}

TEST(HangKeywords, FirstMatchingRowWins) {
  struct Case {
    const char* text;
    int kind;
  } cases[] = {
      {"if (a)", 1},      {"while (x)", 1}, {"for (;;)", 1},     {"else", 1},     {"case 1:", 2},
      {"default:", 2},    {"public:", 2},   {"protected:", 2},   {"private:", 2}, {"do", 3},
      {"switch (x)", 3},  {"iffy = 1;", 0}, {"do_it();", 0},     {"$if", 0},      {"elsewhere", 0},
      {"if$x", 0},        {"x = 1;", 0},    {"", 0},             {"case_1:", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(HangKeywordKind(c.text), c.kind) << c.text;
}

TEST(HangKeywords, BareElseHoldsNoStatement) {
  EXPECT_TRUE(IsBareElse("else", ""));
  EXPECT_TRUE(IsBareElse("else if (a)", ""));
  EXPECT_TRUE(IsBareElse("else for (i = 0; i < n; i++)", ""));  // semicolons inside parentheses
  EXPECT_FALSE(IsBareElse("else x();", ""));
  EXPECT_FALSE(IsBareElse("elsewhere", ""));
  EXPECT_FALSE(IsBareElse("x = 1;", ""));
  // A semicolon inside a literal does not count.
  EXPECT_TRUE(IsBareElse("else s(\";\")", ".... ..\"\"\"."));
}

TEST(ScriptGate, FormatsOnlyScriptSectionsOfHtml) {
  struct Step {
    const char* line;
    bool copy;
  };
  const std::vector<std::vector<Step>> pages = {
      // A source file: everything is formatted, leading blank lines decide nothing.
      {{"", false}, {"   ", false}, {"int x;", false}, {"<SCRIPT>", false}, {"y;", false}},
      // A page with two sections; tags are case-blind and may be indented.
      {{"  <html>", true},
       {"  <script>  ", true},
       {"x();", false},
       {" </SCRIPT>", true},
       {"text", true},
       {"<Server>", true},
       {"y();", false},
       {"</server>", true},
       {"z", true}},
      // A tag with attributes opens nothing.
      {{"<p>", true}, {"<SCRIPT LANGUAGE=x>", true}, {"if (c) d();", true}, {"</SCRIPT>", true}},
      // A section left open runs to the end.
      {{"<SCRIPT>", true}, {"a;", false}, {"b;", false}},
  };
  for (size_t i = 0; i < pages.size(); ++i) {
    ScriptGate gate;
    for (const Step& step : pages[i]) {
      EXPECT_EQ(gate.CopyUnchanged(step.line), step.copy) << "page " << i << ": " << step.line;
    }
  }
}

}  // namespace
}  // namespace folios

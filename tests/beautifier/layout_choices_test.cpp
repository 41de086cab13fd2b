// The small judgements behind the layout choices: statement labels, function
// heads, what a brace opens, and the columns under open parentheses.
#include <gtest/gtest.h>

#include <string>

#include "layout_choices.h"
#include "line_scan.h"

namespace folios {
namespace {

// The text of one line as the scan cleans it, with its marks.
struct Scanned {
  std::string text;
  CharStateMap map;
};

Scanned Scan(const std::string& line) {
  ScanState state;
  Scanned s;
  ScanLine(line, 4, &state, &s.text, &s.map);
  return s;
}

TEST(LayoutChoices, StatementLabels) {
  for (const char* label : {"out:", "fail: return -1;", "again :", "_retry:"}) {
    Scanned s = Scan(label);
    EXPECT_TRUE(StartsWithStatementLabel(s.text, s.map)) << label;
  }
  for (const char* other : {"case 1:", "default:", "public:", "private :", "std::cout << x;", "a ? b : c;",
                            "unsigned lru:24;", "signals:", "slots:", "1:", "x", "\"a:\"", "f(a):", ""}) {
    Scanned s = Scan(other);
    EXPECT_FALSE(StartsWithStatementLabel(s.text, s.map)) << other;
  }
}

TEST(LayoutChoices, FunctionHeads) {
  for (const char* head : {"int main(void)", "void C::f() const", "auto g() noexcept",
                           "void h() const override final", "int k(int a) /* note */"}) {
    Scanned s = Scan(head);
    EXPECT_TRUE(EndsLikeFunctionHead(s.text, s.map)) << head;
  }
  for (const char* other : {"struct point", "namespace n", "int a[] =", "enum class E", "x = f(\")\"", "const",
                            "extern \"C\"", ""}) {
    Scanned s = Scan(other);
    EXPECT_FALSE(EndsLikeFunctionHead(s.text, s.map)) << other;
  }
}

TEST(LayoutChoices, WhatABraceOpens) {
  EXPECT_EQ(BodyOpenedBy("namespace a"), BraceBody::kNamespace);
  EXPECT_EQ(BodyOpenedBy("namespace"), BraceBody::kNamespace);
  EXPECT_EQ(BodyOpenedBy("inline  namespace v1"), BraceBody::kNamespace);
  EXPECT_EQ(BodyOpenedBy("namespaces"), BraceBody::kPlain);
  EXPECT_EQ(BodyOpenedBy("switch (x)"), BraceBody::kSwitch);
  EXPECT_EQ(BodyOpenedBy("do"), BraceBody::kDo);
  EXPECT_EQ(BodyOpenedBy("do  "), BraceBody::kDo);
  EXPECT_EQ(BodyOpenedBy("do_it()"), BraceBody::kPlain);
  EXPECT_EQ(BodyOpenedBy("double d ="), BraceBody::kPlain);

  BraceBodies bodies;
  EXPECT_TRUE(bodies.OnlyNamespaces());
  EXPECT_EQ(bodies.Close(), BraceBody::kPlain);  // more closing braces than opening ones
  bodies.Open(BraceBody::kNamespace);
  EXPECT_TRUE(bodies.OnlyNamespaces());
  bodies.Open(BraceBody::kSwitch);
  EXPECT_FALSE(bodies.OnlyNamespaces());
  EXPECT_EQ(bodies.Close(), BraceBody::kSwitch);
  EXPECT_EQ(bodies.Close(), BraceBody::kNamespace);
  EXPECT_TRUE(bodies.Empty());
  // Nesting beyond the bound is counted, so the outer bodies come back.
  bodies.Open(BraceBody::kDo);
  for (int i = 0; i < 10000; ++i) bodies.Open(BraceBody::kSwitch);
  for (int i = 0; i < 10000; ++i) bodies.Close();
  EXPECT_EQ(bodies.Close(), BraceBody::kDo);
}

TEST(LayoutChoices, CuddledKeywords) {
  EXPECT_TRUE(CuddlesAfterBrace("else {", false));
  EXPECT_TRUE(CuddlesAfterBrace("catch (...) {", false));
  EXPECT_TRUE(CuddlesAfterBrace("finally {", false));
  EXPECT_TRUE(CuddlesAfterBrace("while (x);", true));
  EXPECT_FALSE(CuddlesAfterBrace("while (x) {", false));  // a loop of its own after a block
  EXPECT_FALSE(CuddlesAfterBrace("elsewhere();", false));
}

TEST(LayoutChoices, ColumnsUnderOpenParentheses) {
  ParenColumns columns;
  Scanned s = Scan("x = f(a, g( b,");
  columns.Note(s.text, s.map, 4, false);
  EXPECT_EQ(columns.Innermost(), 4 + 12);  // the "b", past the blank
  s = Scan("c),");
  columns.Note(s.text, s.map, 16, true);
  EXPECT_EQ(columns.Innermost(), 4 + 6);  // back to the "a"
  s = Scan("d) + h(  // note");
  columns.Note(s.text, s.map, 10, true);
  EXPECT_EQ(columns.Innermost(), ParenColumns::kAtLineEnd);  // only a comment after it
  // A parenthesis inside a literal or a comment is none.
  s = Scan("y = \"(\" /* ( */;");
  columns.Note(s.text, s.map, 0, false);
  EXPECT_EQ(columns.Innermost(), ParenColumns::kAtLineEnd);
  // A line outside all parentheses forgets the columns of earlier lines.
  s = Scan("k(a,");
  columns.Note(s.text, s.map, 0, false);
  EXPECT_EQ(columns.Innermost(), 2);
  s = Scan("z;");
  columns.Note(s.text, s.map, 0, false);
  EXPECT_EQ(columns.Innermost(), ParenColumns::kAtLineEnd);
}

TEST(LayoutChoices, GapsOfKeptComments) {
  // Short code: the comment goes to the column.
  EXPECT_EQ(KeptCommentGap(40, 10, 1), 30);
  // Past the column: the blanks as read, never fewer than one.
  EXPECT_EQ(KeptCommentGap(40, 45, 3), 3);
  EXPECT_EQ(KeptCommentGap(40, 45, 0), 1);
  EXPECT_EQ(KeptCommentGap(1, 1, 0), 1);
  // Read again, a comment placed so keeps its gap.
  const int gap = KeptCommentGap(40, 10, 2);
  EXPECT_EQ(KeptCommentGap(40, 10, gap), gap);

  EXPECT_EQ(BlanksBefore("x = 1;   // c", 9), 3);
  EXPECT_EQ(BlanksBefore("x;\t // c", 4), 2);
  EXPECT_EQ(BlanksBefore("x;// c", 2), 0);
  EXPECT_EQ(BlanksBefore("   ", 10), 3);
}

TEST(LayoutChoices, StarLinesUnderTheOpening) {
  // "**" at or left of the opening's column stays there; a single star
  // stands one column in, under the opening's star.
  EXPECT_TRUE(StarLineKeepsColumn("** text", 4, 4, false));
  EXPECT_TRUE(StarLineKeepsColumn("**", 0, 4, false));
  EXPECT_FALSE(StarLineKeepsColumn("** text", 5, 4, false));
  EXPECT_FALSE(StarLineKeepsColumn("* text", 4, 4, false));
  EXPECT_FALSE(StarLineKeepsColumn("text", 4, 4, true));
  // After such lines, the closing star line stays with them.
  EXPECT_TRUE(StarLineKeepsColumn("*/", 4, 4, true));
  EXPECT_FALSE(StarLineKeepsColumn("*/", 5, 4, true));
}

}  // namespace
}  // namespace folios

// The scan (cleaned text and marks) and the cut of lines into pieces.
#include <gtest/gtest.h>

#include <sstream>

#include "line_scan.h"
#include "output_stage.h"

namespace folios {
namespace {

// Scans and decomposes `lines` in order; returns the pieces of the last line
// as "kind@offset[+]:text" ("+" when has-code-after is set).
std::vector<std::string> PiecesOfLast(const std::vector<std::string>& lines) {
  ScanState state;
  std::string text;
  CharStateMap map;
  bool previous_bs = false;
  std::vector<std::string> described;
  for (const std::string& line : lines) {
    ScanLine(line, 4, &state, &text, &map);
    bool ends_bs = !text.empty() && text.back() == '\\';
    PieceList pieces;
    DecomposeLine(text, map, ends_bs, previous_bs, &pieces, true, false, state.began_in_comment);
    previous_bs = ends_bs;
    described.clear();
    for (const SourcePiece& p : pieces) {
      EXPECT_EQ(p.text.size(), p.map.size()) << p.text;
      described.push_back(std::string(PieceKindName(p.kind)) + "@" + std::to_string(p.offset) +
                          (p.has_code_after ? "+" : "") + ":" + p.text);
    }
  }
  return described;
}

struct PieceCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> pieces;  // of the last line
};

TEST(Decomposition, CutsLinesIntoPieces) {
  const PieceCase cases[] = {
      {"trailing line comment", {"x = 1; // note"}, {"line-comment@7+:// note", "code@0:x = 1;"}},
      {"complete block comment inside code",
       {"a = 1; /* c */ b = 2;"},
       {"code@0:a = 1;  b = 2;", "block-comment@0:/* c */"}},
      {"else between braces", {"} else {"}, {"close-brace@0:}", "code@2:else", "open-brace@7:{"}},
      {"directive", {"#define X 1"}, {"directive@0:#define X 1"}},
      {"indented directive", {"   #  define X 1"}, {"directive@3:#  define X 1"}},
      {"digraph directive keeps its brace", {" %:define X {"}, {"directive@1:%:define X {"}},
      {"digraph inside a line is code", {"x = a %: b;"}, {"code@0:x = a %: b;"}},
      {"number sign continuing a macro is code", {"#define A \\", "#x"}, {"code@0:#x"}},
      {"blank line", {"    "}, {"blank-line@0:"}},
      {"empty line", {""}, {"blank-line@0:"}},
      {"comment alone", {"  // only"}, {"line-comment@2:// only"}},
      {"inside a block comment", {"/* start", "   * text"}, {"block-comment@0:   * text"}},
      {"end of a block comment before code",
       {"/* start", "   end */ x = 1;"},
       {"block-comment@0+:   end */", "code@10:x = 1;"}},
      {"unclosed block comment after code", {"x(); /* open"}, {"block-comment@5+:/* open", "code@0:x();"}},
      {"initializer stays whole", {"int a[] = {1, 2};"}, {"code@0:int a[] = {1, 2};"}},
      {"one-line block stays whole", {"if (x) { y(); }"}, {"code@0:if (x) { y(); }"}},
      {"rest after a whole block", {"{ a(); } b();"}, {"code@0:{ a(); }", "code@9:b();"}},
      {"closing brace takes the rest", {"} while (x);"}, {"close-brace@0:} while (x);"}},
      {"closing brace with semicolon", {"  };"}, {"close-brace@2:};"}},
      {"code then opening brace", {"if (a) {"}, {"code@0:if (a)", "open-brace@7:{"}},
      {"braces inside literals are not braces", {"x = '{' + \"}\";"}, {"code@0:x = '{' + \"}\";"}},
      {"brace inside a comment is not a brace", {"x(); // {"}, {"line-comment@5+:// {", "code@0:x();"}},
      {"split pieces of a continued line keep the continuation",
       {"#define M \\", "do { \\"},
       {"code@0:do \\", "open-brace@3:{ \\"}},
      {"last line of a macro: only inner pieces continue",
       {"#define M \\", "  x; }"},
       {"code@2:x; \\", "close-brace@5:}"}},
      {"blanks before a final backslash shrink", {"a = b;     \\"}, {"code@0:a = b; \\"}},
      {"blanks before a backslash inside a literal stay", {"s = \"x   \\"}, {"code@0:s = \"x   \\"}},
      {"comment in a continued code line stays code", {"x = 1; /* c */ \\"}, {"code@0:x = 1; /* c */ \\"}},
      {"comment line ending with a backslash is kept", {"/* dir C:\\"}, {"block-comment@0:/* dir C:\\"}},
      {"line of a block comment ending with a backslash is kept",
       {"/* start", "   C:\\"},
       {"block-comment@0:   C:\\"}},
      {"literal continued from the line before", {"s = \"ab\\", "cd\";"}, {"code@0:cd\";"}},
      {"unterminated literal ends with its line", {"s = \"ab", "x = 1; // c"}, {"line-comment@7+:// c", "code@0:x = 1;"}},
      {"removing a comment never joins tokens", {"a+/**/+b;"}, {"code@0:a+ +b;", "block-comment@0:/**/"}},
      {"inside a comment, a line reading \"/*\" only ends it",
       {"/* start", "/* more */ x = 1; /* c */"},
       {"block-comment@0+:/* more */", "code@11:x = 1;", "block-comment@0:/* c */"}},
  };
  for (const PieceCase& c : cases) {
    EXPECT_EQ(PiecesOfLast(c.lines), c.pieces) << c.name;
  }
}

struct ScanCase {
  const char* name;
  std::string raw;
  std::string text;
  std::string map;
};

TEST(Scan, CleansLinesAndMarksEveryCharacter) {
  const ScanCase cases[] = {
      {"marks", "a /* b */ \"c\" 'd' // e", "a /* b */ \"c\" 'd' // e", ". ccccccc \"\"\" ''' CCCC"},
      {"directive sign", "  # if X", "  # if X", "  # .. ."},
      {"escaped quote stays in the literal", "\"a\\\"b\" x", "\"a\\\"b\" x", "\"\"\"\"\"\" ."},
      {"octal escape", "'\\101' x", "'\\101' x", "'''''' ."},
      {"tab at column 0 is a full stop", "\tx", "    x", "    ."},
      {"tab at column 5 fills to the next stop", "abcde\tx", "abcde   x", ".....   ."},
      {"tab after a full stop", "abcd\tx", "abcd    x", "....    ."},
      {"tab inside a literal stays", "\"a\tb\"", "\"a\tb\"", "\"\"\"\"\""},
      {"tab in a comment after text stays", "// a\tb", "// a\tb", "CCCCCC"},
      {"tabs stay after the what marker", "@(#)\tx", "@(#)\tx", ".... ."},
      {"control characters and 127..159 go, a blank in their place in code", "a\x01" "b\x7f\x85" "c", "a b c",
       ". . ."},
      {"one blank for a run of them, none after a blank", "a \x0b\x0c" "b\x01", "a b", ". ."},
      {"in a comment they go", "/* a\x01" "b */", "/* ab */", "cccccccc"},
      {"control characters inside a literal stay", "\"\x01\"", "\"\x01\"", "\"\"\""},
      {"Latin-1 letters stay", "x = \xe9;", "x = \xe9;", ". . .."},
      {"UTF-8 stays whole", "// \xe2\x82\xac", "// \xe2\x82\xac", "CCCCCC"},
      {"trailing white space is cut", "x;  \t ", "x;", ".."},
      {"carriage return is removed", "x;\r", "x;", ".."},
  };
  for (const ScanCase& c : cases) {
    ScanState state;
    std::string text;
    CharStateMap map;
    ScanLine(c.raw, 4, &state, &text, &map);
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(map, c.map) << c.name;
  }
}

TEST(Scan, CarriesStateFromLineToLine) {
  ScanState state;
  std::string text;
  CharStateMap map;
  ScanLine("x = 1; /* open", 4, &state, &text, &map);
  EXPECT_EQ(state.current, mark::kBlockComment);
  ScanLine("still */ y;", 4, &state, &text, &map);
  EXPECT_EQ(map, "cccccccc ..");
  EXPECT_EQ(state.current, mark::kCode);

  ScanLine("s = \"ab\\", 4, &state, &text, &map);  // the literal goes on
  EXPECT_EQ(state.current, mark::kString);
  ScanLine("c\" x", 4, &state, &text, &map);
  EXPECT_EQ(map, "\"\" .");

  ScanLine("s = \"open", 4, &state, &text, &map);  // no backslash: it ends here
  EXPECT_EQ(state.current, mark::kCode);
  ScanLine("x // c", 4, &state, &text, &map);
  EXPECT_EQ(state.current, mark::kCode);

  // A tab before any text of a comment line is expanded.
  ScanLine("/* x", 4, &state, &text, &map);
  ScanLine("\tb", 4, &state, &text, &map);
  EXPECT_EQ(text, "    b");
  EXPECT_EQ(map, "ccccc");
  ScanLine("*/", 4, &state, &text, &map);

  // An escape pending in code must not swallow the next line's first blank.
  ScanLine("#define A \\", 4, &state, &text, &map);
  ScanLine("  b", 4, &state, &text, &map);
  EXPECT_EQ(map, "  .");
}

TEST(Decomposition, CommentsKeepTheirOrder) {
  const PieceCase cases[] = {
      {"complete comments follow the code in the order they stood",
       {"a /* 1 */ b /* 2 */ c;"},
       {"code@0:a  b  c;", "block-comment@0:/* 1 */", "block-comment@0:/* 2 */"}},
      {"with a line comment, block comments stay in the code",
       {"f(int /* x */) {}  // y"},
       {"line-comment@19+:// y", "code@0:f(int /* x */)", "open-brace@15:{", "close-brace@16:}"}},
      {"before a comment left open, complete ones stay in the code",
       {"a /* 1 */ b; /* open"},
       {"block-comment@13+:/* open", "code@0:a /* 1 */ b;"}},
      {"a lone backslash after a comment goes with it",
       {"#define A \\", "/* x", " */  \\"},
       {"block-comment@0+: */ \\"}},
  };
  for (const PieceCase& c : cases) EXPECT_EQ(PiecesOfLast(c.lines), c.pieces) << c.name;
}

TEST(Decomposition, ManyBracesOnOneLine) {
  ScanState state;
  std::string text, line;
  CharStateMap map;
  for (int i = 0; i < 20000; ++i) line += "{x;} ";
  line += "{ /**/ }";
  ScanLine(line, 4, &state, &text, &map);
  PieceList pieces;
  DecomposeLine(text, map, false, false, &pieces);
  // "{x;}" first on the line is one piece; then a brace, code and a brace each.
  ASSERT_EQ(pieces.size(), 1u + 3u * 19999u + 2u + 1u);
  EXPECT_EQ(pieces.front().text, "{x;}");
  EXPECT_EQ(pieces[pieces.size() - 2].text, "}");
  EXPECT_EQ(pieces.back().text, "/**/");
  EXPECT_EQ(pieces[2].offset, 6);  // column of the second "x;"
}

TEST(Scan, LiteralsThatSpanLines) {
  ScanState state;
  std::string text;
  CharStateMap map;
  ScanLine("s = R\"x(a )\" b  ", 4, &state, &text, &map);
  EXPECT_EQ(text, "s = R\"x(a )\" b  ");  // blanks in a literal are data
  EXPECT_EQ(map, ". . ." + std::string(11, '"'));
  EXPECT_EQ(state.long_literal, kRawString);
  ScanLine("\t// { )x\"; y", 4, &state, &text, &map);
  EXPECT_TRUE(state.began_in_literal);
  EXPECT_EQ(text, "\t// { )x\"; y");
  EXPECT_EQ(map, std::string(9, '"') + ". .");
  EXPECT_EQ(state.long_literal, 0);

  // Three quotes and blanks open a text block in Java, and in C and C++,
  // where they are no program, too.
  ScanLine("t = \"\"\"", 4, &state, &text, &map);
  EXPECT_EQ(state.long_literal, kTextBlock);
  EXPECT_EQ(map, ". . \"\"\"");
  ScanLine("  in it\"\"\";", 4, &state, &text, &map);
  EXPECT_EQ(state.long_literal, 0);
  EXPECT_EQ(map, std::string(10, '"') + ".");
  state = ScanState();
  state.c_family = false;
  ScanLine("t = \"\"\"", 4, &state, &text, &map);  // a text block
  EXPECT_EQ(state.long_literal, kTextBlock);
  ScanLine("  a \\\"\"\" /* b", 4, &state, &text, &map);
  EXPECT_EQ(state.long_literal, kTextBlock);
  EXPECT_EQ(map, std::string(text.size(), '"'));
  ScanLine("  \"\"\"; x", 4, &state, &text, &map);
  EXPECT_EQ(map, std::string(5, '"') + ". .");

  state = ScanState();
  ScanLine("x = 1'000 + 'a'; // don't", 4, &state, &text, &map);
  EXPECT_EQ(map, ". . ..... . '''. CCCCCCCC");
  // Separators in a row stay separators; a quote that closed a literal
  // starts no number, so the apostrophe after the word opens one.
  ScanLine("1'000'000 'a'x'{", 4, &state, &text, &map);
  EXPECT_EQ(map, "......... '''.''");
  // A backslash in code escapes nothing: the quote after it opens a string.
  ScanLine("\\\"a\" x", 4, &state, &text, &map);
  EXPECT_EQ(map, ".\"\"\" .");
  // R"( opens a raw string in C++ only.
  state.c_family = false;
  ScanLine("s = R\"(a\" b", 4, &state, &text, &map);
  EXPECT_EQ(state.long_literal, 0);
  state = ScanState();

  // In C and C++ a line comment ending in a backslash goes on; in Java not.
  ScanLine("// c:\\", 4, &state, &text, &map);
  ScanLine("x;", 4, &state, &text, &map);
  EXPECT_EQ(map, "CC");
  state = ScanState();
  state.c_family = false;
  ScanLine("// c:\\", 4, &state, &text, &map);
  ScanLine("x;", 4, &state, &text, &map);
  EXPECT_EQ(map, "..");
}

// ScanState::plain lets the cut skip its own search: it may only be set on
// a line that holds no comment, directive sign or code brace.
TEST(Scan, PlainOnlyWhenNothingIsThereToCut) {
  const char* lines[] = {
      "x = a + b;", "", "    ", "\tx = 1;", "if (a) {", "}", "int a[] = {1};", "// c", "x; /* c */",
      "/* open", "still in it", "      ", "*/ y;", "#define A 1", "#x", "s = \"{ // }\";", "c = '{';", "x = 1'000;",
      "a \\", "  b;", "s = R\"(", "{ /* raw */ }", ")\";", "@(#)\tx", "\xe2\x82\xac = 1;", "x\x01y;",
      "p = q / r;", "a = b\t// tab before", "\t{",
  };
  ScanState state;
  std::string text;
  CharStateMap map;
  for (const char* line : lines) {
    ScanLine(line, 4, &state, &text, &map);
    bool structured = false;
    for (size_t i = 0; i < map.size(); ++i) {
      char m = map[i];
      structured |= m == mark::kBlockComment || m == mark::kLineComment || m == mark::kDirective ||
                    (m == mark::kCode && (text[i] == '{' || text[i] == '}'));
    }
    EXPECT_FALSE(state.plain && structured) << line;
    // The cut told the line is plain finds what its own search finds.
    PieceList told, searched;
    DecomposeLine(text, map, false, false, &told, true, state.plain);
    DecomposeLine(text, map, false, false, &searched, true, false);
    ASSERT_EQ(told.size(), searched.size()) << line;
    for (size_t i = 0; i < told.size(); ++i) {
      EXPECT_EQ(told[i].kind, searched[i].kind) << line;
      EXPECT_EQ(told[i].text, searched[i].text) << line;
      EXPECT_EQ(told[i].offset, searched[i].offset) << line;
    }
  }
}

// Pieces and lines are reused from line to line; one used before must come
// back as a new one.
TEST(PieceQueue, ReusedItemsComeBackAsNew) {
  PieceQueue<OutputLine> q;
  OutputLine* a = q.Acquire();
  a->kind = 5;
  a->indent = 12;
  a->has_code = true;
  a->code = "a long line of code that does not fit a short string";
  a->has_comment = true;
  a->comment = "// note";
  a->no_join = true;
  a->comment_in_code = 3;
  q.AppendAcquired(a);
  q.AppendAcquired(q.Acquire());
  q.RemoveOldest();
  OutputLine* again = q.Acquire();
  EXPECT_EQ(again, a);  // the same storage, with its capacity
  EXPECT_EQ(again->kind, 0);
  EXPECT_EQ(again->indent, 0);
  EXPECT_FALSE(again->has_code);
  EXPECT_TRUE(again->code.empty());
  EXPECT_GE(again->code.capacity(), 50u);
  EXPECT_FALSE(again->has_comment);
  EXPECT_TRUE(again->comment.empty());
  EXPECT_FALSE(again->no_join);
  EXPECT_EQ(again->comment_in_code, -1);
  q.InsertAcquiredBefore(1, again);
  EXPECT_EQ(q.Item(1), again);
  EXPECT_EQ(q.Count(), 2);
  OutputLine* second = q.Item(2);
  EXPECT_EQ(q.Detach(2), second);
  EXPECT_EQ(q.Count(), 1);
  q.Release(second);
}

TEST(PieceQueue, CountsFromTheOldest) {
  PieceQueue<int> q;
  EXPECT_EQ(q.Item(1), nullptr);
  q.Append(1);
  q.Append(2);
  q.Append(3);
  EXPECT_EQ(q.Count(), 3);
  EXPECT_EQ(*q.Item(1), 1);
  EXPECT_EQ(*q.Item(3), 3);
  EXPECT_EQ(q.Item(0), nullptr);
  EXPECT_EQ(q.Item(4), nullptr);
  q.RemoveOldest();
  EXPECT_EQ(*q.Item(1), 2);
  q.InsertBefore(1, 9);
  EXPECT_EQ(*q.Item(1), 9);
  EXPECT_EQ(*q.Item(2), 2);
}

}  // namespace
}  // namespace folios

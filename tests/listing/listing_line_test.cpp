// Line operations: escapes, noise removal, the Visual Basic tests, and the
// comment and keyword pass.
#include "listing_line.h"

#include <gtest/gtest.h>

#include <random>

#include "data_files.h"
#include "expected_rtf.h"
#include "test_support.h"

namespace folios {
namespace {

TEST(EscapeRtf, BackslashesAndBraces) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"a\\b", "a\\\\b"},
      {"{x}", "\\{x\\}"},
      {"\\{", "\\\\\\{"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string s = c.in;
    EscapeRtf(&s);
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST(IsInString, QuotesPairFromTheLeft) {
  const std::string line = "a \"bc\" d \"e\" f \"g";
  EXPECT_FALSE(IsInString(line, 0));
  EXPECT_FALSE(IsInString(line, 2));  // the quote itself
  EXPECT_TRUE(IsInString(line, 3));
  EXPECT_TRUE(IsInString(line, 4));
  EXPECT_FALSE(IsInString(line, 7));
  EXPECT_TRUE(IsInString(line, 10));  // second pair
  EXPECT_FALSE(IsInString(line, 16));  // after an unpaired quote
}

TEST(RemoveNoise, Table) {
  struct Case {
    const char* in;
    char c;
    const char* out;
    bool kept;
  };
  const Case cases[] = {
      {"x = 1;", '*', "x = 1;", true},
      {"a**b", '*', "ab", true},             // a run of two goes
      {"a***b", '*', "ab", true},            // longer runs go too
      {"a  b   c", ' ', "a b c", true},      // blank runs shrink to one
      {"//*****", '*', "", false},           // a decorative line disappears
      {"// =====", '=', "", false},
      {"/**/", '*', "/**/", true},           // the empty comment survives
      {"x /**/ y", '*', "x /**/ y", true},
      {"/**", '*', "/*", true},
      {"**/", '*', "*/", true},
      {"s = \"**\";", '*', "s = \"**\";", true},  // inside a string
      {"a*b*c", '*', "a*b*c", true},         // single noise characters stay
      {"** x *", '*', "* x *", true},        // a third one later keeps one of the run
      {"x = 1; //", '~', "x = 1; //", true}, // a line without noise stays as it is
      {"//", '~', "//", true},
      {"x;   ", '~', "x;   ", true},
      {"y = 2; // ~~~", '~', "y = 2; ", true},  // decoration taken, its empty comment too
      {"", '*', "", true},
  };
  for (const Case& c : cases) {
    std::string s = c.in;
    bool kept = RemoveNoise(&s, c.c);
    EXPECT_EQ(s, c.out) << c.in;
    EXPECT_EQ(kept, c.kept) << c.in;
  }
}

// The removal rule as it reads, step by step on the changing line, against
// which the one-pass removal is checked on random lines.
bool ReferenceRemoveNoise(std::string* line, char c) {
  std::string& s = *line;
  size_t start = 0;
  bool removed = false;
  while (true) {
    size_t f = s.find(c, start);
    if (f == std::string::npos) break;
    if (c == '*' && ((f >= 1 && s.compare(f - 1, 4, "/**/") == 0) ||
                     (f >= 2 && s.compare(f - 2, 4, "/**/") == 0))) {
      return true;
    }
    size_t next = s.find(c, f + 1);
    if (next == std::string::npos) break;
    if (next != f + 1) {
      start = f + 1;
      continue;
    }
    if (IsInString(s, f)) break;
    if (s == "/**" || s == "**/") {
      s = s == "/**" ? "/*" : "*/";
      return true;
    }
    bool third = s.find(c, next + 1) != std::string::npos;
    s.erase(f, (c != ' ' && !third) ? 2 : 1);
    removed = true;
    start = f;
  }
  if (!removed) return true;
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  if (s.size() >= 2 && s.compare(s.size() - 2, 2, "//") == 0) s.resize(s.size() - 2);
  return !s.empty();
}

TEST(RemoveNoise, OnePassAgreesWithTheStepByStepRule) {
  static const char* const kPieces[] = {"*", "**", "/", "/**/", "\"", " ", "  ", "~", "~~",
                                        "=", "==", "x", "//", "'"};
  std::mt19937 rng(5);
  std::uniform_int_distribution<size_t> count(0, 12);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  for (int i = 0; i < 20000; ++i) {
    std::string line;
    for (size_t n = count(rng); n > 0; --n) line += kPieces[piece(rng)];
    for (char c : {'*', ' ', '~', '=', '"', '/'}) {
      std::string fast = line, slow = line;
      bool kept_fast = RemoveNoise(&fast, c);
      bool kept_slow = ReferenceRemoveNoise(&slow, c);
      ASSERT_EQ(fast, slow) << "line [" << line << "] noise " << c;
      ASSERT_EQ(kept_fast, kept_slow) << "line [" << line << "] noise " << c;
    }
  }
}

TEST(FindLineComment, SkipsQuotedMarkers) {
  EXPECT_EQ(FindLineComment("a = 1; // x", 0), 7u);
  EXPECT_EQ(FindLineComment("s = \"//\"; // x", 0), 10u);
  EXPECT_EQ(FindLineComment("a // b // c", 5), 7u);
  EXPECT_EQ(FindLineComment("x = y ' vb", 0), 6u);
  EXPECT_EQ(FindLineComment("c = 'a'; // z", 0), 9u);  // "//" is looked for first
  EXPECT_EQ(FindLineComment("plain", 0), std::string::npos);
}

TEST(IsProcedureStart, Table) {
  struct Case {
    const char* line;
    bool start;
  };
  const Case cases[] = {
      {"Sub Main()", true},
      {"Private Sub Foo()", true},
      {"Public Function F() As Long", true},
      {"Private Declare Sub Beep Lib \"k\" ()", false},
      {"Declare Function F Lib \"x\" ()", false},
      {"Property Get Name() As String", true},
      {"End Sub", false},
      {"x = 1 ' call Sub later", false},
      {"Public Property Let X(v)", true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsProcedureStart(c.line), c.start) << c.line;
}

// A small table: comment marker, then int, char, define (styled differently).
KeywordTable SmallTable(const char* marker = "//") {
  KeywordTable table;
  table.entries.push_back({marker, std::string(1, '\0'), std::string(1, '\0'),
                           std::string(1, '\0'), "11", "8"});
  table.entries.push_back({"int", "True", "False", "False", "9", "8"});
  table.entries.push_back({"char", "True", "True", "True", "9", "8"});
  table.entries.push_back({"define", "False", "False", "False", "12", "8"});
  table.entries.push_back({"Dim", "True", "False", "False", "9", "8"});
  return table;
}

const std::string kComment = std::string(test::kDefaultCommentFormat) + "\\cf11\\highlight8";
const std::string kInt = "}{\\b\\cf9\\highlight8 int}{";

std::string StyleOne(LineStyler& styler, const std::string& text, CommentState* state,
                     size_t number_end = 0) {
  StyleInput input;
  input.text = text;
  input.number_end = number_end;
  std::string out;
  styler.Style(input, state, &out);
  return out;
}

TEST(LineStyler, KeywordRunsAndFormats) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  EXPECT_TRUE(styler.uses_word_scan());
  EXPECT_EQ(styler.RunOpener(0), "}{" + kComment + " ");
  EXPECT_EQ(styler.RunOpener(2), "}{\\b\\i\\ul\\cf9\\highlight8 ");
  EXPECT_EQ(styler.RunOpener(3), "}{\\cf12\\highlight8 ");
}

TEST(LineStyler, KeywordBoundaries) {
  struct Case {
    const char* in;
    std::string out;
  };
  const Case cases[] = {
      {"int x;", kInt + " x;"},
      {"int* p;", kInt + "* p;"},                 // "*" may follow
      {"intx;", "intx;"},                         // a letter may not
      {"(int)", "(" + kInt + ")"},
      {"x=int;", "x=int;"},                       // "=" may not precede
      {"#define X", "#}{\\cf12\\highlight8 define}{ X"},
      {"print(x)", "print(x)"},                   // "int" inside a word
      {"int", kInt},                              // line end counts as a blank
      {"char c", "}{\\b\\i\\ul\\cf9\\highlight8 char}{ c"},
  };
  for (const Case& c : cases) {
    LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
    CommentState state;
    EXPECT_EQ(StyleOne(styler, c.in, &state), c.out) << c.in;
  }
}

TEST(LineStyler, StringsAndLineComments) {
  struct Case {
    const char* in;
    std::string out;
    bool comment;
  };
  const Case cases[] = {
      {"x = 1; // int here", "x = 1; }{" + kComment + " // int here}{", true},
      {"s = \"int \"; int y;", "s = \"int \"; " + kInt + " y;", false},
      // Only the first quoted string protects.
      {"f(\"a\", \"b int c\");", "f(\"a\", \"b " + kInt + " c\");", false},
      {"s = \"// no\"; int z;", "s = \"// no\"; " + kInt + " z;", false},
      {"//* odd", "}{" + kComment + " //* odd}{", true},
      // Every string and character literal hides comment markers.
      {"a = \"x\"; b = \"//\"; int c;", "a = \"x\"; b = \"//\"; " + kInt + " c;", false},
      {"c = '\"'; s = \"// x\";", "c = '\"'; s = \"// x\";", false},
      {"c = '/'; d = '/'; // e", "c = '/'; d = '/'; }{" + kComment + " // e}{", true},
      // Digit separators open no character literal; prefixed literals do.
      {"x = 1'000'000; // e", "x = 1'000'000; }{" + kComment + " // e}{", true},
      {"c = u8'\"'; // e", "c = u8'\"'; }{" + kComment + " // e}{", true},
      {"s = \"a\\\\\"//\"; int x;", "s = \"a\\\\\"//\"; " + kInt + " x;", false},
  };
  for (const Case& c : cases) {
    LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
    CommentState state;
    EXPECT_EQ(StyleOne(styler, c.in, &state), c.out) << c.in;
    EXPECT_EQ(state.line_comment_seen, c.comment) << c.in;
    EXPECT_FALSE(state.in_block) << c.in;
  }
}

TEST(LineStyler, BlockCommentsAcrossLines) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  CommentState state;
  EXPECT_EQ(StyleOne(styler, "/* c */ int x;", &state), kComment + " /* c */}{ " + kInt + " x;");
  EXPECT_EQ(StyleOne(styler, "x;/* c */", &state), "x; " + kComment + " /* c */}{");
  EXPECT_EQ(StyleOne(styler, "int a; /* start int", &state),
            kInt + " a; " + kComment + " /* start int}{");
  EXPECT_TRUE(state.in_block);
  EXPECT_EQ(StyleOne(styler, "more int", &state), kComment + " more int}{");
  EXPECT_TRUE(state.in_block);
  EXPECT_EQ(StyleOne(styler, "end */ int", &state), kComment + " end */ int}{");
  EXPECT_FALSE(state.in_block);
  EXPECT_EQ(StyleOne(styler, "int y;", &state), kInt + " y;");
}

TEST(LineStyler, SlashStarInsideAnyStringOpensNoBlock) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  CommentState state;
  EXPECT_EQ(StyleOne(styler, "a = \"x\"; b = \"/*\";", &state), "a = \"x\"; b = \"/*\";");
  EXPECT_FALSE(state.in_block);
  // A comment after the strings still counts; so does one before them.
  EXPECT_EQ(StyleOne(styler, "f(\"*/\", \"/*\"); /* c */", &state),
            "f(\"*/\", \"/*\"); " + kComment + " /* c */}{");
  EXPECT_EQ(StyleOne(styler, "/* \"q\" */ int x;", &state),
            kComment + " /* \"q\" */}{ " + kInt + " x;");
  EXPECT_FALSE(state.in_block);
  EXPECT_EQ(StyleOne(styler, "int y;", &state), kInt + " y;");
}

// A cut line's segments are styled one by one: a string left open at the
// end of one segment goes on in the next.
TEST(LineStyler, StringsRunOnAcrossSegmentsOfACutLine) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  CommentState state;
  const std::string mark = " }{\\f2";
  std::string first = "s = \"a /*" + mark;
  StyleInput input;
  input.text = first;
  input.mark_start = first.size() - mark.size();
  std::string out;
  styler.Style(input, &state, &out);
  EXPECT_EQ(out, first);
  EXPECT_FALSE(state.in_block);
  EXPECT_EQ(state.open_quote, '"');
  // The last segment: the string closes, the comment after it counts, and
  // the line's end clears the state.
  EXPECT_EQ(StyleOne(styler, " b // c\"; int x; // d", &state),
            " b // c\"; " + kInt + " x; }{" + kComment + " // d}{");
  EXPECT_EQ(state.open_quote, 0);
  EXPECT_EQ(StyleOne(styler, "int y; // z", &state), kInt + " y; }{" + kComment + " // z}{");
}

// A segment inside a block comment is one comment run, but what follows its
// "*/" still opens strings and comments for the next segment.
TEST(LineStyler, WhatFollowsTheEndOfABlockCommentCarriesOn) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  const std::string mark = " }{\\f2";
  auto segment = [&](const std::string& text, CommentState* state) {
    std::string with_mark = text + mark;
    StyleInput input;
    input.text = with_mark;
    input.mark_start = text.size();
    std::string out;
    styler.Style(input, state, &out);
    return out;
  };
  CommentState state;
  state.in_block = true;
  EXPECT_EQ(segment("c */ s = \"a /*", &state), kComment + " c */ s = \"a /* }{\\f2}{");
  EXPECT_FALSE(state.in_block);
  EXPECT_EQ(state.open_quote, '"');
  EXPECT_EQ(StyleOne(styler, " b\"; int x;", &state), " b\"; " + kInt + " x;");

  state = CommentState();
  state.in_block = true;
  segment("c */ x; /* d", &state);
  EXPECT_TRUE(state.in_block);
  EXPECT_EQ(StyleOne(styler, "e */", &state), kComment + " e */}{");
  EXPECT_FALSE(state.in_block);
}

TEST(LineStyler, HeaderNamesOfIncludesAreNotScanned) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  const std::string kDefine = "}{\\cf12\\highlight8 define}{";
  struct Case {
    const char* in;
    std::string out;
  };
  const Case cases[] = {
      {"#include <int.h>", "#include <int.h>"},
      {"  #  include <sys/char.h> // int", "  #  include <sys/char.h> }{" + kComment + " // int}{"},
      {"#import <int>", "#import <int>"},
      {"#define X <int>", "#" + kDefine + " X <" + kInt + ">"},
      {"x = a<int>(b);", "x = a<" + kInt + ">(b);"},
  };
  for (const Case& c : cases) {
    CommentState state;
    EXPECT_EQ(StyleOne(styler, c.in, &state), c.out) << c.in;
  }
  // Visual Basic has no includes.
  LineStyler vb(SmallTable("'"), test::kDefaultCommentFormat);
  CommentState state;
  EXPECT_EQ(StyleOne(vb, "#include <int>", &state), "#include <" + kInt + ">");
}

// The cursor over a line gives, for every start, what a search from that
// start gives: the first unquoted occurrence of the marker.
TEST(MarkerCursor, AgreesWithASearchFromEachStart) {
  static const char* const kPieces[] = {"\"", "//", "/", "'", "/*", "*/", "*", "x", " ", "ab"};
  std::mt19937 rng(99);
  std::uniform_int_distribution<size_t> count(0, 30);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<size_t> step(0, 6);
  for (int i = 0; i < 3000; ++i) {
    std::string line;
    for (size_t n = count(rng); n > 0; --n) line += kPieces[piece(rng)];
    for (std::string_view marker : {std::string_view("//"), std::string_view("'"),
                                    std::string_view("/*"), std::string_view("*/")}) {
      MarkerCursor cursor;
      cursor.Reset(line, marker);
      for (size_t from = 0; from <= line.size() + 1; from += step(rng)) {
        size_t expected = std::string::npos;
        for (size_t p = line.find(marker, from); p != std::string::npos; p = line.find(marker, p + 1)) {
          if (!IsInString(line, p)) {
            expected = p;
            break;
          }
        }
        ASSERT_EQ(cursor.Find(from), expected) << "line: " << line << " marker " << marker
                                               << " from " << from;
      }
    }
  }
}

TEST(LineStyler, SlashStarInsideLineCommentOpensNoBlock) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  CommentState state;
  EXPECT_EQ(StyleOne(styler, "x; // see *.c or a/*", &state),
            "x; }{" + kComment + " // see *.c or a/*}{");
  EXPECT_FALSE(state.in_block);
  EXPECT_EQ(StyleOne(styler, "int y;", &state), kInt + " y;");
}

TEST(LineStyler, NumberPrefixStaysCode) {
  LineStyler styler(SmallTable(), test::kDefaultCommentFormat);
  CommentState state;
  EXPECT_EQ(StyleOne(styler, "12 int x;", &state, 3), "12 " + kInt + " x;");
  EXPECT_EQ(StyleOne(styler, "13 /* open", &state, 3), "13 " + kComment + " /* open}{");
  // A digit after the comment format would run into its number.
  EXPECT_EQ(StyleOne(styler, "14 2. item", &state, 3), "14 " + kComment + " 2. item}{");
  EXPECT_EQ(StyleOne(styler, "15 */", &state, 3), "15 " + kComment + " */}{");
  EXPECT_FALSE(state.in_block);
}

TEST(LineStyler, VisualBasicMarker) {
  LineStyler styler(SmallTable("'"), test::kDefaultCommentFormat);
  CommentState state;
  EXPECT_EQ(StyleOne(styler, "Dim s ' it's Dim", &state),
            "}{\\b\\cf9\\highlight8 Dim}{ s }{" + kComment + " ' it's Dim}{");
  CommentState other;
  EXPECT_EQ(StyleOne(styler, "s = \"it's\" ' note", &other),
            "s = \"it's\" }{" + kComment + " ' note}{");
}

TEST(LineStyler, ContinuationMarkIsNeverStyled) {
  KeywordTable table = SmallTable();
  table.entries.push_back({"SYMBOL", "True", "False", "False", "9", "8"});
  LineStyler styler(table, test::kDefaultCommentFormat);
  std::string text = "int x = SYMBOL }{\\f2{\\field{\\*\\fldinst SYMBOL 175 }}}{\\f2";
  StyleInput input;
  input.text = text;
  input.mark_start = 14;
  CommentState state;
  std::string out;
  styler.Style(input, &state, &out);
  EXPECT_EQ(out, kInt + " x = }{\\b\\cf9\\highlight8 SYMBOL}{ }{\\f2{\\field{\\*\\fldinst SYMBOL 175 }}}{\\f2");
}

// Lines made of pieces that exercise every rule of the pass.
std::string RandomLine(std::mt19937& rng, const std::vector<std::string>& words) {
  static const char* const kPieces[] = {" ", " ", "(", ")", "*", "&", "#", "!", "<", ">", ":",
                                        ",", ";", ".", "\"", "/*", "*/", "//", "'", "=", "x",
                                        "_a", "9", "\\{", "\\}", "\\\\", "{", "}", "\x01"};
  std::uniform_int_distribution<size_t> count(0, 14);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<size_t> word(0, words.size() - 1);
  std::bernoulli_distribution use_word(0.4);
  std::string line;
  for (size_t n = count(rng); n > 0; --n) line += use_word(rng) ? words[word(rng)] : kPieces[piece(rng)];
  return line;
}

TEST(LineStyler, WordScanMatchesKeywordByKeywordSearch) {
  test::ScopedSettings settings;
  for (const char* name : {"C-Keywords.lfx", "JAVA-Keywords.lfx", "VB-Keywords.lfx"}) {
    Language language = std::string(name) == "VB-Keywords.lfx" ? Language::kVisualBasic
                                                               : Language::kCpp;
    KeywordTable table = LoadKeywordTableForListing(LocateDataFile(name), language, nullptr);
    LineStyler fast(table, test::kDefaultCommentFormat);
    LineStyler slow(table, test::kDefaultCommentFormat);
    ASSERT_TRUE(fast.uses_word_scan()) << name;
    std::vector<std::string> words;
    for (const KeywordRecord& r : table.entries) words.push_back(r.keyword);
    for (const char* w : {"intx", "xint", "_int", "Int", "1int"}) words.push_back(w);
    std::mt19937 rng(1234);
    CommentState fast_state, slow_state;
    for (int i = 0; i < 4000; ++i) {
      std::string line = RandomLine(rng, words);
      StyleInput input;
      input.text = line;
      std::string a, b;
      fast.Style(input, &fast_state, &a);
      slow.StyleBySearch(input, &slow_state, &b);
      ASSERT_EQ(a, b) << name << " line: " << line;
      ASSERT_EQ(fast_state.in_block, slow_state.in_block) << line;
      ASSERT_EQ(fast_state.line_comment_seen, slow_state.line_comment_seen) << line;
    }
  }
}

TEST(LineStyler, UnusualKeywordsAreSearchedOneByOne) {
  KeywordTable table = SmallTable();
  table.entries.push_back({"End Sub", "True", "False", "False", "9", "8"});
  table.entries.push_back({"*", "False", "False", "False", "6", "8"});
  LineStyler styler(table, test::kDefaultCommentFormat);
  EXPECT_FALSE(styler.uses_word_scan());
  CommentState state;
  // One-character keywords need only an allowed character before them.
  EXPECT_EQ(StyleOne(styler, "End Sub (*", &state),
            "}{\\b\\cf9\\highlight8 End Sub}{ (}{\\cf6\\highlight8 *}{");
  // Each keyword is searched in the line as the earlier runs left it: the
  // "{" a run ends with may stand before the next occurrence.
  const std::string star = "}{\\cf6\\highlight8 *}{";
  EXPECT_EQ(StyleOne(styler, "(**x *", &state), "(" + star + star + "x " + star);
  EXPECT_EQ(StyleOne(styler, "int x; End Sub(*) // *", &state),
            kInt + " x; }{\\b\\cf9\\highlight8 End Sub}{(" + star + ") }{" + kComment + " // *}{");
}

}  // namespace
}  // namespace folios

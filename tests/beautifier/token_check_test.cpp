// The token checker: what counts as the same program, and where a
// difference is reported.
#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"
#include "token_check.h"

namespace folios {
namespace {

struct Pair {
  const char* name;
  const char* original;
  const char* formatted;
  long line;  // 0: the same program; else the line of the first difference
};

void ExpectPairs(const std::vector<Pair>& pairs, SourceLanguage language, bool comments_removed = false) {
  TokenCheckOptions options;
  options.language = language;
  options.comments_removed = comments_removed;
  for (const Pair& p : pairs) {
    TokenCheckResult r = CheckTokenTexts(p.original, p.formatted, options);
    EXPECT_EQ(r.same, p.line == 0) << p.name;
    EXPECT_EQ(r.line, p.line) << p.name;
  }
}

TEST(TokenCheck, WhiteSpaceBetweenTokensDoesNotMatter) {
  ExpectPairs({
      {"indentation", "int f()\n{\nx = 1;\n}\n", "int f() {\n    x = 1;\n}\n", 0},
      {"tabs and blank lines", "a\t=\tb;\n\n\n", "  a = b;\n", 0},
      {"carriage returns", "#define A 1\r\nB\rC\n", "#define A 1\nB\nC\n", 0},
      {"a control byte no token holds", "x\x1a;\n", "x;\n", 0},
  }, SourceLanguage::kCFamily);
}

TEST(TokenCheck, TokensMustStayWhole) {
  ExpectPairs({
      {"two pluses become one operator", "a + +b;\n", "a ++b;\n", 1},
      {"identifiers joined", "int\nx;\n", "intx;\n", 1},
      {"arrow split", "p\n->x;\n", "p- >x;\n", 2},
      {"an extra token at the end", "x;\n", "x;\n}\n", 1},
      {"a token missing at the end", "x;\ny;\n", "x;\n", 2},
      {"difference on a later line", "a;\nb;\nc;\n", "a;\nb;\nd;\n", 3},
  }, SourceLanguage::kCFamily);
}

TEST(TokenCheck, LiteralsAreComparedByteForByte) {
  ExpectPairs({
      {"string re-indented", "s = \"a  b\";\n", "s = \"a b\";\n", 1},
      {"spliced string re-indented", "s = \"ab\\\ncd\";\n", "s = \"ab\\\n    cd\";\n", 1},
      {"spliced string kept", "s = \"ab\\\ncd\";\n", "    s = \"ab\\\ncd\";\n", 0},
      {"prefixed literals", "a = u8\"x\"; b = L'y';\n", "a = u8\"x\";\nb = L'y';\n", 0},
      {"prefix split from its literal", "a = L\"x\";\n", "a = L \"x\";\n", 1},
      {"raw string re-indented", "s = R\"x(\n  a )\" b\n)x\";\n", "s = R\"x(\n    a )\" b\n)x\";\n", 1},
      {"raw string kept, splice inside", "s = R\"(a\\\n b)\"; t;\n", "    s = R\"(a\\\n b)\";\n t;\n", 0},
      {"raw string: splice inside is data", "s = R\"(a\\\n b)\";\n", "s = R\"(a\\\nb)\";\n", 1},
      {"digit separators are no character literals", "x = 1'000; // don't\n", "x = 1'000;\n// don't\n", 0},
      {"header name", "#include <a b.h>\n", "#include <a  b.h>\n", 1},
  }, SourceLanguage::kCFamily);
  ExpectPairs({
      {"text block re-indented", "s = \"\"\"\n  a\n  \"\"\";\n", "s = \"\"\"\n    a\n    \"\"\";\n", 1},
      {"text block kept", "s = \"\"\"\n  a \\\"\"\" b\n  \"\"\"; x;\n", "  s = \"\"\"\n  a \\\"\"\" b\n  \"\"\";\n  x;\n", 0},
      {"three quotes with code after them open no text block", "s = \"\"\";\n    b;\n", "s = \"\"\";\nb;\n", 0},
      {"three quotes and blanks open one", "s = \"\"\"  \n    b\n\"\"\";\n", "s = \"\"\"  \nb\n\"\"\";\n", 1},
  }, SourceLanguage::kJava);
}

TEST(TokenCheck, SplicesAndDirectives) {
  ExpectPairs({
      {"token split by a splice re-indented", "ret\\\nurn x;\n", "ret\\\n    urn x;\n", 1},
      {"splice with blanks before the line end", "a \\  \nb;\n", "a \\\nb;\n", 0},
      {"line comment continued by a splice", "// note \\\nx = 1;\n", "// note \\\n    x = 1;\n", 0},
      {"code pulled out of a continued comment", "// note \\\nx = 1;\n", "// note\nx = 1;\n", 1},
      {"code joined to a directive", "#define A 1\n{\n", "#define A 1 {\n", 1},
      {"directive continued", "#define A(x) \\\n  f(x)\ny;\n", "#define A(x) \\\n        f(x)\ny;\n", 0},
      {"directive continuation lost", "#define A(x) \\\n  f(x)\n", "#define A(x)\n  f(x)\n", 2},
      {"number sign inside a line is no directive", "a # b\n", "a\n# b\n", 1},
      {"a comment before a directive", "/* c */ #define A 1\nx;\n", "#define A 1\n/* c */\nx;\n", 0},
      {"slashes inside a header name are no comment", "#include <a//b.h>\n", "#include <a\n//b.h>\n", 1},
      {"a header name ends at its line", "#include <a/*b.h>\nint x;\n", "#include <a/*b.h>\n  int x;\n", 0},
      {"without \">\" no header name: a comment", "#include <st /* c */\n", "#include <st\n/* c */\n", 0},
  }, SourceLanguage::kCFamily);
  // Java has no splices: the line after a comment ending in a backslash is code.
  ExpectPairs({
      {"java comment ends at its line", "// note \\\nx = 1;\n", "// note \\\n    x = 1;\n", 0},
      {"java code pulled into a comment", "// note \\\nx = 1;\n", "// note \\ x = 1;\n", 1},
  }, SourceLanguage::kJava);
}

TEST(TokenCheck, CommentsKeepTheirTextAndOrder) {
  ExpectPairs({
      {"comment moved after its code", "a = 1; /* c */ b = 2;\n", "a = 1;  b = 2;\n/* c */\n", 0},
      {"comment lines re-indented", "  /* one\n     two */\n", "/* one\n   two */\n", 0},
      {"comment text changed", "/* one */ x;\n", "/* on */ x;\n", 1},
      {"comments swapped", "/* a */ x; /* b */\n", "x;\n/* b */\n/* a */\n", 1},
      {"comment dropped", "x; // c\ny;\n", "x;\ny;\n", 1},
      {"code moved into a comment", "x; // c\ny;\n", "x; // c y;\n", 1},
  }, SourceLanguage::kCFamily);
  ExpectPairs({
      {"comments removed on purpose", "x; // c\n/* d */ y;\n", "x;\n\ny;\n", 0},
      {"code still compared", "x; // c\ny;\n", "x;\nz;\n", 2},
  }, SourceLanguage::kCFamily, true);
}

// Lines both texts hold byte for byte are passed over without reading their
// tokens; what follows them must be compared, and reported, as if they had
// been read.
TEST(TokenCheck, LinesHeldAlikeOnBothSides) {
  std::string same;
  for (int i = 0; i < 100; ++i) same += "    x = y + " + std::to_string(i) + ";\n";
  const std::string many_a = same + "a;\n", many_b = same + "b;\n";
  const std::string long_line = "int " + std::string(5000, 'z') + ";\n";  // longer than a line passed over at once
  const std::string long_x = long_line + "x;\n", long_y = long_line + "y;\n";
  ExpectPairs({
      {"difference after many such lines", many_a.c_str(), many_b.c_str(), 101},
      {"re-indented lines are such lines too", "x;\n  y;\nz;\n", "    x;\ny;\nw;\n", 3},
      {"an extra token after them", "a;\nb;\n", "a;\nb;\n}\n", 2},
      {"line ends of two bytes", "a;\r\nb;\r\nc;\r\n", "a;\r\nb;\r\nd;\r\n", 3},
      {"a carriage return alone ends a line inside one", "a;\rb;\nc;\n", "a;\rb;\nd;\n", 3},
      {"a line too long to pass over at once", long_x.c_str(), long_y.c_str(), 2},
      {"a comment closed on its line", "a; /* c */\nb;\n", "a; /* c */\nd;\n", 2},
      {"a comment opened after one closed", "a; /* c */ b; /* d\n e */ f;\n", "a; /* c */ b; /* d\n*/ e f;\n", 1},
      {"a comment opened after one closed, moved", "a; /* c */ b; /* d\n e */ f;\n",
       "a; /* c */ b; /* d\n  e */\nf;\n", 0},
      {"a star and slash that close nothing", "x; /*/ y\n*/ z;\n", "x; /*/ y\n q */ z;\n", 1},
      {"a closer before the opener closes nothing", "x; */ y; /* z\n w */ v;\n", "x; */ y; /* z\n*/ w v;\n", 1},
      {"an opener in a literal, its closer in a raw string that runs on",
       "s = \"/*\"; t = R\"( */\nA\n)\";\n", "s = \"/*\"; t = R\"( */\nB\n)\";\n", 1},
      {"two comments closed on the line", "a; /* b */ c; /* d */\ne;\n", "a; /* b */ c; /* d */\nf;\n", 2},
      {"a comment left open", "a; /* c\nb */ x;\n", "a; /* c\nb */\nx;\n", 0},
      {"a comment left open, code pulled into it", "a; /* c\n*/ b;\n", "a; /* c\nb */;\n", 1},
      {"a literal left open by a splice", "s = \"a\\\nb c\";\n", "s = \"a\\\nb  c\";\n", 1},
      {"the last line without a line end", "a;\nb;", "a;\nc;", 2},
  }, SourceLanguage::kCFamily);
}

TEST(TokenCheck, LanguageByExtension) {
  EXPECT_EQ(LanguageForPath("src/Main.java"), SourceLanguage::kJava);
  EXPECT_EQ(LanguageForPath("src/MAIN.JAVA"), SourceLanguage::kJava);
  EXPECT_EQ(LanguageForPath("a.c"), SourceLanguage::kCFamily);
  EXPECT_EQ(LanguageForPath("include/c++/12/vector"), SourceLanguage::kCFamily);
  EXPECT_EQ(LanguageForPath("dir.java/file.h"), SourceLanguage::kCFamily);
  EXPECT_EQ(LanguageForPath("x.javax"), SourceLanguage::kCFamily);
}

// A stream buffer that hands out its text a few bytes at a time, so that
// tokens and splices straddle every refill.
class TrickleBuf : public std::streambuf {
 public:
  explicit TrickleBuf(std::string text) : text_(std::move(text)) {}

 protected:
  int_type underflow() override {
    if (pos_ >= text_.size()) return traits_type::eof();
    size_t n = std::min<size_t>(3, text_.size() - pos_);
    setg(&text_[pos_], &text_[pos_], &text_[pos_] + n);
    pos_ += n;
    return traits_type::to_int_type(*gptr());
  }
  std::streamsize xsgetn(char* s, std::streamsize count) override {
    std::streamsize n = 0;
    while (n < count && (gptr() < egptr() || underflow() != traits_type::eof())) {
      std::streamsize take = std::min<std::streamsize>(count - n, egptr() - gptr());
      std::copy(gptr(), gptr() + take, s + n);
      gbump(static_cast<int>(take));
      n += take;
      if (n < count) break;  // a short read, as pipes give
    }
    return n;
  }

 private:
  std::string text_;
  size_t pos_ = 0;
};

TEST(TokenCheck, StreamsInSmallReads) {
  std::string original = "#define A(x) \\\n  f(x) /* c */\nint ret\\\nurn = R\"(a\\\n)\";\n// t \\\nu\n";
  for (int copy = 0; copy < 50; ++copy) original += "x = y->z + 1'000; /* note */\n";
  std::string formatted = original;
  TrickleBuf a(original), b(formatted);
  std::istream in_a(&a), in_b(&b);
  TokenCheckResult r = CheckTokens(in_a, in_b, TokenCheckOptions{});
  EXPECT_TRUE(r.same) << r.line;

  std::string changed = original;
  changed.replace(changed.rfind("y->z"), 4, "y- >z");
  TrickleBuf c(original), d(changed);
  std::istream in_c(&c), in_d(&d);
  r = CheckTokens(in_c, in_d, TokenCheckOptions{});
  EXPECT_FALSE(r.same);
  EXPECT_EQ(r.line, 57);
}

TEST(TokenCheck, FilesThatCannotBeOpened) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), "x;\n");
  test::WriteFile(dir.File("b.c"), "  x;\n");
  TokenCheckResult r;
  r.line = 99;
  EXPECT_TRUE(CheckTokenFiles(dir.File("a.c"), dir.File("b.c"), TokenCheckOptions{}, &r).ok());
  EXPECT_TRUE(r.same);
  EXPECT_EQ(r.line, 0);
  Status s = CheckTokenFiles(dir.File("a.c"), dir.File("missing.c"), TokenCheckOptions{}, &r);
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.message().find("missing.c"), std::string::npos) << s.message();
}

}  // namespace
}  // namespace folios

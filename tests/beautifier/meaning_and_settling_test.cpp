// What formatting must keep besides the tokens: the white space a macro may
// turn into a string, a byte-order mark, bytes of other encodings in
// comments, the content of a text block given as C++; and a formatted text
// formats to itself.
#include <gtest/gtest.h>

#include <sstream>

#include "beautifier_options.h"
#include "engine.h"
#include "folios_runner.h"
#include "reformat_file.h"
#include "settings_table.h"
#include "test_support.h"
#include "token_check.h"

namespace folios {
namespace {

std::string Format(const std::string& text, const BeautifierOptions& options = BeautifierOptions(),
                   SourceLanguage language = SourceLanguage::kCFamily) {
  std::istringstream in(text);
  std::ostringstream out, report, err;
  EXPECT_EQ(RunBeautifier(in, out, options, false, report, err, language), kReformatOk) << err.str();
  return out.str();
}

bool Same(const std::string& a, const std::string& b, SourceLanguage language = SourceLanguage::kCFamily) {
  TokenCheckOptions options;
  options.language = language;
  return CheckTokenTexts(a, b, options).same;
}

// Formats, checks the program, and formats the result again: it must come
// back byte for byte.
std::string FormatSettled(const std::string& text, const BeautifierOptions& options = BeautifierOptions()) {
  std::string once = Format(text, options);
  EXPECT_TRUE(Same(text, once)) << once;
  EXPECT_EQ(Format(once, options), once) << "formatted again, it changes:\n" << once;
  return once;
}

TEST(Settling, ACommentMovedOffItsLineIsWhereTheNextRunPutsIt) {
  BeautifierOptions wide;
  wide.COMMENTS_WITH_CODE = 40;
  wide.COMMENTS_WITH_NOCODE = 8;
  // The comment does not fit before the comment column, so it leaves its
  // line; alone on a line it stands at the column of comment-only lines.
  EXPECT_EQ(FormatSettled("double area(double r)\n{\n  return 3.14159 * r * r;  // pi r squared\n}\n"),
            "double area(double r) {\n// pi r squared\n    return 3.14159 * r * r;\n}\n");
  EXPECT_EQ(FormatSettled("int f()\n{\n  int result_of_a_long_computation = 1;  // why\n}\n", wide),
            "int f() {\n        // why\n    int result_of_a_long_computation = 1;\n}\n");
  // A comment the hanging indentation of nested statements pushes out.
  FormatSettled(
      "int f()\n{\n    if (a)\n\tif (b)\n\t  return a * b; // constant evaluation can see this overflow\n    return 0;\n}\n",
      wide);
  // A comment the brace join pushes out, with braces on the code line.
  FormatSettled("void g(int a_long_parameter_name)  // what g does\n{\n    x();\n}\n");
}

// The body of a loop without braces that is a switch is shifted as a block;
// a block longer than the lines held is shifted whole all the same, so a
// second run, which splits its lines elsewhere, shifts the same lines.
TEST(Settling, ABlockShiftReachesPastTheLinesHeld) {
  BeautifierOptions new_line;
  new_line.PLACE_BRACE_ON_NEW_LINE = -1;
  std::string body;
  for (int i = 0; i < 3; ++i) {
    std::string n = std::to_string(i);
    body += "            if (x == " + n + ") {\n                m = " + n + ";\n                break;\n            }\n";
  }
  const std::string source = "int f()\n{\n    for (;;)\n        switch (m) {\n        case A:\n" + body +
                             "            m = B;\n            break;\n        case B:\n            y = 1;\n"
                             "        }\n}\n";
  std::string formatted = FormatSettled(source, new_line);
  // Every statement of the last case stands as deep as those of the first.
  EXPECT_NE(formatted.find("\n                y = 1;\n"), std::string::npos) << formatted;
  EXPECT_NE(formatted.find("\n                    m = 2;\n"), std::string::npos) << formatted;
}

TEST(Adjacency, BracesInsideParenthesesStayWithTheirNeighbours) {
  const std::string source =
      "#include <stdio.h>\n"
      "#define SHOW(x) puts(#x)\n"
      "#define STR(x) #x\n"
      "struct p { int a, b; };\n"
      "static int f(struct p q) { return q.a; }\n"
      "int main(void)\n"
      "{\n"
      "    SHOW(f((struct p){1, 2}) == 1);\n"
      "    puts(STR(a{b}c));\n"
      "    g((int[]){1, 2},{3},\n"
      "      {4});\n"
      "    return 0;\n"
      "}\n";
  std::string formatted = FormatSettled(source);
  for (const char* kept : {"SHOW(f((struct p){1, 2}) == 1);", "puts(STR(a{b}c));", "g((int[]){1, 2},{3},", "{4});"}) {
    EXPECT_NE(formatted.find(kept), std::string::npos) << kept << " in\n" << formatted;
  }
  // In a macro's body a brace that touches a token is not cut from it.
  formatted = FormatSettled("#define M(x) \\\n    do{ f(#x); }while(0)\n");
  EXPECT_NE(formatted.find("do{ f(#x); }while(0)"), std::string::npos) << formatted;
}

TEST(Adjacency, TheCheckerSeesWhetherTokensTouchWhereItMatters) {
  // Inside parentheses and brackets, and in directives: a macro argument
  // or a definition reads differently.
  EXPECT_FALSE(Same("SHOW(f((struct p){1, 2}) == 1);\n", "SHOW(f((struct p){1, 2}\n) == 1);\n"));
  EXPECT_FALSE(Same("x = STR(a{b}c);\n", "x = STR(a{b} c);\n"));
  EXPECT_FALSE(Same("a[i+1] = 0;\n", "a[i + 1] = 0;\n"));
  EXPECT_FALSE(Same("#define f(x) x\n", "#define f (x) x\n"));
  EXPECT_FALSE(Same("#define A B+C\n", "#define A B + C\n"));
  // How much white space, or a comment in its place, is all the same.
  EXPECT_TRUE(Same("f(a, b);\n", "f(a,   b);\n"));
  EXPECT_TRUE(Same("f(a, b);\n", "f(a,\n      b);\n"));
  EXPECT_TRUE(Same("f(a/* x */);\n", "f(a );\n/* x */\n"));
  // Outside them, and in Java, it changes nothing.
  EXPECT_TRUE(Same("if(x){y();}\n", "if (x) {\n    y();\n}\n"));
  EXPECT_TRUE(Same("f((a){1});\n", "f( (a) {1} );\n", SourceLanguage::kJava));
}

TEST(ByteOrderMark, StaysFirstAndIsNoCode) {
  const std::string bom = "\xEF\xBB\xBF";
  std::string formatted = FormatSettled(bom + "// header\nint main(void) { return 0; }\n");
  EXPECT_EQ(formatted, bom + "// header\nint main(void) { return 0; }\n");
  formatted = FormatSettled(bom + "int x; // note\n");
  EXPECT_EQ(formatted, bom + "// note\nint x;\n");
  // The checker wants it on both sides, and only at the start.
  EXPECT_FALSE(Same(bom + "int x;\n", "int x;\n"));
  EXPECT_FALSE(Same(bom + "// a\nint x;\n", "// a\n" + bom + "int x;\n"));
  EXPECT_TRUE(Same(bom + "int  x;\n", bom + "int x;\n"));
  // Its bytes after a blank are no mark, and written first would become one.
  EXPECT_EQ(Format(" " + bom + "\n"), " " + bom + "\n");
  EXPECT_EQ(Format("\n" + bom + "\n"), "\n" + bom + "\n");
}

// A stray byte between a digit and an apostrophe becomes a blank, which ends
// the number: the apostrophe opens a literal, on the first run as on the next.
TEST(ControlBytes, AStrayByteEndsANumberBeforeAnApostrophe) {
  // The stray byte goes, which the checker counts as a change: only the
  // settling is compared.
  const std::string once = Format("{1\x97'0;e{e\n;");
  EXPECT_EQ(Format(once), once);
}

// Control bytes in a comment go, but never so that "*" and "/" close it.
TEST(ControlBytes, DroppedFromACommentTheyNeverCloseIt) {
  EXPECT_EQ(Format("a /**\f/h\n"), "a /** /h\n");
  EXPECT_EQ(Format("a /*\f x \v*/\n"), "a\n/* x */\n");
}

TEST(OtherEncodings, CommentsKeepEveryByteFrom128On) {
  // Windows-1252: a euro sign and curly quotes, which are bytes 128..159.
  const std::string comment = "// costs \x80 5, \x93quoted\x94 \xE9t\xE9";
  std::string formatted = FormatSettled("int f()\n{\nint x; " + comment + "\n}\n");
  EXPECT_NE(formatted.find(comment), std::string::npos) << formatted;
  formatted = FormatSettled("/* \x80\x85\x9F\n * \x91\x92 */\nint y;\n");
  EXPECT_NE(formatted.find("/* \x80\x85\x9F\n * \x91\x92 */"), std::string::npos) << formatted;
  // Taking such a byte out of a comment changes it.
  EXPECT_FALSE(Same("int x; // \x80 5\n", "int x; //  5\n"));
}

// Without a file name the text is read as C++; three quotes alone at the
// end of a line are no C++, and are read as a text block, which keeps its
// lines as they stand, as Java's.
TEST(StandardInput, AJavaTextBlockReadAsCxxKeepsItsLines) {
  test::ScopedSettings scoped;
  const std::string java =
      "class A {\n"
      "String s = \"\"\"\n"
      "    keep\n"
      "  these\n"
      "\"\"\";\n"
      "}\n";
  const std::string formatted_java = "class A {\n    String s = \"\"\"\n    keep\n  these\n\"\"\";\n}\n";
  std::string formatted, why;
  std::ostringstream err;
  for (SourceLanguage language : {SourceLanguage::kCFamily, SourceLanguage::kJava}) {
    int rc = ReformatText(java, LoadFormatSettings(), language, &formatted, &why, err);
    EXPECT_EQ(rc, kReformatOk) << why;
    EXPECT_EQ(formatted, formatted_java);
  }
  test::TempDir dir;
  test::RunResult run = test::RunFolios({"reformat", "-"}, dir.path(), &java);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, formatted_java);
  // Moving the lines of such a block changes the program.
  EXPECT_FALSE(Same(java, "class A {\nString s = \"\"\"\n        keep\n  these\n\"\"\";\n}\n"));
}

// Comments before a raw string that goes on past its line stay before it:
// placed after the code they would be part of the string.
TEST(Settling, CommentsBeforeARawStringGoingOnStayInFront) {
  EXPECT_EQ(FormatSettled("/**/R\"(x\n)\";\n"), "/**/R\"(x\n)\";\n");
  EXPECT_EQ(FormatSettled("int f() {\n  s = /* text */ R\"(a\nb)\";\n}\n"),
            "int f() {\n    s = /* text */ R\"(a\nb)\";\n}\n");
}

// A brace before a continuation joins no token with the next line, which is
// indented as any other; the cut then parts the two, and a second run,
// seeing a blank before the backslash, must lay it out alike.
TEST(Settling, ABraceBeforeAContinuationGluesNothing) {
  EXPECT_EQ(FormatSettled("{\\\nb"), "{ \\\n    b\n");
  EXPECT_EQ(FormatSettled("{\\ \nb"), "{ \\\n    b\n");
}

// With comments removed, the rest of a comment whose opening had to stay
// (a stray backslash keeps its line whole) stays too, across empty lines.
TEST(Settling, TheRestOfAKeptCommentOpeningStaysAcrossEmptyLines) {
  std::istringstream in("x \\/*a\n\n  \n*/ y;\n");
  std::ostringstream out, report, err;
  ASSERT_EQ(RunBeautifier(in, out, BeautifierOptions(), true, report, err, SourceLanguage::kCFamily), kReformatOk);
  EXPECT_TRUE(Same("x \\/*a\n\n  \n*/ y;\n", out.str())) << out.str();
}

// A brace is not joined to a line whose comment runs on over the next lines:
// a second run would find the comment after the brace and move it.
TEST(Settling, ABraceStaysOffALineWhoseCommentRunsOn) {
  EXPECT_EQ(FormatSettled("if (a) /* x\n y */\n{\n}\n"), "if (a) /* x\n y */\n{\n}\n");
  FormatSettled("A,/*\n*/{");
}

// Text copied as it stands (a file that starts with "<" is taken for HTML)
// gets no line end after a final backslash, which would splice it onto
// nothing.
TEST(Settling, ACopiedLastLineEndingInABackslashGetsNoLineEnd) {
  EXPECT_EQ(Format("<\\"), "<\\");
  EXPECT_EQ(Format("<p>\nx\\"), "<p>\nx\\");
  EXPECT_EQ(Format("<p>\nx\\\n"), "<p>\nx\\\n");
  // Nor after a backslash and blanks, which a compiler splices as well.
  EXPECT_EQ(Format("x = \"\\ "), "x = \"\\ ");
  // But a line that had its line end keeps it, though the last line after
  // it, of a dropped byte, writes nothing.
  EXPECT_EQ(FormatSettled("{\\\n\x1f"), "{ \\\n");
}

// A brace after a line that a backslash continued stays on its line: joined,
// a second run would cut it off again, with a backslash of its own.
TEST(Settling, ABraceIsNotJoinedToASplicedLine) {
  EXPECT_EQ(FormatSettled("e\\\nx\n{"), "e\\\nx\n{\n");
  FormatSettled("int f(a,\\\n b)\n{\n}\n");
  // A line of a lone backslash is dropped: what follows it is spliced onto
  // nothing, and the brace joins it as anywhere.
  EXPECT_EQ(FormatSettled("{\n\\\nx\n{"), "{\n    x {\n");
  // Pieces cut from a line after a backslash carry one each: what follows
  // them is spliced, and no brace joins it.
  EXPECT_EQ(FormatSettled("\\\n{x\n{"), "{ \\\n    x\n    {\n");
}

// Inside brackets a brace before a backslash-newline stays glued to what the
// next line begins with: there the space between two tokens may count.
TEST(Settling, ABraceInBracketsBeforeASpliceStaysGlued) {
  FormatSettled("xt{\\\ne[x{\\\ne[xt{");
  EXPECT_EQ(FormatSettled("f(a[{\\\nb}]);\n"), "f(a[{\\\nb}]);\n");
}

// A raw string or text block going on past a directive's line carries the
// directive: its next line is written as it stands.
TEST(Settling, ADirectiveGoesOnInARawString) {
  EXPECT_EQ(FormatSettled("#define X R\"(a\n)\" {\nint y;\n"), "#define X R\"(a\n)\" {\nint y;\n");
  EXPECT_EQ(FormatSettled("#\"\"\"\n\"\"\"{"), "#\"\"\"\n\"\"\"{\n");
}

// A compiler splices a backslash and the line end (blanks may stand between
// them) before it reads a literal: the literal goes on over the next line,
// which keeps every character, whether the backslash ended an escape pair or
// not; and a quote after a lone spliced backslash closes the literal.
TEST(Settling, ALiteralSplicedByAnyFinalBackslashGoesOn) {
  EXPECT_EQ(FormatSettled("void f(void)\n{\ns = \"abc\\\\\n def\";\n}\n"),
            "void f(void) {\n    s = \"abc\\\\\n def\";\n}\n");
  EXPECT_EQ(FormatSettled("void f(void)\n{\ns = \"abc\\ \n def\";\n}\n"),
            "void f(void) {\n    s = \"abc\\ \n def\";\n}\n");
  EXPECT_EQ(FormatSettled("void f(void)\n{\ns = \"abc\\\n\";\n   x = 1;\n}\n"),
            "void f(void) {\n    s = \"abc\\\n\";\n    x = 1;\n}\n");
}

// A line of a lone backslash is dropped, but it neither parts nor joins the
// tokens around it: "c\\" "\\" "y" is one word, and with blanks before the
// lone backslash two.
TEST(Settling, ADroppedLoneBackslashKeepsTheTokensAroundItAsTheyWere) {
  EXPECT_EQ(FormatSettled("{\nint c\\\n\\\ny;\n}\n"), "{\n    int c\\\ny;\n}\n");
  EXPECT_EQ(FormatSettled("c\\\n    \\\ny\";\n"), "c\\\n y\";\n");
  EXPECT_EQ(FormatSettled("{\nint c\\\n   \\\n\\\ny;\n}\n"), "{\n    int c\\\n        y;\n}\n");
}

// The rest of a comment left open after a complete one on a code line keeps
// its place: its shift is measured from the open comment, not the other.
TEST(Settling, TheRestOfACommentLeftOpenAfterACompleteOneStays) {
  const std::string text = "int f(int x) {\n    x = 2;   /* block */ /* and one\n    x = 1;  // past\n    */\n}\n";
  EXPECT_EQ(FormatSettled(text), text);
}

// Empty lines in a row come out as one, and a brace after them joins its
// code line however many there were: a second run finds only one.
TEST(Settling, ABraceJoinsAcrossAnyNumberOfEmptyLines) {
  EXPECT_EQ(FormatSettled("f\r\r\r\r\r\r\r\r\r\r{"), "f {\n");
  EXPECT_EQ(FormatSettled("int f()\n" + std::string(40, '\n') + "{\n}\n"), "int f() {\n\n}\n");
}

// After a closing brace whose line a backslash continues (in its line
// comment) no empty line comes or goes: it would end or add to the comment.
TEST(Settling, NoFunctionSpacingAfterAContinuedClosingBrace) {
  EXPECT_EQ(FormatSettled("}//\\\n}//\\\n"), "} //\\\n}//\\\n");
  EXPECT_EQ(FormatSettled("int f() {\n} // c\\\n\nint x;\n"), "int f() {\n} // c\\\n\nint x;\n");
}

// Java continues no line with a backslash: a "#" line ending in one carries
// nothing over to the next.
TEST(Settling, JavaContinuesNoLineWithABackslash) {
  std::string once = Format("#\\\n){\n", BeautifierOptions(), SourceLanguage::kJava);
  EXPECT_EQ(Format(once, BeautifierOptions(), SourceLanguage::kJava), once);
  EXPECT_EQ(once, "#\\\n)\n{\n");
}

// Each branch of "#if ... #else ... #endif" starts from the parentheses open
// at the "#if": closed once in each branch, they count as closed once, and a
// brace still inside them stays with its neighbours.
TEST(Adjacency, ParenthesesCountOnceAcrossConditionalBranches) {
  const std::string formatted =
      FormatSettled("int h() {\nputs(S(f(a,\n#if A\nb)),\n#else\nc)),\n#endif\n{1, 2}));\n}\n");
  EXPECT_NE(formatted.find("{1, 2}));\n"), std::string::npos) << formatted;
}

}  // namespace
}  // namespace folios

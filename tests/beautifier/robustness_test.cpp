// The engine under hostile input: huge lines, deep nesting, binary bytes,
// memory exhaustion and settings outside their ranges. Every formatting here
// must also keep the program (the token checker).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "beautifier_options.h"
#include "engine.h"
#include "reformat_file.h"
#include "settings_table.h"
#include "test_support.h"
#include "token_check.h"

namespace folios {
namespace {

struct Formatted {
  int rc = 0;
  std::string out;
  std::string err;
};

Formatted Format(const std::string& input, BeautifierOptions options = BeautifierOptions(),
                 SourceLanguage language = SourceLanguage::kCFamily) {
  std::istringstream in(input);
  std::ostringstream out, err;
  std::ostream report(nullptr);
  Formatted f;
  f.rc = RunBeautifier(in, out, options, false, report, err, language);
  f.out = out.str();
  f.err = err.str();
  return f;
}

void ExpectSameProgram(const std::string& before, const std::string& after) {
  TokenCheckResult r = CheckTokenTexts(before, after, TokenCheckOptions{});
  EXPECT_TRUE(r.same) << "changed at line " << r.line;
}

// The widest leading white space of any line.
size_t WidestIndent(const std::string& text) {
  size_t widest = 0;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t n = line.find_first_not_of(' ');
    widest = std::max(widest, n == std::string::npos ? line.size() : n);
  }
  return widest;
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// Thousands of braces on a line are cut one a line without recursion; a
// line of more, whose pieces would cost far more memory than its bytes,
// is written as it stands.
TEST(Robustness, LinesOfBracesAreCutWithoutRecursionOrKeptWhole) {
  std::string input = std::string(4000, '{') + "\n";
  Formatted f = Format(input);
  ASSERT_EQ(f.rc, kReformatOk) << f.err;
  EXPECT_EQ(Lines(f.out), 4000u);  // one brace a line
  EXPECT_LE(WidestIndent(f.out), static_cast<size_t>(400));
  ExpectSameProgram(input, f.out);

  input = "int f()\n{\n" + std::string(50000, '{') + std::string(50000, '}') + "\nx;\n}\n";
  f = Format(input);
  ASSERT_EQ(f.rc, kReformatOk) << f.err;
  EXPECT_EQ(f.out, "int f() {\n" + std::string(50000, '{') + std::string(50000, '}') + "\n    x;\n}\n");
  ExpectSameProgram(input, f.out);
}

TEST(Robustness, LongInitializerAndCommentLinesKeepTheProgram) {
  std::string table = "int t[][2] = {";
  std::string comments = "int x = a";
  for (int i = 0; i < 20000; ++i) {
    table += "{" + std::to_string(i) + ", " + std::to_string(-i) + "}, ";
    comments += " /* " + std::to_string(i) + " */ + a";
  }
  const std::string input = "void f()\n{\n" + table + "};\n" + comments + ";\n}\n";
  Formatted f = Format(input);
  ASSERT_EQ(f.rc, kReformatOk) << f.err;
  ExpectSameProgram(input, f.out);
  BeautifierOptions braces;
  braces.PLACE_BRACE_ON_NEW_LINE = -1;
  f = Format(input, braces);
  ASSERT_EQ(f.rc, kReformatOk) << f.err;
  ExpectSameProgram(input, f.out);
}

TEST(Robustness, DeepStatementNestingStaysBounded) {
  std::string input = "void f()\n{\n";
  for (int i = 0; i < 100000; ++i) input += "if (a)\n";
  input += "x();\n}\n";
  Formatted f = Format(input);
  ASSERT_EQ(f.rc, kReformatOk) << f.err;
  EXPECT_LE(WidestIndent(f.out), static_cast<size_t>(400));
  ExpectSameProgram(input, f.out);
}

TEST(Robustness, ANulByteIsNoTextSource) {
  Formatted f = Format(std::string("int x;\nint y", 12) + std::string(1, '\0') + ";\n");
  EXPECT_EQ(f.rc, kReformatBinary);
  EXPECT_NE(f.err.find("NUL byte in line 2"), std::string::npos) << f.err;
}

TEST(Robustness, EveryLineEndEndsALine) {
  // A lone carriage return ends a line: the code after it is no comment.
  Formatted f = Format("// note\rint x;\r\nvoid f()\r{\rx;\n}");
  ASSERT_EQ(f.rc, kReformatOk);
  EXPECT_EQ(f.out, "// note\nint x;\nvoid f() {\n    x;\n}\n");
}

TEST(Robustness, ALastLineWithoutLineEndGainsOneOnlyWhereItChangesNothing) {
  struct Case {
    const char* input;
    const char* output;
  };
  const Case cases[] = {
      {"int x;", "int x;\n"},
      // A line end after a final backslash would splice the line onto
      // nothing; inside a raw string it would become part of the string.
      {"int t = \"abc\\", "int t = \"abc\\"},
      {"x = 1; \\", "x = 1; \\"},
      {"const char* s = R\"x(\n  a {\n  b", "const char* s = R\"x(\n  a {\n  b"},
      {"const char* s = R\"x(a)x\";", "const char* s = R\"x(a)x\";\n"},
  };
  for (const Case& c : cases) {
    Formatted f = Format(c.input);
    ASSERT_EQ(f.rc, kReformatOk) << c.input;
    EXPECT_EQ(f.out, c.output);
    ExpectSameProgram(c.input, f.out);
  }
}

TEST(Robustness, ABraceThatCarriesAContinuationKeepsItsLine) {
  // Joined to the line above, the brace's backslash would stand before that
  // line's comment instead of ending the line.
  BeautifierOptions options;
  options.COMMENTS_WITH_CODE = 40;
  const std::string input = "x; // c\n{ \\\n* d;\n}\n";
  Formatted f = Format(input, options);
  ASSERT_EQ(f.rc, kReformatOk);
  EXPECT_EQ(f.out, "x;                                      // c\n{ \\\n    * d;\n}\n");
  ExpectSameProgram(input, f.out);
}

TEST(Robustness, ANumberSignNeverComesFirstOnALineItWasNotFirstOn) {
  // Cut off to a line of its own after a brace, or after the end of a
  // comment, "#" would begin a directive.
  const std::string input = "int a; /* a\n b */ # x\n{#\nx { %: b\n{ a; } # b\n} # b {\nint z;\n";
  for (bool braces_alone : {false, true}) {
    BeautifierOptions options;
    options.PLACE_BRACE_ON_NEW_LINE = braces_alone ? 1 : 0;
    Formatted f = Format(input, options);
    ASSERT_EQ(f.rc, kReformatOk) << f.err;
    EXPECT_EQ(f.out, "int a; /* a\n b */ # x\n{#\n    x { %: b\n    { a; } # b\n} # b {\nint z;\n");
    ExpectSameProgram(input, f.out);
  }
  // Without the comment the sign would stand first: such a file is not
  // formatted with comments removed.
  std::istringstream in(input);
  std::ostringstream out, err;
  std::ostream report(nullptr);
  EXPECT_EQ(RunBeautifier(in, out, BeautifierOptions(), true, report, err), kReformatBadLine);
  EXPECT_NE(err.str().find("Line 2: a number sign after the end of a comment"), std::string::npos) << err.str();
}

TEST(Robustness, AStrayBackslashNeverEndsALine) {
  // Left at the end of a line, a backslash from inside a line would splice
  // it onto the next; its line is written as it stands, comments and all.
  const std::string input = "void f()\n{\n  a();\n\\ }\nx \\ // c\n{\ny \\ /* d */\n#define Q a \\ b\n{\n}\n";
  for (bool remove_comments : {false, true}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    std::ostream report(nullptr);
    ASSERT_EQ(RunBeautifier(in, out, BeautifierOptions(), remove_comments, report, err), kReformatOk) << err.str();
    EXPECT_NE(out.str().find("\n\\ }\nx \\ // c\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\ny \\ /* d */\n#define Q a \\ b\n"), std::string::npos) << out.str();
    TokenCheckOptions check;
    check.comments_removed = remove_comments;
    EXPECT_TRUE(CheckTokenTexts(input, out.str(), check).same) << out.str();
  }
}

// Runs `body` in a child process whose address space is limited to `bytes`;
// true when the child exited with status 0.
template <typename Body>
bool InLimitedChild(rlim_t bytes, Body body) {
  pid_t pid = fork();
  if (pid == 0) {
    struct rlimit limit = {bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// An input of one endless line, without ever holding it.
class EndlessLine : public std::streambuf {
 protected:
  int_type underflow() override {
    std::fill(std::begin(chunk_), std::end(chunk_), 'x');
    setg(chunk_, chunk_, chunk_ + sizeof chunk_);
    return 'x';
  }

 private:
  char chunk_[1 << 16];
};

TEST(Robustness, MemoryExhaustionOnAHugeLineIsAResult) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address space limit cannot be used with AddressSanitizer";
#else
  bool ok = InLimitedChild(512u << 20, [] {
    EndlessLine endless;
    std::istream in(&endless);
    std::ostringstream out, err;
    std::ostream report(nullptr);
    int rc = RunBeautifier(in, out, BeautifierOptions(), false, report, err);
    return rc == kReformatNoFileOrMemory && err.str().find("Memory Allocation Failed") != std::string::npos;
  });
  EXPECT_TRUE(ok);
#endif
}

TEST(Robustness, OptionsOutsideThePageRangesAreClamped) {
  BeautifierOptions wild;
  wild.INDENT_SPACING = -3;
  wild.COMMENTS_WITH_CODE = 1000;
  wild.FUNCTION_SPACING = 99;
  wild.QUEUE_BUFFER = 5000;
  Formatted f = Format("void f()\n{\nx; // c\n}\nint y;\n", wild);
  ASSERT_EQ(f.rc, kReformatOk);
  // Indent 0, the comment at column 60, ten blank lines after the function.
  EXPECT_EQ(f.out, "void f() {\nx;" + std::string(58, ' ') + "// c\n}\n" + std::string(10, '\n') + "int y;\n");

  std::vector<std::string> warnings;
  ClampBeautifierOptions(&wild, &warnings);
  EXPECT_EQ(wild.INDENT_SPACING, 0);
  EXPECT_EQ(wild.COMMENTS_WITH_CODE, 60);
  EXPECT_EQ(wild.QUEUE_BUFFER, 100);
  ASSERT_EQ(warnings.size(), 3u);  // the fixed QUEUE_BUFFER is no user setting
  EXPECT_EQ(warnings[0], "m_empty_lines must be a whole number from 0 to 10; 99 is taken as 10");
  EXPECT_EQ(warnings[1], "m_spaces_to_indent must be a whole number from 0 to 10; -3 is taken as 0");
  EXPECT_EQ(warnings[2], "m_c_with_code must be a whole number from 0 to 60; 1000 is taken as 60");

  test::ScopedSettings scoped;
  Settings(SettingKey::kMain).SetText("m_c_without_code", "-1");
  warnings.clear();
  BeautifierOptions loaded = LoadBeautifierOptions(&warnings);
  EXPECT_EQ(loaded.COMMENTS_WITH_NOCODE, 0);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "m_c_without_code must be a whole number from 0 to 60; -1 is taken as 0");
}

TEST(Robustness, JavaLineCommentsDoNotContinue) {
  const std::string input = "void f()\n{\nif (a) // c:\\\nx();\ny();\n}\n";
  Formatted c = Format(input);
  Formatted java = Format(input, BeautifierOptions(), SourceLanguage::kJava);
  // In C the backslash splices "x();" into the comment; in Java it is code.
  EXPECT_EQ(c.out, "void f() {\n    if (a)// c:\\\nx();\n        y();\n}\n");
  EXPECT_EQ(java.out, "void f() {\n    if (a)// c:\\\n        x();\n    y();\n}\n");
}

}  // namespace
}  // namespace folios

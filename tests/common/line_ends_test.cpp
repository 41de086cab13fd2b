// Line-end conventions: the majority of a text and text written in one.
#include "line_ends.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

#include "test_support.h"

namespace folios {
namespace {

TEST(LineEnds, TheMajorityWinsAndTiesGoToLfThenCrLf) {
  EXPECT_EQ(MajorityLineEnd(""), LineEnd::kLf);
  EXPECT_EQ(MajorityLineEnd("no end"), LineEnd::kLf);
  EXPECT_EQ(MajorityLineEnd("a\r\nb\r\nc\n"), LineEnd::kCrLf);
  EXPECT_EQ(MajorityLineEnd("a\rb\rc\r\n"), LineEnd::kCr);
  EXPECT_EQ(MajorityLineEnd("a\nb\r\n"), LineEnd::kLf);
  EXPECT_EQ(MajorityLineEnd("a\r\nb\r"), LineEnd::kCrLf);
  EXPECT_EQ(MajorityLineEnd("\r\r\n\r"), LineEnd::kCr);  // two lone CRs, one CR LF
}

TEST(LineEnds, ACrLfSplitBetweenPiecesCountsOnce) {
  LineEndCounter counter;
  counter.Add("a\r");
  counter.Add("\nb\r");
  counter.Add("\nc\r");
  EXPECT_EQ(counter.crlf(), 2u);
  EXPECT_EQ(counter.cr(), 1u);  // the last CR, with nothing after it
  EXPECT_EQ(counter.lf(), 0u);
  EXPECT_EQ(counter.Majority(), LineEnd::kCrLf);
}

TEST(LineEnds, FileMajorityIsReadThroughWholeBlocks) {
  test::TempDir dir;
  std::string text;
  for (int i = 0; i < 40000; ++i) text += i % 3 ? "line\r\n" : "line\n";  // beyond one block
  test::WriteFile(dir.File("big.c"), text);
  EXPECT_EQ(MajorityLineEndOfFile(dir.File("big.c")), LineEnd::kCrLf);
  EXPECT_EQ(MajorityLineEndOfFile(dir.File("missing.c")), LineEnd::kLf);
}

TEST(LineEnds, LfTextIsWrittenInTheChosenConvention) {
  EXPECT_EQ(WithLineEnds("a\nb\n\nc", LineEnd::kCrLf), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(WithLineEnds("a\nb\n", LineEnd::kCr), "a\rb\r");
  EXPECT_EQ(WithLineEnds("a\nb\n", LineEnd::kLf), "a\nb\n");

  // The stream form gives the same, however the text is handed over.
  std::stringbuf target;
  LineEndWriter writer(&target, LineEnd::kCrLf);
  std::ostream out(&writer);
  out << "int x;\n" << '\n' << "y";
  out.put('\n');
  out.write("z\nw", 3);
  out.flush();
  EXPECT_TRUE(out.good());
  EXPECT_EQ(target.str(), "int x;\r\n\r\ny\r\nz\r\nw");
}

}  // namespace
}  // namespace folios

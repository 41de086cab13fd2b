// The RTF oracle must accept what readers accept and refuse each way a
// writer can break a document, or the fuzz targets prove nothing.
#include "rtf_check.h"

#include <gtest/gtest.h>

#include <string>

namespace folios::fuzz {
namespace {

bool Accepts(const std::string& rtf) {
  std::string problem;
  bool ok = CheckRtfDocument(rtf, &problem);
  EXPECT_TRUE(ok || !problem.empty()) << "a refusal must say why";
  return ok;
}

TEST(RtfCheck, AcceptsWellFormedDocuments) {
  EXPECT_TRUE(Accepts("{\\rtf1}"));
  EXPECT_TRUE(Accepts("{\\rtf1\\ansi \\deff0{\\fonttbl{\\f0\\ Courier New;}}\r\n{\\b bold}\\par }\n\n"));
  // Escaped specials, hex escapes in either case, signed numbers, symbols.
  EXPECT_TRUE(Accepts("{\\rtf1 \\\\ \\{ \\} \\'e9\\'E9 \\li-360 \\~\\-\\_\\:\\|{\\*\\x y}}"));
  // A backslash before a line end is a paragraph mark.
  EXPECT_TRUE(Accepts("{\\rtf1 a\\\nb}"));
  // Bytes 128..255 and DEL are text, not control bytes.
  EXPECT_TRUE(Accepts("{\\rtf1 \xe9\xff\x7f}"));
  // The listing's end closes the line's group and the document's.
  EXPECT_TRUE(Accepts("{\\rtf1 {x\n\\par}}\n"));
  // A control word ends at a blank, a line end, a backslash, a brace, or the
  // ";" of a table entry.
  EXPECT_TRUE(Accepts("{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}\\b x\\par\nx\\b{y}\\i\\b0}"));
}

TEST(RtfCheck, RefusesBracesThatDoNotBalance) {
  EXPECT_FALSE(Accepts("{\\rtf1 {x}"));                  // a group left open
  EXPECT_FALSE(Accepts("{\\rtf1 x}}"));                  // one brace too many
  EXPECT_FALSE(Accepts("{\\rtf1 x} {\\b y}"));           // text after the end
  EXPECT_FALSE(Accepts("{\\rtf1 \\{x}}"));               // an escaped brace does not count
  EXPECT_FALSE(Accepts("\\rtf1 x}"));                    // no opening group
  EXPECT_FALSE(Accepts("{\\rtf1 x\\}"));                 // the last brace is escaped
  EXPECT_FALSE(Accepts(""));
}

TEST(RtfCheck, RefusesIncompleteControlWords) {
  EXPECT_FALSE(Accepts("{\\rtf1 x\\"));                  // a backslash at the very end
  EXPECT_FALSE(Accepts("{\\rtf1 \\'4}"));                // a hex escape cut short
  EXPECT_FALSE(Accepts("{\\rtf1 \\'zz}"));               // not hex
  EXPECT_FALSE(Accepts("{\\rtf1 \\'"));                  // cut at the end
  EXPECT_FALSE(Accepts("{\\rtf1 \\li-}"));               // a sign without digits
  EXPECT_FALSE(Accepts("{\\rtf1 \\1}"));                 // a digit is no control symbol
  EXPECT_FALSE(Accepts("{\\rtf1 \\#}"));
  EXPECT_FALSE(Accepts("{\\rtf1 \\\xe9}"));              // nor is a high byte
  EXPECT_FALSE(Accepts("{\\rtf1 \\" + std::string(33, 'a') + "}"));
  EXPECT_FALSE(Accepts("{\\rtf1 \\fs12345678901}"));
}

TEST(RtfCheck, RefusesRawControlBytes) {
  EXPECT_FALSE(Accepts(std::string("{\\rtf1 a\0b}", 11)));
  EXPECT_FALSE(Accepts("{\\rtf1 a\x01" "b}"));
  EXPECT_FALSE(Accepts("{\\rtf1 a\x0b" "b}"));          // vertical tab
  EXPECT_FALSE(Accepts("{\\rtf1 a\x1f" "b}"));
  EXPECT_FALSE(Accepts("{\\rtf1 ab}\x1b"));             // also after the end
  // Readers take a tab as a tab; a form feed is no text of RTF ("\page").
  EXPECT_TRUE(Accepts("{\\rtf1 a\tb}"));
  EXPECT_FALSE(Accepts("{\\rtf1 a\fc}"));
}

TEST(RtfCheck, NothingFollowsTheDocumentButLineEnds) {
  // The three document ends listings used to write.
  EXPECT_FALSE(Accepts("{\\rtf1 {x\n\\par}}\n\\par}}\n\\par}}\n"));
  EXPECT_FALSE(Accepts("{\\rtf1 {x\n\\par}}\n\\par}}\n"));
  EXPECT_TRUE(Accepts("{\\rtf1 {x\n\\par}}"));
  EXPECT_TRUE(Accepts("{\\rtf1 {x\n\\par}}\r\n\n"));
}

// Text right after a control word is taken by some readers as its
// delimiter and lost ("\lang1033/tmp" reads "tmp").
TEST(RtfCheck, RefusesTextRightAfterAControlWord) {
  EXPECT_FALSE(Accepts("{\\rtf1 \\lang1033/tmp/a.c}"));
  EXPECT_FALSE(Accepts("{\\rtf1 \\cf11\\highlight8/* c */}"));
  EXPECT_FALSE(Accepts("{\\rtf1 caf\\u233?}"));
  EXPECT_TRUE(Accepts("{\\rtf1 caf\\u233 ?}"));
  EXPECT_TRUE(Accepts("{\\rtf1 \\cf11\\highlight8 /* c */}"));
}

TEST(RtfCheck, SaysWhereTheFaultIs) {
  std::string problem;
  EXPECT_FALSE(CheckRtfDocument("{\\rtf1\nline two\nbad \\'q1}", &problem));
  EXPECT_NE(problem.find("line 3"), std::string::npos) << problem;
}

}  // namespace
}  // namespace folios::fuzz

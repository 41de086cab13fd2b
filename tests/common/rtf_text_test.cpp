#include "rtf_text.h"

#include <gtest/gtest.h>

namespace folios {
namespace {

std::string Escape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) i += AppendRtfNonAscii(&out, text, i);
  return out;
}

TEST(RtfText, ValidUtf8BecomesUnicodeEscapes) {
  EXPECT_EQ(Escape("\xC3\xA9"), "\\u233 ?");                   // é
  EXPECT_EQ(Escape("\xE2\x82\xAC"), "\\u8364 ?");              // €
  EXPECT_EQ(Escape("\xEF\xBF\xBD"), "\\u-3 ?");                // U+FFFD, above 32767
  EXPECT_EQ(Escape("\xF0\x9F\x98\x80"), "\\u-10179 ?\\u-8704 ?");  // U+1F600 as a surrogate pair
}

TEST(RtfText, OtherBytesAreCodePage1252HexEscapes) {
  EXPECT_EQ(Escape("\xE9"), "\\'e9");                // Latin-1 é alone
  std::string out;
  EXPECT_EQ(AppendRtfNonAscii(&out, "\xC3(", 0), 1u);  // a lead byte without its continuation
  EXPECT_EQ(out, "\\'c3");
  EXPECT_EQ(Escape("\xC0\xAF"), "\\'c0\\'af");       // overlong form of "/"
  EXPECT_EQ(Escape("\xED\xA0\x80"), "\\'ed\\'a0\\'80");  // a UTF-16 surrogate in UTF-8
  EXPECT_EQ(Escape("\xE2\x82"), "\\'e2\\'82");        // cut short by the end of the text
}

TEST(RtfText, CountsCharactersAsAReaderShowsThem) {
  EXPECT_EQ(CountCharacters(""), 0u);
  EXPECT_EQ(CountCharacters("abc"), 3u);
  EXPECT_EQ(CountCharacters("caf\xC3\xA9"), 4u);
  EXPECT_EQ(CountCharacters("\xF0\x9F\x98\x80!"), 2u);
  EXPECT_EQ(CountCharacters("\xE9\xE9"), 2u);
}

}  // namespace
}  // namespace folios

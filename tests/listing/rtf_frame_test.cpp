// The document frame: head, tables, format prefixes, line capacity, colours.
#include "rtf_frame.h"

#include <gtest/gtest.h>

#include "expected_rtf.h"
#include "rtf_colors.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

using test::ExpectedHead;
using test::HeadLayout;
using test::ScopedSettings;

TEST(RtfFrame, DefaultHeadIsPortraitOneColumn) {
  ScopedSettings settings;
  CRtfFrame frame;
  std::string head = frame.GetDocumentHead();
  EXPECT_EQ(test::FirstDifference(ExpectedHead(), head), "");
  EXPECT_EQ(head.rfind("{\\rtf1\\ansi \\deff0\\deflang1033", 0), 0u);
  EXPECT_NE(head.find("\\paperw11906\\paperh16838\\margl1417"), std::string::npos);
  EXPECT_EQ(head.find("\\lndscpsxn"), std::string::npos);
}

TEST(RtfFrame, HeadFollowsOrientationAndColumns) {
  struct Case {
    const char* orientation;
    const char* columns;
    const char* separator;
    HeadLayout layout;
  };
  const Case cases[] = {
      {"1", "1", "1", {true, 1, true}},    // landscape, one column: P1 without \lndscpsxn
      {"0", "2", "1", {false, 2, true}},   // two columns always carry \lndscpsxn\cols2
      {"1", "2", "0", {true, 2, false}},   // no \linebetcol without the separator
      {"0", "3", "1", {false, 3, true}},   // any count but 1 is two columns
      {"0", "0", "0", {false, 0, false}},
  };
  for (const Case& c : cases) {
    ScopedSettings settings;
    Settings main;
    main.SetText("m_b_orientation", c.orientation);
    main.SetText("m_colnumber", c.columns);
    main.SetText("m_colseparator", c.separator);
    CRtfFrame frame;
    SCOPED_TRACE(std::string("orientation ") + c.orientation + ", columns " + c.columns);
    EXPECT_EQ(test::FirstDifference(ExpectedHead(c.layout), frame.GetDocumentHead()), "");
  }
}

TEST(RtfFrame, FontTableHasABackslashAndBlankBeforeEachName) {
  ScopedSettings settings;
  EXPECT_EQ(CRtfFrame().GetFontTable(),
            "{\\fonttbl{\\f0\\ Courier New;}{\\f1\\ Times New Roman;}{\\f2\\ Courier New;}"
            "{\\f3\\ Arial;}{\\f4\\ Courier;}}");
}

TEST(RtfFrame, DefaultFormatPrefixes) {
  ScopedSettings settings;
  CRtfFrame frame;
  EXPECT_EQ(frame.GetHeaderFormat(), test::kDefaultHeaderFormat);
  EXPECT_EQ(frame.GetCodeFormat(), test::kDefaultCodeFormat);
  // Without a stored value the comment prefix falls back to black.
  EXPECT_EQ(frame.GetCommentFormat(), test::kDefaultCommentFormat);
}

TEST(RtfFrame, FormatPrefixStylesInOrderUnderlineBoldItalic) {
  ScopedSettings settings;
  Settings doc(SettingKey::kDoc);
  doc.SetInt("m_code_underline", 1);
  doc.SetInt("m_code_bold", 1);
  doc.SetInt("m_code_italic", 1);
  doc.SetInt("m_code_forecolor", 0);
  doc.SetInt("m_code_back_color", 23);
  doc.SetInt("m_header_bold", 0);
  doc.SetInt("m_header_italic", 1);
  doc.SetInt("m_header_fontsize", 11);
  doc.SetInt("m_comment_forecolor", 11);
  doc.SetInt("m_comment_fontsize", 9);
  CRtfFrame frame;
  EXPECT_EQ(frame.GetCodeFormat(), "\\pard\\plain \\f0\\fs20\\ul\\b\\i\\cf0\\highlight23\\lang1033");
  EXPECT_EQ(frame.GetHeaderFormat(), "\\pard\\plain \\f0\\fs22\\i\\cf1\\highlight8\\lang1033");
  EXPECT_EQ(frame.GetCommentFormat(), "\\pard\\plain \\f0\\fs18\\cf11\\highlight8\\lang1033");
}

TEST(RtfFrame, StylesAreReadAtEveryPrefixButSizesAtConstruction) {
  ScopedSettings settings;
  CRtfFrame frame;
  Settings doc(SettingKey::kDoc);
  doc.SetInt("m_code_bold", 1);
  doc.SetInt("m_code_fontsize", 12);
  doc.SetInt("m_header_fontsize", 20);
  EXPECT_EQ(frame.GetCodeFormat(), "\\pard\\plain \\f0\\fs20\\b\\cf1\\highlight8\\lang1033");
  EXPECT_EQ(frame.GetHeaderFormat(), "\\pard\\plain \\f0\\fs40\\b\\cf1\\highlight8\\lang1033");
}

TEST(RtfFrame, LineCapacityTable) {
  struct Case {
    int orientation, columns, points, capacity;
  };
  const Case cases[] = {
      {0, 1, 8, 91},  {0, 2, 8, 40},  {1, 1, 8, 145}, {1, 2, 8, 67},  {0, 1, 10, 72},
      {0, 2, 10, 31}, {1, 1, 10, 116}, {1, 2, 10, 53}, {0, 1, 13, 55}, {1, 2, 13, 40},
      {0, 1, 16, 44}, {0, 2, 16, 18}, {1, 1, 16, 71}, {1, 2, 16, 32},
      // Outside 8..16 points, or a column count other than 1 and 2: 80.
      {0, 1, 7, 80},  {1, 2, 17, 80}, {0, 3, 10, 80}, {1, 0, 10, 80},
  };
  for (const Case& c : cases) {
    ScopedSettings settings;
    Settings main;
    main.SetInt("m_b_orientation", c.orientation);
    main.SetText("m_colnumber", std::to_string(c.columns));
    CRtfFrame frame;
    EXPECT_EQ(frame.GetLineCapacity(2 * c.points), c.capacity)
        << c.orientation << "/" << c.columns << "/" << c.points;
    // Odd half-points round down to the point size.
    EXPECT_EQ(frame.GetLineCapacity(2 * c.points + 1), c.capacity);
  }
}

TEST(RtfColors, NamesAndIndexes) {
  const char* names[] = {"black", "blue",      "t\xFCrkis",  "light-green", "pink",
                         "red",   "yellow",    "white",      "dark blue",   "blue green",
                         "dark green", "violet", "dark red", "ocher"};
  for (int i = 1; i <= 14; ++i) {
    EXPECT_EQ(ColorName(i), names[i - 1]);
    EXPECT_EQ(ColorIndex(names[i - 1]), std::to_string(i));
  }
  for (int i : {0, 15, 16, -1, 99}) EXPECT_EQ(ColorName(i), "") << i;
  for (const char* name : {"Black", "", "grey", "dark  blue", "black "}) {
    EXPECT_EQ(ColorIndex(name), "0") << name;
  }
  EXPECT_EQ(ColorIndex("t\xC3\xBCrkis"), "3");
  EXPECT_EQ(ColorDisplayName(3), "t\xC3\xBCrkis");
  RtfColor ocher = ColorOfIndex(14);
  EXPECT_EQ(ocher.red, 128);
  EXPECT_EQ(ocher.green, 128);
  EXPECT_EQ(ocher.blue, 0);
  EXPECT_EQ(ColorOfIndex(16).red, 192);
}

}  // namespace
}  // namespace folios

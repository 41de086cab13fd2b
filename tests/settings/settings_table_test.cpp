#include "settings_table.h"

#include <gtest/gtest.h>

#include <set>

#include "data_files.h"
#include "noise_chars.h"
#include "registry.h"
#include "test_support.h"

namespace folios {
namespace {

using test::ReadFile;
using test::ScopedSettings;
using test::WriteFile;

TEST(SettingsTable, NamesAreUniqueAcrossKeys) {
  std::set<std::string> names;
  for (const SettingInfo& info : AllSettings()) {
    EXPECT_TRUE(names.insert(info.name).second) << info.name;
    EXPECT_EQ(FindSettingAnyKey(info.name), &info);
  }
  EXPECT_EQ(FindSetting(SettingKey::kMain, "m_header_bold"), nullptr);
  EXPECT_NE(FindSetting(SettingKey::kDoc, "M_HEADER_BOLD"), nullptr);
}

TEST(SettingsTable, DefaultsOfAFreshStore) {
  ScopedSettings settings;
  Settings main;
  Settings doc(SettingKey::kDoc);
  Settings kw(SettingKey::kTemplateKw);
  EXPECT_EQ(main.Int("m_openfile"), 1);
  EXPECT_EQ(main.Int("m_filefilter"), 0);
  EXPECT_EQ(main.Text("m_startat"), "1");
  EXPECT_EQ(main.Int("m_empty_lines"), 2);
  EXPECT_EQ(main.Int("m_uselinenumbers"), 1);
  EXPECT_EQ(main.Text("m_file_location"), "");
  EXPECT_EQ(main.Text("m_dir"), std::string(getenv("HOME")));
  EXPECT_EQ(doc.Int("m_header_fontsize"), 16);
  EXPECT_EQ(doc.Int("m_comment_forecolor"), 11);
  EXPECT_EQ(doc.Int("m_comment_forecolor", kStyleSheetCommentForeColorDefault), 1);
  EXPECT_EQ(kw.Int("m_strcolor"), 9);
  EXPECT_EQ(kw.Int("m_strbackcolor"), 8);
}

TEST(SettingsTable, StoredValuesWinAndKeysAreSeparate) {
  ScopedSettings settings;
  Settings(SettingKey::kDoc).SetInt("m_code_fontsize", 12);
  EXPECT_EQ(Settings(SettingKey::kDoc).Int("m_code_fontsize"), 12);
  CRegistry reg;
  EXPECT_EQ(reg.ReadInt(kLocalMachine, "Software\\Lumentra Folios\\doc", "m_code_fontsize", 0), 12);
  EXPECT_FALSE(reg.QueryString(kLocalMachine, "Software\\Lumentra Folios", "m_code_fontsize"));
}

TEST(SettingsTable, KeywordFileDefaultsNameTheDataFiles) {
  ScopedSettings settings;
  test::TempDir share;
  WriteFile(share.File("C-Keywords.lfx"), "Lumentra Folios bgc\n");
  setenv("FOLIOS_SHARE_DIR", share.path().c_str(), 1);
  // The shipped file when the user has none...
  EXPECT_EQ(ShippedDataDirectory(), share.path());
  EXPECT_EQ(DefaultText(SettingKey::kMain, "m_cfiles"), share.File("C-Keywords.lfx"));
  EXPECT_EQ(DefaultText(SettingKey::kMain, "kwfile"), share.File("C-Keywords.lfx"));
  // ...and the user's own copy once there is one, whatever the case of its name.
  WriteFile(settings.data_dir() + "/c-keywords.LFX", "Lumentra Folios bgc\n");
  EXPECT_EQ(DefaultText(SettingKey::kMain, "m_cfiles"), settings.data_dir() + "/c-keywords.LFX");
  EXPECT_EQ(WritableDataFile("C-Keywords.lfx"), settings.data_dir() + "/c-keywords.LFX");
  // A file nobody has is looked for where it would be written.
  EXPECT_EQ(LocateDataFile("nothing.lfx"), settings.data_dir() + "/nothing.lfx");
  unsetenv("FOLIOS_SHARE_DIR");
}

TEST(NoiseChars, ReadAtMostTwoHundredBytesAndWriteInOrder) {
  ScopedSettings settings;
  test::TempDir dir;
  EXPECT_EQ(ReadNoiseCharsFile(dir.File("missing.lfx")), "");
  WriteFile(dir.File("n.lfx"), std::string(150, 'a') + std::string(100, 'b'));
  std::string chars = ReadNoiseCharsFile(dir.File("n.lfx"));
  EXPECT_EQ(chars, std::string(150, 'a') + std::string(50, 'b'));

  ASSERT_TRUE(WriteNoiseCharsFile(dir.File("w.lfx"), "x;. ").ok());
  EXPECT_EQ(ReadFile(dir.File("w.lfx")), "x;. ");
  ASSERT_TRUE(WriteNoiseCharsFile(dir.File("empty.lfx"), "").ok());
  EXPECT_EQ(ReadFile(dir.File("empty.lfx")), "");

  // The user's file takes precedence over the shipped one.
  ASSERT_TRUE(SaveNoiseChars("#@").ok());
  EXPECT_EQ(LoadNoiseChars(), "#@");
  EXPECT_EQ(ReadFile(settings.data_dir() + "/noise-chars.lfx"), "#@");
}

// Every number a page edits has the range the page allows; texts that are
// not numbers have none.
TEST(SettingsTable, NumbersHaveTheirPagesRanges) {
  for (const SettingInfo& info : AllSettings()) {
    bool number = info.kind == SettingKind::kInt;
    for (const char* text_number : {"m_startat", "m_incrementby", "m_colnumber", "m_empty_lines",
                                    "m_spaces_to_indent", "m_c_with_code", "m_c_without_code"}) {
      number = number || std::string(info.name) == text_number;
    }
    EXPECT_EQ(info.range.has_value(), number) << info.name;
    if (info.range) {
      EXPECT_LE(info.range->min, info.range->max) << info.name;
      std::string use, message;
      EXPECT_EQ(CheckSettingValue(info, info.default_text, &use, &message), ValueCheck::kAccepted)
          << info.name << " default " << info.default_text;
    }
  }
}

TEST(SettingsTable, ValuesAreCheckedAgainstTheRange) {
  struct Case {
    const char* name;
    const char* value;
    ValueCheck check;
    const char* use;
  };
  const Case cases[] = {
      {"m_startat", "1", ValueCheck::kAccepted, "1"},
      {"m_startat", "99999", ValueCheck::kAccepted, "99999"},
      {"m_startat", "+7", ValueCheck::kAccepted, "+7"},
      {"m_startat", "0", ValueCheck::kRefused, "0"},
      {"m_startat", "100000", ValueCheck::kRefused, "100000"},
      {"m_startat", "-1", ValueCheck::kRefused, "-1"},
      {"m_startat", "abc", ValueCheck::kRefused, "abc"},
      {"m_startat", "12abc", ValueCheck::kRefused, "12abc"},
      {"m_startat", " 5", ValueCheck::kRefused, " 5"},
      {"m_startat", "", ValueCheck::kRefused, ""},
      {"m_startat", "-", ValueCheck::kRefused, "-"},
      {"m_incrementby", "0", ValueCheck::kRefused, "0"},
      {"m_colnumber", "2", ValueCheck::kAccepted, "2"},
      {"m_colnumber", "3", ValueCheck::kRefused, "3"},
      {"m_pagebreak", "2", ValueCheck::kRefused, "2"},
      {"m_format", "2", ValueCheck::kAccepted, "2"},
      {"m_code_fontsize", "7", ValueCheck::kRefused, "7"},
      {"m_header_fontsize", "16", ValueCheck::kAccepted, "16"},
      {"m_code_back_color", "14", ValueCheck::kAccepted, "14"},
      {"m_code_back_color", "15", ValueCheck::kRefused, "15"},
      {"m_strcolor", "0", ValueCheck::kRefused, "0"},
      // Numbers the beautifier clamps itself are brought to the nearer end.
      {"m_empty_lines", "50", ValueCheck::kClamped, "10"},
      {"m_spaces_to_indent", "-3", ValueCheck::kClamped, "0"},
      {"m_c_with_code", "000061", ValueCheck::kClamped, "60"},
      {"m_c_without_code", "99999999999999999999999", ValueCheck::kClamped, "60"},
      {"m_c_without_code", "-99999999999999999999999", ValueCheck::kClamped, "0"},
      {"m_c_with_code", "0060", ValueCheck::kAccepted, "0060"},
      {"m_empty_lines", "x", ValueCheck::kRefused, "x"},
      // Texts that are not numbers take anything.
      {"m_extraction_expression", "a*b", ValueCheck::kAccepted, "a*b"},
      {"m_cfiles", "", ValueCheck::kAccepted, ""},
  };
  for (const Case& c : cases) {
    const SettingInfo* info = FindSettingAnyKey(c.name);
    ASSERT_NE(info, nullptr) << c.name;
    std::string use, message;
    EXPECT_EQ(CheckSettingValue(*info, c.value, &use, &message), c.check)
        << c.name << "=" << c.value << ": " << message;
    EXPECT_EQ(use, c.use) << c.name << "=" << c.value;
    if (c.check != ValueCheck::kAccepted) {
      // The message names the setting and what it allows.
      EXPECT_EQ(message.rfind(std::string(c.name) + " must be ", 0), 0u) << message;
      EXPECT_NE(message.find(DescribeRange(*info->range)), std::string::npos) << message;
    } else {
      EXPECT_EQ(message, "");
    }
  }
  EXPECT_EQ(DescribeRange(AllowedRange{0, 1}), "0 or 1");
  EXPECT_EQ(DescribeRange(AllowedRange{1, 99999}), "from 1 to 99999");
}

}  // namespace
}  // namespace folios

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

}  // namespace
}  // namespace folios

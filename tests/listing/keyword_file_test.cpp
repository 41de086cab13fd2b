// Keyword files: loading for listings, reading and writing for the editor.
#include "keyword_file.h"

#include <gtest/gtest.h>

#include "data_files.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

using test::ReadFile;
using test::ScopedSettings;
using test::TempDir;
using test::WriteFile;

class RecordingSink : public KeywordWarningSink {
 public:
  void Warn(const std::string& message) override { messages.push_back(message); }
  std::vector<std::string> messages;
};

std::vector<std::string> Keywords(const KeywordTable& table) {
  std::vector<std::string> out;
  for (const KeywordRecord& r : table.entries) out.push_back(r.keyword);
  return out;
}

const char kTwoKeywords[] =
    "Lumentra Folios bgc\n"
    "int\nTrue\nFalse\nFalse\n9\n8\n"
    "#define\nFalse\nTrue\nTrue\n13\n7\n"
    "\n\n\n\n0\n0\n";

TEST(KeywordFile, LoadsRecordsAfterTheCommentEntry) {
  ScopedSettings settings;
  TempDir dir;
  WriteFile(dir.File("k.lfx"), kTwoKeywords);
  RecordingSink sink;
  KeywordTable table = LoadKeywordTableForListing(dir.File("k.lfx"), Language::kCpp, &sink);
  EXPECT_TRUE(sink.messages.empty());
  ASSERT_EQ(Keywords(table), (std::vector<std::string>{"//", "int", "#define"}));
  const KeywordRecord& define = table.entries[2];
  EXPECT_EQ(define.bold, "False");
  EXPECT_EQ(define.italic, "True");
  EXPECT_EQ(define.underline, "True");
  EXPECT_EQ(define.fore, "13");
  EXPECT_EQ(define.back, "7");
}

TEST(KeywordFile, CommentEntryTakesTheCommentSettings) {
  ScopedSettings settings;
  Settings doc(SettingKey::kDoc);
  doc.SetInt("m_comment_bold", 1);
  doc.SetInt("m_comment_back_color", 7);
  TempDir dir;
  KeywordTable vb = LoadKeywordTableForListing(dir.File("missing.lfx"), Language::kVisualBasic,
                                               nullptr);
  ASSERT_EQ(vb.entries.size(), 1u);
  const KeywordRecord& comment = vb.entries[0];
  EXPECT_EQ(comment.keyword, "'");
  // Style flags are the codes 1 and 0, never "True".
  EXPECT_EQ(comment.bold, std::string(1, '\x01'));
  EXPECT_EQ(comment.italic, std::string(1, '\0'));
  EXPECT_EQ(comment.fore, "11");  // dark green by default
  EXPECT_EQ(comment.back, "7");
  EXPECT_EQ(LoadKeywordTableForListing(dir.File("x"), Language::kJava, nullptr).entries[0].keyword,
            "//");
}

TEST(KeywordFile, LastRealKeywordIsKeptWithoutTrailingRecord) {
  ScopedSettings settings;
  TempDir dir;
  WriteFile(dir.File("k.lfx"), "Lumentra Folios bgc\nint\nTrue\nFalse\nFalse\n9\n8\n"
                               "char\nTrue\nFalse\nFalse\n9\n8\n");
  KeywordTable table = LoadKeywordTableForListing(dir.File("k.lfx"), Language::kCpp, nullptr);
  EXPECT_EQ(Keywords(table), (std::vector<std::string>{"//", "int", "char"}));
}

TEST(KeywordFile, OnlyHeaderAndEmptyRecordLeavesTheCommentEntry) {
  ScopedSettings settings;
  TempDir dir;
  WriteFile(dir.File("k.lfx"), "Lumentra Folios bgc\n\n\n\n\n0\n0\n");
  EXPECT_EQ(Keywords(LoadKeywordTableForListing(dir.File("k.lfx"), Language::kCpp, nullptr)),
            (std::vector<std::string>{"//"}));
}

TEST(KeywordFile, CrLfLoadsLikeLf) {
  ScopedSettings settings;
  TempDir dir;
  std::string crlf;
  for (char c : std::string(kTwoKeywords)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  WriteFile(dir.File("lf.lfx"), kTwoKeywords);
  WriteFile(dir.File("crlf.lfx"), crlf);
  KeywordTable a = LoadKeywordTableForListing(dir.File("lf.lfx"), Language::kCpp, nullptr);
  KeywordTable b = LoadKeywordTableForListing(dir.File("crlf.lfx"), Language::kCpp, nullptr);
  ASSERT_EQ(Keywords(a), Keywords(b));
  EXPECT_EQ(a.entries[2].back, b.entries[2].back);
  EXPECT_EQ(b.entries[2].back, "7");
}

TEST(KeywordFile, RepeatsAndOrderAreKept) {
  ScopedSettings settings;
  TempDir dir;
  WriteFile(dir.File("k.lfx"), "Lumentra Folios bgc\nzz\nTrue\nFalse\nFalse\n9\n8\n"
                               "aa\nTrue\nFalse\nFalse\n9\n8\nzz\nFalse\nFalse\nFalse\n2\n8\n"
                               "\n\n\n\n0\n0\n");
  EXPECT_EQ(Keywords(LoadKeywordTableForListing(dir.File("k.lfx"), Language::kCpp, nullptr)),
            (std::vector<std::string>{"//", "zz", "aa", "zz"}));
}

TEST(KeywordFile, WrongHeaderWarnsAndIsReadAnyway) {
  ScopedSettings settings;
  TempDir dir;
  std::string path = dir.File("bad.lfx");
  WriteFile(path, "lumentra folios bgc\nint\nTrue\nFalse\nFalse\n9\n8\n\n\n\n\n0\n0\n");
  RecordingSink sink;
  KeywordTable table = LoadKeywordTableForListing(path, Language::kCpp, &sink);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0],
            path + " - invalid keyword file!\nPerhaps some keywords will be formatted wrong!\n"
                   "Download a newer Version of Lumentra Folios at: " +
                kKeywordFileDownloadAddress + "!");
  EXPECT_EQ(Keywords(table), (std::vector<std::string>{"//", "int"}));
}

TEST(KeywordFile, ListingFileFallsBackToTheShippedOne) {
  ScopedSettings settings;
  TempDir dir;
  Settings main;
  main.SetText("m_cfiles", dir.File("nowhere.lfx"));
  EXPECT_EQ(KeywordFileForListing(Language::kCpp), LocateDataFile("C-Keywords.lfx"));
  WriteFile(dir.File("mine.lfx"), kTwoKeywords);
  main.SetText("m_javafiles", dir.File("mine.lfx"));
  EXPECT_EQ(KeywordFileForListing(Language::kJava), dir.File("mine.lfx"));
}

TEST(KeywordFile, LanguageByExtension) {
  struct Case {
    const char* path;
    Language language;
  };
  const Case cases[] = {
      {"a/b.bas", Language::kVisualBasic}, {"a/b.FRM", Language::kVisualBasic},
      {"b.Cls", Language::kVisualBasic},   {"b.java", Language::kJava},
      {"b.JAVA", Language::kJava},         {"b.c", Language::kCpp},
      {"b.hpp", Language::kCpp},           {"Makefile", Language::kCpp},
      {"dir.bas/file", Language::kCpp},
  };
  for (const Case& c : cases) EXPECT_EQ(LanguageOfPath(c.path), c.language) << c.path;
}

TEST(KeywordEditor, WritesRowsAndTrailingRecord) {
  TempDir dir;
  std::vector<KeywordRow> rows = {{"int", "True", "False", "False", "dark blue", "white"},
                                  {"End Sub", "False", "True", "True", "t\xFCrkis", "grey"}};
  ASSERT_TRUE(WriteKeywordFile(dir.File("k.lfx"), rows).ok());
  std::string expected =
      "Lumentra Folios bgc\n"
      "int\nTrue\nFalse\nFalse\n9\n8\n"
      "End Sub\nFalse\nTrue\nTrue\n3\n0\n"
      "\n\n\n\n0\n0\n";
  EXPECT_EQ(ReadFile(dir.File("k.lfx")), expected);
  ASSERT_TRUE(WriteKeywordFile(dir.File("empty.lfx"), {}).ok());
  EXPECT_EQ(ReadFile(dir.File("empty.lfx")), "Lumentra Folios bgc\n\n\n\n\n0\n0\n");
}

TEST(KeywordEditor, ReadsWhatItWrote) {
  TempDir dir;
  std::vector<KeywordRow> rows = {{"int", "True", "False", "False", "dark blue", "white"},
                                  {"x", "False", "False", "True", "red", "yellow"}};
  ASSERT_TRUE(WriteKeywordFile(dir.File("k.lfx"), rows).ok());
  std::vector<KeywordRow> read = {{"old", "", "", "", "", ""}};
  ASSERT_EQ(ReadKeywordFileForEditor(dir.File("k.lfx"), &read), KeywordReadResult::kRead);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[1].keyword, "x");
  EXPECT_EQ(read[1].underline, "True");
  EXPECT_EQ(read[1].fore_name, "red");
  EXPECT_EQ(read[1].back_name, "yellow");
}

TEST(KeywordEditor, MissingOrInvalidFileLeavesRowsAlone) {
  TempDir dir;
  std::vector<KeywordRow> rows = {{"keep", "True", "True", "True", "red", "white"}};
  EXPECT_EQ(ReadKeywordFileForEditor(dir.File("none.lfx"), &rows), KeywordReadResult::kMissing);
  WriteFile(dir.File("bad.lfx"), "Lumentra Folios\nint\n");
  EXPECT_EQ(ReadKeywordFileForEditor(dir.File("bad.lfx"), &rows),
            KeywordReadResult::kInvalidHeader);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].keyword, "keep");
  EXPECT_EQ(InvalidKeywordFileEditorMessage("/x/k.lfx"),
            "The file /x/k.lfx is invalid!\nSelect another keywordfile!");
}

TEST(KeywordEditor, ColourThatIsNotANumberStopsReading) {
  TempDir dir;
  WriteFile(dir.File("k.lfx"), "Lumentra Folios bgc\nint\nTrue\nFalse\nFalse\n9\n8\n"
                               "char\nTrue\nFalse\nFalse\nblue\n8\nlong\nTrue\nFalse\nFalse\n9\n8\n");
  std::vector<KeywordRow> rows;
  std::string error;
  EXPECT_EQ(ReadKeywordFileForEditor(dir.File("k.lfx"), &rows, &error), KeywordReadResult::kRead);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].keyword, "int");
  EXPECT_NE(error.find("blue"), std::string::npos);

  // A number too long for any colour stops reading the same way; it must not throw.
  WriteFile(dir.File("long.lfx"), "Lumentra Folios bgc\nint\nTrue\nFalse\nFalse\n9\n8\n"
                                  "char\nTrue\nFalse\nFalse\n4294967300\n8\n");
  rows.clear();
  error.clear();
  EXPECT_EQ(ReadKeywordFileForEditor(dir.File("long.lfx"), &rows, &error), KeywordReadResult::kRead);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(error.find("4294967300"), std::string::npos);
}

TEST(KeywordFile, ShippedFilesAreValidAndStyled) {
  ScopedSettings settings;
  for (const char* name : {"C-Keywords.lfx", "JAVA-Keywords.lfx", "VB-Keywords.lfx"}) {
    RecordingSink sink;
    KeywordTable table = LoadKeywordTableForListing(LocateDataFile(name), Language::kCpp, &sink);
    EXPECT_TRUE(sink.messages.empty()) << name;
    EXPECT_GT(table.entries.size(), 40u) << name;
    std::vector<KeywordRow> rows;
    ASSERT_EQ(ReadKeywordFileForEditor(LocateDataFile(name), &rows), KeywordReadResult::kRead);
    EXPECT_EQ(rows.size() + 1, table.entries.size()) << name;
  }
}

}  // namespace
}  // namespace folios

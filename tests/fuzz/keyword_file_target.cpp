// Fuzz target: the keyword-file readers, and a listing that uses the file.
//
// Body: the keyword file. Header byte 0: the language the file is for
// (C/C++, Java, Visual Basic).
// Oracles: what the editor reads, it writes back so that reading the written
// file gives the same rows; a listing of a source made of the file's
// keywords, styled by the file, is well-formed RTF.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "keyword_file.h"
#include "listing_build.h"

namespace folios::fuzz {
namespace {

constexpr size_t kHeader = 1;

struct LanguageCase {
  Language language;
  const char* setting;
  const char* extension;
};
const LanguageCase kLanguages[] = {
    {Language::kCpp, "m_cfiles", "c"},
    {Language::kJava, "m_javafiles", "java"},
    {Language::kVisualBasic, "m_vbfiles", "bas"},
};

class IgnoreWarnings : public KeywordWarningSink {
 public:
  void Warn(const std::string&) override {}
};

std::string Describe(const KeywordRow& row) {
  return row.keyword + "|" + row.bold + "|" + row.italic + "|" + row.underline + "|" +
         row.fore_name + "|" + row.back_name;
}

bool SameRows(const std::vector<KeywordRow>& a, const std::vector<KeywordRow>& b, std::string* diff) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    std::string left = i < a.size() ? Describe(a[i]) : "(none)";
    std::string right = i < b.size() ? Describe(b[i]) : "(none)";
    if (left != right) {
      *diff = "row " + std::to_string(i + 1) + ": " + left + " became " + right;
      return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace folios::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  FuzzInput in(data, size, kHeader);
  const std::string& dir = WorkDirectory();
  const LanguageCase& lang = kLanguages[in.Choice(0, 3)];
  const std::string path = dir + "/keywords.lfx";
  WriteFileOrDie(path, in.body());

  // The editor's round trip.
  std::vector<KeywordRow> rows;
  std::string error;
  if (ReadKeywordFileForEditor(path, &rows, &error) == KeywordReadResult::kRead) {
    const std::string copy = dir + "/keywords-copy.lfx";
    Status written = WriteKeywordFile(copy, rows);
    Check(written.ok(), "the keyword editor cannot write what it read", written.message());
    std::vector<KeywordRow> again;
    std::string error_again;
    Check(ReadKeywordFileForEditor(copy, &again, &error_again) == KeywordReadResult::kRead,
          "the keyword editor cannot read the file it wrote", ReadFileOrDie(copy));
    Check(error_again.empty(), "the keyword editor rejects a colour it wrote itself", error_again);
    std::string diff;
    if (!SameRows(rows, again, &diff)) Fail("the keyword editor's round trip changed a row: " + diff);
  }

  // A listing styled by the file, over a source that holds its keywords.
  IgnoreWarnings warnings;
  KeywordTable table = LoadKeywordTableForListing(path, lang.language, &warnings);
  Check(!table.entries.empty() && table.entries[0].keyword == LineCommentMarker(lang.language),
        "the keyword table does not start with the comment entry");
  std::string source;
  for (size_t i = 1; i < table.entries.size(); ++i) {
    source += table.entries[i].keyword;
    source += i % 3 == 0 ? "\n" : " ";
  }
  source += "\n" + std::string(LineCommentMarker(lang.language)) + " " + source;
  const std::string listed = dir + "/listed." + lang.extension;
  WriteFileOrDie(listed, source);
  SetSetting(lang.setting, path);
  SetSetting("m_use_advanced_options", "0");

  char* buffer = nullptr;
  size_t length = 0;
  std::FILE* out = open_memstream(&buffer, &length);
  if (!out) Fail("open_memstream failed");
  ListingBuildOptions options;
  options.warnings = &warnings;
  RunListingBuildToStream({listed}, out, options);
  std::fclose(out);
  std::string rtf(buffer, length);
  std::free(buffer);
  RequireRtf(rtf, "a listing styled by the keyword file");
  return 0;
}

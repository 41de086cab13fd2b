// Golden listings: each folder under golden/ holds the input files, the
// settings of the case and the expected document, worked out by hand.
//
//   files         the inputs in build order, one name per line
//   settings      NAME=VALUE lines (setting names as `folios settings list` shows them)
//   keywords.lfx  keyword file for all three languages (else golden/keywords.lfx)
//   noise-chars.lfx  the noise characters (else none)
//   expected.rtf  the document
//   expected.html the document as a web page (some cases)
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "listing_build.h"
#include "registry.h"
#include "settings_table.h"
#include "shown_lines.h"
#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;

std::string GoldenDir() { return test::TestSourceDir() + "/listing/golden"; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class GoldenListing : public testing::TestWithParam<std::string> {
 protected:
  std::string CaseDir() const { return GoldenDir() + "/" + GetParam(); }

  // Lists the case's files in `format` with its settings; the document.
  std::string Build(ListingFormat format) {
    const std::string case_dir = CaseDir();
    test::ScopedSettings settings;
    test::TempDir work;

    std::string keywords = case_dir + "/keywords.lfx";
    if (!fs::exists(keywords)) keywords = GoldenDir() + "/keywords.lfx";
    Settings main;
    main.SetText("m_cfiles", keywords);
    main.SetText("m_javafiles", keywords);
    main.SetText("m_vbfiles", keywords);
    main.SetInt("m_use_advanced_options", 0);
    std::string noise = case_dir + "/noise-chars.lfx";
    test::WriteFile(settings.data_dir() + "/noise-chars.lfx",
                    fs::exists(noise) ? test::ReadFile(noise) : std::string());
    if (fs::exists(case_dir + "/settings")) {
      for (const std::string& line : Lines(test::ReadFile(case_dir + "/settings"))) {
        size_t eq = line.find('=');
        EXPECT_NE(eq, std::string::npos) << line;
        std::string name = line.substr(0, eq);
        if (name.find('/') != std::string::npos) name = name.substr(name.find('/') + 1);
        const SettingInfo* info = FindSettingAnyKey(name);
        if (!info) {
          ADD_FAILURE() << line;
          return std::string();
        }
        Settings(info->key).SetText(info->name, line.substr(eq + 1));
      }
    }
    std::vector<std::string> files = Lines(test::ReadFile(case_dir + "/files"));
    for (const std::string& name : files) {
      if (fs::exists(case_dir + "/" + name)) fs::copy_file(case_dir + "/" + name, work.File(name));
    }

    // Headers show the paths as given: relative to the work directory.
    std::string old_dir = fs::current_path();
    fs::current_path(work.path());
    ListingBuildOptions options;
    options.format = format;
    ListingBuildResult result = RunListingBuild(files, "out", options);
    fs::current_path(old_dir);
    EXPECT_TRUE(result.output.ok()) << result.output.message();
    EXPECT_FALSE(result.cancelled);
    return test::ReadFile(work.File("out"));
  }
};

TEST_P(GoldenListing, MatchesExpectedDocument) {
  std::string expected = test::ReadFile(CaseDir() + "/expected.rtf");
  EXPECT_EQ(test::FirstDifference(expected, Build(ListingFormat::kRtf)), "") << "case " << GetParam();
}

// The cases with a web page worked out as well.
class GoldenPage : public GoldenListing {};

TEST_P(GoldenPage, MatchesExpectedPage) {
  std::string expected = test::ReadFile(CaseDir() + "/expected.html");
  EXPECT_EQ(test::FirstDifference(expected, Build(ListingFormat::kHtml)), "") << "case " << GetParam();
}

// The web page shows what the RTF document shows, line by line, with the
// same words styled.
TEST_P(GoldenListing, PageShowsTheDocumentsLines) {
  const std::string rtf = Build(ListingFormat::kRtf);
  const std::string html = Build(ListingFormat::kHtml);
  EXPECT_FALSE(test::RtfShownLines(rtf).empty());
  EXPECT_EQ(test::HtmlShownLines(html), test::RtfShownLines(rtf)) << "case " << GetParam();
  EXPECT_EQ(test::KeywordRunDifference(rtf, html), "") << "case " << GetParam();
}

// The case folders holding `file`.
std::vector<std::string> Cases(const std::string& file = "expected.rtf") {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(GoldenDir())) {
    if (entry.is_directory() && fs::exists(entry.path() / file)) {
      names.push_back(entry.path().filename());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string CaseName(const testing::TestParamInfo<std::string>& param) {
  std::string name = param.param;
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Listing, GoldenListing, testing::ValuesIn(Cases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Listing, GoldenPage, testing::ValuesIn(Cases("expected.html")), CaseName);

}  // namespace
}  // namespace folios

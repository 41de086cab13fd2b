// Golden pairs: every folder below golden/ holds input.EXT, expected.EXT and an
// optional "settings" file (NAME=VALUE lines). Every expected text must come
// out of a second run unchanged, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "beautifier_options.h"
#include "engine.h"
#include "settings_table.h"
#include "test_support.h"
#include "token_check.h"

namespace folios {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  std::string name;
  std::string input_path;
  std::string expected_path;
  std::vector<std::pair<std::string, std::string>> settings;
};

std::vector<GoldenCase> FindCases() {
  std::vector<GoldenCase> cases;
  fs::path root = fs::path(test::TestSourceDir()) / "beautifier" / "golden";
  for (const auto& entry : fs::directory_iterator(root)) {
    if (!entry.is_directory()) continue;
    GoldenCase c;
    c.name = entry.path().filename().string();
    for (const auto& file : fs::directory_iterator(entry.path())) {
      std::string stem = file.path().stem().string();
      if (stem == "input") c.input_path = file.path().string();
      if (stem == "expected") c.expected_path = file.path().string();
    }
    fs::path settings = entry.path() / "settings";
    if (fs::exists(settings)) {
      std::istringstream lines(test::ReadFile(settings.string()));
      std::string line;
      while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) c.settings.emplace_back(line.substr(0, eq), line.substr(eq + 1));
      }
    }
    cases.push_back(c);
  }
  std::sort(cases.begin(), cases.end(), [](const GoldenCase& a, const GoldenCase& b) { return a.name < b.name; });
  return cases;
}

bool RemoveComments() { return Settings(SettingKey::kMain).Int("m_remove_comments") != 0; }

std::string Format(const std::string& input, SourceLanguage language) {
  BeautifierOptions options = LoadBeautifierOptions();
  std::istringstream in(input);
  std::ostringstream out, report, err;
  int rc = RunBeautifier(in, out, options, RemoveComments(), report, err, language);
  EXPECT_EQ(rc, 0) << err.str();
  return out.str();
}

// The token checker must find the same program in both texts.
void ExpectSameProgram(const std::string& name, const std::string& before, const std::string& after,
                       SourceLanguage language) {
  TokenCheckOptions check;
  check.language = language;
  check.comments_removed = RemoveComments();
  TokenCheckResult result = CheckTokenTexts(before, after, check);
  EXPECT_TRUE(result.same) << name << ": the program changed at line " << result.line;
}

// Test names show the case, not the bytes of the record.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, FormatsAsExpected) {
  const GoldenCase& c = GetParam();
  ASSERT_FALSE(c.input_path.empty()) << c.name << ": no input file";
  ASSERT_FALSE(c.expected_path.empty()) << c.name << ": no expected file";
  test::ScopedSettings scoped;
  for (const auto& [name, value] : c.settings) Settings(SettingKey::kMain).SetText(name, value);
  const SourceLanguage language = LanguageForPath(c.input_path);
  std::string input = test::ReadFile(c.input_path);
  std::string expected = test::ReadFile(c.expected_path);
  std::string actual = Format(input, language);
  EXPECT_EQ(actual, expected) << c.name << ": " << test::FirstDifference(expected, actual);
  ExpectSameProgram(c.name, input, actual, language);
  std::string again = Format(expected, language);
  EXPECT_EQ(again, expected) << c.name << " (second run): " << test::FirstDifference(expected, again);
  ExpectSameProgram(c.name + " (second run)", expected, again, language);
}

INSTANTIATE_TEST_SUITE_P(Beautifier, GoldenTest, ::testing::ValuesIn(FindCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& param_info) {
                           std::string name;
                           for (char ch : param_info.param.name) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

}  // namespace
}  // namespace folios

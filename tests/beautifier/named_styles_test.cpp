// Named styles: what each sets, and --style on the command line.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "folios_runner.h"
#include "named_styles.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

TEST(NamedStyles, EachSetsEveryLayoutSettingToAValueItsPageAllows) {
  std::set<std::string> first;
  for (const auto& [name, value] : NamedStyles().front().values) first.insert(name);
  for (const NamedStyle& style : NamedStyles()) {
    std::set<std::string> names;
    for (const auto& [name, value] : style.values) {
      names.insert(name);
      const SettingInfo* info = FindSetting(SettingKey::kMain, name);
      ASSERT_NE(info, nullptr) << style.name << ": " << name;
      std::string use, message;
      EXPECT_EQ(CheckSettingValue(*info, value, &use, &message), ValueCheck::kAccepted)
          << style.name << ": " << name << "=" << value << ": " << message;
    }
    // Switching from one style to another leaves nothing of the first.
    EXPECT_EQ(names, first) << style.name;
  }
}

TEST(NamedStyles, ClassicIsTheDefaults) {
  const NamedStyle* classic = FindNamedStyle("classic");
  ASSERT_NE(classic, nullptr);
  EXPECT_EQ(classic, &NamedStyles().front());
  for (const auto& [name, value] : classic->values) {
    EXPECT_EQ(value, DefaultText(SettingKey::kMain, name)) << name;
  }
}

TEST(NamedStyles, FoundByNameIgnoringCase) {
  ASSERT_NE(FindNamedStyle("KR"), nullptr);
  EXPECT_STREQ(FindNamedStyle("KR")->name, "kr");
  EXPECT_EQ(FindNamedStyle("k&r"), nullptr);
  EXPECT_EQ(FindNamedStyle(""), nullptr);
  for (const NamedStyle& style : NamedStyles()) {
    EXPECT_NE(NamedStyleList().find(style.name), std::string_view::npos) << style.name;
  }
}

const char kIfElse[] = "void f()\n{\nif (a)\n{\nswitch (a) {\ncase 1: g();\n}\n}\nelse\n{\nh();\n}\n}\n";

TEST(ReformatStyleOption, SetsTheStyleAndSetOverridesItInAnyOrder) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::string input = kIfElse;
  test::RunResult r = test::RunFolios({"reformat", "--stdout", "--style=linux"}, dir.path(), &input);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "void f()\n{\n\tif (a) {\n\t\tswitch (a) {\n\t\tcase 1: g();\n\t\t}\n\t} else {\n\t\th();\n\t}\n}\n");

  const std::string spaced =
      "void f()\n{\n  if (a) {\n    switch (a) {\n    case 1: g();\n    }\n  } else {\n    h();\n  }\n}\n";
  r = test::RunFolios({"reformat", "--stdout", "--set", "m_indent_with_tabs=0", "--set", "m_spaces_to_indent=2",
                       "--style", "linux"},
                      dir.path(), &input);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, spaced);

  // The stored settings are neither used under a style nor changed by one.
  Settings(SettingKey::kMain).SetInt("m_brace_style", 1);
  r = test::RunFolios({"reformat", "--stdout", "--style", "LINUX", "--set", "m_indent_with_tabs=0",
                       "--set", "m_spaces_to_indent=2"},
                      dir.path(), &input);
  EXPECT_EQ(r.out, spaced);
  EXPECT_EQ(Settings(SettingKey::kMain).Int("m_brace_style"), 1);
  EXPECT_EQ(Settings(SettingKey::kMain).Int("m_cuddle_else"), 0);
}

TEST(ReformatStyleOption, EveryStyleButClassicKeepsTrailingCommentsOnTheirLine) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::string input = "int f(void)\n{\n    return 0;  // zero\n}\n";
  for (const NamedStyle& style : NamedStyles()) {
    test::RunResult r = test::RunFolios({"reformat", "--stdout", "--style", style.name}, dir.path(), &input);
    EXPECT_EQ(r.exit_code, 0) << style.name << ": " << r.err;
    const bool kept = r.out.find("return 0;  // zero\n") != std::string::npos;
    EXPECT_EQ(kept, std::string(style.name) != "classic") << style.name << ":\n" << r.out;
  }
  // --set goes over the style.
  test::RunResult r = test::RunFolios(
      {"reformat", "--stdout", "--style", "kr", "--set", "m_keep_trailing_comments=0"}, dir.path(), &input);
  // The comment that leaves its line goes where the style puts comment lines.
  EXPECT_EQ(r.out, "int f(void) {\n    // zero\n    return 0;\n}\n");
}

TEST(ReformatStyleOption, EveryStyleButClassicPutsCommentLinesAtTheCodesIndentation) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  std::string input = "int f(void)\n{\n// zero\nreturn 0;\n}\n";
  for (const NamedStyle& style : NamedStyles()) {
    test::RunResult r = test::RunFolios({"reformat", "--stdout", "--style", style.name}, dir.path(), &input);
    EXPECT_EQ(r.exit_code, 0) << style.name << ": " << r.err;
    // The comment line starts where the return statement does.
    const size_t comment = r.out.find("// zero\n");
    const size_t code = r.out.find("return 0;");
    ASSERT_NE(comment, std::string::npos) << style.name;
    ASSERT_NE(code, std::string::npos) << style.name;
    const std::string comment_lead = r.out.substr(r.out.rfind('\n', comment) + 1, comment - r.out.rfind('\n', comment) - 1);
    const std::string code_lead = r.out.substr(r.out.rfind('\n', code) + 1, code - r.out.rfind('\n', code) - 1);
    EXPECT_FALSE(code_lead.empty()) << style.name;
    if (std::string(style.name) == "classic") {
      EXPECT_EQ(comment_lead, "") << r.out;
    } else {
      EXPECT_EQ(comment_lead, code_lead) << style.name << ":\n" << r.out;
    }
  }
  test::RunResult r = test::RunFolios(
      {"reformat", "--stdout", "--style", "java", "--set", "m_comments_at_code_indent=0"}, dir.path(), &input);
  EXPECT_EQ(r.out, "int f(void) {\n// zero\n    return 0;\n}\n");
}

TEST(ReformatStyleOption, UnknownOrMissingNameIsAUsageError) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("a.c"), kIfElse);
  test::RunResult r = test::RunFolios({"reformat", "--style=stroustrup", "a.c"}, dir.path());
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find("unknown style 'stroustrup' (classic, kr, allman, java, linux, gnu, google)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(test::RunFolios({"reformat", "a.c", "--style"}, dir.path()).exit_code, 2);
  EXPECT_EQ(test::ReadFile(dir.File("a.c")), kIfElse);
}

}  // namespace
}  // namespace folios

// Project settings files: found walking up, read strictly, and layered
// between the user's store and the run's overrides.
#include "project_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "registry.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

const char kMainSection[] = "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\n";

TEST(ProjectSettings, TheNearestFileUpwardsApplies) {
  test::TempDir dir;
  test::WriteFile(dir.File("a/.folios.ini"), "m_spaces_to_indent=2\n");
  test::WriteFile(dir.File("a/b/c/d/x.c"), "");
  test::WriteFile(dir.File("a/b/c/.folios.ini"), "m_spaces_to_indent=3\n");
  EXPECT_EQ(FindProjectSettings(dir.File("a/b")), dir.File("a/.folios.ini"));
  EXPECT_EQ(FindProjectSettings(dir.File("a/b/c/d")), dir.File("a/b/c/.folios.ini"));
  EXPECT_EQ(FindProjectSettings(dir.File("a/b/c/d/")), dir.File("a/b/c/.folios.ini"));

  ProjectSettingsFinder finder;
  std::shared_ptr<const ProjectSettings> near, far, again;
  ASSERT_TRUE(finder.For(dir.File("a/b/c/d/x.c"), &near).ok());
  ASSERT_TRUE(finder.For(dir.File("a/b/y.c"), &far).ok());
  ASSERT_TRUE(finder.For(dir.File("a/b/c/z.c"), &again).ok());
  ASSERT_TRUE(near && far);
  EXPECT_EQ(near->path, dir.File("a/b/c/.folios.ini"));
  EXPECT_EQ(far->path, dir.File("a/.folios.ini"));
  EXPECT_EQ(again.get(), near.get());  // read once

  ProjectSettingsFinder none(ProjectSettingsFinder::Mode::kNone);
  ASSERT_TRUE(none.For(dir.File("a/b/c/d/x.c"), &near).ok());
  EXPECT_EQ(near, nullptr);
  ProjectSettingsFinder named(ProjectSettingsFinder::Mode::kExplicit, dir.File("a/.folios.ini"));
  ASSERT_TRUE(named.For(dir.File("a/b/c/d/x.c"), &near).ok());
  EXPECT_EQ(near->path, dir.File("a/.folios.ini"));
}

TEST(ProjectSettings, ValuesGoToTheirKeysWithCommentsAndLineEndsOfAnyKind) {
  test::TempDir dir;
  test::WriteFile(dir.File("p.ini"), std::string("; shared layout\r\nm_brace_style = 1\r\n# tabs\r\n") +
                                         kMainSection + "m_indent_with_tabs=1\r\n\r\n" +
                                         "[hkey_local_machine\\software\\lumentra folios\\doc]\r\n"
                                         "m_code_fontsize=12\r\n");
  ProjectSettings settings;
  Status status = LoadProjectSettings(dir.File("p.ini"), &settings);
  ASSERT_TRUE(status.ok()) << status.message();
  ASSERT_EQ(settings.values.size(), 3u);
  EXPECT_EQ(settings.values[0].name, "m_brace_style");
  EXPECT_EQ(settings.values[0].text, "1");
  EXPECT_EQ(settings.values[0].subkey, SettingKeyPath(SettingKey::kMain));
  EXPECT_EQ(settings.values[1].name, "m_indent_with_tabs");
  EXPECT_EQ(settings.values[2].subkey, SettingKeyPath(SettingKey::kDoc));
  EXPECT_EQ(settings.values[2].text, "12");
}

TEST(ProjectSettings, MalformedFilesAreErrorsNamingTheLine) {
  test::TempDir dir;
  struct Case {
    std::string text;
    std::string message;
  } cases[] = {
      {"m_spaces_to_indent=2\nm_bogus=1\n", "line 2: unknown setting 'm_bogus'"},
      {std::string(kMainSection) + "just words\n", "line 2: expected NAME=VALUE, got 'just words'"},
      {"[HKEY_LOCAL_MACHINE\\Software\\Other]\nm_openfile=1\n", "line 1: unknown section"},
      {"[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios\n", "line 1: a section header must end with ']'"},
      {"m_brace_style=7\n", "line 1: "},
      {"[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios\\doc]\nm_openfile=1\n", "line 2: unknown setting"},
      {std::string("m_openfile=1\n\0\n", 15), "NUL"},
  };
  for (const Case& c : cases) {
    test::WriteFile(dir.File("bad.ini"), c.text);
    ProjectSettings settings;
    Status status = LoadProjectSettings(dir.File("bad.ini"), &settings);
    EXPECT_FALSE(status.ok()) << c.text;
    EXPECT_NE(status.message().find(c.message), std::string::npos) << status.message();
  }
  ProjectSettings settings;
  EXPECT_FALSE(LoadProjectSettings(dir.File("missing.ini"), &settings).ok());
  EXPECT_FALSE(LoadProjectSettings(dir.path(), &settings).ok());

  // A bad file found on the way up is an error, not a reason to look higher.
  test::WriteFile(dir.File(".folios.ini"), "m_openfile=1\n");
  test::WriteFile(dir.File("sub/.folios.ini"), "nonsense\n");
  ProjectSettingsFinder finder;
  std::shared_ptr<const ProjectSettings> found;
  EXPECT_FALSE(finder.For(dir.File("sub/x.c"), &found).ok());
  EXPECT_EQ(finder.last_path(), dir.File("sub/.folios.ini"));
}

TEST(ProjectSettings, TheLayerLiesBetweenTheStoreAndTheOverrides) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  Settings main(SettingKey::kMain);
  main.SetInt("m_spaces_to_indent", 6);
  main.SetInt("m_brace_style", 1);
  test::WriteFile(dir.File("p.ini"), "m_spaces_to_indent=2\nm_empty_lines=5\n");
  ProjectSettings project;
  ASSERT_TRUE(LoadProjectSettings(dir.File("p.ini"), &project).ok());
  {
    ScopedProjectLayer layer(&project);
    EXPECT_EQ(main.Int("m_spaces_to_indent"), 2);  // the project's over the store's
    EXPECT_EQ(main.Int("m_brace_style"), 1);       // the store's where the project says nothing
    EXPECT_EQ(main.Int("m_empty_lines"), 5);       // the project's over the default
    CRegistry::OverrideForThisRun(kLocalMachine, SettingKeyPath(SettingKey::kMain), "m_spaces_to_indent", "8");
    EXPECT_EQ(main.Int("m_spaces_to_indent"), 8);  // the run's over both
    CRegistry::OverrideForThisRun(kLocalMachine, SettingKeyPath(SettingKey::kMain), "m_spaces_to_indent",
                                  std::nullopt);
  }
  EXPECT_EQ(main.Int("m_spaces_to_indent"), 6);
  EXPECT_EQ(main.Int("m_empty_lines"), 2);
}

}  // namespace
}  // namespace folios

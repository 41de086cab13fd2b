#include "registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "settings_file.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

using test::ReadFile;
using test::ScopedSettings;
using test::WriteFile;

const std::string kKey = kProductKey;

TEST(Registry, AtoiRuleOfStoredIntegers) {
  ScopedSettings settings;
  CRegistry reg(kLocalMachine, kKey);
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"42", 42},          {"  7", 7},         {"\t-3", -3},  {"+5", 5},
      {"12abc", 12},       {"abc", 0},         {"", 0},       {"-", 0},
      {"- 4", 0},          {"3.9", 3},         {"0x10", 0},   {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    reg.WriteString("m_value", c.text);
    EXPECT_EQ(reg.ReadInt("m_value", 77), c.value) << '"' << c.text << '"';
  }
}

TEST(Registry, AbsentPresentEmptyAndNull) {
  ScopedSettings settings;
  CRegistry reg;
  EXPECT_EQ(reg.ReadInt(kLocalMachine, kKey, "m_none", 5), 5);
  EXPECT_EQ(reg.ReadInt(kLocalMachine, kKey, "m_none"), 0);
  EXPECT_EQ(reg.ReadString(kLocalMachine, kKey, "m_none", "dflt"), "dflt");
  EXPECT_FALSE(reg.QueryString(kLocalMachine, kKey, "m_none").has_value());

  reg.WriteString(kLocalMachine, kKey, "m_empty", "");
  EXPECT_EQ(reg.ReadInt(kLocalMachine, kKey, "m_empty", 5), 0);  // present but empty: 0, not the default
  EXPECT_EQ(reg.ReadString(kLocalMachine, kKey, "m_empty", "dflt"), "");
  ASSERT_TRUE(reg.QueryString(kLocalMachine, kKey, "m_empty").has_value());
}

TEST(Registry, IntegersAreStoredAsDecimalText) {
  ScopedSettings settings;
  CRegistry reg(kLocalMachine, kKey);
  reg.WriteInt("m_minus", -1);
  reg.WriteInt("m_zero", 0);
  EXPECT_EQ(reg.ReadString("m_minus", ""), "-1");
  EXPECT_EQ(reg.ReadString("m_zero", ""), "0");
  reg.WriteString("m_empty_lines", "2");  // written as text by one page, read as int by the engine
  EXPECT_EQ(reg.ReadInt("m_empty_lines", 9), 2);
}

TEST(Registry, AnyTextRoundTripsExactlyThroughTheFile) {
  ScopedSettings settings;
  const std::string texts[] = {
      " leading and trailing  ",
      "a=b=c",
      "line one\nline two\r\nthree",
      "back\\slash \\n not a line feed",
      "caf\xC3\xA9 \xFF\xFE bytes",
      std::string("nul\0inside", 10),
      "[looks like a section]",
      "; looks like a comment",
  };
  CRegistry reg(kLocalMachine, kKey);
  int i = 0;
  for (const std::string& text : texts) reg.WriteString("m_text" + std::to_string(i++), text);
  reg.WriteString("odd = name[", "v");
  // Parse the file afresh, as another process would.
  SettingsData data = SettingsData::Parse(ReadFile(CRegistry::StoreFile()));
  i = 0;
  for (const std::string& text : texts) {
    const std::string* stored =
        data.FindValue("HKEY_LOCAL_MACHINE\\" + kKey, "m_text" + std::to_string(i++));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(*stored, text);
  }
  const std::string* odd = data.FindValue("HKEY_LOCAL_MACHINE\\" + kKey, "odd = name[");
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(*odd, "v");
}

TEST(Registry, TheFileIsReadableAndHandEditsAreSeenAtOnce) {
  ScopedSettings settings;
  CRegistry reg(kLocalMachine, kKey);
  reg.WriteInt("m_openfile", 0);
  std::string text = ReadFile(CRegistry::StoreFile());
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\nm_openfile=0\n"),
            std::string::npos);
  // A person edits the file with a text editor (in place, same size).
  text.replace(text.find("m_openfile=0"), 12, "m_openfile=1");
  WriteFile(CRegistry::StoreFile(), text);
  EXPECT_EQ(reg.ReadInt("m_openfile", 7), 1);
  // Names and key paths are matched regardless of case, and blanks around a name are allowed.
  WriteFile(CRegistry::StoreFile(), "[hkey_local_machine\\software\\lumentra folios]\n  M_OPENFILE = 3\n");
  EXPECT_EQ(reg.ReadInt("m_openfile", 7), 3);
}

TEST(Registry, ReadingAMissingKeyLeavesItBehindEmpty) {
  ScopedSettings settings;
  CRegistry reg;
  EXPECT_EQ(reg.ReadInt(kLocalMachine, kKey + "\\doc", "m_code_fontsize", 10), 10);
  SettingsData data = SettingsData::Parse(ReadFile(CRegistry::StoreFile()));
  const SettingsKey* key = data.FindKey("HKEY_LOCAL_MACHINE\\" + kKey + "\\doc");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->value_count(), 0u);
}

TEST(Registry, DeleteKeyRemovesValuesAndSubkeysButNothingElse) {
  ScopedSettings settings;
  CRegistry reg;
  reg.WriteInt(kLocalMachine, kKey, "m_openfile", 0);
  reg.WriteInt(kLocalMachine, kKey + "\\doc", "m_code_fontsize", 20);
  reg.WriteInt(kLocalMachine, kKey + "\\template_kw", "m_bold", 1);
  reg.WriteInt(kLocalMachine, "Software\\Lumentra Folios Other", "m_keep", 1);
  reg.WriteInt(kCurrentUser, kKey, "m_keep", 1);

  ResetAllSettings();

  for (const SettingInfo& info : AllSettings()) {
    EXPECT_EQ(Settings(info.key).Text(info.name), DefaultText(info.key, info.name)) << info.name;
  }
  EXPECT_EQ(reg.ReadInt(kLocalMachine, "Software\\Lumentra Folios Other", "m_keep", 0), 1);
  EXPECT_EQ(reg.ReadInt(kCurrentUser, kKey, "m_keep", 0), 1);
}

TEST(Registry, UnknownRootsStoreNothing) {
  ScopedSettings settings;
  CRegistry reg;
  reg.WriteInt(7, kKey, "m_x", 1);
  reg.WriteInt(-1, kKey, "m_x", 1);
  EXPECT_FALSE(reg.QueryString(7, kKey, "m_x").has_value());
  for (int root = 0; root <= 6; ++root) {
    reg.WriteInt(root, kKey, "m_root", root);
    EXPECT_EQ(reg.ReadInt(root, kKey, "m_root", -1), root);
  }
  // An empty key path is the root itself.
  reg.WriteString(kUsers, "", "m_at_root", "r");
  EXPECT_EQ(reg.ReadString(kUsers, "", "m_at_root", ""), "r");
}

TEST(Registry, DamagedStoresGiveDefaultsAndNeverCrash) {
  ScopedSettings settings;
  CRegistry reg(kLocalMachine, kKey);
  const std::string damaged[] = {
      std::string("\x7f" "ELF\0\0\0\x02\x01garbage\xff\xfe", 16),
      "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\nm_openfile=0\nm_showfiledlg=",  // cut mid-line
      "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Fol",                                 // cut mid-header
      "no section\nm_openfile=0\n=novalue\n\\x\n",
  };
  WriteFile(CRegistry::StoreFile(), damaged[0]);
  EXPECT_EQ(reg.ReadInt("m_openfile", 1), 1);
  WriteFile(CRegistry::StoreFile(), damaged[1]);
  EXPECT_EQ(reg.ReadInt("m_openfile", 1), 0);
  EXPECT_EQ(reg.ReadString("m_showfiledlg", "d"), "");
  WriteFile(CRegistry::StoreFile(), damaged[2]);
  EXPECT_EQ(reg.ReadInt("m_openfile", 1), 1);
  WriteFile(CRegistry::StoreFile(), damaged[3]);
  EXPECT_EQ(reg.ReadInt("m_openfile", 1), 1);
  // Writing over a damaged store gives a clean one that keeps the new value.
  reg.WriteInt("m_openfile", 0);
  EXPECT_EQ(reg.ReadInt("m_openfile", 1), 0);
}

TEST(Registry, UnwritableStoresFailSilently) {
  ScopedSettings settings;
  std::filesystem::remove_all(settings.config_dir());
  WriteFile(settings.config_dir(), "a file where the directory should be");
  CRegistry reg(kLocalMachine, kKey);
  reg.WriteInt("m_openfile", 0);
  EXPECT_EQ(reg.ReadInt("m_openfile", 1), 1);
  EXPECT_EQ(ReadFile(settings.config_dir()), "a file where the directory should be");
}

TEST(Registry, ConcurrentWritersLoseNothingAndNeverMixFiles) {
  ScopedSettings settings;
  const int kProcesses = 4;
  const int kWrites = 40;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      CRegistry reg(kLocalMachine, kKey);
      for (int i = 0; i < kWrites; ++i) {
        reg.WriteInt("m_p" + std::to_string(p) + "_" + std::to_string(i), i);
      }
      _exit(0);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  CRegistry reg(kLocalMachine, kKey);
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kWrites; ++i) {
      EXPECT_EQ(reg.ReadInt("m_p" + std::to_string(p) + "_" + std::to_string(i), -1), i);
    }
  }
  // No temporary files are left beside the store.
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(settings.config_dir())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.ini" || name == "settings.lock") << name;
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

TEST(Registry, OverridesAreSeenButNeverStored) {
  ScopedSettings settings;
  CRegistry reg(kLocalMachine, kKey);
  reg.WriteInt("m_pagebreak", 0);
  CRegistry::OverrideForThisRun(kLocalMachine, kKey, "m_pagebreak", "1");
  EXPECT_EQ(reg.ReadInt("m_pagebreak", 0), 1);
  EXPECT_EQ(ReadFile(CRegistry::StoreFile()).find("m_pagebreak=1"), std::string::npos);
  CRegistry::OverrideForThisRun(kLocalMachine, kKey, "m_pagebreak", std::nullopt);
  EXPECT_EQ(reg.ReadInt("m_pagebreak", 1), 0);
}

TEST(Registry, StoreLocationFollowsTheEnvironment) {
  ScopedSettings settings;
  EXPECT_EQ(CRegistry::StoreDirectory(), settings.config_dir());
  std::string saved = getenv("FOLIOS_CONFIG_DIR");
  unsetenv("FOLIOS_CONFIG_DIR");
  setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
  EXPECT_EQ(CRegistry::StoreDirectory(), "/tmp/xdg-test/lumentra-folios");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(CRegistry::StoreDirectory(), std::string(getenv("HOME")) + "/.config/lumentra-folios");
  setenv("FOLIOS_CONFIG_DIR", saved.c_str(), 1);
}

// Runs `body` in a child process without root's privileges (as "nobody"
// when the tests run as root, so that file permissions apply); the child's
// exit status is 0 when every expectation held.
int RunWithoutPrivileges(const std::string& dir, const std::function<bool()>& body) {
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0) {
      for (auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        (void)!chown(entry.path().c_str(), 65534, 65534);
      }
      // The directories above must let the user through as well.
      for (std::filesystem::path up = dir; up.has_relative_path() && up != "/tmp"; up = up.parent_path()) {
        (void)!chown(up.c_str(), 65534, 65534);
      }
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    }
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(SettingsStore, AnUnreadableStoreIsNeverWrittenOver) {
  ScopedSettings settings;
  CRegistry reg(kLocalMachine, kKey);
  reg.WriteInt("m_colnumber", 2);
  reg.WriteString("m_dir", "/src");
  std::string before = ReadFile(CRegistry::StoreFile());
  ASSERT_EQ(chmod(CRegistry::StoreFile().c_str(), 0), 0);
  int rc = RunWithoutPrivileges(std::filesystem::path(settings.config_dir()).parent_path(), [] {
    CRegistry child(kLocalMachine, kKey);
    // Reads give the defaults; a change is refused with the reason.
    if (child.ReadInt("m_colnumber", 1) != 1) return false;
    Status written = child.TryWriteString(kLocalMachine, kKey, "m_startat", "5");
    return !written.ok() && written.message().find("Permission denied") != std::string::npos &&
           written.message().find("left as it was") != std::string::npos && !ResetAllSettings().ok();
  });
  EXPECT_EQ(rc, 0);
  ASSERT_EQ(chmod(CRegistry::StoreFile().c_str(), 0600), 0);
  EXPECT_EQ(ReadFile(CRegistry::StoreFile()), before);
}

TEST(SettingsStore, CommentsUnknownNamesAndOddLinesSurviveAWrite) {
  ScopedSettings settings;
  const std::string by_hand =
      "; my settings, kept in git\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\n"
      "; two columns for the printer in room 4\n"
      "m_colnumber = 2\n"
      "m_from_a_newer_version=yes\n"
      "this line means nothing\n"
      "m_pagebreak=0\n"
      "m_pagebreak=1\n"
      "\n"
      "; fonts below\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios\\doc]\n"
      "m_code_fontsize=12\n";
  WriteFile(CRegistry::StoreFile(), by_hand);
  CRegistry reg(kLocalMachine, kKey);
  EXPECT_EQ(reg.ReadInt("m_colnumber", 1), 2);
  EXPECT_EQ(reg.ReadInt("m_pagebreak", 0), 1);  // the later line wins
  reg.WriteInt("m_pagebreak", 0);
  reg.WriteInt("m_startat", 10);
  reg.WriteString(kLocalMachine, kKey + "\\template_kw", "m_bold", "1");
  EXPECT_EQ(ReadFile(CRegistry::StoreFile()),
            "; my settings, kept in git\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\n"
            "; two columns for the printer in room 4\n"
            "m_colnumber = 2\n"
            "m_from_a_newer_version=yes\n"
            "this line means nothing\n"
            "m_pagebreak=0\n"
            "m_pagebreak=0\n"
            "m_startat=10\n"
            "\n"
            "; fonts below\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios\\doc]\n"
            "m_code_fontsize=12\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios\\template_kw]\n"
            "m_bold=1\n");
  EXPECT_EQ(reg.ReadInt("m_pagebreak", 1), 0);
  EXPECT_EQ(reg.ReadString("m_from_a_newer_version", ""), "yes");
}

TEST(SettingsStore, AWriteReportsItsOwnResultUnderConcurrentWriters) {
  ScopedSettings settings;
  const int kProcesses = 3;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < 150; ++i) {
        // Every process writes the same name: a read-back would see the others.
        if (!Settings().TrySetText("m_startat", std::to_string(p * 1000 + i)).ok()) ++failures;
      }
      _exit(failures == 0 ? 0 : 1);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
}

}  // namespace
}  // namespace folios

// The folios command as a user runs it: exit codes, messages, settings and
// the file list.
#include <gtest/gtest.h>
#include <unistd.h>

#include "folios_runner.h"
#include "folios_version.h"
#include "registry.h"
#include "test_support.h"

namespace folios::test {
namespace {

class FoliosCommand : public ::testing::Test {
 protected:
  ScopedSettings settings_;
  TempDir dir_;
  RunResult Run(const std::vector<std::string>& args) { return RunFolios(args, dir_.path()); }
};

TEST_F(FoliosCommand, HelpVersionAndUsageErrors) {
  RunResult help = Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("Usage: folios COMMAND"), std::string::npos);
  EXPECT_EQ(Run({"--version"}).out, "folios (Lumentra Folios) " + std::string(folios::kVersion) + "\n");
  for (const char* command : {"files", "settings"}) {
    RunResult r = Run({command, "--help"});
    EXPECT_EQ(r.exit_code, 0) << command;
    EXPECT_NE(r.out.find("Usage: folios "), std::string::npos) << command;
  }
  EXPECT_EQ(Run({}).exit_code, 2);
  RunResult unknown = Run({"frobnicate"});
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_EQ(unknown.err, "folios: unknown command 'frobnicate'\nTry 'folios --help'.\n");
  EXPECT_EQ(Run({"files"}).exit_code, 2);
  EXPECT_EQ(Run({"files", "--types", "cobol", "."}).exit_code, 2);
  EXPECT_EQ(Run({"files", "--bogus", "."}).exit_code, 2);
  EXPECT_EQ(Run({"settings", "get"}).exit_code, 2);
  EXPECT_EQ(Run({"settings", "get", "m_nonsense"}).exit_code, 2);
  EXPECT_EQ(Run({"settings", "set", "m_openfile"}).exit_code, 2);
}

TEST_F(FoliosCommand, SettingsGetSetListReset) {
  EXPECT_EQ(Run({"settings", "get", "m_openfile"}).out, "1\n");
  ASSERT_EQ(Run({"settings", "set", "m_openfile", "0"}).exit_code, 0);
  EXPECT_EQ(Run({"settings", "get", "m_openfile"}).out, "0\n");
  EXPECT_EQ(CRegistry().ReadInt(kLocalMachine, kProductKey, "m_openfile", 9), 0);

  // Subkeys by --key or KEY/NAME.
  ASSERT_EQ(Run({"settings", "set", "--key", "doc", "m_code_fontsize", "12"}).exit_code, 0);
  EXPECT_EQ(Run({"settings", "get", "doc/m_code_fontsize"}).out, "12\n");
  ASSERT_EQ(Run({"settings", "set", "template_kw/m_bold", "1"}).exit_code, 0);
  EXPECT_EQ(Run({"settings", "get", "--key=template_kw", "m_bold"}).out, "1\n");

  ASSERT_EQ(Run({"settings", "set", "m_extraction_expression", "a\nb"}).exit_code, 0);
  RunResult list = Run({"settings", "list"});
  EXPECT_EQ(list.exit_code, 0);
  EXPECT_EQ(list.out.rfind("m_openfile=0\n", 0), 0u);
  EXPECT_NE(list.out.find("\nm_extraction_expression=a\\nb\n"), std::string::npos);
  EXPECT_NE(list.out.find("\ndoc/m_code_fontsize=12\n"), std::string::npos);
  RunResult doc_only = Run({"settings", "list", "--key", "doc"});
  EXPECT_EQ(doc_only.out.find("m_openfile"), std::string::npos);
  EXPECT_EQ(doc_only.out.rfind("doc/m_header_bold=1\n", 0), 0u);

  ASSERT_EQ(Run({"settings", "reset"}).exit_code, 0);
  EXPECT_EQ(Run({"settings", "get", "m_openfile"}).out, "1\n");
  EXPECT_EQ(Run({"settings", "get", "doc/m_code_fontsize"}).out, "10\n");
  EXPECT_EQ(Run({"settings", "path"}).out, settings_.config_dir() + "/settings.ini\n");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

TEST_F(FoliosCommand, FilesShowsRowsInTheOrderTheBuildsTakeThem) {
  WriteFile(dir_.File("src/a.cpp"), std::string(1500, 'x'));
  WriteFile(dir_.File("src/b.h"), "");
  WriteFile(dir_.File("src/c.java"), "x");
  WriteFile(dir_.File("src/sub/d.c"), "x");
  WriteFile(dir_.File("src/sub/e.hpp"), "x");
  RunResult r = Run({"files", "--types", "cpp,h", "src"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_EQ(lines[0].rfind("Filename  ", 0), 0u);
  // Headers before sources, as the file list groups them; by name within.
  EXPECT_EQ(lines[1].rfind("b.h  ", 0), 0u);
  EXPECT_EQ(lines[2].rfind("e.hpp  ", 0), 0u);
  EXPECT_EQ(lines[3].rfind("a.cpp  ", 0), 0u);
  EXPECT_EQ(lines[4].rfind("d.c  ", 0), 0u);
  EXPECT_NE(lines[3].find(dir_.File("src") + "  "), std::string::npos);
  EXPECT_NE(lines[3].find("  2KB  "), std::string::npos);
  EXPECT_NE(lines[1].find("  1KB  "), std::string::npos);

  RunResult shallow = Run({"files", "--no-subfolders", "--types=cpp", "src"});
  EXPECT_EQ(shallow.out.find("d.c"), std::string::npos);
  EXPECT_NE(shallow.out.find("a.cpp"), std::string::npos);

  // Named files come in the order named.
  lines = Lines(Run({"files", "src/sub/d.c", "src/c.java", "src/a.cpp"}).out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].rfind("d.c  ", 0), 0u);
  EXPECT_EQ(lines[2].rfind("c.java  ", 0), 0u);
  EXPECT_EQ(lines[3].rfind("a.cpp  ", 0), 0u);
}

TEST_F(FoliosCommand, SearchesDoNotFollowLinksToDirectories) {
  WriteFile(dir_.File("src/a.c"), "x");
  WriteFile(dir_.File("elsewhere/b.c"), "x");
  ASSERT_EQ(symlink(dir_.File("elsewhere").c_str(), dir_.File("src/link").c_str()), 0);
  RunResult r = Run({"files", "--types", "cpp", "--subfolders", "src"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out.find("b.c"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "folios: search '" + dir_.File("src/link") +
                       "': a symbolic link to a directory; skipped (name it to search it)\n");
  EXPECT_NE(Run({"files", "--types", "cpp", "src/link"}).out.find("b.c"), std::string::npos);
}

TEST_F(FoliosCommand, SettingsSetChecksTheRange) {
  RunResult refused = Run({"settings", "set", "m_colnumber", "3"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.err.find("m_colnumber must be 1 or 2, not 3"), std::string::npos)
      << refused.err;
  EXPECT_EQ(Run({"settings", "get", "m_colnumber"}).out, "1\n");
  EXPECT_EQ(Run({"settings", "set", "m_startat", "abc"}).exit_code, 2);
  EXPECT_EQ(Run({"settings", "set", "doc/m_code_fontsize", "20"}).exit_code, 2);

  RunResult clamped = Run({"settings", "set", "m_c_with_code", "99"});
  EXPECT_EQ(clamped.exit_code, 0);
  EXPECT_NE(clamped.err.find("warning: m_c_with_code must be a whole number from 0 to 60; "
                             "99 is taken as 60"),
            std::string::npos)
      << clamped.err;
  EXPECT_EQ(Run({"settings", "get", "m_c_with_code"}).out, "60\n");
  EXPECT_EQ(Run({"settings", "set", "m_c_with_code", "x"}).exit_code, 2);
  EXPECT_EQ(Run({"settings", "set", "m_extraction_expression", "anything"}).exit_code, 0);
}

TEST_F(FoliosCommand, FilesTakesItsDefaultTypesFromTheSettings) {
  WriteFile(dir_.File("src/a.cpp"), "x");
  WriteFile(dir_.File("src/m.bas"), "x");
  EXPECT_EQ(Run({"files", "src"}).out.find("m.bas"), std::string::npos);
  Run({"settings", "set", "m_bas", "1"});
  EXPECT_NE(Run({"files", "src"}).out.find("m.bas"), std::string::npos);
}

TEST_F(FoliosCommand, ProblemsAreNamedWithTheirPath) {
  WriteFile(dir_.File("empty/readme.txt"), "x");
  RunResult none = Run({"files", "empty"});
  EXPECT_EQ(none.exit_code, 1);
  EXPECT_EQ(none.err, "folios: search 'empty': No files where found in the directory!\n");

  RunResult missing = Run({"files", "missing.cpp"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("folios: open 'missing.cpp': No such file or directory\n"),
            std::string::npos);
  EXPECT_NE(missing.out.find("missing.cpp"), std::string::npos);  // still listed, as a project would

  WriteFile(dir_.File("notes.txt"), "x");
  EXPECT_EQ(Run({"files", "notes.txt"}).err,
            "folios: open 'notes.txt': not a C, C++, Java or Visual Basic source file or project\n");

  WriteFile(dir_.File("bin.dsp"), std::string("SOURCE=.\\a.cpp\n\0\0\0", 18));
  RunResult binary = Run({"files", "bin.dsp"});
  EXPECT_EQ(binary.exit_code, 1);
  EXPECT_EQ(binary.err,
            "folios: read project 'bin.dsp': not a project file (it holds binary data)\n");

  RunResult no_project = Run({"files", "gone.vbp"});
  EXPECT_EQ(no_project.exit_code, 1);
  EXPECT_EQ(no_project.err, "folios: open 'gone.vbp': No such file or directory\n");
}

TEST_F(FoliosCommand, ProjectsListTheFilesTheyNameEvenWhenMissing) {
  WriteFile(dir_.File("app/app.dsp"), "SOURCE=.\\main.cpp\r\nSOURCE=\"..\\common\\util.h\"\r\n");
  WriteFile(dir_.File("app/main.cpp"), "int main() {}\n");
  RunResult r = Run({"files", "app/app.dsp"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("util.h    " + dir_.File("common")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("main.cpp  " + dir_.File("app")), std::string::npos) << r.out;
}

TEST_F(FoliosCommand, PathsThatAreNotUtf8AreShownAsTheyAre) {
  std::string name = "caf\xE9.c";
  WriteFile(dir_.File(name), "x");
  RunResult r = Run({"files", name});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find(name), std::string::npos);
}

}  // namespace
}  // namespace folios::test

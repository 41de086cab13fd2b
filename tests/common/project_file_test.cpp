#include "project_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace folios {
namespace {

using test::TempDir;
using test::WriteFile;

std::vector<std::string> All(const CProjectFile& files) {
  std::vector<std::string> all;
  for (int g = 0; g < kFileGroupCount; ++g) {
    for (const std::string& p : files.group(g)) all.push_back(std::to_string(g) + ":" + p);
  }
  return all;
}

TEST(ProjectFile, GroupsByLowerCaseExtensionAndKeepsDuplicates) {
  CProjectFile files;
  for (const char* path : {"/s/a.cpp", "/s/b.C", "/s/MAIN.CPP", "/s/x.hpp", "/s/y.H", "/s/c.cls",
                           "/s/m.bas", "/s/f.frm", "/s/J.Java", "/s/readme.txt", "/s/a.cpp"}) {
    files.AddFile(path);
  }
  EXPECT_EQ(All(files), (std::vector<std::string>{
                            "0:/s/a.cpp", "0:/s/b.C", "0:/s/MAIN.CPP", "0:/s/a.cpp", "1:/s/x.hpp",
                            "1:/s/y.H", "2:/s/c.cls", "3:/s/m.bas", "4:/s/f.frm", "5:/s/J.Java"}));
}

TEST(ProjectFile, DspPathsResolveAgainstTheProjectDirectory) {
  TempDir dir;
  std::string project = dir.File("work/app/app.dsp");
  WriteFile(project,
            "# Begin Source File\r\n"
            "SOURCE=.\\main.cpp\r\n"
            "SOURCE=\"..\\common\\util.h\"\r\n"
            "SOURCE=D:\\lib\\x.cpp\r\n"
            "SOURCE=sub\\deeper\\y.c\r\n"
            "SOURCE=..\\..\\top.hpp\r\n"
            "source=.\\ignored.cpp\r\n"
            "  SOURCE=.\\ignored_too.cpp\r\n"
            "SOURCE=.\\notes.txt\r\n");
  CProjectFile files;
  ASSERT_TRUE(files.Open(project, true).ok());
  EXPECT_EQ(files.kind(), kDspProject);
  ASSERT_TRUE(files.Process().ok());
  std::string root = dir.path();
  EXPECT_EQ(All(files), (std::vector<std::string>{
                            "0:" + root + "/work/app/main.cpp",
                            "0:D:/lib/x.cpp",  // another machine's drive: kept, shows as missing
                            "0:" + root + "/work/app/sub/deeper/y.c",
                            "1:" + root + "/work/common/util.h",
                            "1:" + root + "/top.hpp",
                        }));
}

TEST(ProjectFile, VbpLinesNameFormsModulesAndClasses) {
  TempDir dir;
  std::string project = dir.File("vb/p.vbp");
  WriteFile(project,
            "Type=Exe\r\n"
            "Form=frmMain.frm\r\n"
            "Module=Mod1; Mod1.bas\r\n"
            "Class=Cls1; .\\Cls1.cls\r\n"
            "Module=Shared; ..\\..\\lib\\x.bas\r\n"
            "Module=NoSemicolon\r\n"
            "Startup=\"frmMain\"\r\n");
  CProjectFile files;
  ASSERT_TRUE(files.Open(project, true).ok());
  EXPECT_EQ(files.kind(), kVbProject);
  ASSERT_TRUE(files.Process().ok());
  std::string root = dir.path();
  // The parent of the temporary directory, where ..\..\lib lands.
  std::string parent = root.substr(0, root.rfind('/'));
  EXPECT_EQ(All(files), (std::vector<std::string>{
                            "2:" + root + "/vb/Cls1.cls",
                            "3:" + root + "/vb/Mod1.bas",
                            "3:" + parent + "/lib/x.bas",
                            "4:" + root + "/vb/frmMain.frm",
                        }));
  // The project's own order, across the groups.
  EXPECT_EQ(files.files_in_order(),
            (std::vector<std::string>{root + "/vb/frmMain.frm", root + "/vb/Mod1.bas",
                                      root + "/vb/Cls1.cls", parent + "/lib/x.bas"}));
}

// Projects written where file names ignore case name their files in any
// case; each path component is matched ignoring case when the exact name
// does not exist.
TEST(ProjectFile, NamesInAnotherCaseFindTheFileOnDisk) {
  TempDir dir;
  for (const char* name : {"vb/AIP.BAS", "vb/Forms/Main.FRM", "vb/both.cls", "vb/Both.cls",
                           "vb/q.BAS", "vb/Q.bas", "vb/Exact.bas", "vb/EXACT.bas"}) {
    WriteFile(dir.File(name), "x");
  }
  WriteFile(dir.File("vb/AskAIP.vbp"),
            "Module=AIP; AIP.bas\r\n"
            "Form=forms\\main.frm\r\n"
            "Class=B; both.cls\r\n"           // exists as written: taken as it is
            "Module=Q; q.bas\r\n"             // two candidates: kept as written, and noted
            "Module=E; Exact.bas\r\n"
            "Module=M; missing.bas\r\n");     // none: kept as written
  CProjectFile files;
  ASSERT_TRUE(files.Open(dir.File("vb/AskAIP.vbp"), true).ok());
  ASSERT_TRUE(files.Process().ok());
  EXPECT_EQ(files.files_in_order(),
            (std::vector<std::string>{dir.File("vb/AIP.BAS"), dir.File("vb/Forms/Main.FRM"),
                                      dir.File("vb/both.cls"), dir.File("vb/q.bas"),
                                      dir.File("vb/Exact.bas"), dir.File("vb/missing.bas")}));
  ASSERT_EQ(files.notes().size(), 1u);
  EXPECT_NE(files.notes()[0].find("'" + dir.File("vb/q.bas") + "' does not exist"),
            std::string::npos);
  EXPECT_NE(files.notes()[0].find("(Q.bas, q.BAS)"), std::string::npos) << files.notes()[0];

  WriteFile(dir.File("lua/src/lauxlib.c"), "x");
  WriteFile(dir.File("lua/lua.dsp"), "SOURCE=.\\SRC\\LAUXLIB.C\r\nSOURCE=\"..\\LUA\\src\\LauxLib.c\"\r\n");
  ASSERT_TRUE(files.Open(dir.File("lua/lua.dsp"), true).ok());
  ASSERT_TRUE(files.Process().ok());
  EXPECT_TRUE(files.notes().empty());
  EXPECT_EQ(files.files_in_order(),
            (std::vector<std::string>{dir.File("lua/src/lauxlib.c"), dir.File("lua/src/lauxlib.c")}));
}

TEST(CaseInsensitiveLookup, RelativePathsAndPathsThatExist) {
  TempDir dir;
  WriteFile(dir.File("Src/Main.C"), "x");
  std::string old_dir = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  CaseInsensitiveLookup lookup;
  std::string ambiguity;
  EXPECT_EQ(lookup.Find("src/main.c", &ambiguity), "Src/Main.C");
  EXPECT_EQ(lookup.Find("./SRC/MAIN.C", &ambiguity), "./Src/Main.C");
  EXPECT_EQ(lookup.Find("Src/Main.C", &ambiguity), "Src/Main.C");
  EXPECT_EQ(lookup.Find("src/other.c", &ambiguity), "src/other.c");
  EXPECT_EQ(ambiguity, "");
  std::filesystem::current_path(old_dir);
  EXPECT_EQ(lookup.Find(dir.File("SRC/main.c"), &ambiguity), dir.File("Src/Main.C"));
}

TEST(ProjectFile, OpeningASecondProjectReplacesTheFirst) {
  TempDir dir;
  WriteFile(dir.File("a.dsp"), "SOURCE=.\\a.cpp\n");
  WriteFile(dir.File("b.dsp"), "SOURCE=.\\b.cpp\n");
  CProjectFile files;
  files.Open(dir.File("a.dsp"), true);
  files.Process();
  files.Open(dir.File("b.dsp"), true);
  files.Process();
  EXPECT_EQ(All(files), (std::vector<std::string>{"0:" + dir.File("b.cpp")}));
}

TEST(ProjectFile, SingleFilesAreAddedWhetherOrNotTheyExist) {
  CProjectFile files;
  EXPECT_TRUE(files.Open("/nowhere/missing.java", true).ok());
  EXPECT_EQ(files.kind(), kSingleFile);
  EXPECT_TRUE(files.Process().ok());
  EXPECT_EQ(All(files), (std::vector<std::string>{"5:/nowhere/missing.java"}));

  files.Open("/nowhere/notes.txt", true);
  files.Process();
  EXPECT_EQ(files.FileCount(), 0u);
}

TEST(ProjectFile, BadProjectsAddNothingAndSaySo) {
  TempDir dir;
  CProjectFile files;
  EXPECT_FALSE(files.Open(dir.File("missing.dsp"), true).ok());
  EXPECT_FALSE(files.Process().ok());
  EXPECT_EQ(files.FileCount(), 0u);

  std::string binary("SOURCE=.\\a.cpp\n\x7f" "ELF\0\0\x01SOURCE=.\\b.cpp\n", 30);
  WriteFile(dir.File("binary.dsp"), binary);
  ASSERT_TRUE(files.Open(dir.File("binary.dsp"), true).ok());
  Status status = files.Process();
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.message().find("binary"), std::string::npos);
  EXPECT_EQ(files.FileCount(), 0u);

  WriteFile(dir.File("folder.dsp/inside.txt"), "");
  EXPECT_FALSE(files.Open(dir.File("folder.dsp"), true).ok());
  EXPECT_EQ(files.FileCount(), 0u);
}

TEST(ProjectFile, HugeLinesAreReadWithoutTrouble) {
  TempDir dir;
  std::string long_line = "SOURCE=.\\" + std::string(100000, 'a') + ".cpp\n";
  WriteFile(dir.File("long.dsp"), std::string(100000, '#') + "\n" + long_line);
  CProjectFile files;
  ASSERT_TRUE(files.Open(dir.File("long.dsp"), true).ok());
  ASSERT_TRUE(files.Process().ok());
  ASSERT_EQ(files.group(kCppSources).size(), 1u);
  EXPECT_EQ(files.group(kCppSources)[0].size(), dir.path().size() + 1 + 100000 + 4);
}

}  // namespace
}  // namespace folios

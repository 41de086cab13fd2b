#include "gather_inputs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "progress.h"
#include "project_file.h"
#include "test_support.h"

namespace folios {
namespace {

using test::TempDir;
using test::WriteFile;

using Kind = GatherProblemKind;

// "kind path reason #input" for each problem, for one comparison per case.
std::vector<std::string> Described(const std::vector<GatherProblem>& problems,
                                   const std::string& root) {
  static const char* const kNames[] = {"no-types",   "unlistable", "subfolder",  "link",
                                       "nothing",    "access",     "not-source", "unopenable",
                                       "unreadable", "empty",      "ambiguous"};
  std::vector<std::string> lines;
  for (const GatherProblem& p : problems) {
    std::string path = p.path;
    if (path.rfind(root + "/", 0) == 0) path = path.substr(root.size() + 1);
    lines.push_back(std::string(kNames[static_cast<int>(p.kind)]) + " " + path + ": " + p.reason +
                    " #" + std::to_string(p.input));
  }
  return lines;
}

std::vector<std::string> Relative(const std::vector<std::string>& paths, const std::string& root) {
  std::vector<std::string> relative;
  for (const std::string& path : paths) {
    relative.push_back(path.rfind(root + "/", 0) == 0 ? path.substr(root.size() + 1) : path);
  }
  return relative;
}

class RecordingProgress : public Progress {
 public:
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetStatus(const std::string& text) override { statuses_.push_back(text); }
  std::string caption_;
  std::vector<std::string> statuses_;
};

TEST(GatherInputs, EveryKindOfInputInTheOrderNamed) {
  TempDir dir;
  WriteFile(dir.File("one.c"), "int one;\n");
  WriteFile(dir.File("src/b.h"), "");
  WriteFile(dir.File("src/a.cpp"), "");
  WriteFile(dir.File("src/sub/z.cpp"), "");
  WriteFile(dir.File("src/notes.txt"), "");
  WriteFile(dir.File("proj/p.dsp"), "SOURCE=.\\main.cpp\nSOURCE=.\\gone.h\n");
  WriteFile(dir.File("proj/main.cpp"), "");
  CProjectFile files;
  GatherRequest request;
  request.paths = {dir.File("one.c"), dir.File("src"), dir.File("proj/p.dsp")};
  GatherResult result = GatherInputs(request, &files, nullptr);
  EXPECT_TRUE(result.problems.empty());
  EXPECT_FALSE(result.failed());
  // The search keeps its own order: folder by folder, headers first.
  EXPECT_EQ(Relative(files.files_in_order(), dir.path()),
            (std::vector<std::string>{"one.c", "src/b.h", "src/a.cpp", "src/sub/z.cpp",
                                      "proj/main.cpp", "proj/gone.h"}));
  EXPECT_EQ(result.added, (std::vector<size_t>{1, 3, 2}));
  EXPECT_EQ(result.added_total(), 6u);

  // The command line's order groups a search by type, the last group first.
  request.order = FoundFileOrder::kByTypeThenName;
  request.paths = {dir.File("src")};
  GatherInputs(request, &files, nullptr);
  EXPECT_EQ(Relative(files.files_in_order(), dir.path()),
            (std::vector<std::string>{"src/b.h", "src/a.cpp", "src/sub/z.cpp"}));
  request.subfolders = false;
  GatherInputs(request, &files, nullptr);
  EXPECT_EQ(Relative(files.files_in_order(), dir.path()),
            (std::vector<std::string>{"src/b.h", "src/a.cpp"}));
}

TEST(GatherInputs, ProblemsCarryPathReasonAndInputInTheOrderMet) {
  TempDir dir;
  WriteFile(dir.File("a.c"), "");
  WriteFile(dir.File("readme.txt"), "");
  WriteFile(dir.File("empty/notes.txt"), "");
  WriteFile(dir.File("tree/x.c"), "");
  WriteFile(dir.File("outside/y.c"), "");
  ASSERT_EQ(symlink(dir.File("outside").c_str(), dir.File("tree/away").c_str()), 0);
  WriteFile(dir.File("bin.vbp"), std::string("Form=f.frm\n\0\n", 13));
  WriteFile(dir.File("vb/v.vbp"), "Form=Main.frm\nModule=M; Lost.bas\n");
  WriteFile(dir.File("vb/MAIN.frm"), "");
  WriteFile(dir.File("vb/main.FRM"), "");
  CProjectFile files;
  GatherRequest request;
  request.paths = {dir.File("gone.cpp"), dir.File("readme.txt"), dir.File("missing.dsp"),
                   dir.File("empty"),    dir.File("tree"),       dir.File("bin.vbp"),
                   dir.File("vb/v.vbp"), dir.File("a.c"),        dir.File("gone.txt")};
  GatherResult result = GatherInputs(request, &files, nullptr);
  const std::string root = dir.path();
  EXPECT_EQ(
      Described(result.problems, root),
      (std::vector<std::string>{
          "access gone.cpp: No such file or directory #0",
          "not-source readme.txt: not a C, C++, Java or Visual Basic source file or "
          "project #1",
          "access missing.dsp: No such file or directory #2",
          "nothing empty: No files where found in the directory! #3",
          "link tree/away: a symbolic link to a directory; skipped (name it to search "
          "it) #4",
          "unreadable bin.vbp: not a project file (it holds binary data) #5",
          "ambiguous vb/v.vbp: '" + root + "/vb/Main.frm' does not exist, and 2 names in '" + root +
              "/vb' differ from 'Main.frm' only in case (MAIN.frm, main.FRM): none "
              "was taken #6",
          "access gone.txt: No such file or directory #8",
          "not-source gone.txt: not a C, C++, Java or Visual Basic source file or "
          "project #8"}));
  // A missing source file is listed, as a project's missing file is; a
  // missing project or a file of another type gives nothing.
  EXPECT_EQ(
      Relative(files.files_in_order(), root),
      (std::vector<std::string>{"gone.cpp", "tree/x.c", "vb/Main.frm", "vb/Lost.bas", "a.c"}));
  EXPECT_EQ(result.added, (std::vector<size_t>{1, 0, 0, 0, 1, 0, 2, 1, 0}));
  EXPECT_TRUE(result.failed());
  std::vector<bool> failures;
  for (const GatherProblem& p : result.problems) failures.push_back(p.failure());
  EXPECT_EQ(failures, (std::vector<bool>{true, true, true, true, false, true, false, true, true}));
}

TEST(GatherInputs, TellingProblemsAloneAreNoFailure) {
  TempDir dir;
  WriteFile(dir.File("tree/x.c"), "");
  ASSERT_EQ(symlink(dir.File("tree").c_str(), dir.File("tree/loop").c_str()), 0);
  CProjectFile files;
  GatherRequest request;
  request.paths = {dir.File("tree")};
  GatherResult result = GatherInputs(request, &files, nullptr);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].kind, Kind::kLinkSkipped);
  EXPECT_FALSE(result.failed());
  // Without subfolders the link is never met.
  request.subfolders = false;
  EXPECT_TRUE(GatherInputs(request, &files, nullptr).problems.empty());
}

TEST(GatherInputs, ADirectoryNeedsAChosenType) {
  TempDir dir;
  WriteFile(dir.File("src/a.c"), "");
  CProjectFile files;
  files.AddFile("/old/left.c");
  GatherRequest request;
  request.paths = {dir.File("src")};
  request.types = SearchTypes{false, false, false, false, false, false};
  GatherResult result = GatherInputs(request, &files, nullptr);
  EXPECT_EQ(Described(result.problems, dir.path()),
            (std::vector<std::string>{"no-types src: You must select at least one filetype! #0"}));
  // Gathering replaces what the collection held.
  EXPECT_EQ(files.FileCount(), 0u);
  request.types = SearchTypes{false, false, true, false, false, false};
  EXPECT_EQ(Described(GatherInputs(request, &files, nullptr).problems, dir.path()),
            (std::vector<std::string>{"nothing src: No files where found in the directory! #0"}));
}

TEST(GatherInputs, ASearchOfWhatIsNoDirectoryIsAFolderThatCannotBeListed) {
  TempDir dir;
  WriteFile(dir.File("a.c"), "");
  GatherRequest request;
  request.paths = {dir.File("gone"), dir.File("a.c")};
  request.directories_only = true;
  GatherPlan plan = PlanGathering(request);
  EXPECT_TRUE(plan.entries.empty());
  EXPECT_EQ(Described(plan.problems, dir.path()),
            (std::vector<std::string>{"unlistable gone: No such file or directory #0",
                                      "unlistable a.c: Not a directory #1"}));
}

TEST(GatherInputs, PlanningLooksButReadsNothing) {
  TempDir dir;
  WriteFile(dir.File("bin.dsp"), std::string("SOURCE=a.c\n\0", 12));
  WriteFile(dir.File("d/a.c"), "");
  WriteFile(dir.File("d/b.java"), "");
  GatherRequest request;
  request.paths = {dir.File("bin.dsp"), dir.File("d")};
  request.types.java = true;
  GatherPlan plan = PlanGathering(request);
  // The project's binary content is met only when it is added.
  EXPECT_TRUE(plan.problems.empty());
  ASSERT_EQ(plan.entries.size(), 3u);
  EXPECT_EQ(plan.entries[0].named, dir.File("bin.dsp"));
  EXPECT_EQ(plan.entries[2].path, dir.File("d/b.java"));
  EXPECT_EQ(plan.entries[2].input, 1u);

  CProjectFile files;
  files.AddFile("/kept/before.c");
  RecordingProgress progress;
  GatherResult result = AddPlannedFiles(plan, &files, &progress);
  // Added to what the collection held, one step per entry.
  EXPECT_EQ(files.FileCount(), 3u);
  EXPECT_EQ(progress.caption_, "Add files to main area");
  EXPECT_EQ(progress.statuses_, (std::vector<std::string>{dir.File("bin.dsp"), dir.File("d/a.c"),
                                                          dir.File("d/b.java")}));
  EXPECT_EQ(progress.lower(), 0);
  EXPECT_EQ(progress.upper(), 2);
  EXPECT_EQ(progress.position(), 3);  // three steps from 0
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].kind, Kind::kProjectUnreadable);
}

TEST(GatherInputs, RelativeNamesAreKeptForProblemsAndMadeAbsoluteForFiles) {
  TempDir dir;
  WriteFile(dir.File("rel/a.c"), "");
  const std::string old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  CProjectFile files;
  GatherRequest request;
  request.paths = {"rel/a.c", "rel/none.h"};
  GatherResult result = GatherInputs(request, &files, nullptr);
  std::filesystem::current_path(old);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].path, "rel/none.h");
  EXPECT_EQ(files.files_in_order(),
            (std::vector<std::string>{dir.File("rel/a.c"), dir.File("rel/none.h")}));
}

TEST(GatherInputs, UnreadableProjectsAndFoldersAreNamed) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  WriteFile(dir.File("locked.dsp"), "SOURCE=a.c\n");
  chmod(dir.File("locked.dsp").c_str(), 0);
  WriteFile(dir.File("tree/a.c"), "");
  WriteFile(dir.File("tree/shut/b.c"), "");
  std::filesystem::permissions(dir.File("tree/shut"), std::filesystem::perms::none);
  CProjectFile files;
  GatherRequest request;
  request.paths = {dir.File("locked.dsp"), dir.File("tree")};
  GatherResult result = GatherInputs(request, &files, nullptr);
  std::filesystem::permissions(dir.File("tree/shut"), std::filesystem::perms::owner_all);
  EXPECT_EQ(Described(result.problems, dir.path()),
            (std::vector<std::string>{"unopenable locked.dsp: Permission denied #0",
                                      "subfolder tree/shut: cannot be read; skipped #1"}));
}

}  // namespace
}  // namespace folios

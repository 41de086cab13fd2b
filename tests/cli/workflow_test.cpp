// folios in a programmer's workflow: checks and diffs that write nothing,
// quiet and verbose runs, backups, project settings, the usual C++ file
// types, line ends kept, lists of names, and the git pre-commit hook.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "folios_runner.h"
#include "test_support.h"

namespace folios::test {
namespace {

namespace fs = std::filesystem;

const char kUnformatted[] = "int f()\n{\nx;\n}\n";
const char kFormatted[] = "int f() {\n    x;\n}\n";
const char kTwoSpaces[] = "int f() {\n  x;\n}\n";
// The meaning guard refuses this one: formatting would turn "//" in the
// include into a comment.
const char kRefused[] = "#include <a//b.h>\nint x;\n";

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a shell command in `dir`; its exit status.
int Shell(const std::string& command, const std::string& dir) {
  int status = std::system(("cd " + Quote(dir) + " && " + command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), dir).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Workflow : public ::testing::Test {
 protected:
  ScopedSettings settings_;
  TempDir dir_;
  RunResult Run(const std::vector<std::string>& args, const std::string* input = nullptr) {
    return RunFolios(args, dir_.path(), input);
  }
  std::string File(const std::string& name) const { return dir_.File(name); }
};

TEST_F(Workflow, CheckAndDiffWriteNothingAndSayWhatWouldChange) {
  WriteFile(File("clean/a.c"), kFormatted);
  WriteFile(File("clean/sub/b.java"), "class B {\n    int x;\n}\n");
  RunResult clean = Run({"reformat", "--check", "clean"});
  EXPECT_EQ(clean.exit_code, 0) << clean.err;
  EXPECT_EQ(clean.out + clean.err, "");
  EXPECT_EQ(Run({"reformat", "--diff", "clean"}).out, "");

  WriteFile(File("messy/one.c"), kUnformatted);
  WriteFile(File("messy/two.cpp"), kFormatted);
  WriteFile(File("messy/three.h"), "int g()\n{\ny;\n}\n");
  const std::vector<std::string> before = Names(dir_.path());
  RunResult check = Run({"reformat", "--check", "-j", "3", "messy/one.c", "messy/two.cpp", "messy/three.h"});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_EQ(check.out, "");
  EXPECT_EQ(check.err, "messy/one.c: would be reformatted\nmessy/three.h: would be reformatted\n");

  RunResult diff = Run({"reformat", "--diff", "-j", "3", "messy/one.c", "messy/two.cpp", "messy/three.h"});
  EXPECT_EQ(diff.exit_code, 1);
  EXPECT_EQ(diff.out,
            "--- a/messy/one.c\n+++ b/messy/one.c\n@@ -1,4 +1,3 @@\n-int f()\n-{\n-x;\n+int f() {\n+    x;\n }\n"
            "--- a/messy/three.h\n+++ b/messy/three.h\n@@ -1,4 +1,3 @@\n-int g()\n-{\n-y;\n+int g() {\n+    y;\n }\n");
  // Nothing was written: same files, same content, no backups.
  EXPECT_EQ(Names(dir_.path()), before);
  EXPECT_EQ(ReadFile(File("messy/one.c")), kUnformatted);

  // A file the meaning guard refuses is a failure, reported as such.
  WriteFile(File("guard/inc.c"), kRefused);
  RunResult guarded = Run({"reformat", "--check", "guard"});
  EXPECT_EQ(guarded.exit_code, 1);
  EXPECT_NE(guarded.err.find("cannot reformat '" + File("guard/inc.c") +
                             "': formatting would change the program at line 1"),
            std::string::npos)
      << guarded.err;
  EXPECT_EQ(Run({"reformat", "--diff", "guard"}).exit_code, 1);
  EXPECT_EQ(ReadFile(File("guard/inc.c")), kRefused);
  EXPECT_EQ(Run({"reformat", "--check", "--report", "messy"}).exit_code, 2);

  // A named pipe is refused before it is opened, never waited on.
  ASSERT_EQ(::mkfifo(File("pipe.c").c_str(), 0600), 0);
  for (const char* mode : {"--check", "--diff"}) {
    RunResult piped = Run({"reformat", mode, "pipe.c"});
    EXPECT_EQ(piped.exit_code, 1) << mode;
    EXPECT_NE(piped.err.find("a named pipe, not a regular file"), std::string::npos) << piped.err;
  }
}

TEST_F(Workflow, GitApplyOfTheDiffGivesWhatReformatWrites) {
  // Line ends of every kind, a missing last line end, tabs: the diff must
  // carry them all.
  const std::string sources[][2] = {
      {"p/a.c", kUnformatted},
      {"p/crlf.cpp", "int f()\r\n{\r\nif (x) {\r\ny;\r\n}\r\n}\r\n"},
      {"p/cr.hh", "int f()\r{\rx;\r}\r"},
      {"p/open.java", "class A {\nvoid f() {\n\tx();\n}\n}"},
      {"p/done.c", kFormatted},
  };
  for (const auto& source : sources) {
    WriteFile(File("applied/" + source[0]), source[1]);
    WriteFile(File("written/" + source[0]), source[1]);
  }
  RunResult diff = RunFolios({"reformat", "--diff", "p"}, File("applied"));
  ASSERT_EQ(diff.exit_code, 1) << diff.err;
  WriteFile(File("fix.diff"), diff.out);
  ASSERT_EQ(Shell("git apply --unsafe-paths -p1 " + Quote(File("fix.diff")), File("applied")), 0) << diff.out;
  RunResult written = RunFolios({"reformat", "--backup=none", "p"}, File("written"));
  ASSERT_EQ(written.exit_code, 0) << written.err;
  for (const auto& source : sources) {
    EXPECT_EQ(FirstDifference(ReadFile(File("written/" + source[0])), ReadFile(File("applied/" + source[0]))), "")
        << source[0];
  }
}

TEST_F(Workflow, QuietUnlessAskedAndBackupsAsChosen) {
  WriteFile(File("a.c"), kUnformatted);
  WriteFile(File("b.c"), kFormatted);
  RunResult quiet = Run({"reformat", "a.c", "b.c"});
  EXPECT_EQ(quiet.exit_code, 0) << quiet.err;
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(ReadFile(File("a.c.orig")), kUnformatted);
  EXPECT_FALSE(FileExists(File("b.c.orig")));

  WriteFile(File("a.c"), kUnformatted);
  RunResult verbose = Run({"reformat", "-v", "--backup=none", "a.c", "b.c"});
  EXPECT_EQ(verbose.out, "a.c: reformatted\nb.c: unchanged\n");
  EXPECT_EQ(ReadFile(File("a.c.orig")), kUnformatted);  // the old backup, untouched
  EXPECT_EQ(ReadFile(File("a.c")), kFormatted);

  WriteFile(File("a.c"), kUnformatted);
  RunResult report = Run({"reformat", "--report", "--suffix=.bak", "a.c"});
  EXPECT_NE(report.out.find("Function Line Spacing              : 2\n"), std::string::npos) << report.out;
  EXPECT_NE(report.out.find("Cleaning Up Dinner ... Done !\n"), std::string::npos);
  EXPECT_EQ(ReadFile(File("a.c.bak")), kUnformatted);

  // The project may choose: no copies.
  WriteFile(File(".folios.ini"), "m_backup_suffix=\n");
  WriteFile(File("c.c"), kUnformatted);
  EXPECT_EQ(Run({"reformat", "c.c"}).exit_code, 0);
  EXPECT_FALSE(FileExists(File("c.c.orig")));
  WriteFile(File("c.c"), kUnformatted);
  EXPECT_EQ(Run({"reformat", "--backup=orig", "c.c"}).exit_code, 0);
  EXPECT_EQ(ReadFile(File("c.c.orig")), kUnformatted);

  // -q leaves out warnings, never errors.
  EXPECT_NE(Run({"reformat", "-j", "99", "b.c"}).err.find("warning: -j 99"), std::string::npos);
  EXPECT_EQ(Run({"reformat", "-q", "-j", "99", "b.c"}).err, "");
  chmod(File("a.c").c_str(), 0444);
  WriteFile(File("d.c"), kUnformatted);
  chmod(File("d.c").c_str(), 0444);
  if (geteuid() != 0) {
    EXPECT_NE(Run({"reformat", "-q", "d.c"}).err.find("cannot reformat"), std::string::npos);
  }
  EXPECT_EQ(Run({"reformat", "--backup=maybe", "b.c"}).exit_code, 2);
  EXPECT_EQ(Run({"reformat", "--suffix=../x", "b.c"}).exit_code, 2);
  WriteFile(File(".folios.ini"), "m_backup_suffix=/tmp/x\n");
  WriteFile(File("c.c"), kUnformatted);
  RunResult outside = Run({"reformat", "c.c"});
  EXPECT_EQ(outside.exit_code, 1);
  EXPECT_NE(outside.err.find("m_backup_suffix '/tmp/x' must not hold '/'"), std::string::npos) << outside.err;
  EXPECT_EQ(ReadFile(File("c.c")), kUnformatted);
  EXPECT_EQ(Run({"reformat", "--backup=none", "--suffix=.x", "b.c"}).exit_code, 2);
}

TEST_F(Workflow, ProjectSettingsTwoDirectoriesUp) {
  WriteFile(File("repo/.folios.ini"),
            "; the team's layout\n[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\nm_spaces_to_indent=2\n");
  WriteFile(File("repo/src/lib/a.c"), kUnformatted);
  WriteFile(File("elsewhere/b.c"), kUnformatted);
  RunResult r = Run({"reformat", "repo/src/lib/a.c", "elsewhere/b.c"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(File("repo/src/lib/a.c")), kTwoSpaces);
  EXPECT_EQ(ReadFile(File("elsewhere/b.c")), kFormatted);  // no project file above it

  WriteFile(File("repo/src/lib/a.c"), kUnformatted);
  EXPECT_EQ(Run({"reformat", "--set", "m_spaces_to_indent=3", "repo/src/lib/a.c"}).exit_code, 0);
  EXPECT_EQ(ReadFile(File("repo/src/lib/a.c")), "int f() {\n   x;\n}\n");
  WriteFile(File("repo/src/lib/a.c"), kUnformatted);
  EXPECT_EQ(Run({"reformat", "--no-project-settings", "repo/src/lib/a.c"}).exit_code, 0);
  EXPECT_EQ(ReadFile(File("repo/src/lib/a.c")), kFormatted);
  WriteFile(File("other.ini"), "m_spaces_to_indent=1\n");
  WriteFile(File("repo/src/lib/a.c"), kUnformatted);
  EXPECT_EQ(Run({"reformat", "--settings", "other.ini", "repo/src/lib/a.c"}).exit_code, 0);
  EXPECT_EQ(ReadFile(File("repo/src/lib/a.c")), "int f() {\n x;\n}\n");

  // Standard input takes the settings of the name it is given.
  const std::string input = kUnformatted;
  RunResult piped = Run({"reformat", "-", "--assume-filename", "repo/src/new.c"}, &input);
  EXPECT_EQ(piped.out, kTwoSpaces);

  // 'settings path' lists the layers in order, from where it runs.
  RunResult path = RunFolios({"settings", "path"}, File("repo/src"));
  EXPECT_EQ(path.out, settings_.config_dir() + "/settings.ini\n" + File("repo/.folios.ini") + "\n");

  // A malformed project file stops the run before anything is written.
  WriteFile(File("repo/.folios.ini"), "m_spaces_to_indent=2\nm_spaces_to_ident=3\n");
  WriteFile(File("repo/src/lib/a.c"), kUnformatted);
  for (std::vector<std::string> args : {std::vector<std::string>{"reformat", "repo/src/lib/a.c"},
                                        {"reformat", "--check", "repo/src/lib/a.c"},
                                        {"listing", "-o", "out.rtf", "repo/src/lib/a.c"},
                                        {"files", "repo/src/lib/a.c"}}) {
    RunResult bad = Run(args);
    EXPECT_EQ(bad.exit_code, 1) << args[0];
    EXPECT_EQ(bad.err, "folios: project settings '" + File("repo/.folios.ini") +
                           "': line 2: unknown setting 'm_spaces_to_ident'\n")
        << args[0];
  }
  EXPECT_EQ(ReadFile(File("repo/src/lib/a.c")), kUnformatted);
  EXPECT_FALSE(FileExists(File("out.rtf")));
  EXPECT_EQ(Run({"reformat", "--no-project-settings", "repo/src/lib/a.c"}).exit_code, 0);
}

TEST_F(Workflow, TheUsualCppExtensionsAreCppEverywhere) {
  const char* extensions[] = {"cc", "cxx", "c++", "cp", "hh", "hpp", "hxx", "h++", "inl", "ipp", "tcc", "CC", "HPP"};
  for (const char* extension : extensions) {
    const std::string name = std::string("x.") + extension;
    WriteFile(File("t/" + name), kUnformatted);
    RunResult listing = Run({"listing", "--format=html", "-o", "-", "t/" + name});
    EXPECT_EQ(listing.exit_code, 0) << name << listing.err;
    // Styled as C++: "int" is a keyword there.
    EXPECT_NE(listing.out.find(">int</"), std::string::npos) << name;
    RunResult check = Run({"reformat", "--check", "t/" + name});
    EXPECT_EQ(check.err, "t/" + name + ": would be reformatted\n") << name;
    RunResult doc = Run({"doc", "-o", "-", "t/" + name});
    EXPECT_EQ(doc.exit_code, 0) << name << doc.err;
  }
  RunResult found = Run({"files", "--paths", "--types", "cpp,h", "t"});
  EXPECT_EQ(found.exit_code, 0);
  size_t lines = 0;
  for (char c : found.out) lines += c == '\n';
  EXPECT_EQ(lines, std::size(extensions));
  RunResult reformat = Run({"reformat", "--types", "h", "--no-subfolders", "t"});
  EXPECT_EQ(reformat.exit_code, 0) << reformat.err;
  EXPECT_EQ(ReadFile(File("t/x.tcc")), kFormatted);
  EXPECT_EQ(ReadFile(File("t/x.cc")), kUnformatted);  // a source, not a header type
}

TEST_F(Workflow, LineEndsAreKept) {
  WriteFile(File("lf.c"), "int f()\n{\nx;\n}\n");
  WriteFile(File("crlf.c"), "int f()\r\n{\r\nx;\r\n}\r\n");
  WriteFile(File("cr.c"), "int f()\r{\rx;\r}\r");
  WriteFile(File("mixed.c"), "int f()\r\n{\nx;\r\n}\r\n");
  RunResult r = Run({"reformat", "lf.c", "crlf.c", "cr.c", "mixed.c"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(File("lf.c")), "int f() {\n    x;\n}\n");
  EXPECT_EQ(ReadFile(File("crlf.c")), "int f() {\r\n    x;\r\n}\r\n");
  EXPECT_EQ(ReadFile(File("cr.c")), "int f() {\r    x;\r}\r");
  EXPECT_EQ(ReadFile(File("mixed.c")), "int f() {\r\n    x;\r\n}\r\n");
  // Formatted once, a CR LF file is left alone the next time.
  EXPECT_EQ(Run({"reformat", "--check", "crlf.c", "cr.c"}).exit_code, 0);

  const std::string input = "int f()\r\n{\r\nx;\r\n}\r\n";
  EXPECT_EQ(Run({"reformat", "-"}, &input).out, "int f() {\r\n    x;\r\n}\r\n");
}

TEST_F(Workflow, ListingOfStandardInputUnderTheNameGiven) {
  WriteFile(File("a.c"), "int a;\n");
  const std::string input = "class Stdin {\n  int x; // note\n}\n";
  RunResult named = Run({"listing", "--format=html", "-o", "-", "a.c", "-", "--assume-filename", "src/In.java"}, &input);
  EXPECT_EQ(named.exit_code, 0) << named.err;
  const size_t first = named.out.find(">" + File("a.c") + "</h2>");
  const size_t second = named.out.find(">src/In.java</h2>");
  EXPECT_NE(first, std::string::npos);
  EXPECT_NE(second, std::string::npos);
  EXPECT_LT(first, second);  // where '-' stood
  EXPECT_NE(named.out.find("Stdin"), std::string::npos);
  // The written document is named after the last INPUT; nothing is left in
  // the temporary directory.
  TempDir tmp;
  setenv("TMPDIR", tmp.path().c_str(), 1);
  RunResult unnamed = Run({"listing", "-"}, &input);
  unsetenv("TMPDIR");
  EXPECT_EQ(unnamed.exit_code, 0) << unnamed.err;
  EXPECT_NE(ReadFile(File("stdin.rtf")).find("Stdin"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(tmp.path()));
  EXPECT_EQ(Run({"listing", "--assume-filename", "x.c", "a.c"}).exit_code, 2);
}

TEST_F(Workflow, NamesFromListsSeparatedByNul) {
  const std::string odd[] = {"with blank.c", "new\nline.c", "-dash.c"};
  std::string list;
  for (const std::string& name : odd) {
    WriteFile(File("src/" + name), kUnformatted);
    list += "src/" + name + '\0';
  }
  WriteFile(File("list0"), list);
  RunResult check = Run({"reformat", "--check", "--files-from", "list0", "-0"});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_EQ(check.err, "src/with blank.c: would be reformatted\nsrc/new\nline.c: would be reformatted\n"
                       "src/-dash.c: would be reformatted\n");
  RunResult paths = Run({"files", "--paths", "-0", "--files-from=-"}, &list);
  EXPECT_EQ(paths.out, File("src/with blank.c") + '\0' + File("src/new\nline.c") + '\0' + File("src/-dash.c") + '\0');
  RunResult listing = Run({"listing", "-0", "--files-from", "list0", "-o", "out.html"});
  EXPECT_EQ(listing.exit_code, 0) << listing.err;
  RunResult doc = Run({"doc", "-q", "--files-from", "list0", "--null", "-o", "out.rtf"});
  EXPECT_EQ(doc.exit_code, 0) << doc.err;
  EXPECT_EQ(doc.out, "");
  EXPECT_TRUE(FileExists(File("out.rtf")));
  EXPECT_EQ(Run({"reformat", "-v", "--files-from", "list0", "-0"}).out,
            "src/with blank.c: reformatted\nsrc/new\nline.c: reformatted\nsrc/-dash.c: reformatted\n");

  // One name a line without -0; a list naming nothing asks for nothing.
  WriteFile(File("list"), "src/with blank.c\n\n");
  EXPECT_EQ(Run({"files", "--paths", "--files-from", "list"}).out, File("src/with blank.c") + "\n");
  WriteFile(File("empty"), "");
  EXPECT_EQ(Run({"reformat", "--files-from", "empty"}).exit_code, 0);
  EXPECT_EQ(Run({"reformat", "--files-from", "missing"}).exit_code, 1);
}

TEST_F(Workflow, AbbreviationsAndSuggestionsForWhatWasMistyped) {
  WriteFile(File("a.c"), kUnformatted);
  // A unique beginning stands for the whole option, with its value.
  RunResult abbreviated = Run({"reformat", "--chec", "--jo=2", "a.c"});
  EXPECT_EQ(abbreviated.exit_code, 1);
  EXPECT_EQ(abbreviated.err, "a.c: would be reformatted\n");
  EXPECT_EQ(Run({"files", "--pa", "--no-s", "a.c"}).out, File("a.c") + "\n");

  RunResult ambiguous = Run({"reformat", "--s", "a.c"});
  EXPECT_EQ(ambiguous.exit_code, 2);
  EXPECT_EQ(ambiguous.err,
            "folios: option '--s' is ambiguous: --suffix, --set, --style, --subfolders, --stdout, --settings\n"
            "Try 'folios reformat --help'.\n");
  RunResult typo = Run({"reformat", "--chekc", "a.c"});
  EXPECT_EQ(typo.exit_code, 2);
  EXPECT_EQ(typo.err, "folios: unknown option '--chekc'; did you mean '--check'?\nTry 'folios reformat --help'.\n");
  EXPECT_NE(Run({"listing", "--outptu", "x.rtf", "a.c"}).err.find("did you mean '--output'?"), std::string::npos);
  EXPECT_NE(Run({"doc", "--quite", "a.c"}).err.find("did you mean '--quiet'?"), std::string::npos);
  // Far from every option: refused as before, without a guess.
  EXPECT_EQ(Run({"files", "--zzzzzz", "a.c"}).err, "folios: unknown option '--zzzzzz'\nTry 'folios files --help'.\n");
  // An option's value is never taken for an option, nor is what follows --.
  EXPECT_EQ(Run({"reformat", "--check", "--", "--s"}).err.find("ambiguous"), std::string::npos);
  WriteFile(File("--c.rtf"), "");
  EXPECT_EQ(Run({"listing", "-o", "--c.rtf", "a.c"}).exit_code, 0);

  RunResult command = Run({"reformt", "a.c"});
  EXPECT_EQ(command.exit_code, 2);
  EXPECT_EQ(command.err, "folios: unknown command 'reformt'\nDid you mean 'folios reformat'?\nTry 'folios --help'.\n");
  EXPECT_EQ(Run({"xyz"}).err, "folios: unknown command 'xyz'\nTry 'folios --help'.\n");
  EXPECT_EQ(ReadFile(File("a.c")), kUnformatted);
}

TEST_F(Workflow, SwitchesGroupValuesAttachAndValuesMayLookLikeOptions) {
  WriteFile(File("a.c"), kUnformatted);
  // An empty value stays empty: the FILE after it is no suffix.
  RunResult empty = Run({"reformat", "--suffix=", "a.c"});
  EXPECT_EQ(empty.exit_code, 2);
  EXPECT_EQ(empty.err, "folios: --suffix needs a suffix without '/', got ''\nTry 'folios reformat --help'.\n");
  EXPECT_EQ(Run({"reformat", "-j0", "a.c"}).err,
            "folios: -j takes a number from 1 up, got '0'\nTry 'folios reformat --help'.\n");
  EXPECT_EQ(ReadFile(File("a.c")), kUnformatted);

  // A stored suffix that begins with '-' is a VALUE of settings set.
  ASSERT_EQ(Run({"settings", "set", "m_backup_suffix", "-old"}).exit_code, 0);
  EXPECT_EQ(Run({"settings", "get", "m_backup_suffix"}).out, "-old\n");
  RunResult grouped = Run({"reformat", "-vj2", "a.c"});
  EXPECT_EQ(grouped.exit_code, 0) << grouped.err;
  EXPECT_EQ(grouped.out, "a.c: reformatted\n");
  EXPECT_EQ(ReadFile(File("a.c")), kFormatted);
  EXPECT_EQ(ReadFile(File("a.c-old")), kUnformatted);

  EXPECT_EQ(Run({"listing", "-qoout.html", "a.c"}).exit_code, 0);
  EXPECT_NE(ReadFile(File("out.html")).find("<html"), std::string::npos);
  // The options of settings may stand before its action too.
  EXPECT_EQ(Run({"settings", "--key", "doc", "get", "m_code_fontsize"}).out, "10\n");
  RunResult typo = Run({"settings", "list", "--kye", "doc"});
  EXPECT_EQ(typo.err, "folios: unknown option '--kye'; did you mean '--key'?\nTry 'folios settings --help'.\n");
}

TEST_F(Workflow, PreCommitHookStopsUnformattedFiles) {
  const std::string repo = File("repo");
  fs::create_directories(repo);
  const std::string git = "git -c user.name=T -c user.email=t@example.org ";
  ASSERT_EQ(Shell("git init -q .", repo), 0);
  fs::copy_file(TestSourceDir() + "/../packaging/pre-commit", repo + "/.git/hooks/pre-commit");
  const std::string env = "FOLIOS=" + Quote(FOLIOS_EXECUTABLE) + " ";

  WriteFile(repo + "/good.c", kFormatted);
  WriteFile(repo + "/notes.txt", kUnformatted);
  ASSERT_EQ(Shell("git add good.c notes.txt", repo), 0);
  EXPECT_EQ(Shell(env + git + "commit -q -m good", repo), 0);

  WriteFile(repo + "/sub dir/bad.cpp", kUnformatted);
  ASSERT_EQ(Shell("git add 'sub dir/bad.cpp'", repo), 0);
  int status = std::system(("cd " + Quote(repo) + " && " + env + git + "commit -q -m bad >" +
                            Quote(File("hook.out")) + " 2>&1").c_str());
  EXPECT_NE(WEXITSTATUS(status), 0);
  const std::string said = ReadFile(File("hook.out"));
  EXPECT_NE(said.find("sub dir/bad.cpp: would be reformatted"), std::string::npos) << said;
  EXPECT_NE(said.find("+++ b/sub dir/bad.cpp"), std::string::npos) << said;
  EXPECT_EQ(Shell("git rev-list --count HEAD | grep -qx 1", repo), 0);  // no second commit

  // Formatted in the work tree but staged unformatted: the staged text counts.
  ASSERT_EQ(Shell(Quote(FOLIOS_EXECUTABLE) + " reformat --backup=none 'sub dir/bad.cpp'", repo), 0);
  EXPECT_NE(Shell(env + git + "commit -q -m bad", repo), 0);
  ASSERT_EQ(Shell("git add 'sub dir/bad.cpp'", repo), 0);
  EXPECT_EQ(Shell(env + git + "commit -q -m formatted", repo), 0);
  EXPECT_EQ(Shell("git rev-list --count HEAD | grep -qx 2", repo), 0);
}

}  // namespace
}  // namespace folios::test

// The reformat build on several threads, and the checks made in memory or
// on the files: whatever the way, the user sees the same.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "beautifier_options.h"
#include "engine.h"
#include "progress.h"
#include "reformat_build.h"
#include "reformat_file.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;

// Records every status the build shows.
class RecordingProgress : public Progress {
 public:
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  std::vector<std::string> statuses;
};

// A C source of about `bytes` bytes that the formatter changes.
std::string LargeSource(size_t bytes) {
  std::string text;
  for (int i = 0; text.size() < bytes; ++i) {
    std::string n = std::to_string(i);
    text += "/* function " + n + " */\nint f" + n + "(int a)\n{\nif (a > " + n + ")\nreturn a;\n" +
            "switch (a) {\ncase 1: a++; break;\ndefault: break;\n}\nreturn 0;\n}\n";
  }
  return text;
}

// The engine in memory, as the reference for a file's formatting.
std::string FormatInMemory(const std::string& text) {
  std::istringstream in(text);
  std::ostringstream out, report, err;
  EXPECT_EQ(RunBeautifier(in, out, BeautifierOptions(), false, report, err), kReformatOk);
  return out.str();
}

// Everything a build leaves for the user to see, with the directory's name
// and the elapsed times taken out.
struct Outcome {
  std::string out, err;
  int formatted = 0, unchanged = 0, passed_over = 0;
  std::vector<std::string> passed_over_paths, failures, statuses;
  std::map<std::string, std::string> files;  // name -> content, links as "-> target"
};

Outcome Build(const std::string& dir, const std::vector<std::string>& names, int jobs) {
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(dir + "/" + name);
  RecordingProgress progress;
  std::ostringstream out, err;
  ReformatBuildResult result = RunReformatBuild(paths, &progress, out, err, jobs);
  auto clean = [&](std::string text) {
    text = std::regex_replace(text, std::regex("\\(In 0 Hours 0 Minutes [0-9]+ Seconds\\)"), "(TIME)");
    for (size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "DIR");
    return text;
  };
  Outcome o;
  o.out = clean(out.str());
  o.err = clean(err.str());
  o.formatted = result.formatted;
  o.unchanged = result.unchanged;
  o.passed_over = result.passed_over;
  for (const std::string& p : result.passed_over_paths) o.passed_over_paths.push_back(clean(p));
  for (const ReformatFailure& f : result.failures) {
    o.failures.push_back(clean(f.path) + ": " + std::to_string(f.result) + " " + clean(f.reason));
  }
  for (const std::string& s : progress.statuses) o.statuses.push_back(clean(s));
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    o.files[name] = entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string()
                                       : test::ReadFile(entry.path().string());
  }
  return o;
}

// The same mix of files in `dir`: large and small, changed and unchanged,
// failing, passed over, named twice and reached through a link.
std::vector<std::string> MakeFiles(const std::string& dir) {
  test::WriteFile(dir + "/big.c", LargeSource(400000));  // first, and done last
  for (int i = 0; i < 12; ++i) {
    test::WriteFile(dir + "/s" + std::to_string(i) + ".c", "int g" + std::to_string(i) + "()\n{\nx;\n}\n");
  }
  test::WriteFile(dir + "/done.c", "int f() {\n    x;\n}\n");
  test::WriteFile(dir + "/bin.c", std::string("int x;\0\n", 8));
  test::WriteFile(dir + "/inc.c", "#include <a//b.h>\nint x;\n");  // formatting would change it
  test::WriteFile(dir + "/notes.txt", "text\n");
  test::WriteFile(dir + "/real.h", "struct s\n{\nint a;\n};\n");
  EXPECT_EQ(::symlink("real.h", (dir + "/link.h").c_str()), 0);
  std::vector<std::string> names = {"big.c"};
  for (int i = 0; i < 6; ++i) names.push_back("s" + std::to_string(i) + ".c");
  for (const char* name : {"done.c", "missing.c", "bin.c", "./s1.c", "notes.txt", "inc.c", "link.h", "real.h"}) {
    names.push_back(name);
  }
  for (int i = 6; i < 12; ++i) names.push_back("s" + std::to_string(i) + ".c");
  return names;
}

TEST(ParallelReformat, ManyJobsShowWhatOneJobShows) {
  test::ScopedSettings scoped;
  test::TempDir one, many;
  std::vector<std::string> names = MakeFiles(one.path());
  MakeFiles(many.path());
  Outcome a = Build(one.path(), names, 1);
  Outcome b = Build(many.path(), names, 4);

  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(a.err, b.err);
  EXPECT_EQ(a.statuses, b.statuses);
  EXPECT_EQ(a.passed_over_paths, b.passed_over_paths);
  EXPECT_EQ(a.failures, b.failures);
  EXPECT_EQ(a.files, b.files);
  EXPECT_EQ(b.formatted, 14);  // big.c, s0..s11.c, real.h (also named through link.h)
  EXPECT_EQ(b.unchanged, 1);
  EXPECT_EQ(b.passed_over, 1);
  // In list order, each with its reason.
  ASSERT_EQ(b.failures.size(), 3u);
  EXPECT_EQ(b.failures[0].find("DIR/missing.c: -1 cannot open"), 0u) << b.failures[0];
  EXPECT_EQ(b.failures[1].find("DIR/bin.c: -3 binary file"), 0u) << b.failures[1];
  EXPECT_EQ(b.failures[2], "DIR/inc.c: -4 formatting would change the program at line 1; file left as it was");
  EXPECT_EQ(b.statuses.size(), names.size());
  EXPECT_EQ(b.statuses.front(), "DIR/big.c");
  EXPECT_EQ(b.files["big.c"], FormatInMemory(LargeSource(400000)));
  EXPECT_EQ(b.files["link.h"], "-> real.h");
  EXPECT_EQ(b.files["real.h.orig"], "struct s\n{\nint a;\n};\n");
  // One settings report per file formatted or tried, in list order: the
  // big file's comes first.
  EXPECT_EQ(b.out.find("Function Line Spacing"), 0u);
  EXPECT_LT(b.out.find("Number Of Lines Processed :  \b10 "), b.out.find("Number Of Lines Processed :  4 "));
}

TEST(ParallelReformat, SettingsAreReadOnceForTheWholeBuild) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  Settings(SettingKey::kMain).SetText("m_spaces_to_indent", "2");
  std::vector<std::string> paths;
  for (int i = 0; i < 8; ++i) {
    paths.push_back(dir.File("f" + std::to_string(i) + ".c"));
    test::WriteFile(paths.back(), "int f()\n{\nx;\n}\n");
  }
  std::ostringstream out, err;
  ReformatBuildResult result = RunReformatBuild(paths, nullptr, out, err, 3);
  EXPECT_EQ(result.formatted, 8);
  for (const std::string& path : paths) EXPECT_EQ(test::ReadFile(path), "int f() {\n  x;\n}\n") << path;
}

// Sources too large to hold in memory are streamed, and checked on the files.
TEST(ReformatFile, LargeSourcesAreStreamedAndStillChecked) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  const std::string large = LargeSource((size_t{4} << 20) + 1000);
  test::WriteFile(dir.File("large.c"), large);
  ReformatFileOptions options;
  options.skip_unchanged = true;
  std::ostringstream out, err;
  ReformatFileResult r = ReformatFileWith(dir.File("large.c"), dir.File("large.c"), options, out, err);
  EXPECT_EQ(r.code, kReformatOk) << r.reason;
  const std::string formatted = test::ReadFile(dir.File("large.c"));
  EXPECT_EQ(formatted, FormatInMemory(large));

  // Once formatted, it is found unchanged and not written again.
  r = ReformatFileWith(dir.File("large.c"), dir.File("large.c"), options, out, err);
  EXPECT_EQ(r.code, kReformatOk) << r.reason;
  EXPECT_TRUE(r.unchanged);

  // A fault of the formatter on a large file is caught as on a small one.
  const std::string faulty = "#include <a//b.h>\n" + large;
  test::WriteFile(dir.File("faulty.c"), faulty);
  r = ReformatFileWith(dir.File("faulty.c"), dir.File("faulty.c"), options, out, err);
  EXPECT_EQ(r.code, kReformatRefused);
  EXPECT_EQ(r.reason, "formatting would change the program at line 1; file left as it was");
  EXPECT_EQ(test::ReadFile(dir.File("faulty.c")), faulty);
}

TEST(ReformatFile, UnchangedIsJudgedAgainstTheOutputItReplaces) {
  test::ScopedSettings scoped;
  test::TempDir dir;
  test::WriteFile(dir.File("in.c"), "int f()\n{\nx;\n}\n");
  ReformatFileOptions options;
  options.skip_unchanged = true;
  std::ostringstream out, err;
  // The output differs from the formatted text: it is written.
  test::WriteFile(dir.File("out.c"), "old\n");
  ReformatFileResult r = ReformatFileWith(dir.File("in.c"), dir.File("out.c"), options, out, err);
  EXPECT_FALSE(r.unchanged);
  EXPECT_EQ(test::ReadFile(dir.File("out.c")), "int f() {\n    x;\n}\n");
  // It now holds the formatted text, though the input does not.
  r = ReformatFileWith(dir.File("in.c"), dir.File("out.c"), options, out, err);
  EXPECT_EQ(r.code, kReformatOk);
  EXPECT_TRUE(r.unchanged);
  // Through a link to the input, the input is the output.
  ASSERT_EQ(::symlink("in.c", dir.File("alias.c").c_str()), 0);
  r = ReformatFileWith(dir.File("in.c"), dir.File("alias.c"), options, out, err);
  EXPECT_FALSE(r.unchanged);
  EXPECT_EQ(test::ReadFile(dir.File("in.c")), "int f() {\n    x;\n}\n");
}

}  // namespace
}  // namespace folios

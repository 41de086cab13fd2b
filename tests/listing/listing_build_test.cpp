// The listing build: order, pre-formatting, cancel, failures, output file.
#include "listing_build.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "expected_rtf.h"
#include "paths.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

// Presses Cancel while the n-th file's first line is written, and records
// what the build reported.
class ScriptedProgress : public Progress {
 public:
  explicit ScriptedProgress(size_t cancel_in_file = 0) : cancel_in_file_(cancel_in_file) {}
  void SetCaption(const std::string& caption) override { captions.push_back(caption); }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  std::vector<std::string> captions, statuses;

 protected:
  void ProcessPendingEvents() override {
    if (!pressed_ && cancel_in_file_ > 0 && statuses.size() == cancel_in_file_) {
      RequestCancel();
      pressed_ = true;
    }
  }

 private:
  size_t cancel_in_file_;
  bool pressed_ = false;
};

class ListingBuildTest : public testing::Test {
 protected:
  void SetUp() override {
    Settings().SetInt("m_use_advanced_options", 0);
    WriteFile(settings_.data_dir() + "/noise-chars.lfx", "");
  }
  std::string Source(const std::string& name, const std::string& text) {
    WriteFile(dir_.File(name), text);
    return dir_.File(name);
  }
  test::ScopedSettings settings_;
  TempDir dir_;
};

TEST_F(ListingBuildTest, FilesInGivenOrderEachUnderItsHeader) {
  std::string a = Source("a.c", "first_text\n");
  std::string b = Source("b.java", "second_text\n");
  ListingBuildResult result = RunListingBuild({b, a}, dir_.File("out.rtf"), {});
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.files_listed, 2);
  std::string doc = ReadFile(dir_.File("out.rtf"));
  size_t pb = doc.find(b + "{\\par } ");
  size_t pa = doc.find(a + "{\\par } ");
  ASSERT_NE(pb, std::string::npos);
  ASSERT_NE(pa, std::string::npos);
  EXPECT_LT(pb, doc.find("second_text"));
  EXPECT_LT(doc.find("second_text"), pa);
  EXPECT_LT(pa, doc.find("first_text"));
  EXPECT_EQ(Count(doc, "\\par}}"), 1u);
  EXPECT_EQ(doc.substr(doc.size() - std::string(test::kDocumentEnd).size()), test::kDocumentEnd);
}

TEST_F(ListingBuildTest, NoFilesStillGivesACompleteDocument) {
  ListingBuildResult result = RunListingBuild({}, dir_.File("out.rtf"), {});
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(ReadFile(dir_.File("out.rtf")), test::ExpectedHead() + "\n" + test::kDocumentEnd);
}

TEST_F(ListingBuildTest, PreformatListsTheReformattedCopyAndWritesNoBackup) {
  Settings().SetInt("m_use_advanced_options", 1);
  TempDir tmp;
  setenv("TMPDIR", tmp.path().c_str(), 1);
  std::vector<std::string> inputs;
  ListingBuildOptions options;
  options.preformat = [&](const std::string& input, const std::string& output, std::string*) {
    inputs.push_back(input);
    std::string text = ReadFile(input);
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    WriteFile(output, text);
    return true;
  };
  std::string c = Source("x.c", "lower\n");
  std::string h = Source("y.H", "header\n");
  std::string java = Source("Z.Java", "java\n");
  std::string hpp = Source("w.hpp", "header two\n");
  std::string bas = Source("m.bas", "Attribute VB_Name = \"m\"\nbasic\n");
  // A backup something else left behind is not the listing's to touch.
  WriteFile(h + ".orig", "a patch leftover\n");
  ListingBuildResult result = RunListingBuild({c, h, java, hpp, bas}, dir_.File("out.rtf"), options);
  unsetenv("TMPDIR");
  ASSERT_TRUE(result.ok());
  std::string doc = ReadFile(dir_.File("out.rtf"));
  for (const char* text : {"LOWER", "HEADER", "JAVA", "HEADER TWO", "basic"}) {
    EXPECT_NE(doc.find(text), std::string::npos) << text;
  }
  // Listed under the source's own name, never the temporary one.
  EXPECT_NE(doc.find(c + "{\\par }"), std::string::npos);
  EXPECT_EQ(doc.find("folios-listing-"), std::string::npos);
  EXPECT_EQ(ReadFile(c), "lower\n");
  EXPECT_EQ(ReadFile(java), "java\n");
  for (const std::string& source : {c, java, hpp, bas}) {
    EXPECT_FALSE(test::FileExists(source + ".orig")) << source;
  }
  EXPECT_EQ(ReadFile(h + ".orig"), "a patch leftover\n");
  EXPECT_EQ(inputs, (std::vector<std::string>{c, h, java, hpp}));
  EXPECT_TRUE(fs::is_empty(tmp.path()));  // temporary copies removed
}

TEST_F(ListingBuildTest, TemporaryCopiesGoWhenTheBuildIsCancelledOrDropped) {
  Settings().SetInt("m_use_advanced_options", 1);
  TempDir tmp;
  setenv("TMPDIR", tmp.path().c_str(), 1);
  ListingBuildOptions options;
  options.preformat = [&](const std::string& input, const std::string& output, std::string*) {
    WriteFile(output, ReadFile(input));
    return true;
  };
  std::vector<std::string> files = {Source("a.c", "a1\na2\n"), Source("b.c", "b1\nb2\n"),
                                    Source("c.c", "c1\n")};
  ScriptedProgress progress(2);
  options.progress = &progress;
  ListingBuildResult result = RunListingBuild(files, dir_.File("out.rtf"), options);
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(fs::is_empty(tmp.path()));

  // Dropped (as when the command is killed): the old document stays, and
  // nothing is left beside it.
  WriteFile(dir_.File("kept.rtf"), "previous");
  options.progress = nullptr;
  options.abandon = [] { return true; };
  result = RunListingBuild(files, dir_.File("kept.rtf"), options);
  unsetenv("TMPDIR");
  EXPECT_TRUE(result.abandoned);
  EXPECT_EQ(ReadFile(dir_.File("kept.rtf")), "previous");
  EXPECT_TRUE(fs::is_empty(tmp.path()));
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

TEST_F(ListingBuildTest, PreformatAheadListsAsOneAtATimeAndLeavesNoCopy) {
  Settings().SetInt("m_use_advanced_options", 1);
  TempDir tmp;
  setenv("TMPDIR", tmp.path().c_str(), 1);
  std::atomic<int> calls{0};
  ListingBuildOptions options;
  options.preformat = [&](const std::string& input, const std::string& output, std::string* why) {
    ++calls;
    std::string text = ReadFile(input);
    if (text.find("refuse") != std::string::npos) {
      *why = "formatting would change the program at line 1; file left as it was";
      return false;
    }
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    WriteFile(output, text);
    return true;
  };
  std::vector<std::string> files;
  for (int i = 0; i < 20; ++i) {
    std::string n = std::to_string(i);
    files.push_back(Source("f" + n + (i % 5 == 3 ? ".bas" : ".c"), (i == 7 ? "refuse" : "text") + n + "\n"));
  }
  ListingBuildResult one = RunListingBuild(files, dir_.File("one.rtf"), options);
  const int sequential_calls = calls.exchange(0);
  options.preformat_jobs = 3;
  ListingBuildResult ahead = RunListingBuild(files, dir_.File("ahead.rtf"), options);
  EXPECT_EQ(calls.load(), sequential_calls);
  EXPECT_EQ(sequential_calls, 16);  // the .bas files are listed as they are
  EXPECT_EQ(ReadFile(dir_.File("ahead.rtf")), ReadFile(dir_.File("one.rtf")));
  EXPECT_NE(ReadFile(dir_.File("ahead.rtf")).find("TEXT19"), std::string::npos);
  ASSERT_EQ(ahead.listed_unformatted.size(), 1u);
  EXPECT_EQ(ahead.listed_unformatted[0].path, files[7]);
  EXPECT_EQ(one.listed_unformatted.size(), 1u);
  EXPECT_TRUE(fs::is_empty(tmp.path()));

  // Cancelled in the fifth file: the copies made ahead go too.
  ScriptedProgress progress(5);
  options.progress = &progress;
  ahead = RunListingBuild(files, dir_.File("ahead.rtf"), options);
  unsetenv("TMPDIR");
  EXPECT_TRUE(ahead.cancelled);
  EXPECT_EQ(ahead.files_listed, 5);
  EXPECT_TRUE(fs::is_empty(tmp.path()));
}

TEST_F(ListingBuildTest, PreformatOffOrFailedListsTheFileAsItIs) {
  std::string c = Source("x.c", "lower\n");
  int calls = 0;
  ListingBuildOptions options;
  options.preformat = [&](const std::string&, const std::string&, std::string*) {
    ++calls;
    return false;
  };
  ASSERT_TRUE(RunListingBuild({c}, dir_.File("out.rtf"), options).ok());
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(test::FileExists(c + ".orig"));
  Settings().SetInt("m_use_advanced_options", 1);
  ASSERT_TRUE(RunListingBuild({c}, dir_.File("out.rtf"), options).ok());
  EXPECT_EQ(calls, 1);
  EXPECT_NE(ReadFile(dir_.File("out.rtf")).find("lower"), std::string::npos);
}

TEST_F(ListingBuildTest, CancelInTheThirdOfFiveFiles) {
  std::vector<std::string> files;
  for (int i = 1; i <= 5; ++i) {
    files.push_back(Source("f" + std::to_string(i) + ".c",
                           "f" + std::to_string(i) + "a\nf" + std::to_string(i) + "b\n"));
  }
  ScriptedProgress progress(3);
  ListingBuildOptions options;
  options.progress = &progress;
  ListingBuildResult result = RunListingBuild(files, dir_.File("out.rtf"), options);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.files_listed, 3);
  std::string doc = ReadFile(dir_.File("out.rtf"));
  for (const char* text : {"f1a", "f1b", "f2a", "f2b", "f3a"}) {
    EXPECT_NE(doc.find(text), std::string::npos) << text;
  }
  for (const char* text : {"f3b", "f4a", "f5a"}) EXPECT_EQ(doc.find(text), std::string::npos) << text;
  std::string tail = "\\par }{f3a\n\\par }{Operation was canceled!\n" + std::string(test::kDocumentEnd);
  EXPECT_EQ(doc.substr(doc.size() - tail.size()), tail);
  EXPECT_EQ(Count(doc, "\\par}}"), 1u);
}

TEST_F(ListingBuildTest, ProgressTexts) {
  std::string a = Source("a.c", "x\n");
  std::string b = Source("very-long-directory-name-for-shortening.c", "y\n");
  ScriptedProgress progress;
  ListingBuildOptions options;
  options.progress = &progress;
  ASSERT_TRUE(RunListingBuild({a, b}, dir_.File("out.rtf"), options).ok());
  ASSERT_EQ(progress.statuses.size(), 2u);
  EXPECT_EQ(progress.captions[0], "Create RTF document " + ShortenPath(a, 28));
  EXPECT_EQ(progress.statuses[1], "Editing codefile 2 of 2: " + ShortenPath(b, 36));
  EXPECT_EQ(progress.upper(), 2);  // the file's length in bytes
}

TEST_F(ListingBuildTest, UnreadableFileIsNotedAndTheBuildGoesOn) {
  std::string a = Source("a.c", "first\n");
  std::string missing = dir_.File("gone.c");
  std::string b = Source("b.c", "last\n");
  ListingBuildResult result = RunListingBuild({a, missing, b}, dir_.File("out.rtf"), {});
  EXPECT_TRUE(result.output.ok());
  ASSERT_EQ(result.failed_files.size(), 1u);
  EXPECT_EQ(result.failed_files[0].path, missing);
  EXPECT_EQ(result.failed_files[0].reason, "No such file or directory");
  EXPECT_FALSE(result.ok());
  std::string doc = ReadFile(dir_.File("out.rtf"));
  EXPECT_NE(doc.find(missing + "{\\par } " + test::kDefaultCodeFormat +
                     "\\par }{This file could not be read: No such file or directory\n"),
            std::string::npos);
  EXPECT_NE(doc.find("last"), std::string::npos);
}

TEST_F(ListingBuildTest, FailingOutputLeavesTheOldDocument) {
  std::string a = Source("a.c", "x\n");
  ListingBuildResult result = RunListingBuild({a}, dir_.File("no/such/dir/out.rtf"), {});
  EXPECT_FALSE(result.output.ok());
  EXPECT_FALSE(result.output.message().empty());

  WriteFile(dir_.File("out.rtf"), "previous");
  // A build that could read none of its files keeps the old document: a
  // directory or a missing file in place of every source.
  fs::create_directory(dir_.File("adir.c"));
  for (const std::vector<std::string>& paths : {std::vector<std::string>{dir_.File("adir.c")},
                                                {dir_.File("missing.c"), dir_.File("adir.c")}}) {
    result = RunListingBuild(paths, dir_.File("out.rtf"), {});
    EXPECT_EQ(result.output.message(), "none of the files could be read; the old document was left as it was");
    EXPECT_EQ(result.failed_files.size(), paths.size());
    EXPECT_EQ(result.files_read, 0);
    EXPECT_EQ(ReadFile(dir_.File("out.rtf")), "previous");
  }
  // With one file read, a directory in place of another fails that file,
  // not the document.
  result = RunListingBuild({dir_.File("adir.c"), a}, dir_.File("out.rtf"), {});
  EXPECT_TRUE(result.output.ok());
  EXPECT_EQ(result.failed_files.size(), 1u);
  EXPECT_EQ(result.files_read, 1);
  EXPECT_NE(ReadFile(dir_.File("out.rtf")), "previous");
  // Nothing but the document is left beside it.
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 3u);  // a.c, adir.c, out.rtf
}

TEST_F(ListingBuildTest, InvalidKeywordFileWarnsOncePerFile) {
  struct Sink : KeywordWarningSink {
    void Warn(const std::string& m) override { messages.push_back(m); }
    std::vector<std::string> messages;
  } sink;
  WriteFile(dir_.File("bad.lfx"), "not a keyword file\n");
  Settings().SetText("m_javafiles", dir_.File("bad.lfx"));
  ListingBuildOptions options;
  options.warnings = &sink;
  ASSERT_TRUE(RunListingBuild({Source("a.c", "x\n")}, dir_.File("out.rtf"), options).ok());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].rfind(dir_.File("bad.lfx") + " - invalid keyword file!", 0), 0u);
}

TEST_F(ListingBuildTest, StreamOutputIsTheSameDocument) {
  std::string a = Source("a.c", "int x;\n");
  ASSERT_TRUE(RunListingBuild({a}, dir_.File("out.rtf"), {}).ok());
  std::FILE* out = std::fopen(dir_.File("stream.rtf").c_str(), "wb");
  ASSERT_NE(out, nullptr);
  ListingBuildResult result = RunListingBuildToStream({a}, out, {});
  std::fclose(out);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(ReadFile(dir_.File("stream.rtf")), ReadFile(dir_.File("out.rtf")));
}


TEST_F(ListingBuildTest, BinaryFilesAreNotListed) {
  std::string a = Source("a.c", "int first;\n");
  // The NUL byte comes late in a file larger than one read: the file is
  // still known as binary before any of its lines is written.
  std::string big(300000, 'x');
  for (size_t i = 79; i < big.size(); i += 80) big[i] = '\n';
  big += std::string("\0tail\n", 6);
  std::string bin = Source("bin.c", big);
  std::string small = Source("small.h", std::string("ab\0cd\n", 6));
  std::string b = Source("b.c", "int last;\n");
  ListingBuildResult result = RunListingBuild({a, bin, small, b}, dir_.File("out.rtf"), {});
  EXPECT_TRUE(result.output.ok());
  ASSERT_EQ(result.failed_files.size(), 2u);
  EXPECT_EQ(result.failed_files[0].path, bin);
  EXPECT_EQ(result.failed_files[0].reason, kBinaryFileReason);
  EXPECT_EQ(result.failed_files[1].path, small);
  EXPECT_FALSE(result.ok());
  std::string doc = ReadFile(dir_.File("out.rtf"));
  for (const std::string& path : {bin, small}) {
    EXPECT_NE(doc.find(path + "{\\par } " + test::kDefaultCodeFormat + "\\par }{" +
                       kBinaryFileText + "\n"),
              std::string::npos)
        << path;
  }
  EXPECT_EQ(doc.find("xxxxxxxx"), std::string::npos);
  EXPECT_EQ(doc.find('\0'), std::string::npos);
  EXPECT_NE(doc.find("first"), std::string::npos);
  EXPECT_NE(doc.find("last"), std::string::npos);
}

// A pipe is refused before it is opened, whoever names it: the build never
// waits for a writer, names the pipe with its reason and lists the rest.
// Should the build wait after all, a watchdog opens the pipe's other end
// after a while, so the test fails instead of hanging.
TEST_F(ListingBuildTest, APipeIsRefusedBeforeItIsOpened) {
  std::string first = Source("a.c", "int first;\n");
  std::string fifo = dir_.File("pipe.c");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string last = Source("b.c", "int last;\n");
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool waited = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (done.wait_for(lock, std::chrono::seconds(20), [&] { return finished; })) return;
    waited = true;
    int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  ListingBuildResult result = RunListingBuild({first, fifo, last}, dir_.File("out.rtf"), {});
  {
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
  }
  done.notify_one();
  watchdog.join();
  EXPECT_FALSE(waited);
  ASSERT_EQ(result.failed_files.size(), 1u);
  EXPECT_EQ(result.failed_files[0].path, fifo);
  EXPECT_EQ(result.failed_files[0].reason, "a named pipe, not a regular file");
  std::string doc = ReadFile(dir_.File("out.rtf"));
  EXPECT_LT(doc.find("first"), doc.find(fifo));
  EXPECT_LT(doc.find(fifo), doc.find("last"));
}

// "Code only" lists a Visual Basic file from its "Attribute VB_Name" line
// on; a file without one is all code and is listed whole, numbered from its
// first line.
TEST_F(ListingBuildTest, CodeOnlyListsAVisualBasicFileWithoutItsNameLineWhole) {
  Settings().SetInt("m_uselinenumbers", 0);
  const std::string module = "Option Explicit\nSub Greet()\nEnd Sub\n";
  std::string file = Source("Module1.bas", module);
  std::string crlf = Source("Module2.bas", "Option Explicit\r\nSub Greet()\r\nEnd Sub\r\n");
  std::string named = Source("Named.bas", "Option Explicit\nAttribute VB_Name = \"Named\"\nSub Named()\n");
  ListingBuildResult result = RunListingBuild({file, crlf, named}, dir_.File("out.rtf"), {});
  ASSERT_TRUE(result.ok()) << result.output.message();
  std::vector<std::string> paragraphs = test::ParagraphTexts(ReadFile(dir_.File("out.rtf")));
  // The first three lines listed after a file's header (blank paragraphs,
  // such as the separator before a procedure, left out).
  auto listed = [&](const std::string& path) {
    std::vector<std::string> lines;
    auto it = std::find(paragraphs.begin(), paragraphs.end(), path);
    for (it = it == paragraphs.end() ? it : it + 1; it != paragraphs.end() && lines.size() < 3; ++it) {
      if (it->find_first_not_of(' ') != std::string::npos) lines.push_back(*it);
    }
    return lines;
  };
  for (const std::string& path : {file, crlf}) {
    EXPECT_EQ(listed(path), (std::vector<std::string>{"1 Option Explicit", "2 Sub Greet()", "3 End Sub"})) << path;
  }
  EXPECT_EQ(listed(named), (std::vector<std::string>{"2 Attribute VB_Name = \"Named\"", "3 Sub Named()"}));
}

// A long line mixing strings, character literals and block comments, cut
// with the default layout: the segments rejoin to the line (so no segment
// gained a comment marker from a "//" inside a string), and none shrinks to
// a few characters however far into the line it starts.
TEST_F(ListingBuildTest, CutSegmentsRejoinToTheLineAndKeepTheirWidth) {
  std::string line;
  for (int i = 0; i < 120; ++i) {
    line += "x = \"a // b /* c\"; /* note */ f(y, '\"', z" + std::to_string(i) + "); ";
  }
  line.pop_back();
  std::string a = Source("long.c", line + "\nafter\n");
  ASSERT_TRUE(RunListingBuild({a}, dir_.File("out.rtf"), {}).ok());
  std::vector<std::string> paragraphs = test::ParagraphTexts(ReadFile(dir_.File("out.rtf")));
  auto header = std::find(paragraphs.begin(), paragraphs.end(), a);
  ASSERT_NE(header, paragraphs.end());
  // The header's paragraph is followed by the blank one its group leaves.
  auto first = header + 1;
  while (first != paragraphs.end() && (first->empty() || *first == " ")) ++first;
  std::string joined;
  size_t segments = 0;
  for (auto it = first; it != paragraphs.end() && *it != "after"; ++it, ++segments) {
    std::string text = *it;
    bool last = it + 1 != paragraphs.end() && *(it + 1) == "after";
    if (!last) {
      // The continuation mark adds one blank before its arrow.
      ASSERT_FALSE(text.empty());
      EXPECT_EQ(text.back(), ' ');
      text.pop_back();
      EXPECT_GE(text.size(), 15u) << "segment " << segments << ": " << text;
      EXPECT_LE(text.size(), 92u) << "segment " << segments << ": " << text;
    }
    joined += text;
  }
  EXPECT_EQ(joined, line);
  EXPECT_GT(segments, line.size() / 92);
}

}  // namespace
}  // namespace folios

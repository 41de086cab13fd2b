// The listing as a web page: escaping, numbers and their links, cancel,
// notes, page breaks, styles, and the same lines and keyword runs as the
// RTF document under many layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "listing_build.h"
#include "paths.h"
#include "settings_table.h"
#include "shown_lines.h"
#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

// Presses Cancel while the n-th file is listed.
class CancelInFile : public Progress {
 public:
  explicit CancelInFile(int file) : file_(file) {}
  void SetStatus(const std::string&) override { ++files_; }
  void SetCaption(const std::string& caption) override { captions.push_back(caption); }
  std::vector<std::string> captions;

 protected:
  void ProcessPendingEvents() override {
    if (files_ == file_) RequestCancel();
  }

 private:
  int file_;
  int files_ = 0;
};

class HtmlListingTest : public testing::Test {
 protected:
  void SetUp() override {
    Settings main;
    main.SetInt("m_use_advanced_options", 0);
    const std::string keywords = test::TestSourceDir() + "/listing/golden/keywords.lfx";
    main.SetText("m_cfiles", keywords);
    main.SetText("m_javafiles", keywords);
    main.SetText("m_vbfiles", keywords);
    WriteFile(settings_.data_dir() + "/noise-chars.lfx", "");
  }
  std::string Source(const std::string& name, const std::string& text) {
    WriteFile(dir_.File(name), text);
    return dir_.File(name);
  }
  std::string Page(const std::vector<std::string>& files, Progress* progress = nullptr) {
    ListingBuildOptions options;
    options.format = ListingFormat::kHtml;
    options.progress = progress;
    result_ = RunListingBuild(files, dir_.File("out.html"), options);
    return ReadFile(dir_.File("out.html"));
  }
  // The <div> of every line of the page's first file.
  static std::vector<std::string> LineElements(const std::string& page) {
    std::vector<std::string> lines;
    for (size_t at = page.find("<div class=\"l"); at != std::string::npos;
         at = page.find("<div class=\"l", at + 1)) {
      lines.push_back(page.substr(at, page.find('\n', at) - at));
    }
    return lines;
  }
  test::ScopedSettings settings_;
  test::TempDir dir_;
  ListingBuildResult result_;
};

std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
    found.insert((*it)[1].str());
  }
  return found;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST_F(HtmlListingTest, EverySpecialCharacterIsEscapedAndEveryOtherShown) {
  // Path and text hold HTML's specials; the text also RTF's, a tab, control
  // characters, a character beyond ASCII, a code page 1252 byte and a C1
  // control in UTF-8.
  std::string path = Source("a<b>&\"'.c", "if (a<b && c>\"x\") {'&'};\\ \t\x1b\x7f\xc3\xa9\x93\xc2\x85\n");
  std::string page = Page({path});
  ASSERT_TRUE(result_.ok());
  const std::string shown_path = dir_.path() + "/a&lt;b&gt;&amp;&quot;&#39;.c";
  EXPECT_NE(page.find("<h2 class=\"h\">" + shown_path + "</h2>"), std::string::npos);
  EXPECT_NE(page.find("<li><a href=\"#file-1\">" + shown_path + "</a></li>"), std::string::npos);
  EXPECT_NE(page.find("<title>Listing of a&lt;b&gt;&amp;&quot;&#39;.c</title>"), std::string::npos);
  std::vector<std::string> lines = LineElements(page);
  ASSERT_EQ(lines.size(), 1u);
  // 0x93 is a curly quote in code page 1252; U+0085 is a control.
  EXPECT_EQ(lines[0],
            "<div class=\"l\">if (a&lt;b &amp;&amp; c&gt;&quot;x&quot;) {&#39;&amp;&#39;};\\      "
            "\xe2\x90\x9b\xe2\x90\xa1\xc3\xa9\xe2\x80\x9c\xef\xbf\xbd</div>");
}

TEST_F(HtmlListingTest, NumbersLinkToTheirLinesAndEveryLinkHasItsTarget) {
  Settings main;
  main.SetInt("m_uselinenumbers", 0);
  main.SetText("m_startat", "5");
  main.SetText("m_incrementby", "3");
  std::string a = Source("a.c", "x;\n" + std::string(80, 'y') + "\n\n");
  std::string b = Source("b.c", "z;\n");
  std::string page = Page({a, b});
  std::vector<std::string> lines = LineElements(page);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "<div class=\"l\" id=\"file-1-line-5\"><a class=\"n\" href=\"#file-1-line-5\" "
                      "data-n=\"5\"></a>x;</div>");
  // The number counts in the cut, as in the RTF document; the cut line's
  // later segment has an empty number cell; the empty line keeps its height.
  EXPECT_EQ(lines[1], "<div class=\"l\" id=\"file-1-line-8\"><a class=\"n\" href=\"#file-1-line-8\" "
                      "data-n=\"8\"></a>" + std::string(70, 'y') + " <span class=\"cm\"></span></div>");
  EXPECT_EQ(lines[2], "<div class=\"l\"><span class=\"n\"></span>" + std::string(10, 'y') + "</div>");
  EXPECT_EQ(lines[3], "<div class=\"l\" id=\"file-1-line-11\"><a class=\"n\" href=\"#file-1-line-11\" "
                      "data-n=\"11\"></a><br></div>");
  // By module: the second file starts again.
  EXPECT_NE(lines[4].find("id=\"file-2-line-5\""), std::string::npos);
  const std::set<std::string> ids = Matches(page, "id=\"([^\"]*)\"");
  for (const std::string& target : Matches(page, "href=\"#([^\"]*)\"")) {
    EXPECT_EQ(ids.count(target), 1u) << target;
  }
  EXPECT_EQ(Count(page, " id=\""), ids.size()) << "ids are unique";
}

TEST_F(HtmlListingTest, NumbersThatDoNotRiseStillGiveUniqueIds) {
  Settings main;
  main.SetInt("m_uselinenumbers", 0);
  main.SetText("m_incrementby", "0");
  main.SetInt("m_linecountermode", 0);
  std::string a = Source("a.c", "p;\nq;\n");
  std::string b = Source("b.c", "r;\n");
  std::string page = Page({a, b});
  const std::set<std::string> ids = Matches(page, "id=\"(file-[^\"]*line[^\"]*)\"");
  EXPECT_EQ(ids, (std::set<std::string>{"file-1-line-1", "file-1-line-1-2", "file-2-line-1"}));
  for (const std::string& target : Matches(page, "href=\"#([^\"]*)\"")) {
    EXPECT_TRUE(target.rfind("file-", 0) == 0 && Count(page, "id=\"" + target + "\"") == 1) << target;
  }
}

TEST_F(HtmlListingTest, WithoutNumbersNoColumnAndNoIds) {
  std::string page = Page({Source("a.c", "x;\n" + std::string(80, 'y') + "\n")});
  EXPECT_EQ(Count(page, "class=\"n\""), 0u);
  EXPECT_EQ(Count(page, "-line-"), 0u);
  EXPECT_EQ(Count(page, "<span class=\"cm\"></span>"), 1u);
}

TEST_F(HtmlListingTest, CancelEndsThePageAndNamesTheFilesNotListed) {
  std::vector<std::string> files = {Source("a.c", "a;\n"), Source("b.c", "b1;\nb2;\n"),
                                    Source("c.c", "c;\n")};
  CancelInFile progress(2);
  std::string page = Page(files, &progress);
  EXPECT_TRUE(result_.cancelled);
  EXPECT_EQ(result_.files_listed, 2);
  EXPECT_EQ(progress.captions.front(), "Create HTML document " + ShortenPath(files[0], 28));
  EXPECT_NE(page.find("<div class=\"l note\">Operation was canceled!</div>\n</div>\n</section>\n"),
            std::string::npos);
  EXPECT_NE(page.find("<li id=\"file-3\">" + files[2] + "</li>"), std::string::npos);
  EXPECT_EQ(page.find("c;"), std::string::npos);
  EXPECT_TRUE(page.ends_with("</ul>\n</div>\n</main>\n</body>\n</html>\n"));
}

TEST_F(HtmlListingTest, UnreadableAndBinaryFilesAreNoted) {
  std::string binary = dir_.File("bin.c");
  WriteFile(binary, std::string("a\0b", 3));
  // One file read, or there is no page at all.
  std::string readable = dir_.File("ok.c");
  WriteFile(readable, "int ok;\n");
  std::string page = Page({dir_.File("missing.c"), binary, readable});
  EXPECT_EQ(result_.failed_files.size(), 2u);
  EXPECT_NE(page.find("int</span> ok;"), std::string::npos);
  EXPECT_NE(page.find("<div class=\"l note\">This file could not be read: No such file or directory</div>"),
            std::string::npos);
  EXPECT_NE(page.find("<div class=\"l note\">(binary file: not listed)</div>"), std::string::npos);
}

TEST_F(HtmlListingTest, NoFilesStillGivesACompletePage) {
  std::string page = Page({});
  ASSERT_TRUE(result_.ok());
  EXPECT_NE(page.find("<title>Source code listing</title>"), std::string::npos);
  EXPECT_NE(page.find("<ol>\n</ol>\n</nav>\n<main>\n</main>\n</body>\n</html>\n"), std::string::npos);
}

// A line holding a form feed starts a block of lines on a new page, outside
// the columns, where print takes the break.
TEST_F(HtmlListingTest, FormFeedsBreakThePage) {
  std::string page = Page({Source("f.c", "\fa;\n\f\nb;\n  \fc;\n")});
  const size_t body = page.find("<h2 class=\"h\">");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(page.substr(page.find('\n', body) + 1),
            "<div class=\"src ff\">\n<div class=\"l\">a;</div>\n</div>\n"
            "<div class=\"src ff\">\n<div class=\"l\"><br></div>\n<div class=\"l\">b;</div>\n</div>\n"
            "<div class=\"src ff\">\n<div class=\"l\">  c;</div>\n</div>\n</section>\n</main>\n</body>\n</html>\n");
}

TEST_F(HtmlListingTest, PrintLayoutFollowsTheSettings) {
  Settings main;
  std::string a = Source("a.c", "a;\n");
  std::string page = Page({a});
  EXPECT_NE(page.find("@page{size:A4 portrait;margin:25mm 25mm 20mm}"), std::string::npos);
  EXPECT_EQ(page.find("columns:"), std::string::npos);
  // Any column count but one gives two, as in the RTF document.
  main.SetText("m_colnumber", "3");
  main.SetInt("m_colseparator", 0);
  page = Page({a});
  EXPECT_NE(page.find("@page{size:A4 portrait;margin:25mm 20.8mm 25mm 25mm}"), std::string::npos);
  EXPECT_NE(page.find(".src{columns:2;column-gap:12.5mm;}"), std::string::npos);
}

TEST_F(HtmlListingTest, EachKeywordStyleIsOneClassDefinedOnce) {
  WriteFile(dir_.File("kw.lfx"),
            "Lumentra Folios bgc\n"
            "alpha\nTrue\nFalse\nFalse\n9\n8\n"
            "beta\nTrue\nFalse\nFalse\n9\n8\n"      // alpha's style
            "gamma\nFalse\nTrue\nTrue\n0\n0\n"      // automatic colours
            "delta\nFalse\nFalse\nFalse\n99\nx\n"  // outside the table: automatic
            "\n\n\n\n0\n0\n");
  for (const char* language : {"m_cfiles", "m_javafiles", "m_vbfiles"}) {
    Settings().SetText(language, dir_.File("kw.lfx"));
  }
  std::string page = Page({Source("k.c", "alpha beta gamma delta\n")});
  EXPECT_EQ(LineElements(page),
            (std::vector<std::string>{"<div class=\"l\"><span class=\"k1\">alpha</span> <span class=\"k1\">beta</span> "
                                      "<span class=\"k2\">gamma</span> <span class=\"k3\">delta</span></div>"}));
  EXPECT_EQ(Count(page, ".k1{font-weight:bold;color:#000080;background-color:#ffffff;}\n"), 1u);
  EXPECT_EQ(Count(page, ".k2{font-style:italic;text-decoration:underline;color:#000;background-color:transparent;}\n"), 1u);
  EXPECT_EQ(Count(page, ".k3{color:#000;background-color:transparent;}\n"), 1u);
  EXPECT_EQ(Count(page, ".k4"), 0u);
}

TEST_F(HtmlListingTest, KeywordRunsAreReadFromBothDocuments) {
  std::string source = Source("r.c", "int x; /* c */char y; // int\n");
  std::string page = Page({source});
  ListingBuildResult rtf_result = RunListingBuild({source}, dir_.File("out.rtf"), {});
  ASSERT_TRUE(rtf_result.ok());
  const std::string rtf = ReadFile(dir_.File("out.rtf"));
  EXPECT_EQ(test::RtfKeywordRuns(rtf),
            (std::vector<test::KeywordRun>{{"\\b\\cf9\\highlight8", "int"}, {"\\b\\cf9\\highlight8", "char"}}));
  EXPECT_EQ(test::HtmlKeywordRuns(page), (std::vector<test::KeywordRun>{{"k1", "int"}, {"k1", "char"}}));
  EXPECT_EQ(test::KeywordRunDifference(rtf, page), "");
}

TEST(ListingFormat, TheOutputsNameThenTheSettingChoose) {
  test::ScopedSettings settings;
  EXPECT_EQ(ListingFormatForOutput("a/out.html"), ListingFormat::kHtml);
  EXPECT_EQ(ListingFormatForOutput("OUT.HTM"), ListingFormat::kHtml);
  EXPECT_EQ(ListingFormatForOutput("out.txt"), ListingFormat::kRtf);
  Settings().SetInt("m_output_type", 1);
  EXPECT_EQ(ListingFormatForOutput("out.txt"), ListingFormat::kHtml);
  EXPECT_EQ(ListingFormatForOutput("out.Rtf"), ListingFormat::kRtf);
  EXPECT_STREQ(ListingFormatExtension(StoredListingFormat()), ".html");
}

TEST_F(HtmlListingTest, AnAbandonedBuildLeavesTheOldPage) {
  WriteFile(dir_.File("out.html"), "previous");
  ListingBuildOptions options;
  options.format = ListingFormat::kHtml;
  options.abandon = [] { return true; };
  ListingBuildResult result = RunListingBuild({Source("a.c", "a;\n")}, dir_.File("out.html"), options);
  EXPECT_TRUE(result.abandoned);
  EXPECT_EQ(ReadFile(dir_.File("out.html")), "previous");
}

// Under each layout, the page shows the RTF document's lines and styles
// the same words, for every sample and for lines made to be awkward.
TEST_F(HtmlListingTest, ThePageShowsTheDocumentsLinesUnderEveryLayout) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(test::TestSourceDir() + "/../samples")) {
    std::string ext = Extension(entry.path().string());
    if (entry.is_regular_file() && ext != "dsp" && ext != "vbp") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  files.push_back(Source("awkward.c",
                         "s = \"// not /* a comment\"; x = a/b; /* one */ y; /*two*/int z; // int\n"
                         "\t\tlong_name(alpha, beta, gamma, delta, \"a string, with commas, that runs\", "
                         "epsilon); // and a comment that goes on and on past the end\n"
                         "char c = '\"'; int d = '\\''; /* open\n still open int\n closed */ int e;\n"
                         "\\{}\\\\{{}}\\" + std::string(100, '\\') + "\n" +
                         std::string(90, 'w') + "\xc3\xa4\x01\xe2\x82\xac\n"));
  files.push_back(Source("Proc.bas", "Attribute VB_Name = \"P\"\nPublic Sub A() ' int\n"
                                     "  Dim s As String: s = \"' x\"\nEnd Sub\nFunction F()\nEnd Function\n"));
  const std::vector<std::vector<std::pair<std::string, std::string>>> layouts = {
      {},
      {{"m_uselinenumbers", "0"}},
      {{"m_uselinenumbers", "0"}, {"m_linecountermode", "0"}, {"m_startat", "7"}, {"m_incrementby", "4"}},
      {{"m_colnumber", "2"}, {"m_b_orientation", "1"}, {"m_uselinenumbers", "0"}},
      {{"m_colnumber", "2"}, {"doc/m_code_fontsize", "16"}, {"doc/m_comment_fontsize", "8"}},
      {{"m_linebreaks", "0"}, {"m_pagebreak", "1"}},
      {{"m_format", "0"}, {"m_linesep", "0"}},
      {{"m_format", "2"}, {"m_uselinenumbers", "0"}},
  };
  WriteFile(settings_.data_dir() + "/noise-chars.lfx", "*-= ");
  for (const auto& layout : layouts) {
    std::string name;
    for (const auto& [setting, value] : layout) {
      const bool doc = setting.rfind("doc/", 0) == 0;
      Settings(doc ? SettingKey::kDoc : SettingKey::kMain).SetText(doc ? setting.substr(4) : setting, value);
      name += setting + "=" + value + " ";
    }
    const std::string page = Page(files);
    ASSERT_TRUE(RunListingBuild(files, dir_.File("out.rtf"), {}).output.ok());
    const std::string rtf = ReadFile(dir_.File("out.rtf"));
    const std::vector<std::string> rtf_lines = test::RtfShownLines(rtf);
    EXPECT_GT(rtf_lines.size(), 200u) << name;
    EXPECT_EQ(test::HtmlShownLines(page), rtf_lines) << name;
    EXPECT_GT(test::RtfKeywordRuns(rtf).size(), 50u) << name;
    EXPECT_EQ(test::KeywordRunDifference(rtf, page), "") << name;
    for (const auto& [setting, value] : layout) {
      const bool doc = setting.rfind("doc/", 0) == 0;
      const std::string key = doc ? setting.substr(4) : setting;
      SettingKey where = doc ? SettingKey::kDoc : SettingKey::kMain;
      Settings(where).SetText(key, DefaultText(where, key));
    }
  }
}

}  // namespace
}  // namespace folios

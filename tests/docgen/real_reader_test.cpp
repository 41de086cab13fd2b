// The shipped format file over the shipped samples, read back by real RTF
// readers (unrtf; LibreOffice for the page numbers and links of the index);
// and a real third-party code base without tags.
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_driver.h"
#include "test_support.h"

namespace folios::docgen {
namespace {

const std::string kRoot = FOLIOS_SOURCE_ROOT;

bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The text unrtf reads from an RTF file.
std::string ReadBack(const std::string& rtf, const test::TempDir& dir) {
  std::string text_path = dir.File("readback.txt");
  std::string command = "unrtf --text '" + rtf + "' > '" + text_path + "' 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return test::ReadFile(text_path);
}

// Fails unless every item occurs in `text`, each after the one before.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& items) {
  size_t pos = 0;
  for (const std::string& item : items) {
    size_t found = text.find(item, pos);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << item;
    pos = found + item.size();
  }
}

std::vector<std::string> Samples() {
  std::string d = kRoot + "/samples/documented/";
  return {d + "c/geometry.h", d + "c/geometry.c", d + "cpp/shapes.hpp", d + "cpp/shapes.cpp",
          d + "vb/Invoices.bas", d + "vb/Customer.cls"};
}

TEST(DocRealReader, ShippedFormatOverTheSamplesReadsBackInOrder) {
  if (!HaveProgram("unrtf")) GTEST_SKIP() << "unrtf is not installed (scripts/install-deps.sh installs it)";
  test::TempDir dir;
  std::vector<std::string> argv = Samples();
  argv.insert(argv.end(), {"-f", kRoot + "/data/LFX.fmt", "-o", dir.File("ref.rtf")});
  std::ostringstream out, err;
  ASSERT_EQ(RunDocDriver(argv, nullptr, out, err), 0);
  EXPECT_EQ(err.str(), "");
  std::string text = ReadBack(dir.File("ref.rtf"), dir);
  // Title and index first, then the topics sorted by kind and name.
  ExpectInOrder(text, {"Reference", "Index", "Drawing", "Point", "Shape", "Winding", "clamp_count",
                       "Drawing::Add", "point_distance", "polygon_area", "Scale", "MAX_POINTS", "Customer",
                       "Invoices", "InvoiceLine", "InvoiceTotal", "PrintInvoice"});
  size_t body = text.find("Drawing class");
  ASSERT_NE(body, std::string::npos);
  std::string topics = text.substr(body);
  ExpectInOrder(topics, {
      "Drawing class", "class Drawing", "A drawing: an ordered list of shapes",
      "void Add(Shape* shape)", "Adds a shape on top", "DrawAll(Canvas& canvas) const",
      "Point", "struct Point", "double x", "Distance from the left edge.", "double y",
      "Remarks", "Points are passed by value",
      "Shape", "class Shape", "virtual double Area() const", "Remarks", "never delete one yourself",
      "Winding enumeration", "WINDING_EVEN_ODD", "WINDING_NONZERO",
      "clamp_count", "static int clamp_count(int count)", "int count", "The count given by the caller.",
      "Return value", "A count between 0 and MAX_POINTS.",
      "void Drawing::Add(Shape* shape)", "Shape* shape", "A null pointer is ignored.", "Remarks",
      "Drawing::DrawAll", "Canvas& canvas", "See also",
      "point_distance", "double point_distance(struct Point a, struct Point b)", "struct Point a",
      "The first point.", "struct Point b", "The second point.", "Return value", "Example",
      "Measuring a diagonal:", "struct Point b = {3, 4};",
      "polygon_area", "const struct Point * corners", "int count", "int winding", "Remarks",
      "Uses the shoelace formula: {sum of x(i)", "Corners may be given clockwise",
      "Scale", "T Scale(T value, int percent = 100)", "T value", "Optional parameters", "int percent = 100",
      "Halving a width:", "if (half != 320) {",
      "MAX_POINTS", "#define MAX_POINTS", "The largest number of points",
      "Customer", "Public Property Get Name", "The name printed on invoices.", "Public Property Let Name",
      "Invoices", "Totals, taxes and rounding", "Remarks", "All amounts are in cents",
      "InvoiceLine", "Public Type InvoiceLine", "Description As String", "Quantity As Long",
      "UnitPrice As Currency",
      "InvoiceTotal", "Public Function InvoiceTotal(", "As Currency", "ByVal TaxRate As Double",
      "The tax rate in percent", "Return value", "rounded to whole cents",
      "PrintInvoice", "Public Sub PrintInvoice(", "Optional ByVal WithTotal As Boolean",
      "Whether to print the total",
  });
}

// Converts `rtf` with LibreOffice to `format` ("pdf", "html") in `dir`;
// returns the converted file's path. A private profile keeps parallel runs
// apart.
std::string Convert(const std::string& rtf, const std::string& format, const test::TempDir& dir) {
  std::string command = "libreoffice -env:UserInstallation=file://" + dir.File("profile") +
                        " --headless --convert-to " + format + " --outdir '" + dir.path() + "' '" + rtf +
                        "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::string base = rtf.substr(rtf.rfind('/') + 1);
  return dir.File(base.substr(0, base.rfind('.')) + "." + format);
}

// The index gives each topic's page as the reader lays the document out, and
// each entry and cross reference links to its topic's bookmark.
TEST(DocRealReader, TheIndexGivesPageNumbersAndLinks) {
  if (!HaveProgram("libreoffice") || !HaveProgram("pdftotext")) {
    GTEST_SKIP() << "libreoffice or pdftotext is not installed (scripts/install-deps.sh installs them)";
  }
  test::TempDir dir;
  std::vector<std::string> argv = Samples();
  argv.insert(argv.end(), {"-f", kRoot + "/data/LFX.fmt", "-o", dir.File("ref.rtf")});
  std::ostringstream out, err;
  ASSERT_EQ(RunDocDriver(argv, nullptr, out, err), 0);
  std::string pdf = Convert(dir.File("ref.rtf"), "pdf", dir);
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + dir.File("ref.txt") + "'").c_str()), 0);
  std::string text = test::ReadFile(dir.File("ref.txt"));
  std::vector<std::string> pages;
  for (size_t start = 0; start <= text.size();) {
    size_t feed = text.find('\f', start);
    if (feed == std::string::npos) feed = text.size();
    pages.push_back(text.substr(start, feed - start));
    start = feed + 1;
  }
  // Where each topic's heading ("Name kind") stands, by page.
  std::map<std::string, int> heading_page;
  std::regex heading(R"((^|\n)(\S+) (class|structure|enumeration|function|member function|constant|Visual Basic \w+)\n)");
  for (size_t p = 1; p < pages.size(); ++p) {
    for (std::sregex_iterator it(pages[p].begin(), pages[p].end(), heading), end; it != end; ++it) {
      heading_page.emplace((*it)[2].str(), static_cast<int>(p) + 1);
    }
  }
  // Index lines: "Name   file.ext......N".
  std::regex entry(R"(\n +(\S+) +\S+\.\w+\.{3,}(\d+))");
  int entries = 0;
  for (std::sregex_iterator it(pages[0].begin(), pages[0].end(), entry), end; it != end; ++it) {
    ++entries;
    std::string name = (*it)[1].str();
    ASSERT_TRUE(heading_page.count(name)) << name << " has no heading";
    EXPECT_EQ(std::stoi((*it)[2].str()), heading_page[name]) << name;
  }
  EXPECT_EQ(entries, 16) << pages[0];
  EXPECT_GE(heading_page["PrintInvoice"], 3);  // the numbers are not all alike

  // A cross reference in a remark ("owned by their <c Drawing>") and the
  // index entries link to the bookmark at the topic's heading.
  std::string html = test::ReadFile(Convert(dir.File("ref.rtf"), "html", dir));
  EXPECT_NE(html.find("<a name=\"tp_Drawing\""), std::string::npos);
  std::regex link(R"(<a href="#tp_Drawing"[^>]*>(<[^>]*>)*Drawing<)");
  EXPECT_EQ(std::distance(std::sregex_iterator(html.begin(), html.end(), link), std::sregex_iterator()), 2);
}

TEST(DocRealReader, HelpOutputCarriesFootnotesAndPageBreaks) {
  test::TempDir dir;
  std::vector<std::string> argv = Samples();
  argv.insert(argv.end(), {"-f", kRoot + "/data/LFX.fmt", "-o", dir.File("api.rtf"), "-rh"});
  std::ostringstream out, err;
  ASSERT_EQ(RunDocDriver(argv, nullptr, out, err), 0);
  EXPECT_EQ(err.str(), "");
  std::string rtf = test::ReadFile(dir.File("api.rtf"));
  EXPECT_NE(rtf.find("#{\\footnote point_distance}"), std::string::npos);
  EXPECT_NE(rtf.find("${\\footnote Drawing::Add}"), std::string::npos);
  EXPECT_NE(rtf.find("#{\\footnote Drawing__Add}"), std::string::npos);
  EXPECT_NE(rtf.find("K{\\footnote InvoiceTotal}"), std::string::npos);
  // A cross reference to a documented topic becomes a jump.
  EXPECT_NE(rtf.find("{\\uldb polygon_area}{\\v polygon_area}"), std::string::npos);
  size_t pages = 0;
  for (size_t at = rtf.find("\\page"); at != std::string::npos; at = rtf.find("\\page", at + 1)) ++pages;
  EXPECT_EQ(pages, 17u);  // after the index and after each of the 16 topics
  EXPECT_TRUE(test::FileExists(dir.File("api.HPJ")));
  if (HaveProgram("unrtf")) {
    EXPECT_NE(ReadBack(dir.File("api.rtf"), dir).find("InvoiceTotal"), std::string::npos);
  }
}

TEST(DocRealReader, CommentsAndNonAsciiTextAreEscaped) {
  test::TempDir dir;
  test::WriteFile(dir.File("odd.c"),
                  "/* @doc */\n"
                  "/* @func Braces {like this}, a back\\slash, \xc3\xa9t\xc3\xa9 and a stray \xe9 byte.\n"
                  " * @parm A \\<tag\\> that is not one.\n"
                  " */\n"
                  "int odd(int weird);\n");
  std::ostringstream out, err;
  ASSERT_EQ(RunDocDriver({dir.File("odd.c"), "-f", kRoot + "/data/LFX.fmt", "-o", dir.File("odd.rtf")}, nullptr,
                         out, err),
            0);
  EXPECT_EQ(err.str(), "");
  std::string rtf = test::ReadFile(dir.File("odd.rtf"));
  EXPECT_NE(rtf.find("Braces \\{like this\\}, a back\\\\slash, \\u233 ?t\\u233 ? and a stray \\'e9 byte."),
            std::string::npos);
  // Every group that opens closes again.
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}') --depth;
    ASSERT_GE(depth, 0) << "at byte " << i;
  }
  EXPECT_EQ(depth, 0);
  if (HaveProgram("unrtf")) {
    std::string text = ReadBack(dir.File("odd.rtf"), dir);
    EXPECT_NE(text.find("Braces {like this}, a back\\slash"), std::string::npos) << text;
    EXPECT_NE(text.find("A <tag> that is not one."), std::string::npos);
  }
}

TEST(DocRealReader, AThirdPartyCodeBaseWithoutTagsGivesNoTopicsAndNoErrors) {
  // GoogleTest's sources, installed with libgtest-dev (scripts/install-deps.sh).
  std::string base = "/usr/src/googletest";
  if (!test::FileExists(base + "/googletest/src/gtest.cc")) GTEST_SKIP() << base << " is not installed";
  test::TempDir dir;
  std::vector<std::string> argv = {base + "/googletest/src/*.cc", base + "/googletest/include/gtest/*.h",
                                   base + "/googletest/include/gtest/internal/*.h", base + "/googlemock/src/*.cc",
                                   base + "/googlemock/include/gmock/*.h",
                                   "-f", kRoot + "/data/LFX.fmt", "-o", dir.File("gtest.rtf"), "-v"};
  std::ostringstream out, err;
  ASSERT_EQ(RunDocDriver(argv, nullptr, out, err), 0);
  EXPECT_EQ(err.str(), "");
  // Verbose output lists every file; a topic would be listed with a tab.
  EXPECT_NE(out.str().find("gtest.cc\n"), std::string::npos);
  EXPECT_EQ(out.str().find("\n\t"), std::string::npos);
  std::string rtf = test::ReadFile(dir.File("gtest.rtf"));
  EXPECT_EQ(rtf.find("\\brdrb"), std::string::npos);  // no topic headings
  EXPECT_NE(rtf.find("Index"), std::string::npos);
}

}  // namespace
}  // namespace folios::docgen

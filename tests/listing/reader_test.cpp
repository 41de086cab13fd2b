// Listings read back by real RTF readers: every source line, with its number,
// comes back in order.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <sstream>

#include "listing_build.h"
#include "project_file.h"
#include "rtf_text.h"
#include "settings_table.h"
#include "test_support.h"

namespace folios {
namespace {

using test::TempDir;
using test::WriteFile;

const char kC[] =
    "/* ring buffer */\n"
    "#include \"ringbuf.h\"\n"
    "\n"
    "int put(ringbuf *rb, unsigned char byte) {\n"
    "\tif (rb->count == CAP) return 0;  // full\n"
    "\tchar *s = \"{braces} and \\\\ backslash\";\n"
    "    return 1;\n"
    "}\n"
    "#define PUT(rb, b) \\\n"
    "  put(rb, b)\n";
const char kJava[] =
    "public class Shelf {\n"
    "    /** Items. */\n"
    "    private int n = 0;\n"
    "    public void add() { n++; } // one more\n"
    "}\n";
const char kVb[] =
    "Attribute VB_Name = \"Accounts\"\n"
    "Option Explicit\n"
    "' Adds interest\n"
    "Public Function AddInterest(ByVal b As Currency) As Currency\n"
    "    AddInterest = b * 1.05 ' five percent\n"
    "End Function\n";
// Old Mac line ends, and a tab in a line.
const char kOldMac[] = "int a;\rint\tb;\r\rreturn a; // end\r";
// A Visual Basic project names its files in another case than the disk.
const char kVbForm[] =
    "VERSION 5.00\n"
    "Attribute VB_Name = \"Main\"\n"
    "Private Sub Form_Load()\n"
    "End Sub\n";
const char kVbModule[] =
    "Attribute VB_Name = \"AIP\"\n"
    "Public Function Rate() As Double ' percent\n"
    "    Rate = 1.5\n"
    "End Function\n";

const char kUtf8[] =
    "// Gr\xC3\xBC\xC3\x9F" "e, caf\xC3\xA9 \xE2\x82\xAC\n"
    "s = \"na\xC3\xAFve \xF0\x9D\x84\x9E\";\n";

std::string RunCommand(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Words separated by single blanks: readers differ in how they show
// indentation and runs of blanks.
std::string Normalize(const std::string& line) {
  std::string out;
  std::istringstream words(line);
  std::string word;
  while (words >> word) out += (out.empty() ? "" : " ") + word;
  return out;
}

std::vector<std::string> NormalizedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(Normalize(line));
  return lines;
}

// The numbered lines of `source` as a reader shows them. `ascii_fallback`:
// the reader shows the "?" fallback for each character beyond ASCII (one per
// UTF-16 unit).
std::vector<std::string> ExpectedLines(const std::string& source, bool ascii_fallback) {
  std::vector<std::string> lines;
  // LF, CR LF and a lone CR each end a line.
  std::string text;
  for (size_t i = 0; i < source.size(); ++i) {
    if (source[i] != '\r') {
      text += source[i];
    } else if (i + 1 >= source.size() || source[i + 1] != '\n') {
      text += '\n';
    }
  }
  std::istringstream in(text);
  std::string line;
  int number = 1;
  while (std::getline(in, line)) {
    std::string shown;
    for (size_t i = 0; i < line.size();) {
      unsigned char c = static_cast<unsigned char>(line[i]);
      if (c < 0x80 || !ascii_fallback) {
        shown += line[i++];
        continue;
      }
      Utf8Char u = DecodeUtf8(line, i);
      shown += u.code_point > 0xFFFF ? "??" : "?";
      i += u.length;
    }
    lines.push_back(Normalize(std::to_string(number++) + " " + shown));
  }
  return lines;
}

class ReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    Settings main;
    main.SetInt("m_use_advanced_options", 0);
    main.SetInt("m_uselinenumbers", 0);
    main.SetInt("m_format", 2);
    WriteFile(settings_.data_dir() + "/noise-chars.lfx", "");
    sources_ = {{"ring.c", kC},           {"Shelf.java", kJava},
                {"Accounts.bas", kVb},     {"utf8.c", kUtf8},
                {"mac.c", kOldMac},        {"vb/Forms/Main.FRM", kVbForm},
                {"vb/AIP.BAS", kVbModule}};
    std::vector<std::string> paths;
    for (const auto& [name, text] : sources_) {
      WriteFile(dir_.File(name), text);
      if (name.rfind("vb/", 0) != 0) paths.push_back(dir_.File(name));
    }
    WriteFile(dir_.File("vb/Ask.vbp"), "Form=forms\\main.frm\r\nModule=AIP; aip.bas\r\n");
    CProjectFile project;
    ASSERT_TRUE(project.Open(dir_.File("vb/Ask.vbp"), true).ok());
    ASSERT_TRUE(project.Process().ok());
    ASSERT_EQ(project.files_in_order(), (std::vector<std::string>{dir_.File("vb/Forms/Main.FRM"),
                                                                   dir_.File("vb/AIP.BAS")}));
    for (const std::string& path : project.files_in_order()) paths.push_back(path);
    ListingBuildResult result = RunListingBuild(paths, dir_.File("listing.rtf"), {});
    ASSERT_TRUE(result.ok());
  }

  // Every file's header, then its numbered lines, in order.
  void ExpectAllLinesInOrder(const std::vector<std::string>& shown, bool ascii_fallback) {
    size_t at = 0;
    for (const auto& [name, text] : sources_) {
      std::string header = Normalize(dir_.File(name));
      while (at < shown.size() && shown[at] != header) ++at;
      ASSERT_LT(at, shown.size()) << "header of " << name << " not found";
      for (const std::string& expected : ExpectedLines(text, ascii_fallback)) {
        while (at < shown.size() && shown[at] != expected) ++at;
        ASSERT_LT(at, shown.size()) << name << ": line not found in order: " << expected;
      }
    }
  }

  test::ScopedSettings settings_;
  TempDir dir_;
  std::vector<std::pair<std::string, std::string>> sources_;
};

TEST_F(ReaderTest, UnrtfShowsEveryLine) {
  if (system("command -v unrtf > /dev/null 2>&1") != 0) {
    FAIL() << "unrtf is not installed (scripts/install-deps.sh installs it)";
  }
  std::string text = RunCommand("unrtf --text '" + dir_.File("listing.rtf") + "' 2>/dev/null");
  ExpectAllLinesInOrder(NormalizedLines(text), true);
}

TEST_F(ReaderTest, LibreOfficeShowsEveryLineWithItsCharacters) {
  if (system("command -v soffice > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "LibreOffice is not installed";
  }
  TempDir profile;
  std::string command = "cd '" + dir_.path() + "' && HOME='" + profile.path() +
                        "' timeout 180 soffice --headless -env:UserInstallation=file://" +
                        profile.path() + " --convert-to txt:Text --outdir '" + dir_.path() +
                        "' listing.rtf > /dev/null 2>&1";
  ASSERT_EQ(system(command.c_str()), 0);
  std::string text = test::ReadFile(dir_.File("listing.txt"));
  ExpectAllLinesInOrder(NormalizedLines(text), false);
}

}  // namespace
}  // namespace folios

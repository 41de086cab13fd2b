// Fuzz target: the listing build over one source buffer, in C, Java and
// Visual Basic modes, with the layout settings drawn from the input.
//
// Header bytes (0 selects the default everywhere):
//   0  file kind: c, cpp, h, java, bas, frm, cls, no extension
//   1  bit 0 no line cutting, 1 line numbers, 2 keep noise characters,
//      3 page break per file, 4 continuous numbering, 5 landscape,
//      6 no column separator, 7 pre-format with the beautifier
//   2  bits 0-2 column count, 3-5 Visual Basic part, 6 no VB separators,
//      7 list the file twice
//   3  code font size (low half), comment font size (high half)
//   4  header font size (low half), bits 4-6 bold/italic/underline code
//   5  first line number (low half), increment (high half)
//   6  code colour (low half), comment colour (high half)
//   7  cancel after N*16 lines
//   8  0x21 in bits 0-5: the body repeated to 256 KB
// Oracle: the document is well-formed RTF and ends with the document end;
// the same build as a web page is a well-formed page that shows the
// document's lines and styles the same words.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "listing_build.h"
#include "page_check.h"
#include "preformat_for_listing.h"
#include "shown_lines.h"

namespace folios::fuzz {
namespace {

constexpr size_t kHeader = 9;
constexpr size_t kAmplifiedSize = 256 * 1024;

const char* const kKinds[] = {"c", "cpp", "h", "java", "bas", "frm", "cls", ""};
// Values a user can store by hand, inside and outside what the pages allow.
const char* const kColumns[] = {"1", "2", "3", "0", "-1", "2147483647", "x", "1"};
const char* const kVbParts[] = {"1", "0", "2", "3", "-1", "1", "1", "1"};
const char* const kFontSizes[] = {"10", "8", "16", "7", "17", "0", "-4", "1000", "2147483647",
                                  "12", "9", "11", "13", "14", "15", "x"};
const char* const kStarts[] = {"1", "99999", "0", "100000", "-5", "2147483647", "abc", "42",
                               "1", "7", "1", "1", "1", "1", "1", "1"};
const char* const kColors[] = {"1", "0", "16", "17", "-1", "255", "2147483647", "11",
                               "9", "2", "3", "4", "5", "6", "7", "8"};

// Cancels the build after a number of lines, as the Cancel button does.
class CancelAfter : public Progress {
 public:
  explicit CancelAfter(int lines) : left_(lines) {}

 protected:
  void ProcessPendingEvents() override {
    if (left_ > 0 && --left_ == 0) RequestCancel();
  }

 private:
  int left_;
};

const char* Flag(bool on) { return on ? "1" : "0"; }

void ApplySettings(const FuzzInput& in) {
  SetSetting("m_linebreaks", Flag(!in.Bit(1, 0)));
  SetSetting("m_uselinenumbers", Flag(!in.Bit(1, 1)));
  SetSetting("m_remove_noise_chars", Flag(!in.Bit(1, 2)));
  SetSetting("m_pagebreak", Flag(in.Bit(1, 3)));
  SetSetting("m_linecountermode", Flag(!in.Bit(1, 4)));
  SetSetting("m_linecountermode2", Flag(in.Bit(1, 4)));
  SetSetting("m_b_orientation", Flag(in.Bit(1, 5)));
  SetSetting("m_colseparator", Flag(!in.Bit(1, 6)));
  SetSetting("m_use_advanced_options", Flag(in.Bit(1, 7)));
  SetSetting("m_colnumber", kColumns[in.Byte(2) & 7]);
  SetSetting("m_format", kVbParts[(in.Byte(2) >> 3) & 7]);
  SetSetting("m_linesep", Flag(!in.Bit(2, 6)));
  SetSetting("m_code_fontsize", kFontSizes[in.Byte(3) & 15]);
  SetSetting("m_comment_fontsize", kFontSizes[(in.Byte(3) >> 4) & 15]);
  SetSetting("m_header_fontsize", kFontSizes[in.Byte(4) & 15]);
  SetSetting("m_code_bold", Flag(in.Bit(4, 4)));
  SetSetting("m_code_italic", Flag(in.Bit(4, 5)));
  SetSetting("m_code_underline", Flag(in.Bit(4, 6)));
  SetSetting("m_startat", kStarts[in.Byte(5) & 15]);
  SetSetting("m_incrementby", kStarts[(in.Byte(5) >> 4) & 15]);
  SetSetting("m_code_forecolor", kColors[in.Byte(6) & 15]);
  SetSetting("m_comment_forecolor", kColors[(in.Byte(6) >> 4) & 15]);
}

}  // namespace
}  // namespace folios::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  FuzzInput in(data, size, kHeader);
  const std::string& dir = WorkDirectory();
  ApplySettings(in);

  std::string kind = kKinds[in.Choice(0, 8)];
  std::string path = dir + "/listed" + (kind.empty() ? "" : "." + kind);
  if (in.Amplified(8)) {
    WriteFileOrDie(path, Repeated(in.body(), kAmplifiedSize));
  } else {
    WriteFileOrDie(path, in.body());
  }
  std::vector<std::string> paths{path};
  if (in.Bit(2, 7)) paths.push_back(path);

  auto build = [&](ListingFormat format) {
    CancelAfter progress(in.Byte(7) != 0 ? in.Byte(7) * 16 : -1);
    ListingBuildOptions options;
    options.format = format;
    options.progress = &progress;
    options.preformat = PreformatForListing;
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    if (!out) Fail("open_memstream failed");
    ListingBuildResult result = RunListingBuildToStream(paths, out, options);
    std::fclose(out);
    std::string document(buffer, length);
    std::free(buffer);
    Check(result.output.ok(), "the listing reports a write failure into memory", result.output.message());
    return document;
  };
  const std::string rtf = build(ListingFormat::kRtf);
  RequireRtf(rtf, "the listing");

  const std::string page = build(ListingFormat::kHtml);
  std::string problem;
  Check(CheckPage(page, &problem), "the page is not well formed: " + problem, page);
  Check(test::HtmlShownLines(page) == test::RtfShownLines(rtf),
        "the page shows other lines than the document", page);
  const std::string runs = test::KeywordRunDifference(rtf, page);
  Check(runs.empty(), "the page styles other words than the document: " + runs, page);
  return 0;
}

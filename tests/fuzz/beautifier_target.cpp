// Fuzz target: the beautifier over one buffer, with its settings drawn from
// the input.
//
// Header bytes (0 selects the default everywhere):
//   0  empty lines between functions
//   1  bit 0 indent with tabs, 1 braces on their own line, 2 remove
//      comments, 3 Java (else C and C++), 4 cuddled else, 5 continuation
//      lines under the parenthesis, 6 namespace bodies not indented, 7 case
//      labels at their switch
//   2  spaces per indentation level (bits 0-2); bit 3 trailing comments kept
//      on their code line; bit 4 comments alone at the indentation of the
//      code after them; bit 6 continuation lines two steps deeper (unless
//      under the parenthesis), bit 7 function braces alone
//   3  column of comments after code (low half), of comments alone (high half)
//   4  0x21 in bits 0-5: the body repeated to 256 KB; bits 6-7: access labels
// Oracles: formatting succeeds or fails with one of the engine's codes; the
// output holds the same program as the input (the token checker: the same
// code tokens, literals byte for byte, comments in order unless removed);
// and it is a fixed point: formatting it again gives it back byte for byte.
// An input with bytes no program holds outside literals and comments
// (control bytes, DEL, C1 bytes outside a UTF-8 sequence) is not compared
// with its output: the engine drops those bytes from code, which the token
// checker counts as a change, and which reformat's own check then refuses.
#include <sstream>
#include <string>

#include "beautifier_options.h"
#include "engine.h"
#include "fuzz_support.h"
#include "reformat_file.h"
#include "settings_table.h"
#include "token_check.h"

namespace folios::fuzz {
namespace {

constexpr size_t kHeader = 5;
constexpr size_t kAmplifiedSize = 256 * 1024;

// Values a user can store by hand, inside and outside what the page allows.
const char* const kEmptyLines[] = {"2", "0", "1", "5", "10", "-1", "11", "1000"};
const char* const kIndents[] = {"4", "2", "8", "0", "10", "-3", "11", "1000"};
const char* const kCodeCommentColumns[] = {"1", "40", "8", "0", "60", "-1", "61", "1000",
                                           "2", "4", "16", "32", "33", "59", "3", "x"};
const char* const kAloneCommentColumns[] = {"0", "1", "8", "40", "60", "-1", "61", "1000",
                                            "2", "4", "16", "32", "33", "59", "3", "x"};

const char* Flag(bool on) { return on ? "1" : "0"; }

// True when `text` holds a control byte other than tab, LF and CR, DEL, or
// a byte 128..159 that is not part of a well-formed UTF-8 sequence.
bool HoldsStrayBytes(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (c < 32 || c == 127) return true;
    if (c < 128) continue;
    size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (c > 0xF4) length = 0;
    bool sequence = length > 0 && i + length <= text.size();
    for (size_t k = 1; sequence && k < length; ++k) {
      unsigned char follow = static_cast<unsigned char>(text[i + k]);
      sequence = follow >= 0x80 && follow <= 0xBF;
    }
    if (sequence) {
      i += length - 1;
    } else if (c <= 159) {
      return true;
    }
  }
  return false;
}

struct Formatted {
  int code = kReformatOk;
  std::string text;
};

Formatted Format(const std::string& text, SourceLanguage language) {
  BeautifierOptions options = LoadBeautifierOptions();
  bool remove_comments = Settings().Int("m_remove_comments") != 0;
  std::istringstream in(text);
  std::ostringstream out;
  std::ostream report(nullptr);
  std::ostringstream messages;
  Formatted result;
  result.code = RunBeautifier(in, out, options, remove_comments, report, messages, language);
  result.text = out.str();
  return result;
}

}  // namespace
}  // namespace folios::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  FuzzInput in(data, size, kHeader);
  WorkDirectory();
  SetSetting("m_empty_lines", kEmptyLines[in.Choice(0, 8)]);
  SetSetting("m_indent_with_tabs", Flag(in.Bit(1, 0)));
  SetSetting("m_brace_style", Flag(in.Bit(1, 1)));
  SetSetting("m_remove_comments", Flag(in.Bit(1, 2)));
  SetSetting("m_spaces_to_indent", kIndents[in.Choice(2, 8)]);
  SetSetting("m_c_with_code", kCodeCommentColumns[in.Byte(3) & 15]);
  SetSetting("m_c_without_code", kAloneCommentColumns[(in.Byte(3) >> 4) & 15]);
  SetSetting("m_cuddle_else", Flag(in.Bit(1, 4)));
  // Bit 5 of byte 1 with bit 6 of byte 2: one step, under the parenthesis, two steps.
  SetSetting("m_continuation", std::to_string(in.Bit(1, 5) ? 1 : in.Bit(2, 6) ? 2 : 0));
  SetSetting("m_function_brace", Flag(in.Bit(2, 7)));
  SetSetting("m_indent_namespace", Flag(!in.Bit(1, 6)));
  SetSetting("m_indent_case", Flag(!in.Bit(1, 7)));
  SetSetting("m_indent_access", std::to_string(in.Byte(4) >> 6));
  SetSetting("m_keep_trailing_comments", Flag(in.Bit(2, 3)));
  SetSetting("m_comments_at_code_indent", Flag(in.Bit(2, 4)));

  TokenCheckOptions check;
  check.language = in.Bit(1, 3) ? SourceLanguage::kJava : SourceLanguage::kCFamily;
  check.comments_removed = in.Bit(1, 2);
  std::string source = in.Amplified(4) ? Repeated(in.body(), kAmplifiedSize) : std::string(in.body());
  Formatted first = Format(source, check.language);
  Check(first.code == kReformatOk || first.code == kReformatNoFileOrMemory ||
            first.code == kReformatBadLine || first.code == kReformatBinary,
        "the beautifier returned an unknown code " + std::to_string(first.code));
  Check(first.code != kReformatBinary || source.find('\0') != std::string::npos,
        "a source without NUL bytes was refused as binary");
  if (first.code != kReformatOk) return 0;

  TokenCheckResult kept = CheckTokenTexts(source, first.text, check);
  if (!kept.same && !HoldsStrayBytes(source)) {
    Fail("formatting changed the program at line " + std::to_string(kept.line), first.text);
  }

  // The output is a fixed point: a second run gives it back byte for byte.
  Formatted second = Format(first.text, check.language);
  Check(second.code == kReformatOk, "formatting the beautifier's own output failed", first.text);
  if (second.text != first.text) {
    Fail("a second run changes the output", first.text + "\n---- became ----\n" + second.text);
  }
  return 0;
}

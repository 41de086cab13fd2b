// The option record that drives one beautifier run, and the settings report.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace folios {

// Yes/no fields hold 0 for no and -1 for yes.
struct BeautifierOptions {
  int32_t FUNCTION_SPACING = 2;          // blank lines after a closing brace at column 0
  int32_t INDENT_SPACING = 4;            // columns per level; also the tab width, in and out
  int32_t USE_TABS = 0;                  // yes: indentation and comment gaps as tabs then spaces
  int32_t COMMENTS_WITH_CODE = 1;        // column of a comment that shares its line with code
  int32_t COMMENTS_WITH_NOCODE = 0;      // column of a comment alone on its line
  int32_t LEAVE_COMMENTS_NOCODE = 0;     // fixed no: comment-only lines go to COMMENTS_WITH_NOCODE
  int32_t NONASCII_QUOTES_TO_OCTAL = 0;  // fixed no
  int32_t ASCII_CHARS_ONLY = 3;          // fixed 3: controls and 127..159 removed, 160..255 kept
  int32_t PLACE_BRACE_ON_NEW_LINE = 0;   // yes: a lone opening brace keeps its line; no: joined
  int32_t PROGRAM_OUTPUT = -1;           // fixed yes: report and progress text are written
  int32_t QUEUE_BUFFER = 10;             // formatted lines held back before writing

  // Layout choices beyond the classic record; each default keeps the
  // classic layout.
  int32_t CUDDLE_ELSE = 0;               // yes: "} else", "} catch", "} finally", "} while (...);"
  int32_t FUNCTION_BRACE_ALONE = 0;      // yes: a function body's brace is never joined
  int32_t CONTINUATION_STYLE = 0;        // continuation lines: 0 one step deeper, 1 under the open
                                         // parenthesis, 2 two steps deeper
  int32_t ACCESS_LABEL_INDENT = 0;       // 0 label region; 1 at the brace, 2 half a step, 3 a step in
  int32_t INDENT_NAMESPACE = -1;         // no: a namespace body stays at the namespace's column
  int32_t INDENT_CASE = -1;              // no: case labels stand at their switch's column
  int32_t KEEP_TRAILING_COMMENTS = 0;    // yes: a comment after code stays on its line, at
                                         // COMMENTS_WITH_CODE or past it, as far from the code as read
  int32_t COMMENTS_AT_CODE_INDENT = 0;   // yes: a comment alone on its line stands where the code
                                         // line after it starts, not at COMMENTS_WITH_NOCODE
};

// Fills the record from the settings store (m_empty_lines, m_indent_with_tabs,
// m_spaces_to_indent only when not indenting with tabs, m_c_with_code,
// m_c_without_code, m_brace_style) and the layout choices (m_cuddle_else,
// m_function_brace, m_continuation, m_indent_access, m_indent_namespace, m_indent_case,
// m_keep_trailing_comments, m_comments_at_code_indent); the
// other fields keep their fixed values.
// Values outside the ranges of ClampBeautifierOptions are clamped, and for
// each one a warning goes to `warnings` (may be null).
BeautifierOptions LoadBeautifierOptions(std::vector<std::string>* warnings = nullptr);

// Brings every field into the range the option page allows: FUNCTION_SPACING
// and INDENT_SPACING 0..10, COMMENTS_WITH_CODE and COMMENTS_WITH_NOCODE
// 0..60, QUEUE_BUFFER 0..100; a yes/no field that is not 0 becomes -1. For
// each user setting changed, a warning naming its stored value
// ("m_spaces_to_indent must be a whole number from 0 to 10; -3 is taken as 0") goes to `warnings`
// (may be null).
void ClampBeautifierOptions(BeautifierOptions* options, std::vector<std::string>* warnings);

// Writes the ten report lines ("Function Line Spacing              : 2\n", ...).
void PrintSettingsReport(const BeautifierOptions& options, std::ostream& out);

}  // namespace folios

// Line decomposition: the scan that cleans a source line and marks every
// character (code, blank, comment, literal), and the cut of the cleaned line
// into pieces (comments, code, braces, directive, blank line).
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace folios {

// Marks of a CharStateMap, one per character of the cleaned line.
namespace mark {
inline constexpr char kBlank = ' ';         // white space outside comments and literals
inline constexpr char kCode = '.';          // code
inline constexpr char kBlockComment = 'c';  // "/*" through "*/", both included
inline constexpr char kLineComment = 'C';   // "//" to the end of the line
inline constexpr char kString = '"';        // a double-quoted literal, quotes included
inline constexpr char kChar = '\'';         // a single-quoted literal, quotes included
inline constexpr char kDirective = '#';     // the number sign that starts a directive
}  // namespace mark

// A string as long as the cleaned line, holding one mark per character.
using CharStateMap = std::string;

// True for the marks of code: code, both literals and the directive sign.
inline bool IsCodeMark(char m) {
  return m == mark::kCode || m == mark::kString || m == mark::kChar || m == mark::kDirective;
}

// Scan state carried from line to line within one file.
struct ScanState {
  char current = mark::kBlank;  // the mark in force
  int escape_skip = 0;          // characters still belonging to an escape
  char skip_mark = mark::kCode; // the mark those characters get
  bool continued_code = false;  // a code mark was written on this line, or on a
                                // preceding line that ended with a backslash
  bool c_family = true;         // C or C++: a line comment ending in a backslash
                                // goes on over the next line; false for Java
  int long_literal = 0;         // a literal that spans lines freely is open:
                                // kRawString or kTextBlock, else 0
  std::string raw_close;        // what ends the open raw string: ")delim\""
  bool began_in_literal = false;  // set by ScanLine: this line started inside a
                                  // literal opened on an earlier line
  bool ended_in_literal = false;  // set by ScanLine: a literal was still open at the
                                  // end of this line (it may end there, unterminated)
};

// Values of ScanState::long_literal.
inline constexpr int kRawString = 1;  // R"delim( ... )delim" and its prefixed forms
inline constexpr int kTextBlock = 2;  // """ ... """

// Cleans `raw` (one line without its line feed) into `text` and `map`:
// tabs expanded to `tab_width` stops (kept inside literals, inside comments
// after their first printable character, and after "@(#)"), control
// characters and 127..159 removed outside literals (bytes of valid UTF-8
// sequences are kept), trailing white space cut except where it belongs to a
// literal. Raw strings and text blocks are literals to their end, whatever
// lines they span; a "'" between two digits is a digit separator. Updates
// `state`.
void ScanLine(std::string_view raw, int tab_width, ScanState* state, std::string* text,
              CharStateMap* map);

enum class PieceKind {
  kBlockComment = 1,  // a block comment, or the part of one on this line
  kLineComment = 2,
  kCode = 3,
  kOpenBrace = 4,
  kCloseBrace = 5,    // "}", "};", or "}" with the rest of the line
  kDirective = 6,     // the whole rest of the line
  kBlankLine = 7,
};
const char* PieceKindName(PieceKind kind);

struct SourcePiece {
  PieceKind kind = PieceKind::kBlankLine;
  int offset = 0;               // column of the piece in the cleaned line
  int has_code_after = 0;       // -1 when code remains on the line beside this comment
  std::string text;
  CharStateMap map;             // same length as text
};

// A first-in first-out queue of owned items (pieces of a line, or formatted
// lines). Item(n) counts from the oldest, 1-based, and is null out of range.
template <typename T>
class PieceQueue {
 public:
  void Append(T item) { items_.push_back(std::move(item)); }
  void RemoveOldest() { items_.pop_front(); }
  int Count() const { return static_cast<int>(items_.size()); }
  T* Item(int n) { return n >= 1 && n <= Count() ? &items_[n - 1] : nullptr; }
  void Clear() { items_.clear(); }
  // Inserts before item n (1-based); n = Count() + 1 appends.
  void InsertBefore(int n, T item) { items_.insert(items_.begin() + (n - 1), std::move(item)); }
  void Remove(int n) { items_.erase(items_.begin() + (n - 1)); }
  bool Empty() const { return items_.empty(); }

 private:
  std::deque<T> items_;
};

// Cuts one cleaned line into pieces, appended to `pieces` in the order of
// discovery. `ends_with_backslash` and `previous_ended_with_backslash` say
// whether this line and the one before end with a continuation: split code
// pieces of such lines keep a trailing " \\" so every output line of a macro
// still continues. Complete block comments on a code line become pieces after
// the code, unless the line also holds a line comment or ends inside a block
// comment and `comments_kept`: then they stay in the code, so that the
// comments keep their order. The cut never recurses and costs time linear in
// the line.
void DecomposeLine(const std::string& text, const CharStateMap& map, bool ends_with_backslash,
                   bool previous_ended_with_backslash, std::vector<SourcePiece>* pieces,
                   bool comments_kept = true);

}  // namespace folios

// Line decomposition: the scan that cleans a source line and marks every
// character (code, blank, comment, literal), and the cut of the cleaned line
// into pieces (comments, code, braces, directive, blank line).
#pragma once

#include <cstddef>
#include <memory>
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
inline constexpr char kNestedBrace = '{';   // a brace of code inside parentheses or brackets:
                                            // code, but never a place to cut the line
}  // namespace mark

// A string as long as the cleaned line, holding one mark per character.
using CharStateMap = std::string;

// True for the marks of code: code, both literals and the directive sign.
inline bool IsCodeMark(char m) {
  return m == mark::kCode || m == mark::kString || m == mark::kChar || m == mark::kDirective ||
         m == mark::kNestedBrace;
}

// The length of a directive sign at text[i]: 1 for "#", 2 for its digraph
// "%:", 0 for anything else.
inline size_t DirectiveSignLength(std::string_view text, size_t i) {
  if (i >= text.size()) return 0;
  if (text[i] == '#') return 1;
  return text[i] == '%' && i + 1 < text.size() && text[i + 1] == ':' ? 2 : 0;
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
  bool began_in_comment = false;  // set by ScanLine: this line started inside a
                                  // block comment opened on an earlier line
  bool ended_in_literal = false;  // set by ScanLine: a literal was still open at the
                                  // end of this line (it may end there, unterminated)
  bool plain = false;             // set by ScanLine: no comment, directive sign or
                                  // code brace was marked on this line
};

// Values of ScanState::long_literal.
inline constexpr int kRawString = 1;  // R"delim( ... )delim" and its prefixed forms
inline constexpr int kTextBlock = 2;  // """ ... """

// Cleans `raw` (one line without its line feed) into `text` and `map`:
// tabs expanded to `tab_width` stops (kept inside literals, inside comments
// after their first printable character, and after "@(#)"), control
// characters and 127 removed outside literals, 128..159 in code only (bytes
// of valid UTF-8 sequences are kept), trailing white space cut except where it belongs to a
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

// Makes a recycled item like a new one. Items that hold buffers keep their
// capacity through a ClearKeepingCapacity() member; others are assigned anew.
template <typename T>
void ResetForReuse(T* item) {
  if constexpr (requires { item->ClearKeepingCapacity(); }) {
    item->ClearKeepingCapacity();
  } else {
    *item = T();
  }
}

// A first-in first-out queue of owned items (pieces of a line, or formatted
// lines). Item(n) counts from the oldest, 1-based, and is null out of range.
//
// Items removed from the queue go back to a pool and are handed out again by
// Acquire, so that a queue that runs for a whole file allocates only while it
// grows to its largest size. Pointers to items stay valid while the items are
// in the queue; an item removed may come back as another.
template <typename T>
class PieceQueue {
 public:
  PieceQueue() = default;
  PieceQueue(const PieceQueue&) = delete;
  PieceQueue& operator=(const PieceQueue&) = delete;

  void Append(T item) { AppendAcquired(Own(std::move(item))); }
  void RemoveOldest() { Release(Detach(1)); }
  int Count() const { return static_cast<int>(items_.size() - head_); }
  T* Item(int n) { return n >= 1 && n <= Count() ? items_[head_ + static_cast<size_t>(n) - 1] : nullptr; }
  void Clear() {
    while (!Empty()) RemoveOldest();
  }
  // Inserts before item n (1-based); n = Count() + 1 appends.
  void InsertBefore(int n, T item) { InsertAcquiredBefore(n, Own(std::move(item))); }
  void Remove(int n) { Release(Detach(n)); }
  bool Empty() const { return Count() == 0; }

  // An item as new (ResetForReuse), owned by the queue but not in it yet.
  // REQUIRES: it is later appended, inserted or released, once.
  T* Acquire() {
    if (free_.empty()) {
      all_.push_back(std::make_unique<T>());
      return all_.back().get();
    }
    T* item = free_.back();
    free_.pop_back();
    ResetForReuse(item);
    return item;
  }
  // REQUIRES: `item` came from Acquire or Detach of this queue.
  void AppendAcquired(T* item) { items_.push_back(item); }
  void InsertAcquiredBefore(int n, T* item) {
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(head_ + static_cast<size_t>(n) - 1), item);
  }
  // Takes item n out of the queue without giving it up.
  T* Detach(int n) {
    T* item = items_[head_ + static_cast<size_t>(n) - 1];
    if (n == 1) {
      ++head_;
      // The consumed front is dropped once it outweighs what is held.
      if (head_ >= 64 && head_ * 2 >= items_.size()) {
        items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
      }
    } else {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(head_ + static_cast<size_t>(n) - 1));
    }
    return item;
  }
  // Gives an acquired or detached item back to the pool.
  void Release(T* item) { free_.push_back(item); }

 private:
  T* Own(T item) {
    T* slot = Acquire();
    *slot = std::move(item);
    return slot;
  }

  std::vector<T*> items_;  // the queue from items_[head_] on
  size_t head_ = 0;
  std::vector<T*> free_;   // pooled items not in the queue
  std::vector<std::unique_ptr<T>> all_;
};

// The pieces of one line, in order. Clear keeps the pieces' buffers for the
// next line, so cutting line after line allocates only for longer lines.
class PieceList {
 public:
  // A new piece at the end (kind blank line, offset 0, no text).
  SourcePiece& Add() {
    if (size_ == pieces_.size()) pieces_.emplace_back();
    SourcePiece& p = pieces_[size_++];
    p.kind = PieceKind::kBlankLine;
    p.offset = 0;
    p.has_code_after = 0;
    p.text.clear();
    p.map.clear();
    return p;
  }
  void clear() { size_ = 0; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  SourcePiece& operator[](size_t i) { return pieces_[i]; }
  const SourcePiece& operator[](size_t i) const { return pieces_[i]; }
  SourcePiece& front() { return pieces_[0]; }
  SourcePiece& back() { return pieces_[size_ - 1]; }
  SourcePiece* begin() { return pieces_.data(); }
  SourcePiece* end() { return pieces_.data() + size_; }
  const SourcePiece* begin() const { return pieces_.data(); }
  const SourcePiece* end() const { return pieces_.data() + size_; }

 private:
  std::vector<SourcePiece> pieces_;
  size_t size_ = 0;
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
//
// `known_plain` (ScanState::plain of the scan that made the line) skips the
// search for comments, directives and braces when there are none.
// `began_in_comment` (ScanState::began_in_comment) says the line's first
// comment characters end a comment opened earlier, even where they read "/*".
// `ends_in_literal` (ScanState::ended_in_literal): a literal goes on past the
// line, so complete comments stay in the code rather than follow it into the
// literal.
void DecomposeLine(const std::string& text, const CharStateMap& map, bool ends_with_backslash,
                   bool previous_ended_with_backslash, PieceList* pieces,
                   bool comments_kept = true, bool known_plain = false, bool began_in_comment = false,
                   bool ends_in_literal = false);

inline bool EndsWithBackslash(std::string_view s) { return !s.empty() && s.back() == '\\'; }

// True when `line` ends with a backslash, perhaps with blanks after it: a
// compiler splices the next line on there too.
inline bool EndsWithSplice(std::string_view line) {
  const size_t last = line.find_last_not_of(" \t\f\v");
  return last != std::string_view::npos && line[last] == '\\';
}

}  // namespace folios

// The text operations on one listed line: RTF escapes, noise-character
// removal, the tests the Visual Basic filters use, and the comment and
// keyword pass that styles a line.
//
// Positions are byte positions. The writer replaces every character that is
// not plain ASCII, and every control character but tab and form feed, with
// one placeholder byte (kCharacterPlaceholder) before any of these run, so a
// position is also a character count, a multi-byte character can never be
// cut or matched in part, and a control character reaches the document
// only as an escape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keyword_file.h"

namespace folios {

// Stands for one non-ASCII character (or a stray byte) or one control
// character of the source line.
inline constexpr char kCharacterPlaceholder = '\x01';

// Puts a backslash before every backslash, "{" and "}".
void EscapeRtf(std::string* text);

// True when `pos` lies strictly inside a pair of double quotes, the quotes of
// the line taken in pairs from the left.
bool IsInString(std::string_view line, size_t pos);

// Removes runs of the noise character `c` from `line`, searching from
// `start`: a run of two or more disappears (a run of blanks shrinks to one),
// "/**/" survives, "/**" and "**/" become "/*" and "*/", and runs inside a
// quoted string stay. When a run was removed, trailing white space goes too,
// and with it a "//" the decoration has left empty at the end. Returns false
// when the line became empty that way (the line is to be left out). A line
// without a run of `c` is left exactly as it is.
bool RemoveNoise(std::string* line, char c, size_t start = 0);

// The first "//" at or after `start` that is not inside a quoted string, else
// the first "'" found the same way; npos when neither.
size_t FindLineComment(std::string_view line, size_t start);

// The first occurrence of a marker at or after a start position that only
// grows, not inside a quoted string (as IsInString judges). The line is read
// once over all calls, so finding the marks of every segment of a cut line
// costs time linear in the line.
class MarkerCursor {
 public:
  // Starts over on `line` (which must stay alive and unchanged while the
  // cursor is used). REQUIRES: `marker` is not empty and holds no '"'.
  void Reset(std::string_view line, std::string_view marker);
  // The first unquoted occurrence at or after `from`, or npos.
  // REQUIRES: `from` is not below the `from` of the previous call.
  size_t Find(size_t from);

 private:
  std::string_view line_;
  std::string_view marker_;
  size_t last_quote_ = std::string_view::npos;  // the line's last '"', once needed
  bool last_quote_known_ = false;
  size_t scan_ = 0;      // positions before this one have been read
  size_t quotes_ = 0;    // double quotes before scan_
  size_t found_ = 0;     // the last answer, when answered
  bool answered_ = false;
};

// True when "Sub ", "Function " or "Property " starts below position 10 and
// is not preceded (within eight places) by "Declare".
bool IsProcedureStart(std::string_view line);

// A line as the comment and keyword pass sees it.
struct StyleInput {
  std::string_view text;   // number prefix + line text (+ continuation mark)
  size_t number_end = 0;   // length of the number prefix with its blank; 0 without
  size_t mark_start = std::string_view::npos;  // where the continuation mark starts, if any
};

// The comment state carried from line to line and within one line.
struct CommentState {
  bool in_block = false;            // inside a /* ... */ opened on an earlier line
  bool line_comment_seen = false;   // this source line holds a line comment
  // Where a cut line's segment ended: inside a string ('"') or character
  // literal ('\''), or 0. Cleared at the end of every source line.
  char open_quote = 0;
  bool escape_pending = false;      // ... right after a backslash inside it
};

// What the styler inserts into a line to mark its runs. Runs never nest:
// each opener is followed by one closer.
struct RunMarkup {
  // Per keyword table entry, what opens its run; entry 0 opens a line
  // comment run.
  std::vector<std::string> openers;
  // What opens a block comment run; the second form stands before text.
  std::string block_openers[2];
  // What closes a run. It ends in "{": a keyword right after a run is
  // judged by that character, whatever the document type, so that every
  // type styles the same words.
  std::string closer;
};

// The runs of an RTF listing: "}{" + format + " " opens, "}{" closes. The
// format of entry k is built from its styles and colours ("\b\cf9\highlight8"),
// with `comment_format` in front for entry 0.
RunMarkup RtfRunMarkup(const KeywordTable& table, const std::string& comment_format);

// Styles lines of one language: comments as comment runs, keywords as
// keyword runs. Comments are found by reading the line from the left, so a
// comment marker inside any string (or, in C, C++ and Java, any character
// literal) starts nothing. Keyword text inside the first string, inside
// comments, after a line comment's start, inside the header name of an
// #include, inside the line number or inside a continuation mark is never
// styled.
class LineStyler {
 public:
  // `table` entry 0 is the comment marker; `comment_format` is the comment
  // prefix of the document frame. REQUIRES: table.entries is not empty.
  LineStyler(const KeywordTable& table, std::string comment_format);
  // The same with the runs of another document type. REQUIRES: markup has
  // an opener for every table entry.
  LineStyler(const KeywordTable& table, RunMarkup markup);
  // The word index refers to the styler's own keyword texts.
  LineStyler(const LineStyler&) = delete;
  LineStyler& operator=(const LineStyler&) = delete;

  // Appends the styled line to `out`, without the blanks the pass works with
  // and without trailing white space.
  void Style(const StyleInput& input, CommentState* state, std::string* out);

  // What opens the run of table entry k.
  const std::string& RunOpener(size_t k) const { return run_openers_[k]; }

  // True when every keyword is a word of letters, digits and "_" of two or
  // more characters with numeric colours: then keywords are found in one
  // scan of the line. Otherwise each keyword is searched in turn.
  bool uses_word_scan() const { return word_scan_; }

  // Frees the scratch space kept between lines (after a line too long for
  // memory).
  void ReleaseScratch();

  // The keyword pass searching one keyword after another through the line,
  // as the other pass must match. For tests and unusual keyword tables.
  void StyleBySearch(const StyleInput& input, CommentState* state, std::string* out);

 private:
  struct Span {
    size_t begin, end;  // [begin, end) of text where keywords are never styled
  };
  // An insertion the comment pass makes into the line.
  struct Insert {
    size_t pos;             // before this character of the line
    int order;              // at one position: 0 ends of earlier runs, 1 starts, 2 ends of empty runs
    std::string_view text;  // one of the texts the styler keeps
    int region;             // index of the comment region this insertion starts, or -1
  };
  // One line as the comment pass reads it.
  struct CommentScan {
    std::string_view t;
    size_t number_end;  // the line number ends here
    size_t mark_start;  // the continuation mark starts here (t.size(): none)
    size_t source_end;  // the source text ends here
    bool continues;     // the line goes on in the next segment
    char quote;         // the open string or character literal, or 0
    bool escape;        // a backslash in it escapes the next character
    size_t string_begin, string_end;  // the first string's text
  };
  void CommentPass(const StyleInput& input, CommentState* state);
  bool StylePlainLine(const CommentScan& scan, const Span* header);
  void AddRegion(size_t begin, size_t end, std::string_view opener);
  std::string_view BlockOpener(std::string_view t, size_t pos) const;
  void LexComments(CommentScan* scan, size_t from, bool record, CommentState* state);
  void ContinueBlockComment(CommentScan* scan, CommentState* state);
  void BuildCommentedLine(const CommentScan& scan);
  void KeywordsByScan(std::string* out);
  void KeywordsBySearch(std::string* out);

  std::vector<std::string> keywords_;
  std::vector<std::string> run_openers_;
  std::string closer_;
  std::string marker_;
  bool c_like_ = true;  // "'" opens character literals (not a Visual Basic table)
  // The bytes the comment pass stops at in code, in a string and in a
  // character literal.
  bool code_stops_[256] = {};
  bool string_stops_[256] = {};
  bool char_stops_[256] = {};
  bool marker_after_slash_ = false;  // the marker starts with "/"
  // Word scan: keyword index by text, the lowest index for repeated words,
  // in an open-addressed table (a free slot has length 0); for each first
  // byte, a bit per keyword length that occurs.
  struct WordSlot {
    const char* text = nullptr;
    uint32_t length = 0;
    uint32_t index = 0;
  };
  static size_t WordHash(std::string_view word);
  // The index of `word` (two or more bytes), or 0.
  size_t FindWord(std::string_view word) const;
  std::vector<WordSlot> word_slots_;
  size_t word_slot_mask_ = 0;
  uint64_t lengths_by_first_byte_[256] = {};
  bool word_scan_ = false;

  // A block comment run's opener: [blank before it][blank after it].
  std::string block_openers_[2][2];

  // Per line: the text after the comment pass (in commented_ or, when the
  // pass changed nothing, the input itself) and where keywords are not styled.
  std::string commented_;
  std::string_view line_;
  std::vector<Span> rejected_;
  bool skip_keywords_ = false;
  // Scratch space of the comment pass, kept to avoid allocations per line.
  std::vector<Insert> inserts_;
  std::vector<Span> regions_;
  std::vector<size_t> region_begin_;
  std::vector<std::pair<size_t, size_t>> shifts_;
};

}  // namespace folios

// The formatted lines the engine holds back, and the stage that changes them
// one last time (hanging indentation, brace join, function spacing, blank
// lines) and writes them as they leave the queue.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "beautifier_options.h"
#include "layout_choices.h"
#include "line_scan.h"

namespace folios {

// What is known of one line of output besides its texts.
struct OutputLineFacts {
  int kind = 0;               // PieceKind of the piece it came from
  int offset = 0;             // column of that piece in the line as read
  int indent = 0;             // columns of leading white space
  int continuation = 0;       // extra indentation steps for an unfinished statement
  bool else_if = false;       // an "if" right after a bare "else"
  bool has_code = false;
  bool kept_whole = false;    // a line written as it stood (with its comments): nothing
                              // is joined to it
  bool frozen = false;        // the code begins inside a literal continued from above,
                              // or continues a token split by a backslash-newline:
                              // its leading white space is part of a token, so it is
                              // written at column 0 and its indentation never changes
  bool literal_open = false;  // a literal or a comment is still open at the end of the
                              // code: nothing may be appended to this line
  bool directive_body = false;  // continues a preprocessor directive: no statement
                                // tracking
  bool after_splice = false;  // the line before ended with a backslash: a brace joined
                              // here would be cut off again, with a backslash of its own
  bool has_brace = false;
  int gap = 0;                // columns between code/brace and comment
  bool has_comment = false;
  bool comment_pinned = false;  // the comment may not move to a line before the code:
                                // it is an unclosed block comment, ends with a
                                // backslash, or sits in a continued line
  bool no_join = false;       // this brace may not be joined to the line before it
  bool opens_comment = false; // the comment is a block comment left open at the end of
                              // a code line; its continuation lines follow it
  int comment_column = 0;     // with opens_comment: the comment's column as read
  int comment_in_code = -1;   // with opens_comment: where the comment starts in the code
                              // text, when a continued line kept it there
  bool shift_tail = false;    // continues the block comment of an opens_comment line:
                              // written at its column as read (tail_blanks) moved by
                              // as much as the opening line's comment moved
  int tail_blanks = 0;
  bool comment_kept = false;  // the comment stays after the code or brace of this line:
                              // at COMMENTS_WITH_CODE, or kept_gap columns after the code
  int kept_gap = 1;           // with comment_kept: the blanks before the comment as read
  int code_indent = -1;       // a whole comment alone on its line: the indent code would
                              // get there (for one between a statement head and its body)
  bool alone_comment = false; // a comment (or a block comment's first line) alone on its
                              // line, placed at COMMENTS_WITH_NOCODE in the classic layout
  bool alone_tail = false;    // continues the block comment of an alone_comment line
  int stmt_indent = -1;       // with alone_comment: the indent of a statement at its place
  // For the layout choices beyond the classic layout.
  bool closes_do = false;     // the closing brace of a do loop's body
  bool function_body = false; // the opening brace of a function body
  bool goto_label = false;    // starts with a statement label (C, C++)
  bool access_label = false;  // an access label whose members keep their indentation
  bool in_paren = false;      // begins inside an open parenthesis
  int outdent = 0;            // columns taken off when written (case labels at their switch)
  unsigned shift_serial = 0;  // the newest block shift that has seen this line; 0: none yet
};

// One line of output. A line with neither code, brace nor comment is empty.
struct OutputLine : OutputLineFacts {
  std::string code;           // code or directive text
  CharStateMap code_map;      // empty after a brace join
  std::string brace;          // the text of a brace piece
  CharStateMap brace_map;
  std::string comment;

  bool Empty() const { return !has_code && !has_brace && !has_comment; }

  // Makes the line as new, keeping the capacity of its texts for reuse.
  void ClearKeepingCapacity() {
    static_cast<OutputLineFacts&>(*this) = OutputLineFacts();
    code.clear();
    code_map.clear();
    brace.clear();
    brace_map.clear();
    comment.clear();
  }
};

// The keyword kind of `text` by the HangKeywords table (1 if/while/for/else,
// 2 case/default/public/protected/private, 3 do/switch), 0 when it starts
// with none. A keyword matches when the next character is not a letter,
// digit, '_' or '$'. `length` (may be null) receives the keyword length.
int HangKeywordKind(std::string_view text, size_t* length = nullptr);

// True when the text starts with the keyword `word`, as HangKeywordKind matches.
bool StartsWithKeyword(std::string_view text, std::string_view word);

// True when `code` (with its map) is a bare else: it starts with the keyword
// "else" and holds no code semicolon at parenthesis depth 0.
bool IsBareElse(const std::string& code, const CharStateMap& map);

// Bounds that keep hostile input linear: indentation beyond kMaxIndentColumns
// is written at that column; the HangStack keeps its newest kMaxHangDepth
// entries; the brace join and the block shift look at most kStageWindow lines
// into the queue (a queue holds more only while one very long line is cut).
inline constexpr int kMaxIndentColumns = 400;
inline constexpr size_t kMaxHangDepth = 64;
inline constexpr int kStageWindow = 128;

struct HangEntry {
  int kind = 0;    // 0 inert, 1 single statement, 2 label region, 3 loop or switch body
  int base = 0;    // base indent
  int extra = 0;   // extra indent
  bool in_macro = false;  // opened by a line of a macro's body
};

// Tabs and spaces from column `start` over `width` columns.
std::string MakeWhitespace(bool tabs, int start, int width, int tab_width);
// The same, appended to `out`.
void AppendWhitespace(std::string* out, bool tabs, int start, int width, int tab_width);

// Writes and changes the held lines. Owned by one engine run.
class OutputStage {
 public:
  OutputStage(const BeautifierOptions& options, std::ostream& out) : o_(options), out_(out) {}

  // Writes and removes lines while the queue holds more than `limit`.
  void Run(PieceQueue<OutputLine>* queue, int limit);

  // Writes bytes that come before the first line (a byte-order mark).
  void WriteMark(std::string_view mark) {
    buffer_.assign(mark);
    emitted_ = true;
    Emit();
  }

  // Writes a line exactly as it stands (the queue must be empty).
  void WriteUnchanged(std::string_view line);

  // Ends the text: the last line gets its line feed unless
  // `final_line_feed` is false (a literal left open at the end of a file
  // without one must not gain a character).
  void Finish(bool final_line_feed);

  // True when the last line written ends with a backslash, blanks after it
  // or not.
  bool LastLineContinued() const { return last_continued_; }

  // Entries on the HangStack (for tests).
  int hang_depth() const { return static_cast<int>(stack_.size()); }

 private:
  void HangStep(PieceQueue<OutputLine>* q);
  void ApplyStack(PieceQueue<OutputLine>* q, bool outer);
  void Push(const HangEntry& e);
  void RemoveHead(PieceQueue<OutputLine>* q);
  // A block shift still waiting for the rest of its block.
  struct PendingShift {
    int c = 0;          // the block's indent before the shift
    int d = 0;          // how far it moves
    int target = 0;
    bool in_else = false;        // its closing brace is met; a bare else follows
    bool awaiting_else = false;  // its closing brace is the newest line held
    unsigned serial = 0;
    bool done = false;
  };
  void ShiftBlock(PieceQueue<OutputLine>* q, int b, int target);
  void PlaceCommentBeforeBody(PieceQueue<OutputLine>* q, OutputLine* p, const std::vector<HangEntry>& below);
  // With COMMENTS_AT_CODE_INDENT: false while the head is a comment alone on
  // its line whose next code line is not held yet.
  bool AwaitsCodeAfterComment(PieceQueue<OutputLine>* q) const;
  // With COMMENTS_AT_CODE_INDENT: the column of the head, a comment alone on
  // its line: where the next code line will be written, or a statement at
  // the comment's place when a brace, a directive or nothing follows.
  int AloneCommentColumn(PieceQueue<OutputLine>* q) const;
  void WalkShift(PendingShift* shift, OutputLine* l, const OutputLine* next);
  void ContinueShifts(PieceQueue<OutputLine>* q);
  void BraceJoin(PieceQueue<OutputLine>* q);
  void Write(OutputLine& line);
  // The column a line is written at, with the layout choices applied to the
  // classic column `i`.
  int ChosenColumn(const OutputLine& line, int i) const;
  bool Cuddles(const OutputLine& brace, const OutputLine* next) const;
  void Emit();  // buffer_ to the stream

  const BeautifierOptions& o_;
  std::ostream& out_;
  std::vector<HangEntry> stack_;  // HangStack: back() is the top
  std::vector<PendingShift> shifts_;
  unsigned shift_serial_ = 0;
  std::vector<HangEntry> saved_stack_;  // the stack before the head line's hang step
  bool comment_moved_ = false;    // the step moved the head line's comment out
  int spacing_state_ = 0;
  int pending_blank_ = 0;
  bool last_continued_ = false;  // the last written line ended with a backslash
  int tail_shift_ = 0;           // how far the open block comment's first line moved
  bool tail_alone_ = false;      // that first line stands alone on its line
  bool tail_stars_ = true;       // every line of its rest so far began with '*'
  int tail_start_ = 0;           // with tail_alone_: the column that first line was written at
  int alone_lift_ = 0;           // how far the last alone comment moved from COMMENTS_WITH_NOCODE
  int clean_prefix_ = 0;         // held lines, from the oldest, known to hold no brace
                                 // that could still be joined
  std::string buffer_;
  // Each line's line feed is written in front of the next line, so that the
  // last one can be left out.
  bool line_feed_owed_ = false;
  bool emitted_ = false;  // a byte has been written
  // The line to follow the closing brace just written on the same line
  // ("} else {"), and the column after that brace.
  const OutputLine* cuddle_with_ = nullptr;
  int cuddle_column_ = 0;
  ParenColumns paren_columns_;
};

}  // namespace folios

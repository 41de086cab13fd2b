// Layout choices beyond the classic layout: what a brace opens, statement
// labels, cuddled keywords after a closing brace, and the columns under open
// parentheses that continuation lines may be aligned to.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "line_scan.h"

namespace folios {

struct OutputLine;

// What the body of a brace is, known from the code before it.
enum class BraceBody : uint8_t { kPlain, kNamespace, kSwitch, kDo };

// The body an opening brace after `code` begins: "namespace N" and
// "inline namespace N" a namespace, "switch (...)" a switch, a bare "do" a
// do loop; anything else a plain block.
BraceBody BodyOpenedBy(std::string_view code);

// The bodies of the open braces, innermost last. Bounded: beyond
// kMaxBodies nesting, the deeper braces count as plain blocks.
class BraceBodies {
 public:
  void Open(BraceBody body);
  // The body the brace closes (plain when none is open).
  BraceBody Close();
  bool Empty() const { return bodies_.empty() && overflow_ == 0; }
  // True when every open brace is a namespace's (or none is open): a
  // function defined here is a free function.
  bool OnlyNamespaces() const;

 private:
  static constexpr size_t kMaxBodies = 4096;
  std::vector<BraceBody> bodies_;
  int overflow_ = 0;
};

// True when `code` ends as the head of a function definition does: with
// ")", or with "const", "noexcept", "override" or "final" after it.
bool EndsLikeFunctionHead(std::string_view code, const CharStateMap& map);

// True when `code` starts with a statement label ("fail:", "out: x = 0;"):
// a name, blanks, then one colon that is not part of "::". Case and access
// labels, and the section names of some class extensions ("signals:",
// "slots:"), are not statement labels.
bool StartsWithStatementLabel(std::string_view code, const CharStateMap& map);

// True when `code` starts with one of the keywords a cuddled line puts after
// a closing brace: else, catch, finally, and while when `closes_do`.
bool CuddlesAfterBrace(std::string_view code, bool closes_do);

// The blanks between the code and a comment kept on its line: enough to
// reach `column` (the comment-with-code column) from `code_end`, and never
// fewer than the `read` blanks before it in the source, nor than one.
int KeptCommentGap(int column, int code_end, int read);

// The blanks in front of `offset` in a scanned line.
int BlanksBefore(std::string_view text, size_t offset);

// True when a line inside a block comment, its leading blanks removed
// (`text`), keeps the column of the comment's opening "/*" rather than
// moving one right to stand under its star: a "**" line that stood no
// further right than the opening, or (`after_double`) any star line so
// placed right after one.
bool StarLineKeepsColumn(std::string_view text, int blanks, int opener_column, bool after_double);

// Columns of the open parentheses in the lines written, for aligning the
// lines that continue inside them. A column is that of the first character
// after the parenthesis on its line, or kAtLineEnd when nothing follows it.
class ParenColumns {
 public:
  static constexpr int kAtLineEnd = -1;

  // Notes the parentheses of a code line written at column `column`.
  // `in_paren`: the line began inside a parenthesis; when it did not, the
  // columns of earlier lines are forgotten.
  void Note(std::string_view code, const CharStateMap& map, int column, bool in_paren);

  // The column of the innermost open parenthesis, or kAtLineEnd.
  int Innermost() const { return columns_.empty() ? kAtLineEnd : columns_.back(); }

 private:
  static constexpr size_t kMaxOpen = 256;
  std::vector<int> columns_;
  size_t overflow_ = 0;
};

}  // namespace folios

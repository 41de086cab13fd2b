// The output stage: the last changes to a held line and its writing.
#include "output_stage.h"

#include <algorithm>
#include <cstring>

namespace folios {

namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

bool OpensBlock(const OutputLine& p) {
  return (p.has_brace && !p.brace.empty() && p.brace[0] == '{') ||
         (p.has_code && !p.code.empty() && p.code.back() == '{');
}

bool BraceStarts(const OutputLine& p, char c) {
  return p.has_brace && !p.brace.empty() && p.brace[0] == c;
}


// What follows the closing brace that begins a brace line ("else" in
// "} else"), without the blanks around it; empty for any other line.
std::string_view TextAfterClosingBrace(const OutputLine& p) {
  if (!BraceStarts(p, '}')) return {};
  std::string_view rest = std::string_view(p.brace).substr(1);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
  return rest;
}

// A brace after a finished statement opens a block of its own, or the body
// of a function whose parameters are declared before it: it is not joined to
// that statement.
bool EndsStatement(const OutputLine& p) {
  return p.has_code && !p.code.empty() && p.code.back() == ';' &&
         (p.code_map.size() != p.code.size() || p.code_map.back() == mark::kCode);
}

}  // namespace

bool StartsWithKeyword(std::string_view text, std::string_view word) {
  return text.size() >= word.size() && !word.empty() && text[0] == word[0] &&
         text.compare(0, word.size(), word) == 0 && (text.size() == word.size() || !IsWordChar(text[word.size()]));
}

int HangKeywordKind(std::string_view text, size_t* length) {
  // The words: if, while, for, else (1); case, default, public, protected,
  // private (2); do, switch (3). "while" is of kind 1 only: it closes a do
  // body as it opens a loop. Most words start with another letter or have
  // another length, so they are turned away before any comparison.
  if (text.size() < 2) return 0;
  const char first = text[0];
  switch (first) {
    case 'i': case 'd': case 'f': case 'e': case 'c': case 'w': case 'p': case 's':
      break;
    default:
      return 0;
  }
  size_t word = 1;
  while (word < text.size() && word < 10 && IsWordChar(text[word])) ++word;
  const char* t = text.data();
  int kind = 0;
  switch (word) {
    case 2: kind = first == 'i' && t[1] == 'f' ? 1 : first == 'd' && t[1] == 'o' ? 3 : 0; break;
    case 3: kind = std::memcmp(t, "for", 3) == 0 ? 1 : 0; break;
    case 4: kind = std::memcmp(t, "else", 4) == 0 ? 1 : std::memcmp(t, "case", 4) == 0 ? 2 : 0; break;
    case 5: kind = std::memcmp(t, "while", 5) == 0 ? 1 : 0; break;
    case 6: kind = std::memcmp(t, "public", 6) == 0 ? 2 : std::memcmp(t, "switch", 6) == 0 ? 3 : 0; break;
    case 7: kind = std::memcmp(t, "default", 7) == 0 || std::memcmp(t, "private", 7) == 0 ? 2 : 0; break;
    case 9: kind = std::memcmp(t, "protected", 9) == 0 ? 2 : 0; break;
    default: break;
  }
  if (kind != 0 && length) *length = word;
  return kind;
}

bool IsBareElse(const std::string& code, const CharStateMap& map) {
  if (!StartsWithKeyword(code, "else")) return false;
  int depth = 0;
  for (size_t i = 0; i < code.size(); ++i) {
    if (i < map.size() && map[i] != mark::kCode) continue;
    char c = code[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ';' && depth == 0) return false;
  }
  return true;
}

void AppendWhitespace(std::string* out, bool tabs, int start, int width, int tab_width) {
  if (width <= 0) return;
  if (!tabs || tab_width <= 0) {
    // Most indentation is short: copied from a row of blanks.
    static constexpr char kBlanks[] = "                                                                ";
    if (static_cast<size_t>(width) < sizeof kBlanks) {
      out->append(kBlanks, static_cast<size_t>(width));
    } else {
      out->append(static_cast<size_t>(width), ' ');
    }
    return;
  }
  int count = (start + width) / tab_width - start / tab_width;
  if (count <= 0) {
    out->append(static_cast<size_t>(width), ' ');
    return;
  }
  out->append(static_cast<size_t>(count), '\t');
  out->append(static_cast<size_t>((start + width) % tab_width), ' ');
}

std::string MakeWhitespace(bool tabs, int start, int width, int tab_width) {
  std::string s;
  AppendWhitespace(&s, tabs, start, width, tab_width);
  return s;
}

void OutputStage::Run(PieceQueue<OutputLine>* q, int limit) {
  ContinueShifts(q);
  while (q->Count() > limit) {
    if (limit > 0 && AwaitsCodeAfterComment(q)) break;
    OutputLine* head = q->Item(1);
    bool closing_seen = false;
    if (spacing_state_ == 0) {
      if (head->indent <= 0 && head->has_brace && head->brace == "}") spacing_state_ = 1;
      closing_seen = spacing_state_ == 1;
    } else if (last_continued_) {
      // The brace's line goes on over the next one (a backslash ends it):
      // no empty line may come between them, nor one there go.
      spacing_state_ = 0;
    } else {
      if (spacing_state_ == 1) {
        pending_blank_ = o_.FUNCTION_SPACING;
        spacing_state_ = 2;
      }
      if (head->Empty()) {
        RemoveHead(q);
        continue;
      }
      spacing_state_ = 0;
    }
    HangStep(q);
    // A comment the hang step moved out of the closing brace goes first; the
    // brace comes round again and starts the spacing after itself then, as
    // the next run, finding the comment on a line of its own, will.
    if (closing_seen && q->Item(1) != head) spacing_state_ = 0;
    if (o_.PLACE_BRACE_ON_NEW_LINE == 0) BraceJoin(q);
    OutputLine* line = q->Item(1);
    if (o_.COMMENTS_AT_CODE_INDENT != 0 && !line->has_code && !line->has_brace && line->has_comment) {
      if (line->alone_comment) {
        const int column = AloneCommentColumn(q);
        alone_lift_ = column - line->indent;
        line->indent = column;
        line->continuation = 0;
      } else if (line->alone_tail) {
        line->indent = std::clamp(line->indent + alone_lift_, 0, kMaxIndentColumns);
      } else {
        alone_lift_ = 0;
      }
    } else if (!line->Empty()) {
      // An empty line inside a block comment leaves its lift to the lines after it.
      alone_lift_ = 0;
    }
    if (line->Empty()) {
      pending_blank_ = 1;
      cuddle_with_ = nullptr;
    } else {
      Write(*line);
      if (Cuddles(*line, q->Item(2))) cuddle_with_ = q->Item(2);
    }
    RemoveHead(q);
  }
}

void OutputStage::RemoveHead(PieceQueue<OutputLine>* q) {
  q->RemoveOldest();
  if (clean_prefix_ > 0) --clean_prefix_;
}

void OutputStage::Push(const HangEntry& e) {
  // Only indentation depends on entries this deep; dropping the oldest keeps
  // the stack and the recursion over it bounded.
  if (stack_.size() >= kMaxHangDepth) stack_.erase(stack_.begin());
  stack_.push_back(e);
}

void OutputStage::HangStep(PieceQueue<OutputLine>* q) {
  const int is = o_.INDENT_SPACING;
  // A statement a macro's body leaves open ends with the macro: its hang
  // must not indent the code after it.
  if (!q->Item(1)->directive_body) {
    while (!stack_.empty() && stack_.back().in_macro) stack_.pop_back();
  }
  // A comment that the stack pushes out of the head line goes to a line
  // of its own before it, and the head line then comes round again as the
  // next run will see it: without its comment, under the stack as it was.
  saved_stack_.assign(stack_.begin(), stack_.end());
  const int saved_indent = q->Item(1)->indent;
  comment_moved_ = false;
  if (!stack_.empty() && stack_.back().kind == 1 && OpensBlock(*q->Item(1))) stack_.pop_back();
  if (!stack_.empty()) ApplyStack(q, true);
  if (comment_moved_) {
    stack_.assign(saved_stack_.begin(), saved_stack_.end());
    q->Item(2)->indent = saved_indent;
    // The comment is written next, as the next run, finding it alone before
    // the line, would place it.
    if (!stack_.empty() && stack_.back().kind == 1) {
      const HangEntry e = stack_.back();
      stack_.pop_back();
      PlaceCommentBeforeBody(q, q->Item(1), stack_);
      stack_.push_back(e);
    }
    return;
  }
  if (q->Count() < 2) return;
  // A comment moved out of the head line now stands first; the head line
  // itself comes round again.
  OutputLine* p = q->Item(1);
  if (p->else_if) {
    p->indent -= is;
    return;
  }
  if (!p->has_code || p->code.empty()) {
    // "} else" ends one block and begins a statement on the same line: the
    // statement after it hangs as it does after an "else" of its own.
    std::string_view rest = TextAfterClosingBrace(*p);
    if (HangKeywordKind(rest) == 1 && rest.back() != ';' && rest.back() != '{' && rest.back() != '}' &&
        !BraceStarts(*q->Item(2), '{')) {
      HangEntry e;
      e.kind = 1;
      e.in_macro = p->directive_body;
      e.extra = is;
      Push(e);
    }
    return;
  }
  size_t len = 0;
  int kind = HangKeywordKind(p->code, &len);
  bool counts = kind != 0;
  if (kind == 2) {
    size_t i = len;
    while (i < p->code.size() && (p->code[i] == ' ' || p->code[i] == '\t')) ++i;
    counts = i == p->code.size() || p->code[i] == ':' || p->code.back() == ':';
  }
  if (counts && kind == 2 && o_.ACCESS_LABEL_INDENT != 0 && !StartsWithKeyword(p->code, "case") &&
      !StartsWithKeyword(p->code, "default")) {
    // Members keep their indentation; only the label itself is placed.
    p->access_label = true;
    return;
  }
  if (counts) {
    char last = p->code.back();
    if (last != ';' && last != '{' && last != '}' && !BraceStarts(*q->Item(2), '{')) {
      HangEntry e;
      e.kind = kind;
      e.in_macro = p->directive_body;
      if (kind == 1) {
        e.extra = is;
      } else {
        e.base = p->indent - is;
      }
      Push(e);
      return;
    }
  }
  while (!stack_.empty()) {
    if (stack_.back().kind == 2 || p->code.back() != ';') break;
    stack_.pop_back();
  }
}

void OutputStage::ApplyStack(PieceQueue<OutputLine>* q, bool outer) {
  const int is = o_.INDENT_SPACING;
  if (stack_.empty() || q->Item(1)->kind == static_cast<int>(PieceKind::kDirective)) return;
  HangEntry e = stack_.back();
  stack_.pop_back();
  OutputLine* p = q->Item(1);

  if (!(p->has_code || (p->has_brace && e.kind == 2))) {
    if (e.kind == 1) PlaceCommentBeforeBody(q, p, stack_);
    stack_.push_back(e);
    if (p->has_brace) {
      for (HangEntry& entry : stack_) entry = HangEntry{0, entry.base, 0, entry.in_macro};
    }
    return;
  }

  bool exists = true;
  bool grew = false;
  // The indentation of a line that continues a literal is part of the literal.
  const bool frozen = p->frozen;
  if (e.kind == 1) {
    if (!frozen && p->continuation == 0) {
      p->indent += is;
      grew = true;
    }
  } else if (e.kind == 2) {
    if (!frozen) p->indent += static_cast<int>(stack_.size()) * is;
    bool label = p->has_code && HangKeywordKind(p->code) == 2;
    if (!label && BraceStarts(*p, '}') && p->indent == e.base) exists = false;
    if (exists) {
      if (!label || e.base + is < p->indent) {
        stack_.push_back(e);
        if (!frozen) {
          p->indent += is;
          grew = true;
        }
      } else {
        exists = false;
      }
    }
  } else {
    exists = false;  // inert and body entries are used up by the line
  }

  if (p->has_comment) {
    if (!exists) return;
    p->gap -= is;
    if (p->gap < 0) {
      if (p->comment_pinned || p->comment_kept) {
        p->gap = 0;
      } else {
        OutputLine* moved = q->Acquire();
        moved->shift_serial = p->shift_serial;
        moved->kind = p->kind;
        moved->offset = p->offset;
        moved->opens_comment = p->opens_comment;
        moved->comment_column = p->comment_column;
        // Alone on its line, as the next run will find it.
        moved->indent = o_.COMMENTS_WITH_NOCODE;
        moved->has_comment = true;
        moved->alone_comment = true;
        moved->stmt_indent = p->code_indent;
        if (!p->opens_comment && !p->comment.empty() && p->comment[0] == '/') moved->code_indent = p->code_indent;
        moved->comment.swap(p->comment);
        p->comment.clear();
        p->has_comment = false;
        p->gap = 0;
        if (grew) p->indent -= is;
        q->InsertAcquiredBefore(1, moved);
        clean_prefix_ = 0;
        comment_moved_ = true;
        return;
      }
    }
  }

  if (exists && e.kind == 1) {
    if (!stack_.empty()) ApplyStack(q, false);
    if (comment_moved_) return;
    stack_.push_back(e);
    if (outer) {
      size_t n = stack_.size();
      bool two = n >= 2 && stack_[n - 1].kind == 1 && stack_[n - 1].extra != 0 && stack_[n - 2].kind == 1 &&
                 stack_[n - 2].extra != 0;
      OutputLine* head = q->Item(1);
      bool body = head->has_code && HangKeywordKind(head->code) == 3;
      if (two || body) {
        int target = p->indent;
        for (int j = 2; j <= q->Count(); ++j) {
          OutputLine* l = q->Item(j);
          if (BraceStarts(*l, '{')) {
            ShiftBlock(q, j, target);
            break;
          }
          // A closing brace ends the hanging statement ("} else" is a
          // brace line): the block after it is not its body.
          if (l->has_code || BraceStarts(*l, '}')) break;
        }
      }
    }
  }
}

void OutputStage::PlaceCommentBeforeBody(PieceQueue<OutputLine>* q, OutputLine* p,
                                         const std::vector<HangEntry>& below) {
  // A whole comment alone between a statement head ("if (a)") and the
  // statement that is its body stands at the body's column, so that it does
  // not part the two. Only when that body is held: a brace after the comment
  // joins the head, and the comment then stands inside the block already.
  if (!p->has_comment || p->has_code || p->has_brace || p->code_indent < 0 || p->frozen) return;
  const OutputLine* body = nullptr;
  for (int j = 2; j <= q->Count() && j <= kStageWindow; ++j) {
    const OutputLine* l = q->Item(j);
    if (l->Empty() || (l->has_comment && !l->has_code && !l->has_brace)) continue;
    body = l;
    break;
  }
  if (body == nullptr || !body->has_code || body->kind != static_cast<int>(PieceKind::kCode)) return;
  int steps = 0;
  for (size_t k = below.size(); k-- > 0 && below[k].kind == 1;) ++steps;
  p->indent = std::min(p->code_indent + (steps + 1) * o_.INDENT_SPACING, kMaxIndentColumns);
}

namespace {

bool HeldAroundComment(const OutputLine& l) {
  return l.Empty() || (!l.has_code && !l.has_brace && (l.alone_comment || l.alone_tail));
}

}  // namespace

bool OutputStage::AwaitsCodeAfterComment(PieceQueue<OutputLine>* q) const {
  if (o_.COMMENTS_AT_CODE_INDENT == 0) return false;
  const OutputLine* head = q->Item(1);
  if (!head->alone_comment || head->has_code || head->has_brace) return false;
  // A long run of comments is placed without waiting: the lines held stay
  // bounded, and a second run meets the same run of comments.
  for (int j = 2; j <= kStageWindow; ++j) {
    if (j > q->Count()) return true;
    if (!HeldAroundComment(*q->Item(j))) return false;
  }
  return false;
}

int OutputStage::AloneCommentColumn(PieceQueue<OutputLine>* q) const {
  const int is = o_.INDENT_SPACING;
  const OutputLine* head = q->Item(1);
  const OutputLine* next = nullptr;
  for (int j = 2; j <= q->Count() && j <= kStageWindow; ++j) {
    if (!HeldAroundComment(*q->Item(j))) {
      next = q->Item(j);
      break;
    }
  }
  // The hang step the next code line will meet: the comment lines before it
  // leave the stack as it is.
  const OutputLine* code = nullptr;
  if (next != nullptr && next->has_code && next->kind == static_cast<int>(PieceKind::kCode) && !next->frozen &&
      !next->directive_body && !next->kept_whole) {
    code = next;
  }
  int indent = code != nullptr ? code->indent : head->stmt_indent;
  if (indent < 0 || head->directive_body) return head->indent;
  std::vector<HangEntry> stack(stack_.begin(), stack_.end());
  while (!stack.empty() && stack.back().in_macro) stack.pop_back();
  if (next != nullptr && !stack.empty() && stack.back().kind == 1 && OpensBlock(*next)) stack.pop_back();
  const int continuation = code != nullptr ? code->continuation : 0;
  while (!stack.empty()) {
    const HangEntry e = stack.back();
    stack.pop_back();
    if (e.kind == 1) {
      if (continuation == 0) indent += is;
      continue;
    }
    if (e.kind == 2) {
      indent += static_cast<int>(stack.size()) * is;
      const bool label = code != nullptr && HangKeywordKind(code->code) == 2;
      if (!label && code != nullptr && BraceStarts(*code, '}') && indent == e.base) break;
      if (!label || e.base + is < indent) indent += is;
    }
    break;
  }
  if (code == nullptr) return std::clamp(indent - head->outdent, 0, kMaxIndentColumns);
  if (code->else_if) indent -= is;
  return ChosenColumn(*code, std::min(indent + continuation * is, kMaxIndentColumns));
}

void OutputStage::ShiftBlock(PieceQueue<OutputLine>* q, int b, int target) {
  int c = q->Item(b)->indent;
  int d = target - c;
  if (d <= 0) return;
  // The block goes on past the lines held now: the shift stays pending and
  // takes each line that comes later, so how far it reaches does not depend
  // on how many lines happened to be held (a second run, holding others,
  // shifts the same lines).
  if (shifts_.size() >= kMaxHangDepth) shifts_.erase(shifts_.begin());
  shifts_.push_back(PendingShift{c, d, target, false, false, ++shift_serial_});
  PendingShift& shift = shifts_.back();
  for (int j = b; j <= q->Count() && !shift.done; ++j) {
    OutputLine* l = q->Item(j);
    l->shift_serial = shift.serial;
    WalkShift(&shift, l, q->Item(j + 1));
  }
  if (shift.done) shifts_.pop_back();
}

void OutputStage::WalkShift(PendingShift* shift, OutputLine* l, const OutputLine* next) {
  if (shift->awaiting_else) {
    // The line after the block's closing brace: a bare else goes with it.
    shift->awaiting_else = false;
    if (!(l->has_code && IsBareElse(l->code, l->code_map))) {
      shift->done = true;
      return;
    }
    shift->in_else = true;
  }
  if ((!l->has_code && !l->has_brace) || l->kind == static_cast<int>(PieceKind::kDirective) || l->frozen) return;
  if (l->indent < shift->c) {
    shift->done = true;
    return;
  }
  l->indent += shift->d;
  if (BraceStarts(*l, '}') && l->indent == shift->target) {
    if (shift->in_else) {
      shift->done = true;
    } else if (next == nullptr) {
      shift->awaiting_else = true;
    } else if (next->has_code && IsBareElse(next->code, next->code_map)) {
      shift->in_else = true;
    } else {
      shift->done = true;
    }
  }
}

void OutputStage::ContinueShifts(PieceQueue<OutputLine>* q) {
  if (shifts_.empty()) return;
  // Lines that came since the last run are the ones no shift has seen.
  int first = q->Count() + 1;
  while (first > 1 && q->Item(first - 1)->shift_serial == 0) --first;
  for (int j = first; j <= q->Count(); ++j) {
    OutputLine* l = q->Item(j);
    for (PendingShift& shift : shifts_) {
      if (!shift.done) WalkShift(&shift, l, q->Item(j + 1));
    }
    l->shift_serial = shift_serial_;
    std::erase_if(shifts_, [](const PendingShift& shift) { return shift.done; });
  }
}

void OutputStage::BraceJoin(PieceQueue<OutputLine>* q) {
  // Lines before a join are never joinable again, so each pass resumes where
  // the last one stopped, and each call where the last call stopped; the
  // window keeps the pass short on a huge queue.
  int from = clean_prefix_ + 1;
  for (;;) {
    const int last = std::min(q->Count(), kStageWindow);
    int j = 0;
    for (int i = from; i <= last; ++i) {
      OutputLine* l = q->Item(i);
      if (BraceStarts(*l, '{') && !l->no_join) {
        j = i;
        break;
      }
    }
    if (j == 0) {
      clean_prefix_ = std::max(from - 1, last);
      return;
    }
    clean_prefix_ = j - 1;
    int k = 0;
    bool blocked = false;
    for (int i = j - 1; i >= 1; --i) {
      OutputLine* l = q->Item(i);
      if (l->has_code) {
        k = i;
        break;
      }
      // Never move a brace across another brace, or out of a comment that a
      // backslash continues.
      if (l->has_brace || (l->has_comment && EndsWithBackslash(l->comment))) {
        blocked = true;
        break;
      }
    }
    if (k == 0 && !blocked) return;
    if (!blocked) {
      const OutputLine& code = *q->Item(k);
      // A brace joined to a directive, behind a continuation, or into a
      // literal still open would change the program; so would one that
      // carries a continuation itself, whose backslash must end its line.
      // Nor is a brace joined to a line that already ends with an opening
      // one: whether that line was still held would decide it, so a second
      // run, holding more, would join where the first did not. Nor to a line
      // whose comment runs on: a second run would find the comment after
      // the brace and give it a line of its own.
      blocked = code.kind == static_cast<int>(PieceKind::kDirective) || EndsWithBackslash(code.code) ||
                (!code.code.empty() && code.code.back() == '{') ||
                EndsWithBackslash(q->Item(j)->brace) ||
                (code.has_comment && EndsWithBackslash(code.comment)) || code.literal_open || code.opens_comment ||
                code.directive_body || code.kept_whole || code.after_splice || EndsStatement(code) ||
                (o_.FUNCTION_BRACE_ALONE != 0 && q->Item(j)->function_body);
    }
    if (blocked) {
      q->Item(j)->no_join = true;
      from = j + 1;
      continue;
    }

    // The code line and the brace line leave the queue; what replaces them
    // goes in at the code line's place.
    OutputLine* code = q->Item(k);
    OutputLine* brace = q->Item(j);
    OutputLine* lines[4];
    int count = 0;
    const int cwc = o_.COMMENTS_WITH_CODE;
    if (code->has_comment && !code->comment_pinned && !code->comment_kept &&
        static_cast<int>(code->code.size() + brace->brace.size()) + code->indent + 1 >= cwc) {
      OutputLine* moved = q->Acquire();
      moved->shift_serial = code->shift_serial;
      moved->kind = code->kind;
      moved->offset = code->offset;
      moved->indent = o_.COMMENTS_WITH_NOCODE;
      moved->has_comment = true;
      moved->alone_comment = true;
      moved->stmt_indent = code->code_indent;
      if (!code->opens_comment && !code->comment.empty() && code->comment[0] == '/') {
        moved->code_indent = code->code_indent;
      }
      moved->comment.swap(code->comment);
      code->has_comment = false;
      lines[count++] = moved;
    }
    OutputLine* joined = q->Acquire();
    joined->shift_serial = std::max(code->shift_serial, brace->shift_serial);
    joined->kind = code->kind;
    joined->offset = code->offset;
    joined->indent = code->indent;
    joined->has_code = true;
    joined->code.swap(code->code);
    joined->code += ' ';
    joined->code += brace->brace;
    joined->frozen = code->frozen;
    // The join leaves the code where it stood: a continued line keeps its
    // step, and the map still tells code from comments and literals.
    joined->continuation = code->continuation;
    joined->in_paren = code->in_paren;
    joined->outdent = code->outdent;
    joined->goto_label = code->goto_label;
    if (code->code_map.size() + 1 + brace->brace.size() == joined->code.size() &&
        brace->brace_map.size() == brace->brace.size()) {
      joined->code_map.swap(code->code_map);
      joined->code_map += mark::kBlank;
      joined->code_map += brace->brace_map;
    }
    if (code->has_comment) {
      joined->has_comment = true;
      joined->comment.swap(code->comment);
      joined->comment_pinned = code->comment_pinned;
      joined->opens_comment = code->opens_comment;
      joined->comment_column = code->comment_column;
      joined->comment_kept = code->comment_kept;
      joined->kept_gap = code->kept_gap;
      joined->gap = cwc - joined->indent - static_cast<int>(joined->code.size());
    } else if (brace->has_comment && brace->comment_kept) {
      // A comment kept after the brace stays after it on the joined line.
      joined->has_comment = true;
      joined->comment.swap(brace->comment);
      brace->has_comment = false;
      joined->comment_pinned = brace->comment_pinned;
      joined->opens_comment = brace->opens_comment;
      joined->comment_column = brace->comment_column;
      joined->comment_kept = true;
      joined->kept_gap = brace->kept_gap;
    }
    lines[count++] = joined;
    OutputLine* brace_comment = nullptr;
    if (brace->has_comment) {
      brace_comment = q->Acquire();
      brace_comment->shift_serial = brace->shift_serial;
      brace_comment->kind = brace->kind;
      brace_comment->offset = brace->offset;
      brace_comment->indent = o_.COMMENTS_WITH_NOCODE;
      brace_comment->has_comment = true;
      brace_comment->comment.swap(brace->comment);
      brace_comment->comment_pinned = brace->comment_pinned;
      brace_comment->alone_comment = !brace->comment_pinned;
      brace_comment->stmt_indent = brace->code_indent;
      brace_comment->opens_comment = brace->opens_comment;
      brace_comment->comment_column = brace->comment_column;
    }
    q->Release(q->Detach(j));
    q->Release(q->Detach(k));
    // The brace line's comment follows the lines that stood before it, so
    // that comments keep their order (and one left open runs on over the
    // lines after it, as it did). Those lines now start at k.
    for (int i = 0; i < count; ++i) q->InsertAcquiredBefore(k + i, lines[i]);
    // A comment moved out in front of the line being written is written
    // next, without a hang step of its own: it is placed as the next run,
    // finding it alone before that line, would place it.
    if (count == 2 && k == 1 && !saved_stack_.empty() && saved_stack_.back().kind == 1) {
      std::vector<HangEntry> below(saved_stack_.begin(), saved_stack_.end() - 1);
      PlaceCommentBeforeBody(q, q->Item(1), below);
    }
    if (brace_comment) q->InsertAcquiredBefore(k + count + (j - k - 1), brace_comment);
    from = k;
  }
}

bool OutputStage::Cuddles(const OutputLine& b, const OutputLine* next) const {
  if (o_.CUDDLE_ELSE == 0 || next == nullptr) return false;
  if (b.kind != static_cast<int>(PieceKind::kCloseBrace) || !b.has_brace || b.brace != "}" || b.has_code ||
      b.has_comment || b.directive_body) {
    return false;
  }
  // A comment on the next line would have to find a new column, unless it
  // is kept after its code, as far from it as it stood.
  if (next->kind != static_cast<int>(PieceKind::kCode) || !next->has_code || next->has_brace ||
      (next->has_comment && (!next->comment_kept || next->opens_comment)) || next->frozen || next->kept_whole ||
      next->directive_body) {
    return false;
  }
  // Read again, a closing brace after the first one would be cut off with
  // what stands before it, and the line would not come back as it was.
  for (size_t i = 0; i < next->code.size(); ++i) {
    if (next->code[i] == '}' && (i >= next->code_map.size() || next->code_map[i] == mark::kCode)) return false;
  }
  return CuddlesAfterBrace(next->code, b.closes_do);
}

int OutputStage::ChosenColumn(const OutputLine& line, int i) const {
  if (line.frozen || line.shift_tail || (!line.has_code && !line.has_brace) || line.directive_body ||
      line.kind == static_cast<int>(PieceKind::kDirective)) {
    return i;
  }
  const int is = o_.INDENT_SPACING;
  if (line.goto_label && line.continuation == 0) return 0;
  i -= line.outdent;
  if (line.access_label) {
    if (o_.ACCESS_LABEL_INDENT == 1) i -= is;
    if (o_.ACCESS_LABEL_INDENT == 2) i -= is / 2;
  }
  if (o_.CONTINUATION_STYLE == 2 && line.continuation > 0) i += is;
  if (o_.CONTINUATION_STYLE == 1 && line.in_paren && line.continuation > 0 && line.has_code &&
      !line.code.empty() && line.code[0] != ')') {
    int column = paren_columns_.Innermost();
    if (column != ParenColumns::kAtLineEnd) i = std::min(column, kMaxIndentColumns);
  }
  return std::max(i, 0);
}

void OutputStage::Write(OutputLine& line) {
  const bool tabs = o_.USE_TABS != 0;
  const int is = o_.INDENT_SPACING;
  const bool cuddled = cuddle_with_ == &line;
  cuddle_with_ = nullptr;
  int c = static_cast<int>(line.code.size() + line.brace.size());
  int i = line.frozen ? 0 : std::min(line.indent + line.continuation * is, kMaxIndentColumns);
  i = cuddled ? cuddle_column_ + 1 : ChosenColumn(line, i);
  if (!line.directive_body && line.kind != static_cast<int>(PieceKind::kDirective)) {
    // "} while (a &&" is a brace line: its parenthesis counts as well.
    if (line.has_code) {
      paren_columns_.Note(line.code, line.code_map, i, line.in_paren);
    } else if (line.has_brace) {
      paren_columns_.Note(line.brace, line.brace_map, i, line.in_paren);
    }
  }
  int gap = line.gap;
  std::string_view comment = line.comment;
  if (line.shift_tail) {
    // The rest of a block comment that opened after code moves with it, so
    // that it keeps its shape and comes out the same on every run.
    size_t b = comment.find_first_not_of(' ');
    if (b == std::string_view::npos) b = comment.size();
    comment.remove_prefix(b);
    i = std::clamp(line.tail_blanks + tail_shift_, 0, kMaxIndentColumns);
    if (tail_alone_) {
      // Its first line ended up alone on its line: the rest goes where the
      // next run puts the lines of such a comment, the stars one column
      // right of its start, other text no further left than it.
      tail_stars_ = tail_stars_ && !comment.empty() && comment[0] == '*';
      const int start = std::min(o_.COMMENTS_AT_CODE_INDENT != 0 ? tail_start_ : o_.COMMENTS_WITH_NOCODE,
                                 kMaxIndentColumns - 1);
      i = tail_stars_ ? start + 1 : std::max(i, start);
    }
    gap = 0;
  } else if (tabs && line.has_comment && !comment.empty() && comment[0] == ' ') {
    size_t b = comment.find_first_not_of(' ');
    if (b == std::string_view::npos) b = comment.size();
    comment.remove_prefix(b);
    i += static_cast<int>(b);
  } else if (c == 0 && line.has_comment && !comment.empty() && i < gap) {
    i = 0;
  }
  if (line.has_comment && !line.shift_tail) {
    gap = std::min(gap, o_.COMMENTS_WITH_CODE - c - i);
    if (gap < 0) gap = 0;
    if (line.comment_kept && c > 0) gap = KeptCommentGap(o_.COMMENTS_WITH_CODE, c + std::max(i, 0), line.kept_gap);
    // "a /" followed straight by "// x" would turn the slash into a comment.
    if (gap == 0 && c > 0) {
      const std::string& last = line.brace.empty() ? line.code : line.brace;
      if (!last.empty() && last.back() == '/') gap = 1;
    }
  }
  buffer_.clear();
  if (cuddled) {
    buffer_ += ' ';
    pending_blank_ = 0;
  } else if (line_feed_owed_) {
    buffer_ += '\n';
  }
  if (pending_blank_ > 0) {
    bool endif = false;
    if (line.kind == static_cast<int>(PieceKind::kDirective) && !line.code.empty()) {
      size_t p = std::max<size_t>(DirectiveSignLength(line.code, 0), 1);
      while (p < line.code.size() && (line.code[p] == ' ' || line.code[p] == '\t')) ++p;
      endif = StartsWithKeyword(std::string_view(line.code).substr(p), "endif");
    }
    if (endif) {
      spacing_state_ = 0;
      // After a continued line the blank line ends the directive; dropping
      // it would join the "#endif" to it.
      if (last_continued_) buffer_ += '\n';
    } else {
      buffer_.append(static_cast<size_t>(pending_blank_), '\n');
    }
    pending_blank_ = 0;
  }
  const size_t line_start = buffer_.size();
  if (!cuddled) AppendWhitespace(&buffer_, tabs, 0, i, is);
  buffer_ += line.code;
  buffer_ += line.brace;
  cuddle_column_ = std::max(i, 0) + c;
  if (line.opens_comment && line.comment_in_code >= 0) {
    tail_shift_ = std::max(i, 0) + line.comment_in_code - line.comment_column;
    tail_alone_ = false;
  }
  if (line.has_comment) {
    AppendWhitespace(&buffer_, tabs, c + std::max(i, 0), gap, is);
    if (line.opens_comment) {
      tail_shift_ = c + std::max(i, 0) + gap - line.comment_column;
      tail_alone_ = c == 0 && line.comment_in_code < 0;
      tail_start_ = std::max(i, 0);
      tail_stars_ = true;
    }
    buffer_.append(comment);
  }
  line_feed_owed_ = true;
  Emit();
  last_continued_ = EndsWithSplice(std::string_view(buffer_).substr(line_start));
}

void OutputStage::WriteUnchanged(std::string_view line) {
  cuddle_with_ = nullptr;
  buffer_.clear();
  if (line_feed_owed_) buffer_ += '\n';
  buffer_ += line;
  line_feed_owed_ = true;
  last_continued_ = EndsWithSplice(line);
  Emit();
}

void OutputStage::Finish(bool final_line_feed) {
  cuddle_with_ = nullptr;
  buffer_.clear();
  if (line_feed_owed_ && final_line_feed) buffer_ += '\n';
  line_feed_owed_ = false;
  Emit();
}

void OutputStage::Emit() {
  // Straight to the stream buffer: one line is too little to pay for a
  // sentry. A stream in error takes nothing more, as write would do.
  if (buffer_.empty()) return;
  // The bytes of a byte-order mark that stood after blanks would become the
  // text's mark if written first.
  if (!emitted_ && buffer_.compare(0, 3, "\xEF\xBB\xBF") == 0) buffer_.insert(0, 1, ' ');
  emitted_ = true;
  std::streambuf* sink = out_.good() ? out_.rdbuf() : nullptr;
  const std::streamsize size = static_cast<std::streamsize>(buffer_.size());
  if (sink == nullptr || sink->sputn(buffer_.data(), size) != size) out_.setstate(std::ios::badbit);
}

}  // namespace folios

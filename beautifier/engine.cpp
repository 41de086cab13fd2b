// The engine's main loop: line construction, the statement tracker and the
// macro continuation bookkeeping; the output stage writes what it builds.
#include "engine.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "line_scan.h"
#include "output_stage.h"
#include "reformat_file.h"
#include "script_gate.h"

namespace folios {

namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

bool EndsWithBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

// The code starts inside a literal opened on an earlier line.
bool BeginsInsideLiteral(const std::string& text, const CharStateMap& map) {
  return !map.empty() && (map[0] == mark::kString || map[0] == mark::kChar) && text[0] != map[0];
}

// Adds continuation indentation to lines that continue an unfinished
// statement inside braces.
class StatementTracker {
 public:
  void Update(OutputLine* line) {
    if (open_ && brace_depth_ != 0 && (!after_keyword_ || paren_ > 0) && !in_enum_ &&
        init_depth_ < brace_depth_ && line->has_code && !line->in_literal) {
      line->continuation = keyword_count_ != 0 && !after_keyword_ ? 1 + keyword_count_ : 1;
    }
    if (line->kind == static_cast<int>(PieceKind::kDirective)) return;
    Scan(line->code, line->code_map);
    Scan(line->brace, line->brace_map);
  }

 private:
  void Scan(const std::string& t, const CharStateMap& m) {
    size_t n = t.size();
    for (size_t i = 0; i < n;) {
      if (m[i] != mark::kCode) {
        ++i;
        continue;
      }
      char c = t[i];
      if (IsWordChar(c)) {
        size_t e = i;
        while (e < n && IsWordChar(t[e])) ++e;
        if (i == 0 || !IsWordChar(t[i - 1])) Word(std::string_view(t).substr(i, e - i));
        i = e;
        continue;
      }
      ++i;
      if (c == ' ' || c == '\t') continue;
      if (c != '{') init_pending_ = false;
      switch (c) {
        case '(':
          ++paren_;
          open_ = true;
          break;
        case ')':
          open_ = !(after_keyword_ && paren_ == 1);
          --paren_;
          break;
        case ':':
          if (i < n && t[i] == ':') {
            ++i;
            break;
          }
          open_ = false;
          keyword_count_ = 0;
          after_keyword_ = false;
          break;
        case ';':
          if (paren_ == 0) {
            open_ = false;
            keyword_count_ = 0;
            after_keyword_ = false;
            in_enum_ = false;
            if (brace_depth_ < init_depth_) init_depth_ = 0;
          }
          break;
        case '=':
          if (paren_ == 0) init_pending_ = true;
          break;
        case '\\':
          break;
        case '{':
          ++brace_depth_;
          open_ = false;
          keyword_count_ = 0;
          after_keyword_ = false;
          if (init_pending_) init_depth_ = brace_depth_;
          break;
        case '}':
          --brace_depth_;
          open_ = false;
          keyword_count_ = 0;
          in_enum_ = false;
          break;
        default:
          open_ = true;
          break;
      }
    }
  }

  void Word(std::string_view w) {
    init_pending_ = false;
    int kind = HangKeywordKind(w);
    if (kind != 0) {
      open_ = false;
      after_keyword_ = true;
      keyword_count_ = kind == 1 ? keyword_count_ + 1 : 0;
      return;
    }
    if (w == "enum") in_enum_ = true;
    if (paren_ == 0) after_keyword_ = false;
    open_ = true;
  }

  int keyword_count_ = 0;
  bool after_keyword_ = false;
  int paren_ = 0;
  bool in_enum_ = false;
  int brace_depth_ = 0;
  int init_depth_ = 0;
  bool init_pending_ = false;
  bool open_ = false;
};

int Digits(long n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

void Backspaces(std::ostream& report, int count) {
  for (int i = 0; i < count; ++i) report.put('\b');
}

class Engine {
 public:
  Engine(std::ostream& out, const BeautifierOptions& o, bool remove_comments, std::ostream& report,
         std::ostream& err)
      : out_(out), o_(o), remove_comments_(remove_comments), report_(report), err_(err), stage_(o, out) {}

  int Run(std::istream& in) {
    const bool talk = o_.PROGRAM_OUTPUT != 0;
    std::time_t start = 0;
    if (talk) {
      report_ << "\nFeed Me, Feed Me Code ...\n" << "Number Of Lines Processed :  ";
      start = std::time(nullptr);
    }
    std::string raw;
    for (;;) {
      bool got = static_cast<bool>(std::getline(in, raw));
      bool at_end = !got || in.eof();
      if (!got) raw.clear();
      // Text mode: a carriage return before a line feed is not part of the line.
      if (got && !in.eof() && !raw.empty() && raw.back() == '\r') raw.pop_back();
      ++lines_;
      if (talk && lines_ % 10 == 0) {
        long before = lines_ - 10;
        Backspaces(report_, (before == 0 ? 0 : Digits(before)) + 1);
        report_ << lines_ << ' ';
      }
      if (gate_.CopyUnchanged(raw)) {
        stage_.Run(&queue_, 0);
        // The empty "line" after a final line feed is no line of the file.
        if (got) {
          out_.write(raw.data(), static_cast<std::streamsize>(raw.size()));
          out_.put('\n');
        }
      } else {
        int rc = FormatLine(raw);
        if (rc != kReformatOk) return rc;
      }
      if (at_end) break;
    }
    stage_.Run(&queue_, 0);
    if (talk) {
      if (lines_ > 10) Backspaces(report_, Digits(lines_ / 10 * 10) + 1);
      report_ << lines_ << ' ';
      long elapsed = static_cast<long>(std::time(nullptr) - start);
      char buf[96];
      std::snprintf(buf, sizeof buf, "(In %d Hours %d Minutes %d Seconds)", static_cast<int>(elapsed / 3600),
                    static_cast<int>(elapsed % 3600 / 60), static_cast<int>(elapsed % 60));
      report_ << buf;
    }
    return kReformatOk;
  }

 private:
  int FormatLine(const std::string& raw) {
    ScanLine(raw, o_.INDENT_SPACING, &scan_, &text_, &map_);
    bool ends_bs = EndsWithBackslash(text_);
    pieces_.clear();
    DecomposeLine(text_, map_, ends_bs, previous_bs_, &pieces_);
    bool continued = ends_bs || previous_bs_;
    previous_bs_ = ends_bs;

    // Macro continuation: the lines of a multi-line directive stand one step
    // deeper, and the indent is restored after its last line.
    int before = macro_counter_;
    if (pieces_.empty() && ends_bs) {
      // A line holding only a backslash is dropped, but the macro goes on.
    } else if (!pieces_.empty() && pieces_.back().kind == PieceKind::kDirective && EndsWithBackslash(pieces_.back().text)) {
      macro_counter_ = 1;
    } else if (!pieces_.empty() && macro_counter_ != 0 &&
               (pieces_.back().kind == PieceKind::kCode || pieces_.back().kind == PieceKind::kOpenBrace ||
                pieces_.back().kind == PieceKind::kCloseBrace) &&
               EndsWithBackslash(pieces_.back().text)) {
      ++macro_counter_;
    } else {
      macro_counter_ = 0;
    }
    if (macro_counter_ == 1) saved_indent_ = current_indent_;
    if (macro_counter_ == 2 && before != 2) current_indent_ += o_.INDENT_SPACING;
    bool macro_ended = before != 0 && macro_counter_ == 0;
    if (macro_ended && before == 1) current_indent_ += o_.INDENT_SPACING;

    carried_ = false;
    for (size_t i = 0; i < pieces_.size(); ++i) {
      int rc = BuildLine(i, continued);
      if (rc != kReformatOk) return rc;
    }
    stage_.Run(&queue_, macro_ended ? 0 : o_.QUEUE_BUFFER);
    if (macro_ended) current_indent_ = saved_indent_;
    return kReformatOk;
  }

  int BuildLine(size_t index, bool continued) {
    SourcePiece& piece = pieces_[index];
    const int cur = current_indent_;
    OutputLine line;
    line.kind = static_cast<int>(piece.kind);
    line.offset = piece.offset;
    switch (piece.kind) {
      case PieceKind::kCode:
        line.has_code = true;
        line.in_literal = BeginsInsideLiteral(piece.text, piece.map);
        line.code = std::move(piece.text);
        line.code_map = std::move(piece.map);
        if (!line.in_literal) {
          line.indent = cur;
          if (else_pending_ && StartsWithKeyword(line.code, "if")) line.else_if = true;
          else_pending_ = IsBareElse(line.code, line.code_map);
        }
        break;
      case PieceKind::kOpenBrace:
        else_pending_ = false;
        line.indent = cur;
        line.has_brace = true;
        line.brace = std::move(piece.text);
        line.brace_map = std::move(piece.map);
        current_indent_ += o_.INDENT_SPACING;
        break;
      case PieceKind::kCloseBrace:
        else_pending_ = false;
        current_indent_ = std::max(0, current_indent_ - o_.INDENT_SPACING);
        line.indent = current_indent_;
        line.has_brace = true;
        line.brace = std::move(piece.text);
        line.brace_map = std::move(piece.map);
        break;
      case PieceKind::kDirective:
        line.has_code = true;
        line.code = std::move(piece.text);
        line.code_map = std::move(piece.map);
        break;
      case PieceKind::kBlankLine:
        break;
      case PieceKind::kBlockComment:
      case PieceKind::kLineComment: {
        if (remove_comments_) break;
        // The tail of a block comment opened on an earlier line must stay in
        // front of the code that follows it.
        bool tail = piece.kind == PieceKind::kBlockComment && piece.text.compare(0, 2, "/*") != 0;
        const SourcePiece* next = index + 1 < pieces_.size() ? &pieces_[index + 1] : nullptr;
        if (piece.has_code_after && next && !tail) {
          int nk = static_cast<int>(next->kind);
          if (nk < 3 || nk > 6) {
            err_ << "\n#### ERROR ! Error In Line Construction !"
                 << "\nExpected Some Sort Of Code ! Data Type Found = " << nk << "\nLast Line Read " << lines_;
            return kReformatBadLine;
          }
          bool pinned = continued || EndsWithBackslash(piece.text) ||
                        (piece.text.compare(0, 2, "/*") == 0 && piece.text.find("*/", 2) == std::string::npos);
          if (pinned || o_.COMMENTS_WITH_CODE >= static_cast<int>(next->text.size()) + cur) {
            carried_ = true;
            carried_comment_ = std::move(piece.text);
            carried_pinned_ = pinned;
            return kReformatOk;
          }
          line.has_comment = true;
          line.comment = std::move(piece.text);
          line.gap = o_.COMMENTS_WITH_CODE;
          break;
        }
        line.has_comment = true;
        if (piece.has_code_after && !tail) {
          line.gap = o_.COMMENTS_WITH_CODE;
        } else {
          line.indent = o_.COMMENTS_WITH_NOCODE;
        }
        line.comment = std::move(piece.text);
        line.comment_pinned = EndsWithBackslash(line.comment);
        if (piece.kind == PieceKind::kBlockComment && tail) AlignBlockComment(&line);
        break;
      }
    }
    if (carried_ && piece.kind != PieceKind::kBlockComment && piece.kind != PieceKind::kLineComment) {
      line.has_comment = true;
      line.comment = std::move(carried_comment_);
      line.comment_pinned = carried_pinned_;
      int len = static_cast<int>(line.code.size() + line.brace.size());
      line.gap = o_.COMMENTS_WITH_CODE - cur - len;
      carried_ = false;
    }
    tracker_.Update(&line);
    queue_.Append(std::move(line));
    if (current_indent_ < 0) current_indent_ = 0;
    return kReformatOk;
  }

  // Lines inside a block comment keep their place relative to the line that
  // opened it; with leading stars, the stars line up under the opening one.
  void AlignBlockComment(OutputLine* line) {
    std::string& text = line->comment;
    size_t a = text.find_first_not_of(' ');
    if (a == std::string::npos) a = text.size();
    bool star = a < text.size() && text[a] == '*';
    for (int n = queue_.Count(); n >= 1; --n) {
      const OutputLine* l = queue_.Item(n);
      if (!l->has_comment) continue;
      size_t b = l->comment.find_first_not_of(' ');
      if (b != std::string::npos && l->comment.compare(b, 2, "/*") == 0) {
        if (!star) a = std::min(a, static_cast<size_t>(std::max(l->offset, 0)));
        break;
      }
      if (b == std::string::npos || l->comment[b] != '*') star = false;
    }
    text.erase(0, a);
    if (star) line->indent += 1;
  }

  std::ostream& out_;
  const BeautifierOptions& o_;
  bool remove_comments_;
  std::ostream& report_;
  std::ostream& err_;
  OutputStage stage_;
  PieceQueue<OutputLine> queue_;
  ScriptGate gate_;
  StatementTracker tracker_;
  ScanState scan_;
  std::string text_;
  CharStateMap map_;
  std::vector<SourcePiece> pieces_;
  bool previous_bs_ = false;
  int current_indent_ = 0;
  bool else_pending_ = false;
  int macro_counter_ = 0;
  int saved_indent_ = 0;
  long lines_ = 0;
  bool carried_ = false;
  std::string carried_comment_;
  bool carried_pinned_ = false;
};

}  // namespace

int RunBeautifier(std::istream& in, std::ostream& out, const BeautifierOptions& options, bool remove_comments,
                  std::ostream& report, std::ostream& err) {
  try {
    Engine engine(out, options, remove_comments, report, err);
    return engine.Run(in);
  } catch (const std::bad_alloc&) {
    err << "\n\n#### ERROR ! Memory Allocation Failed\n";
    return kReformatNoFileOrMemory;
  }
}

}  // namespace folios

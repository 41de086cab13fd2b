// The engine's main loop: line construction, the statement tracker and the
// macro continuation bookkeeping; the output stage writes what it builds.
#include "engine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout_choices.h"
#include "line_scan.h"
#include "output_stage.h"
#include "reformat_file.h"
#include "script_gate.h"
#include "token_check.h"

namespace folios {

namespace {

// Classes of code characters for the statement tracker.
constexpr uint8_t kOther = 0;    // sets statement-open
constexpr uint8_t kWord = 1;     // letter, digit, '_' or '$'
constexpr uint8_t kSpace = 2;    // blank or tab: passed over
constexpr uint8_t kSpecial = 3;  // one of ( ) : ; = \ { }
struct TrackTable {
  uint8_t c[256] = {};
  constexpr TrackTable() {
    for (int b = 0; b < 256; ++b) {
      if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_' || b == '$') {
        c[b] = kWord;
      }
    }
    c[static_cast<unsigned char>(' ')] = c[static_cast<unsigned char>('\t')] = kSpace;
    for (char ch : {'(', ')', ':', ';', '=', '\\', '{', '}'}) c[static_cast<unsigned char>(ch)] = kSpecial;
  }
};
constexpr TrackTable kTrackTable{};
constexpr const uint8_t* kTrackClass = kTrackTable.c;


constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// True when a backslash marked as code has more of the line after it.
bool HoldsStrayBackslash(const std::string& text, const CharStateMap& map) {
  for (size_t i = text.find('\\'); i != std::string::npos && i + 1 < text.size(); i = text.find('\\', i + 1)) {
    if (map[i] == mark::kCode) return true;
  }
  return false;
}

bool IsLiteralMark(char m) { return m == mark::kString || m == mark::kChar; }

// Adds continuation indentation to lines that continue an unfinished
// statement inside braces.
class StatementTracker {
 public:
  void Update(OutputLine* line) {
    // A directive, with all its continuation lines, is no statement: a
    // parenthesis it leaves open must not count for the code after it.
    if (line->kind == static_cast<int>(PieceKind::kDirective) || line->directive_body) return;
    if (paren_ == 0) opener_levels_.clear();
    line->in_paren = paren_ > 0;
    // Outside all braces only what is plainly unfinished continues: an open
    // parenthesis, or a line ending in a comma or an operator. A return type
    // on a line of its own does not.
    const bool inside = brace_depth_ != 0 && (!after_keyword_ || paren_ > 0) && !in_enum_ &&
                        init_depth_ < brace_depth_;
    const bool outside = brace_depth_ == 0 && (paren_ > 0 || continues_);
    if (open_ && (inside || outside) && line->has_code && !line->frozen) {
      int level = keyword_count_ != 0 && !after_keyword_ ? 1 + keyword_count_ : 1;
      if (paren_ > 0 && !opener_levels_.empty()) {
        // One step deeper than the line that opened the parenthesis; a line
        // that closes it first stands at that line's level.
        int opener = opener_levels_.back();
        level = !line->code.empty() && line->code[0] == ')' ? opener : std::max(level, opener + 1);
      }
      line->continuation = std::min(level, kMaxKeywords + 1);
    }
    // A template head ("template <typename T>") opens no statement: the
    // declaration after it stands at its column.
    if (!open_ && paren_ == 0 && line->has_code && StartsWithKeyword(line->code, "template")) template_head_ = true;
    // An annotation on a line of its own opens no statement.
    if (!open_ && paren_ == 0 && line->has_code && !line->code.empty() && line->code[0] == '@' &&
        !line->code_map.empty() && line->code_map[0] == mark::kCode) {
      annotation_ = true;
    }
    line_level_ = line->continuation;
    Scan(line->code, line->code_map);
    Scan(line->brace, line->brace_map);
    const char last = LastCodeChar(*line);
    if (annotation_ && paren_ == 0) {
      if (last == ')' || kTrackClass[static_cast<unsigned char>(last)] == kWord) open_ = false;
      annotation_ = false;
    }
    if (template_head_ && paren_ == 0 && (last == '>' || last == ';' || last == '{' || last == '}')) {
      if (last == '>') open_ = false;
      template_head_ = false;
    }
    continues_ = last != 0 && std::strchr(",=<&|+-?", last) != nullptr;
  }

 private:
  void Scan(const std::string& t, const CharStateMap& m) {
    const size_t n = t.size();
    const char* tp = t.data();
    const char* mp = m.data();
    for (size_t i = 0; i < n;) {
      if (mp[i] != mark::kCode) {
        ++i;
        continue;
      }
      char c = tp[i];
      uint8_t k = kTrackClass[static_cast<unsigned char>(c)];
      if (k == kWord) {
        size_t e = i + 1;
        while (e < n && kTrackClass[static_cast<unsigned char>(tp[e])] == kWord) ++e;
        if (i == 0 || kTrackClass[static_cast<unsigned char>(tp[i - 1])] != kWord) {
          Word(std::string_view(tp + i, e - i));
        }
        i = e;
        continue;
      }
      ++i;
      if (k == kSpace) continue;
      if (k == kOther) {
        // A run of code characters that each only mark the statement open.
        init_pending_ = false;
        open_ = true;
        while (i < n && mp[i] == mark::kCode && kTrackClass[static_cast<unsigned char>(tp[i])] == kOther) ++i;
        continue;
      }
      if (c != '{') init_pending_ = false;
      switch (c) {
        case '(':
          if (paren_ < kMaxCount) ++paren_;
          if (opener_levels_.size() < kMaxOpeners) opener_levels_.push_back(line_level_);
          open_ = true;
          break;
        case ')':
          open_ = !(after_keyword_ && paren_ == 1);
          if (paren_ > 0) --paren_;
          if (!opener_levels_.empty() && opener_levels_.size() > static_cast<size_t>(paren_)) {
            opener_levels_.pop_back();
          }
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
          if (brace_depth_ < kMaxCount) ++brace_depth_;
          open_ = false;
          keyword_count_ = 0;
          after_keyword_ = false;
          if (init_pending_) init_depth_ = brace_depth_;
          break;
        case '}':
          if (brace_depth_ > -kMaxCount) --brace_depth_;
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
      keyword_count_ = kind == 1 ? std::min(keyword_count_ + 1, kMaxKeywords) : 0;
      return;
    }
    if (w == "enum") in_enum_ = true;
    if (paren_ == 0) after_keyword_ = false;
    open_ = true;
  }

  // The last code character of the line's code, or 0.
  static char LastCodeChar(const OutputLine& line) {
    const std::string& t = line.has_code ? line.code : line.brace;
    const CharStateMap& m = line.has_code ? line.code_map : line.brace_map;
    for (size_t i = std::min(t.size(), m.size()); i-- > 0;) {
      if (m[i] == mark::kCode && t[i] != ' ' && t[i] != '\t') return t[i];
      if (m[i] != mark::kBlank && m[i] != mark::kBlockComment && m[i] != mark::kLineComment) return 0;
    }
    return 0;
  }

  static constexpr int kMaxKeywords = 64;  // more only deepen an indentation already capped
  static constexpr int kMaxCount = 1 << 28;
  static constexpr size_t kMaxOpeners = 256;

  int keyword_count_ = 0;
  bool after_keyword_ = false;
  int paren_ = 0;
  bool in_enum_ = false;
  int brace_depth_ = 0;
  int init_depth_ = 0;
  bool init_pending_ = false;
  bool open_ = false;
  std::vector<int> opener_levels_;  // per open parenthesis: the level of the line that opened it
  int line_level_ = 0;              // the continuation level of the line being scanned
  bool continues_ = false;          // the last line ends in a comma or an operator
  bool annotation_ = false;         // an annotation began a statement
  bool template_head_ = false;      // a template head began a statement
};

int Digits(long n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

// Writes `erase` backspaces, then the count and a blank, in one write.
void ShowCount(std::ostream& report, int erase, long count) {
  char text[64];
  int n = 0;
  while (n < erase && n < 32) text[n++] = '\b';
  char* end = std::to_chars(text + n, text + sizeof text - 1, count).ptr;
  *end++ = ' ';
  report.write(text, end - text);
}

// Reads lines ended by a line feed, a carriage return and line feed, or a
// carriage return alone, and notices a NUL byte, which no text source holds.
class LineReader {
 public:
  enum Result { kLine, kLast, kBinary };

  explicit LineReader(std::istream& in) : sb_(in.rdbuf()), buffer_(1 << 16) {}

  // kLine: `line` was ended by a line end. kLast: the input ended; `line`
  // holds what followed the last line end (often nothing). kBinary: a NUL.
  Result Read(std::string* line) {
    line->clear();
    for (;;) {
      if (pos_ == end_ && !Fill()) return kLast;
      const char* p = buffer_.data() + pos_;
      // Line feeds are found in bulk; carriage returns and NULs, rare, are
      // found once for the block and again only after each one met.
      if (special_ < pos_) FindSpecial();
      const char* limit = buffer_.data() + special_;
      const void* nl = std::memchr(p, '\n', static_cast<size_t>(limit - p));
      const char* q = nl ? static_cast<const char*>(nl) : limit;
      line->append(p, static_cast<size_t>(q - p));
      pos_ += static_cast<size_t>(q - p);
      if (pos_ == end_) continue;
      char c = *q;
      ++pos_;
      if (c == '\0') return kBinary;
      if (c == '\r') {
        if (pos_ == end_) Fill();
        if (pos_ < end_ && buffer_[pos_] == '\n') ++pos_;
      }
      return kLine;
    }
  }

 private:
  bool Fill() {
    if (sb_ == nullptr) return false;
    std::streamsize got = sb_->sgetn(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    pos_ = 0;
    end_ = got > 0 ? static_cast<size_t>(got) : 0;
    FindSpecial();
    return end_ > 0;
  }

  // special_: the first carriage return or NUL at or after pos_, or end_.
  void FindSpecial() {
    const char* p = buffer_.data() + pos_;
    size_t n = end_ - pos_;
    const void* cr = std::memchr(p, '\r', n);
    if (cr) n = static_cast<size_t>(static_cast<const char*>(cr) - p);
    const void* nul = std::memchr(p, '\0', n);
    if (nul) n = static_cast<size_t>(static_cast<const char*>(nul) - p);
    special_ = pos_ + n;
  }

  std::streambuf* sb_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  size_t special_ = 0;
};

class Engine {
 public:
  Engine(std::ostream& out, const BeautifierOptions& o, bool remove_comments, SourceLanguage language,
         std::ostream& report, std::ostream& err)
      : o_(ClampedOptions(o)),
        remove_comments_(remove_comments),
        report_(report),
        err_(err),
        stage_(o_, out) {
    scan_.c_family = language == SourceLanguage::kCFamily;
  }

  int Run(std::istream& in) {
    const bool talk = o_.PROGRAM_OUTPUT != 0;
    std::time_t start = 0;
    if (talk) {
      report_ << "\nFeed Me, Feed Me Code ...\n" << "Number Of Lines Processed :  ";
      start = std::time(nullptr);
    }
    LineReader reader(in);
    std::string raw;
    bool unterminated_last_line = false;  // the text does not end with a line end
    bool last_line_continued = false;     // and its last line ends with a backslash
    for (;;) {
      LineReader::Result result = reader.Read(&raw);
      if (result == LineReader::kBinary) {
        err_ << "\n#### ERROR ! A NUL byte in line " << lines_ + 1 << ": not a text source\n";
        return kReformatBinary;
      }
      // A byte-order mark says how the text is encoded: it stays the first
      // bytes of the output and is never formatted as code.
      if (lines_ == 0 && raw.compare(0, 3, kByteOrderMark) == 0) {
        stage_.WriteMark(kByteOrderMark);
        raw.erase(0, 3);
      }
      bool at_end = result == LineReader::kLast;
      bool got = !at_end || !raw.empty();
      ++lines_;
      if (talk && lines_ % 10 == 0) {
        long before = lines_ - 10;
        ShowCount(report_, (before == 0 ? 0 : Digits(before)) + 1, lines_);
      }
      // The empty "line" after a final line feed is no line of the file;
      // formatted, it would become one inside a literal left open at the end.
      if (!got) break;
      if (gate_.CopyUnchanged(raw)) {
        stage_.Run(&queue_, 0);
        stage_.WriteUnchanged(raw);
      } else {
        int rc = FormatLine(raw, at_end);
        if (rc != kReformatOk) return rc;
      }
      if (at_end) {
        unterminated_last_line = true;
        last_line_continued = EndsWithSplice(raw);
        break;
      }
    }
    stage_.Run(&queue_, 0);
    // Without a final line end, one added after a backslash would splice
    // the last line onto nothing, and one inside an open raw string or text
    // block would become part of it. The backslash must end both the last
    // line read and the last written (a line of dropped bytes writes none).
    stage_.Finish(!(unterminated_last_line &&
                    (scan_.long_literal != 0 ||
                     (scan_.c_family && last_line_continued && stage_.LastLineContinued()))));
    if (talk) {
      ShowCount(report_, lines_ > 10 ? Digits(lines_ / 10 * 10) + 1 : 0, lines_);
      long elapsed = static_cast<long>(std::time(nullptr) - start);
      char buf[96];
      std::snprintf(buf, sizeof buf, "(In %d Hours %d Minutes %d Seconds)", static_cast<int>(elapsed / 3600),
                    static_cast<int>(elapsed % 3600 / 60), static_cast<int>(elapsed % 60));
      report_ << buf;
    }
    return kReformatOk;
  }

 private:
  static BeautifierOptions ClampedOptions(BeautifierOptions o) {
    ClampBeautifierOptions(&o, nullptr);
    return o;
  }

  // `unterminated`: the line is the text's last and has no line end.
  int FormatLine(const std::string& raw, bool unterminated) {
    ScanLine(raw, o_.INDENT_SPACING, &scan_, &text_, &map_);
    const bool began_in_literal = scan_.began_in_literal;
    // Nothing may follow a literal open at the end of the line, whether it
    // goes on or ends there unterminated.
    const bool ends_in_literal = scan_.ended_in_literal;
    // Only C and C++ splice lines; in Java a backslash there is a stray
    // character that must stay where it is.
    const bool ends_with_backslash = scan_.c_family && EndsWithBackslash(text_);
    // With no line end after it, a final backslash continues nothing.
    bool ends_bs = ends_with_backslash && !unterminated;
    // A backslash-newline right after a token character splices this line's
    // first characters onto that token: they must stay at column 0.
    const bool glued = previous_glue_ && !raw.empty() && raw[0] != ' ' && raw[0] != '\t' && !part_pending_;
    // Blanks there part that token from this line's first one: one must stay.
    const bool parted = previous_glue_ && !raw.empty() && !glued;
    // Inside parentheses and brackets the white space between two tokens may
    // be data (a macro argument that is turned into a string): braces there
    // are not cut from what they touch.
    const bool directive_line = macro_counter_ != 0 || StartsDirective(map_);
    if (scan_.c_family && !directive_line) MarkNestedBraces();
    if (scan_.c_family && macro_counter_ == 0 && directive_line) TrackConditional();
    // Outside a directive and outside parentheses a code brace joins no
    // token, and the cut may part it from the backslash: it glues nothing,
    // or a second run would see it otherwise. In a directive's body and
    // inside parentheses the space after it may count.
    const size_t last = text_.size() - 1;
    if (ends_bs && text_.find_first_not_of(' ') == last && IsCodeMark(map_[last])) {
      // A line of a lone backslash is dropped: the token before it stays
      // glued to the next line, or parted from it by the blanks it held.
      if (last > 0 && previous_glue_) part_pending_ = true;
    } else {
      part_pending_ = false;
      previous_glue_ = scan_.c_family && ends_bs && text_.size() >= 2 && text_[last - 1] != ' ' &&
                       !(!directive_line && map_[last - 1] == mark::kCode &&
                         (text_[last - 1] == '{' || text_[last - 1] == '}'));
    }
    // In a directive's body every such space may count: a brace that
    // touches a token stays with it.
    if (scan_.c_family && macro_counter_ != 0) MarkTouchingBraces();
    pieces_.clear();
    // A line that would fall into thousands of pieces (braces or comments
    // by the thousand) is written as it stands: its pieces would cost far
    // more memory than its bytes.
    const bool too_many_pieces = !scan_.plain && CutPlaces(text_, map_) > kMaxCutPlaces;
    if (!too_many_pieces) {
      DecomposeLine(text_, map_, ends_bs, previous_bs_, &pieces_, !remove_comments_, scan_.plain,
                    scan_.began_in_comment, ends_in_literal);
    }
    // A backslash in code with more after it on the line is a stray
    // character; cut off at the end of a line it would splice that line onto
    // the next. Such a line is written as it stands.
    // So is a line of a directive that a raw string or text block carried
    // on to it: a brace cut off to a line of its own would leave the
    // directive.
    const bool kept_whole =
        too_many_pieces || (scan_.c_family && HoldsStrayBackslash(text_, map_)) || directive_literal_;
    if (kept_whole) {
      size_t first = map_.find_first_not_of(mark::kBlank);
      bool directive = first != std::string::npos && map_[first] == mark::kDirective;
      MakeLineOnePiece(directive ? PieceKind::kDirective : PieceKind::kCode);
    } else if (comment_in_directive_ && scan_.began_in_comment && pieces_.size() > 1 &&
               pieces_[0].kind == PieceKind::kBlockComment && pieces_[0].has_code_after != 0) {
      // A directive runs on to the end of the line where a comment opened in
      // it ends: what follows that comment on this line belongs to the
      // directive and stays on the comment's line, whole, as the rest of a
      // directive does.
      MakeLineOnePiece(PieceKind::kBlockComment);
    }
    const bool previous_bs = previous_bs_;
    bool continued = ends_bs || previous_bs_;
    previous_bs_ = ends_bs;

    // Macro continuation: the lines of a multi-line directive stand one step
    // deeper, and the indent is restored after its last line. A raw string
    // or text block going on past the line carries the directive with it.
    // Java has no directives to continue: there a backslash is a stray.
    const bool literal_goes_on = scan_.long_literal != 0;
    int before = macro_counter_;
    const bool directive_body = before != 0;
    bool only_comments = std::all_of(pieces_.begin(), pieces_.end(), [](const SourcePiece& p) {
      return p.kind == PieceKind::kBlockComment || p.kind == PieceKind::kLineComment;
    });
    if (pieces_.empty() && ends_bs) {
      // A line holding only a backslash is dropped, but the macro goes on.
    } else if (before != 0 && only_comments && (ends_bs || comment_in_directive_)) {
      // So does a comment line inside it.
    } else if (scan_.c_family && !pieces_.empty() && pieces_.back().kind == PieceKind::kDirective &&
               (EndsWithBackslash(pieces_.back().text) || literal_goes_on)) {
      macro_counter_ = 1;
    } else if (!pieces_.empty() && macro_counter_ != 0 &&
               (pieces_.back().kind == PieceKind::kCode || pieces_.back().kind == PieceKind::kOpenBrace ||
                pieces_.back().kind == PieceKind::kCloseBrace) &&
               (EndsWithBackslash(pieces_.back().text) || literal_goes_on)) {
      if (macro_counter_ < 2) ++macro_counter_;
    } else {
      macro_counter_ = 0;
    }
    directive_literal_ = literal_goes_on && macro_counter_ != 0;
    if (macro_counter_ == 1) saved_indent_ = current_indent_;
    if (macro_counter_ == 2 && before != 2) current_indent_ += o_.INDENT_SPACING;
    bool macro_ended = before != 0 && macro_counter_ == 0;
    if (macro_ended && before == 1) current_indent_ += o_.INDENT_SPACING;

    LineFacts facts;
    facts.continued = continued;
    facts.ends_with_backslash = ends_bs;
    facts.after_backslash = previous_bs;
    facts.began_in_literal = began_in_literal;
    facts.began_in_comment = scan_.began_in_comment;
    facts.opening_kept = open_comment_kept_;
    open_comment_kept_ = false;
    facts.kept_whole = kept_whole;
    facts.glued = glued;
    facts.parted = parted;
    facts.directive_body = directive_body;
    // The line comment is cut off first, so the piece a line starts with
    // is the one with the smallest column, not always the first one.
    for (size_t i = 1; i < pieces_.size(); ++i) {
      if (pieces_[i].offset < pieces_[facts.lead].offset) facts.lead = i;
    }
    facts.last_code = pieces_.size();
    for (size_t i = pieces_.size(); i-- > 0;) {
      PieceKind k = pieces_[i].kind;
      if (k != PieceKind::kBlockComment && k != PieceKind::kLineComment && k != PieceKind::kBlankLine) {
        facts.last_code = i;
        break;
      }
    }
    facts.ends_in_literal = ends_in_literal;
    facts.comment_in_directive = comment_in_directive_;
    facts.directive_context = directive_body || comment_in_directive_;
    for (const SourcePiece& piece : pieces_) facts.directive_context |= piece.kind == PieceKind::kDirective;

    for (const SourcePiece& piece : pieces_) {
      if (piece.kind != PieceKind::kBlockComment && piece.kind != PieceKind::kLineComment &&
          piece.map.find(mark::kBlockComment) != std::string::npos) {
        facts.inner_comment = true;
        facts.inner_piece = static_cast<size_t>(&piece - pieces_.begin());
      }
    }
    facts.ends_in_comment = scan_.current == mark::kBlockComment;
    comment_in_directive_ = facts.directive_context && facts.ends_in_comment;
    carried_ = false;
    last_built_ = nullptr;
    attached_to_ = nullptr;
    for (size_t i = 0; i < pieces_.size(); ++i) {
      int rc = BuildLine(i, facts);
      if (rc != kReformatOk) return rc;
      // One very long line must not hold all its pieces in the queue.
      if (queue_.Count() > o_.QUEUE_BUFFER + 2 * kStageWindow) {
        stage_.Run(&queue_, o_.QUEUE_BUFFER + kStageWindow);
        last_built_ = nullptr;
        attached_to_ = nullptr;
      }
    }
    // An empty line inside a comment whose opening was written makes no
    // piece that could say so: the lines after it still continue that comment.
    if (facts.opening_kept && facts.began_in_comment && facts.ends_in_comment &&
        text_.find_first_not_of(" \t") == std::string::npos) {
      open_comment_kept_ = true;
    }
    stage_.Run(&queue_, macro_ended ? 0 : o_.QUEUE_BUFFER);
    if (macro_ended) current_indent_ = saved_indent_;
    return kReformatOk;
  }

  static constexpr size_t kMaxCutPlaces = 4096;

  // How many places the line could be cut at: code braces and the starts
  // of comments.
  static size_t CutPlaces(const std::string& text, const CharStateMap& map) {
    size_t n = 0;
    for (size_t i = 0; i < map.size(); ++i) {
      char m = map[i];
      if ((m == mark::kCode && (text[i] == '{' || text[i] == '}')) ||
          ((m == mark::kBlockComment || m == mark::kLineComment) && (i == 0 || map[i - 1] != m))) {
        ++n;
      }
    }
    return n;
  }

  static bool StartsDirective(const CharStateMap& map) {
    size_t first = map.find_first_not_of(mark::kBlank);
    return first != std::string::npos && map[first] == mark::kDirective;
  }

  // Marks the code braces of the line that stand inside parentheses or
  // brackets, counting from the depth the lines before left.
  void MarkNestedBraces() {
    for (size_t i = 0; i < text_.size(); ++i) {
      if (map_[i] != mark::kCode) continue;
      switch (text_[i]) {
        case '(':
        case '[':
          if (paren_depth_ < (1 << 28)) ++paren_depth_;
          break;
        case ')':
        case ']':
          if (paren_depth_ > 0) --paren_depth_;
          break;
        case '{':
        case '}':
          if (paren_depth_ > 0) map_[i] = mark::kNestedBrace;
          break;
        default:
          break;
      }
    }
  }

  // The branches of "#if ... #else ... #endif" each start from the depth of
  // parentheses at the "#if"; after "#endif" the deepest branch counts, so
  // that an opening parenthesis written once in each branch counts once and
  // a brace after it stays nested.
  void TrackConditional() {
    size_t p = map_.find_first_not_of(mark::kBlank);
    if (p == std::string::npos) return;
    p += std::max<size_t>(DirectiveSignLength(text_, p), 1);
    while (p < text_.size() && (text_[p] == ' ' || text_[p] == '\t')) ++p;
    size_t e = p;
    while (e < text_.size() && std::isalpha(static_cast<unsigned char>(text_[e]))) ++e;
    const std::string_view word = std::string_view(text_).substr(p, e - p);
    if (word == "if" || word == "ifdef" || word == "ifndef") {
      if (conditionals_.size() < kMaxConditionals) {
        conditionals_.push_back({paren_depth_, paren_depth_});
      } else {
        ++untracked_conditionals_;
      }
    } else if (untracked_conditionals_ > 0) {
      if (word == "endif") --untracked_conditionals_;
    } else if (!conditionals_.empty() && (word.starts_with("elif") || word == "else")) {
      Conditional& c = conditionals_.back();
      c.deepest = std::max(c.deepest, paren_depth_);
      paren_depth_ = c.entry;
    } else if (!conditionals_.empty() && word == "endif") {
      paren_depth_ = std::max(conditionals_.back().deepest, paren_depth_);
      conditionals_.pop_back();
    }
  }

  // Marks the code braces of the line that touch another token: cut there,
  // the two would be parted by white space. "};" is cut as one piece.
  void MarkTouchingBraces() {
    auto token = [&](size_t i) { return i < text_.size() && IsCodeMark(map_[i]) && text_[i] != '\\'; };
    for (size_t i = 0; i < text_.size(); ++i) {
      if (map_[i] != mark::kCode || (text_[i] != '{' && text_[i] != '}')) continue;
      if ((i > 0 && token(i - 1)) || (token(i + 1) && !(text_[i] == '}' && text_[i + 1] == ';'))) {
        map_[i] = mark::kNestedBrace;
      }
    }
  }

  // What is known about the input line whose pieces are being built.
  struct LineFacts {
    bool continued = false;         // this line or the one before ends with a backslash
    bool after_backslash = false;   // the line before ends with a backslash
    bool ends_with_backslash = false;  // this line ends with one
    bool began_in_literal = false;  // the line starts inside a literal
    bool began_in_comment = false;  // the line starts inside a block comment
    bool kept_whole = false;        // it is written as it stands
    bool opening_kept = false;      // it starts inside a comment whose opening was written
    bool glued = false;             // its first characters continue a spliced token
    bool parted = false;            // blanks part its first token from a spliced one
    size_t lead = 0;                // the piece it starts with
    bool directive_body = false;    // it continues a directive
    bool directive_context = false; // it holds or continues a directive
    bool comment_in_directive = false;  // it starts inside a comment opened in a directive
    bool ends_in_literal = false;   // a literal is still open at its end
    bool ends_in_comment = false;   // a block comment is still open at its end
    bool inner_comment = false;     // a code piece holds a comment
    size_t inner_piece = 0;         // the last such piece
    size_t last_code = 0;           // index of its last piece that is not a comment
  };

  int BuildLine(size_t index, const LineFacts& facts) {
    OutputLine* built = queue_.Acquire();
    int rc = BuildLine(index, facts, built);
    // Empty lines in a row come out as one: held as one, they leave room in
    // the queue for what a brace may join, as the next run will find it.
    if (rc != kAppend || (built->Empty() && queue_.Count() > 0 && queue_.Item(queue_.Count())->Empty())) {
      queue_.Release(built);
      return rc == kAppend ? kReformatOk : rc;
    }
    queue_.AppendAcquired(built);
    last_built_ = built;
    // Lines of a lone backslash build nothing: what follows them is spliced
    // onto the line built before, if that ends with a backslash.
    last_ends_with_splice_ = EndsWithBackslash(built->code) || EndsWithBackslash(built->brace) ||
                             (built->has_comment && EndsWithBackslash(built->comment));
    if (current_indent_ < 0) current_indent_ = 0;
    return kReformatOk;
  }

  // BuildLine's result when the line is to be appended to the queue.
  static constexpr int kAppend = 1;

  // Replaces the line's pieces by one of `kind` holding the whole line.
  void MakeLineOnePiece(PieceKind kind) {
    pieces_.clear();
    SourcePiece& whole = pieces_.Add();
    whole.kind = kind;
    whole.text = text_;
    whole.map = map_;
  }

  // Builds the output line of piece `index` into `out`. Returns kAppend, or
  // kReformatOk when the piece makes no line (a carried or removed comment),
  // or an error.
  int BuildLine(size_t index, const LineFacts& facts, OutputLine* out) {
    SourcePiece& piece = pieces_[index];
    const int cur = current_indent_;
    const int outdent_before = switch_outdent_;
    OutputLine& line = *out;
    line.kind = static_cast<int>(piece.kind);
    line.offset = piece.offset;
    line.directive_body = facts.directive_body;
    switch (piece.kind) {
      case PieceKind::kCode:
        line.has_code = true;
        line.frozen = facts.kept_whole ||
                      (index == facts.lead && piece.offset == 0 &&
                       ((facts.began_in_literal && !piece.map.empty() && IsLiteralMark(piece.map[0])) ||
                        facts.glued));
        line.kept_whole = facts.kept_whole;
        line.after_splice = last_ends_with_splice_;
        line.code.swap(piece.text);
        line.code_map.swap(piece.map);
        if (!line.frozen) {
          line.indent = index == facts.lead && facts.parted ? std::max(cur, 1) : cur;
          line.code_indent = cur;
          if (else_pending_ && StartsWithKeyword(line.code, "if")) line.else_if = true;
          else_pending_ = IsBareElse(line.code, line.code_map);
          next_body_ = BodyOpenedBy(line.code);
          function_head_ = !facts.directive_body && EndsLikeFunctionHead(line.code, line.code_map);
          // Every code piece begins a line of its own in the output.
          line.goto_label = scan_.c_family && !facts.directive_body && !bodies_.Empty() &&
                            StartsWithStatementLabel(line.code, line.code_map);
        }
        break;
      case PieceKind::kOpenBrace: {
        else_pending_ = false;
        line.indent = SplicedLead(index, piece, facts, cur, &line);
        line.has_brace = true;
        line.brace.swap(piece.text);
        line.brace_map.swap(piece.map);
        const BraceBody body = facts.directive_body ? BraceBody::kPlain : next_body_;
        next_body_ = BraceBody::kPlain;
        line.function_body = function_head_ && !facts.directive_body && bodies_.OnlyNamespaces();
        function_head_ = false;
        const bool flat = body == BraceBody::kNamespace && o_.INDENT_NAMESPACE == 0;
        if (!flat && current_indent_ < kMaxIndent) current_indent_ += o_.INDENT_SPACING;
        bodies_.Open(body);
        if (body == BraceBody::kSwitch && o_.INDENT_CASE == 0) switch_outdent_ += o_.INDENT_SPACING;
        break;
      }
      case PieceKind::kCloseBrace: {
        // "} else" leaves an else pending as a line of its own would.
        else_pending_ = IsBareElseAfterBrace(piece.text, piece.map);
        const BraceBody body = bodies_.Close();
        if (body == BraceBody::kSwitch && o_.INDENT_CASE == 0) switch_outdent_ -= o_.INDENT_SPACING;
        if (body != BraceBody::kNamespace || o_.INDENT_NAMESPACE != 0) {
          current_indent_ = std::max(0, current_indent_ - o_.INDENT_SPACING);
        }
        line.closes_do = body == BraceBody::kDo;
        line.indent = SplicedLead(index, piece, facts, current_indent_, &line);
        line.has_brace = true;
        line.brace.swap(piece.text);
        line.brace_map.swap(piece.map);
        break;
      }
      case PieceKind::kDirective:
        line.has_code = true;
        line.kept_whole = facts.kept_whole;
        line.code.swap(piece.text);
        line.code_map.swap(piece.map);
        break;
      case PieceKind::kBlankLine:
        // An empty line inside a multi-line literal is part of the literal.
        if (index == 0 && facts.began_in_literal) {
          line.has_code = true;
          line.frozen = true;
        }
        break;
      case PieceKind::kBlockComment:
      case PieceKind::kLineComment: {
        // The tail of a block comment opened on an earlier line, which may
        // itself read "/* ...*/", must stay in front of the code after it.
        const bool tail = piece.kind == PieceKind::kBlockComment &&
                          ((index == 0 && facts.began_in_comment) || piece.text.compare(0, 2, "/*") != 0);
        const bool opens = piece.kind == PieceKind::kBlockComment && !tail && EndsInsideComment(piece.text, 2);
        if (remove_comments_) {
          // A comment that spans lines inside a directive stays: its lines,
          // and the backslashes that end them, hold the directive together.
          // So does the rest of a comment whose opening stayed.
          bool keep = (index == 0 && facts.comment_in_directive) || (opens && facts.directive_context) ||
                      (tail && facts.opening_kept);
          if (!keep && tail && std::any_of(piece.map.begin(), piece.map.end(), IsCodeMark)) {
            // A "#" after the end of a comment, kept on the comment's line,
            // would begin a directive once the comment before it is gone.
            err_ << "\n#### ERROR ! Line " << lines_
                 << ": a number sign after the end of a comment would begin a directive without it\n";
            return kReformatBadLine;
          }
          if (!keep) {
            // The empty line a removed comment leaves behind would end the
            // line that a backslash continues onto this line's code.
            if (facts.after_backslash && index < facts.last_code && facts.last_code < pieces_.size()) {
              return kReformatOk;
            }
            if (RemovedWithoutTrace(index, facts)) return kReformatOk;
            break;
          }
        }
        if (opens || (tail && EndsInsideComment(piece.text, 0))) {
          open_comment_kept_ = true;
        }
        const SourcePiece* next = index + 1 < pieces_.size() ? &pieces_[index + 1] : nullptr;
        if (piece.has_code_after && next && !tail) {
          int nk = static_cast<int>(next->kind);
          if (nk < 3 || nk > 6) {
            err_ << "\n#### ERROR ! Error In Line Construction !"
                 << "\nExpected Some Sort Of Code ! Data Type Found = " << nk << "\nLast Line Read " << lines_;
            return kReformatBadLine;
          }
          // A comment that runs on past the end of the line (left open, or
          // continued by a backslash) must follow every piece of the line.
          // So must one on a line whose code keeps comments of its own, or
          // the comments would change their order.
          // A backslash that ended the line before inside the comment this
          // line closes continued the comment, not the code after it.
          const bool code_continued =
              facts.continued && !(facts.after_backslash && facts.began_in_comment && !facts.ends_with_backslash);
          bool runs_on = code_continued || EndsWithBackslash(piece.text) || opens;
          bool pinned = runs_on || facts.inner_comment;
          const bool kept = KeepsTrailingComment(facts);
          if (pinned || kept || o_.COMMENTS_WITH_CODE >= static_cast<int>(next->text.size()) + cur) {
            carried_ = true;
            carried_kept_ = kept || opens;
            carried_gap_ = BlanksBefore(text_, static_cast<size_t>(std::max(piece.offset, 0)));
            // One that runs on goes to the last piece; one pinned by the
            // comments in the code goes to the piece that holds them, where a
            // second run finds it again.
            // One kept on its line follows the line's last code, as it did.
            carried_target_ = runs_on ? facts.last_code : pinned ? facts.inner_piece : kept ? facts.last_code : 0;
            carried_comment_.swap(piece.text);
            carried_pinned_ = pinned;
            carried_to_last_ = kept;
            carried_opens_ = opens;
            carried_column_ = piece.offset;
            return kReformatOk;
          }
          // A comment that leaves its code's line goes where the next run,
          // finding it alone on its line, would put it.
          line.has_comment = true;
          if (WholeComment(piece)) line.code_indent = cur;
          line.comment.swap(piece.text);
          line.indent = o_.COMMENTS_WITH_NOCODE;
          line.alone_comment = true;
          line.stmt_indent = cur;
          break;
        }
        if (!tail && !opens && AttachAfterCode(index, facts, piece)) return kReformatOk;
        line.has_comment = true;
        if (!tail && !opens && !piece.has_code_after && WholeComment(piece)) line.code_indent = cur;
        if (piece.has_code_after && !tail) {
          line.indent = o_.COMMENTS_WITH_NOCODE;
        } else if (piece.kind == PieceKind::kLineComment && piece.text.compare(0, 2, "//") != 0) {
          // A line that a backslash adds to a line comment above is comment
          // text: it stays where it stood, or it would move on every pass.
          line.indent = piece.offset;
        } else {
          line.indent = o_.COMMENTS_WITH_NOCODE;
        }
        line.comment.swap(piece.text);
        line.comment_pinned = EndsWithBackslash(line.comment);
        if (!tail && line.indent == o_.COMMENTS_WITH_NOCODE && !line.comment_pinned &&
            !(piece.kind == PieceKind::kLineComment && line.comment.compare(0, 2, "//") != 0)) {
          line.alone_comment = true;
          line.stmt_indent = cur;
        }
        if (tail) {
          AlignBlockComment(&line);
        } else if (opens) {
          StartBlockComment(line.offset, false);
        }
        break;
      }
    }
    if (carried_ && piece.kind != PieceKind::kBlockComment && piece.kind != PieceKind::kLineComment &&
        ((!carried_pinned_ && !carried_to_last_) || index >= carried_target_)) {
      line.has_comment = true;
      line.comment.swap(carried_comment_);
      line.comment_pinned = carried_pinned_;
      // After a closing brace the comment is kept wherever it came from: read
      // again, that brace alone would keep it (KeepsTrailingComment).
      line.comment_kept = carried_kept_ || piece.kind == PieceKind::kCloseBrace;
      line.kept_gap = carried_gap_;
      int len = static_cast<int>(line.code.size() + line.brace.size());
      line.gap = o_.COMMENTS_WITH_CODE - cur - len;
      if (carried_opens_) {
        line.opens_comment = true;
        line.comment_column = carried_column_;
        StartBlockComment(carried_column_, true);
      }
      carried_ = false;
    }
    if (index == facts.last_code && facts.ends_in_literal) line.literal_open = true;
    {
      const CharStateMap& m = line.has_code ? line.code_map : line.brace_map;
      if (!m.empty() && m.back() == mark::kBlockComment) open_comment_kept_ = true;
    }
    // A block comment left open inside the code (a continued line keeps its
    // comments in the code) also leads the lines that continue it; unless
    // the open one is the comment carried after the code, and those in the
    // code are complete.
    if (index == facts.last_code && facts.ends_in_comment && !remove_comments_ && !line.opens_comment) {
      const CharStateMap& m = line.has_code ? line.code_map : line.brace_map;
      if (!m.empty() && m.back() == mark::kBlockComment) {
        size_t p = m.size();
        while (p > 0 && m[p - 1] == mark::kBlockComment) --p;
        line.opens_comment = true;
        line.literal_open = true;
        line.comment_in_code = static_cast<int>(p);
        line.comment_column = piece.offset + static_cast<int>(p);
        StartBlockComment(line.comment_column, true);
      }
    }
    line.outdent = std::max(0, piece.kind == PieceKind::kOpenBrace ? outdent_before : switch_outdent_);
    tracker_.Update(&line);
    return kAppend;
  }

  // True when a closing brace piece goes on with a bare else ("} else").
  static bool IsBareElseAfterBrace(const std::string& text, const CharStateMap& map) {
    size_t i = 1;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size() || map.size() != text.size()) return false;
    return IsBareElse(text.substr(i), map.substr(i));
  }

  // The indent of a brace piece: a brace that a backslash-newline splices
  // onto the token before it stays at column 0, and one that blanks part
  // from it keeps at least one blank, or the two would part or touch.
  static int SplicedLead(size_t index, const SourcePiece& piece, const LineFacts& facts, int indent,
                         OutputLine* line) {
    if (index != facts.lead) return indent;
    if (facts.glued && piece.offset == 0) {
      line->frozen = true;
      return 0;
    }
    return facts.parted ? std::max(indent, 1) : indent;
  }

  // True when the comment after the code of this line stays on the code's
  // line whatever its column: the setting says so, or the line's code is a
  // closing brace alone ("}  // namespace n"), whose comment would otherwise
  // come before the brace it speaks of.
  bool KeepsTrailingComment(const LineFacts& facts) const {
    if (o_.KEEP_TRAILING_COMMENTS != 0) return true;
    if (facts.last_code >= pieces_.size()) return false;
    size_t code_pieces = 0;
    for (const SourcePiece& p : pieces_) {
      code_pieces += p.kind != PieceKind::kBlockComment && p.kind != PieceKind::kLineComment;
    }
    return code_pieces == 1 && pieces_[facts.last_code].kind == PieceKind::kCloseBrace;
  }

  // True when a removed comment leaves no line behind: the code of its line
  // still makes one, and a comment alone inside a body is gone with its line.
  // Continued lines and directives keep the empty line, which may end them.
  bool RemovedWithoutTrace(size_t index, const LineFacts& facts) const {
    if (facts.continued || facts.directive_context || facts.began_in_literal) return false;
    if (pieces_[index].has_code_after || facts.last_code < pieces_.size()) return true;
    return !bodies_.OnlyNamespaces();
  }

  // A comment that opens and closes on its line, and continues nothing.
  static bool WholeComment(const SourcePiece& piece) {
    if (EndsWithBackslash(piece.text)) return false;
    if (piece.kind == PieceKind::kLineComment) return piece.text.compare(0, 2, "//") == 0;
    return piece.text.compare(0, 2, "/*") == 0 && !EndsInsideComment(piece.text, 2);
  }

  // With trailing comments kept, a whole block comment after the code of
  // its line ("x = 2; /* two */") stays behind that code, on the line the
  // piece before it made; a second one there follows the first.
  bool AttachAfterCode(size_t index, const LineFacts& facts, const SourcePiece& piece) {
    if (o_.KEEP_TRAILING_COMMENTS == 0 || remove_comments_ || piece.has_code_after ||
        piece.kind != PieceKind::kBlockComment || !WholeComment(piece)) {
      return false;
    }
    // A directive ended on this line may take it; one that goes on may not.
    if (facts.continued || facts.directive_body || facts.comment_in_directive || facts.began_in_comment ||
        facts.kept_whole || facts.last_code >= pieces_.size() || index < facts.last_code) {
      return false;
    }
    OutputLine* host = last_built_;
    if (host == nullptr || (!host->has_code && !host->has_brace) || host->literal_open || host->kept_whole ||
        host->directive_body || host->opens_comment || EndsWithBackslash(host->code)) {
      return false;
    }
    if (host->has_comment) {
      if (attached_to_ != host) return false;
      host->comment += ' ';
      host->comment += piece.text;
      return true;
    }
    host->has_comment = true;
    host->comment = piece.text;
    host->comment_kept = true;
    // Such a comment is cut without its column: it is found again after
    // the code it followed.
    const SourcePiece& code = pieces_[facts.last_code];
    size_t at = text_.find(piece.text, static_cast<size_t>(std::max(code.offset, 0)) + code.text.size());
    host->kept_gap = at == std::string::npos ? 1 : BlanksBefore(text_, at);
    attached_to_ = host;
    return true;
  }

  // True when comment text that is inside a block comment at `from` is
  // still inside one at its end. The text may hold several comments in a
  // row: "/**//*" closes one and opens the next.
  static bool EndsInsideComment(const std::string& text, size_t from) {
    for (size_t i = std::min(from, text.size());;) {
      size_t close = text.find("*/", i);
      if (close == std::string::npos) return true;
      size_t open = text.find("/*", close + 2);
      if (open == std::string::npos) return false;
      i = open + 2;
    }
  }

  void StartBlockComment(int column, bool after_code) {
    comment_open_ = true;
    opener_column_ = column;
    opener_after_code_ = after_code;
    stars_so_far_ = true;
    double_stars_ = false;
  }

  // Lines inside a block comment keep their place relative to the line that
  // opened it; with leading stars, the stars line up under the opening one.
  // A comment that opened after code moves as a whole with its first line,
  // which the output stage places (OutputLine::shift_tail).
  void AlignBlockComment(OutputLine* line) {
    std::string& text = line->comment;
    size_t a = text.find_first_not_of(' ');
    if (a == std::string::npos) a = text.size();
    if (comment_open_ && opener_after_code_) {
      line->shift_tail = true;
      line->tail_blanks = static_cast<int>(a);
    } else {
      line->alone_tail = comment_open_;
      bool star = stars_so_far_ && a < text.size() && text[a] == '*';
      stars_so_far_ = star;
      if (!star && comment_open_) a = std::min(a, static_cast<size_t>(std::max(opener_column_, 0)));
      // Lines of a "**" comment stand under its opening, as they stood.
      const bool keeps = star && comment_open_ &&
                         StarLineKeepsColumn(std::string_view(text).substr(a), static_cast<int>(a), opener_column_,
                                             double_stars_);
      double_stars_ = keeps;
      text.erase(0, a);
      if (star && !keeps) line->indent += 1;
    }
    if (!EndsInsideComment(line->comment, 0)) comment_open_ = false;
  }

  static constexpr int kMaxIndent = 1 << 24;

  const BeautifierOptions o_;
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
  PieceList pieces_;
  bool previous_bs_ = false;
  bool last_ends_with_splice_ = false;  // the last line built ends with a backslash
  bool directive_literal_ = false;  // a directive goes on inside a raw string or text block
  bool part_pending_ = false;  // a dropped line of blanks and a backslash parted the glued token
  int paren_depth_ = 0;  // parentheses and brackets of code open at the end of the last line
  struct Conditional {
    int entry;    // the depth at its "#if"
    int deepest;  // the deepest a finished branch left
  };
  static constexpr size_t kMaxConditionals = 256;
  std::vector<Conditional> conditionals_;  // the open "#if"s, innermost last
  size_t untracked_conditionals_ = 0;      // open beyond kMaxConditionals
  bool open_comment_kept_ = false;  // the block comment open at the end of the last line was written
  bool previous_glue_ = false;
  int current_indent_ = 0;
  BraceBodies bodies_;                     // what each open brace encloses
  BraceBody next_body_ = BraceBody::kPlain;  // what a brace after the last code would open
  int switch_outdent_ = 0;                 // columns the open switch bodies take off their lines
  bool function_head_ = false;             // the last code ends as a function head does
  bool else_pending_ = false;
  int macro_counter_ = 0;
  int saved_indent_ = 0;
  long lines_ = 0;
  bool carried_ = false;
  std::string carried_comment_;
  bool carried_pinned_ = false;
  size_t carried_target_ = 0;     // a pinned comment goes to this piece
  bool carried_opens_ = false;
  int carried_column_ = 0;
  bool carried_to_last_ = false;  // the carried comment goes to carried_target_ as well
  bool carried_kept_ = false;     // the carried comment stays on its line (OutputLine::comment_kept)
  int carried_gap_ = 1;           // the blanks before it as read
  OutputLine* last_built_ = nullptr;  // the line the last piece of this input line made
  OutputLine* attached_to_ = nullptr; // the line a comment after code was attached to
  bool comment_in_directive_ = false;  // a block comment opened in a directive is open
  bool comment_open_ = false;     // a block comment opened and not yet closed
  int opener_column_ = 0;         // its column as read
  bool opener_after_code_ = false;
  bool stars_so_far_ = true;      // every line of it so far began with '*'
  bool double_stars_ = false;     // its last line was a "**" line kept under the opening
};

}  // namespace

int RunBeautifier(std::istream& in, std::ostream& out, const BeautifierOptions& options, bool remove_comments,
                  std::ostream& report, std::ostream& err, SourceLanguage language) {
  try {
    Engine engine(out, options, remove_comments, language, report, err);
    return engine.Run(in);
  } catch (const std::bad_alloc&) {
    err << "\n\n#### ERROR ! Memory Allocation Failed\n";
    return kReformatNoFileOrMemory;
  } catch (const std::length_error&) {
    err << "\n\n#### ERROR ! Memory Allocation Failed\n";
    return kReformatNoFileOrMemory;
  }
}

}  // namespace folios

// The scan of one source line into cleaned text and marks, and its cut into
// pieces.
#include "line_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <utility>

namespace folios {

namespace {

bool IsBlankChar(unsigned char c) { return c == ' ' || c == '\t'; }

bool IsAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A byte that may be part of an identifier or a number: compilers take "$"
// and bytes beyond ASCII (UTF-8 letters) as letters.
bool IsWordByte(char c) { return IsAlnum(c) || c == '$' || static_cast<unsigned char>(c) >= 128; }

// An apostrophe inside a number ("1'000", "0xFF'FF") separates digits and
// opens no literal; after an identifier ("u8'a'", "x1'") it opens one. The
// walk back stops at an earlier apostrophe: when that was a separator
// (`previous_separator`, the position of the last one on the line) this one
// is one too, so a long number costs linear time; a quote that closed a
// literal ("'a'x'") starts no number.
bool IsDigitSeparator(std::string_view raw, size_t k, size_t previous_separator) {
  // A byte 128..159 right after an ASCII one continues no character: the
  // scan drops it from code for a blank, which ends the number.
  auto word = [raw](size_t i) {
    const unsigned char c = static_cast<unsigned char>(raw[i]);
    return IsWordByte(raw[i]) && !(c >= 128 && c <= 159 && (i == 0 || static_cast<unsigned char>(raw[i - 1]) < 128));
  };
  if (k == 0 || k + 1 >= raw.size() || !word(k - 1) || !word(k + 1)) return false;
  size_t b = k;
  while (b > 0 && (word(b - 1) || raw[b - 1] == '.')) --b;
  if (b > 0 && raw[b - 1] == '\'' && b - 1 == previous_separator) return true;
  return (raw[b] >= '0' && raw[b] <= '9') ||
         (raw[b] == '.' && b + 1 < k && raw[b + 1] >= '0' && raw[b + 1] <= '9');
}

// The length of a raw string opening ("R\"delim(") whose quote is at raw[k],
// and its closing text in `close`; 0 when the quote opens no raw string.
size_t RawStringOpening(std::string_view raw, size_t k, std::string* close) {
  size_t b = k;
  while (b > 0 && IsAlnum(raw[b - 1])) --b;
  std::string_view prefix = raw.substr(b, k - b);
  if (prefix != "R" && prefix != "u8R" && prefix != "uR" && prefix != "UR" && prefix != "LR") return 0;
  if (b > 0 && raw[b - 1] == '$') return 0;
  size_t j = k + 1;
  while (j < raw.size() && j - k - 1 <= 16) {
    char c = raw[j];
    if (c == '(') {
      *close = ")";
      close->append(raw.substr(k + 1, j - k - 1));
      close->push_back('"');
      return j + 1 - k;
    }
    if (c == ' ' || c == ')' || c == '\\' || c == '"' || c == '\t' || static_cast<unsigned char>(c) < 32) return 0;
    ++j;
  }
  return 0;
}

// True when raw[k] starts a text block: three quotes, then only blanks.
bool TextBlockOpening(std::string_view raw, size_t k) {
  if (raw.substr(k, 3) != "\"\"\"") return false;
  for (size_t j = k + 3; j < raw.size(); ++j) {
    if (!IsBlankChar(static_cast<unsigned char>(raw[j]))) return false;
  }
  return true;
}

// Characters of an escape after a backslash at raw position k: up to three
// digits, up to three hex digits after 'x', else the one character.
int EscapeLength(std::string_view raw, size_t k) {
  size_t n = raw.size();
  if (k + 1 < n && std::isdigit(static_cast<unsigned char>(raw[k + 1]))) {
    int count = 0;
    for (size_t j = k + 1; j < n && count < 3 && std::isdigit(static_cast<unsigned char>(raw[j])); ++j) {
      ++count;
    }
    return count;
  }
  if (k + 1 < n && raw[k + 1] == 'x') {
    int count = 0;
    for (size_t j = k + 2; j < n && count < 3 && std::isxdigit(static_cast<unsigned char>(raw[j])); ++j) {
      ++count;
    }
    return count;
  }
  return 1;
}

// Length of a valid UTF-8 sequence starting at raw[k], or 0.
size_t Utf8Length(std::string_view raw, size_t k) {
  unsigned char c = static_cast<unsigned char>(raw[k]);
  size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (len == 0 || k + len > raw.size()) return 0;
  for (size_t j = 1; j < len; ++j) {
    if ((static_cast<unsigned char>(raw[k + j]) & 0xC0) != 0x80) return 0;
  }
  return len;
}

// Byte classes of the scan's bulk paths.
constexpr uint8_t kPlainCode = 1;     // can only make or keep the mark a dot when met in code
constexpr uint8_t kCodeBlank = 2;     // a space: makes the mark blank in code
constexpr uint8_t kCommentText = 4;   // cannot end a line comment, nor be removed or expanded
constexpr uint8_t kBlockText = 8;     // the same in a block comment: no '*' either

struct ScanTable {
  uint8_t c[256] = {};
  constexpr ScanTable() {
    for (int b = 33; b < 127; ++b) c[b] = kPlainCode;
    // Braces are code too, but the cut must hear of them (ScanState::plain).
    for (char ch : {'"', '\'', '/', '\\', '#', '@', '{', '}'}) c[static_cast<unsigned char>(ch)] = 0;
    c[static_cast<unsigned char>(' ')] = kCodeBlank;
    for (int b = 32; b < 127; ++b) c[b] |= kCommentText | kBlockText;
    c[static_cast<unsigned char>('*')] &= static_cast<uint8_t>(~kBlockText);
  }
  constexpr uint8_t operator[](unsigned char b) const { return c[b]; }
};
constexpr ScanTable kScan;

class Scanner {
 public:
  // Writes into `text` and `map`, which hold room for every character.
  Scanner(ScanState* state, char* text, char* map) : s_(*state), text_(text), map_(map) {}

  size_t size() const { return n_; }
  // The mark of the last character put, or a blank's at the line start.
  char last_mark() const { return n_ > 0 ? map_[n_ - 1] : mark::kBlank; }
  void Put(char ch, char m) {
    text_[n_] = ch;
    map_[n_] = m;
    ++n_;
  }

  // Advances the mark over `ch` (with `next` the raw character after it, and
  // `raw`/`k` for escapes) and appends the character with its mark.
  void Emit(char ch, char next, std::string_view raw, size_t k) {
    char old = s_.current;
    char written;
    if (s_.escape_skip > 0) {
      --s_.escape_skip;
      written = s_.skip_mark;
    } else {
      char m = old;
      unsigned char uc = static_cast<unsigned char>(ch);
      if (m == mark::kBlank && !IsBlankChar(uc)) m = mark::kCode;
      switch (m) {
        case mark::kCode:
          if (IsBlankChar(uc)) {
            m = mark::kBlank;
          } else if (ch == '"') {
            m = mark::kString;
          } else if (ch == '\'') {
            if (IsDigitSeparator(raw, k, last_separator_)) {
              last_separator_ = k;
            } else {
              m = mark::kChar;
            }
          } else if (ch == '/' && next == '*') {
            m = mark::kBlockComment;
            s_.escape_skip = 1;
          } else if (ch == '/' && next == '/') {
            m = mark::kLineComment;
          }
          // A backslash in code escapes nothing: "\"" opens a string and
          // "\//" a comment, as a compiler reads them.
          break;
        case mark::kBlockComment:
          if (ch == '*' && next == '/') {
            m = mark::kCode;
            s_.escape_skip = 1;
          }
          break;
        case mark::kString:
        case mark::kChar:
          if (ch == m) {
            m = mark::kCode;
          } else if (ch == '\\') {
            s_.escape_skip = EscapeLength(raw, k);
          }
          break;
        default:
          break;
      }
      s_.current = m;
      written = m;
      // Closing quotes and the closing "*/" belong to what they close.
      if (m == mark::kCode &&
          (old == mark::kString || old == mark::kChar || old == mark::kBlockComment)) {
        written = old;
      }
      s_.skip_mark = written;
    }
    if (IsCodeMark(written)) {
      // "#", or its digraph "%:", first in a line's code begins a directive.
      const size_t sign = DirectiveSignLength(raw, k);
      if ((sign == 1 || (sign == 2 && s_.c_family)) && !s_.continued_code) {
        written = mark::kDirective;
      } else {
        s_.continued_code = true;
      }
    }
    if (written == mark::kBlockComment || written == mark::kLineComment || written == mark::kDirective ||
        (written == mark::kCode && (ch == '{' || ch == '}'))) {
      s_.plain = false;
    }
    Put(ch, written);
  }

  // Appends the run of plain code characters and blanks that starts `p`
  // (at most n characters) with their marks; `seen` gets the classes met.
  // Returns the length of the run.
  size_t PutCodeRun(const char* p, size_t n, uint8_t* seen) {
    char* map = map_ + n_;
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen characters at a time while all of them belong to the run.
    const __m128i kBlank16 = _mm_set1_epi8(' ');
    const __m128i kDot16 = _mm_set1_epi8(mark::kCode);
    for (; i + 16 <= n; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      // 33..126 (bytes from 128 on are negative here), but not the
      // characters that change the mark or that the cut must hear of.
      __m128i plain = _mm_and_si128(_mm_cmpgt_epi8(v, kBlank16), _mm_cmplt_epi8(v, _mm_set1_epi8(127)));
      __m128i special = _mm_setzero_si128();
      for (char c : {'"', '\'', '/', '\\', '#', '@', '{', '}'}) {
        special = _mm_or_si128(special, _mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
      }
      plain = _mm_andnot_si128(special, plain);
      const __m128i blank = _mm_cmpeq_epi8(v, kBlank16);
      if (_mm_movemask_epi8(_mm_or_si128(plain, blank)) != 0xFFFF) break;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(map + i),
                       _mm_xor_si128(kDot16, _mm_and_si128(blank, _mm_set1_epi8(mark::kCode ^ mark::kBlank))));
      if (_mm_movemask_epi8(plain) != 0) *seen |= kPlainCode;
      if (_mm_movemask_epi8(blank) != 0) *seen |= kCodeBlank;
    }
#endif
    for (; i < n; ++i) {
      const uint8_t c = kScan[static_cast<unsigned char>(p[i])] & (kPlainCode | kCodeBlank);
      if (c == 0) break;
      *seen |= c;
      map[i] = c == kCodeBlank ? mark::kBlank : mark::kCode;
    }
    std::memcpy(text_ + n_, p, i);
    n_ += i;
    return i;
  }

  // Appends raw[from, to) with one mark for all.
  void PutRun(std::string_view raw, size_t from, size_t to, char m) {
    std::memcpy(text_ + n_, raw.data() + from, to - from);
    std::memset(map_ + n_, m, to - from);
    n_ += to - from;
  }

 private:
  ScanState& s_;
  char* text_;
  char* map_;
  size_t n_ = 0;
  size_t last_separator_ = std::string_view::npos;  // raw position of the line's last digit separator
};


}  // namespace

void ScanLine(std::string_view raw, int tab_width, ScanState* state, std::string* text,
              CharStateMap* map) {
  // Room for the longest result: every tab expanded to a full stop.
  size_t tabs = 0;
  for (const char* t = raw.data(), *end = t + raw.size();
       (t = static_cast<const char*>(std::memchr(t, '\t', static_cast<size_t>(end - t)))) != nullptr; ++t) {
    ++tabs;
  }
  size_t room = raw.size() + tabs * static_cast<size_t>(tab_width > 1 ? tab_width : 1);
  text->resize(room);
  map->resize(room);
  Scanner scanner(state, text->data(), map->data());
  bool tabs_off = false;
  bool printable_seen = false;
  state->began_in_literal = state->current == mark::kString || state->current == mark::kChar;
  state->began_in_comment = state->current == mark::kBlockComment;
  const bool escape_at_start = state->escape_skip != 0;
  state->plain = true;
  size_t n = raw.size();
  for (size_t k = 0; k < n; ++k) {
    // Raw strings and text blocks hold every byte as it is, to their end.
    if (state->long_literal != 0) {
      size_t end = n;
      bool closed = false;
      if (state->long_literal == kRawString) {
        size_t p = raw.find(state->raw_close, k);
        if (p != std::string_view::npos) {
          end = p + state->raw_close.size();
          closed = true;
        }
      } else {
        for (size_t j = k; j < n; ++j) {
          if (raw[j] == '\\') {
            ++j;
          } else if (raw.compare(j, 3, "\"\"\"") == 0) {
            end = j + 3;
            closed = true;
            break;
          }
        }
      }
      for (size_t j = k; j < end; ++j) scanner.Put(raw[j], mark::kString);
      printable_seen = true;
      if (closed) {
        state->long_literal = 0;
        state->current = mark::kCode;
        state->skip_mark = mark::kCode;
        state->continued_code = true;
      }
      k = end - 1;
      continue;
    }
    char ch = raw[k];
    unsigned char uc = static_cast<unsigned char>(ch);
    char m = state->current;
    if (ch == '"' && (m == mark::kCode || m == mark::kBlank) && state->escape_skip == 0) {
      std::string close;
      // Raw strings are C++'s, text blocks Java's; but three quotes with
      // nothing after them are no C or C++ either (an empty string and one
      // left open), and read as a text block there too its lines are kept
      // as they stand: a Java text given as C++ keeps its text blocks.
      size_t open = state->c_family ? RawStringOpening(raw, k, &close) : 0;
      if (open == 0 && TextBlockOpening(raw, k)) open = 3;
      if (open != 0) {
        for (size_t j = k; j < k + open; ++j) scanner.Put(raw[j], mark::kString);
        state->long_literal = close.empty() ? kTextBlock : kRawString;
        state->raw_close = std::move(close);
        state->current = mark::kString;
        state->skip_mark = mark::kString;
        state->continued_code = true;
        printable_seen = true;
        k += open - 1;
        continue;
      }
    }
    bool in_code = (m == mark::kCode || m == mark::kBlank) && state->escape_skip == 0;
    // Fast path for the bulk of code: a run of plain characters, each making
    // or keeping the mark a dot, and blanks, each making it blank.
    size_t run_limit = n - k;
    if (in_code && !state->continued_code && state->c_family) {
      // A "%:" first in the line's code is a directive sign: the slow path
      // marks it.
      size_t j = k;
      while (j < n && raw[j] == ' ') ++j;
      if (DirectiveSignLength(raw, j) == 2) run_limit = j - k;
    }
    if (in_code && (kScan[uc] & (kPlainCode | kCodeBlank)) && run_limit > 0) {
      uint8_t seen = 0;
      const size_t j = k + scanner.PutCodeRun(raw.data() + k, run_limit, &seen);
      char last = raw[j - 1] == ' ' ? mark::kBlank : mark::kCode;
      state->current = last;
      state->skip_mark = last;
      if (seen & kPlainCode) {
        state->continued_code = true;
        printable_seen = true;
      }
      k = j - 1;
      continue;
    }
    // Fast path inside comments and literals: characters that cannot end them.
    if (state->escape_skip == 0 && ch != '\t' &&
        ((m == mark::kLineComment && (kScan[uc] & kCommentText)) ||
         (m == mark::kBlockComment && (kScan[uc] & kBlockText)) ||
         ((m == mark::kString || m == mark::kChar) && ch != m && ch != '\\'))) {
      size_t j = k;
      bool printable = false;
      if (m == mark::kLineComment || m == mark::kBlockComment) {
        state->plain = false;
        const uint8_t inert = m == mark::kLineComment ? kCommentText : kBlockText;
        while (j < n && (kScan[static_cast<unsigned char>(raw[j])] & inert)) {
          printable |= raw[j] != ' ';
          ++j;
        }
      } else {
        for (; j < n; ++j) {
          char c = raw[j];
          if (c == '\t' || c == m || c == '\\') break;
          printable |= static_cast<unsigned char>(c) > 32;
        }
      }
      scanner.PutRun(raw, k, j, m);
      if (printable) printable_seen = true;
      state->skip_mark = m;
      k = j - 1;
      continue;
    }
    bool in_literal = m == mark::kString || m == mark::kChar;
    char next = k + 1 < n ? raw[k + 1] : '\0';
    if (ch == '\t') {
      bool keep = in_literal || tabs_off ||
                  ((m == mark::kBlockComment || m == mark::kLineComment) && printable_seen);
      if (keep) {
        scanner.Emit(ch, next, raw, k);
        continue;
      }
      int i = static_cast<int>(scanner.size());
      int w = tab_width;
      int count = w <= 0 ? 1 : i > 0 ? w * ((w + i) / w) - i : w;
      if (count <= 0) count = 1;
      if (in_code) {
        state->current = mark::kBlank;
        state->skip_mark = mark::kBlank;
        for (int j = 0; j < count; ++j) scanner.Put(' ', mark::kBlank);
        continue;
      }
      for (int j = 0; j < count; ++j) scanner.Emit(' ', j + 1 < count ? ' ' : next, raw, k);
      continue;
    }
    if (uc >= 0xC2) {
      // Keep multi-byte characters whole: their continuation bytes fall in
      // the removed range 128..159.
      size_t len = Utf8Length(raw, k);
      if (len > 0) {
        for (size_t j = 0; j < len; ++j) {
          scanner.Emit(raw[k + j], k + j + 1 < n ? raw[k + j + 1] : '\0', raw, k + j);
        }
        printable_seen = true;
        k += len - 1;
        continue;
      }
    }
    if (ch == '@' && raw.substr(k + 1, 3) == "(#)") tabs_off = true;
    // Unwanted characters go, except inside literals where they are data.
    // Bytes from 128 on are text of another encoding in a comment, and
    // stay there too.
    const bool in_comment = m == mark::kBlockComment || m == mark::kLineComment;
    if ((uc < 32 || uc == 127 || (uc >= 128 && uc <= 159 && !in_comment)) && !in_literal) {
      // In code a blank takes its place: dropped, it would join what it
      // stood between ("a\fb", "/\v/" would become one word, a comment).
      if (in_code && scanner.last_mark() != mark::kBlank) {
        state->current = mark::kBlank;
        state->skip_mark = mark::kBlank;
        scanner.Put(' ', mark::kBlank);
      } else if (m == mark::kBlockComment && next == '/' && scanner.size() > 0 &&
                 (*text)[scanner.size() - 1] == '*') {
        // Nor may "*", a dropped byte and "/" close the comment.
        scanner.Emit(' ', next, raw, k);
      }
      continue;
    }
    scanner.Emit(ch, next, raw, k);
    if (uc > 32) printable_seen = true;
  }

  // Trailing white space is cut, but not from a literal: there it is data.
  size_t end = scanner.size();
  while (end > 0 && IsBlankChar(static_cast<unsigned char>((*text)[end - 1])) &&
         (*map)[end - 1] != mark::kString && (*map)[end - 1] != mark::kChar) {
    --end;
  }
  text->resize(end);
  map->resize(end);

  char& cur = state->current;
  // In C and C++ a backslash at the end of a line comment splices the next
  // line into the comment.
  bool comment_goes_on = cur == mark::kLineComment && state->c_family && end > 0 && (*text)[end - 1] == '\\';
  if (cur == mark::kLineComment && !comment_goes_on) cur = mark::kCode;
  state->ended_in_literal = cur == mark::kString || cur == mark::kChar;
  // A literal ends with its line unless a backslash splices the next line
  // on, which only C and C++ do; a text block or raw string goes on. The
  // splice comes before escapes (blanks may stand between the backslash and
  // the line end): the backslash before a spliced one escapes the next
  // line's first character only if the spliced one was itself escaped.
  if ((cur == mark::kString || cur == mark::kChar) && state->long_literal == 0) {
    const size_t last = raw.find_last_not_of(" \t\f\v");
    if (state->c_family && last != std::string_view::npos && raw[last] == '\\') {
      size_t run = 0;
      for (size_t j = last + 1; j > 0 && raw[j - 1] == '\\'; --j) ++run;
      if (run == last + 1 && escape_at_start) ++run;
      state->escape_skip = run % 2 == 0 ? 1 : 0;
    } else {
      cur = mark::kCode;
    }
  }
  // Only a literal stays open across a line end; an escape pending in code
  // would otherwise eat the first character of the next line.
  if (cur != mark::kString && cur != mark::kChar) state->escape_skip = 0;
  if (text->empty() || text->back() != '\\') state->continued_code = false;
}

const char* PieceKindName(PieceKind kind) {
  switch (kind) {
    case PieceKind::kBlockComment: return "block-comment";
    case PieceKind::kLineComment: return "line-comment";
    case PieceKind::kCode: return "code";
    case PieceKind::kOpenBrace: return "open-brace";
    case PieceKind::kCloseBrace: return "close-brace";
    case PieceKind::kDirective: return "directive";
    case PieceKind::kBlankLine: return "blank-line";
  }
  return "?";
}

namespace {

size_t RunEnd(const CharStateMap& map, size_t from, char m) {
  while (from < map.size() && map[from] == m) ++from;
  return from;
}

// True when the first character at or after `from` that is not blank is a
// "#" or "%:" of code: first on a line of its own, it would begin a directive.
bool SignFollows(std::string_view text, std::string_view map, size_t from) {
  while (from < map.size() && map[from] == mark::kBlank) ++from;
  return from < map.size() && IsCodeMark(map[from]) && DirectiveSignLength(text, from) != 0;
}

// A run of blanks in front of a final backslash shrinks to one blank. Blanks
// inside a literal are data and stay.
void ReduceBeforeBackslash(std::string* text, CharStateMap* map) {
  size_t n = text->size();
  if (n < 3 || (*text)[n - 1] != '\\') return;
  size_t b = n - 1;
  while (b > 0 && (*map)[b - 1] == mark::kBlank) --b;
  if (n - 1 - b > 1) {
    text->erase(b + 1, n - 2 - b);
    map->erase(b + 1, n - 2 - b);
  }
}

// The decomposer's working texts, kept from line to line (one set per
// thread) so that cutting a line allocates only for a longer line.
struct DecomposeBuffers {
  std::string rest_text;
  CharStateMap rest_map;
  std::vector<int> rest_col;
  std::vector<std::pair<size_t, size_t>> deferred;
};

// Cuts one line into pieces without recursion and copies every character at
// most a fixed number of times, so that a line of any length (thousands of
// braces, comments or blanks) costs time linear in its length.
class Decomposer {
 public:
  Decomposer(const std::string& text, const CharStateMap& map, bool ends_bs, bool comments_kept,
             bool began_in_comment, bool ends_in_literal, PieceList* pieces, DecomposeBuffers* buffers)
      : text_(text), map_(map), ends_bs_(ends_bs), comments_kept_(comments_kept),
        began_in_comment_(began_in_comment), ends_in_literal_(ends_in_literal), pieces_(*pieces),
        first_(pieces->size()), rest_text_(buffers->rest_text), rest_map_(buffers->rest_map),
        rest_col_(buffers->rest_col), deferred_(buffers->deferred) {
    deferred_.clear();
  }

  bool dropped_backslash() const { return dropped_backslash_; }

  void Run() {
    const size_t n = text_.size();
    size_t start = 0;
    // A line that begins inside a block comment opened earlier: the comment
    // part keeps its leading blanks. Its text may itself begin with "/*",
    // which then opens nothing: "/* a*/ b" inside a comment ends it at "*/".
    if (n > 0 && map_[0] == mark::kBlockComment && (began_in_comment_ || text_.compare(0, 2, "/*") != 0)) {
      size_t e = RunEnd(map_, 0, mark::kBlockComment);
      if (e == 1) {
        Append(PieceKind::kBlockComment, 0, 0, text_, map_);
        return;
      }
      if (SignFollows(text_, map_, e)) {
        // The sign after the comment is not first on its line and must not
        // become so: the line stays whole.
        Append(PieceKind::kBlockComment, 0, -1, text_, map_);
        return;
      }
      Append(PieceKind::kBlockComment, 0, HasCode(map_, e, n) ? -1 : 0, Text(0, e), Map(0, e));
      if (e == n) return;  // the comment goes on over the whole line
      start = e;
    }
    while (start < n && map_[start] == mark::kBlank) ++start;
    if (!CutComments(start)) return;
    CutRest();
    // Complete comments that shared the line with code follow its pieces, in
    // the order they stood.
    for (const auto& [p, e] : deferred_) {
      Append(PieceKind::kBlockComment, 0, 0, Text(p, e), Map(p, e));
    }
  }

 private:
  // Takes the block comments out of [start, n) into pieces and leaves the
  // code in rest_. False when the line has been cut completely.
  bool CutComments(size_t start) {
    const size_t n = text_.size();
    rest_text_.clear();
    rest_map_.clear();
    rest_col_.clear();
    size_t p = map_.find(mark::kBlockComment, start);
    const bool any_code = HasCode(map_, start, n);
    // Inside a continued line a comment stays part of the code; a comment
    // line that merely ends with a backslash is still a comment line.
    if (p == std::string::npos || (ends_bs_ && any_code)) {
      AddRest(start, n);
      return true;
    }
    size_t pos = start;
    if (any_code && comments_kept_) {
      // A comment left open at the end of a code line runs on over the next
      // lines, and a line comment ends the line: complete comments before
      // either stay in the code, or placing them after the code would put
      // them inside the open comment or after the line comment. So do those
      // before a literal that goes on past the line.
      size_t le = map_.find_last_of(mark::kBlockComment) + 1;
      size_t lp = le;
      while (lp > start && map_[lp - 1] == mark::kBlockComment) --lp;
      bool complete = text_.compare(lp, 2, "/*") == 0 && le - lp >= 4 && text_.compare(le - 2, 2, "*/") == 0;
      if (!complete && lp > p) {
        AddRest(start, lp);
        Append(PieceKind::kBlockComment, static_cast<int>(lp), -1, Text(lp, le), Map(lp, le));
        AddRest(le, n);
        return true;
      }
      if (ends_in_literal_ || map_.find(mark::kLineComment, start) != std::string::npos) {
        AddRest(start, n);
        return true;
      }
    }
    for (; p != std::string::npos; p = map_.find(mark::kBlockComment, pos)) {
      size_t e = RunEnd(map_, p, mark::kBlockComment);
      AddRest(pos, p);
      if (e == p + 1 && !HasNonBlank(rest_map_)) {
        if (NothingAppended()) Append(PieceKind::kBlankLine, static_cast<int>(p), 0, "", "");
        Append(PieceKind::kBlockComment, static_cast<int>(p), 0, Text(p, n), Map(p, n));
        for (const auto& [dp, de] : deferred_) Append(PieceKind::kBlockComment, 0, 0, Text(dp, de), Map(dp, de));
        return false;
      }
      // Removing "/**/" from "a+/**/+b" must not make "a++b".
      if (!rest_map_.empty() && rest_map_.back() != mark::kBlank && e < n && map_[e] != mark::kBlank) {
        rest_text_.push_back(' ');
        rest_map_.push_back(mark::kBlank);
        rest_col_.push_back(static_cast<int>(p));
      }
      bool complete = text_.compare(p, 2, "/*") == 0 && e - p >= 4 && text_.compare(e - 2, 2, "*/") == 0;
      if (any_code && complete) {
        deferred_.emplace_back(p, e);
      } else {
        Append(PieceKind::kBlockComment, static_cast<int>(p), any_code ? -1 : 0, Text(p, e), Map(p, e));
      }
      pos = e;
    }
    AddRest(pos, n);
    return true;
  }

  void AddRest(size_t from, size_t to) {
    rest_text_.append(text_, from, to - from);
    rest_map_.append(map_, from, to - from);
    size_t at = rest_col_.size();
    rest_col_.resize(at + (to - from));
    for (size_t i = from; i < to; ++i) rest_col_[at++] = static_cast<int>(i);
  }

  // Line comment, directive, and the cut at braces, over rest_.
  void CutRest() {
    const std::string& t = rest_text_;
    const CharStateMap& m = rest_map_;
    size_t hi = t.size();
    size_t c = m.find(mark::kLineComment);
    if (c != std::string::npos) {
      Append(PieceKind::kLineComment, rest_col_[c], HasCode(m, 0, c) ? -1 : 0, std::string_view(t).substr(c),
             std::string_view(m).substr(c));
      hi = c;
    }
    while (hi > 0 && m[hi - 1] == mark::kBlank) --hi;
    size_t cur = 0;
    while (cur < hi && m[cur] == mark::kBlank) ++cur;
    if (cur < hi && m[cur] == mark::kDirective) {
      AppendTrimmed(PieceKind::kDirective, cur, hi);
      return;
    }
    // The next code brace at or after a position (hi when there is none).
    // The cut asks about positions that only move forward, so each finder
    // remembers its last answer and the walk stays linear, with no table as
    // long as the line.
    struct NextBrace {
      const std::string& t;
      const CharStateMap& m;
      size_t hi;
      char brace;
      size_t from = 1, found = 0;  // found: the first brace at or after from
      size_t operator()(size_t i) {
        if (i >= from && i <= found) return found;
        size_t j = i;
        while (j < hi && !(m[j] == mark::kCode && t[j] == brace)) ++j;
        from = i;
        found = j;
        return j;
      }
    };
    NextBrace next_open{t, m, hi, '{'};
    NextBrace next_close{t, m, hi, '}'};
    for (;;) {
      while (cur < hi && m[cur] == mark::kBlank) ++cur;
      if (cur >= hi) {
        if (NothingAppended()) Append(PieceKind::kBlankLine, cur < rest_col_.size() ? rest_col_[cur] : 0, 0, "", "");
        return;
      }
      size_t open = next_open(cur);
      size_t close = next_close(cur);
      if (open == hi && close == hi) {
        if (hi - cur == 1 && t[cur] == '\\' && ends_bs_) {
          // The continuation goes to the line's last piece (DecomposeLine).
          dropped_backslash_ = true;
        } else if (HasCode(m, cur, hi)) {
          AppendTrimmed(PieceKind::kCode, cur, hi);
        }
        return;
      }
      // "{ ... }" with no other opening brace inside, first on its line,
      // stays one code piece: "int a[] = {1, 2};", "if (x) { y(); }".
      if (open < close && close < hi && NothingAppended() && next_open(open + 1) > close) {
        size_t end = close + 1;
        if (end < hi && (t[end] == ',' || t[end] == ';')) ++end;
        // A "#" cut off to a line of its own would begin a directive: what
        // precedes it stays with it, here and at the braces below.
        if (SignFollows(t, std::string_view(m).substr(0, hi), end)) end = hi;
        AppendTrimmed(PieceKind::kCode, cur, end);
        cur = end;
        continue;
      }
      size_t b = std::min(open, close);
      if (b == open && SignFollows(t, std::string_view(m).substr(0, hi), b + 1)) {
        AppendTrimmed(PieceKind::kCode, cur, hi);
        return;
      }
      if (HasCode(m, cur, b)) AppendTrimmed(PieceKind::kCode, cur, b);
      if (b == open) {
        Append(PieceKind::kOpenBrace, rest_col_[b], 0, "{", std::string_view(m).substr(b, 1));
        cur = b + 1;
        continue;
      }
      size_t e = b + 1;
      if (e < hi && t[e] == ';') ++e;
      if ((next_open(e) == hi && next_close(e) == hi) || SignFollows(t, std::string_view(m).substr(0, hi), e)) {
        AppendTrimmed(PieceKind::kCloseBrace, b, hi);
        return;
      }
      Append(PieceKind::kCloseBrace, rest_col_[b], 0, std::string_view(t).substr(b, e - b),
             std::string_view(m).substr(b, e - b));
      cur = e;
    }
  }

  static bool HasCode(const CharStateMap& map, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      if (IsCodeMark(map[i])) return true;
    }
    return false;
  }
  static bool HasNonBlank(const CharStateMap& map) {
    return map.find_first_not_of(mark::kBlank) != std::string::npos;
  }

  bool NothingAppended() const { return pieces_.size() == first_; }

  std::string_view Text(size_t from, size_t to) const { return std::string_view(text_).substr(from, to - from); }
  std::string_view Map(size_t from, size_t to) const { return std::string_view(map_).substr(from, to - from); }

  SourcePiece& Append(PieceKind kind, int offset, int code_after, std::string_view text, std::string_view map) {
    SourcePiece& piece = pieces_.Add();
    piece.kind = kind;
    piece.offset = offset;
    piece.has_code_after = code_after;
    piece.text.assign(text);
    piece.map.assign(map);
    return piece;
  }

  // rest_[from, to) trimmed, as a piece of `kind`.
  void AppendTrimmed(PieceKind kind, size_t from, size_t to) {
    while (from < to && rest_map_[from] == mark::kBlank) ++from;
    while (to > from && rest_map_[to - 1] == mark::kBlank) --to;
    SourcePiece& piece = Append(kind, from < rest_col_.size() ? rest_col_[from] : 0, 0,
                                std::string_view(rest_text_).substr(from, to - from),
                                std::string_view(rest_map_).substr(from, to - from));
    ReduceBeforeBackslash(&piece.text, &piece.map);
  }

  const std::string& text_;
  const CharStateMap& map_;
  bool ends_bs_;
  bool comments_kept_;
  bool began_in_comment_;
  bool ends_in_literal_;
  PieceList& pieces_;
  size_t first_;
  bool dropped_backslash_ = false;
  std::string& rest_text_;                            // the line without its block comments
  CharStateMap& rest_map_;
  std::vector<int>& rest_col_;                        // column of each rest_ character in the line
  std::vector<std::pair<size_t, size_t>>& deferred_;  // complete comments placed after the code
};


bool IsSplitCode(PieceKind k) {
  return k == PieceKind::kCode || k == PieceKind::kOpenBrace || k == PieceKind::kCloseBrace;
}

}  // namespace

void DecomposeLine(const std::string& text, const CharStateMap& map, bool ends_with_backslash,
                   bool previous_ended_with_backslash, PieceList* pieces, bool comments_kept, bool known_plain,
                   bool began_in_comment, bool ends_in_literal) {
  size_t first = pieces->size();
  // Most lines are plain code: no comment, directive or brace. They are one
  // trimmed code piece (or a blank line), as the full cut would find.
  bool plain = true;
  bool code = known_plain && !map.empty();
  for (size_t i = 0; i < map.size() && plain && !known_plain; ++i) {
    char m = map[i];
    if (m == mark::kBlockComment || m == mark::kLineComment || m == mark::kDirective ||
        (m == mark::kCode && (text[i] == '{' || text[i] == '}'))) {
      plain = false;
    }
    code = code || IsCodeMark(m);
  }
  if (plain) {
    size_t b = 0, e = map.size();
    while (b < e && map[b] == mark::kBlank) ++b;
    while (e > b && map[e - 1] == mark::kBlank) --e;
    if (b == e) {
      pieces->Add().offset = static_cast<int>(b);
      return;
    }
    if (e - b == 1 && text[b] == '\\' && ends_with_backslash) return;  // a lone continuation: nothing
    if (!code) return;
    SourcePiece& piece = pieces->Add();
    piece.kind = PieceKind::kCode;
    piece.offset = static_cast<int>(b);
    piece.text.assign(text, b, e - b);
    piece.map.assign(map, b, e - b);
    ReduceBeforeBackslash(&piece.text, &piece.map);
    return;
  }
  thread_local DecomposeBuffers buffers;
  Decomposer d(text, map, ends_with_backslash, comments_kept, began_in_comment, ends_in_literal, pieces, &buffers);
  d.Run();

  if (ends_with_backslash || previous_ended_with_backslash) {
    size_t last = pieces->size();
    for (size_t i = first; i + 1 < last; ++i) {
      SourcePiece& p = (*pieces)[i];
      if (IsSplitCode(p.kind) && !EndsWithBackslash(p.text)) {
        p.text += " \\";
        p.map += " .";
      }
    }
    // A lone backslash after a brace or a comment was dropped; that piece
    // must carry the continuation instead, or the macro would end there.
    if (d.dropped_backslash() && last > first) {
      SourcePiece& p = (*pieces)[last - 1];
      if ((IsSplitCode(p.kind) || p.kind == PieceKind::kBlockComment) && !EndsWithBackslash(p.text)) {
        p.text += " \\";
        p.map += " .";
      }
    }
  }
}

}  // namespace folios

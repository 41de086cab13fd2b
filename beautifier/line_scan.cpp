// The scan of one source line into cleaned text and marks, and its cut into
// pieces.
#include "line_scan.h"

#include <cctype>

namespace folios {

namespace {

bool IsBlankChar(unsigned char c) { return c == ' ' || c == '\t'; }

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

class Scanner {
 public:
  // Writes into `text` and `map`, which hold room for every character.
  Scanner(ScanState* state, char* text, char* map) : s_(*state), text_(text), map_(map) {}

  size_t size() const { return n_; }
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
            m = mark::kChar;
          } else if (ch == '/' && next == '*') {
            m = mark::kBlockComment;
            s_.escape_skip = 1;
          } else if (ch == '/' && next == '/') {
            m = mark::kLineComment;
          } else if (ch == '\\') {
            s_.escape_skip = EscapeLength(raw, k);
          }
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
      if (ch == '#' && !s_.continued_code) {
        written = mark::kDirective;
      } else {
        s_.continued_code = true;
      }
    }
    Put(ch, written);
  }

 private:
  ScanState& s_;
  char* text_;
  char* map_;
  size_t n_ = 0;
};

// Characters that can only make or keep the mark a dot when met in code.
struct PlainTable {
  bool plain[256] = {};
  constexpr PlainTable() {
    for (int c = 33; c < 127; ++c) plain[c] = true;
    for (char c : {'"', '\'', '/', '\\', '#', '@'}) plain[static_cast<unsigned char>(c)] = false;
  }
};
constexpr PlainTable kPlain;

}  // namespace

void ScanLine(std::string_view raw, int tab_width, ScanState* state, std::string* text,
              CharStateMap* map) {
  // Room for the longest result: every tab expanded to a full stop.
  size_t tabs = 0;
  for (char c : raw) tabs += c == '\t';
  size_t room = raw.size() + tabs * static_cast<size_t>(tab_width > 1 ? tab_width : 1);
  text->resize(room);
  map->resize(room);
  Scanner scanner(state, text->data(), map->data());
  bool tabs_off = false;
  bool printable_seen = false;
  size_t n = raw.size();
  for (size_t k = 0; k < n; ++k) {
    char ch = raw[k];
    unsigned char uc = static_cast<unsigned char>(ch);
    char m = state->current;
    bool in_code = (m == mark::kCode || m == mark::kBlank) && state->escape_skip == 0;
    // Fast path for the bulk of code: a run of plain characters, each making
    // or keeping the mark a dot, and blanks, each making it blank.
    if (in_code && (kPlain.plain[uc] || ch == ' ')) {
      char last = m;
      bool plain_seen = false;
      size_t j = k;
      for (; j < n; ++j) {
        unsigned char c = static_cast<unsigned char>(raw[j]);
        if (kPlain.plain[c]) {
          scanner.Put(static_cast<char>(c), mark::kCode);
          last = mark::kCode;
          plain_seen = true;
        } else if (c == ' ') {
          scanner.Put(' ', mark::kBlank);
          last = mark::kBlank;
        } else {
          break;
        }
      }
      state->current = last;
      state->skip_mark = last;
      if (plain_seen) {
        state->continued_code = true;
        printable_seen = true;
      }
      k = j - 1;
      continue;
    }
    // Fast path inside comments and literals: characters that cannot end them.
    if (state->escape_skip == 0 && ch != '\t' &&
        ((m == mark::kLineComment && uc >= 32 && uc < 127) ||
         (m == mark::kBlockComment && uc >= 32 && uc < 127 && ch != '*') ||
         ((m == mark::kString || m == mark::kChar) && ch != m && ch != '\\'))) {
      size_t j = k;
      for (; j < n; ++j) {
        char c = raw[j];
        unsigned char u = static_cast<unsigned char>(c);
        bool inert = c != '\t' && (m == mark::kLineComment    ? u >= 32 && u < 127
                                   : m == mark::kBlockComment ? u >= 32 && u < 127 && c != '*'
                                                              : c != m && c != '\\');
        if (!inert) break;
        scanner.Put(c, m);
        if (u > 32) printable_seen = true;
      }
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
    if (((uc < 32) || (uc >= 127 && uc <= 159)) && !in_literal) continue;
    scanner.Emit(ch, next, raw, k);
    if (uc > 32) printable_seen = true;
  }

  // Trailing white space is cut.
  size_t end = scanner.size();
  while (end > 0 && IsBlankChar(static_cast<unsigned char>((*text)[end - 1]))) --end;
  text->resize(end);
  map->resize(end);

  char& cur = state->current;
  if (cur == mark::kLineComment) cur = mark::kCode;
  if ((cur == mark::kString || cur == mark::kChar) && state->escape_skip == 0) cur = mark::kCode;
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

bool HasCodeMark(std::string_view map) {
  for (char m : map) {
    if (IsCodeMark(m)) return true;
  }
  return false;
}

size_t RunEnd(const CharStateMap& map, size_t from, char m) {
  while (from < map.size() && map[from] == m) ++from;
  return from;
}

struct Text {
  std::string text;
  CharStateMap map;
  int offset = 0;
};

void Trim(Text* t) {
  size_t b = 0;
  while (b < t->map.size() && t->map[b] == mark::kBlank) ++b;
  size_t e = t->map.size();
  while (e > b && t->map[e - 1] == mark::kBlank) --e;
  if (b == 0 && e == t->map.size()) return;
  t->text.erase(e);
  t->map.erase(e);
  t->text.erase(0, b);
  t->map.erase(0, b);
  t->offset += static_cast<int>(b);
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

class Decomposer {
 public:
  Decomposer(bool ends_bs, std::vector<SourcePiece>* pieces, size_t first)
      : ends_bs_(ends_bs), pieces_(*pieces), first_(first) {}

  bool dropped_backslash() const { return dropped_backslash_; }

  void Run(Text t, bool from_step1) {
    if (from_step1 && !t.map.empty() && t.map[0] == mark::kBlockComment &&
        t.text.compare(0, 2, "/*") != 0) {
      size_t e = RunEnd(t.map, 0, mark::kBlockComment);
      if (e == 1) {
        Append(PieceKind::kBlockComment, t.offset, 0, t.text, t.map);
        return;
      }
      Append(PieceKind::kBlockComment, t.offset, HasCodeMark(std::string_view(t.map).substr(e)) ? -1 : 0,
             t.text.substr(0, e), t.map.substr(0, e));
      t.text.erase(0, e);
      t.map.erase(0, e);
      t.offset += static_cast<int>(e);
    }

    Trim(&t);
    size_t p = t.map.find(mark::kBlockComment);
    if (p != std::string::npos) {
      size_t e = RunEnd(t.map, p, mark::kBlockComment);
      if (p == 0 && e == 1) {
        if (NothingAppended()) Append(PieceKind::kBlankLine, t.offset, 0, "", "");
        Append(PieceKind::kBlockComment, t.offset, 0, t.text, t.map);
        return;
      }
      // Inside a continued line a comment stays part of the code; a comment
      // line that merely ends with a backslash is still a comment line.
      if (!ends_bs_ || !HasCodeMark(t.map)) {
        std::string comment = t.text.substr(p, e - p);
        bool code_after = HasCodeMark(std::string_view(t.map).substr(0, p)) ||
                          HasCodeMark(std::string_view(t.map).substr(e));
        bool complete = comment.compare(0, 2, "/*") == 0 && comment.find("*/", 2) != std::string::npos;
        Text rest;
        rest.offset = t.offset;
        rest.text = t.text.substr(0, p);
        rest.map = t.map.substr(0, p);
        // Removing "/**/" from "a+/**/+b" must not make "a++b".
        if (p > 0 && e < t.text.size() && t.map[p - 1] != mark::kBlank && t.map[e] != mark::kBlank) {
          rest.text.push_back(' ');
          rest.map.push_back(mark::kBlank);
        }
        rest.text.append(t.text, e, std::string::npos);
        rest.map.append(t.map, e, std::string::npos);
        if (code_after && complete) {
          Run(std::move(rest), false);
          Append(PieceKind::kBlockComment, 0, 0, comment, t.map.substr(p, e - p));
          return;
        }
        Append(PieceKind::kBlockComment, t.offset + static_cast<int>(p), code_after ? -1 : 0, comment,
               t.map.substr(p, e - p));
        Run(std::move(rest), false);
        return;
      }
    }

    Trim(&t);
    size_t c = t.map.find(mark::kLineComment);
    if (c != std::string::npos) {
      Append(PieceKind::kLineComment, t.offset + static_cast<int>(c),
             HasCodeMark(std::string_view(t.map).substr(0, c)) ? -1 : 0, t.text.substr(c), t.map.substr(c));
      t.text.resize(c);
      t.map.resize(c);
    }

    Trim(&t);
    if (!t.map.empty() && t.map[0] == mark::kDirective) {
      AppendTrimmedCode(PieceKind::kDirective, t);
      return;
    }

    Trim(&t);
    size_t n = t.text.size();
    size_t open = std::string::npos, close = std::string::npos;
    for (size_t i = 0; i < n; ++i) {
      if (t.map[i] != mark::kCode) continue;
      if (t.text[i] == '{' && open == std::string::npos) open = i;
      if (t.text[i] == '}' && close == std::string::npos) close = i;
      if (open != std::string::npos && close != std::string::npos) break;
    }
    if (open == std::string::npos && close == std::string::npos) {
      if (t.text.empty() && NothingAppended()) {
        Append(PieceKind::kBlankLine, t.offset, 0, "", "");
      } else if (t.text == "\\") {
        dropped_backslash_ = true;
      } else if (HasCodeMark(t.map)) {
        AppendTrimmedCode(PieceKind::kCode, t);
      }
      return;
    }
    if (open != std::string::npos && close != std::string::npos && open < close && NothingAppended()) {
      bool other_open = false;
      for (size_t i = open + 1; i < close; ++i) {
        if (t.map[i] == mark::kCode && t.text[i] == '{') other_open = true;
      }
      if (!other_open) {
        size_t end = close + 1;
        if (end < n && (t.text[end] == ',' || t.text[end] == ';')) ++end;
        Text head{t.text.substr(0, end), t.map.substr(0, end), t.offset};
        AppendTrimmedCode(PieceKind::kCode, head);
        Text rest{t.text.substr(end), t.map.substr(end), t.offset + static_cast<int>(end)};
        Run(std::move(rest), true);
        return;
      }
    }
    size_t b = (open != std::string::npos && (close == std::string::npos || open < close)) ? open : close;
    if (HasCodeMark(std::string_view(t.map).substr(0, b))) {
      Text head{t.text.substr(0, b), t.map.substr(0, b), t.offset};
      AppendTrimmedCode(PieceKind::kCode, head);
    }
    int brace_offset = t.offset + static_cast<int>(b);
    if (b == open) {
      Append(PieceKind::kOpenBrace, brace_offset, 0, "{", t.map.substr(b, 1));
      Run(Text{t.text.substr(b + 1), t.map.substr(b + 1), brace_offset + 1}, true);
      return;
    }
    size_t e = b + 1;
    if (e < n && t.text[e] == ';') ++e;
    bool further = false;
    for (size_t i = e; i < n; ++i) {
      if (t.map[i] == mark::kCode && (t.text[i] == '{' || t.text[i] == '}')) further = true;
    }
    if (!further) {
      Text tail{t.text.substr(b), t.map.substr(b), brace_offset};
      AppendTrimmedCode(PieceKind::kCloseBrace, tail);
      return;
    }
    Append(PieceKind::kCloseBrace, brace_offset, 0, t.text.substr(b, e - b), t.map.substr(b, e - b));
    Run(Text{t.text.substr(e), t.map.substr(e), t.offset + static_cast<int>(e)}, true);
  }

 private:
  bool NothingAppended() const { return pieces_.size() == first_; }

  void Append(PieceKind kind, int offset, int code_after, std::string text, CharStateMap map) {
    SourcePiece piece;
    piece.kind = kind;
    piece.offset = offset;
    piece.has_code_after = code_after;
    piece.text = std::move(text);
    piece.map = std::move(map);
    pieces_.push_back(std::move(piece));
  }

  void AppendTrimmedCode(PieceKind kind, Text t) {
    Trim(&t);
    ReduceBeforeBackslash(&t.text, &t.map);
    Append(kind, t.offset, 0, std::move(t.text), std::move(t.map));
  }

  bool ends_bs_;
  std::vector<SourcePiece>& pieces_;
  size_t first_;
  bool dropped_backslash_ = false;
};

bool EndsWithBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

bool IsSplitCode(PieceKind k) {
  return k == PieceKind::kCode || k == PieceKind::kOpenBrace || k == PieceKind::kCloseBrace;
}

}  // namespace

void DecomposeLine(const std::string& text, const CharStateMap& map, bool ends_with_backslash,
                   bool previous_ended_with_backslash, std::vector<SourcePiece>* pieces) {
  size_t first = pieces->size();
  // Most lines are plain code: no comment, directive or brace. They are one
  // trimmed code piece (or a blank line), as the full cut would find.
  bool plain = true;
  bool code = false;
  for (size_t i = 0; i < map.size() && plain; ++i) {
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
      SourcePiece piece;
      piece.offset = static_cast<int>(b);
      pieces->push_back(std::move(piece));
      return;
    }
    if (e - b == 1 && text[b] == '\\') return;  // a lone continuation: nothing
    if (!code) return;
    SourcePiece piece;
    piece.kind = PieceKind::kCode;
    piece.offset = static_cast<int>(b);
    piece.text.assign(text, b, e - b);
    piece.map.assign(map, b, e - b);
    ReduceBeforeBackslash(&piece.text, &piece.map);
    pieces->push_back(std::move(piece));
    return;
  }
  Decomposer d(ends_with_backslash, pieces, first);
  d.Run(Text{text, map, 0}, true);

  if (ends_with_backslash || previous_ended_with_backslash) {
    size_t last = pieces->size();
    for (size_t i = first; i + 1 < last; ++i) {
      SourcePiece& p = (*pieces)[i];
      if (IsSplitCode(p.kind) && !EndsWithBackslash(p.text)) {
        p.text += " \\";
        p.map += " .";
      }
    }
    // A lone backslash after a brace was dropped; the brace must carry the
    // continuation instead, or the macro would end there.
    if (d.dropped_backslash() && last > first) {
      SourcePiece& p = (*pieces)[last - 1];
      if (IsSplitCode(p.kind) && !EndsWithBackslash(p.text)) {
        p.text += " \\";
        p.map += " .";
      }
    }
  }
}

}  // namespace folios

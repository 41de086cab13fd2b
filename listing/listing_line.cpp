#include "listing_line.h"

#include <algorithm>
#include <cstring>

namespace folios {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void TrimRight(std::string* text) {
  size_t end = text->size();
  while (end > 0 && IsBlank((*text)[end - 1])) --end;
  text->resize(end);
}

struct WordChars {
  bool table[256] = {};
  constexpr WordChars() {
    for (int c = 0; c < 256; ++c) {
      table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }
  }
};
constexpr WordChars kWordChars;

bool IsWordChar(char c) { return kWordChars.table[static_cast<unsigned char>(c)]; }

bool IsDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A colour field of a keyword file as the number RTF reads after "\\cf" or
// "\\highlight". Anything else (a damaged or hand-edited file) would become
// markup or text of the document, so it is written as 0, the automatic colour.
std::string ColorNumber(const std::string& field) {
  size_t digits = !field.empty() && field[0] == '-' ? 1 : 0;
  bool number = field.size() > digits && field.size() - digits <= 10 && IsDigits(field.substr(digits));
  return field.empty() || number ? field : "0";
}

// Characters that may stand before a styled keyword.
bool AllowedBefore(char c) {
  switch (c) {
    case ' ': case '(': case '/': case '!': case '<': case '*': case '&':
    case '#': case '{': case '}': case ':': case ',':
      return true;
    default:
      return false;
  }
}

// Characters that may follow a styled keyword of two or more characters.
bool AllowedAfter(char c) {
  switch (c) {
    case ' ': case ',': case ';': case ')': case '(': case '*': case ':': case '.':
    case '>': case '<':
      return true;
    default:
      return false;
  }
}

bool KeywordBoundariesOk(std::string_view text, size_t pos, size_t length, char before) {
  if (!AllowedBefore(before)) return false;
  if (length <= 1) return true;
  char after = pos + length >= text.size() ? ' ' : text[pos + length];
  return AllowedAfter(after) || ((after == '!' || after == '#') && before == '#');
}

bool KeywordBoundariesOk(std::string_view text, size_t pos, size_t length) {
  return KeywordBoundariesOk(text, pos, length, pos == 0 ? ' ' : text[pos - 1]);
}

}  // namespace

void EscapeRtf(std::string* text) {
  size_t specials = 0;
  for (char c : *text) specials += (c == '\\' || c == '{' || c == '}');
  if (specials == 0) return;
  std::string out;
  out.reserve(text->size() + specials);
  for (char c : *text) {
    if (c == '\\' || c == '{' || c == '}') out += '\\';
    out += c;
  }
  text->swap(out);
}

bool IsInString(std::string_view line, size_t pos) {
  size_t open = line.find('"');
  while (open != std::string_view::npos && open < pos) {
    size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) return false;
    if (pos < close) return true;
    open = line.find('"', close + 1);
  }
  return false;
}

bool RemoveNoise(std::string* line, char c, size_t start) {
  const std::string& in = *line;
  const size_t npos = std::string::npos;
  // Most lines hold no run of the character: nothing to do.
  bool any_run = false;
  for (size_t f = in.find(c, start); f != npos && !any_run; f = in.find(c, f + 1)) {
    any_run = f + 1 < in.size() && in[f + 1] == c;
  }
  if (!any_run) return true;

  // One pass from the left. The text so far goes to `out`; what follows
  // position i of `in` is still as it was, so whether a quote or another
  // noise character follows is known from the last of each in `in`.
  std::string out(in, 0, start);
  size_t quotes = static_cast<size_t>(std::count(out.begin(), out.end(), '"'));
  const size_t last_c = in.rfind(c);
  const size_t last_quote = in.rfind('"');
  bool removed = false;
  size_t i = start;
  auto current_is = [&](std::string_view text) {
    return out.size() + (in.size() - i) == text.size() &&
           std::string_view(out) == text.substr(0, out.size()) &&
           std::string_view(in).substr(i) == text.substr(out.size());
  };
  while (true) {
    size_t f = in.find(c, i);
    if (f == npos) break;
    quotes += static_cast<size_t>(std::count(in.begin() + i, in.begin() + f, '"'));
    out.append(in, i, f - i);
    i = f;
    if (c == '*') {
      // An empty comment "/**/" around the run ends the work on the line.
      auto at = [&](long offset) -> char {
        long k = static_cast<long>(out.size()) + offset;  // position in the current text
        if (k < 0) return '\0';
        if (k < static_cast<long>(out.size())) return out[static_cast<size_t>(k)];
        size_t j = i + static_cast<size_t>(k) - out.size();
        return j < in.size() ? in[j] : '\0';
      };
      auto empty_comment_at = [&](long from) {
        return at(from) == '/' && at(from + 1) == '*' && at(from + 2) == '*' && at(from + 3) == '/';
      };
      if (empty_comment_at(-1) || empty_comment_at(-2)) {
        out.append(in, i);
        *line = std::move(out);
        return true;
      }
    }
    size_t next = in.find(c, i + 1);
    if (next == npos) break;
    if (next != i + 1) {
      if (c == '"') ++quotes;
      out += c;
      ++i;
      continue;
    }
    // A run. Inside a quoted string (an opening quote before it whose
    // closing quote follows) it stays, and so does the rest of the line.
    if (c != '"' && quotes % 2 == 1 && last_quote != npos && last_quote > i) break;
    if (current_is("/**")) {
      *line = "/*";
      return true;
    }
    if (current_is("**/")) {
      *line = "*/";
      return true;
    }
    const bool third = last_c != npos && last_c > next;
    i += (c != ' ' && !third) ? 2 : 1;
    removed = true;
  }
  out.append(in, i);
  *line = std::move(out);
  // Only decoration that was taken away may leave an empty comment or an
  // empty line behind; a line without noise is source as written.
  if (!removed) return true;
  TrimRight(line);
  std::string& s = *line;
  if (s.size() >= 2 && s.compare(s.size() - 2, 2, "//") == 0) s.resize(s.size() - 2);
  return !s.empty();
}

size_t FindLineComment(std::string_view line, size_t start) {
  for (std::string_view marker : {std::string_view("//"), std::string_view("'")}) {
    for (size_t p = line.find(marker, start); p != std::string_view::npos;
         p = line.find(marker, p + 1)) {
      if (!IsInString(line, p)) return p;
    }
  }
  return std::string_view::npos;
}

void MarkerCursor::Reset(std::string_view line, std::string_view marker) {
  *this = MarkerCursor();
  line_ = line;
  marker_ = marker;
}

size_t MarkerCursor::Find(size_t from) {
  const size_t npos = std::string_view::npos;
  if (answered_ && (found_ == npos || found_ >= from)) return found_;
  from = std::min(from, line_.size());
  if (from > scan_) {
    quotes_ += static_cast<size_t>(std::count(line_.begin() + scan_, line_.begin() + from, '"'));
    scan_ = from;
  }
  answered_ = true;
  while (true) {
    size_t p = line_.find(marker_, scan_);
    if (p == npos) {
      found_ = npos;
      return npos;
    }
    quotes_ += static_cast<size_t>(std::count(line_.begin() + scan_, line_.begin() + p, '"'));
    scan_ = p;
    // Inside a string: after an opening quote whose closing quote follows.
    if (quotes_ % 2 == 1 && !last_quote_known_) {
      last_quote_ = line_.rfind('"');
      last_quote_known_ = true;
    }
    bool inside = quotes_ % 2 == 1 && last_quote_ != npos && last_quote_ > p;
    if (!inside) {
      found_ = p;
      return p;
    }
    scan_ = p + 1;  // a marker holds no quote
  }
}

bool IsProcedureStart(std::string_view line) {
  for (std::string_view word : {std::string_view("Sub "), std::string_view("Function "),
                                std::string_view("Property ")}) {
    size_t p = line.find(word);
    if (p == std::string_view::npos || p >= 10) continue;
    size_t from = p >= 8 ? p - 8 : 0;
    if (line.substr(from, 7) != "Declare") return true;
  }
  return false;
}

RunMarkup RtfRunMarkup(const KeywordTable& table, const std::string& comment_format) {
  RunMarkup markup;
  std::string comment_run;
  for (size_t k = 0; k < table.entries.size(); ++k) {
    const KeywordRecord& r = table.entries[k];
    std::string format = k == 0 ? comment_format : std::string();
    if (r.bold == "True") format += "\\b";
    if (r.italic == "True") format += "\\i";
    if (r.underline == "True") format += "\\ul";
    format += "\\cf" + ColorNumber(r.fore) + "\\highlight" + ColorNumber(r.back);
    markup.openers.push_back("}{" + format + " ");
    if (k == 0) comment_run = format;
  }
  // The comment format ends in a control word with a number, which a blank
  // delimits from the text after it: some readers take any character after
  // a control word as its end. The opener carries no "}{": it ends nothing.
  markup.block_openers[0] = comment_run;
  markup.block_openers[1] = comment_run + " ";
  markup.closer = "}{";
  return markup;
}

LineStyler::LineStyler(const KeywordTable& table, std::string comment_format)
    : LineStyler(table, RtfRunMarkup(table, comment_format)) {}

LineStyler::LineStyler(const KeywordTable& table, RunMarkup markup) {
  word_scan_ = true;
  run_openers_ = std::move(markup.openers);
  closer_ = std::move(markup.closer);
  for (size_t k = 0; k < table.entries.size(); ++k) {
    const KeywordRecord& r = table.entries[k];
    // Keywords are found in the escaped line: one holding a backslash or a
    // brace would match part of an escape or of a run's markup and cut it,
    // so it is never styled. Nor is one holding a control character: no
    // line's text holds one (but for the placeholder and the form feed),
    // so it could only match markup.
    bool markup_chars = k > 0 && std::any_of(r.keyword.begin(), r.keyword.end(), [](char c) {
                          unsigned char u = static_cast<unsigned char>(c);
                          return c == '\\' || c == '{' || c == '}' ||
                                 (u < 0x20 && c != kCharacterPlaceholder && c != '\f');
                        });
    keywords_.push_back(markup_chars ? std::string() : r.keyword);
    if (k == 0) continue;
    bool word = r.keyword.size() >= 2 && r.keyword.size() < 64 &&
                std::all_of(r.keyword.begin(), r.keyword.end(), IsWordChar) && IsDigits(r.fore) &&
                IsDigits(r.back);
    if (!word) word_scan_ = false;
  }
  marker_ = keywords_[0];
  c_like_ = marker_ != "'";
  for (const char* c = "\\\"/"; *c; ++c) code_stops_[static_cast<unsigned char>(*c)] = true;
  if (c_like_) code_stops_[static_cast<unsigned char>('\'')] = true;
  if (!marker_.empty()) code_stops_[static_cast<unsigned char>(marker_[0])] = true;
  marker_after_slash_ = !marker_.empty() && marker_[0] == '/';
  for (bool* stops : {string_stops_, char_stops_}) stops[static_cast<unsigned char>('\\')] = true;
  string_stops_[static_cast<unsigned char>('"')] = true;
  char_stops_[static_cast<unsigned char>('\'')] = true;
  for (int before = 0; before < 2; ++before) {
    for (int after = 0; after < 2; ++after) {
      block_openers_[before][after] = (before ? " " : "") + markup.block_openers[after];
    }
  }
  if (word_scan_) {
    size_t slots = 16;
    while (slots < 4 * keywords_.size()) slots *= 2;
    word_slots_.assign(slots, WordSlot{});
    word_slot_mask_ = slots - 1;
    for (size_t k = 1; k < keywords_.size(); ++k) {
      const std::string& kw = keywords_[k];
      // The first of repeated words keeps its place.
      if (FindWord(kw) == 0) {
        size_t slot = WordHash(kw) & word_slot_mask_;
        while (word_slots_[slot].length != 0) slot = (slot + 1) & word_slot_mask_;
        word_slots_[slot] = WordSlot{kw.data(), static_cast<uint32_t>(kw.size()), static_cast<uint32_t>(k)};
      }
      lengths_by_first_byte_[static_cast<unsigned char>(kw[0])] |= uint64_t{1} << kw.size();
    }
  }
}

namespace {

// The header name of "#include <name>" (also #include_next and #import),
// as [begin, end) of `t`; false when the line is no such directive.
bool FindIncludedHeader(std::string_view t, size_t from, size_t end, size_t* begin,
                        size_t* name_end) {
  size_t p = from;
  while (p < end && t[p] == ' ') ++p;
  if (p >= end || t[p] != '#') return false;
  ++p;
  while (p < end && t[p] == ' ') ++p;
  size_t word = p;
  while (p < end && IsWordChar(t[p])) ++p;
  std::string_view directive = t.substr(word, p - word);
  if (directive != "include" && directive != "include_next" && directive != "import") {
    return false;
  }
  while (p < end && t[p] == ' ') ++p;
  if (p >= end || t[p] != '<') return false;
  size_t close = t.find('>', p + 1);
  *begin = p + 1;
  *name_end = close == std::string_view::npos || close > end ? end : close;
  return true;
}

// True when the "'" at `pos` separates digits of a number (1'000'000)
// rather than opening a character literal (u8'a' and L'a' open one).
bool DigitSeparator(std::string_view t, size_t from, size_t pos) {
  size_t start = pos;
  while (start > from && (IsWordChar(t[start - 1]) || t[start - 1] == '\'')) --start;
  return start < pos && t[start] >= '0' && t[start] <= '9';
}

}  // namespace

// Most lines hold no comment and no string: nothing to insert. True when
// `scan` is such a line, which is then taken as it is. `header` is the name
// of an included header, or null.
bool LineStyler::StylePlainLine(const CommentScan& scan, const Span* header) {
  const std::string_view t = scan.t;
  const size_t npos = std::string_view::npos;
  // A marker that starts with "/" cannot be found once "/" is not.
  if (scan.quote != 0 || t.find('/') != npos || t.find('"') != npos ||
      (marker_after_slash_ ? marker_.empty() : t.find(marker_) != npos)) {
    return false;
  }
  line_ = t;
  if (scan.number_end > 0) rejected_.push_back({0, scan.number_end});
  if (header) rejected_.push_back(*header);
  if (scan.continues) rejected_.push_back({scan.mark_start, t.size()});
  return true;
}

void LineStyler::AddRegion(size_t begin, size_t end, std::string_view opener) {
  regions_.push_back({begin, end});
  inserts_.push_back({begin, 1, opener, static_cast<int>(regions_.size()) - 1});
  inserts_.push_back({end, begin < end ? 0 : 2, closer_, -1});
}

// A block comment run starts with a blank, which takes the place of a
// blank already standing before it. The comment format ends in a control
// word with a number, which a blank delimits from the text: some readers
// take any character after a control word as its end.
std::string_view LineStyler::BlockOpener(std::string_view t, size_t pos) const {
  bool before = pos > 0 && t[pos - 1] != ' ';
  bool after = pos < t.size();
  return block_openers_[before][after];
}

// Reads t[from, source_end) from the left: strings and character literals
// hide what they hold; the first comment marker or "/*" outside them
// counts. The text is RTF-escaped: a backslash and the character after it
// are one source character. With `record`, comment runs and the first
// string are noted for styling; without, only the state is followed.
void LineStyler::LexComments(CommentScan* scan, size_t from, bool record, CommentState* state) {
  const std::string_view t = scan->t;
  const size_t npos = std::string_view::npos;
  const size_t source_end = scan->source_end;
  char& quote = scan->quote;
  bool& escape = scan->escape;
  size_t i = from;
  while (i < source_end) {
    // Runs of characters that open, close or escape nothing are skipped.
    const bool* stops = quote == 0 ? code_stops_ : quote == '"' ? string_stops_ : char_stops_;
    while (i < source_end && !escape && !stops[static_cast<unsigned char>(t[i])]) ++i;
    if (i >= source_end) break;
    const bool escaped = t[i] == '\\' && i + 1 < source_end;
    const size_t unit = escaped ? 2 : 1;
    const char c = escaped ? t[i + 1] : t[i];
    if (quote != 0) {
      if (escape) {
        escape = false;
      } else if (escaped && c == '\\' && c_like_) {
        escape = true;
      } else if (!escaped && c == quote) {
        if (quote == '"' && scan->string_end == npos && scan->string_begin != npos) scan->string_end = i;
        quote = 0;
      }
      i += unit;
      continue;
    }
    if (!escaped) {
      if (c == '"') {
        quote = '"';
        if (scan->string_begin == npos) scan->string_begin = i + 1;
      } else if (c == '\'' && c_like_ && !DigitSeparator(t, scan->number_end, i)) {
        quote = '\'';
      } else if (c == marker_[0] && t.compare(i, marker_.size(), marker_) == 0) {
        if (record) AddRegion(i, t.size(), run_openers_[0]);
        state->line_comment_seen = true;
        return;
      } else if (c == '/' && i + 1 < source_end && t[i + 1] == '*') {
        size_t close = t.find("*/", i + 2);
        if (close == npos || close + 2 > source_end) {
          if (record) AddRegion(i, t.size(), BlockOpener(t, i));
          state->in_block = true;
          return;
        }
        if (record) AddRegion(i, close + 2, BlockOpener(t, i));
        i = close + 2;
        continue;
      }
    }
    i += unit;
  }
}

// A line that begins inside a block comment is one comment run, whatever
// follows the "*/"; what follows is still read, so that a string or comment
// it opens goes on in the next line or segment.
void LineStyler::ContinueBlockComment(CommentScan* scan, CommentState* state) {
  const std::string_view t = scan->t;
  AddRegion(scan->number_end, t.size(), BlockOpener(t, scan->number_end));
  skip_keywords_ = true;
  size_t close = t.substr(0, scan->source_end).find("*/", scan->number_end);
  scan->quote = 0;
  scan->escape = false;
  if (close != std::string_view::npos) {
    state->in_block = false;
    LexComments(scan, close + 2, false, state);
  }
}

// Builds the line with its comment runs, and maps the spans where keywords
// are not styled from positions of the line to positions in it.
void LineStyler::BuildCommentedLine(const CommentScan& scan) {
  const std::string_view t = scan.t;
  // The insertions come nearly in order (regions are found from the left):
  // a stable insertion sort takes them as they are, without the scratch
  // buffer of a merge sort.
  for (size_t k = 1; k < inserts_.size(); ++k) {
    const Insert moving = inserts_[k];
    size_t j = k;
    while (j > 0 && (inserts_[j - 1].pos > moving.pos ||
                     (inserts_[j - 1].pos == moving.pos && inserts_[j - 1].order > moving.order))) {
      inserts_[j] = inserts_[j - 1];
      --j;
    }
    inserts_[j] = moving;
  }
  region_begin_.assign(regions_.size(), 0);
  shifts_.clear();
  commented_.clear();
  size_t added = 0;
  size_t copied = 0;
  for (const Insert& ins : inserts_) {
    commented_.append(t.substr(copied, ins.pos - copied));
    copied = ins.pos;
    if (ins.region >= 0) region_begin_[static_cast<size_t>(ins.region)] = commented_.size();
    commented_ += ins.text;
    added += ins.text.size();
    shifts_.emplace_back(ins.pos, added);
  }
  commented_.append(t.substr(copied));
  line_ = commented_;
  // shifts_ is in position order: the last shift at or before a position
  // is found by bisection, so a line with many comments costs n log n.
  auto map = [&](size_t pos) {
    auto after = std::upper_bound(shifts_.begin(), shifts_.end(), pos,
                                  [](size_t p, const std::pair<size_t, size_t>& shift) {
                                    return p < shift.first;
                                  });
    return pos + (after == shifts_.begin() ? 0 : std::prev(after)->second);
  };
  for (Span& span : rejected_) span = {map(span.begin), map(span.end)};
  for (size_t r = 0; r < regions_.size(); ++r) {
    rejected_.push_back({region_begin_[r], map(regions_[r].end)});
  }
  if (scan.number_end > 0) rejected_.push_back({0, map(scan.number_end)});
  if (scan.continues) rejected_.push_back({map(scan.mark_start), commented_.size()});
}

void LineStyler::CommentPass(const StyleInput& input, CommentState* state) {
  const size_t npos = std::string_view::npos;
  CommentScan scan;
  scan.t = input.text;
  scan.number_end = std::min(input.number_end, scan.t.size());
  scan.mark_start = std::min(input.mark_start, scan.t.size());
  // Only the source text is read for comments and strings, never the
  // continuation mark.
  scan.source_end = std::max(scan.mark_start, scan.number_end);
  scan.continues = scan.mark_start < scan.t.size();
  scan.quote = state->open_quote;
  scan.escape = state->escape_pending;
  scan.string_begin = scan.quote == '"' ? scan.number_end : npos;
  scan.string_end = npos;
  rejected_.clear();
  skip_keywords_ = false;

  Span header{0, 0};
  const bool include = c_like_ && !state->in_block &&
                       FindIncludedHeader(scan.t, scan.number_end, scan.source_end, &header.begin, &header.end);
  if (!state->in_block && StylePlainLine(scan, include ? &header : nullptr)) return;

  inserts_.clear();
  regions_.clear();
  if (state->in_block) {
    ContinueBlockComment(&scan, state);
  } else {
    LexComments(&scan, scan.number_end, true, state);
    // Keywords inside the first string stay plain; an unclosed one runs on
    // to the end of the text.
    if (scan.string_begin != npos) {
      rejected_.push_back({scan.string_begin, scan.string_end == npos ? scan.source_end : scan.string_end});
    }
    if (include) rejected_.push_back(header);
  }
  state->open_quote = scan.continues ? scan.quote : 0;
  state->escape_pending = scan.continues && scan.escape;
  BuildCommentedLine(scan);
}

void LineStyler::ReleaseScratch() {
  std::string().swap(commented_);
  line_ = std::string_view();
  std::vector<Span>().swap(rejected_);
  std::vector<Insert>().swap(inserts_);
  std::vector<Span>().swap(regions_);
}

void LineStyler::Style(const StyleInput& input, CommentState* state, std::string* out) {
  CommentPass(input, state);
  size_t begin = out->size();
  if (skip_keywords_ || keywords_.size() <= 1) {
    out->append(line_);
  } else if (word_scan_) {
    KeywordsByScan(out);
  } else {
    KeywordsBySearch(out);
  }
  size_t end = out->size();
  while (end > begin && IsBlank((*out)[end - 1])) --end;
  out->resize(end);
}

void LineStyler::StyleBySearch(const StyleInput& input, CommentState* state, std::string* out) {
  CommentPass(input, state);
  size_t begin = out->size();
  if (skip_keywords_) {
    out->append(line_);
  } else {
    KeywordsBySearch(out);
  }
  size_t end = out->size();
  while (end > begin && IsBlank((*out)[end - 1])) --end;
  out->resize(end);
}

void LineStyler::KeywordsBySearch(std::string* out) {
  // Keyword after keyword, each styled wherever it stands in the line as the
  // earlier ones left it. Each keyword rebuilds the line once, so a long line
  // costs time linear in its length for every keyword.
  std::string line(line_);
  std::string next;
  std::vector<Span> spans = rejected_;
  std::vector<std::pair<size_t, size_t>> shifts;  // (position, bytes added up to it)
  for (size_t k = 1; k < keywords_.size(); ++k) {
    const std::string& kw = keywords_[k];
    if (kw.empty()) continue;
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.begin < b.begin; });
    size_t next_span = 0;
    size_t rejected_until = 0;
    auto rejected = [&](size_t pos) {
      while (next_span < spans.size() && spans[next_span].begin <= pos) {
        rejected_until = std::max(rejected_until, spans[next_span].end);
        ++next_span;
      }
      return pos < rejected_until;
    };
    next.clear();
    shifts.clear();
    size_t copied = 0;
    size_t added = 0;
    for (size_t pos = line.find(kw); pos != std::string::npos;) {
      // Right after a run just inserted, the character before is its "{".
      char before = !shifts.empty() && pos == copied ? '{' : pos == 0 ? ' ' : line[pos - 1];
      if (rejected(pos) || !KeywordBoundariesOk(line, pos, kw.size(), before)) {
        pos = line.find(kw, pos + kw.size());
        continue;
      }
      next.append(line, copied, pos - copied);
      next += run_openers_[k];
      next += kw;
      next += closer_;
      copied = pos + kw.size();
      added += run_openers_[k].size() + closer_.size();
      shifts.emplace_back(pos, added);
      pos = line.find(kw, copied);
    }
    if (shifts.empty()) continue;
    next.append(line, copied);
    // A position moves by what was inserted strictly before it.
    auto moved = [&](size_t q) {
      auto after = std::lower_bound(shifts.begin(), shifts.end(), q,
                                    [](const std::pair<size_t, size_t>& shift, size_t p) {
                                      return shift.first < p;
                                    });
      return q + (after == shifts.begin() ? 0 : std::prev(after)->second);
    };
    for (Span& span : spans) span = {moved(span.begin), moved(span.end)};
    line.swap(next);
  }
  out->append(line);
}

size_t LineStyler::WordHash(std::string_view word) {
  // Length and the first, second and last bytes tell the words of a
  // keyword table apart well enough; a probe compares the whole word.
  uint32_t key = static_cast<uint32_t>(word.size()) | static_cast<uint32_t>(static_cast<unsigned char>(word[0])) << 8 |
                 static_cast<uint32_t>(static_cast<unsigned char>(word[1])) << 16 |
                 static_cast<uint32_t>(static_cast<unsigned char>(word.back())) << 24;
  return static_cast<size_t>((key * 0x9E3779B1u) >> 16);
}

size_t LineStyler::FindWord(std::string_view word) const {
  for (size_t slot = WordHash(word) & word_slot_mask_;; slot = (slot + 1) & word_slot_mask_) {
    const WordSlot& entry = word_slots_[slot];
    if (entry.length == 0) return 0;
    if (entry.length == word.size() && std::memcmp(entry.text, word.data(), word.size()) == 0) return entry.index;
  }
}

void LineStyler::KeywordsByScan(std::string* out) {
  const std::string_view line = line_;
  const size_t n = line.size();
  // Spans sorted by start so one pointer walks them with the scan: a
  // position is rejected when a span begun at or before it ends after it.
  std::sort(rejected_.begin(), rejected_.end(),
            [](const Span& a, const Span& b) { return a.begin < b.begin; });
  size_t next_span = 0;
  size_t rejected_until = 0;
  auto rejected = [&](size_t pos) {
    while (next_span < rejected_.size() && rejected_[next_span].begin <= pos) {
      rejected_until = std::max(rejected_until, rejected_[next_span].end);
      ++next_span;
    }
    return pos < rejected_until;
  };
  size_t copied = 0;
  size_t p = 0;
  while (p < n) {
    if (!IsWordChar(line[p])) {
      ++p;
      continue;
    }
    size_t q = p + 1;
    while (q < n && IsWordChar(line[q])) ++q;
    size_t length = q - p;
    uint64_t lengths = lengths_by_first_byte_[static_cast<unsigned char>(line[p])];
    if (length < 64 && (lengths >> length & 1) &&
        (p == 0 || AllowedBefore(line[p - 1]))) {
      const size_t k = FindWord(line.substr(p, length));
      if (k != 0 && KeywordBoundariesOk(line, p, length) && !rejected(p)) {
        out->append(line, copied, p - copied);
        *out += run_openers_[k];
        out->append(line, p, length);
        *out += closer_;
        copied = q;
      }
    }
    p = q;
  }
  out->append(line, copied, n - copied);
}

}  // namespace folios

// The token checker: a streaming C, C++ and Java lexer and the comparison of
// two token streams.
#include "token_check.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <istream>
#include <streambuf>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "view_buf.h"

namespace folios {

SourceLanguage LanguageForPath(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return SourceLanguage::kCFamily;
  std::string_view ext = name.substr(dot + 1);
  if (ext.size() != 4) return SourceLanguage::kCFamily;
  const char* java = "java";
  for (size_t i = 0; i < 4; ++i) {
    char c = ext[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != java[i]) return SourceLanguage::kCFamily;
  }
  return SourceLanguage::kJava;
}

namespace {

// Bytes from a stream buffer, with lookahead. Only the unread tail and the
// lookahead asked for are held.
class ByteSource {
 public:
  explicit ByteSource(std::istream& in) : sb_(in.rdbuf()), data_(kChunk * 2) {}

  // The byte k places past the current one, or -1 past the end.
  [[gnu::always_inline]] int At(size_t k) {
    if (pos_ + k < end_) return static_cast<unsigned char>(data_[pos_ + k]);
    return Fill(k);
  }
  // REQUIRES: the n bytes were seen through At or Span.
  void Skip(size_t n) { pos_ += n; }

  // The bytes held from the current one on; *n is 0 only at the end.
  const unsigned char* Span(size_t* n) {
    if (pos_ == end_) Fill(0);
    *n = end_ - pos_;
    return reinterpret_cast<const unsigned char*>(data_.data()) + pos_;
  }

  // At least `want` bytes from the current one on, or all that are left;
  // *n says how many.
  const unsigned char* Window(size_t want, size_t* n) {
    if (pos_ + want > end_) Fill(want - 1);
    *n = end_ - pos_;
    return reinterpret_cast<const unsigned char*>(data_.data()) + pos_;
  }

 private:
  static constexpr size_t kChunk = 1 << 16;

  int Fill(size_t k) {
    while (pos_ + k >= end_) {
      if (eof_ || sb_ == nullptr) return -1;
      if (pos_ > 0) {
        std::memmove(data_.data(), data_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
      }
      if (end_ + kChunk > data_.size()) data_.resize(std::max(data_.size() * 2, end_ + kChunk));
      std::streamsize got = sb_->sgetn(data_.data() + end_, static_cast<std::streamsize>(kChunk));
      if (got <= 0) {
        eof_ = true;
        return -1;
      }
      end_ += static_cast<size_t>(got);
    }
    return static_cast<unsigned char>(data_[pos_ + k]);
  }

  std::streambuf* sb_;
  std::vector<char> data_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
};

enum class TokenKind { kCode, kDirectiveStart, kDirectiveEnd, kComment };

struct Token {
  TokenKind kind = TokenKind::kCode;
  std::string text;    // code tokens: their bytes
  uint64_t hash = 0;   // comments: hash of their printable bytes
  long line = 0;       // line of the first byte
  bool touches = false;    // code tokens: no white space or comment parts it from the one before
  bool adjacency = false;  // code tokens: whether it touches is part of the program (C and
                           // C++, inside parentheses, brackets or a directive, where a
                           // macro argument may become a string)
};

// True when two code tokens that read alike stand alike: where touching
// matters, both touch their predecessors or neither does.
bool SameStanding(const Token& a, const Token& b) {
  return !(a.adjacency || b.adjacency) || a.touches == b.touches;
}

bool IsIdentByte(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 128;
}
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Bytes a comment is compared on: all but white space and control
// characters. Bytes from 128 on are text of some encoding.
bool Printable(int c) { return c > 32 && c != 127; }

constexpr uint64_t kFnvBasis = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

// Longest first, so that the first match is the longest.
constexpr std::string_view kCPunctuators[] = {
    "%:%:", ">>=", "<<=", "->*", "...", "<=>", "::", "->", "++", "--", "<<", ">>", "<=", ">=", "==",
    "!=",   "&&",  "||",  "+=",  "-=",  "*=",  "/=", "%=", "&=", "|=", "^=", "##", ".*", "<:", ":>",
    "<%",   "%>",  "%:"};
constexpr std::string_view kJavaPunctuators[] = {">>>=", ">>>", ">>=", "<<=", "...", "::", "->", "++", "--",
                                        "<<",   ">>",  "<=",  ">=",  "==",  "!=", "&&", "||", "+=",
                                        "-=",   "*=",  "/=",  "%=",  "&=",  "|=", "^="};

// Byte classes for the bulk paths.
constexpr uint8_t kBlankByte = 1;        // white space other than a line end, and control bytes
constexpr uint8_t kIdentByte = 2;        // may stand in an identifier or a number
constexpr uint8_t kStopByte = 4;         // backslash, line feed, carriage return
constexpr uint8_t kStarByte = 8;
constexpr uint8_t kDoubleQuoteByte = 16;
constexpr uint8_t kQuoteByte = 32;
constexpr uint8_t kPrintByte = 64;       // compared in comments
constexpr uint8_t kDotByte = 128;

// Lines longer than this are always read token by token.
constexpr size_t kMaxSkippedLine = 4096;
constexpr uint8_t kAnyByte = kBlankByte | kIdentByte | kStopByte | kPrintByte;

struct ClassTable {
  uint8_t c[256] = {};
  constexpr ClassTable() {
    for (int b = 0; b < 256; ++b) {
      uint8_t v = 0;
      if ((b <= 32 || b == 127) && b != '\n' && b != '\r') v |= kBlankByte;
      if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_' || b == '$' ||
          b >= 128) {
        v |= kIdentByte;
      }
      if (b == '\\' || b == '\n' || b == '\r') v |= kStopByte;
      if (b == '*') v |= kStarByte;
      if (b == '"') v |= kDoubleQuoteByte;
      if (b == '\'') v |= kQuoteByte;
      if (b > 32 && b != 127) v |= kPrintByte;
      if (b == '.') v |= kDotByte;
      c[b] = v;
    }
  }
  constexpr uint8_t operator[](unsigned char b) const { return c[b]; }
};
constexpr ClassTable kClass{};

// Bytes that may start something running on past the end of its line.
struct RunOnTable {
  bool c[256] = {};
  constexpr RunOnTable() {
    for (char ch : {'/', '"', '\r'}) c[static_cast<unsigned char>(ch)] = true;
  }
  constexpr bool operator[](unsigned char b) const { return c[b]; }
};
constexpr RunOnTable kMayRunOn{};

// The punctuators of a language by their first byte, longest first.
struct PunctuatorIndex {
  std::vector<std::string_view> by_first[128];
  template <size_t N>
  explicit PunctuatorIndex(const std::string_view (&list)[N]) {
    for (std::string_view p : list) by_first[static_cast<unsigned char>(p[0])].push_back(p);
  }
};
const PunctuatorIndex& CIndex() {
  static const PunctuatorIndex index(kCPunctuators);
  return index;
}
const PunctuatorIndex& JavaIndex() {
  static const PunctuatorIndex index(kJavaPunctuators);
  return index;
}

// Bytes that begin a punctuator of more than one byte.
struct StartTable {
  bool starts[128] = {};
  constexpr StartTable() {
    for (char ch : {'%', '>', '<', '-', '.', ':', '+', '=', '!', '&', '|', '*', '/', '^', '#'}) {
      starts[static_cast<unsigned char>(ch)] = true;
    }
  }
  constexpr bool operator[](int c) const { return starts[c]; }
};
constexpr StartTable kStarts{};

// Reads one text into tokens. In C and C++ a backslash-newline (blanks may
// stand between them, as compilers accept) is removed wherever it stands,
// except inside a raw string; a carriage return, alone or before a line
// feed, ends a line as a line feed does.
class Lexer {
 public:
  Lexer(std::istream& in, SourceLanguage language) : src_(in), c_family_(language == SourceLanguage::kCFamily) {
    // A byte-order mark at the start says how the text is encoded; it is
    // no token, but it must stand on both sides.
    if (src_.At(0) == 0xEF && src_.At(1) == 0xBB && src_.At(2) == 0xBF) {
      src_.Skip(3);
      byte_order_mark_ = true;
    }
  }

  bool byte_order_mark() const { return byte_order_mark_; }

  // The line of the last token read (1 before the first).
  long line() const { return last_line_; }

  // True between two lines of the text: no directive, raw string or other
  // construct is open, so the lexer is in the state every line starts in.
  // Passes over blanks and line ends (as Next would) to the next text and
  // says whether that text starts a line.
  bool ToLineStart() {
    if (in_directive_) return false;
    for (;;) {
      if (SkipBlanks()) parted_ = true;
      int c = src_.At(0);
      if (c == '\n' || c == '\r') {
        parted_ = true;
        src_.Skip(c == '\r' && src_.At(1) == '\n' ? 2 : 1);
        ++line_;
        at_line_start_ = true;
        fresh_line_ = true;
        continue;
      }
      return fresh_line_ && c != -1;
    }
  }

  // The rest of the current line and its line end, when they can be passed
  // over without reading their tokens: the line ends within kMaxSkippedLine
  // bytes and nothing on it can run on past its end (a block comment, a raw
  // string or text block, a splice). Null otherwise.
  const unsigned char* SelfContainedLine(size_t* length) {
    size_t n;
    const unsigned char* p = src_.Window(kMaxSkippedLine, &n);
    const void* nl = std::memchr(p, '\n', std::min(n, kMaxSkippedLine));
    if (nl == nullptr) return nullptr;
    size_t len = static_cast<size_t>(static_cast<const unsigned char*>(nl) - p);
    size_t body = len > 0 && p[len - 1] == '\r' ? len - 1 : len;
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time; only the few that may run on are looked at.
    for (; i + 16 <= body; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('/')), _mm_cmpeq_epi8(v, _mm_set1_epi8('"'))),
                       _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')))));
      for (; mask != 0; mask &= mask - 1) {
        if (MayRunOn(p, i + static_cast<size_t>(__builtin_ctz(mask)), body)) return nullptr;
      }
    }
#endif
    for (; i < body; ++i) {
      if (kMayRunOn[p[i]] && MayRunOn(p, i, body)) return nullptr;
    }
    // A backslash before the line end, blanks between, splices the next line on.
    size_t last = body;
    while (last > 0 && (p[last - 1] == ' ' || p[last - 1] == '\t' || p[last - 1] == '\f' || p[last - 1] == '\v')) --last;
    if (c_family_ && last > 0 && p[last - 1] == '\\') return nullptr;
    *length = len + 1;
    return p;
  }

  // True when p[i], one of the bytes kMayRunOn marks, starts something that
  // may run on past the end of the line p[0, body).
  bool MayRunOn(const unsigned char* p, size_t i, size_t body) const {
    const unsigned char c = p[i];
    if (c == '\r') return true;  // a line end of its own
    if (c == '/') return i + 1 < body && p[i + 1] == '*';
    // A raw string, R"( ... )", or a text block, """ ... """ (in C and C++
    // too, where it is read as one).
    return (c_family_ && i > 0 && p[i - 1] == 'R') || (i + 2 < body && p[i + 1] == '"' && p[i + 2] == '"');
  }

  // True when the text from the current byte on starts with `line`.
  bool StartsWith(const unsigned char* line, size_t length) {
    size_t n;
    const unsigned char* p = src_.Window(length, &n);
    return n >= length && std::memcmp(p, line, length) == 0;
  }

  // Passes over the line SelfContainedLine gave, as reading its tokens would.
  void SkipLine(size_t length) {
    size_t n;
    NestOver(src_.Window(length, &n), length);
    parted_ = true;
    src_.Skip(length);
    last_line_ = line_;
    ++line_;
    at_line_start_ = true;
    fresh_line_ = true;
  }

  // Follows the parentheses and brackets of a line passed over unread: one
  // that holds no block comment, raw string or splice, so literals and a
  // line comment are all that can hide them. A directive's are not counted.
  void NestOver(const unsigned char* p, size_t n) {
    if (!c_family_) return;
    size_t i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\f' || p[i] == '\v')) ++i;
    if (i < n && (p[i] == '#' || (p[i] == '%' && i + 1 < n && p[i + 1] == ':'))) return;
    for (; i < n; ++i) {
      const unsigned char c = p[i];
      if (c == '\n' || (c == '/' && i + 1 < n && p[i + 1] == '/')) return;
      if (c == '"' || (c == '\'' && !DigitSeparatorAt(p, i, n))) {
        for (++i; i < n && p[i] != c && p[i] != '\n'; ++i) {
          if (p[i] == '\\') ++i;
        }
        continue;
      }
      Nest(static_cast<char>(c));
    }
  }

  // True when the apostrophe at p[i] stands inside a number ("1'000").
  static bool DigitSeparatorAt(const unsigned char* p, size_t i, size_t n) {
    if (i == 0 || i + 1 >= n || !IsIdentByte(p[i - 1]) || !IsIdentByte(p[i + 1])) return false;
    size_t b = i;
    while (b > 0 && (IsIdentByte(p[b - 1]) || p[b - 1] == '.' || p[b - 1] == '\'')) --b;
    return IsDigit(p[b]) || (p[b] == '.' && b + 1 < i && IsDigit(p[b + 1]));
  }

  // The next token into `t`; false at the end of the text.
  bool Next(Token* t) {
    for (;;) {
      if (SkipBlanks()) parted_ = true;
      int c = Peek(0);
      if (c == -1 || c == '\n') {
        const long line = line_;
        if (c == '\n') {
          Get();
          at_line_start_ = true;
          parted_ = true;
        }
        if (in_directive_) {
          in_directive_ = false;
          t->kind = TokenKind::kDirectiveEnd;
          t->text.clear();
          t->touches = t->adjacency = false;
          t->line = line;
          return true;
        }
        if (c == -1) return false;
        continue;
      }
      if (c <= 32 || c == 127) {  // white space, and control bytes no token holds
        Get();
        parted_ = true;
        continue;
      }
      break;
    }
    t->kind = TokenKind::kCode;
    t->text.clear();
    t->line = line_;
    last_line_ = line_;
    fresh_line_ = false;
    int c = Peek(0);
    // Comments are white space: a number sign after one still starts a
    // directive.
    if (c == '/') {
      int c1 = Peek(1);
      if (c1 == '/') {
        LineComment(t);
        parted_ = true;
        return true;
      }
      if (c1 == '*') {
        BlockComment(t);
        parted_ = true;
        return true;
      }
    }
    t->touches = !parted_;
    t->adjacency = c_family_ && (in_directive_ || depth_ > 0);
    parted_ = false;
    ReadCode(t, c);
    if (c_family_ && !in_directive_ && t->kind == TokenKind::kCode && t->text.size() == 1) Nest(t->text[0]);
    return true;
  }

  // Follows the parentheses and brackets of code (not of directives).
  void Nest(char c) {
    if (c == '(' || c == '[') {
      if (depth_ < (1 << 28)) ++depth_;
    } else if ((c == ')' || c == ']') && depth_ > 0) {
      --depth_;
    }
  }

 private:
  // The code token starting with `c` (a directive's number sign too).
  void ReadCode(Token* t, int c) {
    const bool line_start = at_line_start_;
    at_line_start_ = false;
    if (c_family_ && line_start && (c == '#' || (c == '%' && Peek(1) == ':'))) {
      Take(c == '#' ? 1 : 2, nullptr);
      in_directive_ = true;
      directive_words_ = 0;
      header_next_ = false;
      t->kind = TokenKind::kDirectiveStart;
      return;
    }
    const bool header = header_next_;
    header_next_ = false;
    ++directive_words_;
    if (header && c == '<' && HeaderNameCloses()) {
      HeaderName(t);
      return;
    }
    if (IsIdentByte(c) && !IsDigit(c)) {
      Identifier(t);
      return;
    }
    if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
      Number(t);
      return;
    }
    if (c == '"') {
      // C and C++ have no text blocks, but three quotes and nothing after
      // them there are no program either (an empty string and one left
      // open): read as a text block, whose lines are compared byte for
      // byte, they show a Java text given as C++ when its content moves.
      if (Peek(1) == '"' && Peek(2) == '"' && OpensTextBlock()) {
        TextBlock(t);
      } else {
        Quoted(t, '"');
      }
      return;
    }
    if (c == '\'') {
      Quoted(t, '\'');
      return;
    }
    Punctuator(t);
  }

  // Length of a splice at physical offset k, 0 when there is none.
  size_t SpliceAt(size_t k) {
    if (!c_family_ || raw_ || src_.At(k) != '\\') return 0;
    size_t j = k + 1;
    int c = src_.At(j);
    while (c == ' ' || c == '\t' || c == '\f' || c == '\v') c = src_.At(++j);
    if (c == '\n') return j + 1 - k;
    if (c == '\r') return j + 1 - k + (src_.At(j + 1) == '\n' ? 1 : 0);
    return 0;
  }

  // The n-th logical character ahead: splices skipped, a line end as '\n'.
  [[gnu::always_inline]] int Peek(int n) {
    // Most bytes are neither a backslash nor a carriage return.
    int c0 = src_.At(0);
    if (c0 != '\\' && c0 != '\r') {
      if (n == 0) return c0;
      if (n == 1) {
        int c1 = src_.At(1);
        if (c1 != '\\' && c1 != '\r') return c1;
      }
    }
    return PeekSlow(n);
  }

  // The first position at or after `p` that no splice covers.
  size_t PastSplices(size_t p) {
    while (size_t s = SpliceAt(p)) p += s;
    return p;
  }

  int PeekSlow(int n) {
    size_t p = 0;
    for (;;) {
      p = PastSplices(p);
      int c = src_.At(p);
      if (n == 0) return c == '\r' ? '\n' : c;
      p += (c == '\r' && src_.At(p + 1) == '\n') ? 2 : 1;
      --n;
    }
  }

  // Consumes the current logical character and returns it (-1 at the end).
  int Get() {
    for (;;) {
      int c = src_.At(0);
      if (c == '\\') {
        size_t s = SpliceAt(0);
        if (s > 0) {
          src_.Skip(s);
          ++line_;
          continue;
        }
      }
      if (c == -1) return -1;
      if (c == '\r') {
        src_.Skip(src_.At(1) == '\n' ? 2 : 1);
        ++line_;
        return '\n';
      }
      src_.Skip(1);
      if (c == '\n') ++line_;
      return c;
    }
  }

  // Bulk paths: runs of bytes that hold no line end and no backslash (so no
  // splice) are taken straight from the buffer.
  // True when it passed over anything.
  bool SkipBlanks() {
    bool any = false;
    for (;;) {
      size_t n;
      const unsigned char* p = src_.Span(&n);
      size_t i = 0;
      while (i < n && (kClass[p[i]] & kBlankByte)) ++i;
      src_.Skip(i);
      any |= i > 0;
      if (i < n || n == 0) return any;
    }
  }

  // Appends bytes that have one of the classes `any` and none of `stop`; a
  // backslash or a line end always stops.
  void TakeRun(std::string* out, uint8_t any, uint8_t stop) {
    stop |= kStopByte;
    for (;;) {
      size_t n;
      const unsigned char* p = src_.Span(&n);
      size_t i = 0;
      while (i < n && (kClass[p[i]] & any) && !(kClass[p[i]] & stop)) ++i;
      out->append(reinterpret_cast<const char*>(p), i);
      src_.Skip(i);
      if (i < n || n == 0) return;
    }
  }

  // Hashes bytes up to one of the classes `stop`, a backslash or a line end.
  void HashRun(Token* t, uint8_t stop) {
    stop |= kStopByte;
    uint64_t h = t->hash;
    for (;;) {
      size_t n;
      const unsigned char* p = src_.Span(&n);
      size_t i = 0;
      for (; i < n && !(kClass[p[i]] & stop); ++i) {
        if (kClass[p[i]] & kPrintByte) h = (h ^ p[i]) * kFnvPrime;
      }
      src_.Skip(i);
      if (i < n || n == 0) break;
    }
    t->hash = h;
  }

  void Take(int n, std::string* out) {
    for (int i = 0; i < n; ++i) {
      int c = Get();
      if (out && c != -1) out->push_back(static_cast<char>(c));
    }
  }

  void Hash(Token* t, int c) {
    if (Printable(c)) t->hash = (t->hash ^ static_cast<uint64_t>(c)) * kFnvPrime;
  }

  void LineComment(Token* t) {
    t->kind = TokenKind::kComment;
    t->hash = kFnvBasis;
    for (;;) {
      HashRun(t, 0);
      int c = Peek(0);
      if (c == -1 || c == '\n') return;
      Hash(t, Get());
    }
  }

  void BlockComment(Token* t) {
    t->kind = TokenKind::kComment;
    t->hash = kFnvBasis;
    Hash(t, Get());
    Hash(t, Get());
    for (;;) {
      HashRun(t, kStarByte);
      int c = Get();
      if (c == -1) return;
      Hash(t, c);
      if (c == '*' && Peek(0) == '/') {
        Hash(t, Get());
        return;
      }
    }
  }

  // True when a ">" ends the line's "<": only then is it a header name, and
  // "//" or "/*" inside it no comment.
  bool HeaderNameCloses() {
    for (size_t p = PastSplices(0) + 1;; ++p) {
      p = PastSplices(p);
      int c = src_.At(p);
      if (c == -1 || c == '\n' || c == '\r') return false;
      if (c == '>') return true;
    }
  }

  void HeaderName(Token* t) {
    for (;;) {
      int c = Peek(0);
      if (c == -1 || c == '\n') return;
      t->text.push_back(static_cast<char>(Get()));
      if (c == '>') return;
    }
  }

  void Identifier(Token* t) {
    for (;;) {
      TakeRun(&t->text, kIdentByte, 0);
      if (!IsIdentByte(Peek(0))) break;
      t->text.push_back(static_cast<char>(Get()));  // after a splice
    }
    const std::string& w = t->text;
    if (in_directive_ && directive_words_ == 1 && (w == "include" || w == "include_next" || w == "import")) {
      header_next_ = true;
    }
    if (!c_family_) return;
    int c = Peek(0);
    if (c == '"' && (w == "R" || w == "u8R" || w == "uR" || w == "UR" || w == "LR")) {
      RawString(t);
    } else if ((c == '"' || c == '\'') && (w == "u8" || w == "u" || w == "U" || w == "L")) {
      Quoted(t, static_cast<char>(c));
    }
  }

  void Number(Token* t) {
    t->text.push_back(static_cast<char>(Get()));
    for (;;) {
      TakeRun(&t->text, kIdentByte | kDotByte, 0);
      int c = Peek(0);
      if (IsIdentByte(c) || c == '.') {
        t->text.push_back(static_cast<char>(Get()));
        continue;
      }
      char last = t->text.back();
      if ((c == '+' || c == '-') && (last == 'e' || last == 'E' || last == 'p' || last == 'P')) {
        t->text.push_back(static_cast<char>(Get()));
        continue;
      }
      if (c == '\'' && IsIdentByte(Peek(1))) {  // a digit separator
        Take(2, &t->text);
        continue;
      }
      return;
    }
  }

  // A string or character literal, its prefix already in t->text. It ends at
  // its closing quote or, unterminated, at the end of the line.
  void Quoted(Token* t, char quote) {
    t->text.push_back(static_cast<char>(Get()));
    QuotedRest(t, quote);
  }

  // The rest of a literal after its opening quote.
  void QuotedRest(Token* t, char quote) {
    const uint8_t q = quote == '"' ? kDoubleQuoteByte : kQuoteByte;
    for (;;) {
      TakeRun(&t->text, kAnyByte, q);
      int c = Peek(0);
      if (c == -1 || c == '\n') return;
      t->text.push_back(static_cast<char>(Get()));
      if (c == quote) return;
      if (c == '\\') {
        int e = Peek(0);
        if (e == -1 || e == '\n') return;
        t->text.push_back(static_cast<char>(Get()));
      }
    }
  }

  // R"delim( ... )delim", its prefix already in t->text. Splices inside are
  // part of the literal.
  void RawString(Token* t) {
    raw_ = true;
    t->text.push_back(static_cast<char>(Get()));  // the quote
    std::string close = ")";
    for (;;) {
      int c = Peek(0);
      if (c == '(' && close.size() <= 17) break;
      if (c == -1 || c == '\n' || c == ' ' || c == ')' || c == '\\' || c == '"' || close.size() > 16) {
        // Not a raw string after all: read the rest as an ordinary literal.
        raw_ = false;
        QuotedRest(t, '"');
        return;
      }
      close.push_back(static_cast<char>(c));
      t->text.push_back(static_cast<char>(Get()));
    }
    close.push_back('"');
    t->text.push_back(static_cast<char>(Get()));  // the parenthesis
    for (;;) {
      int c = Get();
      if (c == -1) break;
      t->text.push_back(static_cast<char>(c));
      if (c == '"' && t->text.size() >= close.size() &&
          t->text.compare(t->text.size() - close.size(), close.size(), close) == 0) {
        break;
      }
    }
    raw_ = false;
  }

  // True when the three quotes at the current byte open a text block: only
  // blanks follow them on their line. Otherwise they are an empty string and
  // the opening quote of another, as the formatter reads them too.
  bool OpensTextBlock() {
    size_t k = 3;
    while (src_.At(k) == ' ' || src_.At(k) == '\t') ++k;
    int c = src_.At(k);
    return c == '\n' || c == '\r' || c == -1;
  }

  void TextBlock(Token* t) {
    Take(3, &t->text);
    for (;;) {
      int c = Get();
      if (c == -1) return;
      t->text.push_back(static_cast<char>(c));
      if (c == '\\') {
        int e = Get();
        if (e == -1) return;
        t->text.push_back(static_cast<char>(e));
      } else if (c == '"' && Peek(0) == '"' && Peek(1) == '"') {
        Take(2, &t->text);
        return;
      }
    }
  }

  void Punctuator(Token* t) {
    const int c = Peek(0);
    int n = 1;
    // Only a few bytes start a longer punctuator; most stand alone.
    if (c < 128 && kStarts[c]) {
      int ahead[4] = {c, Peek(1), -1, -1};
      if (ahead[1] != -1) {
        ahead[2] = Peek(2);
        if (ahead[2] != -1) ahead[3] = Peek(3);
      }
      const PunctuatorIndex& index = c_family_ ? CIndex() : JavaIndex();
      for (std::string_view p : index.by_first[c]) {
        size_t k = 1;
        while (k < p.size() && ahead[k] == static_cast<unsigned char>(p[k])) ++k;
        if (k == p.size()) {
          n = static_cast<int>(k);
          break;
        }
      }
    }
    Take(n, &t->text);
  }


  ByteSource src_;
  bool c_family_;
  bool raw_ = false;            // inside a raw string: no splices
  long line_ = 1;
  long last_line_ = 1;
  bool at_line_start_ = true;   // no token yet on this line
  bool fresh_line_ = true;      // nothing read yet of this line but blanks
  bool in_directive_ = false;
  int directive_words_ = 0;     // tokens after the directive's number sign
  bool header_next_ = false;    // a header name may follow (#include <...>)
  bool byte_order_mark_ = false;
  bool parted_ = true;          // white space or a comment since the last code token
  int depth_ = 0;               // parentheses and brackets of code open
};

// Items read on one side and not yet matched on the other. At most this many
// may wait, so that memory stays bounded whatever the texts hold.
constexpr size_t kMaxPending = 1 << 16;

class Comparison {
 public:
  Comparison(std::istream& a, std::istream& b, const TokenCheckOptions& o)
      : a_(a, o.language), b_(b, o.language), skip_comments_(o.comments_removed) {}

  TokenCheckResult Run() {
    if (a_.byte_order_mark() != b_.byte_order_mark()) return Differ(1);
    Side sa, sb;
    bool more_a = true, more_b = true;
    Token ta, tb;
    while (more_a || more_b) {
      // While nothing waits, tokens of the same category meet at once.
      if (more_a && more_b && sa.code.empty() && sb.code.empty() && sa.comments.empty() &&
          sb.comments.empty()) {
        SkipSameLines();
        more_a = Read(&a_, &ta);
        more_b = Read(&b_, &tb);
        if (more_a && more_b && ta.kind == tb.kind) {
          if (ta.kind == TokenKind::kComment ? ta.hash != tb.hash : ta.text != tb.text || !SameStanding(ta, tb)) {
            return Differ(ta.line);
          }
          continue;
        }
        if (more_a) Queue(&ta, &sa);
        if (more_b) Queue(&tb, &sb);
      } else {
        if (more_a) more_a = Pull(&a_, &sa);
        if (more_b) more_b = Pull(&b_, &sb);
      }
      while (!sa.code.empty() && !sb.code.empty()) {
        const Token& x = sa.code.front();
        const Token& y = sb.code.front();
        if (x.kind != y.kind || x.text != y.text || !SameStanding(x, y)) return Differ(x.line);
        sa.code.pop_front();
        sb.code.pop_front();
      }
      while (!sa.comments.empty() && !sb.comments.empty()) {
        if (sa.comments.front().hash != sb.comments.front().hash) return Differ(sa.comments.front().line);
        sa.comments.pop_front();
        sb.comments.pop_front();
      }
      if (sa.code.size() + sa.comments.size() + sb.code.size() + sb.comments.size() > kMaxPending) {
        return Differ(FirstPending(sa, a_.line()));
      }
    }
    if (!sa.code.empty() || !sb.code.empty() || !sa.comments.empty() || !sb.comments.empty()) {
      return Differ(FirstPending(sa, a_.line()));
    }
    return TokenCheckResult{};
  }

 private:
  struct CommentRef {
    uint64_t hash;
    long line;
  };
  struct Side {
    std::deque<Token> code;
    std::deque<CommentRef> comments;
  };

  // Lines that both texts hold byte for byte, each starting in the state a
  // line starts in, give the same tokens on both sides: they are passed
  // over unread. Most lines of a formatted text are such lines once their
  // indentation is passed. REQUIRES: nothing waits on either side.
  void SkipSameLines() {
    while (a_.ToLineStart() && b_.ToLineStart()) {
      size_t la;
      const unsigned char* pa = a_.SelfContainedLine(&la);
      if (pa == nullptr) return;
      if (!b_.StartsWith(pa, la)) return;
      a_.SkipLine(la);
      b_.SkipLine(la);
    }
  }

  // The next token to compare, comments skipped when they were removed.
  bool Read(Lexer* lexer, Token* t) {
    for (;;) {
      if (!lexer->Next(t)) return false;
      if (t->kind != TokenKind::kComment || !skip_comments_) return true;
    }
  }

  static void Queue(Token* t, Side* side) {
    if (t->kind == TokenKind::kComment) {
      side->comments.push_back(CommentRef{t->hash, t->line});
    } else {
      side->code.push_back(std::move(*t));
      *t = Token();
    }
  }

  bool Pull(Lexer* lexer, Side* side) {
    if (!Read(lexer, &token_)) return false;
    Queue(&token_, side);
    return true;
  }

  static long FirstPending(const Side& s, long fallback) {
    long line = fallback;
    if (!s.code.empty()) line = std::min(line, s.code.front().line);
    if (!s.comments.empty()) line = std::min(line, s.comments.front().line);
    return line;
  }

  static TokenCheckResult Differ(long line) {
    TokenCheckResult r;
    r.same = false;
    r.line = line < 1 ? 1 : line;
    return r;
  }

  Lexer a_, b_;
  bool skip_comments_;
  Token token_;
};

}  // namespace

TokenCheckResult CheckTokens(std::istream& original, std::istream& formatted, const TokenCheckOptions& options) {
  Comparison comparison(original, formatted, options);
  return comparison.Run();
}

TokenCheckResult CheckTokenTexts(std::string_view original, std::string_view formatted,
                                 const TokenCheckOptions& options) {
  ViewBuf a_buf(original), b_buf(formatted);
  std::istream a(&a_buf), b(&b_buf);
  return CheckTokens(a, b, options);
}

Status CheckTokenFiles(const std::string& original_path, const std::string& formatted_path,
                       const TokenCheckOptions& options, TokenCheckResult* result) {
  errno = 0;
  std::ifstream a(original_path, std::ios::binary);
  if (!a) return Status::Error("cannot open '" + original_path + "': " + ErrnoMessage(errno ? errno : ENOENT));
  errno = 0;
  std::ifstream b(formatted_path, std::ios::binary);
  if (!b) return Status::Error("cannot open '" + formatted_path + "': " + ErrnoMessage(errno ? errno : ENOENT));
  *result = CheckTokens(a, b, options);
  return Status::OK();
}

}  // namespace folios

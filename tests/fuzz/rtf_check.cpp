#include "rtf_check.h"

#include <algorithm>

namespace folios::fuzz {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Control symbols: a backslash and one character that is not a letter.
// A backslash before a line end stands for a paragraph mark.
bool IsControlSymbol(char c) {
  return std::string_view("\\{}~-_*:| ").find(c) != std::string_view::npos || IsLineEnd(c);
}

// The readers' limits for a control word: 32 letters, a number of 10 digits.
constexpr size_t kMaxWordLetters = 32;
constexpr size_t kMaxWordDigits = 10;

}  // namespace

bool CheckRtfDocument(std::string_view rtf, std::string* problem, size_t* offset) {
  auto fail = [&](size_t at, const std::string& what) {
    if (offset) *offset = at;
    if (problem) {
      size_t line = 1 + static_cast<size_t>(std::count(rtf.begin(), rtf.begin() + static_cast<long>(at), '\n'));
      *problem = what + " at line " + std::to_string(line) + " (byte " + std::to_string(at) + ")";
    }
    return false;
  };
  if (rtf.substr(0, 5) != "{\\rtf") return fail(0, "the document does not open with {\\rtf");
  const size_t n = rtf.size();
  long depth = 0;
  size_t i = 0;
  while (i < n) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      ++i;
    } else if (c == '}') {
      --depth;
      ++i;
      if (depth == 0) break;
    } else if (c == '\\') {
      if (i + 1 >= n) return fail(i, "a backslash ends the text");
      const char next = rtf[i + 1];
      if (IsLetter(next)) {
        size_t p = i + 1;
        while (p < n && IsLetter(rtf[p])) ++p;
        if (p - (i + 1) > kMaxWordLetters) return fail(i, "a control word is too long");
        if (p < n && rtf[p] == '-') {
          ++p;
          if (p >= n || !IsDigit(rtf[p])) return fail(i, "a control word ends in '-'");
        }
        size_t digits = p;
        while (p < n && IsDigit(rtf[p])) ++p;
        if (p - digits > kMaxWordDigits) return fail(i, "a control word's number is too long");
        if (p < n && rtf[p] == ' ') {
          ++p;
        } else if (p < n && !IsLineEnd(rtf[p]) && rtf[p] != '\\' && rtf[p] != '{' && rtf[p] != '}' && rtf[p] != ';') {
          return fail(p, "text follows a control word without a delimiting blank");
        }
        i = p;
      } else if (next == '\'') {
        if (i + 3 >= n) return fail(i, "a hex escape is cut off");
        if (!IsHex(rtf[i + 2]) || !IsHex(rtf[i + 3])) {
          return fail(i, "a hex escape lacks its two hex digits");
        }
        i += 4;
      } else if (IsControlSymbol(next)) {
        i += 2;
      } else {
        return fail(i, "an unknown control symbol '\\" + std::string(1, next) + "'");
      }
    } else if (static_cast<unsigned char>(c) < 32 && !IsLineEnd(c) && c != '\t') {
      return fail(i, "a raw control byte " + std::to_string(static_cast<int>(c)));
    } else {
      ++i;
    }
  }
  if (depth > 0) return fail(n, "the document ends with " + std::to_string(depth) + " groups open");
  for (; i < n; ++i) {
    if (!IsLineEnd(rtf[i])) return fail(i, "text follows the end of the document");
  }
  return true;
}

}  // namespace folios::fuzz

// Writing non-ASCII text into RTF.
//
// Sources on this platform are UTF-8. A character of valid UTF-8 becomes an
// RTF Unicode escape with "?" as its ASCII fallback; any other byte above 127
// is taken as code page 1252 and written as a hex escape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace folios {

struct Utf8Char {
  size_t length = 1;         // bytes taken by the character (1 for a stray byte)
  uint32_t code_point = 0;   // meaningful only when valid
  bool valid = false;        // a well-formed UTF-8 sequence (ASCII included)
};

// Decodes the character starting at text[i]. REQUIRES: i < text.size().
// Overlong forms, surrogates and values above U+10FFFF are not valid.
Utf8Char DecodeUtf8(std::string_view text, size_t i);

// Appends "\uN ?" (N as a signed 16-bit number); characters above U+FFFF are
// written as a surrogate pair of two such escapes.
void AppendRtfUnicode(std::string* out, uint32_t code_point);

// Appends "\'hh" with two lower-case hex digits.
void AppendRtfHexByte(std::string* out, unsigned char byte);

// Appends the escape for the non-ASCII character at text[i] and returns the
// number of bytes it took. REQUIRES: text[i] is a byte above 127.
size_t AppendRtfNonAscii(std::string* out, std::string_view text, size_t i);

// The character of a code page 1252 byte (U+FFFD for the five bytes above
// 127 that the code page leaves undefined).
uint32_t Cp1252CodePoint(unsigned char byte);

// Appends the UTF-8 form of `code_point`. REQUIRES: a Unicode scalar value.
void AppendUtf8(std::string* out, uint32_t code_point);

// The number of characters in `text` as a reader will show them: a valid
// UTF-8 sequence counts once, every other byte once.
size_t CountCharacters(std::string_view text);

}  // namespace folios

#include "rtf_text.h"

namespace folios {

Utf8Char DecodeUtf8(std::string_view text, size_t i) {
  Utf8Char result;
  unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) {
    result.code_point = lead;
    result.valid = true;
    return result;
  }
  size_t length;
  uint32_t cp;
  uint32_t min;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1Fu, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0Fu, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07u, min = 0x10000;
  } else {
    return result;
  }
  if (i + length > text.size()) return result;
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return result;
    cp = (cp << 6) | (c & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return result;
  result.length = length;
  result.code_point = cp;
  result.valid = true;
  return result;
}

namespace {

void AppendUnit(std::string* out, uint32_t unit) {
  int value = unit > 32767 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
  // A blank ends the control word before its fallback "?": some readers
  // take any character after it as its end and then skip the next one.
  *out += "\\u";
  *out += std::to_string(value);
  *out += " ?";
}

}  // namespace

void AppendRtfUnicode(std::string* out, uint32_t code_point) {
  if (code_point > 0xFFFF) {
    uint32_t v = code_point - 0x10000;
    AppendUnit(out, 0xD800 + (v >> 10));
    AppendUnit(out, 0xDC00 + (v & 0x3FF));
  } else {
    AppendUnit(out, code_point);
  }
}

void AppendRtfHexByte(std::string* out, unsigned char byte) {
  static const char kHex[] = "0123456789abcdef";
  *out += "\\'";
  *out += kHex[byte >> 4];
  *out += kHex[byte & 0xF];
}

size_t AppendRtfNonAscii(std::string* out, std::string_view text, size_t i) {
  Utf8Char c = DecodeUtf8(text, i);
  if (c.valid) {
    AppendRtfUnicode(out, c.code_point);
    return c.length;
  }
  AppendRtfHexByte(out, static_cast<unsigned char>(text[i]));
  return 1;
}

uint32_t Cp1252CodePoint(unsigned char byte) {
  static const uint16_t k80To9F[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  return byte >= 0x80 && byte < 0xA0 ? k80To9F[byte - 0x80] : byte;
}

void AppendUtf8(std::string* out, uint32_t code_point) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
    return;
  }
  if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
  } else if (code_point < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
  }
  out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
}

size_t CountCharacters(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    i += c < 0x80 ? 1 : DecodeUtf8(text, i).length;
    ++count;
  }
  return count;
}

}  // namespace folios

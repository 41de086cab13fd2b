#include "shown_lines.h"

#include <cstdint>
#include <map>
#include <string_view>

#include "expected_rtf.h"
#include "rtf_text.h"

namespace folios::test {

namespace {

const char kArrow[] = "\xE2\x86\x93";  // U+2193

void TrimRight(std::string* line) {
  while (!line->empty() && line->back() == ' ') line->pop_back();
}

void AppendShownByte(std::string* out, unsigned char byte) {
  if (byte < 0x20 || byte == 0x7f) {
    AppendUtf8(out, byte == 0x7f ? 0x2421 : 0x2400 + byte);
  } else {
    AppendUtf8(out, Cp1252CodePoint(byte));
  }
}

int Hex(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The attribute `name` of a start tag's text, or empty.
std::string Attribute(const std::string& tag, const std::string& name) {
  size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return std::string();
  size_t begin = at + name.size() + 3;
  return tag.substr(begin, tag.find('"', begin) - begin);
}

}  // namespace

std::vector<std::string> RtfShownLines(const std::string& rtf) {
  std::vector<std::string> paragraphs(1);
  uint32_t high_surrogate = 0;
  for (size_t i = 0; i < rtf.size();) {
    const char c = rtf[i];
    if (c == '{' && rtf.compare(i, 3, "{\\*") == 0) {
      // A destination to skip; the continuation mark's field shows an arrow.
      size_t begin = i;
      i = EndOfGroup(rtf, i);
      if (std::string_view(rtf).substr(begin, i - begin).starts_with("{\\*\\fldinst SYMBOL 175")) {
        paragraphs.back() += kArrow;
      }
      continue;
    }
    if (c == '{' || c == '}' || c == '\n' || c == '\f') {
      ++i;
      continue;
    }
    if (c != '\\') {
      paragraphs.back() += c;
      ++i;
      continue;
    }
    const char next = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
    if (next == '\\' || next == '{' || next == '}') {
      paragraphs.back() += next;
      i += 2;
    } else if (next == '\'' && i + 3 < rtf.size()) {
      AppendShownByte(&paragraphs.back(),
                      static_cast<unsigned char>(Hex(rtf[i + 2]) * 16 + Hex(rtf[i + 3])));
      i += 4;
    } else if (IsLetter(next)) {
      size_t end = i + 1;
      while (end < rtf.size() && IsLetter(rtf[end])) ++end;
      const std::string word = rtf.substr(i + 1, end - i - 1);
      size_t number_begin = end;
      if (end < rtf.size() && rtf[end] == '-') ++end;
      while (end < rtf.size() && rtf[end] >= '0' && rtf[end] <= '9') ++end;
      const std::string number = rtf.substr(number_begin, end - number_begin);
      if (end < rtf.size() && rtf[end] == ' ') ++end;
      // A page break ends a paragraph only where a new one begins after it
      // (between files); inside a line (a form feed) it is a break within
      // the paragraph and shows nothing.
      const bool new_paragraph = rtf.compare(end, 5, "\\pard") == 0;
      if (word == "par" || (word == "page" && new_paragraph)) paragraphs.emplace_back();
      if (word == "u" && !number.empty()) {
        // "\uN?": N as a signed 16-bit unit, then the fallback to skip.
        long unit = std::stol(number);
        uint32_t u = static_cast<uint32_t>(unit < 0 ? unit + 65536 : unit);
        if (u >= 0xD800 && u < 0xDC00) {
          high_surrogate = u;
        } else if (u >= 0xDC00 && u < 0xE000 && high_surrogate) {
          AppendUtf8(&paragraphs.back(), 0x10000 + ((high_surrogate - 0xD800) << 10) + (u - 0xDC00));
          high_surrogate = 0;
        } else {
          AppendUtf8(&paragraphs.back(), u);
        }
        if (end < rtf.size() && rtf[end] == '?') ++end;
      }
      i = end;
    } else {
      i += 2;
    }
  }
  std::vector<std::string> lines;
  for (size_t k = 1; k + 1 < paragraphs.size(); ++k) {
    lines.push_back(paragraphs[k]);
    TrimRight(&lines.back());
  }
  return lines;
}

std::vector<std::string> HtmlShownLines(const std::string& html) {
  std::vector<std::string> lines;
  size_t i = html.find("<main>");
  const size_t end = html.find("</main>");
  if (i == std::string::npos || end == std::string::npos) return lines;
  std::string current;
  bool collecting = false;
  while (i < end) {
    if (html[i] == '<') {
      size_t close = html.find('>', i);
      const std::string tag = html.substr(i + 1, close - i - 1);
      const std::string name = tag.substr(0, tag.find(' '));
      const std::string cls = Attribute(tag, "class");
      if ((name == "div" && (cls == "l" || cls.rfind("l ", 0) == 0)) || name == "h2") {
        collecting = true;
        current.clear();
      } else if ((name == "/div" || name == "/h2") && collecting) {
        TrimRight(&current);
        lines.push_back(current);
        if (name == "/h2") lines.emplace_back();  // the RTF header's empty paragraph
        collecting = false;
      } else if (name == "hr" && cls == "sep") {
        lines.emplace_back();
      } else if (name == "a" && cls == "n") {
        current += Attribute(tag, "data-n") + " ";
      } else if (name == "span" && cls == "cm") {
        current += kArrow;
      }
      i = close + 1;
      continue;
    }
    if (html[i] == '&') {
      size_t semicolon = html.find(';', i);
      const std::string entity = html.substr(i, semicolon + 1 - i);
      if (collecting) {
        if (entity == "&lt;") current += '<';
        if (entity == "&gt;") current += '>';
        if (entity == "&amp;") current += '&';
        if (entity == "&quot;") current += '"';
        if (entity == "&#39;") current += '\'';
      }
      i = semicolon + 1;
      continue;
    }
    if (collecting && html[i] != '\n') current += html[i];
    ++i;
  }
  return lines;
}

std::vector<KeywordRun> RtfKeywordRuns(const std::string& rtf) {
  std::vector<KeywordRun> runs;
  // "}{" + styles and colours + " " + the word + "}{"; comment runs start
  // with "\pard" and are not keyword runs.
  for (size_t at = rtf.find("}{\\"); at != std::string::npos; at = rtf.find("}{\\", at + 1)) {
    size_t i = at + 2;
    std::string format;
    while (i < rtf.size() && rtf[i] == '\\') {
      size_t end = i + 1;
      while (end < rtf.size() && IsLetter(rtf[end])) ++end;
      const std::string word = rtf.substr(i + 1, end - i - 1);
      if (word != "b" && word != "i" && word != "ul" && word != "cf" && word != "highlight") break;
      while (end < rtf.size() && (rtf[end] == '-' || (rtf[end] >= '0' && rtf[end] <= '9'))) ++end;
      format += rtf.substr(i, end - i);
      i = end;
    }
    if (format.empty() || i >= rtf.size() || rtf[i] != ' ') continue;
    size_t close = rtf.find("}{", i + 1);
    if (close == std::string::npos) break;
    runs.push_back({format, rtf.substr(i + 1, close - i - 1)});
  }
  return runs;
}

std::vector<KeywordRun> HtmlKeywordRuns(const std::string& html) {
  std::vector<KeywordRun> runs;
  const std::string open = "<span class=\"k";
  for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
    size_t quote = html.find('"', at + open.size());
    size_t close = html.find("</span>", quote);
    std::string word = html.substr(quote + 2, close - quote - 2);
    std::vector<std::string> lines = HtmlShownLines("<main><div class=\"l\">" + word + "</div></main>");
    runs.push_back({html.substr(at + open.size() - 1, quote - at - open.size() + 1),
                    lines.empty() ? word : lines[0]});
  }
  return runs;
}

std::string KeywordRunDifference(const std::string& rtf, const std::string& html) {
  std::vector<KeywordRun> a = RtfKeywordRuns(rtf);
  std::vector<KeywordRun> b = HtmlKeywordRuns(html);
  std::map<std::string, std::string> class_of, format_of;
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    if (i >= a.size() || i >= b.size()) {
      return "run " + std::to_string(i) + " is missing in the " + (i >= a.size() ? "RTF" : "page");
    }
    if (a[i].word != b[i].word) {
      return "run " + std::to_string(i) + ": '" + a[i].word + "' against '" + b[i].word + "'";
    }
    auto [c, new_format] = class_of.emplace(a[i].style, b[i].style);
    auto [f, new_class] = format_of.emplace(b[i].style, a[i].style);
    if (c->second != b[i].style || f->second != a[i].style) {
      return "run " + std::to_string(i) + " '" + a[i].word + "': " + a[i].style + " as " + b[i].style;
    }
  }
  return std::string();
}

}  // namespace folios::test

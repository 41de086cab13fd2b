#include "page_check.h"

#include <vector>

#include "rtf_text.h"

namespace folios::fuzz {

namespace {

bool Refuse(std::string_view html, size_t at, const std::string& why, std::string* problem) {
  if (problem) {
    size_t line = 1;
    for (size_t i = 0; i < at && i < html.size(); ++i) line += html[i] == '\n';
    *problem = why + " at line " + std::to_string(line);
  }
  return false;
}

bool IsVoid(std::string_view tag) { return tag == "meta" || tag == "br" || tag == "hr"; }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

}  // namespace

bool CheckPage(std::string_view html, std::string* problem) {
  const std::string_view doctype = "<!DOCTYPE html>\n";
  if (html.substr(0, doctype.size()) != doctype) return Refuse(html, 0, "no doctype", problem);
  if (html.size() < 8 || html.substr(html.size() - 8) != "</html>\n") {
    return Refuse(html, html.size(), "the page does not end with </html>", problem);
  }
  for (size_t i = 0; i < html.size();) {
    Utf8Char decoded = DecodeUtf8(html, i);
    if (!decoded.valid) return Refuse(html, i, "a byte that is not UTF-8", problem);
    i += decoded.length;
  }
  std::vector<std::string_view> open;
  bool in_style = false;
  for (size_t i = doctype.size(); i < html.size();) {
    const unsigned char c = static_cast<unsigned char>(html[i]);
    if (c >= 0x80) {
      ++i;
      continue;
    }
    if ((c < 0x20 && c != '\n') || c == 0x7f) return Refuse(html, i, "a raw control character", problem);
    if (c == '>') return Refuse(html, i, "a '>' in text", problem);
    if (c == '&') {
      bool known = false;
      for (std::string_view entity : {"&lt;", "&gt;", "&amp;", "&quot;", "&#39;"}) {
        known = known || html.substr(i, entity.size()) == entity;
      }
      if (!known && !in_style) return Refuse(html, i, "an '&' that starts no entity", problem);
      ++i;
      continue;
    }
    if (c != '<') {
      ++i;
      continue;
    }
    if (open.empty() && i > doctype.size() && html.substr(i, 6) != "<html ") {
      return Refuse(html, i, "text after the end of the page", problem);
    }
    const bool end = i + 1 < html.size() && html[i + 1] == '/';
    size_t name_begin = i + (end ? 2 : 1);
    size_t name_end = name_begin;
    while (name_end < html.size() && IsNameChar(html[name_end])) ++name_end;
    std::string_view name = html.substr(name_begin, name_end - name_begin);
    if (name.empty()) return Refuse(html, i, "a '<' in text", problem);
    if (in_style && !(end && name == "style")) return Refuse(html, i, "a tag inside the style", problem);
    // The attributes: name="value" pairs, values without quotes or angles.
    size_t j = name_end;
    while (j < html.size() && html[j] != '>') {
      if (html[j] == '"') {
        size_t close = html.find('"', j + 1);
        if (close == std::string_view::npos) return Refuse(html, j, "an attribute left open", problem);
        std::string_view value = html.substr(j + 1, close - j - 1);
        if (value.find_first_of("<>") != std::string_view::npos) {
          return Refuse(html, j, "an angle bracket in an attribute", problem);
        }
        j = close + 1;
        continue;
      }
      if (html[j] == '<' || static_cast<unsigned char>(html[j]) < 0x20) {
        return Refuse(html, j, "a tag left open", problem);
      }
      ++j;
    }
    if (j >= html.size()) return Refuse(html, i, "a tag left open", problem);
    if (end) {
      if (open.empty() || open.back() != name) {
        return Refuse(html, i, "</" + std::string(name) + "> closes " +
                                   (open.empty() ? "nothing" : "<" + std::string(open.back()) + ">"),
                      problem);
      }
      open.pop_back();
      in_style = false;
    } else if (!IsVoid(name)) {
      open.push_back(name);
      in_style = name == "style";
    }
    i = j + 1;
  }
  if (!open.empty()) return Refuse(html, html.size(), "<" + std::string(open.back()) + "> never closed", problem);
  return true;
}

}  // namespace folios::fuzz

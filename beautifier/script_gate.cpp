// HTML script sections: which lines the formatter sees.
#include "script_gate.h"

#include <string>

namespace folios {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// The line without surrounding white space, in upper case.
std::string TagForm(std::string_view line) {
  size_t b = 0, e = line.size();
  while (b < e && IsSpace(line[b])) ++b;
  while (e > b && IsSpace(line[e - 1])) --e;
  std::string s(line.substr(b, e - b));
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

bool IsOpeningTag(std::string_view line) {
  if (line.size() > 64) return false;
  std::string t = TagForm(line);
  return t == "<SERVER>" || t == "<SCRIPT>";
}

bool IsClosingTag(std::string_view line) {
  if (line.size() > 64) return false;
  std::string t = TagForm(line);
  return t == "</SERVER>" || t == "</SCRIPT>";
}

}  // namespace

bool ScriptGate::CopyUnchanged(std::string_view line) {
  if (mode_ == kUndecided) {
    size_t i = 0;
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i < line.size()) mode_ = line[i] == '<' ? kHtmlText : kNotHtml;
    if (mode_ != kHtmlText) return false;
  }
  switch (mode_) {
    case kHtmlText:
      if (IsOpeningTag(line)) mode_ = kScript;
      return true;
    case kScript:
      if (IsClosingTag(line)) {
        mode_ = kHtmlText;
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace folios

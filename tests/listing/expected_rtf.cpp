#include "expected_rtf.h"

#include <algorithm>

namespace folios::test {

namespace {

const char kFontTable[] =
    "{\\fonttbl{\\f0\\ Courier New;}{\\f1\\ Times New Roman;}{\\f2\\ Courier New;}"
    "{\\f3\\ Arial;}{\\f4\\ Courier;}}";

const char kColorTable[] =
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;"
    "\\red0\\green255\\blue0;\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255"
    "\\green255\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue128;\\red0\\green128"
    "\\blue128;\\red0\\green128\\blue0;\\red128\\green0\\blue128;\\red128\\green0\\blue0;"
    "\\red128\\green128\\blue0;\\red128\\green128\\blue128;\\red192\\green192\\blue192;}";

const char kP1[] =
    "\\margl1417\\margr1417\\margt1417\\margb1134 \\widowctrl\\ftnbj\\aenddoc\\noxlattoyen"
    "\\expshrtn\\noultrlspc\\dntblnsbdb\\nospaceforul\\formshade\\horzdoc\\dgmargin\\dghspace180"
    "\\dgvspace180\\dghorigin1417\\dgvorigin1417\\dghshow1\\dgvshow1\\jexpand\\viewkind1"
    "\\viewscale100\\pgbrdrhead\\pgbrdrfoot\\splytwnine\\ftnlytwnine\\htmautsp\\nolnhtadjtbl"
    "\\useltbaln\\alntblind\\lytcalctblwd\\lyttblrtgr\\lnbrkrule \\fet0\\sectd \\linex0"
    "\\headery708\\footery708\\colsx708";

const char kP2[] =
    "\\margl1418\\margr1178\\margt1418\\margb1418 \\widowctrl\\ftnbj\\aenddoc\\noxlattoyen"
    "\\expshrtn\\noultrlspc\\dntblnsbdb\\nospaceforul\\hyphcaps0\\formshade\\horzdoc\\dgmargin"
    "\\dghspace180\\dgvspace180\\dghorigin1418\\dgvorigin1418\\dghshow1\\dgvshow1\\jexpand"
    "\\viewkind1\\viewscale100\\pgbrdrhead\\pgbrdrfoot\\splytwnine\\ftnlytwnine\\htmautsp"
    "\\nolnhtadjtbl\\useltbaln\\alntblind\\lytcalctblwd\\lyttblrtgr\\lnbrkrule \\fet0\\sectd "
    "\\lndscpsxn\\psz9\\linex0\\headery709\\footery709\\cols2\\colsx709";

const char kT[] =
    "\\endnhere\\sectlinegrid360\\sectdefaultcl {\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720"
    "\\pnhang{\\pntxta .}}{\\*\\pnseclvl2\\pnucltr\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}"
    "{\\*\\pnseclvl3\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}{\\*\\pnseclvl4\\pnlcltr"
    "\\pnstart1\\pnindent720\\pnhang{\\pntxta )}}{\\*\\pnseclvl5\\pndec\\pnstart1\\pnindent720"
    "\\pnhang{\\pntxtb (}{\\pntxta )}}{\\*\\pnseclvl6\\pnlcltr\\pnstart1\\pnindent720\\pnhang"
    "{\\pntxtb (}{\\pntxta )}}{\\*\\pnseclvl7\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}"
    "{\\pntxta )}}{\\*\\pnseclvl8\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}"
    "{\\*\\pnseclvl9\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\\pard\\plain "
    "\\ql \\li0\\ri0\\widctlpar\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 ";

}  // namespace

std::string ExpectedHead(const HeadLayout& layout, const std::string& header_format,
                         const std::string& code_format) {
  std::string head = "{\\rtf1\\ansi \\deff0\\deflang1033\n\n";
  head += std::string(kFontTable) + "\n\n";
  head += std::string(kColorTable) + "\n\n";
  // The style sheet entries hold the prefixes without their paragraph reset.
  auto entry = [](const std::string& format) {
    return format.rfind("\\pard", 0) == 0 ? format.substr(5) : format;
  };
  head += "{\\stylesheet {\\s1" + entry(header_format) + " Header ;}{" + entry(code_format) + " Code ;}}\n\n";
  head += layout.landscape ? "\\paperw16838\\paperh11906" : "\\paperw11906\\paperh16838";
  if (layout.columns == 1) {
    head += kP1;
  } else {
    head += kP2;
    if (layout.separator) head += "\\linebetcol";
  }
  head += kT;
  head += code_format;
  head += "\\lang2057\\langfe1033\\cgrid\\langnp2057\\langfenp1033 {";
  return head;
}

std::string ExpectedHead(const HeadLayout& layout) {
  return ExpectedHead(layout, kDefaultHeaderFormat, kDefaultCodeFormat);
}

size_t EndOfGroup(const std::string& rtf, size_t open) {
  size_t i = open;
  int depth = 0;
  do {
    if (rtf[i] == '\\') {
      ++i;
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}') {
      --depth;
    }
    ++i;
  } while (i < rtf.size() && depth > 0);
  return std::min(i, rtf.size());
}

std::vector<std::string> ParagraphTexts(const std::string& rtf) {
  std::vector<std::string> paragraphs(1);
  auto is_letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (size_t i = 0; i < rtf.size();) {
    char c = rtf[i];
    if (c == '{' && rtf.compare(i, 3, "{\\*") == 0) {
      i = EndOfGroup(rtf, i);
      continue;
    }
    if (c == '{' || c == '}' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      paragraphs.back() += c;
      ++i;
      continue;
    }
    char next = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
    if (next == '\\' || next == '{' || next == '}') {
      paragraphs.back() += next;
      i += 2;
    } else if (next == '\'' && i + 3 < rtf.size()) {
      paragraphs.back() += static_cast<char>(hex(rtf[i + 2]) * 16 + hex(rtf[i + 3]));
      i += 4;
    } else if (is_letter(next)) {
      size_t end = i + 1;
      while (end < rtf.size() && is_letter(rtf[end])) ++end;
      std::string word = rtf.substr(i + 1, end - i - 1);
      if (end < rtf.size() && rtf[end] == '-') ++end;
      while (end < rtf.size() && rtf[end] >= '0' && rtf[end] <= '9') ++end;
      if (end < rtf.size() && rtf[end] == ' ') ++end;
      if (word == "par") paragraphs.emplace_back();
      i = end;
    } else {
      i += 2;
    }
  }
  return paragraphs;
}

}  // namespace folios::test

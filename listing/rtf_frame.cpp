#include "rtf_frame.h"

#include <algorithm>
#include <climits>

#include "setting_names.h"
#include "settings_table.h"

namespace folios {

namespace {

// One column: A4 margins of 2.5 cm (2 cm at the bottom).
const char kOneColumnSection[] =
    "\\margl1417\\margr1417\\margt1417\\margb1134 \\widowctrl\\ftnbj\\aenddoc\\noxlattoyen"
    "\\expshrtn\\noultrlspc\\dntblnsbdb\\nospaceforul\\formshade\\horzdoc\\dgmargin\\dghspace180"
    "\\dgvspace180\\dghorigin1417\\dgvorigin1417\\dghshow1\\dgvshow1\\jexpand\\viewkind1"
    "\\viewscale100\\pgbrdrhead\\pgbrdrfoot\\splytwnine\\ftnlytwnine\\htmautsp\\nolnhtadjtbl"
    "\\useltbaln\\alntblind\\lytcalctblwd\\lyttblrtgr\\lnbrkrule \\fet0\\sectd \\linex0"
    "\\headery708\\footery708\\colsx708";

// Two columns: the section is always marked landscape; only the paper size
// follows the orientation setting.
const char kTwoColumnSection[] =
    "\\margl1418\\margr1178\\margt1418\\margb1418 \\widowctrl\\ftnbj\\aenddoc\\noxlattoyen"
    "\\expshrtn\\noultrlspc\\dntblnsbdb\\nospaceforul\\hyphcaps0\\formshade\\horzdoc\\dgmargin"
    "\\dghspace180\\dgvspace180\\dghorigin1418\\dgvorigin1418\\dghshow1\\dgvshow1\\jexpand"
    "\\viewkind1\\viewscale100\\pgbrdrhead\\pgbrdrfoot\\splytwnine\\ftnlytwnine\\htmautsp"
    "\\nolnhtadjtbl\\useltbaln\\alntblind\\lytcalctblwd\\lyttblrtgr\\lnbrkrule \\fet0\\sectd "
    "\\lndscpsxn\\psz9\\linex0\\headery709\\footery709\\cols2\\colsx709";

const char kSectionTail[] =
    "\\endnhere\\sectlinegrid360\\sectdefaultcl "
    "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}"
    "{\\*\\pnseclvl2\\pnucltr\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}"
    "{\\*\\pnseclvl3\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}"
    "{\\*\\pnseclvl4\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxta )}}"
    "{\\*\\pnseclvl5\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}"
    "{\\*\\pnseclvl6\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}"
    "{\\*\\pnseclvl7\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}"
    "{\\*\\pnseclvl8\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}"
    "{\\*\\pnseclvl9\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}"
    "\\pard\\plain \\ql \\li0\\ri0\\widctlpar\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0"
    "\\itap0 ";

const char kColorTable[] =
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;"
    "\\red0\\green255\\blue0;\\red255\\green0\\blue255;\\red255\\green0\\blue0;"
    "\\red255\\green255\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue128;"
    "\\red0\\green128\\blue128;\\red0\\green128\\blue0;\\red128\\green0\\blue128;"
    "\\red128\\green0\\blue0;\\red128\\green128\\blue0;\\red128\\green128\\blue128;"
    "\\red192\\green192\\blue192;}";

// Characters per line by points 8..16: portrait 1 and 2 columns, landscape 1 and 2.
const int kCapacity[9][4] = {
    {91, 40, 145, 67}, {80, 35, 129, 59}, {72, 31, 116, 53}, {65, 28, 105, 48}, {59, 26, 96, 43},
    {55, 23, 88, 40},  {50, 21, 82, 37},  {47, 20, 76, 34},  {44, 18, 71, 32},
};

// "\plain \f0\fsN" + the styles and colours of a section: the character
// format that the format prefixes and the style sheet entries share.
std::string CharacterFormat(int half_points, const setting_name::StyleSettingNames& section,
                            int fore_default) {
  Settings doc(SettingKey::kDoc);
  std::string out = "\\plain \\f0\\fs" + std::to_string(half_points);
  if (doc.Int(section.underline) != 0) out += "\\ul";
  if (doc.Int(section.bold) != 0) out += "\\b";
  if (doc.Int(section.italic) != 0) out += "\\i";
  out += "\\cf" + std::to_string(doc.Int(section.forecolor, fore_default));
  out += "\\highlight" + std::to_string(doc.Int(section.back_color));
  out += "\\lang1033";
  return out;
}

// A font size in points as RTF's half-points. A size typed into the
// settings file by hand may be any int; the result saturates rather than
// overflow.
int HalfPoints(int points) {
  return static_cast<int>(std::clamp<long long>(2LL * points, INT_MIN, INT_MAX));
}

}  // namespace

CRtfFrame::CRtfFrame()
    : font_names_{"Courier New", "Times New Roman", "Courier New", "Arial", "Courier"} {
  Settings doc(SettingKey::kDoc);
  Settings main(SettingKey::kMain);
  code_font_size_ = HalfPoints(doc.Int(setting_name::kCodeFontsize));
  comment_font_size_ = HalfPoints(doc.Int(setting_name::kCommentFontsize));
  column_count_ = main.Int(setting_name::kColnumber);
  column_separator_ = main.Int(setting_name::kColseparator);
  orientation_ = main.Int(setting_name::kBOrientation);
}

CRtfFrame::~CRtfFrame() = default;

std::string CRtfFrame::GetFontTable() const {
  std::string out = "{\\fonttbl";
  for (size_t i = 0; i < font_names_.size(); ++i) {
    out += "{\\f" + std::to_string(i) + "\\ " + font_names_[i] + ";}";
  }
  out += "}";
  return out;
}

std::string CRtfFrame::GetColorTable() const { return kColorTable; }

std::string CRtfFrame::GetStyleSheet() const {
  // Two entries without numbers would both define style 0, and readers that
  // honour the duplicate fall back to their default serif font for the whole
  // document. The header is style 1; the code style is the normal style 0.
  // An entry describes a style, it is no paragraph: a paragraph reset in it
  // sends some readers round in circles.
  return "{\\stylesheet {\\s1" + HeaderCharacterFormat() + " Header ;}{" + CodeCharacterFormat() +
         " Code ;}}";
}

std::string CRtfFrame::HeaderCharacterFormat() const {
  return CharacterFormat(HalfPoints(Settings(SettingKey::kDoc).Int(setting_name::kHeaderFontsize)),
                         setting_name::kHeaderStyle,
                         DefaultInt(SettingKey::kDoc, setting_name::kHeaderForecolor));
}

std::string CRtfFrame::CodeCharacterFormat() const {
  return CharacterFormat(code_font_size_, setting_name::kCodeStyle,
                         DefaultInt(SettingKey::kDoc, setting_name::kCodeForecolor));
}

std::string CRtfFrame::GetHeaderFormat() const { return "\\pard" + HeaderCharacterFormat(); }

std::string CRtfFrame::GetCodeFormat() const { return "\\pard" + CodeCharacterFormat(); }

std::string CRtfFrame::GetCommentFormat() const {
  return "\\pard" + CharacterFormat(comment_font_size_, setting_name::kCommentStyle,
                                    kStyleSheetCommentForeColorDefault);
}

std::string CRtfFrame::GetDocumentHead() const {
  std::string out = "{\\rtf1\\ansi \\deff0\\deflang1033\n\n";
  out += GetFontTable() + "\n\n";
  out += GetColorTable() + "\n\n";
  out += GetStyleSheet() + "\n\n";
  out += orientation_ == 0 ? "\\paperw11906\\paperh16838" : "\\paperw16838\\paperh11906";
  if (column_count_ == 1) {
    out += kOneColumnSection;
  } else {
    out += kTwoColumnSection;
    if (column_separator_ != 0) out += "\\linebetcol";
  }
  out += kSectionTail;
  out += GetCodeFormat();
  out += "\\lang2057\\langfe1033\\cgrid\\langnp2057\\langfenp1033 {";
  return out;
}

int CRtfFrame::GetLineCapacity(int half_points) const {
  int points = half_points / 2;
  if (points < 8 || points > 16) return 80;
  if (column_count_ != 1 && column_count_ != 2) return 80;
  int column = (orientation_ == 0 ? 0 : 2) + (column_count_ - 1);
  return kCapacity[points - 8][column];
}

}  // namespace folios

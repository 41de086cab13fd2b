#include "settings_table.h"

#include "data_files.h"
#include "paths.h"
#include "registry.h"
#include "setting_names.h"

namespace folios {

namespace {

using K = SettingKey;
namespace N = setting_name;
constexpr SettingKind I = SettingKind::kInt;
constexpr SettingKind T = SettingKind::kText;

// The ranges the option pages allow.
constexpr AllowedRange kFlag{0, 1};             // a check box, or a radio button's check state
constexpr AllowedRange kLineNumber{1, 99999};   // "Start at" and "Increment by"
constexpr AllowedRange kFontSize{8, 16};        // the sizes of the "Change font" list
constexpr AllowedRange kColor{1, 14};           // the named colours
// A number the beautifier brings into range itself.
constexpr AllowedRange Clamped(int min, int max) { return AllowedRange{min, max, true}; }

const std::vector<SettingInfo> kSettings = {
    {K::kMain, N::kOpenfile, I, "1", "open the generated document after creation", kFlag},
    {K::kMain, N::kShowfiledlg, I, "0", "show the Open Project/File dialog at program start",
     kFlag},
    {K::kMain, N::kFilefilter, I, "0", "file types the Open dialog lists first: 0 C++, 1 Visual Basic, 2 Java",
     AllowedRange{0, 2}},
    {K::kMain, N::kFileLocation, T, "", "initial directory of the Open dialog"},
    {K::kMain, N::kBOrientation, I, "0", "page orientation of listings: 0 portrait, 1 landscape",
     AllowedRange{0, 1}},
    {K::kMain, N::kDir, T, "{home}", "last directory of the directory search"},
    {K::kMain, N::kFindSubfolders, I, "1", "include subfolders in the directory search", kFlag},
    {K::kMain, N::kCpp, I, "1", "search C++ source files", kFlag},
    {K::kMain, N::kH, I, "1", "search C++ header files", kFlag},
    {K::kMain, N::kJava, I, "0", "search Java files", kFlag},
    {K::kMain, N::kFrm, I, "0", "search Visual Basic form files", kFlag},
    {K::kMain, N::kBas, I, "0", "search Visual Basic module files", kFlag},
    {K::kMain, N::kCls, I, "0", "search Visual Basic class modules", kFlag},
    {K::kMain, N::kCfiles, T, "{data}/C-Keywords.lfx", "keyword file for C++"},
    {K::kMain, N::kJavafiles, T, "{data}/JAVA-Keywords.lfx", "keyword file for Java"},
    {K::kMain, N::kVbfiles, T, "{data}/VB-Keywords.lfx", "keyword file for Visual Basic"},
    {K::kMain, N::kKwfile, T, "{data}/C-Keywords.lfx", "keyword file last opened in the keyword editor"},
    {K::kMain, N::kFormat, I, "1", "what of a Visual Basic file to list (form definition, code, both)",
     AllowedRange{0, 2}},
    {K::kMain, N::kLinesep, I, "1", "use line separators (Visual Basic)", kFlag},
    {K::kMain, N::kLinebreaks, I, "1", "generate line breaks if needed", kFlag},
    {K::kMain, N::kUselinenumbers, I, "1", "non-zero means no line numbers", kFlag},
    {K::kMain, N::kLinecountermode, I, "1", "line numbering mode", kFlag},
    {K::kMain, N::kLinecountermode2, I, "0", "further line numbering option", kFlag},
    {K::kMain, N::kStartat, T, "1", "first line number", kLineNumber},
    {K::kMain, N::kIncrementby, T, "1", "line number increment", kLineNumber},
    {K::kMain, N::kColnumber, T, "1", "number of columns", AllowedRange{1, 2}},
    {K::kMain, N::kColseparator, I, "1", "separator line between columns", kFlag},
    {K::kMain, N::kPagebreak, I, "0", "start a new page for every file", kFlag},
    {K::kMain, N::kRemoveNoiseChars, I, "1", "remove noise characters from listings", kFlag},
    {K::kMain, N::kUseAdvancedOptions, I, "1", "pre-format C++/Java with the beautifier before listing",
     kFlag},
    {K::kMain, N::kOutputType, I, "0", "document type of listings: 0 RTF document, 1 web page (HTML)",
     AllowedRange{0, 1}},
    {K::kMain, N::kEmptyLines, T, "2", "empty lines between two functions", Clamped(0, 10)},
    {K::kMain, N::kIndentWithTabs, I, "0", "indent with tabs", kFlag},
    {K::kMain, N::kSpacesToIndent, T, "4", "spaces per indent level", Clamped(0, 10)},
    {K::kMain, N::kRemoveComments, I, "0", "remove all comments", kFlag},
    {K::kMain, N::kCWithCode, T, "1", "comment position with code", Clamped(0, 60)},
    {K::kMain, N::kCWithoutCode, T, "0", "comment position without code", Clamped(0, 60)},
    {K::kMain, N::kBraceStyle, I, "0", "brace style", AllowedRange{0, 1}},
    {K::kMain, N::kBackupSuffix, T, ".orig",
     "suffix of the copy 'folios reformat' keeps of a file it changes; empty: no copy"},
    {K::kMain, N::kCuddleElse, I, "0",
     "put else, catch, finally and the while of a do loop on the line of the closing brace before them",
     kFlag},
    {K::kMain, N::kFunctionBrace, I, "0",
     "with braces on the code line: 1 puts the opening brace of a function body on a line of its own", kFlag},
    {K::kMain, N::kContinuation, I, "0",
     "continuation lines: 0 one step deeper than the line that opened the parenthesis, 1 under it, "
     "2 two steps deeper",
     AllowedRange{0, 2}},
    {K::kMain, N::kIndentAccess, I, "0",
     "access labels: 0 label region (members after it one step deeper), 1 at the class brace, 2 half a step in, "
     "3 one step in",
     AllowedRange{0, 3}},
    {K::kMain, N::kIndentNamespace, I, "1", "indent the body of a namespace", kFlag},
    {K::kMain, N::kIndentCase, I, "1", "indent case labels one step inside their switch", kFlag},
    {K::kMain, N::kKeepTrailingComments, I, "0",
     "keep a comment after code on its code line, at the comment-with-code column or past it", kFlag},
    {K::kMain, N::kCommentsAtCodeIndent, I, "0",
     "put a comment alone on its line at the indentation of the code line after it", kFlag},
    {K::kMain, N::kDoctype, I, "0", "documentation document type: 0 RTF, 1 help (HLP), 2 web page (HTML)",
     AllowedRange{0, 2}},
    {K::kMain, N::kSortTopics, I, "1", "sort topics", kFlag},
    {K::kMain, N::kCreateTopicLog, I, "0", "create topic log", kFlag},
    {K::kMain, N::kUseExtractionExpression, I, "0", "use extraction expression", kFlag},
    {K::kMain, N::kExtractionExpression, T, "", "the extraction expression"},

    {K::kDoc, N::kHeaderBold, I, "1", "header bold", kFlag},
    {K::kDoc, N::kHeaderItalic, I, "0", "header italic", kFlag},
    {K::kDoc, N::kHeaderUnderline, I, "0", "header underlined", kFlag},
    {K::kDoc, N::kHeaderFontsize, I, "16", "header font size in points", kFontSize},
    {K::kDoc, N::kHeaderForecolor, I, "1", "header text colour", kColor},
    {K::kDoc, N::kHeaderBackColor, I, "8", "header background colour", kColor},
    {K::kDoc, N::kCodeBold, I, "0", "code bold", kFlag},
    {K::kDoc, N::kCodeItalic, I, "0", "code italic", kFlag},
    {K::kDoc, N::kCodeUnderline, I, "0", "code underlined", kFlag},
    {K::kDoc, N::kCodeFontsize, I, "10", "code font size in points", kFontSize},
    {K::kDoc, N::kCodeForecolor, I, "1", "code text colour", kColor},
    {K::kDoc, N::kCodeBackColor, I, "8", "code background colour", kColor},
    {K::kDoc, N::kCommentBold, I, "0", "comment bold", kFlag},
    {K::kDoc, N::kCommentItalic, I, "0", "comment italic", kFlag},
    {K::kDoc, N::kCommentUnderline, I, "0", "comment underlined", kFlag},
    {K::kDoc, N::kCommentFontsize, I, "8", "comment font size in points", kFontSize},
    {K::kDoc, N::kCommentForecolor, I, "11", "comment text colour", kColor},
    {K::kDoc, N::kCommentBackColor, I, "8", "comment background colour", kColor},

    {K::kTemplateKw, N::kBold, I, "0", "new keywords bold", kFlag},
    {K::kTemplateKw, N::kItalic, I, "0", "new keywords italic", kFlag},
    {K::kTemplateKw, N::kUnderline, I, "0", "new keywords underlined", kFlag},
    {K::kTemplateKw, N::kStrcolor, I, "9", "new keywords text colour", kColor},
    {K::kTemplateKw, N::kStrbackcolor, I, "8", "new keywords background colour", kColor},
};

}  // namespace

const std::vector<SettingInfo>& AllSettings() { return kSettings; }

const SettingInfo* FindSetting(SettingKey key, std::string_view name) {
  std::string lower = ToLowerAscii(name);
  for (const SettingInfo& info : kSettings) {
    if (info.key == key && lower == info.name) return &info;
  }
  return nullptr;
}

const SettingInfo* FindSettingAnyKey(std::string_view name) {
  std::string lower = ToLowerAscii(name);
  for (const SettingInfo& info : kSettings) {
    if (lower == info.name) return &info;
  }
  return nullptr;
}

std::string DescribeRange(const AllowedRange& range) {
  if (range.max == range.min + 1) {
    return std::to_string(range.min) + " or " + std::to_string(range.max);
  }
  return "from " + std::to_string(range.min) + " to " + std::to_string(range.max);
}

ValueCheck CheckSettingValue(const SettingInfo& info, const std::string& value, std::string* use,
                             std::string* message) {
  *use = value;
  message->clear();
  if (!info.range) return ValueCheck::kAccepted;
  const AllowedRange& range = *info.range;
  const bool pair = range.max == range.min + 1;
  const std::string allowed = std::string(info.name) + " must be " +
                              (pair ? "" : "a whole number ") + DescribeRange(range);
  size_t i = !value.empty() && (value[0] == '-' || value[0] == '+') ? 1 : 0;
  bool digits = i < value.size();
  for (size_t j = i; j < value.size(); ++j) digits = digits && value[j] >= '0' && value[j] <= '9';
  if (!digits) {
    *message = allowed + ", not '" + value + "'";
    return ValueCheck::kRefused;
  }
  // Beyond ten digits every value is out of range; compare without overflow.
  std::string magnitude = value.substr(i);
  magnitude.erase(0, std::min(magnitude.find_first_not_of('0'), magnitude.size() - 1));
  long long number = magnitude.size() > 10 ? 99999999999LL : std::stoll(magnitude);
  if (value[0] == '-') number = -number;
  if (number >= range.min && number <= range.max) return ValueCheck::kAccepted;
  if (!range.clamp) {
    *message = allowed + ", not " + value;
    return ValueCheck::kRefused;
  }
  *use = std::to_string(number < range.min ? range.min : range.max);
  *message = allowed + "; " + value + " is taken as " + *use;
  return ValueCheck::kClamped;
}

std::string SettingKeyPath(SettingKey key) {
  switch (key) {
    case SettingKey::kDoc:
      return std::string(kProductKey) + kDocSubkey;
    case SettingKey::kTemplateKw:
      return std::string(kProductKey) + kTemplateKwSubkey;
    case SettingKey::kMain:
      break;
  }
  return kProductKey;
}

const char* SettingKeyName(SettingKey key) {
  switch (key) {
    case SettingKey::kDoc:
      return "doc";
    case SettingKey::kTemplateKw:
      return "template_kw";
    case SettingKey::kMain:
      break;
  }
  return "main";
}

std::optional<SettingKey> SettingKeyFromName(std::string_view name) {
  for (SettingKey key : {SettingKey::kMain, SettingKey::kDoc, SettingKey::kTemplateKw}) {
    if (name == SettingKeyName(key)) return key;
  }
  return std::nullopt;
}

std::string DefaultText(SettingKey key, std::string_view name) {
  const SettingInfo* info = FindSetting(key, name);
  if (!info) return std::string();
  std::string_view text = info->default_text;
  if (text == "{home}") return HomeDirectory();
  if (text.substr(0, 7) == "{data}/") return LocateDataFile(text.substr(7));
  return std::string(text);
}

int DefaultInt(SettingKey key, std::string_view name) {
  return CRegistry::AtoiRule(DefaultText(key, name));
}

int Settings::Int(std::string_view name) const {
  CRegistry registry;
  std::optional<std::string> text =
      registry.QueryString(kLocalMachine, SettingKeyPath(key_), std::string(name));
  return text ? CRegistry::AtoiRule(*text) : DefaultInt(key_, name);
}

int Settings::Int(std::string_view name, int def) const {
  CRegistry registry(kLocalMachine, SettingKeyPath(key_));
  return registry.ReadInt(std::string(name), def);
}

std::string Settings::Text(std::string_view name) const {
  CRegistry registry;
  std::optional<std::string> text =
      registry.QueryString(kLocalMachine, SettingKeyPath(key_), std::string(name));
  return text ? *text : DefaultText(key_, name);
}

void Settings::SetInt(std::string_view name, int value) const {
  CRegistry registry(kLocalMachine, SettingKeyPath(key_));
  registry.WriteInt(std::string(name), value);
}

void Settings::SetText(std::string_view name, const std::string& text) const {
  TrySetText(name, text);
}

Status Settings::TrySetText(std::string_view name, const std::string& text) const {
  return CRegistry().TryWriteString(kLocalMachine, SettingKeyPath(key_), std::string(name), text);
}

Status ResetAllSettings() {
  CRegistry registry(kLocalMachine, kProductKey);
  return registry.TryDeleteKey();
}

}  // namespace folios

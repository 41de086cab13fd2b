// Filling the option record from the settings store, and its report.
#include "beautifier_options.h"

#include <ostream>

#include "setting_names.h"
#include "settings_table.h"

namespace folios {

namespace {

const char* YesNo(int32_t flag) { return flag == -1 ? "Yes" : "No"; }

}  // namespace

namespace {

// Brings a value into the range the settings table allows for `name`, with
// the same warning the command line gives for such a --set value.
void Clamp(int32_t* value, const char* name, std::vector<std::string>* warnings) {
  const SettingInfo* info = FindSetting(SettingKey::kMain, name);
  std::string use;
  std::string message;
  if (!info || CheckSettingValue(*info, std::to_string(*value), &use, &message) != ValueCheck::kClamped) return;
  if (warnings) warnings->push_back(message);
  *value = std::stoi(use);
}

void Clamp(int32_t* value, int32_t lo, int32_t hi) { *value = *value < lo ? lo : *value > hi ? hi : *value; }

int32_t Flag(int32_t v) { return v != 0 ? -1 : 0; }

}  // namespace

void ClampBeautifierOptions(BeautifierOptions* o, std::vector<std::string>* warnings) {
  Clamp(&o->FUNCTION_SPACING, setting_name::kEmptyLines, warnings);
  Clamp(&o->INDENT_SPACING, setting_name::kSpacesToIndent, warnings);
  Clamp(&o->COMMENTS_WITH_CODE, setting_name::kCWithCode, warnings);
  Clamp(&o->COMMENTS_WITH_NOCODE, setting_name::kCWithoutCode, warnings);
  Clamp(&o->QUEUE_BUFFER, 0, 100);
  o->USE_TABS = Flag(o->USE_TABS);
  o->LEAVE_COMMENTS_NOCODE = Flag(o->LEAVE_COMMENTS_NOCODE);
  o->NONASCII_QUOTES_TO_OCTAL = Flag(o->NONASCII_QUOTES_TO_OCTAL);
  o->PLACE_BRACE_ON_NEW_LINE = Flag(o->PLACE_BRACE_ON_NEW_LINE);
  o->PROGRAM_OUTPUT = Flag(o->PROGRAM_OUTPUT);
  o->CUDDLE_ELSE = Flag(o->CUDDLE_ELSE);
  o->FUNCTION_BRACE_ALONE = Flag(o->FUNCTION_BRACE_ALONE);
  Clamp(&o->CONTINUATION_STYLE, 0, 2);
  Clamp(&o->ACCESS_LABEL_INDENT, 0, 3);
  o->INDENT_NAMESPACE = Flag(o->INDENT_NAMESPACE);
  o->INDENT_CASE = Flag(o->INDENT_CASE);
  o->KEEP_TRAILING_COMMENTS = Flag(o->KEEP_TRAILING_COMMENTS);
  o->COMMENTS_AT_CODE_INDENT = Flag(o->COMMENTS_AT_CODE_INDENT);
}

BeautifierOptions LoadBeautifierOptions(std::vector<std::string>* warnings) {
  Settings settings(SettingKey::kMain);
  BeautifierOptions options;
  options.FUNCTION_SPACING = settings.Int(setting_name::kEmptyLines);
  bool tabs = settings.Int(setting_name::kIndentWithTabs) != 0;
  // The tab width is fixed when indenting with tabs, so the spaces setting is
  // not even read then.
  options.INDENT_SPACING = tabs ? 4 : settings.Int(setting_name::kSpacesToIndent);
  options.USE_TABS = tabs ? -1 : 0;
  options.COMMENTS_WITH_CODE = settings.Int(setting_name::kCWithCode);
  options.COMMENTS_WITH_NOCODE = settings.Int(setting_name::kCWithoutCode);
  options.PLACE_BRACE_ON_NEW_LINE = settings.Int(setting_name::kBraceStyle) != 0 ? -1 : 0;
  options.CUDDLE_ELSE = Flag(settings.Int(setting_name::kCuddleElse));
  options.FUNCTION_BRACE_ALONE = Flag(settings.Int(setting_name::kFunctionBrace));
  options.CONTINUATION_STYLE = settings.Int(setting_name::kContinuation);
  options.ACCESS_LABEL_INDENT = settings.Int(setting_name::kIndentAccess);
  options.INDENT_NAMESPACE = Flag(settings.Int(setting_name::kIndentNamespace));
  options.INDENT_CASE = Flag(settings.Int(setting_name::kIndentCase));
  options.KEEP_TRAILING_COMMENTS = Flag(settings.Int(setting_name::kKeepTrailingComments));
  options.COMMENTS_AT_CODE_INDENT = Flag(settings.Int(setting_name::kCommentsAtCodeIndent));
  ClampBeautifierOptions(&options, warnings);
  return options;
}

void PrintSettingsReport(const BeautifierOptions& o, std::ostream& out) {
  out << "Function Line Spacing              : " << o.FUNCTION_SPACING << "\n"
      << "Use Tabs In Indenting              : " << YesNo(o.USE_TABS) << "\n"
      << "Indent Spacing Length              : " << o.INDENT_SPACING << "\n"
      << "Comments With Code                 : " << o.COMMENTS_WITH_CODE << "\n"
      << "Comments With No Code              : " << o.COMMENTS_WITH_NOCODE << "\n"
      << "Remove Non-ASCII Chars             : Yes But Not Graphic Chars\n"
      << "Non-ASCII Chars In Quotes To Octal : " << YesNo(o.NONASCII_QUOTES_TO_OCTAL) << "\n"
      << "Open Braces On New Line            : " << YesNo(o.PLACE_BRACE_ON_NEW_LINE) << "\n"
      << "Program Output                     : " << YesNo(o.PROGRAM_OUTPUT) << "\n"
      << "Internal Queue Buffer Size         : " << o.QUEUE_BUFFER << "\n";
}

}  // namespace folios

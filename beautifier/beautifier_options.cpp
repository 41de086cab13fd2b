// Filling the option record from the settings store, and its report.
#include "beautifier_options.h"

#include <ostream>

#include "settings_table.h"

namespace folios {

namespace {

const char* YesNo(int32_t flag) { return flag == -1 ? "Yes" : "No"; }

}  // namespace

namespace {

void Clamp(int32_t* value, int32_t lo, int32_t hi, const char* name, std::vector<std::string>* warnings) {
  if (*value >= lo && *value <= hi) return;
  int32_t used = *value < lo ? lo : hi;
  if (warnings) {
    warnings->push_back(std::string(name) + " is " + std::to_string(*value) + ", outside " + std::to_string(lo) +
                        ".." + std::to_string(hi) + ": " + std::to_string(used) + " is used");
  }
  *value = used;
}

int32_t Flag(int32_t v) { return v != 0 ? -1 : 0; }

}  // namespace

void ClampBeautifierOptions(BeautifierOptions* o, std::vector<std::string>* warnings) {
  Clamp(&o->FUNCTION_SPACING, 0, 10, "m_empty_lines", warnings);
  Clamp(&o->INDENT_SPACING, 0, 10, "m_spaces_to_indent", warnings);
  Clamp(&o->COMMENTS_WITH_CODE, 0, 60, "m_c_with_code", warnings);
  Clamp(&o->COMMENTS_WITH_NOCODE, 0, 60, "m_c_without_code", warnings);
  Clamp(&o->QUEUE_BUFFER, 0, 100, "QUEUE_BUFFER", nullptr);
  o->USE_TABS = Flag(o->USE_TABS);
  o->LEAVE_COMMENTS_NOCODE = Flag(o->LEAVE_COMMENTS_NOCODE);
  o->NONASCII_QUOTES_TO_OCTAL = Flag(o->NONASCII_QUOTES_TO_OCTAL);
  o->PLACE_BRACE_ON_NEW_LINE = Flag(o->PLACE_BRACE_ON_NEW_LINE);
  o->PROGRAM_OUTPUT = Flag(o->PROGRAM_OUTPUT);
}

BeautifierOptions LoadBeautifierOptions(std::vector<std::string>* warnings) {
  Settings settings(SettingKey::kMain);
  BeautifierOptions options;
  options.FUNCTION_SPACING = settings.Int("m_empty_lines");
  bool tabs = settings.Int("m_indent_with_tabs") != 0;
  // The tab width is fixed when indenting with tabs, so the spaces setting is
  // not even read then.
  options.INDENT_SPACING = tabs ? 4 : settings.Int("m_spaces_to_indent");
  options.USE_TABS = tabs ? -1 : 0;
  options.COMMENTS_WITH_CODE = settings.Int("m_c_with_code");
  options.COMMENTS_WITH_NOCODE = settings.Int("m_c_without_code");
  options.PLACE_BRACE_ON_NEW_LINE = settings.Int("m_brace_style") != 0 ? -1 : 0;
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

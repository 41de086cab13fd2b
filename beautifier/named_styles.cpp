// The named styles.
#include "named_styles.h"

#include <string>

#include "paths.h"
#include "setting_names.h"

namespace folios {

namespace {

// Columns: tabs, spaces, brace on its own line, function brace on its own
// line, cuddled else, under the parenthesis, access labels, namespace
// bodies, case labels, blank lines after a function, comments where programmers keep them
// (after their code, and alone at the indentation of the code after them).
NamedStyle Make(const char* name, const char* description, const char* tabs, const char* spaces,
                const char* brace, const char* function_brace, const char* cuddle, const char* under_paren,
                const char* access, const char* namespaces, const char* cases, const char* blank_lines,
                const char* keep_comments) {
  return NamedStyle{name,
                    description,
                    {{setting_name::kIndentWithTabs, tabs},
                     {setting_name::kSpacesToIndent, spaces},
                     {setting_name::kBraceStyle, brace},
                     {setting_name::kFunctionBrace, function_brace},
                     {setting_name::kCuddleElse, cuddle},
                     {setting_name::kContinuation, under_paren},
                     {setting_name::kIndentAccess, access},
                     {setting_name::kIndentNamespace, namespaces},
                     {setting_name::kIndentCase, cases},
                     {setting_name::kEmptyLines, blank_lines},
                     {setting_name::kKeepTrailingComments, keep_comments},
                     {setting_name::kCommentsAtCodeIndent, keep_comments}}};
}

const std::vector<NamedStyle>& Styles() {
  static const std::vector<NamedStyle> styles = {
      //    name, description,
      //    tabs, spaces, brace, function brace, cuddle, under paren, access, namespace, case, blank lines, keep comments
      Make("classic", "the settings' defaults",  //
           "0", "4", "0", "0", "0", "0", "0", "1", "1", "2", "0"),
      Make("kr", "4 spaces, braces on the code line, cuddled else, case labels at their switch",  //
           "0", "4", "0", "0", "1", "0", "1", "1", "0", "1", "1"),
      Make("allman", "4 spaces, every opening brace on a line of its own",  //
           "0", "4", "1", "0", "0", "0", "1", "1", "1", "1", "1"),
      Make("java", "4 spaces, braces on the code line, cuddled else and catch, continuations under the "
           "parenthesis",  //
           "0", "4", "0", "0", "1", "1", "1", "1", "1", "1", "1"),
      Make("linux", "tabs, braces on the code line but a function's on its own, case labels at their switch",  //
           "1", "4", "0", "1", "1", "0", "1", "1", "0", "1", "1"),
      Make("gnu", "2 spaces, braces on lines of their own, continuations under the parenthesis",  //
           "0", "2", "1", "0", "0", "1", "1", "1", "1", "1", "1"),
      Make("google", "2 spaces, cuddled else, access labels half a step in, flat namespaces, continuations "
           "two steps deeper",  //
           "0", "2", "0", "0", "1", "2", "2", "0", "1", "1", "1"),
  };
  return styles;
}

}  // namespace

const std::vector<NamedStyle>& NamedStyles() { return Styles(); }

const NamedStyle* FindNamedStyle(std::string_view name) {
  std::string lower = ToLowerAscii(name);
  for (const NamedStyle& style : Styles()) {
    if (lower == style.name) return &style;
  }
  return nullptr;
}

std::string_view NamedStyleList() {
  static const std::string list = [] {
    std::string names;
    for (const NamedStyle& style : Styles()) names += (names.empty() ? "" : ", ") + std::string(style.name);
    return names;
  }();
  return list;
}

}  // namespace folios

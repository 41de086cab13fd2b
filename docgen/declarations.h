// Declaration scanners: read the names and types a tagged comment leaves
// out from the code that follows it (or stands before it on the tag's line).
//
// They are not a compiler: they recognise just enough of C, C++ and Visual
// Basic declarations to cut out names and types.
#pragma once

#include <string>
#include <vector>

namespace folios::docgen {

// The text being scanned and the position reached. All requests of one
// topic share one cursor, so successive parameter requests take successive
// parameters.
struct ScanCursor {
  std::string text;
  size_t pos = 0;
};

// What a declaration says beyond its fields, as written in the code (blanks
// collapsed, not escaped).
struct DeclarationText {
  // "template <typename T>" of a function, member function or class.
  std::string template_head;
  // The parameter list of a function or member function and the markers
  // after it: "(void)", "(const Shape &other) const", "() = 0".
  std::string parameters;
};

// Scans a declaration of `kind` (a DeclKind) at the cursor. On success (0)
// `fields` receives the fields to insert in front of the paragraph's own,
// already escaped ("<", ">" and "\" get a backslash) and trimmed, `text`
// (when not null) what the declaration says beyond them, and the cursor
// moves past what was consumed (for a function, to its parameter list).
// Other results: kDeclNotThisKind (194), kDeclContinues (195: the
// declaration goes on past the text; join the next line and try again),
// kDeclNoKeyword (196), kDeclOutOfOrder (212), kErrUnknownParse (144: no
// scanner for the kind). `needs_terminator` asks name lists to end at one
// of , ; ( ) rather than at the end of the text, and a function's
// parameter list to be complete: a function whose list does not close in
// the text gives kDeclContinues with its fields already set, and without
// `needs_terminator` those fields (and no parameter list).
int ParseDeclaration(int kind, ScanCursor* cursor, bool needs_terminator, std::vector<std::string>* fields,
                     DeclarationText* text = nullptr);

// The number of fields a successful scan of `kind` inserts (0 for kinds
// without a scanner).
int InsertedFieldCount(int kind);

// True for a line that is only a template header ("template <...>").
bool IsTemplateHeaderLine(const std::string& line);

}  // namespace folios::docgen

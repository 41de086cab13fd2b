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

// Scans a declaration of `kind` (a DeclKind) at the cursor. On success (0)
// `fields` receives the fields to insert in front of the paragraph's own,
// already escaped ("<", ">" and "\" get a backslash) and trimmed, and the
// cursor moves past what was consumed. Other results: kDeclNotThisKind (194),
// kDeclContinues (195: the declaration goes on past the text; join the next
// line and try again), kDeclNoKeyword (196), kDeclOutOfOrder (212),
// kErrUnknownParse (144: no scanner for the kind). `needs_terminator` asks
// name lists to end at one of , ; ( ) rather than at the end of the text.
int ParseDeclaration(int kind, ScanCursor* cursor, bool needs_terminator, std::vector<std::string>* fields);

// The number of fields a successful scan of `kind` inserts (0 for kinds
// without a scanner).
int InsertedFieldCount(int kind);

// True for a line that is only a template header ("template <...>").
bool IsTemplateHeaderLine(const std::string& line);

}  // namespace folios::docgen

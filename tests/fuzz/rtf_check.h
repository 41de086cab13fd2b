// The well-formedness oracle for every RTF document the builds write.
#pragma once

#include <string>
#include <string_view>

namespace folios::fuzz {

// True when `rtf` is one complete RTF document:
// - it opens with "{\rtf"; its braces balance; the group it opens closes
//   only at its end, and nothing but line ends follows;
// - every control word is complete (letters, an optional signed number)
//   and delimited: a blank (taken as part of it), a line end, a backslash,
//   a brace or the ";" of a table comes next, never text, which some
//   readers would take as the delimiter and lose; every control symbol is
//   one RTF knows, and every "\'" is followed by two hex digits;
// - no raw byte below 32 appears anywhere but LF and CR (line ends) and
//   tab.
// Otherwise false, and `problem` (may be null) says what is wrong and at
// which line, and `offset` (may be null) gets the byte offset of the fault.
bool CheckRtfDocument(std::string_view rtf, std::string* problem, size_t* offset = nullptr);

}  // namespace folios::fuzz

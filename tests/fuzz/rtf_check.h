// The well-formedness oracle for every RTF document the builds write.
#pragma once

#include <string>
#include <string_view>

namespace folios::fuzz {

// True when `rtf` is one complete RTF document:
// - it opens with "{\rtf"; its braces balance; the group it opens closes
//   only at its end, and exactly `tail` follows (when `tail` is empty, any
//   number of line ends): the listing's document end closes the group and
//   then writes two more paragraph marks and braces, which readers ignore;
// - every control word is complete (letters, an optional signed number, at
//   most one blank as delimiter), every control symbol is one RTF knows,
//   and every "\'" is followed by two hex digits;
// - no raw byte below 32 appears anywhere but LF and CR (line ends), tab
//   and form feed (which readers take as a tab and pass over).
// Otherwise false, and `problem` (may be null) says what is wrong and at
// which line, and `offset` (may be null) gets the byte offset of the fault.
bool CheckRtfDocument(std::string_view rtf, std::string_view tail, std::string* problem,
                      size_t* offset = nullptr);

}  // namespace folios::fuzz

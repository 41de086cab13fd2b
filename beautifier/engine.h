// The indentation and brace engine: reads a source text line by line and
// writes it formatted, holding at most QUEUE_BUFFER formatted lines.
#pragma once

#include <istream>
#include <ostream>

#include "beautifier_options.h"
#include "token_check.h"

namespace folios {

// Formats `in` into `out`. `remove_comments` drops every comment (each
// leaves an empty line). When options.PROGRAM_OUTPUT is yes the progress
// text ("\nFeed Me, Feed Me Code ...\n", the line counter, the elapsed time)
// goes to `report`; error messages go to `err`.
//
// A line ends at a line feed, a carriage return and line feed, or a carriage
// return alone; every written line ends with a line feed. `language` selects
// the lexical rules (in C and C++ a line comment ending in a backslash goes on
// over the next line; in Java it does not). Options outside the ranges the
// option page allows are clamped (ClampBeautifierOptions).
//
// Returns kReformatOk; kReformatNoFileOrMemory when memory ran out;
// kReformatBadLine when a line could not be assembled; kReformatBinary when
// the input holds a NUL byte. On an error the lines still held are not
// written, and what was written must be discarded. Memory stays bounded by
// the longest line, not the file size; time is linear in the input.
int RunBeautifier(std::istream& in, std::ostream& out, const BeautifierOptions& options,
                  bool remove_comments, std::ostream& report, std::ostream& err,
                  SourceLanguage language = SourceLanguage::kCFamily);

}  // namespace folios

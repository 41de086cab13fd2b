// The indentation and brace engine: reads a source text line by line and
// writes it formatted, holding at most QUEUE_BUFFER formatted lines.
#pragma once

#include <istream>
#include <ostream>

#include "beautifier_options.h"

namespace folios {

// Formats `in` into `out`. `remove_comments` drops every comment (each
// leaves an empty line). When options.PROGRAM_OUTPUT is yes the progress
// text ("\nFeed Me, Feed Me Code ...\n", the line counter, the elapsed time)
// goes to `report`; error messages go to `err`.
//
// A carriage return before a line feed is dropped. Returns kReformatOk,
// kReformatNoFileOrMemory when memory ran out, or kReformatBadLine when a
// line could not be assembled; on an error the lines still held are not
// written. Memory stays bounded by the longest line, not the file size.
int RunBeautifier(std::istream& in, std::ostream& out, const BeautifierOptions& options,
                  bool remove_comments, std::ostream& report, std::ostream& err);

}  // namespace folios

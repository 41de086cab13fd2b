// The listing build's pre-format step for C, C++ and Java files.
#pragma once

#include <string>

namespace folios {

// Copies `input` to "<input>.orig" (the backup users of the listing build
// expect to find) and reformats `input` with the current beautifier settings
// into `output`. `input` itself is never written. True when `output` holds
// the complete formatted text; the engine's report text is discarded.
// Matches folios::PreformatFunction.
bool PreformatForListing(const std::string& input, const std::string& output);

}  // namespace folios

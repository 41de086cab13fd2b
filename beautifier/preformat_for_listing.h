// The listing build's pre-format step for C, C++ and Java files.
#pragma once

#include <string>

namespace folios {

// Reformats `input` with the current beautifier settings into `output`
// (written whole or not at all). `input` itself is never written. True when
// `output` holds the complete formatted text, whose tokens were checked
// against the source's; otherwise `why` says why the source should be listed
// as it is (empty for a binary file, which the listing reports itself). The
// engine's report text is discarded.
// Matches folios::PreformatFunction.
bool PreformatForListing(const std::string& input, const std::string& output, std::string* why);

}  // namespace folios

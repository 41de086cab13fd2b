// The listing build's pre-format step for C, C++ and Java files.
#pragma once

#include <string>

namespace folios {

// Reformats `input` with the current beautifier settings into `output`
// (written whole or not at all). `input` itself is never written; the
// listing build makes the ".orig" copy. True when `output` holds the
// complete formatted text; the engine's report text is discarded.
// Matches folios::PreformatFunction.
bool PreformatForListing(const std::string& input, const std::string& output);

}  // namespace folios

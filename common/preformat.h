// The optional step of a listing build that reformats a C, C++ or Java file
// before it is listed. Front ends that have the beautifier pass one in.
#pragma once

#include <functional>
#include <string>

namespace folios {

// Reformats the file at `input` into a new file at `output`; true when the
// output is complete. Must not touch `input`. When it returns false it may
// say why in `why` for the build to report (left empty: nothing to report,
// such as a binary file the listing reports itself).
using PreformatFunction =
    std::function<bool(const std::string& input, const std::string& output, std::string* why)>;

}  // namespace folios

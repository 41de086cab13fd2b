// The optional step of a listing build that reformats a C, C++ or Java file
// before it is listed. Front ends that have the beautifier pass one in.
#pragma once

#include <functional>
#include <string>

namespace folios {

// Reformats the file at `input` into a new file at `output`; true when the
// output is complete. Must not touch `input`.
using PreformatFunction = std::function<bool(const std::string& input, const std::string& output)>;

}  // namespace folios

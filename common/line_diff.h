// Differences between two texts line by line (the shortest edit script,
// found in linear space), and the unified form that patch tools read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace folios {

// The lines of `text`, each with its LF (a CR before it stays in the line,
// as patch tools see it); the last one may have none. An empty text has no
// lines.
std::vector<std::string_view> SplitLines(std::string_view text);

// Which lines of `a` are removed and which of `b` inserted by a shortest
// edit script turning `a` into `b`; every other line is kept, in order.
struct LineChanges {
  std::vector<bool> removed;   // one per line of a
  std::vector<bool> inserted;  // one per line of b
};
LineChanges DiffLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b);

// A unified diff from `a` to `b` with `context` lines around each change,
// under the headers "--- a_name" and "+++ b_name"; empty when the texts are
// the same. A last line without a line end is followed by
// "\ No newline at end of file".
std::string UnifiedDiff(std::string_view a, std::string_view b, const std::string& a_name,
                        const std::string& b_name, int context = 3);

}  // namespace folios

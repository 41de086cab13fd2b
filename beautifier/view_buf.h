// A read-only stream buffer over text in memory, so that an istream reads
// the text without a copy.
#pragma once

#include <streambuf>
#include <string_view>

namespace folios {

class ViewBuf : public std::streambuf {
 public:
  explicit ViewBuf(std::string_view text) {
    char* p = const_cast<char*>(text.data());  // only ever read
    setg(p, p, p + text.size());
  }
};

}  // namespace folios

#include "line_ends.h"

#include <cstring>
#include <fstream>

namespace folios {

void LineEndCounter::Add(std::string_view piece) {
  size_t i = 0;
  if (pending_cr_ && !piece.empty()) {
    pending_cr_ = false;
    if (piece[0] == '\n') {
      ++crlf_;
      i = 1;
    } else {
      ++cr_;
    }
  }
  for (; i < piece.size(); ++i) {
    char c = piece[i];
    if (c == '\n') {
      ++lf_;
    } else if (c == '\r') {
      if (i + 1 == piece.size()) {
        pending_cr_ = true;
      } else if (piece[i + 1] == '\n') {
        ++crlf_;
        ++i;
      } else {
        ++cr_;
      }
    }
  }
}

LineEnd LineEndCounter::Majority() const {
  size_t cr_count = cr();
  if (lf_ >= crlf_ && lf_ >= cr_count) return LineEnd::kLf;
  if (crlf_ >= cr_count) return LineEnd::kCrLf;
  return LineEnd::kCr;
}

LineEnd MajorityLineEnd(std::string_view text) {
  LineEndCounter counter;
  counter.Add(text);
  return counter.Majority();
}

LineEnd MajorityLineEndOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  LineEndCounter counter;
  std::vector<char> block(1 << 16);
  while (in) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    counter.Add(std::string_view(block.data(), static_cast<size_t>(in.gcount())));
  }
  return counter.Majority();
}

std::string_view LineEndText(LineEnd end) {
  switch (end) {
    case LineEnd::kCrLf: return "\r\n";
    case LineEnd::kCr: return "\r";
    case LineEnd::kLf: break;
  }
  return "\n";
}

std::string WithLineEnds(std::string_view text, LineEnd end) {
  if (end == LineEnd::kLf) return std::string(text);
  std::string_view ending = LineEndText(end);
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  size_t start = 0;
  for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', start)) {
    out.append(text.substr(start, lf - start));
    out.append(ending);
    start = lf + 1;
  }
  out.append(text.substr(start));
  return out;
}

LineEndWriter::LineEndWriter(std::streambuf* to, LineEnd end) : to_(to), end_(LineEndText(end)) {}

LineEndWriter::~LineEndWriter() = default;

bool LineEndWriter::Put(std::string_view text) {
  if (failed_) return false;
  auto n = static_cast<std::streamsize>(text.size());
  if (to_->sputn(text.data(), n) != n) failed_ = true;
  return !failed_;
}

LineEndWriter::int_type LineEndWriter::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize LineEndWriter::xsputn(const char* s, std::streamsize n) {
  std::string_view text(s, static_cast<size_t>(n));
  size_t start = 0;
  for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', start)) {
    if (!Put(text.substr(start, lf - start)) || !Put(end_)) return 0;
    start = lf + 1;
  }
  return Put(text.substr(start)) ? n : 0;
}

int LineEndWriter::sync() {
  if (failed_) return -1;
  return to_->pubsync();
}

}  // namespace folios

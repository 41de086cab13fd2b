// Line-end conventions: which one a text uses, and writing text in one.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace folios {

enum class LineEnd { kLf, kCrLf, kCr };

// Counts the line ends of a text handed over in pieces (a CR at the end of
// one piece and an LF at the start of the next are one CR LF).
class LineEndCounter {
 public:
  void Add(std::string_view piece);
  // The convention most line ends use; on a tie LF, then CR LF, then CR.
  // A text without line ends is LF.
  LineEnd Majority() const;

  size_t lf() const { return lf_; }
  size_t crlf() const { return crlf_; }
  size_t cr() const { return cr_ + (pending_cr_ ? 1 : 0); }

 private:
  size_t lf_ = 0;
  size_t crlf_ = 0;
  size_t cr_ = 0;
  bool pending_cr_ = false;
};

LineEnd MajorityLineEnd(std::string_view text);

// The majority convention of a file, read through once; LF when it cannot
// be read (the formatter meets that failure itself).
LineEnd MajorityLineEndOfFile(const std::string& path);

// "\n", "\r\n" or "\r".
std::string_view LineEndText(LineEnd end);

// `text`, whose lines end in LF, with every LF written as `end`.
std::string WithLineEnds(std::string_view text, LineEnd end);

// A stream buffer that passes what is written to `to`, every LF written as
// `end`. Flush it (pubsync) before `to` is used on its own.
class LineEndWriter : public std::streambuf {
 public:
  LineEndWriter(std::streambuf* to, LineEnd end);
  LineEndWriter(const LineEndWriter&) = delete;
  LineEndWriter& operator=(const LineEndWriter&) = delete;
  ~LineEndWriter() override;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool Put(std::string_view text);
  std::streambuf* to_;
  std::string_view end_;
  bool failed_ = false;
};

}  // namespace folios

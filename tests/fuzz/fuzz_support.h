// What every fuzz target shares: reading settings from the input's first
// bytes, a private environment (settings store, data and temporary
// directories), setting overrides, and the way an oracle reports a failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Every target defines this; libFuzzer calls it, and so does the replay
// driver in builds without libFuzzer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace folios::fuzz {

// An input split into a fixed-size header of setting bytes and a body.
// Missing header bytes read as 0, and 0 always selects the default, so a
// plain source file is a valid input (it only loses its first bytes to the
// header: seeds carry a header of their own, see gather_seeds.py).
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size, size_t header_size);
  // Header byte `index` (< header_size).
  uint8_t Byte(size_t index) const;
  bool Bit(size_t index, int bit) const { return (Byte(index) >> bit) & 1; }
  // One of `count` choices, chosen by header byte `index`.
  size_t Choice(size_t index, size_t count) const { return Byte(index) % count; }
  std::string_view body() const { return body_; }
  // Whether header byte `index` asks for the body to be repeated to a few
  // hundred KB, where cost that grows faster than the input shows as a
  // time-out: one value of six bits (0x21), so that a mutated byte asks
  // for it only now and then, each such run being slow.
  bool Amplified(size_t index) const { return (Byte(index) & 0x3F) == 0x21; }

 private:
  std::string_view header_;
  std::string_view body_;
};

// Creates (once per process) a private directory for the run and points the
// settings store, the user's data directory and the temporary directory
// (TMPDIR, TEMP) at it; the shipped data files are those of the build
// tree. Returns the directory.
const std::string& WorkDirectory();

// Sets a setting of the table for this process only (as `--set` does).
// Aborts on an unknown name: a target that names a setting the table lacks
// is itself wrong.
void SetSetting(const std::string& name, const std::string& value);

// Writes `content` to `path`, replacing it; aborts when it cannot.
void WriteFileOrDie(const std::string& path, std::string_view content);
// The whole file; aborts when it cannot be read.
std::string ReadFileOrDie(const std::string& path);
// The whole file, or `fallback` when it does not exist.
std::string ReadFileOr(const std::string& path, const std::string& fallback);

// Reports a broken oracle with what the target was checking and the text at
// fault (shortened), then aborts so that libFuzzer keeps the input.
[[noreturn]] void Fail(const std::string& what, std::string_view detail = {});

// Fails unless `condition` holds.
inline void Check(bool condition, const std::string& what, std::string_view detail = {}) {
  if (!condition) Fail(what, detail);
}

// Fails, naming `what` and showing the text around the fault, unless `rtf`
// is one well-formed RTF document (CheckRtfDocument).
void RequireRtf(std::string_view rtf, const std::string& what);

// An input of `body` repeated until it holds at least `size` bytes: cost
// that is not linear in the input shows on these as a time-out.
std::string Repeated(std::string_view body, size_t size);

}  // namespace folios::fuzz

#include "noise_chars.h"

#include <cstdio>

#include "atomic_file.h"
#include "data_files.h"

namespace folios {

std::string ReadNoiseCharsFile(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return std::string();
  char buffer[kNoiseCharsMaxBytes];
  size_t n = std::fread(buffer, 1, sizeof buffer, in);
  std::fclose(in);
  return std::string(buffer, n);
}

Status WriteNoiseCharsFile(const std::string& path, const std::string& chars) {
  return WriteFileAtomically(path, chars);
}

std::string LoadNoiseChars() { return ReadNoiseCharsFile(LocateDataFile(kNoiseCharsFileName)); }

Status SaveNoiseChars(const std::string& chars) {
  return WriteNoiseCharsFile(WritableDataFile(kNoiseCharsFileName), chars);
}

}  // namespace folios

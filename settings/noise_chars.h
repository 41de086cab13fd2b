// The noise-characters file: characters that listings leave out.
//
// The file holds the characters themselves, one byte each, with no header,
// separator or line end. Readers take at most its first 200 bytes; a missing
// file is an empty set.
#pragma once

#include <string>

#include "status.h"

namespace folios {

inline constexpr const char kNoiseCharsFileName[] = "noise-chars.lfx";
inline constexpr size_t kNoiseCharsMaxBytes = 200;

// The bytes of the file at `path`, at most 200; empty when it cannot be read.
std::string ReadNoiseCharsFile(const std::string& path);

// Writes the bytes in the given order, replacing the file atomically.
Status WriteNoiseCharsFile(const std::string& path, const std::string& chars);

// The set the listing uses: the user's file when there is one, else the shipped one.
std::string LoadNoiseChars();
// Writes the user's file.
Status SaveNoiseChars(const std::string& chars);

}  // namespace folios

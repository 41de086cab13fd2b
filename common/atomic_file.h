// A file that replaces its target only when it is complete.
//
// The text goes to a temporary file beside the target; Commit renames it over
// the target. Until then the target keeps its old content, and a write that
// fails (a full disk, a crash) never leaves it truncated.
#pragma once

#include <cstdio>
#include <string>

#include "status.h"

namespace folios {

class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~AtomicFile();

  // Creates the temporary file in the target's directory. An existing target
  // lends its permission bits to the new file.
  Status Open(const std::string& target);

  // The stream to write to; null before Open and after Commit or Discard.
  std::FILE* file() const { return file_; }
  const std::string& target() const { return target_; }
  const std::string& temporary_path() const { return temp_path_; }

  // Flushes, checks that every write succeeded, and renames the temporary
  // file over the target. On failure the target is untouched and the
  // temporary file is removed.
  Status Commit();

  // Drops the temporary file; the target is untouched.
  void Discard();

 private:
  std::string target_;
  std::string temp_path_;
  std::FILE* file_ = nullptr;
};

// Writes `content` to `path` through an AtomicFile.
Status WriteFileAtomically(const std::string& path, const std::string& content);

// Reads the whole file; false with a reason when it cannot be read.
Status ReadWholeFile(const std::string& path, std::string* content);

// Copies `from` to `to` (replacing `to` atomically).
Status CopyFileAtomically(const std::string& from, const std::string& to);

}  // namespace folios

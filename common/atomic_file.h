// Writing a file the user named, without ever clobbering what they did not.
//
// The text goes to a temporary file beside the target; Commit renames it over
// the target. Until then the target keeps its old content, and a write that
// fails (a full disk, a crash, a signal) never leaves it truncated.
//
// The policy every build shares:
// - a symbolic link is followed: the file it leads to is replaced and the
//   link stays a link;
// - a target that exists but is not a regular file (a pipe, a terminal, a
//   device) is written straight into, never replaced; so is one of the
//   process's own descriptors named as /dev/stdout, /dev/fd/N or
//   /proc/self/fd/N (a shell's redirection or process substitution),
//   through that descriptor, whatever it leads to;
// - a target the user may not write (no permission, or a file without any
//   write bit even for root) is refused, and so is a target that is one of
//   the build's inputs (same device and inode, also through links);
// - a replaced file keeps its permission bits, and its owner and group where
//   the process may set them.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

#include "status.h"

namespace folios {

struct OutputOptions {
  // Files the build reads: an output that is one of them is refused before
  // anything is written.
  std::vector<std::string> inputs;
  // The new file starts with the old target's content (append mode). A
  // target that is written straight into is opened for appending instead.
  bool keep_existing_content = false;
};

class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~AtomicFile();

  // Checks the target by the policy above and creates the temporary file in
  // the directory of the file the target leads to. On failure nothing was
  // created and the message says why ("Permission denied", "it is also one
  // of the input files", ...).
  Status Open(const std::string& target);
  Status Open(const std::string& target, const OutputOptions& options);

  // The stream to write to; null before Open and after Commit or Discard.
  std::FILE* file() const { return file_; }
  // The path as given to Open.
  const std::string& target() const { return target_; }
  // The file that Commit replaces: the target with symbolic links followed.
  const std::string& resolved_target() const { return resolved_; }
  // Empty when writing straight into a pipe or device.
  const std::string& temporary_path() const { return temp_path_; }
  // True when the target is not a regular file and is written into directly.
  bool writes_in_place() const { return in_place_; }

  // Flushes, checks that every write succeeded, and renames the temporary
  // file over the target. On failure the target is untouched and the
  // temporary file is removed.
  Status Commit();

  // Drops the temporary file; the target is untouched.
  void Discard();

 private:
  // Takes `fd` as the stream written straight into.
  Status OpenInPlace(int fd, bool append);

  std::string target_;
  std::string resolved_;
  std::string temp_path_;
  std::FILE* file_ = nullptr;
  bool in_place_ = false;
};

// The path a symbolic link chain ends at (the path itself when it is no
// link); the final file need not exist. False when the chain loops or is
// too long.
bool FollowLinks(const std::string& path, std::string* resolved);

// True when `a` and `b` name the same existing file (device and inode, links
// followed).
bool SameFile(const std::string& a, const std::string& b);

// A file identity for spotting one file named twice.
struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator<(const FileId& other) const {
    return device != other.device ? device < other.device : inode < other.inode;
  }
  bool operator==(const FileId& other) const = default;
};
// The identity of the file `path` leads to; false when it does not exist.
bool GetFileId(const std::string& path, FileId* id);

// Writes `content` to `path` through an AtomicFile.
Status WriteFileAtomically(const std::string& path, const std::string& content);

// Reads the whole file; false with a reason when it cannot be read.
Status ReadWholeFile(const std::string& path, std::string* content);

// Opens `path` for reading when it is a regular file (links followed) and
// gives its descriptor in `fd`. A pipe, socket or device is refused before
// anything opens it, since opening or reading one may wait for ever; the
// message then names what it is ("a named pipe, not a regular file").
Status OpenRegularFile(const std::string& path, int* fd);

// Reads the whole of `path` when it is a regular file, opened as
// OpenRegularFile does. On failure errno still holds the cause, for callers
// that report it in codes of their own.
Status ReadRegularFile(const std::string& path, std::string* content);

// Says for people what a file of mode `mode` is, when it is not a regular
// file: "a named pipe, not a regular file", "a socket, ...", "a device, ...".
std::string NotRegularReason(mode_t mode);

// Copies `from` to `to` (replacing `to` atomically).
Status CopyFileAtomically(const std::string& from, const std::string& to);

// True when both files can be read and hold the same bytes.
bool SameContent(const std::string& a, const std::string& b);

}  // namespace folios

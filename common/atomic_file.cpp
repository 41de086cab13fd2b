#include "atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "temp_files.h"

namespace folios {

namespace {

// A link target is relative to the directory holding the link.
std::string ResolveAgainst(const std::string& link, const std::string& target) {
  if (!target.empty() && target[0] == '/') return target;
  size_t slash = link.rfind('/');
  return slash == std::string::npos ? target : link.substr(0, slash + 1) + target;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The descriptor a path names when it is one of the process's own:
// /dev/stdout, /dev/fd/N, /proc/self/fd/N (also at the end of a chain of
// links); -1 for any other path.
int DescriptorNamed(const std::string& path) {
  const std::string numbered[] = {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/",
                                  "/proc/" + std::to_string(::getpid()) + "/fd/"};
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    if (current == "/dev/stdin") return 0;
    if (current == "/dev/stdout") return 1;
    if (current == "/dev/stderr") return 2;
    for (const std::string& prefix : numbered) {
      if (current.compare(0, prefix.size(), prefix) != 0) continue;
      std::string digits = current.substr(prefix.size());
      if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) break;
      return std::stoi(digits);
    }
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return -1;
    std::vector<char> target(PATH_MAX + 1);
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return -1;
    current = ResolveAgainst(current, std::string(target.data(), static_cast<size_t>(n)));
  }
  return -1;
}

Status CopyInto(const std::string& from, std::FILE* to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return Status::Error(ErrnoMessage(errno));
  char buffer[65536];
  size_t n;
  bool write_failed = false;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
    if (std::fwrite(buffer, 1, n, to) != n) {
      write_failed = true;
      break;
    }
  }
  bool read_failed = std::ferror(in) != 0;
  std::fclose(in);
  if (read_failed || write_failed) return Status::Error(ErrnoMessage(EIO));
  return Status::OK();
}

}  // namespace

bool FollowLinks(const std::string& path, std::string* resolved) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *resolved = current;
      return true;
    }
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) {
      *resolved = current;
      return true;
    }
    current = ResolveAgainst(current, std::string(target.data(), static_cast<size_t>(n)));
  }
  errno = ELOOP;
  return false;
}

bool GetFileId(const std::string& path, FileId* id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  id->device = st.st_dev;
  id->inode = st.st_ino;
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  FileId first, second;
  return GetFileId(a, &first) && GetFileId(b, &second) && first == second;
}

AtomicFile::~AtomicFile() { Discard(); }

Status AtomicFile::Open(const std::string& target) { return Open(target, OutputOptions()); }

Status AtomicFile::Open(const std::string& target, const OutputOptions& options) {
  Discard();
  target_ = target;
  in_place_ = false;
  auto is_input = [&](const struct stat& st) {
    for (const std::string& input : options.inputs) {
      FileId id;
      if (GetFileId(input, &id) && id.device == st.st_dev && id.inode == st.st_ino) return true;
    }
    return false;
  };

  // One of the process's own descriptors (/dev/stdout, /dev/fd/N, a
  // process substitution) is written through that descriptor, where the
  // shell's redirection points; its links lead to no file that could be
  // replaced ("pipe:[1234]").
  const int descriptor = DescriptorNamed(target);
  if (descriptor >= 0) {
    resolved_ = target;
    struct stat st {};
    if (::fstat(descriptor, &st) != 0) return Status::Error(ErrnoMessage(errno));
    if (S_ISDIR(st.st_mode)) return Status::Error(ErrnoMessage(EISDIR));
    if (is_input(st)) return Status::Error("it is also one of the input files");
    int fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) return Status::Error(ErrnoMessage(errno));
    return OpenInPlace(fd, options.keep_existing_content);
  }

  if (!FollowLinks(target, &resolved_)) return Status::Error(ErrnoMessage(ELOOP));

  struct stat st {};
  bool exists = ::stat(resolved_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return Status::Error(ErrnoMessage(errno));
  if (exists && S_ISDIR(st.st_mode)) return Status::Error(ErrnoMessage(EISDIR));
  if (exists && is_input(st)) return Status::Error("it is also one of the input files");

  if (exists && !S_ISREG(st.st_mode)) {
    // A pipe or a device is the destination itself: replacing it would
    // leave its reader with nothing.
    int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | (options.keep_existing_content ? O_APPEND : 0);
    int fd = ::open(resolved_.c_str(), flags);
    if (fd < 0) return Status::Error(ErrnoMessage(errno));
    return OpenInPlace(fd, options.keep_existing_content);
  }
  if (exists) {
    if (::faccessat(AT_FDCWD, resolved_.c_str(), W_OK, AT_EACCESS) != 0) return Status::Error(ErrnoMessage(errno));
    // Root may write anything; a file without any write bit is still meant
    // to stay as it is.
    if ((st.st_mode & 0222) == 0) return Status::Error(ErrnoMessage(EACCES));
  }

  // The name stays within the file system's limit however long the target's is.
  std::string base = BaseNameOf(resolved_).substr(0, 200);
  std::string pattern = DirectoryOf(resolved_) + "/." + base + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd;
  {
    TemporaryFileSignalsHeld held;
    fd = mkstemp(name.data());
    if (fd < 0) return Status::Error(ErrnoMessage(errno));
    temp_path_ = name.data();
    RegisterTemporaryFile(temp_path_);
  }

  mode_t mode = 0666;
  if (exists) {
    mode = st.st_mode & 07777;
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
      // Set-id bits must not pass to a file of another owner.
      mode &= ~static_cast<mode_t>(06000);
    }
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  ::fchmod(fd, mode);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    int error = errno;
    ::close(fd);
    Discard();
    return Status::Error(ErrnoMessage(error));
  }
  if (exists && options.keep_existing_content) {
    Status copied = CopyInto(resolved_, file_);
    if (!copied.ok()) {
      Discard();
      return copied;
    }
  }
  return Status::OK();
}

Status AtomicFile::OpenInPlace(int fd, bool append) {
  file_ = fdopen(fd, append ? "ab" : "wb");
  if (!file_) {
    int error = errno;
    ::close(fd);
    return Status::Error(ErrnoMessage(error));
  }
  in_place_ = true;
  return Status::OK();
}

Status AtomicFile::Commit() {
  if (!file_) return Status::Error("file is not open");
  bool failed = std::ferror(file_) != 0;
  int error = failed ? EIO : 0;
  if (failed) {
    // Flushing again what is still buffered gives the reason a write failed.
    std::clearerr(file_);
    if (std::fflush(file_) != 0) error = errno;
  } else if (std::fflush(file_) != 0) {
    failed = true;
    error = errno;
  }
  if (std::fclose(file_) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  file_ = nullptr;
  if (in_place_) {
    in_place_ = false;
    return failed ? Status::Error(ErrnoMessage(error)) : Status::OK();
  }
  if (!failed) {
    // The target may itself be a registered temporary file (a pre-format
    // copy): a signal's sweep on another thread must not run between.
    TemporaryFileSignalsHeld held;
    if (std::rename(temp_path_.c_str(), resolved_.c_str()) != 0) {
      failed = true;
      error = errno;
    }
  }
  if (failed) {
    Discard();
    return Status::Error(ErrnoMessage(error));
  }
  ForgetTemporaryFile(temp_path_);
  temp_path_.clear();
  return Status::OK();
}

void AtomicFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  in_place_ = false;
  if (!temp_path_.empty()) {
    ::unlink(temp_path_.c_str());
    ForgetTemporaryFile(temp_path_);
    temp_path_.clear();
  }
}

Status WriteFileAtomically(const std::string& path, const std::string& content) {
  AtomicFile out;
  Status status = out.Open(path);
  if (!status.ok()) return status;
  std::fwrite(content.data(), 1, content.size(), out.file());
  return out.Commit();
}

Status ReadWholeFile(const std::string& path, std::string* content) {
  content->clear();
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return Status::Error(ErrnoMessage(errno));
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) content->append(buffer, n);
  bool failed = std::ferror(in) != 0;
  int error = errno;
  std::fclose(in);
  if (failed) return Status::Error(ErrnoMessage(error == 0 ? EIO : error));
  return Status::OK();
}

std::string NotRegularReason(mode_t mode) {
  const char* what = S_ISFIFO(mode)                   ? "a named pipe"
                     : S_ISSOCK(mode)                 ? "a socket"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                     : S_ISDIR(mode)                  ? "a directory"
                                                      : "something else";
  return std::string(what) + ", not a regular file";
}

Status OpenRegularFile(const std::string& path, int* fd) {
  *fd = -1;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Status::Error(ErrnoMessage(errno));
  if (!S_ISREG(st.st_mode)) return Status::Error(NotRegularReason(st.st_mode));
  // Without waiting: the name may have been given to a pipe since.
  int opened = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (opened < 0) return Status::Error(ErrnoMessage(errno));
  if (::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode)) {
    int error = errno;
    ::close(opened);
    return Status::Error(S_ISREG(st.st_mode) ? ErrnoMessage(error) : NotRegularReason(st.st_mode));
  }
  int flags = ::fcntl(opened, F_GETFL);
  if (flags >= 0) ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK);
  *fd = opened;
  return Status::OK();
}

Status ReadRegularFile(const std::string& path, std::string* content) {
  content->clear();
  int fd = -1;
  Status status = OpenRegularFile(path, &fd);
  if (!status.ok()) return status;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) content->reserve(static_cast<size_t>(st.st_size));
  char block[1 << 16];
  ssize_t got;
  while ((got = ::read(fd, block, sizeof block)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      errno = error;
      return Status::Error(ErrnoMessage(error));
    }
    content->append(block, static_cast<size_t>(got));
  }
  ::close(fd);
  return Status::OK();
}

Status CopyFileAtomically(const std::string& from, const std::string& to) {
  AtomicFile out;
  Status status = out.Open(to);
  if (!status.ok()) return status;
  status = CopyInto(from, out.file());
  if (!status.ok()) return status;
  return out.Commit();
}

bool SameContent(const std::string& a, const std::string& b) {
  std::FILE* first = std::fopen(a.c_str(), "rb");
  if (!first) return false;
  std::FILE* second = std::fopen(b.c_str(), "rb");
  if (!second) {
    std::fclose(first);
    return false;
  }
  struct stat sa {}, sb {};
  bool same = ::fstat(fileno(first), &sa) == 0 && ::fstat(fileno(second), &sb) == 0 && sa.st_size == sb.st_size;
  std::vector<char> buffer_a(1 << 16), buffer_b(1 << 16);
  while (same) {
    size_t na = std::fread(buffer_a.data(), 1, buffer_a.size(), first);
    size_t nb = std::fread(buffer_b.data(), 1, buffer_b.size(), second);
    if (na != nb || std::memcmp(buffer_a.data(), buffer_b.data(), na) != 0) same = false;
    if (na == 0) break;
  }
  if (std::ferror(first) || std::ferror(second)) same = false;
  std::fclose(first);
  std::fclose(second);
  return same;
}

}  // namespace folios

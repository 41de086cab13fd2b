#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "paths.h"

namespace folios {

AtomicFile::~AtomicFile() { Discard(); }

Status AtomicFile::Open(const std::string& target) {
  Discard();
  target_ = target;
  std::string dir = Directory(target);
  if (target.find('/') == std::string::npos) dir = ".";
  if (dir.empty()) dir = "/";
  std::string base = target.find('/') == std::string::npos ? target : FileName(target);
  std::string pattern = dir + "/." + base + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return Status::Error(ErrnoMessage(errno));
  temp_path_ = name.data();
  struct stat st;
  mode_t mode = 0666;
  if (stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  fchmod(fd, mode);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    int error = errno;
    close(fd);
    unlink(temp_path_.c_str());
    temp_path_.clear();
    return Status::Error(ErrnoMessage(error));
  }
  return Status::OK();
}

Status AtomicFile::Commit() {
  if (!file_) return Status::Error("file is not open");
  bool failed = std::ferror(file_) != 0;
  int error = failed ? EIO : 0;
  if (std::fflush(file_) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  if (std::fclose(file_) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  file_ = nullptr;
  if (!failed && std::rename(temp_path_.c_str(), target_.c_str()) != 0) {
    failed = true;
    error = errno;
  }
  if (failed) {
    unlink(temp_path_.c_str());
    temp_path_.clear();
    return Status::Error(ErrnoMessage(error));
  }
  temp_path_.clear();
  return Status::OK();
}

void AtomicFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_path_.empty()) {
    unlink(temp_path_.c_str());
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

Status CopyFileAtomically(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return Status::Error(ErrnoMessage(errno));
  AtomicFile out;
  Status status = out.Open(to);
  if (!status.ok()) {
    std::fclose(in);
    return status;
  }
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
    if (std::fwrite(buffer, 1, n, out.file()) != n) break;
  }
  bool read_failed = std::ferror(in) != 0;
  std::fclose(in);
  if (read_failed) return Status::Error(ErrnoMessage(EIO));
  return out.Commit();
}

}  // namespace folios

// ReformatFile: options from the settings, the two files, the report, the
// engine, and the output replaced only when the engine succeeded.
#include "reformat_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <istream>
#include <ostream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string_view>
#include <vector>

#include "atomic_file.h"
#include "beautifier_options.h"
#include "engine.h"
#include "line_ends.h"
#include "setting_names.h"
#include "settings_table.h"
#include "status.h"
#include "temp_files.h"
#include "token_check.h"
#include "view_buf.h"

namespace folios {

namespace {

// Sources up to this size are held in memory while they are formatted, so
// that the token check and the unchanged comparison read them there instead
// of reading both files again; larger ones are streamed (memory stays flat).
constexpr size_t kInMemoryLimit = size_t{4} << 20;

// What a run that finds its file changed under it says.
constexpr char kChangedWhileFormatting[] = "changed while formatting; left as it was";

constexpr uint64_t kHashBasis = 14695981039346656037ull;
uint64_t HashBytes(uint64_t h, const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(p[i])) * 1099511628211ull;
  return h;
}

// With `ctime`, the change time too (which no one can set back, but which a
// new or removed name of the file also moves).
bool SameStamp(const struct stat& a, const struct stat& b, bool ctime) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         (!ctime || (a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec));
}

// Reads up to n bytes at `offset`, retrying short reads; the count read.
ssize_t ReadAt(int fd, char* p, size_t n, off_t offset) {
  size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fd, p + got, n - got, offset + static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<ssize_t>(got);
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// The source text: read whole when it is no larger than kInMemoryLimit,
// else read from its file a block at a time. Only a regular file is opened.
// A file that is to be rewritten is locked for as long as this object
// lives, so that a second run waits for the first and reads its result, and
// what was read is remembered (time stamps, size, a hash of the bytes), so
// that a file changed meanwhile by anyone else is never replaced nor backed
// up as if it were the text read.
class SourceText : public std::streambuf {
 public:
  SourceText() = default;
  SourceText(const SourceText&) = delete;
  SourceText& operator=(const SourceText&) = delete;
  ~SourceText() override {
    if (fd_ >= 0) ::close(fd_);  // releases the lock
  }

  // Opens `path` (with `lock`, locked, and still the file the path names)
  // and, when it is small enough, reads it.
  Status Open(const std::string& path, bool lock) {
    for (int attempt = 0;; ++attempt) {
      Status status = OpenRegularFile(path, &fd_);
      if (!status.ok()) return status;
      if (!lock) break;
      // A file system without locks still gets the checks before writing.
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
      locked_ = true;
      // Another run may have replaced the file while this one waited: the
      // lock must be on the file the path names now.
      struct stat named {}, held {};
      if (::stat(path.c_str(), &named) == 0 && ::fstat(fd_, &held) == 0 && named.st_dev == held.st_dev &&
          named.st_ino == held.st_ino) {
        break;
      }
      ::close(fd_);
      fd_ = -1;
      if (attempt == 100) return Status::Error(kChangedWhileFormatting);
    }
    if (::fstat(fd_, &read_) != 0) return Status::Error(ErrnoMessage(errno));
    started_ = std::time(nullptr);
    const struct stat& st = read_;
    if (static_cast<size_t>(st.st_size) <= kInMemoryLimit) {
      whole_.resize(static_cast<size_t>(st.st_size) + 1);
      size_t got = 0;
      for (;;) {
        if (got == whole_.size()) {
          // It grew since: stream it after all, from its start.
          if (whole_.size() > kInMemoryLimit) break;
          whole_.resize(std::min(whole_.size() * 2, kInMemoryLimit + 1));
        }
        ssize_t n = ::read(fd_, whole_.data() + got, whole_.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
          failed_ = true;
          break;
        }
        if (n == 0) {
          whole_.resize(got);
          in_memory_ = true;
          size_ = got;
          setg(whole_.data(), whole_.data(), whole_.data() + got);
          return Status::OK();
        }
        got += static_cast<size_t>(n);
      }
      if (!failed_ && ::lseek(fd_, 0, SEEK_SET) != 0) failed_ = true;
      std::string().swap(whole_);
    }
    block_.resize(1 << 16);
    return Status::OK();
  }

  bool in_memory() const { return in_memory_; }
  // REQUIRES: in_memory().
  std::string_view text() const { return whole_; }
  // A read failed: what was formatted is not the whole file.
  bool failed() const { return failed_; }
  // The file is locked: it is the output too.
  bool locked() const { return locked_; }
  // It has more than one name.
  bool linked() const { return read_.st_nlink > 1; }
  mode_t mode() const { return read_.st_mode; }
  const struct stat& as_read() const { return read_; }

  // OK when `path` still names the file read and that file still holds what
  // was read: same size and time stamps, and, with `deep` when the stamps
  // are too recent to be trusted (or always when the text is in memory, or
  // `names_changed`: this run removed a name of the file, which moves its
  // change time), the same bytes. Else an error saying it changed.
  Status StillAsRead(const std::string& path, bool deep, bool names_changed = false) {
    struct stat named {}, now {};
    if (::stat(path.c_str(), &named) != 0 || ::fstat(fd_, &now) != 0 ||
        !SameStamp(named, read_, !names_changed) || !SameStamp(now, read_, !names_changed)) {
      return Status::Error(kChangedWhileFormatting);
    }
    // A write within the file system's clock step leaves the stamps alone.
    const bool doubt = in_memory_ || names_changed || now.st_ctim.tv_sec + 2 >= started_;
    if (!deep || !doubt) return Status::OK();
    return CopyReadText(-1);
  }

  // Writes the text that was read to `out` (-1: only compares it). A file
  // streamed is read again and must give the same bytes.
  Status CopyReadText(int out) {
    if (in_memory_) {
      if (out >= 0) return WriteAll(out, whole_.data(), whole_.size()) ? Status::OK() : Status::Error(ErrnoMessage(errno ? errno : EIO));
      std::string again(whole_.size() + 1, '\0');
      ssize_t n = ReadAt(fd_, again.data(), again.size(), 0);
      if (n < 0) return Status::Error(ErrnoMessage(errno));
      again.resize(static_cast<size_t>(n));
      return again == whole_ ? Status::OK() : Status::Error(kChangedWhileFormatting);
    }
    std::vector<char> block(1 << 16);
    uint64_t h = kHashBasis;
    off_t offset = 0;
    for (;;) {
      ssize_t n = ReadAt(fd_, block.data(), block.size(), offset);
      if (n < 0) return Status::Error(ErrnoMessage(errno));
      if (n == 0) break;
      h = HashBytes(h, block.data(), static_cast<size_t>(n));
      if (out >= 0 && !WriteAll(out, block.data(), static_cast<size_t>(n))) {
        return Status::Error(ErrnoMessage(errno ? errno : EIO));
      }
      offset += n;
    }
    if (static_cast<size_t>(offset) != size_ || h != hash_) return Status::Error(kChangedWhileFormatting);
    return Status::OK();
  }

 protected:
  int_type underflow() override {
    if (in_memory_ || failed_) return traits_type::eof();
    for (;;) {
      ssize_t n = ::read(fd_, block_.data(), block_.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed_ = n < 0;
        return traits_type::eof();
      }
      hash_ = HashBytes(hash_, block_.data(), static_cast<size_t>(n));
      size_ += static_cast<size_t>(n);
      setg(block_.data(), block_.data(), block_.data() + n);
      return traits_type::to_int_type(block_[0]);
    }
  }

 private:
  int fd_ = -1;
  bool in_memory_ = false;
  bool failed_ = false;
  bool locked_ = false;
  struct stat read_ {};     // the file as it was opened
  std::time_t started_ = 0;
  size_t size_ = 0;         // bytes read
  uint64_t hash_ = kHashBasis;  // of the bytes streamed
  std::string whole_;
  std::vector<char> block_;
};

// The formatted text on its way to the temporary file of an AtomicFile,
// gathered in a block and written a block at a time straight to the file's
// descriptor (the C stream's own buffer stays empty). While it stays within
// the room reserved for it it is also kept, for the checks after formatting. What is
// not flushed when the buffer goes is dropped (the file is discarded then).
class FormattedText : public std::streambuf {
 public:
  // `expected`: about how long the text will be, when it is kept.
  FormattedText(std::FILE* file, bool keep, size_t expected) : fd_(fileno(file)), keep_(keep), block_(1 << 16) {
    // Room for a text somewhat longer than the source; a text that outgrows
    // it is checked on the files instead, so what is kept never grows.
    if (keep_) kept_.reserve(expected + expected / 4 + (1 << 16));
    std::fflush(file);
    setp(block_.data(), block_.data() + block_.size());
  }

  // True when text() holds everything written.
  bool kept() const { return keep_; }
  std::string_view text() const { return kept_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const char* p = pbase();
    size_t n = static_cast<size_t>(pptr() - pbase());
    setp(block_.data(), block_.data() + block_.size());
    if (keep_) {
      if (kept_.size() + n <= kept_.capacity()) {
        kept_.append(p, n);
      } else {
        keep_ = false;
        std::string().swap(kept_);
      }
    }
    while (n > 0) {
      ssize_t w = ::write(fd_, p, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      p += w;
      n -= static_cast<size_t>(w);
    }
    return true;
  }

  int fd_;
  bool keep_;
  std::vector<char> block_;
  std::string kept_;
};

// A fresh name beside `backup` for its temporary link or copy:
// ".<name>.tmp-" and six random letters.
std::string TemporaryNameFor(const std::string& backup) {
  thread_local std::mt19937_64 random(std::random_device{}());
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  size_t slash = backup.rfind('/');
  std::string name = slash == std::string::npos ? "." + backup
                                                : backup.substr(0, slash + 1) + "." + backup.substr(slash + 1);
  name += ".tmp-";
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

// Makes a file under a fresh temporary name beside `backup` with `make`,
// which returns 0 or an errno value (EEXIST: the name is taken, another is
// tried), and registers it for removal on signals. Returns make's last result.
template <typename Make>
int MakeUnderFreshName(const std::string& backup, std::string* temporary, Make make) {
  TemporaryFileSignalsHeld held;  // until the new name is registered
  int error = EEXIST;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    *temporary = TemporaryNameFor(backup);
    error = make(*temporary);
  }
  if (error == 0) RegisterTemporaryFile(*temporary);
  return error;
}

// Puts the text that was read under `backup`: a new file under a fresh
// temporary name, renamed over `backup`, so an old backup (even one that is
// another name of the source), or a link of that name, is replaced and never
// written through. A name that exists is never used: O_EXCL refuses it, and
// another is tried.
Status KeepBackup(SourceText* source, const std::string& backup) {
  std::string temporary;
  int out_fd = -1;
  int error = MakeUnderFreshName(backup, &temporary, [&](const std::string& name) {
    out_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    return out_fd >= 0 ? 0 : errno;
  });
  struct Forget {
    const std::string& path;
    ~Forget() { ForgetTemporaryFile(path); }
  } forget{temporary};
  if (error != 0) return Status::Error(ErrnoMessage(error));
  Status status = source->CopyReadText(out_fd);
  ::fchmod(out_fd, source->mode() & 0777);
  if (::close(out_fd) != 0 && status.ok()) status = Status::Error(ErrnoMessage(errno));
  if (status.ok() && std::rename(temporary.c_str(), backup.c_str()) != 0) status = Status::Error(ErrnoMessage(errno));
  if (!status.ok()) ::unlink(temporary.c_str());
  return status;
}

// Writes the formatted text over the content of `path`, which must still be
// the file `source` read: every name of a file with several names sees it.
// The text is `text`, or the content of the file `from` when `text` is null.
Status WriteInPlace(const std::string& path, const SourceText& source, const std::string_view* text,
                    const std::string& from) {
  int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Status::Error(ErrnoMessage(errno));
  struct Close {
    int fd;
    ~Close() {
      if (fd >= 0) ::close(fd);
    }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_dev != source.as_read().st_dev || st.st_ino != source.as_read().st_ino) {
    return Status::Error(kChangedWhileFormatting);
  }
  off_t length = 0;
  if (text) {
    if (!WriteAll(fd, text->data(), text->size())) return Status::Error(ErrnoMessage(errno ? errno : EIO));
    length = static_cast<off_t>(text->size());
  } else {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Status::Error(ErrnoMessage(errno));
    std::vector<char> block(1 << 16);
    bool ok = true;
    for (;;) {
      ssize_t n = ReadAt(in, block.data(), block.size(), length);
      if (n < 0) ok = false;
      if (n <= 0) break;
      if (!WriteAll(fd, block.data(), static_cast<size_t>(n))) {
        ok = false;
        break;
      }
      length += n;
    }
    int error = errno;
    ::close(in);
    if (!ok) return Status::Error(ErrnoMessage(error ? error : EIO));
  }
  if (::ftruncate(fd, length) != 0) return Status::Error(ErrnoMessage(errno));
  closer.fd = -1;
  if (::close(fd) != 0) return Status::Error(ErrnoMessage(errno));
  return Status::OK();
}

// Says for people why the check refused the formatted text, or why it
// could not be made.
std::string RefusedBecause(const TokenCheckResult& result) {
  return "formatting would change the program at line " + std::to_string(result.line) +
         "; file left as it was";
}

}  // namespace

int ReformatFile(const std::string& input, const std::string& output, std::ostream& out,
                 std::ostream& err) {
  return ReformatFile(input, output, out, err, nullptr);
}

int ReformatFile(const std::string& input, const std::string& output, std::ostream& out,
                 std::ostream& err, std::string* reason) {
  ReformatFileResult result = ReformatFileWith(input, output, ReformatFileOptions(), out, err);
  if (reason) *reason = result.reason;
  return result.code;
}

FormatSettings LoadFormatSettings(std::vector<std::string>* warnings) {
  FormatSettings settings;
  settings.options = LoadBeautifierOptions(warnings);
  settings.remove_comments = Settings(SettingKey::kMain).Int(setting_name::kRemoveComments) != 0;
  return settings;
}

ReformatFileResult ReformatFileWith(const std::string& input, const std::string& output,
                                    const ReformatFileOptions& options, std::ostream& out,
                                    std::ostream& err) {
  const FormatSettings settings = options.settings ? *options.settings : LoadFormatSettings();
  const BeautifierOptions& beautifier = settings.options;
  const bool remove_comments = settings.remove_comments;
  ReformatFileResult result;
  result.code = kReformatNoFileOrMemory;
  std::string& why = result.reason;

  // The input is opened first; the output is never touched unless the input
  // could be opened, and it is only replaced by a complete result.
  // A file rewritten in place is locked while it is read, formatted and
  // replaced, so two runs on one file take turns.
  const bool rewrite = input == output || SameFile(input, output);
  SourceText source;
  AtomicFile file;
  bool opened = false;
  if (Status opening = source.Open(input, rewrite); !opening.ok()) {
    why = "cannot open '" + input + "': " + opening.message();
  } else {
    Status status = file.Open(output);
    if (!status.ok()) {
      why = "cannot write '" + output + "': " + status.message() + "; the file was left as it was";
    } else if (file.writes_in_place() && SameFile(input, output)) {
      // A pipe or device read and written at once would lose its content.
      why = "'" + output + "' is not a regular file; it was left as it was";
      file.Discard();
    } else {
      opened = true;
    }
  }

  int& rc = result.code;
  if (opened) {
    PrintSettingsReport(beautifier, out);
    FormattedText buffer(file.file(), source.in_memory() && !file.writes_in_place(),
                         source.in_memory() ? source.text().size() : 0);
    std::ostream formatted(&buffer);
    // The engine ends lines with LF; a file that had other ends gets them back.
    const LineEnd line_end = !options.keep_line_ends ? LineEnd::kLf
                             : source.in_memory()    ? MajorityLineEnd(source.text())
                                                     : MajorityLineEndOfFile(input);
    LineEndWriter line_ends(&buffer, line_end);
    if (line_end != LineEnd::kLf) formatted.rdbuf(&line_ends);
    std::istream in(&source);
    SourceLanguage language = LanguageForPath(input);
    rc = RunBeautifier(in, formatted, beautifier, remove_comments, out, err, language);
    out << "\nCleaning Up Dinner ... ";
    if (rc == kReformatOk && source.failed()) {
      rc = kReformatNoFileOrMemory;
      why = "cannot read '" + input + "'";
    }
    if (rc == kReformatOk && !formatted.flush()) {
      rc = kReformatNoFileOrMemory;
      why = "cannot write '" + output + "'";
    }
    // Both texts in memory: the checks read them there. The file written is
    // the one read when the paths are the same (links lead both the same way).
    const bool in_memory = source.in_memory() && buffer.kept();
    const bool same_file = in_memory && (input == output || SameFile(input, file.resolved_target()));
    bool unchanged = false;
    if (rc == kReformatOk && options.skip_unchanged && !file.writes_in_place()) {
      unchanged = same_file ? buffer.text() == source.text()
                            : SameContent(file.temporary_path(), file.resolved_target());
    }
    TokenCheckResult check;
    if (rc == kReformatOk && !unchanged && !file.writes_in_place()) {
      TokenCheckOptions check_options;
      check_options.language = language;
      check_options.comments_removed = remove_comments;
      if (in_memory) {
        check = CheckTokenTexts(source.text(), buffer.text(), check_options);
      } else {
        Status status = CheckTokenFiles(input, file.temporary_path(), check_options, &check);
        if (!status.ok()) {
          check.same = false;
          why = "cannot check the formatted text: " + status.message() + "; file left as it was";
        }
      }
    }
    if (rc == kReformatOk && unchanged) {
      file.Discard();
      result.unchanged = true;
    } else if (rc == kReformatOk && !check.same) {
      // Whatever fault of the formatter this is, the user's file stays as it was.
      if (why.empty()) why = RefusedBecause(check);
      rc = kReformatRefused;
      file.Discard();
    } else if (rc == kReformatOk) {
      // The file must still be what was read; the backup is made from that
      // text, and then the file is checked once more, bytes too when in doubt.
      const std::string& target = file.resolved_target();
      const bool backup = !options.backup_path.empty();
      Status status = source.locked() ? source.StillAsRead(target, false) : Status::OK();
      bool changed = !status.ok();
      // A backup that is another name of the file is replaced by a copy.
      const bool backup_is_source = backup && SameFile(target, options.backup_path);
      if (status.ok() && backup) {
        status = KeepBackup(&source, options.backup_path);
        changed = status.message() == kChangedWhileFormatting;
        if (!status.ok() && !changed) {
          why = "cannot make the backup copy '" + options.backup_path + "': " + status.message() +
                "; the file was left as it was";
        }
      }
      if (status.ok() && source.locked()) {
        status = source.StillAsRead(target, true, backup_is_source);
        changed = !status.ok();
      }
      if (changed) why = kChangedWhileFormatting;
      if (!status.ok()) {
        rc = kReformatRefused;
        file.Discard();
      } else if (source.locked() && source.linked() && backup) {
        // Every name of the file sees the new text; the backup holds the old.
        std::string_view kept = buffer.text();
        status = WriteInPlace(target, source, buffer.kept() ? &kept : nullptr, file.temporary_path());
        file.Discard();
        if (!status.ok()) {
          rc = kReformatNoFileOrMemory;
          why = status.message() == kChangedWhileFormatting
                    ? std::string(kChangedWhileFormatting)
                    : "cannot write '" + output + "': " + status.message() + "; its old content is in '" +
                          options.backup_path + "'";
        }
      } else {
        status = file.Commit();
        if (!status.ok()) {
          rc = kReformatNoFileOrMemory;
          why = "cannot write '" + output + "': " + status.message() + "; the file was left as it was";
        }
      }
    } else {
      file.Discard();
      if (why.empty()) {
        switch (rc) {
          case kReformatBadLine: why = "a line could not be assembled; the file was left as it was"; break;
          case kReformatBinary: why = "binary file (it holds NUL bytes); it was left as it was"; break;
          default: why = "memory ran out; the file was left as it was"; break;
        }
      }
    }
  } else {
    out << "\nCleaning Up Dinner ... ";
  }
  out << "Done !\n";
  if (rc == kReformatOk) why.clear();
  return result;
}

namespace {

// A temporary file for a stream, removed with this object (and on signals).
class SpoolFile {
 public:
  // `suffix`: the end of its name (".c", ".java", ...).
  explicit SpoolFile(const std::string& suffix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/folios-XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    TemporaryFileSignalsHeld held;
    fd_ = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd_ >= 0) {
      path_ = name.data();
      RegisterTemporaryFile(path_);
    }
  }
  ~SpoolFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) {
      ::unlink(path_.c_str());
      ForgetTemporaryFile(path_);
    }
  }
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// Copies everything from `from` to `to`; false when either fails.
bool CopyStream(std::FILE* from, std::FILE* to) {
  std::vector<char> block(1 << 16);
  size_t n;
  while ((n = std::fread(block.data(), 1, block.size(), from)) > 0) {
    if (std::fwrite(block.data(), 1, n, to) != n) return false;
  }
  return !std::ferror(from);
}

}  // namespace

int ReformatStream(std::FILE* in, std::FILE* out, const FormatSettings& settings,
                   const std::string& name_for_language, std::string* why, std::ostream& err) {
  why->clear();
  size_t dot = name_for_language.rfind('.');
  size_t slash = name_for_language.rfind('/');
  std::string suffix = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                           ? name_for_language.substr(dot)
                           : ".c";
  if (suffix.size() > 16) suffix = ".c";
  SpoolFile source(suffix), formatted(suffix);
  if (!source.ok() || !formatted.ok()) {
    *why = "cannot make a temporary file: " + ErrnoMessage(errno);
    return kReformatNoFileOrMemory;
  }
  std::FILE* spool = ::fdopen(::dup(source.fd()), "wb");
  bool read_ok = spool != nullptr && CopyStream(in, spool);
  if (spool && std::fclose(spool) != 0) read_ok = false;
  if (!read_ok) {
    *why = std::ferror(in) ? "cannot read standard input" : "cannot make a temporary file: " + ErrnoMessage(errno);
    return kReformatNoFileOrMemory;
  }
  ReformatFileOptions options;
  options.settings = &settings;
  options.keep_line_ends = true;  // a text piped through keeps its convention
  std::ostream report(nullptr);  // no settings report nor progress
  ReformatFileResult result = ReformatFileWith(source.path(), formatted.path(), options, report, err);
  if (result.code != kReformatOk) {
    // Said of a file; here the caller says what became of the text.
    *why = result.reason;
    for (const char* tail : {"; file left as it was", "; the file was left as it was", "; it was left as it was"}) {
      size_t n = std::strlen(tail);
      if (why->size() >= n && why->compare(why->size() - n, n, tail) == 0) why->resize(why->size() - n);
    }
    if (result.code == kReformatBinary) *why = "binary text (it holds NUL bytes)";
  }
  std::FILE* text = std::fopen((result.code == kReformatOk ? formatted : source).path().c_str(), "rb");
  bool written = text != nullptr && CopyStream(text, out) && std::fflush(out) == 0;
  if (text) std::fclose(text);
  if (!written) {
    *why = "cannot write standard output";
    return kReformatNoFileOrMemory;
  }
  return result.code;
}

int ReformatText(std::string_view source, const FormatSettings& settings, SourceLanguage language,
                 std::string* formatted, std::string* why, std::ostream& err) {
  ViewBuf source_buffer(source);
  std::istream in(&source_buffer);
  std::ostringstream out;
  std::ostream report(nullptr);  // no settings report nor progress
  int rc = RunBeautifier(in, out, settings.options, settings.remove_comments, report, err, language);
  why->clear();
  switch (rc) {
    case kReformatOk: {
      TokenCheckOptions check_options;
      check_options.language = language;
      check_options.comments_removed = settings.remove_comments;
      TokenCheckResult check = CheckTokenTexts(source, out.view(), check_options);
      if (!check.same) {
        *why = "formatting would change the program at line " + std::to_string(check.line);
        rc = kReformatRefused;
      }
      break;
    }
    case kReformatBinary: *why = "binary text (it holds NUL bytes)"; break;
    case kReformatBadLine: *why = "a line could not be assembled"; break;
    default: *why = "memory ran out"; break;
  }
  *formatted = std::move(out).str();
  return rc;
}

}  // namespace folios

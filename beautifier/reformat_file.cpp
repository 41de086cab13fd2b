// ReformatFile: options from the settings, the two files, the report, the
// engine, and the output replaced only when the engine succeeded.
#include "reformat_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
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

// The source text: read whole when it is a regular file no larger than
// kInMemoryLimit, else read from its file a block at a time.
class SourceText : public std::streambuf {
 public:
  SourceText() = default;
  SourceText(const SourceText&) = delete;
  SourceText& operator=(const SourceText&) = delete;
  ~SourceText() override {
    if (fd_ >= 0) ::close(fd_);
  }

  // Opens `path` and, when it is small enough, reads it. False when it
  // cannot be opened (errno says why).
  bool Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) <= kInMemoryLimit) {
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
          setg(whole_.data(), whole_.data(), whole_.data() + got);
          return true;
        }
        got += static_cast<size_t>(n);
      }
      if (!failed_ && ::lseek(fd_, 0, SEEK_SET) != 0) failed_ = true;
      std::string().swap(whole_);
    }
    block_.resize(1 << 16);
    return true;
  }

  bool in_memory() const { return in_memory_; }
  // REQUIRES: in_memory().
  std::string_view text() const { return whole_; }
  // A read failed: what was formatted is not the whole file.
  bool failed() const { return failed_; }

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
      setg(block_.data(), block_.data(), block_.data() + n);
      return traits_type::to_int_type(block_[0]);
    }
  }

 private:
  int fd_ = -1;
  bool in_memory_ = false;
  bool failed_ = false;
  std::string whole_;
  std::vector<char> block_;
};

// The formatted text on its way to the temporary file of an AtomicFile,
// gathered in a block and written a block at a time straight to the file's
// descriptor (the C stream's own buffer stays empty). While it stays within
// twice kInMemoryLimit it is also kept, for the checks after formatting. What is
// not flushed when the buffer goes is dropped (the file is discarded then).
class FormattedText : public std::streambuf {
 public:
  // `expected`: about how long the text will be, when it is kept.
  FormattedText(std::FILE* file, bool keep, size_t expected) : fd_(fileno(file)), keep_(keep), block_(1 << 16) {
    if (keep_) kept_.reserve(expected + expected / 4);
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
      if (kept_.size() + n <= 2 * kInMemoryLimit) {
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

// Puts the current content of `path` under `backup` in one step: a hard link
// (no copy) or, where links are not possible, a copy, made under a fresh
// temporary name and renamed over `backup`, so an old backup or a link of
// that name is replaced and never written through. A name that exists is
// never used: link and O_EXCL refuse it, and another is tried.
Status KeepBackup(const std::string& path, const std::string& backup) {
  std::string temporary;
  int error = MakeUnderFreshName(backup, &temporary, [&](const std::string& name) {
    return ::link(path.c_str(), name.c_str()) == 0 ? 0 : errno;
  });
  struct Forget {
    const std::string& path;
    ~Forget() { ForgetTemporaryFile(path); }
  } forget{temporary};
  if (error != 0) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return Status::Error(ErrnoMessage(errno));
    int out_fd = -1;
    error = MakeUnderFreshName(backup, &temporary, [&](const std::string& name) {
      out_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      return out_fd >= 0 ? 0 : errno;
    });
    std::FILE* copy = out_fd >= 0 ? fdopen(out_fd, "wb") : nullptr;
    bool ok = copy != nullptr;
    char buffer[65536];
    size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, n, copy) == n;
    ok = ok && !std::ferror(in);
    if (error == 0 && !ok) error = errno;
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0) ::fchmod(fileno(copy), st.st_mode & 0777);
    if (copy && std::fclose(copy) != 0) ok = false;
    if (!copy && out_fd >= 0) ::close(out_fd);
    std::fclose(in);
    if (!ok) {
      if (out_fd >= 0) ::unlink(temporary.c_str());
      return Status::Error(ErrnoMessage(error ? error : EIO));
    }
  }
  if (std::rename(temporary.c_str(), backup.c_str()) != 0) {
    int rename_error = errno;
    ::unlink(temporary.c_str());
    return Status::Error(ErrnoMessage(rename_error));
  }
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
  settings.remove_comments = Settings(SettingKey::kMain).Int("m_remove_comments") != 0;
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
  SourceText source;
  errno = 0;
  AtomicFile file;
  bool opened = false;
  if (!source.Open(input)) {
    why = "cannot open '" + input + "': " + ErrnoMessage(errno ? errno : ENOENT);
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
      Status status;
      if (!options.backup_path.empty()) {
        status = KeepBackup(file.resolved_target(), options.backup_path);
        if (!status.ok()) {
          rc = kReformatRefused;
          why = "cannot make the backup copy '" + options.backup_path + "': " + status.message() +
                "; the file was left as it was";
          file.Discard();
        }
      }
      if (rc == kReformatOk) {
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

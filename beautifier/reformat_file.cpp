// ReformatFile: options from the settings, the two files, the report, the
// engine, and the output replaced only when the engine succeeded.
#include "reformat_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <vector>

#include "atomic_file.h"
#include "beautifier_options.h"
#include "engine.h"
#include "settings_table.h"
#include "status.h"
#include "temp_files.h"
#include "token_check.h"

namespace folios {

namespace {

// An output stream over a C stream, so the engine can write to an
// AtomicFile. Text is gathered in a block of its own and handed on a block
// at a time; what is not flushed when it goes is dropped (the file is then
// discarded anyway).
class FileOutBuf : public std::streambuf {
 public:
  explicit FileOutBuf(std::FILE* file) : file_(file), block_(1 << 16) {
    setp(block_.data(), block_.data() + block_.size());
  }

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
    size_t n = static_cast<size_t>(pptr() - pbase());
    bool ok = n == 0 || std::fwrite(pbase(), 1, n, file_) == n;
    setp(block_.data(), block_.data() + block_.size());
    return ok;
  }

  std::FILE* file_;
  std::vector<char> block_;
};

// Puts the current content of `path` under `backup` in one step: a hard link
// (no copy) or, where links are not possible, a copy, made under a temporary
// name and renamed over `backup`, so an old backup or a link of that name is
// replaced and never written through.
Status KeepBackup(const std::string& path, const std::string& backup) {
  size_t slash = backup.rfind('/');
  std::string slot = slash == std::string::npos ? "." + backup + ".tmp-XXXXXX"
                                                : backup.substr(0, slash + 1) + "." +
                                                      backup.substr(slash + 1) + ".tmp-XXXXXX";
  std::vector<char> name(slot.begin(), slot.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return Status::Error(ErrnoMessage(errno));
  ::close(fd);
  std::string temporary = name.data();
  ::unlink(temporary.c_str());
  RegisterTemporaryFile(temporary);
  struct Forget {
    const std::string& path;
    ~Forget() { ForgetTemporaryFile(path); }
  } forget{temporary};
  if (::link(path.c_str(), temporary.c_str()) != 0) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    int out_fd = in ? ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600) : -1;
    std::FILE* copy = out_fd >= 0 ? fdopen(out_fd, "wb") : nullptr;
    bool ok = copy != nullptr;
    char buffer[65536];
    size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, n, copy) == n;
    ok = ok && !std::ferror(in);
    int error = errno;
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0) ::fchmod(fileno(copy), st.st_mode & 0777);
    if (copy && std::fclose(copy) != 0) ok = false;
    if (!copy && out_fd >= 0) ::close(out_fd);
    if (in) std::fclose(in);
    if (!ok) {
      ::unlink(temporary.c_str());
      return Status::Error(ErrnoMessage(error ? error : EIO));
    }
  }
  if (std::rename(temporary.c_str(), backup.c_str()) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    return Status::Error(ErrnoMessage(error));
  }
  return Status::OK();
}

// True when the formatted text holds the same program as the source; else
// `why` names the first line where it would change.
bool SameProgram(const std::string& source, const std::string& formatted, SourceLanguage language,
                 bool comments_removed, std::string* why) {
  TokenCheckOptions check;
  check.language = language;
  check.comments_removed = comments_removed;
  TokenCheckResult result;
  Status status = CheckTokenFiles(source, formatted, check, &result);
  if (!status.ok()) {
    *why = "cannot check the formatted text: " + status.message() + "; file left as it was";
    return false;
  }
  if (result.same) return true;
  *why = "formatting would change the program at line " + std::to_string(result.line) +
         "; file left as it was";
  return false;
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

ReformatFileResult ReformatFileWith(const std::string& input, const std::string& output,
                                    const ReformatFileOptions& options, std::ostream& out,
                                    std::ostream& err) {
  BeautifierOptions beautifier = LoadBeautifierOptions();
  bool remove_comments = Settings(SettingKey::kMain).Int("m_remove_comments") != 0;
  ReformatFileResult result;
  result.code = kReformatNoFileOrMemory;
  std::string& why = result.reason;

  // The input is opened first; the output is never touched unless the input
  // could be opened, and it is only replaced by a complete result.
  std::vector<char> in_buffer(1 << 16);
  std::ifstream in;
  in.rdbuf()->pubsetbuf(in_buffer.data(), static_cast<std::streamsize>(in_buffer.size()));
  errno = 0;
  in.open(input, std::ios::in | std::ios::binary);
  AtomicFile file;
  bool opened = false;
  if (!in.is_open()) {
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
    std::setvbuf(file.file(), nullptr, _IOFBF, 1 << 16);
    PrintSettingsReport(beautifier, out);
    FileOutBuf buffer(file.file());
    std::ostream formatted(&buffer);
    SourceLanguage language = LanguageForPath(input);
    rc = RunBeautifier(in, formatted, beautifier, remove_comments, out, err, language);
    out << "\nCleaning Up Dinner ... ";
    if (rc == kReformatOk && in.bad()) {
      rc = kReformatNoFileOrMemory;
      why = "cannot read '" + input + "'";
    }
    if (rc == kReformatOk && (!formatted.flush() || std::fflush(file.file()) != 0)) {
      rc = kReformatNoFileOrMemory;
      why = "cannot write '" + output + "'";
    }
    if (rc == kReformatOk && options.skip_unchanged && !file.writes_in_place() &&
        SameContent(file.temporary_path(), file.resolved_target())) {
      file.Discard();
      result.unchanged = true;
    } else if (rc == kReformatOk && !file.writes_in_place() &&
               !SameProgram(input, file.temporary_path(), language, remove_comments, &why)) {
      // Whatever fault of the formatter this is, the user's file stays as it was.
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

}  // namespace folios

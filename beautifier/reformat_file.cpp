// ReformatFile: options from the settings, the two files, the report, the
// engine, and the output replaced only when the engine succeeded.
#include "reformat_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <streambuf>

#include "atomic_file.h"
#include "beautifier_options.h"
#include "engine.h"
#include "settings_table.h"
#include "status.h"

namespace folios {

namespace {

// An output stream over a C stream, so the engine can write to an AtomicFile.
class FileOutBuf : public std::streambuf {
 public:
  explicit FileOutBuf(std::FILE* file) : file_(file) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    return static_cast<std::streamsize>(std::fwrite(s, 1, static_cast<size_t>(n), file_));
  }

 private:
  std::FILE* file_;
};

}  // namespace

int ReformatFile(const std::string& input, const std::string& output, std::ostream& out,
                 std::ostream& err) {
  return ReformatFile(input, output, out, err, nullptr);
}

int ReformatFile(const std::string& input, const std::string& output, std::ostream& out,
                 std::ostream& err, std::string* reason) {
  BeautifierOptions options = LoadBeautifierOptions();
  bool remove_comments = Settings(SettingKey::kMain).Int("m_remove_comments") != 0;
  std::string why;
  int rc = kReformatNoFileOrMemory;

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
      why = "cannot write '" + output + "': " + status.message();
    } else {
      opened = true;
    }
  }

  if (opened) {
    std::setvbuf(file.file(), nullptr, _IOFBF, 1 << 16);
    PrintSettingsReport(options, out);
    FileOutBuf buffer(file.file());
    std::ostream formatted(&buffer);
    rc = RunBeautifier(in, formatted, options, remove_comments, out, err);
    out << "\nCleaning Up Dinner ... ";
    if (rc == kReformatOk && in.bad()) {
      rc = kReformatNoFileOrMemory;
      why = "cannot read '" + input + "'";
    }
    if (rc == kReformatOk && !formatted) {
      rc = kReformatNoFileOrMemory;
      why = "cannot write '" + output + "'";
    }
    if (rc == kReformatOk) {
      Status status = file.Commit();
      if (!status.ok()) {
        rc = kReformatNoFileOrMemory;
        why = "cannot write '" + output + "': " + status.message();
      }
    } else {
      file.Discard();
      if (why.empty()) {
        why = rc == kReformatBadLine ? "a line could not be assembled; the file was left as it was"
                                     : "memory ran out; the file was left as it was";
      }
    }
  } else {
    out << "\nCleaning Up Dinner ... ";
  }
  out << "Done !\n";
  if (reason) *reason = rc == kReformatOk ? std::string() : why;
  return rc;
}

}  // namespace folios

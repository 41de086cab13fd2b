// The beautifier's entry point: formats one C, C++ or Java file into another.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "beautifier_options.h"
#include "token_check.h"

namespace folios {

// Results of ReformatFile and of the engine.
inline constexpr int kReformatOk = 0;               // the output is complete
inline constexpr int kReformatNoFileOrMemory = -1;  // a file could not be opened or written, or memory ran out
inline constexpr int kReformatBadLine = -2;         // a line could not be assembled
inline constexpr int kReformatBinary = -3;          // the input holds NUL bytes: not a text source
inline constexpr int kReformatRefused = -4;         // the result was not used (see the reason)

// Formats the file at `input` into `output` with the beautifier settings of
// the settings store (read afresh for every call).
//
// The settings report and the progress text go to `out`, error messages to
// `err`. The formatted text goes to a temporary file beside `output`, which
// replaces `output` only when the result is kReformatOk; on any other result
// `output` is exactly as it was (also when it is the same file as `input`).
// Every written line ends with a single line feed.
int ReformatFile(const std::string& input, const std::string& output, std::ostream& out,
                 std::ostream& err);

// The same, and on failure `reason` (may be null) says why for people:
// "cannot open '<input>': No such file or directory", ...
int ReformatFile(const std::string& input, const std::string& output, std::ostream& out,
                 std::ostream& err, std::string* reason);

// What files are formatted with: the option record and whether comments are
// removed.
struct FormatSettings {
  BeautifierOptions options;
  bool remove_comments = false;
};

// Reads FormatSettings from the settings store; `warnings` (may be null)
// gets one line for each value clamped (LoadBeautifierOptions).
FormatSettings LoadFormatSettings(std::vector<std::string>* warnings = nullptr);

// How ReformatFileWith treats the file it replaces.
struct ReformatFileOptions {
  // The settings to format with, read once for a whole build so that every
  // file of it is formatted alike; null: read from the settings store for
  // this file alone.
  const FormatSettings* settings = nullptr;
  // Leaves the output as it is, time stamp included, when the formatted text
  // equals its content.
  bool skip_unchanged = false;
  // Keeps the output's old content under this name just before the output
  // is replaced (a symbolic link of that name is replaced, never followed).
  std::string backup_path;
};

struct ReformatFileResult {
  int code = kReformatOk;
  bool unchanged = false;  // the output was left alone because nothing changed
  std::string reason;      // for people, when code is not kReformatOk
};

// ReformatFile with the options above. The output is written by the shared
// file policy: through symbolic links, keeping mode and owner, and refused
// when the user may not write it.
ReformatFileResult ReformatFileWith(const std::string& input, const std::string& output,
                                    const ReformatFileOptions& options, std::ostream& out,
                                    std::ostream& err);

// Formats the text read from `in` to its end and writes it to `out`, with
// `settings`, as a file named like `name_for_language` would be (its
// extension decides the language). Both texts pass through temporary files,
// so memory stays flat however long the text is; the formatted text is
// written only when it holds the same program, and otherwise the text as it
// came in is written. kReformatOk or the failure, with `why` for people;
// kReformatNoFileOrMemory with "cannot read ..." or "cannot write ..." when
// a stream fails. Engine messages go to `err`.
int ReformatStream(std::FILE* in, std::FILE* out, const FormatSettings& settings,
                   const std::string& name_for_language, std::string* why, std::ostream& err);

// Formats `source`, held in memory, into `formatted` with `settings`, and
// checks that the result holds the same program. kReformatOk, the engine's
// code, or kReformatRefused when the program would change; on failure `why`
// says why for people ("formatting would change the program at line 3") and
// `formatted` is to be ignored. Engine messages go to `err`.
int ReformatText(std::string_view source, const FormatSettings& settings, SourceLanguage language,
                 std::string* formatted, std::string* why, std::ostream& err);

}  // namespace folios

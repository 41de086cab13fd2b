// Whether files are formatted, found without writing anything: each file of
// a list is formatted in memory and compared with its content.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "reformat_file.h"

namespace folios {

struct FormatCheck {
  enum class State {
    kFormatted,    // formatting leaves the file as it is
    kWouldChange,  // formatting would change it; `formatted` holds the new text
    kFailed,       // it cannot be read or formatted (the meaning guard refused, a binary file)
  };
  std::string path;
  State state = State::kFormatted;
  std::string content;    // the file as it is (with kWouldChange)
  std::string formatted;  // what formatting would write (with kWouldChange)
  std::string reason;     // for people, with kFailed
};

// Formats `source` as the reformat build would write it: with `settings`,
// the language of `name`, and (`keep_line_ends`) the line end most of its
// lines have. A source the build would refuse gives kFailed.
FormatCheck CheckFormatText(const std::string& name, const std::string& source, const FormatSettings& settings,
                            bool keep_line_ends);

struct FormatCheckOptions {
  // The settings of each file, asked in list order before any is read; they
  // must outlive the run. Null, or a null result: the store's settings.
  std::function<const FormatSettings*(const std::string& path)> settings_for;
  bool keep_line_ends = false;
  int jobs = 1;  // 0 or less: DefaultJobCount
};

struct FormatCheckResult {
  int would_change = 0;
  int failed = 0;
  std::vector<std::string> passed_over_paths;  // not C, C++ or Java files
  bool clean() const { return would_change == 0 && failed == 0 && passed_over_paths.empty(); }
};

// Checks every C, C++ or Java file of `paths` (each once however often it
// is named) and hands each check to `report` in list order, on the
// caller's thread. Nothing is written.
FormatCheckResult RunFormatCheck(const std::vector<std::string>& paths, const FormatCheckOptions& options,
                                 const std::function<void(const FormatCheck&)>& report);

}  // namespace folios

// The reformat build: every C, C++ or Java file of a list is reformatted in
// place; its old content is kept in "<path>.orig" when it changes.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "progress.h"
#include "reformat_file.h"

namespace folios {

struct ReformatFailure {
  std::string path;    // the source file that was left as it was
  std::string reason;  // "cannot make the backup copy ...", "cannot open ...", ...
  int result = 0;      // the ReformatFile result, or kReformatNoFileOrMemory for a failed backup
};

struct ReformatBuildResult {
  int formatted = 0;                      // files rewritten
  int unchanged = 0;                      // files already formatted: not written, no backup
  int passed_over = 0;                    // files whose extension is not cpp, h, c or java
  std::vector<std::string> passed_over_paths;
  std::vector<ReformatFailure> failures;  // in list order
  bool ok() const { return failures.empty() && passed_over == 0; }
};

// True when the lower-case extension of `path` is one of a C, C++ or Java
// source or header (IsFormattableExtension).
bool IsReformattable(const std::string& path);

// Runs the build over `paths_in_display_order`. `progress` (may be null) gets
// the caption "Reformat sourcecode files", the range 0..number of paths, one
// step and the path as status per file; cancel is not consulted.
//
// Each file is formatted once however often it is named. A file whose
// formatted text equals its content is not written (its time stamp stays)
// and its backup is not touched; otherwise its old content goes to
// "<file>.orig" (beside the file a symbolic link leads to) just before the
// new content replaces it, keeping mode, owner and links. A file that cannot
// be read, written, backed up or formatted stays exactly as it was and is
// listed in the result. Engine report text goes to `out`, engine messages
// to `err`.
//
// `jobs` files are formatted at once (0 or less: DefaultJobCount; at most
// kMaxJobs, of ordered_jobs.h). Whatever the order they finish in, the progress,
// the report text, the messages and the result follow the list: a file's
// text is written when every file before it is done. The settings are read
// once, when the build starts.
ReformatBuildResult RunReformatBuild(const std::vector<std::string>& paths_in_display_order,
                                     Progress* progress, std::ostream& out, std::ostream& err,
                                     int jobs = 1);

// What one file of the build is formatted with.
struct ReformatChoice {
  const FormatSettings* settings = nullptr;  // null: the settings read when the build starts
  std::string backup_suffix = ".orig";       // empty: no backup is kept
};

struct ReformatBuildOptions {
  // Asked once per file, in list order, before any file is formatted; the
  // settings it points to must outlive the build. Null: every file gets
  // the default choice.
  std::function<ReformatChoice(const std::string& path)> choose;
  // Each file keeps the line end most of its lines have.
  bool keep_line_ends = false;
  // Told of every file formatted, in list order, once the file is done.
  std::function<void(const std::string& path, const ReformatFileResult& result)> done;
};

// The same build with per-file choices.
ReformatBuildResult RunReformatBuild(const std::vector<std::string>& paths_in_display_order,
                                     Progress* progress, std::ostream& out, std::ostream& err, int jobs,
                                     const ReformatBuildOptions& options);

}  // namespace folios

// The documentation engine's entry points: the driver, which runs like a
// command-line tool over an option vector, and the vector the desktop
// command builds from the settings.
//
// Option vector: options begin with "-" followed by one letter (any case);
// every other argument is a source name (a path, possibly with wildcards),
// and so is every argument after "--". A value is the rest of the option
// argument or, when that is empty, the next argument. Switches (the options
// without a value: a e n u v) may be combined in one argument ("-uv"); an
// argument that combines anything else is an unknown option.
//   -? -h usage (result kUsageRequested)   -a append to the output file
//   -c FILE contents file                  -d NAME=VALUE define a constant
//   -e option e                            -f FILE main format file
//   -l FILE topic log                      -n extract only, no output
//   -o FILE output file                    -r TYPE output type (rd/rh = doc/help)
//   -s FILE extra format file              -t N tab size
//   -u unsorted topics                     -v verbose
//   -x EXPR extraction expression (several values joined by one blank)
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "progress.h"

namespace folios::docgen {

// Result codes of the driver (0 = success). Codes 100..114 are 100 plus a
// file-error cause; the others are listed with their messages in
// doc_messages.h.
inline constexpr int kDocOk = 0;
inline constexpr int kUsageRequested = 120;

// The widest tab size option "-t" accepts (the narrowest is 1).
inline constexpr int kMaxTabSize = 64;

// The generator name written into help project files.
inline constexpr const char kGeneratorName[] = "Lumentra Folios V3.5";

// Runs one documentation build. `argv` is the option vector (no program
// name). Verbose text and "Output file is ..." go to `out`; every error is
// written to `err` as "file(line): Error N: text". `progress` may be null.
// `fallback_dir` is searched for format files not found as given (the
// desktop command passes the system's temporary directory).
// The document, help project and topic log are written to temporary files
// beside them and renamed into place when the run has finished; a target
// that is one of the run's inputs, or that the user may not write, is
// refused before anything is written.
// Returns 0 or the error code that ended the run; errors in single source
// files or topics are reported and do not end it, but when a source could
// not be read (missing, a directory, unreadable, binary) the run returns
// that file's code after it has finished.
int RunDocDriver(const std::vector<std::string>& argv, Progress* progress, std::ostream& out,
                 std::ostream& err, const std::string& fallback_dir = std::string());

// What the option vector asks for, before anything is read: `code` is 0, or
// the usage error the driver would end with (kUsageRequested, or a code
// from 118 to 136) and `argument` the argument at fault (the expression for
// an expression error).
struct DocOptionCheck {
  int code = 0;
  std::string argument;
  size_t source_count = 0;
  std::string output_file;  // "-o" value; "-" is standard output
  bool format_given = false;  // "-f"
};
DocOptionCheck CheckDocOptions(const std::vector<std::string>& argv);

// The option vector of the desktop command for `sources` (in file-list
// order) and `output_path`, from the current settings: the sources first,
// then "-u" (m_sort_topics 0), "-rh" (m_doctype 1) or "-rhtml" (m_doctype
// 2), "-o" output, "-l"
// <output dir>/Topics.rtf (m_create_topic_log), "-f" the shipped or user
// LFX.fmt, "-x" expression (m_use_extraction_expression).
std::vector<std::string> BuildDocOptionVector(const std::vector<std::string>& sources,
                                              const std::string& output_path);

// The usage text of the option vector, for front ends.
const char* DocOptionUsage();

}  // namespace folios::docgen

// The documentation engine's entry points. A run is described by DocOptions
// (parsed from the command line's option vector, or filled from the
// settings for the desktop program) and tells what it did in a DocResult.
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
#include <utility>
#include <vector>

#include "doc_messages.h"
#include "progress.h"

namespace folios::docgen {

// Result codes of the driver (0 = success). Codes 100..114 are 100 plus a
// file-error cause; the others are listed with their messages in
// doc_messages.h. The engine speaks in these codes, not in Status, because
// its callers tell the codes apart (a usage error, a source that could not
// be read) and the command line's messages carry the number.
inline constexpr int kDocOk = 0;
inline constexpr int kUsageRequested = 120;

// The widest tab size option "-t" accepts (the narrowest is 1).
inline constexpr int kMaxTabSize = 64;

// The generator name written into help project files: "Lumentra Folios V"
// and the program's version.
std::string GeneratorName();

// Everything one run is asked to do; each field is one option of the vector.
struct DocOptions {
  std::vector<std::string> sources;  // paths, possibly with wildcards, in order
  std::string output_file;           // -o; empty: named after the first source;
                                     // "-" is standard output
  std::string output_type = "doc";   // -r: "doc", "help", or a type the format
                                     // file defines ("html")
  std::string main_format_file = "Scrivlet.FMT";  // -f
  bool format_given = false;                      // -f was given
  std::vector<std::string> extra_format_files;    // -s, loaded before the main one
  std::vector<std::pair<std::string, std::string>> defines;  // -d NAME=VALUE
  std::string contents_file;  // -c
  std::string log_file;       // -l
  std::string expression;     // -x, several values joined by one blank
  int tab_size = 8;           // -t
  bool append = false;        // -a
  bool option_e = false;      // -e: accepted and kept; nothing reads it
  bool no_output = false;     // -n
  bool unsorted = false;      // -u
  bool verbose = false;       // -v
};

// What a parsed option vector holds wrong: `code` is 0, or the usage error
// the driver would end with (kUsageRequested, or a code from 118 to 136)
// and `argument` the argument at fault (the expression for an expression
// error).
struct DocOptionCheck {
  int code = 0;
  std::string argument;
};

// Parses the option vector (no program name) into `options`, which is
// filled as far as the vector was read when a usage error ends it.
DocOptionCheck ParseDocOptions(const std::vector<std::string>& argv, DocOptions* options);

// The options of the desktop command for `sources` (in file-list order) and
// `output_path`, from the current settings: unsorted (m_sort_topics 0),
// output type "help" (m_doctype 1) or "html" (m_doctype 2), the topic log
// <output dir>/Topics.rtf (m_create_topic_log), the shipped or user LFX.fmt
// as the format file, the expression (m_use_extraction_expression).
DocOptions DocOptionsFromSettings(const std::vector<std::string>& sources, const std::string& output_path);

// What a run did.
struct DocResult {
  // 0, or the code that ended the run; when sources could not be read (the
  // others were documented) the first such file's code; else the first
  // error reported in the sources or format texts, else that of a help
  // project or topic log that could not be written.
  int code = 0;
  long files_read = 0;      // source files read, whatever they held
  long topics_written = 0;  // topics in the document written
  std::vector<DocError> errors;  // every message line, in the order written
  // The files written, as named; empty when not written.
  std::string document;      // "-" for standard output
  std::string help_project;  // written only when none exists yet
  std::string topic_log;
};

// Runs one documentation build. Verbose text and "Output file is ..." go to
// `out`; every error is written to `err` as "file(line): Error N: text" and
// kept in the result. `progress` may be null. `fallback_dir` is searched for
// format files not found as given (the desktop command passes the system's
// temporary directory).
// The document, help project and topic log are written to temporary files
// beside them and renamed into place when the run has finished; a target
// that is one of the run's inputs, or that the user may not write, is
// refused before anything is written. Errors in single source files or
// topics are reported and do not end the run.
DocResult RunDocBuild(const DocOptions& options, Progress* progress, std::ostream& out, std::ostream& err,
                      const std::string& fallback_dir = std::string());

// ParseDocOptions and RunDocBuild over an option vector; returns the usage
// error (without a message) or the run's code.
int RunDocDriver(const std::vector<std::string>& argv, Progress* progress, std::ostream& out,
                 std::ostream& err, const std::string& fallback_dir = std::string());

// The usage text of the option vector, for front ends.
const char* DocOptionUsage();

}  // namespace folios::docgen

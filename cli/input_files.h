// Gathering the files named on a command line, the way the desktop program
// gathers them: source files, projects and directory searches.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory_search.h"
#include "option_parser.h"
#include "project_file.h"
#include "project_settings.h"

namespace folios::cli {

struct InputOptions {
  std::optional<SearchTypes> types;  // default: the search settings
  std::optional<bool> subfolders;    // default: m_find_subfolders
};

// Adds --types LIST, --subfolders and --no-subfolders to `parser`.
void AddInputOptions(OptionParser* parser, InputOptions* options);

// The options the subcommands share: -q, the lists of inputs and the
// project settings.
struct CommonOptions {
  std::vector<std::string> files_from;  // lists of names ("-": standard input)
  bool null_separated = false;          // -0: the lists' names end with NUL, not LF
  std::optional<std::string> settings_file;
  bool no_project_settings = false;
  std::optional<std::string> assume_filename;
};

// Adds -q, --quiet, --files-from FILE, -0, --null, --settings FILE,
// --no-project-settings and (when `assume_filename` is allowed)
// --assume-filename NAME to `parser`.
void AddCommonOptions(OptionParser* parser, CommonOptions* options, bool assume_filename = false);

// Appends the names of every --files-from list to `paths`, in order: one a
// line, or with -0 each ended by a NUL (so names may hold blanks and line
// breaks); empty names are skipped. False after printing why a list could
// not be read.
bool ReadFileLists(const CommonOptions& options, std::vector<std::string>* paths);

// The project settings that the options choose.
ProjectSettingsFinder MakeProjectSettingsFinder(const CommonOptions& options);

// Prints "folios: project settings '<file>': <reason>" for a project file
// that cannot be used.
void PrintProjectSettingsError(const std::string& file, const Status& status);

// The project settings of the file `anchor` (a directory: of files in it;
// empty: the current directory) become the layer of every read of this run.
// False after printing the error when they cannot be read.
bool UseProjectSettingsFor(const CommonOptions& options, const std::string& anchor);

// Adds every path to `files`, in the order given: a directory is searched
// (its files grouped by type in the order the file list shows the groups,
// by name within a group), a .dsp or .vbp project contributes its files in
// its own order, anything else is added as a source file. Problems are
// reported on standard error; false when anything failed or nothing of a
// path could be added.
bool GatherInputs(const std::vector<std::string>& paths, const InputOptions& options,
                  CProjectFile* files);

// The full paths in the order every command-line build takes them: the
// order in which GatherInputs added them. (The desktop program's list
// shows the newest first; a command line reads left to right.)
std::vector<std::string> DisplayOrderPaths(const CProjectFile& files);

}  // namespace folios::cli

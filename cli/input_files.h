// Gathering the files named on a command line, the way the desktop program
// gathers them: source files, projects and directory searches.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "directory_search.h"
#include "project_file.h"

namespace folios::cli {

struct InputOptions {
  std::optional<SearchTypes> types;  // default: the search settings
  std::optional<bool> subfolders;    // default: m_find_subfolders
};

// Recognises --types LIST, --types=LIST, --subfolders and --no-subfolders at
// args[i]. Returns the number of arguments taken (0 when args[i] is none of
// them), or -1 after printing a usage error.
int ParseInputOption(const std::vector<std::string>& args, size_t i, InputOptions* options,
                     const char* command);

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

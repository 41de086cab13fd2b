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

// Adds every path to `files`: a directory is searched, a .dsp or .vbp project
// contributes its files, anything else is added as a source file. Problems
// are reported on standard error; false when anything failed or nothing of a
// path could be added.
bool GatherInputs(const std::vector<std::string>& paths, const InputOptions& options,
                  CProjectFile* files);

// The full paths of the file list's rows in display order: the order in
// which every build takes them.
std::vector<std::string> DisplayOrderPaths(const CProjectFile& files);

}  // namespace folios::cli

// Gathering the files a user names (source files, .dsp and .vbp projects,
// directories to search) into the file collection. The command line and the
// desktop program both gather through here, so they list the same files and
// meet the same problems.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "directory_search.h"

namespace folios {

class CProjectFile;
class Progress;

enum class GatherProblemKind {
  kNoTypesChosen,      // a directory is named, but no file type is chosen
  kFolderUnlistable,   // a named directory cannot be listed (reason: the system's)
  kSubfolderSkipped,   // a folder met in a search cannot be listed; skipped
  kLinkSkipped,        // a symbolic link to a directory met in a search; skipped
  kNothingFound,       // a search found no file of the chosen types
  kCannotAccess,       // a named path cannot be reached (reason: the system's); a source
                       // file is listed all the same, as a project's missing file is
  kNotSourceType,      // a named file is neither a source file nor a project
  kProjectUnopenable,  // a named project exists but cannot be opened
  kProjectUnreadable,  // a project cannot be read to its end (binary data, I/O error)
  kProjectEmpty,       // a project names no source file of the kinds listed (or only itself)
  kAmbiguousName,      // a project names a file that exists only as several names that
                       // differ from it in case; none was taken
};

struct GatherProblem {
  GatherProblemKind kind;
  std::string path;    // as the user named it; a folder or link met in a search
  std::string reason;  // in English
  size_t input = 0;    // index of the named path it belongs to

  // Whether the gathering counts as failed (the command line exits with 1);
  // skipped folders and links and ambiguous names are told, not failures.
  bool failure() const;
};

// How the files of a directory search are ordered.
enum class FoundFileOrder {
  kSearchOrder,     // folder by folder (breadth first), by type, by name
  kByTypeThenName,  // grouped by type as the file list shows the groups, by full path
};

struct GatherRequest {
  std::vector<std::string> paths;  // as the user named them
  SearchTypes types;               // of directory searches
  bool subfolders = true;          // directory searches include subfolders
  FoundFileOrder order = FoundFileOrder::kSearchOrder;
  // Every path names a directory to search (Open Directory): one that is
  // not an existing directory is a folder that cannot be listed.
  bool directories_only = false;
};

// What the named paths stand for, found by looking at the file system alone
// (nothing is read): the files and projects to add, in order, and the
// problems met so far. Cheap to hand to another thread.
struct GatherPlan {
  struct Entry {
    std::string path;   // absolute
    std::string named;  // as named: the user's text, or the path a search found
    size_t input;
  };
  std::vector<Entry> entries;
  std::vector<GatherProblem> problems;
  size_t input_count = 0;
};

struct GatherResult {
  std::vector<GatherProblem> problems;  // by named path, in the order met
  std::vector<size_t> added;            // files added, per named path

  bool failed() const;
  size_t added_total() const;
};

// Looks at every named path: a directory is searched, anything else is
// taken as a source file or, by its extension, a project.
GatherPlan PlanGathering(const GatherRequest& request);

// Adds the plan's entries to `files` as they stand (projects are read
// here), with a step of `progress` (may be null) per entry under the
// caption "Add files to main area". The result holds the plan's problems
// and those met reading projects.
GatherResult AddPlannedFiles(const GatherPlan& plan, CProjectFile* files, Progress* progress);

// Empties `files`, then plans and adds.
GatherResult GatherInputs(const GatherRequest& request, CProjectFile* files, Progress* progress);

}  // namespace folios

// Searching a directory tree for source files of chosen types.
#pragma once

#include <string>
#include <vector>

#include "status.h"

namespace folios {

struct SearchTypes {
  bool cpp = true;    // C++ sources: *.cpp, *.c, *.cc, *.cxx, *.c++, *.cp
  bool h = true;      // C++ headers: *.hpp, *.h, *.hh, *.hxx, *.h++, *.inl, *.ipp, *.tcc
  bool java = false;  // *.java
  bool frm = false;   // *.frm
  bool bas = false;   // *.bas
  bool cls = false;   // *.cls

  bool any() const { return cpp || h || java || frm || bas || cls; }
};

// The extensions searched, in search order: hpp, h, cpp, c, cls, bas, frm,
// java, each only when its type is chosen.
std::vector<std::string> SearchExtensions(const SearchTypes& types);

struct SearchResult {
  std::vector<std::string> files;                // full paths, in search order
  std::vector<std::string> unreadable;           // directories that could not be listed
  std::vector<std::string> skipped_links;        // symbolic links to directories, not followed
};

// Finds the files of the chosen types below `directory`. Directories are
// visited breadth first (subdirectories of one directory in name order,
// only when `subfolders`); within a directory the extensions are taken in
// search order, and the names of one extension in byte order. Extensions
// match without regard to case. The search never leaves `directory` through
// a symbolic link to a directory: such a link met in a subfolder search is
// put in `skipped_links` instead (`directory` itself may be a link). Each
// directory is searched once, so the cost is linear in the tree.
// Fails when `directory` itself cannot be listed. A path naming a file
// searches that file's directory.
Status FindSourceFiles(const std::string& directory, const SearchTypes& types, bool subfolders,
                       SearchResult* result);

}  // namespace folios

// The listing build: every file of a list, in display order, into one RTF
// listing document. Used by the desktop program and the command line alike.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "keyword_file.h"
#include "listing_writer.h"
#include "preformat.h"
#include "progress.h"
#include "status.h"

namespace folios {

struct ListingBuildOptions {
  // Shows progress and is asked after every line whether to cancel; may be null.
  Progress* progress = nullptr;
  // Reformats C, C++ and Java files before they are listed when
  // m_use_advanced_options is set; may be empty (files are listed as they are).
  PreformatFunction preformat;
  // Receives the "invalid keyword file" warnings; may be null.
  KeywordWarningSink* warnings = nullptr;
};

struct ListingBuildResult {
  bool cancelled = false;                        // the user stopped the build
  int files_listed = 0;                          // files whose listing was started
  std::vector<ListingFileFailure> failed_files;  // files that could not be read
  Status output;                                 // failure writing the document
  bool ok() const { return output.ok() && failed_files.empty(); }
};

// Lists `paths_in_display_order` into the document at `output_path`. The
// document is written to a temporary file beside it and renamed over it when
// the build ends, normally or by cancel; when writing fails, an existing
// document stays as it was and `output` says why.
//
// Pre-formatting (m_use_advanced_options on, a preformat function given, a
// file with extension cpp, h, c or java): the file is copied to FILE.orig,
// reformatted into a temporary file (the preformat function reads the file
// and must not write it), and that is listed under the file's own name.
// The source file itself is never written.
ListingBuildResult RunListingBuild(const std::vector<std::string>& paths_in_display_order,
                                   const std::string& output_path,
                                   const ListingBuildOptions& options);

// The same, writing the document straight to `out` (such as standard
// output); `out` is flushed, not closed.
ListingBuildResult RunListingBuildToStream(const std::vector<std::string>& paths_in_display_order,
                                           std::FILE* out, const ListingBuildOptions& options);

}  // namespace folios

// The listing build: every file of a list, in display order, into one
// listing document, RTF or HTML. Used by the desktop program and the command line alike.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "keyword_file.h"
#include "listing_writer.h"
#include "preformat.h"
#include "progress.h"
#include "status.h"

namespace folios {

// The document type of a listing.
enum class ListingFormat { kRtf, kHtml };

// The type for a document named `output_path`: HTML for a name ending in
// ".html" or ".htm", RTF for ".rtf" (in any case), else the stored choice
// m_output_type.
ListingFormat ListingFormatForOutput(const std::string& output_path);
// The type the settings choose (m_output_type 1: HTML).
ListingFormat StoredListingFormat();
// ".rtf" or ".html".
const char* ListingFormatExtension(ListingFormat format);

struct ListingBuildOptions {
  // The document type.
  ListingFormat format = ListingFormat::kRtf;
  // Shows progress and is asked after every line whether to cancel; may be null.
  Progress* progress = nullptr;
  // Reformats C, C++ and Java files before they are listed when
  // m_use_advanced_options is set; may be empty (files are listed as they are).
  PreformatFunction preformat;
  // Files pre-formatted at once, ahead of the one being listed (0: one per
  // processor core). With more than one, `preformat` runs on several
  // threads at once and must allow that.
  int preformat_jobs = 1;
  // Receives the "invalid keyword file" warnings; may be null.
  KeywordWarningSink* warnings = nullptr;
  // Asked once the build has stopped: true drops the document and leaves the
  // old one as it was (the build was killed rather than cancelled). May be
  // empty.
  std::function<bool()> abandon;
  // Paths listed under their name whose text is read from another file (a
  // standard input kept in a temporary file): listed path -> file read.
  std::map<std::string, std::string> read_from;
};

struct ListingBuildResult {
  bool cancelled = false;                        // the user stopped the build
  int files_listed = 0;                          // files whose listing was started
  int files_read = 0;                            // files whose text could be read
  std::vector<ListingFileFailure> failed_files;  // files not (wholly) listed, and why
  // Files listed as they are because pre-formatting failed or would have
  // changed their program, and why.
  std::vector<ListingFileFailure> listed_unformatted;
  Status output;                                 // failure writing the document
  bool abandoned = false;                        // the document was dropped
  bool ok() const { return output.ok() && failed_files.empty() && listed_unformatted.empty(); }
};

// Lists `paths_in_display_order` into the document at `output_path`. The
// document is written to a temporary file beside it and renamed over it when
// the build ends, normally or by cancel; when writing fails, when none of
// the files could be read, or when the build is abandoned, an existing
// document stays as it was and `output` says why.
//
// Pre-formatting (m_use_advanced_options on, a preformat function given, a
// file with extension cpp, h, c or java): the file is reformatted into a
// temporary file (the preformat function reads the file and must not write
// it), and that is listed under the file's own name. The temporary file is
// removed as soon as the file is listed, whatever happened. The build never
// writes a source file nor a FILE.orig backup: it changes no source, so it
// has nothing to back up, and a backup left by something else stays as it
// was.
ListingBuildResult RunListingBuild(const std::vector<std::string>& paths_in_display_order,
                                   const std::string& output_path,
                                   const ListingBuildOptions& options);

// The same, writing the document straight to `out` (such as standard
// output); `out` is flushed, not closed.
ListingBuildResult RunListingBuildToStream(const std::vector<std::string>& paths_in_display_order,
                                           std::FILE* out, const ListingBuildOptions& options);

}  // namespace folios

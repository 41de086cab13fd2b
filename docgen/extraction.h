// Comment tag extraction: finds the documentation comments of source files,
// cuts them into tags and fields, and adds the topics to the collection.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "doc_messages.h"
#include "format_model.h"
#include "topic_collection.h"

namespace folios::docgen {

struct ExtractionSettings {
  const ExtractionExpression* expression = nullptr;  // null: everything matches
  bool verbose = false;
  // Counts the errors reported about the sources' text; may be null.
  ErrorTally* errors = nullptr;
};

// The files a source name stands for: the name itself when it is a regular
// file, else the regular files its wildcards match. Empty when none.
std::vector<std::string> MatchSourceName(const std::string& source_name);

// Extracts every file that matches `source_name` (which may hold wildcards).
// Errors are reported to `errors` with the path and line, and extraction goes
// on; the verbose listing of files and topics goes to `out`. Returns 0, or
// the first code of a file that could not be extracted: kErrNotFound when
// nothing matches, 100 + cause when a file cannot be read (a directory is
// an invalid file), kErrBinaryFile for a file holding NUL bytes (skipped),
// kErrOutOfMemory when a file is too large to hold.
int ExtractSource(const std::string& source_name, TopicCollection* collection, const FormatModel& model,
                  const ExtractionSettings& settings, SpoolFile* spool, std::ostream& out, ErrorLog& errors);

// Extracts one file; the results are those of ExtractSource.
int ExtractFile(const std::string& path, TopicCollection* collection, const FormatModel& model,
                const ExtractionSettings& settings, SpoolFile* spool, std::ostream& out, ErrorLog& errors);

// A source file read ahead of its extraction: its text, or the code it could
// not be used with (as ExtractFile returns it).
struct LoadedSource {
  int rc = 0;
  std::string text;
};

// Reads `path` for ExtractLoadedFile. Safe on any thread; throws nothing.
LoadedSource LoadSource(const std::string& path);

// ExtractFile on a file LoadSource read; its text is used up.
int ExtractLoadedFile(const std::string& path, LoadedSource* source, TopicCollection* collection,
                      const FormatModel& model, const ExtractionSettings& settings, SpoolFile* spool,
                      std::ostream& out, ErrorLog& errors);

// Extracts one file's text (already read) as if it were the file `path`.
void ExtractText(const std::string& path, const std::string& text, TopicCollection* collection,
                 const FormatModel& model, const ExtractionSettings& settings, SpoolFile* spool,
                 std::ostream& out, ErrorLog& errors);

}  // namespace folios::docgen

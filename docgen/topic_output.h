// Topic output: writes the document from the format model's texts, expanded
// with the fields of the extracted topics.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <string>
#include <vector>

#include "doc_messages.h"
#include "format_model.h"
#include "topic_collection.h"

namespace folios::docgen {

struct OutputSettings {
  int tab_size = 8;
  bool append = false;   // the [file] "pre" text is not written again
  bool sorted = true;
  bool verbose = false;
  std::string output_name;  // for messages
  // Counts the errors reported while writing; may be null.
  ErrorTally* errors = nullptr;
};

// Writes the whole output to `file`: the [file] "pre" text, every topic of
// the output order, the [file] "post" text. Expansion errors are reported to
// `errors` and writing goes on. Returns 0 or 100 + cause when writing failed.
int WriteOutput(const TopicCollection& collection, const std::vector<size_t>& order, const FormatModel& model,
                const OutputSettings& settings, SpoolFile* spool, std::FILE* file, std::ostream& out,
                ErrorLog& errors);

// A text of a [file] definition expanded without any topic (the trailer
// that append mode looks for in an existing output).
std::string ExpandFileText(const FormatModel& model, const std::string& text);

// The file name of a path with its extension; a bare name is its own file
// name ("geometry.h" gives "geometry.h", "src/a.c" gives "a.c").
std::string FileNamePart(const std::string& path);

// The context-string form of a text (at most 255 characters).
std::string ContextString(std::string_view text);

}  // namespace folios::docgen

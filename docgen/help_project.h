// The help project file written beside help output, and the topic log.
#pragma once

#include <string>

#include "topic_collection.h"

namespace folios::docgen {

// The project path for an output path: its extension replaced by ".HPJ".
std::string HelpProjectPath(const std::string& output_path);

// Writes the help project for `output_path` unless the project file exists
// already (a project the user may have edited is kept). Returns 0 or
// 100 + cause; *project_path gets the path.
int WriteHelpProject(const std::string& output_path, const std::string& generator, std::string* project_path);

// Writes the context string of every extracted topic, in context order, one
// per line (CR LF); appends to an existing log when `append` is set.
// Returns 0 or 100 + cause.
int WriteTopicLog(const TopicCollection& collection, const std::string& log_path, bool append);

}  // namespace folios::docgen

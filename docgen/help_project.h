// The help project file written beside help output, and the topic log.
#pragma once

#include <string>

#include "topic_collection.h"

namespace folios::docgen {

// The project path for an output path: its extension replaced by ".HPJ".
std::string HelpProjectPath(const std::string& output_path);

// The text of the help project for `output_path` (CR LF line ends, as help
// compilers read them): the generator's name, browse buttons, and the
// output's file name under [files].
std::string HelpProjectText(const std::string& output_path, const std::string& generator);

// The context string of every extracted topic, in context order, each
// followed by CR LF.
std::string TopicLogText(const TopicCollection& collection);

}  // namespace folios::docgen

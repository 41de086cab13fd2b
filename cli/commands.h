// The subcommands of folios. Each takes its arguments (without the program
// and command names) and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace folios::cli {

int RunSettingsCommand(const std::vector<std::string>& args);
int RunFilesCommand(const std::vector<std::string>& args);
int RunListingCommand(const std::vector<std::string>& args);
int RunDocCommand(const std::vector<std::string>& given);
int RunReformatCommand(const std::vector<std::string>& args);

}  // namespace folios::cli

// folios: the command line of Lumentra Folios. It gathers files and runs the
// same builds as the desktop program, without a window.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli_support.h"
#include "commands.h"
#include "folios_version.h"
#include "option_words.h"
#include "temp_files.h"

namespace {

using folios::cli::CommandFunction;

struct CommandEntry {
  const char* name;
  CommandFunction run;
  const char* summary;
};

const CommandEntry kCommands[] = {
    {"doc", folios::cli::RunDocCommand, "build a reference document from @-tagged comments"},
    {"files", folios::cli::RunFilesCommand, "show the file list gathered from files, projects, directories"},
    {"listing", folios::cli::RunListingCommand, "write one RTF source listing of the gathered files"},
    {"reformat", folios::cli::RunReformatCommand, "reformat C, C++ and Java files in place (backup FILE.orig)"},
    {"settings", folios::cli::RunSettingsCommand, "list, get, set or reset the stored settings"},
};

void PrintHelp() {
  std::cout << "Usage: folios COMMAND [ARGUMENT...]\n"
               "\n"
               "Turns C, C++, Java and Visual Basic sources into documents.\n"
               "\n"
               "Commands:\n";
  for (const CommandEntry& command : kCommands) {
    std::string name = command.name;
    name.resize(10, ' ');
    std::cout << "  " << name << command.summary << '\n';
  }
  std::cout << "\n'folios COMMAND --help' describes a command. Settings are read from\n"
               "$FOLIOS_CONFIG_DIR (else ~/.config/lumentra-folios).\n";
}

// A command whose output was lost (a full disk, a closed pipe end) has
// failed, whatever it returned.
int CheckStandardOutput(int rc) {
  std::cout.flush();
  errno = 0;
  bool failed = !std::cout;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) failed = true;
  if (!failed) return rc;
  int error = errno;
  std::cerr << "folios: cannot write standard output: " << std::strerror(error ? error : EIO) << '\n';
  return rc == folios::cli::kExitOk ? folios::cli::kExitFailure : rc;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintHelp();
    return folios::cli::kExitUsage;
  }
  // The options of folios itself stand before the command; the command and
  // everything after it are the command's own.
  CLI::App app;
  app.set_help_flag();
  app.prefix_command();
  app.allow_extras();
  const CLI::Option* help = app.add_flag("-h,--help")->disable_flag_override();
  app.add_flag("-V,--version")->disable_flag_override();
  bool parsed = true;
  try {
    app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
  } catch (const CLI::ParseError&) {
    parsed = false;  // such as "--help=yes": no command of ours
  }
  const std::vector<std::string> rest = app.remaining();
  if (parsed && !app.parse_order().empty() && (rest.empty() || rest.front() != args[0])) {
    if (app.parse_order().front() == help) {
      PrintHelp();
    } else {
      std::cout << "folios (Lumentra Folios) " << folios::kVersion << '\n';
    }
    return folios::cli::kExitOk;
  }
  for (const CommandEntry& command : kCommands) {
    if (args[0] == command.name) {
      return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
  }
  std::vector<std::string> names;
  for (const CommandEntry& command : kCommands) names.push_back(command.name);
  std::cerr << "folios: unknown command '" << args[0] << "'\n";
  if (std::string close = folios::cli::ClosestWord(args[0], names); !close.empty()) {
    std::cerr << "Did you mean 'folios " << close << "'?\n";
  }
  std::cerr << "Try 'folios --help'.\n";
  return folios::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  folios::RemoveTemporaryFilesOnSignals();
  return CheckStandardOutput(Run(std::vector<std::string>(argv + 1, argv + argc)));
}

// folios doc: builds the documentation of tagged comments. The arguments are
// the documentation engine's option vector.
#include <iostream>

#include "cli_support.h"
#include "commands.h"
#include "data_files.h"
#include "doc_driver.h"
#include "doc_messages.h"
#include "temp_files.h"
#include "terminal_progress.h"

namespace folios::cli {

namespace {

const char kHelp[] =
    "Usage: folios doc [OPTION...] SOURCE...\n"
    "\n"
    "Builds a reference document (RTF, the RTF source of a help file with its\n"
    "project file, or with -rhtml one HTML page) from @-tagged comments in C, C++\n"
    "and Visual Basic sources. A SOURCE may hold wildcards. The format file is\n"
    "LFX.fmt of the program unless -f names another. '-o -' writes the\n"
    "document to standard output (the verbose text then to standard error).\n"
    "Exit status 1 when a source cannot be read or an error is reported (each\n"
    "names its file and line); a run that can read none of its sources writes\n"
    "nothing and leaves the old document. Ctrl-C, SIGTERM and SIGHUP also leave\n"
    "the old document as it was.\n"
    "\n"
    "Options (one letter after \"-\", any case; the switches a, e, n, u and v\n"
    "may be combined, as in -uv; every argument after -- is a SOURCE):\n"
    "\n";

// The usage error for an option vector the engine refuses, naming the
// argument at fault.
int OptionError(const docgen::DocOptionCheck& check) {
  std::string text = docgen::DocMessage(check.code) + ": '" + check.argument + "'";
  if (check.code == docgen::kErrUnknownOption) {
    text += " (a SOURCE whose name begins with '-' goes after '--')";
  }
  return UsageError("doc", text);
}

}  // namespace

int RunDocCommand(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (IsHelp(arg)) {
      std::cout << kHelp << docgen::DocOptionUsage();
      return kExitOk;
    }
  }
  if (args.empty()) return UsageError("doc", "no SOURCE given");
  // The options are checked before anything is read or written.
  docgen::DocOptions options;
  docgen::DocOptionCheck check = docgen::ParseDocOptions(args, &options);
  if (check.code == docgen::kUsageRequested) {
    std::cout << kHelp << docgen::DocOptionUsage();
    return kExitOk;
  }
  if (check.code) return OptionError(check);
  if (options.sources.empty()) return UsageError("doc", "no SOURCE given");
  if (!options.format_given) options.main_format_file = LocateDataFile("LFX.fmt");
  // The spool and the documents' temporary files go on SIGTERM and SIGINT too.
  RemoveTemporaryFilesOnSignals();
  // A document written to standard output keeps it to itself: the verbose
  // text goes to standard error then.
  std::ostream& messages = options.output_file == "-" ? std::cerr : std::cout;
  TerminalProgress progress;
  int rc = docgen::RunDocBuild(options, &progress, messages, std::cerr, ShippedDataDirectory()).code;
  progress.Finish();
  // Verbose text and "Output file is" that could not be written are a failure.
  std::cout.flush();
  if (!std::cout) {
    PrintMessage("doc: standard output cannot be written");
    return kExitFailure;
  }
  // The options were checked above: any code now means the run ended
  // early, a document could not be written, a source could not be read
  // (the others were documented all the same), or an error was reported.
  return rc == 0 ? kExitOk : kExitFailure;
}

}  // namespace folios::cli

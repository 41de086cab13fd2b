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
    "and Visual Basic sources. Exit status 1 when a source cannot be read.\n"
    "A SOURCE may hold wildcards. The format file is LFX.fmt of the program\n"
    "unless -f names another. Options (one letter after \"-\", any case):\n"
    "\n";

// Letters whose option takes a value (from the same or the next argument).
bool TakesValue(char letter) {
  switch (letter) {
    case 'c': case 'd': case 'f': case 'l': case 'o': case 'r': case 's': case 't': case 'x':
      return true;
    default:
      return false;
  }
}

bool IsUsageCode(int code) {
  return code == docgen::kErrDefineTooLong || code == docgen::kErrOptionValueMissing ||
         code == docgen::kErrTabNotNumber || code == docgen::kErrUnknownOption ||
         (code >= docgen::kErrExprWordTooLong && code <= docgen::kErrExprParen);
}

}  // namespace

int RunDocCommand(const std::vector<std::string>& args) {
  bool has_format = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (IsHelp(args[i])) {
      std::cout << kHelp << docgen::DocOptionUsage();
      return kExitOk;
    }
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') continue;
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(arg[1])));
    if (letter == 'f') has_format = true;
    if (TakesValue(letter) && arg.size() == 2) ++i;
  }
  if (args.empty()) return UsageError("doc", "no SOURCE given");

  // The default format file goes in front, where it cannot become the value
  // of an option left without one at the end.
  std::vector<std::string> argv;
  if (!has_format) {
    argv.push_back("-f");
    argv.push_back(LocateDataFile("LFX.fmt"));
  }
  argv.insert(argv.end(), args.begin(), args.end());
  // The spool and the documents' temporary files go on SIGTERM and SIGINT too.
  RemoveTemporaryFilesOnSignals();
  TerminalProgress progress;
  int rc = docgen::RunDocDriver(argv, &progress, std::cout, std::cerr, ShippedDataDirectory());
  progress.Finish();
  // Verbose text and "Output file is" that could not be written are a failure.
  std::cout.flush();
  if (!std::cout) {
    PrintMessage("doc: standard output cannot be written");
    return kExitFailure;
  }
  if (rc == 0) return kExitOk;
  if (rc == docgen::kUsageRequested) {
    std::cout << kHelp << docgen::DocOptionUsage();
    return kExitOk;
  }
  if (IsUsageCode(rc)) return UsageError("doc", docgen::DocMessage(rc));
  // Any other code: the run ended early, a document could not be written,
  // or a source could not be read (the others were documented all the same).
  return kExitFailure;
}

}  // namespace folios::cli

// folios doc: builds the documentation of tagged comments. The arguments are
// the documentation engine's option vector.
#include <algorithm>
#include <iostream>

#include "cli_support.h"
#include "commands.h"
#include "data_files.h"
#include "doc_driver.h"
#include "doc_messages.h"
#include "input_files.h"
#include "option_parser.h"
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
    "Options the other commands share (before any --):\n"
    "\n"
    "  -q, --quiet       print nothing but errors (no progress, no verbose text)\n"
    "  --files-from FILE also document the SOURCEs named in FILE, one a line\n"
    "                    ('-': standard input)\n"
    "  -0, --null        names in --files-from lists end with NUL, not a line end\n"
    "  --settings FILE   take project settings from FILE\n"
    "  --no-project-settings  ignore .folios.ini files (else the one found from\n"
    "                    the first SOURCE's directory up applies)\n"
    "\n"
    "Options (one letter after \"-\", any case; the switches a, e, n, u and v\n"
    "may be combined, as in -uv; every argument after -- is a SOURCE):\n"
    "\n";

// Takes the options every command shares out of `args`, leaving the
// documentation engine's own (and the value that follows a letter option
// that takes one) in place, with "--" and what follows it.
int TakeCommonOptions(const std::vector<std::string>& args, CommonOptions* common, std::vector<std::string>* rest,
                      bool* help) {
  OptionParser parser("doc");
  for (const char letter : std::string("cdflorstxCDFLORSTX")) parser.PassThrough(std::string("-") + letter, true);
  AddCommonOptions(&parser, common);
  parser.UnknownOptionsAreOperands();
  bool marked = false;
  parser.Operands([&](const std::string& arg, bool after_options) {
    if (after_options && !marked) rest->push_back("--");
    marked = marked || after_options;
    rest->push_back(arg);
    return std::string();
  });
  int rc = parser.Parse(args);
  *help = parser.help_asked();
  // "--" at the end still ends the options the engine reads.
  if (rc == kExitOk && !marked && parser.options_ended()) rest->push_back("--");
  return rc;
}

// The first SOURCE of an option vector: the first argument that is no
// option nor an option's value.
std::string FirstSource(const std::vector<std::string>& args) {
  bool operands = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!operands && arg == "--") {
      operands = true;
      continue;
    }
    if (!operands && arg.size() >= 2 && arg[0] == '-') {
      if (arg.size() == 2 && std::string("cdflorstxCDFLORSTX").find(arg[1]) != std::string::npos) ++i;
      continue;
    }
    return arg;
  }
  return std::string();
}

int OptionError(const docgen::DocOptionCheck& check) {
  std::string text = docgen::DocMessage(check.code) + ": '" + check.argument + "'";
  if (check.code == docgen::kErrUnknownOption) {
    text += " (a SOURCE whose name begins with '-' goes after '--')";
  }
  return UsageError("doc", text);
}

}  // namespace

int RunDocCommand(const std::vector<std::string>& given) {
  CommonOptions common;
  std::vector<std::string> args;
  bool help = false;
  if (int rc = TakeCommonOptions(given, &common, &args, &help); rc != kExitOk) return rc;
  if (help) {
    std::cout << kHelp << docgen::DocOptionUsage();
    return kExitOk;
  }
  std::vector<std::string> listed;
  if (!ReadFileLists(common, &listed)) return kExitFailure;
  if (!listed.empty()) {
    // Named in a list, a SOURCE is never an option.
    if (std::find(args.begin(), args.end(), "--") == args.end()) args.push_back("--");
    args.insert(args.end(), listed.begin(), listed.end());
  }
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
  if (!UseProjectSettingsFor(common, FirstSource(args))) return kExitFailure;
  if (!options.format_given) options.main_format_file = LocateDataFile("LFX.fmt");
  // The spool and the documents' temporary files go on SIGTERM and SIGINT too.
  RemoveTemporaryFilesOnSignals();
  // A document written to standard output keeps it to itself: the verbose
  // text goes to standard error then.
  std::ostream silent(nullptr);
  std::ostream& messages = Quiet() ? silent : options.output_file == "-" ? std::cerr : std::cout;
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

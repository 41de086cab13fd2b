// folios reformat: the beautifier over files (each backed up to FILE.orig
// first), or from standard input to standard output.
#include <cstdio>
#include <iostream>

#include "beautifier_options.h"
#include "cli_support.h"
#include "commands.h"
#include "input_files.h"
#include "named_styles.h"
#include "ordered_jobs.h"
#include "reformat_build.h"
#include "reformat_file.h"
#include "terminal_progress.h"

namespace folios::cli {

namespace {

const char kHelp[] =
    "Usage: folios reformat [-j N] [--style NAME] [--set NAME=VALUE ...] [--types LIST] FILE...\n"
    "       folios reformat [--style NAME] [--set NAME=VALUE ...] - | --stdout\n"
    "\n"
    "Re-indents C, C++ and Java files, places braces, aligns comments and\n"
    "spaces functions, with the beautifier settings (m_empty_lines,\n"
    "m_indent_with_tabs, m_spaces_to_indent, m_c_with_code, m_c_without_code,\n"
    "m_brace_style, m_remove_comments). Files with the extension cpp, h, c or\n"
    "java are formatted, each once however often it is named; any other file\n"
    "is reported and passed over. A file that formatting leaves as it is, is\n"
    "not written. Otherwise its old content is kept in FILE.orig and the new\n"
    "content replaces it, keeping its permissions and owner; a symbolic link\n"
    "stays a link and the file it leads to is formatted. A FILE may also be a\n"
    "project or a directory, gathered as 'folios files' does. A file that\n"
    "cannot be read, written, backed up or formatted (a read-only file, a\n"
    "binary file) is left exactly as it was, and the exit status is 1.\n"
    "\n"
    "  -j N, --jobs N    format N files at once (default: one per processor\n"
    "                    core, at most 32); reports still follow the list\n"
    "  --style NAME      use the layout settings of a named style in this run:\n"
    "                    classic (the defaults), kr, allman, java, linux, gnu or\n"
    "                    google; --set overrides single settings of it\n"
    "  --set NAME=VALUE  use VALUE for the setting NAME in this run only\n"
    "  --                every argument after it is a FILE, even '-' or one that\n"
    "                    begins with '-'\n"
    "  -, --stdout       format standard input to standard output; no file is\n"
    "                    touched and no report is printed. A text that cannot\n"
    "                    be formatted without changing its program is written\n"
    "                    out as it came in, and the exit status is 1\n";

// A job count from the command line: a whole number from 1 up. Counts above
// kMaxJobs are lowered to it, with a warning.
bool ParseJobs(const std::string& text, int* jobs) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  int n = std::stoi(text);
  if (n < 1) return false;
  if (n > kMaxJobs) {
    PrintMessage("warning: -j " + text + " is more than " + std::to_string(kMaxJobs) + ": " +
                 std::to_string(kMaxJobs) + " files are formatted at once");
    n = kMaxJobs;
  }
  *jobs = n;
  return true;
}

// Standard input is kept in a temporary file so the formatted text can be
// checked against it before anything is written: a text whose program
// formatting would change, or that cannot be formatted, comes out as it
// went in. Memory stays flat however long it is.
int FormatStandardInput() {
  std::string why;
  int rc = ReformatStream(stdin, stdout, LoadFormatSettings(), "-.c", &why, std::cerr);
  if (rc != kReformatOk) {
    // A failed write to standard output is reported once the command ends.
    if (why.rfind("cannot write standard output", 0) != 0) {
      PrintMessage(why.rfind("cannot read", 0) == 0 || why.rfind("cannot make", 0) == 0
                       ? why
                       : "cannot reformat standard input: " + why + "; it was written out as it was");
    }
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int RunReformatCommand(const std::vector<std::string>& args) {
  InputOptions options;
  std::vector<std::string> paths;
  bool from_stdin = false;
  int jobs = DefaultJobCount();
  bool operands_only = false;
  const NamedStyle* style = nullptr;
  std::vector<std::string> assignments;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (TakeOperandAfterOptions(arg, &operands_only, &paths)) continue;
    if (IsHelp(arg)) {
      std::cout << kHelp;
      return kExitOk;
    }
    if (arg == "-" || arg == "--stdout") {
      from_stdin = true;
      continue;
    }
    if (arg == "-j" || arg == "--jobs" || (arg.rfind("-j", 0) == 0 && arg.size() > 2 && arg[2] != '-') ||
        arg.rfind("--jobs=", 0) == 0) {
      std::string value;
      if (arg == "-j" || arg == "--jobs") {
        if (i + 1 >= args.size()) return UsageError("reformat", arg + " needs a number of jobs");
        value = args[++i];
      } else {
        value = arg.substr(arg[1] == 'j' ? 2 : 7);
      }
      if (!ParseJobs(value, &jobs)) return UsageError("reformat", "-j takes a number from 1 up, got '" + value + "'");
      continue;
    }
    if (arg == "--set" || arg.rfind("--set=", 0) == 0) {
      std::string assignment;
      if (arg == "--set") {
        if (i + 1 >= args.size()) return UsageError("reformat", "--set needs NAME=VALUE");
        assignment = args[++i];
      } else {
        assignment = arg.substr(6);
      }
      assignments.push_back(assignment);
      continue;
    }
    if (arg == "--style" || arg.rfind("--style=", 0) == 0) {
      if (arg == "--style" && i + 1 >= args.size()) return UsageError("reformat", "--style needs a NAME");
      std::string name = arg == "--style" ? args[++i] : arg.substr(8);
      style = FindNamedStyle(name);
      if (!style) {
        return UsageError("reformat", "unknown style '" + name + "' (" + std::string(NamedStyleList()) + ")");
      }
      continue;
    }
    int consumed = ParseInputOption(args, i, &options, "reformat");
    if (consumed < 0) return kExitUsage;
    if (consumed > 0) {
      i += static_cast<size_t>(consumed) - 1;
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') return UsageError("reformat", "unknown option '" + arg + "'");
    paths.push_back(arg);
  }
  // The style first, so that --set overrides it whatever the order.
  if (style) {
    for (const auto& [name, value] : style->values) {
      std::string ignored;
      ApplySettingOverride(std::string(name) + "=" + value, &ignored);
    }
  }
  for (const std::string& assignment : assignments) {
    std::string error;
    if (!ApplySettingOverride(assignment, &error)) return UsageError("reformat", error);
  }
  // Values the option page would not allow are clamped; say so.
  std::vector<std::string> warnings;
  LoadBeautifierOptions(&warnings);
  for (const std::string& warning : warnings) PrintMessage("warning: " + warning);
  if (from_stdin) {
    if (!paths.empty()) return UsageError("reformat", "'-' formats standard input; give no FILE with it");
    return FormatStandardInput();
  }
  if (paths.empty()) return UsageError("reformat", "no FILE given");

  CProjectFile files;
  bool ok = GatherInputs(paths, options, &files);
  std::vector<std::string> list = DisplayOrderPaths(files);
  ReformatBuildResult result;
  {
    TerminalProgress progress;
    result = RunReformatBuild(list, &progress, std::cout, std::cerr, jobs);
  }
  std::cout.flush();
  for (const std::string& path : result.passed_over_paths) {
    PrintError("passed over", path, "only .c, .cpp, .h and .java files are formatted");
  }
  for (const ReformatFailure& failure : result.failures) {
    PrintError("cannot reformat", failure.path, failure.reason);
  }
  return ok && result.ok() && std::cout ? kExitOk : kExitFailure;
}

}  // namespace folios::cli

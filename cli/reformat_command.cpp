// folios reformat: the beautifier over files (written in place, or checked
// and shown as a diff without writing), or from standard input to standard
// output.
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

#include "beautifier_options.h"
#include "cli_support.h"
#include "commands.h"
#include "format_check.h"
#include "input_files.h"
#include "line_diff.h"
#include "named_styles.h"
#include "option_parser.h"
#include "ordered_jobs.h"
#include "paths.h"
#include "reformat_build.h"
#include "reformat_file.h"
#include "registry.h"
#include "setting_names.h"
#include "settings_table.h"
#include "terminal_progress.h"

namespace folios::cli {

namespace {

const char kHelp[] =
    "Usage: folios reformat [OPTION...] FILE...\n"
    "       folios reformat [OPTION...] - [--assume-filename NAME]\n"
    "\n"
    "Re-indents C, C++ and Java files, places braces, aligns comments and\n"
    "spaces functions, with the beautifier settings (m_empty_lines,\n"
    "m_indent_with_tabs, m_spaces_to_indent, m_c_with_code, m_c_without_code,\n"
    "m_brace_style, m_remove_comments). Files with the extension c, cpp, cc,\n"
    "cxx, c++, cp, h, hpp, hh, hxx, h++, inl, ipp, tcc (C and C++) or java, in\n"
    "any case, are formatted, each once however often it is named; any other\n"
    "file is reported and passed over. A file that formatting leaves as it is,\n"
    "is not written. Otherwise its old content is kept in FILE.orig and the new\n"
    "content replaces it, with the line ends most of its lines had (LF, CR LF\n"
    "or CR), keeping its permissions and owner; a symbolic link stays a link\n"
    "and the file it leads to is formatted. A FILE may also be a project or a\n"
    "directory, gathered as 'folios files' does. A file that cannot be read,\n"
    "written, backed up or formatted (a read-only file, a binary file, a text\n"
    "whose program formatting would change) is left exactly as it was, and the\n"
    "exit status is 1. Nothing is printed for a file but errors, unless asked.\n"
    "\n"
    "  --check           write nothing; name on standard error each file that\n"
    "                    formatting would change (FILE: would be reformatted);\n"
    "                    exit status 1 when any would, or cannot be formatted\n"
    "  --diff            write nothing; print a unified diff (a/FILE, b/FILE) of\n"
    "                    what formatting would change; exit status as --check\n"
    "  -v, --verbose     one line per file: FILE: reformatted, FILE: unchanged\n"
    "  --report          print the settings report and progress text of the\n"
    "                    formatter for every file\n"
    "  -q, --quiet       print nothing but errors (no warnings, no progress)\n"
    "  --backup=orig|none  keep the old content of a changed file in FILE.orig\n"
    "                    (default), or keep no copy\n"
    "  --suffix=SUF      keep the old content in FILE followed by SUF; the\n"
    "                    setting m_backup_suffix gives the default (.orig; empty:\n"
    "                    no copy)\n"
    "  -j N, --jobs N    format N files at once (default: one per processor\n"
    "                    core, at most 32); output still follows the list\n"
    "  --style NAME      use the layout settings of a named style in this run:\n"
    "                    classic (the defaults), kr, allman, java, linux, gnu or\n"
    "                    google; --set overrides single settings of it\n"
    "  --set NAME=VALUE  use VALUE for the setting NAME in this run only\n"
    "  --settings FILE   take project settings from FILE for every file\n"
    "  --no-project-settings  ignore .folios.ini files\n"
    "  --files-from FILE also format the files named in FILE, one a line ('-':\n"
    "                    standard input)\n"
    "  -0, --null        names in --files-from lists end with NUL, not a line\n"
    "                    end (as git ls-files -z and find -print0 write them)\n"
    "  --types LIST      file types searched in directories (see 'folios files')\n"
    "  --subfolders, --no-subfolders  search subdirectories too, or not\n"
    "  --                every argument after it is a FILE, even '-' or one that\n"
    "                    begins with '-'\n"
    "  -, --stdout       format standard input to standard output; no file is\n"
    "                    touched. A text that cannot be formatted without\n"
    "                    changing its program is written out as it came in, and\n"
    "                    the exit status is 1. With --check or --diff nothing\n"
    "                    but the verdict or the diff is written\n"
    "  --assume-filename NAME  format standard input as the file NAME: its\n"
    "                    extension gives the language (default C++), its\n"
    "                    directory the project settings\n"
    "\n"
    "Project settings: a file named .folios.ini, in the settings store's format,\n"
    "found in a file's directory or the nearest one above it, applies to that\n"
    "file over the user's settings; --set goes over both.\n";

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

struct Request {
  CommonOptions common;
  InputOptions inputs;
  std::vector<std::string> paths;
  bool from_stdin = false;
  bool check = false;
  bool diff = false;
  bool verbose = false;
  bool report = false;
  std::optional<bool> backup;          // --backup=orig|none
  std::optional<std::string> suffix;  // --suffix
  int jobs = DefaultJobCount();
};

// What one project's files are formatted with.
struct ProjectChoice {
  FormatSettings settings;
  std::string backup_suffix;
};

// The settings and backup of every file, by the project settings that
// apply to it, each project's read once. False after printing the error
// when a project file cannot be read.
class Choices {
 public:
  explicit Choices(const Request& request)
      : request_(request), finder_(MakeProjectSettingsFinder(request.common)) {}

  bool Prepare(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      std::shared_ptr<const ProjectSettings> project;
      Status status = finder_.For(path, &project);
      if (!status.ok()) {
        PrintProjectSettingsError(finder_.last_path(), status);
        return false;
      }
      const ProjectChoice* choice = Get(project.get());
      if (!choice) return false;
      by_path_[path] = choice;
    }
    return true;
  }

  // For standard input formatted as if it were in `directory`.
  const ProjectChoice* ForDirectory(const std::string& directory) {
    std::shared_ptr<const ProjectSettings> project;
    Status status = finder_.ForDirectory(directory, &project);
    if (!status.ok()) {
      PrintProjectSettingsError(finder_.last_path(), status);
      return nullptr;
    }
    return Get(project.get());
  }

  const ProjectChoice* For(const std::string& path) const {
    auto found = by_path_.find(path);
    return found == by_path_.end() ? nullptr : found->second;
  }

 private:
  const ProjectChoice* Get(const ProjectSettings* project) {
    const std::string key = project ? project->path : std::string();
    auto found = choices_.find(key);
    if (found != choices_.end()) return found->second.get();
    ScopedProjectLayer layer(project);
    auto choice = std::make_unique<ProjectChoice>();
    std::vector<std::string> warnings;
    choice->settings = LoadFormatSettings(&warnings);
    for (const std::string& warning : warnings) PrintMessage("warning: " + warning);
    std::string suffix = Settings(SettingKey::kMain).Text(setting_name::kBackupSuffix);
    if (request_.suffix) suffix = *request_.suffix;
    if (request_.backup == false) suffix.clear();
    if (request_.backup == true && suffix.empty()) suffix = ".orig";
    if (suffix.find('/') != std::string::npos) {
      // A backup elsewhere than beside its file is no backup this command makes.
      PrintError(project ? "project settings" : "settings", project ? project->path : CRegistry::StoreFile(),
                 "m_backup_suffix '" + suffix + "' must not hold '/'");
      return nullptr;
    }
    choice->backup_suffix = suffix;
    return choices_.emplace(key, std::move(choice)).first->second.get();
  }

  const Request& request_;
  ProjectSettingsFinder finder_;
  std::map<std::string, std::unique_ptr<ProjectChoice>> choices_;  // by project file
  std::map<std::string, const ProjectChoice*> by_path_;
};

void PrintDiff(const std::string& shown, const std::string& before, const std::string& after) {
  std::cout << UnifiedDiff(before, after, "a/" + shown, "b/" + shown);
}

// With --check or --diff standard input is held whole, since both texts are
// compared. Otherwise it passes through temporary files, so the formatted
// text can be checked against it before anything is written while memory
// stays flat however long it is: a text whose program formatting would
// change, or that cannot be formatted, comes out as it went in.
int FormatStandardInput(const Request& request, Choices* choices) {
  const std::string name = request.common.assume_filename.value_or("-");
  // Without a name the text is C++, as a file ending in .cpp would be.
  const std::string language_name = request.common.assume_filename ? name : "standard-input.cpp";
  std::string directory = ".";
  if (request.common.assume_filename) directory = Directory(AbsolutePath(name));
  const ProjectChoice* choice = choices->ForDirectory(AbsolutePath(directory));
  if (!choice) return kExitFailure;  // said why

  if (!request.check && !request.diff) {
    std::string why;
    int rc = ReformatStream(stdin, stdout, choice->settings, language_name, &why, std::cerr);
    if (rc == kReformatOk) return kExitOk;
    // A failed write to standard output is reported once the command ends.
    if (why.rfind("cannot write standard output", 0) != 0) {
      PrintMessage(why.rfind("cannot read", 0) == 0 || why.rfind("cannot make", 0) == 0
                       ? why
                       : "cannot reformat standard input: " + why + "; it was written out as it was");
    }
    return kExitFailure;
  }
  std::string source;
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) source.append(chunk, got);
  if (std::ferror(stdin)) {
    PrintMessage("cannot read standard input");
    return kExitFailure;
  }
  FormatCheck check = CheckFormatText(language_name, source, choice->settings, /*keep_line_ends=*/true);
  if (check.state == FormatCheck::State::kFailed) {
    PrintError("cannot reformat", name, check.reason);
    return kExitFailure;
  }
  const bool changes = check.state == FormatCheck::State::kWouldChange;
  if (changes && request.check) std::cerr << name << ": would be reformatted\n";
  if (changes && request.diff) PrintDiff(name, check.content, check.formatted);
  return changes ? kExitFailure : kExitOk;
}

void PrintPassedOver(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    PrintError("passed over", path, "only C, C++ and Java files are formatted");
  }
}

int CheckFiles(const Request& request, const std::vector<std::string>& list, const Choices& choices, bool gathered) {
  FormatCheckOptions options;
  options.jobs = request.jobs;
  options.keep_line_ends = true;
  options.settings_for = [&](const std::string& path) -> const FormatSettings* {
    const ProjectChoice* choice = choices.For(path);
    return choice ? &choice->settings : nullptr;
  };
  FormatCheckResult result = RunFormatCheck(list, options, [&](const FormatCheck& check) {
    const std::string shown = ShownPath(check.path);
    switch (check.state) {
      case FormatCheck::State::kFailed:
        PrintError("cannot reformat", check.path, check.reason);
        break;
      case FormatCheck::State::kWouldChange:
        if (request.check) std::cerr << shown << ": would be reformatted\n";
        if (request.diff) PrintDiff(shown, check.content, check.formatted);
        break;
      case FormatCheck::State::kFormatted:
        if (request.verbose) std::cerr << shown << ": formatted\n";
        break;
    }
  });
  std::cout.flush();
  PrintPassedOver(result.passed_over_paths);
  return gathered && result.clean() && std::cout ? kExitOk : kExitFailure;
}

int WriteFiles(const Request& request, const std::vector<std::string>& list, const Choices& choices, bool gathered) {
  ReformatBuildOptions options;
  options.keep_line_ends = true;
  options.choose = [&](const std::string& path) {
    ReformatChoice choice;
    if (const ProjectChoice* project = choices.For(path)) {
      choice.settings = &project->settings;
      choice.backup_suffix = project->backup_suffix;
    }
    return choice;
  };
  if (request.verbose) {
    options.done = [](const std::string& path, const ReformatFileResult& result) {
      if (result.code != kReformatOk) return;
      std::cout << ShownPath(path) << (result.unchanged ? ": unchanged\n" : ": reformatted\n");
    };
  }
  std::ostream silent(nullptr);
  ReformatBuildResult result;
  {
    TerminalProgress progress;
    result = RunReformatBuild(list, &progress, request.report ? std::cout : silent, std::cerr, request.jobs, options);
  }
  std::cout.flush();
  PrintPassedOver(result.passed_over_paths);
  for (const ReformatFailure& failure : result.failures) {
    PrintError("cannot reformat", failure.path, failure.reason);
  }
  return gathered && result.ok() && std::cout ? kExitOk : kExitFailure;
}

}  // namespace

int RunReformatCommand(const std::vector<std::string>& args) {
  Request request;
  // The option table; an ambiguous beginning lists its choices in this order.
  OptionParser options("reformat");
  auto set = [](bool* target) { return [target] { *target = true; }; };
  options.Flag("--check", set(&request.check));
  options.Flag("--diff", set(&request.diff));
  options.Flag("-v,--verbose", set(&request.verbose));
  options.Flag("--report", set(&request.report));
  options.Value("--backup", "", [&](const std::string& value) {
    if (value != "orig" && value != "none") return "--backup takes orig or none, got '" + value + "'";
    request.backup = value == "orig";
    return std::string();
  });
  options.Value("--suffix", "a suffix", [&](const std::string& value) {
    if (value.empty() || value.find('/') != std::string::npos) {
      return "--suffix needs a suffix without '/', got '" + value + "'";
    }
    request.suffix = value;
    return std::string();
  });
  options.Value("-j,--jobs", "a number of jobs", [&](const std::string& value) {
    if (!ParseJobs(value, &request.jobs)) return "-j takes a number from 1 up, got '" + value + "'";
    return std::string();
  });
  // A style's settings are applied before every --set, whatever the order.
  const NamedStyle* style = nullptr;
  std::vector<std::string> assignments;
  options.Value("--set", "NAME=VALUE", [&](const std::string& assignment) {
    assignments.push_back(assignment);
    return std::string();
  });
  options.Value("--style", "a style NAME", [&](const std::string& name) {
    style = FindNamedStyle(name);
    if (!style) return "unknown style '" + name + "' (" + std::string(NamedStyleList()) + ")";
    return std::string();
  });
  AddInputOptions(&options, &request.inputs);
  options.Flag("--stdout", set(&request.from_stdin));
  AddCommonOptions(&options, &request.common, /*assume_filename=*/true);
  options.Operands([&](const std::string& operand, bool after_options) {
    if (operand == "-" && !after_options) {
      request.from_stdin = true;
    } else {
      request.paths.push_back(operand);
    }
    return std::string();
  });
  if (int rc = options.Parse(args); rc != kExitOk) return rc;
  if (options.help_asked()) {
    std::cout << kHelp;
    return kExitOk;
  }
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
  if (request.backup == false && request.suffix) {
    return UsageError("reformat", "--suffix names a backup, and --backup=none asks for none");
  }
  if ((request.check || request.diff) && request.report) {
    return UsageError("reformat", "--report describes files being written; --check and --diff write none");
  }
  Choices choices(request);
  if (request.from_stdin) {
    if (!request.paths.empty() || !request.common.files_from.empty()) {
      return UsageError("reformat", "'-' formats standard input; give no FILE with it");
    }
    return FormatStandardInput(request, &choices);
  }
  if (request.common.assume_filename) {
    return UsageError("reformat", "--assume-filename names standard input; give '-' with it");
  }
  if (!ReadFileLists(request.common, &request.paths)) return kExitFailure;
  if (request.paths.empty()) {
    if (!request.common.files_from.empty()) return kExitOk;  // an empty list asks for nothing
    return UsageError("reformat", "no FILE given");
  }

  CProjectFile files;
  bool gathered = GatherInputs(request.paths, request.inputs, &files);
  std::vector<std::string> list = DisplayOrderPaths(files);
  std::vector<std::string> formattable;
  for (const std::string& path : list) {
    if (IsReformattable(path)) formattable.push_back(path);
  }
  // Every project file is read before any source is touched: a bad one
  // stops the run with nothing written.
  if (!choices.Prepare(formattable)) return kExitFailure;
  if (request.check || request.diff) return CheckFiles(request, list, choices, gathered);
  return WriteFiles(request, list, choices, gathered);
}

}  // namespace folios::cli

// folios listing: one source listing of every gathered file, as an RTF
// document or a web page.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>

#include "cli_support.h"
#include "commands.h"
#include "input_files.h"
#include "listing_build.h"
#include "option_parser.h"
#include "paths.h"
#include "status.h"
#include "temp_files.h"
#include "terminal_progress.h"
#include "preformat_for_listing.h"

namespace folios::cli {

namespace {

const char kHelp[] =
    "Usage: folios listing [-o OUT.rtf|OUT.html] [--format rtf|html] [-q]\n"
    "                      [--set NAME=VALUE]... [--types LIST]\n"
    "                      [--subfolders | --no-subfolders] INPUT...\n"
    "\n"
    "Writes one source listing of every file gathered from the INPUTs, in the\n"
    "order given (a project's files in its order, a directory's files by type,\n"
    "then by name): each file under a header with its path, keywords and\n"
    "comments styled, laid out as the listing settings say. An INPUT is a source\n"
    "file, a project (.dsp or .vbp) whose files are taken, or a directory that\n"
    "is searched; a symbolic link to a directory inside it is not followed.\n"
    "\n"
    "  -o, --output OUT  the document to write; '-' writes to standard output.\n"
    "                    Default: the name of the last INPUT without its\n"
    "                    extension, plus \".rtf\" or \".html\", in the current\n"
    "                    directory (samples/ gives samples.rtf, ringbuf.dsp\n"
    "                    ringbuf.rtf)\n"
    "  --format FORMAT   rtf: an RTF document; html: one self-contained web page\n"
    "                    (UTF-8 HTML, no other files). Default: html when OUT\n"
    "                    ends in .html or .htm, rtf when it ends in .rtf, else\n"
    "                    the setting m_output_type (0 rtf, 1 html)\n"
    "  --set NAME=VALUE  use VALUE for setting NAME in this run only, without\n"
    "                    storing it (repeatable; 'folios settings list' shows\n"
    "                    the names), e.g. --set m_uselinenumbers=0\n"
    "  --types LIST      file types searched in directories, comma-separated from\n"
    "                    cpp (*.cpp, *.c), h (*.hpp, *.h), java, frm, bas, cls;\n"
    "                    default: the types chosen in the last search (settings)\n"
    "  --subfolders      search subdirectories too (default: as last time)\n"
    "  --no-subfolders   search only the named directory\n"
    "  --files-from FILE also list the INPUTs named in FILE, one a line ('-':\n"
    "                    standard input)\n"
    "  -0, --null        names in --files-from lists end with NUL, not a line end\n"
    "  --settings FILE   take project settings from FILE\n"
    "  --no-project-settings  ignore .folios.ini files\n"
    "  -q, --quiet       print nothing but errors (no warnings, no progress)\n"
    "  -                 an INPUT read from standard input, listed as C++ under\n"
    "                    the name '-'\n"
    "  --assume-filename NAME  list standard input as the file NAME: its header\n"
    "                    shows NAME, its extension gives the language\n"
    "  --                every argument after it is an INPUT, even one that\n"
    "                    begins with '-'\n"
    "\n"
    "Project settings: the .folios.ini file found in the directory of the first\n"
    "file listed, or the nearest one above it, applies over the user's settings\n"
    "for the whole document; --set goes over both.\n"
    "\n"
    "The document is replaced only when the build is complete: Ctrl-C (SIGINT),\n"
    "SIGTERM or SIGHUP stop the build and leave the old document as it was,\n"
    "with no temporary file behind (exit status 130, 143, 129). A file that\n"
    "cannot be read, or that holds NUL bytes (a binary file), is listed with a\n"
    "line saying so, and the exit status is 1. No source file is written, and\n"
    "no FILE.orig backup is made.\n";

// The signal that stops the build (SIGINT, SIGTERM or SIGHUP), 0 while none
// came. The build stops as Cancel stops it, then the document is dropped,
// so that the temporary files go and the old document stays.
volatile sig_atomic_t g_stop_signal = 0;
volatile sig_atomic_t g_cancel_pending = 0;

void OnStop(int signal_number) {
  g_stop_signal = signal_number;
  g_cancel_pending = 1;
  // A build waiting on a slow source (a pipe) sees the flag only after its
  // next line; a signal that came just before the wait began would never
  // end it. An alarm each second interrupts such a wait.
  alarm(1);
}
void OnAlarm(int) {
  if (g_stop_signal) alarm(1);
}

// A terminal progress bar whose cancel is a stopping signal.
class ListingProgress : public TerminalProgress {
 protected:
  void ProcessPendingEvents() override {
    if (g_cancel_pending) {
      g_cancel_pending = 0;
      RequestCancel();
    }
  }
};

class PrintedWarnings : public KeywordWarningSink {
 public:
  void Warn(const std::string& message) override {
    std::cerr << "folios: warning: " << message << '\n';
  }
};

// Standard input kept whole in a temporary file under a given name (its
// extension tells the listing the language), removed when this goes.
class StandardInputCopy {
 public:
  StandardInputCopy() = default;
  StandardInputCopy(const StandardInputCopy&) = delete;
  StandardInputCopy& operator=(const StandardInputCopy&) = delete;
  ~StandardInputCopy() {
    if (!path_.empty()) {
      ::unlink(path_.c_str());
      ForgetTemporaryFile(path_);
    }
    if (!dir_.empty()) ::rmdir(dir_.c_str());
  }

  Status Keep(const std::string& name) {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/folios-stdin-XXXXXX";
    if (!mkdtemp(pattern.data())) return Status::Error(ErrnoMessage(errno));
    dir_ = pattern;
    {
      TemporaryFileSignalsHeld held;
      path_ = dir_ + "/" + name;
      RegisterTemporaryFile(path_);
    }
    std::FILE* out = std::fopen(path_.c_str(), "wb");
    if (!out) return Status::Error(ErrnoMessage(errno));
    char chunk[1 << 16];
    size_t got;
    bool ok = true;
    while (ok && (got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) ok = std::fwrite(chunk, 1, got, out) == got;
    ok = ok && !std::ferror(stdin);
    if (std::fclose(out) != 0) ok = false;
    return ok ? Status::OK() : Status::Error("cannot read standard input");
  }

  const std::string& path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

// The project name of the last input (its file name without extension).
std::string DefaultOutputName(const std::string& input, ListingFormat format) {
  std::string name = FileName(AbsolutePath(input));
  std::string ext = Extension(name);
  if (!ext.empty()) name.resize(name.size() - ext.size() - 1);
  if (name.empty()) name = "listing";
  return name + ListingFormatExtension(format);
}

bool ParseFormat(const std::string& value, std::optional<ListingFormat>* format) {
  if (value == "rtf") {
    *format = ListingFormat::kRtf;
  } else if (value == "html") {
    *format = ListingFormat::kHtml;
  } else {
    return false;
  }
  return true;
}

}  // namespace

int RunListingCommand(const std::vector<std::string>& args) {
  InputOptions options;
  CommonOptions common;
  std::optional<size_t> stdin_at;  // where '-' stands among the INPUTs
  std::vector<std::string> inputs;
  std::string output;
  std::optional<ListingFormat> format;
  OptionParser parser("listing");
  parser.Value("-o,--output", "a value", [&](const std::string& value) {
    output = value;
    return std::string();
  });
  parser.Value("--format", "a value", [&](const std::string& value) {
    if (!ParseFormat(value, &format)) return "--format must be rtf or html, not '" + value + "'";
    return std::string();
  });
  parser.Value("--set", "a value", [](const std::string& assignment) {
    std::string error;
    ApplySettingOverride(assignment, &error);
    return error;
  });
  AddInputOptions(&parser, &options);
  AddCommonOptions(&parser, &common, /*assume_filename=*/true);
  parser.Operands([&](const std::string& operand, bool after_options) {
    if (operand == "-" && !after_options) {
      if (stdin_at) return std::string("'-' may be given once");
      stdin_at = inputs.size();
    }
    inputs.push_back(operand);
    return std::string();
  });
  if (int rc = parser.Parse(args); rc != kExitOk) return rc;
  if (parser.help_asked()) {
    std::cout << kHelp;
    return kExitOk;
  }
  if (common.assume_filename && !stdin_at) {
    return UsageError("listing", "--assume-filename names standard input; give '-' with it");
  }
  if (stdin_at && std::find(common.files_from.begin(), common.files_from.end(), "-") != common.files_from.end()) {
    return UsageError("listing", "standard input cannot be both an INPUT and a list of names");
  }
  if (!ReadFileLists(common, &inputs)) return kExitFailure;
  if (inputs.empty()) return UsageError("listing", "no INPUT given");
  // Standard input is listed under the name it is given (else "-", as C++).
  const std::string stdin_name = common.assume_filename.value_or("-");
  if (stdin_at) inputs[*stdin_at] = stdin_name;
  if (!UseProjectSettingsFor(common, stdin_at && *stdin_at == 0 && !common.assume_filename ? "." : inputs.front())) {
    return kExitFailure;
  }
  // An explicit --format wins, then the output's extension, then the setting
  // (read after the --set overrides).
  if (!format) {
    format = output.empty() || output == "-" ? StoredListingFormat() : ListingFormatForOutput(output);
  }
  if (output.empty()) {
    const bool last_is_stdin = stdin_at && *stdin_at + 1 == inputs.size();
    output = DefaultOutputName(last_is_stdin && !common.assume_filename ? "stdin" : inputs.back(), *format);
  }

  // The INPUTs before and after standard input are gathered apart, so that
  // it is listed where it was named.
  std::vector<std::string> paths;
  bool gathered = true;
  std::optional<StandardInputCopy> copy;
  std::map<std::string, std::string> read_from;
  for (int part = 0; part < 2; ++part) {
    size_t begin = part == 0 ? 0 : stdin_at.value_or(inputs.size()) + 1;
    size_t end = part == 0 ? stdin_at.value_or(inputs.size()) : inputs.size();
    if (begin < end) {
      CProjectFile files;
      gathered &= GatherInputs({inputs.begin() + static_cast<long>(begin), inputs.begin() + static_cast<long>(end)},
                               options, &files);
      std::vector<std::string> found = DisplayOrderPaths(files);
      paths.insert(paths.end(), found.begin(), found.end());
    }
    if (part == 0 && stdin_at) {
      copy.emplace();
      Status kept = copy->Keep(stdin_name == "-" ? "stdin.cpp" : FileName(stdin_name));
      if (!kept.ok()) {
        PrintMessage("cannot keep standard input: " + kept.message());
        return kExitFailure;
      }
      paths.push_back(stdin_name);
      read_from[stdin_name] = copy->path();
    }
  }
  if (paths.empty()) {
    PrintMessage("no source files to list");
    return kExitFailure;
  }

  ListingProgress progress;
  PrintedWarnings warnings;
  ListingBuildOptions build;
  build.format = *format;
  build.progress = &progress;
  build.warnings = &warnings;
  build.preformat = PreformatForListing;
  build.preformat_jobs = 0;  // one per core, ahead of the listing
  build.abandon = [] { return g_stop_signal != 0; };
  build.read_from = read_from;
  const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction previous[3] {};
  struct sigaction stop {};
  stop.sa_handler = OnStop;
  sigemptyset(&stop.sa_mask);
  struct sigaction wake = stop;
  struct sigaction previous_alarm {};
  wake.sa_handler = OnAlarm;  // no SA_RESTART: the wait it interrupts fails
  sigaction(SIGALRM, &wake, &previous_alarm);
  for (int k = 0; k < 3; ++k) {
    // A signal the caller ignores (nohup, a background job) stays ignored.
    sigaction(kStopSignals[k], nullptr, &previous[k]);
    if (previous[k].sa_handler != SIG_IGN) sigaction(kStopSignals[k], &stop, nullptr);
  }
  ListingBuildResult result = output == "-" ? RunListingBuildToStream(paths, stdout, build)
                                            : RunListingBuild(paths, output, build);
  for (int k = 0; k < 3; ++k) sigaction(kStopSignals[k], &previous[k], nullptr);
  alarm(0);
  sigaction(SIGALRM, &previous_alarm, nullptr);
  progress.Finish();

  if (g_stop_signal) {
    // The process ends by the signal, as the shell expects (exit status
    // 128 + its number: 130 for Ctrl-C).
    const int signal_number = g_stop_signal;
    PrintMessage(std::string(signal_number == SIGINT ? "interrupted" : "terminated") +
                 "; the document was not written");
    signal(signal_number, SIG_DFL);
    raise(signal_number);
    return kExitFailure;
  }
  for (const ListingFileFailure& failure : result.failed_files) {
    PrintError("cannot list", failure.path, failure.reason);
  }
  for (const ListingFileFailure& failure : result.listed_unformatted) {
    PrintError("listed as it is", failure.path, failure.reason);
  }
  if (!result.output.ok()) {
    PrintError("cannot write", output, result.output.message());
    return kExitFailure;
  }
  if (result.cancelled) PrintMessage("canceled; the document ends where the build stopped");
  return gathered && result.ok() && !result.cancelled ? kExitOk : kExitFailure;
}

}  // namespace folios::cli

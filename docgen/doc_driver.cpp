// The documentation driver: options, format files, extraction, output, help
// project and topic log, in that order.
#include "doc_driver.h"

#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <new>
#include <ostream>
#include <string>

#include "atomic_file.h"
#include "data_files.h"
#include "doc_messages.h"
#include "extraction.h"
#include "folios_version.h"
#include "format_model.h"
#include "help_project.h"
#include "ordered_jobs.h"
#include "paths.h"
#include "setting_names.h"
#include "settings_table.h"
#include "topic_collection.h"
#include "topic_output.h"

namespace folios::docgen {

namespace {

// A tab size: digits first, a value from 1 to kMaxTabSize. A wider tab
// would only multiply the blanks of rebuilt example indentation.
bool ParseTabSize(const std::string& text, int* tab_size) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  long value = 0;
  size_t i = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxTabSize) return false;
  }
  if (value < 1) return false;
  *tab_size = static_cast<int>(value);
  return true;
}

// The switches that may be combined in one argument ("-uv").
bool IsSwitch(char letter) {
  return letter == 'a' || letter == 'e' || letter == 'n' || letter == 'u' || letter == 'v' || letter == '?' ||
         letter == 'h';
}

void SetSwitch(char letter, DocOptions* options) {
  switch (letter) {
    case 'a': options->append = true; break;
    case 'e': options->option_e = true; break;
    case 'n': options->no_output = true; break;
    case 'u': options->unsorted = true; break;
    case 'v': options->verbose = true; break;
    default: break;
  }
}

char LowerLetter(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Parses the option vector; on an error, *fault is the argument at fault.
int ParseOptions(const std::vector<std::string>& argv, DocOptions* options, std::string* fault) {
  bool options_ended = false;
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    // On this platform an absolute path begins with "/", so only "-"
    // introduces an option; "--" ends the options.
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      options->sources.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    *fault = arg;
    const char letter = LowerLetter(arg[1]);
    if (IsSwitch(letter)) {
      // Switches combine ("-uv"); a letter that is no switch makes the whole
      // argument unknown, never half taken ("-notes.c" is not "-n").
      for (size_t k = 1; k < arg.size(); ++k) {
        if (!IsSwitch(LowerLetter(arg[k]))) return kErrUnknownOption;
      }
      for (size_t k = 1; k < arg.size(); ++k) {
        char c = LowerLetter(arg[k]);
        if (c == '?' || c == 'h') return kErrUsage;
        SetSwitch(c, options);
      }
      continue;
    }
    if (std::string_view("cdflorstx").find(letter) == std::string_view::npos) return kErrUnknownOption;
    std::string text;
    if (arg.size() > 2) {
      text = arg.substr(2);
    } else if (i + 1 < argv.size()) {
      text = argv[++i];
    } else {
      return kErrOptionValueMissing;
    }
    switch (letter) {
      case 'c': options->contents_file = text; break;
      case 'f':
        options->main_format_file = text;
        options->format_given = true;
        break;
      case 'l': options->log_file = text; break;
      case 'o': options->output_file = text; break;
      case 's': options->extra_format_files.push_back(text); break;
      case 'r':
        if (text.size() == 1 && (text[0] == 'd' || text[0] == 'D')) options->output_type = "doc";
        else if (text.size() == 1 && (text[0] == 'h' || text[0] == 'H')) options->output_type = "help";
        else options->output_type = text;
        break;
      case 't':
        if (!ParseTabSize(text, &options->tab_size)) return kErrTabNotNumber;
        break;
      case 'x':
        if (!options->expression.empty()) options->expression += ' ';
        options->expression += text;
        break;
      default: {  // 'd'
        size_t equals = text.find('=');
        if (equals == std::string::npos || equals > kMaxName) return kErrDefineTooLong;
        options->defines.emplace_back(text.substr(0, equals), text.substr(equals + 1));
        break;
      }
    }
  }
  fault->clear();
  if (options->output_type.empty()) options->output_type = "doc";
  // The expression is checked here, with the options; the run compiles it
  // again.
  ExtractionExpression expression;
  int rc = expression.Compile(options->expression);
  if (rc) *fault = options->expression;
  return rc;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int ReadContentsFile(const std::string& path, TopicCollection* collection) {
  // A pipe or device would be waited on.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return kFileErrorBase + kCauseInvalidFile;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kFileErrorBase + CauseOfErrno(errno);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1024) line.resize(1024);
    if (line.empty()) continue;
    Topic entry;
    entry.context = line;
    entry.name = line;
    collection->Add(std::move(entry), kAddContents);
  }
  return 0;
}

// Where the new topics of append mode start in the existing output `path`:
// where its old trailer begins, so that the trailer is written anew after
// them. 0 for an empty file; *empty tells. Returns 0 or an error code.
int AppendOffset(const std::string& path, const FormatModel& model, long* offset, bool* empty) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return kFileErrorBase + CauseOfErrno(errno);
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  *empty = size <= 0;
  *offset = std::max(0L, size);
  int rc = 0;
  const Definition* file_definition = model.First(kSectionFile);
  if (!*empty && file_definition && !file_definition->text[kSlotPost].empty()) {
    // The trailer as it was written: codes in the "post" text are expanded.
    std::string trailer = ExpandFileText(model, file_definition->text[kSlotPost]);
    if (!trailer.empty()) {
      long tail = std::min<long>(size, static_cast<long>(trailer.size()) + 80);
      std::string bytes(static_cast<size_t>(tail), '\0');
      std::fseek(file, size - tail, SEEK_SET);
      size_t at = std::string::npos;
      if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) rc = kFileErrorBase + kCauseHardIo;
      else if ((at = bytes.rfind(trailer)) == std::string::npos) rc = kErrTrailerNotFound;
      else *offset = size - tail + static_cast<long>(at);
    }
  }
  std::fclose(file);
  return rc;
}

// Copies the first `length` bytes of `path` into `to`.
int CopyHead(const std::string& path, long length, std::FILE* to) {
  std::FILE* from = std::fopen(path.c_str(), "rb");
  if (!from) return kFileErrorBase + CauseOfErrno(errno);
  char buffer[1 << 16];
  int rc = 0;
  while (length > 0 && rc == 0) {
    size_t want = static_cast<size_t>(std::min<long>(length, sizeof buffer));
    size_t got = std::fread(buffer, 1, want, from);
    if (got == 0) rc = kFileErrorBase + kCauseEndOfFile;
    else if (std::fwrite(buffer, 1, got, to) != got) rc = kFileErrorBase + CauseOfErrno(errno);
    length -= static_cast<long>(got);
  }
  std::fclose(from);
  return rc;
}

// Opens `file` for `path` by the shared policy for documents; reports a
// refusal ("g.c: Error 105: it is also one of the input files") and
// returns its code.
int OpenDocument(AtomicFile* file, const std::string& path, const std::vector<std::string>& inputs,
                 bool keep_existing_content, ErrorLog& errors) {
  OutputOptions options;
  options.inputs = inputs;
  options.keep_existing_content = keep_existing_content;
  errno = 0;
  Status opened = file->Open(path, options);
  if (opened.ok()) return 0;
  // A refusal by policy (an input, a file without write bits) is a denial.
  int code = kFileErrorBase + (errno && errno != EACCES ? CauseOfErrno(errno) : kCauseAccessDenied);
  ReportFailure(errors, path, code, opened.message());
  return code;
}

// Renames a finished document into place; reports a failure.
int CommitDocument(AtomicFile* file, ErrorLog& errors) {
  if (!file->file()) return 0;
  Status committed = file->Commit();
  if (committed.ok()) return 0;
  ReportFailure(errors, file->target(), kFileErrorBase + kCauseHardIo, committed.message());
  return kFileErrorBase + kCauseHardIo;
}

void Step(Progress* progress, const char* status) {
  if (!progress) return;
  if (status) progress->SetStatus(status);
  progress->StepIt();
}

// One documentation run, step by step in the order of Run(). Every step
// that can end the run returns 0 or the code it ends with.
class DocRun {
 public:
  DocRun(const DocOptions& options, Progress* progress, std::ostream& out, ErrorLog& errors,
         const std::string& fallback_dir)
      : options_(options), progress_(progress), out_(out), errors_(errors), fallback_dir_(fallback_dir),
        model_(options.output_type.empty() ? "doc" : options.output_type) {}

  int Run(DocResult* result);

 private:
  void StartProgress();
  int LoadFormatFiles();
  int ReadContents();
  void MatchSources();
  int CreateSpool();
  int OpenOutput();
  int NameOutputAfterFirstSource();
  bool ExtractSources(ErrorTally* reported);
  std::vector<size_t> TopicOrder();
  int WriteDocument(const std::vector<size_t>& order, ErrorTally* reported);
  int WriteHelpProject();
  int WriteTopicLog();
  int CommitAll(int result, int side_failure, const ErrorTally& reported, DocResult* done);

  DocOptions options_;
  Progress* progress_;
  std::ostream& out_;
  ErrorLog& errors_;
  const std::string& fallback_dir_;
  ExtractionExpression expression_;
  FormatModel model_;
  TopicCollection collection_;
  // The files each source name stands for, and every file the run reads:
  // no document may replace one of them.
  std::vector<std::vector<std::string>> matches_;
  std::vector<std::string> inputs_;
  // The spool file goes away with this object on every way out of the run.
  SpoolFile spool_;
  // The document, the help project and the log are written to temporary
  // files beside them and renamed over the old ones only when the run has
  // finished: a failure or a kill leaves the old ones as they were.
  AtomicFile output_;
  AtomicFile project_;
  AtomicFile log_;
  bool append_ = false;
  int source_failure_ = 0;  // the first source that could not be read
  long files_read_ = 0;
};

void DocRun::StartProgress() {
  if (progress_) {
    progress_->SetCaption("Create RTF document ");
    progress_->SetRange(0, 4);
    progress_->SetStep(1);
  }
  Step(progress_, "Load codefiles ...");
}

int DocRun::LoadFormatFiles() {
  for (const auto& [name, value] : options_.defines) model_.DefineConstantFirst(name, value);
  std::vector<std::string> format_files = options_.extra_format_files;
  format_files.push_back(options_.main_format_file);
  for (const std::string& format_file : format_files) {
    long line = 0;
    int rc = model_.Load(format_file, fallback_dir_, options_.verbose, out_, &line);
    if (rc == kErrNoToken) {
      ReportFailure(errors_, format_file, rc, model_.NoTokenReason());
      return rc;
    }
    if (rc) {
      ReportError(errors_, format_file, line, rc);
      return rc;
    }
  }
  return model_.Validate(errors_) ? 0 : kErrNoToken;
}

int DocRun::ReadContents() {
  if (options_.contents_file.empty()) return 0;
  int rc = ReadContentsFile(options_.contents_file, &collection_);
  if (rc) ReportError(errors_, options_.contents_file, 0, rc);
  return rc;
}

void DocRun::MatchSources() {
  inputs_ = model_.loaded_files();
  if (!options_.contents_file.empty()) inputs_.push_back(options_.contents_file);
  for (const std::string& source : options_.sources) {
    matches_.push_back(MatchSourceName(source));
    inputs_.insert(inputs_.end(), matches_.back().begin(), matches_.back().end());
  }
}

int DocRun::CreateSpool() {
  int rc = spool_.Create(SpoolFileName());
  if (rc) ReportError(errors_, spool_.path(), 0, rc);
  return rc;
}

// The output named after the first file that matches the first source, with
// the first token definition's extension, in the current directory.
int DocRun::NameOutputAfterFirstSource() {
  std::string first = matches_.empty() || matches_[0].empty() ? std::string() : matches_[0].front();
  if (first.empty()) {
    ReportError(errors_, options_.sources.empty() ? std::string() : options_.sources[0], 0, kErrNoOutputName);
    return kErrNoOutputName;
  }
  std::string base = FileNamePart(first);
  size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.resize(dot);
  const Definition* token = model_.First(kSectionToken);
  options_.output_file = base + "." + (token ? token->out_extension : std::string());
  out_ << "Output file is " << options_.output_file << ".\n";
  return 0;
}

// Opens the document; in append mode its head, up to the old trailer, is
// copied into the new file first.
int DocRun::OpenOutput() {
  append_ = options_.append;
  if (options_.no_output) return 0;
  if (options_.output_file.empty()) {
    if (int rc = NameOutputAfterFirstSource()) return rc;
  }
  long offset = 0;
  bool empty = true;
  // "-o -" is standard output.
  const std::string target = options_.output_file == "-" ? "/dev/stdout" : options_.output_file;
  if (append_ && IsRegularFile(target)) {
    if (int rc = AppendOffset(target, model_, &offset, &empty)) {
      ReportError(errors_, options_.output_file, 0, rc);
      return rc;
    }
  }
  if (empty) append_ = false;
  if (int rc = OpenDocument(&output_, target, inputs_, false, errors_)) return rc;
  if (output_.writes_in_place()) {
    append_ = false;  // a pipe or device cannot be read back for its trailer
  } else if (append_) {
    if (int rc = CopyHead(output_.resolved_target(), offset, output_.file())) {
      ReportError(errors_, options_.output_file, 0, rc);
      return rc;
    }
  }
  return 0;
}

// Extracts every source in order. Files are read ahead on the shared pool;
// their topics go into the collection one file after another, in order.
// Returns whether any source could be read (whatever it held).
bool DocRun::ExtractSources(ErrorTally* reported) {
  ExtractionSettings extraction;
  extraction.expression = &expression_;
  extraction.verbose = options_.verbose;
  extraction.errors = reported;
  std::vector<const std::string*> files;
  for (const std::vector<std::string>& found : matches_) {
    for (const std::string& path : found) files.push_back(&path);
  }
  std::vector<LoadedSource> loaded(files.size());
  const int readers = DefaultJobCount();
  OrderedJobs read_ahead(files.size(), readers, 2 * static_cast<size_t>(readers),
                         [&](size_t i) { loaded[i] = LoadSource(*files[i]); });
  size_t next_file = 0;
  bool any_read = false;
  for (size_t k = 0; k < options_.sources.size(); ++k) {
    int rc = 0;
    if (matches_[k].empty()) {
      rc = ExtractSource(options_.sources[k], &collection_, model_, extraction, &spool_, out_, errors_);
    } else {
      for (const std::string& path : matches_[k]) {
        read_ahead.Take(next_file);
        int file_rc =
            ExtractLoadedFile(path, &loaded[next_file++], &collection_, model_, extraction, &spool_, out_, errors_);
        if (file_rc && !rc) rc = file_rc;
        if (!file_rc) {
          any_read = true;
          ++files_read_;
        }
      }
    }
    if (rc && !source_failure_) source_failure_ = rc;
  }
  return any_read;
}

std::vector<size_t> DocRun::TopicOrder() { return collection_.OutputOrder(!options_.unsorted); }

// Writes the topics into the open document; returns 0 or the code of a
// failed write, after which the document is discarded.
int DocRun::WriteDocument(const std::vector<size_t>& order, ErrorTally* reported) {
  if (options_.verbose) out_ << "Writing topics...\n";
  OutputSettings settings;
  settings.tab_size = options_.tab_size;
  settings.append = append_;
  settings.sorted = !options_.unsorted;
  settings.verbose = options_.verbose;
  settings.output_name = options_.output_file;
  settings.errors = reported;
  int rc = WriteOutput(collection_, order, model_, settings, &spool_, output_.file(), out_, errors_);
  if (rc) {
    ReportError(errors_, options_.output_file, 0, rc);
    output_.Discard();
  }
  return rc;
}

// The help project beside a help document; one that exists already,
// possibly edited by the user, is kept. The project names the document's
// file: a pipe or standard output has none to name.
int DocRun::WriteHelpProject() {
  if (!EqualsNoCase(options_.output_type, "help") || output_.writes_in_place()) return 0;
  if (options_.verbose) out_ << "Writing HPJ file...\n";
  std::string project_path = HelpProjectPath(options_.output_file);
  struct stat info;
  if (::lstat(project_path.c_str(), &info) == 0) return 0;
  int rc = OpenDocument(&project_, project_path, inputs_, false, errors_);
  if (rc == 0) {
    std::string text = HelpProjectText(options_.output_file, GeneratorName());
    std::fwrite(text.data(), 1, text.size(), project_.file());
  }
  return rc;
}

int DocRun::WriteTopicLog() {
  if (options_.log_file.empty()) return 0;
  if (options_.verbose) out_ << "Creating log file...\n";
  int rc = OpenDocument(&log_, options_.log_file, inputs_, options_.append, errors_);
  if (rc == 0) {
    std::string text = TopicLogText(collection_);
    std::fwrite(text.data(), 1, text.size(), log_.file());
  }
  return rc;
}

// The run has finished: the new files take the place of the old ones. A
// document that could not be written keeps the old log and project with
// the old document they describe. The project and the log do not undo the
// document, but a run that could not write one of them, read a source, or
// that reported an error in the sources or the format texts, has failed
// all the same.
int DocRun::CommitAll(int result, int side_failure, const ErrorTally& reported, DocResult* done) {
  const bool has_document = output_.file() != nullptr;
  int rc = CommitDocument(&output_, errors_);
  if (rc && !result) result = rc;
  if (result) {
    project_.Discard();
    log_.Discard();
    return result;
  }
  if (has_document) done->document = options_.output_file;
  const std::pair<AtomicFile*, std::string*> others[] = {{&project_, &done->help_project},
                                                         {&log_, &done->topic_log}};
  for (const auto& [file, written] : others) {
    const bool open = file->file() != nullptr;
    rc = CommitDocument(file, errors_);
    if (rc && !side_failure) side_failure = rc;
    if (open && !rc) *written = file->target();
  }
  if (source_failure_) return source_failure_;
  if (reported.count > 0) return reported.first_code;
  return side_failure;
}

int DocRun::Run(DocResult* result) {
  StartProgress();
  if (int rc = expression_.Compile(options_.expression)) return rc;
  if (int rc = LoadFormatFiles()) return rc;
  if (int rc = ReadContents()) return rc;
  MatchSources();
  Step(progress_, "Extract comment text ...");
  if (int rc = CreateSpool()) return rc;
  Step(progress_, "Extract comment text ...");
  if (int rc = OpenOutput()) return rc;

  ErrorTally reported;  // errors in the sources' text and in writing
  const bool any_read = ExtractSources(&reported);
  result->files_read = files_read_;
  // A run that could read none of its sources would put an empty document
  // in the place of a good one: the old document, its log and its project
  // stay as they were.
  if (!options_.sources.empty() && !any_read) {
    if (output_.file()) {
      errors_.Add({0, options_.output_file, 0, 0,
                   options_.output_file + ": not written: none of the sources could be read"});
    }
    return source_failure_;
  }

  std::vector<size_t> order = TopicOrder();
  Step(progress_, "Write file ...");
  int written = 0;
  int side_failure = 0;  // the first help project or topic log not written
  if (output_.file()) {
    written = WriteDocument(order, &reported);
    side_failure = WriteHelpProject();
  }
  spool_.Remove();
  Step(progress_, "Write file ...");
  if (int rc = WriteTopicLog(); rc && !side_failure) side_failure = rc;
  int code = CommitAll(written, side_failure, reported, result);
  if (!result->document.empty()) result->topics_written = static_cast<long>(order.size());
  return code;
}

}  // namespace

std::string GeneratorName() { return std::string("Lumentra Folios V") + kVersion; }

DocOptionCheck ParseDocOptions(const std::vector<std::string>& argv, DocOptions* options) {
  DocOptionCheck check;
  check.code = ParseOptions(argv, options, &check.argument);
  return check;
}

DocResult RunDocBuild(const DocOptions& options, Progress* progress, std::ostream& out, std::ostream& err,
                      const std::string& fallback_dir) {
  ErrorLog errors(err);
  DocResult result;
  try {
    DocRun run(options, progress, out, errors, fallback_dir);
    result.code = run.Run(&result);
  } catch (const std::bad_alloc&) {
    ReportError(errors, std::string(), 0, kErrOutOfMemory);
    result.code = kErrOutOfMemory;
  }
  result.errors = errors.errors();
  return result;
}

int RunDocDriver(const std::vector<std::string>& argv, Progress* progress, std::ostream& out, std::ostream& err,
                 const std::string& fallback_dir) {
  DocOptions options;
  DocOptionCheck check = ParseDocOptions(argv, &options);
  if (check.code) return check.code;
  return RunDocBuild(options, progress, out, err, fallback_dir).code;
}

DocOptions DocOptionsFromSettings(const std::vector<std::string>& sources, const std::string& output_path) {
  Settings settings(SettingKey::kMain);
  DocOptions options;
  options.sources = sources;
  options.unsorted = settings.Int(setting_name::kSortTopics) == 0;
  const int type = settings.Int(setting_name::kDoctype);
  if (type == 1) options.output_type = "help";
  if (type == 2) options.output_type = "html";
  options.output_file = output_path;
  if (settings.Int(setting_name::kCreateTopicLog) != 0) {
    options.log_file = Directory(AbsolutePath(output_path)) + "/Topics.rtf";
  }
  options.main_format_file = LocateDataFile("LFX.fmt");
  options.format_given = true;
  if (settings.Int(setting_name::kUseExtractionExpression) != 0) {
    options.expression = settings.Text(setting_name::kExtractionExpression);
  }
  return options;
}

const char* DocOptionUsage() {
  return "  -a          append the topics to an existing output file\n"
         "  -c FILE     contents file: each line names a context that \"exists\"\n"
         "  -d NAME=VAL define a constant ahead of the format files' constants\n"
         "  -e          option e (kept, no effect)\n"
         "  -f FILE     main format file (default: LFX.fmt of the program)\n"
         "  -l FILE     write the topic log (context strings) to FILE\n"
         "  -n          extract only, write no output\n"
         "  -o FILE     output file (default: first source's name, format's extension)\n"
         "  -r TYPE     output type: d or doc (default), h or help, or another name\n"
         "              that the format file defines (LFX.fmt: html)\n"
         "  -s FILE     additional format file, loaded before the main one\n"
         "  -t N        tab size, 1 to 64 (default 8)\n"
         "  -u          keep topics in source order instead of sorting them\n"
         "  -v          verbose: list format files, sources and topics\n"
         "  -x EXPR     extraction expression over @doc and topic keyword lists\n";
}

}  // namespace folios::docgen

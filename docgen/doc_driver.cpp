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
#include "format_model.h"
#include "help_project.h"
#include "ordered_jobs.h"
#include "paths.h"
#include "settings_table.h"
#include "topic_collection.h"
#include "topic_output.h"

namespace folios::docgen {

namespace {

struct RunOptions {
  bool verbose = false;
  bool option_e = false;  // accepted and kept; nothing reads it
  bool unsorted = false;
  bool no_output = false;
  bool append = false;
  int tab_size = 8;
  std::string expression_text;
  std::string output_type;
  std::string output_file;
  std::string contents_file;
  std::string log_file;
  std::vector<std::string> extra_format_files;
  std::string main_format_file = "Scrivlet.FMT";
  bool format_given = false;
  std::vector<std::pair<std::string, std::string>> defines;
  std::vector<std::string> sources;
  ExtractionExpression expression;
};

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

void SetSwitch(char letter, RunOptions* options) {
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
int ParseOptions(const std::vector<std::string>& argv, RunOptions* options, std::string* fault) {
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
        if (!options->expression_text.empty()) options->expression_text += ' ';
        options->expression_text += text;
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
  int rc = options->expression.Compile(options->expression_text);
  if (rc) *fault = options->expression_text;
  return rc;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int ReadContentsFile(const std::string& path, TopicCollection* collection) {
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
                 bool keep_existing_content, std::ostream& err) {
  OutputOptions options;
  options.inputs = inputs;
  options.keep_existing_content = keep_existing_content;
  errno = 0;
  Status opened = file->Open(path, options);
  if (opened.ok()) return 0;
  // A refusal by policy (an input, a file without write bits) is a denial.
  int code = kFileErrorBase + (errno && errno != EACCES ? CauseOfErrno(errno) : kCauseAccessDenied);
  ReportFailure(err, path, code, opened.message());
  return code;
}

// Renames a finished document into place; reports a failure.
int CommitDocument(AtomicFile* file, std::ostream& err) {
  if (!file->file()) return 0;
  Status committed = file->Commit();
  if (committed.ok()) return 0;
  ReportFailure(err, file->target(), kFileErrorBase + kCauseHardIo, committed.message());
  return kFileErrorBase + kCauseHardIo;
}

void Step(Progress* progress, const char* status) {
  if (!progress) return;
  if (status) progress->SetStatus(status);
  progress->StepIt();
}

int RunDriver(const std::vector<std::string>& argv, Progress* progress, std::ostream& out, std::ostream& err,
              const std::string& fallback_dir) {
  if (progress) {
    progress->SetCaption("Create RTF document ");
    progress->SetRange(0, 4);
    progress->SetStep(1);
  }
  Step(progress, "Load codefiles ...");

  RunOptions options;
  std::string fault;
  int rc = ParseOptions(argv, &options, &fault);
  if (rc) return rc;

  FormatModel model(options.output_type);
  for (const auto& [name, value] : options.defines) model.DefineConstantFirst(name, value);
  std::vector<std::string> format_files = options.extra_format_files;
  format_files.push_back(options.main_format_file);
  for (const std::string& format_file : format_files) {
    long line = 0;
    rc = model.Load(format_file, fallback_dir, options.verbose, out, &line);
    if (rc == kErrNoToken) {
      ReportFailure(err, format_file, rc, model.NoTokenReason());
      return rc;
    }
    if (rc) {
      ReportError(err, format_file, line, rc);
      return rc;
    }
  }
  if (!model.Validate(err)) return kErrNoToken;

  TopicCollection collection;
  if (!options.contents_file.empty()) {
    rc = ReadContentsFile(options.contents_file, &collection);
    if (rc) {
      ReportError(err, options.contents_file, 0, rc);
      return rc;
    }
  }

  // The files the run reads: no document may replace one of them.
  std::vector<std::vector<std::string>> matches;
  std::vector<std::string> inputs = model.loaded_files();
  if (!options.contents_file.empty()) inputs.push_back(options.contents_file);
  for (const std::string& source : options.sources) {
    matches.push_back(MatchSourceName(source));
    inputs.insert(inputs.end(), matches.back().begin(), matches.back().end());
  }

  Step(progress, "Extract comment text ...");
  // The spool file goes away with this object on every way out of the run.
  SpoolFile spool;
  std::string spool_name = SpoolFileName();
  rc = spool.Create(spool_name);
  if (rc) {
    ReportError(err, spool.path(), 0, rc);
    return rc;
  }
  Step(progress, "Extract comment text ...");

  // The document is written to a temporary file beside it and renamed over
  // the old one only when the run has finished: a failure or a kill leaves
  // the old document as it was.
  AtomicFile output;
  bool append = options.append;
  if (!options.no_output) {
    if (options.output_file.empty()) {
      std::string first = matches.empty() || matches[0].empty() ? std::string() : matches[0].front();
      if (first.empty()) {
        ReportError(err, options.sources.empty() ? std::string() : options.sources[0], 0, kErrNoOutputName);
        return kErrNoOutputName;
      }
      std::string base = FileNamePart(first);
      size_t dot = base.rfind('.');
      if (dot != std::string::npos && dot > 0) base.resize(dot);
      const Definition* token = model.First(kSectionToken);
      options.output_file = base + "." + (token ? token->out_extension : std::string());
      out << "Output file is " << options.output_file << ".\n";
    }
    long offset = 0;
    bool empty = true;
    // "-o -" is standard output.
    const std::string target = options.output_file == "-" ? "/dev/stdout" : options.output_file;
    if (append && IsRegularFile(target)) {
      rc = AppendOffset(target, model, &offset, &empty);
      if (rc) {
        ReportError(err, options.output_file, 0, rc);
        return rc;
      }
    }
    if (empty) append = false;
    rc = OpenDocument(&output, target, inputs, false, err);
    if (rc) return rc;
    if (output.writes_in_place()) {
      append = false;  // a pipe or device cannot be read back for its trailer
    } else if (append && (rc = CopyHead(output.resolved_target(), offset, output.file()))) {
      ReportError(err, options.output_file, 0, rc);
      return rc;
    }
  }

  ErrorTally reported;  // errors in the sources' text and in writing
  ExtractionSettings extraction;
  extraction.expression = &options.expression;
  extraction.verbose = options.verbose;
  extraction.errors = &reported;
  int source_failure = 0;  // the first source that could not be read
  bool any_read = false;   // a source was read (whatever it held)
  // Files are read ahead on the shared pool; their topics go into the
  // collection one file after another, in order.
  std::vector<const std::string*> files;
  for (const std::vector<std::string>& found : matches) {
    for (const std::string& path : found) files.push_back(&path);
  }
  std::vector<LoadedSource> loaded(files.size());
  const int readers = DefaultJobCount();
  OrderedJobs read_ahead(files.size(), readers, 2 * static_cast<size_t>(readers),
                         [&](size_t i) { loaded[i] = LoadSource(*files[i]); });
  size_t next_file = 0;
  for (size_t k = 0; k < options.sources.size(); ++k) {
    if (matches[k].empty()) {
      rc = ExtractSource(options.sources[k], &collection, model, extraction, &spool, out, err);
    } else {
      rc = 0;
      for (const std::string& path : matches[k]) {
        read_ahead.Take(next_file);
        int file_rc = ExtractLoadedFile(path, &loaded[next_file++], &collection, model, extraction, &spool, out, err);
        if (file_rc && !rc) rc = file_rc;
        if (!file_rc) any_read = true;
      }
    }
    if (rc && !source_failure) source_failure = rc;
  }
  // A run that could read none of its sources would put an empty document
  // in the place of a good one: the old document, its log and its project
  // stay as they were.
  if (!options.sources.empty() && !any_read) {
    if (output.file()) err << options.output_file << ": not written: none of the sources could be read\n";
    return source_failure;
  }

  std::vector<size_t> order = collection.OutputOrder(!options.unsorted);
  Step(progress, "Write file ...");

  int result = 0;
  int side_failure = 0;  // the first help project or topic log not written
  AtomicFile project;
  if (output.file()) {
    if (options.verbose) out << "Writing topics...\n";
    OutputSettings settings;
    settings.tab_size = options.tab_size;
    settings.append = append;
    settings.sorted = !options.unsorted;
    settings.verbose = options.verbose;
    settings.output_name = options.output_file;
    settings.errors = &reported;
    rc = WriteOutput(collection, order, model, settings, &spool, output.file(), out, err);
    if (rc) {
      ReportError(err, options.output_file, 0, rc);
      output.Discard();
      result = rc;
    }
    // The project names the document's file: a pipe or standard output has
    // none to name.
    if (EqualsNoCase(options.output_type, "help") && !output.writes_in_place()) {
      if (options.verbose) out << "Writing HPJ file...\n";
      // A project that exists already, possibly edited by the user, is kept.
      std::string project_path = HelpProjectPath(options.output_file);
      struct stat info;
      if (::lstat(project_path.c_str(), &info) != 0) {
        rc = OpenDocument(&project, project_path, inputs, false, err);
        if (rc == 0) {
          std::string text = HelpProjectText(options.output_file, kGeneratorName);
          std::fwrite(text.data(), 1, text.size(), project.file());
        } else if (!side_failure) {
          side_failure = rc;
        }
      }
    }
  }
  spool.Remove();
  Step(progress, "Write file ...");

  AtomicFile log;
  if (!options.log_file.empty()) {
    if (options.verbose) out << "Creating log file...\n";
    rc = OpenDocument(&log, options.log_file, inputs, options.append, err);
    if (rc == 0) {
      std::string text = TopicLogText(collection);
      std::fwrite(text.data(), 1, text.size(), log.file());
    } else if (!side_failure) {
      side_failure = rc;
    }
  }

  // The run has finished: the new files take the place of the old ones.
  rc = CommitDocument(&output, err);
  if (rc && !result) result = rc;
  if (result) {
    // The document could not be written: the old log and project stay with
    // the old document they describe.
    project.Discard();
    log.Discard();
    return result;
  }
  for (AtomicFile* file : {&project, &log}) {
    rc = CommitDocument(file, err);
    if (rc && !side_failure) side_failure = rc;
  }
  // The project and the log do not undo the document, but a run that could
  // not write one of them, read a source, or that reported an error in the
  // sources or the format texts, has failed all the same.
  if (source_failure) return source_failure;
  if (reported.count > 0) return reported.first_code;
  return side_failure;
}

}  // namespace

int RunDocDriver(const std::vector<std::string>& argv, Progress* progress, std::ostream& out, std::ostream& err,
                 const std::string& fallback_dir) {
  try {
    return RunDriver(argv, progress, out, err, fallback_dir);
  } catch (const std::bad_alloc&) {
    ReportError(err, std::string(), 0, kErrOutOfMemory);
    return kErrOutOfMemory;
  }
}

DocOptionCheck CheckDocOptions(const std::vector<std::string>& argv) {
  RunOptions options;
  DocOptionCheck check;
  check.code = ParseOptions(argv, &options, &check.argument);
  check.source_count = options.sources.size();
  check.output_file = options.output_file;
  check.format_given = options.format_given;
  return check;
}

std::vector<std::string> BuildDocOptionVector(const std::vector<std::string>& sources,
                                              const std::string& output_path) {
  Settings settings(SettingKey::kMain);
  std::vector<std::string> argv = sources;
  if (settings.Int("m_sort_topics") == 0) argv.push_back("-u");
  const int type = settings.Int("m_doctype");
  if (type == 1) argv.push_back("-rh");
  if (type == 2) argv.push_back("-rhtml");
  argv.push_back("-o");
  argv.push_back(output_path);
  if (settings.Int("m_create_topic_log") != 0) {
    std::string directory = Directory(AbsolutePath(output_path));
    argv.push_back("-l");
    argv.push_back(directory + "/Topics.rtf");
  }
  argv.push_back("-f");
  argv.push_back(LocateDataFile("LFX.fmt"));
  if (settings.Int("m_use_extraction_expression") != 0) {
    argv.push_back("-x");
    argv.push_back(settings.Text("m_extraction_expression"));
  }
  return argv;
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

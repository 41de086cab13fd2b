// The documentation driver: options, format files, extraction, output, help
// project and topic log, in that order.
#include "doc_driver.h"

#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <new>
#include <ostream>
#include <string>

#include "data_files.h"
#include "doc_messages.h"
#include "extraction.h"
#include "format_model.h"
#include "help_project.h"
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
  std::vector<std::pair<std::string, std::string>> defines;
  std::vector<std::string> sources;
  ExtractionExpression expression;
};

int ParseOptions(const std::vector<std::string>& argv, RunOptions* options) {
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    // On this platform an absolute path begins with "/", so only "-"
    // introduces an option.
    if (arg.size() < 2 || arg[0] != '-') {
      options->sources.push_back(arg);
      continue;
    }
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(arg[1])));
    auto value = [&](std::string* out) -> int {
      if (arg.size() > 2) {
        *out = arg.substr(2);
        return 0;
      }
      if (i + 1 >= argv.size()) return kErrOptionValueMissing;
      *out = argv[++i];
      return 0;
    };
    std::string text;
    int rc = 0;
    switch (letter) {
      case '?':
      case 'h': return kErrUsage;
      case 'a': options->append = true; break;
      case 'e': options->option_e = true; break;
      case 'n': options->no_output = true; break;
      case 'u': options->unsorted = true; break;
      case 'v': options->verbose = true; break;
      case 'c':
        if ((rc = value(&options->contents_file))) return rc;
        break;
      case 'f':
        if ((rc = value(&options->main_format_file))) return rc;
        break;
      case 'l':
        if ((rc = value(&options->log_file))) return rc;
        break;
      case 'o':
        if ((rc = value(&options->output_file))) return rc;
        break;
      case 's':
        if ((rc = value(&text))) return rc;
        options->extra_format_files.push_back(text);
        break;
      case 'r':
        if ((rc = value(&text))) return rc;
        if (text.size() == 1 && (text[0] == 'd' || text[0] == 'D')) options->output_type = "doc";
        else if (text.size() == 1 && (text[0] == 'h' || text[0] == 'H')) options->output_type = "help";
        else options->output_type = text;
        break;
      case 't':
        if ((rc = value(&text))) return rc;
        if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return kErrTabNotNumber;
        options->tab_size = std::max(1, std::atoi(text.c_str()));
        break;
      case 'x':
        if ((rc = value(&text))) return rc;
        if (!options->expression_text.empty()) options->expression_text += ' ';
        options->expression_text += text;
        break;
      case 'd': {
        if ((rc = value(&text))) return rc;
        size_t equals = text.find('=');
        if (equals == std::string::npos || equals > kMaxName) return kErrDefineTooLong;
        options->defines.emplace_back(text.substr(0, equals), text.substr(equals + 1));
        break;
      }
      default:
        return kErrUnknownOption;
    }
  }
  if (options->output_type.empty()) options->output_type = "doc";
  return options->expression.Compile(options->expression_text);
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The first file that matches a source name, or "".
std::string FirstMatch(const std::string& name) {
  if (IsRegularFile(name)) return name;
  glob_t found{};
  std::string first;
  if (::glob(name.c_str(), 0, nullptr, &found) == 0) {
    for (size_t i = 0; i < found.gl_pathc && first.empty(); ++i) {
      if (IsRegularFile(found.gl_pathv[i])) first = found.gl_pathv[i];
    }
  }
  ::globfree(&found);
  return first;
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

// Opens the output for append: positioned where the old trailer began.
int OpenForAppend(const std::string& path, const FormatModel& model, std::FILE** file, bool* empty) {
  *file = std::fopen(path.c_str(), "r+b");
  if (!*file) return kFileErrorBase + CauseOfErrno(errno);
  std::fseek(*file, 0, SEEK_END);
  long size = std::ftell(*file);
  *empty = size <= 0;
  if (*empty) {
    std::fseek(*file, 0, SEEK_SET);
    return 0;
  }
  const Definition* file_definition = model.First(kSectionFile);
  if (!file_definition || file_definition->text[kSlotPost].empty()) return 0;
  // The trailer as it was written: codes in the "post" text are expanded.
  std::string trailer = ExpandFileText(model, file_definition->text[kSlotPost]);
  if (trailer.empty()) {
    std::fseek(*file, 0, SEEK_END);
    return 0;
  }
  long tail = std::min<long>(size, static_cast<long>(trailer.size()) + 80);
  std::string bytes(static_cast<size_t>(tail), '\0');
  std::fseek(*file, size - tail, SEEK_SET);
  if (std::fread(bytes.data(), 1, bytes.size(), *file) != bytes.size()) return kFileErrorBase + kCauseHardIo;
  size_t at = bytes.rfind(trailer);
  if (at == std::string::npos) return kErrTrailerNotFound;
  std::fseek(*file, size - tail + static_cast<long>(at), SEEK_SET);
  return 0;
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
  int rc = ParseOptions(argv, &options);
  if (rc) return rc;

  FormatModel model(options.output_type);
  for (const auto& [name, value] : options.defines) model.DefineConstantFirst(name, value);
  std::vector<std::string> format_files = options.extra_format_files;
  format_files.push_back(options.main_format_file);
  for (const std::string& format_file : format_files) {
    long line = 0;
    rc = model.Load(format_file, fallback_dir, options.verbose, out, &line);
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

  std::FILE* output = nullptr;
  bool append = options.append;
  if (!options.no_output) {
    if (options.output_file.empty()) {
      std::string first = options.sources.empty() ? std::string() : FirstMatch(options.sources[0]);
      if (first.empty()) {
        ReportError(err, options.sources.empty() ? std::string() : options.sources[0], 0, kErrNoOutputName);
        return kErrNoOutputName;
      }
      std::string base = FileName(first);
      size_t dot = base.rfind('.');
      if (dot != std::string::npos && dot > 0) base.resize(dot);
      const Definition* token = model.First(kSectionToken);
      options.output_file = base + "." + (token ? token->out_extension : std::string());
      out << "Output file is " << options.output_file << ".\n";
    }
    if (append && IsRegularFile(options.output_file)) {
      bool empty = false;
      rc = OpenForAppend(options.output_file, model, &output, &empty);
      if (empty) append = false;
      if (rc) {
        if (output) std::fclose(output);
        ReportError(err, options.output_file, 0, rc);
        return rc;
      }
    } else {
      append = false;
      output = std::fopen(options.output_file.c_str(), "wb");
      if (!output) {
        rc = kFileErrorBase + CauseOfErrno(errno);
        ReportError(err, options.output_file, 0, rc);
        return rc;
      }
    }
  }

  ExtractionSettings extraction;
  extraction.expression = &options.expression;
  extraction.verbose = options.verbose;
  for (const std::string& source : options.sources) {
    ExtractSource(source, &collection, model, extraction, &spool, out, err);
  }

  std::vector<size_t> order = collection.OutputOrder(!options.unsorted);
  Step(progress, "Write file ...");

  int result = 0;
  if (output) {
    if (options.verbose) out << "Writing topics...\n";
    OutputSettings settings;
    settings.tab_size = options.tab_size;
    settings.append = append;
    settings.sorted = !options.unsorted;
    settings.verbose = options.verbose;
    settings.output_name = options.output_file;
    rc = WriteOutput(collection, order, model, settings, &spool, output, out, err);
    if (rc == 0 && append) {
      // Old bytes past the new trailer must not survive.
      long end = std::ftell(output);
      if (end >= 0 && ::ftruncate(::fileno(output), end) != 0) rc = kFileErrorBase + CauseOfErrno(errno);
    }
    if (std::fclose(output) != 0 && rc == 0) rc = kFileErrorBase + CauseOfErrno(errno);
    if (rc) {
      ReportError(err, options.output_file, 0, rc);
      result = rc;
    }
    if (EqualsNoCase(options.output_type, "help")) {
      if (options.verbose) out << "Writing HPJ file...\n";
      std::string project;
      rc = WriteHelpProject(options.output_file, kGeneratorName, &project);
      if (rc) ReportError(err, project, 0, rc);
    }
  }
  spool.Remove();
  Step(progress, "Write file ...");

  if (!options.log_file.empty()) {
    if (options.verbose) out << "Creating log file...\n";
    rc = WriteTopicLog(collection, options.log_file, options.append);
    if (rc) ReportError(err, options.log_file, 0, rc);
  }
  return result;
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

std::vector<std::string> BuildDocOptionVector(const std::vector<std::string>& sources,
                                              const std::string& output_path) {
  Settings settings(SettingKey::kMain);
  std::vector<std::string> argv = sources;
  if (settings.Int("m_sort_topics") == 0) argv.push_back("-u");
  if (settings.Int("m_doctype") == 1) argv.push_back("-rh");
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
         "  -s FILE     additional format file, loaded before the main one\n"
         "  -t N        tab size (default 8)\n"
         "  -u          keep topics in source order instead of sorting them\n"
         "  -v          verbose: list format files, sources and topics\n"
         "  -x EXPR     extraction expression over @doc and topic keyword lists\n";
}

}  // namespace folios::docgen

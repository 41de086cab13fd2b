#include "input_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "cli_support.h"
#include "gather_inputs.h"
#include "paths.h"
#include "registry.h"
#include "search_settings.h"
#include "status.h"
#include "terminal_progress.h"

namespace folios::cli {

namespace {

bool ParseTypes(const std::string& list, SearchTypes* types) {
  *types = SearchTypes{false, false, false, false, false, false};
  std::stringstream stream(list);
  std::string item;
  while (std::getline(stream, item, ',')) {
    std::string type = ToLowerAscii(item);
    if (type == "cpp" || type == "c") {
      types->cpp = true;
    } else if (type == "h" || type == "hpp") {
      types->h = true;
    } else if (type == "java") {
      types->java = true;
    } else if (type == "frm") {
      types->frm = true;
    } else if (type == "bas") {
      types->bas = true;
    } else if (type == "cls") {
      types->cls = true;
    } else {
      return false;
    }
  }
  return types->any();
}

}  // namespace

void AddInputOptions(OptionParser* parser, InputOptions* options) {
  parser->Value("--types", "a list such as cpp,h", [options](const std::string& list) {
    SearchTypes types;
    if (!ParseTypes(list, &types)) return "--types takes cpp, h, java, frm, bas and cls, got '" + list + "'";
    options->types = types;
    return std::string();
  });
  parser->Flag("--subfolders", [options] { options->subfolders = true; });
  parser->Flag("--no-subfolders", [options] { options->subfolders = false; });
}

void AddCommonOptions(OptionParser* parser, CommonOptions* options, bool assume_filename) {
  auto store = [](auto* target) {
    return [target](const std::string& value) {
      *target = value;
      return std::string();
    };
  };
  if (assume_filename) parser->Value("--assume-filename", "a file NAME", store(&options->assume_filename));
  parser->Value("--files-from", "a FILE ('-' for standard input)", [options](const std::string& value) {
    options->files_from.push_back(value);
    return std::string();
  });
  parser->Flag("-0,--null", [options] { options->null_separated = true; });
  parser->Value("--settings", "a settings FILE", store(&options->settings_file));
  parser->Flag("--no-project-settings", [options] { options->no_project_settings = true; });
  parser->Flag("-q,--quiet", [] { SetQuiet(true); });
}

bool ReadFileLists(const CommonOptions& options, std::vector<std::string>* paths) {
  const char separator = options.null_separated ? '\0' : '\n';
  for (const std::string& list : options.files_from) {
    std::string text;
    std::FILE* in = list == "-" ? stdin : std::fopen(list.c_str(), "rb");
    if (!in) {
      PrintError("read file list", list, ErrnoMessage(errno));
      return false;
    }
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, got);
    bool failed = std::ferror(in) != 0;
    int error = errno;
    if (in != stdin) std::fclose(in);
    if (failed) {
      PrintError("read file list", list, ErrnoMessage(error ? error : EIO));
      return false;
    }
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(separator, start);
      if (end == std::string::npos) end = text.size();
      if (end > start) paths->push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }
  return true;
}

ProjectSettingsFinder MakeProjectSettingsFinder(const CommonOptions& options) {
  if (options.no_project_settings) return ProjectSettingsFinder(ProjectSettingsFinder::Mode::kNone);
  if (options.settings_file) {
    return ProjectSettingsFinder(ProjectSettingsFinder::Mode::kExplicit, *options.settings_file);
  }
  return ProjectSettingsFinder(ProjectSettingsFinder::Mode::kSearch);
}

void PrintProjectSettingsError(const std::string& file, const Status& status) {
  PrintError("project settings", file, status.message());
}

bool UseProjectSettingsFor(const CommonOptions& options, const std::string& anchor) {
  ProjectSettingsFinder finder = MakeProjectSettingsFinder(options);
  std::shared_ptr<const ProjectSettings> settings;
  std::string where = anchor.empty() ? "." : anchor;
  struct stat st {};
  bool directory = ::stat(where.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  Status status = directory ? finder.ForDirectory(AbsolutePath(where), &settings) : finder.For(where, &settings);
  if (!status.ok()) {
    PrintProjectSettingsError(finder.last_path(), status);
    return false;
  }
  CRegistry::SetLayer(settings ? settings->values : std::vector<CRegistry::LayerValue>());
  return true;
}

namespace {

// Each problem in the words and order the command has always used.
void PrintProblem(const GatherProblem& problem) {
  switch (problem.kind) {
    case GatherProblemKind::kNoTypesChosen:
    case GatherProblemKind::kFolderUnlistable:
    case GatherProblemKind::kSubfolderSkipped:
    case GatherProblemKind::kLinkSkipped:
    case GatherProblemKind::kNothingFound:
      PrintError("search", problem.path, problem.reason);
      break;
    case GatherProblemKind::kCannotAccess:
    case GatherProblemKind::kNotSourceType:
      PrintError("open", problem.path, problem.reason);
      break;
    case GatherProblemKind::kProjectUnopenable:
      PrintError("open project", problem.path, problem.reason);
      break;
    case GatherProblemKind::kProjectUnreadable:
      PrintError("read project", problem.path, problem.reason);
      break;
    case GatherProblemKind::kProjectEmpty:
      PrintMessage(problem.path + ": " + problem.reason);
      break;
    case GatherProblemKind::kAmbiguousName:
      PrintMessage("warning: project '" + problem.path + "': " + problem.reason);
      break;
  }
}

}  // namespace

bool GatherInputs(const std::vector<std::string>& paths, const InputOptions& options,
                  CProjectFile* files) {
  GatherRequest request;
  request.paths = paths;
  request.types = options.types.value_or(SearchTypesFromSettings());
  request.subfolders = options.subfolders.value_or(SearchSubfoldersFromSettings());
  request.order = FoundFileOrder::kByTypeThenName;
  GatherResult result;
  {
    TerminalProgress progress;
    result = folios::GatherInputs(request, files, &progress);
  }
  for (const GatherProblem& problem : result.problems) PrintProblem(problem);
  return !result.failed();
}

std::vector<std::string> DisplayOrderPaths(const CProjectFile& files) {
  return files.files_in_order();
}

}  // namespace folios::cli

#include "input_files.h"

#include <sstream>

#include "cli_support.h"
#include "gather_inputs.h"
#include "paths.h"
#include "search_settings.h"
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

int ParseInputOption(const std::vector<std::string>& args, size_t i, InputOptions* options,
                     const char* command) {
  const std::string& arg = args[i];
  if (arg == "--subfolders") {
    options->subfolders = true;
    return 1;
  }
  if (arg == "--no-subfolders") {
    options->subfolders = false;
    return 1;
  }
  std::string list;
  int taken;
  if (arg == "--types") {
    if (i + 1 >= args.size()) {
      UsageError(command, "--types needs a list such as cpp,h");
      return -1;
    }
    list = args[i + 1];
    taken = 2;
  } else if (arg.rfind("--types=", 0) == 0) {
    list = arg.substr(8);
    taken = 1;
  } else {
    return 0;
  }
  SearchTypes types;
  if (!ParseTypes(list, &types)) {
    UsageError(command, "--types takes cpp, h, java, frm, bas and cls, got '" + list + "'");
    return -1;
  }
  options->types = types;
  return taken;
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

#include "input_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

#include "cli_support.h"
#include "file_rows.h"
#include "paths.h"
#include "search_settings.h"
#include "settings_table.h"
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

bool GatherInputs(const std::vector<std::string>& paths, const InputOptions& options,
                  CProjectFile* files) {
  bool ok = true;
  files->Open("", true);
  for (const std::string& given : paths) {
    std::string path = AbsolutePath(given);
    struct stat st;
    bool exists = stat(path.c_str(), &st) == 0;
    int error = errno;
    if (exists && S_ISDIR(st.st_mode)) {
      SearchTypes types = options.types.value_or(SearchTypesFromSettings());
      if (!types.any()) {
        PrintError("search", given, "You must select at least one filetype!");
        ok = false;
        continue;
      }
      bool subfolders = options.subfolders.value_or(SearchSubfoldersFromSettings());
      SearchResult result;
      Status status = FindSourceFiles(path, types, subfolders, &result);
      if (!status.ok()) {
        PrintError("search", given, status.message());
        ok = false;
        continue;
      }
      for (const std::string& dir : result.unreadable) {
        PrintError("search", dir, "cannot be read; skipped");
      }
      for (const std::string& link : result.skipped_links) {
        PrintError("search", link,
                   "a symbolic link to a directory; skipped (name it to search it)");
      }
      if (result.files.empty()) {
        PrintError("search", given, "No files where found in the directory!");
        ok = false;
        continue;
      }
      // Grouped by type in the order the file list shows the groups, and
      // in name order within a group.
      std::stable_sort(result.files.begin(), result.files.end(),
                       [](const std::string& a, const std::string& b) {
                         int ga = GroupOfExtension(Extension(a));
                         int gb = GroupOfExtension(Extension(b));
                         if (ga != gb) return ga > gb;
                         return a < b;
                       });
      TerminalProgress progress;
      AppendFoundFiles(*files, result.files, &progress);
      continue;
    }
    std::string extension = Extension(path);
    if (!exists) {
      PrintError("open", given, ErrnoMessage(error));
      ok = false;
      if (extension == "dsp" || extension == "vbp") continue;
    }
    if (extension != "dsp" && extension != "vbp" && GroupOfExtension(extension) < 0) {
      PrintError("open", given, "not a C, C++, Java or Visual Basic source file or project");
      ok = false;
      continue;
    }
    Status status = files->Open(path, false);
    if (!status.ok()) {
      PrintError("open project", given, status.message());
      ok = false;
      continue;
    }
    const size_t before = files->files_in_order().size();
    status = files->Process();
    if (!status.ok()) {
      PrintError("read project", given, status.message());
      ok = false;
    } else if (files->files_in_order().size() == before) {
      // A project of nothing but other kinds of entries (or only itself).
      PrintMessage(given + ": no source files");
      ok = false;
    }
    for (const std::string& note : files->notes()) {
      PrintMessage("warning: project '" + given + "': " + note);
    }
  }
  return ok;
}

std::vector<std::string> DisplayOrderPaths(const CProjectFile& files) {
  return files.files_in_order();
}

}  // namespace folios::cli

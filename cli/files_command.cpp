// folios files: the rows the main window would show for some inputs.
#include <sys/stat.h>

#include <iostream>

#include "cli_support.h"
#include "commands.h"
#include "file_rows.h"
#include "input_files.h"
#include "option_parser.h"
#include "paths.h"
#include "rtf_text.h"

namespace folios::cli {

namespace {

const char kHelp[] =
    "Usage: folios files [--types LIST] [--subfolders | --no-subfolders] [--paths]\n"
    "                    [--files-from FILE [-0]] PATH...\n"
    "\n"
    "Gathers files as the desktop program does and prints the rows of its file\n"
    "list: file name, directory, size and last-modified time (UTC), in the\n"
    "order the other commands take them: the PATHs in the order given, a\n"
    "project's files in its order, a directory's files by type, then by name.\n"
    "A PATH is a source file, a project (.dsp or .vbp) whose files are taken,\n"
    "or a directory that is searched.\n"
    "\n"
    "  --types LIST      file types searched in directories, comma-separated from\n"
    "                    cpp (*.cpp, *.c), h (*.hpp, *.h), java, frm, bas, cls;\n"
    "                    default: the types chosen in the last search (settings)\n"
    "  --subfolders      search subdirectories too (default: as last time)\n"
    "  --no-subfolders   search only the named directory\n"
    "  --paths           print the full path of each file, one a line, and\n"
    "                    nothing else (for scripts)\n"
    "  --files-from FILE also gather the PATHs named in FILE, one a line ('-':\n"
    "                    standard input)\n"
    "  -0, --null        names in --files-from lists end with NUL, not a line\n"
    "                    end; with --paths, each path printed ends with NUL too\n"
    "  --settings FILE   take project settings (search types) from FILE\n"
    "  --no-project-settings  ignore .folios.ini files\n"
    "  -q, --quiet       print nothing but errors (no warnings)\n"
    "  --                every argument after it is a PATH, even one that\n"
    "                    begins with '-'\n";

void PrintPadded(const std::string& text, size_t width) {
  std::cout << text;
  size_t shown = CountCharacters(text);
  for (size_t i = shown; i < width; ++i) std::cout << ' ';
}

}  // namespace

int RunFilesCommand(const std::vector<std::string>& args) {
  InputOptions options;
  CommonOptions common;
  std::vector<std::string> paths;
  bool paths_only = false;
  OptionParser parser("files");
  AddInputOptions(&parser, &options);
  parser.Flag("--paths", [&] { paths_only = true; });
  AddCommonOptions(&parser, &common);
  parser.Operands([&](const std::string& operand, bool) {
    paths.push_back(operand);
    return std::string();
  });
  if (int rc = parser.Parse(args); rc != kExitOk) return rc;
  if (parser.help_asked()) {
    std::cout << kHelp;
    return kExitOk;
  }
  if (!ReadFileLists(common, &paths)) return kExitFailure;
  if (paths.empty()) return UsageError("files", "no PATH given");
  if (!UseProjectSettingsFor(common, paths.front())) return kExitFailure;

  CProjectFile files;
  bool ok = GatherInputs(paths, options, &files);
  if (paths_only) {
    const std::vector<std::string> found = DisplayOrderPaths(files);
    for (const std::string& path : found) std::cout << path << (common.null_separated ? '\0' : '\n');
    return ok && !found.empty() ? kExitOk : kExitFailure;
  }
  FileList list;
  for (const std::string& path : DisplayOrderPaths(files)) {
    list.rows.push_back(MakeRow(path, GroupOfExtension(Extension(path))));
  }
  if (list.rows.empty()) return kExitFailure;

  const char* titles[] = {"Filename", "Directory", "Size", "Modified"};
  size_t widths[3] = {8, 9, 4};
  for (const FileRow& row : list.rows) {
    widths[0] = std::max(widths[0], CountCharacters(row.file_name));
    widths[1] = std::max(widths[1], CountCharacters(row.directory));
    widths[2] = std::max(widths[2], CountCharacters(row.size_text));
  }
  for (int c = 0; c < 3; ++c) PrintPadded(titles[c], widths[c] + 2);
  std::cout << titles[3] << '\n';
  for (const FileRow& row : list.rows) {
    PrintPadded(row.file_name, widths[0] + 2);
    PrintPadded(row.directory, widths[1] + 2);
    PrintPadded(row.size_text, widths[2] + 2);
    std::cout << row.modified_text << '\n';
  }
  return ok ? kExitOk : kExitFailure;
}

}  // namespace folios::cli

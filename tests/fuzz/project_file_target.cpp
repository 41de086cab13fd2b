// Fuzz target: the project-file reader (.dsp and .vbp).
//
// Body: the project file. Header byte 0: bit 0 a .vbp instead of a .dsp,
// bit 1 in upper case (.DSP, .VBP), bit 2 named by a relative path.
// Oracles: reading succeeds or fails with a reason; every file added sits
// in the group of its extension; a path resolved from the project is
// absolute and normalised (no "." or ".." parts, no empty parts, no
// trailing "/"), or kept as written when it names a drive; no more files
// than the project has lines.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "paths.h"
#include "project_file.h"

namespace folios::fuzz {
namespace {

constexpr size_t kHeader = 1;

bool HasDriveLetter(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool IsNormalAbsolute(const std::string& path) {
  if (path.empty() || path[0] != '/') return false;
  if (path == "/") return true;
  if (path.back() == '/') return false;
  size_t start = 1;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace
}  // namespace folios::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  FuzzInput in(data, size, kHeader);
  const std::string& dir = WorkDirectory();
  std::string extension = in.Bit(0, 0) ? "vbp" : "dsp";
  if (in.Bit(0, 1)) std::transform(extension.begin(), extension.end(), extension.begin(), ::toupper);
  const std::string path = dir + "/project/p." + extension;
  std::string_view body = in.body();
  mkdir((dir + "/project").c_str(), 0700);  // exists after the first run
  WriteFileOrDie(path, body);

  // A relative name is resolved against the working directory, which is
  // changed for the read only: libFuzzer's own paths may be relative.
  std::string named = path;
  int previous_dir = -1;
  if (in.Bit(0, 2)) {
    previous_dir = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(previous_dir >= 0 && chdir(dir.c_str()) == 0, "cannot enter the work directory");
    named = "project/p." + extension;
  }
  CProjectFile project;
  Status opened = project.Open(named, true);
  Status processed = opened.ok() ? project.Process() : Status();
  if (previous_dir >= 0) {
    Check(fchdir(previous_dir) == 0, "cannot return to the working directory");
    close(previous_dir);
  }
  Check(opened.ok(), "a project file that exists cannot be opened", opened.message());
  Check(processed.ok() || !processed.message().empty(), "a failed project read gives no reason");

  size_t lines = static_cast<size_t>(std::count(body.begin(), body.end(), '\n')) + 1;
  Check(project.FileCount() <= lines, "more files than the project has lines");
  for (int group = 0; group < kFileGroupCount; ++group) {
    for (const std::string& file : project.group(group)) {
      Check(GroupOfExtension(Extension(file)) == group, "a file sits in the wrong group", file);
      Check(file.find('\0') == std::string::npos, "a file name holds a NUL byte", file);
      if (HasDriveLetter(file)) continue;
      if (in.Bit(0, 2)) {
        // Relative to a relative project: normal, but not necessarily absolute.
        Check(file.find("/./") == std::string::npos && file.find("//") == std::string::npos,
              "a project path is not normalised", file);
      } else {
        Check(IsNormalAbsolute(file), "a project path is not absolute and normalised", file);
      }
    }
  }
  return 0;
}

// The reformat build over a list of files.
#include "reformat_build.h"

#include <set>

#include "atomic_file.h"
#include "paths.h"
#include "reformat_file.h"

namespace folios {

bool IsReformattable(const std::string& path) {
  // The extension is everything after the last dot of the whole path, so a
  // dotted directory with an extensionless file is passed over.
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = ToLowerAscii(std::string_view(path).substr(dot + 1));
  return ext == "cpp" || ext == "h" || ext == "c" || ext == "java";
}

ReformatBuildResult RunReformatBuild(const std::vector<std::string>& paths_in_display_order,
                                     Progress* progress, std::ostream& out, std::ostream& err) {
  ReformatBuildResult result;
  if (progress) {
    progress->SetCaption("Reformat sourcecode files");
    progress->SetRange(0, static_cast<int>(paths_in_display_order.size()));
    progress->SetStep(1);
  }
  // One file named twice (through "./", a link or a second project) is
  // formatted once: a second pass would put the first result in its backup.
  std::set<FileId> seen;
  const FormatSettings settings = LoadFormatSettings();
  for (const std::string& path : paths_in_display_order) {
    if (progress) {
      progress->StepIt();
      progress->SetStatus(path);
    }
    if (!IsReformattable(path)) {
      ++result.passed_over;
      result.passed_over_paths.push_back(path);
      continue;
    }
    FileId id;
    if (GetFileId(path, &id) && !seen.insert(id).second) continue;
    // The backup sits beside the file that changes, which for a symbolic
    // link is the file it leads to.
    std::string target = path;
    FollowLinks(path, &target);
    ReformatFileOptions options;
    options.settings = &settings;
    options.skip_unchanged = true;
    options.backup_path = target + ".orig";
    ReformatFileResult done = ReformatFileWith(path, path, options, out, err);
    if (done.code != kReformatOk) {
      result.failures.push_back({path, done.reason, done.code});
    } else if (done.unchanged) {
      ++result.unchanged;
    } else {
      ++result.formatted;
    }
  }
  return result;
}

}  // namespace folios

// The reformat build over a list of files.
#include "reformat_build.h"

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
  for (const std::string& path : paths_in_display_order) {
    if (progress) {
      progress->StepIt();
      progress->SetStatus(path);
    }
    if (!IsReformattable(path)) {
      ++result.passed_over;
      continue;
    }
    std::string backup = path + ".orig";
    Status copied = CopyFileAtomically(path, backup);
    if (!copied.ok()) {
      // Without a backup the file is not touched at all.
      result.failures.push_back(
          {path, "cannot make the backup copy '" + backup + "': " + copied.message(), kReformatNoFileOrMemory});
      continue;
    }
    std::string reason;
    int rc = ReformatFile(backup, path, out, err, &reason);
    if (rc == kReformatOk) {
      ++result.formatted;
    } else {
      result.failures.push_back({path, reason, rc});
    }
  }
  return result;
}

}  // namespace folios

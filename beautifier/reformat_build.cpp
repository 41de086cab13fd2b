// The reformat build over a list of files.
#include "reformat_build.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "atomic_file.h"
#include "paths.h"
#include "reformat_file.h"

namespace folios {

namespace {

// The backup is a second name for the source's content. Formatting replaces
// the source by a new file, so the backup keeps the old text; a hard link
// costs no copy. Where links are not possible the content is copied.
Status MakeBackup(const std::string& path, const std::string& backup, bool* linked) {
  *linked = false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return Status::Error(ErrnoMessage(errno));
  if (!S_ISREG(st.st_mode)) return CopyFileAtomically(path, backup);
  if (::unlink(backup.c_str()) != 0 && errno != ENOENT) return CopyFileAtomically(path, backup);
  if (::link(path.c_str(), backup.c_str()) == 0) {
    *linked = true;
    return Status::OK();
  }
  return CopyFileAtomically(path, backup);
}

}  // namespace

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
    bool linked = false;
    Status copied = MakeBackup(path, backup, &linked);
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
      // The source kept its content, so a linked backup would follow later
      // edits of it: make the backup a copy of its own.
      if (linked) CopyFileAtomically(path, backup);
      result.failures.push_back({path, reason, rc});
    }
  }
  return result;
}

}  // namespace folios

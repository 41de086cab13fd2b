#include "recent_file_list.h"

#include <string>

#include "registry.h"

namespace folios::gui {

const char RecentFileList::kKeyPath[] =
    "Software\\Local AppWizard-Generated Applications\\Lumentra Folios\\Recent File List";

namespace {

std::string ValueName(int i) { return "File" + std::to_string(i + 1); }

}  // namespace

QStringList RecentFileList::entries() {
  CRegistry registry(kCurrentUser, kKeyPath);
  QStringList paths;
  for (int i = 0; i < kSize; ++i) {
    const std::string path = registry.ReadString(ValueName(i), std::string());
    if (!path.empty()) paths << QString::fromStdString(path);
  }
  return paths;
}

void RecentFileList::add(const QString& path) {
  if (path.isEmpty()) return;
  QStringList paths = entries();
  paths.removeAll(path);
  paths.prepend(path);
  store(paths);
}

void RecentFileList::remove(const QString& path) {
  QStringList paths = entries();
  if (paths.removeAll(path) > 0) store(paths);
}

void RecentFileList::store(const QStringList& paths) {
  CRegistry registry(kCurrentUser, kKeyPath);
  for (int i = 0; i < kSize; ++i) {
    registry.WriteString(ValueName(i), i < paths.size() ? paths.at(i).toStdString() : std::string());
  }
}

}  // namespace folios::gui

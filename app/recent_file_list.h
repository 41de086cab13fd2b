// The recent-file list of the File menu: the last four projects, files or
// folders the list was filled from, newest first, kept in the settings
// store beside (not under) the program's own settings, so that "Reset all
// settings" leaves it alone.
#pragma once

#include <QString>
#include <QStringList>

namespace folios::gui {

class RecentFileList {
 public:
  static constexpr int kSize = 4;
  // Where the entries are kept: root HKEY_CURRENT_USER, values "File1".."File4".
  static const char kKeyPath[];

  // The stored entries, newest first, empty ones left out.
  static QStringList entries();
  // Puts `path` first; an entry already listed moves up; the oldest of
  // more than four goes.
  static void add(const QString& path);
  static void remove(const QString& path);

 private:
  static void store(const QStringList& paths);
};

}  // namespace folios::gui

// What the desktop program remembers between runs about its windows: the
// main window's geometry and toolbar state, the file list's view mode,
// column widths and sort, and the last folder of each file dialog.
//
// It is kept in the settings store in a section of its own beside the
// recent files (root HKEY_CURRENT_USER), so the program's settings are
// untouched and "Reset all settings" leaves it alone.
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

namespace folios::gui {

class WindowState {
 public:
  static const char kKeyPath[];

  // The file dialogs that remember where they were last.
  enum Folder {
    kOpenFolder,    // Open Project/File, when no default location is set
    kOutputFolder,  // the save dialog of the builds, when the list gives none
  };
  static QString lastFolder(Folder folder);
  static void setLastFolder(Folder folder, const QString& path);

  // Raw values; an absent one reads as empty, as -1 or as an empty list.
  static QByteArray bytes(const char* name);
  static void setBytes(const char* name, const QByteArray& value);
  static int number(const char* name, int absent = -1);
  static void setNumber(const char* name, int value);
  static QList<int> numbers(const char* name);
  static void setNumbers(const char* name, const QList<int>& values);
};

// Where a window whose frame was `frame` goes so that it can be seen: kept
// when its title bar area lies on one of `screens`, else moved (and shrunk
// when it is larger) into the middle of `primary`.
QRect PlaceOnScreen(const QRect& frame, const QList<QRect>& screens, const QRect& primary);

}  // namespace folios::gui

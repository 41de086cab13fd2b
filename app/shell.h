// Handing files to the desktop: opening a document or page with the
// application the desktop associates with it.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace folios::gui {

class Shell {
 public:
  // Starts the desktop's opener on `path`; false when it could not be
  // started. Whether an application took the file is known only later.
  static bool open(const QString& path);
  // The same, and a message naming the file and saying how to open it when
  // the opener cannot be started or reports that no application took it.
  static void openOrSay(QWidget* parent, const QString& path);
  // How a user can open `path` by hand, by its type.
  static QString howToOpen(const QString& path);

  // The program that opens files, given the path as its one argument:
  // xdg-open unless set otherwise.
  static void setOpener(const QString& program);

  // Test seam: in test mode nothing is launched; every path is recorded and
  // open() gives `succeed` (true unless set otherwise).
  static void setTestMode(bool on);
  static void setTestResult(bool succeed);
  static QStringList opened();
};

}  // namespace folios::gui

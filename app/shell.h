// Handing files to the desktop: opening a document or page with the
// application the desktop associates with it.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace folios::gui {

class Shell {
 public:
  // Opens `path` with the desktop's default application; false when the
  // desktop could not hand it to one.
  static bool open(const QString& path);
  // The same, and on failure a message naming the file, so that the user
  // can open it by hand.
  static void openOrSay(QWidget* parent, const QString& path);

  // Test seam: in test mode nothing is launched; every path is recorded and
  // open() gives `succeed` (true unless set otherwise).
  static void setTestMode(bool on);
  static void setTestResult(bool succeed);
  static QStringList opened();
};

}  // namespace folios::gui

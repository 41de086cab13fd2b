// Handing files to the desktop: opening a document or page with the
// application the desktop associates with it.
#pragma once

#include <QString>
#include <QStringList>

namespace folios::gui {

class Shell {
 public:
  // Opens `path` with the desktop's default application. Failures are not
  // reported: the document is on disk either way.
  static void open(const QString& path);

  // Test seam: in test mode nothing is launched; every path is recorded.
  static void setTestMode(bool on);
  static QStringList opened();
};

}  // namespace folios::gui

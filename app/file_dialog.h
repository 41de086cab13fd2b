// FileDialog: every file and folder dialog of the program goes through here,
// so tests can choose the answer in advance and see what was asked.
#pragma once

#include <QString>

class QWidget;

namespace folios::gui {

// What the last dialog was asked to show (for tests).
struct FileDialogRequest {
  QString kind;       // "open", "save" or "directory"
  QString title;
  QString directory;  // initial folder
  QString filter;     // Qt filter list, ";;"-separated
  QString selectedFilter;
  QString proposedName;
};

class FileDialog {
 public:
  // One existing file; empty when cancelled.
  static QString getOpenFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& filter, const QString& selectedFilter = QString());
  // Any path, new or existing, with nothing appended to the name; the caller
  // confirms replacing an existing file itself. Empty when cancelled.
  static QString getSaveFileName(QWidget* parent, const QString& title,
                                 const QString& proposedPath, const QString& filter);
  // An existing directory; empty when cancelled.
  static QString getExistingDirectory(QWidget* parent, const QString& title,
                                      const QString& directory);

  // Test seam. In test mode no dialog is shown: the next queued name is the
  // answer, or empty (cancel) when none is queued.
  static void setTestMode(bool on);
  static void setNextFileName(const QString& name);
  static FileDialogRequest lastRequest();
};

}  // namespace folios::gui

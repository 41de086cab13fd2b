// The "About Lumentra Folios" dialog: the version, the licence, and the
// places of the program's data files and settings.
#pragma once

#include <QDialog>

namespace folios::gui {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  // "Lumentra Folios Version X.Y.Z", from the build's version.
  static QString versionText();

 protected:
  // Only the button closes the dialog.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace folios::gui

// The "About Lumentra Folios" dialog.
#pragma once

#include <QDialog>

namespace folios::gui {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

 protected:
  // Only the button closes the dialog.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace folios::gui

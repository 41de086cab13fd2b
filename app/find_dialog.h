// CFindDlg: the "Find" dialog of Open Directory. It chooses a directory and
// the file types, searches (with a busy animation while the search runs
// beside the window's thread) and hands back the files found.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace folios::gui {

class CFindDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CFindDlg(QWidget* parent = nullptr);

  // The files found by the last search, in search order.
  const std::vector<std::string>& foundFiles() const { return m_found; }
  QString directory() const;
  // Whether the busy animation is running (only during a search).
  bool searching() const { return m_searching; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  void browse();
  void search();

 private:
  void loadSettings();
  void saveSettings();

  QLineEdit* m_dir;
  QCheckBox* m_cpp;
  QCheckBox* m_h;
  QCheckBox* m_java;
  QCheckBox* m_frm;
  QCheckBox* m_bas;
  QCheckBox* m_cls;
  QCheckBox* m_subfolders;
  QProgressBar* m_busy;
  std::vector<std::string> m_found;
  bool m_searching = false;
};

}  // namespace folios::gui

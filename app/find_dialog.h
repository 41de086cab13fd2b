// CFindDlg: the "Find" dialog of Open Directory. It chooses a directory and
// the file types, searches (with a busy animation while the search runs
// beside the window's thread) and hands back the files found.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "gather_inputs.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace folios::gui {

class CFindDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CFindDlg(QWidget* parent = nullptr);

  // What the last search found: the files in search order and the problems
  // met (folders that could not be read, links skipped, nothing found).
  const GatherPlan& plan() const { return m_plan; }
  // The files of plan(), in search order.
  std::vector<std::string> foundFiles() const;
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
  GatherPlan m_plan;
  bool m_searching = false;
};

}  // namespace folios::gui

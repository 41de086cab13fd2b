// The "Statistics" dialog: files and kilobytes per file type, and a total.
#pragma once

#include <QDialog>
#include <vector>

#include "file_rows.h"

class QTreeWidget;

namespace folios::gui {

class CStatisticsDlg : public QDialog {
  Q_OBJECT

 public:
  CStatisticsDlg(const std::vector<StatisticsRow>& rows, QWidget* parent = nullptr);

  QTreeWidget* table() const { return m_table; }

 protected:
  // Only the button closes the dialog.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTreeWidget* m_table;
};

}  // namespace folios::gui

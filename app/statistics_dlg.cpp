#include "statistics_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialog_keys.h"
#include "group_icons.h"

namespace folios::gui {

namespace {

// The row labels the file list gives, in the user's language.
QString RowLabel(const std::string& label) {
  static const char* const kLabels[] = {
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "C++ Sourcefiles (*.cpp, *.c)"),
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "C++ Headerfiles (*.h)"),
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "Visual Basic Form files (*.frm)"),
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "Visual Basic Module (*.bas)"),
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "Visual Basic Class Module (*.cls)"),
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "Java Files (*.java)"),
      QT_TRANSLATE_NOOP("folios::gui::CStatisticsDlg", "Total"),
  };
  for (const char* known : kLabels) {
    if (label == known) return CStatisticsDlg::tr(known);
  }
  return QString::fromStdString(label);
}

}  // namespace

CStatisticsDlg::CStatisticsDlg(const std::vector<StatisticsRow>& rows, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("statisticsDialog"));
  setWindowTitle(tr("Statistics"));
  auto* group = new QGroupBox(tr("Fileinfo"), this);
  m_table = new QTreeWidget(group);
  m_table->setObjectName(QStringLiteral("statisticsTable"));
  m_table->setAccessibleName(tr("Files per type"));
  m_table->setRootIsDecorated(false);
  m_table->setHeaderLabels({tr("Filetype"), tr("Number"), tr("Total Size")});
  m_table->setColumnWidth(0, 220);
  m_table->setColumnWidth(1, 60);
  m_table->setColumnWidth(2, 84);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setIconSize(QSize(16, 16));
  for (const StatisticsRow& row : rows) {
    auto* item = new QTreeWidgetItem(m_table);
    item->setText(0, RowLabel(row.label));
    item->setIcon(0, GroupIcon(row.image));
    item->setText(1, QString::fromStdString(row.number));
    item->setText(2, QString::fromStdString(row.total_size));
  }
  // The labels are never cut: the type column grows to its longest label.
  m_table->resizeColumnToContents(0);
  m_table->setColumnWidth(0, qMax(220, m_table->columnWidth(0)));
  m_table->setMinimumSize(m_table->columnWidth(0) + 60 + 84 + 8, m_table->sizeHintForRow(0) * 9);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_table);

  auto* ok = new QPushButton(tr("&OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setAutoDefault(false);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
}

void CStatisticsDlg::keyPressEvent(QKeyEvent* event) {
  // Only the buttons act.
  if (!SwallowEnterAndEscape(event)) QDialog::keyPressEvent(event);
}

}  // namespace folios::gui

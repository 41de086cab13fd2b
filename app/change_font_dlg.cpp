#include "change_font_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "color_choice.h"
#include "page_controls.h"

namespace folios::gui {

namespace {

QComboBox* NamedCombo(const char* name, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

}  // namespace

CChangeFontDlg::CChangeFontDlg(const TextStyle& style, QWidget* parent)
    : QDialog(parent), m_initial(style) {
  setObjectName(QStringLiteral("changeFontDialog"));
  setWindowTitle(tr("Change font"));

  auto* stylesBox = new QGroupBox(tr("Font styles"), this);
  auto* stylesLayout = new QVBoxLayout(stylesBox);
  m_bold = NamedCheck(tr("&Bold"), "boldCheck", stylesBox);
  m_italic = NamedCheck(tr("&Italic"), "italicCheck", stylesBox);
  m_underline = NamedCheck(tr("&Underline"), "underlineCheck", stylesBox);
  for (QCheckBox* check : {m_bold, m_italic, m_underline}) stylesLayout->addWidget(check);

  m_size = NamedCombo("sizeCombo", this);
  for (int size = kSmallestSize; size <= kLargestSize; ++size) {
    m_size->addItem(QString::number(size), size);
  }
  m_foreColor = NamedCombo("foreColorCombo", this);
  m_backColor = NamedCombo("backColorCombo", this);
  FillColorNames(m_foreColor);
  FillColorNames(m_backColor);

  auto* lists = new QGridLayout;
  lists->addWidget(BuddyLabel(tr("font &size"), m_size, this), 0, 0);
  lists->addWidget(m_size, 0, 1);
  lists->addWidget(BuddyLabel(tr("&font color"), m_foreColor, this), 1, 0);
  lists->addWidget(m_foreColor, 1, 1);
  lists->addWidget(BuddyLabel(tr("back&ground color"), m_backColor, this), 2, 0);
  lists->addWidget(m_backColor, 2, 1);
  lists->setRowStretch(3, 1);

  QPushButton* ok = NamedButton(tr("&OK"), "okButton", this);
  ok->setDefault(true);
  QPushButton* cancel = NamedButton(tr("&Cancel"), "cancelButton", this);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(stylesBox);
  layout->addLayout(lists);
  layout->addLayout(buttons);

  m_bold->setChecked(style.bold);
  m_italic->setChecked(style.italic);
  m_underline->setChecked(style.underline);
  m_size->setCurrentIndex(m_size->findData(style.fontsize));
  SelectColor(m_foreColor, style.forecolor);
  SelectColor(m_backColor, style.back_color);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TextStyle CChangeFontDlg::style() const {
  TextStyle chosen;
  chosen.bold = m_bold->isChecked();
  chosen.italic = m_italic->isChecked();
  chosen.underline = m_underline->isChecked();
  chosen.fontsize = m_size->currentIndex() < 0 ? m_initial.fontsize : m_size->currentData().toInt();
  chosen.forecolor = SelectedColor(m_foreColor, m_initial.forecolor);
  chosen.back_color = SelectedColor(m_backColor, m_initial.back_color);
  return chosen;
}

}  // namespace folios::gui

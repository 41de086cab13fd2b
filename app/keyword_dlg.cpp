#include "keyword_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "color_choice.h"
#include "message_box.h"
#include "page_controls.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

QComboBox* NamedCombo(const char* name, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

QString TrueFalse(bool on) { return on ? CKeywordDlg::tr("True") : CKeywordDlg::tr("False"); }

}  // namespace

KeywordFormat CKeywordDlg::TemplateFormat() {
  Settings kw(SettingKey::kTemplateKw);
  KeywordFormat format;
  format.bold = kw.Int(setting_name::kBold) != 0;
  format.italic = kw.Int(setting_name::kItalic) != 0;
  format.underline = kw.Int(setting_name::kUnderline) != 0;
  format.fore = kw.Int(setting_name::kStrcolor);
  format.back = kw.Int(setting_name::kStrbackcolor);
  return format;
}

CKeywordDlg::CKeywordDlg(const KeywordFormat& initial, QWidget* parent)
    : QDialog(parent), m_initial(initial) {
  setObjectName(QStringLiteral("keywordDialog"));
  setWindowTitle(tr("Edit keyword"));

  m_keyword = NamedEdit("keywordEdit", this);
  m_keyword->setMinimumWidth(200);
  auto* formatBox = new QGroupBox(tr("Keyword format"), this);
  m_bold = NamedCheck(tr("&Bold"), "boldCheck", formatBox);
  m_italic = NamedCheck(tr("&Italic"), "italicCheck", formatBox);
  m_underline = NamedCheck(tr("&Underline"), "underlineCheck", formatBox);
  m_fore = NamedCombo("foreColorCombo", formatBox);
  m_back = NamedCombo("backColorCombo", formatBox);
  FillColorNames(m_fore);
  FillColorNames(m_back);
  auto* formatLayout = new QGridLayout(formatBox);
  formatLayout->addWidget(m_bold, 0, 0);
  formatLayout->addWidget(m_italic, 1, 0);
  formatLayout->addWidget(m_underline, 2, 0);
  formatLayout->addWidget(BuddyLabel(tr("&font color"), m_fore, formatBox), 0, 1);
  formatLayout->addWidget(m_fore, 0, 2);
  formatLayout->addWidget(BuddyLabel(tr("back&ground color"), m_back, formatBox), 1, 1);
  formatLayout->addWidget(m_back, 1, 2);
  m_all = NamedCheck(tr("Use current keyword format for &all keywords"), "allKeywordsCheck", this);

  QPushButton* ok = NamedButton(tr("&OK"), "okButton", this);
  ok->setDefault(true);
  QPushButton* cancel = NamedButton(tr("&Cancel"), "cancelButton", this);
  QPushButton* makeDefault = NamedButton(tr("&Default..."), "defaultButton", this);

  auto* left = new QVBoxLayout;
  auto* keywordRow = new QHBoxLayout;
  keywordRow->addWidget(BuddyLabel(tr("&Keyword"), m_keyword, this));
  keywordRow->addWidget(m_keyword, 1);
  left->addLayout(keywordRow);
  left->addWidget(formatBox);
  left->addWidget(m_all);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addSpacing(12);
  buttons->addWidget(makeDefault);
  buttons->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);

  m_keyword->setText(initial.keyword);
  m_bold->setChecked(initial.bold);
  m_italic->setChecked(initial.italic);
  m_underline->setChecked(initial.underline);
  SelectColor(m_fore, initial.fore);
  SelectColor(m_back, initial.back);

  connect(ok, &QPushButton::clicked, this, &CKeywordDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CKeywordDlg::reject);
  connect(makeDefault, &QPushButton::clicked, this, &CKeywordDlg::makeDefault);
}

KeywordFormat CKeywordDlg::format() const {
  KeywordFormat format;
  // One keyword is one line of the file.
  format.keyword = m_keyword->text();
  format.keyword.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
  format.bold = m_bold->isChecked();
  format.italic = m_italic->isChecked();
  format.underline = m_underline->isChecked();
  format.fore = SelectedColor(m_fore, m_initial.fore);
  format.back = SelectedColor(m_back, m_initial.back);
  return format;
}

bool CKeywordDlg::applyToAll() const { return m_all->isChecked(); }

void CKeywordDlg::accept() {
  const KeywordFormat chosen = format();
  if (chosen.keyword.isEmpty()) {
    MessageBox::warning(this, tr("You must enter a keyword!"));
    m_keyword->setFocus();
    return;
  }
  if (ColorLabel(chosen.fore) == ColorLabel(chosen.back)) {
    MessageBox::warning(this, tr("The font and backcolor name must be different!"));
    return;
  }
  QDialog::accept();
}

void CKeywordDlg::makeDefault() {
  const KeywordFormat shown = format();
  const QString question = tr("Do you want to change the default values to:\n") +
                           tr("Bold: ") + TrueFalse(shown.bold) + QLatin1Char('\n') +
                           tr("Italic: ") + TrueFalse(shown.italic) + QLatin1Char('\n') +
                           tr("Underline: ") + TrueFalse(shown.underline) + QLatin1Char('\n') +
                           tr("Font color: ") + ColorLabel(shown.fore) + QLatin1Char('\n') +
                           tr("Background color: ") + ColorLabel(shown.back) + QLatin1Char('\n');
  if (MessageBox::question(this, question) != QMessageBox::Yes) return;
  Settings kw(SettingKey::kTemplateKw);
  kw.SetInt(setting_name::kBold, shown.bold ? 1 : 0);
  kw.SetInt(setting_name::kStrcolor, shown.fore);
  kw.SetInt(setting_name::kItalic, shown.italic ? 1 : 0);
  kw.SetInt(setting_name::kStrbackcolor, shown.back);
  kw.SetInt(setting_name::kUnderline, shown.underline ? 1 : 0);
}

}  // namespace folios::gui

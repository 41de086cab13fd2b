#include "source_opt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "advanced_format.h"
#include "message_box.h"
#include "noise_chars_dlg.h"
#include "page_controls.h"
#include "registry.h"
#include "setting_names.h"
#include "settings_table.h"
#include "spin_button.h"

namespace folios::gui {

namespace {

// A number field as the listing reads it: the leading digits (and sign).
int NumberIn(const QLineEdit* edit) { return CRegistry::AtoiRule(edit->text().toStdString()); }

}  // namespace

CSourceOpt::CSourceOpt(QWidget* parent) : CPropertyPage(tr("Source code layout"), parent) {
  setObjectName(QStringLiteral("sourceLayoutPage"));

  auto* formatBox = new QGroupBox(tr("Format what (VB only)"), this);
  auto* formatLayout = new QVBoxLayout(formatBox);
  m_format = new QButtonGroup(this);
  const QString formatTexts[] = {tr("&Form Definition only"), tr("&Code only"), tr("&Both")};
  const char* formatNames[] = {"formDefinitionRadio", "codeOnlyRadio", "bothRadio"};
  for (int i = 0; i < 3; ++i) {
    QRadioButton* radio = NamedRadio(formatTexts[i], formatNames[i], formatBox);
    m_format->addButton(radio, i);
    formatLayout->addWidget(radio);
  }

  auto* lineBox = new QGroupBox(tr("Line options"), this);
  auto* lineLayout = new QGridLayout(lineBox);
  m_lineSep = NamedCheck(tr("Use &lineseparator (VB only)"), "lineSepCheck", lineBox);
  m_lineBreaks = NamedCheck(tr("&Generate line breaks if needed"), "lineBreaksCheck", lineBox);
  m_removeNoise = NamedCheck(tr("&Remove noise chars"), "removeNoiseCheck", lineBox);
  QPushButton* define = NamedButton(tr("&Define..."), "defineNoiseButton", lineBox);
  lineLayout->addWidget(m_lineSep, 0, 0, 1, 2);
  lineLayout->addWidget(m_lineBreaks, 1, 0, 1, 2);
  lineLayout->addWidget(m_removeNoise, 2, 0);
  lineLayout->addWidget(define, 2, 1);
  lineLayout->setColumnStretch(0, 1);

  auto* numbersBox = new QGroupBox(tr("Line numbers"), this);
  auto* numbersLayout = new QGridLayout(numbersBox);
  m_noLineNumbers = NamedCheck(tr("&None"), "noLineNumbersCheck", numbersBox);
  m_byModule = NamedRadio(tr("By &module"), "byModuleRadio", numbersBox);
  m_continuous = NamedRadio(tr("C&ontinuous"), "continuousRadio", numbersBox);
  m_startAt = NamedEdit("startAtEdit", numbersBox);
  m_incrementBy = NamedEdit("incrementByEdit", numbersBox);
  for (QLineEdit* edit : {m_startAt, m_incrementBy}) edit->setFixedWidth(70);
  numbersLayout->addWidget(m_noLineNumbers, 0, 0, 1, 2);
  numbersLayout->addWidget(m_byModule, 1, 0, 1, 2);
  numbersLayout->addWidget(m_continuous, 2, 0, 1, 2);
  numbersLayout->addWidget(BuddyLabel(tr("Start at"), m_startAt, numbersBox), 3, 0);
  numbersLayout->addWidget(m_startAt, 3, 1);
  numbersLayout->addWidget(BuddyLabel(tr("Increment by"), m_incrementBy, numbersBox), 4, 0);
  numbersLayout->addWidget(m_incrementBy, 4, 1);
  numbersLayout->setColumnStretch(2, 1);

  auto* columnsBox = new QGroupBox(tr("Columns"), this);
  auto* columnsLayout = new QGridLayout(columnsBox);
  m_colNumber = NamedEdit("columnNumberEdit", columnsBox);
  m_colNumber->setFixedWidth(40);
  m_colSpin = new CSpinButton(m_colNumber, 1, 2, columnsBox);
  m_colSpin->setObjectName(QStringLiteral("columnNumberSpin"));
  m_colSeparator = NamedCheck(tr("&Separator"), "colSeparatorCheck", columnsBox);
  auto* numberRow = new QHBoxLayout;
  numberRow->setSpacing(0);
  numberRow->addWidget(m_colNumber);
  numberRow->addWidget(m_colSpin);
  numberRow->addStretch(1);
  columnsLayout->addWidget(BuddyLabel(tr("Number"), m_colNumber, columnsBox), 0, 0);
  columnsLayout->addLayout(numberRow, 0, 1);
  columnsLayout->addWidget(m_colSeparator, 1, 0, 1, 2);
  columnsLayout->setColumnStretch(1, 1);

  auto* pageBox = new QGroupBox(tr("Page break"), this);
  auto* pageLayout = new QVBoxLayout(pageBox);
  m_pageBreak = NamedCheck(tr("S&tart new page for every file"), "pageBreakCheck", pageBox);
  pageLayout->addWidget(m_pageBreak);

  auto* outputBox = new QGroupBox(tr("Output type"), this);
  auto* outputLayout = new QHBoxLayout(outputBox);
  m_outputType = new QButtonGroup(this);
  const QString outputTexts[] = {tr("RTF docum&ent"), tr("&Web page (HTML)")};
  const char* outputNames[] = {"rtfDocumentRadio", "webPageRadio"};
  for (int i = 0; i < 2; ++i) {
    QRadioButton* radio = NamedRadio(outputTexts[i], outputNames[i], outputBox);
    m_outputType->addButton(radio, i);
    outputLayout->addWidget(radio);
  }
  outputLayout->addStretch(1);

  m_useAdvanced = NamedCheck(tr("&Use advanced options"), "useAdvancedCheck", this);
  QPushButton* advanced =
      NamedButton(tr("&Advanced C(++)/Java format options"), "advancedButton", this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(formatBox, 0, 0);
  grid->addWidget(numbersBox, 0, 1, 2, 1);
  grid->addWidget(lineBox, 1, 0);
  grid->addWidget(pageBox, 2, 0);
  grid->addWidget(columnsBox, 2, 1);
  auto* advancedRow = new QHBoxLayout;
  advancedRow->addWidget(m_useAdvanced);
  advancedRow->addStretch(1);
  advancedRow->addWidget(advanced);
  grid->addWidget(outputBox, 3, 0, 1, 2);
  grid->addLayout(advancedRow, 4, 0, 1, 2);
  grid->setRowStretch(5, 1);

  const auto changed = [this] { emit modified(); };
  connect(m_format, &QButtonGroup::idClicked, this, changed);
  connect(m_outputType, &QButtonGroup::idClicked, this, changed);
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
           m_lineSep, m_lineBreaks, m_removeNoise, m_noLineNumbers, m_byModule, m_continuous,
           m_colSeparator, m_pageBreak, m_useAdvanced}) {
    connect(b, &QAbstractButton::clicked, this, changed);
  }
  for (QLineEdit* edit : {m_startAt, m_incrementBy, m_colNumber}) {
    connect(edit, &QLineEdit::textEdited, this, changed);
  }
  // The spin arrows change the text without the user typing it.
  connect(m_colSpin, &CSpinButton::stepped, this, changed);
  connect(m_noLineNumbers, &QCheckBox::toggled, this, &CSourceOpt::applyEnablingRule);
  connect(define, &QPushButton::clicked, this, &CSourceOpt::defineNoiseChars);
  connect(advanced, &QPushButton::clicked, this, &CSourceOpt::advancedOptions);
}

void CSourceOpt::LoadSettings() {
  Settings settings(SettingKey::kMain);
  CheckButtonById(m_format, settings.Int(setting_name::kFormat));
  m_lineSep->setChecked(settings.Int(setting_name::kLinesep) != 0);
  m_lineBreaks->setChecked(settings.Int(setting_name::kLinebreaks) != 0);
  m_removeNoise->setChecked(settings.Int(setting_name::kRemoveNoiseChars) != 0);
  m_noLineNumbers->setChecked(settings.Int(setting_name::kUselinenumbers) != 0);
  SetCheckedAlone(m_byModule, settings.Int(setting_name::kLinecountermode) != 0);
  SetCheckedAlone(m_continuous, settings.Int(setting_name::kLinecountermode2) != 0);
  m_startAt->setText(QString::fromStdString(settings.Text(setting_name::kStartat)));
  m_incrementBy->setText(QString::fromStdString(settings.Text(setting_name::kIncrementby)));
  m_colNumber->setText(QString::fromStdString(settings.Text(setting_name::kColnumber)));
  m_colSeparator->setChecked(settings.Int(setting_name::kColseparator) != 0);
  m_pageBreak->setChecked(settings.Int(setting_name::kPagebreak) != 0);
  m_useAdvanced->setChecked(settings.Int(setting_name::kUseAdvancedOptions) != 0);
  CheckButtonById(m_outputType, settings.Int(setting_name::kOutputType));
  applyEnablingRule();
}

bool CSourceOpt::ValidateSettings() {
  const struct {
    QLineEdit* edit;
    QString message;
  } numbers[] = {
      {m_startAt, tr("The \"Start at\" value must be > 0 and < 100000!")},
      {m_incrementBy, tr("The \"Increment by\" value must be > 0 and < 100000!")},
  };
  for (const auto& number : numbers) {
    const int value = NumberIn(number.edit);
    if (value < 1 || value > kMaxLineNumber) {
      MessageBox::warning(window(), number.message);
      number.edit->setFocus();
      return false;
    }
  }
  return true;
}

bool CSourceOpt::SaveSettings() {
  Settings settings(SettingKey::kMain);
  settings.SetText(setting_name::kStartat, m_startAt->text().toStdString());
  settings.SetText(setting_name::kIncrementby, m_incrementBy->text().toStdString());
  // A stored choice that matches no button is kept as it is.
  if (m_format->checkedId() >= 0) settings.SetInt(setting_name::kFormat, m_format->checkedId());
  settings.SetInt(setting_name::kLinesep, m_lineSep->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kLinebreaks, m_lineBreaks->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kUselinenumbers, m_noLineNumbers->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kLinecountermode, m_byModule->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kLinecountermode2, m_continuous->isChecked() ? 1 : 0);
  settings.SetText(setting_name::kColnumber, m_colNumber->text().toStdString());
  settings.SetInt(setting_name::kColseparator, m_colSeparator->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kPagebreak, m_pageBreak->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kRemoveNoiseChars, m_removeNoise->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kUseAdvancedOptions, m_useAdvanced->isChecked() ? 1 : 0);
  if (m_outputType->checkedId() >= 0) settings.SetInt(setting_name::kOutputType, m_outputType->checkedId());
  return true;
}

void CSourceOpt::applyEnablingRule() {
  const bool numbered = !m_noLineNumbers->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{m_byModule, m_continuous, m_startAt,
                                                     m_incrementBy}) {
    w->setEnabled(numbered);
  }
}

void CSourceOpt::defineNoiseChars() {
  CNoiseCharsDlg dialog(window());
  dialog.exec();
}

void CSourceOpt::advancedOptions() {
  CAdvanced_C_Format_sheet sheet(window());
  sheet.exec();
}

}  // namespace folios::gui

#include "doc_opt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_keys.h"
#include "page_controls.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

CDocOpt::CDocOpt(QWidget* parent) : CPropertyPage(tr("Documentation layout"), parent) {
  setObjectName(QStringLiteral("documentationLayoutPage"));

  auto* typeBox = new QGroupBox(tr("Document type"), this);
  auto* typeLayout = new QVBoxLayout(typeBox);
  m_docType = new QButtonGroup(this);
  QRadioButton* rtf = NamedRadio(tr("&RTF format"), "rtfRadio", typeBox);
  QRadioButton* hlp = NamedRadio(tr("&HLP format"), "hlpRadio", typeBox);
  QRadioButton* html = NamedRadio(tr("&Web page (HTML)"), "htmlRadio", typeBox);
  m_docType->addButton(rtf, 0);
  m_docType->addButton(hlp, 1);
  m_docType->addButton(html, 2);
  typeLayout->addWidget(rtf);
  typeLayout->addWidget(hlp);
  typeLayout->addWidget(html);

  auto* generalBox = new QGroupBox(tr("General"), this);
  auto* generalLayout = new QGridLayout(generalBox);
  m_sortTopics = NamedCheck(tr("&Sort topics"), "sortTopicsCheck", generalBox);
  m_topicLog = NamedCheck(tr("&Create topic log"), "topicLogCheck", generalBox);
  m_useExpression =
      NamedCheck(tr("Use &extraction expression"), "useExpressionCheck", generalBox);
  m_expression = NamedEdit("expressionEdit", generalBox);
  m_expression->setMinimumWidth(160);
  generalLayout->addWidget(m_sortTopics, 0, 0, 1, 2);
  generalLayout->addWidget(m_topicLog, 1, 0, 1, 2);
  generalLayout->addWidget(m_useExpression, 2, 0);
  generalLayout->addWidget(m_expression, 2, 1);
  generalLayout->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(typeBox);
  layout->addWidget(generalBox);
  layout->addStretch(1);

  const auto changed = [this] { emit modified(); };
  connect(m_docType, &QButtonGroup::idClicked, this, changed);
  connect(m_sortTopics, &QCheckBox::clicked, this, changed);
  connect(m_topicLog, &QCheckBox::clicked, this, changed);
  connect(m_expression, &QLineEdit::textEdited, this, changed);
  connect(m_useExpression, &QCheckBox::clicked, this, changed);
  connect(m_useExpression, &QCheckBox::toggled, m_expression, &QLineEdit::setEnabled);
}

void CDocOpt::LoadSettings() {
  Settings settings(SettingKey::kMain);
  CheckButtonById(m_docType, settings.Int(setting_name::kDoctype));
  m_sortTopics->setChecked(settings.Int(setting_name::kSortTopics) != 0);
  m_topicLog->setChecked(settings.Int(setting_name::kCreateTopicLog) != 0);
  m_useExpression->setChecked(settings.Int(setting_name::kUseExtractionExpression) != 0);
  m_expression->setText(QString::fromStdString(settings.Text(setting_name::kExtractionExpression)));
  m_expression->setEnabled(m_useExpression->isChecked());
}

bool CDocOpt::SaveSettings() {
  Settings settings(SettingKey::kMain);
  if (m_docType->checkedId() >= 0) settings.SetInt(setting_name::kDoctype, m_docType->checkedId());
  settings.SetInt(setting_name::kSortTopics, m_sortTopics->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kCreateTopicLog, m_topicLog->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kUseExtractionExpression, m_useExpression->isChecked() ? 1 : 0);
  settings.SetText(setting_name::kExtractionExpression, m_expression->text().toStdString());
  return true;
}

void CDocOpt::keyPressEvent(QKeyEvent* event) {
  if (!SwallowEnterAndEscape(event)) CPropertyPage::keyPressEvent(event);
}

}  // namespace folios::gui

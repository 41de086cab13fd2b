#include "keywordfiles_page.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "file_dialog.h"
#include "file_filters.h"
#include "page_controls.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

CKeywordfiles::CKeywordfiles(QWidget* parent) : CPropertyPage(tr("Keywordfiles"), parent) {
  setObjectName(QStringLiteral("keywordfilesPage"));
  auto* box = new QGroupBox(tr("Keywordfiles..."), this);
  auto* grid = new QGridLayout(box);
  struct Row {
    QLineEdit** edit;
    const char* editName;
    const char* buttonName;
    QString label;
    QString title;
  };
  const Row rows[] = {
      {&m_cFiles, "cFilesEdit", "cFilesBrowse", tr("... for C++ files (*.cpp; *.h)"),
       tr("Select a file that contains C++ keywords!")},
      {&m_vbFiles, "vbFilesEdit", "vbFilesBrowse",
       tr("... for Visual Basic Files (*.cls; *.bas; *.frm)"),
       tr("Select a file that contains Visual Basic keywords!")},
      {&m_javaFiles, "javaFilesEdit", "javaFilesBrowse", tr("... for Java Files (*.java)"),
       tr("Select a file that contains JAVA keywords!")},
  };
  int line = 0;
  for (const Row& row : rows) {
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QString::fromLatin1(row.editName));
    edit->setReadOnly(true);
    auto* button = new QPushButton(tr("..."), box);
    button->setObjectName(QString::fromLatin1(row.buttonName));
    button->setFixedWidth(32);
    grid->addWidget(BuddyLabel(row.label, edit, box), line++, 0, 1, 2);
    grid->addWidget(edit, line, 0);
    grid->addWidget(button, line++, 1);
    *row.edit = edit;
    const QString title = row.title;
    connect(button, &QPushButton::clicked, this, [this, edit, title] { browse(edit, title); });
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addStretch(1);
}

void CKeywordfiles::LoadSettings() {
  Settings settings(SettingKey::kMain);
  m_cFiles->setText(QString::fromStdString(settings.Text(setting_name::kCfiles)));
  m_javaFiles->setText(QString::fromStdString(settings.Text(setting_name::kJavafiles)));
  m_vbFiles->setText(QString::fromStdString(settings.Text(setting_name::kVbfiles)));
}

bool CKeywordfiles::SaveSettings() {
  Settings settings(SettingKey::kMain);
  settings.SetText(setting_name::kCfiles, m_cFiles->text().toStdString());
  settings.SetText(setting_name::kJavafiles, m_javaFiles->text().toStdString());
  settings.SetText(setting_name::kVbfiles, m_vbFiles->text().toStdString());
  return true;
}

void CKeywordfiles::browse(QLineEdit* edit, const QString& title) {
  QString path = FileDialog::getOpenFileName(this, title, QFileInfo(edit->text()).absolutePath(),
                                             KeywordFileFilter());
  if (path.isEmpty()) return;
  edit->setText(path);
  emit modified();
}

}  // namespace folios::gui

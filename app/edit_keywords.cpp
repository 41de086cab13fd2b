#include "edit_keywords.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <string>

#include "color_choice.h"
#include "data_files.h"
#include "file_dialog.h"
#include "file_filters.h"
#include "keyword_dlg.h"
#include "message_box.h"
#include "page_controls.h"
#include "registry.h"
#include "rtf_colors.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

// Keyword files are plain bytes: shown as UTF-8 when they are, else one
// character per byte, and written back unchanged unless edited.
QString Display(const std::string& bytes) {
  QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (text.toUtf8() == QByteArray::fromStdString(bytes)) return text;
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

int ColorOfName(const std::string& name) { return std::stoi(ColorIndex(name)); }

QString ColorText(const std::string& name) {
  const int index = ColorOfName(name);
  return index > 0 ? ColorLabel(index) : Display(name);
}

const char* TrueFalse(bool on) { return on ? "True" : "False"; }

// A file's "True" or "False" in the user's language; anything else as it is.
QString BoolText(const std::string& value) {
  if (value == "True") return CEditKeywords::tr("True");
  if (value == "False") return CEditKeywords::tr("False");
  return Display(value);
}

KeywordFormat FormatOf(const KeywordRow& row) {
  KeywordFormat format;
  format.keyword = Display(row.keyword);
  format.bold = row.bold == "True";
  format.italic = row.italic == "True";
  format.underline = row.underline == "True";
  format.fore = ColorOfName(row.fore_name);
  format.back = ColorOfName(row.back_name);
  return format;
}

bool SameFile(const QString& a, const QString& b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

}  // namespace

QString KeywordFileWritePath(const QString& path) {
  const QString shipped =
      QFileInfo(QString::fromStdString(ShippedDataDirectory())).canonicalFilePath();
  const QFileInfo info(path);
  if (shipped.isEmpty() || QFileInfo(info.absolutePath()).canonicalFilePath() != shipped) {
    return path;
  }
  return QString::fromStdString(WritableDataFile(info.fileName().toStdString()));
}

CEditKeywords::CEditKeywords(QWidget* parent) : CPropertyPage(tr("Edit Keywords"), parent) {
  setObjectName(QStringLiteral("editKeywordsPage"));

  m_path = NamedEdit("currentFileEdit", this);
  m_path->setReadOnly(true);
  QPushButton* load = NamedButton(tr("&Load keywordfile"), "loadButton", this);
  m_add = NamedButton(tr("&Add new keyword"), "addButton", this);
  m_delete = NamedButton(tr("&Delete keyword"), "deleteButton", this);

  m_group = new QGroupBox(this);
  m_group->setObjectName(QStringLiteral("keywordsGroup"));
  m_list = new QTreeWidget(m_group);
  m_list->setObjectName(QStringLiteral("keywordList"));
  m_list->setAccessibleName(tr("Keywords"));
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->setAllColumnsShowFocus(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setHeaderLabels({tr("Keyword"), tr("Bold"), tr("Italic"), tr("Underline"),
                           tr("Font color"), tr("Back color")});
  const int widths[kColumnCount] = {140, 50, 50, 70, 90, 90};
  // Wide enough for each title, in any language.
  for (int c = 0; c < kColumnCount; ++c) {
    m_list->setColumnWidth(c, qMax(widths[c], m_list->header()->sectionSizeHint(c)));
  }
  m_list->setMinimumSize(520, 280);
  m_list->installEventFilter(this);
  auto* groupLayout = new QVBoxLayout(m_group);
  groupLayout->addWidget(m_list);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(m_path, 1);
  fileRow->addWidget(load);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_add);
  buttons->addWidget(m_delete);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuddyLabel(tr("&Current keywordfile"), m_path, this));
  layout->addLayout(fileRow);
  layout->addWidget(m_group, 1);
  layout->addLayout(buttons);

  connect(load, &QPushButton::clicked, this, &CEditKeywords::loadKeywordFile);
  connect(m_add, &QPushButton::clicked, this, &CEditKeywords::addKeyword);
  connect(m_delete, &QPushButton::clicked, this, &CEditKeywords::deleteKeyword);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { editKeyword(); });
  showCount();
}

void CEditKeywords::LoadSettings() {
  const QString path = QString::fromStdString(Settings(SettingKey::kMain).Text(setting_name::kKwfile));
  if (!readFile(path)) {
    // Not a keyword file: shown, but never written over.
    m_currentFile = path;
    m_editable = false;
  }
  m_path->setText(m_currentFile);
  m_add->setEnabled(m_editable);
  m_delete->setEnabled(m_editable);
}

bool CEditKeywords::readFile(const QString& path) {
  std::vector<KeywordRow> rows = m_rows;
  std::string error;
  KeywordReadResult result;
  try {
    result = ReadKeywordFileForEditor(path.toStdString(), &rows, &error);
  } catch (const std::exception&) {
    result = KeywordReadResult::kRead;
    error = tr("a colour number is out of range").toStdString();
  }
  switch (result) {
    case KeywordReadResult::kInvalidHeader:
      MessageBox::warning(window(),
                          QString::fromStdString(InvalidKeywordFileEditorMessage(path.toStdString())));
      return false;
    case KeywordReadResult::kMissing:
      // A new file: the list is written there on confirmation.
      m_currentFile = path;
      m_editable = !path.isEmpty();
      break;
    case KeywordReadResult::kRead:
      m_rows = std::move(rows);
      m_currentFile = path;
      m_editable = error.empty();
      if (!error.empty()) {
        MessageBox::warning(
            window(), tr("The file %1 could not be read completely: %2.\nThe keywords read so far "
                         "are shown; the file will not be changed.")
                          .arg(path, QString::fromStdString(error)));
      }
      break;
  }
  m_modified = false;
  showRows();
  return true;
}

bool CEditKeywords::SaveSettings() {
  Settings settings(SettingKey::kMain);
  if (!m_editable) {
    settings.SetText(setting_name::kKwfile, m_currentFile.toStdString());
    return true;
  }
  const QString target = KeywordFileWritePath(m_currentFile);
  const bool shipped = target != m_currentFile;
  // An unchanged shipped file needs no copy of its own.
  if (!(shipped && !m_modified)) {
    Status status = WriteKeywordFile(target.toStdString(), m_rows);
    if (!status.ok()) {
      MessageBox::warning(window(), tr("The keyword file %1 could not be written: %2")
                                        .arg(target, QString::fromStdString(status.message())));
      return false;
    }
    if (shipped) {
      // Languages set to the shipped file now use the edited copy.
      for (const char* name : {setting_name::kCfiles, setting_name::kJavafiles, setting_name::kVbfiles}) {
        CRegistry registry;
        std::optional<std::string> stored =
            registry.QueryString(kLocalMachine, kProductKey, name);
        if (stored && SameFile(QString::fromStdString(*stored), m_currentFile)) {
          settings.SetText(name, target.toStdString());
        }
      }
      m_currentFile = target;
      m_path->setText(m_currentFile);
    }
    m_modified = false;
  }
  settings.SetText(setting_name::kKwfile, m_currentFile.toStdString());
  return true;
}

void CEditKeywords::loadKeywordFile() {
  const QString path = FileDialog::getOpenFileName(
      window(), tr("Load keywordfile"), QFileInfo(m_currentFile).absolutePath(),
      KeywordFileFilter());
  if (path.isEmpty() || !readFile(path)) return;
  m_path->setText(m_currentFile);
  m_add->setEnabled(m_editable);
  m_delete->setEnabled(m_editable);
  emit modified();
}

void CEditKeywords::addKeyword() {
  if (!m_editable) return;
  CKeywordDlg dialog(CKeywordDlg::TemplateFormat(), window());
  if (dialog.exec() != QDialog::Accepted) return;
  m_rows.emplace_back();
  const int row = static_cast<int>(m_rows.size()) - 1;
  setRow(row, dialog.format());
  if (dialog.applyToAll()) {
    for (KeywordRow& other : m_rows) {
      other = KeywordRow{other.keyword, m_rows.back().bold, m_rows.back().italic,
                         m_rows.back().underline, m_rows.back().fore_name,
                         m_rows.back().back_name};
    }
  }
  showRows();
  selectRow(row);
  changed();
}

void CEditKeywords::editKeyword() {
  const int row = selectedRow();
  if (row < 0 || !m_editable) return;
  CKeywordDlg dialog(FormatOf(m_rows[static_cast<size_t>(row)]), window());
  if (dialog.exec() != QDialog::Accepted) return;
  setRow(row, dialog.format());
  if (dialog.applyToAll()) {
    const KeywordRow source = m_rows[static_cast<size_t>(row)];
    for (KeywordRow& other : m_rows) {
      other = KeywordRow{other.keyword, source.bold, source.italic, source.underline,
                         source.fore_name, source.back_name};
    }
  }
  showRows();
  selectRow(row);
  changed();
}

void CEditKeywords::deleteKeyword() {
  const int row = selectedRow();
  if (row < 0 || !m_editable) return;
  m_rows.erase(m_rows.begin() + row);
  delete m_list->takeTopLevelItem(row);
  selectRow(row);
  showCount();
  changed();
}

void CEditKeywords::setRow(int row, const KeywordFormat& format) {
  KeywordRow& target = m_rows[static_cast<size_t>(row)];
  // An unchanged keyword keeps its bytes, whatever their encoding.
  if (format.keyword != Display(target.keyword)) target.keyword = format.keyword.toStdString();
  target.bold = TrueFalse(format.bold);
  target.italic = TrueFalse(format.italic);
  target.underline = TrueFalse(format.underline);
  target.fore_name = ColorName(format.fore);
  target.back_name = ColorName(format.back);
}

void CEditKeywords::showRows() {
  m_list->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(m_rows.size()));
  for (const KeywordRow& row : m_rows) {
    items << new QTreeWidgetItem(QStringList{Display(row.keyword), BoolText(row.bold),
                                             BoolText(row.italic), BoolText(row.underline),
                                             ColorText(row.fore_name), ColorText(row.back_name)});
  }
  m_list->addTopLevelItems(items);
  showCount();
}

void CEditKeywords::showCount() {
  m_group->setTitle(tr("Keywords (%1)").arg(m_rows.size()));
}

int CEditKeywords::selectedRow() const {
  const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
  return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first());
}

void CEditKeywords::selectRow(int row) {
  if (row < 0 || row >= m_list->topLevelItemCount()) return;
  QTreeWidgetItem* item = m_list->topLevelItem(row);
  m_list->setCurrentItem(item);
  item->setSelected(true);
  m_list->scrollToItem(item);
}

void CEditKeywords::changed() {
  m_modified = true;
  emit modified();
}

bool CEditKeywords::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_list && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    deleteKeyword();
    return true;
  }
  return CPropertyPage::eventFilter(watched, event);
}

CPropKeywords::CPropKeywords(QWidget* parent) : CPropertySheet(tr("Edit Keywords"), parent) {
  setObjectName(QStringLiteral("editKeywordsSheet"));
  addPage(new CEditKeywords(this));
}

}  // namespace folios::gui

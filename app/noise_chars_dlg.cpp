#include "noise_chars_dlg.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_keys.h"
#include "message_box.h"
#include "noise_chars.h"

namespace folios::gui {

namespace {

const char kSpaceEntry[] = "(space)";

QString EntryText(unsigned char byte) {
  if (byte == ' ') return QString::fromLatin1(kSpaceEntry);
  return QString(QChar(byte));
}

}  // namespace

CNoiseCharsDlg::CNoiseCharsDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("noiseCharsDialog"));
  setWindowTitle(tr("Define noise chars"));
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("charEdit"));
  m_edit->installEventFilter(this);
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("charList"));
  m_list->setAccessibleName(tr("Noise characters"));
  m_add = new QPushButton(tr("&Add"), this);
  m_add->setObjectName(QStringLiteral("addButton"));
  m_remove = new QPushButton(tr("&Remove"), this);
  m_remove->setObjectName(QStringLiteral("removeButton"));
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  auto* cancel = new QPushButton(tr("&Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  for (QPushButton* b : {m_add, m_remove, ok, cancel}) b->setAutoDefault(false);
  ok->setDefault(true);

  auto* grid = new QGridLayout;
  auto* label = new QLabel(tr("C&haracter:"), this);
  label->setBuddy(m_edit);
  grid->addWidget(label, 0, 0);
  grid->addWidget(m_edit, 0, 1);
  grid->addWidget(m_add, 0, 2);
  grid->addWidget(m_list, 1, 0, 1, 2);
  auto* side = new QVBoxLayout;
  side->addWidget(m_remove);
  side->addStretch(1);
  grid->addLayout(side, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(m_edit, &QLineEdit::textChanged, this, &CNoiseCharsDlg::onEditChanged);
  connect(m_add, &QPushButton::clicked, this, &CNoiseCharsDlg::onAdd);
  connect(m_remove, &QPushButton::clicked, this, &CNoiseCharsDlg::onRemove);
  connect(m_list, &QListWidget::itemSelectionChanged, this,
          [this] { m_remove->setEnabled(!m_list->selectedItems().isEmpty()); });
  connect(ok, &QPushButton::clicked, this, &CNoiseCharsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CNoiseCharsDlg::reject);

  m_add->setEnabled(false);
  m_remove->setEnabled(false);
  for (char c : LoadNoiseChars()) insertEntry(static_cast<unsigned char>(c));
  m_remove->setEnabled(false);
}

std::string CNoiseCharsDlg::characters() const {
  std::string bytes;
  for (int i = 0; i < m_list->count(); ++i) {
    bytes += static_cast<char>(m_list->item(i)->data(Qt::UserRole).toInt());
  }
  return bytes;
}

QStringList CNoiseCharsDlg::entries() const {
  QStringList result;
  for (int i = 0; i < m_list->count(); ++i) result << m_list->item(i)->text();
  return result;
}

void CNoiseCharsDlg::insertEntry(unsigned char byte) {
  QString text = EntryText(byte);
  int row = 0;
  while (row < m_list->count() &&
         QString::compare(m_list->item(row)->text(), text, Qt::CaseInsensitive) <= 0) {
    ++row;
  }
  auto* item = new QListWidgetItem(text);
  item->setData(Qt::UserRole, static_cast<int>(byte));
  m_list->insertItem(row, item);
}

int CNoiseCharsDlg::findPrefix(QChar c) const {
  for (int i = 0; i < m_list->count(); ++i) {
    QString text = m_list->item(i)->text();
    if (!text.isEmpty() && text.at(0).toCaseFolded() == c.toCaseFolded()) return i;
  }
  return -1;
}

void CNoiseCharsDlg::onEditChanged(const QString& text) {
  m_add->setEnabled(true);
  if (text.size() > 1) {
    const QSignalBlocker blocker(m_edit);
    m_edit->setText(text.left(1));
  }
}

bool CNoiseCharsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit && event->type() == QEvent::FocusIn) {
    m_add->setEnabled(!m_edit->text().isEmpty());
  }
  return QDialog::eventFilter(watched, event);
}

void CNoiseCharsDlg::onAdd() {
  QString text = m_edit->text();
  if (text == QStringLiteral("/") || text == QStringLiteral("'") ||
      (!text.isEmpty() && text.at(0).unicode() > 0x7e)) {
    // The file holds one byte per character, and listings are UTF-8: a
    // character outside ASCII cannot be stored without cutting others apart.
    MessageBox::information(this, tr("Invalid caracter!"));
    m_edit->setFocus();
    m_edit->clear();
    m_add->setEnabled(false);
    return;
  }
  if (text.isEmpty()) {
    m_edit->setFocus();
    m_add->setEnabled(false);
    return;
  }
  QChar first = text.at(0) == QLatin1Char(' ') ? QLatin1Char('(') : text.at(0);
  if (findPrefix(first) < 0) {
    insertEntry(static_cast<unsigned char>(text.at(0).toLatin1()));
  } else {
    MessageBox::information(this, tr("The character is already in the list!"));
  }
  m_edit->clear();
  m_edit->setFocus();
  m_add->setEnabled(false);
}

void CNoiseCharsDlg::onRemove() {
  QList<QListWidgetItem*> selected = m_list->selectedItems();
  if (selected.isEmpty()) return;
  delete selected.first();
  m_remove->setEnabled(false);
}

void CNoiseCharsDlg::accept() {
  Status status = SaveNoiseChars(characters());
  if (!status.ok()) {
    MessageBox::warning(this, tr("The noise characters could not be saved: %1")
                                  .arg(QString::fromStdString(status.message())));
    return;
  }
  QDialog::accept();
}

void CNoiseCharsDlg::keyPressEvent(QKeyEvent* event) {
  // Only the buttons act.
  if (!SwallowEnterAndEscape(event)) QDialog::keyPressEvent(event);
}

}  // namespace folios::gui

#include "progress_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace folios::gui {

namespace {

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The captions and status lines the engines give, in the user's language;
// anything else (a path) is shown as it is.
QString Translated(const std::string& text) {
  static const char* const kFixed[] = {
      QT_TRANSLATE_NOOP("folios::gui::CProgressDlg", "Add files to main area"),
      QT_TRANSLATE_NOOP("folios::gui::CProgressDlg", "Reformat sourcecode files"),
      QT_TRANSLATE_NOOP("folios::gui::CProgressDlg", "Load codefiles ..."),
      QT_TRANSLATE_NOOP("folios::gui::CProgressDlg", "Extract comment text ..."),
      QT_TRANSLATE_NOOP("folios::gui::CProgressDlg", "Write file ..."),
  };
  for (const char* fixed : kFixed) {
    if (text == fixed) return CProgressDlg::tr(fixed);
  }
  static const std::string kCreate = "Create RTF document ";
  if (text.compare(0, kCreate.size(), kCreate) == 0) {
    return CProgressDlg::tr("Create RTF document %1")
        .arg(Text(text.substr(kCreate.size())))
        .trimmed();
  }
  static const QRegularExpression kEditing(
      QStringLiteral("^Editing codefile (\\d+) of (\\d+): (.*)$"));
  const QRegularExpressionMatch editing = kEditing.match(Text(text));
  if (editing.hasMatch()) {
    return CProgressDlg::tr("Editing codefile %1 of %2: %3")
        .arg(editing.captured(1), editing.captured(2), editing.captured(3));
  }
  return Text(text);
}

}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("progressDialog"));
  setModal(false);
  m_bar = new QProgressBar(this);
  m_bar->setObjectName(QStringLiteral("progressBar"));
  m_bar->setTextVisible(false);
  m_percent = new QLabel(Text(percent_text()), this);
  m_percent->setObjectName(QStringLiteral("percentLabel"));
  m_percent->setMinimumWidth(48);
  m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("statusLabel"));
  m_status->setMinimumWidth(340);
  m_status->setTextFormat(Qt::PlainText);
  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  cancel->setAutoDefault(false);
  cancel->setDefault(true);  // Enter still does nothing: only Escape and the button cancel
  connect(cancel, &QPushButton::clicked, this, [this] { RequestCancel(); });

  auto* barRow = new QHBoxLayout;
  barRow->addWidget(m_bar, 1);
  barRow->addWidget(m_percent);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  buttonRow->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(barRow);
  layout->addWidget(m_status);
  layout->addLayout(buttonRow);

  OnRangeChanged();
  OnPositionChanged();
  setWindowTitle(QString());
}

CProgressDlg::~CProgressDlg() { Destroy(); }

void CProgressDlg::Create(QWidget* parent) {
  QWidget* owner = parent ? parent->window() : QApplication::activeWindow();
  if (!owner) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w != this && w->isVisible() && w->inherits("QMainWindow")) owner = w;
    }
  }
  m_owner = owner;
  if (owner && owner != this && owner->isEnabled()) {
    owner->setEnabled(false);
    m_ownerDisabled = true;
  }
  // The dialog stays enabled although it may be a child of the owner.
  setEnabled(true);
  show();
  raise();
  ProcessPendingEvents();
}

void CProgressDlg::Destroy() {
  if (m_ownerDisabled && m_owner) m_owner->setEnabled(true);
  m_ownerDisabled = false;
  hide();
}

void CProgressDlg::SetCaption(const std::string& caption) {
  Progress::SetCaption(caption);
  setWindowTitle(Translated(caption));
}

void CProgressDlg::SetStatus(const std::string& text) {
  Progress::SetStatus(text);
  m_status->setText(Translated(text));
}

QString CProgressDlg::statusText() const { return m_status->text(); }
QString CProgressDlg::percentLabel() const { return m_percent->text(); }
int CProgressDlg::barValue() const { return m_bar->value(); }

void CProgressDlg::ProcessPendingEvents() { QApplication::processEvents(); }

void CProgressDlg::OnRangeChanged() {
  // The bar cannot show an empty or reversed range; the percentage text is
  // computed by Progress either way.
  m_bar->setRange(Progress::lower(), qMax(Progress::lower(), Progress::upper()));
}

void CProgressDlg::OnPositionChanged() {
  m_bar->setValue(qBound(m_bar->minimum(), position(), m_bar->maximum()));
}

void CProgressDlg::OnPercentTextChanged() { m_percent->setText(Text(percent_text())); }

void CProgressDlg::reject() { RequestCancel(); }

void CProgressDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
  // Closing the window asks to cancel; its user decides when it goes.
  RequestCancel();
  event->ignore();
}

}  // namespace folios::gui

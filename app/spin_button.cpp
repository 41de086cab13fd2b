#include "spin_button.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "registry.h"

namespace folios::gui {

CSpinButton::CSpinButton(QLineEdit* buddy, int lower, int upper, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_lower(lower), m_upper(upper) {
  m_up = new QToolButton(this);
  m_up->setObjectName(QStringLiteral("up"));
  m_up->setArrowType(Qt::UpArrow);
  m_down = new QToolButton(this);
  m_down->setObjectName(QStringLiteral("down"));
  m_down->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {m_up, m_down}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(16, 11);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_up);
  layout->addWidget(m_down);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(m_up, &QToolButton::clicked, this, &CSpinButton::stepUp);
  connect(m_down, &QToolButton::clicked, this, &CSpinButton::stepDown);
  m_buddy->installEventFilter(this);
}

void CSpinButton::setRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
}

void CSpinButton::stepUp() { stepBy(1); }
void CSpinButton::stepDown() { stepBy(-1); }

void CSpinButton::stepBy(int delta) {
  if (!isEnabled()) return;
  const long long value =
      static_cast<long long>(CRegistry::AtoiRule(m_buddy->text().toStdString())) + delta;
  const long long held = std::clamp<long long>(value, m_lower, m_upper);
  m_buddy->setText(QString::number(held));
  emit stepped();
}

bool CSpinButton::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_buddy && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      stepBy(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace folios::gui

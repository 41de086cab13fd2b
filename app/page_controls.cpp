#include "page_controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace folios::gui {

QCheckBox* NamedCheck(const QString& text, const char* name, QWidget* parent) {
  auto* check = new QCheckBox(text, parent);
  check->setObjectName(QString::fromLatin1(name));
  return check;
}

QRadioButton* NamedRadio(const QString& text, const char* name, QWidget* parent) {
  auto* radio = new QRadioButton(text, parent);
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

QPushButton* NamedButton(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* NamedEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

void CheckButtonById(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

void SetCheckedAlone(QAbstractButton* button, bool on) {
  const bool exclusive = button->autoExclusive();
  button->setAutoExclusive(false);
  button->setChecked(on);
  button->setAutoExclusive(exclusive);
}

}  // namespace folios::gui

// Small helpers for building option pages and dialogs: controls made with
// their object names (tests and the render tool find them by name), and
// radio groups whose stored choice may match none of their buttons.
#pragma once

#include <QString>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace folios::gui {

QCheckBox* NamedCheck(const QString& text, const char* name, QWidget* parent);
QRadioButton* NamedRadio(const QString& text, const char* name, QWidget* parent);
QPushButton* NamedButton(const QString& text, const char* name, QWidget* parent);
QLineEdit* NamedEdit(const char* name, QWidget* parent);
// A label that names `buddy`: its mnemonic moves the focus there, and a
// screen reader announces the control by it.
QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);

// Checks the button with `id`; an id without a button leaves none checked.
void CheckButtonById(QButtonGroup* group, int id);
// Sets one button of an exclusive set on its own, so that two buttons whose
// states are stored apart can show both on or both off.
void SetCheckedAlone(QAbstractButton* button, bool on);

}  // namespace folios::gui

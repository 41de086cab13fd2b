// The program for users of screen readers and of the keyboard alone: every
// input control has a name, every dialog a default button and a tab order
// that walks its controls group by group, and a build runs without a mouse.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include "dialog_catalogue.h"
#include "file_dialog.h"
#include "gui_test_support.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "settings_table.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::MnemonicClashes;
using folios::gui::test::Read;
using folios::gui::test::Write;

namespace {

// Controls a user gives input to (buttons with a text name themselves).
bool IsInputControl(const QWidget* w) {
  if (qobject_cast<const QHeaderView*>(w)) return false;
  // Parts of a combo box or spin box are named by it.
  if (qobject_cast<const QComboBox*>(w->parentWidget()) ||
      qobject_cast<const QAbstractSpinBox*>(w->parentWidget())) {
    return false;
  }
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QAbstractButton*>(w);
}

// What a screen reader announces for `w`.
QString AccessibleName(QWidget* w) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
  return face ? face->text(QAccessible::Name).trimmed() : QString();
}

bool TabReachable(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(w->window()) && w->isEnabled() &&
         !w->focusProxy();
}

// The exclusive group a radio button belongs to: Tab enters it at one
// button, the arrow keys move within it. Null for any other control.
const QObject* RadioGroup(const QWidget* w) {
  const auto* radio = qobject_cast<const QRadioButton*>(w);
  if (!radio) return nullptr;
  if (radio->group() && radio->group()->exclusive()) return radio->group();
  return radio->autoExclusive() ? radio->parentWidget() : nullptr;
}

QString Describe(const QWidget* w) {
  return QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
}

void Activate(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  QVERIFY(QTest::qWaitForWindowActive(window));
}

// The controls Tab visits from the focus of `window`, in order, until it
// comes back to the first (at most `limit` steps).
QList<QWidget*> TabCycle(QWidget* window, int limit) {
  QList<QWidget*> visited;
  QWidget* first = QApplication::focusWidget();
  if (!first) return visited;
  visited << first;
  for (int i = 0; i < limit; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    if (!now || now == first || now->window() != window) break;
    visited << now;
  }
  return visited;
}

}  // namespace

class TestAccessibility : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private:
  // Every input control of `window` without a name, as "dialog: control".
  QStringList unnamed(const QString& dialog, QWidget* window) {
    QStringList found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (!IsInputControl(w) || !TabReachable(w)) continue;
      if (AccessibleName(w).isEmpty()) found << dialog + ": " + Describe(w);
    }
    return found;
  }

 private slots:
  void init() {
    openMainWindow();
    Write(m_dir->File("a.c"), "int a;\n");
  }
  void cleanup() {
    closeMainWindow();
  }

  void everyInputControlOfEveryDialogAndPageHasAName() {
    m_frame->show();
    QStringList missing = unnamed("main window", m_frame.get());
    int dialogs = 0;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      missing += unnamed(name, dialog);
      dialog->hide();
      ++dialogs;
    });
    QVERIFY(dialogs >= 15);
    QVERIFY2(missing.isEmpty(), qPrintable("\n" + missing.join('\n')));
  }

  void everyLabelBesideAControlIsItsBuddy() {
    // A label that names a control lets its mnemonic or a screen reader
    // reach that control: it must say which one.
    QStringList loose;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(dialog)) continue;
        const QString text = label->text();
        // Pictures, values shown, and the prose of the About box name nothing.
        if (text.isEmpty() || label->textInteractionFlags() & Qt::TextSelectableByMouse ||
            label->wordWrap() || label->pixmap().isNull() == false) {
          continue;
        }
        if (label->objectName() == "versionLabel" || label->objectName() == "percentLabel" ||
            label->objectName() == "statusLabel") {
          continue;
        }
        if (!label->buddy()) loose << name + ": \"" + text + "\"";
      }
      dialog->hide();
    });
    QVERIFY2(loose.isEmpty(), qPrintable("\n" + loose.join('\n')));
  }

  // Alt and a letter reach one control only.
  void mnemonicsAreUniqueInEveryDialog() {
    QStringList clashes;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      for (const QString& clash : MnemonicClashes(dialog)) clashes << name + ": " + clash;
      dialog->hide();
    });
    QVERIFY2(clashes.isEmpty(), qPrintable("\n" + clashes.join('\n')));
  }

  void everyDialogHasADefaultButton() {
    QStringList without;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      bool found = false;
      // The button that ends the dialog as the user wants it, not one Qt
      // falls back on (the first button in the tab order).
      for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (!b->isDefault()) continue;
        auto* box = qobject_cast<QDialogButtonBox*>(b->parentWidget());
        const bool ends =
            box ? (box->buttonRole(b) == QDialogButtonBox::AcceptRole ||
                   (box->buttonRole(b) == QDialogButtonBox::RejectRole &&
                    !box->button(QDialogButtonBox::Ok)))
                : QStringList{"okButton", "searchButton", "cancelButton"}.contains(b->objectName());
        found = found || ends;
      }
      if (!found) without << name;
      dialog->hide();
    });
    QVERIFY2(without.isEmpty(), qPrintable(without.join(", ")));
  }

  // Tab visits every control once, and the controls of a group one after
  // the other, so a keyboard user meets them as the eye does.
  void tabWalksEveryControlGroupByGroup() {
    QStringList faults;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      Activate(dialog);
      QList<QWidget*> reachable;
      for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if ((TabReachable(w) || (RadioGroup(w) && w->isEnabled())) && w->isVisibleTo(dialog) &&
            !qobject_cast<QComboBox*>(w->parentWidget()) &&
            !qobject_cast<QAbstractSpinBox*>(w->parentWidget()) && !qobject_cast<QHeaderView*>(w) &&
            !w->focusProxy()) {
          reachable << w;
        }
      }
      if (!QApplication::focusWidget() && !reachable.isEmpty()) reachable.first()->setFocus();
      const QList<QWidget*> cycle = TabCycle(dialog, 200);
      if (qEnvironmentVariableIsSet("SHOW_CYCLE")) {
        QStringList names;
        for (QWidget* w : cycle) names << Describe(w);
        qInfo("%s: %s", qPrintable(name), qPrintable(names.join(" | ")));
      }
      QMap<const QObject*, int> radioGroups;
      for (QWidget* w : cycle) {
        if (const QObject* group = RadioGroup(w)) ++radioGroups[group];
      }
      for (QWidget* w : reachable) {
        if (const QObject* group = RadioGroup(w)) {
          if (radioGroups.value(group) == 0) {
            faults << name + ": Tab never enters the radio group of " + Describe(w);
          }
        } else if (cycle.count(w) != 1) {
          faults << name + ": Tab never reaches " + Describe(w);
        }
      }
      for (QGroupBox* group : dialog->findChildren<QGroupBox*>()) {
        QList<int> at;
        for (int i = 0; i < cycle.size(); ++i) {
          if (group->isAncestorOf(cycle.at(i))) at << i;
        }
        if (!at.isEmpty() && at.last() - at.first() + 1 != at.size()) {
          faults << name + ": Tab leaves the group \"" + group->title() + "\" and comes back";
        }
      }
      dialog->hide();
    });
    QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
  }

  // The list is filled and a listing written with keys alone: Ctrl+O, then
  // the Build menu by its mnemonic, then the item by its own.
  void oneBuildFromTheKeyboardAlone() {
    Settings().SetInt("m_openfile", 0);
    Activate(m_frame.get());
    FileDialog::setNextFileName(path("a.c"));
    QTest::keyClick(m_frame.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_frame->view()->rowCount(), 1);

    Activate(m_frame.get());
    FileDialog::setNextFileName(path("a.rtf"));
    QTest::keyClick(m_frame.get(), Qt::Key_B, Qt::AltModifier);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
    QVERIFY(menu->actions().contains(m_frame->action("actionListing")));
    QTest::keyClick(menu, Qt::Key_S);
    QTRY_VERIFY(QFile::exists(path("a.rtf")));
    QVERIFY(Read(m_dir->File("a.rtf")).find(m_dir->File("a.c")) != std::string::npos);
    QVERIFY(m_frame->isEnabled());
  }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"

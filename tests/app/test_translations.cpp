// The program in the user's language. CTest starts this test with
// LANG=de_DE.UTF-8: the German catalogue and Qt's own are loaded as the
// program loads them. A marking translator then shows that every text the
// windows show went through translation.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTranslator>
#include <QTreeView>
#include <QTreeWidget>

#include "dialog_catalogue.h"
#include "find_dialog.h"
#include "font_sample.h"
#include "gui_test_support.h"
#include "lfx_app.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "message_box.h"
#include "prop_sheet.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::Mnemonic;
using folios::gui::test::MnemonicClashes;
using folios::gui::test::Write;

namespace {

const QChar kOpen(0x27E6);
const QChar kClose(0x27E7);

// Translates every text into itself between marks.
class MarkingTranslator : public QTranslator {
 public:
  QString translate(const char*, const char* source, const char*, int) const override {
    return kOpen + QString::fromUtf8(source) + kClose;
  }
  bool isEmpty() const override { return false; }
};

// A text that went through translation holds only marked parts (which may
// hold marked parts, from arguments), numbers, paths and punctuation.
bool Translated(const QString& text) {
  QString rest = text;
  static const QRegularExpression innermost(QString("%1[^%1%2]*%2").arg(kOpen, kClose));
  while (rest.contains(innermost)) rest.remove(innermost);
  static const QRegularExpression kilobytes("\\b\\d+KB\\b");
  rest.remove(kilobytes);
  static const QRegularExpression words("[A-Za-z\\x{00C0}-\\x{024F}]{2,}");
  return !rest.contains(words);
}

// Every text `window` shows: titles, labels, buttons, groups, tabs, list
// headers, choices, tips and names. Values shown (selectable labels, the
// progress figures, code samples, keyword lists) are the user's data.
QStringList ShownTexts(QWidget* window) {
  QStringList texts{window->windowTitle()};
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    texts << w->toolTip() << w->statusTip() << w->accessibleName();
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (!(label->textInteractionFlags() & Qt::TextSelectableByMouse) &&
          label->objectName() != "percentLabel" && label->objectName() != "statusLabel") {
        texts << label->text();
      }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      texts << button->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      texts << group->title();
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      texts << edit->placeholderText();
    } else if (auto* sample = qobject_cast<CFontSample*>(w)) {
      if (!sample->objectName().startsWith("sampleLine")) texts << sample->text();
    } else if (auto* view = qobject_cast<QTreeView*>(w)) {
      QAbstractItemModel* model = view->model();
      for (int c = 0; c < model->columnCount(); ++c) {
        texts << model->headerData(c, Qt::Horizontal).toString();
      }
      if (view->objectName() == "statisticsTable") {
        for (int r = 0; r < model->rowCount(); ++r) texts << model->index(r, 0).data().toString();
      }
    }
  }
  texts.removeAll(QString());
  return texts;
}

QStringList Untranslated(const QString& where, const QStringList& texts) {
  QStringList found;
  for (const QString& text : texts) {
    if (!Translated(text)) found << where + ": \"" + text + "\"";
  }
  return found;
}

}  // namespace

class TestTranslations : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY2(QLocale::system().language() == QLocale::German,
             "run with LANG=de_DE.UTF-8 (CTest does)");
    // As the program starts.
    SetUpApplication(*qApp);
  }
  void init() {
    openMainWindow();
    Write(m_dir->File("a.c"), "int a;\n");
  }
  void cleanup() {
    closeMainWindow();
  }

  void theMainWindowSpeaksTheUsersLanguage() {
    QStringList menus;
    for (QAction* a : m_frame->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"&Datei", "&Erstellen", "&Ansicht", "&Optionen", "&Hilfe"}));
    QCOMPARE(m_frame->action("actionQuit")->text(), QString("&Beenden"));
    QCOMPARE(m_frame->action("actionListing")->text(), QString("&Quelltextlisten..."));
    QCOMPARE(m_frame->statusBar()->currentMessage(), QString("Bereit"));
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QString("Dateiname"));
    QCOMPARE(list->model()->headerData(2, Qt::Horizontal).toString(), QString("Größe"));
    // A problem of gathering, in German.
    m_frame->view()->openPaths({path("nirgends.cpp")});
    QVERIFY2(MessageBox::lastText().startsWith("Beim Hinzufügen der Dateien gab es Probleme:\n" +
                                               path("nirgends.cpp") + ": nicht erreichbar"),
             qPrintable(MessageBox::lastText()));
  }

  void aDialogSpeaksItToo() {
    CPropSheet sheet(m_frame.get());
    QCOMPARE(sheet.windowTitle(), QString("Einstellungen"));
    QCOMPARE(sheet.pageTitles(), (QStringList{"Allgemein", "Quelltext-Layout",
                                              "Dokumentations-Layout", "Schlüsselwortdateien"}));
    auto* buttons = sheet.findChild<QDialogButtonBox*>("sheetButtons");
    // Qt's own texts come from Qt's catalogue.
    QCOMPARE(QString(buttons->button(QDialogButtonBox::Cancel)->text()).remove('&'),
             QString("Abbrechen"));
    QCOMPARE(QString(buttons->button(QDialogButtonBox::Apply)->text()).remove('&'),
             QString("Anwenden"));
    QVERIFY(sheet.findChild<QAbstractButton*>("openFileCheck")->text().startsWith("Datei nach"));
  }

  // Longer German texts neither share a key nor get cut.
  void germanMnemonicsAreUniqueAndTextsFit() {
    QStringList faults;
    for (QAction* menu : m_frame->menuBar()->actions()) {
      QMap<QChar, QString> letters;
      for (QAction* a : menu->menu()->actions()) {
        const QChar letter = Mnemonic(a->text());
        if (letter.isNull()) continue;
        if (letters.contains(letter)) faults << a->text() + " and " + letters.value(letter);
        letters.insert(letter, a->text());
      }
    }
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      for (const QString& clash : MnemonicClashes(dialog)) faults << name + ": " + clash;
      for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(dialog) || b->text().isEmpty()) continue;
        // A push button's hint asks for more than its text; check and
        // radio buttons need their box and their text.
        const int needed =
            qobject_cast<QPushButton*>(b)
                ? b->fontMetrics().horizontalAdvance(QString(b->text()).remove('&')) + 6
                : b->minimumSizeHint().width();
        if (b->width() < needed) faults << name + ": \"" + b->text() + "\" is cut";
      }
      for (QLabel* l : dialog->findChildren<QLabel*>()) {
        if (l->isVisibleTo(dialog) && !l->wordWrap() && l->width() < l->minimumSizeHint().width()) {
          faults << name + ": \"" + l->text() + "\" is cut";
        }
      }
      dialog->hide();
    });
    QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
  }

  // Last: the marking translator replaces the catalogues for good.
  void everyShownTextWentThroughTranslation() {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) QCoreApplication::removeTranslator(t);
    MarkingTranslator marking;
    QCoreApplication::installTranslator(&marking);
    m_frame = std::make_unique<CMainFrame>(m_files.get());
    m_frame->view()->openPaths({path("a.c")});
    m_frame->show();
    QStringList escapes = Untranslated("main window", ShownTexts(m_frame.get()));
    for (QAction* a : m_frame->findChildren<QAction*>()) {
      if (a->objectName().startsWith("actionRecent")) continue;  // a path
      escapes +=
          Untranslated("action " + a->objectName(), {a->text(), a->toolTip(), a->statusTip()});
    }
    escapes += Untranslated("status bar", {m_frame->statusBar()->currentMessage()});
    int dialogs = 0;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      escapes += Untranslated(name, ShownTexts(dialog));
      dialog->hide();
      ++dialogs;
    });
    QVERIFY(dialogs >= 15);
    // Messages as well.
    MessageBox::clearShown();
    m_frame->view()->openPaths({path("gone.cpp"), path("a.txt")});
    CFindDlg find(m_frame.get());
    for (const char* type :
         {"cppCheck", "hCheck", "javaCheck", "frmCheck", "basCheck", "clsCheck"}) {
      find.findChild<QAbstractButton*>(type)->setChecked(false);
    }
    find.findChild<QPushButton*>("searchButton")->click();
    QCOMPARE(MessageBox::shown().size(), 2);
    for (const QString& shown : MessageBox::shown()) {
      // Paths and the system's reasons stand inside the marked texts.
      escapes += Untranslated("message", {shown});
    }
    QCoreApplication::removeTranslator(&marking);
    QVERIFY2(escapes.isEmpty(), qPrintable("\n" + escapes.join('\n')));
  }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"

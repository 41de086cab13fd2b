// Keys and menus as desktop users expect them, and the About box.
#include <QAction>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTreeView>

#include "data_files.h"
#include "file_list_model.h"
#include "gui_test_support.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "registry.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::Mnemonic;
using folios::gui::test::WhenModal;
using folios::gui::test::Write;

namespace {

// The version of the project, as the top-level CMakeLists.txt states it.
QString ProjectVersion() {
  QFile file(QString::fromStdString(folios::test::TestSourceDir() + "/../CMakeLists.txt"));
  if (!file.open(QIODevice::ReadOnly)) return QString();
  const QRegularExpression project("project\\(\\w+ VERSION ([0-9.]+)");
  return project.match(QString::fromUtf8(file.readAll())).captured(1);
}

}  // namespace

class TestKeysAndAbout : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private:
  QKeySequence key(const char* action) const { return m_frame->action(action)->shortcut(); }
  // Window shortcuts act in the active window; the offscreen platform does
  // not make the window active again when a dialog closes, as a desktop does.
  void activate() {
    QApplication::setActiveWindow(m_frame.get());
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
  }
  void openTwoFiles() {
    Write(m_dir->File("a.c"), "int a;\n");
    Write(m_dir->File("b.h"), "");
    m_frame->view()->openPaths({path("a.c"), path("b.h")});
    QCOMPARE(m_frame->view()->rowCount(), 2);
  }

 private slots:
  void init() {
    openMainWindow();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
  }
  void cleanup() {
    closeMainWindow();
  }

  void standardCommandsHaveTheDesktopsKeys() {
    QCOMPARE(m_frame->action("actionOpenProject")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::Open));
    QCOMPARE(m_frame->action("actionSelectAll")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::SelectAll));
    QCOMPARE(m_frame->action("actionClear")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::Delete));
    QCOMPARE(m_frame->action("actionContents")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::HelpContents));
    // Where this desktop names no key for Quit or Preferences, the usual one.
    for (const auto& [name, standard, fallback] :
         {std::tuple{"actionQuit", QKeySequence::Quit, QKeySequence("Ctrl+Q")},
          std::tuple{"actionPreferences", QKeySequence::Preferences, QKeySequence("Ctrl+,")}}) {
      const QList<QKeySequence> desktop = QKeySequence::keyBindings(standard);
      QCOMPARE(m_frame->action(name)->shortcuts(),
               desktop.isEmpty() ? QList<QKeySequence>{fallback} : desktop);
    }
  }

  void theBuildsOpenDirectoryAndPropertiesHaveKeys() {
    QCOMPARE(key("actionListing"), QKeySequence("Ctrl+L"));
    QCOMPARE(key("actionDocumentation"), QKeySequence("Ctrl+D"));
    QCOMPARE(key("actionReformat"), QKeySequence("Ctrl+Shift+R"));
    QCOMPARE(key("actionOpenDirectory"), QKeySequence("Ctrl+Shift+O"));
    QCOMPARE(key("actionProperties"), QKeySequence("Alt+Return"));
    // No key does two things.
    QMap<QString, QString> owners;
    for (QAction* a : m_frame->findChildren<QAction*>()) {
      for (const QKeySequence& k : a->shortcuts()) {
        const QString text = k.toString();
        QVERIFY2(!owners.contains(text),
                 qPrintable(text + " of " + a->objectName() + " and " + owners.value(text)));
        owners.insert(text, a->objectName());
      }
    }
  }

  void everyCommandIsInAMenuWithUniqueMnemonics() {
    QSet<QChar> top;
    QSet<QString> inMenus;
    for (QAction* menuAction : m_frame->menuBar()->actions()) {
      const QChar letter = Mnemonic(menuAction->text());
      QVERIFY2(!letter.isNull() && !top.contains(letter), qPrintable(menuAction->text()));
      top << letter;
      QSet<QChar> letters;
      for (QAction* a : menuAction->menu()->actions()) {
        if (a->isSeparator()) continue;
        inMenus << a->objectName();
        const QChar mnemonic = Mnemonic(a->text());
        QVERIFY2(!mnemonic.isNull(), qPrintable(a->text() + " has no mnemonic"));
        QVERIFY2(!letters.contains(mnemonic),
                 qPrintable(a->text() + " repeats a mnemonic in " + menuAction->text()));
        letters << mnemonic;
      }
    }
    // Every command can be reached through a menu, so from the keyboard.
    for (QAction* a : m_frame->findChildren<QAction*>()) {
      if (a->objectName().startsWith("action") && !a->objectName().startsWith("actionRecent")) {
        QVERIFY2(inMenus.contains(a->objectName()), qPrintable(a->objectName()));
      }
    }
    // The File menu is the list's context menu; it shows the keys too.
    for (QAction* a : m_frame->fileMenu()->actions()) QVERIFY(a->isShortcutVisibleInContextMenu());
  }

  void quitIsTheLastItemOfTheFileMenuAndClosesTheWindow() {
    QAction* quit = m_frame->fileMenu()->actions().last();
    QCOMPARE(quit->objectName(), QString("actionQuit"));
    QCOMPARE(quit->text(), QString("&Quit"));
    QCOMPARE(quit->menuRole(), QAction::QuitRole);
    QTest::keySequence(m_frame.get(), quit->shortcut());
    QTRY_VERIFY(!m_frame->isVisible());
  }

  void keysDriveTheListAndItsCommands() {
    openTwoFiles();
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    list->setFocus();
    QVERIFY(!m_frame->action("actionProperties")->isEnabled());
    QTest::keySequence(m_frame.get(), key("actionSelectAll"));
    QCOMPARE(list->selectionModel()->selectedRows().size(), 2);
    QVERIFY(m_frame->action("actionProperties")->isEnabled());
    QString title;
    WhenModal("folios::gui::CPropertiesDlg",
              [&](QDialog* dialog) { title = dialog->windowTitle(); });
    QTest::keySequence(m_frame.get(), key("actionProperties"));
    QVERIFY2(title.endsWith(" Properties"), qPrintable(title));
    // Delete clears every selected row.
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(m_frame->view()->rowCount(), 0);
    QVERIFY(!m_frame->action("actionListing")->isEnabled());
    // Ctrl+Shift+O opens the search.
    activate();
    bool searched = false;
    WhenModal("folios::gui::CFindDlg", [&](QDialog*) { searched = true; });
    QTest::keySequence(m_frame.get(), key("actionOpenDirectory"));
    QVERIFY(searched);
    // The view modes.
    activate();
    QTest::keyClick(m_frame.get(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(m_frame->view()->viewMode(), int(CLFXView::kList));
    QTest::keyClick(m_frame.get(), Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(m_frame->view()->viewMode(), int(CLFXView::kDetails));
  }

  void theToolbarTipsNameTheKeys() {
    QCOMPARE(
        m_frame->action("actionOpenProject")->toolTip(),
        "Open Project/File (" + key("actionOpenProject").toString(QKeySequence::NativeText) + ")");
  }

  void aboutShowsVersionLicenceAndPlaces() {
    QString version;
    QString licence;
    QString shipped;
    QString userData;
    QString settings;
    WhenModal("folios::gui::CAboutDlg", [&](QDialog* dialog) {
      version = dialog->findChild<QLabel*>("versionLabel")->text();
      licence = dialog->findChild<QLabel*>("licenceLabel")->text();
      shipped = dialog->findChild<QLabel*>("shippedDataLabel")->text();
      userData = dialog->findChild<QLabel*>("userDataLabel")->text();
      settings = dialog->findChild<QLabel*>("settingsLabel")->text();
      dialog->accept();
    });
    m_frame->action("actionAbout")->trigger();
    const QString project = ProjectVersion();
    QVERIFY(!project.isEmpty());
    QCOMPARE(version, "Lumentra Folios Version " + project);
    QVERIFY(licence.contains("All rights reserved"));
    // The places in use: this test's private store and data directory.
    QCOMPARE(settings, qEnvironmentVariable("FOLIOS_CONFIG_DIR") + "/settings.ini");
    QCOMPARE(userData, qEnvironmentVariable("FOLIOS_DATA_DIR"));
    QVERIFY(QFile::exists(shipped + "/C-Keywords.lfx"));
  }

  void theProgramPrintsTheSameVersion() {
    QProcess gui;
    gui.start(QCoreApplication::applicationDirPath() + "/folios-gui", {"--version"});
    QVERIFY(gui.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(gui.readAllStandardOutput()),
             "folios-gui (Lumentra Folios) " + ProjectVersion() + "\n");
  }
};

QTEST_MAIN(TestKeysAndAbout)
#include "test_keys_and_about.moc"

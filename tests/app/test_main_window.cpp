// The main window: start-up, gathering files in every way, the list
// commands and their enabling, statistics, help and about.
#include <QAction>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>

#include "file_dialog.h"
#include "file_list_model.h"
#include "gui_test_support.h"
#include "lfx_app.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "message_box.h"
#include "recent_file_list.h"
#include "settings_table.h"
#include "shell.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::WhenModal;
using folios::gui::test::Write;

namespace {

QStringList Names(const CLFXView* view) {
  QStringList names;
  for (int i = 0; i < view->rowCount(); ++i) {
    names << QString::fromStdString(view->model()->row(i).file_name);
  }
  return names;
}

const char* const kBuildCommands[] = {"actionListing", "actionStatistics", "actionReformat",
                                      "actionDocumentation", "actionClear", "actionClearAll"};

}  // namespace

class TestMainWindow : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private:
  CLFXView* view() const { return m_frame->view(); }
  bool commandsEnabled() const {
    int on = 0;
    for (const char* name : kBuildCommands) on += m_frame->action(name)->isEnabled() ? 1 : 0;
    // The four flags always change together.
    if (on != 0 && on != 6) qWarning("commands only partly enabled");
    return on == 6;
  }
  // A project naming a.cpp, b.cpp and x.h, in that order.
  QString writeProject() {
    Write(m_dir->File("a.cpp"), "int a;\n");
    Write(m_dir->File("b.cpp"), std::string(1001, 'b'));
    Write(m_dir->File("x.h"), "");
    Write(m_dir->File("app.dsp"),
          "# project\nSOURCE=.\\a.cpp\n# SOURCE=ignored.cpp\nSOURCE=\".\\b.cpp\"\nSOURCE=.\\x.h\n");
    return path("app.dsp");
  }
  void openWithDialog(const QString& chosen) {
    FileDialog::setNextFileName(chosen);
    view()->openProjectFile();
  }

 private slots:
  void init() {
    openMainWindow();
  }
  void cleanup() {
    QCOMPARE(MessageBox::shownOverDisabledWindow(), 0);
    closeMainWindow();
  }

  void startsWithTitleSizeStatusAndDisabledCommands() {
    m_frame->initialUpdate();
    QCOMPARE(m_frame->windowTitle(), QString("Lumentra Folios"));
    QCOMPARE(m_frame->size(), QSize(610, 400));
    QCOMPARE(m_frame->statusBar()->currentMessage(), QString("Ready"));
    QVERIFY(!commandsEnabled());
    QCOMPARE(view()->viewMode(), int(CLFXView::kDetails));
    QVERIFY(m_frame->action("actionDetails")->isChecked());
    // Without m_showfiledlg no dialog was asked for.
    QCOMPARE(FileDialog::lastRequest().kind, QString());
  }

  void toolbarButtonsInOrder() {
    auto* bar = m_frame->findChild<QToolBar*>("toolBar");
    QVERIFY(bar);
    QStringList order;
    for (QAction* a : bar->actions()) order << (a->isSeparator() ? "|" : a->objectName());
    QCOMPARE(order, (QStringList{"actionOpenProject", "actionOpenDirectory", "|",
                                 "actionStatistics", "actionPreferences", "actionListing", "|",
                                 "actionLargeIcons", "actionSmallIcons", "actionList",
                                 "actionDetails", "|", "actionAbout"}));
  }

  void viewModesCarryTheCheckMark() {
    const char* names[] = {"actionLargeIcons", "actionSmallIcons", "actionList",
                           "actionDetails"};
    for (int mode = 1; mode <= 4; ++mode) {
      m_frame->action(names[mode - 1])->trigger();
      QCOMPARE(view()->viewMode(), mode);
      for (int other = 0; other < 4; ++other) {
        QCOMPARE(m_frame->action(names[other])->isChecked(), other == mode - 1);
      }
    }
  }

  void openDialogAtStartWhenAsked() {
    Settings().SetInt("m_showfiledlg", 1);
    m_frame->initialUpdate();
    QCOMPARE(FileDialog::lastRequest().kind, QString("open"));
  }

  void openProjectShowsFilesNewestGroupFirst() {
    const QString project = writeProject();
    Settings().SetText("m_file_location", m_dir->path());
    openWithDialog(project);
    // Rows go in at the top, group by group: headers above sources, and
    // within a group the last file first.
    QCOMPARE(Names(view()), (QStringList{"x.h", "b.cpp", "a.cpp"}));
    QCOMPARE(view()->model()->row(1).size_text, std::string("2KB"));
    QCOMPARE(view()->model()->row(0).size_text, std::string("1KB"));
    QVERIFY(commandsEnabled());
    QCOMPARE(view()->projectName(), QString("app"));
    const FileDialogRequest request = FileDialog::lastRequest();
    QCOMPARE(request.directory, QString::fromStdString(m_dir->path()));
    QVERIFY(request.selectedFilter.startsWith("C++ Files"));
    QVERIFY(request.filter.startsWith(request.selectedFilter));
  }

  void openFilterFollowsSetting() {
    Settings().SetInt("m_filefilter", 1);
    openWithDialog(QString());
    QVERIFY(FileDialog::lastRequest().selectedFilter.startsWith("Visual Basic Files"));
    Settings().SetInt("m_filefilter", 2);
    openWithDialog(QString());
    QVERIFY(FileDialog::lastRequest().selectedFilter.startsWith("Java Files"));
  }

  void cancelledOpenChangesNothing() {
    openWithDialog(writeProject());
    openWithDialog(QString());
    QCOMPARE(view()->rowCount(), 3);
    QVERIFY(commandsEnabled());
  }

  void secondOpenReplacesTheFirst() {
    openWithDialog(writeProject());
    Write(m_dir->File("Main.JAVA"), "class Main {}\n");
    openWithDialog(path("Main.JAVA"));
    QCOMPARE(Names(view()), QStringList{"Main.JAVA"});
    QCOMPARE(view()->projectName(), QString("Main"));
  }

  void fileOfOtherTypeEnablesCommandsOnAnEmptyList() {
    Write(m_dir->File("notes.txt"), "x");
    openWithDialog(path("notes.txt"));
    QCOMPARE(view()->rowCount(), 0);
    QVERIFY(commandsEnabled());
  }

  void deleteKeyClearsTheSelectedRowAndSelectsTheNext() {
    openWithDialog(writeProject());
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    list->setCurrentIndex(view()->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(Names(view()), (QStringList{"x.h", "a.cpp"}));
    QCOMPARE(list->currentIndex().row(), 1);
    QVERIFY(list->selectionModel()->isRowSelected(1, QModelIndex()));
    QVERIFY(commandsEnabled());
    m_frame->action("actionClear")->trigger();
    m_frame->action("actionClear")->trigger();
    QCOMPARE(view()->rowCount(), 0);
    QVERIFY(!commandsEnabled());
    // The collection still holds every file.
    QCOMPARE(m_files->FileCount(), size_t{3});
  }

  void clearWithoutSelectionDoesNothing() {
    openWithDialog(writeProject());
    // The list gets the focus, and with it a current row (the first) that
    // the user never selected.
    m_frame->show();
    m_frame->activateWindow();
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QVERIFY(list->currentIndex().isValid());
    m_frame->action("actionClear")->trigger();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(Names(view()), (QStringList{"x.h", "b.cpp", "a.cpp"}));
    // Clicking a row selects it; then Clear removes that row.
    const QRect rect = list->visualRect(view()->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    m_frame->action("actionClear")->trigger();
    QCOMPARE(Names(view()), (QStringList{"x.h", "a.cpp"}));
    view()->clearAll();
    view()->clear();
    QCOMPARE(view()->rowCount(), 0);
    QVERIFY(!commandsEnabled());
  }

  void clickingAColumnTitleSortsAndTheSecondReverses() {
    openWithDialog(writeProject());
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    list->header()->resize(600, 20);
    m_frame->show();
    QTest::qWait(10);
    const int x = list->header()->sectionViewportPosition(0) + 10;
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    QCOMPARE(Names(view()), (QStringList{"a.cpp", "b.cpp", "x.h"}));
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    QCOMPARE(Names(view()), (QStringList{"x.h", "b.cpp", "a.cpp"}));
  }

  void statisticsCountClearedRowsToo() {
    openWithDialog(writeProject());
    view()->clearAll();
    QStringList cells;
    WhenModal("folios::gui::CStatisticsDlg", [&](QDialog* dialog) {
      auto* table = dialog->findChild<QTreeWidget*>("statisticsTable");
      for (int i = 0; i < table->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = table->topLevelItem(i);
        cells << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
      }
      // Enter and Escape are swallowed: only the button closes it.
      QTest::keyClick(dialog, Qt::Key_Escape);
      QTest::keyClick(dialog, Qt::Key_Return);
      QVERIFY(dialog->isVisible());
      dialog->findChild<QPushButton*>("okButton")->click();
    });
    view()->showStatistics();
    QCOMPARE(cells, (QStringList{"C++ Sourcefiles (*.cpp, *.c)|2|3KB",
                                 "C++ Headerfiles (*.h)|1|0KB",
                                 "Visual Basic Form files (*.frm)|0|0KB",
                                 "Visual Basic Module (*.bas)|0|0KB",
                                 "Visual Basic Class Module (*.cls)|0|0KB",
                                 "Java Files (*.java)|0|0KB", "Total|3|3KB"}));
  }

  void openDirectorySearchesAndFillsTheList() {
    Write(m_dir->File("src/one.cpp"), "int one;\n");
    Write(m_dir->File("src/sub/two.h"), "int two;\n");
    Write(m_dir->File("src/three.java"), "class Three {}\n");
    Settings().SetText("m_dir", m_dir->File("src"));
    WhenModal("folios::gui::CFindDlg", [](QDialog* dialog) {
      dialog->findChild<QPushButton*>("searchButton")->click();
    });
    view()->openDirectory();
    // Found: one.cpp (top directory), then two.h; rows are rebuilt by group.
    QCOMPARE(Names(view()), (QStringList{"two.h", "one.cpp"}));
    QVERIFY(commandsEnabled());
    QCOMPARE(view()->projectName(), QString("one"));
    QVERIFY(m_frame->isEnabled());
    QVERIFY(view()->isEnabled());
    QVERIFY(MessageBox::shown().isEmpty());
  }

  void openDirectoryWithNothingFoundSaysSo() {
    openWithDialog(writeProject());
    Write(m_dir->File("empty/readme.txt"), "x");
    Settings().SetText("m_dir", m_dir->File("empty"));
    WhenModal("folios::gui::CFindDlg", [](QDialog* dialog) {
      dialog->findChild<QPushButton*>("searchButton")->click();
    });
    view()->openDirectory();
    QCOMPARE(MessageBox::lastText(), QString("No files where found in the directory!"));
    QCOMPARE(view()->rowCount(), 0);
    QVERIFY(!commandsEnabled());
  }

  void cancelledFindChangesNothing() {
    openWithDialog(writeProject());
    WhenModal("folios::gui::CFindDlg", [](QDialog* dialog) {
      dialog->findChild<QPushButton*>("cancelButton")->click();
    });
    view()->openDirectory();
    QCOMPARE(view()->rowCount(), 3);
  }

  void droppedFilesAreAddedLikeAnOpenedFile() {
    const QString project = writeProject();
    Write(m_dir->File("Extra.java"), "class Extra {}\n");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(project), QUrl::fromLocalFile(path("Extra.java")),
                  QUrl("https://example.invalid/remote.cpp")});
    QVERIFY(m_frame->acceptDrops());
    QVERIFY(m_frame->openDropped(&mime));
    QCOMPARE(Names(view()), (QStringList{"Extra.java", "x.h", "b.cpp", "a.cpp"}));
    QVERIFY(commandsEnabled());
    QCOMPARE(view()->projectName(), QString("app"));
  }

  void pathsThatGiveNothingAreNamedAndLeaveTheBuildsOff() {
    Write(m_dir->File("empty/readme.txt"), "x");
    Write(m_dir->File("notes.txt"), "x");
    m_frame.reset();
    CLFXApp app;
    QVERIFY(app.InitInstance({path("empty"), path("notes.txt")}));
    QCOMPARE(app.mainFrame()->view()->rowCount(), 0);
    QVERIFY(!app.mainFrame()->action("actionListing")->isEnabled());
    QVERIFY(!app.mainFrame()->action("actionClearAll")->isEnabled());
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::lastText(),
             "Problems met while adding files:\n" + path("empty") +
                 ": no files of the chosen types were found\n" + path("notes.txt") +
                 ": not a C, C++, Java or Visual Basic source file or project");
  }

  void droppedPathsThatGiveNothingAreNamedBesideTheOnesThatDo() {
    writeProject();
    Write(m_dir->File("notes.txt"), "x");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("notes.txt")), QUrl::fromLocalFile(path("a.cpp")),
                  QUrl::fromLocalFile(path("gone.java"))});
    QVERIFY(m_frame->openDropped(&mime));
    // A missing source file is listed (as the command line lists it) and named.
    QCOMPARE(Names(view()), (QStringList{"gone.java", "a.cpp"}));
    QVERIFY(commandsEnabled());
    QCOMPARE(view()->projectName(), QString("a"));
    QCOMPARE(MessageBox::lastText(),
             "Problems met while adding files:\n" + path("notes.txt") +
                 ": not a C, C++, Java or Visual Basic source file or project\n" +
                 path("gone.java") + ": cannot be reached (No such file or directory)");
    // Many problems are cut short: two for each of these.
    QStringList many;
    for (int i = 0; i < 40; ++i) many << path("none") + QString::number(i);
    view()->openPaths(many);
    QCOMPARE(MessageBox::lastText().count('\n'), 1 + kMaxListedLines);
    QVERIFY(MessageBox::lastText().endsWith("... and 60 more."));
    QVERIFY(!commandsEnabled());
  }

  void dropWithoutLocalFilesChangesNothing() {
    openWithDialog(writeProject());
    QMimeData mime;
    mime.setText("a.cpp");
    QVERIFY(!m_frame->openDropped(&mime));
    QCOMPARE(view()->rowCount(), 3);
  }

  void filesNamedOnTheCommandLineAreAdded() {
    m_frame.reset();
    writeProject();
    Write(m_dir->File("lib/z.c"), "int z;\n");
    Settings().SetInt("m_find_subfolders", 0);
    CLFXApp app;
    QVERIFY(app.InitInstance({path("a.cpp"), path("lib")}));
    QCOMPARE(Names(app.mainFrame()->view()), (QStringList{"z.c", "a.cpp"}));
    QVERIFY(app.mainFrame()->action("actionListing")->isEnabled());
  }

  void doubleClickShowsThePropertiesOfThatRow() {
    openWithDialog(writeProject());
    m_frame->show();
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    const QRect rect = list->visualRect(view()->model()->index(1, 0));
    QString title;
    WhenModal("folios::gui::CPropertiesDlg", [&](QDialog* dialog) { title = dialog->windowTitle(); });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(title, QString("b.cpp Properties"));
  }

  void windowCannotBeClosedWhileDisabled() {
    m_frame->show();
    m_frame->setEnabled(false);
    QVERIFY(!m_frame->close());
    QVERIFY(m_frame->isVisible());
    m_frame->setEnabled(true);
    QVERIFY(m_frame->close());
  }

  void rightClickShowsTheFileMenu() {
    m_frame->show();
    auto* list = m_frame->findChild<QTreeView*>("detailsView");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list->viewport(), &event);
    QTRY_VERIFY(m_frame->fileMenu()->isVisible());
    m_frame->fileMenu()->close();
  }

  void optionsMenuOpensEverySheetByItsCommand() {
    const struct {
      const char* action;
      int id;
      const char* sheet;
      const char* title;
    } commands[] = {
        {"actionPreferences", 32778, "folios::gui::CPropSheet", "Preferences"},
        {"actionEditKeywords", 32818, "folios::gui::CPropKeywords", "Edit Keywords"},
        {"actionDocumentOptions", 32820, "folios::gui::CPropDlgDoc", "Document options"},
    };
    QMenu* options = nullptr;
    for (QAction* a : m_frame->menuBar()->actions()) {
      if (a->text() == "&Options") options = a->menu();
    }
    QVERIFY(options);
    QStringList inMenu;
    for (QAction* a : options->actions()) inMenu << a->objectName();
    QCOMPARE(inMenu, (QStringList{"actionPreferences", "actionEditKeywords",
                                  "actionDocumentOptions"}));
    for (const auto& command : commands) {
      QAction* a = m_frame->action(command.action);
      QCOMPARE(CMainFrame::commandId(a), command.id);
      QVERIFY(a->isEnabled());  // usable with an empty list
      QString title;
      WhenModal(command.sheet, [&](QDialog* dialog) { title = dialog->windowTitle(); });
      a->trigger();
      QCOMPARE(title, QString(command.title));
    }
  }

  void recentFilesKeepTheLastFourNewestFirst() {
    const QString project = writeProject();
    openWithDialog(project);
    for (const char* name : {"one.cpp", "two.cpp", "three.cpp", "four.cpp"}) {
      Write(m_dir->File(name), "int x;\n");
      view()->openPaths({path(name)});
    }
    QCOMPARE(RecentFileList::entries(),
             (QStringList{path("four.cpp"), path("three.cpp"), path("two.cpp"), path("one.cpp")}));
    QList<QAction*> recent = m_frame->recentFileActions();
    QCOMPARE(recent.size(), 4);
    QCOMPARE(recent.first()->text(), "&1 " + path("four.cpp"));
    QVERIFY(m_frame->fileMenu()->actions().contains(recent.first()));
    // Choosing one opens it again and moves it to the top.
    recent.at(2)->trigger();
    QCOMPARE(Names(view()), QStringList{"two.cpp"});
    QCOMPARE(RecentFileList::entries().first(), path("two.cpp"));
    // The list outlives the window and a reset of the settings.
    ResetAllSettings();
    m_frame = std::make_unique<CMainFrame>(m_files.get());
    QCOMPARE(m_frame->recentFileActions().size(), 4);
    // A file gone from disk is reported and leaves the list.
    QFile::remove(path("three.cpp"));
    const int at = static_cast<int>(RecentFileList::entries().indexOf(path("three.cpp")));
    m_frame->recentFileActions().at(at)->trigger();
    QCOMPARE(MessageBox::lastText(), path("three.cpp") + " no longer exists.");
    QVERIFY(!RecentFileList::entries().contains(path("three.cpp")));
    QCOMPARE(m_frame->recentFileActions().size(), 3);
  }

  void contentsOpensTheShippedHelpPage() {
    view()->contents();
    QCOMPARE(Shell::opened().size(), 1);
    QVERIFY(Shell::opened().first().endsWith("help/index.html"));
    QVERIFY(QFile::exists(Shell::opened().first()));
    QVERIFY(MessageBox::shown().isEmpty());
    // A desktop without a program for it: the page is named for the user.
    Shell::setTestResult(false);
    view()->contents();
    QVERIFY(MessageBox::lastText().startsWith(Shell::opened().last() + " could not be opened"));
  }

  void aboutShowsTheVersionAndOnlyTheButtonCloses() {
    QString text;
    QString title;
    WhenModal("folios::gui::CAboutDlg", [&](QDialog* dialog) {
      title = dialog->windowTitle();
      text = dialog->findChild<QLabel*>("versionLabel")->text();
      QTest::keyClick(dialog, Qt::Key_Escape);
      QVERIFY(dialog->isVisible());
      dialog->findChild<QPushButton*>("okButton")->click();
    });
    view()->about();
    QCOMPARE(title, QString("About Lumentra Folios"));
    QVERIFY(text.startsWith("Lumentra Folios Version 3."));
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"

// The three builds driven from the main window's commands, end to end:
// the save dialog and replace question, the produced files, opening the
// result, and the one message that lists what failed.
#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "build_commands.h"
#include "file_dialog.h"
#include "file_list_model.h"
#include "gui_test_support.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "message_box.h"
#include "settings_table.h"
#include "shell.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::Read;
using folios::gui::test::Write;

namespace {

const char kMessyC[] = "int main(void)\n{\nif (1)\n{\nreturn 0;\n}\n}\n";
const char kBasic[] = "Attribute VB_Name = \"Mod1\"\nSub Main()\nEnd Sub\n";

}  // namespace

class TestBuilds : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private:
  std::string file(const char* name) const { return m_dir->File(name); }
  QString qfile(const char* name) const { return QString::fromStdString(file(name)); }
  CLFXView* view() const { return m_frame->view(); }
  QString lastBuild() const { return m_frame->findChild<QLabel*>("lastBuildLabel")->text(); }
  // Gathers main.c and Mod1.bas, as if named on the command line.
  void gatherSources() {
    Write(file("main.c"), kMessyC);
    Write(file("Mod1.bas"), kBasic);
    view()->openPaths({qfile("main.c"), qfile("Mod1.bas")});
    QCOMPARE(view()->rowCount(), 2);
  }
  // A project naming a file that does not exist, and main.c.
  void gatherWithAMissingFile() {
    Write(file("main.c"), kMessyC);
    Write(file("p.dsp"), "SOURCE=.\\main.c\nSOURCE=.\\gone.cpp\n");
    view()->openPaths({qfile("p.dsp")});
    QCOMPARE(view()->rowCount(), 2);
  }
  void run(const char* action) {
    QAction* a = m_frame->action(action);
    QVERIFY(a->isEnabled());
    a->trigger();
  }

 private slots:
  void init() {
    openMainWindow();
    m_frame->show();
  }
  void cleanup() {
    QCOMPARE(MessageBox::shownOverDisabledWindow(), 0);
    closeMainWindow();
  }

  // ---- Source code listings ----

  void listingWritesTheDocumentUnderTheChosenNameAndOpensIt() {
    gatherSources();
    FileDialog::setNextFileName(qfile("out/listing"));  // no ".rtf" typed
    Write(file("out/keep"), "");
    run("actionListing");
    const FileDialogRequest request = FileDialog::lastRequest();
    QCOMPARE(request.kind, QString("save"));
    QCOMPARE(request.filter, QString("Rich Text Format (*.rtf)"));
    QCOMPARE(request.proposedName, qfile("main.rtf"));
    const std::string rtf = Read(file("out/listing"));
    QVERIFY2(rtf.rfind("{\\rtf1", 0) == 0, rtf.substr(0, 40).c_str());
    QVERIFY(rtf.find("main.c") != std::string::npos);
    QVERIFY(rtf.find("Mod1.bas") != std::string::npos);
    QVERIFY(rtf.find("return") != std::string::npos);
    QCOMPARE(Shell::opened(), QStringList{qfile("out/listing")});
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(m_frame->isEnabled());
    // Pre-formatting leaves the source as it was, and so needs no backup.
    QCOMPARE(Read(file("main.c")), std::string(kMessyC));
    QVERIFY(!folios::test::FileExists(file("main.c.orig")));
    QVERIFY(!folios::test::FileExists(file("Mod1.bas.orig")));
  }

  void webPageListingIsProposedWrittenAndOpenedAsAPage() {
    Settings().SetInt("m_output_type", 1);
    gatherSources();
    FileDialog::setNextFileName(qfile("out/listing.html"));
    Write(file("out/keep"), "");
    run("actionListing");
    const FileDialogRequest request = FileDialog::lastRequest();
    QCOMPARE(request.filter, QString("Web page (*.html *.htm)"));
    QCOMPARE(request.proposedName, qfile("main.html"));
    const std::string page = Read(file("out/listing.html"));
    QVERIFY2(page.rfind("<!DOCTYPE html>\n", 0) == 0, page.substr(0, 40).c_str());
    QVERIFY(page.find("<h2 class=\"h\">" + file("Mod1.bas") + "</h2>") != std::string::npos);
    QVERIFY(page.ends_with("</html>\n"));
    QCOMPARE(Shell::opened(), QStringList{qfile("out/listing.html")});
    QVERIFY(MessageBox::shown().isEmpty());

    // The name typed decides over the stored choice.
    Settings().SetInt("m_openfile", 0);
    FileDialog::setNextFileName(qfile("out/typed.rtf"));
    run("actionListing");
    QVERIFY(Read(file("out/typed.rtf")).rfind("{\\rtf1", 0) == 0);
  }

  void saveDialogProposesNameDotRtfInAFolderTheUserKnows() {
    Settings().SetInt("m_openfile", 0);
    Write(file("src/app/shapes.cpp"), "int s;\n");
    Write(file("src/app/shapes.h"), "int h;\n");
    view()->openPaths({qfile("src/app/shapes.cpp"), qfile("src/app/shapes.h")});
    // The folder of the first listed file, not the working directory.
    run("actionListing");
    QCOMPARE(FileDialog::lastRequest().proposedName, qfile("src/app/shapes.rtf"));
    FileDialog::setNextFileName(qfile("out/first.rtf"));
    Write(file("out/keep"), "");
    run("actionListing");
    QVERIFY(folios::test::FileExists(file("out/first.rtf")));

    // With nothing listed, the folder used last.
    Write(file("notes.txt"), "x");
    FileDialog::setNextFileName(qfile("notes.txt"));
    view()->openProjectFile();
    QCOMPARE(view()->rowCount(), 0);
    run("actionListing");
    QCOMPARE(FileDialog::lastRequest().proposedName, qfile("out/notes.rtf"));
  }

  void aDocumentTheDesktopCannotOpenIsNamedInAMessage() {
    gatherSources();
    Shell::setTestResult(false);
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    QCOMPARE(Shell::opened(), QStringList{qfile("l.rtf")});
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::lastText().contains(qfile("l.rtf")), qPrintable(MessageBox::lastText()));
    // It says how to open it by hand.
    QVERIFY2(MessageBox::lastText().contains("Open it with a word processor that reads RTF"),
             qPrintable(MessageBox::lastText()));
  }

  void listingWithoutPreformattingMakesNoBackups() {
    Settings().SetInt("m_use_advanced_options", 0);
    Settings().SetInt("m_openfile", 0);
    gatherSources();
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    QVERIFY(folios::test::FileExists(file("l.rtf")));
    QVERIFY(!folios::test::FileExists(file("main.c.orig")));
    QVERIFY(Shell::opened().isEmpty());
  }

  void existingDocumentIsReplacedOnlyAfterYes() {
    gatherSources();
    Write(file("l.rtf"), "old");
    FileDialog::setNextFileName(qfile("l.rtf"));
    MessageBox::setNextAnswer(QMessageBox::No);
    run("actionListing");
    QCOMPARE(MessageBox::shown(),
             QStringList{"Save: " + qfile("l.rtf") +
                         " already exists!\nDo you want to replace it?"});
    QCOMPARE(Read(file("l.rtf")), std::string("old"));
    QVERIFY(Shell::opened().isEmpty());

    FileDialog::setNextFileName(qfile("l.rtf"));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    run("actionListing");
    QVERIFY(Read(file("l.rtf")).rfind("{\\rtf1", 0) == 0);
  }

  void cancelledSaveDialogWritesNothing() {
    gatherSources();
    run("actionListing");  // no name queued: cancelled
    run("actionDocumentation");
    QVERIFY(Shell::opened().isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!folios::test::FileExists(file("main.c.orig")));
  }

  void listingListsOnlyTheRowsLeft() {
    Settings().SetInt("m_openfile", 0);
    gatherSources();
    // Rows: Mod1.bas (group 3) above main.c (group 0); clear the first.
    view()->currentItemView()->setCurrentIndex(view()->model()->index(0, 0));
    view()->clear();
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    const std::string rtf = Read(file("l.rtf"));
    QVERIFY(rtf.find("main.c") != std::string::npos);
    QVERIFY(rtf.find("Mod1.bas") == std::string::npos);
  }

  void cancelInTheProgressWindowEndsTheListing() {
    Settings().SetInt("m_openfile", 1);
    Settings().SetInt("m_use_advanced_options", 0);
    std::string big;
    for (int i = 0; i < 2000; ++i) big += "int v" + std::to_string(i) + ";\n";
    Write(file("big.c"), big);
    Write(file("later.java"), "class Later {}\n");
    view()->openPaths({qfile("big.c"), qfile("later.java")});
    // The click arrives while the build handles events between lines.
    QTimer::singleShot(0, [] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "progressDialog" && w->isVisible()) {
          w->findChild<QPushButton*>("cancelButton")->click();
        }
      }
    });
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    const std::string rtf = Read(file("l.rtf"));
    QVERIFY(rtf.find("Operation was canceled!") != std::string::npos);
    QVERIFY(rtf.find("int v1999;") == std::string::npos);
    // The second file is never reached.
    QVERIFY(rtf.find("class Later") == std::string::npos);
    // A cancelled document is still closed and opened.
    QCOMPARE(Shell::opened(), QStringList{qfile("l.rtf")});
    QVERIFY(m_frame->isEnabled());
    QVERIFY2(QRegularExpression("^Last build: Source code listings; cancelled after \\d+\\.\\d s$")
                 .match(lastBuild())
                 .hasMatch(),
             qPrintable(lastBuild()));
  }

  void invalidKeywordFileIsReportedOverTheProgressWindow() {
    Settings().SetInt("m_openfile", 0);
    Write(file("bad.lfx"), "not a keyword file\n");
    Settings().SetText("m_cfiles", file("bad.lfx"));
    gatherSources();
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::lastText().startsWith(qfile("bad.lfx") + " - invalid keyword file!"),
             qPrintable(MessageBox::lastText()));
    QCOMPARE(MessageBox::shownOverDisabledWindow(), 0);
    QVERIFY(folios::test::FileExists(file("l.rtf")));
  }

  void listingNamesTheFilesItCouldNotRead() {
    Settings().SetInt("m_openfile", 0);
    gatherWithAMissingFile();
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    QCOMPARE(MessageBox::shown().size(), 1);
    const QString message = MessageBox::shown().first();
    QVERIFY2(message.startsWith("Source code listings: "), qPrintable(message));
    QVERIFY2(message.contains(qfile("gone.cpp")), qPrintable(message));
    QVERIFY(!message.contains(qfile("main.c")));
    QVERIFY(folios::test::FileExists(file("l.rtf")));
  }

  // ---- Documentation ----

  void documentationWritesTheDocumentAndItsLog() {
    Settings().SetInt("m_create_topic_log", 1);
    gatherSources();
    FileDialog::setNextFileName(qfile("docs/api.rtf"));
    Write(file("docs/keep"), "");
    run("actionDocumentation");
    QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().join('\n')));
    const std::string rtf = Read(file("docs/api.rtf"));
    QVERIFY2(rtf.rfind("{\\rtf", 0) == 0, rtf.substr(0, 40).c_str());
    QVERIFY(folios::test::FileExists(file("docs/Topics.rtf")));
    QCOMPARE(Shell::opened(), QStringList{qfile("docs/api.rtf")});
    QVERIFY(m_frame->isEnabled());
  }

  void documentationAsAWebPageIsProposedAndWrittenAsOne() {
    Settings().SetInt("m_doctype", 2);
    Write(file("api.h"), Read(folios::test::TestSourceDir() + "/../samples/documented/c/geometry.h"));
    view()->openPaths({qfile("api.h")});
    FileDialog::setNextFileName(qfile("docs/api.html"));
    Write(file("docs/keep"), "");
    run("actionDocumentation");
    QCOMPARE(FileDialog::lastRequest().filter, QString("Web page (*.html *.htm)"));
    QCOMPARE(FileDialog::lastRequest().proposedName, qfile("api.html"));
    QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().join('\n')));
    const std::string page = Read(file("docs/api.html"));
    QVERIFY2(page.find("<html") != std::string::npos, page.substr(0, 80).c_str());
    QVERIFY(page.find("distance between two points") != std::string::npos);
    QCOMPARE(Shell::opened(), QStringList{qfile("docs/api.html")});
  }

  void documentationReportsWhatFailed() {
    Settings().SetInt("m_openfile", 0);
    gatherWithAMissingFile();
    FileDialog::setNextFileName(qfile("api.rtf"));
    run("actionDocumentation");
    QCOMPARE(MessageBox::shown().size(), 1);
    const QString message = MessageBox::shown().first();
    QVERIFY2(message.startsWith("Documentation: "), qPrintable(message));
    QVERIFY2(message.contains("gone.cpp"), qPrintable(message));
  }

  // ---- Reformat source code files ----

  void reformatRewritesCAndKeepsABackup() {
    gatherSources();
    run("actionReformat");
    QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().join('\n')));
    QCOMPARE(Read(file("main.c.orig")), std::string(kMessyC));
    const std::string formatted = Read(file("main.c"));
    QVERIFY2(formatted != kMessyC, formatted.c_str());
    // Four blanks per level by default.
    QVERIFY2(formatted.find("\n    if (1)") != std::string::npos, formatted.c_str());
    QVERIFY2(formatted.find("\n        return 0;") != std::string::npos, formatted.c_str());
    // Visual Basic files are passed over.
    QCOMPARE(Read(file("Mod1.bas")), std::string(kBasic));
    QVERIFY(!folios::test::FileExists(file("Mod1.bas.orig")));
    QVERIFY(Shell::opened().isEmpty());
    QVERIFY(m_frame->isEnabled());
  }

  void reformatShowsTheNewSizesInTheList() {
    // 930 bytes before, over 1400 once every line is indented.
    std::string source = "int main(void)\n{\n";
    for (int i = 0; i < 130; ++i) source += "x = 1;\n";
    source += "}\n";
    Write(file("grow.c"), source);
    Write(file("Mod1.bas"), kBasic);
    view()->openPaths({qfile("grow.c"), qfile("Mod1.bas")});
    const int row = view()->model()->row(0).file_name == "grow.c" ? 0 : 1;
    QCOMPARE(view()->model()->row(row).size_text, std::string("1KB"));
    const uint64_t basTotal = view()->model()->totals()[3];
    run("actionReformat");
    QVERIFY(Read(file("grow.c")).size() > 1400);
    QCOMPARE(view()->model()->row(row).size_text, std::string("2KB"));
    QCOMPARE(view()->model()->totals()[0], uint64_t{2});
    QCOMPARE(view()->model()->totals()[3], basTotal);
    QCOMPARE(view()->model()->row(row).file_name, std::string("grow.c"));
  }

  void reformatListsTheFilesLeftAsTheyWere() {
    gatherWithAMissingFile();
    run("actionReformat");
    QCOMPARE(MessageBox::shown().size(), 1);
    const QString message = MessageBox::shown().first();
    QVERIFY2(message.startsWith("Reformat source code files: These files were left as they were:"),
             qPrintable(message));
    QVERIFY2(message.contains(qfile("gone.cpp") + ": "), qPrintable(message));
    QVERIFY(!message.contains(qfile("main.c") + ":"));
    // The good file was still formatted.
    QVERIFY(folios::test::FileExists(file("main.c.orig")));
  }

  void buildsApplyTheProjectSettingsFileAndSaySo() {
    Write(file("proj/.folios.ini"), "[HKEY_LOCAL_MACHINE\\Software\\Lumentra Folios]\nm_spaces_to_indent=2\n");
    Write(file("proj/src/main.c"), kMessyC);
    view()->openPaths({qfile("proj/src/main.c")});
    run("actionReformat");
    QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().join('\n')));
    const std::string formatted = Read(file("proj/src/main.c"));
    QVERIFY2(formatted.find("\n  if (1)") != std::string::npos, formatted.c_str());
    QVERIFY2(formatted.find("\n    return 0;") != std::string::npos, formatted.c_str());
    QVERIFY(folios::test::FileExists(file("proj/src/main.c.orig")));  // the desktop keeps .orig
    QVERIFY2(lastBuild().endsWith("; project settings: " + qfile("proj/.folios.ini")), qPrintable(lastBuild()));
    // The user's own settings are as they were.
    QCOMPARE(Settings().Int("m_spaces_to_indent"), 4);

    // A malformed one stops the build, naming the file; nothing is written.
    Write(file("proj/.folios.ini"), "m_spaces_to_indent=2\nm_tabs=1\n");
    Write(file("proj/src/main.c"), kMessyC);
    run("actionReformat");
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::shown().first().contains(qfile("proj/.folios.ini") + ": line 2: unknown setting 'm_tabs'"),
             qPrintable(MessageBox::shown().first()));
    QCOMPARE(Read(file("proj/src/main.c")), std::string(kMessyC));
  }

  // ---- What the status bar and the opener tell ----

  void theStatusBarTellsHowTheLastBuildWent() {
    QCOMPARE(lastBuild(), QString());
    Settings().SetInt("m_openfile", 0);
    gatherSources();
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    const QRegularExpression listing(
        "^Last build: Source code listings; files: 2, problems: 0, time: \\d+\\.\\d s$");
    QVERIFY2(listing.match(lastBuild()).hasMatch(), qPrintable(lastBuild()));
    // It stays while menu tips come and go.
    m_frame->statusBar()->showMessage("a tip");
    m_frame->statusBar()->clearMessage();
    QVERIFY(listing.match(lastBuild()).hasMatch());
    gatherWithAMissingFile();
    run("actionReformat");
    QVERIFY2(
        lastBuild().startsWith("Last build: Reformat source code files; files: 2, problems: 1,"),
        qPrintable(lastBuild()));
    FileDialog::setNextFileName(qfile("d.rtf"));
    run("actionDocumentation");
    QVERIFY2(lastBuild().startsWith("Last build: Documentation; files: 2, problems: "),
             qPrintable(lastBuild()));
  }

  // The desktop's opener runs apart from the program; when it reports that
  // no application took the document, the user is told which file and how.
  void anOpenerThatFindsNoApplicationIsReported() {
    Settings().SetInt("m_openfile", 1);
    gatherSources();
    Shell::setTestMode(false);
    const QString failing = qfile("no-application.sh");
    Write(file("no-application.sh"), "#!/bin/sh\nexit 3\n");
    QFile::setPermissions(failing, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Shell::setOpener(failing);
    FileDialog::setNextFileName(qfile("l.rtf"));
    run("actionListing");
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::lastText().startsWith(qfile("l.rtf") + " could not be opened"),
             qPrintable(MessageBox::lastText()));
    QVERIFY(MessageBox::lastText().contains("word processor that reads RTF"));
    // The help page: a browser.
    MessageBox::clearShown();
    m_frame->action("actionContents")->trigger();
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::lastText().contains("index.html could not be opened"));
    QVERIFY(MessageBox::lastText().contains("web browser"));
    // No opener at all is told at once.
    MessageBox::clearShown();
    Shell::setOpener(qfile("missing-opener"));
    m_frame->action("actionContents")->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    // An opener that succeeds says nothing.
    MessageBox::clearShown();
    Shell::setOpener("true");
    m_frame->action("actionContents")->trigger();
    QTest::qWait(300);
    QVERIFY(MessageBox::shown().isEmpty());
    Shell::setOpener("xdg-open");
    Shell::setTestMode(true);
  }

  void longFailureListsAreCut() {
    BuildOutcome outcome;
    for (int i = 0; i < kMaxListedLines + 3; ++i) outcome.failures << QString("f%1: x").arg(i);
    ReportFailures(nullptr, "T", "Intro:", outcome);
    const QString text = MessageBox::lastText();
    QVERIFY(text.startsWith("Intro:\nf0: x\n"));
    QVERIFY(text.contains(QString("f%1: x").arg(kMaxListedLines - 1)));
    QVERIFY(!text.contains(QString("f%1: x").arg(kMaxListedLines)));
    QVERIFY(text.endsWith("... and 3 more."));
    MessageBox::clearShown();
    ReportFailures(nullptr, "T", "Intro:", BuildOutcome());
    QVERIFY(MessageBox::shown().isEmpty());
  }
};

QTEST_MAIN(TestBuilds)
#include "test_builds.moc"

// Gathering files in the desktop program: the same policy as the command
// line, and every problem met shown in one message.
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUrl>

#include "file_dialog.h"
#include "file_list_model.h"
#include "gui_test_support.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "message_box.h"
#include "settings_table.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::WhenModal;
using folios::gui::test::Write;

namespace {

QSet<QString> Set(const QStringList& list) { return QSet<QString>(list.begin(), list.end()); }

}  // namespace

class TestGathering : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private:
  CLFXView* view() const { return m_frame->view(); }
  QStringList rowPaths() const {
    QStringList paths;
    for (const std::string& p : view()->rowPaths()) paths << QString::fromStdString(p);
    return paths;
  }
  // The problem lines of the last message, without its first line.
  QStringList problemLines() const {
    QStringList lines = MessageBox::lastText().split('\n');
    if (!lines.isEmpty()) lines.removeFirst();
    return lines;
  }
  // A tree with every kind of input and problem.
  QStringList writeMixedInputs() {
    Write(m_dir->File("tree/a.c"), "int a;\n");
    Write(m_dir->File("tree/sub/b.h"), "");
    Write(m_dir->File("tree/sub/c.java"), "class C {}\n");
    Write(m_dir->File("elsewhere/secret.c"), "");
    symlink(m_dir->File("elsewhere").c_str(), m_dir->File("tree/sub/away").c_str());
    Write(m_dir->File("proj/p.vbp"), "Form=Main.frm\nModule=M; Mod.bas\nClass=C; .\\Gone.cls\n");
    Write(m_dir->File("proj/MAIN.frm"), "");
    Write(m_dir->File("proj/main.FRM"), "");
    Write(m_dir->File("proj/mod.bas"), "");
    Write(m_dir->File("notes.txt"), "");
    Write(m_dir->File("bin.dsp"), std::string("SOURCE=x.c\n\0", 12));
    return {path("tree"),      path("proj/p.vbp"), path("missing.cpp"),
            path("notes.txt"), path("bin.dsp"),    path("gone.dsp")};
  }

 private slots:
  void init() {
    openMainWindow();
  }
  void cleanup() {
    closeMainWindow();
  }

  void everyProblemIsNamedWithItsPathAndReason() {
    const QStringList inputs = writeMixedInputs();
    view()->openPaths(inputs);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::lastText().startsWith("Problems met while adding files:\n"));
    QCOMPARE(problemLines(),
             (QStringList{
                 path("tree/sub/away") +
                     ": a link to a folder; skipped (open the link itself to search it)",
                 path("proj/p.vbp") + ": '" + path("proj/Main.frm") +
                     "' does not exist, and 2 names in '" + path("proj") +
                     "' differ from 'Main.frm' only in case (MAIN.frm, main.FRM): none was taken",
                 path("missing.cpp") + ": cannot be reached (No such file or directory)",
                 path("notes.txt") + ": not a C, C++, Java or Visual Basic source file or project",
                 path("bin.dsp") + ": the project cannot be read (not a project file (it holds "
                                   "binary data))",
                 path("gone.dsp") + ": cannot be reached (No such file or directory)"}));
    // What could be added is listed: the search by the last search's types,
    // the project's files (case-matched where one name fits), the missing
    // source file.
    QCOMPARE(Set(rowPaths()),
             (QSet<QString>{path("tree/a.c"), path("tree/sub/b.h"), path("proj/Main.frm"),
                            path("proj/mod.bas"), path("proj/Gone.cls"), path("missing.cpp")}));
    QVERIFY(m_frame->action("actionListing")->isEnabled());
  }

  // The command line and the desktop program list the same files for the
  // same inputs and settings: the window is compared with `folios files`.
  void theListHoldsWhatTheCommandLineLists() {
    const QStringList inputs = writeMixedInputs();
    Settings().SetInt("m_java", 1);
    view()->openPaths(inputs);
    const int shownProblems = static_cast<int>(problemLines().size());

    QProcess folios;
    folios.setProgram(QCoreApplication::applicationDirPath() + "/folios");
    folios.setArguments(QStringList{"files"} + inputs);
    folios.start();
    QVERIFY(folios.waitForFinished(30000));
    QCOMPARE(folios.exitCode(), 1);  // some inputs failed
    QStringList listed;
    const QStringList out = QString::fromUtf8(folios.readAllStandardOutput()).split('\n');
    for (const QString& line : out.mid(1)) {
      const QStringList columns = line.split(QRegularExpression("\\s{2,}"));
      if (columns.size() >= 2) listed << QDir(columns.at(1)).filePath(columns.at(0));
    }
    const QStringList rows = rowPaths();
    QCOMPARE(Set(rows), Set(listed));
    QCOMPARE(rows.size(), 7);  // c.java counts now
    // One problem line per complaint of the command line.
    const QString err = QString::fromUtf8(folios.readAllStandardError());
    QCOMPARE(shownProblems, static_cast<int>(err.count('\n')));
  }

  void openDirectoryShowsWhatTheSearchSkipped() {
    Write(m_dir->File("tree/a.c"), "");
    Write(m_dir->File("out/b.c"), "");
    symlink(m_dir->File("out").c_str(), m_dir->File("tree/link").c_str());
    Settings().SetText("m_dir", m_dir->File("tree"));
    WhenModal("folios::gui::CFindDlg",
              [](QDialog* dialog) { dialog->findChild<QPushButton*>("searchButton")->click(); });
    view()->openDirectory();
    QCOMPARE(rowPaths(), QStringList{path("tree/a.c")});
    QCOMPARE(problemLines(),
             QStringList{path("tree/link") +
                         ": a link to a folder; skipped (open the link itself to search it)"});
    QVERIFY(view()->isEnabled());
    QVERIFY(m_frame->action("actionListing")->isEnabled());
  }

  void openDirectoryFindingOnlyLinksNamesThemAndLeavesTheBuildsOff() {
    Write(m_dir->File("out/b.c"), "");
    QDir().mkpath(path("tree"));
    symlink(m_dir->File("out").c_str(), m_dir->File("tree/link").c_str());
    Settings().SetText("m_dir", m_dir->File("tree"));
    WhenModal("folios::gui::CFindDlg",
              [](QDialog* dialog) { dialog->findChild<QPushButton*>("searchButton")->click(); });
    view()->openDirectory();
    QCOMPARE(view()->rowCount(), 0);
    QVERIFY(!m_frame->action("actionListing")->isEnabled());
    QCOMPARE(problemLines(),
             (QStringList{path("tree/link") +
                              ": a link to a folder; skipped (open the link itself to search it)",
                          path("tree") + ": no files of the chosen types were found"}));
  }

  void openDirectoryOfAFolderGoneSinceSaysSo() {
    Settings().SetText("m_dir", m_dir->File("gone"));
    WhenModal("folios::gui::CFindDlg", [](QDialog* dialog) {
      dialog->findChild<QPushButton*>("searchButton")->click();
    });
    view()->openDirectory();
    QCOMPARE(problemLines(), QStringList{path("gone") +
                                         ": the folder cannot be read (No such file or directory)"});
    QCOMPARE(view()->rowCount(), 0);
    QVERIFY(!m_frame->action("actionListing")->isEnabled());
  }

  void openProjectFileNamesWhatTheProjectCouldNotGive() {
    Write(m_dir->File("bin.vbp"), std::string("Form=f.frm\n\0", 12));
    FileDialog::setNextFileName(path("bin.vbp"));
    view()->openProjectFile();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(problemLines(), QStringList{path("bin.vbp") + ": the project cannot be read (not a "
                                                           "project file (it holds binary data))"});
    // A chosen file enables the builds even when it gave nothing.
    QVERIFY(m_frame->action("actionListing")->isEnabled());
    // A clean project says nothing.
    MessageBox::clearShown();
    Write(m_dir->File("ok.dsp"), "SOURCE=.\\a.c\n");
    Write(m_dir->File("a.c"), "");
    FileDialog::setNextFileName(path("ok.dsp"));
    view()->openProjectFile();
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(rowPaths(), QStringList{path("a.c")});
  }

  void droppedFolderIsSearchedAndItsProblemsNamed() {
    Write(m_dir->File("drop/x.cpp"), "");
    Write(m_dir->File("drop/y.txt"), "");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("drop")), QUrl::fromLocalFile(path("drop/y.txt"))});
    QVERIFY(m_frame->openDropped(&mime));
    QCOMPARE(rowPaths(), QStringList{path("drop/x.cpp")});
    QCOMPARE(problemLines(),
             QStringList{path("drop/y.txt") +
                         ": not a C, C++, Java or Visual Basic source file or project"});
  }

  void messagesListTwentyLinesThenHowManyMore() {
    QStringList lines;
    for (int i = 0; i < kMaxListedLines; ++i) lines << QString("line %1").arg(i);
    QCOMPARE(CutShort(lines), lines.join('\n'));
    lines << "one more";
    QCOMPARE(CutShort(lines).split('\n').size(), kMaxListedLines + 1);
    QVERIFY(CutShort(lines).endsWith("line 19\n... and 1 more."));
    QCOMPARE(CutShort(QStringList()), QString());
  }
};

QTEST_MAIN(TestGathering)
#include "test_gathering.moc"

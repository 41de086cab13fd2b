// What the desktop program remembers between runs: the window's size and
// place, the list's view mode, columns and sort, and the dialogs' folders,
// kept apart from the program's settings.
#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTreeView>

#include "file_dialog.h"
#include "file_list_model.h"
#include "gui_test_support.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "registry.h"
#include "settings_table.h"
#include "window_state.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::Read;
using folios::gui::test::Write;

namespace {

QStringList Names(const CLFXView* view) {
  QStringList names;
  for (int i = 0; i < view->rowCount(); ++i) {
    names << QString::fromStdString(view->model()->row(i).file_name);
  }
  return names;
}

}  // namespace

class TestWindowState : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiTestEnvironment> m_env;
  std::unique_ptr<folios::test::TempDir> m_dir;
  std::unique_ptr<CProjectFile> m_files;

  QString path(const char* name) const { return QString::fromStdString(m_dir->File(name)); }
  // A new run: a fresh window brought up as at program start.
  std::unique_ptr<CMainFrame> start() {
    auto frame = std::make_unique<CMainFrame>(m_files.get());
    frame->initialUpdate();
    return frame;
  }
  // Three files whose sizes sort differently as text than as numbers.
  QStringList writeFiles() {
    Write(m_dir->File("a.c"), std::string(9000, 'a'));   // 9KB
    Write(m_dir->File("b.c"), std::string(10000, 'b'));  // 10KB
    Write(m_dir->File("c.h"), std::string(500, 'c'));    // 1KB
    return {path("a.c"), path("b.c"), path("c.h")};
  }

 private slots:
  void init() {
    m_env = std::make_unique<GuiTestEnvironment>();
    m_dir = std::make_unique<folios::test::TempDir>();
    m_files = std::make_unique<CProjectFile>();
  }
  void cleanup() {
    m_files.reset();
    m_dir.reset();
    m_env.reset();
  }

  void aClosedWindowComesBackAsItWasLeft() {
    {
      auto frame = start();
      QCOMPARE(frame->size(), QSize(610, 400));  // the first start
      frame->resize(700, 450);
      frame->move(30, 40);
      frame->view()->setViewMode(CLFXView::kList);
      frame->view()->setColumnWidths({300, 120, 60});
      frame->view()->openPaths(writeFiles());
      frame->view()->sortByColumn(FileListModel::kSize);  // ascending
      frame->view()->sortByColumn(FileListModel::kSize);  // descending
      QVERIFY(frame->close());
    }
    auto frame = start();
    QCOMPARE(frame->size(), QSize(700, 450));
    QCOMPARE(frame->pos(), QPoint(30, 40));
    QCOMPARE(frame->view()->viewMode(), int(CLFXView::kList));
    QVERIFY(frame->action("actionList")->isChecked());
    QCOMPARE(frame->view()->columnWidths().mid(0, 3), (QList<int>{300, 120, 60}));
    QCOMPARE(frame->view()->sortColumn(), int(FileListModel::kSize));
    QVERIFY(!frame->view()->sortAscending());
    auto* header = frame->findChild<QTreeView*>("detailsView")->header();
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), int(FileListModel::kSize));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // The sort holds for what is loaded next: sizes as text, descending.
    frame->view()->openPaths(writeFiles());
    QCOMPARE(Names(frame->view()), (QStringList{"a.c", "c.h", "b.c"}));
  }

  void theStateHasItsOwnSectionThatAResetLeavesAlone() {
    {
      auto frame = start();
      frame->resize(640, 420);
      QVERIFY(frame->close());
    }
    const std::string store = Read(CRegistry::StoreFile());
    const size_t section = store.find(
        "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Lumentra "
        "Folios\\Window State]");
    QVERIFY2(section != std::string::npos, store.c_str());
    // Nothing of it went into the program's own key.
    CRegistry registry;
    QVERIFY(!registry.QueryString(kLocalMachine, kProductKey, "Geometry"));
    QVERIFY(!registry.QueryString(kLocalMachine, kProductKey, "View Mode"));
    QVERIFY(ResetAllSettings().ok());
    auto frame = start();
    QCOMPARE(frame->size(), QSize(640, 420));
  }

  void aWindowLeftOffEveryScreenComesBackOnThePrimaryOne() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Left with a sliver of it at the right or at the bottom edge of the
    // screen, too little to take hold of.
    for (const QPoint& left :
         {QPoint(screen.right() - 10, 100), QPoint(100, screen.bottom() - 4)}) {
      {
        auto frame = start();
        frame->move(left);
        QVERIFY(frame->close());
      }
      auto frame = start();
      QVERIFY2(screen.contains(frame->frameGeometry()),
               qPrintable(QString("%1,%2").arg(frame->x()).arg(frame->y())));
      QCOMPARE(frame->size(), QSize(610, 400));
      QVERIFY(frame->close());
    }
  }

  void placeOnScreen_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("expected");
    const QRect primary(0, 0, 1920, 1080);
    QTest::newRow("inside") << QRect(100, 100, 600, 400) << QRect(100, 100, 600, 400);
    QTest::newRow("title bar partly out") << QRect(-300, 10, 600, 400) << QRect(-300, 10, 600, 400);
    QTest::newRow("on the second screen") << QRect(2000, 50, 600, 400) << QRect(2000, 50, 600, 400);
    QTest::newRow("right of every screen")
        << QRect(5000, 100, 600, 400) << QRect(660, 340, 600, 400);
    QTest::newRow("title bar above the screen")
        << QRect(100, -390, 600, 400) << QRect(660, 340, 600, 400);
    QTest::newRow("between the screens' heights")
        << QRect(2000, 1500, 600, 400) << QRect(660, 340, 600, 400);
    QTest::newRow("larger than the screen, off it")
        << QRect(-5000, 0, 3000, 2000) << QRect(0, 0, 1920, 1080);
  }
  void placeOnScreen() {
    QFETCH(QRect, frame);
    QFETCH(QRect, expected);
    // A primary screen and a smaller one to its right.
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    QCOMPARE(PlaceOnScreen(frame, screens, screens.first()), expected);
  }

  void fileDialogsStartWhereTheUserWasLast() {
    Write(m_dir->File("src/one.c"), "");
    Write(m_dir->File("out/keep"), "");
    {
      auto frame = start();
      FileDialog::setNextFileName(path("src/one.c"));
      frame->view()->openProjectFile();
      QCOMPARE(FileDialog::lastRequest().directory, QString());
      FileDialog::setNextFileName(path("out/doc.rtf"));
      Settings().SetInt("m_openfile", 0);
      frame->action("actionListing")->trigger();
      QVERIFY(QFile::exists(path("out/doc.rtf")));
      QVERIFY(frame->close());
    }
    auto frame = start();
    frame->view()->openProjectFile();  // cancelled
    QCOMPARE(FileDialog::lastRequest().directory, path("src"));
    // A default file location of the settings comes first.
    Settings().SetText("m_file_location", m_dir->path());
    frame->view()->openProjectFile();
    QCOMPARE(FileDialog::lastRequest().directory, QString::fromStdString(m_dir->path()));
    // With nothing listed the save dialog offers the last output folder.
    frame->view()->clearAll();
    frame->view()->buildListing();
    QCOMPARE(FileDialog::lastRequest().proposedName, path("out/listing.rtf"));
  }

  void orderAsAddedUndoesTheSort() {
    auto frame = start();
    frame->view()->openPaths(writeFiles());
    const QStringList added = Names(frame->view());
    frame->view()->sortByColumn(FileListModel::kFileName);
    QCOMPARE(Names(frame->view()), (QStringList{"a.c", "b.c", "c.h"}));
    // A row removed while sorted stays removed.
    frame->findChild<QTreeView*>("detailsView")
        ->selectionModel()
        ->select(frame->view()->model()->index(0, 0),
                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    frame->view()->clear();
    frame->action("actionUnsorted")->trigger();
    QCOMPARE(frame->view()->sortColumn(), -1);
    QStringList expected = added;
    expected.removeAll("a.c");
    QCOMPARE(Names(frame->view()), expected);
    QVERIFY(!frame->findChild<QTreeView*>("detailsView")->header()->isSortIndicatorShown());
    // Later loads are no longer sorted.
    frame->view()->openPaths(writeFiles());
    QCOMPARE(Names(frame->view()), added);
  }
};

QTEST_MAIN(TestWindowState)
#include "test_window_state.moc"

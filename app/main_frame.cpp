#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "group_icons.h"
#include "lfx_view.h"
#include "recent_file_list.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

// Toolbar pictures: the desktop style's standard ones where there is one.
QIcon StandardIcon(QStyle::StandardPixmap pixmap) {
  return QApplication::style()->standardIcon(pixmap);
}

}  // namespace

CMainFrame::CMainFrame(CProjectFile* files, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("mainFrame"));
  setWindowTitle(tr("Lumentra Folios"));
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
  m_view = new CLFXView(files, this);
  setCentralWidget(m_view);
  createMenus();
  createToolBar();
  statusBar()->showMessage(tr("Ready"));
  connect(m_view, &CLFXView::commandsEnabledChanged, this, &CMainFrame::updateCommands);
  connect(m_view, &CLFXView::recentFilesChanged, this, &CMainFrame::updateRecentFiles);
  updateRecentFiles();
  connect(m_view, &CLFXView::viewModeChanged, this, [this](int mode) {
    const QString names[] = {"actionLargeIcons", "actionSmallIcons", "actionList",
                             "actionDetails"};
    if (QAction* a = action(names[mode - 1])) a->setChecked(true);
  });
  m_view->setContextMenu(m_fileMenu);
  updateCommands(false);
  resize(610, 400);
}

QAction* CMainFrame::action(const QString& name) const { return m_actions.value(name); }

int CMainFrame::commandId(const QAction* action) { return action ? action->data().toInt() : 0; }

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& name, const QString& text,
                                const QString& tip, void (CLFXView::*slot)()) {
  auto* a = new QAction(text, this);
  a->setObjectName(name);
  a->setData(id);
  a->setStatusTip(tip);
  if (slot) connect(a, &QAction::triggered, m_view, slot);
  if (menu) menu->addAction(a);
  m_actions.insert(name, a);
  return a;
}

void CMainFrame::createMenus() {
  m_fileMenu = menuBar()->addMenu(tr("&File"));
  QAction* open = addCommand(m_fileMenu, 32771, "actionOpenProject", tr("&Open Project/File..."),
                             tr("Fills the list with one project or source file"),
                             &CLFXView::openProjectFile);
  open->setShortcut(QKeySequence::Open);
  open->setIcon(StandardIcon(QStyle::SP_DialogOpenButton));
  QAction* dir = addCommand(m_fileMenu, 32772, "actionOpenDirectory", tr("Open &Directory..."),
                            tr("Fills the list with the source files found in a directory"),
                            &CLFXView::openDirectory);
  dir->setIcon(StandardIcon(QStyle::SP_DirOpenIcon));
  m_fileMenu->addSeparator();
  addCommand(m_fileMenu, 32773, "actionClear", tr("&Clear"), tr("Removes the selected file from the list"),
             &CLFXView::clear);
  addCommand(m_fileMenu, 32774, "actionClearAll", tr("Clear &all"), tr("Removes every file from the list"),
             &CLFXView::clearAll);
  m_fileMenu->addSeparator();
  QAction* stats = addCommand(m_fileMenu, 104, "actionStatistics", tr("Show &Statistics"),
                              tr("Shows the number and size of the files per type"),
                              &CLFXView::showStatistics);
  stats->setIcon(StandardIcon(QStyle::SP_FileDialogInfoView));
  m_fileMenu->addSeparator();
  // The recent files go between the two separators.
  m_recentSeparator = m_fileMenu->addSeparator();
  QAction* exit = addCommand(m_fileMenu, 57665, "actionExit", tr("E&xit"), tr("Quits the program"), nullptr);
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* build = menuBar()->addMenu(tr("&Build"));
  QAction* listing = addCommand(build, 32806, "actionListing", tr("&Source code listings..."),
                                tr("Makes one RTF listing of the files in the list"),
                                &CLFXView::buildListing);
  listing->setIcon(GroupIcon(0));
  addCommand(build, 32819, "actionDocumentation", tr("&Documentation..."),
             tr("Starts building a documentation from your active (displayed) code files"),
             &CLFXView::buildDocumentation);
  addCommand(build, 32823, "actionReformat", tr("&Reformat source code files"),
             tr("Reformats the C, C++ and Java files of the list in place"),
             &CLFXView::reformatFiles);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  m_viewModes = new QActionGroup(this);
  const struct {
    int id;
    const char* name;
    QString text;
    QStyle::StandardPixmap icon;
  } modes[] = {
      {32796, "actionLargeIcons", tr("Lar&ge icons"), QStyle::SP_FileDialogContentsView},
      {32797, "actionSmallIcons", tr("S&mall icons"), QStyle::SP_FileDialogListView},
      {59410, "actionList", tr("&List"), QStyle::SP_FileDialogListView},
      {59411, "actionDetails", tr("&Details"), QStyle::SP_FileDialogDetailedView},
  };
  for (int i = 0; i < 4; ++i) {
    QAction* a = addCommand(view, modes[i].id, modes[i].name, modes[i].text, QString(), nullptr);
    a->setCheckable(true);
    a->setIcon(StandardIcon(modes[i].icon));
    m_viewModes->addAction(a);
    const int mode = i + 1;
    connect(a, &QAction::triggered, m_view, [this, mode] { m_view->setViewMode(mode); });
  }
  action("actionDetails")->setChecked(true);

  QMenu* options = menuBar()->addMenu(tr("&Options"));
  QAction* prefs = addCommand(options, 32778, "actionPreferences", tr("&Preferences..."),
                              tr("General settings of the program"), &CLFXView::preferences);
  prefs->setIcon(StandardIcon(QStyle::SP_ComputerIcon));
  addCommand(options, 32818, "actionEditKeywords", tr("Edit &Keywords..."),
             tr("Edits the keywords of a keyword file and their formats"),
             &CLFXView::editKeywords);
  addCommand(options, 32820, "actionDocumentOptions", tr("&Document options..."),
             tr("Fonts and colours of code, comments and headers in listings"),
             &CLFXView::documentOptions);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* contents = addCommand(help, 32814, "actionContents", tr("&Contents"),
                                 tr("Opens the help page"), &CLFXView::contents);
  contents->setShortcut(QKeySequence::HelpContents);
  help->addSeparator();
  QAction* about = addCommand(help, 57664, "actionAbout", tr("&About Lumentra Folios..."),
                              tr("Shows the program's version"), &CLFXView::about);
  about->setIcon(StandardIcon(QStyle::SP_MessageBoxInformation));
}

void CMainFrame::createToolBar() {
  QToolBar* bar = addToolBar(tr("Toolbar"));
  bar->setObjectName(QStringLiteral("toolBar"));
  bar->setMovable(false);
  bar->setIconSize(QSize(16, 16));
  for (const char* name : {"actionOpenProject", "actionOpenDirectory", "", "actionStatistics",
                           "actionPreferences", "actionListing", "", "actionLargeIcons",
                           "actionSmallIcons", "actionList", "actionDetails", "",
                           "actionAbout"}) {
    if (*name == '\0') {
      bar->addSeparator();
    } else {
      bar->addAction(action(QString::fromLatin1(name)));
    }
  }
}

void CMainFrame::updateCommands(bool enabled) {
  for (const char* name : {"actionListing", "actionStatistics", "actionReformat",
                           "actionDocumentation", "actionClear", "actionClearAll"}) {
    action(QString::fromLatin1(name))->setEnabled(enabled);
  }
}

void CMainFrame::updateRecentFiles() {
  qDeleteAll(m_recentActions);
  m_recentActions.clear();
  const QStringList paths = RecentFileList::entries();
  for (int i = 0; i < paths.size(); ++i) {
    QString shown = paths.at(i);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
    a->setObjectName(QStringLiteral("actionRecentFile%1").arg(i + 1));
    a->setStatusTip(tr("Fills the list again from this file"));
    const QString path = paths.at(i);
    connect(a, &QAction::triggered, m_view, [this, path] { m_view->openRecentFile(path); });
    m_fileMenu->insertAction(m_recentSeparator, a);
    m_recentActions << a;
  }
  m_recentSeparator->setVisible(!paths.isEmpty());
}

void CMainFrame::initialUpdate() {
  setWindowTitle(tr("Lumentra Folios"));
  resize(610, 400);
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  if (Settings(SettingKey::kMain).Int("m_showfiledlg") != 0) m_view->openProjectFile();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (openDropped(event->mimeData())) event->acceptProposedAction();
}

bool CMainFrame::openDropped(const QMimeData* mime) {
  QStringList paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  if (paths.isEmpty()) return false;
  m_view->openPaths(paths);
  return true;
}

}  // namespace folios::gui

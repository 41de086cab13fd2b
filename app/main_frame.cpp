#include "main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
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
#include "setting_names.h"
#include "settings_table.h"
#include "window_state.h"

namespace folios::gui {

namespace {

// Names of the remembered values.
const char kGeometryValue[] = "Geometry";
const char kStateValue[] = "State";
const char kViewModeValue[] = "View Mode";
const char kColumnWidthsValue[] = "Column Widths";
const char kSortColumnValue[] = "Sort Column";
const char kSortAscendingValue[] = "Sort Ascending";

// Toolbar pictures: the desktop style's standard ones where there is one.
QIcon StandardIcon(QStyle::StandardPixmap pixmap) {
  return QApplication::style()->standardIcon(pixmap);
}

// The desktop's keys for a standard command, or `fallback` where the
// desktop has none (a bare X11 session has no Preferences key).
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (keys.isEmpty()) keys << fallback;
  return keys;
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
  m_lastBuild = new QLabel(statusBar());
  m_lastBuild->setObjectName(QStringLiteral("lastBuildLabel"));
  m_lastBuild->setAccessibleName(tr("Last build"));
  statusBar()->addPermanentWidget(m_lastBuild);
  connect(m_view, &CLFXView::buildFinished, m_lastBuild, &QLabel::setText);
  connect(m_view, &CLFXView::commandsEnabledChanged, this, &CMainFrame::updateCommands);
  connect(m_view, &CLFXView::selectionChanged, this, [this](bool anything) {
    action(QStringLiteral("actionProperties"))->setEnabled(anything);
  });
  connect(m_view, &CLFXView::recentFilesChanged, this, &CMainFrame::updateRecentFiles);
  updateRecentFiles();
  connect(m_view, &CLFXView::viewModeChanged, this, [this](int mode) {
    const QString names[] = {"actionLargeIcons", "actionSmallIcons", "actionList",
                             "actionDetails"};
    if (QAction* a = action(names[mode - 1])) a->setChecked(true);
  });
  m_view->setContextMenu(m_fileMenu);
  updateCommands(false);
  action(QStringLiteral("actionProperties"))->setEnabled(false);
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
  open->setShortcuts(QKeySequence::Open);
  open->setIcon(StandardIcon(QStyle::SP_DialogOpenButton));
  QAction* dir = addCommand(m_fileMenu, 32772, "actionOpenDirectory", tr("Open &Directory..."),
                            tr("Fills the list with the source files found in a directory"),
                            &CLFXView::openDirectory);
  dir->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  dir->setIcon(StandardIcon(QStyle::SP_DirOpenIcon));
  m_fileMenu->addSeparator();
  QAction* clear = addCommand(m_fileMenu, 32773, "actionClear", tr("&Clear"),
                              tr("Removes the selected files from the list"), &CLFXView::clear);
  clear->setShortcuts(QKeySequence::Delete);
  addCommand(m_fileMenu, 32774, "actionClearAll", tr("Clear &all"), tr("Removes every file from the list"),
             &CLFXView::clearAll);
  QAction* all = addCommand(m_fileMenu, 0, "actionSelectAll", tr("Selec&t All"),
                            tr("Selects every file of the list"), &CLFXView::selectAll);
  all->setShortcuts(QKeySequence::SelectAll);
  QAction* properties = addCommand(m_fileMenu, 0, "actionProperties", tr("P&roperties..."),
                                   tr("Shows the type, place, size and dates of the selected file"),
                                   &CLFXView::showProperties);
  properties->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
  m_fileMenu->addSeparator();
  QAction* stats = addCommand(m_fileMenu, 104, "actionStatistics", tr("Show &Statistics"),
                              tr("Shows the number and size of the files per type"),
                              &CLFXView::showStatistics);
  stats->setIcon(StandardIcon(QStyle::SP_FileDialogInfoView));
  m_fileMenu->addSeparator();
  // The recent files go between the two separators.
  m_recentSeparator = m_fileMenu->addSeparator();
  QAction* quit =
      addCommand(m_fileMenu, 57665, "actionQuit", tr("&Quit"), tr("Quits the program"), nullptr);
  quit->setShortcuts(StandardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
  quit->setMenuRole(QAction::QuitRole);
  connect(quit, &QAction::triggered, this, &QWidget::close);

  QMenu* build = menuBar()->addMenu(tr("&Build"));
  QAction* listing = addCommand(build, 32806, "actionListing", tr("&Source code listings..."),
                                tr("Makes one RTF listing of the files in the list"),
                                &CLFXView::buildListing);
  listing->setIcon(GroupIcon(0));
  listing->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  QAction* documentation =
      addCommand(build, 32819, "actionDocumentation", tr("&Documentation..."),
                 tr("Starts building a documentation from your active (displayed) code files"),
                 &CLFXView::buildDocumentation);
  documentation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  // Reformatting rewrites the files at once: a chord not pressed by chance.
  QAction* reformat = addCommand(build, 32823, "actionReformat", tr("&Reformat source code files"),
                                 tr("Reformats the C, C++ and Java files of the list in place"),
                                 &CLFXView::reformatFiles);
  reformat->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));

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
  const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
  for (int i = 0; i < 4; ++i) {
    QAction* a = addCommand(view, modes[i].id, modes[i].name, modes[i].text, QString(), nullptr);
    a->setCheckable(true);
    a->setIcon(StandardIcon(modes[i].icon));
    a->setShortcut(QKeySequence(Qt::CTRL | digits[i]));
    m_viewModes->addAction(a);
    const int mode = i + 1;
    connect(a, &QAction::triggered, m_view, [this, mode] { m_view->setViewMode(mode); });
  }
  action("actionDetails")->setChecked(true);
  view->addSeparator();
  addCommand(view, 0, "actionUnsorted", tr("&Order as Added"),
             tr("Shows the files in the order they were added, unsorted"), &CLFXView::unsort);

  QMenu* options = menuBar()->addMenu(tr("&Options"));
  QAction* prefs = addCommand(options, 32778, "actionPreferences", tr("&Preferences..."),
                              tr("General settings of the program"), &CLFXView::preferences);
  prefs->setIcon(StandardIcon(QStyle::SP_ComputerIcon));
  prefs->setShortcuts(
      StandardKeys(QKeySequence::Preferences, QKeySequence(Qt::CTRL | Qt::Key_Comma)));
  prefs->setMenuRole(QAction::PreferencesRole);
  addCommand(options, 32818, "actionEditKeywords", tr("Edit &Keywords..."),
             tr("Edits the keywords of a keyword file and their formats"),
             &CLFXView::editKeywords);
  addCommand(options, 32820, "actionDocumentOptions", tr("&Document options..."),
             tr("Fonts and colours of code, comments and headers in listings"),
             &CLFXView::documentOptions);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* contents = addCommand(help, 32814, "actionContents", tr("&Contents"),
                                 tr("Opens the help page"), &CLFXView::contents);
  contents->setShortcuts(QKeySequence::HelpContents);
  help->addSeparator();
  QAction* about = addCommand(
      help, 57664, "actionAbout", tr("&About Lumentra Folios..."),
      tr("Shows the program's version, licence and the places of its files"), &CLFXView::about);
  about->setIcon(StandardIcon(QStyle::SP_MessageBoxInformation));
  about->setMenuRole(QAction::AboutRole);

  // The keys are shown in the menus and in the toolbar's tips.
  for (QAction* a : std::as_const(m_actions)) {
    if (!a->shortcut().isEmpty()) {
      a->setToolTip(tr("%1 (%2)").arg(
          QString(a->text()).remove(QLatin1Char('&')).remove(QStringLiteral("...")),
          a->shortcut().toString(QKeySequence::NativeText)));
    }
  }
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
  for (const char* name :
       {"actionListing", "actionStatistics", "actionReformat", "actionDocumentation", "actionClear",
        "actionClearAll", "actionSelectAll"}) {
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
    const QString& path = paths.at(i);
    connect(a, &QAction::triggered, m_view, [this, path] { m_view->openRecentFile(path); });
    m_fileMenu->insertAction(m_recentSeparator, a);
    m_recentActions << a;
  }
  m_recentSeparator->setVisible(!paths.isEmpty());
}

void CMainFrame::initialUpdate() {
  setWindowTitle(tr("Lumentra Folios"));
  readState();
  show();
  if (Settings(SettingKey::kMain).Int(setting_name::kShowfiledlg) != 0) m_view->openProjectFile();
}

void CMainFrame::readState() {
  const QByteArray geometry = WindowState::bytes(kGeometryValue);
  if (!geometry.isEmpty() && restoreGeometry(geometry)) {
    bringOnScreen();
  } else {
    resize(610, 400);
    if (QScreen* screen = this->screen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  restoreState(WindowState::bytes(kStateValue));
  m_view->setViewMode(WindowState::number(kViewModeValue, CLFXView::kDetails));
  m_view->setColumnWidths(WindowState::numbers(kColumnWidthsValue));
  const int sortColumn = WindowState::number(kSortColumnValue, -1);
  if (sortColumn >= 0)
    m_view->setSort(sortColumn, WindowState::number(kSortAscendingValue, 1) != 0);
}

void CMainFrame::writeState() const {
  WindowState::setBytes(kGeometryValue, saveGeometry());
  WindowState::setBytes(kStateValue, saveState());
  WindowState::setNumber(kViewModeValue, m_view->viewMode());
  WindowState::setNumbers(kColumnWidthsValue, m_view->columnWidths());
  WindowState::setNumber(kSortColumnValue, m_view->sortColumn());
  WindowState::setNumber(kSortAscendingValue, m_view->sortAscending() ? 1 : 0);
}

void CMainFrame::bringOnScreen() {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return;
  const QRect frame = frameGeometry();
  const QRect placed = PlaceOnScreen(frame, screens, primary->availableGeometry());
  if (placed == frame) return;
  // The frame around the client area keeps its size.
  resize(placed.size() - (frame.size() - size()));
  move(placed.topLeft());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  writeState();
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

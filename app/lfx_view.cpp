#include "lfx_view.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QStackedLayout>
#include <QTreeView>

#include "about_dlg.h"
#include "build_commands.h"
#include "doc_options_code.h"
#include "edit_keywords.h"
#include "data_files.h"
#include "directory_search.h"
#include "file_dialog.h"
#include "file_filters.h"
#include "file_list_model.h"
#include "paths.h"
#include "find_dialog.h"
#include "message_box.h"
#include "progress_dlg.h"
#include "prop_sheet.h"
#include "properties_dlg.h"
#include "recent_file_list.h"
#include "search_settings.h"
#include "settings_table.h"
#include "shell.h"
#include "statistics_dlg.h"

namespace folios::gui {

namespace {

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

CLFXView::CLFXView(CProjectFile* files, QWidget* parent) : QWidget(parent), m_files(files) {
  setObjectName(QStringLiteral("fileListView"));
  m_model = new FileListModel(this);

  m_details = new QTreeView(this);
  m_details->setObjectName(QStringLiteral("detailsView"));
  m_details->setModel(m_model);
  m_details->setRootIsDecorated(false);
  m_details->setItemsExpandable(false);
  m_details->setUniformRowHeights(true);
  m_details->setAllColumnsShowFocus(true);
  m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_details->setSelectionMode(QAbstractItemView::SingleSelection);
  m_details->setIconSize(QSize(16, 16));
  m_details->header()->setSectionsClickable(true);
  // The last column takes what is left, so dates are not cut short.
  m_details->header()->setStretchLastSection(true);
  for (int c = 0; c < FileListModel::kColumnCount; ++c) {
    m_details->setColumnWidth(c, FileListModel::columnWidth(c));
  }

  m_icons = new QListView(this);
  m_icons->setObjectName(QStringLiteral("iconView"));
  m_icons->setModel(m_model);
  m_icons->setSelectionModel(m_details->selectionModel());
  m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
  m_icons->setResizeMode(QListView::Adjust);
  m_icons->setWordWrap(true);

  m_stack = new QStackedLayout(this);
  m_stack->setContentsMargins(0, 0, 0, 0);
  m_stack->addWidget(m_details);
  m_stack->addWidget(m_icons);

  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_details),
                                  static_cast<QAbstractItemView*>(m_icons)}) {
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { showProperties(); });
  }
  connect(m_details->header(), &QHeaderView::sectionClicked, this, &CLFXView::sortByColumn);
  setViewMode(kDetails);
}

int CLFXView::rowCount() const { return m_model->rowCount(); }

std::vector<std::string> CLFXView::rowPaths() const { return m_model->paths(); }

QAbstractItemView* CLFXView::currentItemView() const {
  return m_viewMode == kDetails ? static_cast<QAbstractItemView*>(m_details)
                                : static_cast<QAbstractItemView*>(m_icons);
}

void CLFXView::RefreshList() { m_model->setList(BuildFileList(*m_files)); }

void CLFXView::SetProjectName(const QString& fileName) {
  const std::string name = fileName.toStdString();
  const std::string ext = Extension(name);
  m_projectName = ext.empty() ? fileName : Text(name.substr(0, name.size() - ext.size() - 1));
}

void CLFXView::EnableCommands(bool enable) {
  m_commandsEnabled = enable;
  emit commandsEnabledChanged(enable);
}

void CLFXView::afterLoad(const QString& firstPath, bool anything) {
  RefreshList();
  if (anything) SetProjectName(QFileInfo(firstPath).fileName());
  EnableCommands(anything);
}

void CLFXView::openProjectFile() {
  Settings settings(SettingKey::kMain);
  const QStringList filters = OpenFileFilters(settings.Int("m_filefilter"));
  const QString location = Text(settings.Text("m_file_location"));
  const QString path = FileDialog::getOpenFileName(window(), tr("Open Project/File"), location,
                                                   filters.join(QStringLiteral(";;")),
                                                   filters.first());
  if (path.isEmpty()) return;
  m_files->Open(path.toStdString(), true);
  m_files->Process();
  afterLoad(path, true);
  addRecentFile(path);
}

void CLFXView::openPaths(const QStringList& paths) {
  if (paths.isEmpty()) return;
  m_files->Open("", true);
  QStringList gaveNothing;
  QString first;
  for (const QString& path : paths) {
    QFileInfo info(path);
    const size_t before = m_files->FileCount();
    const std::string absolute = info.absoluteFilePath().toStdString();
    if (!info.exists()) {
      // A source file is listed even when missing only if a project names it.
    } else if (info.isDir()) {
      SearchResult result;
      FindSourceFiles(absolute, SearchTypesFromSettings(), SearchSubfoldersFromSettings(), &result);
      AppendFoundFiles(*m_files, result.files, nullptr);
    } else {
      m_files->Open(absolute, false);
      m_files->Process();
    }
    if (m_files->FileCount() == before) {
      gaveNothing << path;
    } else {
      if (first.isEmpty()) first = path;
      addRecentFile(info.absoluteFilePath());
    }
  }
  afterLoad(first, !first.isEmpty());
  if (!gaveNothing.isEmpty()) {
    QStringList named = gaveNothing.mid(0, kMaxListedFailures);
    if (gaveNothing.size() > kMaxListedFailures) {
      named << tr("... and %1 more.").arg(gaveNothing.size() - kMaxListedFailures);
    }
    MessageBox::information(window(), tr("No files where found in:\n%1").arg(named.join('\n')));
  }
}

void CLFXView::openRecentFile(const QString& path) {
  if (!QFileInfo::exists(path)) {
    MessageBox::warning(window(), tr("%1 no longer exists.").arg(path));
    RecentFileList::remove(path);
    emit recentFilesChanged();
    return;
  }
  openPaths({path});
}

void CLFXView::addRecentFile(const QString& path) {
  RecentFileList::add(path);
  emit recentFilesChanged();
}

void CLFXView::openDirectory() {
  CFindDlg find(window());
  if (find.exec() != QDialog::Accepted) return;
  const std::vector<std::string> found = find.foundFiles();
  {
    CProgressDlg progress(window());
    progress.Create(window());
    setEnabled(false);
    AddFoundFiles(*m_files, found, &progress);
    progress.Destroy();
  }
  RefreshList();
  if (found.empty()) {
    MessageBox::information(window(), tr("No files where found in the directory!"));
    EnableCommands(false);
  } else {
    SetProjectName(Text(FileName(found.front())));
    EnableCommands(true);
  }
  setEnabled(true);
}

int CLFXView::selectionMark() const {
  const QModelIndexList selected = m_details->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void CLFXView::clear() {
  const int row = selectionMark();
  if (row < 0 || row >= rowCount()) return;
  m_model->removeRow(row);
  QAbstractItemView* view = currentItemView();
  if (row < rowCount()) {
    QModelIndex next = m_model->index(row, 0);
    view->selectionModel()->setCurrentIndex(
        next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  view->setFocus();
  if (rowCount() == 0) EnableCommands(false);
}

void CLFXView::clearAll() {
  m_model->setList(FileList{{}, m_model->totals()});
  EnableCommands(false);
}

void CLFXView::showStatistics() {
  CStatisticsDlg dialog(Statistics(*m_files, m_model->totals()), window());
  dialog.exec();
}

void CLFXView::preferences() {
  CPropSheet sheet(window());
  sheet.exec();
}

void CLFXView::editKeywords() {
  CPropKeywords sheet(window());
  sheet.exec();
}

void CLFXView::documentOptions() {
  CPropDlgDoc sheet(window());
  sheet.exec();
}

void CLFXView::buildListing() {
  const std::vector<std::string> paths = rowPaths();
  const QString output = askOutputFile(ListingExtension());
  if (output.isEmpty()) return;
  BuildOutcome outcome = RunListingBuild(paths, output, window());
  if (!outcome.available) {
    MessageBox::warning(window(), tr("Source code listings are not available in this build of "
                                     "the program."));
    return;
  }
  ReportFailures(window(), tr("Source code listings"),
                 tr("The listing build reported problems:"), outcome);
  if (Settings(SettingKey::kMain).Int("m_openfile") != 0 && QFileInfo::exists(output)) {
    Shell::openOrSay(window(), output);
  }
}

void CLFXView::buildDocumentation() {
  const std::vector<std::string> paths = rowPaths();
  const QString output = askOutputFile(DocumentationExtension());
  if (output.isEmpty()) return;
  BuildOutcome outcome = RunDocumentationBuild(paths, output, window());
  if (!outcome.available) {
    MessageBox::warning(window(), tr("The documentation build is not available in this build of "
                                     "the program."));
    return;
  }
  ReportFailures(window(), tr("Documentation"), tr("The documentation build reported problems:"),
                 outcome);
  if (Settings(SettingKey::kMain).Int("m_openfile") != 0 && QFileInfo::exists(output)) {
    Shell::openOrSay(window(), output);
  }
}

void CLFXView::reformatFiles() {
  BuildOutcome outcome = RunReformatBuild(rowPaths(), window());
  if (!outcome.available) {
    MessageBox::warning(window(), tr("Reformatting is not available in this build of the "
                                     "program."));
    return;
  }
  m_model->refreshFromDisk();
  ReportFailures(window(), tr("Reformat source code files"),
                 tr("These files were left as they were:"), outcome);
}

QString CLFXView::askOutputFile(const QString& extension) {
  // The folder of the first listed file, else the last one saved to: a
  // place the user knows, never the program's working directory.
  QString folder;
  if (rowCount() > 0) {
    const QString first = Text(m_model->row(0).directory);
    if (QFileInfo(first).isDir()) folder = first;
  }
  if (folder.isEmpty()) folder = m_lastOutputFolder;
  if (folder.isEmpty()) folder = Text(HomeDirectory());
  const QString name = m_projectName.isEmpty() ? QStringLiteral("listing") : m_projectName;
  const QString output = AskOutputFile(window(), QDir(folder).filePath(name + extension));
  if (!output.isEmpty()) m_lastOutputFolder = QFileInfo(output).absolutePath();
  return output;
}

void CLFXView::contents() {
  const std::string help = LocateDataFile("help/index.html");
  if (!QFileInfo::exists(Text(help))) {
    MessageBox::warning(window(), tr("The help page %1 is missing.").arg(Text(help)));
    return;
  }
  Shell::openOrSay(window(), Text(help));
}

void CLFXView::about() {
  CAboutDlg dialog(window());
  dialog.exec();
}

void CLFXView::setViewMode(int mode) {
  if (mode < kLargeIcons || mode > kDetails) return;
  m_viewMode = mode;
  switch (mode) {
    case kLargeIcons:
      m_icons->setViewMode(QListView::IconMode);
      m_icons->setIconSize(QSize(32, 32));
      m_icons->setGridSize(QSize(96, 64));
      m_icons->setFlow(QListView::LeftToRight);
      m_icons->setWrapping(true);
      m_icons->setMovement(QListView::Static);
      break;
    case kSmallIcons:
      m_icons->setViewMode(QListView::ListMode);
      m_icons->setIconSize(QSize(16, 16));
      m_icons->setGridSize(QSize(150, 20));
      m_icons->setFlow(QListView::LeftToRight);
      m_icons->setWrapping(true);
      break;
    case kList:
      m_icons->setViewMode(QListView::ListMode);
      m_icons->setIconSize(QSize(16, 16));
      m_icons->setGridSize(QSize(150, 20));
      m_icons->setFlow(QListView::TopToBottom);
      m_icons->setWrapping(true);
      break;
    default:
      break;
  }
  m_stack->setCurrentWidget(currentItemView());
  emit viewModeChanged(mode);
}

void CLFXView::showProperties() {
  const int row = selectionMark();
  if (row < 0 || row >= rowCount()) return;
  CPropertiesDlg dialog(Text(m_model->row(row).path()), window());
  dialog.exec();
}

void CLFXView::sortByColumn(int column) {
  const bool ascending = m_model->sortByColumn(column);
  m_details->header()->setSortIndicatorShown(true);
  m_details->header()->setSortIndicator(column, ascending ? Qt::AscendingOrder
                                                          : Qt::DescendingOrder);
}

bool CLFXView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    clear();
    return true;
  }
  if (event->type() == QEvent::ContextMenu && m_contextMenu) {
    m_contextMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace folios::gui

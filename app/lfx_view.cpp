#include "lfx_view.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QStackedLayout>
#include <QTreeView>
#include <algorithm>

#include "about_dlg.h"
#include "build_commands.h"
#include "data_files.h"
#include "directory_search.h"
#include "doc_options_code.h"
#include "edit_keywords.h"
#include "file_dialog.h"
#include "file_filters.h"
#include "file_list_model.h"
#include "find_dialog.h"
#include "gather_problems.h"
#include "message_box.h"
#include "paths.h"
#include "progress_dlg.h"
#include "prop_sheet.h"
#include "properties_dlg.h"
#include "recent_file_list.h"
#include "search_settings.h"
#include "setting_names.h"
#include "settings_table.h"
#include "shell.h"
#include "statistics_dlg.h"
#include "window_state.h"

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
  m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_details->setAccessibleName(tr("Files"));
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
  m_icons->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_icons->setAccessibleName(tr("Files"));
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
  connect(m_details->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit selectionChanged(hasSelection()); });
  setViewMode(kDetails);
}

int CLFXView::rowCount() const { return m_model->rowCount(); }

std::vector<std::string> CLFXView::rowPaths() const { return m_model->paths(); }

QAbstractItemView* CLFXView::currentItemView() const {
  return m_viewMode == kDetails ? static_cast<QAbstractItemView*>(m_details)
                                : static_cast<QAbstractItemView*>(m_icons);
}

void CLFXView::RefreshList() {
  m_model->setList(BuildFileList(*m_files));
  if (m_sortColumn >= 0) m_model->sortByColumn(m_sortColumn, m_model->sortAscending());
}

bool CLFXView::hasSelection() const { return selectionMark() >= 0; }

bool CLFXView::sortAscending() const { return m_model->sortAscending(); }

void CLFXView::setSort(int column, bool ascending) {
  if (column < 0 || column >= FileListModel::kColumnCount) {
    unsort();
    return;
  }
  m_sortColumn = column;
  m_model->sortByColumn(column, ascending);
  m_details->header()->setSortIndicatorShown(true);
  m_details->header()->setSortIndicator(column,
                                        ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CLFXView::unsort() {
  m_sortColumn = -1;
  m_model->restoreLoadOrder();
  m_details->header()->setSortIndicatorShown(false);
}

QList<int> CLFXView::columnWidths() const {
  QList<int> widths;
  for (int c = 0; c < FileListModel::kColumnCount; ++c) widths << m_details->columnWidth(c);
  return widths;
}

void CLFXView::setColumnWidths(const QList<int>& widths) {
  // The last column takes what is left of the view.
  for (int c = 0; c < qMin(int(widths.size()), FileListModel::kColumnCount - 1); ++c) {
    if (widths.at(c) > 0) m_details->setColumnWidth(c, widths.at(c));
  }
}

void CLFXView::selectAll() { currentItemView()->selectAll(); }

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

GatherResult CLFXView::gather(const QStringList& paths) {
  GatherRequest request;
  for (const QString& path : paths) request.paths.push_back(path.toStdString());
  request.types = SearchTypesFromSettings();
  request.subfolders = SearchSubfoldersFromSettings();
  return GatherInputs(request, m_files, nullptr);
}

void CLFXView::openProjectFile() {
  Settings settings(SettingKey::kMain);
  const QStringList filters = OpenFileFilters(settings.Int(setting_name::kFilefilter));
  QString location = Text(settings.Text(setting_name::kFileLocation));
  if (location.isEmpty()) location = WindowState::lastFolder(WindowState::kOpenFolder);
  const QString path = FileDialog::getOpenFileName(window(), tr("Open Project/File"), location,
                                                   filters.join(QStringLiteral(";;")),
                                                   filters.first());
  if (path.isEmpty()) return;
  WindowState::setLastFolder(WindowState::kOpenFolder, QFileInfo(path).absolutePath());
  const GatherResult result = gather({path});
  // A chosen file enables the builds even when it gave nothing.
  afterLoad(path, true);
  addRecentFile(path);
  ShowGatherProblems(window(), result.problems);
}

void CLFXView::openPaths(const QStringList& paths) {
  if (paths.isEmpty()) return;
  const GatherResult result = gather(paths);
  QString first;
  for (int i = 0; i < paths.size(); ++i) {
    if (result.added[static_cast<size_t>(i)] == 0) continue;
    if (first.isEmpty()) first = paths.at(i);
    addRecentFile(QFileInfo(paths.at(i)).absoluteFilePath());
  }
  afterLoad(first, !first.isEmpty());
  ShowGatherProblems(window(), result.problems);
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
  GatherResult result;
  {
    CProgressDlg progress(window());
    progress.Create(window());
    setEnabled(false);
    m_files->Open("", true);
    result = AddPlannedFiles(find.plan(), m_files, &progress);
    progress.Destroy();
  }
  RefreshList();
  const bool nothingElse = std::all_of(
      result.problems.begin(), result.problems.end(),
      [](const GatherProblem& p) { return p.kind == GatherProblemKind::kNothingFound; });
  if (find.plan().entries.empty() && nothingElse) {
    MessageBox::information(window(), tr("No files where found in the directory!"));
  } else {
    ShowGatherProblems(window(), result.problems);
  }
  if (find.plan().entries.empty()) {
    EnableCommands(false);
  } else {
    SetProjectName(Text(FileName(find.plan().entries.front().path)));
    EnableCommands(true);
  }
  setEnabled(true);
}

int CLFXView::selectionMark() const {
  const QModelIndexList selected = m_details->selectionModel()->selectedRows();
  int first = -1;
  for (const QModelIndex& index : selected) {
    if (first < 0 || index.row() < first) first = index.row();
  }
  return first;
}

void CLFXView::clear() {
  const int row = selectionMark();
  if (row < 0 || row >= rowCount()) return;
  // Every selected row goes; from the bottom up, so the rows keep their numbers.
  QList<int> rows;
  for (const QModelIndex& index : m_details->selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  for (int r : rows) m_model->removeRow(r);
  QAbstractItemView* view = currentItemView();
  // The row now at that place is selected; after the last row, the new last.
  const int next_row = qMin(row, rowCount() - 1);
  if (next_row >= 0) {
    QModelIndex next = m_model->index(next_row, 0);
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
  QElapsedTimer timer;
  timer.start();
  BuildOutcome outcome = RunListingBuild(paths, output, window());
  reportBuild(tr("Source code listings"), paths.size(), outcome, timer.elapsed());
  ReportFailures(window(), tr("Source code listings"),
                 tr("The listing build reported problems:"), outcome);
  if (Settings(SettingKey::kMain).Int(setting_name::kOpenfile) != 0 && QFileInfo::exists(output)) {
    Shell::openOrSay(window(), output);
  }
}

void CLFXView::buildDocumentation() {
  const std::vector<std::string> paths = rowPaths();
  const QString output = askOutputFile(DocumentationExtension());
  if (output.isEmpty()) return;
  QElapsedTimer timer;
  timer.start();
  BuildOutcome outcome = RunDocumentationBuild(paths, output, window());
  reportBuild(tr("Documentation"), paths.size(), outcome, timer.elapsed());
  ReportFailures(window(), tr("Documentation"), tr("The documentation build reported problems:"),
                 outcome);
  if (Settings(SettingKey::kMain).Int(setting_name::kOpenfile) != 0 && QFileInfo::exists(output)) {
    Shell::openOrSay(window(), output);
  }
}

void CLFXView::reformatFiles() {
  const std::vector<std::string> paths = rowPaths();
  QElapsedTimer timer;
  timer.start();
  BuildOutcome outcome = RunReformatBuild(paths, window());
  reportBuild(tr("Reformat source code files"), paths.size(), outcome, timer.elapsed());
  m_model->refreshFromDisk();
  ReportFailures(window(), tr("Reformat source code files"),
                 tr("These files were left as they were:"), outcome);
}

void CLFXView::reportBuild(const QString& name, size_t files, const BuildOutcome& outcome,
                           qint64 milliseconds) {
  const QString seconds = QLocale().toString(double(milliseconds) / 1000.0, 'f', 1);
  if (outcome.cancelled) {
    emit buildFinished(tr("Last build: %1; cancelled after %2 s").arg(name, seconds));
    return;
  }
  QString summary = tr("Last build: %1; files: %2, problems: %3, time: %4 s")
                        .arg(name)
                        .arg(files)
                        .arg(outcome.failures.size())
                        .arg(seconds);
  if (!outcome.project_settings.isEmpty()) {
    summary += tr("; project settings: %1").arg(outcome.project_settings);
  }
  emit buildFinished(summary);
}

QString CLFXView::askOutputFile(const QString& extension) {
  // The folder of the first listed file, else the last one saved to: a
  // place the user knows, never the program's working directory.
  QString folder;
  if (rowCount() > 0) {
    const QString first = Text(m_model->row(0).directory);
    if (QFileInfo(first).isDir()) folder = first;
  }
  if (folder.isEmpty()) folder = WindowState::lastFolder(WindowState::kOutputFolder);
  if (folder.isEmpty()) folder = Text(HomeDirectory());
  const QString name = m_projectName.isEmpty() ? QStringLiteral("listing") : m_projectName;
  QString output = AskOutputFile(window(), QDir(folder).filePath(name + extension));
  if (!output.isEmpty()) {
    WindowState::setLastFolder(WindowState::kOutputFolder, QFileInfo(output).absolutePath());
  }
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
  if (column < 0 || column >= FileListModel::kColumnCount) return;
  m_sortColumn = column;
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

// CLFXView: the file list that fills the main window, and the handlers of
// the menu and toolbar commands that work on it.
//
// The files gathered are held by the file collection (CProjectFile); the
// view shows rows rebuilt from it after every load. The builds take the
// rows that are left, top to bottom, so a row removed here is not built.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "gather_inputs.h"
#include "project_file.h"

class QAbstractItemView;
class QListView;
class QMenu;
class QStackedLayout;
class QTreeView;

namespace folios::gui {

class FileListModel;
struct BuildOutcome;

class CLFXView : public QWidget {
  Q_OBJECT

 public:
  enum ViewMode { kLargeIcons = 1, kSmallIcons = 2, kList = 3, kDetails = 4 };

  // `files` must outlive the view.
  CLFXView(CProjectFile* files, QWidget* parent = nullptr);

  // Rebuilds every row from the file collection.
  void RefreshList();
  // The project name is `fileName` up to the dot of its extension; the save
  // dialogs of the builds propose it as the output name.
  void SetProjectName(const QString& fileName);
  const QString& projectName() const { return m_projectName; }
  // Enables or disables the build, documentation, Clear and Clear all
  // commands together.
  void EnableCommands(bool enable);
  bool commandsEnabled() const { return m_commandsEnabled; }

  // Replaces the list by the given files, gathered as the command line
  // gathers them: a source file or project as Open Project/File takes it, a
  // directory searched with the last search's file types. Used for files
  // named on the command line, dropped, or chosen from the recent files.
  // The problems met (missing files, files of other types, empty folders,
  // links skipped) are named in one message; when nothing was added the
  // builds are disabled.
  void openPaths(const QStringList& paths);
  // Opens an entry of the recent-file list; one that no longer exists is
  // reported and leaves the list.
  void openRecentFile(const QString& path);

  FileListModel* model() const { return m_model; }
  int rowCount() const;
  // Full paths of the rows in display order.
  std::vector<std::string> rowPaths() const;
  int viewMode() const { return m_viewMode; }
  // The widget showing the rows in the current mode.
  QAbstractItemView* currentItemView() const;
  // The context menu shown on a right click (the main window's File menu).
  void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
  // Whether a row is selected (Clear and Properties act on it).
  bool hasSelection() const;

  // The column the rows are kept sorted by (-1: the order they were added
  // in) and its direction. A sort holds for every later load, so the list
  // and the builds keep the order the header shows.
  int sortColumn() const { return m_sortColumn; }
  bool sortAscending() const;
  void setSort(int column, bool ascending);
  // Widths of the detail view's columns.
  QList<int> columnWidths() const;
  void setColumnWidths(const QList<int>& widths);

 public slots:
  void openProjectFile();
  void openDirectory();
  void clear();
  void clearAll();
  void showStatistics();
  void preferences();
  void editKeywords();
  void documentOptions();
  void buildListing();
  void buildDocumentation();
  void reformatFiles();
  void contents();
  void about();
  void setViewMode(int mode);
  // The properties dialog of the row at the selection mark.
  void showProperties();
  // Sorts by `column`, toggling the direction at each call.
  void sortByColumn(int column);
  // Back to the order the rows were added in; no sort holds any more.
  void unsort();
  void selectAll();

 signals:
  void commandsEnabledChanged(bool enabled);
  void recentFilesChanged();
  void viewModeChanged(int mode);
  void selectionChanged(bool anything);
  // A build has ended; `summary` says what it did (files, problems, time).
  void buildFinished(const QString& summary);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Replaces the collection by what `paths` name.
  GatherResult gather(const QStringList& paths);
  // The collection has changed: rebuild, name the project, enable commands.
  void afterLoad(const QString& firstPath, bool anything);
  // The save dialog and replace question of the builds, proposing a name
  // with `extension`; empty when cancelled.
  QString askOutputFile(const QString& extension);
  // The first selected row, or -1: a row merely current (as the list makes
  // its first row when it gets the focus) is not selected.
  int selectionMark() const;
  // Tells the main window how a build went.
  void reportBuild(const QString& name, size_t files, const BuildOutcome& outcome,
                   qint64 milliseconds);
  void addRecentFile(const QString& path);

  CProjectFile* m_files;
  FileListModel* m_model;
  QTreeView* m_details;
  QListView* m_icons;
  QStackedLayout* m_stack;
  QMenu* m_contextMenu = nullptr;
  int m_viewMode = kDetails;
  int m_sortColumn = -1;
  QString m_projectName;
  bool m_commandsEnabled = false;
};

}  // namespace folios::gui

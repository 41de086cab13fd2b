// CMainFrame: the main window: menu bar, toolbar, status bar and the file
// list view, and the dropping of files onto the window.
#pragma once

#include <QMainWindow>
#include <QMap>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;

namespace folios {
class CProjectFile;
}

namespace folios::gui {

class CLFXView;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // `files` must outlive the window.
  explicit CMainFrame(CProjectFile* files, QWidget* parent = nullptr);

  CLFXView* view() const { return m_view; }
  // The action of a command by its object name ("actionListing", ...).
  QAction* action(const QString& name) const;
  // The command id an action stands for (kept as the action's data), or 0.
  static int commandId(const QAction* action);
  // The actions of the recent-file list in the File menu, newest first.
  QList<QAction*> recentFileActions() const { return m_recentActions; }
  QMenu* fileMenu() const { return m_fileMenu; }
  // Brings back the window's remembered size, place and list layout (the
  // first time: 610 x 400, centred on its screen), shows it and, when the
  // settings ask for it, runs Open Project/File.
  void initialUpdate();
  // Remembers the window's size, place and list layout for the next run
  // (done when the window is closed).
  void writeState() const;
  // Adds the local files of dropped data as Open Project/File adds a chosen
  // file; false when it holds none.
  bool openDropped(const QMimeData* mime);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // While a build runs the window is disabled and cannot be closed.
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* addCommand(QMenu* menu, int id, const QString& name, const QString& text,
                      const QString& tip, void (CLFXView::*slot)());
  void createMenus();
  void createToolBar();
  void updateCommands(bool enabled);
  void readState();
  // Moves a window that lies off every screen onto the primary one.
  void bringOnScreen();
  // Rebuilds the recent-file entries of the File menu from the store.
  void updateRecentFiles();

  CLFXView* m_view;
  QMenu* m_fileMenu = nullptr;
  QActionGroup* m_viewModes = nullptr;
  QMap<QString, QAction*> m_actions;
  QAction* m_recentSeparator = nullptr;  // ends the recent files, before Quit
  QLabel* m_lastBuild = nullptr;         // the last build's result in the status bar
  QList<QAction*> m_recentActions;
};

}  // namespace folios::gui

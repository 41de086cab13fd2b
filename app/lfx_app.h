// CLFXApp: start-up of the desktop program: names for the settings, the
// file collection, the main window, and files named on the command line.
#pragma once

#include <QStringList>
#include <memory>

#include "project_file.h"

class QApplication;
class QLocale;

namespace folios::gui {

class CMainFrame;

class CLFXApp {
 public:
  CLFXApp();
  ~CLFXApp();
  CLFXApp(const CLFXApp&) = delete;
  CLFXApp& operator=(const CLFXApp&) = delete;

  // Shows the main window (running Open Project/File when the settings ask
  // for it) and adds the files named in `paths`, as Open Project/File adds
  // a chosen file. Returns false when the window could not be made.
  bool InitInstance(const QStringList& paths);

  CMainFrame* mainFrame() const { return m_frame.get(); }
  CProjectFile& files() { return m_files; }

  // Usage text of the command line.
  static const char* Usage();

 private:
  CProjectFile m_files;  // lives for the whole run
  std::unique_ptr<CMainFrame> m_frame;
};

// Sets the application's names and icon and installs the translations of
// the user's language; call once after QApplication exists.
void SetUpApplication(QApplication& app);

// Installs Qt's own catalogue and the program's for `locale` (those found:
// a language without a catalogue stays English). Returns whether the
// program's own was found.
bool InstallTranslations(QApplication& app, const QLocale& locale);

}  // namespace folios::gui

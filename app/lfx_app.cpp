#include "lfx_app.h"

#include <QApplication>

#include "group_icons.h"
#include "lfx_view.h"
#include "main_frame.h"

namespace folios::gui {

CLFXApp::CLFXApp() = default;
CLFXApp::~CLFXApp() = default;

const char* CLFXApp::Usage() {
  return "Usage: folios-gui [FILE|PROJECT|DIRECTORY]...\n"
         "\n"
         "Opens the Lumentra Folios window. Files named here fill the file list:\n"
         "a source file is listed, a project (.dsp or .vbp) lists its files, and a\n"
         "directory is searched for the file types of the last search.\n";
}

bool CLFXApp::InitInstance(const QStringList& paths) {
  m_frame = std::make_unique<CMainFrame>(&m_files);
  m_frame->initialUpdate();
  if (!paths.isEmpty()) m_frame->view()->openPaths(paths);
  return true;
}

void SetUpApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("Lumentra Folios"));
  QApplication::setOrganizationName(QStringLiteral("Lumentra"));
  QApplication::setApplicationVersion(QStringLiteral("3.9"));
  QApplication::setDesktopFileName(QStringLiteral("lumentra-folios"));
  app.setWindowIcon(ProgramIcon());
}

}  // namespace folios::gui

#include "lfx_app.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "data_files.h"
#include "folios_version.h"
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

bool InstallTranslations(QApplication& app, const QLocale& locale) {
  auto* qt = new QTranslator(&app);
  if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(qt);
  } else {
    delete qt;
  }
  auto* ours = new QTranslator(&app);
  const QString dir =
      QString::fromStdString(ShippedDataDirectory()) + QStringLiteral("/translations");
  if (!ours->load(locale, QStringLiteral("folios"), QStringLiteral("_"), dir)) {
    delete ours;
    return false;
  }
  QApplication::installTranslator(ours);
  return true;
}

void SetUpApplication(QApplication& app) {
  InstallTranslations(app, QLocale::system());
  QApplication::setApplicationName(QStringLiteral("Lumentra Folios"));
  QApplication::setOrganizationName(QStringLiteral("Lumentra"));
  QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
  QApplication::setDesktopFileName(QStringLiteral("lumentra-folios"));
  QApplication::setWindowIcon(ProgramIcon());
}

}  // namespace folios::gui

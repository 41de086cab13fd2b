// folios-gui: the desktop program of Lumentra Folios.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "folios_version.h"
#include "lfx_app.h"
#include "temp_files.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(folios::gui::CLFXApp::Usage(), stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("folios-gui (Lumentra Folios) %s\n", folios::kVersion);
      return 0;
    }
  }
  // A build stopped by a signal leaves no half-written temporary file.
  folios::RemoveTemporaryFilesOnSignals();
  QApplication app(argc, argv);
  folios::gui::SetUpApplication(app);
  QStringList paths = QApplication::arguments();
  paths.removeFirst();
  folios::gui::CLFXApp folios_app;
  if (!folios_app.InitInstance(paths)) return 1;
  return QApplication::exec();
}

#include "shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace folios::gui {

namespace {
bool g_test_mode = false;
QStringList g_opened;
}  // namespace

void Shell::open(const QString& path) {
  g_opened << path;
  if (g_test_mode) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void Shell::setTestMode(bool on) {
  g_test_mode = on;
  g_opened.clear();
}

QStringList Shell::opened() { return g_opened; }

}  // namespace folios::gui

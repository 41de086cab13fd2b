#include "shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "message_box.h"

namespace folios::gui {

namespace {
bool g_test_mode = false;
bool g_test_result = true;
QStringList g_opened;
}  // namespace

bool Shell::open(const QString& path) {
  g_opened << path;
  if (g_test_mode) return g_test_result;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void Shell::openOrSay(QWidget* parent, const QString& path) {
  if (open(path)) return;
  MessageBox::warning(parent, QObject::tr("%1 could not be opened: the desktop has no "
                                          "application for it.\nPlease open it by hand.")
                                  .arg(path));
}

void Shell::setTestMode(bool on) {
  g_test_mode = on;
  g_test_result = true;
  g_opened.clear();
}

void Shell::setTestResult(bool succeed) { g_test_result = succeed; }

QStringList Shell::opened() { return g_opened; }

}  // namespace folios::gui

#include "shell.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QWidget>
#include <functional>

#include "message_box.h"

namespace folios::gui {

namespace {

bool g_test_mode = false;
bool g_test_result = true;
QStringList g_opened;
QString g_opener = QStringLiteral("xdg-open");

void Say(QWidget* parent, const QString& path) {
  MessageBox::warning(parent, QCoreApplication::translate("Shell",
                                                          "%1 could not be opened: no "
                                                          "application of this desktop took "
                                                          "it.\n%2")
                                  .arg(path, Shell::howToOpen(path)));
}

// Starts the opener; `failed` runs when it cannot be started or ends with a
// failure status (xdg-open: 3 no tool for the file, 4 the action failed).
// An opener that waits for the application it started is left running, and
// outlives the program if need be.
bool Start(const QString& path, const std::function<void()>& failed) {
  auto* process = new QProcess;
  process->setProgram(g_opener);
  process->setArguments({path});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process,
                   [process, failed](int code, QProcess::ExitStatus status) {
                     if (status != QProcess::NormalExit || code != 0) failed();
                     process->deleteLater();
                   });
  process->start();
  if (!process->waitForStarted()) {
    delete process;
    return false;
  }
  return true;
}

}  // namespace

bool Shell::open(const QString& path) {
  g_opened << path;
  if (g_test_mode) return g_test_result;
  return Start(path, [] {});
}

void Shell::openOrSay(QWidget* parent, const QString& path) {
  g_opened << path;
  if (g_test_mode) {
    if (!g_test_result) Say(parent, path);
    return;
  }
  QPointer<QWidget> owner(parent);
  if (!Start(path, [owner, path] { Say(owner, path); })) Say(parent, path);
}

QString Shell::howToOpen(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("rtf")) {
    return QCoreApplication::translate("Shell",
                                       "Open it with a word processor that reads RTF documents, "
                                       "or choose one for .rtf files in the desktop's settings "
                                       "of default applications.");
  }
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
    return QCoreApplication::translate("Shell",
                                       "Open it in a web browser (File > Open, or drop it on a "
                                       "browser window).");
  }
  return QCoreApplication::translate("Shell", "Open it with an application that reads it.");
}

void Shell::setOpener(const QString& program) { g_opener = program; }

void Shell::setTestMode(bool on) {
  g_test_mode = on;
  g_test_result = true;
  g_opened.clear();
}

void Shell::setTestResult(bool succeed) { g_test_result = succeed; }

QStringList Shell::opened() { return g_opened; }

}  // namespace folios::gui

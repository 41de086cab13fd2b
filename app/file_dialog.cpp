#include "file_dialog.h"

#include <QFileDialog>
#include <QStringList>

namespace folios::gui {

namespace {

bool g_test_mode = false;
QStringList g_answers;
FileDialogRequest g_last;

bool Intercept(const FileDialogRequest& request, QString* answer) {
  g_last = request;
  if (!g_test_mode) return false;
  *answer = g_answers.isEmpty() ? QString() : g_answers.takeFirst();
  return true;
}

}  // namespace

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title,
                                    const QString& directory, const QString& filter,
                                    const QString& selectedFilter) {
  QString answer;
  if (Intercept({"open", title, directory, filter, selectedFilter, QString()}, &answer)) {
    return answer;
  }
  QString chosen_filter = selectedFilter;
  return QFileDialog::getOpenFileName(parent, title, directory, filter, &chosen_filter);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& title,
                                    const QString& proposedPath, const QString& filter) {
  QString answer;
  if (Intercept({"save", title, QString(), filter, QString(), proposedPath}, &answer)) {
    return answer;
  }
  // The replace question is the caller's, with its own wording.
  return QFileDialog::getSaveFileName(parent, title, proposedPath, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString FileDialog::getExistingDirectory(QWidget* parent, const QString& title,
                                         const QString& directory) {
  QString answer;
  if (Intercept({"directory", title, directory, QString(), QString(), QString()}, &answer)) {
    return answer;
  }
  return QFileDialog::getExistingDirectory(parent, title, directory);
}

void FileDialog::setTestMode(bool on) {
  g_test_mode = on;
  g_answers.clear();
  g_last = FileDialogRequest();
}

void FileDialog::setNextFileName(const QString& name) { g_answers << name; }

FileDialogRequest FileDialog::lastRequest() { return g_last; }

}  // namespace folios::gui

#include "gui_test_support.h"

#include <QTest>
#include <fstream>
#include <sstream>

#include "file_dialog.h"
#include "message_box.h"
#include "shell.h"

namespace folios::gui::test {

GuiTestEnvironment::GuiTestEnvironment()
    : m_settings(std::make_unique<folios::test::ScopedSettings>()) {
  MessageBox::setTestMode(true);
  MessageBox::clearShown();
  FileDialog::setTestMode(true);
  Shell::setTestMode(true);
}

GuiTestEnvironment::~GuiTestEnvironment() {
  MessageBox::setTestMode(true);
  FileDialog::setTestMode(true);
}

namespace {

void Poll(const QString& className, std::function<void(QDialog*)> action, int attempts) {
  QWidget* modal = QApplication::activeModalWidget();
  auto* dialog = qobject_cast<QDialog*>(modal);
  if (dialog && dialog->inherits(className.toLatin1().constData())) {
    action(dialog);
    if (dialog->isVisible()) dialog->reject();
    return;
  }
  if (attempts <= 0) {
    QTest::qFail(qPrintable(QStringLiteral("no modal ") + className + QStringLiteral(" appeared")),
                 __FILE__, __LINE__);
    if (modal) modal->close();
    return;
  }
  QTimer::singleShot(20, [className, action, attempts] { Poll(className, action, attempts - 1); });
}

}  // namespace

void WhenModal(const char* className, std::function<void(QDialog*)> action) {
  const QString name = QString::fromLatin1(className);
  QTimer::singleShot(0, [name, action] { Poll(name, action, 250); });
}

void Write(const std::string& path, const std::string& content) {
  folios::test::WriteFile(path, content);
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace folios::gui::test

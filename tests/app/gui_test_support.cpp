#include "gui_test_support.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QTabBar>
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

// A poll outlives the test function that set it up when that function fails
// before its dialog appears; its action would then write into the dead
// function's locals, so it stops as soon as another function runs.
void Poll(const QString& className, std::function<void(QDialog*)> action, int attempts,
          const QByteArray& owner) {
  const char* running = QTest::currentTestFunction();
  if (!running || owner != running) return;
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
  QTimer::singleShot(20, [className, action, attempts, owner] {
    Poll(className, action, attempts - 1, owner);
  });
}

}  // namespace

void WhenModal(const char* className, std::function<void(QDialog*)> action) {
  const QString name = QString::fromLatin1(className);
  const QByteArray owner(QTest::currentTestFunction() ? QTest::currentTestFunction() : "");
  QTimer::singleShot(0, [name, action, owner] { Poll(name, action, 250, owner); });
}

QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text.at(i) != '&') continue;
    if (text.at(i + 1) == '&') {
      ++i;
      continue;
    }
    return text.at(i + 1).toLower();
  }
  return QChar();
}

QStringList MnemonicClashes(QWidget* window) {
  QStringList clashes;
  QMap<QChar, QString> owners;
  auto note = [&](const QString& text) {
    const QChar letter = Mnemonic(text);
    if (letter.isNull()) return;
    if (owners.contains(letter)) clashes << "\"" + owners.value(letter) + "\" and \"" + text + "\"";
    owners.insert(letter, text);
  };
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) note(button->text());
    if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) note(label->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) note(group->title());
    if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) note(tabs->tabText(i));
    }
  }
  return clashes;
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

// Helpers for the desktop program's tests: a fresh settings store and seams
// in test mode for every test function, and driving modal dialogs.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

#include "test_support.h"

namespace folios::gui::test {

// Per test function: a private settings store and data directory, message
// boxes, file dialogs and the desktop opener in test mode.
class GuiTestEnvironment {
 public:
  GuiTestEnvironment();
  ~GuiTestEnvironment();
  const std::string& dataDir() const { return m_settings->data_dir(); }

 private:
  std::unique_ptr<folios::test::ScopedSettings> m_settings;
};

// Calls `action` with the modal dialog of type T once one is shown (polled
// from the event loop), then, unless `action` closed it, rejects it.
// Fails the running test if no such dialog shows within a few seconds.
void WhenModal(const char* className, std::function<void(QDialog*)> action);

// The child of `parent` with the given object name; ends the test run when
// there is none, since every later step would fail on it anyway.
template <typename T>
T* Child(QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (!child) qFatal("no child %s", name);
  return child;
}

// The letter after the first single "&" of a text, lower case; null when
// there is none.
QChar Mnemonic(const QString& text);

// The texts of `window`'s buttons, labels with a buddy, group boxes and
// tabs that share a mnemonic with an earlier one, as "first" and "second".
QStringList MnemonicClashes(QWidget* window);

// Writes `content` to `path`, creating directories.
void Write(const std::string& path, const std::string& content);
std::string Read(const std::string& path);

}  // namespace folios::gui::test

// A main window over a fresh settings store and a scratch directory, made
// for each test function and taken down after it, in that order.
#pragma once

#include <QString>
#include <memory>

#include "gui_test_support.h"
#include "main_frame.h"
#include "project_file.h"
#include "test_support.h"

namespace folios::gui::test {

class MainWindowFixture {
 protected:
  // From init(): the store first, the window last, so the window reads the
  // test's own settings.
  void openMainWindow() {
    m_env = std::make_unique<GuiTestEnvironment>();
    m_dir = std::make_unique<folios::test::TempDir>();
    m_files = std::make_unique<CProjectFile>();
    m_frame = std::make_unique<CMainFrame>(m_files.get());
  }
  // From cleanup(): the window goes before the list and the store it uses.
  void closeMainWindow() {
    m_frame.reset();
    m_files.reset();
    m_dir.reset();
    m_env.reset();
  }
  QString path(const char* name) const { return QString::fromStdString(m_dir->File(name)); }

  std::unique_ptr<GuiTestEnvironment> m_env;
  std::unique_ptr<folios::test::TempDir> m_dir;
  std::unique_ptr<CProjectFile> m_files;
  std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace folios::gui::test

#include "terminal_progress.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>

#include "test_support.h"

namespace folios::cli {
namespace {

// Points standard error at `fd` for the lifetime of the object.
class StderrRedirect {
 public:
  explicit StderrRedirect(int fd) : saved_(dup(STDERR_FILENO)) {
    std::fflush(stderr);
    dup2(fd, STDERR_FILENO);
  }
  ~StderrRedirect() {
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

std::string Drain(int fd) {
  std::string text;
  char buffer[4096];
  fcntl(fd, F_SETFL, O_NONBLOCK);
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  return text;
}

TEST(TerminalProgress, DrawsBarPercentAndStatusOnATerminalAndClearsItAfter) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  std::string shown;
  {
    StderrRedirect redirect(slave);
    TerminalProgress progress;
    progress.SetRange(0, 4);
    progress.SetStep(1);
    progress.SetStatus("/src/a.cpp");
    progress.StepIt();
    progress.StepIt();
    progress.Finish();
  }
  shown = Drain(master);
  close(slave);
  close(master);
  EXPECT_NE(shown.find("/src/a.cpp"), std::string::npos) << shown;
  EXPECT_NE(shown.find("["), std::string::npos);
  EXPECT_NE(shown.find("\r\x1b[K"), std::string::npos);  // the line is cleared at the end
}

TEST(TerminalProgress, WritesNothingWhenStandardErrorIsNotATerminal) {
  test::TempDir dir;
  std::string path = dir.File("err");
  int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  {
    StderrRedirect redirect(fd);
    TerminalProgress progress;
    progress.SetRange(0, 2);
    progress.SetStep(1);
    progress.SetStatus("working");
    progress.StepIt();
    progress.StepIt();
  }
  close(fd);
  EXPECT_EQ(test::ReadFile(path), "");
}

}  // namespace
}  // namespace folios::cli

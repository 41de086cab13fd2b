#include "terminal_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "cli_support.h"
#include "paths.h"

namespace folios::cli {

namespace {

int TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col;
  return 80;
}

}  // namespace

TerminalProgress::TerminalProgress() : enabled_(isatty(STDERR_FILENO) != 0 && !Quiet()) {}

TerminalProgress::~TerminalProgress() { Finish(); }

void TerminalProgress::SetCaption(const std::string& caption) { caption_ = caption; }

void TerminalProgress::SetStatus(const std::string& text) {
  status_ = text;
  Draw(false);
}

void TerminalProgress::OnPercentTextChanged() { Draw(false); }

void TerminalProgress::Draw(bool force) {
  if (!enabled_) return;
  auto now = std::chrono::steady_clock::now();
  // Redrawing costs a write to the terminal; ten times a second is plenty.
  if (!force && drawn_ && now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  const int width = TerminalWidth();
  const int bar_width = 24;
  long long span = static_cast<long long>(upper()) - lower();
  if (span <= 0) span = 1;
  long long filled = (static_cast<long long>(position()) - lower()) * bar_width / span;
  if (filled < 0) filled = 0;
  if (filled > bar_width) filled = bar_width;
  std::string line = "\r[";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(bar_width - filled), ' ');
  line += "] ";
  std::string percent = percent_text();
  line.append(percent.size() < 4 ? 4 - percent.size() : 0, ' ');
  line += percent;
  line += ' ';
  int room = width - static_cast<int>(line.size()) - 1;
  line += ShortenPath(status_, room > 8 ? room : 8);
  line += "\x1b[K";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalProgress::Finish() {
  if (enabled_ && drawn_) {
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
  }
  drawn_ = false;
}

}  // namespace folios::cli

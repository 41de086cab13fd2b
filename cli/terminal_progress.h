// A progress bar with a status text on standard error, drawn only when
// standard error is a terminal.
#pragma once

#include <chrono>
#include <string>

#include "progress.h"

namespace folios::cli {

class TerminalProgress : public Progress {
 public:
  TerminalProgress();
  ~TerminalProgress() override;

  void SetCaption(const std::string& caption) override;
  void SetStatus(const std::string& text) override;
  // Clears the bar's line; called by the destructor too.
  void Finish();

 protected:
  void OnPercentTextChanged() override;

 private:
  void Draw(bool force);
  bool enabled_;
  bool drawn_ = false;
  std::string caption_;
  std::string status_;
  std::chrono::steady_clock::time_point last_draw_{};
};

}  // namespace folios::cli

#include "progress.h"

namespace folios {

Progress::~Progress() = default;

void Progress::SetCaption(const std::string&) {}

void Progress::SetStatus(const std::string&) {}

void Progress::SetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  position_ = lower;
  OnRangeChanged();
}

void Progress::SetStep(int step) { step_ = step; }

int Progress::StepIt() {
  ProcessPendingEvents();
  int previous = position_;
  position_ += step_;
  OnPositionChanged();
  std::string text = std::to_string(Percent(position_, lower_, upper_)) + "%";
  if (text != percent_text_) {
    percent_text_ = text;
    OnPercentTextChanged();
  }
  return previous;
}

bool Progress::CheckCancel() {
  ProcessPendingEvents();
  bool requested = cancel_requested_;
  cancel_requested_ = false;
  return requested;
}

int Progress::Percent(int position, int lower, int upper) {
  long long span = static_cast<long long>(upper) - lower;
  if (span <= 0) span = 1;
  long long percent = (static_cast<long long>(position) - lower) * 100 / span;
  if (percent == 100) return 100;
  return static_cast<int>(percent % 100);
}

}  // namespace folios

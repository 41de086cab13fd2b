// Progress of a long operation, as the engines report it.
//
// The engines call these operations; front ends decide how progress looks
// (a dialog in the desktop program, a bar on a terminal, nothing at all).
// The position, the range and the percentage text are kept here so that
// every front end shows the same figures.
#pragma once

#include <string>

namespace folios {

class Progress {
 public:
  Progress() = default;
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  virtual ~Progress();

  // The caption of the progress window ("Add files to main area").
  virtual void SetCaption(const std::string& caption);
  // Sets the range and puts the position at `lower`.
  void SetRange(int lower, int upper);
  void SetStep(int step);
  // Advances the position by one step, updates the percentage text and
  // returns the previous position. Gives the front end a chance to handle
  // pending events first.
  int StepIt();
  // The status line, typically the file being worked on.
  virtual void SetStatus(const std::string& text);
  // Gives the front end a chance to handle pending events, then returns
  // whether cancel was requested since the last call, and clears the request.
  bool CheckCancel();
  // Asks the operation to stop at its next CheckCancel.
  void RequestCancel() { cancel_requested_ = true; }

  int lower() const { return lower_; }
  int upper() const { return upper_; }
  int step() const { return step_; }
  int position() const { return position_; }
  const std::string& percent_text() const { return percent_text_; }

  // The percentage shown for `position` in [lower, upper]: a span of 0 or
  // less counts as 1; exactly 100 shows 100, anything else modulo 100.
  static int Percent(int position, int lower, int upper);

 protected:
  // Front-end hooks.
  virtual void ProcessPendingEvents() {}
  virtual void OnRangeChanged() {}
  virtual void OnPositionChanged() {}
  // Called only when the percentage text changes.
  virtual void OnPercentTextChanged() {}

 private:
  int lower_ = 0;
  int upper_ = 100;
  int step_ = 10;
  int position_ = 0;
  bool cancel_requested_ = false;
  std::string percent_text_ = " 0 %";
};

// Progress that shows nothing; cancel can still be requested through it.
class SilentProgress : public Progress {};

}  // namespace folios

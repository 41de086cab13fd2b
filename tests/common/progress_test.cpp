#include "progress.h"

#include <gtest/gtest.h>

#include <vector>

namespace folios {
namespace {

// Records what a front end would be asked to show.
class RecordingProgress : public Progress {
 public:
  std::vector<std::string> texts;
  int events = 0;

 protected:
  void ProcessPendingEvents() override { ++events; }
  void OnPercentTextChanged() override { texts.push_back(percent_text()); }
};

TEST(Progress, PercentageRule) {
  struct Case {
    int position, lower, upper, percent;
  };
  const Case cases[] = {
      {0, 0, 100, 0},     {50, 0, 100, 50},  {100, 0, 100, 100}, {150, 0, 100, 50},
      {200, 0, 100, 0},   {3, 0, 4, 75},     {5, 5, 5, 0},       {6, 5, 5, 100},  // a zero span counts as 1
      {1, 0, 0, 100},    {2, 0, 0, 0},       {7, 10, 2, 0},     {1, 0, 3, 33},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Progress::Percent(c.position, c.lower, c.upper), c.percent)
        << c.position << " in " << c.lower << ".." << c.upper;
  }
}

TEST(Progress, StepItAdvancesAndUpdatesTextOnlyWhenItChanges) {
  RecordingProgress progress;
  progress.SetRange(0, 3);
  progress.SetStep(1);
  EXPECT_EQ(progress.StepIt(), 0);
  EXPECT_EQ(progress.StepIt(), 1);
  EXPECT_EQ(progress.StepIt(), 2);
  EXPECT_EQ(progress.position(), 3);
  EXPECT_EQ(progress.texts, (std::vector<std::string>{"33%", "66%", "100%"}));
  EXPECT_EQ(progress.events, 3);

  RecordingProgress fine;
  fine.SetRange(0, 1000);
  fine.SetStep(1);
  fine.StepIt();
  fine.StepIt();  // 0% both times: no second update
  EXPECT_EQ(fine.texts, (std::vector<std::string>{"0%"}));
}

TEST(Progress, DefaultsAndRangeReset) {
  SilentProgress progress;
  EXPECT_EQ(progress.lower(), 0);
  EXPECT_EQ(progress.upper(), 100);
  EXPECT_EQ(progress.step(), 10);
  progress.StepIt();
  progress.SetRange(5, 9);
  EXPECT_EQ(progress.position(), 5);
}

TEST(Progress, CancelIsSeenOnceByTheNextCheck) {
  RecordingProgress progress;
  EXPECT_FALSE(progress.CheckCancel());
  progress.RequestCancel();
  EXPECT_TRUE(progress.CheckCancel());
  EXPECT_FALSE(progress.CheckCancel());
  EXPECT_EQ(progress.events, 3);  // every check lets the front end handle its events
}

}  // namespace
}  // namespace folios

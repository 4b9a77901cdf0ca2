#include "processing/align_stage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/experiment.h"
#include "platform/headless_window_system.h"

namespace kelvaris {
namespace {

// Two Data-stage curves sampled every second from 0 to 200 s: a flat
// baseline, then a rise 0, 5, 25, 45, 50 RU starting at 100 s (curve 0) and
// at 107 s (curve 1). Outside the 80..120 s search window a 1000 RU spike at
// 41 s is far steeper; inside it, a 500 RU spike at 90 s has been cut from
// the Align stage on. The curves descend from raw curves 1 and 0, so the
// injection times must land on the raw curve, not on the index.
class AlignStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(e.AllocateStage(stRaw, 2, 1));
    ASSERT_TRUE(e.AllocateStage(stData, 2, 256));
    FillRise(0, 100, 1);
    FillRise(1, 107, 0);
    e.Switches.Align = true;
    e.WindowSet[stAlign] = true;
  }
  void FillRise(int c, int start, int raw) {
    TCurveSet& d = e.Stage(stData);
    const double rise[] = {0, 5, 25, 45, 50};
    d.PointCount[c] = 0;
    d.SourceCurve[c] = raw;
    for (int i = 0; i <= 200; ++i) {
      double r = i < start ? 0 : i - start < 5 ? rise[i - start] : 50;
      TPointFlags f = 0;
      if (i == 41) r = 1000;
      if (i == 90) {
        r = 500;
        f = static_cast<TPointFlags>(CutLevelForStage(stAlign));
      }
      d.Append(c, i, r, f, i);
    }
  }
  const TCurveSet& aligned() const { return e.Stage(stAlign); }
  TCurveInfo& raw(int c) { return e.CurveInfo[static_cast<std::size_t>(c)]; }
  std::vector<double> Times(int c) const {
    return {aligned().TimeOf(c), aligned().TimeOf(c) + aligned().PointCount[c]};
  }

  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(AlignStageTest, PutsTheFootOfTheSteepestRiseInTheWindowAtZero) {
  const AlignResult result = AlignStage(e, "80", "120");
  ASSERT_TRUE(result.Ok) << result.Message;
  // Steepest step 101 -> 102 s (20 RU/s) through 5 RU: the tangent crosses 0
  // at 100.75 s, not at the spikes outside the window or cut away.
  EXPECT_NEAR(raw(1).InjectionTime, 100.75, 1e-12);
  EXPECT_NEAR(raw(0).InjectionTime, 107.75, 1e-12);

  ASSERT_EQ(aligned().CurveCount, 2);
  ASSERT_EQ(aligned().PointCount[0], 200) << "the cut point is dropped";
  EXPECT_NEAR(aligned().TimeOf(0)[0], -100.75, 1e-12);
  EXPECT_NEAR(aligned().TimeOf(0)[100], 0.25, 1e-12) << "the point at 101 s";
  EXPECT_EQ(aligned().ResponseOf(0)[100], 5) << "responses unchanged";
  EXPECT_EQ(aligned().IndexOf(0)[90], 91);
  EXPECT_EQ(aligned().SourceCurve[0], 1);
  // Both injections now start together.
  EXPECT_NEAR(aligned().TimeOf(1)[107], aligned().TimeOf(0)[100], 1e-12);
  EXPECT_EQ(AlignedCurveInfo(e, 0), &raw(1)) << "the box shows the raw curve's time";
}

TEST_F(AlignStageTest, ManualTimesAreKeptAndAutomaticOnesFoundAgain) {
  raw(0).AutoInjection = false;
  raw(0).InjectionTime = 12.5;
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(AlignStage(e, "80", "120").Ok);
    EXPECT_EQ(raw(0).InjectionTime, 12.5) << "run " << run;
    EXPECT_NEAR(raw(1).InjectionTime, 100.75, 1e-12) << "run " << run;
    EXPECT_NEAR(aligned().TimeOf(1)[0], -12.5, 1e-12);
    EXPECT_NEAR(aligned().TimeOf(0)[0], -100.75, 1e-12);
    raw(1).InjectionTime = 0;  // overwritten by the next run
  }
}

TEST_F(AlignStageTest, TypedTimesAndStepsMoveTheAlignedCurveAtOnce) {
  raw(1).AutoInjection = false;
  raw(1).InjectionTime = 10;
  ASSERT_TRUE(AlignStage(e, "80", "120").Ok);
  const double before = aligned().TimeOf(0)[0];

  ASSERT_TRUE(SetAlignedInjectionTime(e, 0, 12.5));
  EXPECT_NEAR(aligned().TimeOf(0)[0], before - 2.5, 1e-12) << "2.5 s to the left";
  EXPECT_EQ(raw(1).InjectionTime, 12.5);
  EXPECT_NEAR(aligned().TimeOf(1)[0], -107.75, 1e-12) << "other curves stay";

  raw(1).AutoInjection = true;
  double shown = 0;
  for (int press = 0; press < 3; ++press) shown = StepAlignedCurve(e, 0, 0.1);
  EXPECT_NEAR(aligned().TimeOf(0)[0], before - 2.5 + 0.3, 1e-12) << "0.3 s to the right";
  EXPECT_NEAR(raw(1).InjectionTime, 12.2, 1e-12);
  EXPECT_EQ(shown, raw(1).InjectionTime);
  EXPECT_FALSE(raw(1).AutoInjection);

  // The stored time describes the moved curve: a later run reproduces it.
  const std::vector<double> moved = Times(0);
  ASSERT_TRUE(AlignStage(e, "80", "120").Ok);
  const std::vector<double> rerun = Times(0);
  ASSERT_EQ(rerun.size(), moved.size());
  for (std::size_t i = 0; i < moved.size(); ++i) ASSERT_NEAR(rerun[i], moved[i], 1e-9) << i;
}

TEST_F(AlignStageTest, CurveHelpersRefuseCurvesThatDoNotExist) {
  EXPECT_FALSE(ShiftAlignedCurve(e, 0, 1)) << "no stage 4 yet";
  EXPECT_EQ(AlignedCurveInfo(e, 0), nullptr);
  ASSERT_TRUE(AlignStage(e, "80", "120").Ok);
  for (int curve : {-1, 2}) {
    EXPECT_FALSE(ShiftAlignedCurve(e, curve, 1)) << curve;
    EXPECT_FALSE(SetAlignedInjectionTime(e, curve, 1)) << curve;
    EXPECT_TRUE(std::isnan(StepAlignedCurve(e, curve, 0.1))) << curve;
    EXPECT_EQ(AlignedCurveInfo(e, curve), nullptr) << curve;
  }
  EXPECT_TRUE(raw(0).AutoInjection);
  EXPECT_TRUE(raw(1).AutoInjection);
}

TEST_F(AlignStageTest, AStageLeftWithAnotherShapeIsSizedAnew) {
  ASSERT_TRUE(e.AllocateStage(stAlign, 1, 2));
  ASSERT_TRUE(AlignStage(e, "80", "120").Ok);
  ASSERT_EQ(aligned().CurveCount, 2);
  EXPECT_EQ(aligned().PointCount[1], 200);
  EXPECT_NEAR(aligned().TimeOf(1)[199], 200 - 107.75, 1e-12);
}

TEST_F(AlignStageTest, AFaultInTheComputationIsReportedNotThrown) {
  e.Stage(stData).SourceCurve[1] = 7;  // no such raw curve
  const AlignResult result = AlignStage(e, "80", "120");
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Message,
            "An error occurred while Aligning the data.\nThe Align function has been turned off.");
}

// The window is sanitized on every run, with the stage switched off too;
// the data run from 0 to 200 s.
TEST_F(AlignStageTest, SanitizesTheSearchWindowEvenWhenSwitchedOff) {
  struct Row {
    bool windowSet;
    const char* minBox;
    const char* maxBox;
    double start, stop;
    const char* startText;
    const char* stopText;
    const char* reason;
  };
  const Row rows[] = {
      {false, "", "", 50, 100, "50.00", "100.0", "not set by the user: the middle of the data"},
      {false, "80", "120", 50, 100, "50.00", "100.0", "typed values count only once the window is set"},
      {true, "80", "120", 80, 120, "80", "120", "inside the data: kept as typed"},
      {true, "-30", "120", 5, 120, "5.00", "120", "start before the data"},
      {true, "80", "500", 80, 190, "80", "190.0", "stop after the data"},
      {true, "", "", 0, 190, "0.00", "190.0",
       "empty boxes read as the ends of the data; a stop at the very end leaves no room after it"},
  };
  e.Switches.Align = false;
  for (const Row& row : rows) {
    e.WindowSet[stAlign] = row.windowSet;
    const AlignResult result = AlignStage(e, row.minBox, row.maxBox);
    EXPECT_TRUE(result.Ok) << row.reason;
    const AlignWindow& w = result.Window;
    EXPECT_EQ(w.Start, row.start) << row.reason;
    EXPECT_EQ(w.Stop, row.stop) << row.reason;
    EXPECT_EQ(w.StartText, row.startText) << row.reason;
    EXPECT_EQ(w.StopText, row.stopText) << row.reason;
    EXPECT_EQ(w.StartChanged, w.StartText != std::string(row.minBox)) << row.reason;
    EXPECT_EQ(w.StopChanged, w.StopText != std::string(row.maxBox)) << row.reason;
  }
  EXPECT_FALSE(e.StageExists(stAlign));
}

TEST(AlignSearchWindow, SearchesTheWindowTheBoxesShow) {
  // Data from 0 to 301.3 s: a quarter in is 75.325 s, shown as "75.33".
  HeadlessWindowSystem ws;
  TExperiment e{ws};
  ASSERT_TRUE(e.AllocateStage(stRaw, 1, 2));
  TCurveSet& raw = e.Stage(stRaw);
  raw.PointCount[0] = 0;
  raw.Append(0, 0, 0, 0, 0);
  raw.Append(0, 301.3, 0, 0, 1);
  e.Switches.Align = true;
  const AlignResult result = AlignStage(e, "", "");
  EXPECT_EQ(result.Window.StartText, "75.33");
  EXPECT_EQ(result.Window.Start, 75.33);
  EXPECT_EQ(e.CurveInfo[0].InjectionTime, 75.33) << "no point in the window: its start";
}

TEST(AlignSteepestTangent, CrossingOfTheSteepestTangent) {
  struct Row {
    std::vector<double> t, r;
    double lo, hi, expected;
    const char* reason;
  };
  const Row rows[] = {
      {{100, 101, 102, 103, 104, 105}, {0, 5, 10, 10, 10, 0}, 90, 110, 105,
       "a falling edge steeper than the rise wins on its absolute slope"},
      {{0, 1, 2, 3}, {5, 15, 15, 5}, -5, 5, -0.5, "of equally steep steps the first is kept"},
      {{0, 1, 50, 51}, {0, 10, 20, 30}, 10, 20, 10, "no point in the window: its start"},
      {{0, 1, 50, 51}, {0, 10, 20, 30}, -20, -10, -10, "no point, window below 0: 0 clamped into it"},
      {{0, 1, 2}, {0, 0, 50}, 20, 10, 20, "a window whose ends cross gives its start"},
      {{0, 1, 1, 2}, {0, 1, 100, 101}, -5, 5, 0, "a step of no duration has no slope"},
      {{0, 1, 2}, {100, 110, 120}, -5, 5, -5, "a crossing outside the window is clamped"},
      {{0, 10, 20}, {-500, -10, 0}, 5, 40, 20, "a step counts only when its first point is inside"},
      {{0, 1, 2}, {3, 3, 3}, -5, 5, 0, "a flat curve has no tangent: 0"},
      {{7}, {3}, 5, 9, 5, "a single point has no step"},
  };
  for (const Row& row : rows) {
    const double t0 = SteepestTangentCrossing(row.t.data(), row.r.data(), static_cast<int>(row.t.size()), row.lo, row.hi);
    EXPECT_DOUBLE_EQ(t0, row.expected) << row.reason;
  }
}

}  // namespace
}  // namespace kelvaris

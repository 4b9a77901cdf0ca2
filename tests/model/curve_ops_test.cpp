#include "model/curve_ops.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/headless_window_system.h"

namespace kelvaris {
namespace {

class CurveOpsTest : public ::testing::Test {
 protected:
  // Stage `s` with one curve per vector of (time, response) points.
  void Fill(int s, const std::vector<std::vector<std::pair<double, double>>>& curves, int capacity = 16) {
    ASSERT_TRUE(e.AllocateStage(s, static_cast<int>(curves.size()), capacity));
    TCurveSet& set = e.Stage(s);
    for (int c = 0; c < set.CurveCount; ++c) {
      for (auto [t, r] : curves[c]) set.Append(c, t, r, 0, set.PointCount[c]);
      set.SourceCurve[c] = c;
    }
  }
  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(CurveOpsTest, AllocationRefusesEmptyRequestsWithItsMessage) {
  EXPECT_FALSE(e.AllocateStage(stZero, 0, 10));
  EXPECT_FALSE(e.AllocateStage(stZero, 3, 0));
  EXPECT_FALSE(e.StageExists(stZero));
  ASSERT_EQ(ws.Messages().size(), 2u);
  EXPECT_EQ(ws.Messages()[0].text, "Bad allocation request");
  EXPECT_EQ(ws.Messages()[0].caption, "New Sens");
  EXPECT_EQ(ws.Messages()[0].icon, MsgIcon::Warning);
}

TEST_F(CurveOpsTest, AllocationSetsInitialValuesAndRawDescriptions) {
  ASSERT_TRUE(e.AllocateStage(stRaw, 3, 4));
  const TCurveSet& raw = e.Stage(stRaw);
  EXPECT_EQ(raw.CurveCount, 3);
  EXPECT_EQ(raw.Capacity, 4);
  EXPECT_EQ(raw.IndexOf(2)[3], 3);
  EXPECT_EQ(raw.SourceCurve[2], 2);
  EXPECT_EQ(raw.CurveFlags[1], 1u);
  ASSERT_EQ(e.CurveInfo.size(), 3u);
  EXPECT_EQ(e.CurveInfo[0].FlowCell, 1);
  EXPECT_TRUE(e.CurveInfo[0].AutoInjection);

  ASSERT_TRUE(e.AllocateStage(stKinetics, 2, 5));
  EXPECT_EQ(e.Stage(stKinetics).Model.size(), 10u);
  EXPECT_EQ(e.Stage(stKinetics).SourceCurve[1], 0);  // only stage 0 points at itself
}

TEST_F(CurveOpsTest, FreeStagesReleasesFromTheGivenStageOn) {
  Fill(stRaw, {{{0, 1}}});
  Fill(stData, {{{0, 1}}});
  Fill(stZero, {{{0, 1}}});
  e.FreeStages(stData);
  EXPECT_TRUE(e.StageExists(stRaw));
  EXPECT_FALSE(e.StageExists(stData));
  EXPECT_FALSE(e.StageExists(stZero));
  EXPECT_EQ(e.CurveInfo.size(), 1u);
  e.FreeStages(stRaw);
  EXPECT_FALSE(e.StageExists(stRaw));
  EXPECT_TRUE(e.CurveInfo.empty());
}

TEST_F(CurveOpsTest, TimeRangeSkipsEmptyCurves) {
  EXPECT_EQ(e.TimeRange(stData), std::make_pair(0.0, 0.0));
  Fill(stRaw, {{{5, 0}, {9, 0}}, {}, {{2, 0}, {7, 0}}});
  EXPECT_EQ(e.TimeRange(stRaw), std::make_pair(2.0, 9.0));
}

TEST_F(CurveOpsTest, WindowStatisticsIncludeBothEndsAndNeverDivideByZero) {
  Fill(stRaw, {{{0, 1}, {1, 2}, {2, 3}, {3, 10}}});
  auto avg = AverageInWindow(e, stRaw, 0, 0, 2);
  EXPECT_DOUBLE_EQ(avg.value, 2.0);
  EXPECT_EQ(avg.n, 3);
  EXPECT_DOUBLE_EQ(SumInWindow(e, stRaw, 0, 1, 3).value, 15.0);
  EXPECT_DOUBLE_EQ(SumSquaresInWindow(e, stRaw, 0, 1, 2).value, 13.0);
  EXPECT_DOUBLE_EQ(SdInWindow(e, stRaw, 0, 0, 2, 0), 1.0);
  EXPECT_DOUBLE_EQ(SdInWindow(e, stRaw, 0, 0, 2, 2), 1.0);  // the centre does not move the spread

  auto empty = AverageInWindow(e, stRaw, 0, 5, 6);
  EXPECT_EQ(empty.value, 0);
  EXPECT_EQ(empty.n, 0);
  EXPECT_EQ(SdInWindow(e, stRaw, 0, 0, 0, 0), 0);        // one point
  EXPECT_EQ(AverageInWindow(e, stRaw, 3, 0, 9).n, 0);   // no such curve
}

TEST_F(CurveOpsTest, InterpolateClampsAtTheEndsAndFindsTheInterval) {
  Fill(stRaw, {{{10, 1}, {11, 3}, {12, 7}, {14, 9}}, {}});
  struct Case {
    double t, expected, interval;
    const char* why;
  } cases[] = {
      {5, 1, 1, "before the first point"},
      {20, 9, 1, "after the last point"},
      {10.5, 2, 1, "first interval"},
      {13, 8, 1, "uneven step"},
      {13, 8, 0, "no sampling interval: search from the start"},
      {11.5, 5, 100, "a far too large interval guess"},
      {13.5, 8.5, 0.01, "a far too small interval guess"},
  };
  for (const auto& c : cases) {
    e.CurveInfo[0].SampleInterval = c.interval;
    EXPECT_DOUBLE_EQ(Interpolate(e, stRaw, 0, c.t), c.expected) << c.why;
  }
  EXPECT_EQ(Interpolate(e, stRaw, 1, 10), 0) << "empty curve";
  EXPECT_EQ(Interpolate(e, stRaw, 7, 10), 0) << "no such curve";
  EXPECT_EQ(Interpolate(e, stZero, 0, 10), 0) << "no such stage";
}

TEST_F(CurveOpsTest, InterpolateOverRepeatedTimesStaysFinite) {
  Fill(stRaw, {{{0, 1}, {1, 2}, {1, 4}, {2, 5}}});
  EXPECT_TRUE(std::isfinite(Interpolate(e, stRaw, 0, 1)));
}

TEST_F(CurveOpsTest, SubtractCurveDropsPointsTheDestinationCuts) {
  Fill(stRaw, {{{0, 10}, {1, 20}, {2, 30}}, {{0, 1}, {2, 3}}});
  TCurveSet& raw = e.Stage(stRaw);
  raw.FlagsOf(0)[1] = 10 | pfCurveLabel;  // cut from Align on, labelled
  raw.FlagsOf(0)[2] = pfAffinityLabel;
  raw.CurveFlags[0] = 0x1235;
  ASSERT_TRUE(e.AllocateStage(stCrop, 2, 3));
  ASSERT_TRUE(e.AllocateStage(stAlign, 2, 3));

  SubtractCurve(e, stCrop, 0, stRaw, 1, stRaw, 0);
  const TCurveSet& crop = e.Stage(stCrop);
  ASSERT_EQ(crop.PointCount[0], 3);  // cut level 10 is still kept by stage 3
  EXPECT_DOUBLE_EQ(crop.ResponseOf(0)[1], 18);
  EXPECT_EQ(crop.FlagsOf(0)[1], 10u) << "label bits are cleared";
  EXPECT_EQ(crop.CurveFlags[0], 0x1235u);

  SubtractCurve(e, stAlign, 0, stRaw, 1, stRaw, 0);
  const TCurveSet& align = e.Stage(stAlign);
  ASSERT_EQ(align.PointCount[0], 2);  // absent from Align on
  EXPECT_DOUBLE_EQ(align.TimeOf(0)[1], 2);
  EXPECT_EQ(align.IndexOf(0)[1], 2);
  EXPECT_DOUBLE_EQ(align.ResponseOf(0)[1], 27);
}

TEST_F(CurveOpsTest, SubtractJumpOnlyInsideTheInjectionAndAddCurveAdds) {
  Fill(stRaw, {{{-1, 5}, {0, 5}, {30, 5}, {31, 5}}, {{-5, 1}, {40, 1}}});
  ASSERT_TRUE(e.AllocateStage(stReference, 2, 4));
  SubtractJump(e, stReference, 0, 2, 30, stRaw, 0);
  const double* r = e.Stage(stReference).ResponseOf(0);
  EXPECT_EQ(std::vector<double>(r, r + 4), (std::vector<double>{5, 3, 3, 5}));
  AddCurve(e, stReference, 0, stRaw, 1);
  EXPECT_EQ(std::vector<double>(r, r + 4), (std::vector<double>{6, 4, 4, 6}));
}

TEST_F(CurveOpsTest, JumpAtFitsLinesTwoSecondsEitherSide) {
  std::vector<std::pair<double, double>> step;
  for (int i = 0; i <= 40; ++i) step.push_back({i * 0.5, i * 0.5 < 10 ? 0.1 * i : 50 + 0.1 * i});
  Fill(stRaw, {step}, 64);
  EXPECT_NEAR(JumpAt(e, stRaw, 0, 10), -50, 1e-9);
  EXPECT_EQ(JumpAt(e, stRaw, 0, 1.5), 0) << "less than 2 s after the start";
  EXPECT_EQ(JumpAt(e, stRaw, 0, 19), 0) << "nothing 2 s after";

  Fill(stZero, {{{0, 0}, {1, 0}, {5, 9}, {6, 9}, {7, 9}, {8, 9}}});
  EXPECT_EQ(JumpAt(e, stZero, 0, 3), 0) << "two points before the time are too few";
}

TEST_F(CurveOpsTest, LineFitIsExactOnALineFarFromTheOrigin) {
  Fill(stRaw, {{{1e6, 3}, {1e6 + 1, 5}, {1e6 + 2, 7}}});
  const Line line = LineFit(e, stRaw, 0, 0, 2);
  EXPECT_NEAR(line.slope, 2, 1e-9);
  EXPECT_NEAR(line.intercept + line.slope * 1e6, 3, 1e-6);
}

}  // namespace
}  // namespace kelvaris

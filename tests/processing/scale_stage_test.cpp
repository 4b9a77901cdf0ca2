#include "processing/scale_stage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "stage_test_run.h"

namespace kelvaris {
namespace {

class ScaleStageTest : public ::testing::Test {
 protected:
  // One curve of the given analyte, response 10 + t.
  void LoadOne(int analyte) {
    test::LoadRun(e, {{1, 1, 1e-6, analyte, [](double t) { return 10 + t; }}});
  }
  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(ScaleStageTest, ResponsesAreMultipliedByTheFactorAndDividedByTheAnalytesWeight) {
  const struct {
    bool multiply;
    const char* factor;
    bool divide;
    std::vector<std::string> mw;
    int analyte;
    double expected;  // what every response is multiplied by
    const char* reason;
  } rows[] = {
      {true, "100", true, {"250"}, 1, 0.4, "factor 100 over MW 250"},
      {true, "0", false, {"250"}, 1, 1, "a factor of 0 leaves the responses unchanged"},
      {true, "x", false, {}, 1, 100, "an unreadable factor is 100"},
      {true, "2", false, {"250"}, 1, 2, "the weight only counts with Divide by MW"},
      {false, "2", true, {""}, 1, 1, "an empty MW cell divides by 1"},
      {false, "", true, {"250", "500"}, 2, 1.0 / 500, "the curve's own analyte row"},
      {false, "", true, {"250", "-5"}, 2, 1, "an MW that is not above 0 divides by 1"},
      {false, "", true, {"250", "500"}, 0, 1.0 / 250, "analyte 0 counts as analyte 1"},
      {false, "", true, {"250", "500"}, 3, 1.0 / 250, "an analyte past the table counts as analyte 1"},
      {false, "", true, {}, 1, 1, "no analyte rows: nothing to read, divide by 1"},
  };
  for (const auto& row : rows) {
    LoadOne(row.analyte);
    e.Switches.Scale = row.multiply;
    e.Switches.DivideByMW = row.divide;
    const ScaleResult r = ScaleStage(e, {row.multiply, row.factor, row.divide, row.mw});
    EXPECT_FALSE(r.Failed) << row.reason;
    ASSERT_TRUE(e.StageExists(stScale)) << row.reason;
    const TCurveSet& scaled = e.Stage(stScale);
    ASSERT_EQ(scaled.PointCount[0], 31) << row.reason;
    for (int i = 0; i < 31; ++i)
      EXPECT_NEAR(scaled.ResponseOf(0)[i], (10 + i) * row.expected, 1e-12) << row.reason << " t " << i;
  }
}

TEST_F(ScaleStageTest, TheCopyKeepsThePointsOfTheStageAndNothingRunsWhileBothSwitchesAreOff) {
  LoadOne(1);
  TCurveSet& data = e.Stage(stData);
  data.FlagsOf(0)[2] = CutLevelForStage(stScale);      // cut on the Scaled graph
  data.FlagsOf(0)[5] = CutLevelForStage(stBound) | 0x8000;  // cut later on
  data.CurveFlags[0] = 0x205;

  const ScaleSettings settings{true, "3", false, {}};
  EXPECT_FALSE(ScaleStage(e, settings).Failed);
  EXPECT_FALSE(e.StageExists(stScale)) << "both switches off";

  e.Switches.Scale = true;
  EXPECT_FALSE(ScaleStage(e, settings).Failed);
  const TCurveSet& scaled = e.Stage(stScale);
  ASSERT_EQ(scaled.PointCount[0], 30);
  EXPECT_EQ(scaled.TimeOf(0)[2], 3) << "the point cut on this stage is dropped";
  EXPECT_EQ(scaled.ResponseOf(0)[2], 39);
  EXPECT_EQ(scaled.FlagsOf(0)[4], static_cast<TPointFlags>(CutLevelForStage(stBound))) << "label cleared";
  EXPECT_EQ(scaled.IndexOf(0)[4], 5);
  EXPECT_EQ(scaled.CurveFlags[0], 0x205u);
  EXPECT_EQ(scaled.SourceCurve[0], 0);
}

}  // namespace
}  // namespace kelvaris

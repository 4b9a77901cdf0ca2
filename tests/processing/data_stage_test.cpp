#include <gtest/gtest.h>

#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "processing/data_stage.h"

namespace kelvaris {
namespace {

class DataStageTest : public ::testing::Test {
 protected:
  // Three curves of four points at t = 0, 1, 3, 4.
  void SetUp() override {
    ASSERT_TRUE(e.AllocateStage(stRaw, 3, 4));
    TCurveSet& raw = e.Stage(stRaw);
    for (int c = 0; c < 3; ++c) {
      raw.PointCount[c] = 0;
      const double times[] = {0, 1, 3, 4};
      for (int i = 0; i < 4; ++i) raw.Append(c, times[i], 10.0 * c + i, 0, i);
      raw.CurveFlags[c] = 1;
    }
  }
  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(DataStageTest, DropsHiddenInjectionsAndCutPoints) {
  TCurveSet& raw = e.Stage(stRaw);
  raw.CurveFlags[1] |= cfHiddenInjection;
  raw.FlagsOf(0)[1] = 13;                 // cut on the Data graph: gone from stage 1
  raw.FlagsOf(0)[2] = 12 | pfCurveLabel;  // cut later: kept, without its label bit
  raw.CurveFlags[2] |= cfHighlighted | pfCurveLabel;
  ASSERT_TRUE(RunDataStage(e));
  const TCurveSet& data = e.Stage(stData);
  ASSERT_EQ(data.CurveCount, 2);
  EXPECT_EQ(data.SourceCurve[0], 0);
  EXPECT_EQ(data.SourceCurve[1], 2);
  ASSERT_EQ(data.PointCount[0], 3);
  EXPECT_EQ(data.TimeOf(0)[1], 3.0);
  EXPECT_EQ(data.IndexOf(0)[1], 2);
  EXPECT_EQ(data.FlagsOf(0)[1], 12u);
  EXPECT_EQ(data.ResponseOf(1)[3], 23.0);
  EXPECT_EQ(data.CurveFlags[1], 1u) << "highlight and label bits are cleared";
}

TEST_F(DataStageTest, ACurveWithEveryPointCutIsLeftOutAndTheStageShrinks) {
  ASSERT_TRUE(RunDataStage(e));
  EXPECT_EQ(e.Stage(stData).CurveCount, 3);
  for (int i = 0; i < 4; ++i) e.Stage(stRaw).FlagsOf(1)[i] = 13;
  ASSERT_TRUE(RunDataStage(e));
  ASSERT_EQ(e.Stage(stData).CurveCount, 2);
  EXPECT_EQ(e.Stage(stData).SourceCurve[1], 2);
}

TEST_F(DataStageTest, EveryInjectionHiddenLeavesNoStageAndNoMessage) {
  for (int c = 0; c < 3; ++c) e.Stage(stRaw).CurveFlags[c] |= cfHiddenInjection;
  ASSERT_TRUE(RunDataStage(e));
  EXPECT_FALSE(e.StageExists(stData));
  EXPECT_TRUE(ws.Messages().empty());
}

TEST_F(DataStageTest, SampleIntervalIsTheSmallestPositiveStep) {
  TCurveSet& raw = e.Stage(stRaw);
  raw.TimeOf(2)[2] = 1;  // a repeated time: a zero step does not count
  UpdateSampleIntervals(e);
  EXPECT_DOUBLE_EQ(e.CurveInfo[0].SampleInterval, 1.0);
  EXPECT_DOUBLE_EQ(e.CurveInfo[2].SampleInterval, 1.0);
  e.CurveInfo[1].SampleInterval = 0.5;  // set by an importer: only a smaller step replaces it
  UpdateSampleIntervals(e);
  EXPECT_DOUBLE_EQ(e.CurveInfo[1].SampleInterval, 0.5);
}

}  // namespace
}  // namespace kelvaris

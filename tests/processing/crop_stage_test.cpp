#include "processing/crop_stage.h"

#include <gtest/gtest.h>

#include "model/experiment.h"
#include "platform/headless_window_system.h"

namespace kelvaris {
namespace {

// One Data-stage curve sampled every 0.1 s from 0 to 20 s, response = 2 t.
class CropStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(e.AllocateStage(stRaw, 1, 201));
    ASSERT_TRUE(e.AllocateStage(stData, 1, 201));
    TCurveSet& d = e.Stage(stData);
    d.PointCount[0] = 0;
    for (int i = 0; i <= 200; ++i) d.Append(0, i * 0.1, 0.2 * i, 0, i);
  }
  const TCurveSet& crop() const { return e.Stage(stCrop); }
  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(CropStageTest, KeepsTheWindowAndStopsAtTheFirstPointAfterIt) {
  ASSERT_EQ(CropStage(e, "5", "6", false, "1"), CropResult::Ok);
  ASSERT_EQ(crop().PointCount[0], 11);
  EXPECT_NEAR(crop().TimeOf(0)[0], 5.0, 1e-9);
  EXPECT_EQ(crop().IndexOf(0)[0], 50);
  EXPECT_EQ(crop().Capacity, 11) << "sized for the window";
}

TEST_F(CropStageTest, WindowsThatKeepTooFewPoints) {
  const std::pair<const char*, const char*> windows[] = {{"", ""}, {"8", "4"}, {"30", "40"}};
  for (auto [start, stop] : windows) {
    EXPECT_EQ(CropStage(e, start, stop, false, "1"), CropResult::NotEnoughPoints) << start << " " << stop;
    EXPECT_FALSE(e.StageExists(stCrop));
  }
}

TEST_F(CropStageTest, BinsAverageTimesAndResponses) {
  ASSERT_EQ(CropStage(e, "10.5", "14", true, "1"), CropResult::Ok);
  // The first bin ends at 11: points 10.5 .. 11.0.
  EXPECT_NEAR(crop().TimeOf(0)[0], 10.75, 1e-9);
  EXPECT_NEAR(crop().ResponseOf(0)[0], 21.5, 1e-9);
  EXPECT_EQ(crop().IndexOf(0)[0], 111) << "flags and index of the point that closed the bin";
  // Then ten points a bin: 11.1 .. 12.0 averages to 11.55.
  EXPECT_NEAR(crop().TimeOf(0)[1], 11.55, 1e-9);
  EXPECT_EQ(crop().PointCount[0], 4);
  EXPECT_EQ(crop().IndexOf(0)[3], 200) << "the last bin takes the curve's last point";
}

TEST_F(CropStageTest, AZeroOrUnreadableBinWidthCropsWithoutAveraging) {
  for (const char* w : {"0", "abc", ""}) {
    ASSERT_EQ(CropStage(e, "5", "6", true, w), CropResult::Ok) << w;
    EXPECT_EQ(crop().PointCount[0], 11) << w;
  }
}

TEST_F(CropStageTest, CutPointsAreNotUsed) {
  e.Stage(stData).FlagsOf(0)[52] = 11;  // excluded on the Crop page
  ASSERT_EQ(CropStage(e, "5", "6", false, "1"), CropResult::Ok);
  EXPECT_EQ(crop().PointCount[0], 10);
}

}  // namespace
}  // namespace kelvaris

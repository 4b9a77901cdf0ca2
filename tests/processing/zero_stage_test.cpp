#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

class ZeroStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two curves at t = 0..4: 1..5 and 10, 20, ..., 50.
    ASSERT_TRUE(form().LoadDataFile(
        dir.Write("run.txt", "0\t1\t0\t10\n1\t2\t1\t20\n2\t3\t2\t30\n3\t4\t3\t40\n4\t5\t4\t50\n"), true));
    form().RunChain(stRaw);
  }
  TMainForm& form() { return *app.MainForm; }
  std::vector<double> Responses(int stage, int c) {
    const TCurveSet& s = form().Experiment.Stage(stage);
    return {s.ResponseOf(c), s.ResponseOf(c) + s.PointCount[c]};
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(ZeroStageTest, SubtractsTheMeanInTheWindowAndFollowsItsSwitch) {
  EXPECT_EQ(form().StartZeroBox.Text(), "1.00") << "a quarter into the data after a load";
  EXPECT_EQ(form().StopZeroBox.Text(), "2.00");
  form().ZeroCheck.UserClick();
  EXPECT_EQ(form().Pages.PageAt(pgZero).caption, "ZERO");
  ASSERT_TRUE(form().Experiment.StageExists(stZero));
  EXPECT_EQ(Responses(stZero, 0), (std::vector<double>{-1.5, -0.5, 0.5, 1.5, 2.5}));
  EXPECT_EQ(Responses(stZero, 1), (std::vector<double>{-15, -5, 5, 15, 25}));

  // A typed window takes effect 2 s after the last key.
  form().StartZeroBox.UserSetText("");
  form().StopZeroBox.UserSetText("");
  EXPECT_EQ(Responses(stZero, 0)[0], -1.5);
  ws.AdvanceMs(2000);
  EXPECT_EQ(Responses(stZero, 0), (std::vector<double>{-2, -1, 0, 1, 2})) << "empty boxes: the whole range";

  form().StartZeroBox.UserSetText("-10");
  form().StopZeroBox.UserSetText("-5");
  ws.AdvanceMs(2000);
  EXPECT_EQ(Responses(stZero, 0), Responses(stRaw, 0)) << "no point in the window: unchanged";

  form().ZeroCheck.UserClick();
  EXPECT_FALSE(form().Experiment.StageExists(stZero));
  EXPECT_EQ(form().Pages.PageAt(pgZero).caption, "Zero");
}

}  // namespace
}  // namespace kelvaris

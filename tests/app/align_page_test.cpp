#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "model/numbers.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// Two curves that rise sharply: at 10 s and at 20 s.
std::string StepRuns() {
  std::ostringstream s;
  for (int i = 0; i <= 40; ++i) {
    const double t = i;
    s << t << "\t" << (t > 10 ? (t - 10) * 5 : 0) << "\t" << t << "\t" << (t > 20 ? (t - 20) * 5 : 0) << "\n";
  }
  return s.str();
}

class AlignPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form().LoadDataFile(dir.Write("run.txt", StepRuns()), true));
    form().RunChain(stRaw);
    form().RefreshDataPage();
    ASSERT_TRUE(form().Pages.UserSelect(pgAlign));
    form().StartAlignBox.UserSetText("5");
    form().StopAlignBox.UserSetText("30");
    form().AlignCheck.UserClick();
  }
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return form().Experiment; }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(AlignPageTest, TheSwitchAlignsEveryCurveAndShowsTheCurrentOne) {
  EXPECT_EQ(form().Pages.PageAt(pgAlign).caption, "ALIGN");
  ASSERT_TRUE(e().StageExists(stAlign));
  EXPECT_NEAR(e().CurveInfo[0].InjectionTime, 10, 1e-9);
  EXPECT_NEAR(e().CurveInfo[1].InjectionTime, 20, 1e-9);
  EXPECT_DOUBLE_EQ(e().Stage(stAlign).TimeOf(1)[0], -20);
  EXPECT_EQ(form().InjectionTimeBox.Text(), "10.00");
  EXPECT_TRUE(form().AutoCheck.Checked());
  EXPECT_EQ(form().AlignCurveLabel.Caption(), "1");
  EXPECT_TRUE(form().InjectionTimeBox.Enabled());
  EXPECT_TRUE(e().WindowSet[stAlign]) << "typed windows are the user's";

  form().AlignCurveUpDown.UserSetPosition(1);
  EXPECT_EQ(form().InjectionTimeBox.Text(), "20.00");
  EXPECT_EQ(form().AlignCurveLabel.Caption(), "2");
  form().UndoButton.Click();
  EXPECT_EQ(form().AlignCurveUpDown.Position(), 0);
}

TEST_F(AlignPageTest, TypedTimesAndStepsMoveTheCurveAtOnce) {
  form().InjectionTimeBox.UserSetText("12.5");
  EXPECT_DOUBLE_EQ(e().Stage(stAlign).TimeOf(0)[0], -12.5);
  EXPECT_FALSE(form().AutoCheck.Checked());
  EXPECT_FALSE(e().CurveInfo[0].AutoInjection);
  for (int i = 0; i < 3; ++i) form().AlignStepUpDown.UserSetPosition(1);
  EXPECT_NEAR(e().Stage(stAlign).TimeOf(0)[0], -12.2, 1e-9) << "three steps of 0.1 s to the right";
  EXPECT_NEAR(e().CurveInfo[0].InjectionTime, 12.2, 1e-9);
  EXPECT_EQ(form().AlignStepUpDown.Position(), 0);

  // A run keeps the hand-set time; "Auto" finds the rise again.
  form().RunChain(stAlign);
  EXPECT_NEAR(e().Stage(stAlign).TimeOf(0)[0], -12.2, 1e-9);
  form().AutoCheck.UserClick();
  ws.AdvanceMs(2000);
  EXPECT_NEAR(e().CurveInfo[0].InjectionTime, 10, 1e-9);
}

TEST_F(AlignPageTest, DoubleClickingTheResultGraphPicksOneCurve) {
  TPlot& to = form().ToPlot;
  ASSERT_EQ(to.CurrCurve(), -1);
  ASSERT_TRUE(to.OnDoubleClick);
  EXPECT_FALSE(to.OnDoubleClick(to, 1));
  EXPECT_TRUE(form().SingleCheck.Checked());
  EXPECT_EQ(form().AlignCurveUpDown.Position(), 1);
  EXPECT_EQ(to.CurrCurve(), 1);
  EXPECT_FALSE(to.OnDoubleClick(to, 0));
  EXPECT_FALSE(form().SingleCheck.Checked());
  EXPECT_EQ(to.CurrCurve(), -1);
}

}  // namespace
}  // namespace kelvaris

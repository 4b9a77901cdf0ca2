#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

class AffinityPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form().LoadDataFile(dir.Write("run.txt", test::IsothermRunText()), true));
    for (int row = 1; row <= 4; ++row)
      ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, 1, row, test::kIsothermSamples[row - 1]));
    ASSERT_TRUE(form().Pages.UserSelect(pgReference));
    form().ReferenceCombo.UserSelect(1);
    ASSERT_TRUE(form().Pages.UserSelect(pgBound));
    form().StartBoundBox.UserSetText("15");
    form().StopBoundBox.UserSetText("25");
    form().BoundCheck.UserClick();
    ASSERT_TRUE(e().StageExists(stBound));
    ASSERT_TRUE(form().Pages.UserSelect(pgFit));
  }
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return form().Experiment; }
  void FitFlowCell2() {
    ASSERT_TRUE(form().FitFcTab.UserSelect(1));
    form().FitCheck.UserClick();
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(AffinityPageTest, TheFitOfAFlowCellRecoversTheIsothermAndFillsTheTable) {
  ASSERT_EQ(form().FitFcTab.PageCount(), 2) << "a tab per flow cell";
  FitFlowCell2();
  EXPECT_EQ(form().Pages.PageAt(pgFit).caption, "AFFINITY");
  ASSERT_TRUE(e().StageExists(stAffinity));
  const TCurveSet& fit = e().Stage(stAffinity);
  ASSERT_EQ(fit.CurveCount, 3);
  EXPECT_NEAR(fit.TimeOf(0)[1] / 1e-5, 1, 1e-6) << "KD";
  EXPECT_NEAR(fit.ResponseOf(0)[1] / 100, 1, 1e-6) << "the global Rmax";
  EXPECT_NEAR(e().Ligands[2].GlobalRmax / 100, 1, 1e-6);
  EXPECT_FALSE(form().FitWarningPanel.Visible());
  EXPECT_EQ(form().KmGrid.Cell(0, 0), "Name");
  EXPECT_EQ(form().KmGrid.Cell(0, 1), "Analyte 1");
  EXPECT_NE(form().KmGrid.Cell(2, 1), "---") << "the KD text";
  EXPECT_TRUE(form().FitPlot.IsKdPlot());
  EXPECT_EQ(form().FitPlot.EntryCount(), 3);
}

TEST_F(AffinityPageTest, TheReferenceTabAndAMissingBoundStageExplainThemselves) {
  EXPECT_TRUE(form().FitWarningPanel.Visible());
  EXPECT_EQ(form().FitWarningLabel.Caption(), "Reference flow cell");
  FitFlowCell2();
  ASSERT_TRUE(form().Pages.UserSelect(pgBound));
  form().BoundCheck.UserClick();
  ASSERT_TRUE(form().Pages.UserSelect(pgFit));
  EXPECT_EQ(form().FitWarningLabel.Caption(), "Amount bound not calculated. See Bound page");
  EXPECT_EQ(form().Pages.PageAt(pgFit).caption, "Affinity") << "switching Bound off ends every fit";
}

TEST_F(AffinityPageTest, TwoPointsAreNotEnoughForAFit) {
  ASSERT_TRUE(form().Pages.UserSelect(pgScheme));
  ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, 1, 3, "x"));
  ASSERT_TRUE(form().Pages.UserSelect(pgFit));
  FitFlowCell2();
  EXPECT_TRUE(form().FitWarningPanel.Visible());
  EXPECT_EQ(form().FitWarningLabel.Caption(), "Not enough points for fit for flowcell 2.");
}

TEST_F(AffinityPageTest, ShowAsPercentOfMaxPutsSaturationNearAHundred) {
  FitFlowCell2();
  form().NormalizeAffinityCheck.UserClick();
  const TCurveSet& fit = e().Stage(stAffinity);
  EXPECT_NEAR(fit.ResponseOf(2)[0], 100 * 100e-6 / (1e-5 + 100e-6), 1e-4) << "% of the fitted Rmax";
  EXPECT_NEAR(fit.ResponseOf(2)[1], 100, 1e-4);
}

TEST_F(AffinityPageTest, ALocalRmaxTakesTheGlobalRmaxOutOfTheFit) {
  FitFlowCell2();
  form().IndependentCheck.UserClick();
  ASSERT_EQ(form().KmGrid.Cell(4, 0), "L");
  const Rect local = form().KmGrid.CellRect(4, 1);
  const int x = (local.left + local.right) / 2, y = (local.top + local.bottom) / 2;
  form().KmGrid.MouseDown(MouseButton::Left, 0, x, y);
  form().KmGrid.MouseUp(MouseButton::Left, 0, x, y);
  EXPECT_EQ(form().KmGrid.Cell(4, 1), "*");
  EXPECT_EQ(form().KmGrid.Cell(5, 1), "*") << "a local Rmax is fitted";
  EXPECT_FALSE(form().Rmax1Box.Enabled());
  EXPECT_FALSE(form().FloatCheck.Enabled());
  EXPECT_FALSE(form().FloatCheck.Checked());
  EXPECT_EQ(e().Ligands[2].GlobalRmaxFitted, 0);
  EXPECT_NEAR(e().Stage(stAffinity).ResponseOf(0)[1], 100, 1e-4) << "the local Rmax";
}

}  // namespace
}  // namespace kelvaris

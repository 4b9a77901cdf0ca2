#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "model/numbers.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// Five injections on one flow cell, 0 to 40 s, injected from 10 to 30 s.
// Every curve drifts by 0.1 RU/s; injections 2 to 4 also bind 10, 50 and
// 90 RU during the injection. Injections 1 and 5 are the blanks.
std::string BlankRun() {
  const double bound[] = {0, 10, 50, 90, 0};
  std::ostringstream s;
  for (int k = 1; k <= 5; ++k) s << (k > 1 ? "\t" : "") << "run Fc=1 - " << k << "_X\trun Fc=1 - " << k << "_Y";
  s << "\n";
  for (int i = 0; i <= 40; ++i) {
    for (int k = 1; k <= 5; ++k)
      s << (k > 1 ? "\t" : "") << i << "\t" << 0.1 * i + (i >= 10 && i <= 30 ? bound[k - 1] : 0);
    s << "\n";
  }
  return s.str();
}

class BlankBoundPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form().LoadDataFile(dir.Write("run.txt", BlankRun()), true));
    ASSERT_EQ(e().Stage(stRaw).CurveCount, 5);
    const char* samples[] = {"0", "1uM", "10uM", "100uM", "0"};
    for (int row = 1; row <= 5; ++row) ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, 1, row, samples[row - 1]));
  }
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return form().Experiment; }
  double ResponseAt(int stage, int curve, double t) {
    const TCurveSet& set = e().Stage(stage);
    for (int p = 0; p < set.PointCount[static_cast<std::size_t>(curve)]; ++p)
      if (set.TimeOf(curve)[p] == t) return set.ResponseOf(curve)[p];
    ADD_FAILURE() << "no point at " << t;
    return 0;
  }
  void SwitchOnBound() {
    ASSERT_TRUE(form().Pages.UserSelect(pgBound));
    form().StartBoundBox.UserSetText("15");
    form().StopBoundBox.UserSetText("25");
    form().BoundCheck.UserClick();
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(BlankBoundPageTest, TheClosestBlankTakesTheDriftOffAndTheBoundTableFollows) {
  EXPECT_EQ(form().StartBoundBox.Text(), FormatNumber("", 10)) << "a quarter into the data after the load";
  ASSERT_TRUE(form().Pages.UserSelect(pgBlank));
  form().BlankGroup.UserSelect(1);  // "Closest"
  EXPECT_EQ(form().Pages.PageAt(pgBlank).caption, "BLANK");
  ASSERT_TRUE(e().StageExists(stBlank));
  ASSERT_EQ(e().Stage(stBlank).CurveCount, 5) << "the blanks stay, corrected against themselves";
  EXPECT_DOUBLE_EQ(ResponseAt(stBlank, 2, 20), 50);
  EXPECT_DOUBLE_EQ(ResponseAt(stBlank, 0, 20), 0);
  EXPECT_EQ(form().ToPlot.PlotTitle(), "Blanked");
  EXPECT_FALSE(form().BlankWarningPanel.Visible());

  SwitchOnBound();
  EXPECT_EQ(form().Pages.PageAt(pgBound).caption, "BOUND");
  ASSERT_TRUE(e().StageExists(stBound));
  const TCurveSet& bound = e().Stage(stBound);
  ASSERT_EQ(bound.CurveCount, 3) << "the three samples";
  EXPECT_DOUBLE_EQ(bound.ResponseOf(1)[0], 50);
  EXPECT_NEAR(bound.TimeOf(0)[1], 8e-6, 1e-12) << "the starting KD of the group";
  EXPECT_EQ(form().ToPlot.PlotTitle(), "Bound");
  EXPECT_TRUE(form().ToPlot.IsKdPlot()) << "the binding-curve mode";

  // The entry under the mouse names its analyte and concentration.
  ASSERT_TRUE(form().ToPlot.OnMouseOver);
  form().ToPlot.OnMouseOver(form().ToPlot, 2);
  EXPECT_EQ(form().ToPlot.Hint(), "Analyte 1 (100uM)");
}

TEST_F(BlankBoundPageTest, RemovingTheSelectedBlankNeedsASelectionAndIsUndoneByAdd) {
  ASSERT_TRUE(form().Pages.UserSelect(pgBlank));
  form().BlankGroup.UserSelect(1);
  form().BlankRemoveButton.Click();
  ASSERT_EQ(ws.Messages().size(), 1u);
  EXPECT_EQ(ws.Messages()[0].caption, "Remove Error");
  EXPECT_EQ(ws.Messages()[0].text, "Select (double-click) a curve in the graph on the left");

  // Without the first blank every sample uses the last one.
  form().FromPlot.SetCurve(0);
  form().BlankRemoveButton.Click();
  EXPECT_EQ(e().CurveInfo[0].BlankRemoved, 1);
  EXPECT_EQ(form().FromPlot.CurrCurve(), -1) << "the selection is cleared";
  ASSERT_EQ(e().Stage(stBlank).CurveCount, 4) << "a removed blank is not carried on";
  EXPECT_DOUBLE_EQ(ResponseAt(stBlank, 0, 20), 10);

  form().FromPlot.SetCurve(0);
  form().BlankAddButton.Click();
  EXPECT_EQ(e().CurveInfo[0].BlankRemoved, 0);
  EXPECT_EQ(e().Stage(stBlank).CurveCount, 5);
}

TEST_F(BlankBoundPageTest, ASampleTableWithoutBlanksTurnsTheModeBackWithAWarning) {
  ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, 1, 1, "2uM"));
  ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, 1, 5, "3uM"));
  ASSERT_TRUE(form().Pages.UserSelect(pgBlank));
  form().BlankGroup.UserSelect(2);  // "Average"
  EXPECT_EQ(form().BlankGroup.ItemIndex(), 0);
  EXPECT_EQ(form().Pages.PageAt(pgBlank).caption, "Blank");
  EXPECT_FALSE(e().StageExists(stBlank));
  EXPECT_TRUE(form().BlankWarningPanel.Visible());
  EXPECT_EQ(form().BlankWarningLabel.Caption(), "No blanks found. Check entries on Data page.");
}

TEST_F(BlankBoundPageTest, TheScaleBoxesMultiplyAndDivideByTheMolecularWeight) {
  ASSERT_TRUE(form().Pages.UserSelect(pgCompound));
  ASSERT_TRUE(test::TypeIntoCell(form().CompoundGrid, 2, 1, "250"));
  form().ScaleCheck.UserClick();
  ASSERT_TRUE(e().StageExists(stScale));
  EXPECT_DOUBLE_EQ(ResponseAt(stScale, 2, 20), 100 * 52);
  form().DivideMWCheck.UserClick();
  EXPECT_DOUBLE_EQ(ResponseAt(stScale, 2, 20), 0.4 * 52);
  form().ScaleCheck.UserClick();
  form().DivideMWCheck.UserClick();
  EXPECT_FALSE(e().StageExists(stScale)) << "both boxes off frees the stage";
}

}  // namespace
}  // namespace kelvaris

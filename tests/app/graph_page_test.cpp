#include <gtest/gtest.h>

#include "app/application.h"
#include "model/numbers.h"
#include "model/sample_layout.h"
#include "platform/headless_window_system.h"
#include "platform/recording_canvas.h"
#include "synthetic_plain_text.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// Four injections on two flow cells, 0 to 40 s.
class GraphPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    synth::RunShape shape;
    shape.curves = 8;
    shape.points = 41;
    shape.step = 1;
    ASSERT_TRUE(form().LoadDataFile(dir.Write("run.txt", synth::TwoChannelText(shape)), true));
    form().RunChain(stRaw);
    form().RefreshDataPage();
  }
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return form().Experiment; }
  // The graph drawn on screen, as the window does it.
  void Draw(TPlot& plot) {
    plot.SetSize(600, 400);
    plot.Paint(screen);
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
  RecordingCanvas screen{600, 400};
};

TEST_F(GraphPageTest, DraggingAMarkerWritesTheBoxOnceForUndoAndRecomputes) {
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  form().ZeroCheck.UserClick();
  TPlot& from = form().FromPlot;
  Draw(from);
  const int start = from.LinePixel(TPlot::kStart);
  ASSERT_GT(start, 0) << "the start marker is on the source graph";
  const int y = static_cast<int>((from.PlotTop() + from.PlotBottom()) / 2);
  const int entries = form().UndoList.Count();
  from.MouseDown(MouseButton::Left, ssNone, start + 2, y);
  for (int dx : {10, 20, 30}) from.MouseMove(ssNone, start + dx, y);
  from.MouseUp(MouseButton::Left, ssNone, start + 30, y);
  EXPECT_EQ(form().StartZeroBox.Text(), FormatNumber("", from.StartLineTime()));
  EXPECT_GT(ParseNumber(form().StartZeroBox.Text(), 0), 10);
  EXPECT_EQ(form().UndoList.Count(), entries + 1) << "a burst of drags is one entry";
  EXPECT_EQ(e().PendingStage, stZero);
  ws.AdvanceMs(2000);
  EXPECT_EQ(e().PendingStage, kNoStage) << "the stage ran with the new window";
  form().UndoButton.Click();
  EXPECT_EQ(form().StartZeroBox.Text(), "10.00");
}

TEST_F(GraphPageTest, TheFlowCellFilterHidesTheOtherFlowCellsInEveryStage) {
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  form().ZeroCheck.UserClick();
  ASSERT_GE(form().FcListBox.Count(), 3);
  form().FcListBox.UserSelect(2);  // flow cell 2
  for (int s : {stRaw, stData, stZero}) {
    const TCurveSet& set = e().Stage(s);
    for (int c = 0; c < set.CurveCount; ++c) {
      const int fc = e().CurveInfo[static_cast<std::size_t>(set.SourceCurve[static_cast<std::size_t>(c)])].FlowCell;
      EXPECT_EQ((set.CurveFlags[static_cast<std::size_t>(c)] & cfHiddenInGraph) != 0, fc != 2) << s << " " << c;
    }
  }
  // The legend of the result graph lists the shown curves only; the curve
  // names cover them all.
  EXPECT_EQ(form().ToPlot.Legend().size(), 4u);
  EXPECT_EQ(form().ToPlot.CurveNames().size(), 8u);
  form().FcListBox.UserSelect(0);
  EXPECT_EQ(form().ToPlot.Legend().size(), 8u);
}

TEST_F(GraphPageTest, CurveNamesAndLegendsComeFromTheTables) {
  ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, 1, 1, "10nM"));
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  ASSERT_TRUE(form().Pages.UserSelect(pgScheme));
  const auto& names = form().DataPlot.CurveNames();
  ASSERT_EQ(names.size(), 8u);
  const std::string first = "Inj A1: 10.0nM Analyte 1";
  EXPECT_EQ(names[0].first, first + " - " + form().FlowCellNameOf(1));
  EXPECT_EQ(names[0].second, static_cast<int>(first.size()) + 3) << "points just past the dash";
  ASSERT_FALSE(form().DataPlot.Legend().empty());
  EXPECT_EQ(form().DataPlot.Legend()[0].first, "Analyte 1 - 10.0nM");
}

TEST_F(GraphPageTest, TheGraphMenuZoomsCopiesAndExcludesAnInjection) {
  TPlot& plot = form().DataPlot;
  Draw(plot);
  const int x0 = static_cast<int>(plot.PlotLeft()) + 20, y0 = static_cast<int>(plot.PlotTop()) + 20;
  plot.MouseDown(MouseButton::Left, ssNone, x0, y0);
  plot.MouseMove(ssNone, x0 + 100, y0 + 100);
  plot.MouseUp(MouseButton::Left, ssNone, x0 + 100, y0 + 100);
  form().GraphContextMenu(plot);
  const auto item = [&](int command) {
    for (const Menu::Item& m : form().GraphPopup.Items())
      if (m.tag == command) return m;
    return Menu::Item{};
  };
  EXPECT_TRUE(item(gcZoomIn).enabled);
  EXPECT_FALSE(item(gcZoomOut).enabled);
  EXPECT_FALSE(item(gcLogScale).enabled) << "sensorgrams have no log axis";
  EXPECT_FALSE(item(gcExcludeLine).enabled) << "no current curve";
  form().RunGraphCommand(plot, gcZoomIn);
  EXPECT_TRUE(plot.IsZoomed());
  EXPECT_FALSE(form().StageGraphProps[stRaw]->AutoX) << "the zoom is kept for the next showing";

  form().RunGraphCommand(plot, gcCopyGraph);
  EXPECT_EQ(ws.ClipboardBitmapWidth(), 1000);
  EXPECT_EQ(ws.ClipboardBitmapHeight(), 600);

  plot.SetCurve(2);
  form().GraphContextMenu(plot);
  EXPECT_EQ(item(gcExcludeLine).caption, "Exclude Line");
  form().RunGraphCommand(plot, gcExcludeLine);
  const int injection = e().CurveInfo[2].Injection;
  EXPECT_NE(e().Stage(stRaw).CurveFlags[2] & cfHiddenInjection, 0u);
  EXPECT_EQ(plot.CurrCurve(), -1);
  const CellPosition cell = InjectionCell(injection, form().SampleGrid.RowCount() - 1);
  EXPECT_FALSE(form().SampleGrid.GetHidden(cell.col, cell.row)) << "the other flow cell still shows the injection";
}

}  // namespace
}  // namespace kelvaris

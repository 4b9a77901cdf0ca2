#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "platform/headless_window_system.h"
#include "platform/recording_canvas.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// Six injections on two flow cells, 0 to 40 s, injected from 10 to 30 s.
// Injection k has a bulk step of 1 + k on the reference flow cell 1 and of
// 1.1 (1 + k) + 0.5 on flow cell 2; injections 4 to 6 also bind 2 RU.
std::string SolventRun() {
  std::ostringstream s;
  for (int k = 1; k <= 6; ++k)
    for (int f = 1; f <= 2; ++f)
      s << (k + f > 2 ? "\t" : "") << "run Fc=" << f << " - " << k << "_X\trun Fc=" << f << " - " << k << "_Y";
  s << "\n";
  for (int i = 0; i <= 40; ++i) {
    for (int k = 1; k <= 6; ++k) {
      const bool during = i >= 10 && i <= 30;
      const double bulk = during ? k : 0;
      const double fc1 = bulk;
      const double fc2 = during ? 1.1 * bulk + 0.5 + (k >= 4 ? 2 : 0) : 0;
      s << (k > 1 ? "\t" : "") << i << "\t" << fc1 << "\t" << i << "\t" << fc2;
    }
    s << "\n";
  }
  return s.str();
}

class SolventPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form().LoadDataFile(dir.Write("run.txt", SolventRun()), true));
    ASSERT_EQ(e().Stage(stRaw).CurveCount, 12);
    form().RunChain(stRaw);
    form().RefreshDataPage();
  }
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return form().Experiment; }
  void Type(int col, int row, const std::string& text) {
    ASSERT_TRUE(test::TypeIntoCell(form().SampleGrid, col, row, text));
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(SolventPageTest, TheStandardsGiveALineThatIsTakenOffTheSamples) {
  for (int row = 1; row <= 3; ++row) Type(1, row, "dmso");
  for (int row = 4; row <= 6; ++row) Type(1, row, "1uM");
  ASSERT_TRUE(form().Pages.UserSelect(pgReference));
  form().ReferenceCombo.UserSelect(1);
  ASSERT_TRUE(e().StageExists(stReference));
  ASSERT_TRUE(form().Pages.UserSelect(pgDmso));
  form().StartDMSOBox.UserSetText("15");
  form().StopDMSOBox.UserSetText("25");
  form().InjEndBox.UserSetText("35");
  form().DMSOGroup.UserSelect(1);  // "Linear fit"
  EXPECT_EQ(form().Pages.PageAt(pgDmso).caption, "DMSO");
  ASSERT_TRUE(e().StageExists(stSolvent)) << (ws.Messages().empty() ? "" : ws.Messages().back().text);
  ASSERT_EQ(e().Ligands.size(), 3u);
  const std::vector<double>& line = e().Ligands[2].Coefficients;
  ASSERT_EQ(line.size(), 2u);
  EXPECT_NEAR(line[0], 0.5, 1e-9);
  EXPECT_NEAR(line[1], 0.1, 1e-9);
  const TCurveSet& corrected = e().Stage(stSolvent);
  for (int c = 0; c < corrected.CurveCount; ++c) {
    const TCurveInfo& info = e().CurveInfo[static_cast<std::size_t>(corrected.SourceCurve[static_cast<std::size_t>(c)])];
    if (info.Injection < 4) continue;
    const double* t = corrected.TimeOf(c);
    for (int k = 0; k < corrected.PointCount[static_cast<std::size_t>(c)]; ++k)
      if (t[k] == 20) {
        EXPECT_NEAR(corrected.ResponseOf(c)[k], 2, 1e-9) << "injection " << info.Injection;
      }
  }

  // The standard graph: the mouse finds a standard and names its sample,
  // a double click rejects it and the line is fitted without it.
  RecordingCanvas canvas(400, 300);
  form().StandardGraph.SetSize(400, 300);
  form().PaintStandardGraph(canvas);
  const auto& markers = form().StandardGraph.Markers();
  ASSERT_EQ(markers.size(), 3u);
  form().StandardGraphMouseMove(markers[0].x + 2, markers[0].y + 1);
  EXPECT_EQ(form().StandardGraphHint, "Sample A1 Fc2");
  form().StandardGraphDblClick();
  ASSERT_EQ(e().Ligands[2].Standards.size(), 3u);
  EXPECT_TRUE(e().Ligands[2].Standards[0].Rejected);
  EXPECT_NEAR(e().Ligands[2].Coefficients[1], 0.1, 1e-9) << "the two others still give the line";
  form().PaintStandardGraph(canvas);
  form().StandardGraphMouseMove(markers[0].x, markers[0].y);
  form().StandardGraphDblClick();
  EXPECT_FALSE(e().Ligands[2].Standards[0].Rejected) << "a second double click brings it back";
}

TEST_F(SolventPageTest, TheModeNeedsStandardsAndAReference) {
  ASSERT_TRUE(form().Pages.UserSelect(pgDmso));
  form().DMSOGroup.UserSelect(1);
  ASSERT_FALSE(ws.Messages().empty());
  EXPECT_EQ(ws.Messages().back().caption, "DMSO Error");
  EXPECT_EQ(ws.Messages().back().text, "Not enough dmso standards found\nCheck concentration entries on Data page");
  EXPECT_EQ(form().DMSOGroup.ItemIndex(), 0);
  EXPECT_EQ(form().Pages.PageAt(pgDmso).caption, "Dmso");

  ASSERT_TRUE(form().Pages.UserSelect(pgScheme));
  for (int row = 1; row <= 3; ++row) Type(1, row, "dmso");
  ASSERT_TRUE(form().Pages.UserSelect(pgDmso));
  form().DMSOGroup.UserSelect(2);
  EXPECT_EQ(ws.Messages().back().text, "You must first select a reference flow cell");
  EXPECT_FALSE(e().Switches.Solvent);
}

}  // namespace
}  // namespace kelvaris

#include <gtest/gtest.h>

#include "app/application.h"
#include "model/numbers.h"
#include "platform/headless_window_system.h"
#include "synthetic_plain_text.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// Three injections on two flow cells, 0 to 40 s.
class ReferencePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    synth::RunShape shape;
    shape.curves = 6;
    shape.points = 41;
    shape.step = 1;
    ASSERT_TRUE(form().LoadDataFile(dir.Write("run.txt", synth::TwoChannelText(shape)), true));
    form().RunChain(stRaw);
    form().RefreshDataPage();
    ASSERT_TRUE(form().Pages.UserSelect(pgReference));
  }
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return form().Experiment; }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(ReferencePageTest, ChoosingAReferenceSubtractsItFromTheOtherFlowCell) {
  ASSERT_EQ(form().ReferenceCombo.Count(), 3) << "None and the two flow cells";
  EXPECT_FALSE(form().SubtractGroup.Enabled());
  form().ReferenceCombo.UserSelect(1);
  EXPECT_EQ(form().Pages.PageAt(pgReference).caption, "REF");
  ASSERT_TRUE(e().StageExists(stReference));
  const TCurveSet& raw = e().Stage(stRaw);
  const TCurveSet& ref = e().Stage(stReference);
  ASSERT_EQ(ref.CurveCount, 3) << "the reference flow cell is left out";
  for (int c = 0; c < ref.CurveCount; ++c) {
    const int sample = ref.SourceCurve[static_cast<std::size_t>(c)];
    EXPECT_EQ(e().CurveInfo[static_cast<std::size_t>(sample)].FlowCell, 2);
    int reference = -1;
    for (int k = 0; k < raw.CurveCount; ++k)
      if (e().CurveInfo[static_cast<std::size_t>(k)].FlowCell == 1 &&
          e().CurveInfo[static_cast<std::size_t>(k)].Injection == e().CurveInfo[static_cast<std::size_t>(sample)].Injection)
        reference = k;
    ASSERT_GE(reference, 0);
    EXPECT_NEAR(ref.ResponseOf(c)[30], raw.ResponseOf(sample)[30] - raw.ResponseOf(reference)[30], 1e-9);
  }
  EXPECT_TRUE(form().SubtractGroup.Enabled());
  EXPECT_FALSE(form().InjEndBox.Enabled()) << "only the jump uses the injection end";

  form().SubtractGroup.UserSelect(1);  // Jump
  EXPECT_TRUE(form().InjEndBox.Enabled());
  EXPECT_EQ(form().InjEndBox.Text(), "20.00") << "the middle of the data until the user sets it";
  EXPECT_TRUE(form().FromPlot.ShowEndLine());

  form().ReferenceCombo.UserSelect(0);
  EXPECT_FALSE(e().StageExists(stReference));
  EXPECT_EQ(form().Pages.PageAt(pgReference).caption, "Ref");
}

TEST_F(ReferencePageTest, AMissingReferenceCurveStopsTheStage) {
  // The reference curve of one injection is taken out in the sample table.
  TCurveSet& raw = e().Stage(stRaw);
  for (int c = 0; c < raw.CurveCount; ++c)
    if (e().CurveInfo[static_cast<std::size_t>(c)].FlowCell == 1 && e().CurveInfo[static_cast<std::size_t>(c)].Injection == 2)
      raw.CurveFlags[static_cast<std::size_t>(c)] |= cfHiddenInjection;
  form().RunChain(stRaw);
  form().ReferenceCombo.UserSelect(1);
  ASSERT_FALSE(ws.Messages().empty());
  EXPECT_EQ(ws.Messages().back().caption, "Reference Error");
  EXPECT_EQ(ws.Messages().back().text,
            "Reference curve not found.\n\nInjection 2 does not have curve for reference flow cell");
  EXPECT_EQ(form().ReferenceCombo.ItemIndex(), 0);
  EXPECT_FALSE(e().Switches.Reference);
  EXPECT_FALSE(e().StageExists(stReference));
}

}  // namespace
}  // namespace kelvaris

#include "processing/blank_stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "stage_test_run.h"

namespace kelvaris {
namespace {

using test::Constant;
using test::RunCurve;

constexpr double kSample = 1e-6;  // M

class BlankStageTest : public ::testing::Test {
 protected:
  void Load(const std::vector<RunCurve>& curves) {
    test::LoadRun(e, curves);
    e.Switches.Blank = true;
  }
  BlankResult Run(BlankMode mode) { return BlankStage(e, {mode, false}); }

  const TCurveSet& blanked() const { return e.Stage(stBlank); }
  // Every response of curve c of stage 7 lies within 1e-9 of `value`.
  void ExpectFlat(int c, double value, const char* what) const {
    ASSERT_LT(c, blanked().CurveCount) << what;
    ASSERT_GT(blanked().PointCount[c], 0) << what;
    double worst = 0;
    for (int i = 0; i < blanked().PointCount[c]; ++i)
      worst = std::max(worst, std::abs(blanked().ResponseOf(c)[i] - value));
    EXPECT_LT(worst, 1e-9) << what << ": curve " << c << " starts at " << blanked().ResponseOf(c)[0];
  }

  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(BlankStageTest, ClosestTakesTheNearestUsableBlankOfTheFlowCellAndTheEarlierOnATie) {
  // Position in the source: flow cells interleaved, injection by injection.
  Load({{1, 1, 0, 1, Constant(1)},          // 0  blank
        {2, 1, 0, 1, Constant(10)},         // 1  blank
        {1, 2, kSample, 1, Constant(100)},  // 2  two blanks of Fc1 at distance 2: 0 and 4
        {2, 2, kSample, 1, Constant(200)},  // 3  Fc2 blanks at distance 2: 1 and 5
        {1, 3, 0, 1, Constant(3)},          // 4  blank
        {2, 3, 0, 1, Constant(30)},         // 5  blank
        {1, 4, 0, 1, Constant(5), 31, 0, false, true},  // 6  removed: nearest to 8, but not used
        {1, 5, -1, 1, Constant(7)},         // 7  solvent standard: dropped
        {1, 6, kSample, 1, Constant(100)},  // 8  blank 4 at distance 4
        {2, 6, -2, 1, Constant(9)}});       // 9  not used: dropped

  const BlankResult r = Run(BlankMode::Closest);
  ASSERT_EQ(r.Outcome, BlankOutcome::Done) << r.Message;
  EXPECT_FALSE(r.SwitchOff());
  EXPECT_TRUE(r.HideWarning);
  EXPECT_TRUE(r.Message.empty());
  const struct {
    int raw;
    double value;
    const char* reason;
  } rows[] = {
      {0, 0, "a blank is corrected against itself"},
      {1, 0, "a blank is corrected against itself"},
      {2, 99, "tie between the blanks before and after: the earlier"},
      {3, 190, "tie on Fc2: its own earlier blank, not Fc1's"},
      {4, 0, "blank"},
      {5, 0, "blank"},
      {8, 97, "the removed blank is passed over"},
  };
  ASSERT_EQ(blanked().CurveCount, 7) << "standards, unused injections and removed blanks are dropped";
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(blanked().SourceCurve[c], rows[c].raw) << rows[c].reason;
    ExpectFlat(c, rows[c].value, rows[c].reason);
  }
}

TEST_F(BlankStageTest, CompoundTakesTheNearestBlankOfTheSameAnalyte) {
  // Each analyte has its own blank; the other analyte's blank is nearer.
  const std::vector<RunCurve> run = {{1, 1, 0, 1, Constant(1)},           // blank, analyte 1
                                     {1, 2, 0, 2, Constant(2)},           // blank, analyte 2
                                     {1, 3, kSample, 1, Constant(100)},   // analyte 1
                                     {1, 4, kSample, 2, Constant(100)},   // analyte 2
                                     {2, 5, 0, 2, Constant(20)},          // Fc2: analyte 2 only
                                     {2, 6, kSample, 2, Constant(200)}};
  const struct {
    BlankMode mode;
    std::vector<double> expected;
    const char* reason;
  } rows[] = {
      {BlankMode::Compound, {0, 0, 99, 98, 0, 180}, "each sample its own analyte's blank"},
      {BlankMode::Closest, {0, 0, 98, 98, 0, 180}, "the nearest blank, whatever its analyte"},
  };
  for (const auto& row : rows) {
    Load(run);
    const BlankResult r = Run(row.mode);
    ASSERT_EQ(r.Outcome, BlankOutcome::Done) << row.reason;
    ASSERT_EQ(blanked().CurveCount, 6) << row.reason;
    for (int c = 0; c < 6; ++c) ExpectFlat(c, row.expected[c], row.reason);
  }
}

TEST_F(BlankStageTest, AverageSubtractsTheMeanOfTheFlowCellsBlanksAtEachTime) {
  // Fc1's one blank is sampled between the sample's times (and beyond
  // them), so it is interpolated; Fc2 has two blanks; Fc3 has none.
  auto sample1 = [](double t) { return 100 + 5 * t; };
  auto blank1 = [](double t) { return 2 * t; };
  Load({{1, 1, kSample, 1, sample1},
        {1, 2, 0, 1, blank1, 33, -0.5},
        {2, 3, 0, 1, Constant(2)},
        {2, 4, kSample, 1, Constant(50)},
        {2, 5, 0, 1, Constant(4)},
        {3, 6, kSample, 1, Constant(70)}});
  TCurveSet& data = e.Stage(stData);
  data.FlagsOf(0)[3] = CutLevelForStage(stBlank);             // cut on the Blanked graph: dropped
  data.FlagsOf(0)[4] = CutLevelForStage(stScale) | 0x4000;    // cut later on: kept, without its label

  const BlankResult r = Run(BlankMode::Average);
  ASSERT_EQ(r.Outcome, BlankOutcome::Done);
  EXPECT_FALSE(r.HideWarning) << "the warning panel is left alone in this mode";
  ASSERT_EQ(blanked().CurveCount, 6);

  // Fc1's sample: every kept point minus the blank at its time.
  ASSERT_EQ(blanked().PointCount[0], 30);
  const double* t = blanked().TimeOf(0);
  for (int i = 0; i < 30; ++i) {
    EXPECT_NE(t[i], 3) << "the point cut on this stage is dropped";
    EXPECT_NEAR(blanked().ResponseOf(0)[i], sample1(t[i]) - blank1(t[i]), 1e-9) << "t " << t[i];
    EXPECT_EQ(blanked().IndexOf(0)[i], static_cast<int>(t[i])) << "raw point index";
  }
  EXPECT_EQ(blanked().FlagsOf(0)[3], static_cast<TPointFlags>(CutLevelForStage(stScale)));
  ExpectFlat(1, 0, "the only blank of Fc1 becomes zero");
  ExpectFlat(2, -1, "Fc2's blanks lose their mean of 3");
  ExpectFlat(3, 47, "Fc2's sample loses the mean of 2 and 4");
  ExpectFlat(4, 1, "Fc2's second blank");
  ExpectFlat(5, 70, "Fc3 has no blank: its sample is carried unchanged");
  EXPECT_EQ(blanked().SourceCurve[5], 5);
}

TEST_F(BlankStageTest, ASampleWithoutABlankStopsTheStageWithTheCurvesWrittenBeforeIt) {
  // Fc1 has blanks 1 and 3; Fc2's only blank is curve 5.
  std::vector<RunCurve> run = {{1, 1, kSample, 1, Constant(100)},
                               {1, 2, 0, 1, Constant(1)},
                               {1, 3, 0, 1, Constant(3)},
                               {2, 4, kSample, 1, Constant(200)},
                               {1, 5, kSample, 1, Constant(100)},
                               {2, 6, 0, 1, Constant(20)}};
  run[2].blankRemoved = true;
  Load(run);
  ASSERT_EQ(Run(BlankMode::Closest).Outcome, BlankOutcome::Done);
  ASSERT_EQ(blanked().CurveCount, 5);

  // Fc2's blank removed, Fc1's second blank back: the same number of
  // curves, so stage 7 is reused, and the sample on Fc2 finds no blank.
  e.CurveInfo[2].BlankRemoved = 0;
  e.CurveInfo[5].BlankRemoved = 1;
  for (BlankMode mode : {BlankMode::Closest, BlankMode::Compound}) {
    const BlankResult r = Run(mode);
    EXPECT_EQ(r.Outcome, BlankOutcome::BlankNotFound);
    EXPECT_FALSE(r.SwitchOff()) << "the stage stays on";
    EXPECT_EQ(r.Message, "Failed to find blank");
    EXPECT_EQ(r.Caption, mode == BlankMode::Closest ? "Nasty Error" : "Blank Error");
    EXPECT_EQ(r.Icon, MsgIcon::None);
    // The three curves before the sample; nothing of the earlier run and no
    // empty curve standing for raw curve 0.
    ASSERT_EQ(blanked().CurveCount, 3);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(blanked().SourceCurve[c], c);
    ExpectFlat(0, 99, "blanked before the failure");
  }

  // The failing sample first: nothing is left of stage 7.
  e.CurveInfo[5].BlankRemoved = 0;
  e.CurveInfo[1].BlankRemoved = e.CurveInfo[2].BlankRemoved = 1;
  EXPECT_EQ(Run(BlankMode::Closest).Outcome, BlankOutcome::BlankNotFound);
  EXPECT_FALSE(e.StageExists(stBlank));
  EXPECT_EQ(e.FindSourceStage(stScale), stData);
}

TEST_F(BlankStageTest, MissingSamplesOrBlanksSwitchTheStageOffWithAWarning) {
  const char* noSamples = "No samples found. All calculated concentrations are zero";
  const char* noBlanks = "No blanks found. All concentrations are geater than zero.";
  const struct {
    std::vector<double> concentrations;
    std::vector<bool> removed;
    BlankOutcome outcome;
    const char* warning;
    const char* reason;
  } rows[] = {
      {{0, 0, 0}, {}, BlankOutcome::NoSamples, noSamples, "a sample table with only zeros"},
      {{-1, -2, 0}, {true, false, true}, BlankOutcome::NoSamples, noSamples, "nothing to carry at all"},
      {{kSample, 2 * kSample}, {}, BlankOutcome::NoBlanks, noBlanks, "no blank"},
      {{kSample, 0}, {false, true}, BlankOutcome::NoBlanks, noBlanks, "the only blank removed"},
  };
  for (const auto& row : rows) {
    std::vector<RunCurve> run;
    for (std::size_t i = 0; i < row.concentrations.size(); ++i)
      run.push_back({1, static_cast<int>(i) + 1, row.concentrations[i], 1, Constant(1), 31, 0, false,
                     i < row.removed.size() && row.removed[i]});
    Load(run);
    // A stage 7 from an earlier run must not outlive the switch.
    ASSERT_TRUE(e.AllocateStage(stBlank, 1, 31));
    const BlankResult r = Run(BlankMode::Closest);
    EXPECT_EQ(r.Outcome, row.outcome) << row.reason;
    EXPECT_EQ(r.Warning, row.warning) << row.reason;
    EXPECT_TRUE(r.SwitchOff()) << row.reason;
    EXPECT_TRUE(r.Message.empty()) << row.reason;
    EXPECT_FALSE(e.StageExists(stBlank)) << row.reason;
  }
}

TEST_F(BlankStageTest, ThePageWarningCountsTheShownFlowCells) {
  // Fc1: a sample and a blank; Fc2: a sample only; Fc3: a blank only.
  Load({{1, 1, kSample, 1, Constant(1)},
        {1, 2, 0, 1, Constant(1)},
        {2, 3, kSample, 1, Constant(1)},
        {3, 4, 0, 1, Constant(1)},
        {3, 5, 0, 1, Constant(1), 31, 0, false, true}});
  const struct {
    std::vector<bool> shown;  // index flow cell
    const char* warning;
  } rows[] = {
      {{}, ""},
      {{true, true, false, false}, ""},
      {{true, false, true, false}, "No blanks found. Check entries on Data page."},
      {{true, false, false, true}, "No samples found. All calculated concentrations are zero. Check entries on Data page."},
      {{true, false, false, false, true}, "No samples or blanks found. Check entries on Data page."},
      {{true, false, true}, ""},  // Fc3 lies past the filter's end: shown
  };
  for (const auto& row : rows) EXPECT_EQ(BlankPageWarning(e, row.shown), row.warning) << ::testing::PrintToString(row.shown);

  // The blanks graph: usable blanks 1, removed 3, everything else not drawn.
  EXPECT_EQ(BlankDisplayColours(e, 0, {}), (std::vector<int>{0, 1, 0, 1, 3}));
  EXPECT_EQ(BlankDisplayColours(e, 3, {}), (std::vector<int>{0, 1, 0, 0, 0})) << "not on the reference flow cell";
  EXPECT_EQ(BlankDisplayColours(e, 0, {true, false}), (std::vector<int>{0, 0, 0, 1, 3})) << "Fc1 filtered out";
}

}  // namespace
}  // namespace kelvaris

#include "processing/bound_stage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/experiment.h"
#include "model/numbers.h"
#include "model/sample_layout.h"
#include "platform/headless_window_system.h"
#include "stage_test_run.h"

namespace kelvaris {
namespace {

using test::Constant;
using test::RunCurve;

constexpr double uM = 1e-6;

class BoundStageTest : public ::testing::Test {
 protected:
  void Load(const std::vector<RunCurve>& curves) {
    test::LoadRun(e, curves);
    e.Switches.Bound = true;
    e.WindowSet[stBound] = true;
  }
  // The window 2..6 s, flow cell 1 as the reference, two analytes.
  BoundResult Run(const char* start = "2", const char* stop = "6", int analytes = 2, bool byCell = false) {
    return BoundStage(e, {start, stop, 1, analytes, byCell});
  }
  const TCurveSet& bound() const { return e.Stage(stBound); }
  double R(int c, int slot) const { return bound().ResponseOf(c)[slot]; }
  double T(int c, int slot) const { return bound().TimeOf(c)[slot]; }
  TPointFlags F(int c, int slot) const { return bound().FlagsOf(c)[slot]; }

  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST(SampleConcentration, TheFirstCurveOfTheInjectionThatIsNotHidden) {
  HeadlessWindowSystem ws;
  TExperiment e{ws};
  test::LoadRun(e, {{1, 1, 5 * uM, 1, Constant(0), 31, 0, true},  // hidden
                    {2, 1, 7 * uM},
                    {1, 2, 9 * uM},
                    {1, 3, 4 * uM, 1, Constant(0), 31, 0, true}});
  EXPECT_EQ(SampleConcentration(e, 1), 7 * uM);
  EXPECT_EQ(SampleConcentration(e, 2), 9 * uM);
  EXPECT_EQ(SampleConcentration(e, 3), kNotUsed) << "every curve hidden";
  EXPECT_EQ(SampleConcentration(e, 4), kNotUsed) << "no such injection";
  e.CurveInfo.resize(2);  // descriptions fewer than the curves: read no further
  EXPECT_EQ(SampleConcentration(e, 2), kNotUsed);
}

TEST_F(BoundStageTest, EntriesHoldTheWindowStatisticsAndTheGroupsStartingEstimates) {
  // Flow cell 2: 1, 10 and 100 uM bound 10, 50 and 90 RU; the 50 RU curve
  // spreads 48..52 over the window. Flow cell 3 is a group of its own.
  Load({{1, 1, 1 * uM, 1, Constant(1)},  // reference flow cell
        {2, 1, 1 * uM, 1, Constant(10)},
        {2, 2, 10 * uM, 1, [](double t) { return 46 + t; }},
        {2, 3, 100 * uM, 1, Constant(90)},
        {3, 7, 50 * uM, 1, Constant(40)},
        {2, 4, 0, 1, Constant(5)},           // blank
        {2, 5, 50 * uM, 0, Constant(5)},     // no analyte
        {2, 6, 50 * uM, 3, Constant(5)}});   // analyte past the table
  const BoundResult r = Run();
  EXPECT_FALSE(r.Failed || r.SwitchedOff);
  EXPECT_EQ(r.Warning, "");
  EXPECT_EQ(r.Window.Start, 2);
  EXPECT_EQ(r.Window.Stop, 6);
  EXPECT_FALSE(r.Window.StartChanged || r.Window.StopChanged);
  ASSERT_EQ(bound().CurveCount, 4);

  const int raw[] = {1, 2, 3, 4};
  const double conc[] = {1 * uM, 10 * uM, 100 * uM, 50 * uM};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(bound().SourceCurve[c], raw[c]);
    EXPECT_EQ(bound().PointCount[c], kBoundSlots);
    EXPECT_EQ(F(c, 0), 5u) << "points averaged";
    EXPECT_EQ(F(c, 1), static_cast<TPointFlags>(e.CurveInfo[raw[c]].Injection));
    EXPECT_EQ(F(c, 2), 1u);
    EXPECT_EQ(F(c, 3), static_cast<TPointFlags>(e.CurveInfo[raw[c]].FlowCell));
    EXPECT_DOUBLE_EQ(T(c, 0), conc[c]);
    EXPECT_DOUBLE_EQ(T(c, 3), std::log10(conc[c]));
  }
  EXPECT_DOUBLE_EQ(R(1, 0), 50);
  EXPECT_NEAR(R(1, 2), std::sqrt(10.0 / 4), 1e-12) << "sample SD of 48..52";
  EXPECT_DOUBLE_EQ(R(1, 4), 250);
  EXPECT_DOUBLE_EQ(R(1, 5), 12510);
  EXPECT_DOUBLE_EQ(R(0, 2), 0);

  // The KD example: M = 90; 10 and 50 lie strictly within 9..81 and both
  // give 8 uM.
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(R(c, 1), 90);
    EXPECT_EQ(R(c, 6), 45);
    EXPECT_NEAR(T(c, 1), 8 * uM, 1e-18);
    EXPECT_EQ(T(c, 6), T(c, 1));
  }
  EXPECT_EQ(R(3, 1), 40) << "flow cell 3 has its own group";
  EXPECT_DOUBLE_EQ(T(3, 1), 1e-4) << "a group of one: 10^trunc(log10 50 uM)";
}

TEST_F(BoundStageTest, WithoutMembersInsideTheResponseBandTheEstimateIsTheMeanDecade) {
  const struct {
    std::vector<double> responses;
    std::vector<double> concentrations;
    double top;
    double kd;
    const char* reason;
  } rows[] = {
      {{20, 20}, {1 * uM, 10 * uM}, 20, 1e-5, "both equal to M: mean log -5.5 truncates to -5"},
      {{20, 1}, {1 * uM, 10 * uM}, 20, 1e-5, "1 RU lies below 0.1 M"},
      {{-3, -1}, {1 * uM, 10 * uM}, 0, 1e-5, "no response above 0: M is 0"},
      {{10, 50}, {0.1, 1}, 50, 0.4, "only 10 RU inside the band: (50 - 10) * 0.1 / 10"},
  };
  for (const auto& row : rows) {
    std::vector<RunCurve> run;
    for (std::size_t i = 0; i < row.responses.size(); ++i)
      run.push_back({2, static_cast<int>(i) + 1, row.concentrations[i], 1, Constant(row.responses[i])});
    Load(run);
    ASSERT_EQ(Run().Warning, "") << row.reason;
    ASSERT_EQ(bound().CurveCount, static_cast<int>(row.responses.size())) << row.reason;
    for (int c = 0; c < bound().CurveCount; ++c) {
      EXPECT_EQ(R(c, 1), row.top) << row.reason;
      EXPECT_EQ(R(c, 6), row.top / 2) << row.reason;
      EXPECT_NEAR(T(c, 1), row.kd, row.kd * 1e-12) << row.reason;
    }
  }
}

TEST_F(BoundStageTest, WithoutASampleEntryEveryActiveCurveIsEnteredAtConcentrationOne) {
  // Curves 0..10 s and 20..30 s: a window of 12..18 s lies inside the data
  // but outside every curve. The blank and the standard are entered too, so
  // the table needs more entries than there are samples.
  const std::vector<RunCurve> run = {{1, 1, 1 * uM, 1, Constant(1), 11},
                                     {2, 1, 1 * uM, 1, Constant(10), 11},
                                     {2, 2, 0, 2, Constant(3), 11, 20},
                                     {3, 3, -1, 0, Constant(4), 11},
                                     {3, 4, 2 * uM, 2, Constant(6), 11, 20}};
  const struct {
    const char* start;
    const char* stop;
    int analytes;
    const char* warning;
    bool points;  // the window holds points of every curve
    const char* reason;
  } rows[] = {
      {"12", "18", 2, "No data points in selected interval.", false, "a window outside every curve"},
      {"5", "22", 0, "No analytes found. Check concentrations", true, "every analyte past the table"},
  };
  for (const auto& row : rows) {
    Load(run);
    const BoundResult r = Run(row.start, row.stop, row.analytes);
    EXPECT_EQ(r.Warning, row.warning) << row.reason;
    EXPECT_FALSE(r.SwitchedOff || r.Failed) << row.reason;
    ASSERT_EQ(bound().CurveCount, 4) << row.reason;
    ASSERT_GE(bound().SourceCurve.size(), 4u) << "the table grew to hold every entry";
    ASSERT_GE(bound().Response.size(), 4u * bound().Capacity) << row.reason;
    const int analyte[] = {1, 2, 0, 2};
    const int series[] = {1, 5, 2, 6};  // (analyte - 1) * 4 + (flow cell - 1), analyte 0 as 1
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(bound().SourceCurve[c], c + 1) << row.reason;
      EXPECT_EQ(T(c, 0), 1) << row.reason;
      EXPECT_EQ(T(c, 3), 1) << row.reason;
      EXPECT_EQ(F(c, 0) > 0, row.points) << row.reason;
      EXPECT_EQ(F(c, 2), static_cast<TPointFlags>(analyte[c])) << row.reason;
      EXPECT_EQ(BoundSeries(bound().CurveFlags[c]), series[c]) << row.reason;
    }
  }
}

TEST_F(BoundStageTest, TheSwitchGoesOffWhenNoCurveQualifiesAndTheAffinityValuesAreCleared) {
  auto dirty = [this] {
    ASSERT_TRUE(e.AllocateStage(stAffinity, 2, kBoundSlots));
    e.Stage(stAffinity).ResponseOf(1)[8] = 7;
    e.Stage(stAffinity).TimeOf(0)[4] = 7;
    e.Stage(stAffinity).FlagsOf(1)[0] = 7;
    for (TLigand& l : e.Ligands) l.FitOn = 1;
    for (TCurveInfo& info : e.CurveInfo) {
      info.BoundValue = info.BoundValue2 = 7;
      info.AffinityFlags = 7;
    }
  };
  auto expectClear = [this](const char* reason) {
    const TCurveSet& affinity = e.Stage(stAffinity);
    for (int c = 0; c < affinity.CurveCount; ++c)
      for (int k = 0; k < kBoundSlots; ++k)
        EXPECT_TRUE(affinity.ResponseOf(c)[k] == 0 && affinity.TimeOf(c)[k] == 0 && affinity.FlagsOf(c)[k] == 0)
            << reason;
    for (const TLigand& l : e.Ligands) EXPECT_EQ(l.FitOn, 0) << reason;
    for (const TCurveInfo& info : e.CurveInfo)
      EXPECT_TRUE(info.BoundValue == 0 && info.BoundValue2 == 0 && info.AffinityFlags == 0) << reason;
  };
  // Only the reference flow cell, a blank and a hidden sample.
  Load({{1, 1, 1 * uM, 1, Constant(1)}, {2, 2, 0, 1, Constant(1)}, {2, 3, 1 * uM, 1, Constant(1), 31, 0, true}});

  // "Calc" off: nothing computed, stale affinity values cleared.
  e.Switches.Bound = false;
  dirty();
  BoundResult r = Run();
  EXPECT_TRUE(r.AffinityCleared);
  EXPECT_FALSE(r.SwitchedOff);
  EXPECT_TRUE(e.StageExists(stAffinity)) << "entries are zeroed, not freed";
  expectClear("switch off");

  // "Calc" on without a usable sample: the switch goes off by itself.
  e.Switches.Bound = true;
  ASSERT_TRUE(e.AllocateStage(stBound, 1, kBoundSlots));
  dirty();
  r = Run();
  EXPECT_TRUE(r.SwitchedOff);
  EXPECT_TRUE(r.AffinityCleared);
  EXPECT_FALSE(r.Failed);
  EXPECT_FALSE(e.Switches.Bound);
  EXPECT_FALSE(e.StageExists(stBound));
  expectClear("no sample");
}

TEST_F(BoundStageTest, TheWindowIsSanitizedOnEveryRun) {
  Load({{2, 1, 1 * uM, 1, Constant(10)}});
  e.Switches.Bound = false;
  e.WindowSet[stBound] = false;
  const BoundResult r = Run("2", "6");
  EXPECT_EQ(r.Window.Start, 7.5) << "the middle of 0..30 s while the user has not set it";
  EXPECT_EQ(r.Window.Stop, 15);
  EXPECT_TRUE(r.Window.StartChanged && r.Window.StopChanged);
  EXPECT_EQ(ParseNumber(r.Window.StartText, 0), 7.5);
}

TEST(BoundCurveFlags, PackColourPositionSourceFlagsAndSeries) {
  const struct {
    int colour, cell, analyte;
    TCurveFlags source;
    TCurveFlags packed;
    const char* reason;
  } rows[] = {
      {5, 1, 1, 0, 0x5, "flow cell 1 of analyte 1: series 0"},
      {3, 2, 1, cfExcludedFromFit, 0x3 | 1u << 4 | 0x200 | 1u << 18, "h = 1, series 1"},
      {1, 6, 3, 0xffffffff, 0x1 | 1u << 4 | 0x3ff00 | 9u << 18, "only bits 8..17 of the source"},
      {0x1f, 4, 2, 0, 0xf | 3u << 4 | 7u << 18, "the colour keeps four bits"},
      {1, 0, 0, 0, 0x1 | 3u << 4 | 3u << 18, "flow cell 0 and analyte 0 stay inside their bits"},
      {1, 1, 100000, 0, 0x1 | 0x3fffu << 18, "the series stops at its 14 bits"},
  };
  for (const auto& row : rows) {
    const TCurveFlags f = PackBoundCurveFlags(row.colour, row.cell, row.analyte, row.source);
    EXPECT_EQ(f, row.packed) << row.reason;
    EXPECT_EQ(BoundColour(f), row.colour & 0xf) << row.reason;
    EXPECT_EQ(BoundSeries(f), static_cast<int>(row.packed >> 18)) << row.reason;
  }
}

TEST_F(BoundStageTest, EntriesTakeTheirCurvesColourOrTheirFlowCellsColour) {
  Load({{2, 1, 1 * uM, 2, Constant(10)}, {3, 2, 1 * uM, 1, Constant(10)}});
  e.Ligands[2].Colour = 9;
  e.Ligands[3].Colour = 4;
  TCurveSet& data = e.Stage(stData);
  data.CurveFlags[0] = 0x6 | cfHiddenInGraph | cfHighlighted;
  data.CurveFlags[1] = 0x2;
  Run();
  EXPECT_EQ(bound().CurveFlags[0], PackBoundCurveFlags(6, 2, 2, cfHiddenInGraph | cfHighlighted));
  EXPECT_EQ(bound().CurveFlags[1], PackBoundCurveFlags(2, 3, 1, 0));
  Run("2", "6", 2, true);
  EXPECT_EQ(BoundColour(bound().CurveFlags[0]), 9);
  EXPECT_EQ(BoundColour(bound().CurveFlags[1]), 4);
}

}  // namespace
}  // namespace kelvaris

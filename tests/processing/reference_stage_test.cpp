#include "processing/reference_stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "model/experiment.h"
#include "model/numbers.h"
#include "platform/headless_window_system.h"
#include "processing/data_stage.h"

namespace kelvaris {
namespace {

// A raw curve sampled every `step` seconds from t0, n points.
struct RawCurve {
  int cell = 1;
  int injection = 1;
  double t0 = 0;
  double step = 1;
  int n = 0;
  std::function<double(double)> response;
  bool hidden = false;
};

class ReferenceStageTest : public ::testing::Test {
 protected:
  // Installs the curves as stage 0 and computes the Data stage from them.
  void Load(const std::vector<RawCurve>& curves) {
    e.FreeStages(stRaw);
    int capacity = 1, cells = 1;
    for (const RawCurve& c : curves) {
      capacity = std::max(capacity, c.n);
      cells = std::max(cells, c.cell);
    }
    ASSERT_TRUE(e.AllocateStage(stRaw, static_cast<int>(curves.size()), capacity));
    TCurveSet& raw = e.Stage(stRaw);
    for (int c = 0; c < raw.CurveCount; ++c) {
      const RawCurve& rc = curves[c];
      raw.PointCount[c] = 0;
      for (int i = 0; i < rc.n; ++i) {
        const double t = rc.t0 + i * rc.step;
        raw.Append(c, t, rc.response(t), 0, i);
      }
      if (rc.hidden) raw.CurveFlags[c] |= cfHiddenInjection;
      e.CurveInfo[c].FlowCell = rc.cell;
      e.CurveInfo[c].Injection = rc.injection;
    }
    e.ExtendLigands(cells);
    ASSERT_TRUE(RunDataStage(e));
    e.Switches.Reference = true;
  }

  ReferenceResult Run(int cell, ReferenceMode mode, std::string_view end = "", bool despike = false) {
    return ReferenceStage(e, {cell, mode, end, despike});
  }

  const TCurveSet& ref() const { return e.Stage(stReference); }
  // Response of curve c of stage 5 at time t (the point must exist).
  double At(int c, double t) const {
    const double* T = ref().TimeOf(c);
    const int n = ref().PointCount[c];
    const int i = static_cast<int>(std::find_if(T, T + n, [&](double x) { return std::abs(x - t) < 1e-9; }) - T);
    EXPECT_LT(i, n) << "no point at " << t;
    return i < n ? ref().ResponseOf(c)[i] : 0;
  }
  int RawCurveOf(int c) const { return ref().SourceCurve[c]; }

  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(ReferenceStageTest, CurveModeSubtractsTheSameInjectionsReferenceAtEachTime) {
  // The reference curves lie on whole seconds, the sample curves between
  // them; the curves come in an order that does not pair them by position.
  auto sample = [](int k) { return [k](double t) { return 10 + 5 * t + 7 * k; }; };
  auto reference = [](int k) { return [k](double t) { return 3 * t + 50 * k; }; };
  Load({{2, 1, 0.5, 1, 50, sample(1)},
        {2, 2, 0.5, 1, 50, sample(2)},
        {1, 2, 0, 1, 51, reference(2)},
        {1, 1, 0, 1, 51, reference(1)}});
  TCurveSet& data = e.Stage(stData);
  data.FlagsOf(0)[10] = CutLevelForStage(stReference);     // cut on the Referenced graph
  data.FlagsOf(0)[11] = CutLevelForStage(stReference + 1);  // cut later on: still here

  const ReferenceResult r = Run(1, ReferenceMode::Curve);
  ASSERT_EQ(r.Outcome, ReferenceOutcome::Done);
  EXPECT_FALSE(r.SwitchOff());
  ASSERT_EQ(ref().CurveCount, 2) << "the reference flow cell is not carried on";
  EXPECT_EQ(RawCurveOf(0), 0);
  EXPECT_EQ(RawCurveOf(1), 1);
  EXPECT_EQ(ref().PointCount[0], 49);
  EXPECT_EQ(ref().PointCount[1], 50);
  for (int k = 1; k <= 2; ++k) {
    for (double t : {0.5, 11.5, 49.5})
      EXPECT_NEAR(At(k - 1, t), sample(k)(t) - reference(k)(t), 1e-9) << "injection " << k << " t " << t;
  }
}

// The reference has a 20 RU bulk step from 0 to 60 s (30 RU for injection
// 2) on a slow drift, and wild points just outside the six-point fit
// windows and inside the 2 s gap either side of 60 s.
double JumpReference(double t, double bulk) {
  double r = 0.1 * t + (t >= 0 && t <= 60 ? bulk : 0);
  for (double wild : {52.0, 59.0, 60.0, 61.0, 68.0})
    if (t == wild) r += 1000;
  return r;
}

TEST_F(ReferenceStageTest, JumpModeLowersTheInjectionByTheReferencesStepAtItsEnd) {
  auto sample = [](double t) { return 100 + t; };
  Load({{2, 2, -10, 1, 111, sample},
        {1, 1, -10, 1, 111, [](double t) { return JumpReference(t, 20); }},
        {2, 1, -10, 1, 111, sample},
        {1, 2, -10, 1, 111, [](double t) { return JumpReference(t, 30); }}});
  e.WindowSet[stReference] = true;

  const ReferenceResult r = Run(1, ReferenceMode::Jump, "60");
  ASSERT_EQ(r.Outcome, ReferenceOutcome::Done);
  EXPECT_EQ(r.InjectionEnd, 60);
  EXPECT_FALSE(r.InjectionEndRewritten);
  ASSERT_EQ(ref().CurveCount, 2);
  struct Row {
    int curve;
    double t, lowered;
  } rows[] = {
      {0, -1, 0}, {0, 0, 30}, {0, 30, 30}, {0, 60, 30}, {0, 61, 0}, {0, 100, 0},  // injection 2
      {1, -10, 0}, {1, 0, 20}, {1, 59, 20}, {1, 60, 20}, {1, 61, 0},             // injection 1
  };
  for (const Row& row : rows)
    EXPECT_NEAR(At(row.curve, row.t), sample(row.t) - row.lowered, 1e-9) << "curve " << row.curve << " t " << row.t;
}

TEST_F(ReferenceStageTest, TheInjectionEndFallsBackToTheMiddleOfTheData) {
  // A 20 RU step from 0 to 60 s: none at the middle of the data, 45 s.
  Load({{1, 1, -10, 1, 111, [](double t) { return 0.1 * t + (t >= 0 && t <= 60 ? 20 : 0); }},
        {2, 1, -10, 1, 111, [](double t) { return t; }}});
  struct Row {
    bool windowSet;
    const char* text;
    double end;
    const char* rewritten;  // null when the box keeps its text
  } rows[] = {
      {false, "60", 45, "45.00"},  // every run while the user has not set it
      {true, "60", 60, nullptr},
      {true, "100", 100, nullptr},
      {true, "100.5", 45, "45.00"},
      {true, "-10.5", 45, "45.00"},
      {true, "", 0, nullptr},  // an empty box reads as 0, which lies in the data
  };
  for (const Row& row : rows) {
    e.WindowSet[stReference] = row.windowSet;
    const ReferenceResult r = Run(1, ReferenceMode::Jump, row.text);
    ASSERT_EQ(r.Outcome, ReferenceOutcome::Done) << row.text;
    EXPECT_EQ(r.InjectionEnd, row.end) << row.text;
    EXPECT_EQ(r.InjectionEndRewritten, row.rewritten != nullptr) << row.text;
    if (row.rewritten) {
      EXPECT_EQ(r.InjectionEndText, row.rewritten) << row.text;
    }
  }
  // The end the stage used is the one subtracted up to.
  e.WindowSet[stReference] = false;
  Run(1, ReferenceMode::Jump, "60");
  EXPECT_NEAR(At(0, 45), 45.0, 1e-9) << "no step at 45 s on the reference";
}

TEST(ReferenceInjectionEnd, FourSignificantDigitsWithTwoDecimals) {
  const std::pair<double, const char*> rows[] = {
      {45, "45.00"},     {123.456, "123.50"}, {1234.5, "1235.00"}, {0.125, "0.13"},
      {-0.001, "0.00"},  {-37.5, "-37.50"},   {12345, "1.235E+04"},
  };
  for (auto [value, text] : rows) EXPECT_EQ(FormatInjectionEnd(value), text) << value;
  ScopedDecimalSeparator comma(',');
  EXPECT_EQ(FormatInjectionEnd(45), "45,00");
}

TEST_F(ReferenceStageTest, SeveralReferenceCurvesOfAnInjectionAreAveraged) {
  // Flow cell 2 is the reference and has two curves for the injection,
  // sampled differently; bulk steps 20 and 30 RU up to 30 s.
  auto a = [](double t) { return 3 * t + (t >= 0 && t <= 30 ? 20 : 0); };
  auto b = [](double t) { return 3 * t + 10 + (t >= 0 && t <= 30 ? 30 : 0); };
  auto fc1 = [](double t) { return 100 + t; };
  auto fc3 = [](double t) { return 200 - t; };
  Load({{2, 1, 0, 1, 51, a}, {1, 1, 0, 1, 51, fc1}, {2, 1, 0, 2, 26, b}, {3, 1, 0, 1, 51, fc3}});
  e.WindowSet[stReference] = true;
  const TCurveSet& data = e.Stage(stData);
  const std::vector<double> refA(data.ResponseOf(0), data.ResponseOf(0) + 51);
  const std::vector<double> refB(data.ResponseOf(2), data.ResponseOf(2) + 26);

  for (ReferenceMode mode : {ReferenceMode::Curve, ReferenceMode::Jump}) {
    const ReferenceResult r = Run(2, mode, "30");
    ASSERT_EQ(r.Outcome, ReferenceOutcome::Done);
    ASSERT_EQ(ref().CurveCount, 2);
    EXPECT_EQ(RawCurveOf(0), 1);
    EXPECT_EQ(RawCurveOf(1), 3);
    for (int c = 0; c < 2; ++c) {
      auto sample = c == 0 ? std::function<double(double)>(fc1) : std::function<double(double)>(fc3);
      for (double t : {10.0, 20.0, 40.0}) {
        const double mean = (a(t) + b(t)) / 2;
        const double expected = mode == ReferenceMode::Curve ? sample(t) - mean : sample(t) - (t <= 30 ? 25 : 0);
        EXPECT_NEAR(At(c, t), expected, 1e-9) << (mode == ReferenceMode::Curve ? "curve" : "jump") << " t " << t;
      }
    }
    EXPECT_EQ(std::vector<double>(data.ResponseOf(0), data.ResponseOf(0) + 51), refA) << "references unchanged";
    EXPECT_EQ(std::vector<double>(data.ResponseOf(2), data.ResponseOf(2) + 26), refB);
  }
}

TEST_F(ReferenceStageTest, AMissingReferenceStopsTheStageAndFreesIt) {
  auto flat = [](double t) { return t; };
  Load({{1, 1, 0, 1, 30, flat}, {2, 1, 0, 1, 30, flat},
        {1, 2, 0, 1, 30, flat}, {2, 2, 0, 1, 30, flat},
        {1, 3, 0, 1, 30, flat, true}, {2, 3, 0, 1, 30, flat}});  // injection 3 hidden on the reference only
  ASSERT_TRUE(e.AllocateStage(stReference, 3, 30));
  ASSERT_TRUE(e.AllocateStage(stSolvent, 3, 30));

  const ReferenceResult r = Run(1, ReferenceMode::Curve);
  EXPECT_EQ(r.Outcome, ReferenceOutcome::NotFound);
  EXPECT_TRUE(r.SwitchOff());
  EXPECT_EQ(r.Message, "Reference curve not found.\n\nInjection 3 does not have curve for reference flow cell");
  EXPECT_EQ(r.Caption, "Reference Error");
  EXPECT_FALSE(e.StageExists(stReference)) << "a half-written stage would feed the later ones";
  EXPECT_FALSE(e.StageExists(stSolvent));

  const ReferenceResult missingCell = Run(4, ReferenceMode::Jump);
  EXPECT_EQ(missingCell.Outcome, ReferenceOutcome::NotFound);
  EXPECT_NE(missingCell.Message.find("Injection 1 "), std::string::npos);
}

TEST_F(ReferenceStageTest, OtherStopsSwitchTheStageOff) {
  auto flat = [](double t) { return t; };
  Load({{1, 1, 0, 1, 30, flat}, {2, 1, 0, 1, 30, flat}});
  ASSERT_EQ(Run(1, ReferenceMode::Curve).Outcome, ReferenceOutcome::Done);
  const ReferenceResult none = Run(0, ReferenceMode::Curve);
  EXPECT_EQ(none.Outcome, ReferenceOutcome::NoReferenceCell);
  EXPECT_TRUE(none.SwitchOff());
  EXPECT_TRUE(none.Message.empty());
  EXPECT_FALSE(e.StageExists(stReference));

  // Only reference curves in the source: nothing to subtract them from.
  Load({{1, 1, 0, 1, 30, flat}, {1, 2, 0, 1, 30, flat}});
  const ReferenceResult onlyReference = Run(1, ReferenceMode::Curve);
  EXPECT_EQ(onlyReference.Outcome, ReferenceOutcome::Failed);
  EXPECT_EQ(onlyReference.Message,
            "An error occurred while Referencing the data.\nThe Reference function has been turned off.");
  EXPECT_EQ(onlyReference.Caption, "Error");
  EXPECT_TRUE(ws.Messages().empty()) << "no allocation was attempted";
  EXPECT_FALSE(e.StageExists(stReference));
}

TEST_F(ReferenceStageTest, AStageTooSmallForTheSourceIsAllocatedAnew) {
  Load({{1, 1, 0, 1, 40, [](double) { return 1.0; }}, {2, 1, 0, 1, 40, [](double t) { return t; }}});
  ASSERT_TRUE(e.AllocateStage(stReference, 1, 10));  // left from a shorter run
  ASSERT_EQ(Run(1, ReferenceMode::Curve).Outcome, ReferenceOutcome::Done);
  ASSERT_EQ(ref().PointCount[0], 40);
  EXPECT_NEAR(At(0, 39), 38, 1e-9);
}

TEST_F(ReferenceStageTest, DespikesTheOutputWhenAsked) {
  auto spiked = [](double t) { return 10 + 0.01 * t + (t == 20 ? 50 : 0); };
  Load({{1, 1, 0, 1, 40, [](double) { return 0.0; }}, {2, 1, 0, 1, 40, spiked}});
  for (bool despike : {false, true}) {
    ASSERT_EQ(Run(1, ReferenceMode::Curve, "", despike).Outcome, ReferenceOutcome::Done);
    EXPECT_EQ(At(0, 20) > 50, !despike) << despike;
  }
  EXPECT_NEAR(At(0, 20), 10.2, 0.02);
  EXPECT_EQ(e.Stage(stData).ResponseOf(1)[20], spiked(20)) << "the source keeps its spike";
}

TEST_F(ReferenceStageTest, AReferenceNeedsItsOwnCurvesAndAnotherFlowCells) {
  auto flat = [](double t) { return t; };
  Load({{1, 1, 0, 1, 10, flat}, {2, 1, 0, 1, 10, flat}, {1, 2, 0, 1, 10, flat}, {2, 2, 0, 1, 10, flat, true}});
  EXPECT_EQ(CurvesPerFlowCell(e, stData), (std::vector<int>{0, 2, 1})) << "hidden curves are not in the source";
  const std::pair<int, bool> rows[] = {{0, false}, {1, true}, {2, true}, {3, false}};
  for (auto [cell, usable] : rows) EXPECT_EQ(ReferenceCellUsable(e, cell), usable) << cell;

  Load({{1, 1, 0, 1, 10, flat}, {1, 2, 0, 1, 10, flat}});
  EXPECT_FALSE(ReferenceCellUsable(e, 1)) << "a single flow cell";
}

}  // namespace
}  // namespace kelvaris

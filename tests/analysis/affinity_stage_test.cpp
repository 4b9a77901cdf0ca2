#include "analysis/affinity_stage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "affinity_test_run.h"
#include "analysis/affinity_entries.h"
#include "analysis/affinity_texts.h"
#include "model/numbers.h"

namespace kelvaris {
namespace {

using test::AffinityInjection;
using test::AffinityRun;
using test::Isotherm;

const std::vector<double> kConcentrations = {1e-8, 3e-8, 1e-7, 3e-7, 1e-6, 3e-6, 1e-5, 3e-5};

void ExpectClose(double actual, double expected, double relative, const std::string& what) {
  EXPECT_NEAR(actual, expected, std::fabs(expected) * relative) << what;
}

std::vector<AffinityInjection> Join(std::vector<AffinityInjection> a, const std::vector<AffinityInjection>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Noise-free isotherms: the fit lands on the values they were made from.
struct ExactCase {
  const char* reason;
  std::vector<AffinityInjection> data;
  int analytes;
  int localFitted;  // analyte whose Rmax1 is local and fitted; 0 none
  double kd[2];
  double rmax[2];   // per analyte (the shared value twice when global)
};

TEST(AffinityFit, NoiseFreeIsothermsGiveBackTheirKdAndRmax) {
  const ExactCase cases[] = {
      {"one analyte, shared Rmax", Isotherm(1, 1, 42.7, 2.5e-7, kConcentrations), 1, 0, {2.5e-7, 0}, {42.7, 0}},
      {"two analytes share Rmax",
       Join(Isotherm(1, 1, 61.0, 4e-8, kConcentrations), Isotherm(1, 2, 61.0, 6e-6, kConcentrations)), 2, 0,
       {4e-8, 6e-6}, {61.0, 61.0}},
      {"the second analyte has its own Rmax",
       Join(Isotherm(1, 1, 61.0, 4e-8, kConcentrations), Isotherm(1, 2, 23.5, 6e-7, kConcentrations)), 2, 2,
       {4e-8, 6e-7}, {61.0, 23.5}},
  };
  for (const ExactCase& c : cases) {
    AffinityRun run;
    run.Load(c.data, c.analytes, {1});
    if (c.localFitted) run.SetFlags(1, afRmax1Local | afRmax1Fitted, c.localFitted);
    const AffinityResult r = run.Run();
    ASSERT_FALSE(r.Failed) << c.reason;
    EXPECT_EQ(r.Warnings.at(1), "") << c.reason;
    for (int k = 1; k <= c.analytes; ++k) {
      const int q = run.Entry(k);
      ExpectClose(run.T(q, atKd1), c.kd[k - 1], 1e-6, std::string(c.reason) + ": KD");
      ExpectClose(run.R(q, arRmax1), c.rmax[k - 1], 1e-6, std::string(c.reason) + ": Rmax");
    }
    ExpectClose(run.Ligand(1).GlobalRmax, c.rmax[0], 1e-6, std::string(c.reason) + ": global Rmax");
  }
}

TEST(AffinityFit, TwoSitesWithLocalRmaxValues) {
  // 25 RU at 5 nM and 35 RU at 2 uM; local Rmax values, all four free.
  std::vector<double> conc;
  for (int i = 0; i < 14; ++i) conc.push_back(1e-10 * std::pow(3.0, i));
  std::vector<AffinityInjection> data;
  for (double c : conc) data.push_back({1, 1, c, std::vector<double>(6, 25 * c / (5e-9 + c) + 35 * c / (2e-6 + c))});
  AffinityRun run;
  run.Load(data, 1, {1});
  run.SetFlags(1, afTwoSites | afRmax1Local | afRmax1Fitted | afRmax2Local | afRmax2Fitted);
  ASSERT_EQ(run.Run().Warnings.at(1), "");
  const int q = run.Entry(1);
  ExpectClose(run.T(q, atKd1), 5e-9, 1e-6, "KD1");
  ExpectClose(run.T(q, atKd2), 2e-6, 1e-6, "KD2");
  ExpectClose(run.R(q, arRmax1), 25, 1e-6, "Rmax1");
  ExpectClose(run.R(q, arRmax2), 35, 1e-6, "Rmax2");
  EXPECT_EQ(run.T(q, atKd1Shown), run.T(q, atKd1));
  EXPECT_EQ(run.T(q, atKd2Shown), run.T(q, atKd2));
}

TEST(AffinityFit, NoisyDataAgreesWithAnIndependentLeastSquaresSolution) {
  // Two analytes sharing one Rmax, six raw points per injection (true
  // Rmax 55 RU, KD 300 nM and 2 uM, uniform noise of +-1 RU, rounded to
  // 0.001). The reference was computed once by a separate plain-Python
  // Levenberg-Marquardt fit over the 72 raw observations, with
  // central-difference derivatives and its covariance (J'J)^-1 · SSR/(N - M):
  // Rmax 55.13092924(1939709844), KD1 3.012699493e-7(4.520577736e-9),
  // KD2 2.01514806e-6(2.818903885e-8).
  const std::vector<AffinityInjection> data = {
      {1, 1, 3e-8, {5.194, 4.599, 4.663, 5.384, 5.986, 4.205}},
      {1, 1, 9e-8, {13.648, 13.633, 12.180, 12.358, 12.377, 13.240}},
      {1, 1, 2.7e-7, {26.861, 26.632, 25.098, 25.072, 25.918, 26.496}},
      {1, 1, 8.1e-7, {40.304, 39.590, 39.151, 40.262, 39.445, 40.945}},
      {1, 1, 2.43e-6, {49.058, 48.849, 49.887, 49.071, 49.572, 48.878}},
      {1, 1, 7.29e-6, {52.679, 52.614, 53.463, 52.100, 53.495, 53.295}},
      {1, 2, 3e-8, {1.080, 0.022, 0.425, 1.638, 1.037, 0.643}},
      {1, 2, 9e-8, {1.419, 3.124, 1.664, 2.328, 2.187, 1.802}},
      {1, 2, 2.7e-7, {5.875, 5.754, 6.090, 7.173, 6.016, 6.717}},
      {1, 2, 8.1e-7, {16.062, 16.608, 16.147, 15.515, 14.880, 15.887}},
      {1, 2, 2.43e-6, {29.711, 31.114, 30.152, 30.470, 30.366, 30.108}},
      {1, 2, 7.29e-6, {43.235, 42.959, 43.638, 42.404, 42.680, 43.612}},
  };
  AffinityRun run;
  run.Load(data, 2, {1});
  ASSERT_EQ(run.Run().Warnings.at(1), "");
  const int a = run.Entry(1), b = run.Entry(2);
  ASSERT_EQ(run.F(a, apPoints), 6u) << "every raw point of the window is an observation";
  ExpectClose(run.Ligand(1).GlobalRmax, 55.13092924, 1e-4, "Rmax");
  ExpectClose(run.Ligand(1).GlobalRmaxError, 0.1939709844, 1e-4, "error of Rmax");
  ExpectClose(run.T(a, atKd1), 3.012699493e-7, 1e-4, "KD of analyte 1");
  ExpectClose(run.T(a, atKd1Error), 4.520577736e-9, 1e-4, "error of KD 1");
  ExpectClose(run.T(b, atKd1), 2.01514806e-6, 1e-4, "KD of analyte 2");
  ExpectClose(run.T(b, atKd1Error), 2.818903885e-8, 1e-4, "error of KD 2");
  // Every entry of the analyte carries the shared Rmax and its error.
  EXPECT_EQ(run.R(b, arRmax1), run.Ligand(1).GlobalRmax);
  EXPECT_EQ(run.R(b, arRmax1Error), run.Ligand(1).GlobalRmaxError);
}

// Points against free parameters: the fit runs only with more points.
struct CountCase {
  const char* reason;
  int injections;
  int excluded;  // of them, excluded from the fit on the graph
  int flags;     // options on top of the fitted KD
  const char* warning;
};

TEST(AffinityFit, NeedsMorePointsThanFreeParameters) {
  const CountCase cases[] = {
      {"KD and shared Rmax: 2 parameters for 3 points", 3, 0, 0, ""},
      {"two points", 2, 0, 0, "Not enough points for fit for flowcell 1."},
      {"an excluded point does not count", 3, 1, 0, "Not enough points for fit for flowcell 1."},
      {"two sites on one Rmax: 3 parameters for 3 points", 3, 0, afTwoSites,
       "More parameters than points in fit for flowcell 1."},
      {"KD and a local Rmax with the shared one unused: 2 for 3", 3, 0, afRmax1Local | afRmax1Fitted, ""},
  };
  for (const CountCase& c : cases) {
    std::vector<AffinityInjection> data = Isotherm(1, 1, 30, 1e-6, {3e-7, 1e-6, 3e-6, 1e-5});
    data.resize(static_cast<std::size_t>(c.injections));
    for (int i = 0; i < c.excluded; ++i) data[static_cast<std::size_t>(i)].excluded = true;
    AffinityRun run;
    run.Load(data, 1, {1});
    run.SetFlags(1, c.flags);
    const AffinityResult r = run.Run();
    EXPECT_EQ(r.Warnings.at(1), c.warning) << c.reason;
    // Without a fit nothing may read as a result: the starting values stay behind.
    const std::array<std::string, 4> texts = AffinityTexts(run.e, 1, 1, false);
    EXPECT_EQ(texts[0] == kNotComputed, std::string(c.warning) != "") << c.reason << ": " << texts[0];
  }
}

TEST(AffinityFit, AFailedFlowCellLeavesTheOthersFitted) {
  // Flow cell 1 has its shared Rmax fixed at 0: the KD has no effect on any
  // point and the elimination fails.
  AffinityRun run;
  run.Load(Join(Isotherm(1, 1, 30, 1e-6, kConcentrations), Isotherm(2, 1, 30, 1e-6, kConcentrations)), 1, {1, 2});
  run.Ligand(1).GlobalRmaxFitted = 0;
  run.Ligand(1).GlobalRmax = 0;
  const AffinityResult r = run.Run();
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.Warnings.at(1), "Fit failed for flowcell 1.");
  EXPECT_EQ(r.Warnings.at(2), "");
  EXPECT_EQ(FindAffinityResult(run.e, 1, 1), -1) << "the KD1-fitted bit is cleared on flow cell 1";
  ExpectClose(run.T(run.Entry(1, 2), atKd1), 1e-6, 1e-6, "flow cell 2");
  EXPECT_EQ(AffinityTexts(run.e, 1, 1, false)[0], kNotComputed);
}

TEST(AffinityFit, AKdPastTheDisplayLimitShowsAsMinusTheLimit) {
  // KD 1 mM measured up to 1 uM, with Rmax fixed: the limit L is 100 uM.
  // Exact data take chi-square down to the rounding floor, where every
  // further step fails until lambda passes 1e20; that is still a success.
  AffinityRun run;
  run.Load(Isotherm(1, 1, 50, 1e-3, {1e-7, 2e-7, 5e-7, 1e-6}), 1, {1});
  run.Ligand(1).GlobalRmaxFitted = 0;
  run.Ligand(1).GlobalRmax = 50;
  run.Ligand(1).CalcBound = 1;
  ASSERT_EQ(run.Run().Warnings.at(1), "");
  const int q = run.Entry(1);
  ExpectClose(run.T(q, atKd1), 1e-3, 1e-6, "the fitted KD itself");
  EXPECT_DOUBLE_EQ(run.T(q, atKd1Shown), -1e-4);
  const std::array<std::string, 4> texts = AffinityTexts(run.e, 1, 1, false);
  EXPECT_EQ(texts[0].substr(0, 1), "-") << texts[0];
  // 10 uM drug on 680 uM protein with KD 100 uM: 87.03 % at most.
  EXPECT_EQ(texts[2], "< " + FormatFixedWithError(0, PercentBound(run.e, 1, 1e-4)));
  EXPECT_NEAR(PercentBound(run.e, 1, 1e-4), 87.0348, 1e-4);
}

TEST(AffinityFit, TheDisplayLimitIsAHundredTimesTheTopConcentration) {
  struct Row {
    double top;
    double limit;
    const char* reason;
  } rows[] = {
      {1e-6, 1e-4, "100 x the top concentration"},
      {0.01, 1.5, "a limit of exactly 1 M is moved to 1.5 M"},
      {0.02, 3, "and one of exactly 2 M to 3 M"},
  };
  for (const Row& row : rows) {
    AffinityRun run;
    // KD far above the limit (and below the fit's ceiling of 55 M); the top
    // point is the second of three.
    run.Load(Isotherm(1, 1, 50, 10, {row.top / 4, row.top, row.top / 2}), 1, {1});
    run.Ligand(1).GlobalRmaxFitted = 0;
    run.Ligand(1).GlobalRmax = 50;
    ASSERT_EQ(run.Run().Warnings.at(1), "") << row.reason;
    EXPECT_DOUBLE_EQ(run.T(run.Entry(1), atKd1Shown), -row.limit) << row.reason;
  }
}

TEST(AffinityFit, ShowAsPercentScalesResponsesButNotTheRmaxTexts) {
  // Analyte 1 saturates towards a fitted local Rmax, analyte 2 towards a
  // fixed local one of 20 RU.
  AffinityRun run;
  run.Load(Join(Isotherm(1, 1, 80, 1e-8, {1e-9, 1e-8, 1e-7, 1e-6, 1e-5}),
                Isotherm(1, 2, 20, 1e-7, {1e-8, 1e-7, 1e-6, 1e-5, 1e-4})),
           2, {1});
  run.SetFlags(1, afRmax1Local | afRmax1Fitted, 1);
  run.SetFlags(1, afRmax1Local, 2);
  for (TCurveInfo& info : run.e.CurveInfo)
    if (info.Analyte == 2) info.BoundValue = 20;
  ASSERT_EQ(run.Run(true).Warnings.at(1), "");
  const int a = run.Entry(1), b = run.Entry(2);
  const TCurveSet& set = run.Stage();
  double top = 0;
  for (int q = 0; q < set.CurveCount; ++q) top = std::max(top, set.ResponseOf(q)[arBound]);
  EXPECT_NEAR(top, 100, 0.2) << "the response at saturation";
  EXPECT_NEAR(run.R(a, arRmax1), 100, 1e-9);
  EXPECT_TRUE(run.F(a, apScaled) & apbPercent);
  EXPECT_NEAR(run.R(a, arPercentFactor), 100 / 80.0, 1e-6);
  const std::string fitted = RmaxTexts(run.e, 1, 1)[0];
  EXPECT_EQ(fitted.substr(0, 2), "80") << fitted;
  EXPECT_EQ(RmaxTexts(run.e, 2, 1)[0], "20.00") << "a fixed Rmax is shown in RU too";
  EXPECT_NEAR(run.R(b, arRmax1), 100, 1e-9);

  // The next run without the switch starts again from RU.
  ASSERT_EQ(run.Run(false).Warnings.at(1), "");
  EXPECT_FALSE(run.F(run.Entry(1), apScaled) & apbPercent);
  EXPECT_NEAR(run.R(run.Entry(1), arRmax1), 80, 1e-4);
}

TEST(AffinityStage, BuildsTheTableOnEveryRunAndFollowsTheFits) {
  AffinityRun run;
  run.Load(Join(Isotherm(1, 1, 30, 1e-6, kConcentrations), Isotherm(2, 1, 30, 1e-6, {1e-6, 2e-6})), 1, {});
  AffinityResult r = run.Run(false, 2);
  EXPECT_FALSE(run.e.Switches.Affinity) << "no flow cell fitted";
  const TCurveSet& set = run.Stage();
  ASSERT_EQ(set.CurveCount, run.e.Stage(stBound).CurveCount) << "the points are there without a fit";
  for (int q = 0; q < set.CurveCount; ++q) {
    EXPECT_EQ(set.PointCount[q], kAffinitySlots);
    EXPECT_EQ(set.TimeOf(q)[atConcentration], run.e.Stage(stBound).TimeOf(q)[0]);
    EXPECT_EQ(set.ResponseOf(q)[arBound], run.e.Stage(stBound).ResponseOf(q)[0]);
    const bool onTab = set.FlagsOf(q)[apFlowCell] == 2;
    EXPECT_EQ((set.CurveFlags[q] & cfHiddenInGraph) == 0, onTab) << "only the selected tab's points show";
  }
  EXPECT_EQ(FindAffinityResult(run.e, 1, 1), -1);

  // KD flags left on a flow cell whose fit is off give no results.
  run.SetFlags(1, afKd1Fitted);
  r = run.Run();
  EXPECT_EQ(FindAffinityResult(run.e, 1, 1), -1);
  run.Ligand(1).FitOn = 1;
  r = run.Run();
  EXPECT_TRUE(run.e.Switches.Affinity);
  EXPECT_EQ(r.Warnings.size(), run.e.Ligands.size());
  EXPECT_GE(FindAffinityResult(run.e, 1, 1), 0);
}

TEST(AffinityStage, WithoutTheBoundStageThereIsNothingToFit) {
  AffinityRun run;
  run.Load(Isotherm(1, 1, 30, 1e-6, kConcentrations), 1, {1});
  run.e.FreeStages(stBound);
  const AffinityResult r = run.Run();
  EXPECT_TRUE(r.NoBoundStage);
  EXPECT_FALSE(r.Failed);
  EXPECT_FALSE(run.e.StageExists(stAffinity));
}

TEST(GlobalRmaxInUse, OnlyPointsThatReadTheSharedRmaxCount) {
  struct Row {
    int flags;
    bool excluded;
    bool inUse;
    const char* reason;
  } rows[] = {
      {afKd1Fitted, false, true, "Rmax1 shared"},
      {afKd1Fitted | afRmax1Local, false, false, "Rmax1 local, one site"},
      {afKd1Fitted | afRmax1Local | afTwoSites, false, true, "Rmax2 shared"},
      {afKd1Fitted | afRmax1Local | afTwoSites | afRmax2Local, false, false, "both local"},
      {afKd1Fitted, true, false, "the only point is excluded"},
      {0, false, false, "no KD fitted"},
  };
  for (const Row& row : rows) {
    AffinityRun run;
    std::vector<AffinityInjection> data = Isotherm(1, 1, 30, 1e-6, {1e-6});
    data[0].excluded = row.excluded;
    run.Load(data, 1, {});
    run.SetFlags(1, row.flags);
    run.Run();
    EXPECT_EQ(GlobalRmaxInUse(run.e, 1), row.inUse) << row.reason;
  }
}

}  // namespace
}  // namespace kelvaris

#include "analysis/kinetic_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/fit_status.h"
#include "kinetic_test_run.h"

namespace kelvaris {
namespace {

using test::KineticRun;

constexpr double kKa = 2e5, kKd = 5e-3, kRmax = 50;

// Three concentrations of one analyte sharing ka, kd and Rmax with the
// first curve, as the kinetics page links them; fitted from 2× off.
KineticRun SharedRun(double noise = 0) {
  KineticRun run;
  for (double conc : {1e-8, 3e-8, 9e-8}) run.Add(KineticRun::Curve(conc, kKa, kKd, kRmax));
  if (noise > 0) run.AddNoise(noise);
  for (TCurveKinetics& r : run.records) {
    r.slot[ksKa].value = kKa / 2;
    r.slot[ksKd].value = kKd * 2;
    r.slot[ksRmax].value = kRmax * 0.6;
  }
  for (int c : {1, 2})
    for (int s : {ksKa, ksKd, ksRmax}) run.Link(c, s, 0);
  return run;
}

double Relative(double value, double truth) { return std::fabs(value - truth) / std::fabs(truth); }

TEST(KineticFit, RecoversSharedParametersOfLinkedCurvesToSixDigits) {
  KineticRun run = SharedRun();
  ASSERT_EQ(run.Fit(), frOk);
  for (const TCurveKinetics& r : run.records) {
    EXPECT_LT(Relative(r.slot[ksKa].value, kKa), 1e-6);
    EXPECT_LT(Relative(r.slot[ksKd].value, kKd), 1e-6);
    EXPECT_LT(Relative(r.slot[ksRmax].value, kRmax), 1e-6);
  }
  // The followers are no parameters of their own.
  EXPECT_EQ(run.records[1].slot[ksKa].error, 0);
  EXPECT_EQ(run.records[2].kaKdCovariance, 0);
}

TEST(KineticFit, NoisyFitLeavesErrorsCovarianceAndResidualsOfItsValues) {
  KineticRun run = SharedRun(0.5);
  ASSERT_EQ(run.Fit(), frOk);
  const TCurveKinetics& lead = run.records[0];
  EXPECT_LT(Relative(lead.slot[ksKa].value, kKa), 0.05);
  EXPECT_LT(Relative(lead.slot[ksKd].value, kKd), 0.05);
  const double seKa = lead.slot[ksKa].error, seKd = lead.slot[ksKd].error;
  EXPECT_GT(seKa, 0);
  EXPECT_GT(seKd, 0);
  EXPECT_GT(lead.slot[ksRmax].error, 0);
  EXPECT_NE(lead.kaKdCovariance, 0);
  EXPECT_LE(std::fabs(lead.kaKdCovariance), seKa * seKd * (1 + 1e-9)) << "a covariance bounded by the errors";
  // Each curve's residual sum is that of the values left in the records,
  // even when the last trial step was rejected.
  for (std::size_t c = 0; c < run.records.size(); ++c)
    EXPECT_NEAR(run.records[c].residualSumOfSquares, run.ResidualSum(c), 1e-9 * run.ResidualSum(c)) << c;
}

TEST(KineticFit, StandardErrorCountsOnlyThePointsThatEnterChiSquare) {
  // Only Rmax floats and the model is linear in it, so the least-squares
  // answer is known in closed form: Rmax = Σyg/Σg², error² = s²/Σg² with
  // s² = chisq/(n − 1) over the n points from the injection begin.
  KineticRun run;
  run.Add(KineticRun::Curve(1e-7, kKa, kKd, kRmax, 100, 200));
  run.AddNoise(1);
  run.records[0].slot[ksKa].fit = 0;
  run.records[0].slot[ksKd].fit = 0;
  run.records[0].slot[ksRmax].value = 10;
  TCurveKinetics unit = run.records[0];
  unit.slot[ksRmax].value = 1;
  double syg = 0, sgg = 0, n = 0;
  for (std::size_t i = 0; i < run.times[0].size(); ++i) {
    if (run.times[0][i] < 100) continue;
    const double g = test::BindingResponse(unit, run.times[0][i]);
    syg += run.responses[0][i] * g;
    sgg += g * g;
    ++n;
  }
  ASSERT_EQ(run.Fit(), frOk);
  const double rmax = syg / sgg;
  EXPECT_NEAR(run.records[0].slot[ksRmax].value, rmax, 1e-9 * rmax);
  const double chisq = run.ResidualSum(0);
  EXPECT_NEAR(run.records[0].slot[ksRmax].error, std::sqrt(chisq / (n - 1) / sgg), 1e-6 * std::sqrt(chisq / sgg));
}

TEST(KineticFit, ErrorsNeedMorePointsThanParameters) {
  struct Row {
    double tb;
    bool errorsKnown;
    const char* reason;
  };
  const Row rows[] = {
      {298.5, false, "2 points from the injection begin for 2 parameters"},
      {297.5, true, "3 points for 2 parameters"},
  };
  for (const Row& row : rows) {
    KineticRun run;
    run.Add(KineticRun::Curve(1e-7, kKa, kKd, kRmax, row.tb, 400));
    run.AddNoise(1);
    run.records[0].slot[ksKa].fit = 0;
    // Stop at once: the covariance step still runs.
    const int code = run.Fit({}, [](int, int b, double, double) { return b == -3 || b == -4 ? 1 : 0; });
    ASSERT_EQ(code, frUserBreak) << row.reason;
    const TCurveKinetics& r = run.records[0];
    EXPECT_EQ(r.slot[ksKd].error > 0, row.errorsKnown) << row.reason;
    EXPECT_EQ(r.slot[ksRmax].error > 0, row.errorsKnown) << row.reason;
  }
}

TEST(KineticFit, EverythingFixedIsNoParametersBeforeAnyEvaluation) {
  KineticRun run = SharedRun();
  for (TCurveKinetics& r : run.records)
    for (KineticParameter& p : r.slot) {
      p.fit = 0;
      p.error = 3;
    }
  run.records[0].kaKdCovariance = 2;
  int curveCalls = 0;
  const int code = run.Fit({}, [&](int a, int, double, double) {
    if (a == -1) ++curveCalls;
    return 0;
  });
  EXPECT_EQ(code, frNoParameters);
  EXPECT_EQ(FitStatusText(code), "No parameters");
  EXPECT_EQ(curveCalls, 0);
  EXPECT_EQ(run.records[1].slot[ksKd].error, 0) << "old errors are cleared";
  EXPECT_EQ(run.records[0].kaKdCovariance, 0);
}

TEST(KineticFit, AParameterTheModelDoesNotUseHasNoEffect) {
  KineticRun run = SharedRun();
  run.records[0].slot[ksA0].fit = 1;  // the dissociation amplitude of a ka-kd curve
  EXPECT_EQ(run.Fit(), frNoEffect);
}

TEST(KineticFit, IterationLimitKeepsTheBestValuesWithoutErrors) {
  KineticRun run = SharedRun(0.5);
  double before = 0;
  for (std::size_t c = 0; c < 3; ++c) before += run.ResidualSum(c);
  FitControl control;
  control.maxIterations = 2;
  int iterations = 0;
  EXPECT_EQ(run.Fit(control, [&](int a, int b, double, double) {
    if (b == -3 || b == -4) ++iterations;
    return 0;
  }), frIterationLimit);
  EXPECT_EQ(iterations, 2);
  double after = 0;
  for (std::size_t c = 0; c < 3; ++c) after += run.ResidualSum(c);
  EXPECT_LT(after, before);
  for (const TCurveKinetics& r : run.records) {
    for (const KineticParameter& p : r.slot) EXPECT_EQ(p.error, 0);
    EXPECT_EQ(r.kaKdCovariance, 0);
    EXPECT_DOUBLE_EQ(r.slot[ksKa].value, run.records[0].slot[ksKa].value) << "links applied";
  }
}

TEST(KineticFit, StopRequestStillComputesTheErrors) {
  KineticRun run = SharedRun(0.5);
  bool finishing = false;
  const int code = run.Fit({}, [&](int a, int b, double, double) {
    if (a == 0 && b == -2) finishing = true;
    return b == -3 || b == -4 ? 1 : 0;
  });
  EXPECT_EQ(code, frUserBreak);
  EXPECT_EQ(FitStatusText(code), "User break");
  EXPECT_TRUE(finishing);
  EXPECT_GT(run.records[0].slot[ksKa].error, 0);
  EXPECT_NE(run.records[0].kaKdCovariance, 0);
}

TEST(KineticFit, ProgressCallsComeInTheirOrder) {
  struct Row {
    int displayInterval;
    int refreshEvery;  // iterations reported with -4; 0: none
  };
  for (const Row row : {Row{1, 1}, Row{2, 2}, Row{0, 0}}) {
    KineticRun run = SharedRun(0.5);
    FitControl control;
    control.displayInterval = row.displayInterval;
    std::vector<std::vector<int>> calls;
    ASSERT_EQ(run.Fit(control, [&](int a, int b, double lambda, double chisq) {
      calls.push_back({a, b});
      if (b == -3 || b == -4) {
        EXPECT_GT(lambda, 0);
        EXPECT_GT(chisq, 0);
      } else {
        EXPECT_EQ(lambda, 0);
        EXPECT_EQ(chisq, 0);
      }
      return 0;
    }), frOk);
    ASSERT_GE(calls.size(), 8u);
    EXPECT_EQ(calls.front(), (std::vector<int>{-5, 0}));
    EXPECT_EQ(calls.back(), (std::vector<int>{0, -2}));
    // Every evaluation walks the three curves in order.
    EXPECT_EQ(calls[1], (std::vector<int>{-1, 0}));
    EXPECT_EQ(calls[2], (std::vector<int>{-1, 1}));
    EXPECT_EQ(calls[3], (std::vector<int>{-1, 2}));
    int iteration = 0;
    for (const auto& c : calls) {
      if (c[1] != -3 && c[1] != -4) continue;
      EXPECT_EQ(c[0], ++iteration);
      const bool refresh = row.refreshEvery > 0 && iteration % row.refreshEvery == 0;
      EXPECT_EQ(c[1], refresh ? -4 : -3) << "interval " << row.displayInterval << " iteration " << iteration;
    }
    EXPECT_GT(iteration, 1);
  }
}

TEST(KineticFit, RatesStopAtTheirUpperLimit) {
  KineticRun run = SharedRun();
  FitControl control;
  control.rateUpperLimit = 1.5e5;  // below the true ka
  const int code = run.Fit(control);
  EXPECT_TRUE(code == frOk || code == frLimitExceeded) << FitStatusText(code);
  EXPECT_EQ(run.records[0].slot[ksKa].value, 1.5e5);
}

TEST(KineticFit, InjectionBeginMovesAtMostFiveSecondsPerIteration) {
  KineticRun run;
  run.Add(KineticRun::Curve(1e-7, kKa, kKd, kRmax, 10, 110));
  TCurveKinetics& r = run.records[0];
  r.slot[ksStart].value = 40;
  r.slot[ksStart].fit = 1;
  std::vector<double> begins{40};
  const int code = run.Fit({}, [&](int, int b, double, double) {
    if (b == -3 || b == -4) begins.push_back(run.records[0].slot[ksStart].value);
    return 0;
  });
  ASSERT_GT(begins.size(), 3u) << FitStatusText(code);
  // The first report follows two steps: the one that starts the fit and
  // the first of the loop.
  EXPECT_LE(std::fabs(begins[1] - begins[0]), 10 + 1e-9);
  for (std::size_t i = 2; i < begins.size(); ++i) EXPECT_LE(std::fabs(begins[i] - begins[i - 1]), 5 + 1e-9) << i;
  EXPECT_LT(begins.back(), 30) << "it did move";
}

TEST(KineticFit, ACommonInjectionBeginIsFittedToEveryCurve) {
  // Two identical curves injected at 10 s and at 12 s, fitted with one
  // common begin: the best common value lies between the two, not at the
  // leader's own 10 s.
  KineticRun run;
  run.Add(KineticRun::Curve(5e-8, kKa, kKd, kRmax, 10, 110));
  run.Add(KineticRun::Curve(5e-8, kKa, kKd, kRmax, 12, 110));
  for (TCurveKinetics& r : run.records) {
    for (int s : {ksKa, ksKd, ksRmax}) r.slot[s].fit = 0;
    r.slot[ksStart] = {11.5, 0, 0, 1, 1};  // fitted, linked to curve 0
  }
  ASSERT_EQ(run.Fit(), frOk);
  const double tb = run.records[0].slot[ksStart].value;
  EXPECT_GT(tb, 10.5);
  EXPECT_LT(tb, 11.5);
  EXPECT_EQ(run.records[1].slot[ksStart].value, tb);
  EXPECT_GT(run.records[0].slot[ksStart].error, 0);
  EXPECT_EQ(run.records[1].slot[ksStart].error, 0);
}

// A model that fails on its n-th evaluation of a whole curve.
struct FaultRow {
  std::function<int(double*, int)> fault;
  int code;
  const char* reason;
  friend void PrintTo(const FaultRow& r, std::ostream* os) { *os << r.reason; }
};

class KineticFitFaults : public ::testing::TestWithParam<FaultRow> {};

TEST_P(KineticFitFaults, EndTheFitAtTheLastAcceptedValues) {
  const FaultRow& row = GetParam();
  KineticRun run = SharedRun(0.5);
  int curveEvaluations = 0;
  KineticModel model = test::TestModel();
  model.evaluate = [&](TCurveKinetics& r, const double* t, double* v, int n) {
    const int code = test::BindingModel(r, t, v, n);
    if (n > 1 && ++curveEvaluations == 15) return row.fault(v, n);
    return code;
  };
  std::vector<double> accepted;
  const int code = run.Fit({}, [&](int, int b, double, double) {
    if (b == -3 || b == -4)
      accepted = {run.records[0].slot[ksKa].value, run.records[0].slot[ksKd].value, run.records[0].slot[ksRmax].value};
    return 0;
  }, model);
  EXPECT_EQ(code, row.code) << row.reason;
  ASSERT_EQ(accepted.size(), 3u) << "the fault came after some iterations";
  EXPECT_EQ(run.records[0].slot[ksKa].value, accepted[0]) << row.reason;
  EXPECT_EQ(run.records[0].slot[ksKd].value, accepted[1]) << row.reason;
  EXPECT_EQ(run.records[0].slot[ksRmax].value, accepted[2]) << row.reason;
  EXPECT_EQ(run.records[0].slot[ksKa].error, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KineticFitFaults,
    ::testing::Values(FaultRow{[](double*, int) { return int{frWCalcFailed}; }, frWCalcFailed, "the model's own code"},
                      FaultRow{[](double* v, int) {
                                 v[3] = std::numeric_limits<double>::quiet_NaN();
                                 return 0;
                               },
                               frMathError, "a NaN response"},
                      FaultRow{[](double* v, int) {
                                 v[0] = std::numeric_limits<double>::infinity();
                                 return 0;
                               },
                               frMathError, "an overflow"},
                      FaultRow{[](double*, int) -> int { throw std::runtime_error("boom"); }, frMathError,
                               "an exception"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(KineticFit, ASuppliedDerivativeFunctionReplacesTheCentralDifferences) {
  int calls = 0;
  bool fail = false;
  KineticModel model = test::TestModel();
  model.derivatives = [&](std::span<FitParameterEntry> entries, int curve, TCurveKinetics& r, double t) {
    ++calls;
    if (fail) return int{frWCalcFailed};
    return NumericalDerivatives(test::BindingModel, entries, curve, r, t);
  };
  KineticRun run = SharedRun();
  EXPECT_EQ(run.Fit({}, {}, model), frOk);
  EXPECT_GT(calls, 0);
  EXPECT_LT(Relative(run.records[2].slot[ksKd].value, kKd), 1e-6);
  fail = true;
  KineticRun again = SharedRun();
  EXPECT_EQ(again.Fit({}, {}, model), frWCalcFailed);
}

TEST(KineticFit, ArraysThatDoNotFitTheRecordsAreRefusedUntouched) {
  struct Row {
    std::function<void(KineticRun&, KineticFitCurves&, int& last)> spoil;
    const char* reason;
  };
  std::vector<int> badRaw;
  const Row rows[] = {
      {[&](KineticRun& run, KineticFitCurves& c, int&) {
         badRaw = run.raw;
         badRaw[1] = 7;
         c.rawCurve = badRaw;
       },
       "a raw curve without a record"},
      {[&](KineticRun& run, KineticFitCurves& c, int&) {
         badRaw = run.raw;
         badRaw[2] = 0;
         c.rawCurve = badRaw;
       },
       "one record fitted twice"},
      {[](KineticRun& run, KineticFitCurves&, int&) { run.Link(2, ksKd, 3); }, "a link to a missing curve"},
      {[](KineticRun& run, KineticFitCurves&, int&) { run.counts[1] = -1; }, "a negative point count"},
      {[](KineticRun& run, KineticFitCurves&, int& last) { last = 3; }, "positions past the arrays"},
  };
  for (const Row& row : rows) {
    KineticRun run = SharedRun();
    run.records[0].slot[ksKa].error = 7;
    KineticFitCurves curves = run.Curves();
    int last = 2;
    row.spoil(run, curves, last);
    EXPECT_EQ(RunKineticFit(0, last, curves, {}, {}, run.records, test::TestModel()), frBadArray) << row.reason;
    EXPECT_EQ(run.records[0].slot[ksKa].error, 7) << row.reason;
    EXPECT_EQ(run.records[0].slot[ksKa].value, kKa / 2) << row.reason;
  }
}

TEST(KineticFit, AStageCurveSetFitsLikeItsArrays) {
  KineticRun run = SharedRun(0.5);
  TCurveSet stage;
  stage.Allocate(3, static_cast<int>(run.times[0].size()));
  for (int c = 0; c < 3; ++c) {
    stage.PointCount[c] = static_cast<int>(run.times[c].size());
    stage.SourceCurve[c] = c;
    std::copy(run.times[c].begin(), run.times[c].end(), stage.TimeOf(c));
    std::copy(run.responses[c].begin(), run.responses[c].end(), stage.ResponseOf(c));
  }
  std::vector<TCurveKinetics> records = run.records;
  ASSERT_EQ(RunKineticFit(0, 2, stage, {}, {}, records, test::TestModel()), frOk);
  ASSERT_EQ(run.Fit(), frOk);
  EXPECT_EQ(records[0].slot[ksKa].value, run.records[0].slot[ksKa].value);
  EXPECT_EQ(records[0].slot[ksKa].error, run.records[0].slot[ksKa].error);
  stage.PointCount[1] = stage.Capacity + 1;
  EXPECT_EQ(RunKineticFit(0, 2, stage, {}, {}, records, test::TestModel()), frBadArray);
}

}  // namespace
}  // namespace kelvaris

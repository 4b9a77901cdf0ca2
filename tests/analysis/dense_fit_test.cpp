#include "analysis/dense_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/fit_status.h"

namespace kelvaris {
namespace {

// NIST StRD nonlinear regression reference sets: data, starting values and
// certified results as published.
struct NistSet {
  std::string name;
  std::vector<double> x, y;
  std::vector<double> start;
  std::vector<double> certified, certifiedSd;
  double certifiedRss;
  DenseModel model;  // a = {b1, b2, ...}
};

const std::vector<double> kMisraX = {77.6, 114.9, 141.1, 190.8, 239.9, 289.0, 332.8,
                                     378.4, 434.8, 477.3, 536.8, 593.1, 689.1, 760.0};
const std::vector<double> kMisraY = {10.07, 14.73, 17.94, 23.93, 29.61, 35.18, 40.02,
                                     44.82, 50.76, 55.05, 61.01, 66.40, 75.47, 81.78};

// y = b1·(1 − exp(−b2·x))
DenseModel Misra1aModel() {
  return [](std::span<const double> a, int i, double& value, std::span<double> d) {
    const double x = kMisraX[static_cast<std::size_t>(i)], e = std::exp(-a[1] * x);
    value = a[0] * (1 - e);
    d[0] = 1 - e;
    d[1] = a[0] * x * e;
    return 0;
  };
}

const std::vector<double> kMgh09X = {4.0, 2.0, 1.0, 0.5, 0.25, 0.167, 0.125, 0.1, 0.0833, 0.0714, 0.0625};
const std::vector<double> kMgh09Y = {0.1957, 0.1947, 0.1735, 0.1600, 0.0844, 0.0627,
                                     0.0456, 0.0342, 0.0323, 0.0235, 0.0246};

// y = b1·(x² + x·b2) / (x² + x·b3 + b4)
DenseModel Mgh09Model() {
  return [](std::span<const double> a, int i, double& value, std::span<double> d) {
    const double x = kMgh09X[static_cast<std::size_t>(i)];
    const double n = x * x + x * a[1], den = x * x + x * a[2] + a[3];
    value = a[0] * n / den;
    d[0] = n / den;
    d[1] = a[0] * x / den;
    d[2] = -a[0] * n * x / (den * den);
    d[3] = -a[0] * n / (den * den);
    return 0;
  };
}

NistSet Misra1a(std::vector<double> start) {
  return {"Misra1a", kMisraX, kMisraY, std::move(start), {2.3894212918E+02, 5.5015643181E-04},
          {2.7070075241E+00, 7.2668688436E-06}, 1.2455138894E-01, Misra1aModel()};
}

NistSet Mgh09(std::vector<double> start) {
  return {"MGH09",
          kMgh09X,
          kMgh09Y,
          std::move(start),
          {1.9280693458E-01, 1.9128232873E-01, 1.2305650693E-01, 1.3606233068E-01},
          {1.1435312227E-02, 1.9633220911E-01, 8.0842031232E-02, 9.0025542308E-02},
          3.0750560385E-04,
          Mgh09Model()};
}

std::vector<DensePoint> Points(const std::vector<double>& y) {
  std::vector<DensePoint> points;
  for (double v : y) points.push_back(DensePoint::Single(v));
  return points;
}

struct NistRow {
  NistSet set;
  const char* start;
  friend void PrintTo(const NistRow& r, std::ostream* os) { *os << r.set.name << " from " << r.start; }
};

class NistReference : public ::testing::TestWithParam<NistRow> {};

// Certified values to 6 significant digits, their standard deviations and
// the residual sum of squares to 5. No decrease counts as small here: the
// fit runs until no step lowers chi-square any more and lambda passes 1e20,
// so it ends at the minimum as far as double arithmetic finds it.
TEST_P(NistReference, MatchesTheCertifiedValues) {
  const NistSet& s = GetParam().set;
  std::vector<double> a = s.start;
  const std::vector<unsigned char> fit(a.size(), 1);
  const std::vector<DensePoint> points = Points(s.y);
  TDenseFitter fitter({a, fit, {}, points, s.model, {}});
  ASSERT_TRUE(fitter.Valid());
  DenseStopRule rule;
  rule.relativeChange = 0;
  const DenseFitOutcome out = RunDenseFit(fitter, rule);
  EXPECT_EQ(out.code, frOk);
  EXPECT_LT(out.steps, rule.maxSteps) << "it ended by lambda passing 1e20";
  EXPECT_NEAR(fitter.ChiSquare(), s.certifiedRss, 1e-5 * s.certifiedRss);
  EXPECT_EQ(fitter.Observations(), static_cast<double>(s.y.size()));
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_NEAR(a[i], s.certified[i], 1e-6 * std::fabs(s.certified[i])) << "b" << i + 1;
    EXPECT_NEAR(fitter.StandardError(static_cast<int>(i)), s.certifiedSd[i], 1e-5 * s.certifiedSd[i]) << "b" << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Certified, NistReference,
                         ::testing::Values(NistRow{Misra1a({500, 1e-4}), "start 1"},
                                           NistRow{Misra1a({250, 5e-4}), "start 2"},
                                           NistRow{Mgh09({25, 39, 41.5, 39}), "start 1"},
                                           NistRow{Mgh09({0.25, 0.39, 0.415, 0.39}), "start 2"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(DenseFit, TheUsualRuleStopsNearTheMinimum) {
  std::vector<double> a = {500, 1e-4};
  const std::vector<unsigned char> fit = {1, 1};
  const std::vector<DensePoint> points = Points(kMisraY);
  TDenseFitter fitter({a, fit, {}, points, Misra1aModel(), {}});
  const DenseFitOutcome out = RunDenseFit(fitter);
  EXPECT_TRUE(out.converged);
  EXPECT_LT(out.steps, 1000);
  EXPECT_NEAR(a[0], 2.3894212918E+02, 1e-3 * 2.3894212918E+02);
  EXPECT_NEAR(a[1], 5.5015643181E-04, 1e-3 * 5.5015643181E-04);
}

TEST(DenseFit, AGroupedPointCountsAsItsObservationsAndAnExcludedOneNotAtAll) {
  // Every observation of Misra1a twice, at y − 0.05 and y + 0.05: once as
  // 28 single points, once as 14 points of two; plus a wild point left out.
  std::vector<double> singles;
  std::vector<DensePoint> grouped;
  for (double y : kMisraY) {
    singles.push_back(y - 0.05);
    singles.push_back(y + 0.05);
    grouped.push_back({2 * y, (y - 0.05) * (y - 0.05) + (y + 0.05) * (y + 0.05), 2, true});
  }
  grouped.push_back({1e6, 1e12, 1, false});
  std::vector<DensePoint> single = Points(singles);
  const DenseModel base = Misra1aModel();
  const DenseModel twice = [&](std::span<const double> a, int i, double& v, std::span<double> d) {
    return base(a, i / 2, v, d);
  };
  const DenseModel withWild = [&](std::span<const double> a, int i, double& v, std::span<double> d) {
    return base(a, i < 14 ? i : 0, v, d);
  };
  std::vector<double> a1 = {250, 5e-4}, a2 = a1;
  const std::vector<unsigned char> fit = {1, 1};
  TDenseFitter one({a1, fit, {}, single, twice, {}});
  TDenseFitter two({a2, fit, {}, grouped, withWild, {}});
  ASSERT_TRUE(RunDenseFit(one).converged);
  ASSERT_TRUE(RunDenseFit(two).converged);
  EXPECT_EQ(two.Observations(), 28);
  EXPECT_NEAR(two.ChiSquare(), one.ChiSquare(), 1e-9 * one.ChiSquare());
  EXPECT_NEAR(a2[0], a1[0], 1e-9 * a1[0]);
  EXPECT_NEAR(a2[1], a1[1], 1e-9 * a1[1]);
  EXPECT_NEAR(two.StandardError(0), one.StandardError(0), 1e-7 * one.StandardError(0));
  // The spread within each pair is part of chi-square: 28 × 0.05² more.
  std::vector<double> a3 = {250, 5e-4};
  const std::vector<DensePoint> plain = Points(kMisraY);
  TDenseFitter three({a3, fit, {}, plain, base, {}});
  ASSERT_TRUE(RunDenseFit(three).converged);
  EXPECT_NEAR(two.ChiSquare(), 2 * three.ChiSquare() + 28 * 0.0025, 1e-9);
}

TEST(DenseFit, ScaleFixedElementsAndLimitsShapeTheResult) {
  // b1 held at most 200 before every evaluation, b2 free, a third element
  // fixed; errors of b2 scaled by 3.
  std::vector<double> a = {250, 5e-4, 42};
  const std::vector<unsigned char> fit = {1, 1, 0};
  const std::vector<double> scale = {1, 3, 5};
  const std::vector<DensePoint> points = Points(kMisraY);
  int limited = 0;
  TDenseFitter fitter({a, fit, scale, points, Misra1aModel(), [&](std::span<double> p) {
                         ++limited;
                         if (p[0] > 200) p[0] = 200;
                       }});
  ASSERT_TRUE(RunDenseFit(fitter).converged);
  EXPECT_EQ(a[0], 200);
  EXPECT_EQ(a[2], 42);
  EXPECT_GT(limited, 2);
  EXPECT_EQ(fitter.StandardError(2), 0);
  EXPECT_EQ(fitter.FreeCount(), 2);
  // The same fit unscaled gives a third of b2's error.
  std::vector<double> b = {250, 5e-4, 42};
  TDenseFitter plain({b, fit, {}, points, Misra1aModel(), [](std::span<double> p) {
                        if (p[0] > 200) p[0] = 200;
                      }});
  ASSERT_TRUE(RunDenseFit(plain).converged);
  EXPECT_NEAR(fitter.StandardError(1), 3 * plain.StandardError(1), 1e-12);
}

TEST(DenseFit, FailuresSetLambdaToMinusOne) {
  struct Row {
    std::vector<unsigned char> fit;
    DenseModel model;
    int code;
    const char* reason;
  };
  const Row rows[] = {
      {{1, 1},
       [](std::span<const double> a, int i, double& v, std::span<double> d) {
         v = a[0];
         d[0] = 1;  // b2 changes nothing
         return 0;
       },
       frNoEffect, "a free element without effect"},
      {{1, 1},
       [](std::span<const double>, int, double& v, std::span<double>) {
         v = std::nan("");
         return 0;
       },
       frMathError, "a model value that is not a number"},
      {{1}, Misra1aModel(), frBadArray, "fit flags of another size"},
      {{0, 0}, Misra1aModel(), frBadArray, "nothing free"},
  };
  for (const Row& row : rows) {
    std::vector<double> a = {250, 5e-4};
    const std::vector<DensePoint> points = Points(kMisraY);
    TDenseFitter fitter({a, row.fit, {}, points, row.model, {}});
    const DenseFitOutcome out = RunDenseFit(fitter);
    EXPECT_FALSE(out.converged) << row.reason;
    EXPECT_EQ(out.code, row.code) << row.reason;
    EXPECT_EQ(out.steps, 1) << row.reason;
    EXPECT_EQ(fitter.Lambda(), -1) << row.reason;
    EXPECT_EQ(a[0], 250) << row.reason;
  }
}

}  // namespace
}  // namespace kelvaris

#include "processing/despike.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvaris {
namespace {

struct Curve {
  std::vector<double> t, r;
  explicit Curve(int n, double drift = 0.01) {
    for (int i = 0; i < n; ++i) {
      t.push_back(i * 0.5);
      r.push_back(10 + drift * i);
    }
  }
  void Despike() { DespikeCurve(t.data(), r.data(), static_cast<int>(r.size())); }
};

TEST(Despike, ASinglePointSpikeIsLoweredToItsNeighbours) {
  Curve c(40);
  const double before = c.r[20];
  c.r[20] += 50;
  c.Despike();
  EXPECT_NEAR(c.r[20], before, 0.02);
  EXPECT_DOUBLE_EQ(c.r[19], 10 + 0.19);
  EXPECT_DOUBLE_EQ(c.r[21], 10 + 0.21);
}

TEST(Despike, ADipIsRaisedBack) {
  Curve c(40);
  for (int i = 15; i < 18; ++i) c.r[i] -= 30;  // three points down, then back up
  c.Despike();
  for (int i = 15; i < 18; ++i) EXPECT_NEAR(c.r[i], 10 + 0.01 * i, 0.02) << i;
}

TEST(Despike, EdgesTenPointsApartStay) {
  // Without drift: every small rise of a drifting curve near an edge counts
  // as the other half of a spike and takes its small step off.
  Curve c(60, 0);
  for (int i = 20; i < 30; ++i) c.r[i] += 40;  // an injection of ten points
  const std::vector<double> before = c.r;
  c.Despike();
  EXPECT_EQ(c.r, before);
}

TEST(Despike, CurvesOfTwentyPointsOrFewerAreLeftAlone) {
  Curve shortCurve(20), longCurve(21);
  shortCurve.r[10] += 50;
  longCurve.r[10] += 50;
  shortCurve.Despike();
  longCurve.Despike();
  EXPECT_GT(shortCurve.r[10], 50);
  EXPECT_LT(longCurve.r[10], 11);
}

}  // namespace
}  // namespace kelvaris

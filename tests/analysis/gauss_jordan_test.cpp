#include "analysis/gauss_jordan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/fit_status.h"

namespace kelvaris {
namespace {

constexpr FitReal kNaN = std::numeric_limits<FitReal>::quiet_NaN();

struct SolveCase {
  std::vector<FitReal> a;  // row-major
  std::vector<FitReal> b;
  int code;
  std::vector<FitReal> x;  // expected solution when code is 0
  std::string reason;
  friend void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.reason; }
};

class GaussJordanCases : public ::testing::TestWithParam<SolveCase> {};

TEST_P(GaussJordanCases, SolvesOrReportsWhyNot) {
  const SolveCase& c = GetParam();
  std::vector<FitReal> a = c.a, b = c.b;
  const int m = static_cast<int>(b.size());
  ASSERT_EQ(GaussJordan(a.data(), b.data(), m), c.code) << c.reason;
  if (c.code != frOk) return;
  for (int i = 0; i < m; ++i) EXPECT_NEAR(static_cast<double>(b[i]), static_cast<double>(c.x[i]), 1e-14) << c.reason;
  // a now holds the inverse: inverse × original is the identity.
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < m; ++j) {
      FitReal sum = 0;
      for (int k = 0; k < m; ++k) sum += a[i * m + k] * c.a[k * m + j];
      EXPECT_NEAR(static_cast<double>(sum), i == j ? 1.0 : 0.0, 1e-14) << c.reason << " at " << i << "," << j;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GaussJordanCases,
    ::testing::Values(
        SolveCase{{4}, {2}, frOk, {0.5}, "one equation"},
        SolveCase{{0, 2, 1, 1, 0, 3, 2, 1, 0}, {7, 10, 4}, frOk, {1, 2, 3},
                  "zero diagonal: the pivots must come off the diagonal and the swaps be undone"},
        SolveCase{{1e-12, 1, 1, 1}, {1, 2}, frOk, {1 / (1 - 1e-12L), (1 - 2e-12L) / (1 - 1e-12L)},
                  "a tiny first element is not used as the pivot"},
        SolveCase{{1, 2, 2, 4}, {1, 2}, frNoEffect, {}, "dependent rows leave a zero pivot"},
        SolveCase{{1, 0, 0, 0}, {1, 0}, frNoEffect, {}, "a parameter without effect: zero row and column"},
        SolveCase{{1, kNaN, kNaN, kNaN}, {1, 1}, frGaussFailed, {},
                  "NaN leaves no pivot for the second column: the used column would be chosen again"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(FitStatusTextTable, EveryCodeHasItsText) {
  struct Row {
    int code;
    const char* text;
  };
  const Row rows[] = {{0, "Fit OK"},          {1, "Iteration limit reached"}, {2, "Limit exceeded"},
                      {3, "Parameter has no effect"}, {4, "Gauss failed"}, {5, "No parameters"},
                      {6, "W calc failed"},   {7, "Multiple link"},           {8, "User break"},
                      {9, "Bad array format"}, {10, "Math error"},            {11, "Abort fit"},
                      {12, "Unknown error"},  {-1, "Unknown error"}};
  for (const Row& r : rows) EXPECT_EQ(FitStatusText(r.code), r.text) << r.code;
}

}  // namespace
}  // namespace kelvaris

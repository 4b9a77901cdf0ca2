#include "analysis/gauss_jordan.h"

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "analysis/fit_status.h"

namespace kelvaris {

namespace {

struct Pivot {
  int row = -1;
  int col = -1;
};

// The largest element among the rows and columns not pivoted yet; a later
// element wins a tie. NaN never compares, so a matrix of NaN finds none.
Pivot FindPivot(const FitReal* a, int m, const std::vector<char>& used) {
  Pivot p;
  FitReal big = 0;
  for (int j = 0; j < m; ++j) {
    if (used[static_cast<std::size_t>(j)]) continue;
    for (int k = 0; k < m; ++k) {
      if (used[static_cast<std::size_t>(k)]) continue;
      const FitReal v = std::fabs(a[static_cast<std::size_t>(j) * m + k]);
      if (v >= big) {
        big = v;
        p = {j, k};
      }
    }
  }
  return p;
}

void SwapRows(FitReal* a, FitReal* b, int m, int r1, int r2) {
  for (int k = 0; k < m; ++k) std::swap(a[static_cast<std::size_t>(r1) * m + k], a[static_cast<std::size_t>(r2) * m + k]);
  std::swap(b[r1], b[r2]);
}

// Scales the pivot row and clears the pivot column from every other row.
void Eliminate(FitReal* a, FitReal* b, int m, int col) {
  FitReal* pivotRow = a + static_cast<std::size_t>(col) * m;
  const FitReal inverse = 1 / pivotRow[col];
  pivotRow[col] = 1;
  for (int k = 0; k < m; ++k) pivotRow[k] *= inverse;
  b[col] *= inverse;
  for (int r = 0; r < m; ++r) {
    if (r == col) continue;
    FitReal* row = a + static_cast<std::size_t>(r) * m;
    const FitReal factor = row[col];
    row[col] = 0;
    for (int k = 0; k < m; ++k) row[k] -= pivotRow[k] * factor;
    b[r] -= b[col] * factor;
  }
}

}  // namespace

int GaussJordan(FitReal* a, FitReal* b, int m) {
  if (m < 1) return frOk;
  const std::size_t n = static_cast<std::size_t>(m);
  std::vector<char> used(n, 0);
  std::vector<int> swappedRow(n), swappedCol(n);
  for (int i = 0; i < m; ++i) {
    const Pivot p = FindPivot(a, m, used);
    if (p.col < 0 || used[static_cast<std::size_t>(p.col)]) return frGaussFailed;
    used[static_cast<std::size_t>(p.col)] = 1;
    if (p.row != p.col) SwapRows(a, b, m, p.row, p.col);
    swappedRow[static_cast<std::size_t>(i)] = p.row;
    swappedCol[static_cast<std::size_t>(i)] = p.col;
    if (a[static_cast<std::size_t>(p.col) * m + p.col] == 0) return frNoEffect;
    Eliminate(a, b, m, p.col);
  }
  // The row swaps of the pivots show up as column swaps of the inverse.
  for (int i = m - 1; i >= 0; --i) {
    const int r = swappedRow[static_cast<std::size_t>(i)], c = swappedCol[static_cast<std::size_t>(i)];
    if (r == c) continue;
    for (int k = 0; k < m; ++k) std::swap(a[static_cast<std::size_t>(k) * m + r], a[static_cast<std::size_t>(k) * m + c]);
  }
  return frOk;
}

}  // namespace kelvaris

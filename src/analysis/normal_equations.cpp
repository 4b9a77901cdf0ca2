#include "analysis/normal_equations.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kelvaris {

void TNormalEquations::Resize(int m, int groupCount) {
  size = std::max(m, 0);
  const std::size_t n = static_cast<std::size_t>(size);
  alpha.resize(n * n);
  beta.resize(n);
  groups.resize(static_cast<std::size_t>(std::max(groupCount, 0)));
}

void TNormalEquations::Clear() {
  std::fill(alpha.begin(), alpha.end(), FitReal(0));
  std::fill(beta.begin(), beta.end(), FitReal(0));
  std::fill(groups.begin(), groups.end(), FitReal(0));
  chisq = 0;
  points = 0;
}

void TNormalEquations::AddPoint(std::span<const int> index, const FitReal* d, FitReal residual, FitReal weight) {
  const std::size_t m = static_cast<std::size_t>(size);
  for (std::size_t a = 0; a < index.size(); ++a) {
    const std::size_t j = static_cast<std::size_t>(index[a]);
    const FitReal wd = weight * d[a];
    beta[j] += wd * residual;
    FitReal* row = alpha.data() + j * m;
    for (std::size_t b = 0; b < index.size(); ++b) row[index[b]] += wd * d[b];
  }
}

bool TNormalEquations::Finite() const {
  if (!std::isfinite(chisq)) return false;
  auto finite = [](FitReal v) { return std::isfinite(v); };
  return std::all_of(alpha.begin(), alpha.end(), finite) && std::all_of(beta.begin(), beta.end(), finite) &&
         std::all_of(groups.begin(), groups.end(), finite);
}

}  // namespace kelvaris

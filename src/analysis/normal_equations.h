// Chi-square, gradient and curvature of a least-squares problem at one set
// of parameter values, accumulated in extended precision.
#pragma once

#include <span>
#include <vector>

#include "analysis/fit_real.h"

namespace kelvaris {

struct TNormalEquations {
  int size = 0;                 // M, the number of free parameters
  std::vector<FitReal> alpha;   // M × M curvature, row-major
  std::vector<FitReal> beta;    // M, gradient: sum of weight · residual · derivative
  std::vector<FitReal> groups;  // chi-square by group (the kinetic fit: by curve); may be empty
  FitReal chisq = 0;
  double points = 0;            // observations that entered chi-square

  // Sizes the arrays; their contents are then undefined until Clear.
  void Resize(int m, int groupCount);
  void Clear();
  // Adds one point whose nonzero derivatives are d[i] with respect to
  // parameter index[i]: beta += w·r·d, alpha += w·d·dᵀ. Chi-square is the
  // caller's, since not every objective is a plain sum of w·r².
  void AddPoint(std::span<const int> index, const FitReal* d, FitReal residual, FitReal weight);
  // Everything finite: an overflow or NaN anywhere is an arithmetic fault.
  bool Finite() const;
};

}  // namespace kelvaris

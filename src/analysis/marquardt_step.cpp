#include "analysis/marquardt_step.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "analysis/fit_status.h"
#include "analysis/gauss_jordan.h"

namespace kelvaris {

namespace {

// The objective, with every fault of the problem's code turned into a code.
int SafeEvaluate(TFitProblem& problem, TNormalEquations& out) {
  int code = frOk;
  try {
    out.Clear();
    code = problem.Evaluate(out);
  } catch (...) {
    return frMathError;
  }
  if (code != frOk) return code;
  return out.Finite() ? frOk : frMathError;
}

// alpha with its diagonal scaled by 1 + lambda, and beta, ready for the solver.
void LoadDampedSystem(TMarquardtState& s) {
  const int m = s.Size();
  s.work = s.current.alpha;
  s.solution = s.current.beta;
  const FitReal scale = 1 + static_cast<FitReal>(s.lambda);
  for (int j = 0; j < m; ++j) s.work[static_cast<std::size_t>(j) * m + j] *= scale;
}

// Finite, and small enough to be handed back as a double.
bool AllFinite(const std::vector<FitReal>& v) {
  constexpr FitReal kLargest = std::numeric_limits<double>::max();
  for (FitReal x : v)
    if (!(std::fabs(x) <= kLargest)) return false;
  return true;
}

}  // namespace

void TMarquardtState::Resize(int m, int groupCount) {
  current.Resize(m, groupCount);
  trial.Resize(m, groupCount);
  const std::size_t n = static_cast<std::size_t>(current.size);
  work.assign(n * n, 0);
  solution.assign(n, 0);
}

FitReal TMarquardtState::Covariance(int j, int k) const {
  const int m = Size();
  if (j < 0 || k < 0 || j >= m || k >= m) return 0;
  return work[static_cast<std::size_t>(j) * m + k];
}

int MarquardtStep(TFitProblem& problem, TMarquardtState& s, const MarquardtLimits& limits) {
  if (s.lambda < 0) {
    s.lambda = 0.001;
    if (const int code = SafeEvaluate(problem, s.current)) return code;
    s.started = true;
  }
  LoadDampedSystem(s);
  if (const int code = GaussJordan(s.work.data(), s.solution.data(), s.Size())) return code;
  if (s.lambda == 0) return AllFinite(s.work) ? frOk : frMathError;
  if (!AllFinite(s.solution)) return frMathError;

  problem.SaveParameters();
  problem.TakeStep(s.solution);
  if (const int code = SafeEvaluate(problem, s.trial)) {
    // A trial that faults is no result: go back to the accepted values.
    problem.RestoreParameters();
    return code;
  }
  if (!(s.trial.chisq < s.current.chisq)) {
    problem.RestoreParameters();
    s.lambda *= 10;
    if (s.lambda > limits.lambdaMax) return frLimitExceeded;
    return frOk;
  }
  // Lambda may shrink for ever without a lower limit; it must not reach 0,
  // which would mean the final step.
  s.lambda = std::max(s.lambda * 0.1, std::numeric_limits<double>::min());
  std::swap(s.current, s.trial);
  if (s.lambda < limits.lambdaMin) return frLimitExceeded;
  return frOk;
}

}  // namespace kelvaris

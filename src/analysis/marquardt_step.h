// The damped normal-equations step shared by the kinetic and the dense fit.
#pragma once

#include <limits>
#include <span>
#include <vector>

#include "analysis/fit_real.h"
#include "analysis/normal_equations.h"

namespace kelvaris {

// What the step needs from a driver: the objective at the current values,
// and a way to try a step and take it back.
class TFitProblem {
 public:
  virtual ~TFitProblem() = default;
  // Fills `out` (already sized) at the current parameter values; 0 or a
  // result code.
  virtual int Evaluate(TNormalEquations& out) = 0;
  virtual void SaveParameters() = 0;
  // Adds delta[j] to free parameter j and keeps it within its limits.
  virtual void TakeStep(std::span<const FitReal> delta) = 0;
  virtual void RestoreParameters() = 0;
};

// Lambda limits that end the fit with frLimitExceeded; the defaults never do.
struct MarquardtLimits {
  double lambdaMin = 0;
  double lambdaMax = std::numeric_limits<double>::infinity();
};

// Lambda and the accepted objective persist between the steps of one fit.
struct TMarquardtState {
  double lambda = -1;       // < 0: the next step starts the fit; 0: the next step only inverts alpha
  bool started = false;     // `current` holds the objective at the accepted values
  TNormalEquations current;
  TNormalEquations trial;
  std::vector<FitReal> work;      // M × M; after a step with lambda 0, the inverse of alpha
  std::vector<FitReal> solution;  // M

  void Resize(int m, int groupCount);
  int Size() const { return current.size; }
  // The unscaled covariance after a step with lambda 0.
  FitReal Covariance(int j, int k) const;
};

// One Levenberg-Marquardt step. The first call (lambda < 0) evaluates the
// starting values with lambda 0.001; a call with lambda 0 leaves the inverse
// of alpha in state.work and changes nothing else. A trial that does not
// lower chi-square is undone and lambda grows tenfold; an accepted one
// shrinks it tenfold. Returns 0, a code of GaussJordan or of the problem's
// evaluation (the parameters are then those of the last accepted step),
// frLimitExceeded, or frMathError for a non-finite step or objective.
int MarquardtStep(TFitProblem& problem, TMarquardtState& state, const MarquardtLimits& limits);

}  // namespace kelvaris

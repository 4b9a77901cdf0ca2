// The multi-curve kinetic fit: the kinetic parameters of a contiguous run of
// curves fitted at once, with fixed, floating and linked parameters.
#pragma once

#include <functional>
#include <span>

#include "analysis/fit_control.h"
#include "analysis/kinetic_model.h"
#include "model/curve_kinetics.h"
#include "model/curve_set.h"

namespace kelvaris {

// Called with (a, b, lambda, chisq); a nonzero answer asks the fit to stop.
//   (-5, 0)          once, when the fit initialises
//   (-1, position)   before each curve in every evaluation (answer ignored)
//   (iteration, -4)  after an iteration that is a multiple of the display interval
//   (iteration, -3)  after every other iteration
//   (0, -2)          once, when the fit is finishing
// lambda and chisq are the damping factor and chi-square for -3 and -4, else 0.
using FitProgress = std::function<int(int a, int b, double lambda, double chisq)>;

// The kinetic stage's curves, one element per curve position.
struct KineticFitCurves {
  std::span<const double* const> times;      // s
  std::span<const double* const> responses;  // RU
  std::span<const int> pointCounts;
  std::span<const int> rawCurve;  // position → raw curve, the index of its record
};

// Fits positions first to last (inclusive). On return the records hold the
// fitted values, their standard errors (when the covariance step ran), each
// curve's ka–kd covariance and the residual sum of squares of the values
// left in the record. Returns a FitResult code; frBadArray when the arrays
// or a link target do not fit the records (nothing is changed then).
int RunKineticFit(int first, int last, const KineticFitCurves& curves, const FitProgress& progress,
                  const FitControl& control, std::span<TCurveKinetics> records, const KineticModel& model = {});

// The same over the curves of a stage's curve set, whose SourceCurve maps
// positions to raw curves.
int RunKineticFit(int first, int last, const TCurveSet& stage, const FitProgress& progress,
                  const FitControl& control, std::span<TCurveKinetics> records, const KineticModel& model = {});

}  // namespace kelvaris

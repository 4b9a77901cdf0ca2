// What the kinetic fit needs from a model: its responses at a list of times
// and its derivatives at one time with respect to the fit's parameters.
#pragma once

#include <functional>
#include <span>

#include "analysis/fit_parameters.h"
#include "model/curve_kinetics.h"

namespace kelvaris {

// The responses of the record's model at n times; 0 or a result code.
using EvaluationFunction = std::function<int(TCurveKinetics& record, const double* times, double* values, int n)>;

// Writes d(response of `curve` at t)/d(parameter) into the derivative of
// every entry; entries that do not concern the curve get 0 (see
// EntryConcernsCurve). 0 or a result code.
using DerivativeFunction =
    std::function<int(std::span<FitParameterEntry> entries, int curve, TCurveKinetics& record, double t)>;

struct KineticModel {
  EvaluationFunction evaluate = EvaluateModel;
  // Empty: central differences of `evaluate` with the entries' steps.
  DerivativeFunction derivatives;
};

// Central differences: for each entry concerning the curve, the model at t
// with the curve's own slot at value − step and value + step (a rate never
// below 0), divided by the distance between the two; 0 when they coincide.
// The record is left as it was, also when the model fails.
int NumericalDerivatives(const EvaluationFunction& evaluate, std::span<FitParameterEntry> entries, int curve,
                         TCurveKinetics& record, double t);

}  // namespace kelvaris

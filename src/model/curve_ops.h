// Curve operations shared by several stages: window statistics,
// interpolation, curve arithmetic and the bulk-jump estimate.
#pragma once

#include "model/experiment.h"

namespace kelvaris {

// Statistics over the points of curve c of stage s with start <= Time <= stop.
struct WindowSum {
  double value = 0;
  int n = 0;
};
WindowSum AverageInWindow(const TExperiment& e, int stage, int c, double start, double stop);
WindowSum SumInWindow(const TExperiment& e, int stage, int c, double start, double stop);
WindowSum SumSquaresInWindow(const TExperiment& e, int stage, int c, double start, double stop);
// Sample standard deviation of (response - centre); 0 for fewer than 2
// points or a variance that is not positive.
double SdInWindow(const TExperiment& e, int stage, int c, double start, double stop, double centre);

// Response of curve c at time t, linear between points and flat beyond the
// ends; 0 for a curve that does not exist or is empty.
double Interpolate(const TExperiment& e, int stage, int c, double t);

// Curve `out` of stage dst = curve c of srcStage minus curve `ref` of
// refStage, point by point over the points dst keeps.
void SubtractCurve(TExperiment& e, int dst, int out, int refStage, int ref, int srcStage, int c);
// Adds curve c of srcStage to curve `target` of `stage`, point by point.
void AddCurve(TExperiment& e, int stage, int target, int srcStage, int c);
// Like SubtractCurve with a constant `jump` subtracted on 0 <= Time <= injectionEnd.
void SubtractJump(TExperiment& e, int dst, int out, double jump, double injectionEnd, int srcStage, int c);
// The step of curve c at time t from lines fitted 2 s either side; 0 when
// either side has too few points.
double JumpAt(const TExperiment& e, int stage, int c, double t);

struct Line {
  double intercept = 0;
  double slope = 0;
};
// Least-squares line through points first..last (inclusive) of curve c.
Line LineFit(const TExperiment& e, int stage, int c, int first, int last);

}  // namespace kelvaris

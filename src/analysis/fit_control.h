// The tuning record of the kinetic fit and its two method-file lines.
#pragma once

#include <string>
#include <string_view>

namespace kelvaris {

struct FitControl {
  double endChisqChange = 1e-4;  // relative chi-square decrease below which the fit has converged
  double lambdaMin = 1e-20;      // an accepted step taking lambda below this ends the fit (code 2)
  double lambdaMax = 1e20;       // a rejected step taking lambda above this ends the fit (code 2)
  double rateStep = 5e-6;        // finite-difference step of rate constants, relative to their value
  double amplitudeStep = 0.01;   // finite-difference step of Rmax, bulk jump and amplitude, RU
  double timeStep = 0.001;       // finite-difference step of the injection times, s
  double rateUpperLimit = 1e10;  // upper bound of every rate constant
  int maxIterations = 100;
  int displayInterval = 1;       // refresh the display every this many iterations; <= 0 never
};

// "FitControl1: %.3e %.3e %.3e %.3e" and "FitControl2: %.3e %.3e %.3e %d %d",
// without line feed, always with '.' as the decimal point.
std::string FitControlLine1(const FitControl& control);
std::string FitControlLine2(const FitControl& control);

// Reads a method-file line beginning "FitControl1" or "FitControl2" into
// `control`; false for any other line. The values are read in order and
// reading stops at the first that is not a number, so the fields after it
// keep what they held (a comma is accepted as the decimal point).
bool ReadFitControlLine(std::string_view line, FitControl& control);

}  // namespace kelvaris

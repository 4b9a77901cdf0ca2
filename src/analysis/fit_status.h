// The result codes of the least-squares fits and the texts shown for them.
#pragma once

#include <string_view>

namespace kelvaris {

enum FitResult : int {
  frOk = 0,              // converged, or nothing to report
  frIterationLimit = 1,  // more iterations than allowed
  frLimitExceeded = 2,   // lambda left its range
  frNoEffect = 3,        // zero pivot: a parameter does not change chi-square
  frGaussFailed = 4,     // a pivot column chosen twice
  frNoParameters = 5,    // nothing free to fit
  frWCalcFailed = 6,     // the mass-transport model could not evaluate its Lambert W term
  frMultipleLink = 7,
  frUserBreak = 8,       // the progress callback asked to stop
  frBadArray = 9,        // the arrays handed to the fit do not fit together
  frMathError = 10,      // an arithmetic fault, or a model that cannot be evaluated
  frAbortFit = 11,
};

// "Fit OK", "Iteration limit reached", ...; "Unknown error" for any other code.
std::string_view FitStatusText(int code);

}  // namespace kelvaris

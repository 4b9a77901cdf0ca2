// The steady-state fit of one flow cell: every analyte's isotherm
// R(C) = Rmax1·C/(KD1 + C) [+ Rmax2·C/(KD2 + C)] fitted to the raw points
// in the bound window of its injections, with the results written into the
// flow cell's stage 10 entries.
#pragma once

#include <string>

namespace kelvaris {

class TExperiment;

// Parameter i of the fit, counted from 1: the shared Rmax (1), then per
// analyte k its KD1 (4k - 2), Rmax1 (4k - 1), KD2 (4k) and Rmax2 (4k + 1).
constexpr int GlobalRmaxParameter() { return 1; }
constexpr int Kd1Parameter(int analyte) { return 4 * analyte - 2; }
constexpr int Rmax1Parameter(int analyte) { return 4 * analyte - 1; }
constexpr int Kd2Parameter(int analyte) { return 4 * analyte; }
constexpr int Rmax2Parameter(int analyte) { return 4 * analyte + 1; }

// Fits flow cell `flowCell` from the stage 10 entries the build left ready
// (starting values, window sums, options). Returns the warning to show, ""
// when the fit succeeded. Any entry of the flow cell that gets no result
// loses its KD1-fitted bit, so that no starting value passes for a result.
std::string FitAffinityFlowCell(TExperiment& e, int flowCell, int analyteCount);

}  // namespace kelvaris

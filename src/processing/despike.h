// Removing short step artefacts (spikes and dips) from curves: a steep rise
// and a steep fall less than ten points apart are flattened by the smaller
// of the two jumps.
#pragma once

namespace kelvaris {

class TExperiment;

// Curves of 20 points or fewer are left alone. Times are not touched.
void DespikeCurve(const double* time, double* response, int n);
// Every curve of an existing stage, in place.
void Despike(TExperiment& e, int stage);

}  // namespace kelvaris

// The Data stage (stage 1): the raw curves without hidden injections and
// without the points cut from the data, and the sampling interval of every
// raw curve.
#pragma once

namespace kelvaris {

class TExperiment;

// Keeps the smallest positive time step of every raw curve in its
// SampleInterval (the first step is taken whatever it is).
void UpdateSampleIntervals(TExperiment& e);

// Computes stage 1 from stage 0, despiking it when asked. Returns false
// (and shows "An error occurred while cutting the data") when the stage
// cannot be allocated.
bool RunDataStage(TExperiment& e, bool despike = false);

}  // namespace kelvaris

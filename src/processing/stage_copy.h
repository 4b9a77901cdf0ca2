// The copy every stage starts from: curve c of a stage computed from curve
// c of its source, point by point over the points the stage keeps.
#pragma once

namespace kelvaris {

class TExperiment;

// Makes stage `dst` the size of stage `src` (allocating it when it does not
// exist or no longer fits). False when the allocation was refused.
bool PrepareStage(TExperiment& e, int dst, int src);

// Copies curve c of `src` into curve c of `dst`: the points whose cut level
// `dst` keeps, label bits cleared, each response minus `offset`; then the
// point count, source curve and curve flags.
void CopyCurveWithOffset(TExperiment& e, int dst, int src, int c, double offset);

}  // namespace kelvaris

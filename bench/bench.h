// The benchmarks of kelvaris-bench; each prints one line and returns the
// process exit code.
#pragma once

#include "synthetic_run.h"

namespace kelvaris::bench {

// Loading a generated headerless file through LoadDataFile, in MB/s.
int LoadBench(const synth::RunShape& shape);
// The chain from stage 0 with Zero, Crop (averaging into 1 s bins) and
// despike on, in ms.
int ChainBench(const synth::RunShape& shape);
// Drawing a graph of a whole stage on the screen, in ms.
int PlotBench(const synth::RunShape& shape);
// A multi-curve kinetic fit with shared rate constants, in ms.
int FitBench(int curves, int points);

}  // namespace kelvaris::bench

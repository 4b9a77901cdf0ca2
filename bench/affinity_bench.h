// The steady-state affinity benchmark of kelvaris-bench.
#pragma once

namespace kelvaris::bench {

// The Affinity stage with one-site fits on 4 flow cells, 3 analytes each
// with 12 concentrations sharing the flow cell's Rmax, in ms.
int AffinityBench();

}  // namespace kelvaris::bench

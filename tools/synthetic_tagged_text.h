// Tagged text as an array instrument exports it: the cycles with their
// sample names, every spot's response over time, and a concentration
// keyword per curve.
#pragma once

#include <string>

#include "synthetic_run.h"

namespace kelvaris::synth {

// One cycle per injection of the shape; sample "Drug" for every injection
// but the last, which is the blank "Buffer". Spot g responds with
// (g + 1) / spots of the shape's response. Concentrations are in nM.
std::string TaggedText(const RunShape& shape, int spots);

}  // namespace kelvaris::synth

// The Zero stage (stage 2): every curve minus its mean response in the
// baseline window.
#pragma once

#include <string_view>

namespace kelvaris {

class TExperiment;

// Computes stage 2 from its source with the window boxes' texts (empty
// boxes mean the source's whole time range). False when the stage cannot
// be allocated.
bool ZeroStage(TExperiment& e, std::string_view startText, std::string_view stopText);

}  // namespace kelvaris

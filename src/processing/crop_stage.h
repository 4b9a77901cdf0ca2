// The Crop stage (stage 3): the part of every curve inside a time window,
// optionally averaged into bins of a fixed number of seconds.
#pragma once

#include <string_view>

namespace kelvaris {

class TExperiment;

enum class CropResult { Ok, NotEnoughPoints, Failed };

// Empty boxes read as 0, not as the ends of the data. Averaging needs
// `average` and a bin width above 0.
CropResult CropStage(TExperiment& e, std::string_view startText, std::string_view stopText, bool average,
                     std::string_view secondsText);

}  // namespace kelvaris

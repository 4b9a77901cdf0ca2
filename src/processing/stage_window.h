// Sensible values for a stage's time window: the middle of the data when
// the user has not set it, otherwise the typed values pushed into the data.
#pragma once

#include <string>
#include <string_view>

namespace kelvaris {

struct StageWindow {
  double start = 0;
  double stop = 0;
  double third = 0;  // the solvent stage's injection end
};

// `third` is null for stages with a start and a stop box only.
StageWindow SanitizedWindow(double tmin, double tmax, bool windowSet, std::string_view start,
                            std::string_view stop, const std::string_view* third);

// The text a window box ends up with: rewritten (FormatNumber) only when
// its value moved, so a typed "10.0" stays as typed.
void SettleBox(std::string_view text, double value, std::string& out, bool& changed);

}  // namespace kelvaris

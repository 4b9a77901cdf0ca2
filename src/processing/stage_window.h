// Sensible values for a stage's time window: the middle of the data when
// the user has not set it, otherwise the typed values pushed into the data.
#pragma once

#include <string>
#include <string_view>

namespace kelvaris {

class TExperiment;

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

// A start and a stop box after sanitizing, as they should show. A box whose
// value did not move keeps its text (Changed false); Start and Stop are
// read back from what the boxes show, which may be rounded.
struct SettledWindow {
  double Start = 0;  // s
  double Stop = 0;   // s
  std::string StartText;
  std::string StopText;
  bool StartChanged = false;
  bool StopChanged = false;
};

// The two-box window of `stage` over the time range of its source stage
// `source`, with the stage's window-set flag.
SettledWindow SettleStartStop(const TExperiment& e, int stage, int source, std::string_view start,
                              std::string_view stop);

}  // namespace kelvaris

// The Bound stage (stage 9): every sample curve reduced to its mean response
// in a time window (the amount bound) with its spread, and per analyte and
// flow cell the starting estimates the affinity fit needs. Stage 9 is a
// table in the curve-set layout: curve c is one sample injection on one flow
// cell (an entry) and its nine points are values:
//
//   slot  Response                        Time                      PointFlags
//   0     mean response in the window R   concentration (M)         points averaged
//   1     largest R of the group (>= 0)   KD estimate of group (M)  injection
//   2     SD of the responses about R     0                         analyte
//   3     0                               log10 concentration       flow cell
//   4     sum of the responses            0                         0
//   5     sum of the squared responses    0                         0
//   6     half of slot 1 (Rmax/2)         copy of the KD estimate   0
//   7, 8  0 (left to the affinity fit)    0                         0
//
// An entry's group: the entries of the same analyte and flow cell. PointCount
// is 9, SourceCurve the raw curve, CurveFlags packed by PackBoundCurveFlags.
#pragma once

#include <string>
#include <string_view>

#include "model/flags.h"
#include "processing/stage_window.h"

namespace kelvaris {

class TExperiment;

inline constexpr int kBoundSlots = 9;

inline constexpr const char* kNoPointsWarning = "No data points in selected interval.";
inline constexpr const char* kNoAnalytesWarning = "No analytes found. Check concentrations";
inline constexpr const char* kBoundFailedText =
    "An error occurred while calculating the amount bound.\nThe Bound function has been turned off.";

// The concentration of an injection (M): that of the first raw curve of the
// injection that is not a hidden injection; -2 (not used) when there is none.
// Reads the curve descriptions as they are (the caller keeps them current).
double SampleConcentration(const TExperiment& e, int injection);

// An entry's curve flags: bits 0-3 the colour, bits 4-5 h = (flow cell - 1)
// mod 4, bits 8-17 the source curve's flags in that range (exclusion from
// the fit, hiding, labels), bits 18 and up the series (analyte - 1) * 4 + h.
// An analyte below 1 counts as 1; the series stops at the 14 bits it has.
inline constexpr TCurveFlags kBoundSourceFlagsMask = 0x3ff00;
inline constexpr int kBoundSeriesShift = 18;
inline constexpr int kBoundSeriesMax = 0x3fff;
TCurveFlags PackBoundCurveFlags(int colour, int flowCell, int analyte, TCurveFlags sourceFlags);
constexpr int BoundColour(TCurveFlags f) { return static_cast<int>(f & cfColourMask); }
constexpr int BoundCellPosition(TCurveFlags f) { return static_cast<int>((f >> 4) & 3); }
constexpr int BoundSeries(TCurveFlags f) { return static_cast<int>(f >> kBoundSeriesShift); }

struct BoundSettings {
  std::string_view StartText;     // the "Average from" box, s
  std::string_view StopText;      // the "to" box, s
  int ReferenceCell = 0;          // flow cell number, 0 for none
  int AnalyteCount = 0;           // rows of the analyte table
  bool ColourByFlowCell = false;  // entries take their flow cell's colour
};

struct BoundResult {
  // The two window boxes after sanitizing; set on every run with data.
  SettledWindow Window;
  std::string Warning;           // the warning panel's text; "" hides it
  bool SwitchedOff = false;      // no usable sample: the switch went off, "Calc" stays checked
  bool AffinityCleared = false;  // the caller sets the affinity page caption to "Affinity"
  // The stage failed: the caller shows Message (caption "Error",
  // exclamation icon) and unchecks "Calc". The switch is already off.
  bool Failed = false;
  std::string Message;
};

// Sanitizes the window (always, with data), then with the experiment's Bound
// switch on fills stage 9 from its source; with it off clears what the
// affinity analysis would otherwise show stale (ClearBoundResults).
BoundResult BoundStage(TExperiment& e, const BoundSettings& s);

// Zeroes the nine slots of every entry of stages 9 and 10, switches off
// every flow cell's affinity fit and zeroes every raw curve's BoundValue,
// BoundValue2 and AffinityFlags.
void ClearBoundResults(TExperiment& e);

}  // namespace kelvaris

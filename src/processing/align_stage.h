// The Align stage (stage 4): every curve's time axis shifted so that its
// injection starts at 0 s. The injection start is found automatically (where
// the tangent at the steepest part of the curve inside the search window
// crosses 0 RU) or typed by hand, curve by curve; both are kept on the raw
// curve's description and survive every recomputation.
#pragma once

#include <string>
#include <string_view>

#include "processing/stage_window.h"

namespace kelvaris {

class TExperiment;
struct TCurveInfo;

inline constexpr const char* kAlignErrorMessage =
    "An error occurred while Aligning the data.\nThe Align function has been turned off.";

// The search window after sanitizing, as the two window boxes should show it.
using AlignWindow = SettledWindow;

struct AlignResult {
  bool Ok = true;       // false: show Message and switch the stage off
  std::string Message;  // empty unless the stage failed
  AlignWindow Window;   // computed even when the switch is off
};

// Sanitizes the search window from the two box texts (always), then, with
// the Align switch on, fills stage 4 from its source: automatic injection
// times for the curves whose raw curve has AutoInjection set, and every
// curve's times minus its raw curve's injection time. The search window
// used is the one the boxes show after sanitizing.
AlignResult AlignStage(TExperiment& e, std::string_view minBox, std::string_view maxBox);

// The injection time found automatically on a curve of `n` points: the
// time where the tangent at the steepest step between consecutive points
// (the first point of the step inside [lo, hi]) crosses 0 RU, clamped to
// the window. Steps of zero duration are passed over; without any step the
// result is 0 clamped to the window, so lo for a window above 0.
double SteepestTangentCrossing(const double* t, const double* r, int n, double lo, double hi);

// The description of the raw curve behind aligned curve `curve`; null when
// stage 4 does not exist or has no such curve.
TCurveInfo* AlignedCurveInfo(TExperiment& e, int curve);
const TCurveInfo* AlignedCurveInfo(const TExperiment& e, int curve);

// Adds `delta` (s) to every time of aligned curve `curve`. False, doing
// nothing, when there is no such curve.
bool ShiftAlignedCurve(TExperiment& e, int curve, double delta);

// A typed injection time: the aligned curve moves at once by (old - new),
// the raw curve takes the new time and stops being detected automatically.
bool SetAlignedInjectionTime(TExperiment& e, int curve, double injectionTime);

// A press of a step button: the aligned curve moves by `step` (s; positive
// moves it right) and its injection time drops by the same amount, so the
// curve and its stored time stay in step; automatic detection is cleared.
// Returns the new injection time, or NaN when there is no such curve.
double StepAlignedCurve(TExperiment& e, int curve, double step);

}  // namespace kelvaris

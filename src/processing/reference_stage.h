// The Reference stage (stage 5): the curves of every flow cell but the
// reference one, each minus the reference flow cell's curve of the same
// injection, either the whole curve or only its bulk step during the
// injection. The reference flow cell's curves are not carried on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvaris {

class TExperiment;

enum class ReferenceMode {
  Curve,  // subtract the reference interpolated at every time
  Jump,   // subtract the reference's step at the injection end, on 0 <= t <= end
};

struct ReferenceSettings {
  int ReferenceCell = 0;               // index of the "Reference" list: flow cell number, 0 for "None"
  ReferenceMode Mode = ReferenceMode::Curve;
  std::string_view InjectionEndText;   // the "Inj end" box, s
  bool Despike = false;                // the despike action is checked
};

enum class ReferenceOutcome {
  Skipped,          // the switch is off or there is no data: nothing done
  Done,             // stage 5 holds the referenced curves
  NoReferenceCell,  // the list says "None": switch the stage off, no message
  NotFound,         // an injection has no reference curve (Message, Caption)
  Failed,           // the stage could not be computed (Message, Caption)
};

struct ReferenceResult {
  ReferenceOutcome Outcome = ReferenceOutcome::Skipped;
  double InjectionEnd = 0;          // s, the end the stage used
  // The "Inj end" box falls back to the middle of the source's time range
  // when the user has not set it or it lies outside the data; the box then
  // shows InjectionEndText.
  bool InjectionEndRewritten = false;
  std::string InjectionEndText;
  // When the stage stopped: the message box's text and caption (shown with
  // the exclamation icon). Stage 5 and the later stages are freed by then.
  std::string Message;
  std::string Caption;

  // The caller sets the "Reference" list to "None" and the switch off.
  bool SwitchOff() const {
    return Outcome == ReferenceOutcome::NoReferenceCell || Outcome == ReferenceOutcome::NotFound ||
           Outcome == ReferenceOutcome::Failed;
  }
};

// Computes stage 5 from its source. Does nothing while the experiment's
// Reference switch is off.
ReferenceResult ReferenceStage(TExperiment& e, const ReferenceSettings& s);

// The "Inj end" text written when the box falls back: fixed notation with
// two decimals, rounded to four significant digits ("60.00", "123.50").
std::string FormatInjectionEnd(double seconds);

// The curves of `stage` per flow cell of the raw curve they come from,
// indexed by flow cell number (slot 0 counts curves without a valid one).
// Covers at least the ligand list.
std::vector<int> CurvesPerFlowCell(const TExperiment& e, int stage);

// Whether flow cell `cell` can stay the reference when the page shows: the
// Reference stage's source has a curve of it and a curve of another flow
// cell. False for 0 ("None") and for cells without curves.
bool ReferenceCellUsable(const TExperiment& e, int cell);

}  // namespace kelvaris

// The free parameters of a kinetic fit: entries pointing into the curves'
// kinetic records, the links between records and the limits of a step.
#pragma once

#include <span>
#include <vector>

#include "analysis/fit_control.h"
#include "model/curve_kinetics.h"

namespace kelvaris {

enum StepClass : int {
  scAmplitude = 0,  // Rmax, bulk jump, dissociation amplitude (RU)
  scRate = 1,       // km, ka, kd
  scTime = 2,       // injection begin and end (s)
};

// One free parameter, built for one fit and discarded afterwards.
struct FitParameterEntry {
  double* value = nullptr;  // the slot's value
  double* error = nullptr;  // the same slot's standard error
  double saved = 0;         // value before the trial step
  double step = 0;          // finite-difference step
  double derivative = 0;    // d(model)/d(parameter) at the current data point
  int slot = 0;             // 1 to 8
  int curve = 0;            // raw curve owning the slot
  int stepClass = scAmplitude;
};

// The curves of a fit: positions first to last of the kinetic stage, and for
// each position the raw curve whose record holds its parameters.
struct KineticFitRange {
  int first = 0;
  int last = -1;
  std::span<const int> rawCurve;  // position → raw curve (index into the records)
};

// A slot that takes its value from another curve's record. A slot linked to
// its own curve is not following anything.
bool FollowsLink(const TCurveKinetics& record, int slot, int ownCurve);

// Lists the free parameters of the range in fit order (per curve: km, ka,
// Rmax, kd, begin, end, jump, amplitude, as far as the model uses them and
// they are fitted and not following a link), with their steps.
std::vector<FitParameterEntry> ListFreeParameters(const KineticFitRange& range, std::span<TCurveKinetics> records,
                                                  const FitControl& control);

// Copies every linked slot of the range from its target's record. Targets
// must have been checked to lie inside `records`.
void ApplyLinks(const KineticFitRange& range, std::span<TCurveKinetics> records);

// Keeps an entry within its limits after `step` was added to it: rate
// constants stay within 0 and the rate upper limit, an injection time moves
// by at most 5 s, amplitudes are free.
void ApplyConstraint(FitParameterEntry& entry, double step, const FitControl& control);

// The entry is a parameter of this curve's model: its own, or the one its
// linked slot follows.
bool EntryConcernsCurve(const FitParameterEntry& entry, int curve, const TCurveKinetics& record);

}  // namespace kelvaris

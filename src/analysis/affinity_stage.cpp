#include "analysis/affinity_stage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <exception>
#include <new>

#include "analysis/affinity_entries.h"
#include "analysis/affinity_fit.h"
#include "model/experiment.h"
#include "model/sample_layout.h"
#include "processing/bound_stage.h"

namespace kelvaris {

namespace {

// Bits of the Bound stage's curve flags that stage 10 does not take: the
// standard under the mouse and the labels.
constexpr TCurveFlags kDroppedCurveFlags = 0x1c100;
// The point labels, and the % scaling that only this run may set.
constexpr TPointFlags kDroppedPointFlags = pfLabelMask | apbPercent;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

bool FitOn(const TExperiment& e, int cell) {
  return cell >= 1 && cell < static_cast<int>(e.Ligands.size()) && e.Ligands[At(cell)].FitOn;
}

const TCurveInfo* RawInfo(const TExperiment& e, int raw) {
  return raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? &e.CurveInfo[At(raw)] : nullptr;
}

// The option bits of slots 4 to 7 from the raw curve's options; the KD is
// fitted only on a flow cell whose fit is on.
void SetOptionBits(TPointFlags* f, int flags, bool fitOn) {
  f[apKd1] = (fitOn && (flags & afKd1Fitted)) ? apbOn : 0;
  f[apRmax1] = ((flags & afRmax1Fitted) ? apbOn : 0) | ((flags & afRmax1Local) ? apbLocal : 0);
  f[apTwoSites] = (flags & afTwoSites) ? apbOn : 0;
  f[apRmax2] = ((flags & afRmax2Fitted) ? apbOn : 0) | ((flags & afRmax2Local) ? apbLocal : 0);
}

// Starting KDs and Rmax values of an entry whose KD is fitted.
void SetStartingValues(const TExperiment& e, const TCurveInfo& info, const double* boundResponse, double estimate,
                       double* t, double* r) {
  const int flags = info.AffinityFlags;
  const bool two = flags & afTwoSites;
  const int cell = info.FlowCell;
  const double global = cell >= 0 && cell < static_cast<int>(e.Ligands.size()) ? e.Ligands[At(cell)].GlobalRmax : 0;
  const double top = boundResponse[1];  // the largest response of the analyte on the flow cell
  t[atKd1] = two ? 0.2 * estimate : estimate;
  t[atKd2] = 5 * estimate;
  if (!(flags & afRmax1Local))
    r[arRmax1] = global;
  else if (flags & afRmax1Fitted)
    r[arRmax1] = two && (flags & afRmax2Local) && (flags & afRmax2Fitted) ? top / 2 : top;
  else
    r[arRmax1] = info.BoundValue;
  if (!(flags & afRmax2Local))
    r[arRmax2] = global;
  else if (flags & afRmax2Fitted)
    r[arRmax2] = top / 2;
  else
    r[arRmax2] = info.BoundValue2;
}

// Entry q of stage 10 from entry q of stage 9. Every slot is written, so
// nothing of an earlier run (an earlier % scaling, another injection's
// sums) survives into this one.
void BuildEntry(TExperiment& e, int q, int selectedCell) {
  const TCurveSet& bound = e.Stage(stBound);
  TCurveSet& set = e.Stage(stAffinity);
  const double* bt = bound.TimeOf(q);
  const double* br = bound.ResponseOf(q);
  const TPointFlags* bf = bound.FlagsOf(q);
  double* t = set.TimeOf(q);
  double* r = set.ResponseOf(q);
  TPointFlags* f = set.FlagsOf(q);
  std::fill_n(t, kAffinitySlots, 0.0);
  std::fill_n(r, kAffinitySlots, 0.0);
  std::fill_n(f, kAffinitySlots, TPointFlags{0});
  t[atConcentration] = bt[0];
  t[atKd1] = bt[1];
  t[atLogConcentration] = bt[3];
  r[arBound] = br[0];
  r[arSum] = br[4];
  r[arSumSquares] = br[5];
  for (int slot : {apPoints, apSampleRow, apAnalyte, apFlowCell}) f[slot] = bf[slot];
  f[apScaled] = bf[8] & ~kDroppedPointFlags;
  set.PointCount[q] = kAffinitySlots;
  set.SourceCurve[q] = bound.SourceCurve[q];
  const int cell = static_cast<int>(bf[apFlowCell]);
  set.CurveFlags[q] = (bound.CurveFlags[q] & ~kDroppedCurveFlags) | (cell != selectedCell ? cfHiddenInGraph : 0);
  const TCurveInfo* info = RawInfo(e, bound.SourceCurve[q]);
  if (!info) return;
  SetOptionBits(f, info->AffinityFlags, FitOn(e, cell));
  if (f[apKd1] & apbOn) SetStartingValues(e, *info, br, bt[1], t, r);
}

bool BuildStage(TExperiment& e, int selectedCell) {
  const TCurveSet& bound = e.Stage(stBound);
  const TCurveSet& set = e.Stage(stAffinity);
  if (!set.Exists() || set.CurveCount != bound.CurveCount || set.Capacity < kAffinitySlots) {
    // Sized anew in place: the kinetics stage does not depend on this table.
    if (!e.AllocateStage(stAffinity, bound.CurveCount, kAffinitySlots)) return false;
  }
  for (int q = 0; q < bound.CurveCount; ++q) BuildEntry(e, q, selectedCell);
  return true;
}

// Responses and Rmax values in % of the fitted total Rmax, on the entries
// with a result; the errors stay in RU.
void ScaleToPercent(TExperiment& e, int cell) {
  TCurveSet& set = e.Stage(stAffinity);
  for (int q = 0; q < set.CurveCount; ++q) {
    TPointFlags* f = set.FlagsOf(q);
    if (static_cast<int>(f[apFlowCell]) != cell || !(f[apKd1] & apbOn)) continue;
    if (set.CurveFlags[q] & cfHiddenInjection) continue;
    double* r = set.ResponseOf(q);
    const double total = r[arRmax1] + ((f[apTwoSites] & apbOn) ? r[arRmax2] : 0);
    if (!(total > 0)) continue;
    const double factor = 100 / total;
    r[arBound] *= factor;
    r[arRmax1] *= factor;
    r[arRmax2] *= factor;
    r[arPercentFactor] = factor;
    f[apScaled] |= apbPercent;
  }
}

void SwitchOff(TExperiment& e) {
  for (TLigand& l : e.Ligands) l.FitOn = 0;
  e.Switches.Affinity = false;
  TCurveSet& set = e.Stage(stAffinity);
  if (set.Capacity < kAffinitySlots) return;
  for (int q = 0; q < set.CurveCount; ++q) set.FlagsOf(q)[apKd1] &= ~apbOn;
}

}  // namespace

AffinityResult RunAffinityStage(TExperiment& e, const AffinitySettings& s) {
  AffinityResult result;
  result.Warnings.assign(e.Ligands.size(), "");
  try {
    e.Switches.Affinity = false;
    for (int cell = 1; cell < static_cast<int>(e.Ligands.size()); ++cell)
      e.Switches.Affinity = e.Switches.Affinity || FitOn(e, cell);
    const TCurveSet& bound = e.Stage(stBound);
    if (!bound.Exists() || bound.Capacity < kBoundSlots) {
      result.NoBoundStage = true;
      return result;
    }
    if (!BuildStage(e, s.SelectedFlowCell)) throw std::bad_alloc();
    for (int cell = 1; cell < static_cast<int>(e.Ligands.size()); ++cell)
      if (FitOn(e, cell)) result.Warnings[At(cell)] = FitAffinityFlowCell(e, cell, s.AnalyteCount);
    if (s.ShowAsPercent)
      for (int cell = 1; cell < static_cast<int>(e.Ligands.size()); ++cell)
        if (FitOn(e, cell)) ScaleToPercent(e, cell);
  } catch (const std::exception&) {
    SwitchOff(e);
    result.Failed = true;
    result.Message = kAffinityFailedText;
  }
  return result;
}

double PercentBound(const TExperiment& e, int flowCell, double kd) {
  if (flowCell < 0 || flowCell >= static_cast<int>(e.Ligands.size())) return 0;
  const TLigand& l = e.Ligands[At(flowCell)];
  // The texts are read like sample-table cells; a marker ("---", "d")
  // reads negative and counts as none.
  const double p = std::max(ReadMolarText(l.ProteinConcentration), 0.0);
  const double d = ReadMolarText(l.DrugConcentration);
  if (!(d > 0)) return 0;
  const double t = kd + p + d;
  const double disc = t * t - 4 * p * d;
  if (!(disc >= 0)) return 0;
  // The complex is the smaller root of c² - t·c + P·D = 0; the larger one
  // exceeds the drug for every KD above 0 and equals it at 0, where taking
  // it would read 100 % with less protein than drug. Written as P·D over
  // the larger root, it keeps its digits when the drug is dilute.
  const double larger = (t + std::sqrt(disc)) / 2;
  if (!(larger > 0)) return 0;
  return 100 * p / larger;  // 100 · (P·D / larger) / D
}

double PercentBoundError(const TExperiment& e, int flowCell, double kd, double error) {
  // An error of -1 means none is known; it is no step of 1 M.
  if (kd < 0 || !(error > 0)) return 0;
  const double at = PercentBound(e, flowCell, kd);
  // A KD cannot go below 0, however wide its error.
  const double lower = std::max(kd - error, 0.0);
  return std::max(std::fabs(PercentBound(e, flowCell, kd + error) - at), std::fabs(at - PercentBound(e, flowCell, lower)));
}

bool GlobalRmaxInUse(const TExperiment& e, int flowCell) {
  const TCurveSet& set = e.Stage(stAffinity);
  if (set.Capacity < kAffinitySlots) return false;
  for (int q = 0; q < set.CurveCount; ++q) {
    const TPointFlags* f = set.FlagsOf(q);
    if (static_cast<int>(f[apFlowCell]) != flowCell || (set.CurveFlags[q] & cfExcludedFromFit)) continue;
    const TCurveInfo* info = RawInfo(e, set.SourceCurve[q]);
    if (info && (info->AffinityFlags & afKd1Fitted) && UsesGlobalRmax(info->AffinityFlags)) return true;
  }
  return false;
}

}  // namespace kelvaris

#include "processing/bound_stage.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "model/curve_ops.h"
#include "model/experiment.h"
#include "model/numbers.h"
#include "model/sample_layout.h"
#include "processing/stage_window.h"

namespace kelvaris {

namespace {

// Flag slots of an entry.
constexpr int kPointsSlot = 0, kInjectionSlot = 1, kAnalyteSlot = 2, kCellSlot = 3;

const TCurveInfo* InfoOf(const TExperiment& e, int stage, int c) {
  const int raw = e.Stage(stage).SourceCurve[c];
  return raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? &e.CurveInfo[raw] : nullptr;
}

// A sample curve on an active flow cell with an analyte of its own.
bool Qualifies(const TExperiment& e, const TCurveInfo* info, int referenceCell) {
  return info && info->Analyte >= 1 && info->FlowCell != referenceCell &&
         SampleConcentration(e, info->Injection) > 0;
}

int CountQualifying(const TExperiment& e, int src, int referenceCell) {
  int n = 0;
  for (int c = 0; c < e.Stage(src).CurveCount; ++c)
    if (Qualifies(e, InfoOf(e, src, c), referenceCell)) ++n;
  return n;
}

void ZeroEntry(TCurveSet& set, int c) {
  const int slots = std::min(kBoundSlots, set.Capacity);
  std::fill_n(set.ResponseOf(c), slots, 0.0);
  std::fill_n(set.TimeOf(c), slots, 0.0);
  std::fill_n(set.FlagsOf(c), slots, TPointFlags{0});
}

// Stage 9 with `entries` zeroed entries, kept when it already has that many.
bool PrepareEntries(TExperiment& e, int entries) {
  const TCurveSet& set = e.Stage(stBound);
  if (set.Exists() && (set.CurveCount != entries || set.Capacity < kBoundSlots)) e.FreeStages(stBound);
  if (!set.Exists() && !e.AllocateStage(stBound, entries, kBoundSlots)) return false;
  for (int c = 0; c < entries; ++c) ZeroEntry(e.Stage(stBound), c);
  return true;
}

// The window statistics of curve c of the source into entry l: response
// slots 0, 2, 4 and 5 and the flag slots. Returns the points averaged.
int WriteStatistics(TExperiment& e, int src, int c, int l, double start, double stop) {
  const WindowSum mean = AverageInWindow(e, src, c, start, stop);
  TCurveSet& set = e.Stage(stBound);
  double* r = set.ResponseOf(l);
  r[0] = mean.value;
  r[2] = SdInWindow(e, src, c, start, stop, mean.value);
  r[4] = SumInWindow(e, src, c, start, stop).value;
  r[5] = SumSquaresInWindow(e, src, c, start, stop).value;
  const TCurveInfo& info = *InfoOf(e, src, c);
  TPointFlags* f = set.FlagsOf(l);
  f[kPointsSlot] = static_cast<TPointFlags>(mean.n);
  f[kInjectionSlot] = static_cast<TPointFlags>(info.Injection);
  f[kAnalyteSlot] = static_cast<TPointFlags>(info.Analyte);
  f[kCellSlot] = static_cast<TPointFlags>(info.FlowCell);
  return mean.n;
}

// Completes entry l from curve c of the source.
void FinishEntry(TExperiment& e, int src, int c, int l, double concentration, double logConcentration,
                 const BoundSettings& s) {
  const TCurveSet& from = e.Stage(src);
  const TCurveInfo& info = *InfoOf(e, src, c);
  TCurveSet& set = e.Stage(stBound);
  set.TimeOf(l)[0] = concentration;
  set.TimeOf(l)[3] = logConcentration;
  set.PointCount[l] = kBoundSlots;
  set.SourceCurve[l] = from.SourceCurve[c];
  int colour = BoundColour(from.CurveFlags[c]);
  if (s.ColourByFlowCell && info.FlowCell >= 0 && info.FlowCell < static_cast<int>(e.Ligands.size()))
    colour = e.Ligands[info.FlowCell].Colour;
  set.CurveFlags[l] = PackBoundCurveFlags(colour, info.FlowCell, info.Analyte, from.CurveFlags[c]);
}

// One entry per qualifying curve whose analyte is in the table and that has
// points in the window. Returns the entries written.
int WriteSampleEntries(TExperiment& e, int src, const BoundSettings& s, BoundResult& result) {
  const int slots = e.Stage(stBound).CurveCount;
  int l = 0;
  for (int c = 0; c < e.Stage(src).CurveCount && l < slots; ++c) {
    const TCurveInfo* info = InfoOf(e, src, c);
    if (!Qualifies(e, info, s.ReferenceCell) || info->Analyte > s.AnalyteCount) continue;
    if (WriteStatistics(e, src, c, l, result.Window.Start, result.Window.Stop) < 1) {
      result.Warning = kNoPointsWarning;
      ZeroEntry(e.Stage(stBound), l);  // the next curve takes its place
      continue;
    }
    const double conc = SampleConcentration(e, info->Injection);
    FinishEntry(e, src, c, l, conc, std::log10(conc), s);
    ++l;
  }
  return l;
}

// Without any sample entry: every curve off the reference flow cell, at
// concentration 1, so that the page still shows the responses.
int WriteFallbackEntries(TExperiment& e, int src, const BoundSettings& s, BoundResult& result) {
  int m = 0;
  for (int c = 0; c < e.Stage(src).CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, src, c);
    if (info && info->FlowCell != s.ReferenceCell) ++m;
  }
  // The table was sized for the samples; the fallback may need more room.
  if (m == 0) return 0;
  if (!PrepareEntries(e, m)) throw std::bad_alloc();
  // A window outside the data explains the empty table better than the
  // concentrations do.
  if (result.Warning.empty()) result.Warning = kNoAnalytesWarning;
  int l = 0;
  for (int c = 0; c < e.Stage(src).CurveCount && l < m; ++c) {
    const TCurveInfo* info = InfoOf(e, src, c);
    if (!info || info->FlowCell == s.ReferenceCell) continue;
    WriteStatistics(e, src, c, l, result.Window.Start, result.Window.Stop);
    FinishEntry(e, src, c, l, 1, 1, s);
    ++l;
  }
  return l;
}

// Slots 1, 6 and 7 of every entry: the group's largest response M and the
// starting KD, the mean of (M - R) c / R (a 1:1 isotherm solved for KD) over
// the members with 0.1 M < R < 0.9 M, else 10^trunc(mean log10 c).
void EstimateGroups(TCurveSet& set) {
  const int n = set.CurveCount;
  for (int i = 0; i < n; ++i) {
    const TPointFlags analyte = set.FlagsOf(i)[kAnalyteSlot], cell = set.FlagsOf(i)[kCellSlot];
    auto member = [&](int j) { return set.FlagsOf(j)[kAnalyteSlot] == analyte && set.FlagsOf(j)[kCellSlot] == cell; };
    double top = 0;
    for (int j = 0; j < n; ++j)
      if (member(j)) top = std::max(top, set.ResponseOf(j)[0]);
    double kdSum = 0, logSum = 0;
    int kdCount = 0, members = 0;
    for (int j = 0; j < n; ++j) {
      if (!member(j)) continue;
      const double r = set.ResponseOf(j)[0];
      ++members;
      logSum += set.TimeOf(j)[3];
      if (r > 0.1 * top && r < 0.9 * top) {
        kdSum += (top - r) * set.TimeOf(j)[0] / r;
        ++kdCount;
      }
    }
    const double mean = kdCount > 0 ? kdSum / kdCount : 0;
    const double kd = mean > 0 ? mean : std::pow(10.0, std::trunc(logSum / members));
    double* r = set.ResponseOf(i);
    double* t = set.TimeOf(i);
    r[1] = top;
    r[6] = top / 2;
    r[7] = 0;
    t[1] = t[6] = kd;
    t[2] = t[7] = 0;
  }
}

// Nothing of the affinity analysis may stay behind stale while the stage
// is off.
BoundResult& Clear(TExperiment& e, BoundResult& result) {
  ClearBoundResults(e);
  result.AffinityCleared = true;
  return result;
}

BoundResult& SwitchOff(TExperiment& e, BoundResult& result) {
  e.Switches.Bound = false;
  e.FreeStages(stBound);
  result.SwitchedOff = true;
  return Clear(e, result);
}

BoundResult& Fail(TExperiment& e, BoundResult& result) {
  SwitchOff(e, result);
  result.SwitchedOff = false;  // "Calc" goes off with it
  result.Failed = true;
  result.Message = kBoundFailedText;
  return result;
}

}  // namespace

double SampleConcentration(const TExperiment& e, int injection) {
  const TCurveSet& raw = e.Stage(stRaw);
  const int n = std::min(raw.CurveCount, static_cast<int>(e.CurveInfo.size()));
  for (int c = 0; c < n; ++c)
    if (e.CurveInfo[c].Injection == injection && !(raw.CurveFlags[c] & cfHiddenInjection))
      return e.CurveInfo[c].Concentration;
  return kNotUsed;
}

TCurveFlags PackBoundCurveFlags(int colour, int flowCell, int analyte, TCurveFlags sourceFlags) {
  const int h = ((flowCell - 1) % 4 + 4) % 4;
  const int series = std::min((std::max(analyte, 1) - 1) * 4 + h, kBoundSeriesMax);
  return (static_cast<TCurveFlags>(colour) & cfColourMask) | static_cast<TCurveFlags>(h) << 4 |
         (sourceFlags & kBoundSourceFlagsMask) | static_cast<TCurveFlags>(series) << kBoundSeriesShift;
}

void ClearBoundResults(TExperiment& e) {
  for (int stage : {stBound, stAffinity})
    for (int c = 0; c < e.Stage(stage).CurveCount; ++c) ZeroEntry(e.Stage(stage), c);
  for (TLigand& l : e.Ligands) l.FitOn = 0;
  for (TCurveInfo& info : e.CurveInfo) {
    info.BoundValue = 0;
    info.BoundValue2 = 0;
    info.AffinityFlags = 0;
  }
}

BoundResult BoundStage(TExperiment& e, const BoundSettings& s) {
  BoundResult result;
  try {
    const int src = e.FindSourceStage(stBound);
    if (!e.StageExists(src)) return result;
    result.Window = SettleStartStop(e, stBound, src, s.StartText, s.StopText);
    if (e.Ligands.empty()) return result;
    if (!e.Switches.Bound) return Clear(e, result);
    const int samples = CountQualifying(e, src, s.ReferenceCell);
    if (samples == 0) return SwitchOff(e, result);
    if (!PrepareEntries(e, samples)) return Fail(e, result);
    int entries = WriteSampleEntries(e, src, s, result);
    if (entries == 0) entries = WriteFallbackEntries(e, src, s, result);
    if (entries == 0) return SwitchOff(e, result);
    e.Stage(stBound).CurveCount = entries;
    EstimateGroups(e.Stage(stBound));
  } catch (const std::exception&) {
    return Fail(e, result);
  }
  return result;
}

}  // namespace kelvaris

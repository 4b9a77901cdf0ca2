#include "processing/reference_stage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>

#include "model/curve_ops.h"
#include "model/experiment.h"
#include "model/numbers.h"
#include "processing/despike.h"

namespace kelvaris {

namespace {

constexpr const char* kNotFoundText =
    "Reference curve not found.\n\nInjection %d does not have curve for reference flow cell";
constexpr const char* kFailedText =
    "An error occurred while Referencing the data.\nThe Reference function has been turned off.";

// The description of the raw curve behind curve c of a stage; null when the
// curve points nowhere (a stage built without descriptions).
const TCurveInfo* InfoOf(const TExperiment& e, int stage, int c) {
  const int raw = e.Stage(stage).SourceCurve[c];
  return raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? &e.CurveInfo[raw] : nullptr;
}

int FlowCellOf(const TExperiment& e, int stage, int c) {
  const TCurveInfo* info = InfoOf(e, stage, c);
  return info ? info->FlowCell : 0;
}

int InjectionOf(const TExperiment& e, int stage, int c) {
  const TCurveInfo* info = InfoOf(e, stage, c);
  return info ? info->Injection : 0;
}

// The reference curves of one injection: how many there are and the one
// with the most points (the first of them on ties).
struct ReferenceCurves {
  int count = 0;
  int longest = -1;
};

ReferenceCurves FindReferenceCurves(const TExperiment& e, int stage, int injection, int cell) {
  const TCurveSet& set = e.Stage(stage);
  ReferenceCurves refs;
  for (int c = 0; c < set.CurveCount; ++c) {
    if (FlowCellOf(e, stage, c) != cell || InjectionOf(e, stage, c) != injection) continue;
    ++refs.count;
    if (refs.longest < 0 || set.PointCount[c] > set.PointCount[refs.longest]) refs.longest = c;
  }
  return refs;
}

// Turns curve `p` of `stage` into the mean of the injection's reference
// curves, taken at p's times; its own responses go to `saved` first.
void MakeMeanReference(TExperiment& e, int stage, int p, int injection, int cell, int count, double* saved) {
  TCurveSet& set = e.Stage(stage);
  double* r = set.ResponseOf(p);
  const int n = set.PointCount[p];
  std::copy(r, r + n, saved);
  for (int c = 0; c < set.CurveCount; ++c)
    if (c != p && FlowCellOf(e, stage, c) == cell && InjectionOf(e, stage, c) == injection) AddCurve(e, stage, p, stage, c);
  for (int i = 0; i < n; ++i) r[i] /= count;
}

void RestoreCurve(TExperiment& e, int stage, int p, const double* saved) {
  TCurveSet& set = e.Stage(stage);
  std::copy(saved, saved + set.PointCount[p], set.ResponseOf(p));
}

// Stage 5 sized for `curves` curves of `capacity` points, kept when it
// already is that big.
bool PrepareReferenceStage(TExperiment& e, int curves, int capacity) {
  const TCurveSet& to = e.Stage(stReference);
  if (to.Exists() && to.CurveCount == curves && to.Capacity >= capacity) return true;
  if (to.Exists()) e.FreeStages(stReference);
  return e.AllocateStage(stReference, curves, capacity);
}

// The stage stops: nothing of a half-written stage 5 may stay behind for
// the later stages to read once the switch is off.
ReferenceResult& Stop(TExperiment& e, ReferenceResult& result, ReferenceOutcome outcome, std::string message,
                      const char* caption) {
  e.FreeStages(stReference);
  result.Outcome = outcome;
  result.Message = std::move(message);
  result.Caption = caption;
  return result;
}

}  // namespace

std::string FormatInjectionEnd(double seconds) {
  if (!std::isfinite(seconds)) return "0.00";
  // Four significant digits, but never more than two decimals; halves
  // round away from zero.
  int decimals = 2;
  if (seconds != 0) {
    const int integerDigits = static_cast<int>(std::floor(std::log10(std::fabs(seconds)))) + 1;
    decimals = std::min(4 - integerDigits, 2);
  }
  const double scale = std::pow(10.0, std::abs(decimals));
  double rounded = decimals >= 0 ? std::round(seconds * scale) / scale : std::round(seconds / scale) * scale;
  rounded += 0.0;  // no "-0.00"
  char text[48];
  const auto format = std::fabs(rounded) >= 1e4 ? std::chars_format::scientific : std::chars_format::fixed;
  const int precision = format == std::chars_format::fixed ? 2 : 3;
  const auto written = std::to_chars(text, text + sizeof text, rounded, format, precision);
  std::string out(text, written.ptr);
  for (char& ch : out) {
    if (ch == '.') ch = LocaleDecimalSeparator();
    if (ch == 'e') ch = 'E';
  }
  return out;
}

std::vector<int> CurvesPerFlowCell(const TExperiment& e, int stage) {
  std::vector<int> counts(std::max<std::size_t>(e.Ligands.size(), 1), 0);
  if (!e.StageExists(stage)) return counts;
  const TCurveSet& set = e.Stage(stage);
  for (int c = 0; c < set.CurveCount; ++c) {
    const int cell = std::max(FlowCellOf(e, stage, c), 0);
    if (cell >= static_cast<int>(counts.size())) counts.resize(cell + 1, 0);
    ++counts[cell];
  }
  return counts;
}

bool ReferenceCellUsable(const TExperiment& e, int cell) {
  if (cell < 1) return false;
  const int src = e.FindSourceStage(stReference);
  if (!e.StageExists(src)) return false;
  bool reference = false, other = false;
  for (int c = 0; c < e.Stage(src).CurveCount; ++c) (FlowCellOf(e, src, c) == cell ? reference : other) = true;
  return reference && other;
}

ReferenceResult ReferenceStage(TExperiment& e, const ReferenceSettings& s) {
  ReferenceResult result;
  if (!e.Switches.Reference) return result;
  const int src = e.FindSourceStage(stReference);
  if (!e.StageExists(src)) return result;

  // The injection end: the user's value while it lies within the data,
  // otherwise the middle of the data, written back into the box.
  const auto [tmin, tmax] = e.TimeRange(src);
  double end = ParseNumber(s.InjectionEndText, 0);
  if (!e.WindowSet[stReference] || !std::isfinite(end) || end < tmin || end > tmax) {
    end = (tmin + tmax) / 2;
    result.InjectionEndRewritten = true;
    result.InjectionEndText = FormatInjectionEnd(end);
  }
  result.InjectionEnd = end;

  const int f = s.ReferenceCell;
  if (f < 1) return Stop(e, result, ReferenceOutcome::NoReferenceCell, "", "");

  const TCurveSet& from = e.Stage(src);
  int k = 0;
  for (int c = 0; c < from.CurveCount; ++c)
    if (FlowCellOf(e, src, c) != f) ++k;
  // Nothing but reference curves: there is nothing to subtract them from.
  if (k == 0 || !PrepareReferenceStage(e, k, from.Capacity))
    return Stop(e, result, ReferenceOutcome::Failed, kFailedText, "Error");

  // Room for one curve's responses while a reference curve holds the mean
  // of several; taken only when an injection has more than one.
  std::vector<double> saved;
  int o = 0;
  for (int w = 0; w < from.CurveCount; ++w) {
    if (FlowCellOf(e, src, w) == f) continue;
    const int injection = InjectionOf(e, src, w);
    const ReferenceCurves refs = FindReferenceCurves(e, src, injection, f);
    if (refs.count == 0) {
      char message[160];
      std::snprintf(message, sizeof message, kNotFoundText, injection);
      return Stop(e, result, ReferenceOutcome::NotFound, message, "Reference Error");
    }
    const int p = refs.longest;
    if (refs.count > 1) {
      if (saved.empty()) {
        try {
          saved.resize(static_cast<std::size_t>(std::max(from.Capacity, 1)));
        } catch (const std::bad_alloc&) {
          return Stop(e, result, ReferenceOutcome::Failed, kFailedText, "Error");
        }
      }
      MakeMeanReference(e, src, p, injection, f, refs.count, saved.data());
    }
    if (s.Mode == ReferenceMode::Curve)
      SubtractCurve(e, stReference, o, src, p, src, w);
    else
      SubtractJump(e, stReference, o, JumpAt(e, src, p, end), end, src, w);
    if (refs.count > 1) RestoreCurve(e, src, p, saved.data());
    ++o;
  }
  e.Stage(stReference).CurveCount = o;
  if (s.Despike) Despike(e, stReference);
  result.Outcome = ReferenceOutcome::Done;
  return result;
}

}  // namespace kelvaris

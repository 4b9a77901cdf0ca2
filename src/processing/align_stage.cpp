#include "processing/align_stage.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "model/experiment.h"
#include "model/numbers.h"
#include "processing/stage_copy.h"
#include "processing/stage_window.h"

namespace kelvaris {

namespace {

void AddToTimes(TCurveSet& set, int c, double delta) {
  double* t = set.TimeOf(c);
  for (int i = 0, n = set.PointCount[c]; i < n; ++i) t[i] += delta;
}

bool HasAlignedCurve(const TExperiment& e, int curve) {
  if (!e.StageExists(stAlign)) return false;
  const TCurveSet& set = e.Stage(stAlign);
  if (curve < 0 || curve >= set.CurveCount) return false;
  const int raw = set.SourceCurve[curve];
  return raw >= 0 && raw < static_cast<int>(e.CurveInfo.size());
}

void AlignCurves(TExperiment& e, int src, double lo, double hi) {
  const TCurveSet& from = e.Stage(src);
  TCurveSet& to = e.Stage(stAlign);
  for (int c = 0; c < from.CurveCount; ++c) {
    // Times as they are; the shift follows once the injection time is known.
    CopyCurveWithOffset(e, stAlign, src, c, 0);
    TCurveInfo& info = e.CurveInfo.at(static_cast<std::size_t>(to.SourceCurve[c]));
    // The search looks at the curve as this stage keeps it, so a point cut
    // off before alignment never makes the steepest step.
    if (info.AutoInjection)
      info.InjectionTime = SteepestTangentCrossing(to.TimeOf(c), to.ResponseOf(c), to.PointCount[c], lo, hi);
    AddToTimes(to, c, -info.InjectionTime);
  }
}

}  // namespace

double SteepestTangentCrossing(const double* t, const double* r, int n, double lo, double hi) {
  double best = 0;
  int k = -1;
  for (int i = 0; i + 1 < n; ++i) {
    if (t[i] < lo || t[i] > hi) continue;
    const double dt = t[i + 1] - t[i];
    if (dt == 0) continue;  // repeated time: no slope
    const double g = (r[i + 1] - r[i]) / dt;
    // The first of equally steep steps wins.
    if (std::isfinite(g) && std::fabs(g) > std::fabs(best)) {
      best = g;
      k = i;
    }
  }
  double t0 = k >= 0 ? t[k] - r[k] / best : 0;
  if (!std::isfinite(t0)) t0 = 0;
  // Upper bound first, so that a window whose ends cross gives its start.
  return std::max(lo, std::min(t0, hi));
}

AlignResult AlignStage(TExperiment& e, std::string_view minBox, std::string_view maxBox) {
  AlignResult result;
  try {
    const int src = e.FindSourceStage(stAlign);
    result.Window = SettleStartStop(e, stAlign, src, minBox, maxBox);
    if (!e.Switches.Align || !e.StageExists(src)) return result;
    // An existing stage 4 of another shape is sized anew rather than
    // written past its ends.
    if (!PrepareStage(e, stAlign, src)) {
      result.Ok = false;
      result.Message = kAlignErrorMessage;
      return result;
    }
    AlignCurves(e, src, result.Window.Start, result.Window.Stop);
  } catch (const std::exception&) {
    result.Ok = false;
    result.Message = kAlignErrorMessage;
  }
  return result;
}

TCurveInfo* AlignedCurveInfo(TExperiment& e, int curve) {
  if (!HasAlignedCurve(e, curve)) return nullptr;
  return &e.CurveInfo[static_cast<std::size_t>(e.Stage(stAlign).SourceCurve[curve])];
}

const TCurveInfo* AlignedCurveInfo(const TExperiment& e, int curve) {
  if (!HasAlignedCurve(e, curve)) return nullptr;
  return &e.CurveInfo[static_cast<std::size_t>(e.Stage(stAlign).SourceCurve[curve])];
}

bool ShiftAlignedCurve(TExperiment& e, int curve, double delta) {
  if (!HasAlignedCurve(e, curve)) return false;
  AddToTimes(e.Stage(stAlign), curve, delta);
  return true;
}

bool SetAlignedInjectionTime(TExperiment& e, int curve, double injectionTime) {
  TCurveInfo* info = AlignedCurveInfo(e, curve);
  if (!info) return false;
  AddToTimes(e.Stage(stAlign), curve, info->InjectionTime - injectionTime);
  info->InjectionTime = injectionTime;
  info->AutoInjection = false;
  return true;
}

double StepAlignedCurve(TExperiment& e, int curve, double step) {
  TCurveInfo* info = AlignedCurveInfo(e, curve);
  if (!info) return std::numeric_limits<double>::quiet_NaN();
  AddToTimes(e.Stage(stAlign), curve, step);
  info->InjectionTime -= step;
  info->AutoInjection = false;
  return info->InjectionTime;
}

}  // namespace kelvaris

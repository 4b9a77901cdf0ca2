#include "processing/data_stage.h"

#include "model/experiment.h"
#include "processing/despike.h"
#include "model/flags.h"
#include "platform/window_system.h"

namespace kelvaris {

namespace {

bool KeepsAnyPoint(const TCurveSet& raw, int c) {
  const TPointFlags* f = raw.FlagsOf(c);
  for (int i = 0, n = raw.PointCount[c]; i < n; ++i)
    if (StageKeepsPoint(stData, f[i])) return true;
  return false;
}

}  // namespace

void UpdateSampleIntervals(TExperiment& e) {
  const TCurveSet& raw = e.Stage(stRaw);
  for (int c = 0; c < raw.CurveCount; ++c) {
    double& interval = e.CurveInfo[c].SampleInterval;
    const double* t = raw.TimeOf(c);
    for (int i = 1, n = raw.PointCount[c]; i < n; ++i) {
      const double d = t[i] - t[i - 1];
      if (interval == 0 || (d > 0 && d < interval)) interval = d;
    }
  }
}

bool RunDataStage(TExperiment& e, bool despike) {
  if (!e.StageExists(stRaw)) return true;
  UpdateSampleIntervals(e);
  const TCurveSet& raw = e.Stage(stRaw);

  int kept = 0;
  for (int c = 0; c < raw.CurveCount; ++c)
    if (!(raw.CurveFlags[c] & cfHiddenInjection) && KeepsAnyPoint(raw, c)) ++kept;

  TCurveSet& data = e.Stage(stData);
  if (data.CurveCount != kept || (data.Exists() && data.Capacity < raw.Capacity)) e.FreeStages(stData);
  // With every injection hidden or cut there is nothing to compute from.
  if (kept == 0) return true;
  if (!data.Exists() && !e.AllocateStage(stData, kept, raw.Capacity)) {
    e.Ws().MessageBox("An error occurred while cutting the data", "Error", MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }

  int out = 0;
  for (int c = 0; c < raw.CurveCount && out < data.CurveCount; ++c) {
    if (raw.CurveFlags[c] & cfHiddenInjection) continue;
    data.PointCount[out] = 0;
    const double* t = raw.TimeOf(c);
    const double* r = raw.ResponseOf(c);
    const TPointFlags* f = raw.FlagsOf(c);
    for (int i = 0, n = raw.PointCount[c]; i < n; ++i)
      if (StageKeepsPoint(stData, f[i])) data.Append(out, t[i], r[i], f[i] & ~pfLabelMask, i);
    if (data.PointCount[out] == 0) continue;
    data.CurveFlags[out] = raw.CurveFlags[c] & ~cfDataStageClearMask;
    data.SourceCurve[out] = c;
    ++out;
  }
  if (despike) Despike(e, stData);
  return true;
}

}  // namespace kelvaris

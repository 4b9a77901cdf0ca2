#include "processing/stage_copy.h"

#include "model/experiment.h"
#include "model/flags.h"

namespace kelvaris {

bool PrepareStage(TExperiment& e, int dst, int src) {
  const TCurveSet& from = e.Stage(src);
  TCurveSet& to = e.Stage(dst);
  if (to.Exists() && to.CurveCount == from.CurveCount && to.Capacity >= from.Capacity) return true;
  if (to.Exists()) e.FreeStages(dst);
  return e.AllocateStage(dst, from.CurveCount, from.Capacity);
}

void CopyCurveWithOffset(TExperiment& e, int dst, int src, int c, double offset) {
  const TCurveSet& from = e.Stage(src);
  TCurveSet& to = e.Stage(dst);
  to.PointCount[c] = 0;
  const double* t = from.TimeOf(c);
  const double* r = from.ResponseOf(c);
  const TPointFlags* f = from.FlagsOf(c);
  const std::int32_t* index = from.IndexOf(c);
  for (int i = 0, n = from.PointCount[c]; i < n; ++i)
    if (StageKeepsPoint(dst, f[i])) to.Append(c, t[i], r[i] - offset, f[i] & ~pfLabelMask, index[i]);
  to.SourceCurve[c] = from.SourceCurve[c];
  to.CurveFlags[c] = from.CurveFlags[c];
}

}  // namespace kelvaris

#include "processing/zero_stage.h"

#include "model/curve_ops.h"
#include "model/experiment.h"
#include "model/numbers.h"
#include "processing/stage_copy.h"

namespace kelvaris {

bool ZeroStage(TExperiment& e, std::string_view startText, std::string_view stopText) {
  const int src = e.FindSourceStage(stZero);
  if (!e.StageExists(src)) return true;
  if (!PrepareStage(e, stZero, src)) return false;
  const auto [tmin, tmax] = e.TimeRange(src);
  const double start = ParseNumber(startText, tmin);
  const double stop = ParseNumber(stopText, tmax);
  for (int c = 0; c < e.Stage(src).CurveCount; ++c) {
    // A window without a point of the curve leaves it as it is.
    const WindowSum mean = AverageInWindow(e, src, c, start, stop);
    CopyCurveWithOffset(e, stZero, src, c, mean.n > 0 ? mean.value : 0);
  }
  return true;
}

}  // namespace kelvaris

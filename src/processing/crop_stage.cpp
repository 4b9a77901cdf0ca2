#include "processing/crop_stage.h"

#include <algorithm>
#include <cmath>

#include "model/experiment.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

// Walks the points of curve c that the window keeps, in order: eligible
// points from `start` on, up to the first eligible point after `stop`.
template <typename Fn>
void ForWindowPoints(const TCurveSet& set, int c, double start, double stop, Fn fn) {
  const double* t = set.TimeOf(c);
  const TPointFlags* f = set.FlagsOf(c);
  for (int i = 0, n = set.PointCount[c]; i < n; ++i) {
    if (!StageKeepsPoint(stCrop, f[i]) || t[i] < start) continue;
    if (t[i] > stop) return;
    fn(i);
  }
}

// Averages the window's points into bins of width w; calls out(time,
// response, index of the point whose flags the bin takes) per bin.
template <typename Out>
void ForBins(const TCurveSet& set, int c, double start, double stop, double w, Out out) {
  const double* t = set.TimeOf(c);
  const double* r = set.ResponseOf(c);
  double edge = w + std::floor(start / w) * w;
  double sumT = 0, sumR = 0;
  int k = 0;
  ForWindowPoints(set, c, start, stop, [&](int i) {
    if (t[i] > edge) {
      if (k > 0) out(sumT / k, sumR / k, i);  // the point that closes the bin
      sumT = sumR = 0;
      k = 0;
      while (t[i] > edge) edge += w;
    }
    sumT += t[i];
    sumR += r[i];
    ++k;
  });
  if (k > 0) out(sumT / k, sumR / k, set.PointCount[c] - 1);
}

}  // namespace

CropResult CropStage(TExperiment& e, std::string_view startText, std::string_view stopText, bool average,
                     std::string_view secondsText) {
  e.FreeStages(stCrop);
  const int src = e.FindSourceStage(stCrop);
  if (!e.StageExists(src)) return CropResult::Ok;
  const TCurveSet& from = e.Stage(src);
  const double start = ParseNumber(startText, 0);
  const double stop = ParseNumber(stopText, 0);
  const double w = ParseNumber(secondsText, 0);
  const bool bins = average && w > 0;

  int m = 0;
  for (int c = 0; c < from.CurveCount; ++c) {
    int n = 0;
    if (bins)
      ForBins(from, c, start, stop, w, [&](double, double, int) { ++n; });
    else
      ForWindowPoints(from, c, start, stop, [&](int) { ++n; });
    m = std::max(m, n);
  }
  if (m < 2) return CropResult::NotEnoughPoints;
  if (!e.AllocateStage(stCrop, from.CurveCount, m)) return CropResult::Failed;

  TCurveSet& to = e.Stage(stCrop);
  for (int c = 0; c < from.CurveCount; ++c) {
    to.PointCount[c] = 0;
    const TPointFlags* f = from.FlagsOf(c);
    const std::int32_t* index = from.IndexOf(c);
    if (bins) {
      ForBins(from, c, start, stop, w, [&](double time, double response, int i) {
        to.Append(c, time, response, f[i] & ~pfLabelMask, index[i]);
      });
    } else {
      const double* t = from.TimeOf(c);
      const double* r = from.ResponseOf(c);
      ForWindowPoints(from, c, start, stop, [&](int i) { to.Append(c, t[i], r[i], f[i] & ~pfLabelMask, index[i]); });
    }
    to.SourceCurve[c] = from.SourceCurve[c];
    to.CurveFlags[c] = from.CurveFlags[c];
  }
  return CropResult::Ok;
}

}  // namespace kelvaris

#include "model/curve_ops.h"

#include <algorithm>
#include <cmath>

namespace kelvaris {

namespace {

bool ValidCurve(const TExperiment& e, int stage, int c) {
  return e.StageExists(stage) && c >= 0 && c < e.Stage(stage).CurveCount;
}

template <typename Visit>
int ForWindow(const TExperiment& e, int stage, int c, double start, double stop, Visit visit) {
  if (!ValidCurve(e, stage, c)) return 0;
  const TCurveSet& set = e.Stage(stage);
  const double* t = set.TimeOf(c);
  const double* r = set.ResponseOf(c);
  int n = 0;
  for (int i = 0, count = set.PointCount[c]; i < count; ++i) {
    if (t[i] >= start && t[i] <= stop) {
      visit(r[i]);
      ++n;
    }
  }
  return n;
}

// Copies the points of curve c of srcStage that dst keeps into curve out of
// dst, with the response given by `respond(time, response)`.
template <typename Respond>
void CopyKeptPoints(TExperiment& e, int dst, int out, int srcStage, int c, Respond respond) {
  if (!ValidCurve(e, srcStage, c) || !ValidCurve(e, dst, out)) return;
  const TCurveSet& src = e.Stage(srcStage);
  TCurveSet& to = e.Stage(dst);
  const int n = src.PointCount[c];
  const double* t = src.TimeOf(c);
  const double* r = src.ResponseOf(c);
  const TPointFlags* f = src.FlagsOf(c);
  const std::int32_t* idx = src.IndexOf(c);
  const int sourceCurve = src.SourceCurve[c];
  const TCurveFlags curveFlags = src.CurveFlags[c];
  int kept = 0;
  // Read everything first when writing in place would overtake the reader:
  // it cannot, since kept <= i, so a single pass is safe.
  double* tt = to.TimeOf(out);
  double* tr = to.ResponseOf(out);
  TPointFlags* tf = to.FlagsOf(out);
  std::int32_t* ti = to.IndexOf(out);
  for (int i = 0; i < n && kept < to.Capacity; ++i) {
    if (!StageKeepsPoint(dst, f[i])) continue;
    const double time = t[i];
    const double resp = respond(time, r[i]);
    tt[kept] = time;
    tr[kept] = resp;
    tf[kept] = f[i] & ~pfLabelMask;
    ti[kept] = idx[i];
    ++kept;
  }
  to.PointCount[out] = kept;
  to.SourceCurve[out] = sourceCurve;
  to.CurveFlags[out] = curveFlags;
}

}  // namespace

WindowSum AverageInWindow(const TExperiment& e, int stage, int c, double start, double stop) {
  double sum = 0;
  int n = ForWindow(e, stage, c, start, stop, [&](double r) { sum += r; });
  return {n > 0 ? sum / n : 0.0, n};
}

WindowSum SumInWindow(const TExperiment& e, int stage, int c, double start, double stop) {
  double sum = 0;
  int n = ForWindow(e, stage, c, start, stop, [&](double r) { sum += r; });
  return {sum, n};
}

WindowSum SumSquaresInWindow(const TExperiment& e, int stage, int c, double start, double stop) {
  double sum = 0;
  int n = ForWindow(e, stage, c, start, stop, [&](double r) { sum += r * r; });
  return {sum, n};
}

double SdInWindow(const TExperiment& e, int stage, int c, double start, double stop, double centre) {
  double d = 0, q = 0;
  int n = ForWindow(e, stage, c, start, stop, [&](double r) {
    d += r - centre;
    q += (r - centre) * (r - centre);
  });
  if (n < 2) return 0;
  const double variance = (q - d * d / n) / (n - 1);
  return variance > 0 ? std::sqrt(variance) : 0;
}

double Interpolate(const TExperiment& e, int stage, int c, double t) {
  if (!ValidCurve(e, stage, c)) return 0;
  const TCurveSet& set = e.Stage(stage);
  const int n = set.PointCount[c];
  if (n < 1) return 0;
  const double* T = set.TimeOf(c);
  const double* R = set.ResponseOf(c);
  if (t <= T[0]) return R[0];
  if (t >= T[n - 1]) return R[n - 1];
  // Start from the index the sampling interval predicts, so aligning one
  // curve against another costs about one step per point.
  const int raw = set.SourceCurve[c];
  const double interval =
      raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? e.CurveInfo[raw].SampleInterval : 0;
  int k = 0;
  if (interval > 0) {
    const double guess = std::trunc((t - T[0]) / interval);
    k = guess >= n - 1 ? n - 1 : (guess > 0 ? static_cast<int>(guess) : 0);
  }
  while (k < n - 2 && t > T[k + 1]) ++k;
  while (k > 0 && t < T[k]) --k;
  if (k >= n - 1) k = n - 2;
  const double span = T[k + 1] - T[k];
  if (span == 0) return R[k];
  return R[k] + (R[k + 1] - R[k]) * (t - T[k]) / span;
}

void SubtractCurve(TExperiment& e, int dst, int out, int refStage, int ref, int srcStage, int c) {
  CopyKeptPoints(e, dst, out, srcStage, c,
                 [&](double time, double r) { return r - Interpolate(e, refStage, ref, time); });
}

void AddCurve(TExperiment& e, int stage, int target, int srcStage, int c) {
  if (!ValidCurve(e, stage, target)) return;
  TCurveSet& set = e.Stage(stage);
  double* t = set.TimeOf(target);
  double* r = set.ResponseOf(target);
  for (int i = 0, n = set.PointCount[target]; i < n; ++i) r[i] += Interpolate(e, srcStage, c, t[i]);
}

void SubtractJump(TExperiment& e, int dst, int out, double jump, double injectionEnd, int srcStage, int c) {
  CopyKeptPoints(e, dst, out, srcStage, c, [&](double time, double r) {
    return time >= 0 && time <= injectionEnd ? r - jump : r;
  });
}

Line LineFit(const TExperiment& e, int stage, int c, int first, int last) {
  if (!ValidCurve(e, stage, c)) return {};
  const TCurveSet& set = e.Stage(stage);
  first = std::max(first, 0);
  last = std::min(last, set.PointCount[c] - 1);
  const int m = last - first + 1;
  if (m < 1) return {};
  const double* x = set.TimeOf(c);
  const double* y = set.ResponseOf(c);
  // Centred sums: the same line as the raw-sum formula, without its
  // cancellation when times are large.
  double mx = 0, my = 0;
  for (int i = first; i <= last; ++i) {
    mx += x[i];
    my += y[i];
  }
  mx /= m;
  my /= m;
  double sxy = 0, sxx = 0;
  for (int i = first; i <= last; ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
  }
  const double slope = sxx > 0 ? sxy / sxx : 0;
  return {my - slope * mx, slope};
}

double JumpAt(const TExperiment& e, int stage, int c, double t) {
  if (!ValidCurve(e, stage, c)) return 0;
  const TCurveSet& set = e.Stage(stage);
  const int n = set.PointCount[c];
  const double* T = set.TimeOf(c);
  int b = -1, a = -1;
  for (int i = 0; i < n; ++i) {
    if (T[i] <= t - 2) b = i;
    if (a < 0 && T[i] >= t + 2) a = i;
  }
  if (b < 0 || a < 0) return 0;
  const int b0 = std::max(0, b - 5);
  const int a1 = std::min(a + 5, n - 1);
  if (b - b0 <= 1 || a1 - a <= 1) return 0;
  const Line before = LineFit(e, stage, c, b0, b);
  const Line after = LineFit(e, stage, c, a, a1);
  return (before.intercept + before.slope * t) - (after.intercept + after.slope * t);
}

}  // namespace kelvaris

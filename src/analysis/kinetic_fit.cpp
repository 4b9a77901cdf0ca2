#include "analysis/kinetic_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "analysis/fit_status.h"
#include "analysis/kinetic_objective.h"

namespace kelvaris {

namespace {

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

// Every position's arrays and record exist, no record is fitted twice and
// every link points at a record.
bool InputsFit(int first, int last, const KineticFitCurves& c, std::span<const TCurveKinetics> records) {
  if (first > last) return true;
  if (first < 0) return false;
  const std::size_t need = Index(last) + 1;
  if (c.times.size() < need || c.responses.size() < need || c.pointCounts.size() < need || c.rawCurve.size() < need)
    return false;
  std::vector<char> seen(records.size(), 0);
  for (int pos = first; pos <= last; ++pos) {
    const int curve = c.rawCurve[Index(pos)];
    if (curve < 0 || Index(curve) >= records.size() || seen[Index(curve)]) return false;
    seen[Index(curve)] = 1;
    const int n = c.pointCounts[Index(pos)];
    if (n < 0 || (n > 0 && (!c.times[Index(pos)] || !c.responses[Index(pos)]))) return false;
    for (const KineticParameter& p : records[Index(curve)].slot)
      if (p.linked && (p.linkTarget < 0 || Index(p.linkTarget) >= records.size())) return false;
  }
  return true;
}

void ClearResults(const KineticFitRange& range, std::span<TCurveKinetics> records) {
  for (int pos = range.first; pos <= range.last; ++pos) {
    TCurveKinetics& r = records[Index(range.rawCurve[Index(pos)])];
    for (KineticParameter& p : r.slot) p.error = 0;
    r.kaKdCovariance = 0;
  }
}

// The curves' residual sums of the values the fit leaves in the records.
void StoreResidualSums(const KineticFitRange& range, std::span<TCurveKinetics> records, const TMarquardtState& s) {
  if (!s.started) return;
  for (int pos = range.first; pos <= range.last; ++pos)
    records[Index(range.rawCurve[Index(pos)])].residualSumOfSquares =
        static_cast<double>(s.current.groups[Index(pos - range.first)]);
}

int EntryOf(const std::vector<FitParameterEntry>& entries, int curve, int slot) {
  for (std::size_t j = 0; j < entries.size(); ++j)
    if (entries[j].curve == curve && entries[j].slot == slot) return static_cast<int>(j);
  return -1;
}

// Scales the covariance by the residual variance, chisq / (N − M) with N the
// points that entered chi-square, and stores the standard errors and each
// curve's ka–kd covariance. With N ≤ M nothing is known and all stay 0.
int StoreErrors(const KineticFitRange& range, std::span<TCurveKinetics> records,
                const std::vector<FitParameterEntry>& entries, const TMarquardtState& s) {
  const double m = static_cast<double>(entries.size());
  const FitReal factor = s.current.points > m ? s.current.chisq / static_cast<FitReal>(s.current.points - m) : 0;
  constexpr FitReal kLargest = std::numeric_limits<double>::max();
  for (std::size_t j = 0; j < entries.size(); ++j) {
    const FitReal c = s.Covariance(static_cast<int>(j), static_cast<int>(j)) * factor;
    if (!(std::fabs(c) <= kLargest)) return frMathError;
    *entries[j].error = c > 0 ? static_cast<double>(std::sqrt(c)) : 0;
  }
  for (int pos = range.first; pos <= range.last; ++pos) {
    const int curve = range.rawCurve[Index(pos)];
    const int ka = EntryOf(entries, curve, ksKa), kd = EntryOf(entries, curve, ksKd);
    if (ka < 0 || kd < 0) continue;
    const FitReal c = s.Covariance(ka, kd) * factor;
    if (!(std::fabs(c) <= kLargest)) return frMathError;
    records[Index(curve)].kaKdCovariance = static_cast<double>(c);
  }
  return frOk;
}

// The named stopping rules of the loop.
bool PastIterationLimit(long long iteration, const FitControl& c) { return iteration > c.maxIterations; }

bool Converged(double relativeChange, double lambda, const FitControl& c) {
  return relativeChange >= 0 && relativeChange <= c.endChisqChange && lambda <= 1e-4;
}

bool DisplayRefreshDue(long long iteration, const FitControl& c) {
  return c.displayInterval >= 1 && iteration % c.displayInterval == 0;
}

}  // namespace

namespace {

int Fit(const KineticFitRange& range, const KineticFitCurves& curves, const FitProgress& progress,
        const FitControl& control, std::span<TCurveKinetics> records, const KineticModel& model) {
  std::vector<FitParameterEntry> entries = ListFreeParameters(range, records, control);
  ClearResults(range, records);
  if (entries.empty()) return frNoParameters;

  TKineticObjective objective(range, curves, records, entries, model, progress, control);
  TMarquardtState state;
  state.Resize(static_cast<int>(entries.size()), objective.CurveCount());
  const MarquardtLimits limits{control.lambdaMin, control.lambdaMax};
  auto finish = [&](int code) {
    ApplyLinks(range, records);
    StoreResidualSums(range, records, state);
    return code;
  };

  if (progress) progress(-5, 0, 0, 0);
  if (const int code = MarquardtStep(objective, state, limits)) {
    StoreResidualSums(range, records, state);
    return code;
  }
  long long iteration = 0;
  bool stop = false;
  for (;;) {
    const double previous = static_cast<double>(state.current.chisq);
    ++iteration;
    if (PastIterationLimit(iteration, control)) return finish(frIterationLimit);
    if (const int code = MarquardtStep(objective, state, limits)) return finish(code);
    const double chisq = static_cast<double>(state.current.chisq);
    const double change = previous == 0 ? 0 : (previous - chisq) / previous;
    const int b = DisplayRefreshDue(iteration, control) ? -4 : -3;
    if (progress && progress(static_cast<int>(iteration), b, state.lambda, chisq)) stop = true;
    if (Converged(change, state.lambda, control) || stop) break;
  }

  state.lambda = 0;
  if (progress) progress(0, -2, 0, 0);
  if (const int code = MarquardtStep(objective, state, limits)) return finish(code);
  finish(frOk);
  if (const int code = StoreErrors(range, records, entries, state)) return code;
  return stop ? frUserBreak : frOk;
}

}  // namespace

int RunKineticFit(int first, int last, const KineticFitCurves& curves, const FitProgress& progress,
                  const FitControl& control, std::span<TCurveKinetics> records, const KineticModel& model) {
  if (!InputsFit(first, last, curves, records)) return frBadArray;
  const KineticFitRange range{first, last, curves.rawCurve};
  try {
    return Fit(range, curves, progress, control, records, model);
  } catch (...) {
    return frMathError;
  }
}

int RunKineticFit(int first, int last, const TCurveSet& stage, const FitProgress& progress,
                  const FitControl& control, std::span<TCurveKinetics> records, const KineticModel& model) {
  const std::size_t n = Index(std::max(stage.CurveCount, 0));
  if (stage.PointCount.size() < n || stage.SourceCurve.size() < n) return frBadArray;
  const std::size_t room = n * Index(std::max(stage.Capacity, 0));
  if (stage.Time.size() < room || stage.Response.size() < room) return frBadArray;
  std::vector<const double*> times(n), responses(n);
  for (std::size_t c = 0; c < n; ++c) {
    if (stage.PointCount[c] > stage.Capacity) return frBadArray;
    times[c] = stage.TimeOf(static_cast<int>(c));
    responses[c] = stage.ResponseOf(static_cast<int>(c));
  }
  const KineticFitCurves curves{times, responses, std::span<const int>(stage.PointCount.data(), n),
                                std::span<const int>(stage.SourceCurve.data(), n)};
  return RunKineticFit(first, last, curves, progress, control, records, model);
}

}  // namespace kelvaris

#include "analysis/kinetic_objective.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/fit_status.h"

namespace kelvaris {

namespace {

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

}  // namespace

TKineticObjective::TKineticObjective(const KineticFitRange& range, const KineticFitCurves& curves,
                                     std::span<TCurveKinetics> records, std::vector<FitParameterEntry>& entries,
                                     const KineticModel& model, const FitProgress& progress,
                                     const FitControl& control)
    : range_(range), curves_(curves), records_(records), entries_(entries), model_(model), progress_(progress),
      control_(control) {
  int capacity = 0;
  std::size_t widest = 0;
  offsets_.push_back(0);
  for (int pos = range.first; pos <= range.last; ++pos) {
    const int curve = range.rawCurve[Index(pos)];
    const TCurveKinetics& record = records[Index(curve)];
    const std::size_t begin = concerned_.size();
    for (std::size_t j = 0; j < entries.size(); ++j)
      if (EntryConcernsCurve(entries[j], curve, record)) concerned_.push_back(static_cast<int>(j));
    widest = std::max(widest, concerned_.size() - begin);
    offsets_.push_back(static_cast<int>(concerned_.size()));
    capacity = std::max(capacity, curves.pointCounts[Index(pos)]);
  }
  keptTimes_.resize(Index(capacity));
  keptResponses_.resize(Index(capacity));
  values_.resize(Index(capacity));
  derivatives_.resize(widest);
}

int TKineticObjective::Evaluate(TNormalEquations& out) {
  ApplyLinks(range_, records_);
  for (int pos = range_.first; pos <= range_.last; ++pos) {
    if (progress_) progress_(-1, pos, 0, 0);
    if (const int code = EvaluateCurve(pos, out)) return code;
  }
  for (FitReal sum : out.groups) out.chisq += sum;
  return frOk;
}

int TKineticObjective::Derivatives(int curve, TCurveKinetics& record, double t) {
  if (model_.derivatives) return model_.derivatives(entries_, curve, record, t);
  return NumericalDerivatives(model_.evaluate, entries_, curve, record, t);
}

// The points of one curve at or after its fit start: the injection begin,
// or the injection end for the dissociation-only model.
int TKineticObjective::EvaluateCurve(int pos, TNormalEquations& out) {
  const std::size_t group = Index(pos - range_.first);
  const int curve = range_.rawCurve[Index(pos)];
  TCurveKinetics& record = records_[Index(curve)];
  out.groups[group] = 0;
  if (record.model == 0) return frOk;
  const double start = record.slot[record.model == 1 ? ksStop : ksStart].value;
  const double* t = curves_.times[Index(pos)];
  const double* y = curves_.responses[Index(pos)];
  const int n = curves_.pointCounts[Index(pos)];
  int kept = 0;
  for (int i = 0; i < n; ++i) {
    if (!(t[i] >= start)) continue;
    keptTimes_[Index(kept)] = t[i];
    keptResponses_[Index(kept)] = y[i];
    ++kept;
  }
  if (kept == 0) return frOk;
  if (!model_.evaluate) return frMathError;
  if (const int code = model_.evaluate(record, keptTimes_.data(), values_.data(), kept)) return code;

  const std::span<const int> index(concerned_.data() + offsets_[group], concerned_.data() + offsets_[group + 1]);
  FitReal sum = 0;
  for (int i = 0; i < kept; ++i) {
    const double v = values_[Index(i)];
    if (!std::isfinite(v)) return frMathError;
    const FitReal r = static_cast<FitReal>(keptResponses_[Index(i)]) - v;
    sum += r * r;
    if (index.empty()) continue;
    if (const int code = Derivatives(curve, record, keptTimes_[Index(i)])) return code;
    for (std::size_t a = 0; a < index.size(); ++a) {
      const double d = entries_[Index(index[a])].derivative;
      if (!std::isfinite(d)) return frMathError;
      derivatives_[a] = d;
    }
    out.AddPoint(index, derivatives_.data(), r, 1);
  }
  out.groups[group] = sum;
  out.points += kept;
  return frOk;
}

void TKineticObjective::SaveParameters() {
  for (FitParameterEntry& e : entries_) e.saved = *e.value;
}

void TKineticObjective::TakeStep(std::span<const FitReal> delta) {
  for (std::size_t j = 0; j < entries_.size() && j < delta.size(); ++j) {
    FitParameterEntry& e = entries_[j];
    const double step = static_cast<double>(delta[j]);
    *e.value += step;
    ApplyConstraint(e, step, control_);
  }
}

void TKineticObjective::RestoreParameters() {
  for (FitParameterEntry& e : entries_) *e.value = e.saved;
}

}  // namespace kelvaris

#include "analysis/kinetic_model.h"

#include "analysis/fit_status.h"

namespace kelvaris {

namespace {

// Puts a slot back however the evaluation in between ends.
class SlotRestorer {
 public:
  explicit SlotRestorer(double& slot) : slot_(slot), saved_(slot) {}
  ~SlotRestorer() { slot_ = saved_; }
  SlotRestorer(const SlotRestorer&) = delete;
  SlotRestorer& operator=(const SlotRestorer&) = delete;
  double Saved() const { return saved_; }

 private:
  double& slot_;
  double saved_;
};

int CentralDifference(const EvaluationFunction& evaluate, FitParameterEntry& e, TCurveKinetics& record, double t) {
  double& slot = record.slot[e.slot].value;
  const SlotRestorer restore(slot);
  double low = restore.Saved() - e.step, high = restore.Saved() + e.step;
  if (e.stepClass == scRate && low < 0) low = 0;
  double responseLow = 0, responseHigh = 0;
  slot = low;
  if (const int code = evaluate(record, &t, &responseLow, 1)) return code;
  slot = high;
  if (const int code = evaluate(record, &t, &responseHigh, 1)) return code;
  e.derivative = high == low ? 0 : (responseHigh - responseLow) / (high - low);
  return frOk;
}

}  // namespace

int NumericalDerivatives(const EvaluationFunction& evaluate, std::span<FitParameterEntry> entries, int curve,
                         TCurveKinetics& record, double t) {
  if (!evaluate) return frMathError;
  for (FitParameterEntry& e : entries) {
    e.derivative = 0;
    if (e.slot < 0 || e.slot >= kKineticSlots || !EntryConcernsCurve(e, curve, record)) continue;
    if (const int code = CentralDifference(evaluate, e, record, t)) return code;
  }
  return frOk;
}

}  // namespace kelvaris

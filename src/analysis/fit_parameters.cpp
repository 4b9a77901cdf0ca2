#include "analysis/fit_parameters.h"

#include <cmath>
#include <cstddef>

namespace kelvaris {

namespace {

// Which models list a slot. The order of the table is the order of the
// entries within one curve.
struct SlotRule {
  int slot;
  unsigned models;  // bit n: model n
  int stepClass;
};

constexpr unsigned kModel1 = 1u << 1, kModel2 = 1u << 2, kModel3 = 1u << 3;
constexpr unsigned kAllModels = kModel1 | kModel2 | kModel3;

constexpr SlotRule kSlotRules[] = {
    {ksKm, kModel3, scRate},
    {ksKa, kModel2 | kModel3, scRate},
    {ksRmax, kModel2 | kModel3, scAmplitude},
    {ksKd, kAllModels, scRate},
    {ksStart, kAllModels, scTime},
    {ksStop, kAllModels, scTime},
    {ksJump, kAllModels, scAmplitude},
    {ksA0, kAllModels, scAmplitude},
};

bool ModelUses(const SlotRule& rule, int model) {
  return model >= 1 && model <= 3 && (rule.models & (1u << model)) != 0;
}

// Rate steps follow the value's size; a zero rate gets the bare relative step.
double StepOf(int stepClass, double value, const FitControl& c) {
  switch (stepClass) {
    case scRate: return value == 0 ? c.rateStep : std::fabs(value) * c.rateStep;
    case scTime: return c.timeStep;
    default: return c.amplitudeStep;
  }
}

}  // namespace

bool FollowsLink(const TCurveKinetics& record, int slot, int ownCurve) {
  const KineticParameter& p = record.slot[slot];
  return p.linked != 0 && p.linkTarget != ownCurve;
}

std::vector<FitParameterEntry> ListFreeParameters(const KineticFitRange& range, std::span<TCurveKinetics> records,
                                                  const FitControl& control) {
  std::vector<FitParameterEntry> entries;
  for (int pos = range.first; pos <= range.last; ++pos) {
    const int curve = range.rawCurve[static_cast<std::size_t>(pos)];
    TCurveKinetics& record = records[static_cast<std::size_t>(curve)];
    for (const SlotRule& rule : kSlotRules) {
      KineticParameter& p = record.slot[rule.slot];
      if (!ModelUses(rule, record.model) || !p.fit || FollowsLink(record, rule.slot, curve)) continue;
      FitParameterEntry e;
      e.value = &p.value;
      e.error = &p.error;
      e.slot = rule.slot;
      e.curve = curve;
      e.stepClass = rule.stepClass;
      // Start inside the limits, then size the step from the value kept.
      ApplyConstraint(e, 0, control);
      e.step = StepOf(rule.stepClass, p.value, control);
      entries.push_back(e);
    }
  }
  return entries;
}

void ApplyLinks(const KineticFitRange& range, std::span<TCurveKinetics> records) {
  for (int pos = range.first; pos <= range.last; ++pos) {
    TCurveKinetics& record = records[static_cast<std::size_t>(range.rawCurve[static_cast<std::size_t>(pos)])];
    for (int s = 0; s < kKineticSlots; ++s) {
      KineticParameter& p = record.slot[s];
      if (p.linked) p.value = records[static_cast<std::size_t>(p.linkTarget)].slot[s].value;
    }
  }
}

void ApplyConstraint(FitParameterEntry& e, double step, const FitControl& c) {
  double& v = *e.value;
  switch (e.slot) {
    case ksKm:
    case ksKa:
    case ksKd:
      if (v < 0) v = 0;
      if (v > c.rateUpperLimit) v = c.rateUpperLimit;
      break;
    case ksStart:
    case ksStop:
      if (step > 5) v -= step - 5;
      if (step < -5) v -= step + 5;
      break;
    default: break;
  }
}

bool EntryConcernsCurve(const FitParameterEntry& e, int curve, const TCurveKinetics& record) {
  if (e.curve == curve) return true;
  if (e.slot < 0 || e.slot >= kKineticSlots) return false;
  const KineticParameter& p = record.slot[e.slot];
  return p.linked != 0 && p.linkTarget == e.curve;
}

}  // namespace kelvaris

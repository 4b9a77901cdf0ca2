// A small 1:1 binding model and hand-built runs of curves for the kinetic
// fit tests. The model is the tests' own, so the fit is checked against
// nothing but its own arithmetic.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "analysis/kinetic_fit.h"
#include "model/curve_kinetics.h"

namespace kelvaris::test {

// Association from tb to te towards C·ka·Rmax/(C·ka + kd) plus the bulk
// jump, then exponential dissociation; model 1 holds A0 + jump and decays
// from A0. Zero before tb.
inline double BindingResponse(const TCurveKinetics& r, double t) {
  const double tb = r.slot[ksStart].value, te = r.slot[ksStop].value;
  const double kd = r.slot[ksKd].value, jump = r.slot[ksJump].value;
  if (t <= tb) return 0;
  if (r.model == 1) return t <= te ? r.slot[ksA0].value + jump : r.slot[ksA0].value * std::exp(-kd * (t - te));
  const double c = r.slot[ksConc].value, ka = r.slot[ksKa].value, rmax = r.slot[ksRmax].value;
  const double kobs = c * ka + kd;
  if (!(kobs > 0)) return t <= te ? jump : 0;
  const double req = c * ka * rmax / kobs;
  if (t <= te) return req * (1 - std::exp(-kobs * (t - tb))) + jump;
  return req * (1 - std::exp(-kobs * (te - tb))) * std::exp(-kd * (t - te));
}

inline int BindingModel(TCurveKinetics& r, const double* times, double* values, int n) {
  for (int i = 0; i < n; ++i) values[i] = BindingResponse(r, times[i]);
  return 0;
}

inline KineticModel TestModel() { return KineticModel{BindingModel, {}}; }

// Curves sampled every `step` seconds from 0 to `end`, one record per curve;
// the responses come from the records as built (plus `noise`).
struct KineticRun {
  std::vector<TCurveKinetics> records;
  std::vector<std::vector<double>> times, responses;
  std::vector<const double*> timePtr, responsePtr;
  std::vector<int> counts, raw;

  // A model 2 curve: concentration (M), ka, kd, Rmax, tb, te, all fitted
  // but C and the times.
  static TCurveKinetics Curve(double conc, double ka, double kd, double rmax, double tb = 10, double te = 110) {
    TCurveKinetics r;
    r.model = 2;
    r.slot[ksConc].value = conc;
    r.slot[ksKa] = {ka, 0, 0, 1};
    r.slot[ksKd] = {kd, 0, 0, 1};
    r.slot[ksRmax] = {rmax, 0, 0, 1};
    r.slot[ksStart].value = tb;
    r.slot[ksStop].value = te;
    return r;
  }

  void Add(const TCurveKinetics& r, double end = 300, double step = 1) {
    records.push_back(r);
    std::vector<double> t, y;
    for (double x = 0; x <= end + 1e-9; x += step) t.push_back(x);
    for (double x : t) y.push_back(BindingResponse(r, x));
    times.push_back(std::move(t));
    responses.push_back(std::move(y));
  }

  // Deterministic noise of amplitude `size` RU, the same on every run.
  void AddNoise(double size) {
    unsigned state = 12345;
    for (auto& y : responses)
      for (double& v : y) {
        state = state * 1103515245u + 12345u;
        v += size * ((static_cast<double>((state >> 8) & 0xFFFF) / 65535.0) - 0.5);
      }
  }

  // Links `slot` of curve `follower` to curve `leader`.
  void Link(int follower, int slot, int leader) {
    records[static_cast<std::size_t>(follower)].slot[slot].linked = 1;
    records[static_cast<std::size_t>(follower)].slot[slot].linkTarget = leader;
  }

  KineticFitCurves Curves() {
    timePtr.clear();
    responsePtr.clear();
    counts.clear();
    raw.clear();
    for (std::size_t c = 0; c < times.size(); ++c) {
      timePtr.push_back(times[c].data());
      responsePtr.push_back(responses[c].data());
      counts.push_back(static_cast<int>(times[c].size()));
      raw.push_back(static_cast<int>(c));
    }
    return {timePtr, responsePtr, counts, raw};
  }

  int Fit(const FitControl& control = {}, const FitProgress& progress = {}, const KineticModel& model = TestModel()) {
    const KineticFitCurves c = Curves();
    return RunKineticFit(0, static_cast<int>(records.size()) - 1, c, progress, control, records, model);
  }

  // Sum of squared residuals of curve c at or after its fit start, at the
  // record's values.
  double ResidualSum(std::size_t c) const {
    const TCurveKinetics& r = records[c];
    const double start = r.slot[r.model == 1 ? ksStop : ksStart].value;
    double sum = 0;
    for (std::size_t i = 0; i < times[c].size(); ++i)
      if (times[c][i] >= start) sum += std::pow(responses[c][i] - BindingResponse(r, times[c][i]), 2);
    return sum;
  }
};

}  // namespace kelvaris::test

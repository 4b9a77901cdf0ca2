// Kinetic fit speed: several concentrations of one analyte sharing ka and
// kd, each curve with its own Rmax, fitted from starting values 2× off with
// the central-difference derivatives a model without analytic ones gets.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <vector>

#include "analysis/fit_status.h"
#include "analysis/kinetic_fit.h"
#include "bench.h"

namespace kelvaris::bench {

namespace {

// 1:1 binding: association from tb to te, then dissociation.
int Binding(TCurveKinetics& r, const double* times, double* values, int n) {
  const double c = r.slot[ksConc].value, ka = r.slot[ksKa].value, kd = r.slot[ksKd].value;
  const double rmax = r.slot[ksRmax].value, tb = r.slot[ksStart].value, te = r.slot[ksStop].value;
  const double kobs = c * ka + kd;
  const double req = kobs > 0 ? c * ka * rmax / kobs : 0;
  for (int i = 0; i < n; ++i) {
    const double t = times[i];
    if (t <= tb)
      values[i] = 0;
    else if (t <= te)
      values[i] = req * (1 - std::exp(-kobs * (t - tb)));
    else
      values[i] = req * (1 - std::exp(-kobs * (te - tb))) * std::exp(-kd * (t - te));
  }
  return 0;
}

struct Run {
  std::vector<TCurveKinetics> records;
  std::vector<double> times, responses;
  std::vector<const double*> timePtr, responsePtr;
  std::vector<int> counts, raw;
};

Run MakeRun(int curves, int points) {
  Run run;
  const double step = 400.0 / points;
  unsigned noise = 1;
  run.times.resize(static_cast<std::size_t>(curves) * points);
  run.responses.resize(run.times.size());
  for (int c = 0; c < curves; ++c) {
    TCurveKinetics r;
    r.model = 2;
    r.slot[ksConc].value = 1e-9 * std::pow(2.0, c);
    r.slot[ksKa] = {2e5, 0, 0, 1, c > 0};
    r.slot[ksKd] = {5e-3, 0, 0, 1, c > 0};
    r.slot[ksRmax] = {40.0 + c, 0, 0, 1};
    r.slot[ksStart].value = 20;
    r.slot[ksStop].value = 200;
    double* t = run.times.data() + static_cast<std::size_t>(c) * points;
    double* y = run.responses.data() + static_cast<std::size_t>(c) * points;
    for (int i = 0; i < points; ++i) t[i] = i * step;
    Binding(r, t, y, points);
    for (int i = 0; i < points; ++i) {
      noise = noise * 1103515245u + 12345u;
      y[i] += 0.2 * (static_cast<double>((noise >> 8) & 0xFFFF) / 65535.0 - 0.5);
    }
    r.slot[ksKa].value = 1e5;
    r.slot[ksKd].value = 1e-2;
    r.slot[ksRmax].value = 25;
    run.records.push_back(r);
    run.timePtr.push_back(t);
    run.responsePtr.push_back(y);
    run.counts.push_back(points);
    run.raw.push_back(c);
  }
  return run;
}

}  // namespace

int FitBench(int curves, int points) {
  double best = 1e30;
  int code = 0, iterations = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    Run run = MakeRun(curves, points);
    const KineticFitCurves data{run.timePtr, run.responsePtr, run.counts, run.raw};
    int seen = 0;
    const FitProgress progress = [&](int a, int b, double, double) {
      if (b == -3 || b == -4) seen = a;
      return 0;
    };
    const auto t0 = std::chrono::steady_clock::now();
    code = RunKineticFit(0, curves - 1, data, progress, FitControl{}, run.records, KineticModel{Binding, {}});
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    iterations = seen;
  }
  if (code != 0) {
    std::cerr << "the fit ended with " << FitStatusText(code) << "\n";
    return 1;
  }
  std::printf("kinetic fit %d curves x %d points (shared ka and kd, %d iterations): %.1f ms\n", curves, points,
              iterations, best);
  return 0;
}

}  // namespace kelvaris::bench

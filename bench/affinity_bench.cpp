// Affinity speed: the stage built from the Bound stage and every flow cell
// fitted, 4 flow cells x 3 analytes x 12 concentrations, 20 raw points per
// injection in the bound window, with noise so that the fit takes its
// usual number of steps.
#include "affinity_bench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "analysis/affinity_entries.h"
#include "analysis/affinity_stage.h"
#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "processing/bound_stage.h"
#include "processing/data_stage.h"

namespace kelvaris::bench {

namespace {

constexpr int kCells = 4, kAnalytes = 3, kConcentrations = 12, kPoints = 40;

// Responses of 0 before 10 s and on the isotherm, with noise, after.
bool MakeRun(TExperiment& e) {
  const int curves = kCells * kAnalytes * kConcentrations;
  if (!e.AllocateStage(stRaw, curves, kPoints)) return false;
  TCurveSet& raw = e.Stage(stRaw);
  unsigned noise = 1;
  int c = 0;
  for (int cell = 1; cell <= kCells; ++cell)
    for (int analyte = 1; analyte <= kAnalytes; ++analyte)
      for (int i = 0; i < kConcentrations; ++i, ++c) {
        const double conc = 1e-9 * std::pow(2.5, i), kd = 1e-8 * std::pow(10.0, analyte - 1);
        const double bound = (40.0 + 5 * cell) * conc / (kd + conc);
        raw.PointCount[c] = 0;
        for (int t = 0; t < kPoints; ++t) {
          noise = noise * 1103515245u + 12345u;
          const double r = t < 10 ? 0 : bound + 0.5 * (static_cast<double>((noise >> 8) & 0xFFFF) / 65535.0 - 0.5);
          raw.Append(c, t, r, 0, t);
        }
        TCurveInfo& info = e.CurveInfo[static_cast<std::size_t>(c)];
        info.FlowCell = cell;
        info.Injection = c + 1;
        info.Analyte = analyte;
        info.Concentration = conc;
        info.AffinityFlags = afKd1Fitted;
      }
  e.ExtendLigands(kCells);
  for (int cell = 1; cell <= kCells; ++cell) e.Ligands[static_cast<std::size_t>(cell)].FitOn = 1;
  e.DataLoaded = true;
  e.Switches.Bound = true;
  e.WindowSet[stBound] = true;
  if (!RunDataStage(e)) return false;
  const BoundResult bound = BoundStage(e, {"10", "29", 0, kAnalytes, false});
  return !bound.Failed && !bound.SwitchedOff;
}

}  // namespace

int AffinityBench() {
  HeadlessWindowSystem ws;
  TExperiment e(ws);
  if (!MakeRun(e)) {
    std::cerr << "affinity: the run could not be built\n";
    return 1;
  }
  double best = 1e30;
  AffinityResult result;
  for (int attempt = 0; attempt < 5; ++attempt) {
    const auto t0 = std::chrono::steady_clock::now();
    result = RunAffinityStage(e, {1, kAnalytes, false, 0});
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  for (int cell = 1; cell <= kCells; ++cell)
    if (result.Failed || !result.Warnings[static_cast<std::size_t>(cell)].empty()) {
      std::cerr << "affinity: " << (result.Failed ? result.Message : result.Warnings[static_cast<std::size_t>(cell)])
                << "\n";
      return 1;
    }
  std::printf("affinity: %d flow cells x %d analytes x %d concentrations, one site: %.2f ms\n", kCells, kAnalytes,
              kConcentrations, best);
  return 0;
}

}  // namespace kelvaris::bench

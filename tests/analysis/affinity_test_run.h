// Hand-built runs for the affinity tests: one curve per injection whose raw
// points in the bound window are given, carried through the Data and Bound
// stages so that stage 9 is what the Affinity stage really reads.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "processing/stage_test_run.h"
#include "analysis/affinity_entries.h"
#include "analysis/affinity_stage.h"
#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "processing/bound_stage.h"

namespace kelvaris::test {

struct AffinityInjection {
  int cell = 1;
  int analyte = 1;
  double concentration = 0;    // M
  std::vector<double> values;  // the raw points in the window, RU, one a second (at least 6)
  bool excluded = false;       // excluded from the fit on the affinity graph
};

// Isotherm points without noise: `repeats` equal observations each.
inline std::vector<AffinityInjection> Isotherm(int cell, int analyte, double rmax, double kd,
                                               const std::vector<double>& concentrations, int repeats = 6) {
  std::vector<AffinityInjection> out;
  for (double c : concentrations)
    out.push_back({cell, analyte, c, std::vector<double>(static_cast<std::size_t>(repeats), rmax * c / (kd + c))});
  return out;
}

class AffinityRun {
 public:
  // Loads the injections, computes the Bound stage over their window
  // values and switches the fit on for `fitCells` (KD fitted on all their
  // curves). The values lie from 10 s on, since the Bound window is at
  // least 5 s wide and starts after the first point.
  void Load(const std::vector<AffinityInjection>& injections, int analytes, const std::vector<int>& fitCells) {
    constexpr int kStart = 10;
    std::vector<RunCurve> curves;
    int injection = 0, longest = 6;
    for (const AffinityInjection& a : injections) {
      std::vector<double> v = a.values;
      auto response = [v](double t) {
        const int i = static_cast<int>(t) - kStart;
        return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(i)] : 0.0;
      };
      curves.push_back({a.cell, ++injection, a.concentration, a.analyte, response, 2 * kStart + static_cast<int>(v.size())});
      longest = std::max(longest, static_cast<int>(v.size()));
    }
    LoadRun(e, curves);
    for (std::size_t c = 0; c < injections.size(); ++c)
      if (injections[c].excluded) e.Stage(stRaw).CurveFlags[c] |= cfExcludedFromFit;
    ASSERT_TRUE(RunDataStage(e));
    analytes_ = analytes;
    e.Switches.Bound = true;
    e.WindowSet[stBound] = true;
    const std::string start = std::to_string(kStart), stop = std::to_string(kStart + longest - 1);
    const BoundResult bound = BoundStage(e, {start, stop, 0, analytes, false});
    ASSERT_FALSE(bound.Failed || bound.SwitchedOff) << bound.Warning;
    for (int cell : fitCells) {
      e.ExtendLigands(cell);
      e.Ligands[static_cast<std::size_t>(cell)].FitOn = 1;
      SetFlags(cell, afKd1Fitted);
    }
  }

  // Adds option bits to every raw curve of the flow cell (or of one analyte).
  void SetFlags(int cell, int bits, int analyte = 0) {
    for (TCurveInfo& info : e.CurveInfo)
      if (info.FlowCell == cell && (analyte == 0 || info.Analyte == analyte)) info.AffinityFlags |= bits;
  }

  AffinityResult Run(bool percent = false, int selected = 1) {
    return RunAffinityStage(e, {selected, analytes_, percent, 0});
  }

  TLigand& Ligand(int cell) { return e.Ligands.at(static_cast<std::size_t>(cell)); }
  const TCurveSet& Stage() const { return e.Stage(stAffinity); }
  // The result entry of an analyte; fails the test when there is none.
  int Entry(int analyte, int cell = 1) const {
    const int q = FindAffinityResult(e, analyte, cell);
    EXPECT_GE(q, 0) << "no result for analyte " << analyte << " on flow cell " << cell;
    return std::max(q, 0);
  }
  double T(int q, int slot) const { return Stage().TimeOf(q)[slot]; }
  double R(int q, int slot) const { return Stage().ResponseOf(q)[slot]; }
  TPointFlags F(int q, int slot) const { return Stage().FlagsOf(q)[slot]; }

  HeadlessWindowSystem ws;
  TExperiment e{ws};

 private:
  int analytes_ = 1;
};

}  // namespace kelvaris::test

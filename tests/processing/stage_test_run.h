// Hand-built runs for the tests of the later stages: raw curves with their
// flow cell, injection, concentration and analyte, loaded as stage 0 and
// carried into the Data stage.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "model/experiment.h"
#include "processing/data_stage.h"

namespace kelvaris::test {

struct RunCurve {
  int cell = 1;
  int injection = 1;
  double concentration = 0;  // M; 0 blank, -1 solvent standard, -2 not used
  int analyte = 1;
  std::function<double(double)> response = [](double) { return 0.0; };
  int n = 31;  // points, one a second from t0
  double t0 = 0;
  bool hidden = false;       // a hidden injection
  bool blankRemoved = false;
};

// Replaces whatever `e` held by the curves and computes the Data stage.
inline void LoadRun(TExperiment& e, const std::vector<RunCurve>& curves) {
  e.FreeStages(stRaw);
  int capacity = 1, cells = 1;
  for (const RunCurve& c : curves) {
    capacity = std::max(capacity, c.n);
    cells = std::max(cells, c.cell);
  }
  ASSERT_TRUE(e.AllocateStage(stRaw, static_cast<int>(curves.size()), capacity));
  TCurveSet& raw = e.Stage(stRaw);
  for (int c = 0; c < raw.CurveCount; ++c) {
    const RunCurve& rc = curves[c];
    raw.PointCount[c] = 0;
    for (int i = 0; i < rc.n; ++i) raw.Append(c, rc.t0 + i, rc.response(rc.t0 + i), 0, i);
    if (rc.hidden) raw.CurveFlags[c] |= cfHiddenInjection;
    TCurveInfo& info = e.CurveInfo[c];
    info.FlowCell = rc.cell;
    info.Injection = rc.injection;
    info.Concentration = rc.concentration;
    info.Analyte = rc.analyte;
    info.BlankRemoved = rc.blankRemoved ? 1 : 0;
  }
  e.ExtendLigands(cells);
  e.DataLoaded = true;
  ASSERT_TRUE(RunDataStage(e));
}

inline std::function<double(double)> Constant(double value) {
  return [value](double) { return value; };
}

}  // namespace kelvaris::test

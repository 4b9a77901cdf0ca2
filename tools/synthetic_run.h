// Synthetic binding runs for tests, benchmarks and the bundled example: one
// analyte in a dilution series binding 1:1, injections of equal length.
#pragma once

#include <string>
#include <vector>

namespace kelvaris::synth {

struct RunShape {
  int curves = 8;            // injections (one flow cell)
  int points = 241;          // per curve
  double step = 0.5;         // s between points
  double injectionStart = 20;  // s
  double injectionEnd = 80;    // s
  double topConcentration = 1e-6;  // M, halved for every later injection
  double kd = 1e-3;          // 1/s
  double ka = 1e4;           // 1/(M s)
  double rmax = 50;          // RU
  double noise = 0.05;       // RU, uniform amplitude
  unsigned seed = 1;
  // Flow cells per injection where a format records several. Flow cell 1
  // is the reference: it shows only the bulk step during the injection;
  // every other flow cell shows it 5 % larger and 0.3 RU higher (the
  // solvent artefact) plus a share of the binding response.
  int flowCells = 1;
  double bulk = 5;           // RU, the refractive-index step of the injection
  // The first injections are solvent standards: no binding, and a bulk step
  // that grows by a tenth from one to the next, 5 % larger and 0.3 RU
  // higher on the active flow cells than on the reference.
  int solventStandards = 0;
};

// Concentration of injection k (0-based); the last injection is a blank.
double ConcentrationOf(const RunShape& shape, int k);
// Response of injection k at time t, without noise.
double ResponseAt(const RunShape& shape, int k, double t);

// Headerless pair-column text: per row, time TAB response pairs of all curves.
std::string HeaderlessText(const RunShape& shape);
// Response of injection k on flow cell f (1-based) at time t, without noise.
double FlowCellResponseAt(const RunShape& shape, int k, int f, double t);
// Pair-column rows of every injection on every flow cell, injection by
// injection (flow cells 1..F within each).
std::string FlowCellPairRows(const RunShape& shape);

}  // namespace kelvaris::synth

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
};

// Concentration of injection k (0-based); the last injection is a blank.
double ConcentrationOf(const RunShape& shape, int k);
// Response of injection k at time t, without noise.
double ResponseAt(const RunShape& shape, int k, double t);

// Headerless pair-column text: per row, time TAB response pairs of all curves.
std::string HeaderlessText(const RunShape& shape);

}  // namespace kelvaris::synth

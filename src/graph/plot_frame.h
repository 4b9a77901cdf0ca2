// What one drawing of a TPlot measures and passes between its steps.
#pragma once

#include <cmath>

#include "graph/plot.h"

namespace kelvaris {

struct TPlot::Frame {
  int x0 = 0, y0 = 0, width = 0, height = 0;  // the target rectangle
  bool printer = false;
  bool mono = false;
  double dataXmin = 0, dataXmax = 0, dataYmin = 0, dataYmax = 0;  // GetMinMax
  int dw = 0;  // width of "0"
  int th = 0;  // height of "0"
  int fontSize = 8;
  Colour fontColour = 0;
  int axisWidth = 1;
  int s = 1;           // symbol size
  int labelStrip = 0;  // width kept for curve labels on the right
};

// A pixel position as the surface takes it: held to +-30000 and truncated
// toward zero (not a number gives 0).
inline int HeldPixel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(v < -30000.0 ? -30000.0 : v > 30000.0 ? 30000.0 : v);
}

// Calls fn for every tick value from the first multiple of step at or
// above min up to max; a value within a tenth of a step of 0 is 0.
template <typename Fn>
void ForEachTick(double min, double max, double step, Fn fn) {
  if (!(step > 0) || !std::isfinite(min) || !std::isfinite(max)) return;
  const double first = std::ceil(min / step) * step;
  for (long k = 0; k < 100000; ++k) {
    double v = first + static_cast<double>(k) * step;
    if (v > max) break;
    if (std::fabs(v) < 0.1 * step) v = 0;
    fn(v);
  }
}

}  // namespace kelvaris

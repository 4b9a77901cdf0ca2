// The seven kinds of graph; a kind picks the property record a graph uses.
#pragma once

namespace kelvaris {

enum GraphType : int {
  gtBound = 0,      // bound response against concentration
  gtBoundRes = 1,   // its residuals
  gtBoundNorm = 2,  // its normalised form
  gtCurve = 3,      // sensorgrams
  gtCurveRes = 4,
  gtCurveNorm = 5,
  gtTrend = 6,      // bound response against injection number
};

}  // namespace kelvaris

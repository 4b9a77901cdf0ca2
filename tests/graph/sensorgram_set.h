// Hand-built sensorgrams for the graph tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/curve_set.h"

namespace kelvaris::test {

using Curve = std::vector<std::pair<double, double>>;  // (time, response)

// Sensorgrams in a curve set; curve flags start at colour index 1.
inline TCurveSet MakeSensorgrams(const std::vector<Curve>& curves) {
  std::size_t capacity = 1;
  for (const Curve& c : curves) capacity = std::max(capacity, c.size());
  TCurveSet set;
  set.Allocate(static_cast<int>(curves.size()), static_cast<int>(capacity));
  for (std::size_t c = 0; c < curves.size(); ++c) {
    set.SourceCurve[c] = static_cast<int>(c);
    for (std::size_t k = 0; k < curves[c].size(); ++k)
      set.Append(static_cast<int>(c), curves[c][k].first, curves[c][k].second, 0, static_cast<std::int32_t>(k));
  }
  return set;
}

}  // namespace kelvaris::test

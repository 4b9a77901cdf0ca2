#include "model/curve_set.h"

#include <algorithm>
#include <numeric>

namespace kelvaris {

void TCurveSet::Allocate(int curves, int capacity, bool withModel) {
  const std::size_t total = static_cast<std::size_t>(curves) * static_cast<std::size_t>(capacity);
  Release();
  Response.assign(total, 0.0);
  Time.assign(total, 0.0);
  PointFlags.assign(total, 0);
  PointIndex.resize(total);
  for (int c = 0; c < curves; ++c) {
    auto* row = PointIndex.data() + static_cast<std::size_t>(c) * capacity;
    std::iota(row, row + capacity, 0);
  }
  PointCount.assign(curves, 0);
  SourceCurve.assign(curves, 0);
  CurveFlags.assign(curves, 1);
  if (withModel) Model.assign(total, 0.0);
  CurveCount = curves;
  Capacity = capacity;
}

void TCurveSet::Release() {
  // Swap with empty vectors so the memory really goes back.
  std::vector<double>().swap(Response);
  std::vector<double>().swap(Time);
  std::vector<TPointFlags>().swap(PointFlags);
  std::vector<std::int32_t>().swap(PointIndex);
  std::vector<int>().swap(PointCount);
  std::vector<int>().swap(SourceCurve);
  std::vector<TCurveFlags>().swap(CurveFlags);
  std::vector<double>().swap(Model);
  CurveCount = 0;
  Capacity = 0;
}

}  // namespace kelvaris

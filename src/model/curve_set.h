// One stage's curves as flat arrays: per point time, response, flag word and
// raw point index; per curve point count, source raw curve and flag word.
// Curve c's points live at [c * Capacity, c * Capacity + PointCount[c]).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/flags.h"

namespace kelvaris {

struct TCurveSet {
  int CurveCount = 0;
  int Capacity = 0;
  std::vector<double> Response;          // RU
  std::vector<double> Time;              // s
  std::vector<TPointFlags> PointFlags;
  std::vector<std::int32_t> PointIndex;  // index of the point in its raw curve
  std::vector<int> PointCount;
  std::vector<int> SourceCurve;          // stage-0 curve this curve descends from
  std::vector<TCurveFlags> CurveFlags;
  std::vector<double> Model;             // kinetics stage only: model value per point

  bool Exists() const { return CurveCount > 0; }
  std::size_t Offset(int c) const { return static_cast<std::size_t>(c) * static_cast<std::size_t>(Capacity); }

  double* TimeOf(int c) { return Time.data() + Offset(c); }
  const double* TimeOf(int c) const { return Time.data() + Offset(c); }
  double* ResponseOf(int c) { return Response.data() + Offset(c); }
  const double* ResponseOf(int c) const { return Response.data() + Offset(c); }
  TPointFlags* FlagsOf(int c) { return PointFlags.data() + Offset(c); }
  const TPointFlags* FlagsOf(int c) const { return PointFlags.data() + Offset(c); }
  std::int32_t* IndexOf(int c) { return PointIndex.data() + Offset(c); }
  const std::int32_t* IndexOf(int c) const { return PointIndex.data() + Offset(c); }

  // Appends a point to curve c; the caller guarantees room for it.
  void Append(int c, double time, double response, TPointFlags flags, std::int32_t index) {
    const std::size_t k = Offset(c) + static_cast<std::size_t>(PointCount[c]++);
    Time[k] = time;
    Response[k] = response;
    PointFlags[k] = flags;
    PointIndex[k] = index;
  }

  // Sizes every array for `curves` curves of `capacity` points with the
  // initial values of a new stage: PointIndex[c][i] = i, flags 0, counts and
  // sources 0, curve flags 1. Throws std::bad_alloc when memory runs out.
  void Allocate(int curves, int capacity, bool withModel = false);
  void Release();
};

}  // namespace kelvaris

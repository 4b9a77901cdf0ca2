#include "processing/despike.h"

#include <cstdlib>
#include <utility>

#include "model/experiment.h"

namespace kelvaris {

namespace {

constexpr int kSlots = 20;
constexpr int kSpikeWidth = 10;  // points between a rise and a fall of one spike

struct Slot {
  double slope = 0;
  int index = 0;
};

// Puts (slope, k) into slot 0 and moves it up while `before` says it
// belongs above the next slot; slots 1..19 keep the most extreme slopes.
template <typename Before>
void Insert(Slot (&slots)[kSlots], double slope, int k, Before before) {
  slots[0] = {slope, k};
  for (int i = 0; i + 1 < kSlots && before(slots[i].slope, slots[i + 1].slope); ++i) std::swap(slots[i], slots[i + 1]);
}

}  // namespace

void DespikeCurve(const double* t, double* r, int n) {
  if (n <= kSlots) return;
  Slot rises[kSlots], falls[kSlots];
  for (int k = 1; k < n; ++k) {
    const double dt = t[k] - t[k - 1];
    if (dt == 0) continue;
    const double g = (r[k] - r[k - 1]) / dt;
    Insert(rises, g, k, [](double a, double b) { return a > b; });
    Insert(falls, g, k, [](double a, double b) { return a < b; });
  }
  for (int i = kSlots - 1; i >= 1; --i) {
    const int a = rises[i].index;
    if (a <= 0) continue;
    for (int j = kSlots - 1; j >= 1; --j) {
      const int b = falls[j].index;
      if (b <= 0 || std::abs(a - b) >= kSpikeWidth) continue;
      // The jumps are read again for every pair, so a spike that an earlier
      // pair flattened leaves little for the next.
      const double rise = r[a] - r[a - 1];
      const double fall = -(r[b] - r[b - 1]);
      const double step = rise >= fall ? fall : rise;
      if (b >= a) {
        for (int p = a; p <= b - 1; ++p) r[p] -= step;
      } else {
        for (int p = b; p <= a - 1; ++p) r[p] += step;
      }
    }
  }
}

void Despike(TExperiment& e, int stage) {
  if (!e.StageExists(stage)) return;
  TCurveSet& set = e.Stage(stage);
  for (int c = 0; c < set.CurveCount; ++c) DespikeCurve(set.TimeOf(c), set.ResponseOf(c), set.PointCount[c]);
}

}  // namespace kelvaris

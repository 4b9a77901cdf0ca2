#include "analysis/affinity_entries.h"

#include <algorithm>

#include "model/experiment.h"

namespace kelvaris {

int FindAffinityResult(const TExperiment& e, int analyte, int flowCell) {
  const TCurveSet& set = e.Stage(stAffinity);
  if (set.Capacity < kAffinitySlots) return -1;
  for (int q = 0; q < set.CurveCount; ++q) {
    const TPointFlags* f = set.FlagsOf(q);
    if (static_cast<int>(f[apAnalyte]) == analyte && static_cast<int>(f[apFlowCell]) == flowCell &&
        (f[apKd1] & apbOn))
      return q;
  }
  return -1;
}

int RawAffinityFlags(const TExperiment& e, int analyte, int flowCell) {
  const int n = std::min(e.Stage(stRaw).CurveCount, static_cast<int>(e.CurveInfo.size()));
  for (int c = 0; c < n; ++c) {
    const TCurveInfo& info = e.CurveInfo[c];
    if (info.Analyte == analyte && info.FlowCell == flowCell) return info.AffinityFlags;
  }
  return 0;
}

}  // namespace kelvaris

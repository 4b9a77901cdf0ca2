#include "import/raw_run.h"

#include <new>

namespace kelvaris {

bool AllocateRawRun(RawRun& run, long long curves, long long capacity, ReadMessage& message) {
  auto refuse = [&] {
    message = {"Bad allocation request", "New Sens", MsgIcon::Warning};
    return false;
  };
  if (curves < 1 || capacity < 1) return refuse();
  if (curves > kMaxRawPoints || capacity > kMaxRawPoints || curves * capacity > kMaxRawPoints)
    return refuse();
  try {
    run.curves.Allocate(static_cast<int>(curves), static_cast<int>(capacity));
    for (int c = 0; c < run.curves.CurveCount; ++c) run.curves.SourceCurve[c] = c;
    run.info.assign(static_cast<std::size_t>(curves), TCurveInfo{});
  } catch (const std::bad_alloc&) {
    run.curves.Release();
    run.info.clear();
    return refuse();
  }
  return true;
}

}  // namespace kelvaris

#include "model/experiment.h"

#include <algorithm>
#include <new>

#include "platform/window_system.h"

namespace kelvaris {

const char* StageName(int stage) {
  static const char* const names[kStageCount] = {
      "Data", "Data", "Zeroed", "Cropped", "Aligned", "Referenced", "DMSO",
      "Blanked", "Scaled", "", "", "Kinetics", "Result", ""};
  return stage >= 0 && stage < kStageCount ? names[stage] : "";
}

TExperiment::TExperiment(WindowSystem& ws) : ws_(&ws) {}

bool TExperiment::AllocateStage(int stage, int curves, int capacity) {
  if (stage < 0 || stage >= kStageCount) return false;
  auto refuse = [&] {
    ws_->MessageBox("Bad allocation request", "New Sens", MsgButtons::Ok, MsgIcon::Warning);
    return false;
  };
  if (curves < 1 || capacity < 1) return refuse();
  TCurveSet& set = Stages[stage];
  if (listener_) listener_->StageAllocating(stage);
  try {
    set.Allocate(curves, capacity, stage == stKinetics);
    if (stage == stRaw) {
      CurveInfo.assign(curves, TCurveInfo{});
      for (int c = 0; c < curves; ++c) set.SourceCurve[c] = c;
    }
  } catch (const std::bad_alloc&) {
    set.Release();
    if (stage == stRaw) std::vector<TCurveInfo>().swap(CurveInfo);
    return refuse();
  }
  if (stage == stRaw && listener_) listener_->RawStageAllocated();
  return true;
}

void TExperiment::FreeStages(int from) {
  from = std::clamp(from, 0, kStageCount - 1);
  if (listener_) listener_->StagesFreeing(from);
  for (int s = from; s < kStageCount; ++s) Stages[s].Release();
  if (from == stRaw) {
    std::vector<TCurveInfo>().swap(CurveInfo);
    if (listener_) listener_->RawStageFreed();
  }
}

void TExperiment::InstallRawStage(TCurveSet&& raw, std::vector<TCurveInfo>&& info) {
  FreeStages(stRaw);
  Stages[stRaw] = std::move(raw);
  CurveInfo = std::move(info);
  TCurveSet& set = Stages[stRaw];
  CurveInfo.resize(set.CurveCount);
  for (int c = 0; c < set.CurveCount; ++c) set.SourceCurve[c] = c;
  if (listener_ && set.Exists()) listener_->RawStageAllocated();
}

int TExperiment::FindSourceStage(int s) const {
  for (int k = std::min(s, kStageCount) - 1; k > 0; --k)
    if (StageExists(k)) return k;
  return 0;
}

int TExperiment::FindDisplaySource(int s) const {
  for (int k = std::min(s, kStageCount) - 1; k > 0; --k)
    if (k != stData && k != stScale && StageExists(k)) return k;
  return 0;
}

std::string TExperiment::DefaultLigandName(int index) const {
  const char* word = InstrumentKind == kLigandInstrumentKind ? "Ligand" : "Flowcell";
  return index == 0 ? std::string(word) : std::string(word) + " " + std::to_string(index);
}

void TExperiment::ExtendLigands(int n) {
  while (static_cast<int>(Ligands.size()) < n + 1) {
    TLigand l;
    l.Name = DefaultLigandName(static_cast<int>(Ligands.size()));
    Ligands.push_back(std::move(l));
  }
}

std::pair<double, double> TExperiment::TimeRange(int stage) const {
  if (!StageExists(stage)) return {0, 0};
  const TCurveSet& set = Stages[stage];
  bool any = false;
  double lo = 0, hi = 0;
  for (int c = 0; c < set.CurveCount; ++c) {
    const int n = set.PointCount[c];
    if (n < 1) continue;
    const double first = set.TimeOf(c)[0];
    const double last = set.TimeOf(c)[n - 1];
    if (!any) {
      lo = first;
      hi = last;
      any = true;
    } else {
      lo = std::min(lo, first);
      hi = std::max(hi, last);
    }
  }
  return {lo, hi};
}

}  // namespace kelvaris

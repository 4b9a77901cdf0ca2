#include "processing/blank_stage.h"

#include <exception>

#include "model/curve_ops.h"
#include "model/experiment.h"
#include "processing/despike.h"

namespace kelvaris {

namespace {

// What a curve of the stage's source is to the Blank stage.
enum class Role { Other, Sample, Blank, RemovedBlank };

const TCurveInfo* InfoOf(const TExperiment& e, int stage, int c) {
  const int raw = e.Stage(stage).SourceCurve[c];
  return raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? &e.CurveInfo[raw] : nullptr;
}

Role RoleOf(const TCurveInfo* info) {
  if (!info) return Role::Other;
  if (info->Concentration > 0) return Role::Sample;
  if (info->Concentration == 0) return info->BlankRemoved == 0 ? Role::Blank : Role::RemovedBlank;
  return Role::Other;  // solvent standards and unused injections
}

bool Shown(const std::vector<bool>& cellShown, int cell) {
  return cell < 0 || cell >= static_cast<int>(cellShown.size()) || cellShown[cell];
}

struct Counts {
  int samples = 0;
  int blanks = 0;  // usable ones
};

// Samples and usable blanks of `stage`, on the shown flow cells only when
// a filter is given.
Counts CountCurves(const TExperiment& e, int stage, const std::vector<bool>* cellShown) {
  Counts n;
  for (int c = 0; c < e.Stage(stage).CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, stage, c);
    if (cellShown && info && !Shown(*cellShown, info->FlowCell)) continue;
    const Role role = RoleOf(info);
    if (role == Role::Sample) ++n.samples;
    if (role == Role::Blank) ++n.blanks;
  }
  return n;
}

// Whether curve j of the source can blank curve i: a usable blank of the
// same flow cell (and, in "Compound" mode, of the same analyte).
bool Suits(const TExperiment& e, int src, int j, const TCurveInfo& target, bool sameAnalyte) {
  const TCurveInfo* info = InfoOf(e, src, j);
  return RoleOf(info) == Role::Blank && info->FlowCell == target.FlowCell &&
         (!sameAnalyte || info->Analyte == target.Analyte);
}

// The suitable blank nearest to curve i by position in the source; the
// earlier one of two at the same distance. -1 when there is none.
int NearestBlank(const TExperiment& e, int src, int i, bool sameAnalyte) {
  const TCurveInfo& target = *InfoOf(e, src, i);
  const int count = e.Stage(src).CurveCount;
  for (int d = 0; i - d >= 0 || i + d < count; ++d) {
    if (i - d >= 0 && Suits(e, src, i - d, target, sameAnalyte)) return i - d;
    if (d > 0 && i + d < count && Suits(e, src, i + d, target, sameAnalyte)) return i + d;
  }
  return -1;
}

// Curve o of stage 7 = curve i of the source minus the mean of its flow
// cell's usable blanks, each taken at o's times; i unchanged without any.
void SubtractMeanBlank(TExperiment& e, int src, int i, int o) {
  const TCurveSet& from = e.Stage(src);
  TCurveSet& to = e.Stage(stBlank);
  const double* t = from.TimeOf(i);
  const double* r = from.ResponseOf(i);
  const TPointFlags* f = from.FlagsOf(i);
  const std::int32_t* index = from.IndexOf(i);
  const int n = from.PointCount[i];
  to.PointCount[o] = 0;
  for (int p = 0; p < n && to.PointCount[o] < to.Capacity; ++p)
    if (StageKeepsPoint(stBlank, f[p])) to.Append(o, t[p], 0, f[p] & ~pfLabelMask, index[p]);
  to.SourceCurve[o] = from.SourceCurve[i];
  to.CurveFlags[o] = from.CurveFlags[i];

  // The blanks are summed into o's responses, then o is rebuilt from i.
  const TCurveInfo& target = *InfoOf(e, src, i);
  int blanks = 0;
  for (int j = 0; j < from.CurveCount; ++j) {
    if (!Suits(e, src, j, target, false)) continue;
    AddCurve(e, stBlank, o, src, j);
    ++blanks;
  }
  double* out = to.ResponseOf(o);
  const int kept = to.PointCount[o];
  for (int p = 0, k = 0; p < n && k < kept; ++p) {
    if (!StageKeepsPoint(stBlank, f[p])) continue;
    out[k] = blanks > 0 ? r[p] - out[k] / blanks : r[p];
    ++k;
  }
}

bool PrepareBlankStage(TExperiment& e, int curves, int capacity) {
  const TCurveSet& to = e.Stage(stBlank);
  if (to.Exists() && to.CurveCount == curves && to.Capacity == capacity) return true;
  if (to.Exists()) e.FreeStages(stBlank);
  return e.AllocateStage(stBlank, curves, capacity);
}

BlankResult& SwitchOff(TExperiment& e, BlankResult& result, BlankOutcome outcome) {
  e.FreeStages(stBlank);
  result.Outcome = outcome;
  if (outcome == BlankOutcome::NoSamples) result.Warning = kNoSamplesWarning;
  if (outcome == BlankOutcome::NoBlanks) result.Warning = kNoBlanksWarning;
  if (outcome == BlankOutcome::Failed) {
    result.Message = kBlankFailedText;
    result.Caption = "Error";
    result.Icon = MsgIcon::Warning;
  }
  return result;
}

struct Filled {
  int curves = 0;             // curves of stage 7 written
  bool blankMissing = false;  // stopped at a sample without a suitable blank
};

// Fills stage 7 curve by curve, in the order of the source.
Filled BlankCurves(TExperiment& e, int src, BlankMode mode) {
  const TCurveSet& from = e.Stage(src);
  int o = 0;
  for (int i = 0; i < from.CurveCount; ++i) {
    const Role role = RoleOf(InfoOf(e, src, i));
    if (role != Role::Sample && role != Role::Blank) continue;
    if (mode == BlankMode::Average) {
      SubtractMeanBlank(e, src, i, o);
    } else {
      const int blank = NearestBlank(e, src, i, mode == BlankMode::Compound);
      if (blank < 0) return {o, true};
      SubtractCurve(e, stBlank, o, src, blank, src, i);
    }
    ++o;
  }
  return {o, false};
}

}  // namespace

BlankResult BlankStage(TExperiment& e, const BlankSettings& s) {
  BlankResult result;
  if (!e.Switches.Blank || s.Mode == BlankMode::None) return result;
  try {
    const int src = e.FindSourceStage(stBlank);
    if (!e.StageExists(src)) return result;
    const Counts n = CountCurves(e, src, nullptr);
    if (n.samples == 0) return SwitchOff(e, result, BlankOutcome::NoSamples);
    if (n.blanks == 0) return SwitchOff(e, result, BlankOutcome::NoBlanks);
    if (!PrepareBlankStage(e, n.samples + n.blanks, e.Stage(src).Capacity))
      return SwitchOff(e, result, BlankOutcome::Failed);
    result.HideWarning = s.Mode != BlankMode::Average;

    const Filled filled = BlankCurves(e, src, s.Mode);
    if (filled.blankMissing) {
      // Keep what was blanked before the sample without a blank; the rest
      // of stage 7 would be empty or left over from an earlier run.
      if (filled.curves > 0)
        e.Stage(stBlank).CurveCount = filled.curves;
      else
        e.FreeStages(stBlank);
      result.Outcome = BlankOutcome::BlankNotFound;
      result.Message = kBlankNotFoundText;
      result.Caption = s.Mode == BlankMode::Compound ? "Blank Error" : "Nasty Error";
      return result;
    }
    if (s.Despike) Despike(e, stBlank);
    result.Outcome = BlankOutcome::Done;
  } catch (const std::exception&) {
    return SwitchOff(e, result, BlankOutcome::Failed);
  }
  return result;
}

std::string BlankPageWarning(const TExperiment& e, const std::vector<bool>& cellShown) {
  const int src = e.FindSourceStage(stBlank);
  if (!e.StageExists(src)) return {};
  const Counts n = CountCurves(e, src, &cellShown);
  if (n.samples == 0 && n.blanks == 0) return "No samples or blanks found. Check entries on Data page.";
  if (n.samples == 0) return "No samples found. All calculated concentrations are zero. Check entries on Data page.";
  if (n.blanks == 0) return "No blanks found. Check entries on Data page.";
  return {};
}

std::vector<int> BlankDisplayColours(const TExperiment& e, int referenceCell, const std::vector<bool>& cellShown) {
  const int src = e.FindSourceStage(stBlank);
  if (!e.StageExists(src)) return {};
  std::vector<int> colours(static_cast<std::size_t>(e.Stage(src).CurveCount), 0);
  for (int c = 0; c < e.Stage(src).CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, src, c);
    if (!info || !Shown(cellShown, info->FlowCell) || (referenceCell > 0 && info->FlowCell == referenceCell)) continue;
    const Role role = RoleOf(info);
    if (role == Role::Blank) colours[c] = 1;
    if (role == Role::RemovedBlank) colours[c] = 3;
  }
  return colours;
}

}  // namespace kelvaris

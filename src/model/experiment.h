// The one experiment: the curve sets of all stages, the description of every
// raw curve, the ligand list, the stage switches and the state flags.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "model/curve_info.h"
#include "model/curve_set.h"
#include "model/stage.h"

namespace kelvaris {

class WindowSystem;

// What the experiment tells its owner when it allocates or frees stages, so
// that the window can detach graphs and update its tool buttons.
class ExperimentListener {
 public:
  virtual ~ExperimentListener() = default;
  virtual void RawStageAllocated() {}
  // Before any array of stages `from`..13 is released.
  virtual void StagesFreeing(int from) {}
  // Before a stage's arrays are sized anew.
  virtual void StageAllocating(int stage) {}
  // After stage 0 and the curve descriptions were released.
  virtual void RawStageFreed() {}
};

// The stage switches, set by the controls of the stage pages.
struct TStageSwitches {
  bool Zero = false;
  bool Crop = false;
  bool Align = false;
  bool Reference = false;
  bool Solvent = false;
  bool Blank = false;
  bool Scale = false;
  bool DivideByMW = false;
  bool Bound = false;
  bool Affinity = false;
  bool Kinetics = false;
  // The switch of a stage that has one; false for the others.
  bool IsOn(int stage) const {
    switch (stage) {
      case 2: return Zero;
      case 3: return Crop;
      case 4: return Align;
      case 5: return Reference;
      case 6: return Solvent;
      case 7: return Blank;
      case 8: return Scale || DivideByMW;  // either box puts the Scale stage on
      case 9: return Bound;
      case 10: return Affinity;
      case 11: return Kinetics;
      default: return false;
    }
  }
};

class TExperiment {
 public:
  explicit TExperiment(WindowSystem& ws);

  WindowSystem& Ws() const { return *ws_; }
  void SetListener(ExperimentListener* listener) { listener_ = listener; }

  std::array<TCurveSet, kStageCount> Stages;
  std::vector<TCurveInfo> CurveInfo;
  std::vector<TLigand> Ligands;

  TStageSwitches Switches;
  int SolventDegree = 0;
  std::array<bool, kStageCount> WindowSet{};  // the user set the stage's window
  bool DataLoaded = false;
  bool Busy = false;
  bool SampleTableEdited = false;
  bool ScaleFactorEdited = false;
  bool AnalysisOptionsEdited = false;
  bool ResultComputed = false;
  int PendingStage = kNoStage;
  double FlowRate = 0;
  double Temperature = 20;
  int InstrumentKind = 0;

  TCurveSet& Stage(int s) { return Stages.at(s); }
  const TCurveSet& Stage(int s) const { return Stages.at(s); }
  bool StageExists(int s) const { return s >= 0 && s < kStageCount && Stages[s].Exists(); }

  // Allocates a stage for `curves` curves of `capacity` points. Refuses, with
  // the "Bad allocation request" message, when either is below 1 or memory
  // runs out. Stage 0 also gets fresh curve descriptions.
  bool AllocateStage(int stage, int curves, int capacity);
  // Releases stages `from` to 13 (and the curve descriptions with stage 0).
  void FreeStages(int from);
  // Makes `raw` the raw stage, with its curve descriptions, replacing what
  // was loaded before. Used by the loader once a read has succeeded.
  void InstallRawStage(TCurveSet&& raw, std::vector<TCurveInfo>&& info);

  // The nearest stage below s that has curves; 0 when none has (and for
  // s <= 0). Each stage computes from its source.
  int FindSourceStage(int s) const;
  // The same, passing over the stages without a graph page of their own
  // (1 and 8): the stage whose graph properties a source graph takes.
  int FindDisplaySource(int s) const;

  // The ligand list covers flow cells 1..n; new entries get default names.
  void ExtendLigands(int n);
  // The default name of ligand entry i for the current instrument kind.
  std::string DefaultLigandName(int index) const;

  // The smallest first time and largest last time over the stage's curves
  // that have a point; (0, 0) without any.
  std::pair<double, double> TimeRange(int stage) const;

  // Curve descriptions reached from any stage's curve.
  const TCurveInfo& InfoOf(int stage, int c) const { return CurveInfo[Stages[stage].SourceCurve[c]]; }

 private:
  WindowSystem* ws_;
  ExperimentListener* listener_ = nullptr;
};

}  // namespace kelvaris

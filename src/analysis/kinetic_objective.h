// Chi-square, gradient and curvature of a kinetic fit over its curves.
#pragma once

#include <vector>

#include "analysis/fit_control.h"
#include "analysis/kinetic_fit.h"
#include "analysis/marquardt_step.h"

namespace kelvaris {

class TKineticObjective : public TFitProblem {
 public:
  // All arguments must outlive the objective; the inputs have been checked.
  TKineticObjective(const KineticFitRange& range, const KineticFitCurves& curves, std::span<TCurveKinetics> records,
                    std::vector<FitParameterEntry>& entries, const KineticModel& model, const FitProgress& progress,
                    const FitControl& control);

  int Evaluate(TNormalEquations& out) override;
  void SaveParameters() override;
  void TakeStep(std::span<const FitReal> delta) override;
  void RestoreParameters() override;

  int CurveCount() const { return range_.last - range_.first + 1; }

 private:
  int EvaluateCurve(int position, TNormalEquations& out);
  int Derivatives(int curve, TCurveKinetics& record, double t);

  KineticFitRange range_;
  const KineticFitCurves& curves_;
  std::span<TCurveKinetics> records_;
  std::vector<FitParameterEntry>& entries_;
  const KineticModel& model_;
  const FitProgress& progress_;
  const FitControl& control_;
  // Per position, the entries its model depends on: concerned_[offsets_[i] ..
  // offsets_[i + 1]). Only those enter its points' sums.
  std::vector<int> concerned_, offsets_;
  // Work space sized once: the points of one curve at or after its fit
  // start, the model there, and one derivative per concerned entry.
  std::vector<double> keptTimes_, keptResponses_, values_;
  std::vector<FitReal> derivatives_;
};

}  // namespace kelvaris

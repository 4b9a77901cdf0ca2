// The dense least-squares fit: one flat parameter vector, a model with
// analytic derivatives and points that may stand for several observations.
// The caller owns the stopping rule (RunDenseFit offers the usual one).
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "analysis/marquardt_step.h"

namespace kelvaris {

// `count` observations of the same model value, given by their sum and sum
// of squares; a plain data point y is {y, y·y, 1}. A point that is not
// included takes no part in the fit (inclusion weight 0).
struct DensePoint {
  double sum = 0;
  double sumSquares = 0;
  double count = 1;
  bool included = true;

  static DensePoint Single(double y) { return {y, y * y, 1, true}; }
};

// The model at point `point` for the parameters a: its value, and its
// derivative with respect to every element of a (`derivatives` has a's size
// and arrives zeroed; only free elements are read). 0 or a result code.
using DenseModel =
    std::function<int(std::span<const double> a, int point, double& value, std::span<double> derivatives)>;

struct DenseFitSetup {
  std::span<double> parameters;            // a; the fit changes the free elements in place
  std::span<const unsigned char> fit;      // per element, nonzero: free
  std::span<const double> scale;           // per element, multiplies its standard error; empty: 1
  std::span<const DensePoint> points;
  DenseModel model;
  std::function<void(std::span<double> a)> limit;  // keeps a within range before every evaluation; may be empty
};

class TDenseFitter : private TFitProblem {
 public:
  explicit TDenseFitter(DenseFitSetup setup);

  // The setup's sizes agree and something is free.
  bool Valid() const { return valid_; }
  // One damped step (the first evaluates the starting values). On any
  // failure lambda becomes -1, which the caller treats as a failed fit.
  // Returns 0 or the failure's code (frBadArray for an invalid setup).
  int Step();
  // The step with lambda 0: inverts alpha for the covariance. Changes no
  // parameter. 0 or the code of the failure (lambda is then -1).
  int FinalStep();

  double Lambda() const { return state_.lambda; }
  double ChiSquare() const { return static_cast<double>(state_.current.chisq); }
  int FreeCount() const { return static_cast<int>(free_.size()); }
  // Observations of the included points: the sum of their counts.
  double Observations() const { return state_.current.points; }
  // After FinalStep: sqrt(C_ii · chisq/(N − M)) · scale_i for a free element
  // (0 when N − M < 1), -1 when C_ii < 0, 0 for a fixed element.
  double StandardError(int element) const;

 private:
  int Evaluate(TNormalEquations& out) override;
  void SaveParameters() override;
  void TakeStep(std::span<const FitReal> delta) override;
  void RestoreParameters() override;
  int Fail(int code);

  DenseFitSetup setup_;
  bool valid_ = false;
  std::vector<int> free_;       // element of each free parameter
  std::vector<int> freeSlot_;   // per element: its free index, or -1
  std::vector<double> saved_;
  std::vector<double> derivatives_;  // one per element
  std::vector<FitReal> used_;        // derivatives of the free elements
  std::vector<int> allFree_;         // 0 .. M-1
  std::vector<FitReal> spread_;      // per point: sumSquares - sum²/count, the part no model explains
  bool covariance_ = false;
  TMarquardtState state_;
};

// The usual stopping rule: stop when an accepted step lowered chi-square by
// at most `relativeChange` of the new value (or reached 0), after
// `maxSteps` steps, or when lambda reaches `lambdaFailure` or fails.
struct DenseStopRule {
  double relativeChange = 1e-6;
  int maxSteps = 1000;
  double lambdaFailure = 1e20;
};

struct DenseFitOutcome {
  bool converged = false;  // on failure the final step has still run when lambda was valid
  int steps = 0;
  int code = 0;            // the failing step's code, when there was one
};

// Steps until the rule stops, then makes the final step.
DenseFitOutcome RunDenseFit(TDenseFitter& fitter, const DenseStopRule& rule = {});

}  // namespace kelvaris

#include "analysis/dense_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

#include "analysis/fit_status.h"

namespace kelvaris {

namespace {

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

}  // namespace

TDenseFitter::TDenseFitter(DenseFitSetup setup) : setup_(std::move(setup)) {
  const std::size_t n = setup_.parameters.size();
  valid_ = setup_.fit.size() == n && (setup_.scale.empty() || setup_.scale.size() == n) && setup_.model;
  freeSlot_.assign(n, -1);
  for (std::size_t i = 0; valid_ && i < n; ++i) {
    if (!setup_.fit[i]) continue;
    freeSlot_[i] = static_cast<int>(free_.size());
    free_.push_back(static_cast<int>(i));
  }
  valid_ = valid_ && !free_.empty();
  saved_.assign(free_.size(), 0);
  derivatives_.assign(n, 0);
  used_.assign(free_.size(), 0);
  allFree_.resize(free_.size());
  std::iota(allFree_.begin(), allFree_.end(), 0);
  // Splitting each point's squares into a constant and n·(mean − R)² keeps
  // the small residuals of a good fit from cancelling away.
  spread_.reserve(setup_.points.size());
  for (const DensePoint& p : setup_.points) {
    const FitReal sum = p.sum, n = p.count;
    // A single observation has no spread; its square, rounded to double,
    // would only add noise.
    spread_.push_back(n > 0 && n != 1 ? static_cast<FitReal>(p.sumSquares) - sum * sum / n : FitReal(0));
  }
  state_.Resize(static_cast<int>(free_.size()), 0);
}

int TDenseFitter::Fail(int code) {
  state_.lambda = -1;
  covariance_ = false;
  return code;
}

int TDenseFitter::Step() {
  if (!valid_) return Fail(frBadArray);
  covariance_ = false;
  if (const int code = MarquardtStep(*this, state_, {})) return Fail(code);
  return frOk;
}

int TDenseFitter::FinalStep() {
  if (!valid_) return Fail(frBadArray);
  state_.lambda = 0;
  if (const int code = MarquardtStep(*this, state_, {})) return Fail(code);
  covariance_ = true;
  return frOk;
}

double TDenseFitter::StandardError(int element) const {
  if (!covariance_ || element < 0 || Index(element) >= freeSlot_.size()) return 0;
  const int j = freeSlot_[Index(element)];
  if (j < 0) return 0;
  const FitReal c = state_.Covariance(j, j);
  if (c < 0) return -1;
  const FitReal dof = static_cast<FitReal>(state_.current.points) - static_cast<FitReal>(free_.size());
  const FitReal sd = dof < 1 ? 0 : std::sqrt(state_.current.chisq / dof);
  const double scale = setup_.scale.empty() ? 1 : setup_.scale[Index(element)];
  return static_cast<double>(std::sqrt(c) * sd * scale);
}

int TDenseFitter::Evaluate(TNormalEquations& out) {
  if (setup_.limit) setup_.limit(setup_.parameters);
  const std::span<const double> a(setup_.parameters.data(), setup_.parameters.size());
  for (std::size_t i = 0; i < setup_.points.size(); ++i) {
    const DensePoint& p = setup_.points[i];
    if (!p.included || !(p.count > 0)) continue;
    std::fill(derivatives_.begin(), derivatives_.end(), 0.0);
    double value = 0;
    if (const int code = setup_.model(a, static_cast<int>(i), value, derivatives_)) return code;
    if (!std::isfinite(value)) return frMathError;
    const FitReal n = p.count;
    const FitReal r = static_cast<FitReal>(p.sum) / n - value;
    out.chisq += spread_[i] + n * r * r;
    for (std::size_t j = 0; j < free_.size(); ++j) {
      const double d = derivatives_[Index(free_[j])];
      if (!std::isfinite(d)) return frMathError;
      used_[j] = d;
    }
    out.AddPoint(allFree_, used_.data(), r, n);
    out.points += p.count;
  }
  return frOk;
}

void TDenseFitter::SaveParameters() {
  for (std::size_t j = 0; j < free_.size(); ++j) saved_[j] = setup_.parameters[Index(free_[j])];
}

void TDenseFitter::TakeStep(std::span<const FitReal> delta) {
  for (std::size_t j = 0; j < free_.size() && j < delta.size(); ++j)
    setup_.parameters[Index(free_[j])] += static_cast<double>(delta[j]);
}

void TDenseFitter::RestoreParameters() {
  for (std::size_t j = 0; j < free_.size(); ++j) setup_.parameters[Index(free_[j])] = saved_[j];
}

// The named stopping rules.
namespace {

bool SmallDecrease(double previous, double now, const DenseStopRule& rule) {
  if (!(now < previous)) return false;
  return now == 0 || (previous - now) / now <= rule.relativeChange;
}

bool LambdaFailed(double lambda, const DenseStopRule& rule) { return lambda >= rule.lambdaFailure || lambda < 0; }

}  // namespace

DenseFitOutcome RunDenseFit(TDenseFitter& fitter, const DenseStopRule& rule) {
  DenseFitOutcome out;
  double previous = 0;  // no decrease counts on the first step
  bool converged = false;
  for (;;) {
    const int code = fitter.Step();
    ++out.steps;
    if (code) {
      out.code = code;
      break;
    }
    const double now = fitter.ChiSquare();
    if (SmallDecrease(previous, now, rule)) {
      converged = true;
      break;
    }
    previous = now;
    if (out.steps >= rule.maxSteps || LambdaFailed(fitter.Lambda(), rule)) break;
  }
  out.converged = converged;
  if (fitter.Lambda() >= 0) {
    const int code = fitter.FinalStep();
    if (code) {
      out.code = code;
      out.converged = false;
    }
  }
  return out;
}

}  // namespace kelvaris

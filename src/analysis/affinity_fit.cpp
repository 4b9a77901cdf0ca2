#include "analysis/affinity_fit.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "analysis/affinity_entries.h"
#include "analysis/dense_fit.h"
#include "analysis/fit_status.h"
#include "model/experiment.h"

namespace kelvaris {

namespace {

// The multiplier of a KD times that of its Rmax stays below this (M).
constexpr double kKdCeiling = 55;
// Chi-square at or below this share of the data's sum of squares is a fit
// at the rounding floor: no step can lower it any further, so lambda grows
// until the usual rule gives up, although the fit is as good as it gets.
constexpr double kPerfectFit = 1e-14;

struct FitPoint {
  int curve = 0;
  int analyte = 0;
  double x = 0;  // concentration, M
};

struct AnalyteOptions {
  bool present = false;
  bool twoSites = false;
  bool local1 = false, fitted1 = false;
  bool local2 = false, fitted2 = false;
  double limit = 0;  // display limit L of its KDs
};

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// The data, parameter layout and results of one flow cell's fit. The fit
// works on multipliers a_i of starting values s_i, so that every free
// parameter is of order 1.
class FlowCellFit {
 public:
  FlowCellFit(TExperiment& e, int cell, int analyteCount) : e_(e), set_(e.Stage(stAffinity)), cell_(cell) {
    Collect(analyteCount);
  }

  std::string Run();

 private:
  void Collect(int analyteCount);
  void Layout();
  int Model(std::span<const double> a, int point, double& value, std::span<double> d) const;
  void Limit(std::span<double> a) const;
  void Store(const TDenseFitter& fitter);
  void ForgetResults();
  std::string Warning(const char* text) const { return text + std::to_string(cell_) + "."; }

  TExperiment& e_;
  TCurveSet& set_;
  int cell_;
  int analytes_ = 0;  // highest analyte number among the points
  std::vector<FitPoint> points_;
  std::vector<DensePoint> data_;
  std::vector<AnalyteOptions> options_;  // by analyte, 0 unused
  std::vector<double> a_, s_;            // by parameter, 0 unused
  std::vector<unsigned char> fit_;
  int free_ = 0;
};

// The entries of the flow cell that take part: not excluded, an analyte of
// the table, and a KD to fit.
void FlowCellFit::Collect(int analyteCount) {
  for (int q = 0; q < set_.CurveCount; ++q) {
    const TPointFlags* f = set_.FlagsOf(q);
    const int analyte = static_cast<int>(f[apAnalyte]);
    if (static_cast<int>(f[apFlowCell]) != cell_ || (set_.CurveFlags[q] & cfExcludedFromFit)) continue;
    if (analyte < 1 || analyte > analyteCount || !(f[apKd1] & apbOn) || f[apPoints] < 1) continue;
    points_.push_back({q, analyte, set_.TimeOf(q)[atConcentration]});
    const double* r = set_.ResponseOf(q);
    data_.push_back({r[arSum], r[arSumSquares], static_cast<double>(f[apPoints]), true});
    analytes_ = std::max(analytes_, analyte);
  }
  options_.assign(At(analytes_) + 1, AnalyteOptions{});
  for (const FitPoint& p : points_) {
    AnalyteOptions& o = options_[At(p.analyte)];
    if (!o.present) {
      const TPointFlags* f = set_.FlagsOf(p.curve);
      o.present = true;
      o.twoSites = f[apTwoSites] & apbOn;
      o.local1 = f[apRmax1] & apbLocal;
      o.fitted1 = o.local1 && (f[apRmax1] & apbOn);
      o.local2 = o.twoSites && (f[apRmax2] & apbLocal);
      o.fitted2 = o.local2 && (f[apRmax2] & apbOn);
    }
    o.limit = std::max(o.limit, 100 * p.x);
  }
  for (AnalyteOptions& o : options_)
    if (o.limit == 1 || o.limit == 2) o.limit *= 1.5;
}

// Starting values and fit flags; the shared Rmax is free only when some
// analyte reads it, since otherwise it has no effect and the fit could not
// succeed.
void FlowCellFit::Layout() {
  const std::size_t n = At(4 * analytes_ + 2);
  a_.assign(n, 1.0);
  s_.assign(n, 0.0);
  fit_.assign(n, 0);
  bool usesGlobal = false, allTwoSites = true;
  double top = 0;
  for (const FitPoint& p : points_) {
    const AnalyteOptions& o = options_[At(p.analyte)];
    usesGlobal = usesGlobal || !o.local1 || (o.twoSites && !o.local2);
    allTwoSites = allTwoSites && o.twoSites;
    top = std::max(top, set_.ResponseOf(p.curve)[arBound]);
  }
  const TLigand& ligand = e_.Ligands[At(cell_)];
  double global = ligand.GlobalRmax;
  fit_[1] = ligand.GlobalRmaxFitted && usesGlobal;
  if (fit_[1]) {
    global = std::max(global, top);
    if (allTwoSites) global /= 2;
  }
  s_[1] = global;
  for (const FitPoint& p : points_) {
    const int k = p.analyte;
    const AnalyteOptions& o = options_[At(k)];
    if (fit_[At(Kd1Parameter(k))]) continue;  // the analyte's first point sets it up
    const double* t = set_.TimeOf(p.curve);
    const double* r = set_.ResponseOf(p.curve);
    s_[At(Kd1Parameter(k))] = t[atKd1];
    s_[At(Rmax1Parameter(k))] = r[arRmax1];
    s_[At(Kd2Parameter(k))] = t[atKd2];
    s_[At(Rmax2Parameter(k))] = r[arRmax2];
    fit_[At(Kd1Parameter(k))] = 1;
    fit_[At(Rmax1Parameter(k))] = o.fitted1;
    fit_[At(Kd2Parameter(k))] = o.twoSites;
    fit_[At(Rmax2Parameter(k))] = o.fitted2;
  }
  free_ = static_cast<int>(std::count(fit_.begin(), fit_.end(), 1));
}

// R(x) and its derivatives with respect to the multipliers.
int FlowCellFit::Model(std::span<const double> a, int point, double& value, std::span<double> d) const {
  const FitPoint& p = points_[At(point)];
  const int k = p.analyte;
  const AnalyteOptions& o = options_[At(k)];
  const double x = p.x;
  auto site = [&](int kdIndex, int rmaxIndex, bool local) {
    const double kd = a[At(kdIndex)] * s_[At(kdIndex)];
    const int r = local ? rmaxIndex : GlobalRmaxParameter();
    const double rmax = a[At(r)] * s_[At(r)];
    const double den = kd + x;
    if (!(den > 0)) return false;
    const double h = x / den;
    value += rmax * h;
    d[At(kdIndex)] = -x * rmax / (den * den) * s_[At(kdIndex)];
    d[At(r)] += h * s_[At(r)];
    return true;
  };
  value = 0;
  if (!site(Kd1Parameter(k), Rmax1Parameter(k), o.local1)) return frMathError;
  if (o.twoSites && !site(Kd2Parameter(k), Rmax2Parameter(k), o.local2)) return frMathError;
  return frOk;
}

// Rmax multipliers stay at or above 0; KD multipliers too, and below the
// ceiling. The Rmax comes first so that a KD's bound never divides by a
// negative multiplier.
void FlowCellFit::Limit(std::span<double> a) const {
  const std::size_t n = a.size();
  for (std::size_t i = 1; i < n; i += 2)
    if (fit_[i] && a[i] < 0) a[i] = 0;
  for (std::size_t i = 2; i + 1 < n; i += 2) {
    if (!fit_[i]) continue;
    if (a[i] < 0) a[i] = 0;
    if (a[i] * s_[i] * a[i + 1] > kKdCeiling) a[i] = kKdCeiling / (s_[i] * a[i + 1]);
  }
}

std::string FlowCellFit::Run() {
  if (points_.size() <= 2) {
    ForgetResults();
    return Warning("Not enough points for fit for flowcell ");
  }
  Layout();
  if (free_ >= static_cast<int>(points_.size())) {
    ForgetResults();
    return Warning("More parameters than points in fit for flowcell ");
  }
  DenseFitSetup setup;
  setup.parameters = a_;
  setup.fit = fit_;
  setup.scale = s_;
  setup.points = data_;
  setup.model = [this](std::span<const double> a, int point, double& value, std::span<double> d) {
    return Model(a, point, value, d);
  };
  setup.limit = [this](std::span<double> a) { Limit(a); };
  TDenseFitter fitter(setup);
  const DenseFitOutcome outcome = RunDenseFit(fitter);
  double squares = 0;
  for (const DensePoint& p : data_) squares += p.sumSquares;
  // Lambda is 0 once the final step has inverted alpha.
  const bool atFloor = outcome.code == frOk && fitter.Lambda() == 0 && fitter.ChiSquare() <= kPerfectFit * squares;
  if (!fitter.Valid() || !(outcome.converged || atFloor)) {
    ForgetResults();
    return Warning("Fit failed for flowcell ");
  }
  Store(fitter);
  return "";
}

void FlowCellFit::ForgetResults() {
  for (int q = 0; q < set_.CurveCount; ++q)
    if (static_cast<int>(set_.FlagsOf(q)[apFlowCell]) == cell_) set_.FlagsOf(q)[apKd1] &= ~apbOn;
}

// Every entry of a fitted analyte gets the results, the excluded ones too:
// the graph and the texts read them from any entry.
void FlowCellFit::Store(const TDenseFitter& fitter) {
  auto value = [&](int i) { return a_[At(i)] * s_[At(i)]; };
  auto error = [&](int i) { return fit_[At(i)] ? fitter.StandardError(i) : 0.0; };
  auto shown = [](double kd, double limit) { return kd > limit ? -limit : kd; };
  TLigand& ligand = e_.Ligands[At(cell_)];
  if (fit_[1]) {
    ligand.GlobalRmax = value(1);
    ligand.GlobalRmaxError = error(1);
  }
  for (int q = 0; q < set_.CurveCount; ++q) {
    TPointFlags* f = set_.FlagsOf(q);
    if (static_cast<int>(f[apFlowCell]) != cell_) continue;
    const int k = static_cast<int>(f[apAnalyte]);
    if (k < 1 || k > analytes_ || !options_[At(k)].present || !(f[apKd1] & apbOn)) {
      f[apKd1] &= ~apbOn;
      continue;
    }
    const AnalyteOptions& o = options_[At(k)];
    double* t = set_.TimeOf(q);
    double* r = set_.ResponseOf(q);
    const int rmax1 = o.local1 ? Rmax1Parameter(k) : GlobalRmaxParameter();
    const int rmax2 = o.local2 ? Rmax2Parameter(k) : GlobalRmaxParameter();
    t[atKd1] = value(Kd1Parameter(k));
    t[atKd1Error] = error(Kd1Parameter(k));
    t[atKd1Shown] = shown(t[atKd1], o.limit);
    r[arRmax1] = value(rmax1);
    r[arRmax1Error] = error(rmax1);
    t[atKd2] = o.twoSites ? value(Kd2Parameter(k)) : 0;
    t[atKd2Error] = o.twoSites ? error(Kd2Parameter(k)) : 0;
    t[atKd2Shown] = o.twoSites ? shown(t[atKd2], o.limit) : 0;
    r[arRmax2] = o.twoSites ? value(rmax2) : 0;
    r[arRmax2Error] = o.twoSites ? error(rmax2) : 0;
  }
}

}  // namespace

std::string FitAffinityFlowCell(TExperiment& e, int flowCell, int analyteCount) {
  if (flowCell < 1 || flowCell >= static_cast<int>(e.Ligands.size())) return "";
  FlowCellFit fit(e, flowCell, analyteCount);
  return fit.Run();
}

}  // namespace kelvaris

#include "processing/solvent_stage.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>

#include "model/curve_ops.h"
#include "model/experiment.h"
#include "model/numbers.h"
#include "processing/despike.h"
#include "processing/stage_window.h"

namespace kelvaris {

namespace {

constexpr double kSolventStandard = -1;  // the concentration that marks a solvent standard
constexpr double kNoPartner = std::numeric_limits<double>::quiet_NaN();

SolventMessage DmsoError(const char* text) { return {text, kSolventErrorCaption, MsgIcon::None}; }

// The description of the raw curve behind curve c of a stage; null when the
// curve points nowhere.
const TCurveInfo* InfoOf(const TExperiment& e, int stage, int c) {
  const int raw = e.Stage(stage).SourceCurve[c];
  return raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? &e.CurveInfo[raw] : nullptr;
}

bool IsStandard(const TCurveInfo* info) { return info && info->Concentration == kSolventStandard; }
// Samples and blanks; not-used injections (-2) and standards are not.
bool IsSample(const TCurveInfo* info) { return info && info->Concentration >= 0; }

int LigandCount(const TExperiment& e) { return static_cast<int>(e.Ligands.size()); }

// An active flow cell whose curves the stage corrects: inside the ligand
// list and not the reference one.
bool IsActiveCell(const TExperiment& e, int cell, int reference) {
  return cell >= 1 && cell < LigandCount(e) && cell != reference;
}

TCurveFlags RawFlags(const TExperiment& e, int raw) {
  const TCurveSet& set = e.Stage(stRaw);
  return raw >= 0 && raw < set.CurveCount ? set.CurveFlags[raw] : 0;
}

SolventWindow SanitizedSolventWindow(const TExperiment& e, int src, const SolventSettings& s) {
  const auto [tmin, tmax] = e.TimeRange(src);
  const std::string_view third = s.InjectionEndText;
  const StageWindow w = SanitizedWindow(tmin, tmax, e.WindowSet[stSolvent], s.StartText, s.StopText, &third);
  SolventWindow out;
  SettleBox(s.StartText, w.start, out.StartText, out.StartChanged);
  SettleBox(s.StopText, w.stop, out.StopText, out.StopChanged);
  SettleBox(s.InjectionEndText, w.third, out.InjectionEndText, out.InjectionEndChanged);
  // The stage works with what the boxes show, which may be rounded.
  out.Start = ParseNumber(out.StartText, tmin);
  out.Stop = ParseNumber(out.StopText, tmax);
  out.InjectionEnd = ParseNumber(out.InjectionEndText, 0);
  return out;
}

// The solvent standards among the curves of `stage`, per entry of the
// ligand list.
std::vector<int> StandardsPerFlowCell(const TExperiment& e, int stage) {
  std::vector<int> counts(e.Ligands.size(), 0);
  if (!e.StageExists(stage)) return counts;
  for (int c = 0; c < e.Stage(stage).CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, stage, c);
    if (IsStandard(info) && info->FlowCell >= 0 && info->FlowCell < LigandCount(e)) ++counts[info->FlowCell];
  }
  return counts;
}

void ClearStandards(TExperiment& e) {
  for (TLigand& l : e.Ligands) {
    l.Standards.clear();
    l.Coefficients.clear();
  }
}

// The standards of the data: the reference flow cell's from the data
// before reference subtraction (r), every other flow cell's from the
// stage's source (s). A flow-cell standard pairs with the reference
// standard of the same injection; one without a partner is left out, so a
// curve missing on one flow cell cannot shift the pairs of the others.
void RebuildStandards(TExperiment& e, int s, int r, int f, double start, double stop) {
  std::vector<TSolventStandard>& header = e.Ligands[0].Standards;
  const std::vector<int> counts = StandardsPerFlowCell(e, s);
  for (std::size_t v = 1; v < counts.size(); ++v) e.Ligands[v].Standards.reserve(counts[v]);
  if (f < static_cast<int>(counts.size())) header.reserve(StandardsPerFlowCell(e, r)[f]);
  const TCurveSet& refSet = e.Stage(r);
  for (int c = 0; c < refSet.CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, r, c);
    if (!IsStandard(info) || info->FlowCell != f) continue;
    const WindowSum m = AverageInWindow(e, r, c, start, stop);
    if (m.n > 0) header.push_back({m.value, m.value, info->Injection, false});
  }
  const TCurveSet& from = e.Stage(s);
  for (int c = 0; c < from.CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, s, c);
    if (!IsStandard(info) || !IsActiveCell(e, info->FlowCell, f)) continue;
    const WindowSum m = AverageInWindow(e, s, c, start, stop);
    if (m.n == 0) continue;
    const auto partner = std::find_if(header.begin(), header.end(),
                                      [&](const TSolventStandard& h) { return h.Injection == info->Injection; });
    if (partner == header.end()) continue;
    const bool rejected = (RawFlags(e, from.SourceCurve[c]) & cfStandardRejected) != 0;
    e.Ligands[info->FlowCell].Standards.push_back({partner->Reference, m.value, info->Injection, rejected});
  }
}

bool UsablePair(const TSolventStandard& st) {
  return !st.Rejected && std::isfinite(st.Reference) && std::isfinite(st.Response);
}

// Fits every flow cell's standard curve into `fits` (Degree 0: no fit) and
// its power coefficients into the ligand list. False when a fit failed.
bool FitAll(TExperiment& e, int degree, std::vector<CentredPolynomial>& fits) {
  PairFileStandards(e);
  fits.assign(e.Ligands.size(), CentredPolynomial{});
  for (TLigand& l : e.Ligands) l.Coefficients.clear();
  if (degree < 1 || degree > 2) return true;  // no correction without a fit mode
  std::size_t most = 0;
  for (std::size_t v = 1; v < e.Ligands.size(); ++v) most = std::max(most, e.Ligands[v].Standards.size());
  // One block for all flow cells: x, y and the fit's working space.
  const int n = static_cast<int>(most);
  std::vector<double> space(static_cast<std::size_t>(2 * n + PolynomialWorkSize(n, degree)));
  double* x = space.data();
  double* y = x + n;
  double* work = y + n;
  for (std::size_t v = 1; v < e.Ligands.size(); ++v) {
    TLigand& l = e.Ligands[v];
    int pairs = 0;
    for (const TSolventStandard& st : l.Standards) {
      if (!UsablePair(st)) continue;
      x[pairs] = st.Reference;
      y[pairs] = st.Response;
      ++pairs;
    }
    // No more pairs than the degree: this flow cell stays uncorrected.
    if (pairs <= degree) continue;
    if (!FitPolynomial(x, y, pairs, degree, work, fits[v])) return false;
    l.Coefficients = fits[v].PowerCoefficients();
  }
  return true;
}

// The reference response of every sample injection, looked up by
// injection number.
class SampleReferences {
 public:
  // Clears every SolventRef, then sets those of the reference flow cell's
  // sample curves in r.
  void Build(TExperiment& e, int r, int f, double start, double stop) {
    for (TCurveInfo& info : e.CurveInfo) info.SolventRef = TSolventRef{};
    const TCurveSet& set = e.Stage(r);
    entries_.clear();
    entries_.reserve(static_cast<std::size_t>(set.CurveCount));
    for (int c = 0; c < set.CurveCount; ++c) {
      const TCurveInfo* info = InfoOf(e, r, c);
      if (!IsSample(info) || info->FlowCell != f) continue;
      const WindowSum m = AverageInWindow(e, r, c, start, stop);
      if (m.n == 0) continue;  // no reference response to correct with
      TSolventRef& ref = e.CurveInfo[set.SourceCurve[c]].SolventRef;
      ref.Valid = true;
      ref.Value = m.value;
      entries_.push_back({info->Injection, m.value});
    }
    // The first reference curve of an injection wins.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.injection < b.injection; });
  }

  // False when the injection has no reference response.
  bool Find(int injection, double& value) const {
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), injection,
                                     [](const Entry& a, int n) { return a.injection < n; });
    if (it == entries_.end() || it->injection != injection) return false;
    value = it->value;
    return true;
  }

 private:
  struct Entry {
    int injection;
    double value;
  };
  std::vector<Entry> entries_;
};

int CountCorrectedCurves(const TExperiment& e, int s, int f) {
  int k = 0;
  for (int c = 0; c < e.Stage(s).CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, s, c);
    if (IsSample(info) && IsActiveCell(e, info->FlowCell, f)) ++k;
  }
  return k;
}

bool PrepareSolventStage(TExperiment& e, int curves, int capacity) {
  const TCurveSet& to = e.Stage(stSolvent);
  if (to.Exists() && to.CurveCount == curves && to.Capacity >= capacity) return true;
  if (to.Exists()) e.FreeStages(stSolvent);
  return e.AllocateStage(stSolvent, curves, capacity);
}

void CorrectSamples(TExperiment& e, int s, int f, double injectionEnd, const std::vector<CentredPolynomial>& fits,
                    const SampleReferences& refs) {
  const TCurveSet& from = e.Stage(s);
  int o = 0;
  for (int c = 0; c < from.CurveCount; ++c) {
    const TCurveInfo* info = InfoOf(e, s, c);
    if (!IsSample(info) || !IsActiveCell(e, info->FlowCell, f)) continue;
    const CentredPolynomial& fit = fits[static_cast<std::size_t>(info->FlowCell)];
    double x = 0;
    // Without a standard curve, or without the reference response of its
    // injection, a curve is carried on uncorrected.
    const double correction = fit.Degree > 0 && refs.Find(info->Injection, x) ? fit(x) : 0;
    SubtractJump(e, stSolvent, o, correction, injectionEnd, s, c);
    ++o;
  }
  e.Stage(stSolvent).CurveCount = o;
}

SolventResult& Stop(TExperiment& e, SolventResult& result, SolventOutcome outcome, SolventMessage message) {
  e.FreeStages(stSolvent);
  result.Outcome = outcome;
  result.Message = std::move(message);
  return result;
}

}  // namespace

void PairFileStandards(TExperiment& e) {
  // File standards carry no injection to pair by.
  if (e.Ligands.empty()) return;
  const std::vector<TSolventStandard>& header = e.Ligands[0].Standards;
  for (std::size_t v = 1; v < e.Ligands.size(); ++v) {
    std::vector<TSolventStandard>& list = e.Ligands[v].Standards;
    for (std::size_t k = 0; k < list.size(); ++k)
      if (list[k].Injection < 0) list[k].Reference = k < header.size() ? header[k].Response : kNoPartner;
  }
}

int SolventDegree(const TExperiment& e, SolventMode mode) {
  switch (mode) {
    case SolventMode::LinearFit: return 1;
    case SolventMode::SecondOrder: return 2;
    case SolventMode::File: return e.SolventDegree == 2 ? 2 : 1;
    case SolventMode::None: break;
  }
  return 0;
}

int MostStandardsPerFlowCell(const TExperiment& e, int stage) {
  const std::vector<int> counts = StandardsPerFlowCell(e, stage);
  return counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
}

SolventStartCheck CheckSolventStart(const TExperiment& e, const SolventSettings& s) {
  SolventStartCheck check;
  if (s.Mode != SolventMode::File && MostStandardsPerFlowCell(e, e.FindSourceStage(stSolvent)) < 3)
    check.Message = DmsoError(kNotEnoughStandardsText);
  else if (s.ReferenceCell < 1)
    check.Message = DmsoError(kSelectReferenceText);
  else if (!(ParseNumber(s.InjectionEndText, 0) > 0)) {
    check.Message = DmsoError(kEnterInjectionLengthText);
    check.ShowPageAgain = true;
  }
  return check;
}

SolventMessage FitStandardCurves(TExperiment& e, int degree) {
  std::vector<CentredPolynomial> fits;
  try {
    if (!FitAll(e, degree, fits)) return DmsoError(kLineFitErrorText);
  } catch (const std::exception&) {
    return DmsoError(kLineFitErrorText);
  }
  return {};
}

StandardToggle ToggleStandardRejection(TExperiment& e, int cell, int index, int degree) {
  StandardToggle toggle;
  if (cell < 1 || cell >= LigandCount(e)) return toggle;
  std::vector<TSolventStandard>& list = e.Ligands[cell].Standards;
  if (index < 0 || index >= static_cast<int>(list.size())) return toggle;
  TSolventStandard& st = list[index];
  st.Rejected = !st.Rejected;
  if (st.Injection >= 0) {
    // A data standard: the mark goes on its raw curve.
    TCurveSet& raw = e.Stage(stRaw);
    for (int c = 0; c < raw.CurveCount && c < static_cast<int>(e.CurveInfo.size()); ++c) {
      const TCurveInfo& info = e.CurveInfo[c];
      if (info.FlowCell != cell || info.Injection != st.Injection || !IsStandard(&info)) continue;
      if (st.Rejected)
        raw.CurveFlags[c] |= cfStandardRejected;
      else
        raw.CurveFlags[c] &= ~cfStandardRejected;
      break;
    }
  }
  toggle.Changed = true;
  toggle.Rejected = st.Rejected;
  toggle.Message = FitStandardCurves(e, degree);
  return toggle;
}

SolventResult SolventStage(TExperiment& e, const SolventSettings& s) {
  SolventResult result;
  try {
    const int src = e.FindSourceStage(stSolvent);
    result.Window = SanitizedSolventWindow(e, src, s);
    if (e.Ligands.empty() || !e.Switches.Solvent || s.Mode == SolventMode::None) return result;
    if (!e.StageExists(src)) return result;
    const int f = s.ReferenceCell;
    if (f < 1) return Stop(e, result, SolventOutcome::NoReferenceCell, {});
    const int r = e.FindSourceStage(stReference);
    const double start = result.Window.Start;
    const double stop = result.Window.Stop;

    if (s.Mode != SolventMode::File) {
      ClearStandards(e);
      result.StandardsChanged = true;
      if (MostStandardsPerFlowCell(e, src) < 3)
        return Stop(e, result, SolventOutcome::NotEnoughStandards, DmsoError(kNotEnoughStandardsText));
      RebuildStandards(e, src, r, f, start, stop);
    }

    std::vector<CentredPolynomial> fits;
    const bool fitted = FitAll(e, SolventDegree(e, s.Mode), fits);
    result.StandardsChanged = true;
    if (!fitted) {
      // Stage 6 keeps what it held; the switch stays on.
      result.Outcome = SolventOutcome::FitFailed;
      result.Message = DmsoError(kLineFitErrorText);
      return result;
    }

    SampleReferences refs;
    refs.Build(e, r, f, start, stop);
    const int k = CountCorrectedCurves(e, src, f);
    if (k == 0 || !PrepareSolventStage(e, k, e.Stage(src).Capacity))
      return Stop(e, result, SolventOutcome::Failed, {kSolventFailedText, "Error", MsgIcon::Warning});
    CorrectSamples(e, src, f, result.Window.InjectionEnd, fits, refs);
    if (s.Despike) Despike(e, stSolvent);
    result.Outcome = SolventOutcome::Done;
  } catch (const std::exception&) {
    return Stop(e, result, SolventOutcome::Failed, {kSolventFailedText, "Error", MsgIcon::Warning});
  }
  return result;
}

double EvaluateStandardCurve(const std::vector<double>& coefficients, double x) {
  double value = 0;
  for (auto it = coefficients.rbegin(); it != coefficients.rend(); ++it) value = value * x + *it;
  return value;
}

double CentredPolynomial::operator()(double x) const {
  const double u = (x - Centre) / Scale;
  double value = 0;
  for (int j = Degree; j >= 0; --j) value = value * u + Coefficient[j];
  return value;
}

std::vector<double> CentredPolynomial::PowerCoefficients() const {
  // p(x) = sum a_j ((x - c) / s)^j, expanded by the binomial theorem.
  const double c = Centre, s = Scale;
  const double* a = Coefficient;
  if (Degree == 1) return {a[0] - a[1] * c / s, a[1] / s};
  if (Degree == 2) {
    const double s2 = s * s;
    return {a[0] - a[1] * c / s + a[2] * c * c / s2, a[1] / s - 2 * a[2] * c / s2, a[2] / s2};
  }
  return {a[0]};
}

bool FitPolynomial(const double* x, const double* y, int n, int degree, double* work, CentredPolynomial& out) {
  if (degree < 1 || degree > 2 || n <= degree) return false;
  const int m = degree + 1;
  // At least degree + 1 distinct abscissae, and nothing that is not finite.
  double distinct[3];
  int found = 0;
  double lo = x[0], hi = x[0];
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
    lo = std::min(lo, x[i]);
    hi = std::max(hi, x[i]);
    if (found < m && std::find(distinct, distinct + found, x[i]) == distinct + found) distinct[found++] = x[i];
  }
  if (found < m) return false;
  const double centre = lo / 2 + hi / 2;
  const double scale = hi / 2 - lo / 2;
  if (!(scale > 0) || !std::isfinite(scale)) return false;

  // Column-major Vandermonde matrix in u in [-1, 1], then the right side.
  double* a = work;
  double* b = work + static_cast<std::size_t>(n) * m;
  for (int i = 0; i < n; ++i) {
    const double u = (x[i] - centre) / scale;
    a[i] = 1;
    a[n + i] = u;
    if (m == 3) a[2 * n + i] = u * u;
    b[i] = y[i];
  }

  // Householder QR: column j is reduced below the diagonal, the reflector
  // kept in its place and the diagonal of R on the side.
  double diag[3];
  for (int j = 0; j < m; ++j) {
    double* v = a + static_cast<std::size_t>(j) * n;
    double norm = 0;
    for (int i = j; i < n; ++i) norm = std::hypot(norm, v[i]);
    // Columns of u-powers have norms of order sqrt(n); a diagonal far
    // below that means the points hardly tell the coefficients apart.
    if (!(norm > 1e-10 * std::sqrt(static_cast<double>(n)))) return false;
    const double alpha = v[j] > 0 ? -norm : norm;
    v[j] -= alpha;
    double vv = 0;
    for (int i = j; i < n; ++i) vv += v[i] * v[i];
    auto reflect = [&](double* w) {
      double dot = 0;
      for (int i = j; i < n; ++i) dot += v[i] * w[i];
      const double k = 2 * dot / vv;
      for (int i = j; i < n; ++i) w[i] -= k * v[i];
    };
    for (int k = j + 1; k < m; ++k) reflect(a + static_cast<std::size_t>(k) * n);
    reflect(b);
    diag[j] = alpha;
  }

  // Back substitution: R[j][k] sits in row j of column k.
  CentredPolynomial fit;
  fit.Degree = degree;
  fit.Centre = centre;
  fit.Scale = scale;
  for (int j = m - 1; j >= 0; --j) {
    double sum = b[j];
    for (int k = j + 1; k < m; ++k) sum -= a[static_cast<std::size_t>(k) * n + j] * fit.Coefficient[k];
    fit.Coefficient[j] = sum / diag[j];
    if (!std::isfinite(fit.Coefficient[j])) return false;
  }
  out = fit;
  return true;
}

}  // namespace kelvaris

#include "processing/scale_stage.h"

#include <exception>

#include "model/experiment.h"
#include "model/numbers.h"
#include "processing/stage_copy.h"

namespace kelvaris {

namespace {

// The molecular weight curve c of the source is divided by.
double MolecularWeight(const TExperiment& e, int src, int c, const std::vector<std::string>& mwTexts) {
  // Without any analyte row there is no weight to divide by.
  if (mwTexts.empty()) return 1;
  const int raw = e.Stage(src).SourceCurve[c];
  int analyte = raw >= 0 && raw < static_cast<int>(e.CurveInfo.size()) ? e.CurveInfo[raw].Analyte : 1;
  if (analyte < 1 || analyte > static_cast<int>(mwTexts.size())) analyte = 1;
  const double mw = ParseNumber(mwTexts[static_cast<std::size_t>(analyte - 1)], 1);
  return mw > 0 ? mw : 1;
}

ScaleResult Fail(TExperiment& e) {
  e.FreeStages(stScale);
  return {true, kScaleFailedText};
}

}  // namespace

double ScaleFactor(std::string_view factorText) {
  const double factor = ParseNumber(factorText, 100);
  return factor == 0 ? 1 : factor;
}

ScaleResult ScaleStage(TExperiment& e, const ScaleSettings& s) {
  if (!e.Switches.Scale && !e.Switches.DivideByMW) return {};
  try {
    const int src = e.FindSourceStage(stScale);
    if (!e.StageExists(src)) return {};
    if (!PrepareStage(e, stScale, src)) return Fail(e);
    const double factor = s.Multiply ? ScaleFactor(s.FactorText) : 1;
    TCurveSet& to = e.Stage(stScale);
    for (int c = 0; c < e.Stage(src).CurveCount; ++c) {
      const double mw = s.DivideByMw ? MolecularWeight(e, src, c, s.MwTexts) : 1;
      CopyCurveWithOffset(e, stScale, src, c, 0);
      double* r = to.ResponseOf(c);
      for (int i = 0, n = to.PointCount[c]; i < n; ++i) r[i] = r[i] * factor / mw;
    }
  } catch (const std::exception&) {
    return Fail(e);
  }
  return {};
}

}  // namespace kelvaris

#include "analysis/affinity_texts.h"

#include <cstddef>

#include "analysis/affinity_entries.h"
#include "analysis/affinity_stage.h"
#include "model/experiment.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

std::string KdText(double error, double kd, bool noUnits) {
  return noUnits ? FormatScientificWithError(error, kd) : FormatMolarWithError(error, kd);
}

// The percentage bound for a site's shown KD: with its uncertainty, or,
// past the display limit (shown as -L), the upper bound at L.
std::string PercentText(const TExperiment& e, int flowCell, double shownKd, double error) {
  if (shownKd > 0)
    return FormatFixedWithError(PercentBoundError(e, flowCell, shownKd, error), PercentBound(e, flowCell, shownKd));
  return "< " + FormatFixedWithError(0, PercentBound(e, flowCell, -shownKd));
}

const TLigand* Ligand(const TExperiment& e, int flowCell) {
  return flowCell >= 0 && flowCell < static_cast<int>(e.Ligands.size())
             ? &e.Ligands[static_cast<std::size_t>(flowCell)]
             : nullptr;
}

}  // namespace

std::array<std::string, 4> AffinityTexts(const TExperiment& e, int analyte, int flowCell, bool noUnits) {
  std::array<std::string, 4> texts{kNotComputed, kNotComputed, kNotComputed, kNotComputed};
  const int q = FindAffinityResult(e, analyte, flowCell);
  const TLigand* ligand = Ligand(e, flowCell);
  if (q < 0 || !ligand) return texts;
  const TCurveSet& set = e.Stage(stAffinity);
  const double* t = set.TimeOf(q);
  const bool two = set.FlagsOf(q)[apTwoSites] & apbOn;
  texts[0] = KdText(t[atKd1Error], t[atKd1Shown], noUnits);
  if (two) texts[1] = KdText(t[atKd2Error], t[atKd2Shown], noUnits);
  if (ligand->CalcBound) {
    if (two && t[atKd1] >= t[atKd2])
      texts[3] = PercentText(e, flowCell, t[atKd2Shown], t[atKd2Error]);
    else
      texts[2] = PercentText(e, flowCell, t[atKd1Shown], t[atKd1Error]);
  }
  return texts;
}

std::array<std::string, 2> RmaxTexts(const TExperiment& e, int analyte, int flowCell) {
  std::array<std::string, 2> texts{kNotComputed, kNotComputed};
  const int q = FindAffinityResult(e, analyte, flowCell);
  const TLigand* ligand = Ligand(e, flowCell);
  if (q < 0 || !ligand) return texts;
  const TCurveSet& set = e.Stage(stAffinity);
  const double* r = set.ResponseOf(q);
  const TPointFlags* f = set.FlagsOf(q);
  // Stored values may be in % of the total Rmax; the texts are in RU.
  const double factor = (f[apScaled] & apbPercent) && r[arPercentFactor] > 0 ? r[arPercentFactor] : 1;
  auto text = [&](TPointFlags bits, double value, double error) {
    if (bits & apbLocal)
      return (bits & apbOn) ? FormatFixedWithError(error, value / factor) : FormatFixedWithError(0, value / factor);
    return ligand->GlobalRmaxFitted ? FormatFixedWithError(ligand->GlobalRmaxError, ligand->GlobalRmax)
                                    : FormatFixedWithError(0, ligand->GlobalRmax);
  };
  texts[0] = text(f[apRmax1], r[arRmax1], r[arRmax1Error]);
  if (f[apTwoSites] & apbOn) texts[1] = text(f[apRmax2], r[arRmax2], r[arRmax2Error]);
  return texts;
}

}  // namespace kelvaris

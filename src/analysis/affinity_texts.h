// The texts of the affinity results, shared by the results table, the
// result-page insets, the report and the export. Every text is "---" when
// the value was not computed.
#pragma once

#include <array>
#include <string>

namespace kelvaris {

class TExperiment;

inline constexpr const char* kNotComputed = "---";

// KD1, KD2, % bound at site 1, % bound at site 2 of `analyte` on
// `flowCell`. The KDs are molar ("460(30)nM"), or in exponent form without
// a unit with `noUnits`; a KD past the display limit L shows as -L. Only the
// tighter site gets a percentage, and only while "Calc % Bound" is on; past
// the limit it reads "< " and the percentage at L.
std::array<std::string, 4> AffinityTexts(const TExperiment& e, int analyte, int flowCell, bool noUnits);

// Rmax1 and Rmax2 (two sites only) in RU, whatever "Show as % max" does to
// the stored values.
std::array<std::string, 2> RmaxTexts(const TExperiment& e, int analyte, int flowCell);

}  // namespace kelvaris

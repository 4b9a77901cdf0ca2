// The Affinity stage (stage 10) as a table: curve q is the bound response of
// curve q of the Bound stage, and its nine points are values:
//
//   slot  Time                     Response                    PointFlags
//   0     concentration C (M)      bound response (RU, or %)   raw points n in the window
//   1     KD1 (start, then fit)    Rmax1 (RU, or %)            injection (sample row)
//   2     error of KD1 (-1: none)  error of Rmax1 (RU)         analyte (1-based)
//   3     log10 C                  -                           flow cell
//   4     KD1 shown (-L past L)    sum of responses            bit 0: KD1 fitted
//   5     KD2 shown (-L past L)    sum of squared responses    bit 0: Rmax1 fitted, bit 1: local
//   6     KD2                      Rmax2 (RU, or %)            bit 0: two sites
//   7     error of KD2             error of Rmax2 (RU)         bit 0: Rmax2 fitted, bit 1: local
//   8     -                        % factor 100/(Rmax1+Rmax2)  0x100: responses in % of Rmax
//
// A result is readable only while the entry's KD1-fitted bit is set: the
// stage clears it on every entry whose fit did not run or did not succeed.
#pragma once

#include "model/flags.h"

namespace kelvaris {

class TExperiment;

inline constexpr int kAffinitySlots = 9;

// Time slots.
inline constexpr int atConcentration = 0, atKd1 = 1, atKd1Error = 2, atLogConcentration = 3, atKd1Shown = 4,
                     atKd2Shown = 5, atKd2 = 6, atKd2Error = 7;
// Response slots.
inline constexpr int arBound = 0, arRmax1 = 1, arRmax1Error = 2, arSum = 4, arSumSquares = 5, arRmax2 = 6,
                     arRmax2Error = 7, arPercentFactor = 8;
// PointFlags slots and their bits.
inline constexpr int apPoints = 0, apSampleRow = 1, apAnalyte = 2, apFlowCell = 3, apKd1 = 4, apRmax1 = 5,
                     apTwoSites = 6, apRmax2 = 7, apScaled = 8;
inline constexpr TPointFlags apbOn = 0x1, apbLocal = 0x2, apbPercent = 0x100;

// The affinity options of a raw curve (TCurveInfo::AffinityFlags); all
// curves of one analyte on one flow cell carry the same.
inline constexpr int afKd1Fitted = 0x04;
inline constexpr int afTwoSites = 0x08;
inline constexpr int afRmax1Fitted = 0x10;
inline constexpr int afRmax2Fitted = 0x20;
inline constexpr int afRmax1Local = 0x40;
inline constexpr int afRmax2Local = 0x80;
inline constexpr int afRmax2Mask = afTwoSites | afRmax2Fitted | afRmax2Local;

// A point with these options reads the flow cell's shared Rmax for one of
// its sites.
constexpr bool UsesGlobalRmax(int affinityFlags) {
  return !(affinityFlags & afRmax1Local) || ((affinityFlags & afTwoSites) && !(affinityFlags & afRmax2Local));
}

// The first stage 10 entry of `analyte` on `flowCell` that holds a fit
// result; -1 when there is none (or no stage 10).
int FindAffinityResult(const TExperiment& e, int analyte, int flowCell);

// The options of the raw curves of `analyte` on `flowCell` (those of the
// first such curve); 0 when there is none.
int RawAffinityFlags(const TExperiment& e, int analyte, int flowCell);

}  // namespace kelvaris

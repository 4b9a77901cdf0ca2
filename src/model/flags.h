// The flag words attached to every point and every curve.
#pragma once

#include <cstdint>

namespace kelvaris {

using TPointFlags = std::uint32_t;
using TCurveFlags = std::uint32_t;

// Point flags. The low byte is the cut level: a value v means the point was
// excluded on the graph of stage 14 - v and is dropped from that stage on.
constexpr TPointFlags pfCutLevelMask = 0xff;
constexpr TPointFlags pfAffinityLabel = 0x4000;
constexpr TPointFlags pfTrendLabel = 0x8000;
constexpr TPointFlags pfCurveLabel = 0x10000;
constexpr TPointFlags pfLabelMask = 0x1c000;

constexpr int CutLevel(TPointFlags f) { return static_cast<int>(f & pfCutLevelMask); }
// Stage s keeps a point only while its cut level is below 14 - s.
constexpr bool StageKeepsPoint(int stage, TPointFlags f) { return CutLevel(f) < 14 - stage; }
// The cut level that drops a point from `stage` onward.
constexpr int CutLevelForStage(int stage) { return 14 - stage; }

// Curve flags.
constexpr TCurveFlags cfColourMask = 0x0f;
constexpr TCurveFlags cfSymbolMask = 0xf0;
constexpr TCurveFlags cfStandardUnderMouse = 0x100;
constexpr TCurveFlags cfExcludedFromFit = 0x200;
constexpr TCurveFlags cfHiddenInGraph = 0x400;
constexpr TCurveFlags cfStandardRejected = 0x800;
constexpr TCurveFlags cfHiddenInjection = 0x1000;
constexpr TCurveFlags cfHighlighted = 0x2000;
constexpr TCurveFlags cfLabelMask = 0x1c000;
// The Data stage clears the highlight and the label bits when it copies.
constexpr TCurveFlags cfDataStageClearMask = 0x1e000;

}  // namespace kelvaris

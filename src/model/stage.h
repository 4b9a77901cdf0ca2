// The processing stages, in chain order. Every per-stage table has 14
// slots; the value 14 means "no stage".
#pragma once

namespace kelvaris {

enum TStage : int {
  stRaw = 0,
  stData = 1,
  stZero = 2,
  stCrop = 3,
  stAlign = 4,
  stReference = 5,
  stSolvent = 6,
  stBlank = 7,
  stScale = 8,
  stBound = 9,
  stAffinity = 10,
  stKinetics = 11,
  stResult = 12,
};

constexpr int kStageCount = 14;
constexpr int kNoStage = 14;

// The title a stage's graph gets when it is shown as the source of a later
// page; stages without one give the empty string.
const char* StageName(int stage);

}  // namespace kelvaris

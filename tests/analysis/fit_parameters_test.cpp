#include "analysis/fit_parameters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvaris {
namespace {

TCurveKinetics EverythingFitted(int model) {
  TCurveKinetics r;
  r.model = model;
  for (int s = 0; s < kKineticSlots; ++s) r.slot[s].fit = 1;
  r.slot[ksKm].value = 1e7;
  r.slot[ksKa].value = 2e5;
  r.slot[ksKd].value = 0;  // a zero rate gets the bare relative step
  return r;
}

std::vector<int> SlotsOf(const std::vector<FitParameterEntry>& entries) {
  std::vector<int> slots;
  for (const FitParameterEntry& e : entries) slots.push_back(e.slot);
  return slots;
}

TEST(FreeParameterList, FollowsTheModelAndTheFitOrder) {
  struct Row {
    int model;
    std::vector<int> slots;
    const char* reason;
  };
  const Row rows[] = {
      {0, {}, "no model, no parameters"},
      {1, {ksKd, ksStart, ksStop, ksJump, ksA0}, "kd only"},
      {2, {ksKa, ksRmax, ksKd, ksStart, ksStop, ksJump, ksA0}, "ka and kd: Rmax comes before kd"},
      {3, {ksKm, ksKa, ksRmax, ksKd, ksStart, ksStop, ksJump, ksA0}, "mass transport adds km first"},
  };
  for (const Row& row : rows) {
    std::vector<TCurveKinetics> records{EverythingFitted(row.model)};
    const std::vector<int> raw{0};
    EXPECT_EQ(SlotsOf(ListFreeParameters({0, 0, raw}, records, FitControl{})), row.slots) << row.reason;
  }
}

TEST(FreeParameterList, StepsBelongToTheParameterKind) {
  std::vector<TCurveKinetics> records{EverythingFitted(3)};
  const std::vector<int> raw{0};
  FitControl c;
  c.rateStep = 1e-5;
  c.amplitudeStep = 0.5;
  c.timeStep = 0.25;
  for (const FitParameterEntry& e : ListFreeParameters({0, 0, raw}, records, c)) {
    switch (e.slot) {
      case ksKm: EXPECT_DOUBLE_EQ(e.step, 100); EXPECT_EQ(e.stepClass, scRate); break;
      case ksKa: EXPECT_DOUBLE_EQ(e.step, 2); EXPECT_EQ(e.stepClass, scRate); break;
      case ksKd: EXPECT_DOUBLE_EQ(e.step, 1e-5) << "zero rate"; break;
      case ksStart:
      case ksStop: EXPECT_DOUBLE_EQ(e.step, 0.25); EXPECT_EQ(e.stepClass, scTime); break;
      default: EXPECT_DOUBLE_EQ(e.step, 0.5); EXPECT_EQ(e.stepClass, scAmplitude); break;
    }
    EXPECT_EQ(e.curve, 0);
    EXPECT_EQ(e.value, &records[0].slot[e.slot].value);
    EXPECT_EQ(e.error, &records[0].slot[e.slot].error);
  }
}

TEST(FreeParameterList, OnlyTheLeaderOfALinkIsFitted) {
  // Curve 1 follows curve 0's ka and injection begin; its injection begin
  // is also "fitted", as the page marks common times. Curve 0's begin is
  // linked to itself, which follows nothing.
  std::vector<TCurveKinetics> records{EverythingFitted(2), EverythingFitted(2)};
  for (int s : {ksKa, ksStart}) {
    records[1].slot[s].linked = 1;
    records[1].slot[s].linkTarget = 0;
  }
  records[0].slot[ksStart].linked = 1;
  records[0].slot[ksStart].linkTarget = 0;
  const std::vector<int> raw{0, 1};
  const auto entries = ListFreeParameters({0, 1, raw}, records, FitControl{});
  int curve1Slots = 0;
  for (const FitParameterEntry& e : entries) {
    if (e.curve != 1) continue;
    ++curve1Slots;
    EXPECT_NE(e.slot, ksKa);
    EXPECT_NE(e.slot, ksStart);
  }
  EXPECT_EQ(curve1Slots, 5);  // Rmax, kd, end, jump, amplitude
  EXPECT_EQ(entries.size(), 12u);
  for (const FitParameterEntry& e : entries) {
    if (e.curve != 0) continue;
    const bool followed = e.slot == ksKa || e.slot == ksStart;
    EXPECT_EQ(EntryConcernsCurve(e, 1, records[1]), followed) << e.slot;
  }
}

TEST(FreeParameterList, LinksCopyTheTargetsValue) {
  std::vector<TCurveKinetics> records(3);
  records[0].slot[ksKd].value = 0.01;
  records[2].slot[ksKd] = {5, 0, 0, 1, 1};
  records[2].slot[ksStop] = {99, 0, 1, 0, 1};
  records[1].slot[ksStop].value = 120;
  const std::vector<int> raw{2};
  ApplyLinks({0, 0, raw}, records);
  EXPECT_DOUBLE_EQ(records[2].slot[ksKd].value, 0.01);
  EXPECT_DOUBLE_EQ(records[2].slot[ksStop].value, 120);
}

TEST(StepConstraint, RatesStayInRangeAndTimesMoveAtMostFiveSeconds) {
  struct Row {
    int slot;
    double valueAfterStep, step, expected;
    const char* reason;
  };
  const Row rows[] = {
      {ksKa, -3, -4, 0, "a negative rate becomes 0"},
      {ksKd, 2e10, 1e10, 1e10, "a rate above the upper limit becomes the limit"},
      {ksKm, 1e10, 1, 1e10, "the limit itself is allowed"},
      {ksStart, 17, 7, 15, "a 7 s step is cut back to 5 s"},
      {ksStop, 92, -8, 95, "a -8 s step is cut back to -5 s"},
      {ksStart, 15, 5, 15, "exactly 5 s is allowed"},
      {ksRmax, -50, -60, -50, "Rmax is not constrained"},
      {ksJump, -2, -9, -2, "the bulk jump is not constrained"},
  };
  for (const Row& row : rows) {
    double value = row.valueAfterStep;
    FitParameterEntry e;
    e.value = &value;
    e.slot = row.slot;
    ApplyConstraint(e, row.step, FitControl{});
    EXPECT_DOUBLE_EQ(value, row.expected) << row.reason;
  }
}

}  // namespace
}  // namespace kelvaris

namespace kelvaris {
namespace {

TEST(KineticParameterText, KeepsAtMost63CharactersAndItsTerminator) {
  struct Row {
    std::string shown, kept;
    const char* reason;
  };
  const Row rows[] = {
      {"1.23(5)e5", "1.23(5)e5", "a short text as it is"},
      {std::string(70, '7'), std::string(63, '7'), "a long text is cut"},
      {"", "", "an empty text clears the old one"},
  };
  for (const Row& row : rows) {
    KineticParameter p;
    p.SetText("old text");
    p.SetText(row.shown);
    EXPECT_EQ(std::string(p.text), row.kept) << row.reason;
  }
}

}  // namespace
}  // namespace kelvaris

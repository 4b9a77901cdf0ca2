#include "analysis/affinity_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis/affinity_entries.h"
#include "analysis/affinity_stage.h"
#include "model/experiment.h"
#include "model/numbers.h"
#include "platform/headless_window_system.h"

namespace kelvaris {
namespace {

// One stage 10 entry of analyte 1 on flow cell 1 holding a fit result.
class AffinityTextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    e.ExtendLigands(1);
    ASSERT_TRUE(e.AllocateStage(stAffinity, 1, kAffinitySlots));
    f()[apAnalyte] = 1;
    f()[apFlowCell] = 1;
    f()[apKd1] = apbOn;
  }
  double* t() { return e.Stage(stAffinity).TimeOf(0); }
  double* r() { return e.Stage(stAffinity).ResponseOf(0); }
  TPointFlags* f() { return e.Stage(stAffinity).FlagsOf(0); }
  void Kd1(double kd, double error) { t()[atKd1] = t()[atKd1Shown] = kd, t()[atKd1Error] = error; }
  void Kd2(double kd, double error) {
    f()[apTwoSites] = apbOn;
    t()[atKd2] = t()[atKd2Shown] = kd, t()[atKd2Error] = error;
  }
  TLigand& ligand() { return e.Ligands[1]; }

  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(AffinityTextsTest, KdInMolarOrExponentFormAndNoBracketWithoutAnError) {
  Kd1(4.56e-7, 3e-8);
  EXPECT_EQ(AffinityTexts(e, 1, 1, false)[0], "460(30)nM");
  EXPECT_EQ(AffinityTexts(e, 1, 1, true)[0], "4.6(3)e-7");
  EXPECT_EQ(AffinityTexts(e, 1, 1, false)[1], kNotComputed) << "one site";
  // A negative covariance diagonal leaves -1: no uncertainty, not "(1)".
  Kd1(4.56e-7, -1);
  EXPECT_EQ(AffinityTexts(e, 1, 1, false)[0], "4.56e-7");
  ligand().CalcBound = 1;
  const std::string percent = AffinityTexts(e, 1, 1, false)[2];
  EXPECT_EQ(percent, FormatFixedWithError(0, PercentBound(e, 1, 4.56e-7)));
  EXPECT_EQ(percent.find('('), std::string::npos) << percent;
}

TEST_F(AffinityTextsTest, OnlyTheTighterSiteGetsAPercentage) {
  struct Row {
    double kd1, kd2;
    int computed;  // which of texts 2 and 3
    const char* reason;
  } rows[] = {
      {1e-8, 1e-6, 2, "site 1 is tighter"},
      {2e-6, 1e-8, 3, "site 2 is tighter"},
      {1e-7, 1e-7, 3, "a tie goes to site 2"},
  };
  ligand().CalcBound = 1;
  for (const Row& row : rows) {
    Kd1(row.kd1, 1e-9);
    Kd2(row.kd2, 1e-9);
    const auto texts = AffinityTexts(e, 1, 1, false);
    const double kd = row.computed == 2 ? row.kd1 : row.kd2;
    EXPECT_EQ(texts[static_cast<std::size_t>(row.computed)],
              FormatFixedWithError(PercentBoundError(e, 1, kd, 1e-9), PercentBound(e, 1, kd)))
        << row.reason;
    EXPECT_EQ(texts[static_cast<std::size_t>(5 - row.computed)], kNotComputed) << row.reason;
    EXPECT_EQ(texts[1], FormatMolarWithError(1e-9, row.kd2)) << row.reason;
  }
  ligand().CalcBound = 0;
  EXPECT_EQ(AffinityTexts(e, 1, 1, false)[2], kNotComputed) << "calc bound off";
  EXPECT_EQ(AffinityTexts(e, 1, 1, false)[3], kNotComputed) << "calc bound off";
}

TEST_F(AffinityTextsTest, NothingIsShownWithoutAResult) {
  Kd1(1e-7, 1e-9);
  f()[apKd1] = 0;
  for (const std::string& text : AffinityTexts(e, 1, 1, false)) EXPECT_EQ(text, kNotComputed);
  for (const std::string& text : RmaxTexts(e, 1, 1)) EXPECT_EQ(text, kNotComputed);
  f()[apKd1] = apbOn;
  EXPECT_EQ(AffinityTexts(e, 2, 1, false)[0], kNotComputed) << "another analyte";
  EXPECT_EQ(AffinityTexts(e, 1, 7, false)[0], kNotComputed) << "a flow cell that does not exist";
}

TEST_F(AffinityTextsTest, RmaxIsLocalFittedLocalFixedOrTheSharedOne) {
  Kd1(1e-7, 1e-9);
  ligand().GlobalRmax = 61.234;
  ligand().GlobalRmaxError = 0.5;
  r()[arRmax1] = 12.34;
  r()[arRmax1Error] = 0.5;
  struct Row {
    TPointFlags bits;
    unsigned char globalFitted;
    const char* text;
    const char* reason;
  } rows[] = {
      {apbOn | apbLocal, 1, "12.3(5)", "local and fitted"},
      {apbLocal, 1, "12.34", "local and fixed"},
      {0, 1, "61.2(5)", "the shared Rmax, fitted"},
      {0, 0, "61.23", "the shared Rmax, fixed"},
  };
  for (const Row& row : rows) {
    f()[apRmax1] = row.bits;
    ligand().GlobalRmaxFitted = row.globalFitted;
    EXPECT_EQ(RmaxTexts(e, 1, 1)[0], row.text) << row.reason;
    EXPECT_EQ(RmaxTexts(e, 1, 1)[1], kNotComputed) << "one site";
  }
  // Stored in % of the total Rmax: the text is still in RU.
  f()[apRmax1] = apbOn | apbLocal;
  r()[arRmax1] = 12.34 * 2;
  r()[arPercentFactor] = 2;
  f()[apScaled] = apbPercent;
  EXPECT_EQ(RmaxTexts(e, 1, 1)[0], "12.3(5)");
}

TEST(PercentBound, ThePhysicalRootOfTheBindingQuadratic) {
  struct Row {
    const char* drug;
    const char* protein;
    double kd;
    double percent;
    const char* reason;
  } rows[] = {
      {"10uM", "680uM", 1e-6, 99.85097201331463, "the default texts"},
      {"10uM", "680uM", 1e-3, 40.33294357023856, "weak binding"},
      {"10uM", "1uM", 1e-7, 9.890242272075154, "less protein than drug"},
      {"10uM", "1uM", 0, 10, "KD 0: all the protein is bound, not all the drug"},
      {"0", "680uM", 1e-6, 0, "no drug"},
      {"---", "680uM", 1e-6, 0, "a drug marked not used"},
      {"10uM", "d", 1e-6, 0, "a protein marker counts as none"},
  };
  HeadlessWindowSystem ws;
  TExperiment e{ws};
  e.ExtendLigands(1);
  for (const Row& row : rows) {
    e.Ligands[1].DrugConcentration = row.drug;
    e.Ligands[1].ProteinConcentration = row.protein;
    EXPECT_NEAR(PercentBound(e, 1, row.kd), row.percent, 1e-9 * row.percent + 1e-12) << row.reason;
  }
  EXPECT_EQ(PercentBound(e, 2, 1e-6), 0) << "no such flow cell";
}

TEST(PercentBound, TheErrorIsTheWiderSideAndNeverReachesBelowKdZero) {
  struct Row {
    double kd, error, expected;
    const char* reason;
  } rows[] = {
      {1e-6, 1e-7, 0.014882509715690162, "the side towards KD 0 is wider"},
      {1e-6, 5e-6, 0.738429471784869, "an error wider than the KD stops at KD 0"},
      {1e-6, -1, 0, "-1: no error known"},
      {1e-6, 0, 0, "no error"},
      {-1e-4, 1e-6, 0, "a KD past the display limit"},
  };
  HeadlessWindowSystem ws;
  TExperiment e{ws};
  e.ExtendLigands(1);
  for (const Row& row : rows)
    EXPECT_NEAR(PercentBoundError(e, 1, row.kd, row.error), row.expected, 1e-9) << row.reason;
}

}  // namespace
}  // namespace kelvaris

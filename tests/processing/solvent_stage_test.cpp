#include "processing/solvent_stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "processing/data_stage.h"
#include "processing/reference_stage.h"
#include "processing/solvent_standards.h"

namespace kelvaris {
namespace {

using Curve = std::function<double(double)>;

constexpr double kInjectionEnd = 30;  // s, the bulk plateau lasts 0 <= t <= 30

// The bulk step a solution of level `level` gives during the injection.
double Plateau(double t, double level) { return t >= 0 && t <= kInjectionEnd ? level : 0; }
// What binds on an active flow cell during a sample injection.
double Binding(double t) { return t >= 0 ? 0.2 * t : 0; }

double Line2(double x) { return 2 + 0.5 * x; }
double Line3(double x) { return -1 + 0.25 * x; }

// Flow cell 1 is the reference. Every injection has a curve on flow cells
// 1, 2 and 3, sampled every second from -10 to 60 s.
class SolventStageTest : public ::testing::Test {
 protected:
  struct Injection {
    double concentration;  // -1 standard, 0 blank, -2 not used
    double level;          // the reference flow cell's bulk response
    // The extra bulk response of flow cells 2 and 3 (the solvent artefact);
    // for a standard it may differ from the standard curves (an outlier).
    double artefact2;
    double artefact3;
  };

  // Standards on Line2 / Line3 at the given levels, then a sample at 50 RU,
  // a blank at 30 RU and an injection that is not used.
  static std::vector<Injection> Run(const std::vector<double>& standards, std::function<double(double)> y2 = Line2,
                                    std::function<double(double)> y3 = Line3) {
    std::vector<Injection> run;
    for (double x : standards) run.push_back({-1, x, y2(x), y3(x)});
    run.push_back({1e-6, 50, y2(50), y3(50)});
    run.push_back({0, 30, y2(30), y3(30)});
    run.push_back({-2, 70, y2(70), y3(70)});
    return run;
  }

  // Installs the run as raw curves (injection-major: Fc1, Fc2, Fc3) and
  // computes the Data and Reference stages.
  void Load(const std::vector<Injection>& run) {
    e.FreeStages(stRaw);
    const int n = 71;
    ASSERT_TRUE(e.AllocateStage(stRaw, static_cast<int>(run.size()) * 3, n));
    TCurveSet& raw = e.Stage(stRaw);
    for (std::size_t j = 0; j < run.size(); ++j) {
      const Injection& inj = run[j];
      for (int cell = 1; cell <= 3; ++cell) {
        const int c = static_cast<int>(j) * 3 + cell - 1;
        raw.PointCount[c] = 0;
        for (int i = 0; i < n; ++i) {
          const double t = -10.0 + i;
          double r = Plateau(t, inj.level) + 5;  // on a 5 RU baseline
          if (cell > 1) {
            r += Plateau(t, cell == 2 ? inj.artefact2 : inj.artefact3);
            if (inj.concentration > 0) r += Binding(t);
          }
          raw.Append(c, t, r, 0, i);
        }
        e.CurveInfo[c].FlowCell = cell;
        e.CurveInfo[c].Injection = static_cast<int>(j) + 1;
        e.CurveInfo[c].Concentration = inj.concentration;
      }
    }
    e.ExtendLigands(3);
    ASSERT_TRUE(RunDataStage(e));
    e.Switches.Reference = true;
    ASSERT_EQ(ReferenceStage(e, {1, ReferenceMode::Curve, "", false}).Outcome, ReferenceOutcome::Done);
    e.Switches.Solvent = true;
    e.WindowSet[stSolvent] = true;
  }

  SolventResult Solve(SolventMode mode, int reference = 1, bool despike = false) {
    return SolventStage(e, {mode, reference, "10", "20", "30", despike});
  }

  const TCurveSet& corrected() const { return e.Stage(stSolvent); }
  const TCurveInfo& InfoOf(int c) const { return e.InfoOf(stSolvent, c); }

  // The largest difference between corrected curve c and `expected`.
  double Deviation(int c, const Curve& expected) const {
    double worst = 0;
    const TCurveSet& set = corrected();
    for (int i = 0; i < set.PointCount[c]; ++i)
      worst = std::max(worst, std::abs(set.ResponseOf(c)[i] - expected(set.TimeOf(c)[i])));
    return worst;
  }

  // The referenced sample curve of a flow cell at reference level x: the
  // binding plus the solvent artefact left by reference subtraction.
  static Curve Uncorrected(double artefact) {
    return [artefact](double t) { return Binding(t) + Plateau(t, artefact); };
  }

  static void ExpectCoefficients(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t j = 0; j < expected.size(); ++j) EXPECT_NEAR(actual[j], expected[j], 1e-9) << "power " << j;
  }

  HeadlessWindowSystem ws;
  TExperiment e{ws};
};

TEST_F(SolventStageTest, LinearFitRemovesTheArtefactOfEachFlowCellDuringTheInjectionOnly) {
  Load(Run({10, 20, 40}));
  // A point cut on the Corrected graph goes, one cut on a later graph stays.
  TCurveSet& data = e.Stage(stData);
  const int sampleFc2 = 3 * 3 + 1;  // injection 4, flow cell 2
  data.FlagsOf(sampleFc2)[15] = CutLevelForStage(stSolvent);
  data.FlagsOf(sampleFc2)[16] = CutLevelForStage(stBlank);
  ASSERT_EQ(ReferenceStage(e, {1, ReferenceMode::Curve, "", false}).Outcome, ReferenceOutcome::Done);

  const SolventResult r = Solve(SolventMode::LinearFit);
  ASSERT_EQ(r.Outcome, SolventOutcome::Done) << r.Message.Text;
  EXPECT_TRUE(r.Message.Empty());
  EXPECT_TRUE(r.StandardsChanged);
  EXPECT_FALSE(r.Window.StartChanged || r.Window.StopChanged || r.Window.InjectionEndChanged);

  // The standards: the reference flow cell's raw responses (with its
  // baseline), and each flow cell's referenced ones paired with them.
  ASSERT_EQ(e.Ligands[0].Standards.size(), 3u);
  EXPECT_TRUE(e.Ligands[1].Standards.empty());
  for (int v : {2, 3}) {
    const auto& list = e.Ligands[v].Standards;
    ASSERT_EQ(list.size(), 3u) << "flow cell " << v;
    for (int k = 0; k < 3; ++k) {
      const double x = std::vector<double>{10, 20, 40}[k] + 5;
      EXPECT_DOUBLE_EQ(e.Ligands[0].Standards[k].Response, x);
      EXPECT_DOUBLE_EQ(list[k].Reference, x);
      EXPECT_NEAR(list[k].Response, v == 2 ? Line2(x - 5) : Line3(x - 5), 1e-12);
      EXPECT_EQ(list[k].Injection, k + 1);
    }
  }
  // The reference responses carry the 5 RU baseline: y = a + b (x - 5).
  ExpectCoefficients(e.Ligands[2].Coefficients, {2 - 0.5 * 5, 0.5});
  ExpectCoefficients(e.Ligands[3].Coefficients, {-1 - 0.25 * 5, 0.25});
  EXPECT_TRUE(e.Ligands[1].Coefficients.empty());

  // Samples and blanks of flow cells 2 and 3 only, in order; no standard,
  // no unused injection and no reference curve.
  ASSERT_EQ(corrected().CurveCount, 4);
  const int cells[] = {2, 3, 2, 3}, injections[] = {4, 4, 5, 5};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(InfoOf(c).FlowCell, cells[c]);
    EXPECT_EQ(InfoOf(c).Injection, injections[c]);
    // What is left is the binding alone, before, during and after the
    // injection end (nothing is subtracted after 30 s or before 0 s).
    const bool sample = injections[c] == 4;
    EXPECT_LT(Deviation(c, [&](double t) { return sample ? Binding(t) : 0.0; }), 1e-9) << "curve " << c;
  }
  EXPECT_EQ(corrected().PointCount[0], 70);
  EXPECT_EQ(corrected().PointCount[1], 71);

  // The reference response of each sample injection sits on its reference
  // flow cell's raw curve.
  for (int c = 0; c < e.Stage(stRaw).CurveCount; ++c) {
    const TCurveInfo& info = e.CurveInfo[c];
    const bool sampleReference = info.FlowCell == 1 && info.Concentration >= 0;
    EXPECT_EQ(info.SolventRef.Valid, sampleReference) << "raw curve " << c;
    if (sampleReference) {
      EXPECT_DOUBLE_EQ(info.SolventRef.Value, info.Injection == 4 ? 55 : 35);
    }
  }
}

TEST_F(SolventStageTest, SecondOrderFitsAParabolaThroughFourStandards) {
  auto quadratic = [](double x) { return 1 + 0.1 * x + 0.01 * x * x; };
  Load(Run({0, 10, 20, 40}, quadratic, quadratic));
  const SolventResult r = Solve(SolventMode::SecondOrder);
  ASSERT_EQ(r.Outcome, SolventOutcome::Done) << r.Message.Text;
  // In x = level + 5: 1 + 0.1 (x - 5) + 0.01 (x - 5)^2.
  ExpectCoefficients(e.Ligands[2].Coefficients, {1 - 0.5 + 0.25, 0.1 - 0.1, 0.01});
  EXPECT_NEAR(EvaluateStandardCurve(e.Ligands[2].Coefficients, 55), quadratic(50), 1e-9);
  for (int c = 0; c < corrected().CurveCount; ++c)
    EXPECT_LT(Deviation(c, [&](double t) { return InfoOf(c).Injection == 5 ? Binding(t) : 0.0; }), 1e-9);
}

TEST_F(SolventStageTest, RejectingAStandardRefitsWithoutItAndAgainBringsItBack) {
  // The standard at 30 RU lies 10 RU above the line on flow cell 2.
  Load(Run({10, 20, 30, 40}, [](double x) { return Line2(x) + (x == 30 ? 10 : 0); }));
  ASSERT_EQ(Solve(SolventMode::LinearFit).Outcome, SolventOutcome::Done);
  const std::vector<double> withOutlier = e.Ligands[2].Coefficients;
  ASSERT_GT(std::abs(withOutlier[1] - 0.5), 0.05);

  const int outlierRaw = 2 * 3 + 1;  // injection 3, flow cell 2
  StandardToggle t = ToggleStandardRejection(e, 2, 2, 1);
  ASSERT_TRUE(t.Changed);
  EXPECT_TRUE(t.Rejected);
  EXPECT_TRUE(t.Message.Empty());
  EXPECT_TRUE(e.Stage(stRaw).CurveFlags[outlierRaw] & cfStandardRejected);
  ExpectCoefficients(e.Ligands[2].Coefficients, {2 - 2.5, 0.5});

  // Recomputing rebuilds the standards from the data and keeps the mark.
  ASSERT_EQ(Solve(SolventMode::LinearFit).Outcome, SolventOutcome::Done);
  EXPECT_TRUE(e.Ligands[2].Standards[2].Rejected);
  EXPECT_FALSE(e.Ligands[3].Standards[2].Rejected) << "the mark belongs to one flow cell";
  ExpectCoefficients(e.Ligands[2].Coefficients, {2 - 2.5, 0.5});
  EXPECT_LT(Deviation(0, Binding), 1e-9);

  t = ToggleStandardRejection(e, 2, 2, 1);
  ASSERT_TRUE(t.Changed);
  EXPECT_FALSE(t.Rejected);
  EXPECT_FALSE(e.Stage(stRaw).CurveFlags[outlierRaw] & cfStandardRejected);
  ExpectCoefficients(e.Ligands[2].Coefficients, withOutlier);

  EXPECT_FALSE(ToggleStandardRejection(e, 2, 4, 1).Changed);
  EXPECT_FALSE(ToggleStandardRejection(e, 0, 0, 1).Changed) << "the reference's own list is not toggled";
  EXPECT_FALSE(ToggleStandardRejection(e, 9, 0, 1).Changed);
}

TEST_F(SolventStageTest, AFlowCellWithNoMorePairsThanTheDegreeIsLeftUncorrected) {
  Load(Run({10, 20, 40}));
  ASSERT_EQ(Solve(SolventMode::SecondOrder).Outcome, SolventOutcome::Done);
  ASSERT_TRUE(ToggleStandardRejection(e, 2, 0, 2).Changed);
  EXPECT_TRUE(e.Ligands[2].Coefficients.empty());

  const SolventResult r = Solve(SolventMode::SecondOrder);
  ASSERT_EQ(r.Outcome, SolventOutcome::Done) << r.Message.Text;
  EXPECT_TRUE(e.Ligands[2].Coefficients.empty());
  ExpectCoefficients(e.Ligands[3].Coefficients, {-1 - 1.25, 0.25, 0});
  EXPECT_LT(Deviation(0, Uncorrected(Line2(50))), 1e-9) << "flow cell 2 keeps its artefact";
  EXPECT_LT(Deviation(1, Binding), 1e-9) << "flow cell 3 is corrected";
}

TEST_F(SolventStageTest, TwoStandardsPerFlowCellAreNotEnough) {
  Load(Run({10, 20}));
  const SolventSettings settings{SolventMode::LinearFit, 1, "10", "20", "30", false};
  const SolventStartCheck check = CheckSolventStart(e, settings);
  EXPECT_EQ(check.Message.Text, "Not enough dmso standards found\nCheck concentration entries on Data page");
  EXPECT_EQ(check.Message.Caption, "DMSO Error");

  const SolventResult r = SolventStage(e, settings);
  EXPECT_EQ(r.Outcome, SolventOutcome::NotEnoughStandards);
  EXPECT_TRUE(r.SwitchOff());
  EXPECT_EQ(r.Message.Text, check.Message.Text);
  EXPECT_EQ(r.Message.Caption, "DMSO Error");
  EXPECT_FALSE(e.StageExists(stSolvent));
  for (const TLigand& l : e.Ligands) EXPECT_TRUE(l.Standards.empty() && l.Coefficients.empty());
}

TEST_F(SolventStageTest, SwitchingOnChecksTheStandardsTheReferenceAndTheInjectionLength) {
  Load(Run({10, 20, 40}));
  struct Case {
    SolventSettings settings;
    const char* message;  // nullptr: the switch may go on
    bool showPageAgain;
  };
  const Case cases[] = {
      {{SolventMode::LinearFit, 1, "", "", "30", false}, nullptr, false},
      {{SolventMode::SecondOrder, 0, "", "", "30", false}, "You must first select a reference flow cell", false},
      {{SolventMode::LinearFit, 1, "", "", "0", false}, "Enter an injection length", true},
      {{SolventMode::LinearFit, 1, "", "", "", false}, "Enter an injection length", true},
  };
  for (const Case& c : cases) {
    const SolventStartCheck check = CheckSolventStart(e, c.settings);
    EXPECT_EQ(check.Message.Text, c.message ? c.message : "") << c.settings.InjectionEndText;
    if (c.message) {
      EXPECT_EQ(check.Message.Caption, "DMSO Error");
    }
    EXPECT_EQ(check.ShowPageAgain, c.showPageAgain);
  }
  // With the list at "None" the stage switches itself off silently.
  const SolventResult r = Solve(SolventMode::LinearFit, 0);
  EXPECT_EQ(r.Outcome, SolventOutcome::NoReferenceCell);
  EXPECT_TRUE(r.SwitchOff());
  EXPECT_TRUE(r.Message.Empty());
}

TEST_F(SolventStageTest, AFailedFitKeepsTheCorrectedCurvesAndTheSwitch) {
  Load(Run({10, 20, 40}));
  ASSERT_EQ(Solve(SolventMode::LinearFit).Outcome, SolventOutcome::Done);
  const std::vector<double> before(corrected().Response.begin(), corrected().Response.end());

  // File standards whose reference responses are all the same.
  for (TLigand& l : e.Ligands) l.Standards.clear();
  e.Ligands[0].Standards = {{20, 20, -1, false}, {20, 20, -1, false}, {20, 20, -1, false}};
  e.Ligands[2].Standards = {{0, 1, -1, false}, {0, 2, -1, false}, {0, 3, -1, false}};
  e.SolventDegree = 1;
  const SolventResult r = Solve(SolventMode::File);
  EXPECT_EQ(r.Outcome, SolventOutcome::FitFailed);
  EXPECT_FALSE(r.SwitchOff());
  EXPECT_EQ(r.Message.Text, "Error in DMSO line fit");
  EXPECT_EQ(r.Message.Caption, "DMSO Error");
  ASSERT_TRUE(e.StageExists(stSolvent));
  EXPECT_EQ(std::vector<double>(corrected().Response.begin(), corrected().Response.end()), before);
  EXPECT_EQ(e.Ligands[2].Standards.size(), 3u) << "file standards are not rebuilt from the data";
}

TEST(SolventFit, CentredAbscissaeKeepAParabolaFarFromZeroExact) {
  // Reference responses around 20000 RU: raw normal equations in x would
  // lose every digit of the curvature.
  const double x0 = 2e4;
  std::vector<double> x, y;
  for (double d : {0.0, 0.7, 1.5, 2.2, 3.0, 4.1}) {
    x.push_back(x0 + d);
    y.push_back(3 + 2 * d - 0.5 * d * d);
  }
  std::vector<double> work(PolynomialWorkSize(6, 2));
  CentredPolynomial p;
  ASSERT_TRUE(FitPolynomial(x.data(), y.data(), 6, 2, work.data(), p));
  for (double d : {-1.0, 0.0, 2.5, 5.0}) EXPECT_NEAR(p(x0 + d), 3 + 2 * d - 0.5 * d * d, 1e-9) << d;
}

TEST(SolventFit, PointsThatCannotDetermineThePolynomialAreRefused) {
  struct Case {
    std::vector<double> x, y;
    int degree;
    const char* why;
  };
  const double nan = std::nan("");
  const Case cases[] = {
      {{5, 5, 5}, {1, 2, 3}, 1, "all x equal"},
      {{1, 1, 2, 2}, {1, 2, 3, 4}, 2, "two distinct x for a parabola"},
      {{1, 2}, {1, 2}, 2, "no more points than the degree"},
      {{1, 2, nan}, {1, 2, 3}, 1, "an x that is not a number"},
      {{1, 2, 3}, {1, 2, HUGE_VAL}, 1, "an infinite y"},
      {{1, 2, 3}, {1, 2, 3}, 3, "a degree the stage does not fit"},
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.x.size());
    std::vector<double> work(PolynomialWorkSize(n, std::min(c.degree, 2)) + 8);
    CentredPolynomial p;
    EXPECT_FALSE(FitPolynomial(c.x.data(), c.y.data(), n, c.degree, work.data(), p)) << c.why;
  }
  // Three distinct points among repeats do determine a parabola.
  const std::vector<double> x = {1, 1, 2, 2, 3}, y = {1, 1, 4, 4, 9};
  std::vector<double> work(PolynomialWorkSize(5, 2));
  CentredPolynomial p;
  ASSERT_TRUE(FitPolynomial(x.data(), y.data(), 5, 2, work.data(), p));
  const std::vector<double> power = p.PowerCoefficients();
  ASSERT_EQ(power.size(), 3u);
  EXPECT_NEAR(power[0], 0, 1e-12);
  EXPECT_NEAR(power[1], 0, 1e-12);
  EXPECT_NEAR(power[2], 1, 1e-12);
}

// A standards file for reference flow cell 1 with the standards of the
// reference (entry 0), none for flow cell 1 itself, and three for flow
// cells 2 and 3 each; flow cell 2's second one is marked rejected and off
// its line.
std::string StandardsFileText(int reference = 1) {
  return "Kelvaris 2.00 Method File\n"
         "12:00:00  01/02/2024\n\n"
         "Reference: " + std::to_string(reference) + "\n\n"
         "DMSO: 10.5\t20\tlinear\n"
         "DMSOSource: /runs/standards.kvx\n"
         "Standards: 3\t0\t3\t3\n"
         "15.0000\t25.0000\t45.0000\n"
         "7.0000\t99.0000*\t22.0000\n"
         "1.5000\t4.0000\t9.0000\n"
         "\n"
         "Blank: Average\n";
}

TEST_F(SolventStageTest, AStandardsFileReplacesTheStandardsAndCorrectsInFileMode) {
  Load(Run({10, 20, 40}));
  const StandardsFile file = LoadStandards(e, StandardsFileText(), 1);
  ASSERT_TRUE(file.Ok) << file.Message.Text;
  EXPECT_EQ(file.ReferenceCell, 1);
  EXPECT_TRUE(file.HasSource);
  EXPECT_EQ(file.SourceText, "/runs/standards.kvx");
  EXPECT_TRUE(file.HasWindow);
  EXPECT_EQ(file.StartText, "10.5");
  EXPECT_EQ(file.StopText, "20");
  EXPECT_EQ(file.Degree, 1);
  EXPECT_EQ(e.SolventDegree, 1);

  ASSERT_EQ(e.Ligands[0].Standards.size(), 3u);
  EXPECT_TRUE(e.Ligands[1].Standards.empty());
  ASSERT_EQ(e.Ligands[2].Standards.size(), 3u);
  ASSERT_EQ(e.Ligands[3].Standards.size(), 3u);
  const TSolventStandard& marked = e.Ligands[2].Standards[1];
  EXPECT_TRUE(marked.Rejected);
  EXPECT_DOUBLE_EQ(marked.Response, 99);
  EXPECT_DOUBLE_EQ(marked.Reference, 25) << "paired by position with the reference's standards";
  EXPECT_EQ(marked.Injection, -1);
  EXPECT_FALSE(e.Ligands[3].Standards[1].Rejected);

  // The file's lines are y = 2 + 0.5 (x - 5) and y = -1 + 0.25 (x - 5),
  // the same as the data's, so the samples come out as in the data modes.
  const SolventResult r = Solve(SolventMode::File);
  ASSERT_EQ(r.Outcome, SolventOutcome::Done) << r.Message.Text;
  ExpectCoefficients(e.Ligands[2].Coefficients, {-0.5, 0.5});
  ExpectCoefficients(e.Ligands[3].Coefficients, {-2.25, 0.25});
  EXPECT_EQ(e.Ligands[2].Standards.size(), 3u) << "File mode keeps the file's standards";
  for (int c = 0; c < corrected().CurveCount; ++c)
    EXPECT_LT(Deviation(c, [&](double t) { return InfoOf(c).Injection == 4 ? Binding(t) : 0.0; }), 1e-9);

  // A rejected file standard can be brought back by hand.
  ASSERT_TRUE(ToggleStandardRejection(e, 2, 1, 1).Changed);
  EXPECT_FALSE(e.Ligands[2].Standards[1].Rejected);
  ASSERT_EQ(e.Ligands[2].Coefficients.size(), 2u);
  EXPECT_GT(std::abs(e.Ligands[2].Coefficients[1] - 0.5), 0.1);
}

TEST_F(SolventStageTest, OlderStandardsFilesSeparateTheWindowWithACommaAndABlank) {
  e.ExtendLigands(2);
  const std::string text =
      "Kelvaris 1.09 Method File\r\n"
      "12:00:00  01/02/2024\r\n"
      "Reference: 2\r\n"
      "DMSO: 10, 200, poly2\r\n"
      "Standards: 2\t2\t0\r\n"
      "1.0\t2.0*\r\n"
      "3.0\t4.0\r\n";
  const StandardsFile file = LoadStandards(e, text, 2);
  ASSERT_TRUE(file.Ok) << file.Message.Text;
  EXPECT_EQ(file.StartText, "10");
  EXPECT_EQ(file.StopText, "200");
  EXPECT_EQ(file.Degree, 2);
  EXPECT_FALSE(file.HasSource);
  ASSERT_EQ(e.Ligands[1].Standards.size(), 2u);
  EXPECT_DOUBLE_EQ(e.Ligands[1].Standards[1].Response, 4);
  EXPECT_TRUE(e.Ligands[0].Standards[1].Rejected);
  EXPECT_TRUE(e.Ligands[2].Standards.empty());
}

// What a refused file must leave alone.
struct Snapshot {
  std::vector<std::vector<double>> responses, coefficients;
  int degree;
  explicit Snapshot(const TExperiment& e) : degree(e.SolventDegree) {
    for (const TLigand& l : e.Ligands) {
      responses.emplace_back();
      for (const TSolventStandard& st : l.Standards) responses.back().push_back(st.Response);
      coefficients.push_back(l.Coefficients);
    }
  }
  bool operator==(const Snapshot&) const = default;
};

TEST_F(SolventStageTest, RefusedStandardsFilesChangeNothing) {
  Load(Run({10, 20, 40}));
  ASSERT_EQ(Solve(SolventMode::SecondOrder).Outcome, SolventOutcome::Done);
  e.SolventDegree = 2;
  const Snapshot before(e);

  const std::string good = StandardsFileText();
  static const char binary[] = "\x7f\x00\xff\x10garbage:\n\x01";
  const std::string header = "Kelvaris 2.00 Method File\nReference: 1\n";
  struct Case {
    std::string text;
    const char* message;
    const char* why;
  };
  const Case cases[] = {
      {StandardsFileText(2), "Wrong reference cell in that file", "written for flow cell 2"},
      {"Kelvaris 2.00 Method File\nDMSO: 1\t2\tlinear\nStandards: 1\t0\t1\t1\n1 2 3\n",
       "Wrong reference cell in that file", "no reference line"},
      {good.substr(0, good.find("7.0000") + 10), "No DMSO standards in that file", "cut inside the values"},
      {good.substr(0, good.find("Standards")), "No DMSO standards in that file", "cut before the block"},
      {header + "Standards: 3\t0\t3\t3\n15\t25\t45\n7\tabc\t22\n1.5\t4\t9\n", "No DMSO standards in that file",
       "a value that is not a number"},
      {header + "Standards: 3\t0\t3\t3\n15\t25\t45\n7\t*\t22\n1.5\t4\t9\n", "No DMSO standards in that file",
       "a mark without a value"},
      {header + "Standards: 99999999999999999999999\n1\n", "No DMSO standards in that file", "a count past any file"},
      {header + "\x1a" + "Standards: 1\t0\t0\t0\n1\n", "No DMSO standards in that file", "the text ends at 1A"},
      {std::string(binary, sizeof binary - 1), "No DMSO standards in that file", "binary bytes"},
      {"", "No DMSO standards in that file", "an empty file"},
  };
  for (const Case& c : cases) {
    const StandardsFile file = LoadStandards(e, c.text, 1);
    EXPECT_FALSE(file.Ok) << c.why;
    EXPECT_EQ(file.Message.Text, c.message) << c.why;
    EXPECT_EQ(file.Message.Caption, "Load Standards Error") << c.why;
    EXPECT_TRUE(Snapshot(e) == before) << c.why;
  }
  EXPECT_EQ(CouldNotOpenStandards().Message.Text, "Could not open standards file");
}

}  // namespace
}  // namespace kelvaris

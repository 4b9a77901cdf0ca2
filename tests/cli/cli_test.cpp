#include "cli/cli_runner.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "synthetic_plain_text.h"
#include "test_support.h"

namespace kelvaris {
namespace {

struct CliRun {
  int code;
  std::string out, err;
};

CliRun RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(Cli, PrintsTheRawCurvesOfALoadedFile) {
  test::TempDir dir;
  const std::string path = dir.Write("run.txt", "0\t1\t0\t10\n1\t2\t1\t20\n2\t4\t2\t40\n");
  CliRun r = RunTool({path, "--points", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_TRUE(j["data_loaded"]);
  EXPECT_EQ(j["caption"], "Kelvaris - run");
  const auto& curves = j["stages"]["0"]["curves"];
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(curves[1]["injection"], 2);
  EXPECT_EQ(curves[1]["points"], 3);
  EXPECT_EQ(curves[1]["sum"], 70.0);
  EXPECT_EQ(curves[1]["time"], nlohmann::json({0.0, 2.0}));
  EXPECT_EQ(curves[0]["r"], nlohmann::json({1.0, 2.0, 4.0}));
  EXPECT_EQ(j["stages"]["0"]["capacity"], 3);
}

TEST(Cli, GridCellsAreTypedByLabelOrPositionAndShownWithTheirMarks) {
  test::TempDir dir;
  const std::string path = dir.Write("run.txt", "0\t1\t0\t10\t0\t5\n1\t2\t1\t20\t1\t6\n2\t4\t2\t40\t2\t7\n");
  CliRun r = RunTool({path, "--set", "RowBox=2", "--set", "SampleGrid[A2]=10nM", "--set", "SampleGrid[1,2]=x",
                      "--page", "Zero", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  const auto& sample = j["grids"]["SampleGrid"];
  EXPECT_EQ(sample[0], nlohmann::json({"", "A", "B"}));
  EXPECT_EQ(sample[2][1], "10nM");
  EXPECT_EQ(sample[1][2], "x");
  EXPECT_EQ(sample[2][2], nlohmann::json({{"text", ""}, {"blocked", true}}));
  EXPECT_EQ(j["grids"]["InjAnalyteGrid"][1][2], nlohmann::json({{"text", "1"}, {"blocked", true}}));
  EXPECT_EQ(j["stages"]["0"]["curves"][1]["concentration"], 1e-8);
  EXPECT_EQ(j["stages"]["1"]["curves"].size(), 3u);
  EXPECT_EQ(j["analytes"], nlohmann::json::parse(R"([{"name": "Analyte 1", "mw": ""}])"));

  for (const char* bad : {"SampleGrid[Q9]=1", "SampleGrid[B2]=1", "SampleGrid[0,1]=1", "CurveList[A1]=1"}) {
    CliRun b = RunTool({path, "--set", bad});
    EXPECT_EQ(b.code, 2) << bad;
  }
}

TEST(Cli, ExitCodesTellFailedLoadsFromBadArguments) {
  test::TempDir dir;
  CliRun missing = RunTool({dir.Path() + "/none.txt", "--json"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("File Read Error: Unable to open file"), std::string::npos);
  auto j = nlohmann::json::parse(missing.out);
  EXPECT_EQ(j["messages"][0]["caption"], "File Read Error");

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--set", "NoSuchBox=1"}, {"--set", "FcListBox=Fc 9"}, {"--page", "Nowhere"},
           {"--answer", "maybe"}, {"--frobnicate"}, {"--set"}, {"--option", "Merge=on"}}) {
    CliRun r = RunTool(args);
    EXPECT_EQ(r.code, 2) << args[0];
    EXPECT_NE(r.err.find("kelvaris-cli: "), std::string::npos) << args[0];
  }
}

TEST(Cli, ControlsAreSetThroughTheirHandlers) {
  test::TempDir dir;
  const std::string path = dir.Write("run.txt", "0\t1\t0\t10\n1\t2\t1\t20\n2\t4\t2\t40\n");
  CliRun r = RunTool({path, "--set", "FcListBox=#1", "--set", "AllPointAction=on", "--page", "Zero", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["controls"]["FcListBox"], 1);
  EXPECT_EQ(j["controls"]["AllPointAction"], true);
  EXPECT_EQ(j["pages"]["active"], "Zero");
}

TEST(Cli, StageSwitchesBoxesAndUndoAreReachable) {
  test::TempDir dir;
  const std::string path = dir.Write("run.txt", "0\t1\t0\t10\n1\t2\t1\t20\n2\t4\t2\t40\n3\t5\t3\t50\n");
  CliRun r = RunTool({path, "--page", "Zero", "--set", "ZeroCheck=on", "--set", "StartZeroBox=0",
                      "--set", "StopZeroBox=0", "--click", "UndoButton", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["undo"], nlohmann::json({{"entries", 3}, {"cursor", 2}}));
  EXPECT_EQ(j["controls"]["StopZeroBox"], "1.50") << "undone";
  EXPECT_EQ(j["controls"]["StartZeroBox"], "0");
  // The window 0 to 1.5 s: the mean of 1 and 2 is taken off.
  EXPECT_EQ(j["stages"]["2"]["curves"][0]["time"], nlohmann::json({0.0, 3.0}));
  EXPECT_EQ(j["stages"]["2"]["curves"][0]["response"], nlohmann::json({-0.5, 3.5}));
}

// Eight injections on four flow cells, the first three solvent standards
// and the last a blank, from the generator.
std::string FourFlowCellRun(const test::TempDir& dir) {
  synth::RunShape shape;
  shape.curves = 8;
  shape.points = 600;
  shape.flowCells = 4;
  shape.solventStandards = 3;
  return dir.Write("run.txt", synth::FlowCellLabelledText(shape));
}

TEST(Cli, AFourFlowCellRunIsAlignedReferencedAndSolventCorrected) {
  test::TempDir dir;
  const std::string path = FourFlowCellRun(dir);
  CliRun r = RunTool({path, "--set", "SampleGrid[A1]=dmso", "--set", "SampleGrid[A2]=dmso", "--set",
                      "SampleGrid[A3]=dmso", "--page", "Align", "--set", "StartAlignBox=10", "--set",
                      "StopAlignBox=40", "--set", "AlignCheck=on", "--page", "Ref", "--set", "ReferenceCombo=#1",
                      "--page", "Dmso", "--set", "StartDMSOBox=20", "--set", "StopDMSOBox=40", "--set",
                      "InjEndBox=60", "--set", "DMSOGroup=#1", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_TRUE(j["messages"].empty()) << j["messages"];
  EXPECT_NEAR(j["stages"]["4"]["curves"][0]["injection_time"].get<double>(), 19.5, 0.05) << "the foot of the bulk step";
  EXPECT_EQ(j["stages"]["5"]["curves"].size(), 24u) << "flow cells 2 to 4 of every injection";
  EXPECT_EQ(j["stages"]["6"]["curves"].size(), 15u) << "the samples only";
  ASSERT_EQ(j["solvent"].size(), 3u);
  for (const auto& line : j["solvent"]) {
    // The artefact the generator puts on the active flow cells.
    EXPECT_NEAR(line["coefficients"][0].get<double>(), 0.3, 0.08) << line;
    EXPECT_NEAR(line["coefficients"][1].get<double>(), 0.05, 0.015) << line;
  }
}

TEST(Cli, AProcessedRunIsBlankedAndGivesTheBoundTable) {
  test::TempDir dir;
  const std::string path = FourFlowCellRun(dir);
  CliRun r = RunTool({path, "--set", "SampleGrid[A1]=dmso", "--set", "SampleGrid[A2]=dmso", "--set",
                      "SampleGrid[A3]=dmso", "--set", "SampleGrid[A4]=1u", "--set", "SampleGrid[A5]=0.5u", "--set",
                      "SampleGrid[A6]=0.25u", "--set", "SampleGrid[A7]=0.125u", "--set", "SampleGrid[A8]=0",
                      "--page", "Ref", "--set", "ReferenceCombo=#1", "--page", "Blank", "--set",
                      "BlankGroup=Closest", "--page", "Bound", "--set", "StartBoundBox=40", "--set",
                      "StopBoundBox=55", "--set", "BoundCheck=on", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_TRUE(j["messages"].empty()) << j["messages"];
  EXPECT_EQ(j["stages"]["7"]["curves"].size(), 15u) << "samples and blank of flow cells 2 to 4";
  EXPECT_EQ(j["controls"]["BlankWarningLabel"], "");
  const auto& bound = j["bound"];
  ASSERT_EQ(bound.size(), 12u) << "four samples on three flow cells";
  for (const auto& entry : bound) {
    EXPECT_EQ(entry["points"], 31) << "40 to 55 s, both ends included, at 0.5 s";
    EXPECT_EQ(entry["analyte"], 1);
    // The group's largest response is the top concentration's.
    double top = 0;
    for (const auto& other : bound)
      if (other["flow_cell"] == entry["flow_cell"]) top = std::max(top, other["response"].get<double>());
    EXPECT_DOUBLE_EQ(entry["rmax_estimate"].get<double>(), top);
    EXPECT_GT(entry["kd_estimate"].get<double>(), 0);
  }
  EXPECT_EQ(bound[0]["concentration"], 1e-6);
  EXPECT_EQ(bound[0]["injection"], 4);
}

TEST(Cli, TheAffinityFitIsReportedWithTheTableTexts) {
  test::TempDir dir;
  std::vector<std::string> args{dir.Write("run.txt", test::IsothermRunText())};
  for (int k = 1; k <= 4; ++k)
    args.insert(args.end(), {"--set", "SampleGrid[A" + std::to_string(k) + "]=" + test::kIsothermSamples[k - 1]});
  args.insert(args.end(), {"--page", "Ref", "--set", "ReferenceCombo=#1", "--page", "Bound", "--set",
                           "StartBoundBox=15", "--set", "StopBoundBox=25", "--set", "BoundCheck=on", "--page",
                           "Affinity", "--set", "FitFcTab=#1", "--set", "FitCheck=on", "--json"});
  CliRun r = RunTool(args);
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["affinity_flow_cells"].size(), 1u);
  EXPECT_EQ(j["affinity_flow_cells"][0]["flow_cell"], 2);
  EXPECT_NEAR(j["affinity_flow_cells"][0]["global_rmax"].get<double>(), 100, 1e-4);
  EXPECT_EQ(j["affinity_flow_cells"][0]["warning"], "");
  ASSERT_EQ(j["affinity"].size(), 1u);
  const auto& a = j["affinity"][0];
  EXPECT_NEAR(a["kd"].get<double>(), 1e-5, 1e-11);
  EXPECT_NEAR(a["rmax1"].get<double>(), 100, 1e-4);
  EXPECT_EQ(a["texts"]["kd2"], "---") << "one site";
  EXPECT_EQ(j["grids"]["KmGrid"][1][2], a["texts"]["kd1"]) << "the table shows the same text";

  // A click on the "2" cell gives the analyte a second site: four
  // parameters for three points.
  args.pop_back();
  args.insert(args.end(), {"--click", "KmGrid[1,1]", "--json"});
  r = RunTool(args);
  ASSERT_EQ(r.code, 0) << r.err;
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["affinity_flow_cells"][0]["warning"], "More parameters than points in fit for flowcell 2.");
}

}  // namespace
}  // namespace kelvaris

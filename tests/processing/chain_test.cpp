#include <gtest/gtest.h>

#include "app/application.h"
#include "model/experiment.h"
#include "platform/headless_window_system.h"
#include "processing/stage_window.h"
#include "test_support.h"

namespace kelvaris {
namespace {

TEST(Chain, SourceStagesFollowTheStagesThatExist) {
  HeadlessWindowSystem ws;
  TExperiment e(ws);
  auto have = [&](std::initializer_list<int> stages) {
    e.FreeStages(stRaw);
    for (int s : stages) ASSERT_TRUE(e.AllocateStage(s, 1, 2));
  };
  have({stRaw, stData});
  EXPECT_EQ(e.FindSourceStage(9), stData) << "no stage on";
  EXPECT_EQ(e.FindDisplaySource(9), stRaw) << "the Data stage has no graph page";
  have({stRaw, stData, stZero, stAlign});
  EXPECT_EQ(e.FindSourceStage(stAlign), stZero);
  have({stRaw, stData, stZero, stCrop, stAlign});
  EXPECT_EQ(e.FindSourceStage(stAlign), stCrop);
  have({stRaw, stData, stScale});
  EXPECT_EQ(e.FindSourceStage(9), stScale);
  EXPECT_EQ(e.FindDisplaySource(9), stRaw);
  EXPECT_EQ(e.FindSourceStage(0), 0);
  EXPECT_EQ(e.FindSourceStage(-3), 0);
}

TEST(Chain, SanitizedWindows) {
  struct Case {
    bool set;
    const char *start, *stop, *third;  // third null: no third box
    double wantStart, wantStop, wantThird;
  } cases[] = {
      {false, "", "", "", 25, 50, 75},          // the middle of the data
      {true, "-20", "8", nullptr, 5, 10, 15},   // start before the data
      {true, "", "", "", 0, 100, 100},          // empty boxes: the data range, third kept
      {true, "200", "300", "", 85, 90, 100},     // everything after the data
      {true, "10", "120", "", 10, 90, 100},      // stop after the data
      {true, "10", "-5", "", 5, 10, 100},        // stop before the data
      {true, "10", "20", "150", 10, 20, 95},    // third after the data
      {true, "10", "20", "-1", 5, 10, 15},     // and start and stop make room     // third before the data
  };
  for (const Case& c : cases) {
    const std::string_view third = c.third ? c.third : "";
    const StageWindow w = SanitizedWindow(0, 100, c.set, c.start, c.stop, c.third ? &third : nullptr);
    EXPECT_DOUBLE_EQ(w.start, c.wantStart) << c.start << " " << c.stop;
    EXPECT_DOUBLE_EQ(w.stop, c.wantStop) << c.start << " " << c.stop;
    if (c.third) {
      EXPECT_DOUBLE_EQ(w.third, c.wantThird) << c.start << " " << c.stop;
    }
  }
}

TEST(Chain, ABurstOfEditsRunsTheChainOnceFromTheLowestStage) {
  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app(ws, {}, "");
  TMainForm& form = *app.MainForm;
  ASSERT_TRUE(form.LoadDataFile(dir.Write("run.txt", "0\t1\t0\t2\n1\t2\t1\t3\n2\t3\t2\t4\n"), true));
  form.RunChain(stRaw);
  const int runs = ws.ProcessMessagesCalls();
  form.ScheduleRecompute(3);
  ws.AdvanceMs(1500);
  form.ScheduleRecompute(2);
  form.ScheduleRecompute(5);
  ws.AdvanceMs(1999);
  EXPECT_EQ(ws.ProcessMessagesCalls(), runs) << "still within 2 s of the last edit";
  EXPECT_EQ(form.Experiment.PendingStage, 2);
  ws.AdvanceMs(1);
  EXPECT_EQ(ws.ProcessMessagesCalls(), runs + 1);
  EXPECT_EQ(form.Experiment.PendingStage, kNoStage);
  ws.AdvanceMs(10000);
  EXPECT_EQ(ws.ProcessMessagesCalls(), runs + 1) << "one run only";
}

}  // namespace
}  // namespace kelvaris

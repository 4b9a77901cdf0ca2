#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/headless_window_system.h"
#include "synthetic_tagged_text.h"
#include "test_support.h"

namespace kelvaris {
namespace {

class TaggedTextLoad : public ::testing::Test {
 protected:
  // A generated tagged file of `cycles` cycles with `spots` spots each.
  bool Load(int cycles, int points, int spots) {
    synth::RunShape shape;
    shape.curves = cycles;
    shape.points = points;
    return form.LoadDataFile(dir.Write("array.txt", synth::TaggedText(shape, spots)), true);
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
  TMainForm& form = *app.MainForm;
};

// The tagged reader lays out the tables itself: a row per cycle, a column
// per group of five spots, an analyte per sample name.
TEST_F(TaggedTextLoad, LaysOutTheTablesFromTheCycles) {
  ASSERT_TRUE(Load(3, 8, 10));
  form.RunChain(stRaw);
  EXPECT_TRUE(ws.Messages().empty());
  EXPECT_EQ(form.RowUpDown.Position(), 3);
  EXPECT_EQ(form.SampleGrid.ColCount(), 3);
  EXPECT_EQ(form.SampleGrid.Cell(1, 1), "1.00e-6");
  EXPECT_EQ(form.SampleGrid.Cell(2, 2), "5.00e-7") << "the second group of spots";
  EXPECT_EQ(form.InjAnalyteGrid.Cell(1, 3), "2") << "the blank cycle is the second sample name";
  EXPECT_EQ(form.CompoundGrid.Cell(1, 2), "Buffer");
  EXPECT_EQ(form.Experiment.Ligands.size(), 6u);
  EXPECT_EQ(form.Experiment.Stage(stData).CurveCount, 30);
}

// Without a data section nothing replaces the loaded curves; the load
// still succeeds.
TEST_F(TaggedTextLoad, AFileWithoutDataKeepsTheLoadedCurves) {
  ASSERT_TRUE(Load(2, 4, 5));
  const double response = form.Experiment.Stage(stRaw).ResponseOf(7)[3];
  const std::string cycles = "<FILEVERSION>2\n<T_>CYCLE<TX>\n\x1e\x1e\x1eOther\n</T_>\n";
  EXPECT_TRUE(form.LoadDataFile(dir.Write("cycles.txt", cycles), true));
  EXPECT_TRUE(ws.Messages().empty());
  ASSERT_EQ(form.Experiment.Stage(stRaw).CurveCount, 10);
  EXPECT_EQ(form.Experiment.Stage(stRaw).ResponseOf(7)[3], response);
  EXPECT_EQ(form.Experiment.CurveInfo[7].Injection, 2);
  EXPECT_EQ(form.Experiment.CurveInfo[7].FlowCell, 3);
}

// Seven spots: the two spots of the incomplete group are flow cells 1 and
// 2 of injections in a second column.
TEST_F(TaggedTextLoad, AnIncompleteGroupOfSpots) {
  ASSERT_TRUE(Load(2, 4, 7));
  EXPECT_TRUE(ws.Messages().empty());
  ASSERT_EQ(form.Experiment.Stage(stRaw).CurveCount, 14);
  EXPECT_EQ(form.Experiment.CurveInfo[6].Injection, 2 + 1);
  EXPECT_EQ(form.Experiment.CurveInfo[6].FlowCell, 2);
  EXPECT_EQ(form.Experiment.Ligands.size(), 6u);
  EXPECT_EQ(form.SampleGrid.Cell(1, 1), "1.00e-6");
  EXPECT_EQ(form.InjAnalyteGrid.Cell(1, 2), "2");
}

}  // namespace
}  // namespace kelvaris

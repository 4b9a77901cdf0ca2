#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/headless_window_system.h"
#include "synthetic_tagged_text.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// The tagged reader lays out the tables itself: a row per cycle, a column
// per group of five spots, an analyte per sample name.
TEST(TaggedTextLoad, LaysOutTheTablesFromTheCycles) {
  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app(ws, {}, "");
  TMainForm& form = *app.MainForm;
  synth::RunShape shape;
  shape.curves = 3;
  shape.points = 8;
  ASSERT_TRUE(form.LoadDataFile(dir.Write("array.txt", synth::TaggedText(shape, 10)), true));
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

}  // namespace
}  // namespace kelvaris

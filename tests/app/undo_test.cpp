#include <gtest/gtest.h>

#include "app/application.h"
#include "model/sample_layout.h"
#include "model/undo.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

TEST(UndoList, MergesOpenEntriesAndANewChangeDropsTheRedoHistory) {
  EditBox box("Box"), other("Other");
  CheckBox check("Check");
  TUndoList list;
  // Four keys into an empty box: one entry.
  list.RecordEdit(box, 1, "1", "", 2);
  for (const char* text : {"12", "12.", "12.5"}) list.RecordEdit(box, 1, text, "ignored", 2);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(0)->oldText, "");
  EXPECT_EQ(list.At(0)->newText, "12.5");

  // Another stage, a closed entry, a check box: new entries each time.
  list.RecordEdit(box, 1, "12.55", "12.5", 3);
  list.CloseCurrent();
  list.RecordEdit(box, 1, "12.555", "12.55", 3);
  list.RecordCheck(check, 1, true, 2);
  list.RecordCheck(check, 1, false, 2);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.At(3)->newText, "1");
  EXPECT_EQ(list.At(4)->oldText, "1");
  EXPECT_FALSE(list.At(3)->open) << "a later entry closes the one before";

  // Two entries undone, then a change elsewhere: they cannot come back.
  list.MoveCursor(-2);
  EXPECT_TRUE(list.CanRedo());
  list.RecordEdit(other, 2, "7", "", 2);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Cursor(), 4);
  EXPECT_FALSE(list.CanRedo());

  // Nothing is recorded while an entry is being applied.
  {
    TUndoList::ApplyScope applying(list);
    list.RecordEdit(box, 1, "9", "", 2);
  }
  EXPECT_EQ(list.Count(), 4);
}

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two curves at t = 0..4: 1..5 and 10, 20, ..., 50.
    ASSERT_TRUE(form().LoadDataFile(
        dir.Write("run.txt", "0\t1\t0\t10\n1\t2\t1\t20\n2\t3\t2\t30\n3\t4\t3\t40\n4\t5\t4\t50\n"), true));
  }
  TMainForm& form() { return *app.MainForm; }
  std::vector<double> Responses(int stage, int c) {
    const TCurveSet& s = form().Experiment.Stage(stage);
    return {s.ResponseOf(c), s.ResponseOf(c) + s.PointCount[c]};
  }
  // A user replacing the box's text key by key, as the window reports it.
  static void Type(EditBox& box, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      box.UserKey(text[i]);
      box.UserSetText(text.substr(0, i + 1));
    }
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(UndoTest, TheFirstPressShowsThePageTheSecondUndoesAndRecomputes) {
  form().ZeroCheck.UserClick();
  ws.AdvanceMs(2000);
  const std::vector<double> before = Responses(stZero, 0);
  ASSERT_EQ(form().StartZeroBox.Text(), "1.00");
  Type(form().StartZeroBox, "0");  // window 0 to 2 s
  ws.AdvanceMs(2000);
  EXPECT_EQ(Responses(stZero, 0), (std::vector<double>{-1, 0, 1, 2, 3}));
  const int count = form().UndoList.Count();

  ASSERT_TRUE(form().Pages.UserSelect(pgCrop));
  form().UndoButton.Click();
  EXPECT_EQ(form().Pages.ActivePageIndex(), pgZero);
  EXPECT_EQ(form().StartZeroBox.Text(), "0") << "the first press only shows the page";
  EXPECT_EQ(form().UndoList.Cursor(), count);

  const int runs = ws.ProcessMessagesCalls();
  form().UndoButton.Click();
  EXPECT_EQ(form().StartZeroBox.Text(), "1.00");
  EXPECT_EQ(Responses(stZero, 0), before);
  EXPECT_EQ(form().UndoList.Cursor(), count - 1);
  EXPECT_TRUE(form().RedoButton.Enabled());
  ws.AdvanceMs(5000);
  EXPECT_EQ(ws.ProcessMessagesCalls(), runs + 1) << "one recomputation, not another after the edit delay";

  char key = 18;  // Ctrl+R
  form().FormKeyPress(key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(form().StartZeroBox.Text(), "0");
  EXPECT_EQ(Responses(stZero, 0), (std::vector<double>{-1, 0, 1, 2, 3}));
  EXPECT_FALSE(form().RedoButton.Enabled());
}

TEST_F(UndoTest, UndoingASwitchClickTurnsTheStageBackAndTypingDropsTheRedoHistory) {
  EXPECT_FALSE(form().UndoButton.Enabled()) << "a load empties the list";
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  form().ZeroCheck.UserClick();
  form().CropCheck.UserClick();
  ASSERT_TRUE(form().Experiment.StageExists(stCrop));
  ASSERT_EQ(form().UndoList.Count(), 2);

  char key = 26;  // Ctrl+Z: the Crop click, shown first, then undone
  form().FormKeyPress(key);
  EXPECT_EQ(form().Pages.ActivePageIndex(), pgCrop);
  form().FormKeyPress(key = 26);
  EXPECT_FALSE(form().CropCheck.Checked());
  EXPECT_FALSE(form().Experiment.StageExists(stCrop));
  form().FormKeyPress(key = 26);
  form().FormKeyPress(key = 26);
  EXPECT_FALSE(form().ZeroCheck.Checked());
  EXPECT_FALSE(form().Experiment.StageExists(stZero));
  EXPECT_EQ(form().Pages.PageAt(pgZero).caption, "Zero");
  EXPECT_EQ(form().UndoList.Cursor(), 0);
  EXPECT_FALSE(form().UndoButton.Enabled());
  form().UndoButton.Click();  // nothing left: nothing happens
  EXPECT_EQ(form().UndoList.Cursor(), 0);

  form().RedoButton.Click();
  EXPECT_TRUE(form().ZeroCheck.Checked());
  EXPECT_TRUE(form().Experiment.StageExists(stZero));
  EXPECT_EQ(form().UndoList.Count(), 2) << "redoing records nothing";

  Type(form().StopZeroBox, "3");
  EXPECT_EQ(form().UndoList.Count(), 2);
  EXPECT_FALSE(form().RedoButton.Enabled());
  EXPECT_EQ(form().UndoList.At(1)->oldText, "2.00");
  EXPECT_EQ(form().UndoList.At(1)->newText, "3");
}

TEST_F(UndoTest, EditsSeparatedByARecomputationAreSeparateEntries) {
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  form().ZeroCheck.UserClick();
  const int count = form().UndoList.Count();
  Type(form().StartZeroBox, "0.5");
  EXPECT_EQ(form().UndoList.Count(), count + 1);
  ws.AdvanceMs(2000);
  form().StartZeroBox.UserKey('0');
  form().StartZeroBox.UserSetText("0.50");
  EXPECT_EQ(form().UndoList.Count(), count + 2);
  form().UndoButton.Click();
  EXPECT_EQ(form().StartZeroBox.Text(), "0.5");
  form().UndoButton.Click();
  EXPECT_EQ(form().StartZeroBox.Text(), "1.00");
}

TEST_F(UndoTest, ThreeDragsOfAMarkerAreOneEntry) {
  ASSERT_TRUE(form().Pages.UserSelect(pgCrop));
  form().CropCheck.UserClick();
  ASSERT_EQ(form().StopCropBox.Text(), "2.00");
  const int count = form().UndoList.Count();
  for (double t : {2.5, 3.0, 3.5}) form().WindowMarkerDrag(stCrop, form().StopCropBox, t);
  EXPECT_EQ(form().StopCropBox.Text(), "3.50");
  EXPECT_EQ(form().UndoList.Count(), count + 1);
  ws.AdvanceMs(2000);
  EXPECT_EQ(form().Experiment.Stage(stCrop).PointCount[0], 3) << "1 to 3.5 s";
  form().UndoButton.Click();
  EXPECT_EQ(form().StopCropBox.Text(), "2.00");
  EXPECT_EQ(form().Experiment.Stage(stCrop).PointCount[0], 2);
}

TEST_F(UndoTest, GridEditsComeBackInTheirCellAndReachTheConcentrations) {
  TKelvarisGrid& grid = form().SampleGrid;
  int col = 0, row = 0;
  ASSERT_TRUE(ParseCellLabel("A1", col, row));
  grid.SetSelected(col, row, true);
  grid.SetCursorCell(col, row);
  grid.SetEditingAllowed(true);
  ASSERT_TRUE(grid.OpenEditor());
  for (const char* text : {"1", "10", "10n", "10nM"}) grid.EditorText(text);
  grid.CloseEditor();
  grid.ClearSelection();
  ASSERT_EQ(form().UndoList.Count(), 1) << "the keys of one cell merge";
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  EXPECT_DOUBLE_EQ(form().Experiment.CurveInfo[0].Concentration, 1e-8);

  form().UndoButton.Click();  // shows the Data page
  form().UndoButton.Click();
  EXPECT_EQ(grid.Cell(col, row), "");
  EXPECT_EQ(form().Experiment.CurveInfo[0].Concentration, 0) << "the curve follows the restored cell";
  EXPECT_FALSE(grid.EditingAllowed() && grid.EditorOpen());
  form().RedoButton.Click();
  EXPECT_EQ(grid.Cell(col, row), "10nM");
  EXPECT_DOUBLE_EQ(form().Experiment.CurveInfo[0].Concentration, 1e-8);
}

TEST_F(UndoTest, ANewLoadEmptiesTheList) {
  form().Pages.UserSelect(pgZero);
  form().ZeroCheck.UserClick();
  EXPECT_TRUE(form().UndoButton.Enabled());
  ASSERT_TRUE(form().LoadDataFile(dir.Write("other.txt", "0\t1\t0\t2\n1\t2\t1\t3\n2\t3\t2\t4\n"), true));
  EXPECT_EQ(form().UndoList.Count(), 0);
  EXPECT_FALSE(form().UndoButton.Enabled());
  EXPECT_FALSE(form().RedoButton.Enabled());
}

}  // namespace
}  // namespace kelvaris

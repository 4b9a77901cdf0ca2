#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "app/reorder_dialog.h"
#include "model/sample_layout.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

// A headerless run of `curves` curves (injections 1..curves) of three points.
std::string RunText(int curves, double offset = 0) {
  std::ostringstream s;
  for (int row = 0; row < 3; ++row) {
    for (int c = 0; c < curves; ++c) s << (c ? "\t" : "") << row << "\t" << offset + c * 10 + row;
    s << "\n";
  }
  return s.str();
}

class SampleTableTest : public ::testing::Test {
 protected:
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return app.MainForm->Experiment; }

  bool Load(const std::string& name, const std::string& content, bool merge = false) {
    form().Merge = merge;
    const bool ok = form().LoadDataFile(dir.Write(name, content), true);
    form().RunChain(stRaw);
    return ok;
  }
  // What a user typing into one cell does.
  static void Type(TKelvarisGrid& grid, const std::string& label, const std::string& text) {
    int col = 0, row = 0;
    ASSERT_TRUE(ParseCellLabel(label, col, row));
    ASSERT_TRUE(test::TypeIntoCell(grid, col, row, text)) << label;
  }
  static std::string At(const TKelvarisGrid& grid, const std::string& label) {
    int col = 0, row = 0;
    EXPECT_TRUE(ParseCellLabel(label, col, row));
    return grid.InGrid(col, row) ? grid.Cell(col, row) : "<outside>";
  }
  static bool Blocked(const TKelvarisGrid& grid, const std::string& label) {
    int col = 0, row = 0;
    EXPECT_TRUE(ParseCellLabel(label, col, row));
    return grid.GetBlocked(col, row);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& m : ws.Messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(SampleTableTest, LoadLaysOutOneCellPerInjectionAndBlocksTheRest) {
  ASSERT_TRUE(Load("run.txt", RunText(27)));
  const TKelvarisGrid& g = form().SampleGrid;
  EXPECT_TRUE(g.Visible());
  EXPECT_EQ(g.RowCount(), 11);
  EXPECT_EQ(g.ColCount(), 4);
  EXPECT_EQ(g.Cell(3, 0), "C");
  EXPECT_EQ(g.Cell(0, 7), "7");
  EXPECT_FALSE(Blocked(g, "C7")) << "injection 27";
  EXPECT_TRUE(Blocked(g, "C8"));
  EXPECT_TRUE(Blocked(form().InjAnalyteGrid, "C8"));
  EXPECT_EQ(At(form().InjAnalyteGrid, "B1"), "1");
  EXPECT_EQ(e().Stage(stData).CurveCount, 27);
}

TEST_F(SampleTableTest, CellsGiveTheCurvesTheirConcentrationsWhenThePageIsLeft) {
  ASSERT_TRUE(Load("run.txt", RunText(12)));
  Type(form().SampleGrid, "A1", "10nM");
  Type(form().SampleGrid, "A2", "DMSO");
  Type(form().SampleGrid, "B1", "x");  // injection 11
  EXPECT_TRUE(e().SampleTableEdited);
  EXPECT_TRUE(form().SaveMethodButton.Enabled());
  EXPECT_EQ(e().CurveInfo[0].Concentration, 0) << "nothing is computed before the page is left";
  ASSERT_TRUE(form().Pages.UserSelect(pgZero));
  EXPECT_DOUBLE_EQ(e().CurveInfo[0].Concentration, 1e-8);
  EXPECT_EQ(e().CurveInfo[1].Concentration, kSolventStandard);
  EXPECT_EQ(e().CurveInfo[10].Concentration, kNotUsed);
  // Solvent standards and unused injections have no analyte.
  EXPECT_TRUE(Blocked(form().InjAnalyteGrid, "A2"));
  EXPECT_TRUE(Blocked(form().InjAnalyteGrid, "B1"));
  EXPECT_FALSE(Blocked(form().InjAnalyteGrid, "A1"));
  EXPECT_FALSE(e().SampleTableEdited) << "the chain ran";
}

TEST_F(SampleTableTest, DilutionStepsUseTheStockAndDilutionBoxes) {
  ASSERT_TRUE(Load("run.txt", RunText(3)));
  form().StockConcBox.UserSetText("10uM");
  form().DilutionBox.UserSetText("2");
  Type(form().SampleGrid, "A1", "1");
  Type(form().SampleGrid, "A2", "2");
  Type(form().SampleGrid, "A3", "3");
  form().RefreshConcentrations();
  EXPECT_DOUBLE_EQ(e().CurveInfo[0].Concentration, 1e-5);
  EXPECT_DOUBLE_EQ(e().CurveInfo[1].Concentration, 5e-6);
  EXPECT_DOUBLE_EQ(e().CurveInfo[2].Concentration, 2.5e-6);
  EXPECT_DOUBLE_EQ(form().ConcentrationOfInjection(2), 5e-6);
  EXPECT_EQ(form().ConcentrationOfInjection(0), 0);
  EXPECT_EQ(form().ConcentrationOfInjection(99), 0) << "beyond the grid";
}

TEST_F(SampleTableTest, ChangingTheRowsKeepsEveryTextWithItsInjection) {
  ASSERT_TRUE(Load("run.txt", RunText(14)));
  for (int n = 1; n <= 14; ++n) {
    const CellPosition p = InjectionCell(n, 10);
    Type(form().SampleGrid, CellLabel(p.col, p.row), std::to_string(n) + "nM");
  }
  form().RowBox.UserSetText("12");
  EXPECT_EQ(form().SampleGrid.RowCount(), 13);
  for (int n = 1; n <= 14; ++n) {
    const CellPosition p = InjectionCell(n, 12);
    EXPECT_EQ(form().SampleGrid.Cell(p.col, p.row), std::to_string(n) + "nM");
  }
  form().RowUpDown.UserSetPosition(5);
  EXPECT_EQ(At(form().SampleGrid, "C4"), "14nM");
}

TEST_F(SampleTableTest, AMissingInjectionBlocksItsCellsAndLosesNoText) {
  ASSERT_TRUE(Load("run.txt", RunText(5)));
  Type(form().SampleGrid, "A4", "4nM");
  Type(form().SampleGrid, "A5", "5nM");
  e().CurveInfo[2].Injection = 6;  // injection 3 is gone, 6 is new
  form().LayoutSampleTable();
  EXPECT_TRUE(Blocked(form().SampleGrid, "A3"));
  EXPECT_TRUE(Blocked(form().InjAnalyteGrid, "A3"));
  EXPECT_EQ(At(form().SampleGrid, "A4"), "4nM");
  EXPECT_EQ(At(form().SampleGrid, "A5"), "5nM");
  form().LayoutSampleTable();  // a second layout keeps them too
  EXPECT_EQ(At(form().SampleGrid, "A4"), "4nM");
  EXPECT_EQ(At(form().SampleGrid, "A5"), "5nM");
}

TEST_F(SampleTableTest, LeavingTheCompoundPageChecksTheAnalyteNumbers) {
  ASSERT_TRUE(Load("run.txt", RunText(12)));
  ASSERT_TRUE(form().Pages.UserSelect(pgCompound));
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"0", "Invalid analyte number: Table entry (A1) should be at least 1"},
      {"two", "Invalid analyte number: Table entry (A1) should be at least 1"},
      {"2",
       "Invalid analyte number: Table entry (A1) greater than number of analytes\n"
       "Increase number of analytes in table on left"},
  };
  for (const Case& c : cases) {
    ws.ClearMessages();
    Type(form().InjAnalyteGrid, "A1", c.text);
    EXPECT_FALSE(form().Pages.UserSelect(pgZero)) << c.text;
    EXPECT_EQ(form().Pages.ActivePageIndex(), pgCompound);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
  }
  form().CompoundBox.UserSetText("2");
  ws.ClearMessages();
  EXPECT_TRUE(form().Pages.UserSelect(pgZero));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(e().CurveInfo[0].Analyte, 2);
}

TEST_F(SampleTableTest, TheAnalyteCountBoxSizesTheTableAndTheFilterList) {
  ASSERT_TRUE(Load("run.txt", RunText(2)));
  form().CompoundBox.UserSetText("3");
  EXPECT_EQ(form().CompoundGrid.RowCount(), 4);
  EXPECT_EQ(form().CompoundGrid.Cell(1, 3), "Analyte 3");
  EXPECT_EQ(form().AnalyteListBox.Items(),
            (std::vector<std::string>{"All analytes", "Analyte 1", "Analyte 2", "Analyte 3"}));
  form().CompoundBox.UserSetText("0");
  EXPECT_EQ(form().CompoundBox.Text(), "1");
  EXPECT_EQ(form().CompoundGrid.RowCount(), 2);
}

TEST_F(SampleTableTest, HidingACellRemovesItsCurvesFromTheDataStage) {
  ASSERT_TRUE(Load("run.txt", RunText(4)));
  form().Pages.SetActivePageIndex(pgScheme);
  form().SampleGrid.SetSelected(1, 2, true);
  form().RunTableCommand(tcHide);
  EXPECT_TRUE(form().SampleGrid.GetHidden(1, 2));
  EXPECT_TRUE(form().InjAnalyteGrid.GetBlocked(1, 2));
  ASSERT_EQ(e().Stage(stData).CurveCount, 3);
  for (int c = 0; c < 3; ++c) EXPECT_NE(e().InfoOf(stData, c).Injection, 2);
  EXPECT_EQ(form().ConcentrationOfSample(2), kNotUsed) << "no visible curve";
  form().RunTableCommand(tcUnhide);
  EXPECT_EQ(e().Stage(stData).CurveCount, 4);
}

TEST_F(SampleTableTest, TableMenuItemsAndTheirShortcuts) {
  form().TablePopup.Popup();
  std::vector<std::string> items;
  for (const auto& item : form().TablePopup.Items()) items.push_back(item.caption + "|" + item.shortcut);
  EXPECT_EQ(items, (std::vector<std::string>{"Hide |Ctrl+H", "Unhide|Ctrl+U", "-|", "Units...|Ctrl+N",
                                             "Chop...|Ctrl+P", "Reorder...|Ctrl+R", "-|", "Fill|Ctrl+F",
                                             "Copy|Ctrl+C", "Paste|Ctrl+V"}));
  EXPECT_FALSE(form().TablePopup.Items()[0].enabled) << "no data";
  EXPECT_FALSE(form().TablePopup.Items()[9].enabled) << "empty clipboard";
}

TEST_F(SampleTableTest, ColourByConcentrationNumbersTheDistinctConcentrations) {
  ASSERT_TRUE(Load("run.txt", RunText(4)));
  Type(form().SampleGrid, "A1", "1nM");
  Type(form().SampleGrid, "A2", "2nM");
  Type(form().SampleGrid, "A3", "1nM");
  form().RefreshConcentrations();
  form().AnalyteColorButton.Click();  // by number
  EXPECT_FALSE(form().LigandColorButton.Enabled());
  form().AnalyteColorButton.Click();  // by concentration
  EXPECT_EQ(form().CompoundGrid.Cell(3, 1), "32");
  std::vector<unsigned> colours;
  for (int c = 0; c < 4; ++c) colours.push_back(e().Stage(stData).CurveFlags[c] & cfColourMask);
  EXPECT_EQ(colours, (std::vector<unsigned>{1, 2, 1, 3}));
  form().AnalyteColorButton.Click();  // black again
  EXPECT_TRUE(form().LigandColorButton.Enabled());
  EXPECT_EQ(e().Stage(stData).CurveFlags[3] & cfColourMask, 1u);
}

TEST_F(SampleTableTest, ColourByFlowCellUsesTheLigandPalette) {
  ASSERT_TRUE(Load("run.txt", RunText(3)));
  e().CurveInfo[1].FlowCell = 2;
  e().CurveInfo[2].FlowCell = 3;
  e().ExtendLigands(3);
  form().RefreshFlowCellSelectors();
  form().LigandColorButton.Click();
  EXPECT_EQ(form().LigandGrid.Cell(2, 1), "3");
  EXPECT_EQ(form().LigandGrid.Cell(2, 3), "2");
  EXPECT_EQ(form().CompoundGrid.Cell(3, 1), "17");
  EXPECT_EQ(e().Stage(stRaw).CurveFlags[1] & cfColourMask, 4u);
  EXPECT_EQ(form().LigandLabel.Caption(), "Flowcells");
}

TEST_F(SampleTableTest, ResetEmptiesTheTables) {
  ASSERT_TRUE(Load("run.txt", RunText(3)));
  form().StockConcBox.UserSetText("10uM");
  form().CompoundBox.UserSetText("4");
  form().ResetExperiment();
  EXPECT_EQ(form().StockConcBox.Text(), "");
  EXPECT_EQ(form().CompoundGrid.RowCount(), 2);
  EXPECT_EQ(form().CompoundGrid.Cell(1, 1), "Analyte 1");
  EXPECT_EQ(form().CompoundGrid.Cell(3, 1), "1");
  EXPECT_FALSE(form().SampleGrid.Visible());
  EXPECT_EQ(form().SampleGrid.Cell(1, 1), "");
  EXPECT_EQ(form().InjAnalyteGrid.Cell(1, 1), "1");
  EXPECT_TRUE(e().Ligands.empty());
}

TEST_F(SampleTableTest, LayoutFromAnInjectionList) {
  ASSERT_TRUE(Load("run.txt", RunText(2)));
  std::vector<InjectionEntry> list;
  for (int i = 0; i < 13; ++i) list.push_back({std::to_string(i) + "nM", i % 2});
  form().LayoutFromInjectionList(list, {"Drug", ""});
  EXPECT_EQ(form().RowUpDown.Position(), 12);
  EXPECT_EQ(At(form().SampleGrid, "B1"), "12nM");
  EXPECT_EQ(At(form().InjAnalyteGrid, "A2"), "2");
  EXPECT_EQ(form().CompoundGrid.Cell(1, 1), "Drug");
  EXPECT_EQ(form().CompoundGrid.Cell(1, 2), "Analyte 2");
  EXPECT_FALSE(e().SampleTableEdited) << "the program's own change";
}

TEST_F(SampleTableTest, LayoutFromRowAnalytes) {
  ASSERT_TRUE(Load("run.txt", RunText(4)));
  e().CurveInfo[3].Concentration = 1e-6;
  form().LayoutFromRowAnalytes(2, 2, {0, 1}, {"A", "B"});
  EXPECT_EQ(form().SampleGrid.RowCount(), 3);
  EXPECT_EQ(At(form().SampleGrid, "B2"), "1.00e-6");
  EXPECT_EQ(At(form().InjAnalyteGrid, "B2"), "2");
  EXPECT_EQ(At(form().InjAnalyteGrid, "B1"), "1");
}

// --- merging ---

TEST_F(SampleTableTest, MergeAppendsTheNewCurvesAfterTheOldInjections) {
  ASSERT_TRUE(Load("first.txt", RunText(5)));
  Type(form().SampleGrid, "A5", "5nM");
  form().CompoundBox.UserSetText("2");
  ASSERT_TRUE(Load("second.txt", RunText(3, 1000), true));
  ASSERT_EQ(e().Stage(stRaw).CurveCount, 8);
  std::vector<int> injections;
  for (const auto& info : e().CurveInfo) injections.push_back(info.Injection);
  EXPECT_EQ(injections, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(e().Stage(stRaw).ResponseOf(5)[0], 1000.0);
  EXPECT_EQ(e().Stage(stRaw).SourceCurve[7], 7);
  EXPECT_EQ(At(form().SampleGrid, "A5"), "5nM");
  // The new file's analyte 1 is the compound appended after the old two.
  EXPECT_EQ(form().CompoundGrid.RowCount(), 4);
  EXPECT_EQ(At(form().InjAnalyteGrid, "A6"), "3");
  EXPECT_EQ(At(form().InjAnalyteGrid, "A1"), "1");
  EXPECT_FALSE(form().Merge);
  EXPECT_EQ(e().Stage(stData).CurveCount, 8);
}

TEST_F(SampleTableTest, AFailedMergedReadLosesNothing) {
  ASSERT_TRUE(Load("first.txt", RunText(5)));
  Type(form().SampleGrid, "A2", "7nM");
  EXPECT_FALSE(Load("bad.txt", "0\t1\t2\n0\t1\t2\n0\t1\t2\n0\t1\t2\n0\t1\t2\n0\t1\t2\n0\t1\t2\n", true));
  EXPECT_EQ(Messages(), std::vector<std::string>{"File Read Error: Unreadable format"});
  EXPECT_EQ(e().Stage(stRaw).CurveCount, 5);
  EXPECT_EQ(e().CurveInfo.size(), 5u);
  EXPECT_EQ(At(form().SampleGrid, "A2"), "7nM");
  EXPECT_FALSE(form().Merge);
}

TEST_F(SampleTableTest, ThreeFilesChosenAtOnceReplaceThenAppend) {
  ASSERT_TRUE(Load("old.txt", RunText(6)));
  const std::string a = dir.Write("a.txt", RunText(2));
  dir.Write("b.txt", RunText(3));
  dir.Write("c.txt", RunText(2));
  OpenDialogResult chosen;
  chosen.outcome = DialogOutcome::Accepted;
  chosen.path = dir.Path();
  chosen.names = {"a.txt", "b.txt", "c.txt"};
  chosen.filterIndex = 1;
  ws.QueueOpenResult(chosen);
  form().LoadButtonClick();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(e().Stage(stRaw).CurveCount, 7);
  EXPECT_EQ(e().CurveInfo.back().Injection, 7);
  EXPECT_EQ(e().Stage(stData).CurveCount, 7);
}

// --- the reorder dialog ---

class ReorderTest : public SampleTableTest {
 protected:
  // Plays the user: types the new numbers and presses OK (or Cancel).
  void Answer(std::vector<std::pair<int, int>> numbers, bool ok = true) {
    ws.OnShowModal = [this, numbers, ok](Panel& panel) {
      EXPECT_EQ(panel.Name(), "ReorderDialog");
      TReorderDialog& d = *app.ReorderDialog;
      for (std::size_t r = 0; r < numbers.size(); ++r) {
        d.Grid.SetCell(TReorderDialog::colNewInj, static_cast<int>(r) + 1, std::to_string(numbers[r].first));
        d.Grid.SetCell(TReorderDialog::colNewFc, static_cast<int>(r) + 1, std::to_string(numbers[r].second));
      }
      if (!ok) {
        d.CancelButtonClick();
        return ModalResult::Cancel;
      }
      d.OKButtonClick();
      return d.MayClose() ? ModalResult::Ok : ModalResult::Cancel;
    };
  }
};

TEST_F(ReorderTest, FillsTheGridFromTheCurves) {
  ASSERT_TRUE(Load("run.txt", RunText(2)));
  app.ReorderDialog->Fill(e().CurveInfo);
  const TKelvarisGrid& g = app.ReorderDialog->Grid;
  std::vector<std::string> header, row2;
  for (int c = 0; c < 5; ++c) header.push_back(g.Cell(c, 0));
  for (int c = 0; c < 5; ++c) row2.push_back(g.Cell(c, 2));
  EXPECT_EQ(header, (std::vector<std::string>{"Curve", "Old Inj", "Old Fc", "New Inj", "New Fc"}));
  EXPECT_EQ(row2, (std::vector<std::string>{"2", "2", "1", "2", "1"}));
  EXPECT_EQ(g.ColWidth(4), 54);
}

TEST_F(ReorderTest, ValidationMessages) {
  ASSERT_TRUE(Load("run.txt", RunText(4)));
  struct Case {
    std::vector<std::pair<int, int>> numbers;
    const char* message;
  } cases[] = {
      {{{1, 1}, {0, 1}, {2, 1}, {3, 1}}, "Invalid inj num for curve 2"},
      {{{1, 1}, {2, 1}, {3, 5}, {4, 1}}, "Invalid fc num for curve 3"},
      {{{1, 1}, {1, 2}, {3, 1}, {3, 2}}, "Inj not used: 2"},
      {{{1, 1}, {2, 1}, {2, 1}, {1, 1}}, "Duplicate entries for curves 1, 4"},
  };
  for (const Case& c : cases) {
    ws.ClearMessages();
    Answer(c.numbers);
    form().RunTableCommand(tcReorder);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string("Reorder error: ") + c.message});
    EXPECT_EQ(e().CurveInfo[1].Injection, 2) << "nothing changes";
  }
}

TEST_F(ReorderTest, OkAppliesTheNumbersAndCancelChangesNothing) {
  ASSERT_TRUE(Load("run.txt", RunText(4)));
  Answer({{1, 2}, {1, 1}, {2, 1}, {2, 2}});
  int key = 'R';  // Ctrl+R in the sample table
  form().SampleGrid.KeyDown(key, ssCtrl);
  EXPECT_TRUE(ws.Messages().empty());
  EXPECT_EQ(e().CurveInfo[0].FlowCell, 2);
  EXPECT_EQ(e().CurveInfo[3].Injection, 2);
  EXPECT_EQ(e().Ligands.size(), 3u) << "flow cell 2 got its entry";
  EXPECT_EQ(form().SampleGrid.ColCount(), 2);
  EXPECT_TRUE(Blocked(form().SampleGrid, "A3"));

  Answer({{4, 1}, {3, 1}, {2, 1}, {1, 1}}, false);
  form().ReorderItemClick();
  EXPECT_EQ(e().CurveInfo[0].Injection, 1);
  EXPECT_EQ(e().CurveInfo[0].FlowCell, 2);
}

TEST_F(ReorderTest, WithoutCurvesTheEntryDoesNothing) {
  bool shown = false;
  ws.OnShowModal = [&](Panel&) {
    shown = true;
    return ModalResult::Cancel;
  };
  form().ReorderItemClick();
  EXPECT_FALSE(shown);
}

}  // namespace
}  // namespace kelvaris

#include "table/kelvaris_grid.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/headless_window_system.h"
#include "platform/recording_canvas.h"

namespace kelvaris {
namespace {

using Cells = std::vector<std::pair<int, int>>;

// A 6 x 6 grid with one fixed row and column, as the pages use it.
class GridTest : public ::testing::Test {
 protected:
  GridTest() : grid("Grid", ws) {
    grid.SetColCount(6);
    grid.SetRowCount(6);
    grid.OnCellChange = [this](TKelvarisGrid&, int c1, int r1, int c2, int r2, const std::string& oldstr,
                               const std::string& newstr) {
      EXPECT_EQ(c1, c2);
      EXPECT_EQ(r1, r2);
      if (oldstr != newstr) {
        EXPECT_NE(grid.Cell(c1, r1), newstr) << "raised before the cell is written";
      }
      changes.push_back({c1, r1});
    };
    grid.OnWordChange = [this](TKelvarisGrid&) { ++wordChanges; };
  }

  void Click(int col, int row, unsigned shift = ssNone, MouseButton button = MouseButton::Left) {
    const Rect r = grid.CellRect(col, row);
    grid.MouseDown(button, shift, r.left + 3, r.top + 3);
    grid.MouseUp(button, shift, r.left + 3, r.top + 3);
  }

  void Drag(int c1, int r1, const Cells& through) {
    const Rect a = grid.CellRect(c1, r1);
    grid.MouseDown(MouseButton::Left, ssNone, a.left + 2, a.top + 2);
    for (auto [c, r] : through) {
      const Rect b = grid.CellRect(c, r);
      grid.MouseMove(ssNone, b.left + 2, b.top + 2);
    }
    grid.MouseUp(MouseButton::Left, ssNone, 0, 0);
  }

  std::set<std::pair<int, int>> Selected() const {
    std::set<std::pair<int, int>> out;
    for (int r = 0; r < grid.RowCount(); ++r)
      for (int c = 0; c < grid.ColCount(); ++c)
        if (grid.GetSelected(c, r)) out.insert({c, r});
    return out;
  }

  void Select(const Cells& cells) {
    for (auto [c, r] : cells) grid.SetSelected(c, r, true);
  }

  void Number() {
    for (int r = 0; r < grid.RowCount(); ++r)
      for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, r, std::to_string(c) + std::to_string(r));
  }

  HeadlessWindowSystem ws;
  TKelvarisGrid grid;
  Cells changes;
  int wordChanges = 0;
};

std::set<std::pair<int, int>> Set(const Cells& cells) { return {cells.begin(), cells.end()}; }

// --- mouse selection ---

TEST_F(GridTest, RowHeaderClickSelectsTheWholeRowAndCopiesItHeaderFirst) {
  Number();
  grid.SetCell(0, 2, "B");
  Click(0, 2);
  EXPECT_EQ(Selected(), Set({{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));
  EXPECT_EQ(grid.CursorCol(), 1);
  EXPECT_EQ(grid.CursorRow(), 2);
  EXPECT_EQ(grid.SelectionText(false), "B\t12\t22\t32\t42\t52\n");

  // A column header does the same for its column, header included; a
  // blocked cell stays out.
  grid.SetBlocked(3, 4, true);
  Click(3, 0);
  EXPECT_EQ(Selected(), Set({{3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 5}}));
  EXPECT_EQ(grid.SelectionText(false), "30\n31\n32\n33\n---\n35\n");
}

TEST_F(GridTest, CtrlTogglesCellsRowsAndColumnsShiftExtendsFromTheAnchor) {
  Click(1, 1);
  Click(3, 2, ssCtrl);
  EXPECT_EQ(Selected(), Set({{1, 1}, {3, 2}}));
  Click(3, 2, ssCtrl);
  EXPECT_EQ(Selected(), Set({{1, 1}}));
  Click(0, 1, ssCtrl);  // toggles every cell of row 1: (1,1) goes out
  EXPECT_EQ(Selected(), Set({{0, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));

  Click(2, 2);
  Click(3, 4, ssShift);
  EXPECT_EQ(Selected(), Set({{2, 2}, {3, 2}, {2, 3}, {3, 3}, {2, 4}, {3, 4}}));
  // The anchor moved to (3,4) on mouse up: the next Shift-click extends from there.
  Click(4, 5, ssShift);
  EXPECT_TRUE(grid.GetSelected(4, 5));
  EXPECT_TRUE(grid.GetSelected(2, 2));
}

TEST_F(GridTest, DraggingGrowsAndShrinksTheRectangleAndHeadersSpanTheGrid) {
  Drag(1, 1, {{3, 2}, {2, 1}});
  EXPECT_EQ(Selected(), Set({{1, 1}, {2, 1}}));

  // Into the headers the drag is held in the data area.
  Drag(2, 2, {{0, 0}});
  EXPECT_EQ(Selected(), Set({{1, 1}, {2, 1}, {1, 2}, {2, 2}}));

  // Started on a column header, the drag covers every row.
  Drag(2, 0, {{3, 2}});
  EXPECT_EQ(Selected(), Set({{2, 0}, {3, 0}, {2, 1}, {3, 1}, {2, 2}, {3, 2}, {2, 3}, {3, 3}, {2, 4},
                             {3, 4}, {2, 5}, {3, 5}}));
}

TEST_F(GridTest, ClicksOutsideOnTheCornerOrOnBlockedCellsClearUnlessShiftOrCtrl) {
  grid.SetBlocked(2, 2, true);
  struct Case {
    const char* name;
    std::function<void()> click;
    bool keeps;
  } cases[] = {
      {"outside", [&] { grid.MouseDown(MouseButton::Left, ssNone, 2000, 5); }, false},
      {"corner", [&] { Click(0, 0); }, false},
      {"blocked", [&] { Click(2, 2); }, false},
      {"blocked with ctrl", [&] { Click(2, 2, ssCtrl); }, true},
      {"outside with shift", [&] { grid.MouseDown(MouseButton::Left, ssShift, 5, 2000); }, true},
      {"right click", [&] { Click(3, 3, ssNone, MouseButton::Right); }, true},
      {"middle click", [&] { Click(3, 3, ssNone, MouseButton::Middle); }, true},
  };
  for (auto& c : cases) {
    grid.ClearSelection();
    Click(1, 1);
    c.click();
    EXPECT_EQ(grid.GetSelected(1, 1), c.keeps) << c.name;
    EXPECT_FALSE(grid.GetSelected(2, 2)) << c.name;
  }
  grid.FocusLost();
  EXPECT_FALSE(grid.HasSelection());
}

TEST_F(GridTest, RightClickAsksForTheContextMenuOnlyOverACell) {
  std::vector<std::pair<int, int>> menus;
  grid.OnContextMenu = [&](TKelvarisGrid&, int x, int y) { menus.push_back({x, y}); };
  grid.MouseDown(MouseButton::Right, ssNone, 50, 30);
  grid.MouseDown(MouseButton::Right, ssNone, grid.TotalWidth() + 5, 30);
  EXPECT_EQ(menus, (Cells{{50, 30}}));
}

TEST_F(GridTest, ClickingASelectedCellOfAReadOnlyColumnForbidsEditing) {
  grid.SetReadOnlyCol(2, true);
  Click(2, 2);
  EXPECT_TRUE(grid.EditingAllowed());
  Click(2, 2);
  EXPECT_FALSE(grid.EditingAllowed());
  EXPECT_TRUE(grid.GetSelected(2, 2));
}

// --- radio rows ---

TEST_F(GridTest, RadioButtonsChooseTheRowsThatCanBeTouched) {
  grid.SetRadioCol(0, true);
  std::vector<std::pair<int, int>> selectionChanges;
  grid.OnSelectionChange = [&](TKelvarisGrid&, int c, int r) { selectionChanges.push_back({c, r}); };
  auto blockedRows = [&] {
    std::set<int> rows;
    for (int r = 1; r < 6; ++r) {
      for (int c = 2; c < 6; ++c) EXPECT_EQ(grid.GetBlocked(c, r), grid.GetBlocked(1, r));
      if (grid.GetBlocked(1, r)) rows.insert(r);
      EXPECT_FALSE(grid.GetBlocked(0, r)) << "buttons stay clickable";
    }
    return rows;
  };

  Click(0, 2);
  EXPECT_TRUE(grid.GetButtonDown(0, 2));
  EXPECT_EQ(blockedRows(), (std::set<int>{1, 3, 4, 5}));
  EXPECT_EQ(selectionChanges.back(), std::make_pair(0, 2));
  EXPECT_FALSE(grid.GetSelected(0, 2)) << "a button is not a selectable cell";

  Click(0, 4, ssCtrl);  // a second button
  EXPECT_EQ(blockedRows(), (std::set<int>{1, 3, 5}));
  Click(0, 3);  // without Ctrl: only this one
  EXPECT_FALSE(grid.GetButtonDown(0, 2));
  EXPECT_FALSE(grid.GetButtonDown(0, 4));
  EXPECT_EQ(blockedRows(), (std::set<int>{1, 2, 4, 5}));

  Click(0, 4, ssCtrl);
  Click(0, 3, ssCtrl);
  Click(0, 4, ssCtrl);  // all released
  EXPECT_EQ(blockedRows(), std::set<int>{});
  EXPECT_FALSE(grid.CanSelect(0, 3));
  EXPECT_TRUE(grid.CanSelect(1, 3));
}

// --- keys ---

TEST_F(GridTest, ArrowKeysWalkWrapAndSkipCellsThatCannotBeSelected) {
  struct Case {
    int col, row, key;
    Cells blocked;
    int toCol, toRow;
  } cases[] = {
      {2, 3, vkDown, {}, 2, 4},
      {2, 5, vkDown, {}, 3, 1},          // last row -> first data row of the next column
      {2, 4, vkDown, {{2, 5}, {3, 1}}, 3, 2},  // blocked cells skipped across the wrap
      {3, 1, vkUp, {}, 2, 5},
      {5, 2, vkRight, {}, 1, 3},
      {1, 3, vkLeft, {}, 5, 2},
      {5, 5, vkDown, {}, 5, 5},           // nowhere left to go: stays
      {1, 1, vkUp, {}, 1, 1},
      {1, 1, vkRight, {{2, 1}, {3, 1}}, 4, 1},
  };
  for (const auto& c : cases) {
    TKelvarisGrid g("G", ws);
    g.SetColCount(6);
    g.SetRowCount(6);
    for (auto [bc, br] : c.blocked) g.SetBlocked(bc, br, true);
    const Rect r = g.CellRect(c.col, c.row);
    g.MouseDown(MouseButton::Left, ssNone, r.left + 1, r.top + 1);
    g.MouseUp(MouseButton::Left, ssNone, r.left + 1, r.top + 1);
    int key = c.key;
    g.KeyDown(key, ssNone);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(std::make_pair(g.CursorCol(), g.CursorRow()), std::make_pair(c.toCol, c.toRow))
        << "from " << c.col << "," << c.row << " key " << c.key;
    EXPECT_TRUE(g.GetSelected(c.toCol, c.toRow));
    EXPECT_EQ(g.GetSelected(c.col, c.row), c.col == c.toCol && c.row == c.toRow);
    EXPECT_TRUE(g.EditingAllowed());
  }
}

TEST_F(GridTest, ShiftArrowAddsToTheSelectionAndCtrlKeysGoToTheOwner) {
  Click(2, 2);
  int key = vkDown;
  grid.KeyDown(key, ssShift);
  key = vkRight;
  grid.KeyDown(key, ssShift);
  EXPECT_EQ(Selected(), Set({{2, 2}, {2, 3}, {3, 3}}));

  std::vector<int> ctrlKeys;
  grid.OnControlKey = [&](TKelvarisGrid&, int& k, unsigned) { ctrlKeys.push_back(k); };
  key = vkDown;
  grid.KeyDown(key, ssCtrl);
  key = 'C';
  grid.KeyDown(key, ssCtrl | ssShift);
  EXPECT_EQ(ctrlKeys, (std::vector<int>{vkDown, 'C'}));
  EXPECT_EQ(Selected(), Set({{2, 2}, {2, 3}, {3, 3}})) << "a Ctrl key does not move";
}

TEST_F(GridTest, DeleteClearsTheSelectionUnlessTheEditorIsOpen) {
  Number();
  Click(2, 2);
  grid.OpenEditor();
  int key = vkDelete;
  grid.KeyDown(key, ssNone);
  EXPECT_EQ(grid.Cell(2, 2), "22") << "the editor deletes characters itself";
  grid.CloseEditor();
  grid.KeyDown(key, ssNone);
  EXPECT_EQ(grid.Cell(2, 2), "");
}

// --- typing into many cells ---

TEST_F(GridTest, TypingGoesIntoEverySelectedEditableCell) {
  Number();
  grid.SetReadOnlyCol(4, true);
  grid.SetBlocked(2, 3, true);
  Click(2, 1);
  Click(2, 2, ssCtrl);
  Click(3, 5, ssCtrl);
  Click(4, 2, ssCtrl);  // read-only column
  Click(2, 1, ssCtrl);
  Click(2, 1, ssCtrl);  // the cursor back on (2,1)
  ASSERT_EQ(grid.CursorCol(), 2);
  ASSERT_EQ(grid.CursorRow(), 1);

  int key = '7';
  grid.KeyDown(key, ssNone);
  ASSERT_TRUE(grid.OpenEditor());
  std::vector<std::string> olds;
  grid.OnCellChange = [&](TKelvarisGrid&, int c, int r, int, int, const std::string& o, const std::string&) {
    olds.push_back(o);
    changes.push_back({c, r});
  };
  grid.EditorText("7");
  grid.EditorText("75");
  EXPECT_EQ(grid.Cell(2, 1), "75");
  EXPECT_EQ(grid.Cell(2, 2), "75");
  EXPECT_EQ(grid.Cell(3, 5), "75");
  EXPECT_EQ(grid.Cell(4, 2), "42");
  EXPECT_EQ(grid.Cell(2, 3), "23");
  EXPECT_EQ(olds, (std::vector<std::string>{"21", "21", "21", "7", "7", "7"}));
  EXPECT_EQ(changes.size(), 6u);

  // The word change is owed until Enter, once.
  EXPECT_EQ(wordChanges, 0);
  key = vkReturn;
  grid.KeyDown(key, ssNone);
  grid.KeyDown(key, ssNone);
  EXPECT_EQ(wordChanges, 1);

  // The editor does not open on a read-only column.
  Click(4, 4);
  EXPECT_TRUE(grid.EditingAllowed());
  EXPECT_FALSE(grid.OpenEditor());
}

TEST_F(GridTest, OwedWordChangeIsPaidAtTheNextSelectionChange) {
  Click(1, 1);
  grid.OpenEditor();
  grid.EditorText("3");
  grid.EditorText("3");  // same text: nothing more owed
  EXPECT_EQ(wordChanges, 0);
  Click(2, 2);
  EXPECT_EQ(wordChanges, 1);
  EXPECT_EQ(grid.Cell(1, 1), "3");
}

// --- copy ---

TEST_F(GridTest, CopiedCellsLoseTheirMarkupAndOnRequestTheirUncertainty) {
  struct Case {
    std::string text, copied, withoutUncertainty;
  } cases[] = {
      {"1.23(5)e-3", "1.23(5)e-3", "1.23e-3"},
      {"0.52(3) RU", "0.52(3) RU", "0.52 RU"},
      {"Kd (M)", "Kd (M)", "Kd (M)"},  // a unit, not an uncertainty
      {"(1/Ms)", "(1/Ms)", "(1/Ms)"},
      {"K^D", "KD", "KD"},
      {"\x08" "bold", "bold", "bold"},
      {"k|sa|s", "ka", "ka"},
      {"x|p2|p (3)", "x2 (3)", "x2 "},
      {"2)(3", "2)(3", "2)(3"},  // no ")" after the "("
  };
  for (const auto& c : cases) {
    grid.ClearSelection();
    grid.SetCell(2, 3, c.text);
    grid.SetSelected(2, 3, true);
    EXPECT_EQ(grid.SelectionText(false), c.copied + "\n") << c.text;
    EXPECT_EQ(grid.SelectionText(true), c.withoutUncertainty + "\n") << c.text;
  }
  // Headers keep their brackets.
  grid.ClearSelection();
  grid.SetCell(2, 0, "ka(1)");
  grid.SetSelected(2, 0, true);
  EXPECT_EQ(grid.SelectionText(true), "ka(1)\n");
}

TEST_F(GridTest, CopyWritesTheBoundingBoxWithTabsAndAnLfAfterEveryRow) {
  Number();
  grid.SetBlocked(3, 2, true);
  Select({{2, 1}, {3, 2}});  // the blocked cell counts once it is selected
  grid.CopySelected(false);
  EXPECT_EQ(ws.ClipboardText(), "21\t31\n22\t---\n");

  // No selection: the whole grid, headers included.
  grid.ClearSelection();
  const std::string all = grid.SelectionText(false);
  EXPECT_EQ(all.substr(0, 18), "00\t10\t20\t30\t40\t50\n");
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 6);
  EXPECT_EQ(all.find('\r'), std::string::npos);
}

// --- paste ---

TEST_F(GridTest, PasteWritesFromTheSelectionsTopLeftIntoItsCellsOnly) {
  struct Case {
    const char* name;
    std::string text;
    Cells selection;
    std::vector<std::tuple<int, int, std::string>> expect;
    bool readOnlyCol4 = false;
  } cases[] = {
      {"two lines onto (2,3), (3,4) not selected",
       "1\t2\t3\n4\t5\t6\n",
       {{2, 3}, {3, 3}, {4, 3}, {2, 4}, {4, 4}},
       {{2, 3, "1"}, {3, 3, "2"}, {4, 3, "3"}, {2, 4, "4"}, {3, 4, "34"}, {4, 4, "6"}, {5, 3, "53"}}},
      {"no final line feed", "7\t8", {{1, 1}, {2, 1}}, {{1, 1, "7"}, {2, 1, "8"}}},
      {"CR LF like LF", "1\t2\r\n3\t4\r\n", {{1, 1}, {2, 1}, {1, 2}, {2, 2}},
       {{1, 1, "1"}, {2, 1, "2"}, {1, 2, "3"}, {2, 2, "4"}, {1, 3, "13"}}},
      {"empty field clears, control characters dropped", "\t\x01x\x7f\n", {{1, 1}, {2, 1}},
       {{1, 1, ""}, {2, 1, "x"}}},
      {"blocked (3,1) and read-only column 4 keep the others in place", "a\tb\tc\td", {{2, 1}, {3, 1}, {4, 1}, {5, 1}},
       {{2, 1, "a"}, {3, 1, "31"}, {4, 1, "41"}, {5, 1, "d"}}, true},
      {"no selection: from the corner, headers skipped", "x\ty\nz\tw\n", {},
       {{0, 0, "00"}, {1, 0, "10"}, {0, 1, "01"}, {1, 1, "w"}}},
      {"header in the selection sets the origin", "h\tv\nq\tr\n", {{0, 2}, {1, 2}, {1, 3}},
       {{0, 2, "02"}, {1, 2, "v"}, {1, 3, "r"}, {0, 3, "03"}}},
      {"fields past the grid are dropped", "1\t2\t3\n4\n5\n", {{4, 4}, {5, 4}, {4, 5}, {5, 5}},
       {{4, 4, "1"}, {5, 4, "2"}, {4, 5, "4"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    grid.ClearSelection();
    Number();
    grid.SetBlocked(3, 1, true);
    grid.SetReadOnlyCol(4, c.readOnlyCol4);
    Select(c.selection);
    wordChanges = 0;
    ws.SetClipboardText(c.text);
    grid.PasteSelected();
    for (const auto& [col, row, text] : c.expect) EXPECT_EQ(grid.Cell(col, row), text) << col << "," << row;
    EXPECT_EQ(wordChanges, 1);
  }
}

TEST_F(GridTest, CopyAndPasteRoundTripTheWholeGrid) {
  Number();
  const std::string text = grid.SelectionText(false);
  TKelvarisGrid other("Other", ws);
  other.SetColCount(6);
  other.SetRowCount(6);
  other.PasteText(text);
  for (int r = 1; r < 6; ++r)
    for (int c = 1; c < 6; ++c) EXPECT_EQ(other.Cell(c, r), grid.Cell(c, r));
  EXPECT_EQ(other.Cell(0, 1), "");
}

// --- clear and fill ---

TEST_F(GridTest, ClearSelectedEmptiesEditableCellsAndDropsFitFixed) {
  Number();
  grid.SetReadOnlyCol(3, true);
  grid.SetFitFixed(2, 2, true);
  grid.HasChanged();
  Select({{0, 2}, {2, 2}, {3, 2}, {2, 0}});
  grid.ClearSelected();
  EXPECT_EQ(grid.Cell(2, 2), "");
  EXPECT_FALSE(grid.GetFitFixed(2, 2));
  EXPECT_EQ(grid.Cell(3, 2), "32");
  EXPECT_EQ(grid.Cell(0, 2), "02");
  EXPECT_EQ(grid.Cell(2, 0), "20");
  EXPECT_EQ(changes, (Cells{{2, 2}}));
  EXPECT_EQ(wordChanges, 1);
  EXPECT_TRUE(grid.HasChanged());
  EXPECT_FALSE(grid.HasChanged());
}

TEST_F(GridTest, FillDownCopiesTheFirstSelectedCellColumnByColumn) {
  Number();
  grid.SetReadOnlyCol(3, true);
  grid.SetBlocked(2, 4, true);
  Select({{3, 1}, {2, 3}, {2, 4}, {3, 2}, {4, 5}});
  grid.FillDown();
  EXPECT_EQ(grid.Cell(2, 3), "23");  // the source
  EXPECT_EQ(grid.Cell(3, 1), "23");  // read-only columns are filled too
  EXPECT_EQ(grid.Cell(3, 2), "23");
  EXPECT_EQ(grid.Cell(4, 5), "23");
  EXPECT_EQ(grid.Cell(2, 4), "24");
  EXPECT_EQ(wordChanges, 1);

  // A column-header selection fills from the header.
  Click(5, 0);
  grid.FillDown();
  for (int r = 1; r < 6; ++r) EXPECT_EQ(grid.Cell(5, r), "50");
}

// --- state ---

TEST_F(GridTest, ResizingKeepsTheSurvivingCellsAndClearingResets) {
  Number();
  grid.SetFitFixed(2, 3, true);
  grid.SetColWidth(2, 70);
  grid.SetColCount(3);
  grid.SetRowCount(8);
  EXPECT_EQ(grid.Cell(2, 3), "23");
  EXPECT_TRUE(grid.GetFitFixed(2, 3));
  EXPECT_EQ(grid.Cell(2, 7), "");
  EXPECT_EQ(grid.ColWidth(2), 70);
  EXPECT_EQ(grid.RowHeight(7), 21);
  EXPECT_EQ(grid.Cell(4, 3), "") << "out of the grid";
  grid.SetColCount(6);
  EXPECT_EQ(grid.Cell(4, 3), "");
  EXPECT_EQ(grid.ColWidth(4), 41);

  grid.ClearRow(3);
  EXPECT_EQ(grid.Cell(2, 3), "");
  EXPECT_FALSE(grid.GetFitFixed(2, 3));
  EXPECT_EQ(grid.Cell(2, 2), "22");
  grid.SetReadOnlyCol(1, true);
  grid.ClearFlags();
  EXPECT_FALSE(grid.GetReadOnlyCol(1));
  EXPECT_EQ(grid.Cell(2, 2), "22");
  grid.ClearAll();
  EXPECT_EQ(grid.Cell(0, 0), "");
}

TEST_F(GridTest, PixelsMapToCellsWithTheGridLineAfterEach) {
  grid.SetColWidth(1, 60);
  EXPECT_EQ(grid.CellRect(2, 1).left, 41 + 1 + 60 + 1);
  EXPECT_EQ(grid.CellRect(2, 1).top, 22);
  EXPECT_EQ(grid.TotalWidth(), 5 * 42 + 61);
  EXPECT_EQ(grid.TotalHeight(), 6 * 22);
  int c = -1, r = -1;
  EXPECT_TRUE(grid.CellAt(41, 21, c, r));  // the lines belong to the cell before
  EXPECT_EQ(std::make_pair(c, r), std::make_pair(0, 0));
  EXPECT_TRUE(grid.CellAt(42, 22, c, r));
  EXPECT_EQ(std::make_pair(c, r), std::make_pair(1, 1));
  EXPECT_FALSE(grid.CellAt(grid.TotalWidth(), 5, c, r));
  EXPECT_FALSE(grid.CellAt(-1, 5, c, r));
}

// --- drawing ---

struct Drawn {
  Colour fill;
  std::vector<DrawCall> texts;
  std::vector<DrawCall> bitmaps;
};

Drawn DrawOne(TKelvarisGrid& g, int col, int row) {
  RecordingCanvas canvas;
  g.DrawCell(canvas, col, row, g.CellRect(col, row));
  Drawn d{};
  const auto rects = canvas.CallsOf(DrawOp::Rectangle);
  EXPECT_FALSE(rects.empty());
  if (!rects.empty()) d.fill = rects.front().brush.colour;
  d.texts = canvas.CallsOf(DrawOp::TextOut);
  d.bitmaps = canvas.CallsOf(DrawOp::DrawBitmap);
  return d;
}

TEST_F(GridTest, CellsAreFilledAndLetteredByTheirFlags) {
  constexpr Colour blue = 0xFF0000, yellow = 0xF0FFFF, pink = 0x8080FF, red = 0x0000FF;
  struct Case {
    const char* name;
    int col, row;
    std::uint32_t flags;
    bool readOnlyCol;
    std::string text;
    Colour fill;
    std::string shown;  // "" when no text is drawn
    Colour textColour;
  } cases[] = {
      {"plain", 2, 2, 0, false, "5", colours::Window, "5", colours::Black},
      {"selected", 2, 2, gfSelected, false, "5", blue, "5", colours::White},
      {"selected fit-fixed", 2, 2, gfSelected | gfFitFixed, false, "5", blue, "5", pink},
      {"fit-fixed", 2, 2, gfFitFixed, false, "5", colours::Window, "5", red},
      {"read-only", 2, 2, 0, true, "5", yellow, "5", colours::Black},
      {"read-only selected", 2, 2, gfSelected, true, "5", blue, "5", colours::White},
      {"blocked", 2, 2, gfBlocked, false, "5", colours::ButtonFace, "", 0},
      {"hidden", 2, 2, gfHidden, false, "5", colours::ButtonFace, "5", colours::Black},
      {"hidden selected", 2, 2, gfHidden | gfSelected, false, "5", colours::ButtonShadow, "5", colours::Black},
      {"header", 2, 0, 0, false, "ka", colours::ButtonFace, "ka", colours::Black},
      {"selected header", 0, 2, gfSelected, false, "ka", colours::ButtonShadow, "ka", colours::White},
      {"silver", 2, 2, 0, false, "!5", colours::Window, "5", colours::Silver},
      {"empty", 2, 2, 0, false, "", colours::Window, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    grid.ClearFlags();
    grid.SetFlags(c.col, c.row, c.flags);
    if (c.readOnlyCol) grid.SetReadOnlyCol(c.col, true);
    grid.SetCell(c.col, c.row, c.text);
    const Drawn d = DrawOne(grid, c.col, c.row);
    EXPECT_EQ(d.fill, c.fill);
    if (c.shown.empty()) {
      EXPECT_TRUE(d.texts.empty());
    } else {
      ASSERT_EQ(d.texts.size(), 1u);
      EXPECT_EQ(d.texts[0].text, c.shown);
      EXPECT_EQ(d.texts[0].font.colour, c.textColour);
      EXPECT_EQ(d.texts[0].brush.style, BrushStyle::Clear);
    }
  }
}

TEST_F(GridTest, MarkupDrawsBoldSubscriptsAndSuperscripts) {
  grid.SetCell(2, 2, "\x08" "Rmax");
  Drawn d = DrawOne(grid, 2, 2);
  ASSERT_EQ(d.texts.size(), 1u);
  EXPECT_EQ(d.texts[0].text, "Rmax");
  EXPECT_EQ(d.texts[0].font.style, fsBold);

  // k|sa|s: "k", then a subscript "a" one point smaller, three pixels down.
  grid.SetCell(2, 2, "k|sa|s");
  d = DrawOne(grid, 2, 2);
  ASSERT_EQ(d.texts.size(), 2u);
  EXPECT_EQ(d.texts[0].text, "k");
  EXPECT_EQ(d.texts[1].text, "a");
  EXPECT_EQ(d.texts[1].font.size, d.texts[0].font.size - 1);
  EXPECT_EQ(d.texts[1].rect.top, d.texts[0].rect.top + 3);
  EXPECT_GT(d.texts[1].rect.left, d.texts[0].rect.left);

  grid.SetCell(2, 2, "m|p2");  // left open at the end
  d = DrawOne(grid, 2, 2);
  ASSERT_EQ(d.texts.size(), 2u);
  EXPECT_EQ(d.texts[1].font.size, d.texts[0].font.size - 2);
  EXPECT_EQ(d.texts[1].rect.top, d.texts[0].rect.top - 3);

  grid.SetCell(2, 2, "K^D");
  d = DrawOne(grid, 2, 2);
  ASSERT_EQ(d.texts.size(), 2u);
  EXPECT_EQ(d.texts[0].text, "K");
  EXPECT_EQ(d.texts[1].text, "D");
  EXPECT_EQ(d.texts[1].rect.top, d.texts[0].rect.top + 3);

  // "@K^D" in the header reads KD and tints the column's cells.
  grid.SetCell(2, 0, "@K^D");
  d = DrawOne(grid, 2, 0);
  ASSERT_EQ(d.texts.size(), 2u);
  EXPECT_EQ(d.texts[0].text, "K");
  EXPECT_EQ(d.texts[1].text, "D");
  grid.SetCell(2, 2, "5");
  EXPECT_NE(DrawOne(grid, 2, 2).fill, colours::Window);
  EXPECT_EQ(DrawOne(grid, 3, 2).fill, colours::Window) << "other columns keep their fill";
}

TEST_F(GridTest, TickColumnsShowAPictureAndAutoWidthGrowsColumns) {
  grid.SetTickCol(3, true);
  grid.SetCell(3, 2, "x");
  grid.SetSelected(3, 3, true);
  grid.SetCell(3, 3, "x");
  for (int row : {2, 3}) {
    const Drawn d = DrawOne(grid, 3, row);
    EXPECT_TRUE(d.texts.empty());
    ASSERT_EQ(d.bitmaps.size(), 1u);
    const Rect r = grid.CellRect(3, row);
    EXPECT_EQ(d.bitmaps[0].rect.left, (r.left + r.right) / 2 - 8);
    EXPECT_EQ(d.bitmaps[0].rect.top, (r.top + r.bottom) / 2 - 8);
    EXPECT_EQ(d.bitmaps[0].rect.right - d.bitmaps[0].rect.left, 16);
  }

  RecordingCanvas canvas;
  const int wide = canvas.TextWidth("a rather long cell text");
  grid.SetCell(1, 4, "a rather long cell text");
  grid.SetCell(2, 4, "1");
  grid.Paint(canvas);
  EXPECT_EQ(grid.ColWidth(1), 41) << "only with auto width";
  grid.SetAutoWidth(true);
  grid.Paint(canvas);
  EXPECT_EQ(grid.ColWidth(1), wide + 15);
  EXPECT_EQ(grid.ColWidth(2), 41) << "columns only grow";
}

TEST_F(GridTest, RadioCellsAreButtonsWithTheirTextPressedIn) {
  grid.SetRadioCol(0, true);
  grid.SetCell(0, 2, "on");
  grid.SetCell(0, 3, "on");
  grid.SetButtonDown(0, 2, true);
  auto frameColours = [&](int row) {
    RecordingCanvas canvas;
    grid.DrawCell(canvas, 0, row, grid.CellRect(0, row));
    const auto lines = canvas.CallsOf(DrawOp::LineTo);
    // The last six lines are the button frame: 2 first, 2 second, 2 third colour.
    std::vector<Colour> out;
    for (std::size_t i = lines.size() - 6; i < lines.size(); i += 2) out.push_back(lines[i].pen.colour);
    return std::make_pair(out, canvas.CallsOf(DrawOp::TextOut).at(0).rect.left);
  };
  const auto [down, downX] = frameColours(2);
  const auto [up, upX] = frameColours(3);
  EXPECT_EQ(down, (std::vector<Colour>{colours::Black, colours::ButtonShadow, colours::White}));
  EXPECT_EQ(up, (std::vector<Colour>{colours::White, colours::Black, colours::ButtonShadow}));
  EXPECT_EQ(downX, upX + 2);
}

}  // namespace
}  // namespace kelvaris

#include "table/print_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/recording_canvas.h"

namespace kelvaris {
namespace {

// At 96 dpi a 15 point font is 20 pixels high on the recording canvas and
// every character 11 pixels wide: "00" is 22, a row is 30. Not Arial, so that
// the switch to the subscript font shows.
Font TestFont() {
  Font f;
  f.name = "Times";
  f.size = 15;
  return f;
}

struct Segment {
  int x1, y1, x2, y2;
  bool operator==(const Segment&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Segment& s) {
  return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ")";
}

// The lines drawn, each a MoveTo followed by a LineTo.
std::vector<Segment> Lines(const RecordingCanvas& c) {
  std::vector<Segment> out;
  const auto& calls = c.Calls();
  for (std::size_t i = 0; i + 1 < calls.size(); ++i)
    if (calls[i].op == DrawOp::MoveTo && calls[i + 1].op == DrawOp::LineTo)
      out.push_back({calls[i].rect.left, calls[i].rect.top, calls[i + 1].rect.left, calls[i + 1].rect.top});
  return out;
}

class PrintGridTest : public ::testing::Test {
 protected:
  PrintGridTest() { canvas.SetFont(TestFont()); }

  int DrawLarge(int x = 10, int y = 5) { return grid.Draw(canvas, x, y, 10000, 10000); }

  RecordingCanvas canvas;
  TPrintGrid grid;
};

// --- cells ---

TEST_F(PrintGridTest, AddCellGrowsColumnsAndAppends) {
  EXPECT_EQ(grid.AddCell(2, "a"), 0);
  EXPECT_EQ(grid.AddCell(2, "b"), 1);
  EXPECT_EQ(grid.AddCell(0, "c"), 0);
  EXPECT_EQ(grid.ColumnCount(), 3);
  EXPECT_EQ(grid.CellCount(0), 1);
  EXPECT_EQ(grid.CellCount(1), 0);
  EXPECT_EQ(grid.CellCount(2), 2);
  EXPECT_EQ(grid.Cell(2, 1), "b");
  EXPECT_EQ(grid.RowCount(), 2);
  // Outside the columns and rows.
  EXPECT_EQ(grid.CellCount(3), 0);
  EXPECT_EQ(grid.CellCount(-1), 0);
  EXPECT_EQ(grid.Cell(1, 0), "");
  EXPECT_EQ(grid.Cell(5, 5), "");
}

TEST_F(PrintGridTest, SetCellPadsTheColumnUpToTheRow) {
  grid.SetCell(1, 3, "x");
  EXPECT_EQ(grid.ColumnCount(), 2);
  EXPECT_EQ(grid.CellCount(0), 0);
  ASSERT_EQ(grid.CellCount(1), 4);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(grid.Cell(1, row), "") << row;
  EXPECT_EQ(grid.Cell(1, 3), "x");

  // An existing row is replaced without growing the column.
  grid.SetCell(1, 1, "y");
  EXPECT_EQ(grid.CellCount(1), 4);
  EXPECT_EQ(grid.Cell(1, 1), "y");
  EXPECT_EQ(grid.AddCell(1, "z"), 4);
}

TEST_F(PrintGridTest, NegativePositionsAreIgnored) {
  EXPECT_EQ(grid.AddCell(-1, "a"), -1);
  grid.SetCell(-1, 0, "a");
  grid.SetCell(0, -1, "a");
  grid.DeleteColumn(-1);
  EXPECT_EQ(grid.ColumnCount(), 0);
}

TEST_F(PrintGridTest, DeleteColumnMovesLaterColumnsLeft) {
  grid.AddCell(0, "a");
  grid.AddCell(1, "b");
  grid.AddCell(2, "c");
  grid.DeleteColumn(1);
  ASSERT_EQ(grid.ColumnCount(), 2);
  EXPECT_EQ(grid.Cell(1, 0), "c");
  grid.DeleteColumn(2);  // does not exist
  EXPECT_EQ(grid.ColumnCount(), 2);
}

TEST_F(PrintGridTest, ClearKeepsTitleAndLineSwitches) {
  grid.SetTitle("Kinetics");
  grid.SetLines(false, true);
  grid.AddCell(3, "a");
  grid.Clear();
  EXPECT_EQ(grid.ColumnCount(), 0);
  EXPECT_EQ(grid.Title(), "Kinetics");
  EXPECT_FALSE(grid.OuterLines());
  EXPECT_TRUE(grid.InnerLines());
}

// --- measuring ---

TEST_F(PrintGridTest, MeasureCountsMarkupAndTheTitle) {
  grid.AddCell(0, "ab");
  grid.AddCell(0, "K^D");  // the widest cell of column 0, markup counted
  grid.AddCell(1, "x");
  EXPECT_EQ(grid.Measure(canvas).width, (33 + 22) + (11 + 22));
  EXPECT_EQ(grid.Measure(canvas).height, 2 * 30);

  grid.SetTitle("T");
  EXPECT_EQ(grid.Height(canvas), 2 * 30 + 2 * 20 + 30);
}

// --- drawing ---

TEST_F(PrintGridTest, WithoutCellsNothingIsDrawn) {
  grid.SetTitle("Title");
  EXPECT_EQ(DrawLarge(10, 5), 5);
  // Columns that exist but hold no cells.
  grid.AddCell(2, "a");
  grid.DeleteColumn(2);
  ASSERT_EQ(grid.ColumnCount(), 2);
  EXPECT_EQ(DrawLarge(10, 5), 5);
  EXPECT_TRUE(canvas.Calls().empty());
  EXPECT_EQ(canvas.GetFont(), TestFont());
}

// A 2 x 2 table of one-letter cells at (10, 5): columns 33 wide, rows 30 high.
TEST_F(PrintGridTest, FrameAndSeparatorsFollowTheLineSwitches) {
  struct Line {
    Segment s;
    bool outer;  // frame (true) or separator (false)
  };
  const std::vector<Line> all = {
      {{10, 35, 10, 5}, true},   {{10, 5, 43, 5}, true},    {{43, 35, 43, 5}, false},
      {{43, 5, 76, 5}, true},    {{76, 35, 76, 5}, true},   {{10, 65, 10, 35}, true},
      {{10, 35, 43, 35}, false}, {{43, 65, 43, 35}, false}, {{43, 35, 76, 35}, false},
      {{76, 65, 76, 35}, true},  {{10, 65, 76, 65}, true},
  };
  for (bool outer : {true, false}) {
    for (bool inner : {true, false}) {
      SCOPED_TRACE(testing::Message() << "outer " << outer << " inner " << inner);
      TPrintGrid g;
      g.SetLines(outer, inner);
      for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 2; ++row) g.AddCell(col, "a");
      canvas.ClearCalls();
      EXPECT_EQ(g.Draw(canvas, 10, 5, 10000, 10000), 65);
      std::vector<Segment> expected;
      for (const auto& l : all)
        if (l.outer ? outer : inner) expected.push_back(l.s);
      EXPECT_EQ(Lines(canvas), expected);
      EXPECT_EQ(canvas.Texts(), std::vector<std::string>(4, "a"));
    }
  }
}

TEST_F(PrintGridTest, MissingCellsOfShortColumnsAreDrawnEmptyWithTheirLines) {
  grid.AddCell(0, "a");
  grid.AddCell(0, "b");
  grid.AddCell(0, "c");
  grid.AddCell(1, "d");
  EXPECT_EQ(DrawLarge(0, 0), 90);
  EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"a", "d", "b", "c"}));
  const auto lines = Lines(canvas);
  EXPECT_EQ(lines.size(), 3u * 5 + 1);
  // The last row of column 1: its left edge, top edge and the right frame.
  for (const Segment& s : {Segment{33, 90, 33, 60}, Segment{33, 60, 66, 60}, Segment{66, 90, 66, 60}})
    EXPECT_NE(std::find(lines.begin(), lines.end(), s), lines.end()) << s;
  EXPECT_EQ(lines.back(), (Segment{0, 90, 66, 90}));
}

TEST_F(PrintGridTest, CellTextIsTrimmedAndItsFirstBangBecomesABlank) {
  const struct {
    const char* cell;
    const char* printed;
  } cases[] = {
      {"!5", " 5"},
      {"a!b!", "a b!"},
      {"  !x", " x"},  // blanks go before the "!" is replaced
      {"  ab", "ab"},
      {"plain", "plain"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    TPrintGrid g;
    g.AddCell(0, c.cell);
    canvas.ClearCalls();
    g.Draw(canvas, 0, 0, 10000, 10000);
    EXPECT_EQ(canvas.Texts(), std::vector<std::string>{c.printed});
  }
}

TEST_F(PrintGridTest, TextIsCentredInItsCell) {
  grid.AddCell(0, "abcd");  // column 44 + 22 wide
  grid.AddCell(1, "  ab");  // centred on "ab" once the blanks are gone
  DrawLarge(10, 5);
  const auto texts = canvas.CallsOf(DrawOp::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rect.left, 10 + 33 - 22);
  EXPECT_EQ(texts[0].rect.top, 5 + 15 - 10);
  EXPECT_EQ(texts[1].rect.left, 10 + 66 + 33 - 11);
  EXPECT_EQ(texts[0].font, TestFont());
}

// Subscripts: Arial two points smaller (13 points, 17 pixels high: "max" is 28
// wide), lowered by a third of the digit height (20 / 3 = 6).
TEST_F(PrintGridTest, CaretsSwitchToALoweredSmallerSubscript) {
  struct Piece {
    std::string text;
    int dx, dy;  // from the first piece
    std::string font;
    int size;
  };
  const struct {
    const char* cell;
    std::vector<Piece> pieces;
  } cases[] = {
      {"K^D", {{"K", 0, 0, "Times", 15}, {"D", 11, 6, "Arial", 13}}},
      {"t^1/2", {{"t", 0, 0, "Times", 15}, {"1/2", 11, 6, "Arial", 13}}},
      {"R^max^ ok", {{"R", 0, 0, "Times", 15}, {"max", 11, 6, "Arial", 13}, {" ok", 11 + 28, 0, "Times", 15}}},
      // An odd number of carets leaves the rest of the cell in subscript.
      {"x^yz", {{"x", 0, 0, "Times", 15}, {"yz", 11, 6, "Arial", 13}}},
      // Empty pieces still switch the style.
      {"^^a^", {{"a", 0, 0, "Times", 15}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    TPrintGrid g;
    g.AddCell(0, c.cell);
    g.AddCell(1, "w");  // drawn after the cell, in the cell's own font again
    canvas.ClearCalls();
    g.Draw(canvas, 0, 0, 10000, 10000);
    const auto texts = canvas.CallsOf(DrawOp::TextOut);
    ASSERT_EQ(texts.size(), c.pieces.size() + 1);
    // The first piece starts where the whole text, markup included, is centred.
    const std::string cell = c.cell;
    const int wide = 11 * static_cast<int>(cell.size()) + 22;
    EXPECT_EQ(texts[0].rect.left, wide / 2 - 11 * static_cast<int>(cell.size()) / 2);
    EXPECT_EQ(texts[0].rect.top, 15 - 10);
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      const Piece& p = c.pieces[i];
      SCOPED_TRACE(p.text);
      EXPECT_EQ(texts[i].text, p.text);
      EXPECT_EQ(texts[i].rect.left - texts[0].rect.left, p.dx);
      EXPECT_EQ(texts[i].rect.top - texts[0].rect.top, p.dy);
      EXPECT_EQ(texts[i].font.name, p.font);
      EXPECT_EQ(texts[i].font.size, p.size);
    }
    EXPECT_EQ(texts.back().text, "w");
    EXPECT_EQ(texts.back().font, TestFont());
    EXPECT_EQ(canvas.GetFont(), TestFont());
  }
}

// One cell "abcd": 66 x 30 in the 15 point font.
TEST_F(PrintGridTest, FontShrinksToTheBoxButNeverGrows) {
  const struct {
    int maxWidth, maxHeight;
    int size;
    const char* reason;
  } cases[] = {
      {66, 30, 15, "an exact fit"},
      {1000, 1000, 15, "a larger box never enlarges"},
      {33, 1000, 7, "half the width: trunc(15 x 0.5)"},
      {1000, 10, 5, "a third of the height"},
      {40, 25, 9, "the tighter of the two: trunc(15 x 40 / 66)"},
      {0, 1000, 1, "no room at all still leaves a 1 point font"},
      {-20, 1000, 1, "a negative box likewise"},
  };
  grid.AddCell(0, "abcd");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    canvas.ClearCalls();
    grid.Draw(canvas, 0, 0, c.maxWidth, c.maxHeight);
    const auto texts = canvas.CallsOf(DrawOp::TextOut);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].font.size, c.size);
    EXPECT_EQ(canvas.GetFont(), TestFont()) << "the font is restored";
  }
}

TEST_F(PrintGridTest, ShrunkTableIsLaidOutInTheSmallerFont) {
  grid.AddCell(0, "a^b");
  grid.AddCell(1, "c");
  // 7 points is 9 pixels: "00" 10 wide, rows 13 high; subscript 5 points.
  const int width = grid.Measure(canvas).width;
  EXPECT_EQ(grid.Draw(canvas, 0, 0, width / 2, 1000), 13);
  const auto lines = Lines(canvas);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), (Segment{0, 13, 15 + 10 + 5 + 10, 13}));
  const auto texts = canvas.CallsOf(DrawOp::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1].font.size, 5);
  EXPECT_EQ(texts[1].rect.top - texts[0].rect.top, 9 / 3);
}

TEST_F(PrintGridTest, FontsGivenInPixelsShrinkAndSubscriptInPixels) {
  Font f = TestFont();
  f.height = -20;  // pixels, as a negative character height
  canvas.SetFont(f);
  grid.AddCell(0, "a^b");  // 33 + 22 wide
  grid.Draw(canvas, 0, 0, 55 / 2, 1000);
  const auto texts = canvas.CallsOf(DrawOp::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].font.height, -9);  // trunc(20 x 27 / 55)
  EXPECT_EQ(texts[1].font.height, -6);  // two points at 96 dpi are 3 pixels
  EXPECT_EQ(canvas.GetFont(), f);
}

TEST_F(PrintGridTest, SubscriptOfATinyFontStaysUsable) {
  Font f = TestFont();
  f.size = 2;
  canvas.SetFont(f);
  grid.AddCell(0, "K^D");
  grid.Draw(canvas, 0, 0, 10000, 10000);
  const auto texts = canvas.CallsOf(DrawOp::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].font.size, 1);
}

TEST_F(PrintGridTest, TitleIsDrawnAboveTheTableAndCountedInItsHeight) {
  grid.SetTitle("Affinity");
  grid.AddCell(0, "a");
  grid.AddCell(0, "b");
  const int height = grid.Height(canvas);
  EXPECT_EQ(DrawLarge(10, 5), 5 + height);
  const auto texts = canvas.CallsOf(DrawOp::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "Affinity");
  EXPECT_EQ(texts[0].rect.left, 10);
  EXPECT_EQ(texts[0].rect.top, 5 + 2 * 20);
  // The first row starts a row height below the title.
  EXPECT_EQ(Lines(canvas).front(), (Segment{10, 5 + 40 + 30 + 30, 10, 5 + 40 + 30}));
}

}  // namespace
}  // namespace kelvaris

// A small column-oriented table that measures itself and draws itself on any
// Canvas (a control, an off-screen bitmap, a printer page), shrinking its font
// to fit a box. The printed report builds one per result table; every graph
// keeps one for the result inset it draws beside its fits.
//
// Columns may differ in length; the table has as many rows as its longest
// column and a missing cell is drawn empty. Row 0 is the header row by
// convention. Two characters are markup in a cell: the first "!" prints as a
// blank, and every "^" switches between normal and subscript text ("K^D",
// "t^1/2", "R^max").
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace kelvaris {

// Pixel size of a table in a given font.
struct GridSize {
  int width = 0;
  int height = 0;
};

class TPrintGrid {
 public:
  // Drawn above the table when not empty.
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Frame: the left edge of the first column, the top edge of the first row,
  // the right edge after the last column and the line under the last row.
  bool OuterLines() const { return outerLines_; }
  // Separators: the left edge of every later column and the top edge of every
  // later row.
  bool InnerLines() const { return innerLines_; }
  void SetLines(bool outer, bool inner);

  // Appends the text to the column, adding empty columns up to it when
  // needed. Returns the row of the new cell, or -1 for a negative column.
  int AddCell(int column, const std::string& text);
  // Sets one cell, adding empty columns and padding the column with empty
  // cells up to the row as needed. Negative positions are ignored.
  void SetCell(int column, int row, const std::string& text);
  // Removes the column; later columns move left. Nothing when it does not exist.
  void DeleteColumn(int column);
  // Removes every column; the title and the line switches stay.
  void Clear();

  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // Cells in the column; 0 for a column that does not exist.
  int CellCount(int column) const;
  // The largest cell count of any column.
  int RowCount() const;
  // The cell's text; empty for a cell the column does not reach.
  const std::string& Cell(int column, int row) const;

  // Size of the table in the surface's current font.
  GridSize Measure(Canvas& canvas) const;
  int Height(Canvas& canvas) const { return Measure(canvas).height; }

  // Draws the table with its top-left corner at (x, y), with the font shrunk
  // (never enlarged) so that it fits maxWidth x maxHeight. Returns the y below
  // the table; a table without cells draws nothing and returns y. The font of
  // the surface is the same afterwards.
  int Draw(Canvas& canvas, int x, int y, int maxWidth, int maxHeight) const;

 private:
  std::vector<int> ColumnWidths(Canvas& canvas) const;
  void DrawCellText(Canvas& canvas, const std::string& text, int left, int top, int h0) const;

  std::string title_;
  bool outerLines_ = true;
  bool innerLines_ = true;
  std::vector<std::vector<std::string>> columns_;
};

}  // namespace kelvaris

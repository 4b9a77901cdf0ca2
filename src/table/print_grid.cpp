#include "table/print_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kelvaris {

namespace {

const std::string kEmpty;

// Rows are half as high again as a digit.
int RowHeightFor(int digitHeight) { return static_cast<int>(1.5 * digitHeight); }

// The font scaled by s < 1, in whichever unit it is given (points, or pixels
// when the height is set). It never drops below 1, so a box too small for
// any text still leaves a usable font.
Font Shrunk(const Font& font, float s) {
  Font out = font;
  if (font.height != 0) {
    const int magnitude = std::max(1, static_cast<int>(static_cast<float>(std::abs(font.height)) * s));
    out.height = font.height < 0 ? -magnitude : magnitude;
  } else {
    out.size = std::max(1, static_cast<int>(static_cast<float>(font.size) * s));
  }
  return out;
}

// Subscripts are set in Arial two points smaller than the cell's font.
Font SubscriptFont(const Font& font, int dotsPerInch) {
  Font out = font;
  out.name = "Arial";
  if (font.height != 0) {
    const int twoPoints = static_cast<int>(std::lround(2.0 * dotsPerInch / 72.0));
    const int magnitude = std::max(1, std::abs(font.height) - twoPoints);
    out.height = font.height < 0 ? -magnitude : magnitude;
  } else {
    out.size = std::max(1, font.size - 2);
  }
  return out;
}

// The text a cell prints: leading blanks dropped and the first "!" shown as
// a blank.
std::string PrintedText(const std::string& cell) {
  std::size_t start = 0;
  while (start < cell.size() && static_cast<unsigned char>(cell[start]) <= ' ') ++start;
  std::string text = cell.substr(start);
  const std::size_t bang = text.find('!');
  if (bang != std::string::npos) text[bang] = ' ';
  return text;
}

}  // namespace

void TPrintGrid::SetLines(bool outer, bool inner) {
  outerLines_ = outer;
  innerLines_ = inner;
}

int TPrintGrid::AddCell(int column, const std::string& text) {
  if (column < 0) return -1;
  if (column >= ColumnCount()) columns_.resize(static_cast<std::size_t>(column) + 1);
  auto& cells = columns_[static_cast<std::size_t>(column)];
  cells.push_back(text);
  return static_cast<int>(cells.size()) - 1;
}

void TPrintGrid::SetCell(int column, int row, const std::string& text) {
  if (column < 0 || row < 0) return;
  if (column >= ColumnCount()) columns_.resize(static_cast<std::size_t>(column) + 1);
  auto& cells = columns_[static_cast<std::size_t>(column)];
  if (row >= static_cast<int>(cells.size())) cells.resize(static_cast<std::size_t>(row) + 1);
  cells[static_cast<std::size_t>(row)] = text;
}

void TPrintGrid::DeleteColumn(int column) {
  if (column < 0 || column >= ColumnCount()) return;
  columns_.erase(columns_.begin() + column);
}

void TPrintGrid::Clear() { columns_.clear(); }

int TPrintGrid::CellCount(int column) const {
  if (column < 0 || column >= ColumnCount()) return 0;
  return static_cast<int>(columns_[static_cast<std::size_t>(column)].size());
}

int TPrintGrid::RowCount() const {
  std::size_t rows = 0;
  for (const auto& cells : columns_) rows = std::max(rows, cells.size());
  return static_cast<int>(rows);
}

const std::string& TPrintGrid::Cell(int column, int row) const {
  if (row < 0 || row >= CellCount(column)) return kEmpty;
  return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

// Each column is as wide as its widest cell, markup included, plus two digits.
std::vector<int> TPrintGrid::ColumnWidths(Canvas& canvas) const {
  const int margin = canvas.TextWidth("00");
  std::vector<int> widths;
  widths.reserve(columns_.size());
  for (const auto& cells : columns_) {
    int widest = 0;
    for (const auto& cell : cells) widest = std::max(widest, canvas.TextWidth(cell));
    widths.push_back(widest + margin);
  }
  return widths;
}

GridSize TPrintGrid::Measure(Canvas& canvas) const {
  GridSize size;
  for (int w : ColumnWidths(canvas)) size.width += w;
  const int r = RowHeightFor(canvas.TextHeight("0"));
  size.height = RowCount() * r;
  if (!title_.empty()) size.height += 2 * canvas.TextHeight(title_) + r;
  return size;
}

// Draws the text piece by piece, each "^" ending a piece and switching between
// the cell's font and the lowered subscript font. The cell's font is in force
// again afterwards.
void TPrintGrid::DrawCellText(Canvas& canvas, const std::string& text, int left, int top, int h0) const {
  const Font cellFont = canvas.GetFont();
  bool subscript = false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t caret = text.find('^', start);
    const std::string piece =
        text.substr(start, caret == std::string::npos ? std::string::npos : caret - start);
    if (!piece.empty()) canvas.TextOut(left, top, piece);
    if (caret == std::string::npos) break;
    left += canvas.TextWidth(piece);
    subscript = !subscript;
    if (subscript) {
      canvas.SetFont(SubscriptFont(cellFont, canvas.DotsPerInch()));
      top += h0 / 3;
    } else {
      canvas.SetFont(cellFont);
      top -= h0 / 3;
    }
    start = caret + 1;
  }
  canvas.SetFont(cellFont);
}

int TPrintGrid::Draw(Canvas& canvas, int x, int y, int maxWidth, int maxHeight) const {
  const int rows = RowCount();
  if (rows == 0) return y;
  const GridSize size = Measure(canvas);

  // A zero extent (a font too small to measure) sets no limit.
  float s = 1.0f;
  if (size.width > 0) s = std::min(s, static_cast<float>(maxWidth) / static_cast<float>(size.width));
  if (size.height > 0) s = std::min(s, static_cast<float>(maxHeight) / static_cast<float>(size.height));
  const Font original = canvas.GetFont();
  if (s < 1.0f) canvas.SetFont(Shrunk(original, s));

  const int h0 = canvas.TextHeight("0");
  const int r = RowHeightFor(h0);
  const std::vector<int> widths = ColumnWidths(canvas);

  if (!title_.empty()) {
    y += 2 * canvas.TextHeight(title_);
    canvas.TextOut(x, y, title_);
    y += r;
  }

  auto line = [&canvas](int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };

  int cx = x;
  for (int i = 0; i < rows; ++i) {
    cx = x;
    for (int j = 0; j < ColumnCount(); ++j) {
      const int wj = widths[static_cast<std::size_t>(j)];
      const std::string text = PrintedText(Cell(j, i));
      if (j > 0 ? innerLines_ : outerLines_) line(cx, y + r, cx, y);
      if (i > 0 ? innerLines_ : outerLines_) line(cx, y, cx + wj, y);
      // Centred on the whole text in the cell's font, markup included.
      const int left = cx + wj / 2 - canvas.TextWidth(text) / 2;
      const int top = y + r / 2 - canvas.TextHeight(text) / 2;
      DrawCellText(canvas, text, left, top, h0);
      cx += wj;
    }
    if (outerLines_) line(cx, y + r, cx, y);
    y += r;
  }
  if (outerLines_) line(x, y, cx, y);

  canvas.SetFont(original);
  return y;
}

}  // namespace kelvaris

#include "table/kelvaris_grid.h"

#include <algorithm>

namespace kelvaris {

namespace {
const std::string kEmpty;
}  // namespace

TKelvarisGrid::TKelvarisGrid(std::string name, WindowSystem& ws)
    : Control(std::move(name), ControlKind::Grid), ws_(ws) {
  Resize(cols_, rows_);
}

// --- size and layout ---

void TKelvarisGrid::Resize(int cols, int rows) {
  cols = std::max(0, cols);
  rows = std::max(0, rows);
  std::vector<CellData> cells(static_cast<std::size_t>(cols) * rows);
  const int keepCols = std::min(cols, cols_);
  const int keepRows = std::min(rows, rows_);
  if (!cells_.empty()) {
    for (int r = 0; r < keepRows; ++r)
      for (int c = 0; c < keepCols; ++c)
        cells[static_cast<std::size_t>(r) * cols + c] = std::move(At(c, r));
  }
  cells_ = std::move(cells);
  cols_ = cols;
  rows_ = rows;
  colWidths_.resize(cols, defaultColWidth_);
  rowHeights_.resize(rows, defaultRowHeight_);
  if (cursorCol_ >= cols_) cursorCol_ = std::max(0, cols_ - 1);
  if (cursorRow_ >= rows_) cursorRow_ = std::max(0, rows_ - 1);
  if (anchorCol_ >= cols_ || anchorRow_ >= rows_) anchorCol_ = -1;
  if (endCol_ >= cols_ || endRow_ >= rows_) {
    endCol_ = -1;
    endRow_ = 0;
  }
  if (!InGrid(cursorCol_, cursorRow_)) editorOpen_ = false;
  changed_ = true;
  Notify();
}

void TKelvarisGrid::SetColCount(int cols) {
  if (cols != cols_) Resize(cols, rows_);
}

void TKelvarisGrid::SetRowCount(int rows) {
  if (rows != rows_) Resize(cols_, rows);
}

void TKelvarisGrid::SetFixedCols(int n) {
  fixedCols_ = std::max(0, n);
  Notify();
}

void TKelvarisGrid::SetFixedRows(int n) {
  fixedRows_ = std::max(0, n);
  Notify();
}

void TKelvarisGrid::SetDefaultColWidth(int w) {
  defaultColWidth_ = w;
  colWidths_.assign(cols_, w);
  Notify();
}

void TKelvarisGrid::SetDefaultRowHeight(int h) {
  defaultRowHeight_ = h;
  rowHeights_.assign(rows_, h);
  Notify();
}

int TKelvarisGrid::ColWidth(int col) const {
  return col >= 0 && col < cols_ ? colWidths_[col] : defaultColWidth_;
}

void TKelvarisGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= cols_ || colWidths_[col] == width) return;
  colWidths_[col] = width;
  Notify();
}

int TKelvarisGrid::RowHeight(int row) const {
  return row >= 0 && row < rows_ ? rowHeights_[row] : defaultRowHeight_;
}

void TKelvarisGrid::SetRowHeight(int row, int height) {
  if (row < 0 || row >= rows_ || rowHeights_[row] == height) return;
  rowHeights_[row] = height;
  Notify();
}

Rect TKelvarisGrid::CellRect(int col, int row) const {
  int left = 0;
  for (int c = 0; c < col && c < cols_; ++c) left += colWidths_[c] + 1;
  int top = 0;
  for (int r = 0; r < row && r < rows_; ++r) top += rowHeights_[r] + 1;
  return Rect{left, top, left + ColWidth(col), top + RowHeight(row)};
}

// The grid line after a cell counts as part of it.
bool TKelvarisGrid::CellAt(int x, int y, int& col, int& row) const {
  if (x < 0 || y < 0) return false;
  int c = 0;
  for (int left = 0; c < cols_; ++c) {
    left += colWidths_[c] + 1;
    if (x < left) break;
  }
  int r = 0;
  for (int top = 0; r < rows_; ++r) {
    top += rowHeights_[r] + 1;
    if (y < top) break;
  }
  if (c >= cols_ || r >= rows_) return false;
  col = c;
  row = r;
  return true;
}

int TKelvarisGrid::TotalWidth() const {
  int w = 0;
  for (int width : colWidths_) w += width + 1;
  return w;
}

int TKelvarisGrid::TotalHeight() const {
  int h = 0;
  for (int height : rowHeights_) h += height + 1;
  return h;
}

// --- cells ---

const std::string& TKelvarisGrid::Cell(int col, int row) const {
  return InGrid(col, row) ? At(col, row).text : kEmpty;
}

void TKelvarisGrid::SetCell(int col, int row, const std::string& text) {
  if (!InGrid(col, row)) return;
  At(col, row).text = text;
  changed_ = true;
  Notify();
}

std::uint32_t TKelvarisGrid::Flags(int col, int row) const { return InGrid(col, row) ? At(col, row).flags : 0; }

void TKelvarisGrid::SetFlags(int col, int row, std::uint32_t flags) {
  if (!InGrid(col, row)) return;
  At(col, row).flags = flags;
  changed_ = true;
  Notify();
}

bool TKelvarisGrid::HasFlag(int col, int row, std::uint32_t bit) const {
  return InGrid(col, row) && (At(col, row).flags & bit) != 0;
}

void TKelvarisGrid::SetFlag(int col, int row, std::uint32_t bit, bool on) {
  if (!InGrid(col, row)) return;
  std::uint32_t& flags = At(col, row).flags;
  flags = on ? (flags | bit) : (flags & ~bit);
}

void TKelvarisGrid::ClearAll() {
  for (CellData& cell : cells_) cell = CellData{};
  changed_ = true;
  Notify();
}

void TKelvarisGrid::ClearRow(int row) {
  if (row < 0 || row >= rows_) return;
  for (int c = 0; c < cols_; ++c) At(c, row) = CellData{};
  changed_ = true;
  Notify();
}

void TKelvarisGrid::ClearFlags() {
  for (CellData& cell : cells_) cell.flags = 0;
  changed_ = true;
  Notify();
}

void TKelvarisGrid::ClearSelection() {
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c)
      if (HasFlag(c, r, gfSelected)) SetSelected(c, r, false);
  editorOpen_ = false;
  editingAllowed_ = false;
  dragging_ = false;
  anchorCol_ = -1;
  preEditText_.clear();
  Notify();
}

bool TKelvarisGrid::GetSelected(int col, int row) const { return HasFlag(col, row, gfSelected); }

void TKelvarisGrid::SetSelected(int col, int row, bool on) {
  if (!InGrid(col, row)) return;
  SetFlag(col, row, gfSelected, on);
  Notify();
  if (OnSelectionChange) OnSelectionChange(*this, col, row);
  if (wordChangePending_) {
    wordChangePending_ = false;
    if (OnWordChange) OnWordChange(*this);
  }
}

bool TKelvarisGrid::GetBlocked(int col, int row) const { return HasFlag(col, row, gfBlocked); }
bool TKelvarisGrid::GetHidden(int col, int row) const { return HasFlag(col, row, gfHidden); }
bool TKelvarisGrid::GetFitFixed(int col, int row) const { return HasFlag(col, row, gfFitFixed); }
bool TKelvarisGrid::GetButtonDown(int col, int row) const { return HasFlag(col, row, gfButtonDown); }
bool TKelvarisGrid::GetReadOnlyCol(int col) const { return HasFlag(col, 0, gfReadOnlyCol); }
bool TKelvarisGrid::GetRadioCol(int col) const { return HasFlag(col, 0, gfRadioCol); }
bool TKelvarisGrid::GetTickCol(int col) const { return HasFlag(col, 0, gfTickCol); }

void TKelvarisGrid::SetBlocked(int col, int row, bool on) {
  SetFlag(col, row, gfBlocked, on);
  changed_ = true;
  Notify();
}

void TKelvarisGrid::SetHidden(int col, int row, bool on) {
  SetFlag(col, row, gfHidden, on);
  changed_ = true;
  Notify();
}

void TKelvarisGrid::SetFitFixed(int col, int row, bool on) {
  SetFlag(col, row, gfFitFixed, on);
  changed_ = true;
  Notify();
}

void TKelvarisGrid::SetButtonDown(int col, int row, bool on) {
  SetFlag(col, row, gfButtonDown, on);
  Reblock(col);
  changed_ = true;
  Notify();
}

// The pressed buttons of a radio column choose the rows that can be touched.
// The cells of radio columns themselves are never blocked, so that every
// button stays clickable.
void TKelvarisGrid::Reblock(int col) {
  if (col < 0 || col >= cols_) return;
  bool anyDown = false;
  for (int r = 1; r < rows_; ++r) anyDown = anyDown || HasFlag(col, r, gfButtonDown);
  for (int r = 1; r < rows_; ++r) {
    const bool block = anyDown && !HasFlag(col, r, gfButtonDown);
    for (int c = 1; c < cols_; ++c)
      if (!GetRadioCol(c)) SetFlag(c, r, gfBlocked, block);
  }
}

void TKelvarisGrid::SetReadOnlyCol(int col, bool on) {
  SetFlag(col, 0, gfReadOnlyCol, on);
  changed_ = true;
  Notify();
}

void TKelvarisGrid::SetRadioCol(int col, bool on) {
  SetFlag(col, 0, gfRadioCol, on);
  changed_ = true;
  Notify();
}

void TKelvarisGrid::SetTickCol(int col, bool on) {
  SetFlag(col, 0, gfTickCol, on);
  changed_ = true;
  Notify();
}

bool TKelvarisGrid::HasSelection() const {
  for (int r = fixedRows_; r < rows_; ++r)
    for (int c = fixedCols_; c < cols_; ++c)
      if (HasFlag(c, r, gfSelected)) return true;
  return false;
}

bool TKelvarisGrid::HasChanged() {
  const bool was = changed_;
  changed_ = false;
  return was;
}

void TKelvarisGrid::SetAutoWidth(bool on) {
  if (on == autoWidth_) return;
  autoWidth_ = on;
  Notify();
}

bool TKelvarisGrid::CanSelect(int col, int row) const {
  return InGrid(col, row) && !IsFixed(col, row) && !GetBlocked(col, row) && !GetRadioCol(col);
}

// --- the in-place editor ---

void TKelvarisGrid::SetCursorCell(int col, int row) {
  if (!InGrid(col, row)) return;
  if (col != cursorCol_ || row != cursorRow_) editorOpen_ = false;
  cursorCol_ = col;
  cursorRow_ = row;
  Notify();
}

void TKelvarisGrid::SetEditingAllowed(bool on) {
  editingAllowed_ = on;
  if (!on) editorOpen_ = false;
  Notify();
}

// The editor never opens on a cell that typing may not change.
bool TKelvarisGrid::OpenEditor() {
  const int c = cursorCol_, r = cursorRow_;
  if (!editingAllowed_ || !InGrid(c, r) || IsFixed(c, r) || GetBlocked(c, r) || GetReadOnlyCol(c) ||
      GetRadioCol(c))
    return false;
  if (!editorOpen_) {
    editorOpen_ = true;
    preEditText_ = Cell(c, r);
    Notify();
  }
  return true;
}

void TKelvarisGrid::CloseEditor() {
  if (!editorOpen_) return;
  editorOpen_ = false;
  Notify();
}

void TKelvarisGrid::ChangeCell(int col, int row, const std::string& oldText, const std::string& newText) {
  if (OnCellChange) OnCellChange(*this, col, row, col, row, oldText, newText);
  if (InGrid(col, row)) At(col, row).text = newText;
}

// What is typed into the cursor cell goes into every selected cell that
// typing may change.
void TKelvarisGrid::EditorText(const std::string& text) {
  changed_ = true;
  if (text == preEditText_) return;
  const int ec = cursorCol_, er = cursorRow_;
  const bool editable =
      InGrid(ec, er) && !IsFixed(ec, er) && !GetBlocked(ec, er) && !GetReadOnlyCol(ec) && !GetRadioCol(ec);
  // The edited cell may have been left out of the selection (a Ctrl-click
  // took it out); it still takes what is typed into it.
  if (editable && !GetSelected(ec, er)) ChangeCell(ec, er, preEditText_, text);
  for (int c = 1; c < cols_; ++c) {
    if (GetReadOnlyCol(c)) continue;
    for (int r = 1; r < rows_; ++r) {
      if (!GetSelected(c, r) || GetBlocked(c, r)) continue;
      if (c == ec && r == er && !editable) continue;
      ChangeCell(c, r, preEditText_, text);
    }
  }
  preEditText_ = text;
  wordChangePending_ = true;
  Notify();
}

// --- mouse ---

bool TKelvarisGrid::IsRowHeader(int col, int row) const {
  return fixedCols_ > 0 && col == 0 && row >= fixedRows_ && row < rows_;
}

bool TKelvarisGrid::IsColHeader(int col, int row) const {
  return fixedRows_ > 0 && row == 0 && col >= fixedCols_ && col < cols_;
}

bool TKelvarisGrid::IsCorner(int col, int row) const {
  return fixedCols_ > 0 && fixedRows_ > 0 && col == 0 && row == 0;
}

void TKelvarisGrid::ToggleSelected(int col, int row) { SetSelected(col, row, !GetSelected(col, row)); }

void TKelvarisGrid::MarkRow(int row, bool toggle) {
  for (int c = 0; c < cols_; ++c) {
    if (GetBlocked(c, row)) continue;
    if (toggle)
      ToggleSelected(c, row);
    else
      SetSelected(c, row, true);
  }
}

void TKelvarisGrid::MarkColumn(int col, bool toggle) {
  for (int r = 0; r < rows_; ++r) {
    if (GetBlocked(col, r)) continue;
    if (toggle)
      ToggleSelected(col, r);
    else
      SetSelected(col, r, true);
  }
}

void TKelvarisGrid::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  int col = -1, row = -1;
  const bool inCells = CellAt(x, y, col, row);
  if (button == MouseButton::Right) {
    if (inCells && OnContextMenu) OnContextMenu(*this, x, y);
    return;
  }
  if (button != MouseButton::Left) return;
  if (inCells && !IsCorner(col, row) && !GetBlocked(col, row)) {
    LeftDown(shift, col, row);
    return;
  }
  if (!(shift & (ssCtrl | ssShift))) ClearSelection();
  CloseEditor();
}

void TKelvarisGrid::RadioClick(unsigned shift, int col, int row) {
  ClearSelection();
  CloseEditor();
  SetEditingAllowed(true);
  const bool down = GetButtonDown(col, row);
  if (!(shift & ssCtrl) && !down)
    for (int r = fixedRows_; r < rows_; ++r) SetFlag(col, r, gfButtonDown, false);
  SetButtonDown(col, row, !down);
  if (OnSelectionChange) OnSelectionChange(*this, col, row);
}

void TKelvarisGrid::LeftDown(unsigned shift, int col, int row) {
  if (GetRadioCol(col) && row >= fixedRows_) {
    RadioClick(shift, col, row);
    return;
  }
  if (shift & ssShift) {
    if (anchorCol_ != -1) {
      dragging_ = true;
      DragTo(col, row);
    }
    return;
  }
  const bool rowHeader = IsRowHeader(col, row);
  const bool colHeader = IsColHeader(col, row);
  if (shift & ssCtrl) {
    if (rowHeader)
      MarkRow(row, true);
    else if (colHeader)
      MarkColumn(col, true);
    else
      ToggleSelected(col, row);
    SetEditingAllowed(true);
    CloseEditor();
    if (!IsFixed(col, row)) SetCursorCell(col, row);
  } else if (GetSelected(col, row)) {
    if (GetReadOnlyCol(col)) {
      CloseEditor();
      SetEditingAllowed(false);
      return;
    }
    if (!IsFixed(col, row)) SetCursorCell(col, row);
  } else {
    ClearSelection();
    CloseEditor();
    SetEditingAllowed(true);
    if (rowHeader) {
      MarkRow(row, false);
      if (cols_ > fixedCols_) SetCursorCell(fixedCols_, row);
    } else if (colHeader) {
      MarkColumn(col, false);
      if (rows_ > fixedRows_) SetCursorCell(col, fixedRows_);
    } else {
      SetSelected(col, row, true);
      if (!IsFixed(col, row)) SetCursorCell(col, row);
    }
  }
  anchorCol_ = endCol_ = col;
  anchorRow_ = endRow_ = row;
  dragging_ = true;
}

void TKelvarisGrid::MouseMove(unsigned, int x, int y) {
  if (!dragging_) return;
  int col = -1, row = -1;
  if (!CellAt(x, y, col, row)) return;
  DragTo(col, row);
}

// Moves the end of the drag rectangle: cells that leave it are deselected,
// cells that enter it selected.
void TKelvarisGrid::DragTo(int col, int row) {
  if (!InGrid(col, row) || !InGrid(anchorCol_, anchorRow_)) return;
  if (row < fixedRows_ && rows_ > fixedRows_) row = fixedRows_;
  if (col < fixedCols_ && cols_ > fixedCols_) col = fixedCols_;
  if (fixedRows_ > 0 && anchorRow_ == 0) row = rows_ - 1;
  if (fixedCols_ > 0 && anchorCol_ == 0) col = cols_ - 1;
  if (col == endCol_ && row == endRow_) return;
  auto inside = [](int c, int r, int c1, int r1, int c2, int r2) {
    return c >= std::min(c1, c2) && c <= std::max(c1, c2) && r >= std::min(r1, r2) && r <= std::max(r1, r2);
  };
  const int ac = anchorCol_, ar = anchorRow_;
  const int oc = InGrid(endCol_, endRow_) ? endCol_ : ac;
  const int orow = InGrid(endCol_, endRow_) ? endRow_ : ar;
  for (int r = std::min(ar, orow); r <= std::max(ar, orow); ++r)
    for (int c = std::min(ac, oc); c <= std::max(ac, oc); ++c)
      if (!GetBlocked(c, r) && !inside(c, r, ac, ar, col, row)) SetSelected(c, r, false);
  for (int r = std::min(ar, row); r <= std::max(ar, row); ++r)
    for (int c = std::min(ac, col); c <= std::max(ac, col); ++c)
      if (!GetBlocked(c, r) && !inside(c, r, ac, ar, oc, orow)) SetSelected(c, r, true);
  endCol_ = col;
  endRow_ = row;
}

void TKelvarisGrid::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  if (dragging_) {
    dragging_ = false;
    anchorCol_ = endCol_;
    anchorRow_ = endRow_;
  }
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TKelvarisGrid::FocusLost() { ClearSelection(); }

// --- keys ---

void TKelvarisGrid::KeyDown(int& key, unsigned shift) {
  if (shift & ssCtrl) {
    if (OnControlKey) OnControlKey(*this, key, shift);
    return;
  }
  switch (key) {
    case vkLeft:
    case vkUp:
    case vkRight:
    case vkDown:
      ArrowKey(key, shift);
      key = 0;
      return;
    case vkDelete:
      if (editorOpen_) {
        preEditText_ = Cell(cursorCol_, cursorRow_);
      } else {
        ClearSelected();
        key = 0;
      }
      return;
    case vkReturn:
      if (wordChangePending_) {
        wordChangePending_ = false;
        if (OnWordChange) OnWordChange(*this);
      }
      return;
    default:
      preEditText_ = Cell(cursorCol_, cursorRow_);
      return;
  }
}

// Walks from the end cell (the cursor cell before any selection gesture)
// in the key's direction, wrapping at the grid's edges, to the next cell
// that can be selected.
void TKelvarisGrid::ArrowKey(int key, unsigned shift) {
  int fromCol = endCol_, fromRow = endRow_;
  if (!InGrid(fromCol, fromRow)) {
    fromCol = cursorCol_;
    fromRow = cursorRow_;
  }
  int c = fromCol, r = fromRow;
  auto step = [&] {
    switch (key) {
      case vkDown:
        if (++r >= rows_) {
          r = fixedRows_;
          ++c;
        }
        break;
      case vkUp:
        if (--r < fixedRows_) {
          r = rows_ - 1;
          --c;
        }
        break;
      case vkRight:
        if (++c >= cols_) {
          c = fixedCols_;
          ++r;
        }
        break;
      default:  // vkLeft
        if (--c < fixedCols_) {
          c = cols_ - 1;
          --r;
        }
        break;
    }
  };
  step();
  while (InGrid(c, r) && !CanSelect(c, r)) step();
  if (!CanSelect(c, r)) {
    c = fromCol;
    r = fromRow;
  }
  if (!(shift & ssShift)) ClearSelection();
  CloseEditor();
  if (InGrid(c, r)) {
    if (CanSelect(c, r)) SetSelected(c, r, true);
    SetCursorCell(c, r);
    endCol_ = c;
    endRow_ = r;
    if (!(shift & ssShift)) {
      anchorCol_ = c;
      anchorRow_ = r;
    }
  }
  SetEditingAllowed(true);
}

}  // namespace kelvaris

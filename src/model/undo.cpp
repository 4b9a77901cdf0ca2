#include "model/undo.h"

#include <algorithm>

#include "model/sample_layout.h"

namespace kelvaris {

void TUndoEdit::Put(const std::string& text) {
  // As if the user had typed it, so that the box's handler reacts.
  box_.SetModified(true);
  if (box_.Text() != text) {
    box_.UserSetText(text);
  } else if (box_.OnChange) {
    box_.OnChange();
  }
}

void TUndoGrid::Put(const std::string& text) {
  const bool editing = grid_.EditingAllowed();
  grid_.SetEditingAllowed(false);
  for (int row = cells.firstRow; row <= cells.lastRow; ++row)
    for (int col = cells.firstCol; col <= cells.lastCol; ++col) {
      if (!grid_.InGrid(col, row)) continue;
      const std::string before = grid_.Cell(col, row);
      grid_.SetCell(col, row, text);
      if (grid_.OnCellChange) grid_.OnCellChange(grid_, col, row, col, row, before, text);
    }
  grid_.SetEditingAllowed(editing);
  grid_.Invalidate();
}

void TUndoUpDown::Put(const std::string& text) { upDown_.SetPosition(ReadWholeNumber(text)); }

bool TUndoList::BeginRecord() {
  if (Applying()) return false;
  items_.erase(items_.begin() + cursor_, items_.end());
  return true;
}

bool TUndoList::Merge(const Control* control, int page, const UndoCells& cells, int stage,
                      const std::string& newText) {
  if (items_.empty() || !items_.back()->CanMerge(control, page, cells, stage)) return false;
  items_.back()->SetNewText(newText);
  Changed();
  return true;
}

void TUndoList::Append(std::unique_ptr<TUndoItem> item) {
  if (!items_.empty()) items_.back()->Close();
  items_.push_back(std::move(item));
  cursor_ = Count();
  Changed();
}

void TUndoList::RecordEdit(EditBox& box, int page, const std::string& newText, const std::string& oldText,
                           int stage) {
  if (!BeginRecord() || Merge(&box, page, {}, stage, newText)) return;
  Append(std::make_unique<TUndoEdit>(box, page, stage, oldText, newText));
}

void TUndoList::RecordGrid(TKelvarisGrid& grid, int page, UndoCells cells, const std::string& newText,
                           const std::string& oldText, int stage) {
  if (!BeginRecord() || Merge(&grid, page, cells, stage, newText)) return;
  Append(std::make_unique<TUndoGrid>(grid, page, stage, cells, oldText, newText));
}

void TUndoList::RecordUpDown(UpDown& upDown, int page, int newPosition, int oldPosition, int stage) {
  if (!BeginRecord() || Merge(&upDown, page, {}, stage, std::to_string(newPosition))) return;
  Append(std::make_unique<TUndoUpDown>(upDown, page, stage, oldPosition, newPosition));
}

void TUndoList::RecordCheck(CheckBox& box, int page, bool checked, int stage) {
  if (!BeginRecord()) return;
  Append(std::make_unique<TUndoCheck>(box, page, stage, checked));
}

void TUndoList::CloseCurrent() {
  if (cursor_ > 0) items_[static_cast<std::size_t>(cursor_ - 1)]->Close();
}

void TUndoList::Clear() {
  items_.clear();
  cursor_ = 0;
  Changed();
}

void TUndoList::MoveCursor(int by) {
  cursor_ = std::clamp(cursor_ + by, 0, Count());
  Changed();
}

void TUndoList::Changed() {
  if (OnChange) OnChange();
}

}  // namespace kelvaris

// The spreadsheet grid of the sample, analyte, ligand, affinity and kinetic
// tables: text cells with one flag word each, spreadsheet-style selection,
// typing into many cells at once, radio-button rows, a little text markup,
// and tab-separated copy, paste, clear and fill. It draws itself through a
// Canvas and takes mouse and key input in pixels; the pages interpret the
// cell texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/window_system.h"

namespace kelvaris {

// Cell flag bits. ReadOnlyCol, TickCol and RadioCol are column flags, kept
// in the column's header cell (row 0).
enum GridFlags : std::uint32_t {
  gfReadOnlyCol = 0x001,
  gfSelected = 0x002,
  gfFitFixed = 0x004,
  gfTickCol = 0x008,
  gfBlocked = 0x010,
  gfHidden = 0x020,
  gfButtonDown = 0x040,
  gfRadioCol = 0x080,
};

// Modifier keys held with a mouse or key event.
enum ShiftState : unsigned {
  ssNone = 0,
  ssShift = 1,
  ssCtrl = 2,
  ssAlt = 4,
};

enum class MouseButton { Left, Right, Middle };

// Key codes the grid acts on (the desktop's virtual key codes); letters are
// their upper-case character codes ('C', 'V', ...).
enum GridKey : int {
  vkReturn = 0x0D,
  vkLeft = 0x25,
  vkUp = 0x26,
  vkRight = 0x27,
  vkDown = 0x28,
  vkDelete = 0x2E,
};

class TKelvarisGrid : public Control {
 public:
  TKelvarisGrid(std::string name, WindowSystem& ws);

  // --- size and layout ---
  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }
  // Resizing keeps the cells that still fit, with their texts and flags.
  void SetColCount(int cols);
  void SetRowCount(int rows);
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  void SetFixedCols(int n);
  void SetFixedRows(int n);
  int DefaultColWidth() const { return defaultColWidth_; }
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultColWidth(int w);   // every column gets it
  void SetDefaultRowHeight(int h);  // every row gets it
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int height);
  // Cell rectangle in pixels (one pixel of grid line after every cell).
  Rect CellRect(int col, int row) const;
  // The cell under a pixel; false outside the cells.
  bool CellAt(int x, int y, int& col, int& row) const;
  // Width and height of all cells with their lines.
  int TotalWidth() const;
  int TotalHeight() const;

  // --- cells (the program's own changes; they raise no events) ---
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);
  std::uint32_t Flags(int col, int row) const;  // the "attached object" of a cell
  void SetFlags(int col, int row, std::uint32_t flags);
  bool InGrid(int col, int row) const { return col >= 0 && row >= 0 && col < cols_ && row < rows_; }

  void ClearAll();
  void ClearRow(int row);
  void ClearFlags();
  void ClearSelection();

  bool GetSelected(int col, int row) const;
  void SetSelected(int col, int row, bool on);
  bool GetBlocked(int col, int row) const;
  void SetBlocked(int col, int row, bool on);
  bool GetHidden(int col, int row) const;
  void SetHidden(int col, int row, bool on);
  bool GetFitFixed(int col, int row) const;
  void SetFitFixed(int col, int row, bool on);
  bool GetButtonDown(int col, int row) const;
  void SetButtonDown(int col, int row, bool on);
  bool GetReadOnlyCol(int col) const;
  void SetReadOnlyCol(int col, bool on);
  bool GetRadioCol(int col) const;
  void SetRadioCol(int col, bool on);
  bool GetTickCol(int col) const;
  void SetTickCol(int col, bool on);

  bool HasSelection() const;
  // Returns whether contents or flags changed since the last call, and clears it.
  bool HasChanged();
  bool AutoWidth() const { return autoWidth_; }
  void SetAutoWidth(bool on);
  bool Molar() const { return molar_; }
  void SetMolar(bool on) { molar_ = on; }
  bool CanSelect(int col, int row) const;

  // --- table commands ---
  void ClearSelected();
  void CopySelected(bool withoutUncertainties);
  void PasteSelected();
  void FillDown();
  // The clipboard text CopySelected would write.
  std::string SelectionText(bool withoutUncertainties) const;
  // What PasteSelected does with a text (PasteSelected reads the clipboard).
  void PasteText(const std::string& text);

  // --- the in-place editor ---
  int CursorCol() const { return cursorCol_; }
  int CursorRow() const { return cursorRow_; }
  void SetCursorCell(int col, int row);
  bool EditingAllowed() const { return editingAllowed_; }
  void SetEditingAllowed(bool on);
  bool EditorOpen() const { return editorOpen_; }
  // Opens the editor on the cursor cell (only while editing is allowed).
  bool OpenEditor();
  void CloseEditor();
  // The editor reports the new text of the cell it edits.
  void EditorText(const std::string& text);

  // --- input, in pixels relative to the grid ---
  void MouseDown(MouseButton button, unsigned shift, int x, int y);
  void MouseMove(unsigned shift, int x, int y);
  void MouseUp(MouseButton button, unsigned shift, int x, int y);
  // The key may be consumed (set to 0).
  void KeyDown(int& key, unsigned shift);
  void FocusLost();

  // --- drawing ---
  void Paint(Canvas& canvas);
  void DrawCell(Canvas& canvas, int col, int row, const Rect& rect);
  // Asks the view to repaint.
  void Invalidate() { Notify(); }

  // --- events ---
  std::function<void(TKelvarisGrid& sender, int col1, int row1, int col2, int row2,
                     const std::string& oldstr, const std::string& newstr)>
      OnCellChange;
  std::function<void(TKelvarisGrid& sender, int col, int row)> OnSelectionChange;
  std::function<void(TKelvarisGrid& sender, int& key, unsigned shift)> OnControlKey;
  std::function<void(TKelvarisGrid& sender)> OnWordChange;
  // A right click on a cell: the owner shows its context menu at (x, y).
  std::function<void(TKelvarisGrid& sender, int x, int y)> OnContextMenu;
  // Raised after the grid's own mouse-up handling.
  std::function<void(TKelvarisGrid& sender, MouseButton button, unsigned shift, int x, int y)> OnMouseUp;

 private:
  // (private members are the implementer's)
  struct CellData {
    std::string text;
    std::uint32_t flags = 0;
  };
  CellData& At(int col, int row) { return cells_[static_cast<std::size_t>(row) * cols_ + col]; }
  const CellData& At(int col, int row) const { return cells_[static_cast<std::size_t>(row) * cols_ + col]; }
  void Resize(int cols, int rows);
  void SetFlag(int col, int row, std::uint32_t bit, bool on);
  bool HasFlag(int col, int row, std::uint32_t bit) const;
  bool IsRowHeader(int col, int row) const;
  bool IsColHeader(int col, int row) const;
  bool IsCorner(int col, int row) const;
  bool IsFixed(int col, int row) const { return col < fixedCols_ || row < fixedRows_; }
  void ToggleSelected(int col, int row);
  // Selects (or toggles) every unblocked cell of a row or column.
  void MarkRow(int row, bool toggle);
  void MarkColumn(int col, bool toggle);
  void LeftDown(unsigned shift, int col, int row);
  void RadioClick(unsigned shift, int col, int row);
  void DragTo(int col, int row);
  void ArrowKey(int key, unsigned shift);
  // Blocks the rows whose button in `col` is released (none pressed: none).
  void Reblock(int col);
  // What every table command does last.
  void FinishCommand();
  void ChangeCell(int col, int row, const std::string& oldText, const std::string& newText);
  // Text width for centring (markup left out), with the font set up for it.
  int MeasureCell(Canvas& canvas, int col, int row, std::string& text);
  void GrowColumn(int col, int textWidth);

  WindowSystem& ws_;
  int cols_ = 5;
  int rows_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 41;
  int defaultRowHeight_ = 21;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  std::vector<CellData> cells_;
  int anchorCol_ = -1;
  int anchorRow_ = 0;
  int endCol_ = -1;
  int endRow_ = 0;
  bool dragging_ = false;
  std::string preEditText_;
  bool wordChangePending_ = false;
  bool changed_ = true;
  bool autoWidth_ = false;
  bool molar_ = false;
  int cursorCol_ = 1;
  int cursorRow_ = 1;
  bool editingAllowed_ = false;
  bool editorOpen_ = false;
};

}  // namespace kelvaris

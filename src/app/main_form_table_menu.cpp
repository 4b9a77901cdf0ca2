// The table menu of the layout grids, their control keys, hiding and
// highlighting injections, and the reorder dialog.
#include <algorithm>

#include "app/main_form.h"
#include "app/reorder_dialog.h"
#include "model/sample_layout.h"

namespace kelvaris {

namespace {

struct TableItem {
  const char* caption;
  int command;
  const char* shortcut;
  char key;
};

constexpr TableItem kTableItems[] = {
    {"Hide ", tcHide, "Ctrl+H", 'H'},      {"Unhide", tcUnhide, "Ctrl+U", 'U'},
    {"-", 0, "", 0},                        {"Units...", tcUnits, "Ctrl+N", 'N'},
    {"Chop...", tcChop, "Ctrl+P", 'P'},     {"Reorder...", tcReorder, "Ctrl+R", 'R'},
    {"-", 0, "", 0},                        {"Fill", tcFill, "Ctrl+F", 'F'},
    {"Copy", tcCopy, "Ctrl+C", 'C'},        {"Paste", tcPaste, "Ctrl+V", 'V'},
};

constexpr int kBoldKey = 'B';

}  // namespace

void TMainForm::TablePopupPopup() {
  TablePopup.Clear();
  for (const TableItem& item : kTableItems) {
    Menu::Item m;
    m.caption = item.caption;
    m.tag = item.command;
    m.shortcut = item.shortcut;
    m.enabled = item.command == 0 || TableCommandEnabled(item.command);
    TablePopup.Add(std::move(m));
  }
}

bool TMainForm::TableCommandEnabled(int command) const {
  switch (command) {
    case tcHide:
    case tcUnhide:
      return Experiment.DataLoaded && Experiment.StageExists(stRaw);
    case tcChop:
      return Pages.ActivePageIndex() == pgScheme;
    case tcPaste:
      return ws_.HasClipboardText();
    default:
      return true;
  }
}

void TMainForm::TablePopupClick(int index) {
  if (index < 0 || index >= static_cast<int>(TablePopup.Items().size())) return;
  const Menu::Item& item = TablePopup.Items()[index];
  if (item.enabled && item.tag != 0) RunTableCommand(item.tag);
}

TKelvarisGrid* TMainForm::TableCommandGrid() {
  if (menuGrid_) return menuGrid_;
  if (Pages.ActivePageIndex() == pgScheme) return &SampleGrid;
  if (Pages.ActivePageIndex() == pgCompound) return &InjAnalyteGrid;
  return nullptr;
}

void TMainForm::GridControlKey(TKelvarisGrid&, int& key, unsigned) {
  if (key == kBoldKey) {
    BoldSelectedInjections();
    return;
  }
  for (const TableItem& item : kTableItems)
    if (item.key != 0 && item.key == key) {
      // The menu's shortcuts work whether or not the menu is open.
      if (TableCommandEnabled(item.command)) RunTableCommand(item.command);
      return;
    }
}

void TMainForm::RunTableCommand(int command) {
  switch (command) {
    case tcReorder:
      ReorderItemClick();
      return;
    case tcHide:
      HideSelectedInjections(true);
      return;
    case tcUnhide:
      HideSelectedInjections(false);
      return;
    case tcUnits:
    case tcChop:
      // The units and cutting dialogs open from here once they exist.
      return;
    default:
      break;
  }
  TKelvarisGrid* grid = TableCommandGrid();
  if (!grid) return;
  if (command == tcFill) grid->FillDown();
  if (command == tcCopy) grid->CopySelected(false);
  if (command == tcPaste) grid->PasteSelected();
}

namespace {

// Calls fn(col, row, injection) for every selected, unblocked data cell.
template <typename Fn>
void ForEachSelectedInjection(const TKelvarisGrid& grid, Fn fn) {
  const int rows = grid.RowCount() - 1;
  for (int col = 1; col < grid.ColCount(); ++col)
    for (int row = 1; row <= rows; ++row)
      if (grid.GetSelected(col, row) && !grid.GetBlocked(col, row)) fn(col, row, InjectionOfCell(col, row, rows));
}

}  // namespace

void TMainForm::HideSelectedInjections(bool hide) {
  TKelvarisGrid* grid = TableCommandGrid();
  if (!grid || !Experiment.StageExists(stRaw)) return;
  TCurveSet& raw = Experiment.Stage(stRaw);
  ForEachSelectedInjection(*grid, [&](int col, int row, int injection) {
    if (SampleGrid.InGrid(col, row)) SampleGrid.SetHidden(col, row, hide);
    if (InjAnalyteGrid.InGrid(col, row)) InjAnalyteGrid.SetBlocked(col, row, hide);
    for (int c = 0; c < raw.CurveCount; ++c) {
      if (Experiment.CurveInfo[c].Injection != injection) continue;
      if (hide)
        raw.CurveFlags[c] |= cfHiddenInjection;
      else
        raw.CurveFlags[c] &= ~cfHiddenInjection;
    }
  });
  RunChain(stRaw);
  grid->Invalidate();
  RefreshDataPage();
}

void TMainForm::BoldSelectedInjections() {
  TKelvarisGrid* grid = TableCommandGrid();
  if (!grid || !Experiment.StageExists(stRaw)) return;
  TCurveSet& raw = Experiment.Stage(stRaw);
  ForEachSelectedInjection(*grid, [&](int, int, int injection) {
    for (int c = 0; c < raw.CurveCount; ++c)
      if (Experiment.CurveInfo[c].Injection == injection) raw.CurveFlags[c] |= cfHighlighted;
  });
  RunChain(stRaw);
  grid->Invalidate();
  RefreshDataPage();
}

void TMainForm::ReorderItemClick() {
  const int n = Experiment.Stage(stRaw).CurveCount;
  if (n < 1 || !reorderDialog_) return;
  TReorderDialog& dialog = *reorderDialog_;
  dialog.Fill(Experiment.CurveInfo);
  if (ws_.ShowModal(dialog.Form) != ModalResult::Ok) return;
  int highest = 1;
  for (int c = 0; c < n; ++c) {
    Experiment.CurveInfo[c].Injection = dialog.NewInjection(c);
    Experiment.CurveInfo[c].FlowCell = dialog.NewFlowCell(c);
    highest = std::max(highest, Experiment.CurveInfo[c].FlowCell);
  }
  // A new flow cell number needs its entry in the ligand list.
  Experiment.ExtendLigands(highest);
  RefreshFlowCellSelectors();
  LayoutSampleTable();
  RunChain(stRaw);
  RefreshDataPage();
}

}  // namespace kelvaris

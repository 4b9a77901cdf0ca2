// The Data page's sample table and the Compnd page's analyte, ligand and
// injection-analyte tables, with the boxes and buttons around them.
#pragma once

#include <QWidget>

#include "app/main_form.h"

class QListWidget;
class QMenu;

namespace kelvaris::qt {

class GridWidget;

// A grid widget in a scroll area that follows the grid's size and visibility.
QWidget* GridArea(TKelvarisGrid& grid, QWidget* parent, GridWidget** widget = nullptr);

// Shows `menu` (bound to the table menu) when the grid asks for its
// context menu.
void ShowTableMenuFrom(TKelvarisGrid& grid, GridWidget* widget, QMenu* menu);

// Fills the Data page; the loaded-curve list goes below the sample table.
void BuildDataPage(TMainForm& form, QWidget* page, QListWidget* curveList, QMenu* tableMenu);
void BuildCompoundPage(TMainForm& form, QWidget* page, QMenu* tableMenu);
// The Zero page's window boxes and switch.
void BuildZeroPage(TMainForm& form, QWidget* page);
// The Crop page's window boxes, switch and point reduction.
void BuildCropPage(TMainForm& form, QWidget* page);
// The Align page's search window, switch and the "Set injection time" group.
void BuildAlignPage(TMainForm& form, QWidget* page);
// The Ref page: the reference flow cell, the subtraction mode, the jump's end.
void BuildReferencePage(TMainForm& form, QWidget* page);
// The Dmso page: the window, the mode and the standards file.
void BuildSolventPage(TMainForm& form, QWidget* page);
// The Blank page: the blank mode, "Remove" and "Add", the warning panel.
void BuildBlankPage(TMainForm& form, QWidget* page);
// The Bound page: the averaging window, "Calc", the warning panel.
void BuildBoundPage(TMainForm& form, QWidget* page);
// The Affinity page: the flow-cell tabs and the binding-curve graph, the fit
// switches, the results table and the percent-bound boxes.
void BuildAffinityPage(TMainForm& form, QWidget* page);
// The place of the source and result graphs on a processing page; null on
// other pages.
QWidget* StageGraphArea(QWidget* page);

}  // namespace kelvaris::qt

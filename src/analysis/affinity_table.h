// The affinity results table of one flow cell (KmGrid): one row per analyte
// of the analyte table, a second row for an analyte with two sites, and the
// narrow tick columns that set an analyte's options.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvaris {

class TExperiment;
class TKelvarisGrid;

inline constexpr int kAffinityPanelMinWidth = 280 + 47;  // screen units

// Row r (from 1) of the table shows analyte rows[r - 1].analyte, its second
// site when secondSite is set.
struct AffinityTableRow {
  int analyte = 0;
  bool secondSite = false;
};
std::vector<AffinityTableRow> AffinityTableRows(const TExperiment& e, int flowCell, int analyteCount);

// Fills the table: the columns "Name", "2", "@K^D", then "@% Bound" with calc
// bound and "Rmax", "L", "F" with allow local; names only while the flow
// cell's fit is off. analyteNames[k - 1] names analyte k. "*" cells are
// ticks (tick columns), "#" cells are blocked, and every column but "Rmax"
// is read-only.
void FillAffinityTable(TKelvarisGrid& grid, const TExperiment& e, int flowCell,
                       const std::vector<std::string>& analyteNames, bool noUnits);

// The width the grid needs: its columns plus 16.
int AffinityTableWidth(const TKelvarisGrid& grid);

// A click on a narrow column ("2", "L", "F") toggles the cell and with it
// the options of the analyte's raw curves on the flow cell; a click on the
// header sets every cell of the column, or clears them all when all are
// set. "#" cells do not react. True when an option changed: the caller
// rebuilds the table and reruns the chain from the Bound stage.
bool AffinityTableClick(TExperiment& e, const TKelvarisGrid& grid, int flowCell, int col, int row);

// A number typed into the "Rmax" column becomes the row's fixed local Rmax
// (1 when unreadable) on the analyte's raw curves.
void AffinityRmaxEdit(TExperiment& e, const TKelvarisGrid& grid, int flowCell, int row, std::string_view text);

}  // namespace kelvaris

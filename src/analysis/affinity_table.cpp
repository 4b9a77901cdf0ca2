#include "analysis/affinity_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

#include "analysis/affinity_entries.h"
#include "analysis/affinity_texts.h"
#include "model/experiment.h"
#include "model/numbers.h"
#include "table/kelvaris_grid.h"

namespace kelvaris {

namespace {

constexpr int kWide = 100, kNarrow = 20;
constexpr const char* kTick = "*";
constexpr const char* kInactive = "#";

// Where the columns are for the flow cell's options; -1 when absent.
struct Columns {
  int percent = -1, rmax = -1, local = -1, fitted = -1;
  int count = 3;
};
constexpr int kNameCol = 0, kSitesCol = 1, kKdCol = 2;

Columns ColumnsFor(const TLigand& l) {
  Columns c;
  if (l.CalcBound) c.percent = c.count++;
  if (l.AllowLocal) {
    c.rmax = c.count++;
    c.local = c.count++;
    c.fitted = c.count++;
  }
  return c;
}

const TLigand* Ligand(const TExperiment& e, int flowCell) {
  return flowCell >= 1 && flowCell < static_cast<int>(e.Ligands.size())
             ? &e.Ligands[static_cast<std::size_t>(flowCell)]
             : nullptr;
}

// The rows of a table filled earlier: as many as it has.
std::vector<AffinityTableRow> RowsOf(const TExperiment& e, int flowCell, const TKelvarisGrid& grid) {
  const std::size_t want = static_cast<std::size_t>(std::max(grid.RowCount() - 1, 0));
  std::vector<AffinityTableRow> rows;
  for (int k = 1; rows.size() < want; ++k) {
    rows.push_back({k, false});
    if (RawAffinityFlags(e, k, flowCell) & afTwoSites) rows.push_back({k, true});
  }
  rows.resize(want);
  return rows;
}

void SetHeaders(TKelvarisGrid& grid, const Columns& c) {
  auto header = [&](int col, const char* text, int width) {
    grid.SetCell(col, 0, text);
    grid.SetColWidth(col, width);
    grid.SetReadOnlyCol(col, col != c.rmax);
    grid.SetTickCol(col, width == kNarrow);
  };
  header(kNameCol, "Name", kWide);
  header(kSitesCol, "2", kNarrow);
  header(kKdCol, "@K^D", kWide);
  if (c.percent >= 0) header(c.percent, "@% Bound", kWide);
  if (c.rmax >= 0) {
    header(c.rmax, "Rmax", kWide);
    header(c.local, "L", kNarrow);
    header(c.fitted, "F", kNarrow);
  }
}

void SetMark(TKelvarisGrid& grid, int col, int row, const char* mark) {
  grid.SetCell(col, row, mark);
  grid.SetBlocked(col, row, std::string_view(mark) == kInactive);
}

// One row's results and option marks.
void FillRow(TKelvarisGrid& grid, const TExperiment& e, int flowCell, const Columns& c, int row,
             const AffinityTableRow& r, bool noUnits) {
  const int flags = RawAffinityFlags(e, r.analyte, flowCell);
  const bool two = flags & afTwoSites;
  const std::array<std::string, 4> texts = AffinityTexts(e, r.analyte, flowCell, noUnits);
  const std::array<std::string, 2> rmax = RmaxTexts(e, r.analyte, flowCell);
  const int site = r.secondSite ? 1 : 0;
  if (two) SetMark(grid, kSitesCol, row, r.secondSite ? kInactive : kTick);
  grid.SetCell(kKdCol, row, texts[static_cast<std::size_t>(site)]);
  if (c.percent >= 0) {
    const std::string& p = texts[static_cast<std::size_t>(2 + site)];
    // With two sites only the tighter one has a percentage; the brackets say which.
    grid.SetCell(c.percent, row, two && p != kNotComputed ? "[ " + p + " ]" : p);
  }
  if (c.rmax < 0) return;
  grid.SetCell(c.rmax, row, rmax[static_cast<std::size_t>(site)]);
  const int local = r.secondSite ? afRmax2Local : afRmax1Local;
  const int fitted = r.secondSite ? afRmax2Fitted : afRmax1Fitted;
  if (flags & local) SetMark(grid, c.local, row, kTick);
  if (r.secondSite && !(flags & local))
    SetMark(grid, c.fitted, row, kInactive);
  else if ((flags & local) && (flags & fitted))
    SetMark(grid, c.fitted, row, kTick);
}

enum class Toggle { Sites, Local, Fitted };

bool HasCurves(const TExperiment& e, int analyte, int flowCell) {
  for (const TCurveInfo& info : e.CurveInfo)
    if (info.FlowCell == flowCell && info.Analyte == analyte) return true;
  return false;
}

// Whether a cell of the column can show a tick for the row's options.
bool CanSet(const TExperiment& e, int flowCell, Toggle kind, const AffinityTableRow& r) {
  if (!HasCurves(e, r.analyte, flowCell)) return false;
  const int flags = RawAffinityFlags(e, r.analyte, flowCell);
  switch (kind) {
    case Toggle::Sites: return !r.secondSite;
    case Toggle::Local: return true;
    case Toggle::Fitted: return (flags & (r.secondSite ? afRmax2Local : afRmax1Local)) != 0;
  }
  return false;
}

int Toggled(Toggle kind, bool second, bool on, int flags) {
  switch (kind) {
    case Toggle::Sites: return on ? flags | afTwoSites : flags & ~afRmax2Mask;
    case Toggle::Local: {
      const int bits = second ? afRmax2Local | afRmax2Fitted : afRmax1Local | afRmax1Fitted;
      return on ? flags | bits : flags & ~bits;
    }
    case Toggle::Fitted: {
      const int local = second ? afRmax2Local : afRmax1Local, fitted = second ? afRmax2Fitted : afRmax1Fitted;
      return on && (flags & local) ? flags | fitted : flags & ~fitted;
    }
  }
  return flags;
}

// Applies a toggle to every raw curve of the row's analyte on the flow cell.
bool Apply(TExperiment& e, int flowCell, Toggle kind, const AffinityTableRow& r, bool on) {
  bool changed = false;
  for (TCurveInfo& info : e.CurveInfo) {
    if (info.FlowCell != flowCell || info.Analyte != r.analyte) continue;
    const int flags = Toggled(kind, r.secondSite, on, info.AffinityFlags);
    const bool dropSecond = kind == Toggle::Sites && !on && info.BoundValue2 != 0;
    changed = changed || flags != info.AffinityFlags || dropSecond;
    info.AffinityFlags = flags;
    if (kind == Toggle::Sites && !on) info.BoundValue2 = 0;
  }
  return changed;
}

bool ToggleKind(const std::string& header, Toggle& kind) {
  if (header == "2") kind = Toggle::Sites;
  else if (header == "L") kind = Toggle::Local;
  else if (header == "F") kind = Toggle::Fitted;
  else return false;
  return true;
}

}  // namespace

std::vector<AffinityTableRow> AffinityTableRows(const TExperiment& e, int flowCell, int analyteCount) {
  std::vector<AffinityTableRow> rows;
  for (int k = 1; k <= analyteCount; ++k) {
    rows.push_back({k, false});
    if (RawAffinityFlags(e, k, flowCell) & afTwoSites) rows.push_back({k, true});
  }
  return rows;
}

void FillAffinityTable(TKelvarisGrid& grid, const TExperiment& e, int flowCell,
                       const std::vector<std::string>& analyteNames, bool noUnits) {
  const TLigand* ligand = Ligand(e, flowCell);
  const Columns c = ligand ? ColumnsFor(*ligand) : Columns{};
  const std::vector<AffinityTableRow> rows =
      AffinityTableRows(e, flowCell, static_cast<int>(analyteNames.size()));
  grid.ClearAll();
  grid.SetColCount(c.count);
  grid.SetRowCount(1 + static_cast<int>(rows.size()));
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  SetHeaders(grid, c);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    if (!rows[i].secondSite) grid.SetCell(kNameCol, row, analyteNames[static_cast<std::size_t>(rows[i].analyte - 1)]);
    if (ligand && ligand->FitOn) FillRow(grid, e, flowCell, c, row, rows[i], noUnits);
  }
}

int AffinityTableWidth(const TKelvarisGrid& grid) {
  int w = 0;
  for (int col = 0; col < grid.ColCount(); ++col) w += grid.ColWidth(col);
  return w + 16;
}

bool AffinityTableClick(TExperiment& e, const TKelvarisGrid& grid, int flowCell, int col, int row) {
  const TLigand* ligand = Ligand(e, flowCell);
  Toggle kind{};
  if (!ligand || !ligand->FitOn || !grid.InGrid(col, row) || std::abs(grid.ColWidth(col) - kNarrow) > 2 ||
      !ToggleKind(grid.Cell(col, 0), kind))
    return false;
  const std::vector<AffinityTableRow> rows = RowsOf(e, flowCell, grid);
  if (row > 0) {
    const std::size_t i = static_cast<std::size_t>(row - 1);
    if (i >= rows.size() || grid.Cell(col, row) == kInactive) return false;
    return Apply(e, flowCell, kind, rows[i], grid.Cell(col, row) != kTick);
  }
  // The header: all on, unless all that can be on already are.
  bool all = true;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int r = static_cast<int>(i) + 1;
    if (grid.Cell(col, r) == kInactive) continue;
    if (CanSet(e, flowCell, kind, rows[i]) && grid.Cell(col, r) != kTick)
      all = false;
  }
  bool changed = false;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (grid.Cell(col, static_cast<int>(i) + 1) != kInactive && CanSet(e, flowCell, kind, rows[i]))
      changed = Apply(e, flowCell, kind, rows[i], !all) || changed;
  return changed;
}

void AffinityRmaxEdit(TExperiment& e, const TKelvarisGrid& grid, int flowCell, int row, std::string_view text) {
  if (!Ligand(e, flowCell)) return;
  const std::vector<AffinityTableRow> rows = RowsOf(e, flowCell, grid);
  if (row < 1 || static_cast<std::size_t>(row) > rows.size()) return;
  const AffinityTableRow& r = rows[static_cast<std::size_t>(row - 1)];
  const double value = ParseNumber(text, 1);
  for (TCurveInfo& info : e.CurveInfo) {
    if (info.FlowCell != flowCell || info.Analyte != r.analyte) continue;
    if (r.secondSite) {
      info.BoundValue2 = value;
      info.AffinityFlags = (info.AffinityFlags | afRmax2Local) & ~afRmax2Fitted;
    } else {
      info.BoundValue = value;
      info.AffinityFlags = (info.AffinityFlags | afRmax1Local) & ~afRmax1Fitted;
    }
  }
}

}  // namespace kelvaris

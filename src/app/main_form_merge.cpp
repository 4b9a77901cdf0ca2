// Merging: the loaded curves and their sample and analyte cells are set
// aside before a file is read in merge mode, and joined ahead of the new
// file's curves once it has been read.
#include <algorithm>
#include <new>

#include "app/main_form.h"
#include "model/sample_layout.h"

namespace kelvaris {

TMainForm::SetAside TMainForm::SetAsideForMerge() {
  SetAside old;
  SampleGrid.ClearSelection();
  InjAnalyteGrid.ClearSelection();
  old.cells = CollectLayoutCells();
  for (int r = 1; r < CompoundGrid.RowCount(); ++r) {
    old.compounds.push_back(CompoundGrid.Cell(1, r));
    old.compounds.push_back(CompoundGrid.Cell(2, r));
  }
  old.raw = std::move(Experiment.Stage(stRaw));
  Experiment.Stage(stRaw) = TCurveSet{};
  old.info = std::move(Experiment.CurveInfo);
  Experiment.CurveInfo.clear();
  return old;
}

void TMainForm::MergeSetAside(SetAside&& old) {
  const int oldCompounds = static_cast<int>(old.compounds.size() / 2);
  int oldMaxInjection = 0;
  for (const auto& info : old.info) oldMaxInjection = std::max(oldMaxInjection, info.Injection);

  // The new file's cells and compounds follow the old ones.
  std::vector<LayoutCell> cells = std::move(old.cells);
  for (LayoutCell cell : CollectLayoutCells()) {
    cell.injection += oldMaxInjection;
    const int analyte = ReadWholeNumber(cell.analyte);
    if (analyte > 0) cell.analyte = std::to_string(analyte + oldCompounds);
    cells.push_back(std::move(cell));
  }
  std::vector<std::string> compounds = std::move(old.compounds);
  for (int r = 1; r < CompoundGrid.RowCount(); ++r) {
    compounds.push_back(CompoundGrid.Cell(1, r));
    compounds.push_back(CompoundGrid.Cell(2, r));
  }

  // The merged raw stage: the old curves first, then the new ones.
  const TCurveSet& fresh = Experiment.Stage(stRaw);
  const int nOld = old.raw.CurveCount;
  const int nNew = fresh.CurveCount;
  TCurveSet merged;
  std::vector<TCurveInfo> info;
  try {
    merged.Allocate(nOld + nNew, std::max(old.raw.Capacity, fresh.Capacity));
    info.assign(nOld + nNew, TCurveInfo{});
  } catch (const std::bad_alloc&) {
    ws_.MessageBox("Bad allocation request", "New Sens", MsgButtons::Ok, MsgIcon::Warning);
    return;  // the new file's curves stay, alone
  }
  auto copyCurve = [&](const TCurveSet& from, const std::vector<TCurveInfo>& fromInfo, int c, int to,
                       int injectionOffset) {
    const int n = from.PointCount[c];
    std::copy_n(from.TimeOf(c), n, merged.TimeOf(to));
    std::copy_n(from.ResponseOf(c), n, merged.ResponseOf(to));
    std::copy_n(from.FlagsOf(c), n, merged.FlagsOf(to));
    merged.PointCount[to] = n;
    merged.CurveFlags[to] = from.CurveFlags[c];
    merged.SourceCurve[to] = to;
    info[to].FlowCell = fromInfo[c].FlowCell;
    info[to].Injection = fromInfo[c].Injection + injectionOffset;
    info[to].Concentration = fromInfo[c].Concentration;
  };
  for (int c = 0; c < nOld; ++c) copyCurve(old.raw, old.info, c, c, 0);
  for (int c = 0; c < nNew; ++c) copyCurve(fresh, Experiment.CurveInfo, c, nOld + c, oldMaxInjection);
  int highestFlowCell = 1;
  for (const auto& i : info) highestFlowCell = std::max(highestFlowCell, i.FlowCell);
  Experiment.InstallRawStage(std::move(merged), std::move(info));
  // The old curves may use flow cells the new file does not have.
  Experiment.ExtendLigands(highestFlowCell);

  // Both layout grids keep their row count and take every cell.
  const int rows = std::max(SampleGrid.RowCount() - 1, 1);
  int m = 0;
  for (const auto& cell : cells) m = std::max(m, cell.injection);
  PrepareLayoutGrids(rows, ColumnsForInjections(m, rows));
  for (const LayoutCell& cell : cells) PlaceLayoutCell(cell);

  const int total = std::max(1, static_cast<int>(compounds.size() / 2));
  CompoundGrid.SetRowCount(total + 1);
  for (int r = 1; r <= total; ++r) {
    const std::size_t k = static_cast<std::size_t>(r - 1) * 2;
    CompoundGrid.SetCell(0, r, std::to_string(r));
    CompoundGrid.SetCell(1, r, k < compounds.size() ? compounds[k] : "Analyte " + std::to_string(r));
    CompoundGrid.SetCell(2, r, k + 1 < compounds.size() ? compounds[k + 1] : "");
    CompoundGrid.SetCell(3, r, "1");
  }
  CompoundUpDown.SetPosition(total);
  RebuildAnalyteList();
}

}  // namespace kelvaris

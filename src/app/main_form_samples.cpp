// The sample table on the Data page and the analyte and ligand tables on
// the Compnd page: how injections map to cells, what the cells mean for the
// curves, the colour schemes, and the layouts made after a load.
#include <algorithm>
#include <cctype>

#include "app/busy_scope.h"
#include "app/main_form.h"
#include "processing/bound_stage.h"
#include "model/numbers.h"
#include "model/sample_layout.h"

namespace kelvaris {

namespace {

constexpr int kMaxLayoutRows = 10000;
constexpr int kCompoundColourCol = 3;
constexpr int kLigandColourCol = 2;
// Flow-cell colours, in the order the ligand rows take them.
constexpr int kLigandPalette[15] = {3, 4, 2, 9, 1, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15};

std::string LowerCase(std::string s) {
  for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

int MaxInjection(const std::vector<TCurveInfo>& info) {
  int m = 0;
  for (const auto& i : info) m = std::max(m, i.Injection);
  return m;
}

}  // namespace

void TMainForm::CreateSampleTableControls() {
  for (TKelvarisGrid* grid : {&SampleGrid, &InjAnalyteGrid}) {
    grid->SetFixedRows(1);
    grid->SetFixedCols(1);
    grid->SetRowCount(11);
    grid->SetColCount(2);
    grid->SetVisible(false);
    grid->OnCellChange = [this](TKelvarisGrid& g, int c, int r, int, int, const std::string& o, const std::string& n) {
      SampleCellChange(g, c, r, o, n);
    };
    grid->OnControlKey = [this](TKelvarisGrid& g, int& key, unsigned shift) { GridControlKey(g, key, shift); };
    grid->OnContextMenu = [this](TKelvarisGrid& g, int, int) {
      menuGrid_ = &g;
      TablePopup.Popup();
    };
  }
  SampleGrid.SetAutoWidth(true);
  SampleGrid.OnSelectionChange = [this](TKelvarisGrid&, int c, int r) { SampleSelectionChange(c, r); };

  RowUpDown.SetRange(1, kMaxLayoutRows);
  RowUpDown.SetAssociate(&RowBox);
  RowUpDown.SetPosition(10);
  RowBox.SetText("10");
  RowBox.OnChange = [this] { RowBoxChange(); };
  StockConcBox.SetHint("Stock concentration of the dilution series");
  DilutionBox.SetHint("Dilution factor between steps");
  for (EditBox* box : {&StockConcBox, &DilutionBox})
    box->OnChange = [this, box] {
      if (Experiment.Busy) return;
      NumericBoxEdited(*box, pgScheme);
      Experiment.SampleTableEdited = true;
      SaveMethodButton.SetEnabled(true);
    };

  CompoundGrid.SetColCount(4);
  CompoundGrid.SetRowCount(2);
  CompoundGrid.SetFixedRows(1);
  CompoundGrid.SetFixedCols(1);
  CompoundGrid.SetDefaultColWidth(45);
  CompoundGrid.SetAutoWidth(true);  // names are wider than the numbers
  CompoundGrid.OnCellChange = [this](TKelvarisGrid&, int c, int r, int, int, const std::string& o,
                                     const std::string& n) {
    if (!Experiment.Busy) UndoList.RecordGrid(CompoundGrid, pgCompound, {r, c, r, c}, n, o, stScale);
    CompoundCellChange(c, r, n);
  };
  // Names and weights can be typed; the colour column cannot.
  CompoundGrid.OnMouseUp = [this](TKelvarisGrid& g, MouseButton button, unsigned, int x, int y) {
    if (button != MouseButton::Left) return;
    const int row = y / g.DefaultRowHeight();
    if (row < 1 || row >= g.RowCount()) return;
    g.SetEditingAllowed(x < g.ColWidth(0) + g.ColWidth(1) + g.ColWidth(2));
  };

  LigandGrid.SetColCount(3);
  LigandGrid.SetRowCount(2);
  LigandGrid.SetFixedRows(1);
  LigandGrid.SetFixedCols(1);
  LigandGrid.SetAutoWidth(true);
  LigandGrid.OnCellChange = [this](TKelvarisGrid&, int c, int r, int, int, const std::string& o,
                                   const std::string& n) {
    // Flow-cell names change no curve: the entry recomputes nothing.
    if (!Experiment.Busy) UndoList.RecordGrid(LigandGrid, pgCompound, {r, c, r, c}, n, o, -1);
    LigandCellChange(c, r, n);
  };
  LigandGrid.OnMouseUp = [](TKelvarisGrid& g, MouseButton button, unsigned, int x, int y) {
    if (button != MouseButton::Left) return;
    const int row = y / g.DefaultRowHeight();
    if (row < 1 || row >= g.RowCount()) return;
    g.SetEditingAllowed(x < g.ColWidth(0) + g.ColWidth(1));
  };

  CompoundUpDown.SetRange(1, kMaxLayoutRows);
  CompoundUpDown.SetAssociate(&CompoundBox);
  CompoundUpDown.SetPosition(1);
  CompoundBox.SetText("1");
  CompoundBox.OnChange = [this] { CompoundBoxChange(); };
  LigandUpDown.SetRange(1, kMaxLayoutRows);
  LigandUpDown.SetAssociate(&LigandBox);
  LigandBox.OnChange = [this] {
    if (!Experiment.Busy) RefreshLigandTable();
  };
  AnalyteColorButton.SetHint("Colour curves by analyte");
  AnalyteColorButton.OnClick = [this] { AnalyteColorButtonClick(); };
  LigandColorButton.SetHint("Colour curves by flowcell");
  LigandColorButton.OnClick = [this] { LigandColorButtonClick(); };

  TablePopup.OnPopup = [this] { TablePopupPopup(); };
  TablePopup.OnClick = [this](int index) { TablePopupClick(index); };
}

void TMainForm::RegisterSampleTableControls() {
  for (Control* c : std::initializer_list<Control*>{
           &SampleGrid, &RowBox, &RowUpDown, &StockConcBox, &DilutionBox, &TablePopup, &InjAnalyteGrid,
           &CompoundGrid, &LigandGrid, &CompoundBox, &CompoundUpDown, &LigandBox, &LigandUpDown,
           &LigandLabel, &AnalyteColorButton, &LigandColorButton})
    Controls.Add(*c);
}

// --- reading the tables ---

double TMainForm::ConcentrationOfInjection(int injection) const {
  if (injection <= 0) return 0;
  const CellPosition p = InjectionCell(injection, SampleGrid.RowCount() - 1);
  if (!SampleGrid.InGrid(p.col, p.row)) return 0;
  return SampleCellValue(SampleGrid.Cell(p.col, p.row), StockConcBox.Text(), DilutionBox.Text());
}

void TMainForm::RefreshConcentrations() {
  for (auto& info : Experiment.CurveInfo) info.Concentration = ConcentrationOfInjection(info.Injection);
}

double TMainForm::ConcentrationOf(int curve) {
  if (SampleGrid.HasChanged()) RefreshConcentrations();
  if (curve < 0 || curve >= static_cast<int>(Experiment.CurveInfo.size())) return 0;
  return Experiment.CurveInfo[curve].Concentration;
}

double TMainForm::ConcentrationOfSample(int injection) {
  if (SampleGrid.HasChanged()) RefreshConcentrations();
  return SampleConcentration(Experiment, injection);
}

int TMainForm::AnalyteOf(int injection) const {
  if (injection <= 0) return 0;
  const CellPosition p = InjectionCell(injection, InjAnalyteGrid.RowCount() - 1);
  if (!InjAnalyteGrid.InGrid(p.col, p.row)) return 0;
  return ReadWholeNumber(InjAnalyteGrid.Cell(p.col, p.row));
}

void TMainForm::UpdateAnalyteNumbers() {
  for (auto& info : Experiment.CurveInfo) info.Analyte = AnalyteOf(info.Injection);
}

// --- colours ---

void TMainForm::ApplyColours() {
  if (!Experiment.DataLoaded || !Experiment.StageExists(stRaw)) return;
  TCurveSet& raw = Experiment.Stage(stRaw);
  auto setColour = [&](int c, int colour) {
    raw.CurveFlags[c] = (raw.CurveFlags[c] & ~cfColourMask) | (static_cast<TCurveFlags>(colour) & cfColourMask);
  };
  if (AnalyteColour == acByNumber) {
    for (int c = 0; c < raw.CurveCount; ++c) {
      const int analyte = Experiment.CurveInfo[c].Analyte;
      if (analyte >= 1 && analyte < CompoundGrid.RowCount())
        setColour(c, ReadWholeNumber(CompoundGrid.Cell(kCompoundColourCol, analyte)));
    }
  } else if (AnalyteColour == acByConcentration) {
    std::vector<double> seen;
    for (int c = 0; c < raw.CurveCount; ++c) {
      if (raw.CurveFlags[c] & cfHiddenInjection) continue;
      const double conc = Experiment.CurveInfo[c].Concentration;
      auto it = std::find(seen.begin(), seen.end(), conc);
      const int i = static_cast<int>(it - seen.begin());
      if (it == seen.end()) seen.push_back(conc);
      setColour(c, i % 15 + 1);
    }
  } else if (LigandColour == lcByFlowCell) {
    for (int c = 0; c < raw.CurveCount; ++c) {
      const int fc = Experiment.CurveInfo[c].FlowCell;
      setColour(c, fc >= 0 && fc < static_cast<int>(Experiment.Ligands.size()) ? Experiment.Ligands[fc].Colour : 1);
    }
  } else {
    for (int c = 0; c < raw.CurveCount; ++c) setColour(c, 1);
  }
  for (int s = stData; s <= stKinetics; ++s) {
    if (!Experiment.StageExists(s)) continue;
    TCurveSet& set = Experiment.Stage(s);
    for (int c = 0; c < set.CurveCount; ++c) {
      const int src = set.SourceCurve[c];
      if (src < 0 || src >= raw.CurveCount) continue;
      set.CurveFlags[c] = (set.CurveFlags[c] & ~cfColourMask) | (raw.CurveFlags[src] & cfColourMask);
    }
  }
}

void TMainForm::WriteAnalyteColourCodes() {
  for (int r = 1; r < CompoundGrid.RowCount(); ++r) {
    int code = AnalyteColour == acByNumber ? (r - 1) % 15 + 1 : AnalyteColour == acByConcentration ? 32 : 1;
    if (AnalyteColour == acBlack && LigandColour == lcByFlowCell) code |= 16;
    CompoundGrid.SetCell(kCompoundColourCol, r, std::to_string(code));
  }
}

void TMainForm::AnalyteColorButtonClick() {
  AnalyteColour = (AnalyteColour + 1) % 3;
  static const char* const captions[3] = {"Analytes black", "Analytes by number", "Analytes by concentration"};
  AnalyteColorButton.SetCaption(captions[AnalyteColour]);
  if (AnalyteColour != acBlack) {
    LigandColour = lcBlack;
    LigandColorButton.SetCaption("Flowcells black");
    RefreshLigandTable();
  }
  LigandColorButton.SetEnabled(AnalyteColour == acBlack);
  WriteAnalyteColourCodes();
  ApplyColours();
  RunChain(stRaw);
  if (Pages.ActivePageIndex() == pgCompound) CompoundGrid.Invalidate();
}

void TMainForm::LigandColorButtonClick() {
  if (AnalyteColour != acBlack) return;
  LigandColour = LigandColour == lcBlack ? lcByFlowCell : lcBlack;
  LigandColorButton.SetCaption(LigandColour == lcBlack ? "Flowcells black" : "Flowcells by colour");
  for (std::size_t r = 1; r < Experiment.Ligands.size(); ++r)
    Experiment.Ligands[r].Colour = LigandColour == lcBlack ? 1 : kLigandPalette[(r - 1) % 15];
  RefreshLigandTable();
  WriteAnalyteColourCodes();
  ApplyColours();
  RunChain(stRaw);
  if (Pages.ActivePageIndex() == pgCompound) LigandGrid.Invalidate();
}

// --- the analyte and ligand tables ---

void TMainForm::RebuildAnalyteList() {
  std::vector<std::string> items{"All analytes"};
  for (int r = 1; r < CompoundGrid.RowCount(); ++r) items.push_back(CompoundGrid.Cell(1, r));
  AnalyteListBox.SetItems(std::move(items));
  AnalyteListBox.SetItemIndex(0);
}

void TMainForm::SetAnalyteCount(int k) {
  BusyScope busy(Experiment);
  k = std::clamp(k, 1, kMaxLayoutRows);
  CompoundGrid.SetRowCount(k + 1);
  CompoundGrid.SetCell(1, 0, "Name");
  CompoundGrid.SetCell(2, 0, "MW");
  CompoundGrid.SetCell(3, 0, "Colour");
  for (int r = 1; r <= k; ++r) {
    CompoundGrid.SetCell(0, r, std::to_string(r));
    if (CompoundGrid.Cell(1, r).empty()) CompoundGrid.SetCell(1, r, "Analyte " + std::to_string(r));
  }
  WriteAnalyteColourCodes();
  CompoundUpDown.SetPosition(k);
  RebuildAnalyteList();
}

void TMainForm::SetAnalyteNames(const std::vector<std::string>& names) {
  const int n = std::max<int>(1, static_cast<int>(names.size()));
  CompoundGrid.SetRowCount(n + 1);
  for (int r = 1; r <= n; ++r) {
    const std::string name = r <= static_cast<int>(names.size()) ? names[r - 1] : "";
    CompoundGrid.SetCell(1, r, name.empty() ? "Analyte " + std::to_string(r) : name);
  }
  SetAnalyteCount(n);
}

void TMainForm::CompoundBoxChange() {
  if (Experiment.Busy) return;
  const int k = ReadWholeNumber(CompoundBox.Text());
  if (k < 1) {
    CompoundBox.SetText("1");  // comes back here with the corrected text
    return;
  }
  SetAnalyteCount(k);
  Experiment.SampleTableEdited = true;
}

void TMainForm::CompoundCellChange(int col, int row, const std::string& newText) {
  if (Experiment.Busy) return;
  if (col == 1 && row >= 1 && row < AnalyteListBox.Count()) {
    std::vector<std::string> items = AnalyteListBox.Items();
    items[row] = newText;
    const int keep = AnalyteListBox.ItemIndex();
    AnalyteListBox.SetItems(std::move(items));
    AnalyteListBox.SetItemIndex(keep);
    ScheduleRecompute(stResult);
  } else if (col == 2) {
    ScheduleRecompute(stScale);
  }
}

void TMainForm::RefreshLigandTable() {
  BusyScope busy(Experiment);
  if (Experiment.Ligands.empty()) {
    LigandGrid.SetRowCount(2);
    LigandGrid.ClearAll();
    LigandBox.SetText("");
    LigandLabel.SetCaption("Flowcells");
    return;
  }
  const int n = static_cast<int>(Experiment.Ligands.size()) - 1;
  int highest = 1;
  for (const auto& info : Experiment.CurveInfo) highest = std::max(highest, info.FlowCell);
  LigandGrid.SetRowCount(std::max(n, 1) + 1);
  LigandGrid.ClearAll();
  LigandGrid.SetCell(1, 0, "Name");
  LigandGrid.SetCell(kLigandColourCol, 0, "Colour");
  for (int r = 1; r <= n; ++r) {
    const TLigand& l = Experiment.Ligands[r];
    LigandGrid.SetCell(0, r, std::to_string(r));
    LigandGrid.SetCell(1, r, l.Name);
    LigandGrid.SetCell(kLigandColourCol, r, std::to_string(l.Colour));
  }
  LigandUpDown.SetRange(highest, kMaxLayoutRows);
  LigandUpDown.SetPosition(n);
  LigandBox.SetText(std::to_string(n));
  LigandLabel.SetCaption(Experiment.Ligands[0].Name + "s");
}

void TMainForm::LigandCellChange(int col, int row, const std::string& newText) {
  if (Experiment.Busy) return;
  Experiment.SampleTableEdited = true;
  // A new name is the flow cell's name everywhere it is shown.
  if (col == 1 && row >= 1 && row < static_cast<int>(Experiment.Ligands.size())) {
    Experiment.Ligands[row].Name = newText;
    RefreshFlowCellSelectors();
  }
}

// --- the layout grids ---

std::vector<TMainForm::LayoutCell> TMainForm::CollectLayoutCells() {
  std::vector<LayoutCell> cells;
  const int rows = SampleGrid.RowCount() - 1;
  for (int col = 1; col < SampleGrid.ColCount(); ++col)
    for (int row = 1; row <= rows; ++row) {
      if (SampleGrid.GetBlocked(col, row)) continue;
      LayoutCell cell;
      cell.injection = InjectionOfCell(col, row, rows);
      cell.sample = SampleGrid.Cell(col, row);
      cell.sampleFlags = SampleGrid.Flags(col, row) & ~gfSelected;
      if (InjAnalyteGrid.InGrid(col, row)) {
        cell.analyte = InjAnalyteGrid.Cell(col, row);
        cell.analyteFlags = InjAnalyteGrid.Flags(col, row) & ~gfSelected;
      } else {
        cell.analyte = "1";
      }
      cells.push_back(std::move(cell));
    }
  return cells;
}

void TMainForm::PrepareLayoutGrids(int rows, int dataColumns) {
  const int cols = std::max(dataColumns, 1) + 1;
  for (TKelvarisGrid* grid : {&SampleGrid, &InjAnalyteGrid}) {
    grid->SetRowCount(rows + 1);
    grid->SetColCount(cols);
    grid->ClearAll();
    for (int r = 1; r <= rows; ++r) grid->SetCell(0, r, std::to_string(r));
    for (int c = 1; c < cols; ++c) grid->SetCell(c, 0, ColumnLetters(c));
  }
  for (int c = 1; c < cols; ++c)
    for (int r = 1; r <= rows; ++r) InjAnalyteGrid.SetCell(c, r, "1");
}

void TMainForm::PlaceLayoutCell(const LayoutCell& cell) {
  const CellPosition p = InjectionCell(cell.injection, SampleGrid.RowCount() - 1);
  if (!SampleGrid.InGrid(p.col, p.row) || p.col < 1 || p.row < 1) return;
  SampleGrid.SetCell(p.col, p.row, cell.sample);
  SampleGrid.SetFlags(p.col, p.row, cell.sampleFlags);
  if (!InjAnalyteGrid.InGrid(p.col, p.row)) return;
  InjAnalyteGrid.SetCell(p.col, p.row, cell.analyte);
  InjAnalyteGrid.SetFlags(p.col, p.row, cell.analyteFlags);
}

void TMainForm::SyncAnalyteCells() {
  const int rows = std::min(SampleGrid.RowCount(), InjAnalyteGrid.RowCount());
  const int cols = std::min(SampleGrid.ColCount(), InjAnalyteGrid.ColCount());
  for (int col = 1; col < cols; ++col)
    for (int row = 1; row < rows; ++row) {
      const bool usable = !SampleGrid.GetBlocked(col, row) && !SampleGrid.GetHidden(col, row) &&
                          SampleCellValue(SampleGrid.Cell(col, row), StockConcBox.Text(), DilutionBox.Text()) >= 0;
      if (usable) {
        if (InjAnalyteGrid.GetBlocked(col, row)) {
          InjAnalyteGrid.SetBlocked(col, row, false);
          InjAnalyteGrid.SetCell(col, row, "1");
        }
      } else {
        InjAnalyteGrid.SetBlocked(col, row, true);
      }
    }
}

void TMainForm::LayoutSampleTable() {
  if (!Experiment.DataLoaded) return;
  BusyScope busy(Experiment);
  SampleGrid.SetVisible(true);
  InjAnalyteGrid.SetVisible(true);
  SampleGrid.ClearSelection();
  InjAnalyteGrid.ClearSelection();
  // Texts are kept by injection, so that a change of the row count or a
  // gap in the injection numbers moves no text to another injection.
  const std::vector<LayoutCell> cells = CollectLayoutCells();

  const int rows = std::max(LayoutRows(), 1);
  SampleGrid.SetRowCount(rows + 1);
  InjAnalyteGrid.SetRowCount(rows + 1);
  const int m = MaxInjection(Experiment.CurveInfo);
  if (m <= 0) return;
  std::vector<bool> present(static_cast<std::size_t>(m) + 1, false);
  for (const auto& info : Experiment.CurveInfo)
    if (info.Injection >= 1) present[info.Injection] = true;

  PrepareLayoutGrids(rows, ColumnsForInjections(m, rows));
  SampleGrid.SetColWidth(0, static_cast<int>(41 * LayoutScale));
  for (const LayoutCell& cell : cells)
    if (cell.injection >= 1 && cell.injection <= m) PlaceLayoutCell(cell);

  // Cells without a curve cannot be used.
  for (int col = 1; col < SampleGrid.ColCount(); ++col)
    for (int row = 1; row <= rows; ++row) {
      const int n = InjectionOfCell(col, row, rows);
      if (n <= m && present[n]) continue;
      SampleGrid.SetBlocked(col, row, true);
      InjAnalyteGrid.SetBlocked(col, row, true);
    }

  RefreshConcentrations();
  SyncAnalyteCells();

  TCurveSet& raw = Experiment.Stage(stRaw);
  for (int c = 0; c < raw.CurveCount; ++c) {
    const CellPosition p = InjectionCell(Experiment.CurveInfo[c].Injection, rows);
    if (!SampleGrid.InGrid(p.col, p.row) || p.col < 1 || SampleGrid.GetBlocked(p.col, p.row) ||
        SampleGrid.GetHidden(p.col, p.row))
      raw.CurveFlags[c] |= cfHiddenInjection;
  }
}

void TMainForm::FillConcentrationsFromData() {
  BusyScope busy(Experiment);
  const int rows = std::max(LayoutRows(), 1);
  const int m = MaxInjection(Experiment.CurveInfo);
  const int cols = std::max(ColumnsForInjections(m, rows) + 1, 2);
  for (TKelvarisGrid* grid : {&SampleGrid, &InjAnalyteGrid}) {
    grid->SetRowCount(rows + 1);
    grid->SetColCount(cols);
  }
  for (int c = 1; c < cols; ++c)
    for (int r = 1; r <= rows; ++r) InjAnalyteGrid.SetCell(c, r, "1");
  for (const auto& info : Experiment.CurveInfo) {
    if (info.Injection < 1) continue;
    const CellPosition p = InjectionCell(info.Injection, rows);
    SampleGrid.SetCell(p.col, p.row, LowerCase(FormatMolarExponent(info.Concentration)));
    // A cell that holds a concentration from the file is a real injection.
    SampleGrid.SetBlocked(p.col, p.row, false);
  }
}

void TMainForm::LayoutFromInjectionList(const std::vector<InjectionEntry>& injections,
                                        const std::vector<std::string>& analyteNames) {
  BusyScope busy(Experiment);
  constexpr int kRows = 12;
  RowUpDown.SetPosition(kRows);
  PrepareLayoutGrids(kRows, ColumnsForInjections(static_cast<int>(injections.size()), kRows));
  for (std::size_t i = 0; i < injections.size(); ++i) {
    const int col = static_cast<int>(i / kRows) + 1;
    const int row = static_cast<int>(i % kRows) + 1;
    SampleGrid.SetCell(col, row, injections[i].concentration);
    InjAnalyteGrid.SetCell(col, row, std::to_string(injections[i].analyte + 1));
  }
  SetAnalyteNames(analyteNames);
}

void TMainForm::LayoutFromRowAnalytes(int rows, int columns, const std::vector<int>& analytePerRow,
                                      const std::vector<std::string>& analyteNames) {
  BusyScope busy(Experiment);
  rows = std::clamp(rows, 1, kMaxLayoutRows);
  columns = std::max(columns, 1);
  RowUpDown.SetPosition(rows);
  PrepareLayoutGrids(rows, columns);
  for (const auto& info : Experiment.CurveInfo) {
    if (info.Injection < 1) continue;
    const CellPosition p = InjectionCell(info.Injection, rows);
    if (p.col > columns) continue;
    SampleGrid.SetCell(p.col, p.row, LowerCase(FormatMolarExponent(info.Concentration)));
    const int analyte = p.row - 1 < static_cast<int>(analytePerRow.size()) ? analytePerRow[p.row - 1] : 0;
    InjAnalyteGrid.SetCell(p.col, p.row, std::to_string(analyte + 1));
  }
  SetAnalyteNames(analyteNames);
}

void TMainForm::RowBoxChange() {
  if (Experiment.Busy) return;
  const int rows = ReadWholeNumber(RowBox.Text());
  if (rows >= 1 && rows <= kMaxLayoutRows && rows != RowUpDown.Position()) {
    BusyScope busy(Experiment);
    RowUpDown.SetPosition(rows);
  }
  LayoutSampleTable();
}

// --- edits in the grids ---

void TMainForm::SampleCellChange(TKelvarisGrid& grid, int col, int row, const std::string& oldText,
                                 const std::string& newText) {
  if (Experiment.Busy) return;
  Experiment.SampleTableEdited = true;
  SaveMethodButton.SetEnabled(true);
  // Undoing a sample cell recomputes from the Data stage, an analyte
  // layout cell from Zero.
  const bool samples = &grid == &SampleGrid;
  UndoList.RecordGrid(grid, samples ? pgScheme : pgCompound, {row, col, row, col}, newText, oldText,
                      samples ? stData : stZero);
}

void TMainForm::ApplySampleTableEdits() {
  if (Experiment.SampleTableEdited) RefreshConcentrations();
  if (SampleGrid.HasChanged()) SyncAnalyteCells();
}

void TMainForm::SampleSelectionChange(int col, int row) {
  if (col < 1 || row < 1 || !Experiment.StageExists(stData)) return;
  const int injection = InjectionOfCell(col, row, SampleGrid.RowCount() - 1);
  const bool on = SampleGrid.GetSelected(col, row);
  TCurveSet& data = Experiment.Stage(stData);
  for (int c = 0; c < data.CurveCount; ++c) {
    if (Experiment.InfoOf(stData, c).Injection != injection) continue;
    if (on)
      data.CurveFlags[c] |= cfHighlighted;
    else
      data.CurveFlags[c] &= ~cfHighlighted;
  }
}

bool TMainForm::CheckAnalyteNumbers() {
  const int analytes = CompoundGrid.RowCount();
  for (int col = 1; col < InjAnalyteGrid.ColCount(); ++col)
    for (int row = 1; row < InjAnalyteGrid.RowCount(); ++row) {
      if (InjAnalyteGrid.GetBlocked(col, row)) continue;
      const int value = ReadWholeNumber(InjAnalyteGrid.Cell(col, row));
      const std::string label = CellLabel(col, row);
      std::string text;
      if (value < 1)
        text = "Table entry (" + label + ") should be at least 1";
      else if (value >= analytes)
        text = "Table entry (" + label + ") greater than number of analytes\nIncrease number of analytes in table on left";
      else
        continue;
      ws_.MessageBox(text, "Invalid analyte number", MsgButtons::Ok, MsgIcon::None);
      return false;
    }
  return true;
}

void TMainForm::ResetSampleTables() {
  BusyScope busy(Experiment);
  StockConcBox.SetText("");
  DilutionBox.SetText("");
  AnalyteColour = acBlack;
  LigandColour = lcBlack;
  AnalyteColorButton.SetCaption("Analytes black");
  LigandColorButton.SetCaption("Flowcells black");
  LigandColorButton.SetEnabled(true);
  CompoundGrid.SetRowCount(2);
  CompoundGrid.ClearAll();
  CompoundGrid.SetCell(1, 1, "Analyte 1");
  SetAnalyteCount(1);
  for (TKelvarisGrid* grid : {&SampleGrid, &InjAnalyteGrid}) {
    grid->ClearSelection();
    grid->ClearAll();
    grid->SetVisible(false);
  }
  for (int c = 1; c < InjAnalyteGrid.ColCount(); ++c)
    for (int r = 1; r < InjAnalyteGrid.RowCount(); ++r) InjAnalyteGrid.SetCell(c, r, "1");
  menuGrid_ = nullptr;
}

}  // namespace kelvaris

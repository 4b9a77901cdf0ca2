// The Affinity page: the steady-state fit of every flow cell, its settings
// under the flow-cell tabs, the results table and the binding-curve graph.
#include "analysis/affinity_entries.h"
#include "analysis/affinity_stage.h"
#include "analysis/affinity_table.h"
#include "app/busy_scope.h"
#include "app/main_form.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

// AffinityFlags: local and fitted Rmax of both sites.
constexpr int kLocalBits = afRmax1Fitted | afRmax2Fitted | afRmax1Local | afRmax2Local;

}  // namespace

void TMainForm::CreateAffinityControls() {
  FitFcTab.OnChange = [this] { FitFcTabChange(); };
  FitCheck.SetCaption("Fit");
  FitCheck.OnClick = [this] { FitCheckClick(); };
  FloatCheck.SetCaption("Fit");
  FloatCheck.SetChecked(true);
  FloatCheck.OnClick = [this] { FloatCheckClick(); };
  Rmax1Box.OnChange = [this] { Rmax1BoxChange(); };
  Rmax1Box.OnKeyPress = [this](char key) { NumericBoxKey(Rmax1Box, pgFit, key); };
  IndependentCheck.SetCaption("Allow local");
  IndependentCheck.OnClick = [this] { IndependentCheckClick(); };
  CalcBoundCheck.SetCaption("Calc % Bound");
  CalcBoundCheck.OnClick = [this] { CalcBoundCheckClick(); };
  DrugBox.SetText("10uM");
  ProteinBox.SetText("680uM");
  DrugBox.OnChange = [this] { DrugProteinBoxChange(DrugBox); };
  ProteinBox.OnChange = [this] { DrugProteinBoxChange(ProteinBox); };
  NormalizeAffinityCheck.SetCaption("Show as % max");
  NormalizeAffinityCheck.OnClick = [this] { NormalizeAffinityCheckClick(); };
  FitWarningPanel.SetCaption("Warning");
  FitWarningPanel.SetVisible(false);
  KmGrid.SetColCount(3);
  KmGrid.SetRowCount(2);
  KmGrid.OnMouseUp = [this](TKelvarisGrid&, MouseButton button, unsigned, int x, int y) {
    if (button == MouseButton::Left) KmGridMouseUp(x, y);
  };
  KmGrid.OnCellChange = [this](TKelvarisGrid&, int col, int row, int, int, const std::string&,
                               const std::string& newText) { KmGridCellChange(col, row, newText); };
  FitPlot.OnDoubleClick = [this](TPlot& plot, int closest) {
    BindingGraphHint(plot, stAffinity, closest);
    return true;
  };
  for (Control* c : std::initializer_list<Control*>{&FitFcTab, &FitCheck, &FloatCheck, &Rmax1Box, &IndependentCheck,
                                                      &CalcBoundCheck, &DrugBox, &ProteinBox, &NormalizeAffinityCheck,
                                                      &KmGrid, &FitWarningPanel, &FitWarningLabel})
    Controls.Add(*c);
}

void TMainForm::ResetAffinityControls() {
  BusyScope busy(Experiment);
  FitFcTab.SetPages({});
  FitCheck.SetChecked(false);
  FloatCheck.SetChecked(true);
  Rmax1Box.SetText("");
  IndependentCheck.SetChecked(false);
  CalcBoundCheck.SetChecked(false);
  DrugBox.SetText("10uM");
  ProteinBox.SetText("680uM");
  NormalizeAffinityCheck.SetChecked(false);
  KmGrid.ClearAll();
  KmGrid.SetColCount(3);
  KmGrid.SetRowCount(2);
  KmGrid.SetCell(0, 1, "Analyte 1");
  affinityWarnings_.clear();
  SetWarning(FitWarningPanel, FitWarningLabel, "");
}

void TMainForm::RunAffinityStage() {
  ws_.SetCursor(crStageFirst + 8);  // the Affinity stage's busy cursor
  AffinitySettings settings;
  settings.SelectedFlowCell = AffinityFlowCell();
  settings.AnalyteCount = std::max(CompoundGrid.RowCount() - 1, 0);
  settings.ShowAsPercent = NormalizeAffinityCheck.Checked();
  settings.ReferenceCell = ReferenceItemIndex();
  const AffinityResult result = kelvaris::RunAffinityStage(Experiment, settings);
  affinityWarnings_ = result.Warnings;
  ws_.SetCursor(crDefault);
  if (result.Failed) {
    ws_.MessageBox(result.Message, "Error", MsgButtons::Ok, MsgIcon::Warning);
    BusyScope busy(Experiment);
    FitCheck.SetChecked(false);
  }
  // The stage keeps the switch: on while some flow cell's fit is.
  Pages.SetPageCaption(pgFit, Experiment.Switches.Affinity ? "AFFINITY" : "Affinity");
}

void TMainForm::ShowAffinityPage() {
  // One tab per flow cell.
  std::vector<std::string> tabs;
  for (std::size_t f = 1; f < Experiment.Ligands.size(); ++f) tabs.push_back(Experiment.Ligands[f].Name);
  {
    BusyScope busy(Experiment);
    FitFcTab.SetPages(tabs);
  }
  const int f = AffinityFlowCell();
  const bool known = f < static_cast<int>(Experiment.Ligands.size());
  if (known) {
    TLigand& ligand = Experiment.Ligands[static_cast<std::size_t>(f)];
    BusyScope busy(Experiment);
    FitCheck.SetChecked(ligand.FitOn);
    FloatCheck.SetChecked(ligand.GlobalRmaxFitted);
    if (!Rmax1Box.Modified() || ligand.GlobalRmaxFitted) Rmax1Box.SetText(FormatNumber("", ligand.GlobalRmax));
    IndependentCheck.SetChecked(ligand.AllowLocal);
    CalcBoundCheck.SetChecked(ligand.CalcBound);
    DrugBox.SetText(ligand.DrugConcentration);
    ProteinBox.SetText(ligand.ProteinConcentration);
    DrugBox.SetVisible(ligand.CalcBound);
    ProteinBox.SetVisible(ligand.CalcBound);
    // The global Rmax only matters while some point uses it.
    const bool global = !ligand.FitOn || GlobalRmaxInUse(Experiment, f);
    Rmax1Box.SetEnabled(global);
    FloatCheck.SetEnabled(global);
    if (!global) {
      FloatCheck.SetChecked(false);
      ligand.GlobalRmaxFitted = 0;
    }
  }
  // The warning of the selected flow cell.
  std::string warning;
  if (!Experiment.Switches.Bound)
    warning = kAffinityNoBoundWarning;
  else if (f == ReferenceItemIndex())
    warning = kAffinityReferenceWarning;
  else if (f < static_cast<int>(affinityWarnings_.size()))
    warning = affinityWarnings_[static_cast<std::size_t>(f)];
  SetWarning(FitWarningPanel, FitWarningLabel, warning);

  // The table of the selected flow cell.
  std::vector<std::string> names;
  for (int row = 1; row < CompoundGrid.RowCount(); ++row)
    names.push_back(AnalyteName(row));
  if (known) {
    BusyScope busy(Experiment);
    FillAffinityTable(KmGrid, Experiment, f, names, AffinityNoUnits);
  }

  // The graph: the points of the selected flow cell, and the analyte filter.
  if (Experiment.StageExists(stAffinity)) {
    TCurveSet& set = Experiment.Stage(stAffinity);
    const int analyte = AnalyteListBox.ItemIndex();
    for (int c = 0; c < set.CurveCount && set.Capacity >= kAffinitySlots; ++c) {
      const std::uint32_t* flags = set.FlagsOf(c);
      const bool shown = static_cast<int>(flags[apFlowCell]) == f &&
                         (analyte <= 0 || static_cast<int>(flags[apAnalyte]) == analyte);
      TCurveFlags& curve = set.CurveFlags[static_cast<std::size_t>(c)];
      curve = shown ? (curve & ~cfHiddenInGraph) : (curve | cfHiddenInGraph);
    }
  }
  FitPlot.SetKdPlot(true);
  FitPlot.SetProperties(*StageGraphProps[static_cast<std::size_t>(
      GraphPropsStage(Experiment, pgFit, false, NormalizeAffinityCheck.Checked()))]);
  BindGraph(FitPlot, stAffinity);
  BuildLegend(FitPlot, stAffinity);
  FitPlot.SetPlotTitle(known ? Experiment.Ligands[static_cast<std::size_t>(f)].Name : "");
}

TLigand* TMainForm::SelectedAffinityLigand() {
  const int f = AffinityFlowCell();
  if (Experiment.Busy || f >= static_cast<int>(Experiment.Ligands.size())) return nullptr;
  return &Experiment.Ligands[static_cast<std::size_t>(f)];
}

void TMainForm::FitFcTabChange() {
  SetWarning(FitWarningPanel, FitWarningLabel, "");
  {
    BusyScope busy(Experiment);
    Rmax1Box.SetText("");
  }
  ShowAffinityPage();
}

void TMainForm::FitCheckClick() {
  TLigand* ligand = SelectedAffinityLigand();
  if (!ligand) return;
  const int f = AffinityFlowCell();
  const bool on = FitCheck.Checked();
  ligand->FitOn = on;
  // Stage 10 takes its fitted bits from these when the chain rebuilds it.
  for (TCurveInfo& info : Experiment.CurveInfo)
    if (info.FlowCell == f) info.AffinityFlags = on ? (info.AffinityFlags | afKd1Fitted) : (info.AffinityFlags & ~afKd1Fitted);
  UndoList.RecordCheck(FitCheck, pgFit, on, stAffinity);
  if (!Experiment.DataLoaded) return;
  RunChain(stAffinity);
  RefreshActivePage();
}

void TMainForm::FloatCheckClick() {
  TLigand* selected = SelectedAffinityLigand();
  if (!selected) return;
  TLigand& ligand = *selected;
  ligand.GlobalRmaxFitted = FloatCheck.Checked();
  if (ligand.FitOn && Experiment.DataLoaded) RunChain(stAffinity);
  RefreshActivePage();
}

void TMainForm::Rmax1BoxChange() {
  TLigand* selected = SelectedAffinityLigand();
  if (!selected || !Rmax1Box.Modified()) return;
  TLigand& ligand = *selected;
  ligand.GlobalRmax = ParseNumber(Rmax1Box.Text(), 1);
  ligand.GlobalRmaxFitted = 0;
  {
    BusyScope busy(Experiment);
    FloatCheck.SetChecked(false);
  }
  if (ligand.FitOn && Experiment.DataLoaded) ScheduleRecompute(stAffinity);
}

void TMainForm::IndependentCheckClick() {
  TLigand* selected = SelectedAffinityLigand();
  if (!selected) return;
  TLigand& ligand = *selected;
  ligand.AllowLocal = IndependentCheck.Checked();
  if (!ligand.AllowLocal)
    for (TCurveInfo& info : Experiment.CurveInfo)
      if (info.FlowCell == AffinityFlowCell()) info.AffinityFlags &= ~kLocalBits;
  CalcBoundCheckClick();
}

void TMainForm::CalcBoundCheckClick() {
  TLigand* selected = SelectedAffinityLigand();
  if (!selected) return;
  TLigand& ligand = *selected;
  ligand.CalcBound = CalcBoundCheck.Checked();
  if (ligand.FitOn && Experiment.DataLoaded) RunChain(stAffinity);
  RefreshActivePage();
}

void TMainForm::DrugProteinBoxChange(EditBox& box) {
  TLigand* selected = SelectedAffinityLigand();
  if (!selected || !box.Modified()) return;
  TLigand& ligand = *selected;
  (&box == &DrugBox ? ligand.DrugConcentration : ligand.ProteinConcentration) = box.Text();
  if (ligand.CalcBound) RefreshActivePage();
}

void TMainForm::NormalizeAffinityCheckClick() {
  if (Experiment.Busy) return;
  if (Experiment.DataLoaded) RunChain(stAffinity);
  RefreshActivePage();
}

void TMainForm::KmGridMouseUp(int x, int y) {
  int col = -1, row = -1;
  const int f = AffinityFlowCell();
  if (!KmGrid.CellAt(x, y, col, row) || f >= static_cast<int>(Experiment.Ligands.size())) return;
  // The table decides which cells react (the narrow tick columns).
  if (!AffinityTableClick(Experiment, KmGrid, f, col, row)) return;
  if (Experiment.DataLoaded) RunChain(stBound);
  RefreshActivePage();
}

void TMainForm::KmGridCellChange(int col, int row, const std::string& newText) {
  const int f = AffinityFlowCell();
  if (Experiment.Busy || f >= static_cast<int>(Experiment.Ligands.size()) || !KmGrid.InGrid(col, 0) ||
      KmGrid.Cell(col, 0) != "Rmax")
    return;
  AffinityRmaxEdit(Experiment, KmGrid, f, row, newText);
  if (Experiment.DataLoaded) ScheduleRecompute(stAffinity);
}

}  // namespace kelvaris

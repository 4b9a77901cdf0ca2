// The Compnd page's scaling and the Bound page: the amount bound in a time
// window and the binding-curve graph.
#include "app/busy_scope.h"
#include "app/main_form.h"
#include "model/numbers.h"
#include "processing/bound_stage.h"
#include "processing/scale_stage.h"

namespace kelvaris {

namespace {

constexpr int kAnalyteMwCol = 2;

}  // namespace

// --- scaling ---

void TMainForm::CreateScaleControls() {
  ScaleCheck.SetCaption("Multiply by");
  ScaleBox.SetText("100");
  DivideMWCheck.SetCaption("Divide by MW");
  ScaleCheck.OnClick = [this] { ScaleCheckClick(); };
  DivideMWCheck.OnClick = [this] { ScaleCheckClick(); };
  ScaleBox.OnChange = [this] {
    // The chain runs from the start when the page is left.
    if (!Experiment.Busy && ScaleBox.Modified()) Experiment.ScaleFactorEdited = true;
  };
  ScaleBox.OnKeyPress = [this](char key) { NumericBoxKey(ScaleBox, pgCompound, key); };
  for (Control* c : std::initializer_list<Control*>{&ScaleCheck, &ScaleBox, &DivideMWCheck}) Controls.Add(*c);
}

void TMainForm::ResetScaleControls() {
  BusyScope busy(Experiment);
  ScaleBox.SetText("100");
  ScaleCheck.SetChecked(false);
  DivideMWCheck.SetChecked(false);
}

void TMainForm::ScaleCheckClick() {
  Experiment.Switches.Scale = ScaleCheck.Checked();
  Experiment.Switches.DivideByMW = DivideMWCheck.Checked();
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  if (!Experiment.Switches.Scale && !Experiment.Switches.DivideByMW) Experiment.FreeStages(stScale);
  RunChain(stScale);
  RefreshActivePage();
}

void TMainForm::RunScaleStage() {
  UpdateAnalyteNumbers();
  if (!Experiment.Switches.Scale && !Experiment.Switches.DivideByMW) return;
  ScaleSettings settings;
  settings.Multiply = Experiment.Switches.Scale;
  settings.DivideByMw = Experiment.Switches.DivideByMW;
  const std::string factor = ScaleBox.Text();
  settings.FactorText = factor;
  for (int row = 1; row < CompoundGrid.RowCount(); ++row)
    settings.MwTexts.push_back(CompoundGrid.InGrid(kAnalyteMwCol, row) ? CompoundGrid.Cell(kAnalyteMwCol, row) : "");
  const ScaleResult result = ScaleStage(Experiment, settings);
  if (!result.Failed) return;
  ws_.SetCursor(crDefault);
  ws_.MessageBox(result.Message, "Error", MsgButtons::Ok, MsgIcon::Warning);
  {
    BusyScope busy(Experiment);
    ScaleCheck.SetChecked(false);
  }
  Experiment.Switches.Scale = false;
  Experiment.Switches.DivideByMW = false;
}

// --- the amount bound ---

void TMainForm::CreateBoundControls() {
  BoundCheck.SetCaption("Calc");
  BoundCheck.OnClick = [this] { BoundCheckClick(); };
  StartBoundBox.OnChange = [this] { WindowBoxChange(stBound, StartBoundBox); };
  StopBoundBox.OnChange = [this] { WindowBoxChange(stBound, StopBoundBox); };
  for (EditBox* box : {&StartBoundBox, &StopBoundBox})
    box->OnKeyPress = [this, box](char key) { NumericBoxKey(*box, pgBound, key); };
  BoundWarningPanel.SetCaption("Warning");
  BoundWarningPanel.SetVisible(false);
  for (Control* c : std::initializer_list<Control*>{&StartBoundBox, &StopBoundBox, &BoundCheck, &BoundWarningPanel,
                                                      &BoundWarningLabel})
    Controls.Add(*c);
}

void TMainForm::ResetBoundControls() {
  BusyScope busy(Experiment);
  StartBoundBox.SetText("");
  StopBoundBox.SetText("");
  BoundCheck.SetChecked(false);
  SetWarning(BoundWarningPanel, BoundWarningLabel, "");
}

void TMainForm::BoundCheckClick() {
  Experiment.Switches.Bound = BoundCheck.Checked();
  Pages.SetPageCaption(pgBound, Experiment.Switches.Bound ? "BOUND" : "Bound");
  if (!Experiment.Busy) UndoList.RecordCheck(BoundCheck, pgBound, BoundCheck.Checked(), stBound);
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  if (!Experiment.Switches.Bound) Experiment.FreeStages(stBound);
  RunChain(stBound);
  RefreshActivePage();
}

void TMainForm::RunBoundStage() {
  // A run without samples switched the stage off but left "Calc" checked;
  // once samples are there the checked box counts again.
  if (BoundCheck.Checked()) Experiment.Switches.Bound = true;
  ws_.SetCursor(crStageFirst + 7);  // the Bound stage's busy cursor
  BoundSettings settings;
  const std::string start = StartBoundBox.Text(), stop = StopBoundBox.Text();
  settings.StartText = start;
  settings.StopText = stop;
  settings.ReferenceCell = ReferenceItemIndex();
  settings.AnalyteCount = std::max(CompoundGrid.RowCount() - 1, 0);
  settings.ColourByFlowCell = LigandColour == lcByFlowCell;
  const BoundResult result = BoundStage(Experiment, settings);
  {
    BusyScope busy(Experiment);
    if (result.Window.StartChanged) StartBoundBox.SetText(result.Window.StartText);
    if (result.Window.StopChanged) StopBoundBox.SetText(result.Window.StopText);
  }
  SetWarning(BoundWarningPanel, BoundWarningLabel, result.Warning);
  if (result.AffinityCleared) Pages.SetPageCaption(pgFit, "Affinity");
  if (result.Failed) {
    ws_.SetCursor(crDefault);
    ws_.MessageBox(result.Message, "Error", MsgButtons::Ok, MsgIcon::Warning);
    BusyScope busy(Experiment);
    BoundCheck.SetChecked(false);
  }
  ws_.SetCursor(crDefault);
}

void TMainForm::ShowBoundPage() {
  ShowStagePage(stBound);
  ToPlot.SetPlotTitle("Bound");
}

void TMainForm::BindingGraphHint(TPlot& plot, int stage, int closest) {
  if (!Experiment.StageExists(stage) || Experiment.Stage(stage).Capacity < 9 || closest < 0 ||
      closest >= Experiment.Stage(stage).CurveCount) {
    plot.SetHint("");
    return;
  }
  const TCurveSet& set = Experiment.Stage(stage);
  const int analyte = static_cast<int>(set.FlagsOf(closest)[2]);
  plot.SetHint(AnalyteName(analyte) + " (" + FormatMolar(set.TimeOf(closest)[0]) + ")");
}

}  // namespace kelvaris

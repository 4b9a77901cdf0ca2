// The Dmso page: the solvent correction's mode, its window, and the
// standards file.
#include <cstdio>

#include "app/busy_scope.h"
#include "app/main_form.h"
#include "import/file_bytes.h"
#include "model/numbers.h"
#include "processing/solvent_stage.h"
#include "processing/solvent_standards.h"
#include "model/sample_layout.h"

namespace kelvaris {

void TMainForm::CreateSolventControls() {
  DMSOGroup.SetItems({"None", "Linear fit", "Second order polynomial", "File"});
  DMSOGroup.SetItemIndex(0);
  DMSOGroup.OnClick = [this] { DMSOGroupClick(); };
  DMSOFileButton.SetCaption("...");
  DMSOFileButton.OnClick = [this] { DMSOFileButtonClick(); };
  DMSOFileBox.OnChange = [this] { DMSOFileBoxChange(); };
  StartDMSOBox.OnChange = [this] { WindowBoxChange(stSolvent, StartDMSOBox); };
  StopDMSOBox.OnChange = [this] { WindowBoxChange(stSolvent, StopDMSOBox); };
  for (EditBox* box : {&StartDMSOBox, &StopDMSOBox})
    box->OnKeyPress = [this, box](char key) { NumericBoxKey(*box, pgDmso, key); };
  for (Control* c : std::initializer_list<Control*>{&StartDMSOBox, &StopDMSOBox, &DMSOGroup, &DMSOFileBox,
                                                      &DMSOFileButton})
    Controls.Add(*c);
}

void TMainForm::ResetSolventControls() {
  BusyScope busy(Experiment);
  StartDMSOBox.SetText("");
  StopDMSOBox.SetText("");
  DMSOGroup.SetItemIndex(0);
  DMSOFileBox.SetText("");
  DMSOFileBox.SetEnabled(false);
}

void TMainForm::SwitchSolventOff() {
  {
    BusyScope busy(Experiment);
    DMSOGroup.SetItemIndex(0);
  }
  Experiment.Switches.Solvent = false;
  Pages.SetPageCaption(pgDmso, "Dmso");
  DMSOFileBox.SetEnabled(false);
}

void TMainForm::DMSOGroupClick() {
  const int mode = DMSOGroup.ItemIndex();
  Experiment.Switches.Solvent = mode > 0;
  DMSOFileBox.SetEnabled(mode == static_cast<int>(SolventMode::File));
  Pages.SetPageCaption(pgDmso, Experiment.Switches.Solvent ? "DMSO" : "Dmso");
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  if (Experiment.Switches.Solvent) {
    SolventSettings settings;
    settings.Mode = static_cast<SolventMode>(mode);
    settings.ReferenceCell = ReferenceCombo.ItemIndex();
    settings.InjectionEndText = InjEndBox.Text();
    const SolventStartCheck check = CheckSolventStart(Experiment, settings);
    if (!check.Ok()) {
      ws_.MessageBox(check.Message.Text, check.Message.Caption, MsgButtons::Ok, check.Message.Icon);
      SwitchSolventOff();
      if (check.ShowPageAgain) RefreshActivePage();
      return;
    }
    if (settings.Mode == SolventMode::File) {
      const std::string path = DMSOFileBox.Text();
      const bool loaded = !path.empty() && ws_.FileExists(path) && LoadStandardsFile(path);
      if (!loaded) {
        DMSOFileButtonClick();
        return;  // the dialog runs the chain when a file is chosen
      }
    } else {
      Experiment.SolventDegree = mode;
    }
  } else {
    Experiment.FreeStages(stSolvent);
  }
  RunChain(stSolvent);
  RefreshActivePage();
}

bool TMainForm::LoadStandardsFile(const std::string& path) {
  const FileBytes file = ReadFileBytes(path);
  const StandardsFile result =
      file.opened ? LoadStandards(Experiment, file.bytes, ReferenceCombo.ItemIndex()) : CouldNotOpenStandards();
  if (!result.Ok) {
    if (!result.Message.Empty())
      ws_.MessageBox(result.Message.Text, result.Message.Caption, MsgButtons::Ok, result.Message.Icon);
    return false;
  }
  BusyScope busy(Experiment);
  if (result.HasWindow) {
    StartDMSOBox.SetText(result.StartText);
    StopDMSOBox.SetText(result.StopText);
  }
  return true;
}

void TMainForm::DMSOFileButtonClick() {
  OpenDialogRequest request;
  request.title = "Open";
  request.filters = {{"Kelvaris files", "*.kvx"}, {"All files", "*.*"}};
  request.defaultExtension = "kvx";
  request.startFolder = OpenFolder;
  const std::string currentFolder = ws_.CurrentFolder();
  const OpenDialogResult chosen = ws_.OpenFileDialog(request);
  ws_.SetCurrentFolder(currentFolder);
  if (chosen.outcome != DialogOutcome::Accepted || chosen.path.empty()) {
    if (DMSOGroup.ItemIndex() == static_cast<int>(SolventMode::File) && !Experiment.StageExists(stSolvent))
      SwitchSolventOff();
    return;
  }
  {
    BusyScope busy(Experiment);
    DMSOFileBox.SetText(chosen.path);
  }
  if (!LoadStandardsFile(chosen.path)) {
    SwitchSolventOff();
    return;
  }
  {
    BusyScope busy(Experiment);
    DMSOGroup.SetItemIndex(static_cast<int>(SolventMode::File));
  }
  Experiment.Switches.Solvent = true;
  DMSOFileBox.SetEnabled(true);
  Pages.SetPageCaption(pgDmso, "DMSO");
  if (!Experiment.DataLoaded) return;
  RunChain(stSolvent);
  RefreshActivePage();
}

void TMainForm::DMSOFileBoxChange() {
  if (Experiment.Busy || !DMSOFileBox.Modified() || !ws_.FileExists(DMSOFileBox.Text())) return;
  if (!LoadStandardsFile(DMSOFileBox.Text())) {
    SwitchSolventOff();
    return;
  }
  {
    BusyScope busy(Experiment);
    DMSOGroup.SetItemIndex(static_cast<int>(SolventMode::File));
  }
  Experiment.Switches.Solvent = true;
  Pages.SetPageCaption(pgDmso, "DMSO");
  if (!Experiment.DataLoaded) return;
  RunChain(stSolvent);
  RefreshActivePage();
}

void TMainForm::RunSolventStage() {
  ws_.SetCursor(crStageFirst + 4);  // the solvent stage's busy cursor
  SolventSettings settings;
  settings.Mode = static_cast<SolventMode>(std::max(DMSOGroup.ItemIndex(), 0));
  if (!Experiment.Switches.Solvent) settings.Mode = SolventMode::None;
  settings.ReferenceCell = ReferenceCombo.ItemIndex();
  const std::string start = StartDMSOBox.Text(), stop = StopDMSOBox.Text(), end = InjEndBox.Text();
  settings.StartText = start;
  settings.StopText = stop;
  settings.InjectionEndText = end;
  settings.Despike = DespikeAction.Checked();
  const SolventResult result = SolventStage(Experiment, settings);
  {
    BusyScope busy(Experiment);
    if (result.Window.StartChanged) StartDMSOBox.SetText(result.Window.StartText);
    if (result.Window.StopChanged) StopDMSOBox.SetText(result.Window.StopText);
    // The box is the Ref page's too; while the correction is off its end
    // is the jump's alone.
    if (result.Window.InjectionEndChanged && Experiment.Switches.Solvent)
      InjEndBox.SetText(result.Window.InjectionEndText);
  }
  if (!result.Message.Empty())
    ws_.MessageBox(result.Message.Text, result.Message.Caption, MsgButtons::Ok, result.Message.Icon);
  if (result.SwitchOff()) {
    ws_.SetCursor(crDefault);
    SwitchSolventOff();
  } else if (result.Outcome == SolventOutcome::FitFailed) {
    ws_.SetCursor(crDefault);
  }
  StandardGraph.Invalidate();
}

void TMainForm::ShowSolventPage() {
  ShowStagePage(stSolvent);
  EnableReferenceControls();
  ToPlot.SetPlotTitle("Corrected");
  FromPlot.SetShowEndLine(true);
  FromPlot.SetEndLineTime(ParseNumber(InjEndBox.Text(), 0));
}

void TMainForm::PaintStandardGraph(Canvas& canvas) {
  StandardGraph.Paint(canvas, Experiment, Experiment.Switches.Solvent, FcListBox.ItemIndex());
}

void TMainForm::StandardGraphMouseMove(int x, int y) {
  const int k = StandardGraph.MarkerAt(x, y);
  StandardGraph.SetHighlighted(k >= 0 ? std::vector<int>{k} : std::vector<int>{});
  StandardGraphHint.clear();
  if (k < 0) return;
  const TStandardGraph::Marker& m = StandardGraph.Markers()[static_cast<std::size_t>(k)];
  if (m.injection < 1) return;  // a standard from a file names no sample
  const int rows = SampleGrid.RowCount() - 1;
  if (rows < 1) return;
  const CellPosition cell = InjectionCell(m.injection, rows);
  const std::string column = SampleGrid.InGrid(cell.col, 0) ? SampleGrid.Cell(cell.col, 0) : ColumnLetters(cell.col);
  const std::string row = SampleGrid.InGrid(0, cell.row) ? SampleGrid.Cell(0, cell.row) : std::to_string(cell.row);
  char hint[160];
  std::snprintf(hint, sizeof hint, "Sample %s%s Fc%d", column.c_str(), row.c_str(), m.cell);
  StandardGraphHint = hint;
}

void TMainForm::StandardGraphDblClick() {
  const std::vector<int> lit = StandardGraph.Highlighted();
  if (lit.empty() || !Experiment.Switches.Solvent) return;
  const int degree = SolventDegree(Experiment, static_cast<SolventMode>(std::max(DMSOGroup.ItemIndex(), 0)));
  for (int k : lit) {
    if (k < 0 || k >= static_cast<int>(StandardGraph.Markers().size())) continue;
    const TStandardGraph::Marker& m = StandardGraph.Markers()[static_cast<std::size_t>(k)];
    const StandardToggle toggle = ToggleStandardRejection(Experiment, m.cell, m.index, degree);
    if (!toggle.Message.Empty())
      ws_.MessageBox(toggle.Message.Text, toggle.Message.Caption, MsgButtons::Ok, toggle.Message.Icon);
  }
  StandardGraph.SetHighlighted({});
  RunChain(stSolvent);
  RefreshActivePage();
}

}  // namespace kelvaris

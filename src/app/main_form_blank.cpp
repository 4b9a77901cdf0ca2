// The Blank page: the blank subtraction's mode, the blanks graph and the
// removal and return of single blanks.
#include "app/busy_scope.h"
#include "app/main_form.h"
#include "graph/plot.h"
#include "processing/blank_stage.h"

namespace kelvaris {

void TMainForm::CreateBlankControls() {
  BlankGroup.SetCaption("Blanks");
  BlankGroup.SetItems({"None", "Closest", "Average", "Compound"});
  BlankGroup.SetItemIndex(0);
  BlankGroup.OnClick = [this] { BlankGroupClick(); };
  BlankRemoveButton.SetCaption("Remove");
  BlankRemoveButton.OnClick = [this] { BlankMarkClick(true); };
  BlankAddButton.SetCaption("Add");
  BlankAddButton.OnClick = [this] { BlankMarkClick(false); };
  BlankWarningPanel.SetCaption("Warning");
  BlankWarningPanel.SetVisible(false);
  for (Control* c : std::initializer_list<Control*>{&BlankGroup, &BlankRemoveButton, &BlankAddButton,
                                                      &BlankWarningPanel, &BlankWarningLabel})
    Controls.Add(*c);
}

void TMainForm::ResetBlankControls() {
  BusyScope busy(Experiment);
  BlankGroup.SetItemIndex(0);
  SetWarning(BlankWarningPanel, BlankWarningLabel, "");
}

void TMainForm::SetWarning(Panel& panel, Label& label, const std::string& text) {
  label.SetCaption(text);
  panel.SetVisible(!text.empty());
}

void TMainForm::SwitchBlankOff() {
  {
    BusyScope busy(Experiment);
    BlankGroup.SetItemIndex(0);
  }
  Experiment.Switches.Blank = false;
  Pages.SetPageCaption(pgBlank, "Blank");
}

void TMainForm::BlankGroupClick() {
  Experiment.Switches.Blank = BlankGroup.ItemIndex() > 0;
  Pages.SetPageCaption(pgBlank, Experiment.Switches.Blank ? "BLANK" : "Blank");
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  if (!Experiment.Switches.Blank) Experiment.FreeStages(stBlank);
  RunChain(stBlank);
  RefreshActivePage();
}

void TMainForm::BlankMarkClick(bool remove) {
  if (!Experiment.DataLoaded) return;
  const int source = Experiment.FindSourceStage(stBlank);
  const int selected = FromPlot.CurrCurve();
  if (selected < 0 || !Experiment.StageExists(source) || selected >= Experiment.Stage(source).CurveCount) {
    ws_.MessageBox("Select (double-click) a curve in the graph on the left", remove ? "Remove Error" : "Add Error",
                   MsgButtons::Ok, MsgIcon::None);
    return;
  }
  const int raw = Experiment.Stage(source).SourceCurve[static_cast<std::size_t>(selected)];
  if (raw >= 0 && raw < static_cast<int>(Experiment.CurveInfo.size()))
    Experiment.CurveInfo[static_cast<std::size_t>(raw)].BlankRemoved = remove ? 1 : 0;
  FromPlot.SetCurve(-1);
  RunChain(stBlank);
  RefreshActivePage();
}

void TMainForm::RunBlankStage() {
  if (!Experiment.Switches.Blank) return;
  ws_.SetCursor(crStageFirst + 5);  // the Blank stage's busy cursor
  BlankSettings settings;
  settings.Mode = static_cast<BlankMode>(std::max(BlankGroup.ItemIndex(), 0));
  settings.Despike = DespikeAction.Checked();
  const BlankResult result = BlankStage(Experiment, settings);
  if (result.HideWarning) SetWarning(BlankWarningPanel, BlankWarningLabel, "");
  if (!result.Warning.empty()) SetWarning(BlankWarningPanel, BlankWarningLabel, result.Warning);
  if (!result.Message.empty()) {
    ws_.SetCursor(crDefault);
    ws_.MessageBox(result.Message, result.Caption, MsgButtons::Ok, result.Icon);
  }
  if (result.SwitchOff()) SwitchBlankOff();  // the stage is freed already
}

void TMainForm::ShowBlankPage() {
  ShowStagePage(stBlank);
  const int source = Experiment.FindSourceStage(stBlank);
  FromPlot.SetPlotTitle(std::string(StageName(source)) + " Blanks");
  FromPlot.SetShowTimeLines(false);
  ToPlot.SetPlotTitle("Blanked");
  const std::vector<bool> shown = ShownFlowCells();
  SetWarning(BlankWarningPanel, BlankWarningLabel, BlankPageWarning(Experiment, shown));
  // Only the blanks are drawn: usable ones in colour 1, removed ones in 3.
  blankDisplay_ = BlankDisplayColours(Experiment, ReferenceItemIndex(), shown);
  if (!Experiment.StageExists(source) || FromPlot.EntryCount() == 0) return;
  const TCurveSet& set = Experiment.Stage(source);
  const int n = std::min<int>(FromPlot.EntryCount(), static_cast<int>(blankDisplay_.size()));
  blankGraphFlags_.assign(static_cast<std::size_t>(FromPlot.EntryCount()), pcHidden);
  for (int c = 0; c < n; ++c) {
    const int colour = blankDisplay_[static_cast<std::size_t>(c)];
    if (colour == 0) continue;
    const std::uint32_t flags = set.CurveFlags[static_cast<std::size_t>(c)];
    blankGraphFlags_[static_cast<std::size_t>(c)] =
        (flags & ~(pcColourMask | pcHidden)) | (static_cast<std::uint32_t>(colour) & pcColourMask);
  }
  FromPlot.OverrideCurveFlags(blankGraphFlags_.data());
}

}  // namespace kelvaris

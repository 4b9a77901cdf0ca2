// The Ref page: the reference flow cell, the subtraction mode and the
// injection end of the jump.
#include "app/busy_scope.h"
#include "app/main_form.h"
#include "model/numbers.h"
#include "processing/reference_stage.h"

namespace kelvaris {

void TMainForm::CreateReferenceControls() {
  ReferenceCombo.SetHint("Reference flowcell");
  ReferenceCombo.SetItems({"None"});
  ReferenceCombo.SetItemIndex(0);
  ReferenceCombo.OnChange = [this] { ReferenceComboChange(); };
  SubtractGroup.SetCaption("Subtract");
  SubtractGroup.SetItems({"Curve", "Jump"});
  SubtractGroup.SetItemIndex(0);
  SubtractGroup.OnClick = [this] { SubtractGroupClick(); };
  InjEndLabel.SetCaption("Inj end");
  InjEndBox.OnChange = [this] { InjEndBoxChange(); };
  InjEndBox.OnKeyPress = [this](char key) {
    NumericBoxKey(InjEndBox, Pages.ActivePageIndex() == pgDmso ? pgDmso : pgReference, key);
  };
  FromPlot.OnEndChange = [this](TPlot&, double t) {
    if (Pages.ActivePageIndex() == pgReference) WindowMarkerDrag(stReference, InjEndBox, t);
    if (Pages.ActivePageIndex() == pgDmso) {
      WindowMarkerDrag(stSolvent, InjEndBox, t);
      // Flow cells that keep their own injection times are left alone.
      for (std::size_t f = 1; f < Experiment.Ligands.size(); ++f)
        if (!Experiment.Ligands[f].TimesSet) Experiment.Ligands[f].InjectionEnd = t;
    }
  };
  for (Control* c : std::initializer_list<Control*>{&ReferenceCombo, &SubtractGroup, &InjEndBox, &InjEndLabel})
    Controls.Add(*c);
}

void TMainForm::ResetReferenceControls() {
  BusyScope busy(Experiment);
  ReferenceCombo.SetItems({"None"});
  ReferenceCombo.SetItemIndex(0);
  SubtractGroup.SetItemIndex(0);
  InjEndBox.SetText("");
  EnableReferenceControls();
}

void TMainForm::EnableReferenceControls() {
  const bool on = ReferenceCombo.ItemIndex() > 0;
  SubtractGroup.SetEnabled(on);
  // The box also serves the Dmso page, where it is always in use.
  InjEndBox.SetEnabled((on && JumpMode()) || Pages.ActivePageIndex() == pgDmso);
  InjEndLabel.SetEnabled(on && JumpMode());
}

void TMainForm::SwitchReferenceOff() {
  {
    BusyScope busy(Experiment);
    ReferenceCombo.SetItemIndex(0);
  }
  Experiment.Switches.Reference = false;
  Pages.SetPageCaption(pgReference, "Ref");
  // The solvent correction needs a reference.
  Experiment.Switches.Solvent = false;
  Pages.SetPageCaption(pgDmso, "Dmso");
  EnableReferenceControls();
}

void TMainForm::ReferenceComboChange() {
  const bool on = ReferenceCombo.ItemIndex() > 0;
  if (on) {
    Experiment.Switches.Reference = true;
    Pages.SetPageCaption(pgReference, "REF");
  } else {
    SwitchReferenceOff();
  }
  EnableReferenceControls();
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  Experiment.FreeStages(stReference);
  RunChain(stReference);
  RefreshActivePage();
}

void TMainForm::SubtractGroupClick() {
  EnableReferenceControls();
  if (Experiment.Busy || !Experiment.DataLoaded) return;
  RunChain(stReference);
  RefreshActivePage();
}

void TMainForm::InjEndBoxChange() {
  if (Experiment.Busy || !InjEndBox.Modified()) return;
  if (Pages.ActivePageIndex() == pgDmso) {
    // On the Dmso page the typed end is the solvent correction's.
    NumericBoxEdited(InjEndBox, pgDmso);
    FromPlot.SetEndLineTime(ParseNumber(InjEndBox.Text(), 0));
    if (Experiment.Switches.Solvent) ScheduleRecompute(stSolvent);
    return;
  }
  NumericBoxEdited(InjEndBox, pgReference);
  if (Pages.ActivePageIndex() == pgReference) FromPlot.SetEndLineTime(ParseNumber(InjEndBox.Text(), 0));
  Experiment.WindowSet[stReference] = true;
  if (ReferenceCombo.ItemIndex() > 0 && JumpMode()) ScheduleRecompute(stReference);
}

void TMainForm::RunReferenceStage() {
  if (!Experiment.Switches.Reference) return;
  ws_.SetCursor(crStageFirst + 3);  // the Reference stage's busy cursor
  ReferenceSettings settings;
  settings.ReferenceCell = ReferenceCombo.ItemIndex();
  settings.Mode = JumpMode() ? ReferenceMode::Jump : ReferenceMode::Curve;
  const std::string end = InjEndBox.Text();
  settings.InjectionEndText = end;
  settings.Despike = DespikeAction.Checked();
  const ReferenceResult result = ReferenceStage(Experiment, settings);
  if (result.InjectionEndRewritten) {
    BusyScope busy(Experiment);
    InjEndBox.SetText(result.InjectionEndText);
  }
  if (!result.SwitchOff()) return;
  if (!result.Message.empty()) ws_.MessageBox(result.Message, result.Caption, MsgButtons::Ok, MsgIcon::Warning);
  ws_.SetCursor(crDefault);
  SwitchReferenceOff();
}

void TMainForm::ShowReferencePage() {
  // Without its reference curves, or with a single flow cell, there is
  // nothing to subtract.
  if (ReferenceCombo.ItemIndex() > 0 && !ReferenceCellUsable(Experiment, ReferenceCombo.ItemIndex())) {
    SwitchReferenceOff();
    Experiment.FreeStages(stReference);
  }
  ShowStagePage(stReference);
  EnableReferenceControls();
  // This page moves only the injection end.
  const auto [tmin, tmax] = Experiment.TimeRange(Experiment.FindSourceStage(stReference));
  FromPlot.SetShowTimeLines(false);
  FromPlot.SetStartLineTime(tmin);
  FromPlot.SetStopLineTime(tmin + 1);
  FromPlot.SetShowEndLine(ReferenceCombo.ItemIndex() > 0 && JumpMode());
  FromPlot.SetEndLineTime(ParseNumber(InjEndBox.Text(), 0));
}

}  // namespace kelvaris

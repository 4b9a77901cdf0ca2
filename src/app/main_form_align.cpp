// The Align page: the stage switch and search window, and the group that
// sets the injection time of one aligned curve by hand.
#include <charconv>
#include <cmath>

#include "app/busy_scope.h"
#include "app/main_form.h"
#include "model/numbers.h"
#include "processing/align_stage.h"

namespace kelvaris {

namespace {

constexpr double kAlignStep = 0.1;  // s per click of the step buttons

// The shortest text that reads back as the same number.
std::string ShortestText(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  std::string text = r.ec == std::errc() ? std::string(buf, r.ptr) : "0";
  LocaliseDecimalSeparator(text);
  return text;
}

}  // namespace

void TMainForm::CreateAlignControls() {
  AlignCheck.SetCaption("Align");
  AlignCheck.OnClick = [this] { AlignCheckClick(); };
  StartAlignBox.OnChange = [this] { WindowBoxChange(stAlign, StartAlignBox); };
  StopAlignBox.OnChange = [this] { WindowBoxChange(stAlign, StopAlignBox); };
  for (EditBox* box : {&StartAlignBox, &StopAlignBox})
    box->OnKeyPress = [this, box](char key) { NumericBoxKey(*box, pgAlign, key); };
  AlignCurveUpDown.SetRange(0, 0);
  AlignCurveUpDown.OnClick = [this] { AlignCurveUpDownClick(); };
  AlignStepUpDown.SetRange(-1, 1);
  AlignStepUpDown.OnClick = [this] { AlignStepClick(); };
  AutoCheck.SetCaption("Auto");
  AutoCheck.OnClick = [this] { AutoCheckClick(); };
  SingleCheck.SetCaption("Single");
  SingleCheck.OnClick = [this] { SingleCheckClick(); };
  InjectionTimeBox.OnChange = [this] { InjectionTimeBoxChange(); };
  ToPlot.OnDoubleClick = [this](TPlot&, int closest) {
    if (Pages.ActivePageIndex() == pgBound) BindingGraphHint(ToPlot, stBound, closest);
    return Pages.ActivePageIndex() == pgAlign ? AlignGraphDoubleClick(closest) : true;
  };
  for (Control* c : std::initializer_list<Control*>{&StartAlignBox, &StopAlignBox, &AlignCheck, &AlignCurveUpDown,
                                                      &AlignCurveLabel, &InjectionTimeBox, &AlignStepUpDown,
                                                      &AutoCheck, &SingleCheck})
    Controls.Add(*c);
}

void TMainForm::ResetAlignControls() {
  BusyScope busy(Experiment);
  StartAlignBox.SetText("");
  StopAlignBox.SetText("");
  AlignCheck.SetChecked(false);
  AutoCheck.SetChecked(false);
  SingleCheck.SetChecked(false);
  InjectionTimeBox.SetText("");
  AlignCurveLabel.SetCaption("");
  AlignCurveUpDown.SetRange(0, 0);
  AlignCurveUpDown.SetPosition(0);
  alignCurvePosition_ = 0;
  AlignStepUpDown.SetPosition(0);
  for (Control* c : std::initializer_list<Control*>{&AlignCurveUpDown, &InjectionTimeBox, &AlignStepUpDown,
                                                      &AutoCheck, &SingleCheck})
    c->SetEnabled(false);
}

void TMainForm::AlignCheckClick() {
  Experiment.Switches.Align = AlignCheck.Checked();
  Pages.SetPageCaption(pgAlign, Experiment.Switches.Align ? "ALIGN" : "Align");
  if (!Experiment.Busy) UndoList.RecordCheck(AlignCheck, pgAlign, AlignCheck.Checked(), stAlign);
  for (Control* c : std::initializer_list<Control*>{&AlignCurveUpDown, &InjectionTimeBox, &AlignStepUpDown,
                                                      &AutoCheck, &SingleCheck})
    c->SetEnabled(Experiment.Switches.Align);
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  if (!Experiment.Switches.Align) Experiment.FreeStages(stAlign);
  RunChain(stAlign);
  RefreshActivePage();
}

void TMainForm::RunAlignStage() {
  ws_.SetCursor(crStageFirst + 2);  // the Align stage's busy cursor
  const AlignResult result = AlignStage(Experiment, StartAlignBox.Text(), StopAlignBox.Text());
  {
    BusyScope busy(Experiment);
    if (result.Window.StartChanged) StartAlignBox.SetText(result.Window.StartText);
    if (result.Window.StopChanged) StopAlignBox.SetText(result.Window.StopText);
  }
  if (!Experiment.Switches.Align) return;
  if (!result.Ok) {
    ws_.MessageBox(result.Message, "Error", MsgButtons::Ok, MsgIcon::Warning);
    AlignCheck.SetChecked(false);
    return;
  }
  const int curves = Experiment.Stage(stAlign).CurveCount;
  {
    BusyScope busy(Experiment);
    AlignCurveUpDown.SetRange(0, std::max(curves - 1, 0));
    alignCurvePosition_ = AlignCurveUpDown.Position();
  }
  ShowCurrentAlignedCurve();
}

void TMainForm::ShowCurrentAlignedCurve() {
  const int position = AlignCurveUpDown.Position();
  const TCurveInfo* info = AlignedCurveInfo(Experiment, position);
  BusyScope busy(Experiment);
  InjectionTimeBox.SetText(info ? FormatNumber("", info->InjectionTime) : "");
  AutoCheck.SetChecked(info && info->AutoInjection);
  AlignCurveLabel.SetCaption(std::to_string(position + 1));
}

void TMainForm::AlignCurveUpDownClick() {
  if (!Experiment.DataLoaded || Experiment.Busy || !Experiment.StageExists(stAlign)) return;
  const int position = AlignCurveUpDown.Position();
  UndoList.RecordUpDown(AlignCurveUpDown, pgAlign, position, alignCurvePosition_, stAlign);
  alignCurvePosition_ = position;
  ShowCurrentAlignedCurve();
  if (SingleCheck.Checked()) ToPlot.SetCurve(position);
}

void TMainForm::AutoCheckClick() {
  if (Experiment.Busy || !Experiment.DataLoaded || !Experiment.StageExists(stAlign)) return;
  UndoList.RecordCheck(AutoCheck, pgAlign, AutoCheck.Checked(), stAlign);
  TCurveInfo* info = AlignedCurveInfo(Experiment, AlignCurveUpDown.Position());
  if (!info) return;
  info->AutoInjection = AutoCheck.Checked();
  if (AutoCheck.Checked()) ScheduleRecompute(stAlign);
}

void TMainForm::InjectionTimeBoxChange() {
  if (Experiment.Busy || !InjectionTimeBox.Modified() || !Experiment.DataLoaded || !Experiment.StageExists(stAlign))
    return;
  const int position = AlignCurveUpDown.Position();
  const TCurveInfo* info = AlignedCurveInfo(Experiment, position);
  if (!info) return;
  UndoList.RecordEdit(InjectionTimeBox, pgAlign, InjectionTimeBox.Text(), ShortestText(info->InjectionTime),
                      stAlign);
  SetAlignedInjectionTime(Experiment, position, ParseNumber(InjectionTimeBox.Text(), 0));
  {
    BusyScope busy(Experiment);
    AutoCheck.SetChecked(false);
  }
  ToPlot.Invalidate();
}

void TMainForm::AlignStepClick() {
  const int direction = AlignStepUpDown.Position();
  {
    BusyScope busy(Experiment);
    AlignStepUpDown.SetPosition(0);  // ready for the next click either way
  }
  if (direction == 0 || Experiment.Busy || !Experiment.DataLoaded || !Experiment.StageExists(stAlign)) return;
  const double time = StepAlignedCurve(Experiment, AlignCurveUpDown.Position(), direction > 0 ? kAlignStep : -kAlignStep);
  if (std::isnan(time)) return;
  BusyScope busy(Experiment);
  InjectionTimeBox.SetText(FormatNumber("", time));
  AutoCheck.SetChecked(false);
  ToPlot.Invalidate();
}

void TMainForm::SingleCheckClick() {
  if (Experiment.Busy) return;
  RefreshActivePage();
}

bool TMainForm::AlignGraphDoubleClick(int closest) {
  if (!Experiment.StageExists(stAlign)) return false;
  if (ToPlot.CurrCurve() < 0) {
    if (closest < 0 || closest >= Experiment.Stage(stAlign).CurveCount) return false;
    {
      BusyScope busy(Experiment);
      AlignCurveUpDown.SetPosition(closest);
      alignCurvePosition_ = closest;
      SingleCheck.SetChecked(true);
    }
    ShowCurrentAlignedCurve();
  } else {
    BusyScope busy(Experiment);
    SingleCheck.SetChecked(false);
  }
  RefreshActivePage();
  return false;
}

}  // namespace kelvaris

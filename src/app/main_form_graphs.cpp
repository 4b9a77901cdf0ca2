// The graphs of the pages: binding them to the stages after every
// recomputation and placing the window markers.
#include "app/main_form.h"
#include "model/numbers.h"

namespace kelvaris {

void TMainForm::CreateGraphs() {
  graphBindings_ = {GraphBinding{&DataPlot, -1}, GraphBinding{&FromPlot, -1}, GraphBinding{&ToPlot, -1},
                    GraphBinding{&FitPlot, -1}};
  for (int s = 0; s < kStageCount; ++s)
    StageGraphProps[static_cast<std::size_t>(s)] =
        MakeGraphProps(s == stBound ? gtBound : s == stAffinity ? gtBoundNorm : gtCurve);
  for (TPlot* plot : {&DataPlot, &FromPlot, &ToPlot}) plot->SetProperties(*StageGraphProps[stRaw]);
  FitPlot.SetKdPlot(true);
  FitPlot.SetProperties(*StageGraphProps[stBound]);
  ConnectGraphs();
}

EditBox* TMainForm::StartBoxOf(int stage) {
  switch (stage) {
    case stZero: return &StartZeroBox;
    case stCrop: return &StartCropBox;
    case stAlign: return &StartAlignBox;
    case stSolvent: return &StartDMSOBox;
    case stBound: return &StartBoundBox;
    default: return nullptr;
  }
}

EditBox* TMainForm::StopBoxOf(int stage) {
  switch (stage) {
    case stZero: return &StopZeroBox;
    case stCrop: return &StopCropBox;
    case stAlign: return &StopAlignBox;
    case stSolvent: return &StopDMSOBox;
    case stBound: return &StopBoundBox;
    default: return nullptr;
  }
}

void TMainForm::BindGraph(TPlot& plot, int stage) {
  for (GraphBinding& b : graphBindings_) {
    if (b.plot != &plot) continue;
    if (hoverPlot_ == &plot) {
      // The highlight belongs to the curves the graph showed until now.
      if (Experiment.StageExists(b.stage) && hoverEntry_ >= 0 && hoverEntry_ < Experiment.Stage(b.stage).CurveCount)
        Experiment.Stage(b.stage).CurveFlags[static_cast<std::size_t>(hoverEntry_)] &= ~TCurveFlags{pcHover};
      hoverPlot_ = nullptr;
      hoverEntry_ = -1;
    }
    if (Experiment.StageExists(stage)) {
      plot.BindCurveSet(Experiment.Stage(stage));
      b.stage = stage;
    } else {
      plot.Unbind();
      b.stage = -1;
    }
  }
}

void TMainForm::DetachGraphs(int first, int last) {
  for (GraphBinding& b : graphBindings_) {
    if (b.stage < first || b.stage > last) continue;
    if (hoverPlot_ == b.plot) {
      hoverPlot_ = nullptr;
      hoverEntry_ = -1;
    }
    b.plot->Unbind();
    b.stage = -1;
  }
}

void TMainForm::StagesFreeing(int from) { DetachGraphs(from); }

void TMainForm::StageAllocating(int stage) { DetachGraphs(stage, stage); }

void TMainForm::ShowDataGraph() {
  DataPlot.SetProperties(*StageGraphProps[stRaw]);
  BindGraph(DataPlot, stRaw);
  BuildLegend(DataPlot, stRaw);
  DataPlot.SetPlotTitle(StageName(stRaw));
  DataPlot.SetShowAllPoints(AllPoints);
}

void TMainForm::ShowStagePage(int stage) {
  const int source = Experiment.FindSourceStage(stage);
  // The kind comes first: switching it resets the axis ranges the
  // properties then set.
  FromPlot.SetKdPlot(false);
  ToPlot.SetKdPlot(stage == stBound);
  FromPlot.SetProperties(*StageGraphProps[static_cast<std::size_t>(Experiment.FindDisplaySource(stage))]);
  ToPlot.SetProperties(*StageGraphProps[static_cast<std::size_t>(stage)]);
  BindGraph(FromPlot, source);
  BuildLegend(FromPlot, source);
  FromPlot.SetPlotTitle(StageName(source));
  BindGraph(ToPlot, stage);
  BuildLegend(ToPlot, stage);
  ToPlot.SetPlotTitle(StageName(stage));
  EditBox* start = StartBoxOf(stage);
  EditBox* stop = StopBoxOf(stage);
  FromPlot.SetShowTimeLines(start && stop);
  FromPlot.SetShowEndLine(false);
  if (start) FromPlot.SetStartLineTime(ParseNumber(start->Text(), 0));
  if (stop) FromPlot.SetStopLineTime(ParseNumber(stop->Text(), 0));
  for (TPlot* plot : {&FromPlot, &ToPlot}) plot->SetShowAllPoints(AllPoints);
}

void TMainForm::RefreshActivePage() {
  const int page = Pages.ActivePageIndex();
  if (page == pgScheme) {
    RefreshDataPage();
  } else if (page == pgZero || page == pgCrop || page == pgAlign) {
    ShowStagePage(page + 1);
  } else if (page == pgReference) {
    ShowReferencePage();
  } else if (page == pgDmso) {
    ShowSolventPage();
  } else if (page == pgBlank) {
    ShowBlankPage();
  } else if (page == pgBound) {
    ShowBoundPage();
  } else if (page == pgFit) {
    ShowAffinityPage();
  }
  if (page == pgAlign) {
    // "Single" shows the current aligned curve alone.
    const int curve = SingleCheck.Checked() && Experiment.StageExists(stAlign) ? AlignCurveUpDown.Position() : -1;
    if (ToPlot.CurrCurve() != curve) ToPlot.SetCurve(curve);
  }
}

}  // namespace kelvaris

// The graph properties command of the pages' graphs: which record a graph
// edits, and the dialog over it.
#include "app/graph_props_dialog.h"
#include "app/main_form.h"

namespace kelvaris {

namespace {

// The pages whose graphs are the Data page's graph or the source and result
// graph pair.
bool ShowsSharedGraphs(int page) {
  return page == pgScheme || page == pgCompound || (page >= pgZero && page <= pgBlank) || page == pgBound;
}

}  // namespace

int GraphPropsStage(const TExperiment& e, int page, bool sourceGraph, bool percentOfMax) {
  switch (page) {
    case pgScheme:
    case pgCompound:
      return stRaw;
    case pgFit:
      return percentOfMax ? stAffinity : stBound;
    case pgKinetics:
      // The curves the fits start from: the last stage with a page of its own.
      return e.FindDisplaySource(stScale);
    case pgResult:
      return -1;
    default:
      break;
  }
  if (page < pgZero || page > pgBound) return -1;
  const int stage = page + 1;
  return sourceGraph ? e.FindDisplaySource(stage) : stage;
}

void TMainForm::GraphPropertiesClick(TPlot& plot) {
  if (!graphPropsDialog_) return;
  const bool dataGraph = &plot == &DataPlot;
  if (!dataGraph && &plot != &FromPlot && &plot != &ToPlot) return;
  const int page = dataGraph ? pgScheme : Pages.ActivePageIndex();
  if (!ShowsSharedGraphs(page)) return;
  const int stage = GraphPropsStage(Experiment, page, &plot == &FromPlot, false);
  if (stage < 0 || stage >= kStageCount) return;
  TGraphPropData* record = StageGraphProps[static_cast<std::size_t>(stage)].get();
  if (!record) return;
  graphPropsDialog_->Edit(plot, *record, false, CopyWidth, CopyHeight);
}

}  // namespace kelvaris

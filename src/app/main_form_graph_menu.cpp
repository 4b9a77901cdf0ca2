// The context menu of the graphs and what the pages do with their graphs'
// mouse events: marker drags into the window boxes, hover highlighting.
#include <algorithm>

#include "app/main_form.h"
#include "model/sample_layout.h"

namespace kelvaris {

namespace {

struct GraphItem {
  const char* caption;
  int command;
};

const GraphItem kGraphItems[] = {
    {"Zoom in", gcZoomIn},        {"Zoom out", gcZoomOut},         {"-", 0},
    {"Legend", gcLegend},         {"Labels", gcLabels},            {"Log scale", gcLogScale},
    {"Label points", gcLabelPoints}, {"Unlabel points", gcUnlabelPoints}, {"-", 0},
    {"Copy graph", gcCopyGraph},  {"Copy data", gcCopyData},       {"-", 0},
    {"Hide points", gcHidePoints}, {"Unhide points", gcUnhidePoints}, {"Exclude Line", gcExcludeLine},
    {"-", 0},                     {"Properties...", gcProperties},
};

}  // namespace

void TMainForm::ConnectGraphs() {
  for (TPlot* plot : {&DataPlot, &FromPlot, &ToPlot, &FitPlot}) {
    plot->OnMouseOver = [this](TPlot& p, int closest) { GraphMouseOver(p, closest); };
  }
  FromPlot.OnStartChange = [this](TPlot&, double t) { GraphLineMoved(TPlot::kStart, t); };
  FromPlot.OnStopChange = [this](TPlot&, double t) { GraphLineMoved(TPlot::kStop, t); };
  GraphPopup.OnPopup = [this] { GraphPopupPopup(); };
  GraphPopup.OnClick = [this](int index) { GraphPopupClick(index); };
}

void TMainForm::GraphLineMoved(int line, double t) {
  const int stage = Pages.ActivePageIndex() + 1;
  EditBox* box = line == TPlot::kStart ? StartBoxOf(stage) : line == TPlot::kStop ? StopBoxOf(stage) : nullptr;
  if (box) WindowMarkerDrag(stage, *box, t);
}

void TMainForm::GraphMouseOver(TPlot& plot, int closest) {
  // The curve under the mouse is drawn on top, in the highlight colour.
  if (!plot.HasData()) return;
  const int stage = GraphStage(plot);
  const bool binding = plot.IsKdPlot() && (stage == stBound || stage == stAffinity);
  if (binding) BindingGraphHint(plot, stage, closest);
  if ((plot.IsKdPlot() && !binding) || plot.IsTrendPlot()) return;
  if (stage < 0 || !Experiment.StageExists(stage)) return;
  TCurveSet& set = Experiment.Stage(stage);
  if (closest == hoverEntry_ && &plot == hoverPlot_) return;
  if (hoverPlot_ == &plot && hoverEntry_ >= 0 && hoverEntry_ < set.CurveCount) {
    set.CurveFlags[static_cast<std::size_t>(hoverEntry_)] &= ~TCurveFlags{pcHover};
    plot.Invalidate();
  }
  hoverPlot_ = &plot;
  hoverEntry_ = closest;
  if (closest >= 0 && closest < set.CurveCount) {
    set.CurveFlags[static_cast<std::size_t>(closest)] |= pcHover;
    plot.Invalidate();
  }
  // The blanks graph draws with flags of its own page.
  if (&plot == &FromPlot && Pages.ActivePageIndex() == pgBlank &&
      static_cast<int>(blankGraphFlags_.size()) >= set.CurveCount)
    for (int c = 0; c < set.CurveCount; ++c) {
      std::uint32_t& own = blankGraphFlags_[static_cast<std::size_t>(c)];
      own = (own & ~std::uint32_t{pcHover}) | (set.CurveFlags[static_cast<std::size_t>(c)] & pcHover);
    }
}

int TMainForm::GraphStage(const TPlot& plot) const {
  for (const GraphBinding& b : graphBindings_)
    if (b.plot == &plot) return b.stage;
  return -1;
}

void TMainForm::GraphContextMenu(TPlot& plot) {
  menuPlot_ = &plot;
  GraphPopup.Popup();
}

void TMainForm::GraphPopupPopup() {
  GraphPopup.Clear();
  TPlot* plot = menuPlot_;
  for (const GraphItem& item : kGraphItems) {
    Menu::Item m;
    m.caption = item.caption;
    m.tag = item.command;
    if (plot && item.command != 0) {
      switch (item.command) {
        case gcZoomIn:
        case gcLabelPoints:
        case gcUnlabelPoints:
          m.enabled = plot->CanZoom();
          break;
        case gcZoomOut:
          m.enabled = plot->IsZoomed();
          break;
        case gcLegend:
          m.checked = plot->ShowLegend();
          break;
        case gcLabels:
          m.checked = plot->ShowLabels();
          break;
        case gcLogScale:
          m.checked = plot->IsLogPlot();
          m.enabled = plot->IsKdPlot();
          break;
        case gcCopyData:
          m.enabled = Pages.ActivePageIndex() == pgResult;
          break;
        case gcHidePoints:
        case gcUnhidePoints:
          // Hiding points arrives with the cutting dialog.
          m.enabled = false;
          break;
        case gcExcludeLine: {
          const int source = plot->CurrOriginal();
          const TCurveSet& raw = Experiment.Stage(stRaw);
          m.enabled = source >= 0 && source < raw.CurveCount;
          m.caption = m.enabled && (raw.CurveFlags[static_cast<std::size_t>(source)] & cfHiddenInjection)
                          ? "Include Line"
                          : "Exclude Line";
          break;
        }
        default:
          break;
      }
    } else if (item.command != 0) {
      m.enabled = false;
    }
    GraphPopup.Add(std::move(m));
  }
}

void TMainForm::GraphPopupClick(int index) {
  if (index < 0 || index >= static_cast<int>(GraphPopup.Items().size()) || !menuPlot_) return;
  const Menu::Item& item = GraphPopup.Items()[static_cast<std::size_t>(index)];
  if (item.enabled && item.tag != 0) RunGraphCommand(*menuPlot_, item.tag);
}

void TMainForm::RunGraphCommand(TPlot& plot, int command) {
  switch (command) {
    case gcZoomIn:
      plot.SetZoomed(true);
      StoreGraphProps(plot);
      break;
    case gcZoomOut:
      plot.SetZoomed(false);
      StoreGraphProps(plot);
      break;
    case gcLegend:
      plot.SetShowLegend(!plot.ShowLegend());
      StoreGraphProps(plot);
      break;
    case gcLabels:
      plot.SetShowLabels(!plot.ShowLabels());
      StoreGraphProps(plot);
      break;
    case gcLogScale:
      plot.SetLogPlot(!plot.IsLogPlot());
      StoreGraphProps(plot);
      break;
    case gcLabelPoints:
    case gcUnlabelPoints:
      LabelSelectedPoints(plot, command == gcLabelPoints);
      break;
    case gcCopyGraph:
      CopyGraph(plot);
      break;
    case gcExcludeLine:
      ToggleCurrentInjection(plot);
      break;
    case gcProperties:
      GraphPropertiesClick(plot);
      break;
    default:
      break;
  }
}

void TMainForm::StoreGraphProps(TPlot& plot) {
  const bool dataGraph = &plot == &DataPlot;
  const int page = dataGraph ? pgScheme : Pages.ActivePageIndex();
  int stage = GraphPropsStage(Experiment, page, &plot == &FromPlot, false);
  if (stage < 0) stage = stRaw;
  // Other pages keep the Data graph's state.
  if (stage >= kStageCount || (!dataGraph && &plot != &FromPlot && &plot != &ToPlot)) return;
  TGraphPropData* record = StageGraphProps[static_cast<std::size_t>(stage)].get();
  if (record) plot.GetProperties(*record);
}

void TMainForm::LabelSelectedPoints(TPlot& plot, bool on) {
  const int stage = GraphStage(plot);
  if (stage < 0 || !Experiment.StageExists(stage)) return;
  const double x1 = std::min(plot.SelX1(), plot.SelX2()), x2 = std::max(plot.SelX1(), plot.SelX2());
  const double y1 = std::min(plot.SelY1(), plot.SelY2()), y2 = std::max(plot.SelY1(), plot.SelY2());
  if (x1 == x2 || y1 == y2) return;
  const int f = FcListBox.ItemIndex() > 0 ? FcListBox.ItemIndex() : 0;
  const int a = AnalyteListBox.ItemIndex() > 0 ? AnalyteListBox.ItemIndex() : 0;
  TCurveSet& set = Experiment.Stage(stage);
  const auto passes = [&](int c) {
    const int r = set.SourceCurve[static_cast<std::size_t>(c)];
    if (r < 0 || r >= static_cast<int>(Experiment.CurveInfo.size())) return false;
    const TCurveInfo& info = Experiment.CurveInfo[static_cast<std::size_t>(r)];
    return (f == 0 || f == info.FlowCell) && (a == 0 || a == info.Analyte);
  };
  const auto inside = [&](double x, double y) { return x >= x1 && x <= x2 && y >= y1 && y <= y2; };
  const auto setBit = [on](TPointFlags& flags, TPointFlags bit) { flags = on ? (flags | bit) : (flags & ~bit); };
  const int current = plot.CurrCurve();
  for (int c = 0; c < set.CurveCount; ++c) {
    const int n = set.PointCount[static_cast<std::size_t>(c)];
    if ((current >= 0 && c != current) || (set.CurveFlags[static_cast<std::size_t>(c)] & cfHiddenInGraph) || n < 1)
      continue;
    const double* t = set.TimeOf(c);
    const double* r = set.ResponseOf(c);
    TPointFlags* flags = set.FlagsOf(c);
    if (plot.IsKdPlot() || plot.IsTrendPlot()) {
      // A bound point keeps its label bit in slot 8 of its row.
      if (set.Capacity < 9) continue;
      const double x = plot.IsTrendPlot() ? static_cast<double>(flags[1]) : plot.IsLogPlot() ? t[3] : t[0];
      if (!inside(x, r[0]) || (plot.IsKdPlot() && !passes(c))) continue;
      setBit(flags[8], plot.IsTrendPlot() ? kTrendLabelBit : kKdLabelBit);
      continue;
    }
    if (!passes(c)) continue;
    for (int k = 0; k < n; ++k)
      if (inside(t[k], r[k])) setBit(flags[k], kPointLabelBit);
  }
  RefreshActivePage();
  plot.Invalidate();
}

void TMainForm::CopyGraph(TPlot& plot) {
  std::unique_ptr<Bitmap> bitmap = ws_.CreateBitmap(CopyWidth, CopyHeight);
  if (!bitmap) return;
  plot.PlotPicture(bitmap->Surface(), CopyWidth, CopyHeight);
  ws_.SetClipboardBitmap(*bitmap);
  // The copy left its own layout behind; the screen needs its own again.
  plot.Invalidate();
}

void TMainForm::ToggleCurrentInjection(TPlot& plot) {
  const int source = plot.CurrOriginal();
  TCurveSet& raw = Experiment.Stage(stRaw);
  if (plot.CurrCurve() < 0 || source < 0 || source >= raw.CurveCount) return;
  raw.CurveFlags[static_cast<std::size_t>(source)] ^= cfHiddenInjection;
  const int injection = Experiment.CurveInfo[static_cast<std::size_t>(source)].Injection;
  bool visible = false;
  for (int c = 0; c < raw.CurveCount; ++c)
    if (Experiment.CurveInfo[static_cast<std::size_t>(c)].Injection == injection &&
        !(raw.CurveFlags[static_cast<std::size_t>(c)] & cfHiddenInjection))
      visible = true;
  const int rows = SampleGrid.RowCount();
  if (rows > 1 && injection >= 1) {
    const int col = (injection - 1) / (rows - 1) + 1;
    const int row = (injection - 1) % (rows - 1) + 1;
    for (TKelvarisGrid* grid : {&SampleGrid, &InjAnalyteGrid})
      if (grid->InGrid(col, row)) grid->SetHidden(col, row, !visible);
    SampleGrid.Invalidate();
  }
  plot.SetCurve(-1);
  RunChain(stRaw);
  RefreshActivePage();
}

}  // namespace kelvaris

// The display filter over the graphs of stages 0 to 9, and the legends and
// curve names every page gives its graphs before they are drawn.
#include <algorithm>

#include "app/main_form.h"
#include "graph/palette.h"
#include "model/numbers.h"
#include "model/sample_layout.h"

namespace kelvaris {

namespace {

constexpr int kLigandNameCol = 1;
constexpr int kLigandColourCol = 2;
constexpr int kAnalyteNameCol = 1;
constexpr int kAnalyteColourCol = 3;

}  // namespace

std::string TMainForm::AnalyteName(int analyte) const {
  return CompoundGrid.InGrid(kAnalyteNameCol, analyte) && analyte >= 1 ? CompoundGrid.Cell(kAnalyteNameCol, analyte)
                                                                        : std::string();
}

std::string TMainForm::AnalyteNameOf(int injection) const { return AnalyteName(AnalyteOf(injection)); }

std::string TMainForm::FlowCellNameOf(int flowCell) const {
  return LigandGrid.InGrid(kLigandNameCol, flowCell) && flowCell >= 1 ? LigandGrid.Cell(kLigandNameCol, flowCell)
                                                                      : std::string();
}

std::vector<bool> TMainForm::ShownFlowCells() const {
  const int fc = FcListBox.ItemIndex();
  std::vector<bool> shown(std::max<std::size_t>(Experiment.Ligands.size(), 1), true);
  if (fc > 0)
    for (std::size_t f = 1; f < shown.size(); ++f) shown[f] = static_cast<int>(f) == fc;
  return shown;
}

void TMainForm::ApplyDisplayFilter() {
  if (!Experiment.DataLoaded || Experiment.CurveInfo.empty() || Experiment.Busy) return;
  const int ligands = static_cast<int>(Experiment.Ligands.size());
  std::vector<bool> shown = ShownFlowCells();
  const int a = AnalyteListBox.ItemIndex();
  const auto infoOf = [&](const TCurveSet& set, int c) -> const TCurveInfo* {
    const int r = set.SourceCurve[static_cast<std::size_t>(c)];
    return r >= 0 && r < static_cast<int>(Experiment.CurveInfo.size()) ? &Experiment.CurveInfo[static_cast<std::size_t>(r)]
                                                                       : nullptr;
  };
  const auto isShown = [&](int flowCell) {
    return flowCell >= 0 && flowCell < static_cast<int>(shown.size()) && shown[static_cast<std::size_t>(flowCell)];
  };
  const auto mark = [&](TCurveSet& set, int c, bool hide) {
    TCurveFlags& flags = set.CurveFlags[static_cast<std::size_t>(c)];
    flags = hide ? (flags | cfHiddenInGraph) : (flags & ~cfHiddenInGraph);
  };
  for (int s = stRaw; s <= stAlign; ++s) {
    if (!Experiment.StageExists(s)) continue;
    TCurveSet& set = Experiment.Stage(s);
    for (int c = 0; c < set.CurveCount; ++c) {
      const TCurveInfo* info = infoOf(set, c);
      mark(set, c, !info || !isShown(info->FlowCell) || (a > 0 && a != info->Analyte));
    }
  }
  // From the reference stage on, the reference flow cell itself is not shown.
  const int reference = ReferenceItemIndex();
  if (Experiment.Switches.Reference && reference >= 0 && reference < ligands)
    shown[static_cast<std::size_t>(reference)] = false;
  for (int s = stReference; s <= stBound; ++s) {
    if (!Experiment.StageExists(s)) continue;
    TCurveSet& set = Experiment.Stage(s);
    for (int c = 0; c < set.CurveCount; ++c) {
      const TCurveInfo* info = infoOf(set, c);
      mark(set, c, !info || info->FlowCell >= ligands || !isShown(info->FlowCell) || (a != 0 && a != info->Analyte));
    }
  }
  if (Experiment.StageExists(stBlank)) {
    const TCurveSet& source = Experiment.Stage(Experiment.FindSourceStage(stBlank));
    for (int k = 0; k < source.CurveCount && k < static_cast<int>(Experiment.CurveInfo.size()); ++k) {
      const int b = source.SourceCurve[static_cast<std::size_t>(k)];
      if (b < 0 || b >= static_cast<int>(Experiment.CurveInfo.size())) continue;
      const TCurveInfo& blank = Experiment.CurveInfo[static_cast<std::size_t>(b)];
      int display = blank.BlankRemoved ? 3 : 1;
      if (blank.FlowCell >= ligands || ConcentrationOf(b) != 0 || (a != 0 && a != blank.Analyte)) display = 1024;
      Experiment.CurveInfo[static_cast<std::size_t>(k)].BlankDisplay = display;
    }
  }
  RunChain(stResult);
  RefreshActivePage();
}

void TMainForm::BuildLegend(TPlot& plot, int stage) {
  plot.ClearLegend();
  if (!Experiment.StageExists(stage)) return;
  const TCurveSet& set = Experiment.Stage(stage);
  const auto rawOf = [&](int i) { return set.SourceCurve[static_cast<std::size_t>(i)]; };
  const auto infoOf = [&](int i) -> const TCurveInfo* {
    const int r = rawOf(i);
    return r >= 0 && r < static_cast<int>(Experiment.CurveInfo.size()) ? &Experiment.CurveInfo[static_cast<std::size_t>(r)]
                                                                       : nullptr;
  };
  const auto visible = [&](int i) { return !(set.CurveFlags[static_cast<std::size_t>(i)] & cfHiddenInGraph); };

  if (plot.IsKdPlot() || plot.IsTrendPlot()) {
    const int ligands = static_cast<int>(Experiment.Ligands.size());
    const int analytes = CompoundGrid.RowCount() - 1;
    auto hasVisible = [&](auto matches) {
      for (int i = 0; i < set.CurveCount; ++i)
        if (visible(i) && infoOf(i) && matches(*infoOf(i))) return true;
      return false;
    };
    int j = 0, l = 0;
    for (int r = 1; r < ligands; ++r) j += hasVisible([r](const TCurveInfo& info) { return info.FlowCell == r; });
    for (int v = 1; v <= analytes; ++v) l += hasVisible([v](const TCurveInfo& info) { return info.Analyte == v; });
    for (int r = 1; r < ligands; ++r)
      for (int v = 1; v <= analytes; ++v) {
        int best = -1;
        for (int i = 0; i < set.CurveCount; ++i) {
          const TCurveInfo* info = infoOf(i);
          if (!visible(i) || !info || info->FlowCell != r || info->Analyte != v || set.PointCount[static_cast<std::size_t>(i)] < 1)
            continue;
          const double response = set.ResponseOf(i)[0];
          if (response > 0 && (best < 0 || response > set.ResponseOf(best)[0])) best = i;
        }
        if (best < 0) continue;
        const std::string analyteName = AnalyteNameOf(infoOf(best)->Injection);
        std::string text = analyteName;
        if (l == 1 && j > 1)
          text = FlowCellNameOf(r);
        else if (j > 1)
          text = analyteName + " [" + std::to_string(r) + "]";
        int code = CompoundGrid.InGrid(kAnalyteColourCol, v) ? ReadWholeNumber(CompoundGrid.Cell(kAnalyteColourCol, v)) : 1;
        if (!CompoundGrid.InGrid(kAnalyteColourCol, v) || CompoundGrid.Cell(kAnalyteColourCol, v).empty()) code = 1;
        int k = code & 0xF;
        if (((code >> 4) & 0xF) == 1) {
          const int fcColour = LigandGrid.InGrid(kLigandColourCol, r) ? ReadWholeNumber(LigandGrid.Cell(kLigandColourCol, r)) : 0;
          k = fcColour & 0xF;
        } else if (((code >> 4) & 0xF) == 2) {
          k = 1;
        }
        plot.AddLegend(text, TLegendItem{best, PaletteColour(k), (r - 1) % 4});
      }
  } else {
    for (int i = 0; i < set.CurveCount; ++i) {
      if (!visible(i) || !infoOf(i)) continue;
      const std::string text = AnalyteNameOf(infoOf(i)->Injection) + " - " + FormatMolar(ConcentrationOf(rawOf(i)));
      plot.AddLegend(text, TLegendItem{i, PaletteColour(static_cast<int>(set.CurveFlags[static_cast<std::size_t>(i)] & 0xF)), 0});
    }
  }

  const int rows = SampleGrid.RowCount();
  for (int i = 0; i < set.CurveCount; ++i) {
    const TCurveInfo* info = infoOf(i);
    const int n = info ? info->Injection : 0;
    std::string label;
    if (rows > 1 && n >= 1) {
      const int row = (n - 1) % (rows - 1) + 1;
      const int col = (n - 1) / (rows - 1) + 1;
      label = (SampleGrid.InGrid(col, 0) ? SampleGrid.Cell(col, 0) : ColumnLetters(col)) +
              (SampleGrid.InGrid(0, row) ? SampleGrid.Cell(0, row) : std::to_string(row));
    }
    std::string name = "Inj " + label + ": " + FormatMolar(ConcentrationOf(rawOf(i))) + " " +
                       (info ? AnalyteNameOf(info->Injection) : std::string());
    const int number = static_cast<int>(name.size()) + 3;
    name += " - " + (info ? FlowCellNameOf(info->FlowCell) : std::string());
    plot.AddCurveName(name, number);
  }
}

}  // namespace kelvaris

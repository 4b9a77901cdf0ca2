#include "cli/json_summary.h"

#include <algorithm>

#include "analysis/affinity_entries.h"
#include "analysis/affinity_texts.h"
#include "model/stage.h"

namespace kelvaris {

using nlohmann::ordered_json;

namespace {

const char* IconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None: return "none";
    case MsgIcon::Warning: return "warning";
    case MsgIcon::Question: return "question";
  }
  return "none";
}

// A grid's rows of cells: a plain cell is its text; a blocked or hidden
// cell is an object that says so.
ordered_json GridCells(const TKelvarisGrid& grid) {
  ordered_json rows = ordered_json::array();
  for (int r = 0; r < grid.RowCount(); ++r) {
    ordered_json row = ordered_json::array();
    for (int c = 0; c < grid.ColCount(); ++c) {
      const bool blocked = grid.GetBlocked(c, r);
      const bool hidden = grid.GetHidden(c, r);
      if (!blocked && !hidden) {
        row.push_back(grid.Cell(c, r));
        continue;
      }
      ordered_json cell = {{"text", grid.Cell(c, r)}};
      if (blocked) cell["blocked"] = true;
      if (hidden) cell["hidden"] = true;
      row.push_back(cell);
    }
    rows.push_back(row);
  }
  return rows;
}

ordered_json CurveSummary(const TExperiment& e, int stage, int c, const SummaryOptions& options) {
  const TCurveSet& set = e.Stage(stage);
  const int source = set.SourceCurve[c];
  const int n = set.PointCount[c];
  ordered_json curve;
  curve["source"] = source;
  if (source >= 0 && source < static_cast<int>(e.CurveInfo.size())) {
    const TCurveInfo& info = e.CurveInfo[source];
    curve["flow_cell"] = info.FlowCell;
    curve["injection"] = info.Injection;
    curve["analyte"] = info.Analyte;
    curve["concentration"] = info.Concentration;
    curve["injection_time"] = info.InjectionTime;
    curve["auto_injection"] = info.AutoInjection;
  }
  curve["flags"] = set.CurveFlags[c];
  curve["points"] = n;
  const double* t = set.TimeOf(c);
  const double* r = set.ResponseOf(c);
  if (n > 0) {
    curve["time"] = {t[0], t[n - 1]};
    curve["response"] = {r[0], r[n - 1]};
  } else {
    curve["time"] = ordered_json::array();
    curve["response"] = ordered_json::array();
  }
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += r[i];
  curve["sum"] = sum;
  if (options.points) {
    curve["t"] = std::vector<double>(t, t + n);
    curve["r"] = std::vector<double>(r, r + n);
    const TPointFlags* f = set.FlagsOf(c);
    curve["f"] = std::vector<TPointFlags>(f, f + n);
  }
  return curve;
}

}  // namespace

ordered_json ControlValue(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::EditBox: return static_cast<const EditBox&>(control).Text();
    case ControlKind::CheckBox: return static_cast<const CheckBox&>(control).Checked();
    case ControlKind::RadioGroup: return static_cast<const RadioGroup&>(control).ItemIndex();
    case ControlKind::ComboBox:
    case ControlKind::ListBox: return static_cast<const ComboBox&>(control).ItemIndex();
    case ControlKind::UpDown: return static_cast<const UpDown&>(control).Position();
    case ControlKind::Action: {
      const auto& a = static_cast<const Action&>(control);
      return a.Checkable() ? ordered_json(a.Checked()) : ordered_json(nullptr);
    }
    case ControlKind::ProgressBar: return static_cast<const ProgressBar&>(control).Position();
    // A label's text; the warning panels show theirs only when it is not empty.
    case ControlKind::Label: return control.Caption();
    default: return nullptr;
  }
}

namespace {

// The fit of every flow cell whose affinity fit is on, and its results per
// analyte as stage 10 holds them (every entry of an analyte carries them).
void AddAffinity(const TMainForm& form, ordered_json& j) {
  const TExperiment& e = form.Experiment;
  ordered_json cells = ordered_json::array();
  ordered_json results = ordered_json::array();
  const bool staged = e.StageExists(stAffinity) && e.Stage(stAffinity).Capacity >= kAffinitySlots;
  for (std::size_t f = 1; f < e.Ligands.size(); ++f) {
    const TLigand& ligand = e.Ligands[f];
    if (!ligand.FitOn) continue;
    const std::vector<std::string>& warnings = form.AffinityWarnings();
    cells.push_back({{"flow_cell", static_cast<int>(f)},
                     {"global_rmax", ligand.GlobalRmax},
                     {"global_rmax_error", ligand.GlobalRmaxError},
                     {"warning", f < warnings.size() ? warnings[f] : std::string()}});
    if (!staged) continue;
    const TCurveSet& set = e.Stage(stAffinity);
    std::vector<int> done;
    for (int c = 0; c < set.CurveCount; ++c) {
      const std::uint32_t* flags = set.FlagsOf(c);
      const int analyte = static_cast<int>(flags[apAnalyte]);
      if (flags[apFlowCell] != f || std::find(done.begin(), done.end(), analyte) != done.end()) continue;
      done.push_back(analyte);
      const double* t = set.TimeOf(c);
      const double* r = set.ResponseOf(c);
      const auto texts = AffinityTexts(e, analyte, static_cast<int>(f), form.AffinityNoUnits);
      const auto rmax = RmaxTexts(e, analyte, static_cast<int>(f));
      results.push_back({{"flow_cell", static_cast<int>(f)},
                         {"analyte", analyte},
                         {"kd", t[atKd1]},
                         {"kd_error", t[atKd1Error]},
                         {"kd2", t[atKd2]},
                         {"kd2_error", t[atKd2Error]},
                         {"rmax1", r[arRmax1]},
                         {"rmax1_error", r[arRmax1Error]},
                         {"rmax2", r[arRmax2]},
                         {"rmax2_error", r[arRmax2Error]},
                         {"texts",
                          {{"kd1", texts[0]},
                           {"kd2", texts[1]},
                           {"bound1", texts[2]},
                           {"bound2", texts[3]},
                           {"rmax1", rmax[0]},
                           {"rmax2", rmax[1]}}}});
    }
  }
  if (!cells.empty()) j["affinity_flow_cells"] = cells;
  if (!results.empty()) j["affinity"] = results;
}

}  // namespace

ordered_json BuildSummary(const TMainForm& form, const HeadlessWindowSystem& ws,
                          const SummaryOptions& options) {
  const TExperiment& e = form.Experiment;
  ordered_json j;
  ordered_json messages = ordered_json::array();
  for (const auto& m : ws.Messages())
    messages.push_back({{"caption", m.caption}, {"text", m.text}, {"icon", IconName(m.icon)}});
  j["messages"] = messages;
  j["data_loaded"] = e.DataLoaded;
  j["data_file"] = form.DataFilePath;
  j["caption"] = form.Form.Caption();
  j["instrument_kind"] = e.InstrumentKind;
  j["temperature"] = e.Temperature;
  j["flow_rate"] = e.FlowRate;
  ordered_json ligands = ordered_json::array();
  for (const auto& l : e.Ligands) ligands.push_back(l.Name);
  j["ligands"] = ligands;
  ordered_json analytes = ordered_json::array();
  for (int r = 1; r < form.CompoundGrid.RowCount(); ++r)
    analytes.push_back({{"name", form.CompoundGrid.Cell(1, r)}, {"mw", form.CompoundGrid.Cell(2, r)}});
  j["analytes"] = analytes;

  ordered_json captions = ordered_json::array();
  for (int p = 0; p < form.Pages.PageCount(); ++p) captions.push_back(form.Pages.PageAt(p).caption);
  const int active = form.Pages.ActivePageIndex();
  j["pages"] = {{"active", active >= 0 ? PageInfo(active).caption : ""}, {"captions", captions}};
  j["undo"] = {{"entries", form.UndoList.Count()}, {"cursor", form.UndoList.Cursor()}};

  ordered_json controls = ordered_json::object();
  for (const Control* c : form.Controls.All()) {
    ordered_json value = ControlValue(*c);
    if (!value.is_null()) controls[c->Name()] = value;
  }
  j["controls"] = controls;
  ordered_json grids = ordered_json::object();
  for (const Control* c : form.Controls.All())
    if (c->Kind() == ControlKind::Grid) grids[c->Name()] = GridCells(static_cast<const TKelvarisGrid&>(*c));
  j["grids"] = grids;

  ordered_json stages = ordered_json::object();
  for (int s = 0; s < kStageCount; ++s) {
    if (!e.StageExists(s)) continue;
    const TCurveSet& set = e.Stage(s);
    ordered_json curves = ordered_json::array();
    for (int c = 0; c < set.CurveCount; ++c) curves.push_back(CurveSummary(e, s, c, options));
    stages[std::to_string(s)] = {{"name", StageName(s)}, {"capacity", set.Capacity}, {"curves", curves}};
  }
  j["stages"] = stages;

  // The fitted standard curve of every flow cell that has one.
  ordered_json solvent = ordered_json::array();
  for (std::size_t f = 1; f < e.Ligands.size(); ++f)
    if (!e.Ligands[f].Coefficients.empty())
      solvent.push_back({{"flow_cell", static_cast<int>(f)}, {"coefficients", e.Ligands[f].Coefficients}});
  if (!solvent.empty()) j["solvent"] = solvent;

  // Every entry of the amount-bound table.
  if (e.StageExists(stBound) && e.Stage(stBound).Capacity >= 9) {
    const TCurveSet& bound = e.Stage(stBound);
    ordered_json entries = ordered_json::array();
    for (int c = 0; c < bound.CurveCount; ++c) {
      const double* r = bound.ResponseOf(c);
      const double* t = bound.TimeOf(c);
      const std::uint32_t* f = bound.FlagsOf(c);
      entries.push_back({{"flow_cell", f[3]},
                         {"injection", f[1]},
                         {"analyte", f[2]},
                         {"concentration", t[0]},
                         {"response", r[0]},
                         {"sd", r[2]},
                         {"points", f[0]},
                         {"rmax_estimate", r[1]},
                         {"kd_estimate", t[1]}});
    }
    j["bound"] = entries;
  }
  AddAffinity(form, j);
  return j;
}

}  // namespace kelvaris

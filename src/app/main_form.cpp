#include "app/main_form.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "app/busy_scope.h"
#include "import/file_bytes.h"
#include "model/numbers.h"
#include "processing/crop_stage.h"
#include "processing/data_stage.h"
#include "processing/stage_window.h"
#include "processing/zero_stage.h"

namespace kelvaris {

namespace {

const PageDescription kPages[kPageCount] = {
    {"SchemePage", "Data", "contents/contents.htm"},
    {"ZeroPage", "Zero", "analysis_pages/zero_page/zero_page.htm"},
    {"CropPage", "Crop", "analysis_pages/crop_page/crop_page.htm"},
    {"AlignPage", "Align", "analysis_pages/align_page/align_page.htm"},
    {"ReferencePage", "Ref", "analysis_pages/reference_page/reference_page.htm"},
    {"DMSOPage", "Dmso", "analysis_pages/dmso_page/dmso_page.htm"},
    {"BlankPage", "Blank", "analysis_pages/blank_page/blank_page.htm"},
    {"MWPage", "Compnd", "analysis_pages/compound_page/compound_page.htm"},
    {"BoundPage", "Bound", "analysis_pages/bound_page/bound_page.htm"},
    {"FitPage", "Affinity", "analysis_pages/affinity_page/affinity_page.htm"},
    {"KineticsPage", "Kinetics", "analysis_pages/kinetics_page/kinetics_page.htm"},
    {"ResultPage", "Result", "analysis_pages/result_page/result_page.htm"},
};

// The captions the reset gives the pages after the Data page.
const char* const kResetCaptions[kPageCount] = {
    nullptr, "Zero", "Crop", "Align", "Ref", "Dmso", "Blank", "Compound",
    "Bound", "Affinity", "Kinetics", "Result"};

std::string Lower(std::string s) {
  for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

}  // namespace

const PageDescription& PageInfo(int page) { return kPages[page]; }

TMainForm::TMainForm(WindowSystem& ws, TTitleForm& titleForm, TProgForm& progress,
                     std::vector<std::string> arguments)
    : Experiment(ws),
      SampleGrid("SampleGrid", ws),
      InjAnalyteGrid("InjAnalyteGrid", ws),
      CompoundGrid("CompoundGrid", ws),
      LigandGrid("LigandGrid", ws),
      KmGrid("KmGrid", ws),
      ws_(ws), titleForm_(titleForm), progress_(progress),
      arguments_(std::move(arguments)) {
  Experiment.SetListener(this);
  SetLocaleDecimalSeparator(ws.DecimalSeparator());
  // The layout scale follows the splash window's width.
  LayoutScale = titleForm.Form.Width() > 0 ? titleForm.Form.Width() / 320.0f : 1.0f;
  Form.SetVisible(false);  // shown by the splash timer
  Form.SetHeight(static_cast<int>(534 * LayoutScale));
  Form.SetWidth(static_cast<int>(800 * LayoutScale));
  OpenFolder = titleForm.InitialFolder;
  EditTimer = ws.CreateTimer();
  EditTimer->SetInterval(1000);
  EditTimer->OnTimer = [this] { EditTimerTimer(); };
  UndoList.OnChange = [this] { ShowUndoButtons(); };
  CreateControls();
  RegisterControls();
  ResetExperiment();
  Pages.SetActivePageIndex(pgScheme);
  Form.SetCaption(BaseTitle);
}

TMainForm::~TMainForm() { Experiment.SetListener(nullptr); }

void TMainForm::CreateControls() {
  LoadButton.SetCaption("Load");
  LoadButton.SetHint("Load data");
  LoadButton.SetImageIndex(0);
  LoadButton.OnClick = [this] { LoadButtonClick(); };
  FileListMenu.OnPopup = [this] { FileListMenuPopup(); };
  FileListMenu.OnClick = [this](int index) { FileListClick(index); };

  SaveMethodButton.SetHint("Save method");
  SaveMethodButton.SetImageIndex(6);
  SaveMethodButton.SetEnabled(false);
  PrintButton.SetHint("Print results");
  PrintButton.SetImageIndex(1);
  HelpButton.SetHint("Help");
  HelpButton.SetImageIndex(4);
  HelpButton.OnClick = [this] { HelpButtonClick(); };
  WebButton.SetImageIndex(18);
  WebButton.OnClick = [this] { WebButtonClick(); };
  UndoButton.SetHint("Undo");
  UndoButton.SetImageIndex(2);
  UndoButton.SetEnabled(false);
  UndoButton.OnClick = [this] { UndoButtonClick(); };
  RedoButton.SetHint("Redo");
  RedoButton.SetImageIndex(3);
  RedoButton.SetEnabled(false);
  RedoButton.OnClick = [this] { RedoButtonClick(); };
  HideButton.SetHint("Hide injection");
  HideButton.SetImageIndex(5);
  HideButton.SetEnabled(false);
  AllPointAction.SetCaption("All points");
  AllPointAction.SetImageIndex(21);
  AllPointAction.SetHint("Show all points");
  AllPointAction.OnClick = [this] {
    AllPoints = AllPointAction.Checked();
    for (TPlot* plot : {&DataPlot, &FromPlot, &ToPlot}) plot->SetShowAllPoints(AllPoints);
  };
  DespikeAction.SetCaption("Despike");
  DespikeAction.SetImageIndex(20);
  DespikeAction.SetHint("Despike");
  DespikeAction.OnClick = [this] {
    if (!Experiment.DataLoaded || Experiment.Busy) return;
    RunChain(stRaw);
    RefreshActivePage();
  };

  AnalyteListBox.SetHint("Select analyte to display");
  AnalyteListBox.SetItems({"All analytes", "Compound 1"});
  AnalyteListBox.SetItemIndex(0);
  FcListBox.SetHint("Select flowcell to display");
  FcListBox.SetItems({"All fc", "Fc 1", "Fc 2", "Fc 3", "Fc 4"});
  FcListBox.SetItemIndex(0);
  AnalyteListBox.OnChange = [this] { ApplyDisplayFilter(); };
  FcListBox.OnChange = [this] { ApplyDisplayFilter(); };

  CreateSampleTableControls();
  CreateGraphs();
  CreateAlignControls();
  CreateReferenceControls();
  CreateSolventControls();
  CreateBlankControls();
  CreateScaleControls();
  CreateBoundControls();
  CreateAffinityControls();

  ZeroCheck.SetCaption("Zero");
  ZeroCheck.OnClick = [this] { ZeroCheckClick(); };
  StartZeroBox.OnChange = [this] { WindowBoxChange(stZero, StartZeroBox); };
  StopZeroBox.OnChange = [this] { WindowBoxChange(stZero, StopZeroBox); };
  CropCheck.SetCaption("Crop");
  CropCheck.OnClick = [this] { CropCheckClick(); };
  CropAverageCheck.SetCaption("Average");
  CropAverageCheck.OnClick = [this] {
    if (!Experiment.DataLoaded || Experiment.Busy || !Experiment.Switches.Crop) return;
    RunChain(stCrop);
    RefreshActivePage();
  };
  CropSecondsBox.SetText("1");
  CropSecondsBox.OnChange = [this] {
    NumericBoxEdited(CropSecondsBox, pgCrop);
    if (!Experiment.DataLoaded || Experiment.Busy || !Experiment.Switches.Crop || !CropAverageCheck.Checked()) return;
    ScheduleRecompute(stCrop);
  };
  StartCropBox.OnChange = [this] { WindowBoxChange(stCrop, StartCropBox); };
  StopCropBox.OnChange = [this] { WindowBoxChange(stCrop, StopCropBox); };
  for (auto [box, page] : {std::pair{&StartZeroBox, pgZero}, std::pair{&StopZeroBox, pgZero},
                           std::pair{&StartCropBox, pgCrop}, std::pair{&StopCropBox, pgCrop},
                           std::pair{&CropSecondsBox, pgCrop}, std::pair{&StockConcBox, pgScheme},
                           std::pair{&DilutionBox, pgScheme}})
    box->OnKeyPress = [this, box, page](char key) { NumericBoxKey(*box, page, key); };

  for (const auto& page : kPages) Pages.AddPage(page.name, page.caption);
  Pages.OnChanging = [this](bool& allow) { PageControlChanging(allow); };
  Pages.OnChange = [this] { PageControlChange(); };
}

void TMainForm::RegisterControls() {
  for (Control* c : std::initializer_list<Control*>{
           &Form, &LoadButton, &FileListMenu, &SaveMethodButton, &PrintButton, &HelpButton,
           &WebButton, &UndoButton, &RedoButton, &HideButton, &AllPointAction, &DespikeAction,
           &AnalyteListBox, &FcListBox, &Pages, &CurveList, &DataPlot, &FromPlot, &ToPlot, &FitPlot, &GraphPopup})
    Controls.Add(*c);
  RegisterSampleTableControls();
  for (Control* c : std::initializer_list<Control*>{&StartZeroBox, &StopZeroBox, &ZeroCheck, &StartCropBox,
                                                      &StopCropBox, &CropCheck, &CropAverageCheck, &CropSecondsBox}) Controls.Add(*c);
}

void TMainForm::ResetExperiment() {
  Experiment.Busy = true;
  Experiment.Switches = TStageSwitches{};
  Experiment.DataLoaded = false;
  DataFilePath.clear();
  Experiment.SolventDegree = 0;
  Experiment.PendingStage = kNoStage;
  Experiment.WindowSet.fill(false);
  AllPoints = false;
  StartZeroBox.SetText("");
  StopZeroBox.SetText("");
  ZeroCheck.SetChecked(false);
  StartCropBox.SetText("");
  StopCropBox.SetText("");
  CropCheck.SetChecked(false);
  CropAverageCheck.SetChecked(false);
  ResetAlignControls();
  ResetReferenceControls();
  ResetSolventControls();
  ResetBlankControls();
  ResetScaleControls();
  ResetBoundControls();
  ResetAffinityControls();
  for (int p = 1; p < kPageCount; ++p) Pages.SetPageCaption(p, kResetCaptions[p]);
  FcListBox.SetItems({"All"});
  FcListBox.SetItemIndex(0);
  Experiment.Ligands.clear();
  ResetSampleTables();
  RefreshLigandTable();
  AllPointAction.SetChecked(false);
  AllPointAction.SetEnabled(false);
  DespikeAction.SetChecked(false);
  DespikeAction.SetEnabled(false);
  HideButton.SetEnabled(false);
  SaveMethodButton.SetEnabled(false);
  for (auto& props : StageGraphProps)
    if (props) props->SetDefaults();
  for (TPlot* plot : {&DataPlot, &FromPlot, &ToPlot, &FitPlot}) plot->ClearFlags();
  UndoList.Clear();
  Experiment.Busy = false;
}

void TMainForm::RefreshFlowCellSelectors() {
  if (Experiment.Ligands.empty()) Experiment.ExtendLigands(0);
  RefreshLigandTable();
  std::vector<std::string> items;
  items.push_back("All " + Lower(Experiment.Ligands[0].Name) + "s");
  for (std::size_t i = 1; i < Experiment.Ligands.size(); ++i) items.push_back(Experiment.Ligands[i].Name);
  const int keep = FcListBox.ItemIndex();
  FcListBox.SetItems(items);
  FcListBox.SetItemIndex(keep >= 0 && keep < FcListBox.Count() ? keep : 0);
  // The reference list names the same flow cells.
  std::vector<std::string> references{"None"};
  for (std::size_t i = 1; i < Experiment.Ligands.size(); ++i) references.push_back(Experiment.Ligands[i].Name);
  const int reference = ReferenceCombo.ItemIndex();
  ReferenceCombo.SetItems(references);
  ReferenceCombo.SetItemIndex(reference >= 0 && reference < ReferenceCombo.Count() ? reference : 0);
}

void TMainForm::DefaultWindows() {
  const auto [tmin, tmax] = Experiment.TimeRange(stRaw);
  const double q = (tmax - tmin) / 4;
  BusyScope busy(Experiment);
  auto fill = [](EditBox& box, double value) {
    if (box.Text().empty()) box.SetText(FormatNumber("", value));
  };
  fill(StartZeroBox, tmin + q);
  fill(StopZeroBox, tmax - 2 * q);
  fill(StartCropBox, tmin + q);
  fill(StopCropBox, tmax - 2 * q);
  fill(StartAlignBox, tmin + q);
  fill(StopAlignBox, tmax - 2 * q);
  fill(StartDMSOBox, tmin + q);
  fill(StopDMSOBox, tmax - 2 * q);
  fill(StartBoundBox, tmin + q);
  fill(StopBoundBox, tmax - 2 * q);
  fill(InjEndBox, tmax - q);
  Pages.SetPageCaption(pgScheme, "DATA");
}

void TMainForm::RunChain(int from) {
  // Changes on either side of a recomputation are separate entries.
  UndoList.CloseCurrent();
  if (!Experiment.DataLoaded || !Experiment.StageExists(stRaw)) return;
  ws_.ProcessMessages();
  UpdateAnalyteNumbers();
  // Every stage checks its own switch and finds its own source, so a stage
  // switched off earlier in this run is simply passed over.
  for (int s = std::max(from, 0); s <= stResult; ++s) RunStage(s);
  SaveMethodButton.SetEnabled(true);
  Experiment.SampleTableEdited = false;
  Experiment.ScaleFactorEdited = false;
  Experiment.AnalysisOptionsEdited = false;
  ws_.SetCursor(crDefault);
}

void TMainForm::RunStage(int stage) {
  switch (stage) {
    case stRaw:
      ApplyColours();
      break;
    case stData:
      RunDataStage(Experiment, DespikeAction.Checked());
      break;
    case stZero:
      if (!Experiment.Switches.Zero) break;
      ws_.SetCursor(crStageFirst);  // the Zero stage's busy cursor
      if (!ZeroStage(Experiment, StartZeroBox.Text(), StopZeroBox.Text())) {
        ws_.MessageBox("An error occurred while Zeroing the data.\nThe Zero function has been turned off.", "Error",
                       MsgButtons::Ok, MsgIcon::Warning);
        // The same as the user switching the stage off.
        ZeroCheck.SetChecked(false);
      }
      break;
    case stCrop: {
      if (!Experiment.Switches.Crop) break;
      ws_.SetCursor(crStageFirst + 1);  // the Crop stage's busy cursor
      const CropResult result = CropStage(Experiment, StartCropBox.Text(), StopCropBox.Text(),
                                          CropAverageCheck.Checked(), CropSecondsBox.Text());
      if (result == CropResult::NotEnoughPoints) {
        ws_.MessageBox("Not enough points in selected region", "Crop Error", MsgButtons::Ok, MsgIcon::None);
        ws_.SetCursor(crDefault);
        CropCheck.SetChecked(false);
      } else if (result == CropResult::Failed) {
        ws_.MessageBox("An error occurred while Cropping the data.\nThe Crop function has been turned off.", "Error",
                       MsgButtons::Ok, MsgIcon::Warning);
        CropCheck.SetChecked(false);
      }
      break;
    }
    case stAlign:
      RunAlignStage();
      break;
    case stReference:
      RunReferenceStage();
      break;
    case stSolvent:
      RunSolventStage();
      break;
    case stBlank:
      RunBlankStage();
      break;
    case stScale:
      RunScaleStage();
      break;
    case stBound:
      RunBoundStage();
      break;
    case stAffinity:
      RunAffinityStage();
      break;
    default:
      break;  // the later stages arrive with their pages
  }
}

void TMainForm::ZeroCheckClick() {
  Experiment.Switches.Zero = ZeroCheck.Checked();
  Pages.SetPageCaption(pgZero, Experiment.Switches.Zero ? "ZERO" : "Zero");
  if (!Experiment.Busy) UndoList.RecordCheck(ZeroCheck, pgZero, ZeroCheck.Checked(), stZero);
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  if (!Experiment.Switches.Zero) Experiment.FreeStages(stZero);
  RunChain(stZero);
  RefreshActivePage();
}

void TMainForm::CropCheckClick() {
  Experiment.Switches.Crop = CropCheck.Checked();
  Pages.SetPageCaption(pgCrop, Experiment.Switches.Crop ? "CROP" : "Crop");
  if (!Experiment.Busy) UndoList.RecordCheck(CropCheck, pgCrop, CropCheck.Checked(), stCrop);
  if (!Experiment.DataLoaded || Experiment.Busy) return;
  Experiment.FreeStages(stCrop);  // on or off: rebuilt from scratch
  RunChain(stCrop);
  RefreshActivePage();
}

void TMainForm::WindowBoxChange(int stage, EditBox& box) {
  if (Experiment.Busy || !box.Modified()) return;
  NumericBoxEdited(box, PageOfStage(stage));
  if (stage == stAlign || stage == stSolvent || stage == stBound)
    Experiment.WindowSet[static_cast<std::size_t>(stage)] = true;
  // The marker follows the box while the page shows.
  if (Pages.ActivePageIndex() == PageOfStage(stage)) {
    const double t = ParseNumber(box.Text(), 0);
    if (&box == StartBoxOf(stage)) FromPlot.SetStartLineTime(t);
    if (&box == StopBoxOf(stage)) FromPlot.SetStopLineTime(t);
  }
  if (Experiment.Switches.IsOn(stage)) ScheduleRecompute(stage);
}

void TMainForm::ScheduleRecompute(int stage) {
  EditTimer->Stop();
  if (stage < Experiment.PendingStage) Experiment.PendingStage = stage;
  EditTimer->SetInterval(kEditDelayMs);
  EditTimer->Start();
}

void TMainForm::EditTimerTimer() {
  EditTimer->Stop();
  EditTimer->SetInterval(1000);
  const int pending = Experiment.PendingStage;
  if (pending == kNoStage) return;
  if (pending != stKinetics) {
    RunChain(pending);
    RefreshActivePage();
  }
  Experiment.PendingStage = kNoStage;
}

void TMainForm::SanitizeWindow(int stage, EditBox& start, EditBox& stop, EditBox* third) {
  const int source = Experiment.FindSourceStage(stage);
  const auto [tmin, tmax] = Experiment.TimeRange(source);
  const bool set = stage >= 0 && stage < kStageCount && Experiment.WindowSet[stage];
  const std::string_view thirdText = third ? std::string_view(third->Text()) : std::string_view();
  const StageWindow w = SanitizedWindow(tmin, tmax, set, start.Text(), stop.Text(), third ? &thirdText : nullptr);
  // Only a value that changed is written back.
  auto write = [](EditBox& box, double value) {
    if (ParseNumber(box.Text(), value + 1) != value) box.SetText(FormatNumber("", value));
  };
  write(start, w.start);
  write(stop, w.stop);
  if (third) write(*third, w.third);
}

void TMainForm::RefreshDataPage() {
  std::vector<std::string> lines;
  const TCurveSet& raw = Experiment.Stage(stRaw);
  for (int c = 0; c < raw.CurveCount; ++c) {
    const TCurveInfo& info = Experiment.CurveInfo[c];
    const int n = raw.PointCount[c];
    std::string line = "Curve " + std::to_string(c + 1) + ": Fc " + std::to_string(info.FlowCell) + ", Inj " + std::to_string(info.Injection) +
                       ", " + std::to_string(n) + " points";
    if (n > 0)
      line += FormatNumber(", ", raw.TimeOf(c)[0]) + FormatNumber(" to ", raw.TimeOf(c)[n - 1]) + " s";
    lines.push_back(std::move(line));
  }
  CurveList.SetItems(std::move(lines));
  ShowDataGraph();
}

void TMainForm::SetCaptionForFile(const std::string& path) {
  Form.SetCaption(BaseTitle + " - " + BaseNameOf(path));
}

void TMainForm::HelpButtonClick() {
  const int page = Pages.ActivePageIndex();
  if (page < 0 || page >= kPageCount) return;
  ws_.ShowHelp(kHelpFile, kPages[page].help);
}

void TMainForm::WebButtonClick() { ws_.OpenUrl(kVersionCheckUrl); }

bool TMainForm::FormCloseQuery() {
  return ws_.MessageBox("Exit Kelvaris?", "Close", MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes;
}

void TMainForm::FormClose() {
  ws_.CloseHelp();
  closed_ = true;
  Form.SetVisible(false);
}

void TMainForm::PageControlChanging(bool& allowChange) {
  // Nothing can be looked at before data is loaded.
  if (!Experiment.DataLoaded) {
    allowChange = false;
    return;
  }
  SampleGrid.ClearSelection();
  InjAnalyteGrid.ClearSelection();
  ApplySampleTableEdits();
  if (Pages.ActivePageIndex() == pgCompound && !CheckAnalyteNumbers()) {
    allowChange = false;
    return;
  }
  if (Experiment.SampleTableEdited || Experiment.ScaleFactorEdited)
    RunChain(stRaw);
  else if (Experiment.AnalysisOptionsEdited)
    RunChain(stResult);
}

void TMainForm::PageControlChange() { RefreshActivePage(); }

void TMainForm::RawStageAllocated() { HideButton.SetEnabled(true); }

void TMainForm::RawStageFreed() {
  UndoList.Clear();
  AllPointAction.SetChecked(false);
  AllPointAction.SetEnabled(false);
  DespikeAction.SetEnabled(false);
}

}  // namespace kelvaris

// The Load command, the recent-file list of the Load button, the file named
// on the command line, and LoadDataFile, which recognises a file and hands
// it to its reader.
#include <algorithm>

#include "app/main_form.h"
#include "import/data_readers.h"
#include "import/file_bytes.h"
#include "import/format_recognition.h"

namespace kelvaris {

namespace {

enum LoadOption { optClearMethod = 0, optLoadAssociatedData = 1, optMerge = 2 };
constexpr int kMethodFilter = 3;

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

void NameFlowCells(TExperiment& e, FlowCellNaming naming, int n) {
  auto& l = e.Ligands;
  switch (naming) {
    case FlowCellNaming::Keep:
      break;
    case FlowCellNaming::Default:
      for (std::size_t i = 0; i < l.size(); ++i) l[i].Name = e.DefaultLigandName(static_cast<int>(i));
      break;
    case FlowCellNaming::General:
      l[0].Name = "Flowcell";
      for (int i = 1; i <= n && i < static_cast<int>(l.size()); ++i) l[i].Name = "Flowcell " + std::to_string(i);
      break;
    case FlowCellNaming::ThreeSpots: {
      e.ExtendLigands(3);
      const char* names[] = {"Flowcell", "Spot 1", "Spot 2", "Spot R"};
      for (int i = 0; i < 4; ++i) l[i].Name = names[i];
      break;
    }
    case FlowCellNaming::FourFlowCells:
      e.ExtendLigands(4);
      l[0].Name = "Flowcell";
      for (int i = 1; i <= 4; ++i) l[i].Name = "Flowcell " + std::to_string(i);
      break;
  }
}

}  // namespace

OpenDialogRequest TMainForm::LoadDialogRequest() {
  OpenDialogRequest r;
  r.title = "Load";
  r.filters = {{"Biosensor files", "*.blr;*.ble;*.frd;*.dat;*.txt"},
               {"Data files", "*.txt"},
               {"Kelvaris files", "*.kvx"},
               {"All files", "*.*"}};
  r.filterIndex = OpenFilterIndex;
  r.defaultExtension = "txt";
  r.startFolder = OpenFolder;
  r.multiSelect = true;
  r.nameBufferSize = 30000;
  r.optionsLabel = "Options:";
  r.options = {{"Clear method", ClearMethod, true},
               {"Load associated data", LoadAssociatedData, true},
               {"Merge", false, Experiment.DataLoaded}};
  // The options that apply follow the filter; their states reach the form
  // on every change of filter and on confirmation.
  auto follow = [this](int filter, std::vector<DialogOption>& options) {
    if (options.size() < 3) return;
    options[optLoadAssociatedData].enabled = filter == kMethodFilter;
    options[optClearMethod].enabled = filter != kMethodFilter;
    options[optMerge].enabled = Experiment.DataLoaded;
    LoadAssociatedData = options[optLoadAssociatedData].checked;
    ClearMethod = options[optClearMethod].checked;
    Merge = options[optMerge].checked && Experiment.DataLoaded;
  };
  follow(r.filterIndex, r.options);
  r.onFilterChange = follow;
  return r;
}

void TMainForm::LoadButtonClick() {
  const std::string currentFolder = ws_.CurrentFolder();
  OpenDialogResult chosen = ws_.OpenFileDialog(LoadDialogRequest());
  if (chosen.outcome != DialogOutcome::Accepted) {
    if (chosen.outcome == DialogOutcome::Overflow)
      ws_.MessageBox("Too many files selected", "Load error", MsgButtons::Ok, MsgIcon::None);
    ws_.SetCurrentFolder(currentFolder);
    Merge = false;
    return;
  }
  OpenFilterIndex = chosen.filterIndex;
  OpenFolder = chosen.path;
  Experiment.Busy = true;
  ws_.SetCursor(crHourGlass);
  Experiment.InstrumentKind = 0;
  LoadChosenFiles(chosen);
  ws_.SetCursor(crDefault);
  ws_.SetCurrentFolder(currentFolder);
  if (Experiment.DataLoaded) {
    RunChain(stRaw);
    RefreshDataPage();
  }
  Experiment.Busy = false;
}

void TMainForm::LoadChosenFiles(const OpenDialogResult& chosen) {
  if (chosen.names.empty()) {
    LoadDataFile(chosen.path, true);
    return;
  }
  const bool chosenMerge = Merge;
  for (std::size_t i = 0; i < chosen.names.size(); ++i) {
    if (i > 0) Merge = true;  // every later file joins the first
    LoadDataFile(JoinPath(chosen.path, chosen.names[i]), true);
  }
  Merge = chosenMerge;
}

void TMainForm::FileListMenuPopup() {
  FileListMenu.Clear();
  titleForm_.FillRecentMenu(FileListMenu);
}

void TMainForm::FileListClick(int index) {
  if (index < 0 || index >= static_cast<int>(FileListMenu.Items().size())) return;
  const Menu::Item item = FileListMenu.Items()[index];
  if (item.tag == TTitleForm::kFolderTag) {
    OpenFolder = item.caption;
    LoadButtonClick();
    return;
  }
  if (item.tag != TTitleForm::kFileTag) return;
  const std::string currentFolder = ws_.CurrentFolder();
  Experiment.Busy = true;
  ws_.SetCursor(crHourGlass);
  LoadDataFile(item.caption, true);
  ws_.SetCursor(crDefault);
  ws_.SetCurrentFolder(currentFolder);
  if (Experiment.DataLoaded) {
    RunChain(stRaw);
    RefreshDataPage();
  }
  Experiment.Busy = false;
}

void TMainForm::FormPaint() {
  if (painted_) return;
  painted_ = true;
  Pages.SetActivePageIndex(pgScheme);
  if (arguments_.empty()) return;
  Experiment.Busy = true;
  LoadDataFile(arguments_.front(), true);
  RefreshDataPage();
  Experiment.Busy = false;
}

bool TMainForm::LoadDataFile(const std::string& path, bool showMessages) {
  auto show = [&](const std::string& text, const std::string& caption, MsgIcon icon) {
    if (showMessages) ws_.MessageBox(text, caption, MsgButtons::Ok, icon);
  };

  FileBytes file = ReadFileBytes(path);
  if (!file.opened) {
    show(file.error.empty() ? "Unable to open file" : "Unable to open file possibly because\n" + file.error,
         "File Read Error", MsgIcon::Warning);
    Merge = false;
    return false;
  }
  if (file.bytes.size() < 20) {
    show("Unable to read file", "File Read Error", MsgIcon::Warning);
    Merge = false;
    return false;
  }
  titleForm_.AddRecent(path);
  progress_.Show(0);
  ws_.ProcessMessages();

  const RecognisedFormat format = RecogniseFormat(std::string_view(file.bytes).substr(0, 20));
  const DataReader reader = ReaderFor(format.format);
  if (!reader) {
    show(std::string("Kelvaris cannot read ") + FormatDescription(format.format) + " files yet",
         "File Read Error", MsgIcon::Warning);
    progress_.Hide();
    Merge = false;
    return false;
  }

  // The reader fills a fresh raw stage; the loaded curves and the analysis
  // stay as they are until it has succeeded.
  RawRun run;
  run.carriesConcentrations = format.carriesConcentrations;
  ReadMessage message;
  ReaderOptions options{format.columnMask, path};
  const ReadProgress progress = [this](int tenths) {
    progress_.Bar.SetPosition(tenths);
    ws_.ProcessMessages();
  };
  if (!reader(file.bytes, options, run, message, progress)) {
    if (!message.text.empty()) show(message.text, message.caption, message.icon);
    progress_.Hide();
    Merge = false;
    return false;
  }
  std::string().swap(file.bytes);  // the text is no longer needed

  // Merging takes the loaded curves and their cells aside before the reset
  // that "Clear method" asks for, and joins them to the new curves after it.
  const bool merging = Merge && Experiment.DataLoaded && Experiment.StageExists(stRaw);
  SetAside old;
  if (merging) old = SetAsideForMerge();
  if (ClearMethod) ResetExperiment();
  if (run.instrumentKind) Experiment.InstrumentKind = *run.instrumentKind;
  if (run.temperature) Experiment.Temperature = *run.temperature;
  if (run.flowRate) Experiment.FlowRate = *run.flowRate;
  int highest = std::max(run.highestFlowCell, 1);
  if (run.keepsLoadedCurves && old.raw.Exists()) {
    // Nothing new to merge with: the set-aside curves simply come back.
    Experiment.InstallRawStage(std::move(old.raw), std::move(old.info));
    old = SetAside{};
  } else if (!run.keepsLoadedCurves) {
    Experiment.InstallRawStage(std::move(run.curves), std::move(run.info));
  }
  for (const auto& info : Experiment.CurveInfo) highest = std::max(highest, info.FlowCell);
  Experiment.ExtendLigands(highest);
  NameFlowCells(Experiment, run.naming, highest);
  for (std::size_t i = 0; i < run.ligandNames.size() && i < Experiment.Ligands.size(); ++i)
    if (!run.ligandNames[i].empty()) Experiment.Ligands[i].Name = run.ligandNames[i];
  if (run.rowAnalyteLayout) {
    const RowAnalyteLayout& l = *run.rowAnalyteLayout;
    LayoutFromRowAnalytes(l.rows, l.columns, l.analytePerRow, l.analyteNames);
  }

  Experiment.DataLoaded = true;
  DataFilePath = path;
  SetCaptionForFile(path);
  if (merging && old.raw.Exists()) MergeSetAside(std::move(old));
  Merge = false;
  RefreshFlowCellSelectors();
  DefaultWindows();
  if (format.carriesConcentrations) FillConcentrationsFromData();
  LayoutSampleTable();

  AllPointAction.SetEnabled(true);
  AllPointAction.SetChecked(AllPoints);
  DespikeAction.SetEnabled(true);
  progress_.Hide();
  return true;
}

}  // namespace kelvaris

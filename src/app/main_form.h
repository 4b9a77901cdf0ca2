// The main window's state and handlers: tool bar, pages, graph filters and
// the Load command. The Qt view draws these controls and forwards the
// user's actions to the handlers; the command-line tool drives them directly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/progress_form.h"
#include "app/title_form.h"
#include "model/experiment.h"
#include "model/undo.h"
#include "graph/graph_props.h"
#include "graph/plot.h"
#include "graph/standard_graph.h"
#include "platform/controls.h"
#include "platform/window_system.h"
#include "table/kelvaris_grid.h"

namespace kelvaris {

// The pages in tab order.
enum PageIndex : int {
  pgScheme = 0,
  pgZero,
  pgCrop,
  pgAlign,
  pgReference,
  pgDmso,
  pgBlank,
  pgCompound,
  pgBound,
  pgFit,
  pgKinetics,
  pgResult,
  kPageCount,
};

struct PageDescription {
  const char* name;     // SchemePage
  const char* caption;  // designed caption
  const char* help;     // topic in the help file
};
const PageDescription& PageInfo(int page);

// The page of a stage (the stages from Zero on each have one, in order).
constexpr int PageOfStage(int stage) { return stage >= 2 ? stage - 1 : pgScheme; }
// The stage whose graph property record a graph of `page` edits:
// `sourceGraph` is the left-hand graph of a processing page, `percentOfMax`
// the Affinity page's "Show as % max". -1 on the Result page, whose graphs
// keep records of their own.
int GraphPropsStage(const TExperiment& e, int page, bool sourceGraph, bool percentOfMax);

constexpr const char* kHelpFile = "Kelvaris2.chm";
constexpr const char* kVersionCheckUrl = "https://www.kelvaris.example/version-check";

class TReorderDialog;
class TGraphPropsDialog;

// One entry of an instrument's injection list: the sample text of its cell
// and the 0-based index of its analyte.
struct InjectionEntry {
  std::string concentration;
  int analyte = 0;
};

// The analyte colour button's three states and the ligand button's two.
enum AnalyteColourMode : int { acBlack = 0, acByNumber = 1, acByConcentration = 2 };
enum LigandColourMode : int { lcBlack = 0, lcByFlowCell = 1 };

// The graph menu's commands (the items' tags).
enum GraphCommand : int {
  gcZoomIn = 1,
  gcZoomOut,
  gcLegend,
  gcLabels,
  gcLogScale,
  gcLabelPoints,
  gcUnlabelPoints,
  gcCopyGraph,
  gcCopyData,
  gcHidePoints,
  gcUnhidePoints,
  gcExcludeLine,
  gcProperties,
};

// The table menu's commands (the items' tags).
enum TableCommand : int {
  tcHide = 1,
  tcUnhide,
  tcUnits,
  tcChop,
  tcReorder,
  tcFill,
  tcCopy,
  tcPaste,
};

class TMainForm : public ExperimentListener {
 public:
  TMainForm(WindowSystem& ws, TTitleForm& titleForm, TProgForm& progress,
            std::vector<std::string> arguments);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  WindowSystem& Ws() const { return ws_; }
  TExperiment Experiment;
  ControlRegistry Controls;

  // The window itself: its caption and visibility.
  Panel Form{"MainForm"};

  // Tool bar, left to right.
  Action LoadButton{"LoadButton"};
  Menu FileListMenu{"FileListMenu"};
  Action SaveMethodButton{"SaveMethodButton"};
  Action PrintButton{"PrintButton"};
  Action HelpButton{"HelpButton"};
  Action WebButton{"WebButton"};
  Action UndoButton{"UndoButton"};
  Action RedoButton{"RedoButton"};
  Action HideButton{"HideButton"};
  Action AllPointAction{"AllPointAction", true};
  Action DespikeAction{"DespikeAction", true};
  ComboBox AnalyteListBox{"AnalyteListBox"};
  ComboBox FcListBox{"FcListBox"};

  PageControl Pages{"PageControl"};
  // Graphs: the Data page's, and the source and result graphs of the
  // processing pages.
  TPlot DataPlot{"DataPlot"};
  TPlot FromPlot{"FromPlot"};
  TPlot ToPlot{"ToPlot"};
  // The display properties of each stage's graphs.
  std::array<std::unique_ptr<TGraphPropData>, kStageCount> StageGraphProps;
  // The size of a graph copied to the clipboard, pixels.
  int CopyWidth = 1000;
  int CopyHeight = 600;
  // The graph properties dialog for one of the graphs above.
  void GraphPropertiesClick(TPlot& plot);
  void SetGraphPropsDialog(TGraphPropsDialog* dialog) { graphPropsDialog_ = dialog; }
  // The Data page lists the loaded curves until it has its graph.
  ListBox CurveList{"CurveList"};

  // Data page: the sample table.
  TKelvarisGrid SampleGrid;
  EditBox RowBox{"RowBox"};
  UpDown RowUpDown{"RowUpDown"};
  EditBox StockConcBox{"StockConcBox"};
  EditBox DilutionBox{"DilutionBox"};
  Menu TablePopup{"TablePopup"};

  // Compnd page: analytes, the analyte of every injection, the ligands.
  TKelvarisGrid InjAnalyteGrid;
  TKelvarisGrid CompoundGrid;
  TKelvarisGrid LigandGrid;
  EditBox CompoundBox{"CompoundBox"};
  UpDown CompoundUpDown{"CompoundUpDown"};
  EditBox LigandBox{"LigandBox"};
  UpDown LigandUpDown{"LigandUpDown"};
  Label LigandLabel{"LigandLabel"};
  Action AnalyteColorButton{"AnalyteColorButton"};
  Action LigandColorButton{"LigandColorButton"};
  int AnalyteColour = acBlack;
  int LigandColour = lcBlack;

  // Zero page.
  EditBox StartZeroBox{"StartZeroBox"};
  EditBox StopZeroBox{"StopZeroBox"};
  CheckBox ZeroCheck{"ZeroCheck"};
  void ZeroCheckClick();
  // Crop page.
  EditBox StartCropBox{"StartCropBox"};
  EditBox StopCropBox{"StopCropBox"};
  CheckBox CropCheck{"CropCheck"};
  CheckBox CropAverageCheck{"CropAverageCheck"};
  EditBox CropSecondsBox{"CropSecondsBox"};
  void CropCheckClick();
  // Align page.
  EditBox StartAlignBox{"StartAlignBox"};  // "Min inj time"
  EditBox StopAlignBox{"StopAlignBox"};    // "Max inj time"
  CheckBox AlignCheck{"AlignCheck"};
  // The "Set injection time" group: the current aligned curve.
  UpDown AlignCurveUpDown{"AlignCurveUpDown"};
  Label AlignCurveLabel{"AlignCurveLabel"};
  EditBox InjectionTimeBox{"InjectionTimeBox"};
  // Each click moves the current curve by 0.1 s (+1 right, -1 left).
  UpDown AlignStepUpDown{"AlignStepUpDown"};
  CheckBox AutoCheck{"AutoCheck"};
  CheckBox SingleCheck{"SingleCheck"};
  void AlignCheckClick();
  void AlignCurveUpDownClick();
  void AutoCheckClick();
  void InjectionTimeBoxChange();
  void AlignStepClick();
  void SingleCheckClick();
  // Ref page.
  ComboBox ReferenceCombo{"ReferenceCombo"};  // "None", then the flow cells
  RadioGroup SubtractGroup{"SubtractGroup"};  // "Curve" or "Jump"
  EditBox InjEndBox{"InjEndBox"};
  Label InjEndLabel{"InjEndLabel"};
  void ReferenceComboChange();
  void SubtractGroupClick();
  void InjEndBoxChange();
  bool JumpMode() const { return SubtractGroup.ItemIndex() == 1; }
  // Dmso page (the "Inj end" box is shared with the Ref page).
  EditBox StartDMSOBox{"StartDMSOBox"};
  EditBox StopDMSOBox{"StopDMSOBox"};
  RadioGroup DMSOGroup{"DMSOGroup"};  // "None", "Linear fit", "Second order polynomial", "File"
  EditBox DMSOFileBox{"DMSOFileBox"};
  Action DMSOFileButton{"DMSOFileButton"};
  void DMSOGroupClick();
  void DMSOFileButtonClick();
  void DMSOFileBoxChange();
  // Reads a standards file; false after its message.
  bool LoadStandardsFile(const std::string& path);
  // The standard graph; the mouse highlights a standard and names its
  // sample, a double click rejects or restores the highlighted ones.
  TStandardGraph StandardGraph{"StandardGraph"};
  void PaintStandardGraph(Canvas& canvas);
  void StandardGraphMouseMove(int x, int y);
  void StandardGraphDblClick();
  std::string StandardGraphHint;
  // Blank page.
  RadioGroup BlankGroup{"BlankGroup"};  // "None", "Closest", "Average", "Compound"
  Action BlankRemoveButton{"BlankRemoveButton"};
  Action BlankAddButton{"BlankAddButton"};
  Panel BlankWarningPanel{"BlankWarningPanel"};
  Label BlankWarningLabel{"BlankWarningLabel"};
  void BlankGroupClick();
  // "Remove" (true) or "Add" (false) for the blank selected in the source graph.
  void BlankMarkClick(bool remove);
  // The method file's and the report's two states of the group.
  bool BlankClosestChecked() const { return BlankGroup.ItemIndex() == 1; }
  // Compnd page: scaling.
  CheckBox ScaleCheck{"ScaleCheck"};        // "Multiply by"
  EditBox ScaleBox{"ScaleBox"};             // the factor
  CheckBox DivideMWCheck{"DivideMWCheck"};  // "Divide by MW"
  void ScaleCheckClick();
  // Bound page.
  EditBox StartBoundBox{"StartBoundBox"};  // "Average from"
  EditBox StopBoundBox{"StopBoundBox"};    // "to"
  CheckBox BoundCheck{"BoundCheck"};       // "Calc"
  Panel BoundWarningPanel{"BoundWarningPanel"};
  Label BoundWarningLabel{"BoundWarningLabel"};
  void BoundCheckClick();
  // Affinity page: one tab per flow cell; the check boxes and boxes show
  // the selected flow cell's settings.
  PageControl FitFcTab{"FitFcTab"};
  CheckBox FitCheck{"FitCheck"};              // "Fit": the flow cell's affinity fit
  CheckBox FloatCheck{"FloatCheck"};          // "Fit": the global Rmax is fitted
  EditBox Rmax1Box{"Rmax1Box"};               // "Rmax": the global Rmax, RU
  CheckBox IndependentCheck{"IndependentCheck"};  // "Allow local"
  CheckBox CalcBoundCheck{"CalcBoundCheck"};  // "Calc % Bound"
  EditBox DrugBox{"DrugBox"};                 // "Drug conc"
  EditBox ProteinBox{"ProteinBox"};           // "Prot. conc"
  CheckBox NormalizeAffinityCheck{"NormalizeAffinityCheck"};  // "Show as % max"
  TKelvarisGrid KmGrid;
  Panel FitWarningPanel{"FitWarningPanel"};
  Label FitWarningLabel{"FitWarningLabel"};
  TPlot FitPlot{"FitPlot"};
  // The table's "No units" switch (the copy menu's item).
  bool AffinityNoUnits = false;
  // The fit messages of the last run, per flow cell ("" for none).
  const std::vector<std::string>& AffinityWarnings() const { return affinityWarnings_; }
  // The flow cell of the selected tab (1-based).
  int AffinityFlowCell() const { return std::max(FitFcTab.ActivePageIndex(), 0) + 1; }
  void FitFcTabChange();
  void FitCheckClick();
  void FloatCheckClick();
  void Rmax1BoxChange();
  void IndependentCheckClick();
  void CalcBoundCheckClick();
  void DrugProteinBoxChange(EditBox& box);
  void NormalizeAffinityCheckClick();
  void KmGridMouseUp(int x, int y);
  void KmGridCellChange(int col, int row, const std::string& newText);
  // A typed window value: recompute the stage when it is on.
  void WindowBoxChange(int stage, EditBox& box);
  // A marker of the page's source graph dragged to `time`: the box follows,
  // the change is recorded, and the stage recomputes when it is on.
  void WindowMarkerDrag(int stage, EditBox& box, double time);

  // Undo and redo of setting changes.
  TUndoList UndoList;
  void UndoButtonClick();
  void RedoButtonClick();
  // The window's key preview: Ctrl+Z (26) undoes and Ctrl+R (18) redoes;
  // the key is consumed (set to 0).
  void FormKeyPress(char& key);
  // The view moves the keyboard focus to the tool bar.
  std::function<void()> OnFocusToolBar;

  // Load state.
  bool LoadAssociatedData = true;
  bool ClearMethod = true;
  bool Merge = false;
  int OpenFilterIndex = 1;
  std::string OpenFolder;
  std::string DataFilePath;
  std::string BaseTitle = "Kelvaris";
  bool AllPoints = false;  // the all-points display option
  float LayoutScale = 1.0f;

  // Handlers.
  void LoadButtonClick();
  void FileListMenuPopup();
  void FileListClick(int index);
  void FormPaint();
  bool LoadDataFile(const std::string& path, bool showMessages);
  void HelpButtonClick();
  void WebButtonClick();
  bool FormCloseQuery();
  void FormClose();
  void PageControlChanging(bool& allowChange);
  void PageControlChange();

  // The new-experiment reset.
  void ResetExperiment();

  // --- the sample table ---
  // Data rows of the injection layout (the "Rows" box).
  int LayoutRows() const { return RowUpDown.Position(); }
  double ConcentrationOfInjection(int injection) const;
  void RefreshConcentrations();
  double ConcentrationOf(int curve);
  double ConcentrationOfSample(int injection);
  int AnalyteOf(int injection) const;
  void UpdateAnalyteNumbers();
  void ApplyColours();
  void FillConcentrationsFromData();
  void LayoutFromInjectionList(const std::vector<InjectionEntry>& injections,
                               const std::vector<std::string>& analyteNames);
  void LayoutFromRowAnalytes(int rows, int columns, const std::vector<int>& analytePerRow,
                             const std::vector<std::string>& analyteNames);
  // The analyte table gets k rows (the "Number" box of the analytes).
  void SetAnalyteCount(int k);
  // The ligand table and its count box from the ligand list.
  void RefreshLigandTable();
  void AnalyteColorButtonClick();
  void LigandColorButtonClick();
  // The analyte cells that can be edited follow the sample cells: samples
  // and blanks have an analyte, everything else is blocked.
  void SyncAnalyteCells();
  // Checks the analyte number of every injection; false after a message.
  bool CheckAnalyteNumbers();
  void ReorderItemClick();
  void SetReorderDialog(TReorderDialog* dialog) { reorderDialog_ = dialog; }
  // The table menu and the grids' control keys.
  void TablePopupPopup();
  void TablePopupClick(int index);
  void RunTableCommand(int command);
  // Whether a table command can run now (its menu item is enabled).
  bool TableCommandEnabled(int command) const;
  // Asks for a recomputation from `stage` after the edit delay: a burst of
  // edits gives one run, 2 s after the last, from the lowest stage touched.
  void ScheduleRecompute(int stage);
  void EditTimerTimer();
  std::unique_ptr<Timer> EditTimer;
  static constexpr int kEditDelayMs = 2000;
  // Shows the page on display again after a recomputation.
  void RefreshActivePage();
  // A processing page's graphs: its stage's source above, the stage below,
  // with the window markers from the boxes.
  void ShowStagePage(int stage);
  void ShowDataGraph();
  // The context menu of every graph; the view opens it for the graph that
  // was clicked.
  Menu GraphPopup{"GraphPopup"};
  void GraphContextMenu(TPlot& plot);
  void GraphPopupPopup();
  void GraphPopupClick(int index);
  void RunGraphCommand(TPlot& plot, int command);
  // The stage a graph shows (-1 when none).
  int GraphStage(const TPlot& plot) const;
  // The flow-cell and analyte filters: the graphs of stages 0 to 9 hide
  // the curves they leave out.
  void ApplyDisplayFilter();
  // Whether the flow-cell filter shows each flow cell (index = flow cell).
  std::vector<bool> ShownFlowCells() const;
  // A graph's legend and curve names from the curves of a stage.
  void BuildLegend(TPlot& plot, int stage);
  // Column 1 of an analyte's row of the analyte table ("" for none), of
  // the analyte row of an injection, and of a flow cell's row.
  std::string AnalyteName(int analyte) const;
  std::string AnalyteNameOf(int injection) const;
  std::string FlowCellNameOf(int flowCell) const;
  // The reference flow cell chosen on the Ref page (0: none).
  int ReferenceItemIndex() const { return ReferenceCombo.ItemIndex(); }
  // Graphs never point into arrays that are about to be released: the
  // graphs showing stages first..last let go of them.
  void DetachGraphs(int first = 0, int last = kStageCount - 1);
  // Gives a stage's window boxes sensible values before the stage runs.
  void SanitizeWindow(int stage, EditBox& start, EditBox& stop, EditBox* third);
  // The flow-cell filter list from the ligand list.
  void RefreshFlowCellSelectors();
  // Fills empty stage-window boxes after a load.
  void DefaultWindows();
  // Lays the sample table out for the loaded injections.
  void LayoutSampleTable();
  // Runs the processing chain from a stage to the end.
  void RunChain(int from);
  // Shows the loaded curves on the Data page.
  void RefreshDataPage();
  // The window caption after loading `path`.
  void SetCaptionForFile(const std::string& path);

  bool Closed() const { return closed_; }
  const std::vector<std::string>& Arguments() const { return arguments_; }

  // ExperimentListener
  void RawStageAllocated() override;
  void RawStageFreed() override;
  void StagesFreeing(int from) override;
  void StageAllocating(int stage) override;

 private:
  void CreateControls();
  void CreateSampleTableControls();
  void RegisterSampleTableControls();
  void SampleCellChange(TKelvarisGrid& grid, int col, int row, const std::string& oldText,
                        const std::string& newText);
  void SampleSelectionChange(int col, int row);
  void CompoundCellChange(int col, int row, const std::string& newText);
  void LigandCellChange(int col, int row, const std::string& newText);
  void GridControlKey(TKelvarisGrid& grid, int& key, unsigned shift);
  void RowBoxChange();
  void CompoundBoxChange();
  void RebuildAnalyteList();
  // One analyte row per name; an empty name becomes "Analyte " and the row.
  void SetAnalyteNames(const std::vector<std::string>& names);
  void WriteAnalyteColourCodes();
  void ResetSampleTables();
  // The grid the table commands act on.
  TKelvarisGrid* TableCommandGrid();
  void HideSelectedInjections(bool hide);
  void BoldSelectedInjections();
  // Merging: the loaded data set aside before it joins a new file's curves.
  struct LayoutCell {
    int injection = 0;
    std::string sample;  // the SampleGrid cell
    std::uint32_t sampleFlags = 0;
    std::string analyte;  // the InjAnalyteGrid cell
    std::uint32_t analyteFlags = 0;
  };
  // The unblocked cells of both layout grids, in injection order.
  std::vector<LayoutCell> CollectLayoutCells();
  // Both grids sized for `rows` rows and `dataColumns` columns (at least
  // one), emptied, with headers and "1" in every analyte cell.
  void PrepareLayoutGrids(int rows, int dataColumns);
  void PlaceLayoutCell(const LayoutCell& cell);
  struct SetAside {
    std::vector<LayoutCell> cells;
    std::vector<std::string> compounds;  // name and molecular weight of each
    TCurveSet raw;
    std::vector<TCurveInfo> info;
  };
  SetAside SetAsideForMerge();
  void MergeSetAside(SetAside&& old);
  // One stage function of the chain.
  void RunStage(int stage);
  // A typed key in a numeric box, and the text it gave the box.
  void NumericBoxKey(EditBox& box, int page, char key);
  void NumericBoxEdited(EditBox& box, int page);
  // The sample table's edits reach the curves (before the chain runs).
  void ApplySampleTableEdits();
  void FocusToolBar();
  void ShowUndoButtons();
  // The chain after an undo or redo of an entry with this stage.
  void RecomputeAfterUndo(int stage);
  void RegisterControls();
  void CreateGraphs();
  void CreateAlignControls();
  void CreateReferenceControls();
  void CreateAffinityControls();
  void ResetAffinityControls();
  void RunAffinityStage();
  void ShowAffinityPage();
  // The fit messages of the last run, per flow cell.
  std::vector<std::string> affinityWarnings_;
  // The ligand of the selected tab, or none (also while busy).
  TLigand* SelectedAffinityLigand();
  void CreateBlankControls();
  void ResetBlankControls();
  void RunBlankStage();
  void SwitchBlankOff();
  void ShowBlankPage();
  void SetWarning(Panel& panel, Label& label, const std::string& text);
  // Colours of the blanks graph per curve of the Blank stage's source, and
  // the curve flags the graph draws them with.
  std::vector<int> blankDisplay_;
  std::vector<std::uint32_t> blankGraphFlags_;
  void CreateScaleControls();
  void ResetScaleControls();
  void RunScaleStage();
  void CreateBoundControls();
  void ResetBoundControls();
  void RunBoundStage();
  void ShowBoundPage();
  // A binding-curve graph names the entry under the mouse: its analyte and
  // concentration.
  void BindingGraphHint(TPlot& plot, int stage, int closest);
  void CreateSolventControls();
  void ResetSolventControls();
  void RunSolventStage();
  // The mode goes back to "None" without its handler.
  void SwitchSolventOff();
  void ShowSolventPage();
  void ResetReferenceControls();
  void RunReferenceStage();
  // The stage goes off as when the user chooses "None", without the handler.
  void SwitchReferenceOff();
  // The Ref page's controls follow the list and the mode.
  void EnableReferenceControls();
  void ShowReferencePage();
  void ResetAlignControls();
  void RunAlignStage();
  // The group shows the current aligned curve.
  void ShowCurrentAlignedCurve();
  // A double click on the Align page's result graph picks or releases a curve.
  bool AlignGraphDoubleClick(int closest);
  int alignCurvePosition_ = 0;
  void ConnectGraphs();
  // A dragged time line of the source graph writes its page's box.
  void GraphLineMoved(int line, double t);
  void GraphMouseOver(TPlot& plot, int closest);
  // The graph's state goes into the property record its page shows it with.
  void StoreGraphProps(TPlot& plot);
  void LabelSelectedPoints(TPlot& plot, bool on);
  void CopyGraph(TPlot& plot);
  void ToggleCurrentInjection(TPlot& plot);
  TPlot* menuPlot_ = nullptr;
  TPlot* hoverPlot_ = nullptr;
  int hoverEntry_ = -1;
  // Binds a graph to a stage's curves (none when the stage is empty).
  void BindGraph(TPlot& plot, int stage);
  struct GraphBinding {
    TPlot* plot;
    int stage;  // -1: bound to nothing
  };
  std::array<GraphBinding, 4> graphBindings_{};
  // The window boxes of a stage's page (null when it has none).
  EditBox* StartBoxOf(int stage);
  EditBox* StopBoxOf(int stage);
  OpenDialogRequest LoadDialogRequest();
  void LoadChosenFiles(const OpenDialogResult& result);

  WindowSystem& ws_;
  TTitleForm& titleForm_;
  TProgForm& progress_;
  std::vector<std::string> arguments_;
  TReorderDialog* reorderDialog_ = nullptr;
  TGraphPropsDialog* graphPropsDialog_ = nullptr;
  TKelvarisGrid* menuGrid_ = nullptr;  // the grid that last opened the table menu
  bool painted_ = false;
  bool closed_ = false;
};

}  // namespace kelvaris

// The main window's state and handlers: tool bar, pages, graph filters and
// the Load command. The Qt view draws these controls and forwards the
// user's actions to the handlers; the command-line tool drives them directly.
#pragma once

#include <string>
#include <vector>

#include "app/progress_form.h"
#include "app/title_form.h"
#include "model/experiment.h"
#include "platform/controls.h"
#include "platform/window_system.h"

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

constexpr const char* kHelpFile = "Kelvaris2.chm";
constexpr const char* kVersionCheckUrl = "https://www.kelvaris.example/version-check";

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
  // The Data page lists the loaded curves until it has its graph.
  ListBox CurveList{"CurveList"};

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

 private:
  void CreateControls();
  void RegisterControls();
  OpenDialogRequest LoadDialogRequest();
  void LoadChosenFiles(const OpenDialogResult& result);

  WindowSystem& ws_;
  TTitleForm& titleForm_;
  TProgForm& progress_;
  std::vector<std::string> arguments_;
  bool painted_ = false;
  bool closed_ = false;
};

}  // namespace kelvaris

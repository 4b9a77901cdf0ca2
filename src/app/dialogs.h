// The dialogs created once at start-up and shown when needed. Each is filled
// in by the feature it belongs to; until then it is an empty window.
#pragma once

#include <string>

#include "platform/controls.h"

namespace kelvaris {

class TDialogWindow {
 public:
  TDialogWindow(const std::string& name, const std::string& caption) : Form(name) {
    Form.SetCaption(caption);
    Form.SetVisible(false);
  }
  virtual ~TDialogWindow() = default;
  Panel Form;
};

class THideDialog : public TDialogWindow {
 public:
  THideDialog() : TDialogWindow("HideDialog", "Hide / Show") {}
};
class TPrintPropDialog : public TDialogWindow {
 public:
  TPrintPropDialog() : TDialogWindow("PrintPropDialog", "Print") {}
};
class TTableDialog : public TDialogWindow {
 public:
  TTableDialog() : TDialogWindow("TableDialog", "Set Concentration Units") {}
};
class TChopDialog : public TDialogWindow {
 public:
  TChopDialog() : TDialogWindow("ChopDialog", "Chop cycle") {}
};
class TSavePlotDialog : public TDialogWindow {
 public:
  TSavePlotDialog() : TDialogWindow("SavePlotDialog", "Save selected") {}
};
class TKinOptionsDlg : public TDialogWindow {
 public:
  TKinOptionsDlg() : TDialogWindow("KinOptionsDlg", "Kinetics options") {}
};
class TPleaseWaitDlg : public TDialogWindow {
 public:
  TPleaseWaitDlg() : TDialogWindow("PleaseWaitDlg", "Please wait") {}
};
class TFitProgDialog : public TDialogWindow {
 public:
  TFitProgDialog() : TDialogWindow("FitProgDialog", "Fitting") {}
};

}  // namespace kelvaris

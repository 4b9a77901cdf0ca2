// Start-up: the program's windows, created once in a fixed order and kept
// until the program ends. The splash window is created first and destroyed
// last, when it writes the settings file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/graph_props_dialog.h"
#include "app/main_form.h"
#include "app/progress_form.h"
#include "app/reorder_dialog.h"
#include "app/title_form.h"

namespace kelvaris {

constexpr const char* kApplicationTitle = "Kelvaris2";

class TApplication {
 public:
  // `settingsPath` empty: the recent lists are neither read nor written.
  TApplication(WindowSystem& ws, std::vector<std::string> arguments, std::string settingsPath);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Members are declared in creation order; they are destroyed in reverse,
  // so the splash window goes last.
  std::unique_ptr<TTitleForm> TitleForm;
  std::unique_ptr<TProgForm> ProgForm;  // the main window reports loading progress to it
  std::unique_ptr<TMainForm> MainForm;
  std::unique_ptr<THideDialog> HideDialog;
  std::unique_ptr<TGraphPropsDialog> GraphPropDlg;
  std::unique_ptr<TPrintPropDialog> PrintPropDialog;
  std::unique_ptr<TTableDialog> TableDialog;
  std::unique_ptr<TChopDialog> ChopDialog;
  std::unique_ptr<TSavePlotDialog> SavePlotDialog;
  std::unique_ptr<TKinOptionsDlg> KinOptionsDlg;
  std::unique_ptr<TPleaseWaitDlg> PleaseWaitDlg;
  std::unique_ptr<TFitProgDialog> FitProgDialog;
  std::unique_ptr<TReorderDialog> ReorderDialog;

  // The names of the windows in the order they were created.
  const std::vector<std::string>& CreationOrder() const { return order_; }

 private:
  std::vector<std::string> order_;
};

}  // namespace kelvaris

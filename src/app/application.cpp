#include "app/application.h"

namespace kelvaris {

namespace {
template <typename T, typename... Args>
std::unique_ptr<T> Create(std::vector<std::string>& order, const char* name, Args&&... args) {
  auto window = std::make_unique<T>(std::forward<Args>(args)...);
  order.emplace_back(name);
  return window;
}
}  // namespace

TApplication::TApplication(WindowSystem& ws, std::vector<std::string> arguments, std::string settingsPath) {
  TitleForm = Create<TTitleForm>(order_, "TitleForm", ws, std::move(settingsPath));
  // The progress window exists before the main window so that a load started
  // at its first paint can report; it still counts sixth in the order.
  ProgForm = std::make_unique<TProgForm>();
  MainForm = Create<TMainForm>(order_, "MainForm", ws, *TitleForm, *ProgForm, std::move(arguments));
  TitleForm->SetMainWindow(&MainForm->Form);
  HideDialog = Create<THideDialog>(order_, "HideDialog");
  GraphPropDlg = Create<TGraphPropsDialog>(order_, "GraphPropDlg", ws);
  MainForm->SetGraphPropsDialog(GraphPropDlg.get());
  PrintPropDialog = Create<TPrintPropDialog>(order_, "PrintPropDialog");
  order_.emplace_back("ProgForm");
  TableDialog = Create<TTableDialog>(order_, "TableDialog");
  ChopDialog = Create<TChopDialog>(order_, "ChopDialog");
  SavePlotDialog = Create<TSavePlotDialog>(order_, "SavePlotDialog");
  KinOptionsDlg = Create<TKinOptionsDlg>(order_, "KinOptionsDlg");
  PleaseWaitDlg = Create<TPleaseWaitDlg>(order_, "PleaseWaitDlg");
  FitProgDialog = Create<TFitProgDialog>(order_, "FitProgDialog");
  ReorderDialog = Create<TReorderDialog>(order_, "ReorderDialog", ws);
  MainForm->SetReorderDialog(ReorderDialog.get());
}

TApplication::~TApplication() {
  // Dialogs and the main window first, the splash window last.
  if (MainForm) {
    MainForm->SetReorderDialog(nullptr);
    MainForm->SetGraphPropsDialog(nullptr);
  }
  ReorderDialog.reset();
  FitProgDialog.reset();
  PleaseWaitDlg.reset();
  KinOptionsDlg.reset();
  SavePlotDialog.reset();
  ChopDialog.reset();
  TableDialog.reset();
  PrintPropDialog.reset();
  GraphPropDlg.reset();
  HideDialog.reset();
  if (TitleForm) TitleForm->SetMainWindow(nullptr);
  MainForm.reset();
  ProgForm.reset();
  TitleForm.reset();
}

}  // namespace kelvaris

// The Kelvaris program: the core's windows, created in their fixed order,
// drawn by their Qt views.
#include <QApplication>
#include <QMessageBox>

#include <exception>
#include <memory>

#include "app/application.h"
#include "qt/app_windows.h"
#include "qt/graph_props_window.h"
#include "qt/main_window.h"
#include "qt/qt_text.h"
#include "qt/qt_window_system.h"
#include "qt/reorder_window.h"

using namespace kelvaris;

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setApplicationDisplayName(kApplicationTitle);
  QApplication::setQuitOnLastWindowClosed(false);

  std::vector<std::string> arguments;
  for (const QString& a : QApplication::arguments().mid(1)) arguments.push_back(qt::PathFromQString(a));

  qt::QtWindowSystem ws;
  int result = 0;
  try {
    TApplication app(ws, arguments, DefaultSettingsPath(ws.ProgramFolder()));
    auto splash = std::make_unique<qt::SplashWindow>(*app.TitleForm);
    auto mainWindow = std::make_unique<qt::MainWindow>(*app.MainForm);
    ws.SetDialogParent(mainWindow.get());
    std::vector<std::unique_ptr<QWidget>> dialogs;
    for (TDialogWindow* d : std::initializer_list<TDialogWindow*>{
             app.HideDialog.get(), app.PrintPropDialog.get(), app.TableDialog.get(),
             app.ChopDialog.get(), app.SavePlotDialog.get(), app.KinOptionsDlg.get(), app.PleaseWaitDlg.get(),
             app.FitProgDialog.get()})
      dialogs.push_back(std::make_unique<qt::EmptyDialog>(*d, mainWindow.get()));
    auto reorder = std::make_unique<qt::ReorderWindow>(*app.ReorderDialog, mainWindow.get());
    ws.RegisterModal(app.ReorderDialog->Form.Name(), [w = reorder.get()] { return w->Run(); });
    auto graphProps = std::make_unique<qt::GraphPropsWindow>(*app.GraphPropDlg, mainWindow.get());
    ws.RegisterModal(app.GraphPropDlg->Form.Name(), [w = graphProps.get()] { return w->Run(); });
    auto progress = std::make_unique<qt::ProgressWindow>(*app.ProgForm, mainWindow.get());
    result = qapp.exec();
    // Views go before the models they draw.
    progress.reset();
    ws.RegisterModal(app.ReorderDialog->Form.Name(), nullptr);
    reorder.reset();
    ws.RegisterModal(app.GraphPropDlg->Form.Name(), nullptr);
    graphProps.reset();
    dialogs.clear();
    mainWindow.reset();
    splash.reset();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, kApplicationTitle, QString::fromUtf8(e.what()));
    return 1;
  }
  return result;
}

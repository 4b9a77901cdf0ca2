// The graph properties dialog's window: the six pages of the model's
// controls in a tab widget, with OK, Cancel and "Apply to all".
#pragma once

#include <QDialog>

#include "app/graph_props_dialog.h"
#include "platform/window_system.h"

class QTabWidget;

namespace kelvaris::qt {

class GraphPropsWindow : public QDialog {
  Q_OBJECT

 public:
  GraphPropsWindow(TGraphPropsDialog& model, QWidget* parent);
  ~GraphPropsWindow() override;
  // Runs the dialog modally: OK and "Apply to all" accept, Cancel rejects.
  ModalResult Run();
  QTabWidget* Tabs() const { return tabs_; }

 protected:
  void reject() override;

 private:
  QWidget* ScalePage();
  QWidget* LabelsPage();
  QWidget* InsetPage();
  QWidget* FontPage();
  QWidget* LinesPage();
  QWidget* CopyPage();

  TGraphPropsDialog& model_;
  QTabWidget* tabs_ = nullptr;
};

}  // namespace kelvaris::qt

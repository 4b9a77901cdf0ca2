// The reorder dialog's window: the curve table and OK, Cancel and Help.
#pragma once

#include <QDialog>

#include "app/reorder_dialog.h"
#include "platform/window_system.h"

namespace kelvaris::qt {

class GridWidget;

class ReorderWindow : public QDialog {
  Q_OBJECT

 public:
  ReorderWindow(TReorderDialog& model, QWidget* parent);
  ~ReorderWindow() override;
  // Runs the dialog modally: OK only after the table passed its checks.
  ModalResult Run();
  GridWidget* Grid() const { return grid_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  TReorderDialog& model_;
  GridWidget* grid_ = nullptr;
};

}  // namespace kelvaris::qt

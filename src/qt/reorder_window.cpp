#include "qt/reorder_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "qt/control_binders.h"
#include "qt/grid_widget.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

ReorderWindow::ReorderWindow(TReorderDialog& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("ReorderDialog");
  setWindowTitle(ToQString(model.Form.Caption()));
  auto* layout = new QVBoxLayout(this);
  auto* area = new QScrollArea(this);
  grid_ = new GridWidget(model.Grid, area);
  grid_->setObjectName("ReorderGrid");
  area->setWidget(grid_);
  area->setWidgetResizable(false);
  layout->addWidget(area, 1);

  auto* buttons = new QHBoxLayout();
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("CancelButton");
  auto* help = new QPushButton("&Help", this);
  help->setObjectName("HelpButton");
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    model_.OKButtonClick();
    if (model_.FormCloseQuery()) accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  connect(help, &QPushButton::clicked, this, [this] { model_.HelpButtonClick(); });
  setFixedSize(5 * 54 + 60, 360);
}

ReorderWindow::~ReorderWindow() {
  if (grid_) grid_->Release();
}

ModalResult ReorderWindow::Run() {
  grid_->resize(grid_->sizeHint());
  grid_->setFocus();
  model_.FormShow();
  return exec() == QDialog::Accepted ? ModalResult::Ok : ModalResult::Cancel;
}

void ReorderWindow::reject() {
  model_.CancelButtonClick();
  QDialog::reject();
}

void ReorderWindow::closeEvent(QCloseEvent* event) {
  if (!model_.FormCloseQuery()) {
    event->ignore();
    return;
  }
  model_.CancelButtonClick();
  QDialog::closeEvent(event);
}

}  // namespace kelvaris::qt

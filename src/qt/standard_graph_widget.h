// The Qt view of the Dmso page's standard graph: it paints the graph and
// hands the mouse to the main window, whose hint it shows.
#pragma once

#include <QWidget>

#include "app/main_form.h"

namespace kelvaris::qt {

class StandardGraphWidget : public QWidget {
  Q_OBJECT

 public:
  StandardGraphWidget(TMainForm& form, QWidget* parent = nullptr);
  ~StandardGraphWidget() override;
  QSize sizeHint() const override { return QSize(260, 120); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TMainForm& form_;
  int observer_ = 0;
};

}  // namespace kelvaris::qt

// The Qt view of a TPlot: it tells the graph its size and paints it through
// a QPainterCanvas. The graph draws into its own off-screen bitmap and the
// widget copies that in one step, so it never shows a half-drawn graph.
#pragma once

#include <QWidget>
#include <functional>

class QMenu;

#include "graph/plot.h"

namespace kelvaris::qt {

class PlotWidget : public QWidget {
  Q_OBJECT

 public:
  // The graph must outlive the widget.
  explicit PlotWidget(TPlot& plot, QWidget* parent = nullptr);
  ~PlotWidget() override;

  TPlot& Plot() const { return plot_; }
  // A right click asks `onMenu` to build the graph menu, then shows `menu`.
  void SetContextMenu(QMenu* menu, std::function<void()> onMenu);
  QSize sizeHint() const override { return QSize(400, 300); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  TPlot& plot_;
  int observer_ = 0;
  QMenu* menu_ = nullptr;
  std::function<void()> onMenu_;
};

}  // namespace kelvaris::qt

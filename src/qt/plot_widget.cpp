#include "qt/plot_widget.h"

#include <QPainter>

#include "qt/qpainter_canvas.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

PlotWidget::PlotWidget(TPlot& plot, QWidget* parent) : QWidget(parent), plot_(plot) {
  setObjectName(ToQString(plot.Name()));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(60, 40);
  observer_ = plot_.Observe([this](Control&) { update(); });
}

PlotWidget::~PlotWidget() { plot_.Unobserve(observer_); }

void PlotWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPainterCanvas canvas(painter);
  plot_.Paint(canvas);
}

void PlotWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  plot_.SetSize(width(), height());
}

void PlotWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  plot_.SetSize(width(), height());
  plot_.SetVisible(true);
}

void PlotWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
}

}  // namespace kelvaris::qt

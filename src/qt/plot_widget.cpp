#include "qt/plot_widget.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "qt/grid_widget.h"
#include "qt/qpainter_canvas.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

PlotWidget::PlotWidget(TPlot& plot, QWidget* parent) : QWidget(parent), plot_(plot) {
  setObjectName(ToQString(plot.Name()));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(60, 40);
  setMouseTracking(true);  // the entry under the mouse is reported without a button
  observer_ = plot_.Observe([this](Control&) { update(); });
  plot_.OnCursor = [this](int shape) { setCursor(shape == crSizeWE ? Qt::SizeHorCursor : Qt::ArrowCursor); };
}

PlotWidget::~PlotWidget() {
  plot_.Unobserve(observer_);
  plot_.OnCursor = nullptr;
}

void PlotWidget::SetContextMenu(QMenu* menu, std::function<void()> onMenu) {
  menu_ = menu;
  onMenu_ = std::move(onMenu);
}

namespace {

MouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}

}  // namespace

void PlotWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  plot_.MouseDown(ButtonOf(event->button()), GridWidget::ShiftFor(event->modifiers()), p.x(), p.y());
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  plot_.MouseMove(GridWidget::ShiftFor(event->modifiers()), p.x(), p.y());
}

void PlotWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  plot_.MouseUp(ButtonOf(event->button()), GridWidget::ShiftFor(event->modifiers()), p.x(), p.y());
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) plot_.DblClick(p.x(), p.y());
}

void PlotWidget::contextMenuEvent(QContextMenuEvent* event) {
  if (!menu_) return;
  if (onMenu_) onMenu_();
  menu_->popup(event->globalPos());
}

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

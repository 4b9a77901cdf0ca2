#include "qt/standard_graph_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/qpainter_canvas.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

StandardGraphWidget::StandardGraphWidget(TMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName("StandardGraph");
  setMouseTracking(true);
  setMinimumSize(120, 80);
  observer_ = form_.StandardGraph.Observe([this](Control&) { update(); });
}

StandardGraphWidget::~StandardGraphWidget() { form_.StandardGraph.Unobserve(observer_); }

void StandardGraphWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPainterCanvas canvas(painter);
  form_.PaintStandardGraph(canvas);
}

void StandardGraphWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  form_.StandardGraph.SetSize(width(), height());
}

void StandardGraphWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.StandardGraphMouseMove(p.x(), p.y());
  setToolTip(ToQString(form_.StandardGraphHint));
}

void StandardGraphWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) form_.StandardGraphDblClick();
}

}  // namespace kelvaris::qt

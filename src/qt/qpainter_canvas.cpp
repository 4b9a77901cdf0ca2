#include "qt/qpainter_canvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QTransform>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

#include "qt/qt_text.h"

namespace kelvaris::qt {

namespace {

// A rectangle with its corners in order, as the drawing calls take it.
Rect Normalised(const Rect& r) {
  Rect n = r;
  if (n.left > n.right) std::swap(n.left, n.right);
  if (n.top > n.bottom) std::swap(n.top, n.bottom);
  return n;
}

// Pixels [left, right) x [top, bottom).
QRect HalfOpen(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}

QPen ToQPen(const Pen& pen) {
  if (pen.style == PenStyle::Clear) return QPen(Qt::NoPen);
  const int width = std::max(1, pen.width);
  QPen q(ToQColor(pen.colour));
  q.setWidth(width);
  if (width == 1) {
    // A one-pixel line with flat ends stops short of its end point.
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
  } else {
    q.setCapStyle(Qt::RoundCap);
    q.setJoinStyle(Qt::RoundJoin);
  }
  // Only thin pens are dotted; a wider dotted pen draws solid.
  q.setStyle(pen.style == PenStyle::Dot && width == 1 ? Qt::DotLine : Qt::SolidLine);
  return q;
}

const QImage& Resource(const std::string& name) {
  static std::map<std::string, QImage> cache;
  auto it = cache.find(name);
  if (it == cache.end())
    it = cache.emplace(name, QImage(QStringLiteral(":/") + ToQString(name) + QStringLiteral(".png"))).first;
  return it->second;
}

}  // namespace

QColor ToQColor(Colour colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

QFont ToQFont(const Font& font) {
  QFont q(ToQString(font.name));
  if (font.height != 0)
    q.setPixelSize(std::abs(font.height));
  else
    q.setPointSize(std::max(1, std::abs(font.size)));
  q.setBold((font.style & fsBold) != 0);
  q.setItalic((font.style & fsItalic) != 0);
  q.setUnderline((font.style & fsUnderline) != 0);
  return q;
}

// --- QPainterCanvas ---

QPainterCanvas::QPainterCanvas(QPainter& painter) : painter_(&painter), device_(painter.device()) {
  qpen_ = ToQPen(pen_);
  qfont_ = ToQFont(font_);
}

QPainterCanvas::QPainterCanvas(QPaintDevice& device) : device_(&device) {
  qpen_ = ToQPen(pen_);
  qfont_ = ToQFont(font_);
}

QPainterCanvas::~QPainterCanvas() { Finish(); }

void QPainterCanvas::Finish() {
  if (!own_) return;
  if (own_->isActive()) own_->end();
  own_.reset();
  painter_ = nullptr;
}

QPainter* QPainterCanvas::Ready() {
  if (!painter_) {
    if (device_->width() <= 0 || device_->height() <= 0) return nullptr;
    own_ = std::make_unique<QPainter>();
    if (!own_->begin(device_)) {
      own_.reset();
      return nullptr;
    }
    painter_ = own_.get();
    ApplyClip(*painter_);
  }
  return painter_->isActive() ? painter_ : nullptr;
}

void QPainterCanvas::UseShapeMode(QPainter& painter, bool shape) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  auto mode = QPainter::CompositionMode_SourceOver;
  if (shape && pen_.mode == PenMode::NotXor &&
      painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
    mode = QPainter::RasterOp_NotSourceXorDestination;
  painter.setCompositionMode(mode);
}

void QPainterCanvas::ApplyClip(QPainter& painter) {
  if (clip_)
    painter.setClipRect(*clip_);
  else
    painter.setClipping(false);
}

void QPainterCanvas::SetPen(const Pen& pen) {
  pen_ = pen;
  qpen_ = ToQPen(pen);
}

void QPainterCanvas::SetFont(const Font& font) {
  font_ = font;
  qfont_ = ToQFont(font);
}

// Strokes with the pen; the gaps of a dotted line show the solid brush's
// colour, as text backgrounds do.
template <typename Draw>
static void Stroke(QPainter& p, const QPen& pen, const Pen& model, const Brush& brush, Draw draw) {
  if (pen.style() == Qt::DotLine && brush.style == BrushStyle::Solid && model.mode == PenMode::Copy) {
    QPen under = pen;
    under.setStyle(Qt::SolidLine);
    under.setColor(ToQColor(brush.colour));
    p.setPen(under);
    draw();
  }
  p.setPen(pen);
  draw();
}

void QPainterCanvas::LineTo(int x, int y) {
  const QPoint from = position_;
  position_ = QPoint(x, y);
  QPainter* p = Ready();
  if (!p || pen_.style == PenStyle::Clear || from == position_) return;
  UseShapeMode(*p, true);
  p->setBrush(Qt::NoBrush);
  Stroke(*p, qpen_, pen_, brush_, [&] { p->drawLine(from, position_); });
}

void QPainterCanvas::Rectangle(const Rect& rect) {
  const Rect r = Normalised(rect);
  QPainter* p = Ready();
  if (!p || r.Width() <= 0 || r.Height() <= 0) return;
  UseShapeMode(*p, true);
  const bool outline = pen_.style != PenStyle::Clear;
  if (brush_.style == BrushStyle::Solid) {
    // Inside the outline; without an outline the filled area is one pixel
    // narrower and lower than the rectangle, as the outline would have been.
    QRect inside = outline ? HalfOpen(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1)
                           : HalfOpen(r.left, r.top, r.right - 1, r.bottom - 1);
    if (!inside.isEmpty()) p->fillRect(inside, ToQColor(brush_.colour));
  }
  if (outline) {
    p->setBrush(Qt::NoBrush);
    const QRect path(r.left, r.top, r.Width() - 1, r.Height() - 1);
    Stroke(*p, qpen_, pen_, brush_, [&] { p->drawRect(path); });
  }
}

void QPainterCanvas::FillRect(const Rect& rect) {
  const Rect r = Normalised(rect);
  QPainter* p = Ready();
  if (!p || brush_.style != BrushStyle::Solid || r.Width() <= 0 || r.Height() <= 0) return;
  UseShapeMode(*p, false);
  p->fillRect(HalfOpen(r.left, r.top, r.right, r.bottom), ToQColor(brush_.colour));
}

void QPainterCanvas::Ellipse(const Rect& rect) {
  const Rect r = Normalised(rect);
  QPainter* p = Ready();
  if (!p || r.Width() <= 0 || r.Height() <= 0) return;
  UseShapeMode(*p, true);
  p->setBrush(brush_.style == BrushStyle::Solid ? QBrush(ToQColor(brush_.colour)) : QBrush(Qt::NoBrush));
  p->setPen(qpen_);
  p->drawEllipse(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QPainterCanvas::Polygon(const std::vector<Point>& points) {
  QPainter* p = Ready();
  if (!p || points.size() < 2) return;
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& pt : points) polygon << QPoint(pt.x, pt.y);
  UseShapeMode(*p, true);
  p->setBrush(brush_.style == BrushStyle::Solid ? QBrush(ToQColor(brush_.colour)) : QBrush(Qt::NoBrush));
  p->setPen(qpen_);
  p->drawPolygon(polygon, Qt::OddEvenFill);
}

void QPainterCanvas::TextOut(int x, int y, const std::string& text) {
  QPainter* p = Ready();
  if (!p || text.empty()) return;
  const QString s = ToQString(text);
  const QFontMetrics metrics(qfont_, device_);
  UseShapeMode(*p, false);
  const QTransform before = p->transform();
  // The text turns about its top-left corner, counter-clockwise.
  p->translate(x, y);
  if (font_.angle != 0) p->rotate(-font_.angle / 10.0);
  if (brush_.style == BrushStyle::Solid)
    p->fillRect(QRect(0, 0, metrics.horizontalAdvance(s), metrics.height()), ToQColor(brush_.colour));
  p->setFont(qfont_);
  p->setPen(ToQColor(font_.colour));
  p->drawText(0, metrics.ascent(), s);
  p->setTransform(before);
}

int QPainterCanvas::TextWidth(const std::string& text) {
  return QFontMetrics(qfont_, device_).horizontalAdvance(ToQString(text));
}

int QPainterCanvas::TextHeight(const std::string& text) { return QFontMetrics(qfont_, device_).height(); }

void QPainterCanvas::SetClip(const Rect& rect) {
  const Rect r = Normalised(rect);
  clip_ = HalfOpen(r.left, r.top, r.right, r.bottom);
  if (painter_ && painter_->isActive()) ApplyClip(*painter_);
}

void QPainterCanvas::RemoveClip() {
  clip_.reset();
  if (painter_ && painter_->isActive()) ApplyClip(*painter_);
}

std::unique_ptr<Bitmap> QPainterCanvas::CreateBitmap(int width, int height) {
  return std::make_unique<QtBitmap>(width, height);
}

void QPainterCanvas::DrawBitmap(int x, int y, const Bitmap& bitmap) {
  const QImage image = ToQImage(bitmap);
  QPainter* p = Ready();
  if (!p || image.isNull()) return;
  UseShapeMode(*p, false);
  p->drawImage(QPoint(x, y), image);
}

void QPainterCanvas::DrawResource(int x, int y, const std::string& name) {
  const QImage& image = Resource(name);
  QPainter* p = Ready();
  if (!p || image.isNull()) return;
  UseShapeMode(*p, false);
  p->drawImage(QPoint(x, y), image);
}

int QPainterCanvas::Width() const { return device_->width(); }
int QPainterCanvas::Height() const { return device_->height(); }
int QPainterCanvas::DotsPerInch() const { return device_->logicalDpiY(); }

// --- QtBitmap ---

QtBitmap::QtBitmap(int width, int height)
    : image_(std::max(0, width), std::max(0, height), QImage::Format_RGB32) {
  // Screen resolution, so that point sizes come out as on the screen.
  constexpr int kDotsPerMetreAt96Dpi = 3780;
  image_.setDotsPerMeterX(kDotsPerMetreAt96Dpi);
  image_.setDotsPerMeterY(kDotsPerMetreAt96Dpi);
  image_.fill(Qt::white);
  canvas_ = std::make_unique<QPainterCanvas>(image_);
}

QtBitmap::~QtBitmap() { canvas_.reset(); }

const QImage& QtBitmap::Image() const {
  canvas_->Finish();
  return image_;
}

QImage ToQImage(const Bitmap& bitmap) {
  if (auto* q = dynamic_cast<const QtBitmap*>(&bitmap)) return q->Image();
  return QImage();
}

}  // namespace kelvaris::qt

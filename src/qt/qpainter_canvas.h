// The drawing surface over a QPainter: widgets, QImage bitmaps, printer and
// PDF pages and SVG files all draw through it. It keeps the conventions the
// program's drawing code was written for: a line leaves out its last pixel,
// a rectangle's outline covers left..right-1 and top..bottom-1, text is
// placed by its top-left corner, and text and dotted lines get the brush
// colour behind them while the brush is solid.
#pragma once

#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <memory>
#include <optional>

#include "platform/canvas.h"

class QPainter;
class QPaintDevice;

namespace kelvaris::qt {

QColor ToQColor(Colour colour);
QFont ToQFont(const Font& font);

class QPainterCanvas : public Canvas {
 public:
  // Draws with a painter that is already active (a paint event, a printer
  // page); the painter stays the caller's.
  explicit QPainterCanvas(QPainter& painter);
  // Opens its own painter on the device when drawing starts.
  explicit QPainterCanvas(QPaintDevice& device);
  ~QPainterCanvas() override;
  QPainterCanvas(const QPainterCanvas&) = delete;
  QPainterCanvas& operator=(const QPainterCanvas&) = delete;

  // Ends the canvas's own painter so that the device can be read or saved;
  // the next drawing call opens it again with the same pen, brush, font and
  // clip. Does nothing for a borrowed painter.
  void Finish();
  QPaintDevice& Device() const { return *device_; }

  void SetPen(const Pen& pen) override;
  void SetBrush(const Brush& brush) override { brush_ = brush; }
  void SetFont(const Font& font) override;
  const Pen& GetPen() const override { return pen_; }
  const Brush& GetBrush() const override { return brush_; }
  const Font& GetFont() const override { return font_; }

  void MoveTo(int x, int y) override { position_ = QPoint(x, y); }
  void LineTo(int x, int y) override;
  Point PenPos() const override { return {position_.x(), position_.y()}; }
  void Rectangle(const Rect& r) override;
  void FillRect(const Rect& r) override;
  void Ellipse(const Rect& r) override;
  void Polygon(const std::vector<Point>& points) override;

  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;

  void SetClip(const Rect& r) override;
  void RemoveClip() override;

  std::unique_ptr<Bitmap> CreateBitmap(int width, int height) override;
  void DrawBitmap(int x, int y, const Bitmap& bitmap) override;
  void DrawResource(int x, int y, const std::string& name) override;

  int Width() const override;
  int Height() const override;
  int DotsPerInch() const override;

 private:
  // The painter to draw with, opened if needed; null when the device cannot
  // be painted on (an empty image).
  QPainter* Ready();
  // Prepares the painter for lines and shapes (pen mode applies) or for
  // text and pictures (always copied).
  void UseShapeMode(QPainter& painter, bool shape);
  void ApplyClip(QPainter& painter);

  QPainter* painter_ = nullptr;
  std::unique_ptr<QPainter> own_;
  QPaintDevice* device_ = nullptr;
  Pen pen_;
  Brush brush_;
  Font font_;
  QPen qpen_;
  QFont qfont_;
  QPoint position_;
  std::optional<QRect> clip_;
};

// A 24-bit picture held as a QImage, with its own drawing surface. It starts
// white.
class QtBitmap : public Bitmap {
 public:
  QtBitmap(int width, int height);
  ~QtBitmap() override;
  QtBitmap(const QtBitmap&) = delete;
  QtBitmap& operator=(const QtBitmap&) = delete;

  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  Canvas& Surface() override { return *canvas_; }
  // The picture as drawn so far.
  const QImage& Image() const;

 private:
  QImage image_;
  std::unique_ptr<QPainterCanvas> canvas_;
};

// The picture of a bitmap made by a QPainterCanvas; a null image for any
// other kind of bitmap.
QImage ToQImage(const Bitmap& bitmap);

}  // namespace kelvaris::qt

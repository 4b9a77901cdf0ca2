// A drawing surface that records what is drawn, in order, with the pen,
// brush and font in force, so that tests check drawing without pixels.
// Text is measured with a fixed-pitch estimate of the font's height.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace kelvaris {

enum class DrawOp {
  MoveTo,
  LineTo,
  Rectangle,
  FillRect,
  Ellipse,
  Polygon,
  TextOut,
  SetClip,
  RemoveClip,
  DrawBitmap,
  DrawResource,
};

struct DrawCall {
  DrawOp op;
  Rect rect;                  // shapes, clip; a point as (left, top) for the others
  std::vector<Point> points;  // Polygon
  std::string text;           // TextOut, DrawResource
  Pen pen;
  Brush brush;
  Font font;
};

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(int width = 800, int height = 600, int dpi = 96);

  const std::vector<DrawCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Calls of one kind, in order.
  std::vector<DrawCall> CallsOf(DrawOp op) const;
  // The texts written, in order.
  std::vector<std::string> Texts() const;

  void SetPen(const Pen& pen) override { pen_ = pen; }
  void SetBrush(const Brush& brush) override { brush_ = brush; }
  void SetFont(const Font& font) override { font_ = font; }
  const Pen& GetPen() const override { return pen_; }
  const Brush& GetBrush() const override { return brush_; }
  const Font& GetFont() const override { return font_; }

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  Point PenPos() const override { return penPos_; }
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
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int DotsPerInch() const override { return dpi_; }

  // Pixel height of the current font.
  int FontPixelHeight() const;

 private:
  void Record(DrawOp op, Rect rect, std::string text = {});
  std::vector<DrawCall> calls_;
  Point penPos_;
  Pen pen_;
  Brush brush_;
  Font font_;
  int width_;
  int height_;
  int dpi_;
};

}  // namespace kelvaris

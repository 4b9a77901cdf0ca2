#include "platform/recording_canvas.h"

#include <cmath>

namespace kelvaris {

namespace {
class RecordingBitmap : public Bitmap {
 public:
  RecordingBitmap(int w, int h, int dpi) : canvas_(w, h, dpi) {}
  int Width() const override { return canvas_.Width(); }
  int Height() const override { return canvas_.Height(); }
  Canvas& Surface() override { return canvas_; }

 private:
  RecordingCanvas canvas_;
};
}  // namespace

RecordingCanvas::RecordingCanvas(int width, int height, int dpi)
    : width_(width), height_(height), dpi_(dpi) {}

void RecordingCanvas::Record(DrawOp op, Rect rect, std::string text) {
  calls_.push_back(DrawCall{op, rect, {}, std::move(text), pen_, brush_, font_});
}

std::vector<DrawCall> RecordingCanvas::CallsOf(DrawOp op) const {
  std::vector<DrawCall> out;
  for (const auto& c : calls_)
    if (c.op == op) out.push_back(c);
  return out;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const auto& c : calls_)
    if (c.op == DrawOp::TextOut) out.push_back(c.text);
  return out;
}

void RecordingCanvas::MoveTo(int x, int y) {
  Record(DrawOp::MoveTo, Rect{x, y, x, y});
  penPos_ = {x, y};
}

void RecordingCanvas::LineTo(int x, int y) {
  Record(DrawOp::LineTo, Rect{x, y, x, y});
  penPos_ = {x, y};
}
void RecordingCanvas::Rectangle(const Rect& r) { Record(DrawOp::Rectangle, r); }
void RecordingCanvas::FillRect(const Rect& r) { Record(DrawOp::FillRect, r); }
void RecordingCanvas::Ellipse(const Rect& r) { Record(DrawOp::Ellipse, r); }

void RecordingCanvas::Polygon(const std::vector<Point>& points) {
  Record(DrawOp::Polygon, Rect{});
  calls_.back().points = points;
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
  Record(DrawOp::TextOut, Rect{x, y, x, y}, text);
}

int RecordingCanvas::FontPixelHeight() const {
  if (font_.height != 0) return std::abs(font_.height);
  return static_cast<int>(std::lround(font_.size * dpi_ / 72.0));
}

int RecordingCanvas::TextWidth(const std::string& text) {
  // Roughly the average advance of a proportional sans-serif font.
  return static_cast<int>(std::lround(text.size() * FontPixelHeight() * 0.55));
}

int RecordingCanvas::TextHeight(const std::string&) { return FontPixelHeight(); }

void RecordingCanvas::SetClip(const Rect& r) { Record(DrawOp::SetClip, r); }
void RecordingCanvas::RemoveClip() { Record(DrawOp::RemoveClip, Rect{}); }

std::unique_ptr<Bitmap> RecordingCanvas::CreateBitmap(int width, int height) {
  return std::make_unique<RecordingBitmap>(width, height, dpi_);
}

void RecordingCanvas::DrawBitmap(int x, int y, const Bitmap& bitmap) {
  Record(DrawOp::DrawBitmap, Rect{x, y, x + bitmap.Width(), y + bitmap.Height()});
}

void RecordingCanvas::DrawResource(int x, int y, const std::string& name) {
  Record(DrawOp::DrawResource, Rect{x, y, x, y}, name);
}

}  // namespace kelvaris

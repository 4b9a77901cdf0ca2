// Drawing speed: a graph of a whole stage, drawn as the screen draws it
// (decimated to about two points per pixel column), onto a surface that
// only follows the pen, so that the time is the graph's own.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "bench.h"
#include "graph/plot.h"
#include "model/curve_set.h"

namespace kelvaris::bench {

namespace {

class NullCanvas : public Canvas {
 public:
  void SetPen(const Pen& pen) override { pen_ = pen; }
  void SetBrush(const Brush& brush) override { brush_ = brush; }
  void SetFont(const Font& font) override { font_ = font; }
  const Pen& GetPen() const override { return pen_; }
  const Brush& GetBrush() const override { return brush_; }
  const Font& GetFont() const override { return font_; }
  void MoveTo(int x, int y) override { pos_ = {x, y}; }
  void LineTo(int x, int y) override {
    pos_ = {x, y};
    ++lines;
  }
  Point PenPos() const override { return pos_; }
  void Rectangle(const Rect&) override {}
  void FillRect(const Rect&) override {}
  void Ellipse(const Rect&) override {}
  void Polygon(const std::vector<Point>&) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return static_cast<int>(text.size()) * 7; }
  int TextHeight(const std::string&) override { return 14; }
  void SetClip(const Rect&) override {}
  void RemoveClip() override {}
  std::unique_ptr<Bitmap> CreateBitmap(int, int) override { return nullptr; }
  void DrawBitmap(int, int, const Bitmap&) override {}
  void DrawResource(int, int, const std::string&) override {}
  int Width() const override { return 800; }
  int Height() const override { return 600; }

  long long lines = 0;

 private:
  Pen pen_;
  Brush brush_;
  Font font_;
  Point pos_;
};

}  // namespace

int PlotBench(const synth::RunShape& shape) {
  TCurveSet set;
  set.Allocate(shape.curves, shape.points);
  for (int c = 0; c < shape.curves; ++c) {
    for (int i = 0; i < shape.points; ++i) {
      const double t = i * shape.step;
      set.Append(c, t, (c + 1) * (1 - std::exp(-t / 50)), 0, i);
    }
    set.CurveFlags[static_cast<std::size_t>(c)] = 1 + c % 15;
  }
  TPlot plot("BenchPlot");
  plot.BindCurveSet(set);
  NullCanvas canvas;
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    canvas.lines = 0;
    const auto t0 = std::chrono::steady_clock::now();
    plot.Plot(canvas, 0, 0, 800, 600, 0);
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::printf("graph of %d curves x %d points on 800 x 600: %.2f ms (%lld line segments)\n", shape.curves,
              shape.points, best, canvas.lines);
  return 0;
}

}  // namespace kelvaris::bench

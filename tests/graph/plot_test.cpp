#include "graph/plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "graph/palette.h"
#include "model/curve_set.h"
#include "platform/recording_canvas.h"
#include "sensorgram_set.h"

namespace kelvaris {
namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kMagenta = 0xFF00FF;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// ---------------------------------------------------------------------------
// Hand-built data

using test::Curve;
using test::MakeSensorgrams;

// A straight sensorgram of n points from t0 to t1 at a constant level.
Curve Flat(double t0, double t1, double level, int n = 2) {
  Curve c;
  for (int k = 0; k < n; ++k) c.push_back({t0 + (t1 - t0) * k / (n - 1), level});
  return c;
}

struct Bound {
  double conc;
  double response;
  std::uint32_t flags = 1;  // colour index and the other curve-flag bits
  int series = 0;
  int injection = 0;
  int key2 = 1, key3 = 1;
  bool fit = false;
  double kd = 0, rmax = 0;
};

// Bound points laid out as the bound stage writes them: nine slots a row.
TCurveSet MakeBound(const std::vector<Bound>& points) {
  TCurveSet set;
  set.Allocate(static_cast<int>(points.size()), 9);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Bound& p = points[i];
    const int c = static_cast<int>(i);
    set.PointCount[i] = 9;
    set.SourceCurve[i] = c;
    set.CurveFlags[i] = p.flags | (static_cast<std::uint32_t>(p.series) << kSeriesShift);
    set.TimeOf(c)[0] = p.conc;
    set.TimeOf(c)[3] = p.conc > 0 ? std::log10(p.conc) : 0;
    set.TimeOf(c)[1] = p.kd;
    set.ResponseOf(c)[0] = p.response;
    set.ResponseOf(c)[1] = p.rmax;
    set.FlagsOf(c)[0] = 1;
    set.FlagsOf(c)[1] = static_cast<TPointFlags>(p.injection);
    set.FlagsOf(c)[2] = static_cast<TPointFlags>(p.key2);
    set.FlagsOf(c)[3] = static_cast<TPointFlags>(p.key3);
    set.FlagsOf(c)[4] = p.fit ? 1 : 0;
  }
  return set;
}

// A curve name as the pages write it, with the position after " - ".
std::pair<std::string, int> CurveName(const std::string& injection, const std::string& concAnalyte,
                                      const std::string& ligand) {
  const std::string head = "Inj " + injection + ": " + concAnalyte;
  return {head + " - " + ligand, static_cast<int>(head.size()) + 3};
}

// ---------------------------------------------------------------------------
// Reading a recording

// The calls made while the axes box clips the drawing: the data, labels,
// title, legend, inset and time lines.
std::vector<DrawCall> ClippedCalls(const RecordingCanvas& canvas) {
  std::vector<DrawCall> out;
  bool in = false;
  for (const DrawCall& c : canvas.Calls()) {
    if (c.op == DrawOp::SetClip) in = true;
    else if (c.op == DrawOp::RemoveClip) in = false;
    else if (in) out.push_back(c);
  }
  return out;
}

std::vector<DrawCall> Only(const std::vector<DrawCall>& calls, DrawOp op) {
  std::vector<DrawCall> out;
  for (const DrawCall& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

// A line piece: where it starts and ends and the pen it was drawn with.
struct Segment {
  Point from, to;
  Pen pen;
};

std::vector<Segment> Segments(const std::vector<DrawCall>& calls) {
  std::vector<Segment> out;
  Point at;
  for (const DrawCall& c : calls) {
    const Point p{c.rect.left, c.rect.top};
    if (c.op == DrawOp::LineTo) out.push_back({at, p, c.pen});
    if (c.op == DrawOp::MoveTo || c.op == DrawOp::LineTo) at = p;
  }
  return out;
}

// Texts with the font they were written in.
std::vector<std::pair<std::string, Font>> TextsWithFont(const std::vector<DrawCall>& calls) {
  std::vector<std::pair<std::string, Font>> out;
  for (const DrawCall& c : calls)
    if (c.op == DrawOp::TextOut) out.emplace_back(c.text, c.font);
  return out;
}

// The texts under the x axis, in order.
std::vector<DrawCall> XLabels(const RecordingCanvas& canvas, const TPlot& plot) {
  std::vector<DrawCall> out;
  for (const DrawCall& c : canvas.CallsOf(DrawOp::TextOut))
    if (c.rect.top > plot.PlotBottom()) out.push_back(c);
  return out;
}

int CountText(const RecordingCanvas& canvas, const std::string& text) {
  int n = 0;
  for (const std::string& t : canvas.Texts()) n += t == text;
  return n;
}

// Short vertical strokes from the x axis downward: the x ticks.
int CountXTicks(const RecordingCanvas& canvas, const TPlot& plot) {
  int n = 0;
  for (const Segment& s : Segments(canvas.Calls()))
    n += s.from.y == static_cast<int>(plot.PlotBottom()) && s.to.y > s.from.y && s.to.x == s.from.x;
  return n;
}

// ---------------------------------------------------------------------------
// Ranges

TEST(PlotRanges, DegenerateDataDrawOnlyTheBackground) {
  struct Case {
    const char* name;
    std::vector<Curve> curves;
    bool blanked;
  };
  const std::vector<Case> cases = {
      {"all responses 0", {Flat(0, 10, 0, 5), Flat(0, 20, 0, 3)}, false},
      {"blanked", {Flat(0, 10, 5, 5)}, true},
      {"single time", {Flat(3, 3, 5, 4)}, false},
      {"no finite value", {{{kNaN, 1}, {kInf, 2}}}, false},
      {"no points", {{}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TCurveSet set = MakeSensorgrams(c.curves);
    TPlot plot("graph");
    plot.BindCurveSet(set);
    plot.SetBlanked(c.blanked);
    plot.SetSize(400, 300);
    RecordingCanvas screen;
    plot.Paint(screen);
    ASSERT_NE(plot.ScreenBitmap(), nullptr);
    auto& picture = dynamic_cast<RecordingCanvas&>(plot.ScreenBitmap()->Surface());
    const auto rectangles = picture.CallsOf(DrawOp::Rectangle);
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(rectangles[0].rect.right, 400);
    EXPECT_EQ(rectangles[0].brush.colour, colours::White);
    EXPECT_TRUE(picture.CallsOf(DrawOp::LineTo).empty());
    EXPECT_TRUE(picture.Texts().empty());
    EXPECT_EQ(plot.XScale(), 0);
    EXPECT_EQ(screen.CallsOf(DrawOp::DrawBitmap).size(), 1u);
  }
}

TEST(PlotRanges, SingleBoundPointLinearAndLogarithmic) {
  TCurveSet set = MakeBound({{2e-7, 40}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetKdPlot(true);
  double xmin, xmax, ymin, ymax;
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_EQ(xmin, 0);  // 0.1 of the point, clamped to 0
  EXPECT_DOUBLE_EQ(xmax, 2e-6);
  EXPECT_EQ(ymin, 0);
  EXPECT_DOUBLE_EQ(ymax, 44);

  plot.SetLogPlot(true);
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_NEAR(xmin, std::log10(2e-7) - 1, 1e-12);
  EXPECT_NEAR(xmax, std::log10(2e-7) + 1, 1e-12);
  EXPECT_NEAR(xmin, -7.7, 0.01);
  EXPECT_NEAR(xmax, -5.7, 0.01);
}

TEST(PlotRanges, WideningRules) {
  // Bound points: ten percent above the top, the low end by a tenth of the
  // widened span (or 0); logarithmic: the low end moves by 11 % of the span.
  TCurveSet bound = MakeBound({{-1e-6, 5}, {4e-6, 20}, {1e-3, 30}});
  TPlot plot("graph");
  plot.BindCurveSet(bound);
  plot.SetKdPlot(true);
  double xmin, xmax, ymin, ymax;
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  const double hi = 1e-3 + 0.1 * (1e-3 + 1e-6);
  EXPECT_DOUBLE_EQ(xmax, hi);
  EXPECT_DOUBLE_EQ(xmin, -1e-6 - 0.1 * (hi + 1e-6));
  plot.SetLogPlot(true);  // the negative concentration has no place
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  const double lo = std::log10(4e-6), hi3 = std::log10(1e-3), top = hi3 + 0.1 * (hi3 - lo);
  EXPECT_NEAR(xmax, top, 1e-12);
  EXPECT_NEAR(xmin, lo - 0.1 * (top - lo), 1e-12);
  EXPECT_DOUBLE_EQ(ymax, 33);  // the 5 RU point at -1e-6 M is left out
  EXPECT_EQ(ymin, 0);

  // Trend: the injection numbers.
  TCurveSet trend = MakeBound({{1e-6, 5, 1, 0, 3}, {1e-6, 6, 1, 0, 7}});
  TPlot t("trend");
  t.BindCurveSet(trend);
  t.SetTrendPlot(true);
  t.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_DOUBLE_EQ(xmax, 7.4);
  EXPECT_DOUBLE_EQ(xmin, 0);
}

TEST(PlotRanges, YMarginIsTenPercentOfEachEnd) {
  TCurveSet set = MakeSensorgrams({{{0, 10}, {5, 50}, {10, -4}}, Flat(2, 12, 3)});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  double xmin, xmax, ymin, ymax;
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_EQ(xmin, 0);
  EXPECT_EQ(xmax, 12);  // no margin on time
  EXPECT_DOUBLE_EQ(ymax, 55);
  EXPECT_DOUBLE_EQ(ymin, -4.4);
}

TEST(PlotRanges, ShownTimeLinesWidenTheTimeRange) {
  TCurveSet set = MakeSensorgrams({Flat(10, 100, 5)});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetStartLineTime(5);
  plot.SetEndLineTime(150);
  plot.SetStopLineTime(-50);  // not shown: does not count
  double xmin, xmax, ymin, ymax;
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_EQ(xmin, 10);
  EXPECT_EQ(xmax, 100);
  plot.SetShowStartLine(true);
  plot.SetShowEndLine(true);
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_EQ(xmin, 5);
  EXPECT_EQ(xmax, 150);
}

TEST(PlotRanges, HiddenEntriesCountOnlyUnderTheCommonScaleOfTheirKind) {
  // A result set: two sensorgrams (one hidden in this graph) and a hidden
  // bound-point entry, which belongs to another graph of the page.
  TCurveSet set = MakeSensorgrams({Flat(0, 10, 10), Flat(0, 10, 1000), Flat(0, 10, 5000)});
  set.CurveFlags[1] |= pcHidden;
  set.CurveFlags[2] |= pcHidden | pcBoundInMixedSet;
  TPlot plot("graph");
  plot.BindCurveSet(set);
  RecordingCanvas canvas;
  double xmin, xmax, ymin, ymax;

  plot.Plot(canvas, 0, 0, 400, 300, 0);
  plot.GetScale(xmin, xmax, ymin, ymax);
  EXPECT_DOUBLE_EQ(ymax, 11);
  plot.Plot(canvas, 0, 0, 400, 300, PlotCommonScale);
  plot.GetScale(xmin, xmax, ymin, ymax);
  EXPECT_DOUBLE_EQ(ymax, 1100);
  // The flag lasts for one drawing only.
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_DOUBLE_EQ(ymax, 11);
}

TEST(PlotRanges, UnplaceableValuesAndEmptyEntriesArePassedOver) {
  TCurveSet set = MakeSensorgrams({{{kNaN, 1}, {0, 2}, {5, kInf}, {10, -kInf}, {20, 8}, {kInf, 3}}, {}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  double xmin, xmax, ymin, ymax;
  plot.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_EQ(xmin, 0);
  EXPECT_EQ(xmax, 20);
  EXPECT_DOUBLE_EQ(ymin, 1 - 0.1);
  EXPECT_DOUBLE_EQ(ymax, 8.8);

  TCurveSet bound = MakeBound({{1e-6, 10}, {kNaN, 500}, {2e-6, kInf}});
  bound.PointCount[0] = 0;  // an entry without points does not count
  TPlot kd("kd");
  kd.BindCurveSet(bound);
  kd.SetKdPlot(true);
  kd.GetMinMax(xmin, xmax, ymin, ymax);
  EXPECT_DOUBLE_EQ(xmin, 0);
  EXPECT_DOUBLE_EQ(xmax, 20e-6);  // only the 2e-6 M point places an x
  EXPECT_EQ(ymin, 0);
  EXPECT_EQ(ymax, 0);  // the 500 RU point has no place; nothing to draw
}

// ---------------------------------------------------------------------------
// Tick steps

TEST(PlotTicks, SubdivideTable) {
  struct Case {
    double span, step;
    int decimals;
  };
  const Case cases[] = {
      {7, 1, 0},      {3, 0.5, 1},       {150, 20, 0}, {0.012, 0.002, 3}, {10, 2, 0},
      {1, 0.2, 1},    {4.9e-6, 5e-7, 7}, {-5, 1, 0},   {-0.001, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.span);
    double step = -1;
    int decimals = -1;
    TPlot::Subdivide(c.span, step, decimals);
    EXPECT_NEAR(step, c.step, c.step * 1e-9);
    EXPECT_EQ(decimals, c.decimals);
  }
}

TEST(PlotTicks, StepsDoubleOnSmallGraphs) {
  struct Case {
    int width, height;
    double xstep, ystep;
  };
  // Times 0 to 7, responses 0 to 10 (range 0 to 11 with the margin).
  const Case cases[] = {
      {400, 300, 1, 2}, {250, 120, 1, 2}, {249, 119, 2, 4}, {200, 300, 2, 2}, {99, 300, 4, 2}, {90, 100, 4, 4},
  };
  TCurveSet set = MakeSensorgrams({{{0, 0}, {7, 10}}});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    TPlot plot("graph");
    plot.BindCurveSet(set);
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, c.width, c.height, 0);
    EXPECT_DOUBLE_EQ(plot.XStep(), c.xstep);
    EXPECT_DOUBLE_EQ(plot.YStep(), c.ystep);
  }
}

// ---------------------------------------------------------------------------
// Pixels

TEST(PlotPixels, AutomaticTimeRangeKeepsTheDataOnePixelInside) {
  TCurveSet set = MakeSensorgrams({{{0, 0}, {5, 10}, {10, 4}}});
  for (const bool automatic : {true, false}) {
    SCOPED_TRACE(automatic ? "automatic" : "fixed");
    TPlot plot("graph");
    plot.BindCurveSet(set);
    if (!automatic) plot.SetScaleX(0, 10);
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, 400, 300, 0);
    const int left = static_cast<int>(plot.PlotLeft()), right = static_cast<int>(plot.PlotRight());
    ASSERT_EQ(plot.PlotLeft(), left);
    const auto data = ClippedCalls(canvas);
    const auto moves = Only(data, DrawOp::MoveTo);
    const auto lines = Only(data, DrawOp::LineTo);
    ASSERT_EQ(moves.size(), 1u);
    ASSERT_EQ(lines.size(), 2u);
    if (automatic) {
      EXPECT_EQ(moves[0].rect.left, left + 1);
      EXPECT_EQ(lines[1].rect.left, right - 1);
    } else {
      EXPECT_EQ(moves[0].rect.left, left);
      EXPECT_EQ(lines[1].rect.left, right - 2);
    }
    // y: 0 RU on the bottom of the box (the range starts at 0), and each
    // pixel is truncated from value · scale + bottom + 0.5.
    EXPECT_EQ(moves[0].rect.top, static_cast<int>(plot.PlotBottom()));
    EXPECT_EQ(lines[0].rect.top, static_cast<int>((10 - 0) * plot.YScale() + plot.PlotBottom() + 0.5));
    EXPECT_LT(plot.YScale(), 0);
  }
}

TEST(PlotPixels, DecimationKeepsAboutTwoPointsPerColumn) {
  const int n = 20000;
  TCurveSet set = MakeSensorgrams({Flat(0, n - 1, 5, n)});
  struct Case {
    const char* name;
    bool zoomed, allPoints;
    int flags;
  };
  const Case cases[] = {
      {"automatic", false, false, 0},
      {"zoomed to half", true, false, 0},
      {"all points", false, true, 0},
      {"printer", false, false, PlotPrinter},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPlot plot("graph");
    plot.BindCurveSet(set);
    plot.SetShowAllPoints(c.allPoints);
    if (c.zoomed) {
      plot.SetScaleX(0, (n - 1) / 2.0);
      plot.SetScaleY(0, 10);
    }
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, 400, 300, c.flags);
    const double w = plot.PlotRight() - plot.PlotLeft();
    int k = 1;
    if (c.zoomed)
      k = static_cast<int>(std::floor(n / w * 2 * 0.5 + 0.5));
    else if (!c.allPoints && c.flags == 0)
      k = static_cast<int>(std::floor(n * 2 / w + 0.5));
    if (!c.allPoints && c.flags == 0) {
      ASSERT_GT(k, 50);  // a case that decimates
    }
    if (c.flags == 0) {
      EXPECT_EQ(plot.CalcPinc(0, 0, n - 1), k);
    }
    const auto lines = Only(ClippedCalls(canvas), DrawOp::LineTo);
    EXPECT_EQ(static_cast<int>(lines.size()), (n - 2) / k + 1);
  }
  // Never below one point per step.
  TCurveSet few = MakeSensorgrams({Flat(0, 10, 5, 3)});
  TPlot plot("graph");
  plot.BindCurveSet(few);
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 400, 300, 0);
  EXPECT_EQ(plot.CalcPinc(0, 0, 10), 1);
}

// ---------------------------------------------------------------------------
// The current entry

TEST(PlotCurrentCurve, SetCurveKeepsOnlyEntriesTheDataHold) {
  TCurveSet set = MakeSensorgrams({Flat(0, 10, 1), Flat(0, 10, 2), Flat(0, 10, 3)});
  set.SourceCurve = {7, 8, 9};
  struct Case {
    int from, value, handlerAnswer;  // handlerAnswer -2: leave it
    int expected;
    int expectedEvents;
  };
  const Case cases[] = {
      {-1, 2, -2, 2, 1},  {-1, 3, -2, 0, 1},  {-1, 50, -2, 0, 1}, {2, -1, -2, -1, 1},
      {-1, -1, -2, -1, 0}, {-1, 2, 1, 1, 1},   {-1, 2, 99, 0, 1},  {0, 0, -2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.value));
    TPlot plot("graph");
    plot.BindCurveSet(set);
    plot.SetCurve(c.from);
    int events = 0, seenOld = -9, seenNew = -9;
    plot.OnCurveChange = [&](TPlot&, int oldCurve, int& newCurve) {
      ++events;
      seenOld = oldCurve;
      seenNew = newCurve;
      if (c.handlerAnswer != -2) newCurve = c.handlerAnswer;
    };
    plot.SetCurve(c.value);
    EXPECT_EQ(plot.CurrCurve(), c.expected);
    EXPECT_EQ(events, c.expectedEvents);
    if (events > 0) {
      EXPECT_EQ(seenOld, c.from);
      EXPECT_EQ(seenNew, c.value < 3 ? c.value : 0);
    }
  }

  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetCurrOriginal(9);
  EXPECT_EQ(plot.CurrCurve(), 2);
  EXPECT_EQ(plot.CurrOriginal(), 9);
  plot.SetCurrOriginal(4);  // no entry comes from it
  EXPECT_EQ(plot.CurrCurve(), -1);
  EXPECT_EQ(plot.CurrOriginal(), -1);
}

// ---------------------------------------------------------------------------
// Time lines

class PlotTimeLines : public ::testing::Test {
 protected:
  void SetUp() override {
    set_ = MakeSensorgrams({Flat(0, 100, 5)});
    plot_.BindCurveSet(set_);
    plot_.SetSize(400, 300);
    plot_.Paint(screen_);
  }
  RecordingCanvas& Picture() { return dynamic_cast<RecordingCanvas&>(plot_.ScreenBitmap()->Surface()); }
  int PixelOf(double t) const {
    return static_cast<int>(std::floor((t - Xmin()) * plot_.XScale() + plot_.PlotLeft() + 0.5));
  }
  double Xmin() const {
    double xmin, xmax, ymin, ymax;
    plot_.GetScale(xmin, xmax, ymin, ymax);
    return xmin;
  }
  TCurveSet set_;
  TPlot plot_{"graph"};
  RecordingCanvas screen_;
};

TEST_F(PlotTimeLines, SettingATimeMovesTheLineOnTheKeptPicture) {
  Picture().ClearCalls();
  plot_.SetStartLineTime(50);
  EXPECT_FALSE(plot_.RepaintPending());
  EXPECT_EQ(plot_.LinePixel(TPlot::kStart), PixelOf(50));
  auto lines = Segments(Picture().Calls());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].from.x, PixelOf(50));
  EXPECT_EQ(lines[0].to.x, PixelOf(50));
  EXPECT_EQ(lines[0].from.y, static_cast<int>(plot_.PlotBottom()));
  EXPECT_EQ(lines[0].to.y, static_cast<int>(plot_.PlotTop()));
  EXPECT_EQ(lines[0].pen.colour, kGreen);
  EXPECT_EQ(lines[0].pen.mode, PenMode::NotXor);
  EXPECT_EQ(Picture().GetPen().mode, PenMode::Copy);

  // The next setting draws the old line once more (erasing it) first.
  Picture().ClearCalls();
  plot_.SetStartLineTime(60);
  lines = Segments(Picture().Calls());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].from.x, PixelOf(50));
  EXPECT_EQ(lines[1].from.x, PixelOf(60));
}

TEST_F(PlotTimeLines, ATimeOutsideTheRangeAsksForAFullRepaint) {
  plot_.SetStopLineTime(40);
  ASSERT_FALSE(plot_.RepaintPending());
  Picture().ClearCalls();
  for (const double t : {500.0, -1.0, kNaN}) {
    SCOPED_TRACE(t);
    plot_.SetStopLineTime(t);
    EXPECT_TRUE(plot_.RepaintPending());
    EXPECT_EQ(plot_.LinePixel(TPlot::kStop), -1);
  }
  // Only the erasing of the line at 40 reached the picture.
  const auto lines = Segments(Picture().Calls());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].from.x, PixelOf(40));
  EXPECT_EQ(lines[0].pen.colour, kRed);
}

TEST_F(PlotTimeLines, LinesAreHeldInsideTheBox) {
  double xmin, xmax, ymin, ymax;
  plot_.GetScale(xmin, xmax, ymin, ymax);
  plot_.SetStopLineTime(xmax);  // the end of the range lies past right - 1
  EXPECT_EQ(plot_.LinePixel(TPlot::kStop), static_cast<int>(plot_.PlotRight() - 1));
  EXPECT_LT(plot_.StopLineTime(), xmax);
  plot_.SetEndLineTime(0);  // an end line never comes before the stop line
  EXPECT_EQ(plot_.LinePixel(TPlot::kEnd), plot_.LinePixel(TPlot::kStop) + 1);
  EXPECT_EQ(plot_.EndLineTime(), 0);
}

TEST_F(PlotTimeLines, FullDrawingDrawsEndStopStartLast) {
  plot_.SetShowTimeLines(true);
  plot_.SetShowEndLine(true);
  plot_.SetStartLineTime(10);
  plot_.SetStopLineTime(20);
  plot_.SetEndLineTime(30);
  RecordingCanvas canvas;
  plot_.Plot(canvas, 0, 0, 400, 300, 0);
  const auto lines = Segments(ClippedCalls(canvas));
  ASSERT_GE(lines.size(), 3u);
  const Segment* last = &lines[lines.size() - 3];
  const Colour colours[] = {kBlue, kRed, kGreen};
  const double times[] = {30, 20, 10};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(last[k].pen.colour, colours[k]);
    EXPECT_EQ(last[k].pen.mode, PenMode::NotXor);
    EXPECT_EQ(last[k].from.x, PixelOf(times[k]));
  }
  EXPECT_EQ(plot_.LinePixel(TPlot::kStart), PixelOf(10));
}

TEST(PlotTimeLinesUndrawn, WithoutADrawingTheLineHasNoPixel) {
  TPlot plot("graph");
  plot.SetStartLineTime(5);
  EXPECT_EQ(plot.LinePixel(TPlot::kStart), -1);
  EXPECT_EQ(plot.StartLineTime(), 5);
}

// ---------------------------------------------------------------------------
// Sensorgrams

// Entries at distinct levels, so that each stroke tells its entry.
class PlotSensorgrams : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<Curve> curves;
    for (int e = 0; e < 6; ++e) curves.push_back(Flat(0, 40, 10.0 * (e + 1), 5));
    set_ = MakeSensorgrams(curves);
    set_.CurveFlags = {
        3,                // 0: red, plain
        4 | pcBold,       // 1: bold
        2 | pcRemoved,    // 2: removed injection
        0,                // 3: colour index 0
        5 | pcHover | pcRemoved,  // 4: under the mouse, removed
        6 | pcHidden,     // 5: hidden
    };
    plot_.BindCurveSet(set_);
  }
  // Which entry drew the segment, from its level.
  int EntryOf(const Segment& s) const {
    for (int e = 0; e < 6; ++e)
      if (s.to.y == static_cast<int>(plot_.PixelY(10.0 * (e + 1)))) return e;
    return -1;
  }
  std::vector<Segment> Draw(int flags = 0) {
    canvas_.ClearCalls();
    plot_.Plot(canvas_, 0, 0, 400, 300, flags);
    return Segments(ClippedCalls(canvas_));
  }
  TCurveSet set_;
  TPlot plot_{"graph"};
  RecordingCanvas canvas_;
};

TEST_F(PlotSensorgrams, BoldAndHoverEntriesComeLastInBlueOrRed) {
  const auto segments = Draw();
  std::vector<int> order;
  for (const Segment& s : segments) {
    const int e = EntryOf(s);
    if (order.empty() || order.back() != e) order.push_back(e);
    switch (e) {
      case 0: EXPECT_EQ(s.pen.colour, kRed); break;
      case 1: EXPECT_EQ(s.pen.colour, kBlue); break;
      case 2: EXPECT_EQ(s.pen.colour, kRed); break;
      case 4: EXPECT_EQ(s.pen.colour, kRed); break;
      default: ADD_FAILURE() << "entry " << e << " drawn";
    }
  }
  EXPECT_EQ(order, (std::vector<int>{0, 2, 1, 4}));
  EXPECT_EQ(segments.size(), 16u);
}

TEST_F(PlotSensorgrams, FlaggedSegmentsAreRedOrMagentaOnRed) {
  // Point 2 of entries 0 (red) and 1 (bold, blue) is marked for cutting:
  // the segments into and out of it are flagged.
  set_.FlagsOf(0)[2] = 3;
  set_.FlagsOf(1)[2] = 1;
  const auto segments = Draw();
  std::vector<Colour> red, bold;
  for (const Segment& s : segments) {
    if (EntryOf(s) == 0) red.push_back(s.pen.colour);
    if (EntryOf(s) == 1) bold.push_back(s.pen.colour);
  }
  EXPECT_EQ(red, (std::vector<Colour>{kRed, kMagenta, kMagenta, kRed}));
  EXPECT_EQ(bold, (std::vector<Colour>{kBlue, kRed, kRed, kBlue}));
}

TEST_F(PlotSensorgrams, MonochromeKeepsTheOrderInBlack) {
  set_.FlagsOf(0)[2] = 3;
  const auto segments = Draw(PlotMonochrome | PlotPrinter);
  std::vector<int> order;
  for (const Segment& s : segments) {
    EXPECT_EQ(s.pen.colour, colours::Black);
    const int e = EntryOf(s);
    if (order.empty() || order.back() != e) order.push_back(e);
  }
  EXPECT_EQ(order, (std::vector<int>{0, 2, 1, 4}));
  for (const DrawCall& t : canvas_.CallsOf(DrawOp::TextOut)) EXPECT_EQ(t.font.colour, colours::Black);
}

TEST_F(PlotSensorgrams, TheCurrentCurveAloneAndColourZeroNever) {
  plot_.SetCurve(1);
  auto segments = Draw();
  ASSERT_EQ(segments.size(), 4u);
  for (const Segment& s : segments) EXPECT_EQ(EntryOf(s), 1);
  plot_.SetCurve(3);
  EXPECT_TRUE(Draw().empty());
  plot_.SetCurve(5);  // hidden
  EXPECT_TRUE(Draw().empty());
}

TEST_F(PlotSensorgrams, PointsAreCirclesAndCurvesCanBeLeftOut) {
  plot_.SetCurve(0);
  plot_.SetShowPoints(true);
  plot_.SetShowCurve(false);
  EXPECT_TRUE(Draw().empty());
  const auto circles = Only(ClippedCalls(canvas_), DrawOp::Ellipse);
  ASSERT_EQ(circles.size(), 5u);
  EXPECT_EQ(circles[0].brush.colour, kRed);  // filled with the pen colour
}

TEST_F(PlotSensorgrams, UnplaceablePointsBreakTheLine) {
  TCurveSet set = MakeSensorgrams({{{0, 1}, {1, 2}, {2, kNaN}, {3, 4}, {kInf, 5}, {5, 6}, {6, 7}}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 400, 300, 0);
  const auto data = ClippedCalls(canvas);
  EXPECT_EQ(Only(data, DrawOp::MoveTo).size(), 3u);
  EXPECT_EQ(Only(data, DrawOp::LineTo).size(), 2u);  // 0-1 and 5-6
}

// ---------------------------------------------------------------------------
// Bound points against concentration

class PlotKd : public ::testing::Test {
 protected:
  std::vector<DrawCall> Draw(const std::vector<Bound>& points, int width = 400) {
    set_ = MakeBound(points);
    plot_.BindCurveSet(set_);
    plot_.SetKdPlot(true);
    plot_.SetShowPoints(true);
    canvas_.ClearCalls();
    plot_.Plot(canvas_, 0, 0, width, 300, 0);
    return ClippedCalls(canvas_);
  }
  Point At(double x, double y) const {
    return {static_cast<int>(plot_.PixelX(x)), static_cast<int>(plot_.PixelY(y))};
  }
  TCurveSet set_;
  TPlot plot_{"graph"};
  RecordingCanvas canvas_;
};

TEST_F(PlotKd, SinglePointHasItsSymbolButNoLine) {
  for (const bool fit : {false, true}) {
    SCOPED_TRACE(fit ? "fitted" : "not fitted");
    Bound p{1e-6, 20, 3 | 0x10};
    p.fit = fit;
    p.kd = 1e-6;
    p.rmax = 40;
    const auto data = Draw({p});
    EXPECT_TRUE(Only(data, DrawOp::LineTo).empty());
    const auto symbols = Only(data, DrawOp::Polygon);  // shape 1: diamond
    ASSERT_EQ(symbols.size(), 1u);
    EXPECT_EQ(symbols[0].pen.colour, kRed);
    // s = curve width + 300 / 300 = 2; bound points use 3 s / 2.
    const int a = 3;
    const Point c = At(1e-6, 20);
    EXPECT_EQ(symbols[0].points[0].x, c.x - a);
    EXPECT_EQ(symbols[0].points[0].y, c.y);
  }
}

TEST_F(PlotKd, ReplicatesAreAveragedForTheLine) {
  const auto data = Draw({{2e-6, 30, 2}, {1e-6, 10, 2}, {1e-6, 20, 2}, {4e-6, 35, 2, 0, 0, 1, 1, false}});
  const auto lines = Segments(data);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].from.x, At(1e-6, 15).x);
  EXPECT_EQ(lines[0].from.y, At(1e-6, 15).y);
  EXPECT_EQ(lines[0].to.y, At(2e-6, 30).y);
  EXPECT_EQ(lines[1].to.x, At(4e-6, 35).x);
  EXPECT_EQ(lines[0].pen.colour, PaletteColour(2));
  EXPECT_EQ(Only(data, DrawOp::Ellipse).size(), 4u);
}

TEST_F(PlotKd, ErrorBarsOnlyWhereAConcentrationHasReplicates) {
  for (const int mode : {1, 2, 3}) {
    SCOPED_TRACE(mode);
    PlotAppearance look;
    look.errorBars = mode;
    plot_.SetAppearance(look);
    const auto data = Draw({{1e-6, 10, 2}, {1e-6, 20, 2}, {2e-6, 30, 2}});
    const auto lines = Segments(data);
    // Bars, then the series line of one segment.
    const auto vertical = [&](const Segment& s) { return s.from.x == s.to.x; };
    const int px = At(1e-6, 15).x;
    int bars = 0;
    for (const Segment& s : lines) {
      if (!vertical(s)) continue;
      ++bars;
      EXPECT_EQ(s.from.x, px);
      const double h = std::abs(s.to.y - s.from.y) / 2.0;
      const double sd = std::sqrt(50.0);
      const double expected = mode == 1 ? 5 : mode == 2 ? sd / std::sqrt(2.0) : sd;
      EXPECT_NEAR(h, expected * -plot_.YScale(), 1.0);
    }
    EXPECT_EQ(bars, 1);
    EXPECT_EQ(lines.size(), mode == 1 ? 2u : 4u);  // caps for the deviation bars
  }
}

TEST_F(PlotKd, AFittedSeriesDrawsItsIsothermAcrossTheAxis) {
  for (const bool log : {false, true}) {
    SCOPED_TRACE(log ? "log" : "linear");
    plot_.SetLogPlot(log);
    Bound p{1e-6, 20, 2};
    p.fit = true;
    p.kd = 1e-6;
    p.rmax = 40;
    Bound q = p;
    q.conc = 4e-6;
    q.response = 32;
    const auto data = Draw({p, q});
    const auto lines = Only(data, DrawOp::LineTo);
    EXPECT_EQ(lines.size(), log ? 20u : 100u);
    double xmin, xmax, ymin, ymax;
    plot_.GetScale(xmin, xmax, ymin, ymax);
    const double c = log ? std::pow(10.0, xmax) : xmax;
    EXPECT_EQ(lines.back().rect.top, At(xmax, 40 * c / (1e-6 + c)).y);
  }
}

TEST_F(PlotKd, SymbolsFollowExclusionAndHover) {
  const auto data = Draw({{1e-6, 10, 2 | 0x30}, {2e-6, 20, 2 | 0x30 | pcExcluded}, {3e-6, 30, 2 | 0x30 | pcHover}});
  const auto polygons = Only(data, DrawOp::Polygon);
  ASSERT_EQ(polygons.size(), 2u);  // squares for 0 and 2, a plus for 1
  EXPECT_EQ(polygons[0].brush.colour, PaletteColour(2));
  EXPECT_EQ(polygons[1].brush.colour, colours::White);  // open
  // The excluded point is left out of the line: one segment from 1 to 3 µM.
  std::vector<Segment> series;
  for (const Segment& s : Segments(data))
    if (s.from.y != s.to.y && s.from.x != s.to.x) series.push_back(s);
  ASSERT_EQ(series.size(), 1u);
  EXPECT_EQ(series[0].to.x, At(3e-6, 30).x);
}

// ---------------------------------------------------------------------------
// Axis labels

TEST(PlotLabels, LogarithmicAxisReadsPowersOfTen) {
  TCurveSet set = MakeBound({{1e-9, 5}, {1e-5, 20}});
  for (const int width : {200, 400}) {
    SCOPED_TRACE(width);
    TPlot plot("graph");
    plot.BindCurveSet(set);
    plot.SetKdPlot(true);
    plot.SetLogPlot(true);
    plot.SetScaleX(-9, -5);
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, width, 300, 0);
    const int size = Font{}.size;
    std::vector<std::string> supers;
    const auto texts = XLabels(canvas, plot);
    for (std::size_t k = 0; k + 1 < texts.size(); ++k) {
      if (texts[k].text != "10") continue;
      EXPECT_EQ(texts[k].font.size, size);
      EXPECT_EQ(texts[k + 1].font.size, size - 2);
      EXPECT_LT(texts[k + 1].rect.top, texts[k].rect.top);  // raised
      supers.push_back(texts[k + 1].text);
    }
    EXPECT_EQ(supers, (std::vector<std::string>{" -9", " -8", " -7", " -6", " -5"}));
    // Step 1 on the narrow graph; 0.5 on the wide one adds unlabelled
    // minor ticks between the decades.
    EXPECT_EQ(plot.XStep(), width < 250 ? 1 : 0.5);
    EXPECT_EQ(CountXTicks(canvas, plot), width < 250 ? 5 : 9);
  }
}

TEST(PlotLabels, LinearConcentrationAxisReadsMantissaTimesPower) {
  TCurveSet set = MakeBound({{1e-6, 5}, {2e-6, 20}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetKdPlot(true);
  plot.SetScaleX(0, 3.2e-6);
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 700, 300, 0);
  EXPECT_DOUBLE_EQ(plot.XStep(), 5e-7);
  const auto texts = XLabels(canvas, plot);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].text, "0");
  std::vector<std::string> labels;
  for (std::size_t k = 1; k + 1 < texts.size(); k += 2) {
    EXPECT_EQ(texts[k + 1].font.size, texts[k].font.size - 2);
    labels.push_back(texts[k].text + "^" + texts[k + 1].text);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"5.0 x 10^ -7", "1.0 x 10^ -6", "1.5 x 10^ -6", "2.0 x 10^ -6",
                                              "2.5 x 10^ -6", "3.0 x 10^ -6"}));
}

TEST(PlotLabels, LargeValuesAreWrittenInExponentForm) {
  TCurveSet set = MakeSensorgrams({{{0, 0}, {4e6, 2e6}}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetScaleX(0, 4e6);
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 1000, 300, 0);
  // y: 0 to 2.2e6 in steps of 500000; x likewise, with an upper-case E.
  for (const char* text : {"0", "500000", "1.0000e+6", "1.5000e+6", "2.0000e+6", "1.0000E+6", "4.0000E+6"}) {
    SCOPED_TRACE(text);
    EXPECT_GE(CountText(canvas, text), 1);
  }
  EXPECT_EQ(CountText(canvas, "1000000"), 0);
}

TEST(PlotLabels, TickLabelsDoNotRunIntoEachOther) {
  TCurveSet set = MakeSensorgrams({{{0, 0}, {7e6, 10}}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetScaleX(0, 7e6);
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 300, 300, 0);
  int right = -1000;
  int drawn = 0;
  for (const DrawCall& c : canvas.CallsOf(DrawOp::TextOut)) {
    if (c.rect.top <= plot.PlotBottom()) continue;
    ++drawn;
    EXPECT_GT(c.rect.left, right);
    right = c.rect.left + canvas.TextWidth(c.text);
  }
  EXPECT_GE(drawn, 2);
  EXPECT_LT(drawn, 8);  // some of the eight labels were left out
}

// ---------------------------------------------------------------------------
// Legend

TEST(PlotLegend, TheFontShrinksUntilTheLegendFits) {
  struct Case {
    int entries, flags, expectedSize;
  };
  // Font 8: the screen starts 2 points smaller; 30 lines of a 300 pixel
  // graph need size 4.
  const Case cases[] = {{5, 0, 6}, {30, 0, 4}, {5, PlotPrinter, 8}, {200, 0, 4}};
  TCurveSet set = MakeSensorgrams({Flat(0, 10, 5)});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries);
    TPlot plot("graph");
    plot.BindCurveSet(set);
    for (int k = 0; k < c.entries; ++k) plot.AddLegend("entry " + std::to_string(k), TLegendItem{0, kBlue, 0});
    plot.SetShowLegend(true);
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, 400, 300, c.flags);
    int found = 0;
    for (const auto& [text, font] : TextsWithFont(canvas.Calls())) {
      if (text.rfind("entry ", 0) != 0) continue;
      ++found;
      EXPECT_EQ(font.size, c.expectedSize);
      EXPECT_EQ(font.colour, kBlue);
    }
    EXPECT_EQ(found, c.entries);
    EXPECT_EQ(canvas.GetFont().size, Font{}.size);  // restored
  }
}

TEST(PlotLegend, TrendLegendNamesTheRunsOfTheShownSeries) {
  // Two concentrations of one analyte on one flow cell, two injections each.
  TCurveSet set = MakeBound({{1e-6, 10, 2, 0, 1}, {1e-6, 11, 2, 0, 2}, {2e-6, 20, 3, 0, 3}, {2e-6, 21, 3, 0, 4}});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetTrendPlot(true);
  const auto a = CurveName("1", "1.0uM A", "L"), b = CurveName("3", "2.0uM A", "L");
  plot.AddLegend("A", TLegendItem{0, kBlue, 0});
  plot.AddCurveName(a.first, a.second);
  plot.AddCurveName(a.first, a.second);
  plot.AddCurveName(b.first, b.second);
  plot.AddCurveName(b.first, b.second);
  plot.SetShowLegend(true);
  for (const int current : {-1, 0}) {
    SCOPED_TRACE(current);
    plot.SetCurve(current);
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, 400, 300, 0);
    std::vector<std::string> rotated;
    for (const DrawCall& c : ClippedCalls(canvas))
      if (c.op == DrawOp::TextOut && c.font.angle == 900) rotated.push_back(c.text);
    if (current < 0)
      EXPECT_EQ(rotated, (std::vector<std::string>{"1.0uM A", "2.0uM A"}));
    else
      EXPECT_EQ(rotated, (std::vector<std::string>{"1.0uM A"}));
  }
}

// ---------------------------------------------------------------------------
// Point labels

TEST(PlotPointLabels, TemplateLetters) {
  struct Case {
    const char* tpl;
    bool trend;
    const char* expected;
  };
  const Case cases[] = {
      {"a, y", false, "1.0uM Ana, 20.00"}, {"i", false, "12"},           {"l", false, " Lig"},
      {"n", false, "2"},                   {"'x=' x", false, "x= 2.00e-6"}, {"\"a\"y", false, "a20.00"},
      {"x", true, "5.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tpl);
    TCurveSet set = MakeBound({{1e-6, 10}, {2e-6, 20, 1, 0, 5}});
    set.FlagsOf(1)[8] = kKdLabelBit | kTrendLabelBit;
    TPlot plot("graph");
    plot.BindCurveSet(set);
    if (c.trend)
      plot.SetTrendPlot(true);
    else
      plot.SetKdPlot(true);
    const auto name = CurveName("12", "1.0uM Ana", "Lig");
    plot.AddCurveName(name.first, name.second);
    plot.AddCurveName(name.first, name.second);
    PlotAppearance look;
    look.labelTemplate = c.tpl;
    look.labelAngle = 0;
    plot.SetAppearance(look);
    RecordingCanvas canvas;
    plot.Plot(canvas, 0, 0, 400, 300, 0);
    std::vector<std::string> labels;
    for (const DrawCall& d : ClippedCalls(canvas))
      if (d.op == DrawOp::TextOut) labels.push_back(d.text);
    EXPECT_EQ(labels, (std::vector<std::string>{c.expected}));
  }
}

// ---------------------------------------------------------------------------
// Symbols

TEST(PlotSymbols, ShapeTable) {
  struct Case {
    int type, size;
    DrawOp op;
    std::vector<Point> points;  // polygon corners, or the ellipse box as two corners
    Colour fill;
  };
  const Colour pen = 0x123456;
  const std::vector<Case> cases = {
      {0, 4, DrawOp::Ellipse, {{46, 46}, {54, 54}}, pen},
      {1, 4, DrawOp::Polygon, {{46, 50}, {50, 54}, {54, 50}, {50, 46}}, pen},
      {2, 4, DrawOp::Polygon, {{47, 47}, {50, 53}, {53, 47}}, pen},
      {3, 4, DrawOp::Polygon, {{47, 47}, {47, 53}, {53, 53}, {53, 47}}, pen},
      {3, 2, DrawOp::Polygon, {{48, 48}, {48, 52}, {52, 52}, {52, 48}}, pen},  // no inset below 3
      {5, 4, DrawOp::Ellipse, {{46, 46}, {54, 54}}, pen},                        // shapes repeat after 5
      {0x101, 4, DrawOp::Polygon, {{46, 50}, {50, 54}, {54, 50}, {50, 46}}, colours::White},  // open
      {1, 0, DrawOp::Polygon, {{49, 50}, {50, 51}, {51, 50}, {50, 49}}, pen},  // at least 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.size));
    RecordingCanvas canvas;
    Pen p;
    p.colour = pen;
    canvas.SetPen(p);
    canvas.MoveTo(50, 50);
    canvas.ClearCalls();
    TPlot::DrawSymbol(canvas, c.type, c.size);
    const auto shapes = canvas.CallsOf(c.op);
    ASSERT_EQ(shapes.size(), 1u);
    if (c.op == DrawOp::Ellipse) {
      EXPECT_EQ(shapes[0].rect.left, c.points[0].x);
      EXPECT_EQ(shapes[0].rect.top, c.points[0].y);
      EXPECT_EQ(shapes[0].rect.right, c.points[1].x);
      EXPECT_EQ(shapes[0].rect.bottom, c.points[1].y);
    } else {
      ASSERT_EQ(shapes[0].points.size(), c.points.size());
      for (std::size_t k = 0; k < c.points.size(); ++k) {
        EXPECT_EQ(shapes[0].points[k].x, c.points[k].x);
        EXPECT_EQ(shapes[0].points[k].y, c.points[k].y);
      }
    }
    EXPECT_EQ(shapes[0].brush.colour, c.fill);
    EXPECT_EQ(canvas.PenPos().x, 50);
    EXPECT_EQ(canvas.PenPos().y, 50);
    EXPECT_EQ(canvas.GetBrush().colour, colours::White);
  }
}

TEST(PlotSymbols, PlusIsTwoLinesAndReturnsToTheCentre) {
  RecordingCanvas canvas;
  canvas.MoveTo(50, 50);
  canvas.ClearCalls();
  TPlot::DrawSymbol(canvas, 4, 3);
  const auto lines = Segments(canvas.Calls());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].from.y, 47);
  EXPECT_EQ(lines[0].to.y, 54);
  EXPECT_EQ(lines[1].from.x, 47);
  EXPECT_EQ(lines[1].to.x, 54);
  EXPECT_EQ(canvas.PenPos().x, 50);
  EXPECT_EQ(canvas.PenPos().y, 50);
  EXPECT_TRUE(canvas.CallsOf(DrawOp::Polygon).empty());
}

// ---------------------------------------------------------------------------
// Bound data of any shape

TEST(PlotRobustness, AnyBoundDataIsDrawnWithinTheSurface) {
  const double big = 1e300;
  std::vector<std::pair<const char*, std::vector<Curve>>> curves = {
      {"huge range", {{{-big, -big}, {big, big}}}},
      {"huge values", {{{0, 1.7e308}, {1, -1.7e308}}}},
      {"tiny span", {{{1, 1}, {1 + 1e-15, 1 + 1e-15}}}},
      {"mixed", {{{kNaN, kNaN}, {0, kInf}, {1, 5}, {2, -kInf}, {3, 6}}, {}, {{3, 2}}}},
      {"descending times", {{{10, 1}, {0, 2}, {5, 3}}}},
  };
  struct Kind {
    const char* name;
    bool kd, trend, log;
  };
  const Kind kinds[] = {
      {"sensorgrams", false, false, false}, {"kd", true, false, false}, {"log kd", true, false, true},
      {"trend", false, true, false},
  };
  for (auto& [name, data] : curves) {
    TCurveSet set = MakeSensorgrams(data);
    for (auto& f : set.CurveFlags) f |= pcBold;
    for (auto& f : set.PointFlags) f = kPointLabelBit | kKdLabelBit | kTrendLabelBit | 1;
    for (const Kind& kind : kinds) {
      SCOPED_TRACE(std::string(name) + ", " + kind.name);
      TPlot plot("graph");
      plot.BindCurveSet(set);
      plot.SetKdPlot(kind.kd);
      plot.SetTrendPlot(kind.trend);
      plot.SetLogPlot(kind.log);
      plot.SetShowPoints(true);
      plot.SetShowTimeLines(true);
      plot.SetStartLineTime(kNaN);
      plot.SetStopLineTime(1e300);
      plot.CutMarks().push_back({-1e300, -1});
      plot.CutMarks().push_back({kNaN, -1});
      plot.AddLegend("legend", TLegendItem{0, kBlue, 1});
      plot.SetShowLabels(true);
      PlotAppearance look;
      look.errorBars = 3;
      plot.SetAppearance(look);
      RecordingCanvas canvas;
      plot.Plot(canvas, 0, 0, 400, 300, 0);
      plot.Plot(canvas, 0, 0, 400, 300, PlotPrinter);
      plot.SetCurve(2);
      plot.Plot(canvas, 0, 0, 400, 300, 0);
      for (const DrawCall& c : canvas.Calls()) {
        EXPECT_TRUE(c.rect.left >= -30000 && c.rect.left <= 30000) << c.rect.left;
        EXPECT_TRUE(c.rect.top >= -30000 && c.rect.top <= 30000) << c.rect.top;
      }
    }
  }
}

TEST(PlotRobustness, PartlyBoundDataAndAStaleCurrentEntry) {
  TCurveSet set = MakeSensorgrams({Flat(0, 10, 1), Flat(0, 10, 2), Flat(0, 10, 3)});
  TPlot plot("graph");
  plot.BindCurveSet(set);
  plot.SetCurve(2);
  TCurveSet smaller = MakeSensorgrams({Flat(0, 10, 1)});
  plot.BindCurveSet(smaller);
  EXPECT_EQ(plot.CurrCurve(), 0);  // the old entry is gone
  EXPECT_EQ(plot.CurrOriginal(), 0);

  // Rows without flags, counts or curve flags.
  const double t[] = {0, 1, 2}, r[] = {1, 2, 3};
  const double* xs[] = {t, nullptr};
  const double* ys[] = {r, r};
  const int counts[] = {3, 3};
  plot.SetDataPtrs(2, ys, xs, nullptr, nullptr, counts, nullptr, nullptr);
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 400, 300, 0);
  EXPECT_EQ(Only(ClippedCalls(canvas), DrawOp::LineTo).size(), 2u);
  EXPECT_FALSE(plot.ShowsLine(5));
  EXPECT_FALSE(plot.HasSim());
  plot.SetDataPtrs(2, ys, xs, nullptr, nullptr, nullptr, nullptr, nullptr);
  canvas.ClearCalls();
  plot.Plot(canvas, 0, 0, 400, 300, 0);
  EXPECT_TRUE(canvas.Calls().empty());

  // A curve set whose arrays are shorter than its counts say.
  TCurveSet broken = MakeSensorgrams({Flat(0, 10, 1), Flat(0, 10, 2)});
  broken.CurveCount = 5;
  plot.BindCurveSet(broken);
  EXPECT_EQ(plot.EntryCount(), 2);
}

TEST(PlotRobustness, ModelsSkipEntriesWithoutARecord) {
  TCurveSet set = MakeSensorgrams({Flat(0, 100, 5, 11), Flat(0, 100, 6, 11)});
  set.SourceCurve = {-1, 0};
  TCurveKinetics records[1];
  records[0].model = 2;
  TPlot plot("graph");
  plot.BindCurveSet(set, records);
  plot.SetShowModels(true);
  int evaluated = 0;
  plot.Evaluate = [&](TCurveKinetics&, const double* times, double* values, int n) {
    ++evaluated;
    for (int k = 0; k < n; ++k) values[k] = k == 5 ? kNaN : times[k] / 10;
    return 0;
  };
  EXPECT_TRUE(plot.HasSim());
  RecordingCanvas canvas;
  plot.Plot(canvas, 0, 0, 400, 300, 0);
  EXPECT_EQ(evaluated, 1);
  int model = 0;
  for (const Segment& s : Segments(ClippedCalls(canvas))) model += s.pen.colour == 0x0563FF;
  EXPECT_GT(model, 300);  // one sample per pixel column, broken once at the NaN
}

}  // namespace
}  // namespace kelvaris

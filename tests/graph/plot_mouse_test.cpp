#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graph/plot.h"
#include "model/curve_set.h"
#include "model/numbers.h"
#include "platform/recording_canvas.h"
#include "platform/window_system.h"
#include "sensorgram_set.h"

namespace kelvaris {
namespace {

constexpr Colour kGrey = 0x808080;
constexpr Colour kBlue = 0xFF0000;

using test::Curve;

Curve Flat(double level) { return {{0, level}, {50, level}, {100, level}}; }

struct Bound {
  double conc;
  double response;
  std::uint32_t flags = 1;
  int injection = 1;
  int key2 = 1;
};

// Bound points as the bound stage lays them out: nine slots a row.
TCurveSet BoundPoints(const std::vector<Bound>& points) {
  TCurveSet set;
  set.Allocate(static_cast<int>(points.size()), 9);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const int c = static_cast<int>(i);
    set.PointCount[i] = 9;
    set.SourceCurve[i] = c;
    set.CurveFlags[i] = points[i].flags;
    set.TimeOf(c)[0] = points[i].conc;
    set.TimeOf(c)[3] = std::log10(points[i].conc);
    set.ResponseOf(c)[0] = points[i].response;
    set.FlagsOf(c)[1] = static_cast<TPointFlags>(points[i].injection);
    set.FlagsOf(c)[2] = static_cast<TPointFlags>(points[i].key2);
    set.FlagsOf(c)[3] = 1;
  }
  return set;
}

std::pair<int, int> XY(Point p) { return {p.x, p.y}; }

// The rubber bands drawn, in order, each as its two corners: a dotted grey
// not-xor path from the first corner through (first x, second y), the
// second corner and (second x, first y) back to the first.
std::vector<std::pair<Point, Point>> Bands(const std::vector<DrawCall>& calls) {
  std::vector<std::pair<Point, Point>> out;
  for (std::size_t k = 0; k + 4 < calls.size(); ++k) {
    const DrawCall& move = calls[k];
    if (move.op != DrawOp::MoveTo || move.pen.style != PenStyle::Dot) continue;
    EXPECT_EQ(move.pen.colour, kGrey);
    EXPECT_EQ(move.pen.width, 1);
    EXPECT_EQ(move.pen.mode, PenMode::NotXor);
    const Point a{move.rect.left, move.rect.top};
    const Point b{calls[k + 2].rect.left, calls[k + 2].rect.top};
    const Point path[4] = {{a.x, b.y}, b, {b.x, a.y}, a};
    for (int v = 0; v < 4; ++v) {
      const DrawCall& line = calls[k + 1 + static_cast<std::size_t>(v)];
      EXPECT_EQ(line.op, DrawOp::LineTo);
      EXPECT_EQ(line.pen, move.pen);
      EXPECT_EQ(XY({line.rect.left, line.rect.top}), XY(path[v]));
    }
    out.emplace_back(a, b);
  }
  return out;
}

// Texts written, with the colour they were written in.
std::vector<std::pair<std::string, Colour>> ColouredTexts(const std::vector<DrawCall>& calls) {
  std::vector<std::pair<std::string, Colour>> out;
  for (const DrawCall& c : calls)
    if (c.op == DrawOp::TextOut) out.emplace_back(c.text, c.font.colour);
  return out;
}

// A graph drawn once on a screen, so that it keeps its picture, and driven
// with the mouse.
class PlotMouse : public ::testing::Test {
 protected:
  void Show(TCurveSet set, int width = 400, int height = 300) {
    set_ = std::move(set);
    plot_.BindCurveSet(set_);
    plot_.SetSize(width, height);
    Repaint();
  }
  void Repaint() {
    plot_.Invalidate();
    plot_.Paint(screen_);
  }
  RecordingCanvas& Picture() { return dynamic_cast<RecordingCanvas&>(plot_.ScreenBitmap()->Surface()); }

  int Left() const { return static_cast<int>(plot_.PlotLeft()); }
  int Right() const { return static_cast<int>(plot_.PlotRight()); }
  int Top() const { return static_cast<int>(plot_.PlotTop()); }
  int Bottom() const { return static_cast<int>(plot_.PlotBottom()); }
  Point Centre() const { return {(Left() + Right()) / 2, (Top() + Bottom()) / 2}; }
  double Xmin() const {
    double xmin, xmax, ymin, ymax;
    plot_.GetScale(xmin, xmax, ymin, ymax);
    return xmin;
  }
  double Ymin() const {
    double xmin, xmax, ymin, ymax;
    plot_.GetScale(xmin, xmax, ymin, ymax);
    return ymin;
  }
  // Data to pixel as the points are drawn, and back.
  Point PixelOf(double x, double y) const {
    return {static_cast<int>(plot_.PixelX(x)), static_cast<int>(plot_.PixelY(y))};
  }
  double TimeAt(int px) const { return (px - plot_.PlotLeft()) / plot_.XScale() + Xmin(); }
  double ResponseAt(int py) const { return (py - plot_.PlotBottom()) / plot_.YScale() + Ymin(); }
  std::string ReadOut(Point p) const {
    return FormatNumber("", TimeAt(p.x)) + "  " + FormatNumber("", ResponseAt(p.y)) + " ";
  }

  void Press(Point p, MouseButton button = MouseButton::Left) { plot_.MouseDown(button, 0, p.x, p.y); }
  void Move(Point p) { plot_.MouseMove(0, p.x, p.y); }
  void Release(Point p, MouseButton button = MouseButton::Left) { plot_.MouseUp(button, 0, p.x, p.y); }
  void Select(Point from, Point to) {
    Press(from);
    Move(to);
    Release(to);
  }

  TCurveSet set_;
  TPlot plot_{"graph"};
  RecordingCanvas screen_;
};

// ---------------------------------------------------------------------------
// The selection rectangle

TEST_F(PlotMouse, RubberBandFollowsTheMouseAndShowsItsCorners) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  int overs = 0;
  plot_.OnMouseOver = [&](TPlot&, int) { ++overs; };
  const Point a = Centre(), b{a.x + 40, a.y + 30}, c{a.x + 60, a.y - 20};

  Picture().ClearCalls();
  Press(a);
  auto calls = Picture().Calls();
  EXPECT_TRUE(Bands(calls).empty());  // a press alone draws no band
  ASSERT_EQ(Picture().CallsOf(DrawOp::TextOut).size(), 1u);
  const DrawCall anchor = Picture().CallsOf(DrawOp::TextOut)[0];
  EXPECT_EQ(anchor.text, ReadOut(a));
  EXPECT_EQ(anchor.font.name, "Arial");
  EXPECT_EQ(anchor.font.size, 300 / 80 + 6);
  EXPECT_EQ(anchor.font.colour, kGrey);
  EXPECT_EQ(anchor.brush, (Brush{colours::White, BrushStyle::Solid}));
  RecordingCanvas measure;
  measure.SetFont(anchor.font);
  EXPECT_EQ(anchor.rect.left, static_cast<int>(std::trunc(plot_.PlotRight() - measure.TextWidth(anchor.text))));
  EXPECT_EQ(anchor.rect.top, static_cast<int>(std::trunc(plot_.PlotTop() + 2)));

  Picture().ClearCalls();
  Move(b);
  calls = Picture().Calls();
  auto bands = Bands(calls);
  ASSERT_EQ(bands.size(), 2u);  // the empty band at the press, then the new one
  EXPECT_EQ(XY(bands[1].first), XY(a));
  EXPECT_EQ(XY(bands[1].second), XY(b));
  const std::string current = ReadOut(b);
  EXPECT_EQ(plot_.CurrentReadOut(), current);
  EXPECT_EQ(ColouredTexts(calls), (std::vector<std::pair<std::string, Colour>>{
                                      {anchor.text, colours::White}, {anchor.text, kGrey}, {current, kGrey}}));
  const DrawCall below = Picture().CallsOf(DrawOp::TextOut)[2];
  EXPECT_EQ(below.rect.top, static_cast<int>(std::trunc(measure.TextHeight(current) + plot_.PlotTop() + 2)));
  EXPECT_EQ(Picture().GetPen().style, PenStyle::Solid);
  EXPECT_EQ(Picture().GetPen().mode, PenMode::Copy);

  // The next move draws the last band once more (erasing it) and both
  // read-outs in white at their places before drawing the new ones.
  Picture().ClearCalls();
  Move(c);
  calls = Picture().Calls();
  bands = Bands(calls);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(XY(bands[0].second), XY(b));
  EXPECT_EQ(XY(bands[1].second), XY(c));
  const auto texts = ColouredTexts(calls);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1], std::make_pair(current, colours::White));
  EXPECT_EQ(Picture().CallsOf(DrawOp::TextOut)[1].rect.top, below.rect.top);
  EXPECT_EQ(texts[3], std::make_pair(ReadOut(c), kGrey));
  EXPECT_EQ(overs, 0);  // no hover reports while the band is dragged
  EXPECT_FALSE(plot_.RepaintPending());

  Release(c);
  Move(a);
  EXPECT_EQ(overs, 1);
  EXPECT_DOUBLE_EQ(plot_.SelX1(), TimeAt(a.x));
  EXPECT_DOUBLE_EQ(plot_.SelY1(), ResponseAt(a.y));
  EXPECT_DOUBLE_EQ(plot_.SelX2(), TimeAt(c.x));
  EXPECT_DOUBLE_EQ(plot_.SelY2(), ResponseAt(c.y));
}

TEST_F(PlotMouse, TheSelectionLastsUntilTheNextFullDrawing) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  const Point a = Centre(), b{a.x + 40, a.y + 30};
  Select(a, b);
  EXPECT_TRUE(plot_.CanZoom());
  plot_.Paint(screen_);  // only shows the kept picture again
  EXPECT_TRUE(plot_.CanZoom());

  // A right press leaves it for the context menu.
  int closest = -2;
  plot_.OnMouseDown = [&](TPlot&, int entry) {
    closest = entry;
    return true;
  };
  Press(PixelOf(50, 25), MouseButton::Right);
  EXPECT_EQ(closest, 1);
  EXPECT_TRUE(plot_.CanZoom());

  // A new left press erases the band and the read-outs first.
  Picture().ClearCalls();
  const Point d{a.x - 30, a.y + 10};
  Press(d);
  const auto calls = Picture().Calls();
  const auto bands = Bands(calls);
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_EQ(XY(bands[0].second), XY(b));
  EXPECT_EQ(XY(Picture().PenPos()), XY(d));
  const auto texts = ColouredTexts(calls);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].second, colours::White);
  EXPECT_EQ(texts[1].second, colours::White);
  EXPECT_EQ(texts[2], std::make_pair(ReadOut(d), kGrey));
  Release(d);

  Repaint();
  EXPECT_FALSE(plot_.HasSelection());
  EXPECT_FALSE(plot_.CanZoom());
  EXPECT_EQ(plot_.SelX1(), 0);
  EXPECT_TRUE(plot_.AnchorReadOut().empty());
  // Nothing is left to erase: the next press draws only its read-out.
  Picture().ClearCalls();
  Press(a);
  EXPECT_TRUE(Bands(Picture().Calls()).empty());
  EXPECT_EQ(ColouredTexts(Picture().Calls()).size(), 1u);
}

TEST_F(PlotMouse, PressesThatStartNoRubberBand) {
  struct Row {
    int width;
    int dx, dy;  // from the box's corners: outside when not 0
    const char* reason;
  };
  const Row rows[] = {
      {400, -1, 0, "left of the axes box"},
      {400, 0, 1, "below the axes box"},
      {200, 0, 0, "a graph of 200 pixels"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    Show(test::MakeSensorgrams({Flat(5), Flat(25)}), row.width);
    int closest = -2;
    plot_.OnMouseDown = [&](TPlot&, int entry) {
      closest = entry;
      return true;
    };
    const Point p{row.dx < 0 ? Left() + row.dx : Centre().x, row.dy > 0 ? Bottom() + row.dy : PixelOf(50, 25).y};
    Picture().ClearCalls();
    Press(p);
    Move({p.x + 20, p.y - 20});
    EXPECT_FALSE(plot_.HasSelection());
    EXPECT_TRUE(ColouredTexts(Picture().Calls()).empty());
    EXPECT_TRUE(Bands(Picture().Calls()).empty());
    EXPECT_EQ(closest, row.width > 200 ? -1 : 1);  // the entry only inside the box
  }
}

TEST_F(PlotMouse, OnlyABoundGraphAnswersAndOnSelectComesFirst) {
  std::vector<std::string> events;
  plot_.OnSelect = [&](TPlot&) { events.push_back("select"); };
  plot_.OnMouseDown = [&](TPlot&, int) {
    events.push_back("down");
    return true;
  };
  plot_.SetCanSelect(true);
  plot_.SetSize(400, 300);
  Press({100, 100});
  EXPECT_TRUE(events.empty());

  Show(test::MakeSensorgrams({Flat(5)}));
  Press(Centre(), MouseButton::Right);
  EXPECT_EQ(events, (std::vector<std::string>{"select", "down"}));
  plot_.SetSelected(true);
  events.clear();
  Press(Centre());
  EXPECT_EQ(events, (std::vector<std::string>{"down"}));
}

TEST_F(PlotMouse, WithoutAKeptPictureOnlyTheStateChanges) {
  set_ = test::MakeSensorgrams({Flat(5), Flat(25)});
  plot_.BindCurveSet(set_);
  plot_.SetSize(400, 300);
  RecordingCanvas elsewhere;
  plot_.Plot(elsewhere, 0, 0, 400, 300, 0);
  ASSERT_EQ(plot_.ScreenBitmap(), nullptr);
  const Point a = Centre(), b{a.x + 40, a.y + 30};
  Select(a, b);
  EXPECT_TRUE(plot_.CanZoom());
  EXPECT_EQ(plot_.CurrentReadOut(), ReadOut(b));
  EXPECT_DOUBLE_EQ(plot_.SelX2(), TimeAt(b.x));
  plot_.AddChop();
  EXPECT_EQ(plot_.GetChopCount(), 1);
}

// ---------------------------------------------------------------------------
// Time lines

class PlotMouseTimeLines : public PlotMouse {
 protected:
  void SetUp() override {
    set_ = test::MakeSensorgrams({Flat(5)});
    plot_.BindCurveSet(set_);
    plot_.SetSize(400, 300);
    plot_.SetShowTimeLines(true);
    plot_.SetShowEndLine(true);
    plot_.SetStartLineTime(20);
    plot_.SetStopLineTime(50);
    plot_.SetEndLineTime(80);
    Repaint();
    plot_.OnMouseDown = [&](TPlot&, int) {
      ++downs_;
      return true;
    };
    plot_.OnStartChange = [&](TPlot&, double t) { changes_.emplace_back(TPlot::kStart, t); };
    plot_.OnStopChange = [&](TPlot&, double t) { changes_.emplace_back(TPlot::kStop, t); };
    plot_.OnEndChange = [&](TPlot&, double t) { changes_.emplace_back(TPlot::kEnd, t); };
  }
  int Pixel(int line) const { return plot_.LinePixel(line); }
  double Time(int line) const {
    return line == TPlot::kStart ? plot_.StartLineTime()
                                 : line == TPlot::kStop ? plot_.StopLineTime() : plot_.EndLineTime();
  }
  // Takes a line at its pixel and lets it go at column x.
  void DragLine(int line, int x) {
    const int y = Centre().y;
    Press({Pixel(line), y});
    Move({x, y});
    Release({x, y});
  }
  int downs_ = 0;
  std::vector<std::pair<int, double>> changes_;
};

TEST_F(PlotMouseTimeLines, APressWithinFourPixelsBetweenTopAndBottomTakesTheLine) {
  struct Row {
    int dx;
    int y;  // 0: the middle of the box
    bool takes;
  };
  const Row rows[] = {{0, 0, true},      {4, 0, true},         {-4, 0, true}, {5, 0, false},
                      {-5, 0, false},    {0, Top(), false},    {0, Bottom(), false},
                      {0, Top() + 1, true}, {0, Bottom() - 1, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "dx " << row.dx << " y " << row.y);
    plot_.SetStartLineTime(20);
    Repaint();
    downs_ = 0;
    changes_.clear();
    const Point p{Pixel(TPlot::kStart) + row.dx, row.y ? row.y : Centre().y};
    Press(p);
    EXPECT_EQ(plot_.HasSelection(), !row.takes);
    EXPECT_EQ(downs_, row.takes ? 0 : 1);
    Move({p.x + 10, p.y});
    EXPECT_EQ(changes_.size(), row.takes ? 1u : 0u);
    Release({p.x + 10, p.y});
  }
}

TEST_F(PlotMouseTimeLines, DraggedLinesKeepTheirOrderAndStayInsideTheBox) {
  const int start = Pixel(TPlot::kStart), stop = Pixel(TPlot::kStop), end = Pixel(TPlot::kEnd);
  struct Row {
    int line;
    int to;
    int expected;  // pixel
    const char* reason;
  };
  const Row rows[] = {
      {TPlot::kStart, start + 7, start + 7, "free"},
      {TPlot::kStart, 0, Left() + 1, "held one pixel inside the left side"},
      {TPlot::kStart, end + 20, stop - 1, "one pixel left of the stop line"},
      {TPlot::kStop, start - 20, start + 1, "one pixel right of the start line"},
      {TPlot::kStop, 399, Right() - 1, "held inside the right side (the end line sets no limit)"},
      {TPlot::kEnd, stop - 3, stop + 1, "one pixel right of the stop line"},
      {TPlot::kEnd, 399, Right() - 1, "held one pixel inside the right side"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    plot_.SetStartLineTime(20);
    plot_.SetStopLineTime(50);
    plot_.SetEndLineTime(80);
    changes_.clear();
    DragLine(row.line, row.to);
    EXPECT_EQ(Pixel(row.line), row.expected);
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_EQ(changes_[0].first, row.line);
    EXPECT_DOUBLE_EQ(changes_[0].second, Time(row.line));
    EXPECT_DOUBLE_EQ(Time(row.line), TimeAt(row.expected));
    EXPECT_LT(plot_.StartLineTime(), plot_.StopLineTime());
    if (row.line != TPlot::kStop) {
      EXPECT_LT(plot_.StopLineTime(), plot_.EndLineTime());
    }
  }
}

TEST_F(PlotMouseTimeLines, AStopLineHeldBackByTheBoxTakesTheStartTime) {
  // The start line in the last column, at a time past that column's: the
  // stop line cannot go right of it, and its time goes up to the start time.
  plot_.SetStartLineTime(TimeAt(Right() - 1) + 0.3 / plot_.XScale());
  ASSERT_EQ(Pixel(TPlot::kStart), Right() - 1);
  DragLine(TPlot::kStop, Centre().x);
  EXPECT_EQ(Pixel(TPlot::kStop), Right() - 1);
  EXPECT_DOUBLE_EQ(plot_.StopLineTime(), plot_.StartLineTime());
  ASSERT_EQ(changes_.size(), 1u);
  EXPECT_DOUBLE_EQ(changes_[0].second, plot_.StartLineTime());
}

TEST_F(PlotMouseTimeLines, StartAndEndDragsLeaveTheModelsOutUntilRelease) {
  plot_.SetShowModels(true);
  struct Row {
    int line;
    bool repaints;
  };
  for (const Row row : {Row{TPlot::kStart, true}, Row{TPlot::kStop, false}, Row{TPlot::kEnd, true}}) {
    SCOPED_TRACE(row.line);
    Repaint();
    const Point p{Pixel(row.line), Centre().y};
    Press(p);
    EXPECT_EQ(plot_.RepaintPending(), row.repaints);
    Repaint();  // the drag goes on across the new drawing
    changes_.clear();
    Move({p.x + 2, p.y});
    EXPECT_EQ(changes_.size(), 1u);
    Release({p.x + 2, p.y});
    EXPECT_EQ(plot_.RepaintPending(), row.repaints);
  }
}

TEST_F(PlotMouseTimeLines, TheCursorShowsWhereALineCanBeTaken) {
  std::vector<int> shapes;
  plot_.OnCursor = [&](int shape) { shapes.push_back(shape); };
  const int y = Centre().y;
  const Point at[] = {{Pixel(TPlot::kStart) + 4, y}, {Pixel(TPlot::kStop) - 4, y}, {Pixel(TPlot::kEnd), y},
                      {Pixel(TPlot::kStart) + 5, y}, {Pixel(TPlot::kEnd), Top()}};
  for (const Point& p : at) Move(p);
  EXPECT_EQ(shapes, (std::vector<int>{crSizeWE, crSizeWE, crSizeWE, crDefault, crDefault}));
}

TEST_F(PlotMouseTimeLines, ALineOffThePictureIsNeitherTakenNorALimit) {
  plot_.SetStopLineTime(1000);  // outside the range: off the picture
  ASSERT_EQ(Pixel(TPlot::kStop), -1);
  Press({1, Centre().y});  // within reach of pixel -1
  Move({5, Centre().y});
  EXPECT_TRUE(changes_.empty());
  Release({5, Centre().y});
  // The start line goes up to the end line; the stop line only limits its time.
  DragLine(TPlot::kStart, Pixel(TPlot::kEnd) + 10);
  EXPECT_EQ(Pixel(TPlot::kStart), Pixel(TPlot::kEnd) - 1);
}

// ---------------------------------------------------------------------------
// Zoom

TEST_F(PlotMouse, ZoomTakesThePartOfTheBandInsideTheBox) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  const Point a = Centre();
  Select(a, {399, 299});  // past the right side and the bottom
  EXPECT_DOUBLE_EQ(plot_.SelX2(), TimeAt(Right()));
  EXPECT_DOUBLE_EQ(plot_.SelY2(), ResponseAt(Bottom()));
  ASSERT_TRUE(plot_.CanZoom());
  const double xmin = TimeAt(a.x), xmax = TimeAt(Right()), ymin = ResponseAt(Bottom()), ymax = ResponseAt(a.y);

  plot_.SetZoomed(true);
  EXPECT_TRUE(plot_.IsZoomed());
  EXPECT_FALSE(plot_.AutoX());
  EXPECT_FALSE(plot_.AutoY());
  EXPECT_TRUE(plot_.RepaintPending());
  plot_.Paint(screen_);
  double x0, x1, y0, y1;
  plot_.GetScale(x0, x1, y0, y1);  // exactly the band, after the drawing too
  EXPECT_DOUBLE_EQ(x0, xmin);
  EXPECT_DOUBLE_EQ(x1, xmax);
  EXPECT_DOUBLE_EQ(y0, ymin);
  EXPECT_DOUBLE_EQ(y1, ymax);
  EXPECT_FALSE(plot_.HasSelection());

  plot_.SetZoomed(false);
  EXPECT_FALSE(plot_.IsZoomed());
  EXPECT_TRUE(plot_.AutoX() && plot_.AutoY());
  EXPECT_TRUE(plot_.RepaintPending());
}

TEST_F(PlotMouse, ABandMustBeMoreThanThreePixelsEachWayToZoom) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  struct Row {
    int dx, dy;
    bool zoomable;
  };
  const Row rows[] = {{4, 4, true}, {-4, -4, true}, {3, 40, false}, {40, -3, false}, {0, 0, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.dx << ", " << row.dy);
    Repaint();
    const Point a = Centre();
    Select(a, {a.x + row.dx, a.y + row.dy});
    EXPECT_EQ(plot_.CanZoom(), row.zoomable);
    EXPECT_EQ(plot_.GetZoomable(), row.zoomable);
  }
  // A band too small to zoom leaves the ranges as they are.
  plot_.SetZoomed(true);
  EXPECT_FALSE(plot_.IsZoomed());
}

TEST_F(PlotMouse, AClickLeavesAMarkButNothingToZoom) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  const Point a = Centre();
  Select(a, a);
  EXPECT_FALSE(plot_.CanZoom());
  plot_.AddChop();
  ASSERT_EQ(plot_.GetChopCount(), 1);
  EXPECT_DOUBLE_EQ(plot_.GetChopData(0).x, TimeAt(a.x));
  EXPECT_TRUE(plot_.RepaintPending());
}

TEST(PlotZoomUndrawn, NothingToZoomWithoutScalesOrData) {
  TPlot plot("graph");
  EXPECT_FALSE(plot.CanZoom());
  EXPECT_EQ(plot.SelX1(), 0);
  EXPECT_EQ(plot.SelY2(), 0);
  plot.SetAutoX(false);
  plot.SetZoomed(false);  // no rows bound: nothing happens
  EXPECT_FALSE(plot.AutoX());
  plot.AddChop();
  plot.RemoveChop();
  EXPECT_EQ(plot.GetChopCount(), 0);
  EXPECT_EQ(plot.FindClosestSens(10, 10), -1);  // no entry 0 to answer
}

// ---------------------------------------------------------------------------
// Cut marks

TEST_F(PlotMouse, CutMarksAreAddedInOrderAndRemovedInsideTheSelection) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  const Point a = Centre();
  Select(a, {a.x - 60, a.y + 20});
  plot_.AddChop();
  plot_.CutMarks()[0].pixel = 777;  // tells the first from the second
  plot_.AddChop();                  // the same x goes after it
  ASSERT_EQ(plot_.GetChopCount(), 2);
  EXPECT_EQ(plot_.GetChopData(0).pixel, 777);
  EXPECT_EQ(plot_.GetChopData(1).pixel, -1);

  // Both ends of the range count; the band was drawn right to left.
  const double lo = plot_.SelX2(), hi = plot_.SelX1();
  ASSERT_LT(lo, hi);
  plot_.CutMarks() = {{lo - 1, -1}, {lo, -1}, {(lo + hi) / 2, -1}, {hi, -1}, {hi + 1, -1}};
  plot_.RemoveChop();
  ASSERT_EQ(plot_.GetChopCount(), 2);
  EXPECT_EQ(plot_.GetChopData(0).x, lo - 1);
  EXPECT_EQ(plot_.GetChopData(1).x, hi + 1);
  for (int index : {-1, 2}) {
    EXPECT_EQ(plot_.GetChopData(index).x, 0);
    EXPECT_EQ(plot_.GetChopData(index).pixel, -1);
  }

  Repaint();  // no selection any more
  plot_.AddChop();
  plot_.RemoveChop();
  EXPECT_EQ(plot_.GetChopCount(), 2);
  EXPECT_FALSE(plot_.RepaintPending());
}

TEST_F(PlotMouse, ADraggedCutMarkStopsFivePixelsFromItsNeighboursAndTheSides) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  plot_.CutMarks() = {{30, -1}, {60, -1}};
  Repaint();
  const int first = plot_.GetChopData(0).pixel, second = plot_.GetChopData(1).pixel;
  int downs = 0;
  plot_.OnMouseDown = [&](TPlot&, int) { return ++downs > 0; };
  const int y = Centre().y;

  Press({first + 4, Bottom() + 5});  // any height takes it
  EXPECT_EQ(plot_.DraggedCutMark(), 0);
  EXPECT_EQ(downs, 0);
  EXPECT_FALSE(plot_.HasSelection());
  Picture().ClearCalls();
  Move({second, y});
  EXPECT_EQ(plot_.GetChopData(0).pixel, second - 5);
  EXPECT_DOUBLE_EQ(plot_.GetChopData(0).x, TimeAt(second - 5));
  // Drawn twice in blue not-xor: away at the old column, in at the new one.
  std::vector<std::pair<int, int>> strokes;
  for (const DrawCall& c : Picture().CallsOf(DrawOp::LineTo)) {
    EXPECT_EQ(c.pen.colour, kBlue);
    EXPECT_EQ(c.pen.mode, PenMode::NotXor);
    EXPECT_EQ(c.rect.top, Top());
    strokes.emplace_back(c.rect.left, c.rect.top);
  }
  EXPECT_EQ(strokes, (std::vector<std::pair<int, int>>{{first, Top()}, {second - 5, Top()}}));
  EXPECT_EQ(Picture().GetPen().mode, PenMode::Copy);

  Move({0, y});
  EXPECT_EQ(plot_.GetChopData(0).pixel, Left() + 5);
  Release({0, y});
  EXPECT_EQ(plot_.DraggedCutMark(), -1);

  Press({second, y});
  Move({390, y});
  EXPECT_EQ(plot_.GetChopData(1).pixel, Right() - 5);
  Move({0, y});
  EXPECT_EQ(plot_.GetChopData(1).pixel, Left() + 5 + 5);
  Release({0, y});

  // Near a mark the cursor says it can be taken.
  std::vector<int> shapes;
  plot_.OnCursor = [&](int shape) { shapes.push_back(shape); };
  Move({plot_.GetChopData(1).pixel + 4, y});
  Move({plot_.GetChopData(1).pixel + 4, Top()});
  EXPECT_EQ(shapes, (std::vector<int>{crSizeWE, crDefault}));
}

TEST_F(PlotMouse, AMarkWithoutRoomBetweenItsNeighboursStaysPut) {
  // Neighbours 2 pixels away on each side: holding it 5 pixels from both
  // would put it past one of them.
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  const int p = Centre().x;
  plot_.CutMarks() = {{TimeAt(p - 2), -1}, {TimeAt(p), -1}, {TimeAt(p + 2), -1}};
  Repaint();
  const std::vector<TCutMark> before = plot_.CutMarks();
  ASSERT_EQ(before[1].pixel, p);
  for (const int to : {p + 40, p - 40}) {
    Press({p + 4, Centre().y});
    ASSERT_EQ(plot_.DraggedCutMark(), 1);
    Move({to, Centre().y});
    Release({to, Centre().y});
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(plot_.GetChopData(k).pixel, before[static_cast<std::size_t>(k)].pixel);
      EXPECT_EQ(plot_.GetChopData(k).x, before[static_cast<std::size_t>(k)].x);
    }
  }
}

TEST_F(PlotMouse, OnlyMarksOnThePictureCanBeTaken) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  double xmin, xmax, ymin, ymax;
  plot_.GetScale(xmin, xmax, ymin, ymax);
  plot_.CutMarks() = {{xmax + 3 / plot_.XScale(), -1}};  // just right of the box
  Repaint();
  const int pixel = plot_.GetChopData(0).pixel;
  ASSERT_GT(pixel, Right());
  Press({pixel, Centre().y});
  EXPECT_EQ(plot_.DraggedCutMark(), -1);
  // Nor after a drawing that left the marks out.
  plot_.CutMarks() = {{50, -1}};
  Repaint();
  const int shown = plot_.GetChopData(0).pixel;
  plot_.SetBlanked(true);
  plot_.Paint(screen_);
  EXPECT_EQ(plot_.GetChopData(0).pixel, -1);
  Press({shown, Centre().y});
  EXPECT_EQ(plot_.DraggedCutMark(), -1);
}

// ---------------------------------------------------------------------------
// The entry under the mouse

TEST_F(PlotMouse, KdPointsAreFoundWithinTenPixels) {
  set_ = BoundPoints({{1e-6, 20}, {5e-6, 40}, {3e-6, 30, 1 | pcHidden}, {1e-6, 20}});
  plot_.BindCurveSet(set_);
  plot_.SetKdPlot(true);
  plot_.SetSize(400, 300);
  Repaint();
  const Point p = PixelOf(1e-6, 20);
  struct Row {
    int dx, dy;
    int expected;
  };
  // Entry 3 lies on entry 0: the earlier one wins.
  const Row rows[] = {{0, 0, 0},  {9, 0, 0},  {10, 0, -1}, {0, -9, 0},
                      {0, 10, -1}, {6, 7, 0}, {6, 8, -1},  {-6, -8, -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.dx << ", " << row.dy);
    EXPECT_EQ(plot_.FindClosestSens(p.x + row.dx, p.y + row.dy), row.expected);
  }
  const Point hidden = PixelOf(3e-6, 30);
  EXPECT_EQ(plot_.FindClosestSens(hidden.x, hidden.y), -1);
  const Point other = PixelOf(5e-6, 40);
  EXPECT_EQ(plot_.FindClosestSens(other.x + 2, other.y), 1);

  plot_.SetCurve(3);  // only the current entry counts
  EXPECT_EQ(plot_.FindClosestSens(p.x, p.y), 3);
  EXPECT_EQ(plot_.FindClosestSens(other.x, other.y), -1);

  plot_.SetCurve(-1);
  plot_.SetLogPlot(true);
  Repaint();
  const Point logged = PixelOf(std::log10(5e-6), 40);
  EXPECT_EQ(plot_.FindClosestSens(logged.x, logged.y), 1);
}

TEST_F(PlotMouse, TrendPointsOfOtherSeriesArePassedOver) {
  // Both at injection 2 and the same response; entry 1 is another series.
  set_ = BoundPoints({{1e-6, 20, 1, 2}, {2e-6, 20, 1, 2}, {1e-6, 30, 1, 3, 2}});
  plot_.BindCurveSet(set_);
  plot_.SetTrendPlot(true);
  plot_.SetSize(400, 300);
  Repaint();
  const Point p = PixelOf(2, 20);
  EXPECT_EQ(plot_.FindClosestSens(p.x, p.y), 0);
  plot_.SetCurve(1);
  EXPECT_EQ(plot_.FindClosestSens(p.x, p.y), 1);
  plot_.SetCurve(2);  // key 2 differs: entry 0 is another series too
  EXPECT_EQ(plot_.FindClosestSens(p.x, p.y), -1);
}

TEST_F(PlotMouse, SensorgramsAnswerTheLineNearestAboveOrBelow) {
  Show(test::MakeSensorgrams({Flat(10), Flat(20), Flat(30)}));
  auto at = [&](double r) { return plot_.FindClosestSens(PixelOf(40, r).x, PixelOf(40, r).y); };
  EXPECT_EQ(at(12), 0);
  EXPECT_EQ(at(17), 1);
  EXPECT_EQ(at(45), 2);
  set_.CurveFlags[2] |= pcHidden;
  EXPECT_EQ(at(29), 1);
  for (auto& flags : set_.CurveFlags) flags |= pcHidden;
  EXPECT_EQ(at(20), 0);  // none qualifies: 0, not -1
  set_.CurveFlags[2] &= ~pcHidden;
  plot_.SetCurve(1);
  EXPECT_EQ(at(30), 1);  // the current entry whatever lies under the mouse
}

TEST_F(PlotMouse, ASensorgramCountsOnlyWhereItsLineRuns) {
  Show(test::MakeSensorgrams({
      {{0, -300}, {50, -300}, {100, -300}},
      {{0, 40}, {50, 40}, {100, 40}},
      {{0, 0}, {50, 0}, {100, -250}},  // its next piece, run backwards, would pass 50 at t = 40
      {{45, 45}, {100, 45}},           // begins after t = 40
  }));
  struct Row {
    double t, r;
    int expected;
    const char* reason;
  };
  const Row rows[] = {
      {20, -290, 0, "plain nearest line"},
      {40, 45, 1, "the piece that holds t, not the next one; no line before its start"},
      {75, 38, 1, "the last piece counts"},
      {60, 45, 3, "once it has begun"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    const Point p = PixelOf(row.t, row.r);
    EXPECT_EQ(plot_.FindClosestSens(p.x, p.y), row.expected);
  }
}

TEST_F(PlotMouse, DoubleClickTogglesBetweenAllAndTheEntryUnderTheMouse) {
  Show(test::MakeSensorgrams({Flat(10), Flat(20), Flat(30)}));
  int curveChanges = 0;
  plot_.OnCurveChange = [&](TPlot&, int, int&) { ++curveChanges; };
  const Point onSecond = PixelOf(40, 20), onThird = PixelOf(40, 30);
  plot_.DblClick(onSecond.x, onSecond.y);
  EXPECT_EQ(plot_.CurrCurve(), 1);
  EXPECT_TRUE(plot_.RepaintPending());
  Repaint();
  plot_.DblClick(onThird.x, onThird.y);  // shows all again
  EXPECT_EQ(plot_.CurrCurve(), -1);
  EXPECT_EQ(curveChanges, 0);

  int seen = -2;
  plot_.OnDoubleClick = [&](TPlot&, int closest) {
    seen = closest;
    return false;
  };
  Repaint();
  plot_.DblClick(onThird.x, onThird.y);
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(plot_.CurrCurve(), -1);
  EXPECT_FALSE(plot_.RepaintPending());
}

// ---------------------------------------------------------------------------

TEST_F(PlotMouse, ClearFlagsEndsSelectionAndDrags) {
  Show(test::MakeSensorgrams({Flat(5), Flat(25)}));
  plot_.CutMarks() = {{50, -1}};
  Repaint();
  const Point a{Left() + 20, Centre().y};
  Select(a, {a.x + 30, a.y + 30});
  ASSERT_TRUE(plot_.HasSelection());
  Press({plot_.GetChopData(0).pixel, a.y});
  ASSERT_EQ(plot_.DraggedCutMark(), 0);
  plot_.ClearFlags();
  EXPECT_FALSE(plot_.HasSelection());
  EXPECT_TRUE(plot_.AnchorReadOut().empty());
  EXPECT_TRUE(plot_.CurrentReadOut().empty());
  EXPECT_EQ(plot_.DraggedCutMark(), -1);
  EXPECT_EQ(plot_.GetChopCount(), 0);
  Move({a.x + 50, a.y});  // nothing left to drag
}

}  // namespace
}  // namespace kelvaris

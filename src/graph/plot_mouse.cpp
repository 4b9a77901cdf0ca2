// Mouse interaction of the graph: the selection rectangle and the read-outs
// of its corners, dragging the time lines and the cut marks, the hit test
// that finds the entry under the mouse, zooming to the selection and the
// list of cut marks.
//
// Whatever moves while the button is down is drawn straight into the kept
// screen picture with a not-xor pen, so that drawing it a second time
// removes it again; the next full drawing wipes it all and ends the
// selection. Without a kept picture only the state changes.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graph/plot.h"
#include "model/numbers.h"
#include "platform/window_system.h"

namespace kelvaris {

namespace {

constexpr Colour kGrey = 0x808080;
constexpr Colour kCutMarkColour = 0xFF0000;  // blue
// A press or the cursor within 4 pixels of a line or mark takes it.
constexpr int kGrabReach = 5;
// Cut marks keep this many pixels from each other and from the box sides.
constexpr int kCutMarkGap = 5;
// Squared pixel distance below which a bound point is under the mouse.
constexpr double kPointReach2 = 100;

bool Within(int x, int pixel) { return x > pixel - kGrabReach && x < pixel + kGrabReach; }

}  // namespace

// --- hit test ---

int TPlot::FindClosestSens(int x, int y) const {
  if (kd_ || trend_) return ClosestPoint(x, y);
  return ClosestSensorgram(x, y);
}

int TPlot::ClosestPoint(int x, int y) const {
  if (!ScalesSet()) return -1;
  double best = 1e10;
  int answer = -1;
  for (int i = 0; i < count_; ++i) {
    if (Points(i) < 1 || (FlagsOf(i) & pcHidden)) continue;
    double value;
    if (trend_) {
      if (!InShownTrendSeries(i)) continue;
      value = InjectionNumber(i);
    } else {
      if (HasCurrent() && i != curr_) continue;
      // A concentration of 0 has no place on a logarithmic axis.
      if (log_ && !(XAt(i, 0) > 0)) continue;
      value = log_ ? XAt(i, 3) : XAt(i, 0);
    }
    // Pixel distances as the points are drawn; a value that cannot be
    // placed gives no number and is passed over.
    const double dx = std::trunc(PixelX(value)) - x;
    const double dy = std::trunc(PixelY(YAt(i, 0))) - y;
    const double d = dx * dx + dy * dy;
    if (d < kPointReach2 && d < best) {
      best = d;
      answer = i;
    }
  }
  return answer;
}

int TPlot::ClosestSensorgram(int x, int y) const {
  if (HasCurrent()) return curr_;
  if (!HasData() || count_ <= 0) return -1;  // there is no entry 0 to answer
  if (!ScalesSet()) return 0;
  const double t = DataX(x);
  const double r = DataY(y);
  double best = 1e10;
  int answer = 0;
  for (int i = 0; i < count_; ++i) {
    if (FlagsOf(i) & pcHidden) continue;
    const int n = Points(i);
    const double* time = x_[i];
    const double* response = y_[i];
    int j = 0;
    while (j < n && !(time[j] >= t)) ++j;
    // The entry's line must pass the mouse's time: one that ends before it
    // or begins after it is not under the mouse.
    if (j == n) continue;
    double at;
    if (time[j] == t) {
      at = response[j];
    } else {
      if (j == 0) continue;
      // On the piece from the point before t to the first one after it.
      const double t0 = time[j - 1], t1 = time[j];
      at = response[j - 1] + (response[j] - response[j - 1]) * (t - t0) / (t1 - t0);
    }
    const double d = (at - r) * (at - r);
    if (d < best) {
      best = d;
      answer = i;
    }
  }
  return answer;
}

int TPlot::TimeLineAt(int x) const {
  for (int line : {kStart, kStop, kEnd}) {
    const TimeLine& l = lines_[line];
    if (l.shown && l.pixel >= 0 && Within(x, l.pixel)) return line;
  }
  return -1;
}

int TPlot::CutMarkAt(int x) const {
  // Only marks the picture shows: the drawing clips them to the axes box.
  for (std::size_t k = 0; k < cutMarks_.size(); ++k) {
    const int pixel = cutMarks_[k].pixel;
    if (pixel >= 0 && pixel >= std::trunc(left_) && pixel <= right_ && Within(x, pixel)) return static_cast<int>(k);
  }
  return -1;
}

// --- press, move, release, double click ---

void TPlot::MouseDown(MouseButton button, unsigned /*shift*/, int x, int y) {
  if (!HasData()) return;
  if (canSelect_ && !selected_ && OnSelect) OnSelect(*this);
  if (button == MouseButton::Left) {
    if (PressOnTimeLine(x, y)) return;
    const int mark = CutMarkAt(x);
    if (mark >= 0) {
      cutDrag_ = mark;
      return;
    }
    Canvas* surface = KeptSurface();
    if (HasSelection()) {
      DrawRubberBand();  // a second time: gone
      if (surface) surface->MoveTo(x, y);
      selFirst_.x = -1;
    }
    EraseReadOuts();
    anchorText_.clear();
    currentText_.clear();
    if (width_ > 200 && ScalesSet() && InsideBox(x, y)) {
      anchorText_ = ReadOutText(x, y);
      DrawReadOut(kAnchorReadOut, kGrey);
      rectDrag_ = true;
      selFirst_ = selSecond_ = Point{x, y};
    }
    if (surface) Notify();
  }
  if (OnMouseDown) OnMouseDown(*this, ScalesSet() && InsideBox(x, y) ? FindClosestSens(x, y) : -1);
}

bool TPlot::PressOnTimeLine(int x, int y) {
  if (!(xscale_ > 0) || !BetweenTopAndBottom(y)) return false;
  switch (TimeLineAt(x)) {
    case kStart:
      startDrag_ = true;
      if (showModels_) Invalidate();  // the models stay away while the line moves
      return true;
    case kStop:
      stopDrag_ = true;
      return true;
    case kEnd:
      endDrag_ = true;
      if (showModels_) Invalidate();
      return true;
    default:
      return false;
  }
}

void TPlot::MouseMove(unsigned /*shift*/, int x, int y) {
  if (!rectDrag_ && OnMouseOver) OnMouseOver(*this, ScalesSet() ? FindClosestSens(x, y) : -1);

  if (rectDrag_) {
    DrawRubberBand();  // erased at the old corners
    EraseReadOuts();
    if (width_ > 200 && ScalesSet()) {
      DrawReadOut(kAnchorReadOut, kGrey);
      currentText_ = ReadOutText(x, y);
      DrawReadOut(kCurrentReadOut, kGrey);
    } else {
      anchorText_.clear();
      currentText_.clear();
    }
    selSecond_ = Point{x, y};
    DrawRubberBand();
    if (screen_) Notify();
  } else if (startDrag_) {
    DragTimeLine(kStart, x);
  } else if (stopDrag_) {
    DragTimeLine(kStop, x);
  } else if (endDrag_) {
    DragTimeLine(kEnd, x);
  } else if (lines_[kStart].shown || lines_[kStop].shown || lines_[kEnd].shown) {
    AskCursor(BetweenTopAndBottom(y) && TimeLineAt(x) >= 0 ? crSizeWE : crDefault);
  } else if (cutDrag_ >= 0) {
    DragCutMark(x);
  } else if (!cutMarks_.empty()) {
    AskCursor(BetweenTopAndBottom(y) && CutMarkAt(x) >= 0 ? crSizeWE : crDefault);
  }
}

void TPlot::DragTimeLine(int line, int x) {
  if (!(xscale_ > 0)) return;
  const TimeLine& start = lines_[kStart];
  const TimeLine& stop = lines_[kStop];
  const TimeLine& end = lines_[kEnd];
  // Pixel limits come only from lines the picture shows.
  auto onPicture = [](const TimeLine& l) { return l.shown && l.pixel >= 0; };
  int p = x;
  auto holdInBox = [&] {
    if (p <= left_) p = static_cast<int>(std::trunc(left_ + 1));
    if (p >= right_) p = static_cast<int>(std::trunc(right_ - 1));
  };
  if (line == kStart) {
    holdInBox();
    if (onPicture(stop) && p >= stop.pixel) p = stop.pixel - 1;
    if (onPicture(end) && p >= end.pixel) p = end.pixel - 1;
  } else if (line == kStop) {
    if (onPicture(start) && p <= start.pixel) p = start.pixel + 1;
    holdInBox();
  } else {
    if (onPicture(stop) && p <= stop.pixel) p = stop.pixel + 1;
    if (onPicture(start) && p <= start.pixel) p = start.pixel + 1;
    holdInBox();
  }

  double t = DataX(p);
  auto holdInRange = [&] {
    if (t < xmin_) t = xmin_;
    if (t > xmax_) t = xmax_;
  };
  if (line == kStart) {
    holdInRange();
    if (stop.shown && t > stop.time) t = stop.time;
    SetStartLineTime(t);
    if (OnStartChange) OnStartChange(*this, t);
  } else if (line == kStop) {
    if (start.shown && t < start.time) t = start.time;
    holdInRange();
    SetStopLineTime(t);
    if (OnStopChange) OnStopChange(*this, t);
  } else {
    if (stop.shown && t < stop.time) t = stop.time;
    if (start.shown && t < start.time) t = start.time;
    holdInRange();
    SetEndLineTime(t);
    if (OnEndChange) OnEndChange(*this, t);
  }
}

void TPlot::DragCutMark(int x) {
  const int count = static_cast<int>(cutMarks_.size());
  if (cutDrag_ >= count) {  // the list changed under the drag
    cutDrag_ = -1;
    return;
  }
  if (xscale_ == 0) return;
  TCutMark& mark = cutMarks_[static_cast<std::size_t>(cutDrag_)];
  int lo = static_cast<int>(std::trunc(left_));
  int hi = static_cast<int>(std::trunc(right_));
  if (cutDrag_ > 0) lo = std::max(lo, cutMarks_[static_cast<std::size_t>(cutDrag_ - 1)].pixel);
  if (cutDrag_ + 1 < count) hi = std::min(hi, cutMarks_[static_cast<std::size_t>(cutDrag_ + 1)].pixel);
  // Marks closer together than two gaps cannot move without passing each
  // other; they stay where they are.
  if (lo + kCutMarkGap > hi - kCutMarkGap) return;
  const int p = std::clamp(x, lo + kCutMarkGap, hi - kCutMarkGap);

  Canvas* surface = KeptSurface();
  Pen saved;
  if (surface) {
    saved = surface->GetPen();
    Pen pen = saved;
    pen.colour = kCutMarkColour;
    pen.mode = PenMode::NotXor;
    surface->SetPen(pen);
    DrawCutMarkLine(*surface, mark.pixel);  // erased
  }
  mark.pixel = p;
  mark.x = DataX(p);
  if (surface) {
    DrawCutMarkLine(*surface, p);
    saved.mode = PenMode::Copy;
    surface->SetPen(saved);
    Notify();
  }
}

void TPlot::DrawCutMarkLine(Canvas& canvas, int pixel) {
  PlotMoveTo(canvas, pixel, bottom_);
  PlotLineTo(canvas, pixel, top_);
}

void TPlot::MouseUp(MouseButton button, unsigned /*shift*/, int /*x*/, int /*y*/) {
  if (button != MouseButton::Left) return;
  const bool modelsBack = (startDrag_ || endDrag_) && showModels_;
  rectDrag_ = startDrag_ = stopDrag_ = endDrag_ = false;
  cutDrag_ = -1;
  // The selection stays on the picture; only the model curves left out
  // during a line drag need a new drawing.
  if (modelsBack) Invalidate();
}

void TPlot::DblClick(int x, int y) {
  int closest = ScalesSet() ? FindClosestSens(x, y) : -1;
  if (OnDoubleClick && !OnDoubleClick(*this, closest)) return;
  if (closest >= count_) closest = -1;  // the handler may have bound fewer entries
  curr_ = curr_ < 0 ? closest : -1;
  Invalidate();
}

void TPlot::AskCursor(int shape) const {
  if (OnCursor) OnCursor(shape);
}

// --- selection and zoom ---

Point TPlot::HeldInBox(Point p) const {
  if (p.x < left_) p.x = static_cast<int>(std::trunc(left_));
  if (p.x > right_) p.x = static_cast<int>(std::trunc(right_));
  if (p.y < top_) p.y = static_cast<int>(std::trunc(top_));
  if (p.y > bottom_) p.y = static_cast<int>(std::trunc(bottom_));
  return p;
}

bool TPlot::GetZoomable() const {
  if (!ScalesSet() || !HasSelection()) return false;
  const Point a = HeldInBox(selFirst_);
  const Point b = HeldInBox(selSecond_);
  return std::abs(b.x - a.x) > 3 && std::abs(b.y - a.y) > 3;
}

void TPlot::SetZoomed(bool on) {
  if (!HasData()) return;
  if (on && ScalesSet()) {
    // A selection too small to hold a range leaves the ranges alone.
    if (!GetZoomable()) return;
    const Point a = HeldInBox(selFirst_);
    const Point b = HeldInBox(selSecond_);
    const double x0 = xmin_, y0 = ymin_;
    xmin_ = x0 + (std::min(a.x, b.x) - left_) / xscale_;
    xmax_ = x0 + (std::max(a.x, b.x) - left_) / xscale_;
    // The y scale runs upward: the upper pixel is the larger value.
    ymax_ = y0 + (std::min(a.y, b.y) - bottom_) / yscale_;
    ymin_ = y0 + (std::max(a.y, b.y) - bottom_) / yscale_;
    autoX_ = autoY_ = false;
  } else {
    autoX_ = autoY_ = true;
  }
  Invalidate();
}

double TPlot::SelX1() const {
  return xscale_ != 0 && HasSelection() ? DataX(HeldInBox(selFirst_).x) : 0;
}
double TPlot::SelX2() const {
  return xscale_ != 0 && HasSelection() ? DataX(HeldInBox(selSecond_).x) : 0;
}
double TPlot::SelY1() const {
  return yscale_ != 0 && HasSelection() ? DataY(HeldInBox(selFirst_).y) : 0;
}
double TPlot::SelY2() const {
  return yscale_ != 0 && HasSelection() ? DataY(HeldInBox(selSecond_).y) : 0;
}

// --- cut marks ---

void TPlot::AddChop() {
  if (xscale_ == 0 || !HasSelection()) return;
  TCutMark mark;
  mark.x = SelX1();
  // After any marks at the same x.
  const auto at = std::upper_bound(cutMarks_.begin(), cutMarks_.end(), mark.x,
                                   [](double x, const TCutMark& m) { return x < m.x; });
  cutMarks_.insert(at, mark);
  Invalidate();
}

void TPlot::RemoveChop() {
  if (xscale_ == 0 || !HasSelection()) return;
  const double lo = std::min(SelX1(), SelX2());
  const double hi = std::max(SelX1(), SelX2());
  std::erase_if(cutMarks_, [&](const TCutMark& m) { return m.x >= lo && m.x <= hi; });
  Invalidate();
}

TCutMark TPlot::GetChopData(int index) const {
  if (index < 0 || index >= static_cast<int>(cutMarks_.size())) return TCutMark{};
  return cutMarks_[static_cast<std::size_t>(index)];
}

// --- what the drags draw ---

void TPlot::DrawRubberBand() {
  Canvas* c = KeptSurface();
  if (!c) return;
  const Pen saved = c->GetPen();
  Pen pen;
  pen.colour = kGrey;
  pen.width = 1;
  pen.style = PenStyle::Dot;
  pen.mode = PenMode::NotXor;
  c->SetPen(pen);
  const Point a = selFirst_, b = selSecond_;
  c->MoveTo(a.x, a.y);
  c->LineTo(a.x, b.y);
  c->LineTo(b.x, b.y);
  c->LineTo(b.x, a.y);
  c->LineTo(a.x, a.y);
  Pen back = saved;
  back.style = PenStyle::Solid;
  back.mode = PenMode::Copy;
  c->SetPen(back);
}

std::string TPlot::ReadOutText(int x, int y) const {
  double u = DataX(x);
  const double v = DataY(y);
  if (kd_ && log_) u = std::pow(10.0, u);  // the axis holds log10 of the concentration
  return FormatNumber("", u) + "  " + FormatNumber("", v) + " ";
}

void TPlot::DrawReadOut(ReadOut which, Colour colour) {
  const std::string& text = which == kAnchorReadOut ? anchorText_ : currentText_;
  Canvas* c = KeptSurface();
  if (!c || text.empty()) return;
  const Font savedFont = c->GetFont();
  const Brush savedBrush = c->GetBrush();
  Font font;
  font.name = "Arial";
  font.size = std::min(width_, height_) / 80 + 6;
  font.colour = colour;
  c->SetFont(font);
  Brush brush;
  brush.colour = colours::White;
  brush.style = BrushStyle::Solid;
  c->SetBrush(brush);
  // Right-aligned on the box's right edge; the current read-out one line
  // below the anchor.
  const double below = which == kAnchorReadOut ? 0 : c->TextHeight(text);
  c->TextOut(static_cast<int>(std::trunc(right_ - c->TextWidth(text))), static_cast<int>(std::trunc(below + top_ + 2)),
             text);
  c->SetFont(savedFont);
  c->SetBrush(savedBrush);
}

void TPlot::EraseReadOuts() {
  DrawReadOut(kAnchorReadOut, colours::White);
  DrawReadOut(kCurrentReadOut, colours::White);
}

}  // namespace kelvaris

// The data of a drawing: sensorgrams, bound points with their series lines
// and error bars, trend points, model curves, point labels and symbols.
#include <algorithm>
#include <cmath>

#include "graph/palette.h"
#include "graph/plot.h"
#include "graph/plot_frame.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kMagenta = 0xFF00FF;

void UsePen(Canvas& canvas, Colour colour) {
  Pen p = canvas.GetPen();
  if (p.colour == colour && p.style == PenStyle::Solid && p.mode == PenMode::Copy) return;
  p.colour = colour;
  p.style = PenStyle::Solid;
  p.mode = PenMode::Copy;
  canvas.SetPen(p);
}

void UseFontColour(Canvas& canvas, Colour colour) {
  Font f = canvas.GetFont();
  f.colour = colour;
  canvas.SetFont(f);
}

bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

}  // namespace

// --- sensorgrams ---

void TPlot::DrawSensorgram(Canvas& canvas, Frame& f, int entry, Colour colour, int step, int symbol) {
  const long long n = Points(entry);
  if (n < 1) return;
  const double* t = x_[entry];
  const double* r = y_[entry];
  const std::uint32_t* flags = pointFlags_ ? pointFlags_[entry] : nullptr;
  const Colour flagged = f.mono ? colours::Black : (colour == kRed ? kMagenta : kRed);
  UsePen(canvas, colour);
  // A point that is not a finite number breaks the line; the next one
  // starts it again.
  bool joined = Finite(t[0], r[0]);
  if (joined) {
    PlotMoveTo(canvas, PixelX(t[0]), PixelY(r[0]));
    if (showPoints_) DrawSymbol(canvas, 0, symbol);
  }
  for (long long j = 1; j < n; j += std::max(step, 1)) {
    if (!Finite(t[j], r[j])) {
      joined = false;
      continue;
    }
    const bool cut = flags && ((flags[j] & 0xFF) || (flags[j - 1] & 0xFF));
    UsePen(canvas, cut ? flagged : colour);
    const double px = PixelX(t[j]), py = PixelY(r[j]);
    if (showCurve_ && joined)
      PlotLineTo(canvas, px, py);
    else
      PlotMoveTo(canvas, px, py);
    joined = true;
    if (showPoints_) DrawSymbol(canvas, 0, symbol);
  }
}

void TPlot::DrawSensorgrams(Canvas& canvas, Frame& f) {
  auto stepOf = [&](int i) { return f.printer ? 1 : CalcPinc(i, f.dataXmin, f.dataXmax); };
  // Plain entries first, so that bold and highlighted ones lie on top.
  for (int i = 0; i < count_; ++i) {
    const std::uint32_t flags = FlagsOf(i);
    if ((curr_ >= 0 && i != curr_) || (flags & (pcHidden | pcBold | pcHover)) || !(flags & pcColourMask)) continue;
    const Colour colour = f.mono ? colours::Black : (flags & pcRemoved) ? kRed : EntryColour(i, false);
    DrawSensorgram(canvas, f, i, colour, stepOf(i), f.s);
  }
  for (int i = 0; i < count_; ++i) {
    const std::uint32_t flags = FlagsOf(i);
    if ((curr_ >= 0 && i != curr_) || (flags & pcHidden) || !(flags & pcColourMask) || !(flags & (pcBold | pcHover)))
      continue;
    const Colour colour = f.mono ? colours::Black : (flags & pcRemoved) ? kRed : kBlue;
    DrawSensorgram(canvas, f, i, colour, stepOf(i), f.s);
  }
  Pen p = canvas.GetPen();
  p.width = 1;
  canvas.SetPen(p);
}

// --- bound points against concentration ---

void TPlot::DrawKdPoints(Canvas& canvas, Frame& f) {
  auto seriesOf = [&](int i) { return static_cast<int>(FlagsOf(i) >> kSeriesShift); };
  auto visible = [&](int i) { return Points(i) >= 1 && InShownSeries(i) && !(FlagsOf(i) & pcHidden); };
  auto shown = [&](int i) {
    return visible(i) && (!log_ || XAt(i, 0) > 0) && Finite(PlotX(i, 0), YAt(i, 0));
  };
  // The series numbers in use, lowest first.
  std::vector<int> series;
  for (int i = 0; i < count_; ++i)
    if (visible(i)) series.push_back(seriesOf(i));
  std::sort(series.begin(), series.end());
  series.erase(std::unique(series.begin(), series.end()), series.end());

  std::vector<TLinePoint> points;
  points.reserve(static_cast<std::size_t>(count_));
  for (int g : series) {
    points.clear();
    for (int i = 0; i < count_; ++i)
      if (shown(i) && !(FlagsOf(i) & pcExcluded) && seriesOf(i) == g) points.push_back({PlotX(i, 0), YAt(i, 0), i});
    if (points.size() < 2 || !showCurve_) continue;
    const int last = points.back().entry;
    int colourIndex = static_cast<int>(FlagsOf(last) & pcColourMask);
    // A series whose unfitted points carry different colours is drawn black.
    for (int i = 0; i < count_; ++i) {
      const std::uint32_t fl = FlagsOf(i);
      const int c = static_cast<int>(fl & pcColourMask);
      if (i == last || Points(i) < 1 || (fl & (pcHidden | pcExcluded)) || seriesOf(i) != g || (IntRow(i, 4) & 1))
        continue;
      if (IntRow(i, 2) == IntRow(last, 2) && c != 0 && c != colourIndex) colourIndex = 1;
    }
    if (colourIndex < 1) continue;
    std::stable_sort(points.begin(), points.end(), [](const TLinePoint& a, const TLinePoint& b) { return a.x < b.x; });
    UsePen(canvas, f.mono ? colours::Black : PaletteColour(colourIndex));
    if (look_.errorBars >= 1) DrawErrorBars(canvas, points, f.s, look_.errorBars);
    const int firstEntry = points.front().entry;
    if (IntRow(firstEntry, 4) & 1) {
      // The fitted isotherm over the whole axis, once per series.
      const int n = log_ ? 20 : 100;
      const double kd1 = XAt(firstEntry, 1), rmax1 = YAt(firstEntry, 1);
      const bool twoSites = (IntRow(firstEntry, 6) & 1) != 0;
      const double kd2 = XAt(firstEntry, 6), rmax2 = YAt(firstEntry, 6);
      bool joined = false;
      for (int k = 0; k <= n; ++k) {
        const double xk = xmin_ + k * (xmax_ - xmin_) / n;
        const double c = log_ ? std::pow(10.0, xk) : xk;
        double y = 0;
        if (kd1 + c != 0 && c >= 0) y = rmax1 * c / (kd1 + c);
        if (twoSites && kd2 + c != 0 && c >= 0) y += rmax2 * c / (kd2 + c);
        if (!std::isfinite(y)) {
          joined = false;
          continue;
        }
        if (joined)
          PlotLineTo(canvas, PixelX(xk), PixelY(y));
        else
          PlotMoveTo(canvas, PixelX(xk), PixelY(y));
        joined = true;
      }
    } else {
      bool started = false;
      for (std::size_t a = 0; a < points.size();) {
        std::size_t b = a;
        double sum = 0;
        while (b < points.size() && points[b].x == points[a].x) sum += points[b++].y;
        const double px = PixelX(points[a].x), py = PixelY(sum / static_cast<double>(b - a));
        if (started)
          PlotLineTo(canvas, px, py);
        else
          PlotMoveTo(canvas, px, py);
        started = true;
        a = b;
      }
    }
  }

  if (!showPoints_) return;
  const int size = 3 * f.s / 2;
  for (int i = 0; i < count_; ++i) {
    const std::uint32_t fl = FlagsOf(i);
    if (!shown(i) || !(fl & pcColourMask)) continue;
    UsePen(canvas, EntryColour(i, f.mono));
    int type = (fl & pcExcluded) ? 4 : static_cast<int>((fl >> 4) & 0xF);
    if (fl & pcHover) type += 0x100;
    PlotMoveTo(canvas, PixelX(PlotX(i, 0)), PixelY(YAt(i, 0)));
    DrawSymbol(canvas, type, size);
  }
}

void TPlot::DrawErrorBars(Canvas& canvas, const std::vector<TLinePoint>& points, int cap, int mode) {
  const Point pen = canvas.PenPos();
  for (std::size_t a = 0; a < points.size();) {
    std::size_t b = a;
    double sum = 0, lo = points[a].y, hi = points[a].y;
    while (b < points.size() && points[b].x == points[a].x) {
      sum += points[b].y;
      lo = std::min(lo, points[b].y);
      hi = std::max(hi, points[b].y);
      ++b;
    }
    const std::size_t q = b - a;
    if (q > 1) {
      const double m = sum / static_cast<double>(q);
      const double px = PixelX(points[a].x), py = PixelY(m);
      if (mode == 1) {
        PlotMoveTo(canvas, px, PixelY(lo));
        PlotLineTo(canvas, px, PixelY(hi));
      } else {
        double ss = 0;
        for (std::size_t k = a; k < b; ++k) ss += (points[k].y - m) * (points[k].y - m);
        double sd = std::sqrt(ss / static_cast<double>(q - 1));
        if (mode == 2) sd /= std::sqrt(static_cast<double>(q));
        const double h = sd * yscale_;
        PlotMoveTo(canvas, px - cap, py + h);
        PlotLineTo(canvas, px + cap + 1, py + h);
        PlotMoveTo(canvas, px, py + h);
        PlotLineTo(canvas, px, py - h);
        PlotMoveTo(canvas, px - cap, py - h);
        PlotLineTo(canvas, px + cap + 1, py - h);
      }
    }
    canvas.MoveTo(pen.x, pen.y);
    a = b;
  }
}

// --- bound points against injection number ---

void TPlot::DrawTrendPoints(Canvas& canvas, Frame& f) {
  auto present = [&](int i) { return Points(i) >= 1 && !(FlagsOf(i) & pcHidden) && std::isfinite(YAt(i, 0)); };
  const int size = 3 * f.s / 2;
  for (int i = 0; i < count_; ++i) {
    const std::uint32_t fl = FlagsOf(i);
    if (!present(i) || !InShownTrendSeries(i) || !(fl & pcColourMask)) continue;
    UsePen(canvas, EntryColour(i, f.mono));
    PlotMoveTo(canvas, PixelX(InjectionNumber(i)), PixelY(YAt(i, 0)));
    if (showPoints_) {
      int type = (fl & pcExcluded) ? 4 : static_cast<int>((fl >> 4) & 0xF);
      if (fl & pcHover) type += 0x100;
      DrawSymbol(canvas, type, size);
    }
    if (!showCurve_) continue;
    for (int j = i + 1; j < count_; ++j) {
      if (Points(j) < 1 || (FlagsOf(j) & pcHidden) || !SameTrendSeries(i, j)) continue;
      if (present(j)) PlotLineTo(canvas, PixelX(InjectionNumber(j)), PixelY(YAt(j, 0)));
      break;
    }
  }
}

// --- model curves ---

void TPlot::DrawModels(Canvas& canvas, Frame& f) {
  if (!kinetics_ || !source_ || !showModels_ || startDrag_ || endDrag_) return;
  const int n = f.width / std::max(pixelsPerSample_, 1);
  if (n < 1) return;
  std::vector<double> times(static_cast<std::size_t>(n)), values(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) times[static_cast<std::size_t>(k)] = xmin_ + k * (xmax_ - xmin_) / n;
  Pen pen = canvas.GetPen();
  pen.width = look_.modelWidth;
  canvas.SetPen(pen);
  for (int i = 0; i < count_; ++i) {
    const std::uint32_t fl = FlagsOf(i);
    const int points = Points(i);
    if ((curr_ >= 0 && i != curr_) || points < 1 || (fl & pcHidden) || !(fl & pcColourMask)) continue;
    TCurveKinetics* found = KineticsOf(i);
    if (!found || found->model == 0) continue;
    TCurveKinetics& record = *found;
    const double rmax = record.slot[ksRmax].value;
    const double scale = normalizeModels_ && rmax > 0 ? 100 / rmax : 1;
    const TCurveKinetics saved = record;
    if (zeroModels_) {
      record.slot[ksJump].value = 0;
      record.slot[ksStop].value -= record.slot[ksStart].value;
      record.slot[ksStart].value = 0;
    }
    const Colour colour = f.mono ? colours::Black : EntryColour(i, false) == kRed ? Colour{0x000080} : Colour{0x0563FF};
    UsePen(canvas, colour);
    double lo = std::trunc(times.front()), hi = std::trunc(times.back());
    lo = std::max(lo, std::trunc(x_[i][0]));
    hi = std::min(hi, std::trunc(x_[i][points - 1]));
    const bool ok = Evaluate && Evaluate(record, times.data(), values.data(), n) == 0;
    const double te = record.slot[ksStop].value;
    const double a0 = record.slot[ksA0].value;
    if (zeroModels_) record = saved;
    if (!ok) continue;
    // A value that is not finite breaks the curve.
    bool joined = false;
    auto to = [&](double t, double v) {
      if (!Finite(t, v)) {
        joined = false;
        return;
      }
      if (joined)
        PlotLineTo(canvas, PixelX(t), PixelY(v));
      else
        PlotMoveTo(canvas, PixelX(t), PixelY(v));
      joined = true;
    };
    if (saved.model == 1) {
      // Dissociation only: from the response at the end of the injection.
      to(te, scale * a0);
      for (int k = 0; k < n; ++k) {
        const double t = times[static_cast<std::size_t>(k)];
        if (t > te && t <= hi) to(t, scale * values[static_cast<std::size_t>(k)]);
      }
    } else {
      for (int k = 0; k < n; ++k) {
        const double t = times[static_cast<std::size_t>(k)];
        if (t >= lo && t <= hi) to(t, scale * values[static_cast<std::size_t>(k)]);
      }
    }
  }
  pen = canvas.GetPen();
  pen.width = 1;
  canvas.SetPen(pen);
}

// --- point labels ---

std::string TPlot::PointLabelText(int entry, int point) const {
  const std::string& tpl = look_.labelTemplate;
  const std::string name =
      entry < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(entry)].first : std::string();
  const int ligandPosition = entry < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(entry)].second : 0;
  const bool bound = kd_ || trend_;
  std::string out;
  for (std::size_t k = 0; k < tpl.size(); ++k) {
    const char ch = tpl[k];
    if (ch == '"' || ch == '\'') {
      const std::size_t close = tpl.find_first_of("\"'", k + 1);
      const std::size_t end = close == std::string::npos ? tpl.size() : close;
      out += tpl.substr(k + 1, end - k - 1);
      k = end;
      continue;
    }
    switch (ch) {
      case 'a':
        out += ConcentrationPart(entry);
        break;
      case 'i': {
        const std::size_t colon = name.find(':');
        if (colon != std::string::npos && colon > 4) out += name.substr(4, colon - 4);
        break;
      }
      case 'l':
        if (ligandPosition >= 1 && static_cast<std::size_t>(ligandPosition - 1) < name.size())
          out += name.substr(static_cast<std::size_t>(ligandPosition - 1));
        break;
      case 'n':
        out += std::to_string((bound ? entry : point) + 1);
        break;
      case 'x':
        // The value the axis shows, but the concentration itself on a
        // logarithmic axis.
        out += FormatNumber("", trend_ ? static_cast<double>(InjectionNumber(entry))
                                       : kd_ ? XAt(entry, 0) : x_[entry][point]);
        break;
      case 'y':
        out += FormatNumber("", bound ? YAt(entry, 0) : y_[entry][point]);
        break;
      default:
        out += ch;
    }
  }
  return out;
}

void TPlot::LabelPoint(Canvas& canvas, Frame& f, int entry, int point, Colour colour) {
  const double x = kd_ || trend_ ? PlotX(entry, 0) : x_[entry][point];
  const double y = kd_ || trend_ ? YAt(entry, 0) : y_[entry][point];
  if (!Finite(x, y)) return;  // no place for it
  UsePen(canvas, colour);
  AngledTextOut(canvas, HeldPixel(PixelX(x)), HeldPixel(PixelY(y)), look_.labelAngle, PointLabelText(entry, point));
}

void TPlot::DrawPointLabels(Canvas& canvas, Frame& f) {
  auto labelColour = [&](int i) {
    const std::uint32_t fl = FlagsOf(i);
    if (f.mono) return colours::Black;
    return (fl & pcRemoved) ? kRed : EntryColour(i, false);
  };
  if (kd_ || trend_) {
    const int bit = trend_ ? kTrendLabelBit : kKdLabelBit;
    for (int i = 0; i < count_; ++i) {
      if (Points(i) < 1 || !InShownTrendSeries(i) || (FlagsOf(i) & pcHidden) || !(IntRow(i, 8) & bit)) continue;
      if (kd_ && log_ && !(XAt(i, 0) > 0)) continue;  // no place on the axis
      UseFontColour(canvas, labelColour(i));
      LabelPoint(canvas, f, i, 0, (FlagsOf(i) & pcColourMask) && !f.mono ? EntryColour(i, false) : colours::Black);
    }
    return;
  }
  if (!pointFlags_) return;
  for (int i = 0; i < count_; ++i) {
    const std::uint32_t fl = FlagsOf(i);
    if ((curr_ >= 0 && i != curr_) || (fl & pcHidden) || !(fl & pcColourMask)) continue;
    const std::uint32_t* flags = pointFlags_[i];
    if (!flags) continue;
    bool colourSet = false;
    const int n = Points(i);
    for (int k = 0; k < n; ++k) {
      if (!(flags[k] & kPointLabelBit)) continue;
      if (!colourSet) UseFontColour(canvas, labelColour(i));
      colourSet = true;
      LabelPoint(canvas, f, i, k, f.mono ? colours::Black : EntryColour(i, false));
    }
  }
}

// --- symbols and rotated text ---

void TPlot::DrawSymbol(Canvas& canvas, int type, int size) {
  const Point at = canvas.PenPos();
  const int x = at.x, y = at.y;
  const int a = std::max(size, 1);
  const int c = a > 2 ? a - 1 : a;
  Brush brush;
  brush.style = BrushStyle::Solid;
  brush.colour = type > 15 ? colours::White : canvas.GetPen().colour;
  canvas.SetBrush(brush);
  switch ((type & 0xF) % 5) {
    case 0:
      canvas.Ellipse(Rect{x - a, y - a, x + a, y + a});
      break;
    case 1:
      canvas.Polygon({{x - a, y}, {x, y + a}, {x + a, y}, {x, y - a}});
      break;
    case 2:
      canvas.Polygon({{x - c, y - c}, {x, y + c}, {x + c, y - c}});
      break;
    case 3:
      canvas.Polygon({{x - c, y - c}, {x - c, y + c}, {x + c, y + c}, {x + c, y - c}});
      break;
    default:
      canvas.MoveTo(x, y - a);
      canvas.LineTo(x, y + a + 1);
      canvas.MoveTo(x - a, y);
      canvas.LineTo(x + a + 1, y);
      break;
  }
  canvas.MoveTo(x, y);
  brush.colour = colours::White;
  canvas.SetBrush(brush);
}

void TPlot::VerticalTextOut(Canvas& canvas, int x, int y, const std::string& text) {
  if (x < -30000 || x > 30000 || y < -30000 || y > 30000) return;
  const Font saved = canvas.GetFont();
  Font rotated = saved;
  rotated.angle = 900;
  canvas.SetFont(rotated);
  canvas.TextOut(x, y, text);
  canvas.SetFont(saved);
}

void TPlot::AngledTextOut(Canvas& canvas, int x, int y, int angle, const std::string& text) {
  const Font saved = canvas.GetFont();
  const Brush savedBrush = canvas.GetBrush();
  Font rotated = saved;
  if (rotated.height != 0)
    rotated.height = static_cast<int>(rotated.height * 0.75);
  else
    rotated.size = std::max(static_cast<int>(rotated.size * 0.75), 1);
  rotated.angle = 10 * angle;
  canvas.SetFont(rotated);
  Brush clear = savedBrush;
  clear.style = BrushStyle::Clear;
  canvas.SetBrush(clear);
  const double h = canvas.TextHeight(text);
  const double theta = angle * 3.1415926 / 180;
  const double px = x + (h / 2) * std::cos(theta) - (h / 2) * std::sin(theta) + 0.5;
  const double py = y - (h / 2) * std::sin(theta) - (h / 2) * std::cos(theta) + 0.5;
  if (px >= -30000 && px <= 30000 && py >= -30000 && py <= 30000)
    canvas.TextOut(static_cast<int>(px), static_cast<int>(py), text);
  canvas.SetBrush(savedBrush);
  canvas.SetFont(saved);
}

// --- single entries on the kept screen bitmap ---

void TPlot::PaintLine(int entry) {
  if (!HasData() || !Visible() || !screen_ || entry < 0 || entry >= count_ || xscale_ == 0 || kd_ || trend_) return;
  const std::uint32_t fl = FlagsOf(entry);
  if ((fl & pcHidden) || !(fl & pcColourMask)) return;
  Canvas& canvas = screen_->Surface();
  Frame f;
  f.width = width_;
  f.height = height_;
  GetMinMax(f.dataXmin, f.dataXmax, f.dataYmin, f.dataYmax);
  canvas.SetClip(Rect{static_cast<int>(left_), static_cast<int>(top_), static_cast<int>(right_),
                      static_cast<int>(bottom_)});
  Colour colour = EntryColour(entry, false);
  if (fl & pcBold) colour = kBlue;
  if (fl & pcRemoved) colour = kRed;
  Pen pen = canvas.GetPen();
  const int savedWidth = pen.width;
  pen.width = look_.curveWidth;
  canvas.SetPen(pen);
  const int symbol = std::max(static_cast<int>((look_.curveWidth + width_ / 400) * look_.pointScale), 1);
  DrawSensorgram(canvas, f, entry, colour, CalcPinc(entry, f.dataXmin, f.dataXmax), symbol);
  pen = canvas.GetPen();
  pen.width = savedWidth;
  canvas.SetPen(pen);
  canvas.RemoveClip();
  Notify();
}

void TPlot::PaintPoint(int entry) {
  if (!HasData() || !Visible() || !screen_ || entry < 0 || entry >= count_ || xscale_ == 0) return;
  Canvas& canvas = screen_->Surface();
  if (Points(entry) < 1) return;
  double x;
  if (trend_)
    x = InjectionNumber(entry);
  else if (kd_ && log_) {
    if (!(XAt(entry, 0) > 0)) return;
    x = XAt(entry, 3);
  } else {
    x = XAt(entry, 0);
  }
  if (!Finite(x, YAt(entry, 0))) return;
  const std::uint32_t fl = FlagsOf(entry);
  if (fl & pcColourMask) UsePen(canvas, EntryColour(entry, false));
  PlotMoveTo(canvas, PixelX(x), PixelY(YAt(entry, 0)));
  if (showPoints_) {
    int type = (fl & pcExcluded) ? 4 : static_cast<int>((fl >> 4) & 0xF);
    if (fl & pcHover) type += 0x100;
    DrawSymbol(canvas, type, 3 * symbolSize_ / 2);
  }
  Notify();
}

}  // namespace kelvaris

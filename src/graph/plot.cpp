#include "graph/plot.h"

#include <algorithm>
#include <cmath>

#include "graph/palette.h"
#include "graph/plot_frame.h"
#include "model/curve_set.h"

namespace kelvaris {

TPlot::TPlot(std::string name) : Control(std::move(name), ControlKind::Graph) { ClearFlags(); }

TPlot::~TPlot() = default;

// --- data ---

void TPlot::SetDataPtrs(int count, const double* const* y, const double* const* x,
                        const std::uint32_t* const* pointFlags, const std::uint32_t* curveFlags, const int* pointCounts,
                        const int* sourceIndex, TCurveKinetics* kinetics) {
  count_ = std::max(count, 0);
  y_ = y;
  x_ = x;
  pointFlags_ = pointFlags;
  curveFlags_ = curveFlags;
  pointCounts_ = pointCounts;
  source_ = sourceIndex;
  kinetics_ = kinetics;
  rowLength_ = 0;
  // A current entry the new data no longer hold would index past them.
  if (curr_ >= count_) curr_ = count_ > 0 ? 0 : -1;
  Invalidate();
}

void TPlot::BindCurveSet(const TCurveSet& set, TCurveKinetics* kinetics) {
  // Only the curves the arrays really hold.
  std::size_t held = 0;
  if (set.CurveCount > 0 && set.Capacity > 0) {
    held = std::min({static_cast<std::size_t>(set.CurveCount), set.PointCount.size(), set.SourceCurve.size(),
                     set.CurveFlags.size()});
    const std::size_t perPoint = std::min({set.Time.size(), set.Response.size(), set.PointFlags.size()});
    held = std::min(held, perPoint / static_cast<std::size_t>(set.Capacity));
  }
  const int n = static_cast<int>(held);
  boundY_.resize(static_cast<std::size_t>(n));
  boundX_.resize(static_cast<std::size_t>(n));
  boundFlags_.resize(static_cast<std::size_t>(n));
  for (int c = 0; c < n; ++c) {
    boundY_[static_cast<std::size_t>(c)] = set.ResponseOf(c);
    boundX_[static_cast<std::size_t>(c)] = set.TimeOf(c);
    boundFlags_[static_cast<std::size_t>(c)] = set.FlagsOf(c);
  }
  if (n == 0) {
    Unbind();
    return;
  }
  SetDataPtrs(n, boundY_.data(), boundX_.data(), boundFlags_.data(), set.CurveFlags.data(), set.PointCount.data(),
              set.SourceCurve.data(), kinetics);
  rowLength_ = set.Capacity;
}

void TPlot::OverrideCurveFlags(const std::uint32_t* flags) {
  if (!flags || !HasData()) return;
  curveFlags_ = flags;
  Invalidate();
}

void TPlot::Unbind() {
  boundY_.clear();
  boundX_.clear();
  boundFlags_.clear();
  SetDataPtrs(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool TPlot::HasSim() const {
  if (!HasData() || !kinetics_ || !source_) return false;
  for (int i = 0; i < count_; ++i) {
    const TCurveKinetics* record = KineticsOf(i);
    if (!(FlagsOf(i) & pcHidden) && record && record->model != 0) return true;
  }
  return false;
}

TCurveKinetics* TPlot::KineticsOf(int entry) const {
  if (!kinetics_ || !source_ || entry < 0 || entry >= count_ || source_[entry] < 0) return nullptr;
  return &kinetics_[source_[entry]];
}

void TPlot::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  Invalidate();
}

// --- switches ---

void TPlot::SetSwitch(bool& value, bool on) {
  if (value == on) return;
  value = on;
  Invalidate();
}

void TPlot::SetKdPlot(bool on) {
  if (kd_ == on) return;
  kd_ = on;
  if (on) trend_ = false;
  autoX_ = autoY_ = true;
  Invalidate();
}

void TPlot::SetTrendPlot(bool on) {
  if (trend_ == on) return;
  trend_ = on;
  if (on) kd_ = false;
  autoX_ = true;
  Invalidate();
}

void TPlot::SetLogPlot(bool on) {
  if (log_ == on) return;
  log_ = on;
  autoX_ = autoY_ = true;
  Invalidate();
}

void TPlot::SetResidualPlot(bool on) { SetSwitch(residual_, on); }

GraphType TPlot::GetType() const {
  if (trend_) return gtTrend;
  if (residual_) return kd_ ? gtBoundRes : gtCurveRes;
  if (norm_) return kd_ ? gtBoundNorm : gtCurveNorm;
  return kd_ ? gtBound : gtCurve;
}

void TPlot::SetPlotTitle(const std::string& title) {
  title_ = title;
  showTitle_ = true;
}

void TPlot::SetShowPoints(bool on) {
  showPoints_ = on;
  Invalidate();
}

void TPlot::SetShowXLabels(bool on) {
  showXLabels_ = on;
  Invalidate();
}

void TPlot::SetShowLegend(bool on) {
  showLegend_ = on;
  if (on) showLabels_ = false;
  Invalidate();
}

void TPlot::SetShowLabels(bool on) {
  showLabels_ = on;
  if (on) showLegend_ = false;
  Invalidate();
}

void TPlot::SetPixelsPerSample(int n) {
  if (n == pixelsPerSample_) return;
  pixelsPerSample_ = std::max(n, 1);
  Invalidate();
}

void TPlot::SetAppearance(const PlotAppearance& look) {
  look_ = look;
  Invalidate();
}

// --- ranges ---

void TPlot::SetScaleX(double min, double max) {
  bool changed = false;
  if (min != xmin_) xmin_ = min, changed = true;
  if (max != xmax_) xmax_ = max, changed = true;
  if (changed) autoX_ = false;
}

void TPlot::SetScaleY(double min, double max) {
  bool changed = false;
  if (min != ymin_) ymin_ = min, changed = true;
  if (max != ymax_) ymax_ = max, changed = true;
  if (changed) autoY_ = false;
}

void TPlot::GetScale(double& xmin, double& xmax, double& ymin, double& ymax) const {
  xmin = xmin_;
  xmax = xmax_;
  ymin = ymin_;
  ymax = ymax_;
}

bool TPlot::PointCounts(int entry) const {
  if (Points(entry) < 1) return false;
  const std::uint32_t f = FlagsOf(entry);
  return !(f & pcHidden) || (commonScale_ && (f & pcBoundInMixedSet));
}

bool TPlot::CurveCounts(int entry) const {
  if (Points(entry) < 1) return false;
  const std::uint32_t f = FlagsOf(entry);
  return !(f & pcHidden) || (commonScale_ && !(f & pcBoundInMixedSet));
}

int TPlot::Points(int entry) const {
  if (!pointCounts_ || !x_ || !y_ || entry < 0 || entry >= count_ || !x_[entry] || !y_[entry]) return 0;
  int n = std::max(pointCounts_[entry], 0);
  if (rowLength_ > 0) n = std::min(n, rowLength_);
  return n;
}

double TPlot::XAt(int entry, int k) const {
  if (!x_ || !x_[entry] || (rowLength_ > 0 && k >= rowLength_)) return 0;
  return x_[entry][k];
}

double TPlot::YAt(int entry, int k) const {
  if (!y_ || !y_[entry] || (rowLength_ > 0 && k >= rowLength_)) return 0;
  return y_[entry][k];
}

int TPlot::IntRow(int entry, int k) const {
  if (!pointFlags_ || !pointFlags_[entry] || (rowLength_ > 0 && k >= rowLength_)) return 0;
  return static_cast<int>(pointFlags_[entry][k]);
}

void TPlot::GetMinMax(double& xmin, double& xmax, double& ymin, double& ymax) const {
  xmin = xmax = ymin = ymax = 0;
  if (!HasData()) return;
  bool first = true;
  // Values that are not finite have no place on an axis and are passed over.
  auto take = [&](double v, double& lo, double& hi) {
    if (!std::isfinite(v)) return;
    if (first) {
      lo = hi = v;
      first = false;
    } else {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  };
  // Ten percent above the largest value; the low end moves by a tenth of
  // the widened span unless it is clamped to 0.
  auto widenLinear = [](double& lo, double& hi) {
    if (lo == hi) {
      hi = 10 * hi;
      lo = 0.1 * lo;
    } else {
      hi = hi + std::fabs(0.1 * (hi - lo));
    }
    if (lo > 0)
      lo = 0;
    else
      lo = lo - std::fabs(0.1 * (hi - lo));
  };

  if (kd_ && log_) {
    for (int i = 0; i < count_; ++i)
      if (PointCounts(i) && XAt(i, 0) > 0) take(XAt(i, 3), xmin, xmax);
    if (first) return;
    if (xmin == xmax) {
      xmax += 1;
      xmin -= 1;
    } else {
      xmax = xmax + std::fabs(0.1 * (xmax - xmin));
      xmin = xmin - std::fabs(0.1 * (xmax - xmin));
    }
  } else if (kd_ || trend_) {
    for (int i = 0; i < count_; ++i)
      if (PointCounts(i)) take(kd_ ? XAt(i, 0) : static_cast<double>(InjectionNumber(i)), xmin, xmax);
    if (first) return;
    widenLinear(xmin, xmax);
  } else {
    for (int i = 0; i < count_; ++i) {
      if (!CurveCounts(i)) continue;
      // The first and the last time that can be placed.
      const double* t = x_[i];
      const int n = Points(i);
      int a = 0, b = n - 1;
      while (a < n && !std::isfinite(t[a])) ++a;
      while (b > a && !std::isfinite(t[b])) --b;
      if (a == n) continue;
      take(t[a], xmin, xmax);
      take(t[b], xmin, xmax);
    }
    if (first) return;
  }

  first = true;
  if (kd_ || trend_) {
    // Only points that have a place on the x axis.
    auto placed = [&](int i) {
      if (trend_) return !log_ || XAt(i, 0) > 0;
      return log_ ? XAt(i, 0) > 0 && std::isfinite(XAt(i, 3)) : std::isfinite(XAt(i, 0));
    };
    for (int i = 0; i < count_; ++i)
      if (PointCounts(i) && placed(i)) take(YAt(i, 0), ymin, ymax);
    if (ymin > 0) ymin = 0;
  } else {
    for (int i = 0; i < count_; ++i) {
      if (!CurveCounts(i)) continue;
      const double* r = y_[i];
      const int n = Points(i);
      // One tight pass; comparisons pass over NaN by themselves, and only a
      // curve holding an infinity needs the careful pass.
      double lo = HUGE_VAL, hi = -HUGE_VAL;
      for (int k = 0; k < n; ++k) {
        lo = r[k] < lo ? r[k] : lo;
        hi = r[k] > hi ? r[k] : hi;
      }
      if (std::isfinite(lo) && std::isfinite(hi)) {
        take(lo, ymin, ymax);
        take(hi, ymin, ymax);
      } else {
        for (int k = 0; k < n; ++k) take(r[k], ymin, ymax);
      }
    }
  }

  for (const TimeLine& line : lines_) {
    if (!line.shown || !std::isfinite(line.time)) continue;
    xmin = std::min(xmin, line.time);
    xmax = std::max(xmax, line.time);
  }
  ymax = ymax + std::fabs(0.1 * ymax);
  ymin = ymin - std::fabs(0.1 * ymin);
}

void TPlot::Subdivide(double span, double& step, int& decimals) {
  if (span < 0 || !std::isfinite(span)) {
    step = 1;
    decimals = 0;
    return;
  }
  if (span == 0) span = 1;  // log10 would be undefined; callers never pass it
  const double l = std::log10(span);
  double e = std::trunc(l);
  double f = l - e;
  if (f < 0) {
    f += 1;
    e -= 1;
  }
  const double m = std::pow(10.0, f);
  decimals = static_cast<int>(-e);
  double factor = 1;
  if (m <= 2) {
    factor = 0.2;
    ++decimals;
  } else if (m <= 5) {
    factor = 0.5;
    ++decimals;
  }
  step = std::pow(10.0, e) * factor;
  if (decimals < 0) decimals = 0;
}

int TPlot::CalcPinc(int entry, double dataXmin, double dataXmax) const {
  if (showAllPoints_) return 1;
  const double n = Points(entry);
  const double w = right_ - left_;
  if (w <= 0) return 1;
  double k;
  if (autoX_ || dataXmax == dataXmin)
    k = std::floor(n * 2 / w + 0.5);
  else
    k = std::floor(n / w * 2 * (xmax_ - xmin_) / (dataXmax - dataXmin) + 0.5);
  if (!(k >= 1)) return 1;
  return k > 1e9 ? 1000000000 : static_cast<int>(k);
}

// --- the current entry ---

void TPlot::SetCurve(int curve) {
  if (curve == curr_) return;
  // Only -1 (all entries) or an entry the data hold; anything else is 0.
  auto keep = [&](int value) { return value >= -1 && value < count_ ? value : 0; };
  int next = keep(curve);
  const int old = curr_;
  if (OnCurveChange) {
    OnCurveChange(*this, old, next);
    next = keep(next);
  }
  curr_ = next;
  Invalidate();
}

int TPlot::CurrOriginal() const {
  if (!HasCurrent() || !source_) return -1;
  return source_[curr_];
}

void TPlot::SetCurrOriginal(int source) {
  int entry = -1;
  for (int i = 0; source_ && i < count_ && entry < 0; ++i)
    if (source_[i] == source) entry = i;
  SetCurve(entry);
}

bool TPlot::ShowsLine(int entry) const {
  if (entry < 0 || entry >= count_) return false;
  if (curr_ >= 0 && entry != curr_) return false;
  return !(FlagsOf(entry) & (pcHidden | pcRemoved));
}

// --- time lines ---

void TPlot::SetShowStartLine(bool on) { SetSwitch(lines_[kStart].shown, on); }
void TPlot::SetShowEndLine(bool on) { SetSwitch(lines_[kEnd].shown, on); }

void TPlot::SetShowTimeLines(bool on) {
  if (lines_[kStart].shown == on && lines_[kStop].shown == on) return;
  lines_[kStart].shown = lines_[kStop].shown = on;
  Invalidate();
}

void TPlot::DrawTimeLine(Canvas& canvas, int line, int pixel) {
  static const Colour kLineColours[3] = {0x00FF00, 0x0000FF, 0xFF0000};  // start green, stop red, end blue
  Pen pen;
  pen.colour = kLineColours[line];
  pen.width = 1;
  pen.mode = PenMode::NotXor;
  canvas.SetPen(pen);
  PlotMoveTo(canvas, pixel, bottom_);
  PlotLineTo(canvas, pixel, top_);
  pen.mode = PenMode::Copy;
  canvas.SetPen(pen);
}

void TPlot::SetLineTime(int line, double t) {
  TimeLine& l = lines_[line];
  Canvas* surface = screen_ ? &screen_->Surface() : nullptr;
  if (surface && l.pixel >= 0) DrawTimeLine(*surface, line, l.pixel);  // erase
  l.time = t;
  if (xscale_ == 0) {
    l.pixel = -1;
    return;
  }
  if (!(t >= xmin_ && t <= xmax_)) {
    l.pixel = -1;
    Invalidate();
    return;
  }
  int pixel = static_cast<int>(std::floor((t - xmin_) * xscale_ + left_ + 0.5));
  if (line == kStart && pixel < 1) {
    pixel = 1;
    l.time = (1 - left_) / xscale_ + xmin_;
  } else if (line == kStop && pixel > right_ - 1) {
    pixel = static_cast<int>(right_ - 1);
    l.time = (pixel - left_) / xscale_ + xmin_;
  } else if (line == kEnd) {
    if (pixel > right_ - 1) pixel = static_cast<int>(right_ - 1);
    if (lines_[kStop].pixel >= pixel) pixel = lines_[kStop].pixel + 1;
  }
  l.pixel = pixel;
  if (surface) {
    DrawTimeLine(*surface, line, pixel);
    Notify();  // the kept bitmap changed
  }
}

// --- lists ---

void TPlot::AddLegend(const std::string& text, const TLegendItem& item) { legend_.emplace_back(text, item); }

void TPlot::ClearLegend() {
  legend_.clear();
  names_.clear();
}

void TPlot::AddCurveName(const std::string& name, int ligandPosition) { names_.emplace_back(name, ligandPosition); }

void TPlot::ClearFlags() {
  curr_ = -1;
  xmin_ = xmax_ = ymin_ = ymax_ = 0;
  xscale_ = yscale_ = 0;
  autoX_ = autoY_ = true;
  kd_ = trend_ = log_ = residual_ = norm_ = false;
  showTitle_ = showXLabels_ = true;
  showPoints_ = showLegend_ = showLabels_ = showAllPoints_ = showModels_ = false;
  normalizeModels_ = zeroModels_ = blanked_ = false;
  showCurve_ = zeroLines_ = true;
  for (TimeLine& l : lines_) l = TimeLine{};
  commonScale_ = false;
  startDrag_ = stopDrag_ = endDrag_ = rectDrag_ = false;
  cutDrag_ = -1;
  selFirst_ = selSecond_ = Point{-1, -1};
  anchorText_.clear();
  currentText_.clear();
  pixelsPerSample_ = 1;
  compFcNum_ = 0;
  cutMarks_.clear();
  ClearLegend();
  Invalidate();
}

// --- helpers of the drawing ---

double TPlot::PlotX(int entry, int point) const {
  if (trend_) return InjectionNumber(entry);
  if (kd_ && log_) return XAt(entry, 3);
  if (kd_) return XAt(entry, 0);
  return x_[entry][point];
}

bool TPlot::InShownSeries(int entry) const {
  if (curr_ < 0 || entry == curr_) return true;
  if (!HasCurrent()) return false;
  return IntRow(entry, 2) == IntRow(curr_, 2) && IntRow(entry, 3) == IntRow(curr_, 3);
}

bool TPlot::SameTrendSeries(int a, int b) const {
  return XAt(a, 0) == XAt(b, 0) && IntRow(a, 2) == IntRow(b, 2) && IntRow(a, 3) == IntRow(b, 3);
}

bool TPlot::InShownTrendSeries(int entry) const {
  if (curr_ < 0 || entry == curr_) return true;
  return HasCurrent() && SameTrendSeries(entry, curr_);
}

Colour TPlot::EntryColour(int entry, bool monochrome) const {
  if (monochrome) return colours::Black;
  return PaletteColour(static_cast<int>(FlagsOf(entry) & pcColourMask));
}

std::string TPlot::ConcentrationPart(int entry) const {
  if (entry < 0 || entry >= static_cast<int>(names_.size())) return {};
  const auto& [name, position] = names_[static_cast<std::size_t>(entry)];
  const std::size_t colon = name.find(':');
  if (colon == std::string::npos) return {};
  const std::size_t from = colon + 2;
  const std::size_t to = position >= 3 ? static_cast<std::size_t>(position - 3) : 0;
  if (from >= to || from >= name.size()) return {};
  return name.substr(from, std::min(to, name.size()) - from);
}

void TPlot::PlotMoveTo(Canvas& canvas, double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return;
  canvas.MoveTo(HeldPixel(x), HeldPixel(y));
}

void TPlot::PlotLineTo(Canvas& canvas, double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return;
  canvas.LineTo(HeldPixel(x), HeldPixel(y));
}

// --- screen ---

void TPlot::Invalidate() {
  needsPlot_ = true;
  Notify();
}

void TPlot::PlotPicture(Canvas& canvas, int width, int height) {
  Brush white;
  canvas.SetBrush(white);
  Pen pen;
  pen.colour = colours::White;
  canvas.SetPen(pen);
  canvas.Rectangle(Rect{0, 0, width, height});
  Plot(canvas, 0, 0, width, height, 0);
}

void TPlot::Paint(Canvas& screen) {
  if (!Visible() || width_ <= 0 || height_ <= 0) return;
  if (!screen_ || screen_->Width() != width_ || screen_->Height() != height_) {
    screen_ = screen.CreateBitmap(width_, height_);
    needsPlot_ = true;
  }
  if (!screen_) return;
  if (needsPlot_) {
    needsPlot_ = false;
    // A fresh picture ends the selection and holds no read-out, time line
    // or cut mark until the drawing puts the shown ones back.
    rectDrag_ = false;
    selFirst_ = selSecond_ = Point{-1, -1};
    anchorText_.clear();
    currentText_.clear();
    for (TimeLine& l : lines_) l.pixel = -1;
    for (TCutMark& mark : cutMarks_) mark.pixel = -1;
    // Draws that follow only expose the bitmap again.
    Canvas& c = screen_->Surface();
    c.RemoveClip();
    Brush brush;
    brush.colour = colours::White;
    c.SetBrush(brush);
    Pen pen;
    pen.colour = selected_ ? Colour{0xFF0000} : colours::White;
    c.SetPen(pen);
    c.Rectangle(Rect{0, 0, width_, height_});
    if (HasData() && !blanked_ && count_ > 0) Plot(c, 0, 0, width_, height_, 0);
  }
  screen.DrawBitmap(0, 0, *screen_);
}

}  // namespace kelvaris

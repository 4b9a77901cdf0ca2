#include "graph/plot.h"

#include <algorithm>
#include <cmath>

#include "graph/palette.h"
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
  if (curr_ >= count_) curr_ = count_ > 0 ? 0 : -1;
  Invalidate();
}

void TPlot::BindCurveSet(const TCurveSet& set, TCurveKinetics* kinetics) {
  const int n = set.CurveCount;
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
}

void TPlot::Unbind() {
  boundY_.clear();
  boundX_.clear();
  boundFlags_.clear();
  SetDataPtrs(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool TPlot::HasSim() const {
  if (!HasData() || !kinetics_ || !source_) return false;
  for (int i = 0; i < count_; ++i)
    if (!(FlagsOf(i) & pcHidden) && kinetics_[source_[i]].model != 0) return true;
  return false;
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
  if (!pointCounts_ || pointCounts_[entry] < 1) return false;
  const std::uint32_t f = FlagsOf(entry);
  return !(f & pcHidden) || (commonScale_ && (f & pcBoundInMixedSet));
}

bool TPlot::CurveCounts(int entry) const {
  if (!pointCounts_ || pointCounts_[entry] < 1) return false;
  const std::uint32_t f = FlagsOf(entry);
  return !(f & pcHidden) || (commonScale_ && !(f & pcBoundInMixedSet));
}

int TPlot::IntRow(int entry, int k) const {
  return pointFlags_ && pointFlags_[entry] ? static_cast<int>(pointFlags_[entry][k]) : 0;
}

void TPlot::GetMinMax(double& xmin, double& xmax, double& ymin, double& ymax) const {
  xmin = xmax = ymin = ymax = 0;
  if (!HasData()) return;
  bool first = true;
  auto take = [&](double v, double& lo, double& hi) {
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
      if (PointCounts(i) && x_[i][0] > 0) take(x_[i][3], xmin, xmax);
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
      if (PointCounts(i)) take(kd_ ? x_[i][0] : static_cast<double>(InjectionNumber(i)), xmin, xmax);
    if (first) return;
    widenLinear(xmin, xmax);
  } else {
    for (int i = 0; i < count_; ++i) {
      if (!CurveCounts(i)) continue;
      take(x_[i][0], xmin, xmax);
      take(x_[i][pointCounts_[i] - 1], xmin, xmax);
    }
    if (first) return;
  }

  first = true;
  if (kd_ || trend_) {
    for (int i = 0; i < count_; ++i)
      if (PointCounts(i) && (!log_ || x_[i][0] > 0)) take(y_[i][0], ymin, ymax);
    if (ymin > 0) ymin = 0;
  } else {
    for (int i = 0; i < count_; ++i) {
      if (!CurveCounts(i)) continue;
      const double* r = y_[i];
      const int n = pointCounts_[i];
      double lo = r[0], hi = r[0];
      for (int k = 1; k < n; ++k) {
        lo = std::min(lo, r[k]);
        hi = std::max(hi, r[k]);
      }
      take(lo, ymin, ymax);
      take(hi, ymin, ymax);
    }
  }

  for (const TimeLine& line : lines_) {
    if (!line.shown) continue;
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
  const double n = pointCounts_ ? pointCounts_[entry] : 0;
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
  int next = curve < count_ ? curve : 0;
  if (next < -1) next = 0;
  const int old = curr_;
  if (OnCurveChange) OnCurveChange(*this, old, next);
  curr_ = next;
  Invalidate();
}

int TPlot::CurrOriginal() const {
  if (curr_ < 0 || curr_ >= count_ || !source_) return -1;
  return source_[curr_];
}

void TPlot::SetCurrOriginal(int source) {
  int entry = -1;
  for (int i = 0; source_ && i < count_ && entry < 0; ++i)
    if (source_[i] == source) entry = i;
  SetCurve(entry);
}

bool TPlot::ShowsLine(int entry) const {
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
  if (t < xmin_ || t > xmax_) {
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
  pixelsPerSample_ = 1;
  compFcNum_ = 0;
  cutMarks_.clear();
  ClearLegend();
  Invalidate();
}

// --- helpers of the drawing ---

double TPlot::PlotX(int entry, int point) const {
  if (trend_) return InjectionNumber(entry);
  if (kd_ && log_) return x_[entry][3];
  return x_[entry][point];
}

bool TPlot::InShownSeries(int entry) const {
  if (curr_ < 0 || entry == curr_) return true;
  if (curr_ >= count_) return false;
  return IntRow(entry, 2) == IntRow(curr_, 2) && IntRow(entry, 3) == IntRow(curr_, 3);
}

bool TPlot::SameTrendSeries(int a, int b) const {
  return x_[a][0] == x_[b][0] && IntRow(a, 2) == IntRow(b, 2) && IntRow(a, 3) == IntRow(b, 3);
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
  canvas.MoveTo(static_cast<int>(std::clamp(x, -30000.0, 30000.0)), static_cast<int>(std::clamp(y, -30000.0, 30000.0)));
}

void TPlot::PlotLineTo(Canvas& canvas, double x, double y) {
  canvas.LineTo(static_cast<int>(std::clamp(x, -30000.0, 30000.0)), static_cast<int>(std::clamp(y, -30000.0, 30000.0)));
}

// --- screen ---

void TPlot::Invalidate() {
  needsPlot_ = true;
  Notify();
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

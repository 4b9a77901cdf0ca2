// Plot: ranges and layout, axes with their ticks and labels, title, legend,
// inset and time lines. The data themselves are drawn in plot_data.cpp.
#include <algorithm>
#include <cmath>

#include "graph/palette.h"
#include "graph/plot.h"
#include "graph/plot_frame.h"
#include "graph/plot_text.h"

namespace kelvaris {

namespace {

void SetFontSize(Canvas& canvas, int size) {
  Font f = canvas.GetFont();
  f.size = std::max(size, 1);
  f.height = 0;
  canvas.SetFont(f);
}

void SetFontColour(Canvas& canvas, Colour colour) {
  Font f = canvas.GetFont();
  f.colour = colour;
  canvas.SetFont(f);
}

void SetPenColour(Canvas& canvas, Colour colour, int width = -1) {
  Pen p = canvas.GetPen();
  p.colour = colour;
  p.style = PenStyle::Solid;
  p.mode = PenMode::Copy;
  if (width >= 0) p.width = width;
  canvas.SetPen(p);
}

void SetBrush(Canvas& canvas, Colour colour, BrushStyle style) {
  Brush b;
  b.colour = colour;
  b.style = style;
  canvas.SetBrush(b);
}

}  // namespace

void TPlot::Plot(Canvas& canvas, int x0, int y0, int width, int height, int flags) {
  Frame f;
  f.x0 = x0;
  f.y0 = y0;
  f.width = width;
  f.height = height;
  f.printer = (flags & PlotPrinter) != 0;
  f.mono = (flags & PlotMonochrome) != 0;
  commonScale_ = (flags & PlotCommonScale) != 0;
  struct ClearCommonScale {
    bool& flag;
    ~ClearCommonScale() { flag = false; }
  } clearCommonScale{commonScale_};
  if (!HasData() || count_ <= 0) return;

  GetMinMax(f.dataXmin, f.dataXmax, f.dataYmin, f.dataYmax);
  if (autoX_) {
    xmin_ = f.dataXmin;
    xmax_ = f.dataXmax;
    xscale_ = 0;
  }
  // A range that cannot be divided (or placed) leaves only the background.
  auto usable = [](double lo, double hi) { return std::isfinite(lo) && std::isfinite(hi) && std::isfinite(hi - lo); };
  if (xmax_ == xmin_ || xmax_ == -1e10 || !usable(xmin_, xmax_)) return;
  Subdivide(xmax_ - xmin_, xstep_, xdecimals_);
  if (width < 250) xstep_ *= 2;
  if (width < 100) xstep_ *= 2;
  if (autoY_) {
    ymin_ = f.dataYmin;
    ymax_ = f.dataYmax;
  }
  if (ymax_ == ymin_ || !usable(ymin_, ymax_)) return;
  Subdivide(ymax_ - ymin_, ystep_, ydecimals_);
  if (height < 120) ystep_ *= 2;

  SetUpFont(canvas, f);

  // The widest y label decides where the axes box begins.
  int widest = 0;
  ForEachTick(ymin_, ymax_, ystep_, [&](double v) {
    widest = std::max(widest, canvas.TextWidth(PlotTickLabel(v, ydecimals_, false)));
  });
  const int d = canvas.TextHeight("0");
  top_ = y0 + d;
  bottom_ = y0 + height - d;
  if (showXLabels_) {
    bottom_ -= d;
    if (!look_.xTitle.empty()) bottom_ -= std::floor(3.0 * d / 2);
  }
  left_ = x0 + widest + 2 * d + (look_.yTitle.empty() ? 0 : d);
  right_ = x0 + width - d;
  yscale_ = (top_ - bottom_) / (ymax_ - ymin_);
  xscale_ = (right_ - left_ - 2) / (xmax_ - xmin_);
  if (!std::isfinite(xscale_) || !std::isfinite(yscale_)) {
    // A span too small for the pixels: nothing can be placed.
    xscale_ = yscale_ = 0;
    return;
  }
  f.dw = canvas.TextWidth("0");
  f.th = canvas.TextHeight("0");

  f.labelStrip = 0;
  if (showLabels_ && !legend_.empty()) DrawCurveLabels(canvas, f);
  MakeRoomForTrendLegend(canvas, f);
  if (autoX_ && xscale_ != 0) {
    xmax_ += 1 / xscale_;
    xmin_ -= 1 / xscale_;
  }
  if (xscale_ == 0) return;

  DrawAxes(canvas, f);

  const int curveWidth = look_.curveWidth;
  SetPenColour(canvas, colours::Black, curveWidth);
  int s = static_cast<int>((curveWidth + std::min(width, height) / 300) * look_.pointScale);
  f.s = std::max(s, 1);
  symbolSize_ = f.s;
  canvas.SetClip(Rect{static_cast<int>(left_), static_cast<int>(top_), static_cast<int>(right_),
                      static_cast<int>(bottom_)});
  SetBrush(canvas, colours::White, BrushStyle::Solid);
  if (kd_)
    DrawKdPoints(canvas, f);
  else if (trend_)
    DrawTrendPoints(canvas, f);
  else
    DrawSensorgrams(canvas, f);
  DrawModels(canvas, f);
  DrawPointLabels(canvas, f);
  SetBrush(canvas, colours::White, BrushStyle::Solid);
  DrawTitle(canvas, f);
  SetPenColour(canvas, colours::Black, 1);
  SetBrush(canvas, colours::White, BrushStyle::Clear);
  if (showLegend_ && !legend_.empty()) DrawLegend(canvas, f);
  SetPenColour(canvas, colours::Black, 1);
  SetFontColour(canvas, colours::Black);
  if (look_.insetFlags != 0 || !insetLines_.empty()) DrawInset(canvas, f);
  DrawTimeLinesAndCuts(canvas, f);
  canvas.RemoveClip();
}

void TPlot::SetUpFont(Canvas& canvas, Frame& f) {
  Font font = look_.font;
  if (look_.autoFont) {
    font = Font{};
    font.name = "Arial";
    font.colour = colours::Black;
    font.size = f.printer ? std::min(f.width, f.height) / 250 + 4 : std::min(f.width, f.height) / 100 + 6;
  }
  font.angle = 0;
  canvas.SetFont(font);
  f.fontColour = font.colour;
  f.fontSize = font.size;
  const int axisWidth = f.printer
                            ? static_cast<int>((std::min(f.width, f.height) * 0.002 + 1) * look_.axisWidth)
                            : look_.axisWidth;
  f.axisWidth = std::max(axisWidth, 1);
  Pen pen = canvas.GetPen();
  pen.width = f.axisWidth;
  canvas.SetPen(pen);
}

void TPlot::DrawAxes(Canvas& canvas, Frame& f) {
  SetPenColour(canvas, colours::Black);
  if (!f.mono && !f.printer && zeroLines_) {
    SetPenColour(canvas, colours::Silver);
    const double py = std::trunc(PixelY(0));
    if (py > top_ && py < bottom_ - 1) {
      PlotMoveTo(canvas, left_, py);
      PlotLineTo(canvas, right_, py);
    }
    const double px = std::trunc(PixelX(0));
    if (!(kd_ && log_) && px > left_ && px < right_ - 1) {
      PlotMoveTo(canvas, px, bottom_);
      PlotLineTo(canvas, px, top_);
    }
  }
  SetPenColour(canvas, colours::Black, f.axisWidth);
  SetFontColour(canvas, f.mono ? colours::Black : f.fontColour);
  SetBrush(canvas, colours::White, BrushStyle::Clear);

  if (!look_.yTitle.empty()) {
    SetFontSize(canvas, f.fontSize + 2);
    const int w = canvas.TextWidth(look_.yTitle);
    VerticalTextOut(canvas, f.x0 + f.dw, static_cast<int>((top_ + bottom_) / 2 + w / 2), look_.yTitle);
    SetFontSize(canvas, f.fontSize);
  }
  DrawYTicks(canvas, f);
  if (showXLabels_) {
    if (!look_.xTitle.empty()) {
      SetFontSize(canvas, f.fontSize + 2);
      const int w = canvas.TextWidth(look_.xTitle);
      canvas.TextOut(static_cast<int>((left_ + right_) / 2 - w / 2), static_cast<int>(bottom_ + 2 * f.th),
                     look_.xTitle);
      SetFontSize(canvas, f.fontSize);
    }
    DrawXTicks(canvas, f);
  }
  SetPenColour(canvas, colours::Black, f.axisWidth);
  PlotMoveTo(canvas, left_, bottom_);
  PlotLineTo(canvas, left_, top_);
  PlotLineTo(canvas, right_, top_);
  PlotLineTo(canvas, right_, bottom_);
  PlotLineTo(canvas, left_, bottom_);
}

void TPlot::DrawYTicks(Canvas& canvas, Frame& f) {
  ForEachTick(ymin_, ymax_, ystep_, [&](double v) {
    const double py = PixelY(v);
    PlotMoveTo(canvas, left_, py);
    PlotLineTo(canvas, left_ - f.dw / 2, py);
    const std::string text = PlotTickLabel(v, ydecimals_, false);
    canvas.TextOut(static_cast<int>(left_ - f.dw - canvas.TextWidth(text)),
                   static_cast<int>((v - ymin_) * yscale_ + bottom_ - f.th / 2), text);
  });
}

void TPlot::DrawPowerLabel(Canvas& canvas, Frame& f, double c, const std::string& main, const std::string& sup,
                           double& end) {
  const int mw = canvas.TextWidth(main);
  SetFontSize(canvas, f.fontSize - 2);
  const int sw = canvas.TextWidth(sup);
  SetFontSize(canvas, f.fontSize);
  const int w = mw + sw;
  if (c + w / 2 > f.x0 + f.width) c = (f.x0 + f.width) - w / 2 - f.dw / 2;
  if (!(end < c - w / 2)) return;
  canvas.TextOut(static_cast<int>(c - w / 2), static_cast<int>(bottom_ + f.th / 2), main);
  SetFontSize(canvas, f.fontSize - 2);
  canvas.TextOut(static_cast<int>(c + mw - w / 2), static_cast<int>(bottom_ + f.th / 3), sup);
  SetFontSize(canvas, f.fontSize);
  end = c + w / 2 + f.dw;
}

void TPlot::DrawXTicks(Canvas& canvas, Frame& f) {
  const double xend = showLabels_ && !legend_.empty() ? xmin_ + (right_ - left_) / xscale_ : xmax_;
  double end = 0;  // right end of the last label drawn
  ForEachTick(xmin_, xend, xstep_, [&](double v) {
    const double px = PixelX(v);
    const double c = std::floor(px + 0.5);
    if (kd_ && log_) {
      const double r = std::floor(v + 0.5);
      if (std::fabs(v - r) >= 0.001) {
        const double minor = PixelX(std::log10(std::pow(10.0, r) * std::fabs(v - r)));
        if (minor >= left_ && minor <= right_) {
          PlotMoveTo(canvas, minor, bottom_);
          PlotLineTo(canvas, minor, bottom_ + f.dw / 2);
        }
        return;
      }
      if (px >= left_ && px <= right_) {
        PlotMoveTo(canvas, px, bottom_);
        PlotLineTo(canvas, px, bottom_ + f.dw / 2);
      }
      DrawPowerLabel(canvas, f, c, "10", " " + PlotFixed(r, 0), end);
      return;
    }
    PlotMoveTo(canvas, px, bottom_);
    PlotLineTo(canvas, px, bottom_ + f.dw / 2);
    if (v == 0) {
      const int w = canvas.TextWidth("0");
      if (end < px - w / 2) {
        canvas.TextOut(static_cast<int>(px - w / 2), static_cast<int>(bottom_ + f.th / 2), "0");
        end = px + w / 2 + f.dw;
      }
      return;
    }
    if (kd_) {
      std::string mantissa, exponent;
      PlotPowerParts(v, mantissa, exponent);
      DrawPowerLabel(canvas, f, c, mantissa + " x 10", " " + exponent, end);
      return;
    }
    const std::string text = PlotTickLabel(v, xdecimals_, true);
    const int w = canvas.TextWidth(text);
    if (end < c - w / 2) {
      canvas.TextOut(static_cast<int>(c - w / 2), static_cast<int>(bottom_ + f.th / 2), text);
      end = c + w / 2 + f.dw;
    }
  });
}

void TPlot::DrawCurveLabels(Canvas& canvas, Frame& f) {
  const Font saved = canvas.GetFont();
  const Brush savedBrush = canvas.GetBrush();
  SetBrush(canvas, colours::White, BrushStyle::Clear);
  if (!f.printer) SetFontSize(canvas, f.fontSize - 2);
  int widest = 0;
  for (const auto& [text, item] : legend_) widest = std::max(widest, canvas.TextWidth(text));
  const int labelWidth = widest + 2 * f.dw;
  const double edge = kd_ && log_ ? std::pow(10.0, xmax_) : xmax_;
  for (const auto& [text, item] : legend_) {
    const int i = item.entry;
    if (i < 0 || i >= count_) continue;
    if (!f.mono) SetFontColour(canvas, item.colour);
    double value = 0;
    if (kd_) {
      const double kd1 = XAt(i, 1), rmax1 = YAt(i, 1);
      if ((IntRow(i, 4) & 1) && rmax1 > 0 && kd1 + edge != 0) {
        value = rmax1 * edge / (kd1 + edge);
        if ((IntRow(i, 6) & 1) && XAt(i, 6) + edge != 0) value += YAt(i, 6) * edge / (XAt(i, 6) + edge);
      } else {
        value = YAt(i, 0);
      }
    } else if (trend_) {
      value = YAt(i, 0);
      for (int j = i + 1; j < count_; ++j)
        if (!(FlagsOf(j) & pcHidden) && SameTrendSeries(i, j)) value = YAt(j, 0);
    } else {
      const int n = Points(i);
      for (int k = 0; k < n; ++k) value = std::max(value, y_[i][k]);
    }
    if (!std::isfinite(value)) value = ymin_;  // held at the bottom
    double y = (value - ymin_) * yscale_ + bottom_ + 0.5 - f.th / 2;
    if (y > bottom_ - f.th) y = bottom_ - f.th;
    if (y < top_) y = top_ + 2;
    canvas.TextOut(static_cast<int>(right_ - labelWidth + f.dw), static_cast<int>(y), text);
  }
  canvas.SetFont(saved);
  canvas.SetBrush(savedBrush);
  xscale_ = (right_ - left_ - labelWidth - 2) / (xmax_ - xmin_);
  f.labelStrip = labelWidth;
}

int TPlot::TrendLegendLength() const {
  int n = 0;
  for (const auto& [name, position] : names_) {
    const std::size_t colon = name.find(':');
    if (colon == std::string::npos) continue;
    n = std::max(n, position - static_cast<int>(colon + 1) - 4);
  }
  return n;
}

void TPlot::MakeRoomForTrendLegend(Canvas& canvas, Frame& f) {
  if (legend_.empty() || !showLegend_ || !trend_ || !autoY_ || yscale_ == 0) return;
  const double room = static_cast<double>(TrendLegendLength()) * f.dw;
  if (look_.legendTop)
    ymax_ -= room / yscale_;
  else
    ymin_ += room / yscale_;
  yscale_ = (top_ - bottom_) / (ymax_ - ymin_);
}

void TPlot::DrawTitle(Canvas& canvas, Frame& f) {
  std::string text;
  const bool hasCurrent = curr_ >= 0 && curr_ < count_;
  auto nameOf = [&](int i) -> std::string {
    return i >= 0 && i < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(i)].first : std::string();
  };
  auto numbered = [&] { return std::to_string(curr_ + 1) + " of " + std::to_string(count_); };
  if (!hasCurrent) {
    if (!showTitle_) return;
    text = title_;
  } else if (kd_) {
    for (const auto& [legendText, item] : legend_)
      if (item.entry == curr_ || (item.entry >= 0 && item.entry < count_ && InShownSeries(item.entry)))
        text = legendText;
    const std::string name = nameOf(curr_);
    if (text.empty() && !name.empty()) {
      const std::size_t m = name.find("M ");
      text = m == std::string::npos ? name : name.substr(m + 2);
    }
  } else if (nameOf(curr_).empty()) {
    text = numbered();
  } else if (trend_) {
    const std::string name = nameOf(curr_);
    const std::size_t colon = name.find(':');
    text = colon == std::string::npos || colon + 2 > name.size() ? std::string() : name.substr(colon + 2);
  } else {
    text = nameOf(curr_);
  }
  if (!showTitle_ && hasCurrent) {
    // Without a title the current entry is still named.
    text = nameOf(curr_).empty() ? numbered() : nameOf(curr_);
  }
  if (text.empty()) return;
  const Font saved = canvas.GetFont();
  SetFontSize(canvas, f.fontSize + 2);
  SetFontColour(canvas, f.mono || (commonScale_ && showTitle_) ? colours::Black : Colour{0xFF0000});
  canvas.TextOut(static_cast<int>(left_ + 2 + f.dw), static_cast<int>(top_ + 2), text);
  canvas.SetFont(saved);
}

void TPlot::DrawLegend(Canvas& canvas, Frame& f) {
  if (trend_) {
    DrawTrendLegend(canvas, f);
    return;
  }
  const Font saved = canvas.GetFont();
  int size = f.fontSize;
  if (!f.printer) SetFontSize(canvas, size -= 2);
  const int entries = static_cast<int>(legend_.size());
  int th = canvas.TextHeight("0");
  while (entries * th > 2 * f.height / 3 && size >= 5) {
    SetFontSize(canvas, --size);
    th = canvas.TextHeight("0");
  }
  const int dw = canvas.TextWidth("0");
  int widest = 0;
  for (const auto& [text, item] : legend_) widest = std::max(widest, canvas.TextWidth(text));
  int w = widest + 2 * dw;
  double y0 = look_.legendTop ? top_ + dw : bottom_ - entries * th - 3 * dw;
  if (look_.legendTop && look_.legendLeft && showTitle_ && !title_.empty()) y0 += std::trunc(3.0 * th / 2);
  if (look_.legendBox) {
    if (kd_) w += 2 * dw;
    const double x0 = look_.legendLeft ? left_ + dw : std::trunc(right_ - dw - w);
    const double x1 = x0 + w;
    const double y1 = y0 + entries * th + 2 * dw;
    SetPenColour(canvas, colours::Silver);
    SetBrush(canvas, colours::Silver, BrushStyle::Solid);
    canvas.Rectangle(Rect{static_cast<int>(x0 + 2), static_cast<int>(y0 + 2), static_cast<int>(x1 + 2),
                          static_cast<int>(y1 + 2)});
    SetPenColour(canvas, colours::Black);
    SetBrush(canvas, colours::White, BrushStyle::Solid);
    canvas.Rectangle(Rect{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)});
  }
  SetBrush(canvas, colours::White, BrushStyle::Clear);
  double y = y0 + dw;
  for (const auto& [text, item] : legend_) {
    const Colour colour = f.mono ? colours::Black : item.colour;
    SetFontColour(canvas, colour);
    double textX;
    if (look_.legendLeft) {
      textX = kd_ ? left_ + 4 * dw : left_ + 2 * dw;
      if (kd_) {
        SetPenColour(canvas, colour);
        PlotMoveTo(canvas, left_ + std::trunc(5.0 * dw / 2), y + th / 2);
        DrawSymbol(canvas, item.symbol, th / 4);
      }
    } else {
      textX = right_ - w;
      if (kd_) {
        SetPenColour(canvas, colour);
        PlotMoveTo(canvas, right_ - 3 * dw, y + th / 2);
        DrawSymbol(canvas, item.symbol, th / 4);
      }
    }
    SetBrush(canvas, colours::White, BrushStyle::Clear);
    canvas.TextOut(static_cast<int>(textX), static_cast<int>(y), text);
    y += th;
  }
  canvas.SetFont(saved);
}

void TPlot::DrawTrendLegend(Canvas& canvas, Frame& f) {
  const double room = static_cast<double>(1 + TrendLegendLength()) * f.dw;
  const int y = static_cast<int>(look_.legendTop ? top_ + room - f.dw : bottom_ - f.dw);
  int first = -1, last = -1;
  for (int i = 0; i < count_; ++i) {
    if (Points(i) < 1 || !InShownTrendSeries(i) || (FlagsOf(i) & pcHidden)) continue;
    if (first >= 0 && (XAt(i, 0) != XAt(first, 0) || IntRow(i, 2) != IntRow(first, 2))) {
      TrendLegend(canvas, f, y, first, last);
      first = i;
    } else if (first < 0) {
      first = i;
    }
    last = i;
  }
  if (first >= 0) TrendLegend(canvas, f, y, first, last);
}

void TPlot::TrendLegend(Canvas& canvas, Frame& f, int y, int first, int last) {
  const std::string text = ConcentrationPart(first);
  if (text.empty()) return;
  SetFontColour(canvas, f.mono ? colours::Black : EntryColour(first, false));
  const double a = PixelX(InjectionNumber(first));
  const double b = PixelX(InjectionNumber(last));
  AngledTextOut(canvas, static_cast<int>((a + b) / 2), y, 90, text);
}

void TPlot::DrawInset(Canvas& canvas, Frame& f) {
  const Font saved = canvas.GetFont();
  int size = f.fontSize;
  int w = 0, h = 0, th = 0;
  auto measure = [&] {
    w = h = 0;
    if (inset_.RowCount() > 0) {
      const GridSize size = inset_.Measure(canvas);
      w = size.width;
      h = size.height;
    }
    th = canvas.TextHeight("0");
    for (const std::string& line : insetLines_) {
      w = std::max(w, canvas.TextWidth(line));
      h += th;
    }
  };
  measure();
  while ((w > 2 * (right_ - left_) / 3 || h > 2 * (bottom_ - top_) / 3) && size >= 5) {
    SetFontSize(canvas, --size);
    measure();
  }
  if (w >= 1) {
    const int dw = f.dw;
    int x = static_cast<int>(look_.insetLeft ? left_ + dw : right_ - w - dw);
    int y = static_cast<int>(look_.insetTop ? top_ + dw : bottom_ - h - dw);
    if (look_.insetTop && look_.insetLeft && showTitle_ && !title_.empty()) y += 3 * th / 2;
    if (look_.insetBox) {
      const int grow = insetLines_.empty() ? 0 : 1;
      SetPenColour(canvas, colours::Silver);
      SetBrush(canvas, colours::Silver, BrushStyle::Solid);
      canvas.Rectangle(Rect{x + 2 - grow, y + 2 - grow, x + w + 2 + grow, y + h + 2 + grow});
      SetPenColour(canvas, colours::Black);
      SetBrush(canvas, colours::White, BrushStyle::Solid);
      canvas.Rectangle(Rect{x - grow, y - grow, x + w + grow, y + h + grow});
    }
    SetBrush(canvas, colours::White, BrushStyle::Clear);
    for (const std::string& line : insetLines_) {
      canvas.TextOut(x, y, line);
      y += th;
    }
    if (inset_.RowCount() > 0) inset_.Draw(canvas, x, y, w, h);
  }
  canvas.SetFont(saved);
}

void TPlot::DrawTimeLinesAndCuts(Canvas& canvas, Frame& f) {
  for (int line : {kEnd, kStop, kStart}) {
    TimeLine& l = lines_[line];
    if (!l.shown) continue;
    const double at = std::floor((l.time - xmin_) * xscale_ + left_ + 0.5);
    if (std::isnan(at)) {
      l.pixel = -1;
      continue;
    }
    l.pixel = HeldPixel(at);
    DrawTimeLine(canvas, line, l.pixel);
  }
  if (cutMarks_.empty()) return;
  Pen pen = canvas.GetPen();
  pen.width = 1;
  pen.colour = 0xFF0000;
  pen.mode = PenMode::NotXor;
  canvas.SetPen(pen);
  for (TCutMark& mark : cutMarks_) {
    const double at = std::floor((mark.x - xmin_) * xscale_ + left_ + 0.5);
    mark.pixel = HeldPixel(at);
    if (std::isnan(at)) continue;
    PlotMoveTo(canvas, mark.pixel, bottom_);
    PlotLineTo(canvas, mark.pixel, top_);
  }
  pen.mode = PenMode::Copy;
  canvas.SetPen(pen);
}

}  // namespace kelvaris

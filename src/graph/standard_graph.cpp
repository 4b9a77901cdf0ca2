#include "graph/standard_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graph/plot.h"
#include "graph/plot_text.h"
#include "model/experiment.h"

namespace kelvaris {

namespace {

// Flow cells 1 to 4 in red, green, blue and magenta; the others black.
Colour FlowCellColour(int cell) {
  switch (cell) {
    case 1: return 0x0000FF;
    case 2: return 0x00FF00;
    case 3: return 0xFF0000;
    case 4: return 0xFF00FF;
    default: return colours::Black;
  }
}

void UsePen(Canvas& canvas, Colour colour, int width) {
  Pen pen;
  pen.colour = colour;
  pen.width = width;
  canvas.SetPen(pen);
}

int Decimals(double step) { return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9)); }

}  // namespace

double StandardGraphStep(double range, double upper, double lower) {
  if (!(range > 0) || !std::isfinite(range)) return 1;
  const double l = std::log10(range);
  const double i = std::trunc(l);
  double f = l - i;
  double decade = std::pow(10.0, i);
  if (f < 0) {
    f += 1;
    decade /= 10;
  }
  const double m = std::pow(10.0, f);
  return decade * (m > upper ? 1 : m > lower ? 0.5 : 0.2);
}

void TStandardGraph::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  Notify();
}

void TStandardGraph::SetHighlighted(std::vector<int> markers) {
  if (markers == highlighted_) return;
  highlighted_ = std::move(markers);
  Notify();
}

int TStandardGraph::MarkerAt(int x, int y) const {
  int best = -1;
  long long bestDistance = 20;
  for (std::size_t k = 0; k < markers_.size(); ++k) {
    const long long dx = markers_[k].x - x, dy = markers_[k].y - y;
    const long long d = dx * dx + dy * dy;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(k);
    }
  }
  return best;
}

void TStandardGraph::Paint(Canvas& canvas, const TExperiment& e, bool on, int flowCellFilter, bool printer) {
  markers_.clear();
  Brush white;
  canvas.SetBrush(white);
  UsePen(canvas, colours::White, 1);
  canvas.Rectangle(Rect{0, 0, width_, height_});
  if (!on || e.Ligands.empty() || width_ < 20 || height_ < 20) return;

  // Ranges over the standards and the samples' reference responses.
  double xlo = 1e10, xhi = -1e10, ylo = 1e10, yhi = -1e10;
  bool any = false;
  const int cells = static_cast<int>(e.Ligands.size()) - 1;
  auto shown = [&](int v) { return flowCellFilter <= 0 || flowCellFilter == v; };
  for (int v = 1; v <= cells; ++v) {
    if (!shown(v)) continue;
    for (const TSolventStandard& s : e.Ligands[static_cast<std::size_t>(v)].Standards) {
      if (!std::isfinite(s.Reference) || !std::isfinite(s.Response)) continue;
      xlo = std::min(xlo, s.Reference);
      xhi = std::max(xhi, s.Reference);
      ylo = std::min(ylo, s.Response);
      yhi = std::max(yhi, s.Response);
      any = true;
    }
  }
  if (!any) return;
  for (const TCurveInfo& info : e.CurveInfo)
    if (info.SolventRef.Valid && std::isfinite(info.SolventRef.Value)) {
      xlo = std::min(xlo, info.SolventRef.Value);
      xhi = std::max(xhi, info.SolventRef.Value);
    }
  if (xhi == xlo) xhi = xlo + 1, xlo -= 1;
  if (yhi == ylo) yhi = ylo + 1, ylo -= 1;
  const double xm = 0.05 * (xhi - xlo), ym = 0.05 * (yhi - ylo);
  xlo -= xm, xhi += xm, ylo -= ym, yhi += ym;
  double xstep = StandardGraphStep(xhi - xlo, 6, 2.5);
  if (width_ < 250) xstep *= 2;
  if (width_ < 100) xstep *= 2;
  const double ystep = StandardGraphStep(yhi - ylo, 5, 2);

  Font font;
  font.name = "Arial";
  font.size = std::min(width_, height_) / 100 + 6;
  canvas.SetFont(font);
  const int th = canvas.TextHeight("0"), dw = canvas.TextWidth("0");
  int widest = 0;
  for (double v = std::ceil(ylo / ystep) * ystep; v <= yhi; v += ystep)
    widest = std::max(widest, canvas.TextWidth(PlotFixed(std::fabs(v) < 0.1 * ystep ? 0 : v, Decimals(ystep))));
  const double left = widest + 2 * dw, right = width_ - dw, top = th, bottom = height_ - 2 * th;
  if (right - left < 10 || bottom - top < 10) return;
  const double xs = (right - left) / (xhi - xlo), ys = (top - bottom) / (yhi - ylo);
  auto px = [&](double x) { return (x - xlo) * xs + left; };
  auto py = [&](double y) { return (y - ylo) * ys + bottom; };

  // Axes with their ticks and labels.
  UsePen(canvas, colours::Black, 1);
  Brush clear;
  clear.style = BrushStyle::Clear;
  canvas.SetBrush(clear);
  canvas.Rectangle(Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right) + 1,
                        static_cast<int>(bottom) + 1});
  for (double v = std::ceil(ylo / ystep) * ystep; v <= yhi; v += ystep) {
    const std::string text = PlotFixed(std::fabs(v) < 0.1 * ystep ? 0 : v, Decimals(ystep));
    canvas.TextOut(static_cast<int>(left - dw - canvas.TextWidth(text)), static_cast<int>(py(v) - th / 2), text);
  }
  for (double v = std::ceil(xlo / xstep) * xstep; v <= xhi; v += xstep) {
    const std::string text = PlotFixed(std::fabs(v) < 0.1 * xstep ? 0 : v, Decimals(xstep));
    canvas.TextOut(static_cast<int>(px(v) - canvas.TextWidth(text) / 2), static_cast<int>(bottom + th / 4), text);
  }

  canvas.SetClip(Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)});
  int legendY = static_cast<int>(top) + dw;
  for (int v = 1; v <= cells; ++v) {
    const TLigand& ligand = e.Ligands[static_cast<std::size_t>(v)];
    if (!shown(v) || ligand.Standards.empty()) continue;
    const Colour colour = FlowCellColour(v);
    const int shape = (v - 1) % 4;
    // The legend entry with its marker.
    Font f = font;
    f.colour = colour;
    canvas.SetFont(f);
    UsePen(canvas, colour, 1);
    canvas.MoveTo(static_cast<int>(left) + 2 * dw, legendY + th / 2);
    TPlot::DrawSymbol(canvas, shape, th / 4 + 1);
    canvas.SetBrush(clear);
    canvas.TextOut(static_cast<int>(left) + 4 * dw, legendY, "Fc" + std::to_string(v));
    legendY += th;
    // The fitted curve through 21 points.
    if (!ligand.Coefficients.empty()) {
      UsePen(canvas, colour, printer ? 1 : 3);
      for (int k = 0; k <= 20; ++k) {
        const double x = xlo + k * (xhi - xlo) / 20;
        double y = 0, power = 1;
        for (double c : ligand.Coefficients) y += c * power, power *= x;
        const double cx = std::clamp(px(x), -30000.0, 30000.0), cy = std::clamp(py(y), -30000.0, 30000.0);
        if (k == 0)
          canvas.MoveTo(static_cast<int>(cx), static_cast<int>(cy));
        else
          canvas.LineTo(static_cast<int>(cx), static_cast<int>(cy));
      }
    }
    UsePen(canvas, colour, 1);
    for (std::size_t k = 0; k < ligand.Standards.size(); ++k) {
      const TSolventStandard& s = ligand.Standards[k];
      if (!std::isfinite(s.Reference) || !std::isfinite(s.Response)) continue;
      Marker m{v, static_cast<int>(k), static_cast<int>(px(s.Reference)), static_cast<int>(py(s.Response)), s.Injection};
      const bool lit = std::find(highlighted_.begin(), highlighted_.end(), static_cast<int>(markers_.size())) !=
                       highlighted_.end();
      canvas.MoveTo(m.x, m.y);
      // An open marker unless highlighted; a cross for a rejected standard.
      TPlot::DrawSymbol(canvas, s.Rejected ? 4 : (lit ? shape : shape + 16), std::max(th / 4, 2));
      markers_.push_back(m);
    }
  }
  // The samples' reference responses along the x axis.
  const TCurveSet& raw = e.Stage(stRaw);
  UsePen(canvas, colours::Black, 1);
  for (std::size_t c = 0; c < e.CurveInfo.size(); ++c) {
    const TSolventRef& ref = e.CurveInfo[c].SolventRef;
    if (!ref.Valid || !std::isfinite(ref.Value)) continue;
    const bool lit = c < raw.CurveFlags.size() && (raw.CurveFlags[c] & 0x100);
    Brush fill;
    fill.colour = lit ? colours::Silver : colours::White;
    canvas.SetBrush(fill);
    const int x = static_cast<int>(px(ref.Value)), y = static_cast<int>(bottom) - 4;
    canvas.Ellipse(Rect{x - 3, y - 3, x + 3, y + 3});
  }
  canvas.RemoveClip();
}

}  // namespace kelvaris

// Between a graph and its property record.
#include <algorithm>

#include "graph/graph_props.h"
#include "graph/plot.h"

namespace kelvaris {

namespace {

// A record read from a file may hold any number; pens and symbols stay
// within what a drawing can use.
int PenWidth(int width) { return std::clamp(width, 0, 64); }

}  // namespace

void TPlot::SetProperties(const TGraphPropData& props) {
  look_.axisWidth = PenWidth(props.AxisWidth);
  look_.curveWidth = PenWidth(props.CurveWidth);
  look_.modelWidth = PenWidth(props.ModelWidth);
  showCurve_ = props.ShowCurve;
  showPoints_ = props.ShowPoints;
  look_.pointScale = std::clamp(props.PointScale, 0.0f, 50.0f);
  if (!(look_.pointScale == look_.pointScale)) look_.pointScale = 1.0f;
  log_ = props.LogX;
  zeroLines_ = props.ZeroLines;
  autoX_ = props.AutoX;
  autoY_ = props.AutoY;
  if (!autoX_) {
    xmin_ = props.XMin;
    xmax_ = props.XMax;
  }
  if (!autoY_) {
    ymin_ = props.YMin;
    ymax_ = props.YMax;
  }
  look_.autoFont = props.AutoFont;
  look_.font = props.GraphFont;
  look_.xTitle = props.XTitle;
  look_.yTitle = props.YTitle;
  showTitle_ = props.ShowTitle;
  showLabels_ = props.LegendType == 1;
  showLegend_ = props.LegendType == 2;
  look_.legendLeft = props.LegendLeft;
  look_.legendTop = props.LegendTop;
  look_.legendBox = props.LegendBox;
  look_.labelAngle = props.LabelAngle % 360;
  look_.labelTemplate = props.LabelTemplate;
  insetLines_ = props.InsetLines;
  look_.insetFlags = props.InsetFlags;
  look_.insetLeft = props.InsetLeft;
  look_.insetTop = props.InsetTop;
  look_.insetBox = props.InsetBox;
  look_.errorBars = props.ErrorBars;
  Invalidate();
}

void TPlot::GetProperties(TGraphPropData& props) const {
  props.CompFcNum = compFcNum_;
  props.Type = GetType();
  props.AxisWidth = look_.axisWidth;
  props.CurveWidth = look_.curveWidth;
  props.ModelWidth = look_.modelWidth;
  props.ShowCurve = showCurve_;
  props.ShowPoints = showPoints_;
  props.PointScale = look_.pointScale;
  props.AutoX = autoX_;
  props.AutoY = autoY_;
  props.LogX = log_;
  props.ZeroLines = zeroLines_;
  props.XMin = xmin_;
  props.XMax = xmax_;
  props.YMin = ymin_;
  props.YMax = ymax_;
  props.AutoFont = look_.autoFont;
  props.GraphFont = look_.font;
  props.XTitle = look_.xTitle;
  props.YTitle = look_.yTitle;
  props.ShowTitle = showTitle_;
  props.LegendType = showLegend_ ? 2 : showLabels_ ? 1 : 0;
  props.LegendLeft = look_.legendLeft;
  props.LegendTop = look_.legendTop;
  props.LegendBox = look_.legendBox;
  props.LabelAngle = look_.labelAngle;
  props.LabelTemplate = look_.labelTemplate;
  props.InsetLines = insetLines_;
  props.InsetFlags = look_.insetFlags;
  props.InsetLeft = look_.insetLeft;
  props.InsetTop = look_.insetTop;
  props.InsetBox = look_.insetBox;
  props.ErrorBars = look_.errorBars;
}

}  // namespace kelvaris

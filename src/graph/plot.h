// The graph component. A TPlot never owns curve data: it is bound to the
// arrays of one stage (or to rows a page builds) and draws what they hold
// when it is painted. One drawing routine, Plot, serves the screen (through
// an off-screen bitmap), the clipboard picture and the printer page.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graph/graph_type.h"
#include "model/curve_kinetics.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "table/kelvaris_grid.h"
#include "table/print_grid.h"

namespace kelvaris {

struct TCurveSet;
class TGraphPropData;

enum PlotFlags : int {
  PlotMonochrome = 0x01,
  PlotPrinter = 0x02,
  PlotCommonScale = 0x20,
};

// Curve-flag bits the graph reads.
enum PlotCurveBits : std::uint32_t {
  pcColourMask = 0x000F,
  pcSymbolMask = 0x00F0,
  pcHover = 0x0100,
  pcExcluded = 0x0200,
  pcHidden = 0x0400,
  pcRemoved = 0x1000,
  pcBold = 0x2000,
  pcBoundInMixedSet = 0x20000,
};
constexpr int kSeriesShift = 18;

// Point-flag bits of a bound point's integer row, element 8.
constexpr int kKdLabelBit = 0x4000;
constexpr int kTrendLabelBit = 0x8000;
// A sensorgram point with this flag gets a label.
constexpr std::uint32_t kPointLabelBit = 0x10000;

struct TLegendItem {
  int entry = 0;          // the entry the text stands for
  Colour colour = 0;      // text (and symbol) colour
  int symbol = 0;         // symbol drawn before the text in the Kd kind
};

struct TLinePoint {
  double x = 0;
  double y = 0;
  int entry = 0;
};

struct TCutMark {
  double x = 0;
  int pixel = -1;  // where it was last drawn
};

// Everything SetProperties gives the graph besides its switches.
struct PlotAppearance {
  Font font;
  bool autoFont = false;
  int axisWidth = 1;
  int curveWidth = 1;
  int modelWidth = 1;
  float pointScale = 1.0f;
  int errorBars = 0;  // 0 none, 1 min/max, 2 standard error, 3 standard deviation
  std::string labelTemplate = "x, y";
  int labelAngle = 45;
  std::string xTitle;
  std::string yTitle;
  bool legendLeft = false;
  bool legendTop = false;
  bool legendBox = true;
  int insetFlags = 0;
  bool insetLeft = false;
  bool insetTop = true;
  bool insetBox = true;
};

class TPlot : public Control {
 public:
  explicit TPlot(std::string name);
  ~TPlot() override;

  // --- data ---
  // Row pointers per entry; the graph keeps the references, never copies.
  void SetDataPtrs(int count, const double* const* y, const double* const* x, const std::uint32_t* const* pointFlags,
                   const std::uint32_t* curveFlags, const int* pointCounts, const int* sourceIndex,
                   TCurveKinetics* kinetics);
  // Binds every curve of a stage's curve set; the row tables are kept by
  // the graph and rebuilt on every call.
  void BindCurveSet(const TCurveSet& set, TCurveKinetics* kinetics = nullptr);
  void Unbind();
  // Draws the bound entries with these curve flags instead of their own
  // (a page that shows a subset in colours of its own) until the next
  // binding. The array must hold EntryCount() values; null is ignored.
  void OverrideCurveFlags(const std::uint32_t* flags);
  int EntryCount() const { return count_; }
  bool HasData() const { return x_ != nullptr && y_ != nullptr; }
  bool HasSim() const;

  // --- size of the control (set by the view) ---
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);

  // --- kinds and switches ---
  bool IsKdPlot() const { return kd_; }
  void SetKdPlot(bool on);
  bool IsTrendPlot() const { return trend_; }
  void SetTrendPlot(bool on);
  bool IsLogPlot() const { return log_; }
  void SetLogPlot(bool on);
  bool IsResidualPlot() const { return residual_; }
  void SetResidualPlot(bool on);
  bool IsNormPlot() const { return norm_; }
  void SetNormPlot(bool on) { norm_ = on; }
  GraphType GetType() const;

  const std::string& PlotTitle() const { return title_; }
  void SetPlotTitle(const std::string& title);
  bool ShowTitle() const { return showTitle_; }
  void SetShowTitle(bool on) { SetSwitch(showTitle_, on); }
  bool ShowPoints() const { return showPoints_; }
  void SetShowPoints(bool on);
  bool ShowXLabels() const { return showXLabels_; }
  void SetShowXLabels(bool on);
  bool ShowAllPoints() const { return showAllPoints_; }
  void SetShowAllPoints(bool on) { SetSwitch(showAllPoints_, on); }
  bool ShowModels() const { return showModels_; }
  void SetShowModels(bool on) { SetSwitch(showModels_, on); }
  bool NormalizeModels() const { return normalizeModels_; }
  void SetNormalizeModels(bool on) { SetSwitch(normalizeModels_, on); }
  bool ZeroModels() const { return zeroModels_; }
  void SetZeroModels(bool on) { SetSwitch(zeroModels_, on); }
  bool IsBlanked() const { return blanked_; }
  void SetBlanked(bool on) { SetSwitch(blanked_, on); }
  bool ShowLegend() const { return showLegend_; }
  void SetShowLegend(bool on);
  bool ShowLabels() const { return showLabels_; }
  void SetShowLabels(bool on);
  bool ShowCurve() const { return showCurve_; }
  void SetShowCurve(bool on) { SetSwitch(showCurve_, on); }
  bool ShowZeroLines() const { return zeroLines_; }
  void SetShowZeroLines(bool on) { SetSwitch(zeroLines_, on); }
  bool CanSelect() const { return canSelect_; }
  void SetCanSelect(bool on) { canSelect_ = on; }
  bool IsSelected() const { return selected_; }
  void SetSelected(bool on) { SetSwitch(selected_, on); }
  int PixelsPerSample() const { return pixelsPerSample_; }
  void SetPixelsPerSample(int n);
  int CompFcNum() const { return compFcNum_; }
  void SetCompFcNum(int n) { compFcNum_ = n; }

  // --- appearance ---
  // Copies a property record into the graph, and the graph back into one.
  void SetProperties(const TGraphPropData& props);
  void GetProperties(TGraphPropData& props) const;
  const PlotAppearance& Appearance() const { return look_; }
  void SetAppearance(const PlotAppearance& look);
  int InsetFlags() const { return look_.insetFlags; }

  // --- ranges ---
  bool AutoX() const { return autoX_; }
  bool AutoY() const { return autoY_; }
  void SetAutoX(bool on) { autoX_ = on; }
  void SetAutoY(bool on) { autoY_ = on; }
  bool IsZoomed() const { return !(autoX_ && autoY_); }
  void SetScaleX(double min, double max);
  void SetScaleY(double min, double max);
  void GetScale(double& xmin, double& xmax, double& ymin, double& ymax) const;
  // The data ranges, with the margins the automatic ranges get.
  void GetMinMax(double& xmin, double& xmax, double& ymin, double& ymax) const;

  // --- the current entry ---
  int CurrCurve() const { return curr_; }
  void SetCurve(int curve);
  int CurrOriginal() const;
  void SetCurrOriginal(int source);
  bool ShowsLine(int entry) const;

  // --- time lines ---
  bool ShowStartLine() const { return lines_[kStart].shown; }
  void SetShowStartLine(bool on);
  bool ShowStopLine() const { return lines_[kStop].shown; }
  bool ShowEndLine() const { return lines_[kEnd].shown; }
  void SetShowEndLine(bool on);
  bool ShowTimeLines() const { return lines_[kStart].shown && lines_[kStop].shown; }
  void SetShowTimeLines(bool on);
  double StartLineTime() const { return lines_[kStart].time; }
  double StopLineTime() const { return lines_[kStop].time; }
  double EndLineTime() const { return lines_[kEnd].time; }
  void SetStartLineTime(double t) { SetLineTime(kStart, t); }
  void SetStopLineTime(double t) { SetLineTime(kStop, t); }
  void SetEndLineTime(double t) { SetLineTime(kEnd, t); }
  int LinePixel(int line) const { return lines_[line].pixel; }

  // --- lists the page fills ---
  // Legend (and curve-label) texts, each with its record.
  void AddLegend(const std::string& text, const TLegendItem& item);
  void ClearLegend();
  const std::vector<std::pair<std::string, TLegendItem>>& Legend() const { return legend_; }
  // One display name per entry, with the 1-based position after " - ".
  void AddCurveName(const std::string& name, int ligandPosition);
  const std::vector<std::pair<std::string, int>>& CurveNames() const { return names_; }
  std::vector<std::string>& InsetLines() { return insetLines_; }
  // The result table of the inset; the page fills it, the graph draws it.
  TPrintGrid& InsetTable() { return inset_; }
  std::vector<TCutMark>& CutMarks() { return cutMarks_; }
  void ClearChop() { cutMarks_.clear(); }
  // Cut marks, ascending by x. AddChop puts one at the first corner of the
  // selection, RemoveChop takes away those inside its x range; both
  // repaint. An index outside the list reads as a mark at 0 never drawn.
  void AddChop();
  void RemoveChop();
  int GetChopCount() const { return static_cast<int>(cutMarks_.size()); }
  TCutMark GetChopData(int index) const;

  // --- mouse (pixels relative to the control) ---
  // A left drag inside the axes box draws the selection rectangle; a press
  // on a time line or a cut mark drags it instead. What is drawn while
  // dragging goes straight into the kept picture, and the next full drawing
  // wipes it together with the selection.
  void MouseDown(MouseButton button, unsigned shift, int x, int y);
  void MouseMove(unsigned shift, int x, int y);
  void MouseUp(MouseButton button, unsigned shift, int x, int y);
  // Toggles between all entries and the entry under the point.
  void DblClick(int x, int y);
  // The entry under a pixel: on the Kd and trend kinds the nearest point
  // within 10 pixels (-1 for none); on sensorgrams the current entry, or
  // the one whose line passes nearest above or below the point (0 when
  // none does, -1 when the graph holds no entries).
  int FindClosestSens(int x, int y) const;

  // --- selection and zoom ---
  // True when the part of the selection inside the axes box is more than
  // 3 pixels wide and high.
  bool GetZoomable() const;
  bool CanZoom() const { return GetZoomable(); }
  // On: the ranges become the selection (the part inside the axes box);
  // off: automatic ranges. Either way the graph repaints.
  void SetZoomed(bool on);
  bool HasSelection() const { return selFirst_.x >= 0; }
  // Data coordinates of the selection's corners, each held inside the axes
  // box; 0 while a scale is 0.
  double SelX1() const;
  double SelY1() const;
  double SelX2() const;
  double SelY2() const;
  // The read-outs of the corners as last drawn (empty when none is shown).
  const std::string& AnchorReadOut() const { return anchorText_; }
  const std::string& CurrentReadOut() const { return currentText_; }
  int DraggedCutMark() const { return cutDrag_; }

  // Resets every switch, range and list to the state of a new graph.
  void ClearFlags();

  // --- drawing ---
  // Draws the whole graph into a rectangle of any surface.
  void Plot(Canvas& canvas, int left, int top, int width, int height, int flags);
  // A picture of the graph alone: a white surface of this size with the
  // graph drawn over all of it (the clipboard copy and picture files).
  void PlotPicture(Canvas& canvas, int width, int height);
  // On-screen drawing: the graph is drawn into an off-screen bitmap, which
  // is then copied onto `screen` in one step. The bitmap is kept, so a
  // repaint that only exposes the control copies it again, and the direct
  // updates below (time lines, single entries) draw into it.
  void Paint(Canvas& screen);
  // Asks for a full drawing at the next paint.
  void Invalidate();
  // True while a full drawing is still to come.
  bool RepaintPending() const { return needsPlot_; }
  // The kept screen picture of the last Paint (none before the first).
  Bitmap* ScreenBitmap() { return screen_.get(); }
  void PaintLine(int entry);
  void PaintPoint(int entry);

  // --- layout of the last drawing ---
  double PlotLeft() const { return left_; }
  double PlotRight() const { return right_; }
  double PlotTop() const { return top_; }
  double PlotBottom() const { return bottom_; }
  double XScale() const { return xscale_; }
  double YScale() const { return yscale_; }
  double XStep() const { return xstep_; }
  double YStep() const { return ystep_; }
  // Data to pixel, as the drawing maps them (before truncation).
  double PixelX(double x) const { return (x - xmin_) * xscale_ + left_ + 0.5; }
  double PixelY(double y) const { return (y - ymin_) * yscale_ + bottom_ + 0.5; }
  // Points drawn per step along a sensorgram: about two per pixel column.
  int CalcPinc(int entry, double dataXmin, double dataXmax) const;

  // Tick step and decimals for a span.
  static void Subdivide(double span, double& step, int& decimals);

  // The model evaluation used for fitted curves (replaceable in tests).
  std::function<int(TCurveKinetics&, const double*, double*, int)> Evaluate = EvaluateModel;

  // Raised when the current entry changes; the handler may change it.
  std::function<void(TPlot& sender, int oldCurve, int& newCurve)> OnCurveChange;
  // Any press while CanSelect is on and the graph is not selected.
  std::function<void(TPlot& sender)> OnSelect;
  // A press that does not grab a line or mark, with the entry under it (-1
  // outside the axes box). The answer is not used.
  std::function<bool(TPlot& sender, int closest)> OnMouseDown;
  // Every move outside a rectangle drag.
  std::function<void(TPlot& sender, int closest)> OnMouseOver;
  // Answering false keeps the current entry as it is.
  std::function<bool(TPlot& sender, int closest)> OnDoubleClick;
  // A dragged time line moved to t (s).
  std::function<void(TPlot& sender, double t)> OnStartChange;
  std::function<void(TPlot& sender, double t)> OnStopChange;
  std::function<void(TPlot& sender, double t)> OnEndChange;
  // The cursor shape the graph wants (crDefault, crSizeWE).
  std::function<void(int shape)> OnCursor;

  enum TimeLineIndex { kStart = 0, kStop = 1, kEnd = 2 };

 private:
  struct TimeLine {
    bool shown = false;
    double time = 0;
    int pixel = -1;
  };

  void SetSwitch(bool& value, bool on);
  void SetLineTime(int line, double t);
  void DrawTimeLine(Canvas& canvas, int line, int pixel);
  bool PointCounts(int entry) const;
  bool CurveCounts(int entry) const;
  std::uint32_t FlagsOf(int entry) const { return curveFlags_ ? curveFlags_[entry] : 1u; }
  // Points of an entry that can be read: 0 for missing rows, never more
  // than the rows hold when the graph knows their length.
  int Points(int entry) const;
  // One slot of a bound point's rows; 0 where the rows end.
  double XAt(int entry, int k) const;
  double YAt(int entry, int k) const;
  int IntRow(int entry, int k) const;
  bool HasCurrent() const { return curr_ >= 0 && curr_ < count_; }
  // The kinetic record of an entry, or none.
  TCurveKinetics* KineticsOf(int entry) const;
  int InjectionNumber(int entry) const { return IntRow(entry, 1); }
  double PlotX(int entry, int point) const;  // the x the drawing uses
  // The Kd kind's series: the same two series keys as the current entry.
  bool InShownSeries(int entry) const;
  bool SameTrendSeries(int a, int b) const;
  // The trend kind's series: also the same concentration.
  bool InShownTrendSeries(int entry) const;
  Colour EntryColour(int entry, bool monochrome) const;
  // The text of a curve name between its first ":" (plus two) and the
  // ligand part; empty without ":".
  std::string ConcentrationPart(int entry) const;
  // The longest concentration-and-analyte part of the curve names.
  int TrendLegendLength() const;

  // Drawing steps (plot_render.cpp and friends).
  struct Frame;
  void SetUpFont(Canvas& canvas, Frame& f);
  void DrawAxes(Canvas& canvas, Frame& f);
  void DrawYTicks(Canvas& canvas, Frame& f);
  void DrawXTicks(Canvas& canvas, Frame& f);
  void DrawPowerLabel(Canvas& canvas, Frame& f, double px, const std::string& main, const std::string& sup,
                      double& end);
  void DrawCurveLabels(Canvas& canvas, Frame& f);
  void MakeRoomForTrendLegend(Canvas& canvas, Frame& f);
  void DrawSensorgrams(Canvas& canvas, Frame& f);
  void DrawSensorgram(Canvas& canvas, Frame& f, int entry, Colour colour, int step, int symbol);
  void DrawKdPoints(Canvas& canvas, Frame& f);
  void DrawTrendPoints(Canvas& canvas, Frame& f);
  void DrawModels(Canvas& canvas, Frame& f);
  void DrawPointLabels(Canvas& canvas, Frame& f);
  void DrawTitle(Canvas& canvas, Frame& f);
  void DrawLegend(Canvas& canvas, Frame& f);
  void DrawTrendLegend(Canvas& canvas, Frame& f);
  void DrawInset(Canvas& canvas, Frame& f);
  void DrawTimeLinesAndCuts(Canvas& canvas, Frame& f);
  void DrawErrorBars(Canvas& canvas, const std::vector<TLinePoint>& points, int cap, int mode);
  void LabelPoint(Canvas& canvas, Frame& f, int entry, int point, Colour colour);
  std::string PointLabelText(int entry, int point) const;
  void TrendLegend(Canvas& canvas, Frame& f, int y, int first, int last);

  // Interaction (plot_mouse.cpp).
  bool ScalesSet() const { return xscale_ != 0 && yscale_ != 0; }
  bool InsideBox(int x, int y) const { return x >= left_ && x <= right_ && y >= top_ && y <= bottom_; }
  bool BetweenTopAndBottom(int y) const { return y > top_ && y < bottom_; }
  // Data coordinates of a pixel; callers make sure the scales are set.
  double DataX(double px) const { return (px - left_) / xscale_ + xmin_; }
  double DataY(double py) const { return (py - bottom_) / yscale_ + ymin_; }
  // A corner held inside the axes box.
  Point HeldInBox(Point p) const;
  int ClosestPoint(int x, int y) const;       // Kd and trend kinds
  int ClosestSensorgram(int x, int y) const;  // sensorgrams
  // The shown time line or the cut mark within 4 pixels of column x, -1
  // for none.
  int TimeLineAt(int x) const;
  int CutMarkAt(int x) const;
  bool PressOnTimeLine(int x, int y);
  void DragTimeLine(int line, int x);
  void DragCutMark(int x);
  void AskCursor(int shape) const;
  std::string ReadOutText(int x, int y) const;
  // Drawing into the kept picture; nothing without one.
  Canvas* KeptSurface() { return screen_ ? &screen_->Surface() : nullptr; }
  void DrawRubberBand();
  enum ReadOut { kAnchorReadOut = 0, kCurrentReadOut = 1 };
  // A read-out in `colour` on white; white over it erases it.
  void DrawReadOut(ReadOut which, Colour colour);
  void EraseReadOuts();
  void DrawCutMarkLine(Canvas& canvas, int pixel);

 public:
  // Symbol of `type` centred on the pen position.
  static void DrawSymbol(Canvas& canvas, int type, int size);
  static void VerticalTextOut(Canvas& canvas, int x, int y, const std::string& text);
  static void AngledTextOut(Canvas& canvas, int x, int y, int angle, const std::string& text);
  // Moves and lines with each coordinate held to +-30000 first; a call
  // with a coordinate that is not a number draws nothing.
  static void PlotMoveTo(Canvas& canvas, double x, double y);
  static void PlotLineTo(Canvas& canvas, double x, double y);

 private:
  // Bound data.
  int count_ = 0;
  const double* const* y_ = nullptr;
  const double* const* x_ = nullptr;
  const std::uint32_t* const* pointFlags_ = nullptr;
  const std::uint32_t* curveFlags_ = nullptr;
  const int* pointCounts_ = nullptr;
  const int* source_ = nullptr;
  TCurveKinetics* kinetics_ = nullptr;
  // Row tables of BindCurveSet.
  std::vector<const double*> boundY_, boundX_;
  std::vector<const std::uint32_t*> boundFlags_;
  int rowLength_ = 0;  // slots per row when known (a curve set's capacity), else 0

  int width_ = 0;
  int height_ = 0;

  int curr_ = -1;
  double xmin_ = 0, xmax_ = 0, ymin_ = 0, ymax_ = 0;
  double xstep_ = 0, ystep_ = 0;
  int xdecimals_ = 0, ydecimals_ = 0;
  double left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
  double xscale_ = 0, yscale_ = 0;
  bool autoX_ = true, autoY_ = true;
  bool kd_ = false, trend_ = false, log_ = false, residual_ = false, norm_ = false;
  bool showTitle_ = true, showXLabels_ = true, showPoints_ = false, showLegend_ = false, showLabels_ = false;
  bool showAllPoints_ = false, showModels_ = false, normalizeModels_ = false, zeroModels_ = false;
  bool blanked_ = false, showCurve_ = true, zeroLines_ = true;
  bool canSelect_ = false, selected_ = false;
  TimeLine lines_[3];
  bool commonScale_ = false;
  int pixelsPerSample_ = 1;
  int compFcNum_ = 0;
  int symbolSize_ = 1;  // of the last full drawing
  std::string title_;
  PlotAppearance look_;
  std::vector<std::pair<std::string, TLegendItem>> legend_;
  std::vector<std::pair<std::string, int>> names_;
  std::vector<std::string> insetLines_;
  TPrintGrid inset_;
  std::vector<TCutMark> cutMarks_;
  // The selection: the first corner is where the left button went down,
  // the second follows the mouse; a first corner x below 0 means none.
  Point selFirst_{-1, -1}, selSecond_{-1, -1};
  int cutDrag_ = -1;  // the cut mark being dragged
  std::string anchorText_, currentText_;

 protected:
  // Drags in progress; the model curves are left out while a start or end
  // line moves.
  bool startDrag_ = false, stopDrag_ = false, endDrag_ = false, rectDrag_ = false;

 private:
  std::unique_ptr<Bitmap> screen_;
  bool needsPlot_ = true;
};

}  // namespace kelvaris

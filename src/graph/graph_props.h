// Graph property records: a graph's appearance kept apart from the graph, so
// that the main window can hold one per graph role, hand it to a graph, read it
// back, and save it in method files as a keyed text block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graph/graph_type.h"
#include "platform/canvas.h"

namespace kelvaris {

// Bits of InsetFlags: which fitted values the inset table shows.
constexpr int kInsetKD = 0x02;
constexpr int kInsetKa = 0x04;
constexpr int kInsetKd = 0x08;
constexpr int kInsetKm = 0x10;

// The base record. Its SetDefaults does nothing, so a plain record starts
// zeroed and is meant to be filled from a graph or from text; the seven kind
// records below start with the default look of their graph kind.
//
// Copying copies every field; the kind records add no fields, so assigning one
// kind's record to another's base part is a complete copy.
class TGraphPropData {
 public:
  TGraphPropData() = default;
  virtual ~TGraphPropData() = default;
  TGraphPropData(const TGraphPropData&) = default;
  TGraphPropData& operator=(const TGraphPropData&) = default;
  TGraphPropData(TGraphPropData&&) = default;
  TGraphPropData& operator=(TGraphPropData&&) = default;

  // A copy of the same kind of record.
  virtual std::unique_ptr<TGraphPropData> Clone() const;

  // The default look of the record's kind. The axis ranges are left alone:
  // they mean something only once taken from a graph or read from text.
  virtual void SetDefaults();

  // Appends the text block (ending with "en:" and an empty line) to `out`.
  // Tabs in the titles and font name, and line feeds in the label template
  // and inset lines, are written as blanks: they would end the text early
  // when read back and let the rest be taken for keys.
  void WriteText(std::string& out) const;

  // Reads a block from `text`, starting at `pos`, up to the key "en:" or the
  // end of the text, and returns the position just after "en:" (or the end).
  // Keys may come in any order; missing keys keep their values, unknown keys
  // and values that cannot be read are skipped. Inset lines are appended.
  std::size_t ReadText(std::string_view text, std::size_t pos = 0);

  // Field-wise equality; the kind of record does not take part.
  bool operator==(const TGraphPropData&) const = default;

  int CompFcNum = 0;          // cf: picks one result graph among graphs of a kind
  int Type = 0;               // gt: GraphType
  int AxisWidth = 0;          // aw: pen widths, pixels
  int CurveWidth = 0;         // cw
  int ModelWidth = 0;         // mw
  bool ShowCurve = false;     // sc: lines between points
  bool ShowPoints = false;    // sp: point symbols
  float PointScale = 0;       // ps: symbol size factor
  bool AutoX = false;         // ax: x range from the data
  bool AutoY = false;         // ay
  bool LogX = false;          // lx: logarithmic concentration axis
  bool ZeroLines = false;     // sz: lines at x = 0 and y = 0
  double XMin = 0;            // xn: log10 units while LogX is on
  double XMax = 0;            // xx
  double YMin = 0;            // yn
  double YMax = 0;            // yx
  bool AutoFont = false;      // af: font size follows the graph size
  Font GraphFont;             // fr, fc, fh, fn, fp, fz (style and angle are not saved)
  std::string XTitle;         // xt
  std::string YTitle;         // yt
  bool ShowTitle = false;     // pt
  std::uint8_t LegendType = 0;  // lt: 0 none, 1 curve labels, 2 legend
  bool LegendLeft = false;    // ll
  bool LegendTop = false;     // tl
  bool LegendBox = false;     // bl
  int LabelAngle = 0;         // pa: point-label angle, degrees
  std::string LabelTemplate;  // pl: point-label letters
  std::vector<std::string> InsetLines;  // ic: free text lines of the inset
  int InsetFlags = 0;         // si: kInsetKD | kInsetKa | ...
  bool InsetLeft = false;     // li
  bool InsetTop = false;      // ti
  bool InsetBox = false;      // bi
  int ErrorBars = 0;          // eb: 0 none, 1 min/max, 2 standard error, 3 standard deviation

 protected:
  // The default look of graph kind `kind` (the shared values and the kind's own).
  void ApplyKindDefaults(GraphType kind);
};

// A record that starts with the default look of one graph kind. The
// constructor applies the defaults itself: the base constructor cannot reach
// an override.
template <GraphType Kind>
class TKindPropData : public TGraphPropData {
 public:
  TKindPropData() { TKindPropData::SetDefaults(); }
  std::unique_ptr<TGraphPropData> Clone() const override { return std::make_unique<TKindPropData>(*this); }
  void SetDefaults() override { ApplyKindDefaults(Kind); }
};

using TBoundPropData = TKindPropData<gtBound>;
using TBoundResPropData = TKindPropData<gtBoundRes>;
using TBoundNormPropData = TKindPropData<gtBoundNorm>;
using TCurvePropData = TKindPropData<gtCurve>;
using TCurveResPropData = TKindPropData<gtCurveRes>;
using TCurveNormPropData = TKindPropData<gtCurveNorm>;
using TTrendPropData = TKindPropData<gtTrend>;

// The record of graph kind `kind`; a value outside the seven kinds gives a
// plain base record whose Type is `kind`.
std::unique_ptr<TGraphPropData> MakeGraphProps(GraphType kind);

}  // namespace kelvaris

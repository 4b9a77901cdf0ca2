// The graph properties dialog: six pages of controls over one graph property
// record (ranges, titles, legend, inset, font, pens and the copy size), with
// OK, Cancel and "Apply to all".
#pragma once

#include <string>

#include "app/dialogs.h"
#include "graph/graph_props.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/window_system.h"

namespace kelvaris {

class TPlot;

// The size of a graph copied to the clipboard, pixels.
constexpr int kDefaultCopyWidth = 1000;
constexpr int kDefaultCopyHeight = 600;
// A larger copy would need a bitmap of hundreds of megabytes.
constexpr int kMaxCopySize = 10000;
// What the point-label template box holds at most, characters.
constexpr std::size_t kMaxLabelTemplate = 60;

class TGraphPropsDialog : public TDialogWindow {
 public:
  enum Page { pgScale = 0, pgLabels, pgInset, pgFont, pgLines, pgCopy, kPages };

  explicit TGraphPropsDialog(WindowSystem& ws);

  PageControl Pages{"GraphPropPages"};

  // Scale.
  CheckBox AutoXCheck{"AutoXCheck"};
  CheckBox AutoYCheck{"AutoYCheck"};
  CheckBox LogCheck{"LogCheck"};
  EditBox XMinBox{"XMinBox"};
  EditBox XMaxBox{"XMaxBox"};
  EditBox YMinBox{"YMinBox"};
  EditBox YMaxBox{"YMaxBox"};

  // Labels.
  EditBox XTitleBox{"XTitleBox"};
  EditBox YTitleBox{"YTitleBox"};
  CheckBox TitleCheck{"TitleCheck"};
  RadioGroup LegendGroup{"LegendGroup"};  // "None", "Label", "Legend :" by legend type
  CheckBox LegendLeftCheck{"LegendLeftCheck"};
  CheckBox LegendTopCheck{"LegendTopCheck"};
  CheckBox LegendBoxCheck{"LegendBoxCheck"};
  EditBox AngleBox{"AngleBox"};
  EditBox TemplateBox{"TemplateBox"};
  Label TemplateHint{"TemplateHint"};

  // Inset: the free lines, one per line of the memo's text.
  EditBox InsetMemo{"InsetMemo"};
  CheckBox InsetLeftCheck{"InsetLeftCheck"};
  CheckBox InsetTopCheck{"InsetTopCheck"};
  CheckBox InsetBoxCheck{"InsetBoxCheck"};
  CheckBox InsetKDCheck{"InsetKDCheck"};
  CheckBox InsetKaCheck{"InsetKaCheck"};
  CheckBox InsetKdCheck{"InsetKdCheck"};
  CheckBox InsetKmCheck{"InsetKmCheck"};

  // Font: "Auto" (the size follows the graph) or "Set".
  RadioGroup FontGroup{"FontGroup"};
  Action FontButton{"FontButton"};

  // Lines.
  EditBox AxisWidthBox{"AxisWidthBox"};
  EditBox CurveWidthBox{"CurveWidthBox"};
  EditBox ModelWidthBox{"ModelWidthBox"};
  EditBox PointScaleBox{"PointScaleBox"};
  CheckBox ShowPointsCheck{"ShowPointsCheck"};
  CheckBox ShowCurveCheck{"ShowCurveCheck"};
  CheckBox ZeroLinesCheck{"ZeroLinesCheck"};
  RadioGroup ErrorGroup{"ErrorGroup"};  // "None", "Min,max", "Std error", "Std dev"

  // Copy.
  EditBox CopyWidthBox{"CopyWidthBox"};
  EditBox CopyHeightBox{"CopyHeightBox"};

  Action OKButton{"OKButton"};
  Action CancelButton{"CancelButton"};
  Action ApplyAllButton{"ApplyAllButton"};

  ControlRegistry Controls;

  // The font the font dialog starts from and "Set" uses.
  const Font& DialogFont() const { return font_; }

  // Edits the record of `plot`: takes the graph's state into a copy of the
  // record, shows the dialog, and on OK or "Apply to all" stores the controls
  // into `record`, the copy size into copyWidth and copyHeight, and gives the
  // record to the graph. Returns false (nothing changed) on Cancel.
  // "Apply to all" is offered only on the Result page.
  bool Edit(TPlot& plot, TGraphPropData& record, bool resultPage, int& copyWidth, int& copyHeight);
  // After Edit: whether "Apply to all" closed the dialog, and whether the
  // inset's fitted values changed.
  bool ApplyToAllPressed() const { return applyAll_; }
  bool InsetFlagsChanged() const { return insetFlagsChanged_; }

  // The controls from a record taken from a graph (its Type tells the kind).
  void Fill(const TGraphPropData& record, bool resultPage, int copyWidth, int copyHeight);
  // The controls back into the record filled from; returns whether the
  // inset flags changed. Unreadable entries keep the defaults they have.
  bool Store(TGraphPropData& record, int& copyWidth, int& copyHeight) const;

  void OKButtonClick() { applyAll_ = false; }
  void ApplyAllButtonClick() { applyAll_ = true; }
  void CancelButtonClick() { applyAll_ = false; }
  void FontButtonClick();

 private:
  void CreateControls();
  // A user edit of a range box switches its axis to a fixed range.
  void RangeBoxChange(EditBox& box, CheckBox& autoCheck);
  void TemplateBoxChange();
  void StoreXRange(TGraphPropData& record) const;
  void StoreYRange(TGraphPropData& record) const;

  WindowSystem& ws_;
  Font font_;
  bool filling_ = false;
  bool applyAll_ = false;
  bool insetFlagsChanged_ = false;
  // What Fill showed: the kind, the axis, and the box texts of the ranges,
  // so that untouched boxes keep their exact values.
  bool kd_ = false;
  bool logAxis_ = false;
  std::string shownXMin_, shownXMax_, shownYMin_, shownYMax_;
};

// The x range boxes of a Kd graph: three significant digits, lower-case
// exponent of at least one digit ("1.50e-7", "2.00e+0").
std::string FormatRangeExponent(double value);
// Every other range box: two decimals ("12.50", "-3.00").
std::string FormatRangeFixed(double value);

}  // namespace kelvaris

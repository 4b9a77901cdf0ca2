#include "app/graph_props_dialog.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "graph/plot.h"
#include "model/numbers.h"

namespace kelvaris {

namespace {

// to_chars output with the locale's decimal separator.
std::string Localised(const char* begin, const char* end) {
  std::string out(begin, end);
  for (char& ch : out)
    if (ch == '.') ch = LocaleDecimalSeparator();
  return out;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A whole number, or `fallback` when the text is anything else.
int ReadInteger(std::string_view text, int fallback) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) return fallback;
  return value;
}

// A pen width: negative widths mean nothing to a pen.
int ReadWidth(const EditBox& box) {
  const int width = ReadInteger(box.Text(), 1);
  return width < 0 ? 1 : width;
}

// A copy size: at least one pixel, at most kMaxCopySize.
int ReadCopySize(const EditBox& box, int fallback) {
  const int size = ReadInteger(box.Text(), fallback);
  if (size < 1) return fallback;
  return size > kMaxCopySize ? kMaxCopySize : size;
}

double ReadFinite(const std::string& text, double fallback) {
  const double value = ParseNumber(text, fallback);
  return std::isfinite(value) ? value : fallback;
}

std::string FormatOneDecimal(double value) {
  char text[400];
  const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
  return r.ec == std::errc{} ? Localised(text, r.ptr) : std::string("1");
}

// The inset memo's text: one line per inset line; a final line break makes
// no empty line of its own.
std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += '\n';
    text += lines[i];
  }
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char ch : text) {
    if (ch == '\r') continue;
    if (ch == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += ch;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool IsKdKind(int type) { return type == gtBound || type == gtBoundRes || type == gtBoundNorm; }

constexpr int kInsetValueBits = kInsetKD | kInsetKa | kInsetKd | kInsetKm;

}  // namespace

std::string FormatRangeFixed(double value) {
  char text[400];
  const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
  if (r.ec != std::errc{}) return "0.00";
  std::string out = Localised(text, r.ptr);
  // A value that rounds to zero shows no sign.
  if (out.size() > 1 && out[0] == '-' && out.find_first_not_of("-0.,") == std::string::npos) out.erase(0, 1);
  return out;
}

std::string FormatRangeExponent(double value) {
  char text[64];
  const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 2);
  if (r.ec != std::errc{}) return "0.00e+0";
  std::string out = Localised(text, r.ptr);
  // to_chars writes at least two exponent digits; one is enough here.
  const std::size_t e = out.find('e');
  if (e != std::string::npos && e + 2 < out.size()) {
    std::size_t first = e + 2;  // after the sign
    while (first + 1 < out.size() && out[first] == '0') out.erase(first, 1);
  }
  return out;
}

TGraphPropsDialog::TGraphPropsDialog(WindowSystem& ws) : TDialogWindow("GraphPropDlg", "Graph Properties"), ws_(ws) {
  CreateControls();
}

void TGraphPropsDialog::CreateControls() {
  for (const char* caption : {"Scale", "Labels", "Inset", "Font", "Lines", "Copy"})
    Pages.AddPage(std::string(caption) + "Page", caption);
  Pages.SetActivePageIndex(pgScale);

  AutoXCheck.SetCaption("Auto scale X");
  AutoYCheck.SetCaption("Auto scale Y");
  LogCheck.SetCaption("Log scale");
  XMinBox.SetCaption("X min");
  XMaxBox.SetCaption("X max");
  YMinBox.SetCaption("Y min");
  YMaxBox.SetCaption("Y max");
  XMinBox.OnChange = [this] { RangeBoxChange(XMinBox, AutoXCheck); };
  XMaxBox.OnChange = [this] { RangeBoxChange(XMaxBox, AutoXCheck); };
  YMinBox.OnChange = [this] { RangeBoxChange(YMinBox, AutoYCheck); };
  YMaxBox.OnChange = [this] { RangeBoxChange(YMaxBox, AutoYCheck); };

  XTitleBox.SetCaption("X title");
  YTitleBox.SetCaption("Y title");
  TitleCheck.SetCaption("Title");
  LegendGroup.SetCaption("Legend");
  LegendGroup.SetItems({"None", "Label", "Legend :"});
  LegendLeftCheck.SetCaption("Left");
  LegendTopCheck.SetCaption("Top");
  LegendBoxCheck.SetCaption("Box");
  AngleBox.SetCaption("Angle");
  TemplateBox.SetCaption("Point labels");
  TemplateBox.OnChange = [this] { TemplateBoxChange(); };
  TemplateHint.SetCaption("n,i,a,l,x,y,\"");

  InsetMemo.SetCaption("Inset text");
  InsetLeftCheck.SetCaption("Left");
  InsetTopCheck.SetCaption("Top");
  InsetBoxCheck.SetCaption("Box");
  InsetKDCheck.SetCaption("KD");
  InsetKaCheck.SetCaption("ka");
  InsetKdCheck.SetCaption("kd");
  InsetKmCheck.SetCaption("km");

  FontGroup.SetCaption("Font");
  FontGroup.SetItems({"Auto", "Set"});
  FontButton.SetCaption("Font...");
  FontButton.OnClick = [this] { FontButtonClick(); };

  AxisWidthBox.SetCaption("Axis width");
  CurveWidthBox.SetCaption("Curve width");
  ModelWidthBox.SetCaption("Model width");
  PointScaleBox.SetCaption("Point scale");
  ShowPointsCheck.SetCaption("Show points");
  ShowCurveCheck.SetCaption("Show curve");
  ZeroLinesCheck.SetCaption("Show zero lines");
  ErrorGroup.SetCaption("Error bars");
  ErrorGroup.SetItems({"None", "Min,max", "Std error", "Std dev"});

  CopyWidthBox.SetCaption("Copy Width");
  CopyHeightBox.SetCaption("Copy Height");

  OKButton.SetCaption("OK");
  OKButton.OnClick = [this] { OKButtonClick(); };
  CancelButton.SetCaption("Cancel");
  CancelButton.OnClick = [this] { CancelButtonClick(); };
  ApplyAllButton.SetCaption("Apply to all");
  ApplyAllButton.OnClick = [this] { ApplyAllButtonClick(); };

  for (Control* c : std::initializer_list<Control*>{
           &Form, &Pages, &AutoXCheck, &AutoYCheck, &LogCheck, &XMinBox, &XMaxBox, &YMinBox, &YMaxBox,
           &XTitleBox, &YTitleBox, &TitleCheck, &LegendGroup, &LegendLeftCheck, &LegendTopCheck,
           &LegendBoxCheck, &AngleBox, &TemplateBox, &TemplateHint, &InsetMemo, &InsetLeftCheck,
           &InsetTopCheck, &InsetBoxCheck, &InsetKDCheck, &InsetKaCheck, &InsetKdCheck, &InsetKmCheck,
           &FontGroup, &FontButton, &AxisWidthBox, &CurveWidthBox, &ModelWidthBox, &PointScaleBox,
           &ShowPointsCheck, &ShowCurveCheck, &ZeroLinesCheck, &ErrorGroup, &CopyWidthBox, &CopyHeightBox,
           &OKButton, &CancelButton, &ApplyAllButton})
    Controls.Add(*c);
}

void TGraphPropsDialog::RangeBoxChange(EditBox& box, CheckBox& autoCheck) {
  if (filling_ || !box.Modified()) return;
  autoCheck.SetChecked(false);
}

void TGraphPropsDialog::TemplateBoxChange() {
  // The box takes no more typing once full; a longer text from a record
  // stays as it is until the user edits it.
  if (filling_ || !TemplateBox.Modified() || TemplateBox.Text().size() <= kMaxLabelTemplate) return;
  TemplateBox.UserSetText(TemplateBox.Text().substr(0, kMaxLabelTemplate));
}

void TGraphPropsDialog::FontButtonClick() {
  FontGroup.SetItemIndex(1);
  Font chosen = font_;
  if (ws_.ChooseFont(chosen)) font_ = chosen;
}

void TGraphPropsDialog::Fill(const TGraphPropData& r, bool resultPage, int copyWidth, int copyHeight) {
  filling_ = true;
  applyAll_ = false;
  kd_ = IsKdKind(r.Type);
  // Only a Kd graph draws a logarithmic axis; elsewhere the switch is inert.
  logAxis_ = kd_ && r.LogX;

  AutoXCheck.SetChecked(r.AutoX);
  AutoYCheck.SetChecked(r.AutoY);
  LogCheck.SetChecked(r.LogX);
  LogCheck.SetEnabled(kd_);
  auto xText = [&](double v) {
    if (!kd_) return FormatRangeFixed(v);
    return FormatRangeExponent(logAxis_ ? std::pow(10.0, v) : v);
  };
  shownXMin_ = xText(r.XMin);
  shownXMax_ = xText(r.XMax);
  shownYMin_ = FormatRangeFixed(r.YMin);
  shownYMax_ = FormatRangeFixed(r.YMax);
  XMinBox.SetText(shownXMin_);
  XMaxBox.SetText(shownXMax_);
  YMinBox.SetText(shownYMin_);
  YMaxBox.SetText(shownYMax_);

  XTitleBox.SetText(r.XTitle);
  YTitleBox.SetText(r.YTitle);
  TitleCheck.SetChecked(r.ShowTitle);
  LegendGroup.SetItemIndex(r.LegendType <= 2 ? r.LegendType : -1);
  LegendLeftCheck.SetChecked(r.LegendLeft);
  LegendTopCheck.SetChecked(r.LegendTop);
  LegendBoxCheck.SetChecked(r.LegendBox);
  AngleBox.SetText(std::to_string(r.LabelAngle));
  TemplateBox.SetText(r.LabelTemplate);

  InsetMemo.SetText(JoinLines(r.InsetLines));
  InsetLeftCheck.SetChecked(r.InsetLeft);
  InsetTopCheck.SetChecked(r.InsetTop);
  InsetBoxCheck.SetChecked(r.InsetBox);
  InsetKDCheck.SetChecked(r.InsetFlags & kInsetKD);
  InsetKaCheck.SetChecked(r.InsetFlags & kInsetKa);
  InsetKdCheck.SetChecked(r.InsetFlags & kInsetKd);
  InsetKmCheck.SetChecked(r.InsetFlags & kInsetKm);
  // Fitted values exist only for result graphs: all four for sensorgrams,
  // KD alone for Kd graphs, none for trend and residual graphs.
  const bool sensorgram = r.Type == gtCurve || r.Type == gtCurveNorm;
  const bool kdValues = r.Type == gtBound || r.Type == gtBoundNorm;
  InsetKDCheck.SetEnabled(resultPage && (sensorgram || kdValues));
  for (CheckBox* box : {&InsetKaCheck, &InsetKdCheck, &InsetKmCheck}) box->SetEnabled(resultPage && sensorgram);

  FontGroup.SetItemIndex(r.AutoFont ? 0 : 1);
  font_ = r.GraphFont;

  AxisWidthBox.SetText(std::to_string(r.AxisWidth));
  CurveWidthBox.SetText(std::to_string(r.CurveWidth));
  ModelWidthBox.SetText(std::to_string(r.ModelWidth));
  PointScaleBox.SetText(FormatOneDecimal(r.PointScale));
  ShowPointsCheck.SetChecked(r.ShowPoints);
  ShowCurveCheck.SetChecked(r.ShowCurve);
  ZeroLinesCheck.SetChecked(r.ZeroLines);
  ErrorGroup.SetItemIndex(r.ErrorBars >= 0 && r.ErrorBars <= 3 ? r.ErrorBars : -1);

  CopyWidthBox.SetText(std::to_string(copyWidth));
  CopyHeightBox.SetText(std::to_string(copyHeight));

  ApplyAllButton.SetEnabled(resultPage);
  filling_ = false;
}

void TGraphPropsDialog::StoreYRange(TGraphPropData& r) const {
  if (YMinBox.Text() != shownYMin_) r.YMin = ReadFinite(YMinBox.Text(), r.YMin);
  if (YMaxBox.Text() != shownYMax_) r.YMax = ReadFinite(YMaxBox.Text(), r.YMax);
}

void TGraphPropsDialog::StoreXRange(TGraphPropData& r) const {
  if (logAxis_) {
    // The boxes hold concentrations; the record keeps their logarithms.
    auto read = [](const EditBox& box, const std::string& shown, double& value) {
      if (box.Text() == shown) return;
      const double c = ReadFinite(box.Text(), std::pow(10.0, value));
      if (c > 0) value = std::log10(c);
    };
    read(XMinBox, shownXMin_, r.XMin);
    read(XMaxBox, shownXMax_, r.XMax);
  } else {
    if (XMinBox.Text() != shownXMin_) r.XMin = ReadFinite(XMinBox.Text(), r.XMin);
    if (XMaxBox.Text() != shownXMax_) r.XMax = ReadFinite(XMaxBox.Text(), r.XMax);
  }
  // The range of the other axis kind means nothing on the new one.
  if (LogCheck.Checked() != r.LogX) r.AutoX = true;
}

bool TGraphPropsDialog::Store(TGraphPropData& r, int& copyWidth, int& copyHeight) const {
  r.AxisWidth = ReadWidth(AxisWidthBox);
  r.CurveWidth = ReadWidth(CurveWidthBox);
  r.ModelWidth = ReadWidth(ModelWidthBox);
  copyWidth = ReadCopySize(CopyWidthBox, kDefaultCopyWidth);
  copyHeight = ReadCopySize(CopyHeightBox, kDefaultCopyHeight);
  r.AutoFont = FontGroup.ItemIndex() != 1;
  r.GraphFont = font_;
  r.XTitle = XTitleBox.Text();
  r.YTitle = YTitleBox.Text();

  r.AutoX = AutoXCheck.Checked();
  r.AutoY = AutoYCheck.Checked();
  StoreYRange(r);
  StoreXRange(r);  // before LogX changes: it compares the old axis with the new
  r.LogX = LogCheck.Checked();
  r.ShowTitle = TitleCheck.Checked();
  r.ShowPoints = ShowPointsCheck.Checked();
  r.ShowCurve = ShowCurveCheck.Checked();
  r.ZeroLines = ZeroLinesCheck.Checked();

  const double scale = ReadFinite(PointScaleBox.Text(), 1.0);
  r.PointScale = scale >= 0 ? static_cast<float>(scale) : 1.0f;
  if (ErrorGroup.ItemIndex() >= 0) r.ErrorBars = ErrorGroup.ItemIndex();

  r.LegendLeft = LegendLeftCheck.Checked();
  r.LegendTop = LegendTopCheck.Checked();
  r.LegendBox = LegendBoxCheck.Checked();
  r.LabelTemplate = TemplateBox.Text();
  r.LabelAngle = ReadInteger(AngleBox.Text(), 0);
  if (LegendGroup.ItemIndex() >= 0) r.LegendType = static_cast<std::uint8_t>(LegendGroup.ItemIndex());

  // Bits the four boxes do not show are kept.
  int flags = r.InsetFlags & ~kInsetValueBits;
  if (InsetKDCheck.Checked()) flags |= kInsetKD;
  if (InsetKaCheck.Checked()) flags |= kInsetKa;
  if (InsetKdCheck.Checked()) flags |= kInsetKd;
  if (InsetKmCheck.Checked()) flags |= kInsetKm;
  const bool flagsChanged = flags != r.InsetFlags;
  r.InsetFlags = flags;
  r.InsetLeft = InsetLeftCheck.Checked();
  r.InsetTop = InsetTopCheck.Checked();
  r.InsetBox = InsetBoxCheck.Checked();
  r.InsetLines = SplitLines(InsetMemo.Text());
  return flagsChanged;
}

bool TGraphPropsDialog::Edit(TPlot& plot, TGraphPropData& record, bool resultPage, int& copyWidth,
                             int& copyHeight) {
  insetFlagsChanged_ = false;
  // The graph's state goes into a copy: Cancel leaves the record as it was.
  TGraphPropData working(record);
  plot.GetProperties(working);
  Fill(working, resultPage, copyWidth, copyHeight);
  if (ws_.ShowModal(Form) != ModalResult::Ok) {
    applyAll_ = false;
    return false;
  }
  if (!resultPage) applyAll_ = false;
  insetFlagsChanged_ = Store(working, copyWidth, copyHeight);
  static_cast<TGraphPropData&>(record) = working;
  plot.SetProperties(record);
  return true;
}

}  // namespace kelvaris

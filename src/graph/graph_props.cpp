#include "graph/graph_props.h"

#include <charconv>
#include <climits>
#include <iterator>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace kelvaris {

namespace {

// ---------------------------------------------------------------------------
// Defaults

// What sets the seven kinds apart; everything else is shared.
struct KindDefaults {
  bool ShowPoints;
  bool ShowCurve;
  float PointScale;
  bool LogX;
  bool ZeroLines;
  std::uint8_t LegendType;
  int ErrorBars;
  int LabelAngle;
  const char* LabelTemplate;
  const char* XTitle;
  const char* YTitle;
};

// Indexed by GraphType. The normalised sensorgram title is spelt as the
// program has always written it.
constexpr KindDefaults kKindDefaults[] = {
    {true, true, 1.0f, true, true, 2, 0, 0, "a, y", "Concentration (M)", "Response (RU)"},
    {true, false, 1.2f, true, true, 2, 2, 0, "a, y", "Concentration (M)", "Residual (RU)"},
    {true, true, 1.0f, true, true, 2, 0, 0, "a, y", "Concentration (M)", "Percent capacity (%)"},
    {false, true, 1.0f, false, true, 0, 0, 45, "x, y", "Time (s)", "Response (RU)"},
    {true, false, 1.0f, false, true, 0, 0, 45, "x, y", "Time (s)", "Residual (RU)"},
    {false, true, 1.0f, false, true, 0, 0, 45, "x, y", "Time (s)", "Precent capacity (%)"},
    {true, true, 1.0f, false, false, 0, 0, 90, "a, y", "Injection", "Response (RU)"},
};
constexpr int kKindCount = static_cast<int>(std::size(kKindDefaults));
static_assert(kKindCount == gtTrend + 1);

bool IsKind(int kind) { return kind >= 0 && kind < kKindCount; }

// ---------------------------------------------------------------------------
// Writing. Numbers go through std::to_chars, which never looks at the locale,
// with the precisions of the printf formats the block has always used.

void PutKey(std::string& out, std::string_view key) {
  out += key;
  out += ':';
}

void PutInt(std::string& out, std::string_view key, long long value, char end) {
  PutKey(out, key);
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
  out += end;
}

void PutBool(std::string& out, std::string_view key, bool value, char end) { PutInt(out, key, value ? 1 : 0, end); }

// "%.2f" and "%.4le"
void PutDouble(std::string& out, std::string_view key, double value, std::chars_format format, int precision,
               char end) {
  PutKey(out, key);
  char buf[400];  // fixed notation of the largest double needs 309 digits
  auto r = std::to_chars(buf, buf + sizeof buf, value, format, precision);
  if (r.ec == std::errc()) out.append(buf, r.ptr);
  out += end;
}

// The text with every `forbidden` character written as a blank.
void PutText(std::string& out, std::string_view key, std::string_view text, char forbidden, char end) {
  PutKey(out, key);
  const std::size_t start = out.size();
  out += text;
  for (std::size_t i = start; i < out.size(); ++i) {
    if (out[i] == forbidden) out[i] = ' ';
  }
  out += end;
}

// ---------------------------------------------------------------------------
// Reading

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A read position in the text that never passes its end. The number readers
// skip white space before the value and stop after it; what follows up to the
// next key is passed over by NextKey. A value that cannot be read gives nothing.
class Cursor {
 public:
  Cursor(std::string_view text, std::size_t pos) : text_(text), pos_(pos < text.size() ? pos : text.size()) {}

  std::size_t Pos() const { return pos_; }
  bool AtEnd() const { return pos_ >= text_.size(); }

  // Moves past the next ':' and gives the two characters before it (empty
  // when fewer were read); nothing when no ':' is left.
  std::optional<std::string_view> NextKey() {
    const std::size_t colon = text_.find(':', pos_);
    if (colon == std::string_view::npos) {
      pos_ = text_.size();
      return std::nullopt;
    }
    const std::size_t begin = pos_;
    pos_ = colon + 1;
    if (colon - begin < 2) return std::string_view();
    return text_.substr(colon - 2, 2);
  }

  // "%d": optional sign and decimal digits. A value outside int range is
  // passed over and gives nothing.
  std::optional<int> Int() {
    SkipSpace();
    std::size_t p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
    if (p >= text_.size() || !IsDigit(text_[p])) return std::nullopt;
    long long magnitude = 0;  // stops growing once past int range
    for (; p < text_.size() && IsDigit(text_[p]); ++p) {
      if (magnitude <= static_cast<long long>(INT_MAX) + 1) magnitude = magnitude * 10 + (text_[p] - '0');
    }
    pos_ = p;
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
  }

  // "%f" / "%le" with '.' as the decimal point. Infinities, NaN and values
  // out of double range give nothing: a range or scale must stay drawable.
  std::optional<double> Double() {
    SkipSpace();
    std::size_t p = pos_;
    if (p < text_.size() && text_[p] == '+') {
      ++p;
      if (p < text_.size() && text_[p] == '-') return std::nullopt;
    }
    double value = 0;
    auto r = std::from_chars(text_.data() + p, text_.data() + text_.size(), value, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return std::nullopt;
    pos_ = static_cast<std::size_t>(r.ptr - text_.data());
    if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
  }

  // The characters up to `stop` (or the end); the stop character is passed.
  std::string_view UpTo(char stop) {
    std::size_t end = text_.find(stop, pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string_view part = text_.substr(pos_, end - pos_);
    pos_ = end < text_.size() ? end + 1 : end;
    return part;
  }

  // Blanks up to and including one line feed: what ends the "ic:" line,
  // leaving blank or empty inset lines that follow as they are.
  void SkipLineEnd() {
    while (pos_ < text_.size() && text_[pos_] != '\n' && IsSpace(text_[pos_])) ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_;
};

struct IntKey {
  const char* key;
  int TGraphPropData::*field;
};
constexpr IntKey kIntKeys[] = {
    {"cf", &TGraphPropData::CompFcNum}, {"gt", &TGraphPropData::Type},       {"aw", &TGraphPropData::AxisWidth},
    {"cw", &TGraphPropData::CurveWidth}, {"mw", &TGraphPropData::ModelWidth}, {"pa", &TGraphPropData::LabelAngle},
    {"si", &TGraphPropData::InsetFlags}, {"eb", &TGraphPropData::ErrorBars},
};

struct BoolKey {
  const char* key;
  bool TGraphPropData::*field;
};
constexpr BoolKey kBoolKeys[] = {
    {"sc", &TGraphPropData::ShowCurve},  {"sp", &TGraphPropData::ShowPoints}, {"ax", &TGraphPropData::AutoX},
    {"ay", &TGraphPropData::AutoY},      {"lx", &TGraphPropData::LogX},       {"sz", &TGraphPropData::ZeroLines},
    {"af", &TGraphPropData::AutoFont},   {"pt", &TGraphPropData::ShowTitle},  {"ll", &TGraphPropData::LegendLeft},
    {"tl", &TGraphPropData::LegendTop},  {"bl", &TGraphPropData::LegendBox},  {"li", &TGraphPropData::InsetLeft},
    {"ti", &TGraphPropData::InsetTop},   {"bi", &TGraphPropData::InsetBox},
};

struct DoubleKey {
  const char* key;
  double TGraphPropData::*field;
};
constexpr DoubleKey kDoubleKeys[] = {
    {"xn", &TGraphPropData::XMin},
    {"xx", &TGraphPropData::XMax},
    {"yn", &TGraphPropData::YMin},
    {"yx", &TGraphPropData::YMax},
};

template <typename Entry>
const Entry* Find(const Entry* first, const Entry* last, std::string_view key) {
  for (const Entry* e = first; e != last; ++e) {
    if (key == e->key) return e;
  }
  return nullptr;
}

template <typename Table>
auto Find(const Table& table, std::string_view key) {
  return Find(std::begin(table), std::end(table), key);
}

// The font keys (other keys are passed over); the size clears the pixel
// height, so that the one of the two read last decides how big the font is.
void ReadFontKey(Font& font, std::string_view key, Cursor& in) {
  if (key == "fn") {
    font.name = std::string(in.UpTo('\t'));
    return;
  }
  int Font::*field = nullptr;
  if (key == "fr") field = &Font::charset;
  else if (key == "fh") field = &Font::height;
  else if (key == "fp") field = &Font::pitch;
  else if (key == "fz") field = &Font::size;
  if (field) {
    if (auto v = in.Int()) {
      font.*field = *v;
      if (field == &Font::size) font.height = 0;
    }
  } else if (key == "fc") {
    if (auto v = in.Int()) font.colour = static_cast<Colour>(*v);
  }
}

// "ic:": a count, then that many lines, each up to a line feed. The lines come
// from the text, so a count larger than the text holds stops at its end.
void ReadInsetLines(std::vector<std::string>& lines, Cursor& in) {
  const std::optional<int> count = in.Int();
  if (!count) return;
  in.SkipLineEnd();
  for (int i = 0; i < *count && !in.AtEnd(); ++i) lines.emplace_back(in.UpTo('\n'));
}

}  // namespace

// ---------------------------------------------------------------------------

std::unique_ptr<TGraphPropData> TGraphPropData::Clone() const { return std::make_unique<TGraphPropData>(*this); }

void TGraphPropData::SetDefaults() {}

void TGraphPropData::ApplyKindDefaults(GraphType kind) {
  const KindDefaults& d = kKindDefaults[IsKind(kind) ? kind : gtCurve];
  CompFcNum = 0;
  Type = kind;
  AxisWidth = CurveWidth = ModelWidth = 1;
  ShowCurve = d.ShowCurve;
  ShowPoints = d.ShowPoints;
  PointScale = d.PointScale;
  AutoX = AutoY = true;
  LogX = d.LogX;
  ZeroLines = d.ZeroLines;
  AutoFont = true;
  GraphFont = Font{};
  GraphFont.name = "Arial";
  GraphFont.size = 12;
  GraphFont.colour = colours::Black;
  XTitle = d.XTitle;
  YTitle = d.YTitle;
  ShowTitle = true;
  LegendType = d.LegendType;
  LegendLeft = LegendTop = false;
  LegendBox = true;
  LabelAngle = d.LabelAngle;
  LabelTemplate = d.LabelTemplate;
  InsetLines.clear();
  InsetFlags = 0;
  InsetLeft = false;
  InsetTop = InsetBox = true;
  ErrorBars = d.ErrorBars;
}

void TGraphPropData::WriteText(std::string& out) const {
  PutInt(out, "cf", CompFcNum, '\t');
  PutInt(out, "gt", Type, '\t');
  PutInt(out, "aw", AxisWidth, '\t');
  PutInt(out, "cw", CurveWidth, '\t');
  PutInt(out, "mw", ModelWidth, '\t');
  PutBool(out, "sc", ShowCurve, '\t');
  PutBool(out, "sp", ShowPoints, '\t');
  PutDouble(out, "ps", PointScale, std::chars_format::fixed, 2, '\t');
  PutBool(out, "ax", AutoX, '\t');
  PutBool(out, "ay", AutoY, '\t');
  PutBool(out, "lx", LogX, '\t');
  PutBool(out, "sz", ZeroLines, '\t');
  PutBool(out, "af", AutoFont, '\n');

  PutDouble(out, "xn", XMin, std::chars_format::scientific, 4, '\t');
  PutDouble(out, "xx", XMax, std::chars_format::scientific, 4, '\t');
  PutDouble(out, "yn", YMin, std::chars_format::scientific, 4, '\t');
  PutDouble(out, "yx", YMax, std::chars_format::scientific, 4, '\n');

  PutInt(out, "fr", GraphFont.charset, '\t');
  PutInt(out, "fc", static_cast<std::int32_t>(GraphFont.colour), '\t');
  PutInt(out, "fh", GraphFont.height, '\t');
  PutText(out, "fn", GraphFont.name, '\t', '\t');
  PutInt(out, "fp", GraphFont.pitch, '\t');
  PutInt(out, "fz", GraphFont.size, '\n');

  PutText(out, "xt", XTitle, '\t', '\t');
  PutText(out, "yt", YTitle, '\t', '\t');
  PutBool(out, "pt", ShowTitle, '\n');

  PutInt(out, "lt", LegendType, '\t');
  PutBool(out, "ll", LegendLeft, '\t');
  PutBool(out, "tl", LegendTop, '\t');
  PutBool(out, "bl", LegendBox, '\t');
  PutInt(out, "pa", LabelAngle, '\t');
  PutText(out, "pl", LabelTemplate, '\n', '\n');

  PutInt(out, "si", InsetFlags, '\t');
  PutBool(out, "li", InsetLeft, '\t');
  PutBool(out, "ti", InsetTop, '\t');
  PutBool(out, "bi", InsetBox, '\t');
  PutInt(out, "eb", ErrorBars, '\t');
  PutInt(out, "ic", static_cast<long long>(InsetLines.size()), '\n');
  for (const std::string& line : InsetLines) {
    const std::size_t start = out.size();
    out += line;
    for (std::size_t i = start; i < out.size(); ++i) {
      if (out[i] == '\n') out[i] = ' ';
    }
    out += '\n';
  }

  out += "en:\n\n";
}

std::size_t TGraphPropData::ReadText(std::string_view text, std::size_t pos) {
  Cursor in(text, pos);
  while (std::optional<std::string_view> key = in.NextKey()) {
    if (*key == "en") break;
    if (const IntKey* k = Find(kIntKeys, *key)) {
      if (auto v = in.Int()) this->*(k->field) = *v;
    } else if (const BoolKey* k = Find(kBoolKeys, *key)) {
      if (auto v = in.Int()) this->*(k->field) = *v != 0;
    } else if (const DoubleKey* k = Find(kDoubleKeys, *key)) {
      if (auto v = in.Double()) this->*(k->field) = *v;
    } else if (*key == "ps") {
      auto v = in.Double();
      if (v && std::fabs(*v) <= std::numeric_limits<float>::max()) PointScale = static_cast<float>(*v);
    } else if (*key == "lt") {
      auto v = in.Int();
      if (v && *v >= 0 && *v <= 0xff) LegendType = static_cast<std::uint8_t>(*v);
    } else if (*key == "xt") {
      XTitle = std::string(in.UpTo('\t'));
    } else if (*key == "yt") {
      YTitle = std::string(in.UpTo('\t'));
    } else if (*key == "pl") {
      LabelTemplate = std::string(in.UpTo('\n'));
    } else if (*key == "ic") {
      ReadInsetLines(InsetLines, in);
    } else {
      ReadFontKey(GraphFont, *key, in);
    }
  }
  return in.Pos();
}

std::unique_ptr<TGraphPropData> MakeGraphProps(GraphType kind) {
  switch (kind) {
    case gtBound: return std::make_unique<TBoundPropData>();
    case gtBoundRes: return std::make_unique<TBoundResPropData>();
    case gtBoundNorm: return std::make_unique<TBoundNormPropData>();
    case gtCurve: return std::make_unique<TCurvePropData>();
    case gtCurveRes: return std::make_unique<TCurveResPropData>();
    case gtCurveNorm: return std::make_unique<TCurveNormPropData>();
    case gtTrend: return std::make_unique<TTrendPropData>();
  }
  auto plain = std::make_unique<TGraphPropData>();
  plain->Type = kind;
  return plain;
}

}  // namespace kelvaris

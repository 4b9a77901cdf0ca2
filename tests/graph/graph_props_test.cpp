#include "graph/graph_props.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace kelvaris {
namespace {

// ---------------------------------------------------------------------------
// Defaults

struct KindCase {
  std::function<std::unique_ptr<TGraphPropData>()> make;
  GraphType kind;
  bool showPoints, showCurve;
  float pointScale;
  bool logX, zeroLines;
  int legendType, errorBars, labelAngle;
  const char* labelTemplate;
  const char* xTitle;
  const char* yTitle;
};

template <typename T>
std::unique_ptr<TGraphPropData> Make() {
  return std::make_unique<T>();
}

const std::vector<KindCase> kKinds = {
    {Make<TBoundPropData>, gtBound, true, true, 1.0f, true, true, 2, 0, 0, "a, y", "Concentration (M)",
     "Response (RU)"},
    {Make<TBoundResPropData>, gtBoundRes, true, false, 1.2f, true, true, 2, 2, 0, "a, y", "Concentration (M)",
     "Residual (RU)"},
    {Make<TBoundNormPropData>, gtBoundNorm, true, true, 1.0f, true, true, 2, 0, 0, "a, y", "Concentration (M)",
     "Percent capacity (%)"},
    {Make<TCurvePropData>, gtCurve, false, true, 1.0f, false, true, 0, 0, 45, "x, y", "Time (s)", "Response (RU)"},
    {Make<TCurveResPropData>, gtCurveRes, true, false, 1.0f, false, true, 0, 0, 45, "x, y", "Time (s)",
     "Residual (RU)"},
    {Make<TCurveNormPropData>, gtCurveNorm, false, true, 1.0f, false, true, 0, 0, 45, "x, y", "Time (s)",
     "Precent capacity (%)"},
    {Make<TTrendPropData>, gtTrend, true, true, 1.0f, false, false, 0, 0, 90, "a, y", "Injection", "Response (RU)"},
};

void ExpectKindDefaults(const TGraphPropData& p, const KindCase& c) {
  SCOPED_TRACE("kind " + std::to_string(c.kind));
  EXPECT_EQ(p.Type, c.kind);
  EXPECT_EQ(p.ShowPoints, c.showPoints);
  EXPECT_EQ(p.ShowCurve, c.showCurve);
  EXPECT_EQ(p.PointScale, c.pointScale);
  EXPECT_EQ(p.LogX, c.logX);
  EXPECT_EQ(p.ZeroLines, c.zeroLines);
  EXPECT_EQ(p.LegendType, c.legendType);
  EXPECT_EQ(p.ErrorBars, c.errorBars);
  EXPECT_EQ(p.LabelAngle, c.labelAngle);
  EXPECT_EQ(p.LabelTemplate, c.labelTemplate);
  EXPECT_EQ(p.XTitle, c.xTitle);
  EXPECT_EQ(p.YTitle, c.yTitle);
  // Shared by every kind.
  EXPECT_EQ(p.CompFcNum, 0);
  EXPECT_EQ(p.AxisWidth, 1);
  EXPECT_EQ(p.CurveWidth, 1);
  EXPECT_EQ(p.ModelWidth, 1);
  EXPECT_TRUE(p.AutoX);
  EXPECT_TRUE(p.AutoY);
  EXPECT_TRUE(p.AutoFont);
  EXPECT_EQ(p.GraphFont.name, "Arial");
  EXPECT_EQ(p.GraphFont.size, 12);
  EXPECT_EQ(p.GraphFont.height, 0);
  EXPECT_EQ(p.GraphFont.colour, colours::Black);
  EXPECT_TRUE(p.ShowTitle);
  EXPECT_FALSE(p.LegendLeft);
  EXPECT_FALSE(p.LegendTop);
  EXPECT_TRUE(p.LegendBox);
  EXPECT_EQ(p.InsetFlags, 0);
  EXPECT_FALSE(p.InsetLeft);
  EXPECT_TRUE(p.InsetTop);
  EXPECT_TRUE(p.InsetBox);
  EXPECT_TRUE(p.InsetLines.empty());
}

TEST(GraphPropsDefaults, EachKindStartsWithItsLook) {
  for (const KindCase& c : kKinds) {
    std::unique_ptr<TGraphPropData> p = c.make();
    ExpectKindDefaults(*p, c);

    std::unique_ptr<TGraphPropData> made = MakeGraphProps(c.kind);
    EXPECT_EQ(typeid(*made), typeid(*p)) << "kind " << c.kind;
    EXPECT_EQ(*made, *p) << "kind " << c.kind;
  }
}

TEST(GraphPropsDefaults, SetDefaultsRestoresTheLookButKeepsTheRanges) {
  for (const KindCase& c : kKinds) {
    std::unique_ptr<TGraphPropData> p = c.make();
    TGraphPropData changed;  // zeroed: a base record has no defaults
    changed.XMin = -9;
    changed.XMax = -4;
    changed.YMin = 1;
    changed.YMax = 2;
    changed.InsetLines = {"left over"};
    changed.GraphFont.height = -20;
    changed.GraphFont.charset = 0;
    *p = changed;  // the base part is the whole record
    p->SetDefaults();
    ExpectKindDefaults(*p, c);
    EXPECT_EQ(p->GraphFont.charset, Font{}.charset);
    EXPECT_EQ(p->XMin, -9);
    EXPECT_EQ(p->XMax, -4);
    EXPECT_EQ(p->YMin, 1);
    EXPECT_EQ(p->YMax, 2);
  }
}

TEST(GraphPropsDefaults, CloneKeepsTheKindAndEveryField) {
  TBoundResPropData p;
  p.CompFcNum = 3;
  p.InsetLines = {"KD"};
  p.YMax = 7;
  std::unique_ptr<TGraphPropData> copy = p.Clone();
  EXPECT_EQ(typeid(*copy), typeid(TBoundResPropData));
  EXPECT_EQ(*copy, p);
  copy->SetDefaults();  // still the residual Kd defaults
  EXPECT_EQ(copy->ErrorBars, 2);
  EXPECT_EQ(copy->PointScale, 1.2f);

  const TGraphPropData plain;
  std::unique_ptr<TGraphPropData> plainCopy = plain.Clone();
  EXPECT_EQ(typeid(*plainCopy), typeid(TGraphPropData));
}

TEST(GraphPropsDefaults, UnknownKindGivesAPlainRecord) {
  std::unique_ptr<TGraphPropData> p = MakeGraphProps(static_cast<GraphType>(9));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(typeid(*p), typeid(TGraphPropData));
  EXPECT_EQ(p->Type, 9);
}

// ---------------------------------------------------------------------------
// Text form

std::string Written(const TGraphPropData& p) {
  std::string s;
  p.WriteText(s);
  return s;
}

TEST(GraphPropsText, WritesTheExactBlock) {
  TBoundResPropData p;
  p.CompFcNum = 2;
  p.XMin = -9.123456;
  p.XMax = -4;
  p.YMin = -0.5;
  p.YMax = 123456.7;
  p.GraphFont.colour = 0x80000008u;  // colours are written as signed numbers
  p.InsetLines = {"Rmax 12", ""};

  std::string out = "ResultProps: 1\n";
  p.WriteText(out);
  EXPECT_EQ(out,
            "ResultProps: 1\n"
            "cf:2\tgt:1\taw:1\tcw:1\tmw:1\tsc:0\tsp:1\tps:1.20\tax:1\tay:1\tlx:1\tsz:1\taf:1\n"
            "xn:-9.1235e+00\txx:-4.0000e+00\tyn:-5.0000e-01\tyx:1.2346e+05\n"
            "fr:1\tfc:-2147483640\tfh:0\tfn:Arial\tfp:0\tfz:12\n"
            "xt:Concentration (M)\tyt:Residual (RU)\tpt:1\n"
            "lt:2\tll:0\ttl:0\tbl:1\tpa:0\tpl:a, y\n"
            "si:0\tli:0\tti:1\tbi:1\teb:2\tic:2\n"
            "Rmax 12\n"
            "\n"
            "en:\n\n");
}

// Every field away from its default, texts with blanks, colons and an empty
// inset line where a careless reader would lose them.
TGraphPropData EveryFieldSet() {
  TGraphPropData p;
  p.CompFcNum = 5;
  p.Type = gtCurveNorm;
  p.AxisWidth = 2;
  p.CurveWidth = 3;
  p.ModelWidth = 4;
  p.ShowCurve = true;
  p.ShowPoints = true;
  p.PointScale = 1.234f;
  p.AutoX = true;
  p.AutoY = false;
  p.LogX = true;
  p.ZeroLines = true;
  p.XMin = -7.123456;
  p.XMax = 3.999996e-12;
  p.YMin = -123456789.0;
  p.YMax = 0.000123454;
  p.AutoFont = true;
  p.GraphFont.name = "Liberation Serif";
  p.GraphFont.size = 9;
  p.GraphFont.colour = 0x00123456;
  p.GraphFont.charset = 0;
  p.GraphFont.pitch = 2;
  p.XTitle = "log [A] (M)";
  p.YTitle = "R: bound\nsecond line";  // a line feed is fine inside a title
  p.ShowTitle = true;
  p.LegendType = 1;
  p.LegendLeft = true;
  p.LegendTop = true;
  p.LegendBox = true;
  p.LabelAngle = -30;
  p.LabelTemplate = "n:\ti, l";
  p.InsetLines = {"", "  KD = 1.2e-9", "en:", "xn:5"};
  p.InsetFlags = kInsetKD | kInsetKm;
  p.InsetLeft = true;
  p.InsetTop = true;
  p.InsetBox = true;
  p.ErrorBars = 3;
  return p;
}

TEST(GraphPropsText, RoundTripKeepsEveryField) {
  const TGraphPropData p = EveryFieldSet();
  const std::string text = Written(p);

  TTrendPropData back;  // reading replaces the defaults
  EXPECT_EQ(back.ReadText(text), text.size() - 2);  // just after "en:"

  TGraphPropData expected = p;
  expected.PointScale = 1.23f;  // 2 decimals
  expected.XMin = -7.1235;      // 5 significant digits
  expected.XMax = 4.0000e-12;
  expected.YMin = -1.2346e8;
  expected.YMax = 0.00012345;
  EXPECT_EQ(back, expected);
  EXPECT_EQ(back.InsetLines, expected.InsetLines);
  EXPECT_EQ(back.YTitle, expected.YTitle);
  EXPECT_EQ(back.LabelTemplate, expected.LabelTemplate);
}

TEST(GraphPropsText, KeysInAnyOrderAndMissingKeysKeepTheirValues) {
  TCurvePropData p;
  p.YMax = 42;
  const std::string text =
      "yt:Signal\tic:1\nfirst\neb:1\tpl:i\n"
      "lx:1\tfz:20\tgt:6\n"
      "sp:1\ten:\n\n";
  EXPECT_EQ(p.ReadText(text), text.size() - 2);

  EXPECT_EQ(p.YTitle, "Signal");
  EXPECT_EQ(p.InsetLines, std::vector<std::string>{"first"});
  EXPECT_EQ(p.ErrorBars, 1);
  EXPECT_EQ(p.LabelTemplate, "i");
  EXPECT_TRUE(p.LogX);
  EXPECT_EQ(p.GraphFont.size, 20);
  EXPECT_EQ(p.Type, gtTrend);
  EXPECT_TRUE(p.ShowPoints);
  // Not in the block: as before.
  EXPECT_EQ(p.XTitle, "Time (s)");
  EXPECT_EQ(p.LabelAngle, 45);
  EXPECT_EQ(p.YMax, 42);
  EXPECT_EQ(p.GraphFont.name, "Arial");
}

TEST(GraphPropsText, InsetLinesAreAppended) {
  TCurvePropData p;
  p.InsetLines = {"kept"};
  p.ReadText("ic:2\nnew 1\nnew 2\nen:");
  EXPECT_EQ(p.InsetLines, (std::vector<std::string>{"kept", "new 1", "new 2"}));
}

TEST(GraphPropsText, UnknownKeysAndUnreadableValuesAreSkipped) {
  TCurvePropData p;
  p.ReadText(
      "header line: ignored\tzz:17\tx:1\tcf:3\n"
      "aw:abc\tcw:\tmw:7\n"
      "q:\tgarbage without colon\tsz:0 trailing\tpa:12\ten:");
  EXPECT_EQ(p.CompFcNum, 3);
  EXPECT_EQ(p.AxisWidth, 1);   // "abc" is not a number
  EXPECT_EQ(p.CurveWidth, 1);  // nothing before the next key
  EXPECT_EQ(p.ModelWidth, 7);
  EXPECT_FALSE(p.ZeroLines);
  EXPECT_EQ(p.LabelAngle, 12);
}

struct NumberCase {
  const char* text;
  int axisWidth;
  double xMin;
  float pointScale;
  int legendType;
  const char* reason;
};

TEST(GraphPropsText, NumbersAreReadStrictlyAndWithAPoint) {
  // Start values: aw 1, xn 0.5, ps 1.0, lt 0 (a sensorgram record).
  const std::vector<NumberCase> cases = {
      {"aw:+7\t", 7, 0.5, 1.0f, 0, "leading plus"},
      {"aw:\t -3\n", -3, 0.5, 1.0f, 0, "white space before the value"},
      {"aw:7", 7, 0.5, 1.0f, 0, "value at the very end"},
      {"aw:2147483647\t", 2147483647, 0.5, 1.0f, 0, "largest int"},
      {"aw:2147483648\t", 1, 0.5, 1.0f, 0, "int overflow keeps the value"},
      {"aw:-99999999999999999999\t", 1, 0.5, 1.0f, 0, "huge negative keeps the value"},
      {"aw:12x\t", 12, 0.5, 1.0f, 0, "digits before junk"},
      {"xn:-1.5e-3\t", 1, -0.0015, 1.0f, 0, "exponent"},
      {"xn:+2.\t", 1, 2.0, 1.0f, 0, "plus and trailing point"},
      {"xn:1e400\t", 1, 0.5, 1.0f, 0, "out of range keeps the value"},
      {"xn:inf\t", 1, 0.5, 1.0f, 0, "infinity keeps the value"},
      {"xn:nan\t", 1, 0.5, 1.0f, 0, "NaN keeps the value"},
      {"xn:+-1\t", 1, 0.5, 1.0f, 0, "two signs"},
      {"xn:1,5e2\t", 1, 1.0, 1.0f, 0, "a comma is not a decimal point"},
      {"ps:2.50\t", 1, 0.5, 2.5f, 0, "point scale"},
      {"ps:1e39\t", 1, 0.5, 1.0f, 0, "beyond float range keeps the value"},
      {"lt:2\t", 1, 0.5, 1.0f, 2, "legend type"},
      {"lt:300\t", 1, 0.5, 1.0f, 0, "beyond a byte keeps the value"},
      {"lt:-1\t", 1, 0.5, 1.0f, 0, "negative keeps the value"},
  };
  for (const NumberCase& c : cases) {
    TCurvePropData p;
    p.XMin = 0.5;
    p.ReadText(c.text);
    EXPECT_EQ(p.AxisWidth, c.axisWidth) << c.reason;
    EXPECT_EQ(p.XMin, c.xMin) << c.reason;
    EXPECT_EQ(p.PointScale, c.pointScale) << c.reason;
    EXPECT_EQ(p.LegendType, c.legendType) << c.reason;
  }
}

TEST(GraphPropsText, TheFontSizeOrHeightReadLastDecides) {
  struct Case {
    const char* text;
    int size, height;
  };
  const std::vector<Case> cases = {
      {"fh:-16\tfz:10\n", 10, 0},  // as written: the size decides
      {"fz:10\tfh:-16\n", 10, -16},
      {"fh:-16\n", 12, -16},
  };
  for (const Case& c : cases) {
    TCurvePropData p;
    p.ReadText(c.text);
    EXPECT_EQ(p.GraphFont.size, c.size) << c.text;
    EXPECT_EQ(p.GraphFont.height, c.height) << c.text;
  }
  TCurvePropData p;
  p.ReadText("fc:-1\tfr:0\tfp:1\tfn:Liberation Mono");
  EXPECT_EQ(p.GraphFont.colour, 0xFFFFFFFFu);
  EXPECT_EQ(p.GraphFont.charset, 0);
  EXPECT_EQ(p.GraphFont.pitch, 1);
  EXPECT_EQ(p.GraphFont.name, "Liberation Mono");  // a name running to the end
}

TEST(GraphPropsText, TextsThatWouldEndEarlyAreWrittenWithBlanks) {
  TCurvePropData p;
  p.XTitle = "a\tcf:9";
  p.GraphFont.name = "Odd\tgt:5";
  p.LabelTemplate = "x\nsi:31";
  p.InsetLines = {"one\ntwo", "three"};
  const std::string text = Written(p);

  TCurvePropData back;
  back.ReadText(text);
  EXPECT_EQ(back.CompFcNum, 0);
  EXPECT_EQ(back.Type, gtCurve);
  EXPECT_EQ(back.InsetFlags, 0);
  EXPECT_EQ(back.XTitle, "a cf:9");
  EXPECT_EQ(back.GraphFont.name, "Odd gt:5");
  EXPECT_EQ(back.LabelTemplate, "x si:31");
  EXPECT_EQ(back.InsetLines, (std::vector<std::string>{"one two", "three"}));
}

TEST(GraphPropsText, InsetCountsBeyondTheTextStopAtItsEnd) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
    int eb;  // set after the lines, when any are left to read
  };
  const std::vector<Case> cases = {
      {"ic:2147483647\nonly\n", {"only"}, 0},
      {"ic:2147483647\nonly", {"only"}, 0},
      {"ic:99999999999999999999\neb:3\n", {}, 3},  // an unreadable count reads no lines
      {"ic:-5\neb:3\n", {}, 3},
      {"ic:\teb:3\n", {}, 3},
      {"ic:1\t \n\neb:3\n", {""}, 3},  // blanks end the count's line; the empty line is kept
      {"ic:1 same line\neb:3\n", {"same line"}, 3},
  };
  for (const Case& c : cases) {
    TCurvePropData p;
    const std::string text = c.text;
    EXPECT_EQ(p.ReadText(text), text.size()) << c.text;
    EXPECT_EQ(p.InsetLines, c.lines) << c.text;
    EXPECT_EQ(p.ErrorBars, c.eb) << c.text;
  }
}

TEST(GraphPropsText, BlocksReadOneAfterAnother) {
  TBoundPropData first;
  first.CompFcNum = 1;
  TCurvePropData second;
  second.CompFcNum = 2;
  std::string text = "ResultProps: 2\n";
  first.WriteText(text);
  second.WriteText(text);
  text += "PointLabels: 0\n";

  TGraphPropData a, b;
  const std::size_t afterA = a.ReadText(text, 0);
  const std::size_t afterB = b.ReadText(text, afterA);
  EXPECT_EQ(a, first);
  EXPECT_EQ(b, second);
  EXPECT_EQ(text.substr(afterB), "\n\nPointLabels: 0\n");

  TGraphPropData untouched;
  EXPECT_EQ(untouched.ReadText(text, text.size() + 100), text.size());
  EXPECT_EQ(untouched, TGraphPropData());
}

TEST(GraphPropsText, SurvivesTruncationAndGarbage) {
  const std::string full = Written(EveryFieldSet());
  const std::size_t end = full.size() - 2;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    TCurvePropData p;
    const std::size_t stop = p.ReadText(std::string_view(full.data(), n));
    EXPECT_EQ(stop, n < end ? n : end) << "prefix of " << n;
  }

  // Bytes from a fixed sequence, with the block's own characters favoured.
  const char kBytes[] = "cfgtawxnyxicen:\t\n-+.e0123456789 \r\0\x1a\xff";
  const std::string alphabet(kBytes, sizeof kBytes - 1);
  std::uint32_t state = 12345;
  for (int round = 0; round < 200; ++round) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
      state = state * 1664525u + 1013904223u;
      text += alphabet[(state >> 16) % alphabet.size()];
    }
    TCurvePropData p;
    EXPECT_LE(p.ReadText(text), text.size());
    EXPECT_LE(p.InsetLines.size(), text.size());
  }
}

}  // namespace
}  // namespace kelvaris

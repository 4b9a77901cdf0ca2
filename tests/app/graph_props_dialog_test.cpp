#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/application.h"
#include "app/graph_props_dialog.h"
#include "graph/plot.h"
#include "model/numbers.h"
#include "platform/headless_window_system.h"

namespace kelvaris {
namespace {

// A record in which every field differs from a zeroed record and from the
// default look, so that a field stored from the wrong control shows.
TGraphPropData Unusual(int type, bool logX) {
  TGraphPropData r;
  r.CompFcNum = 3;
  r.Type = type;
  r.AxisWidth = 2;
  r.CurveWidth = 3;
  r.ModelWidth = 4;
  r.ShowCurve = true;
  r.ShowPoints = false;
  r.PointScale = 1.5f;
  r.AutoX = false;
  r.AutoY = true;
  r.LogX = logX;
  r.ZeroLines = true;
  r.XMin = logX ? -7.123456789 : 1.234567;
  r.XMax = logX ? -3.5 : 45.678;
  r.YMin = -1.2345;
  r.YMax = 98.765;
  r.AutoFont = false;
  r.GraphFont.name = "Courier New";
  r.GraphFont.size = 14;
  r.GraphFont.colour = colours::Red;
  r.XTitle = "Conc";
  r.YTitle = "RU";
  r.ShowTitle = false;
  r.LegendType = 1;
  r.LegendLeft = true;
  r.LegendTop = false;
  r.LegendBox = true;
  r.LabelAngle = 30;
  r.LabelTemplate = "n, y";
  r.InsetLines = {"first", "second"};
  r.InsetFlags = kInsetKD | kInsetKm | 0x100;
  r.InsetLeft = true;
  r.InsetTop = false;
  r.InsetBox = true;
  r.ErrorBars = 3;
  return r;
}

class GraphPropsDialogTest : public ::testing::Test {
 protected:
  // Fills from `r`, lets `act` play the user, and returns what Store makes of it.
  TGraphPropData Round(const TGraphPropData& r, const std::function<void(TGraphPropsDialog&)>& act,
                       bool resultPage = true) {
    dlg.Fill(r, resultPage, copyWidth, copyHeight);
    if (act) act(dlg);
    TGraphPropData out = r;
    flagsChanged = dlg.Store(out, copyWidth, copyHeight);
    return out;
  }

  HeadlessWindowSystem ws;
  TGraphPropsDialog dlg{ws};
  int copyWidth = 800;
  int copyHeight = 500;
  bool flagsChanged = false;
};

TEST_F(GraphPropsDialogTest, RangeBoxesShowTheKindsNumberForms) {
  struct Case {
    int type;
    bool logX;
    double xmin, xmax, ymin, ymax;
    char separator;
    const char *xminText, *xmaxText, *yminText, *ymaxText;
  } cases[] = {
      // A logarithmic axis shows concentrations, not their logarithms.
      {gtBound, true, -7, std::log10(2.5e-5), 0, 123.456, '.', "1.00e-7", "2.50e-5", "0.00", "123.46"},
      {gtBoundNorm, false, 1.234e-6, 1500, -0.004, 100, '.', "1.23e-6", "1.50e+3", "0.00", "100.00"},
      {gtBoundRes, true, 0, 1, -2.5, 2.5, ',', "1,00e+0", "1,00e+1", "-2,50", "2,50"},
      {gtCurve, false, -12.5, 300.126, 0, 1e6, '.', "-12.50", "300.13", "0.00", "1000000.00"},
      // Only a Kd graph draws its axis logarithmic.
      {gtCurveNorm, true, -2, 3, 0, 1, '.', "-2.00", "3.00", "0.00", "1.00"},
      {gtTrend, false, 1, 12, 0, 1, '.', "1.00", "12.00", "0.00", "1.00"},
  };
  for (const Case& c : cases) {
    ScopedDecimalSeparator separator(c.separator);
    TGraphPropData r = Unusual(c.type, c.logX);
    r.XMin = c.xmin;
    r.XMax = c.xmax;
    r.YMin = c.ymin;
    r.YMax = c.ymax;
    dlg.Fill(r, false, 1000, 600);
    EXPECT_EQ(dlg.XMinBox.Text(), c.xminText) << c.type;
    EXPECT_EQ(dlg.XMaxBox.Text(), c.xmaxText) << c.type;
    EXPECT_EQ(dlg.YMinBox.Text(), c.yminText) << c.type;
    EXPECT_EQ(dlg.YMaxBox.Text(), c.ymaxText) << c.type;
  }
}

TEST_F(GraphPropsDialogTest, FillShowsTheRecordAndUntouchedControlsStoreItBackUnchanged) {
  for (bool logX : {false, true}) {
    const TGraphPropData r = Unusual(logX ? gtBound : gtCurve, logX);
    const TGraphPropData stored = Round(r, nullptr);
    EXPECT_EQ(stored, r) << "log axis " << logX;
    EXPECT_FALSE(flagsChanged);
  }
  EXPECT_EQ(copyWidth, 800);
  EXPECT_EQ(copyHeight, 500);
  EXPECT_EQ(dlg.LegendGroup.ItemText(), "Label");
  EXPECT_EQ(dlg.ErrorGroup.ItemText(), "Std dev");
  EXPECT_EQ(dlg.FontGroup.ItemText(), "Set");
  EXPECT_EQ(dlg.PointScaleBox.Text(), "1.5");
  EXPECT_EQ(dlg.InsetMemo.Text(), "first\nsecond");
  EXPECT_EQ(dlg.CopyWidthBox.Text(), "800");
  EXPECT_TRUE(dlg.InsetKDCheck.Checked());
  EXPECT_FALSE(dlg.InsetKaCheck.Checked());
  EXPECT_TRUE(dlg.InsetKmCheck.Checked());
}

TEST_F(GraphPropsDialogTest, EachControlStoresIntoItsOwnField) {
  using Dlg = TGraphPropsDialog;
  struct Case {
    const char* what;
    std::function<void(Dlg&)> act;
    std::function<void(TGraphPropData&)> expect;
  } cases[] = {
      {"auto y", [](Dlg& d) { d.AutoYCheck.UserClick(); }, [](TGraphPropData& r) { r.AutoY = false; }},
      {"auto x", [](Dlg& d) { d.AutoXCheck.UserClick(); }, [](TGraphPropData& r) { r.AutoX = true; }},
      {"x title", [](Dlg& d) { d.XTitleBox.UserSetText("t (s)"); }, [](TGraphPropData& r) { r.XTitle = "t (s)"; }},
      {"y title", [](Dlg& d) { d.YTitleBox.UserSetText("R"); }, [](TGraphPropData& r) { r.YTitle = "R"; }},
      {"title", [](Dlg& d) { d.TitleCheck.UserClick(); }, [](TGraphPropData& r) { r.ShowTitle = true; }},
      {"legend", [](Dlg& d) { d.LegendGroup.UserSelect(2); }, [](TGraphPropData& r) { r.LegendType = 2; }},
      {"no legend", [](Dlg& d) { d.LegendGroup.UserSelect(0); }, [](TGraphPropData& r) { r.LegendType = 0; }},
      {"legend left", [](Dlg& d) { d.LegendLeftCheck.UserClick(); },
       [](TGraphPropData& r) { r.LegendLeft = false; }},
      {"legend top", [](Dlg& d) { d.LegendTopCheck.UserClick(); }, [](TGraphPropData& r) { r.LegendTop = true; }},
      {"legend box", [](Dlg& d) { d.LegendBoxCheck.UserClick(); },
       [](TGraphPropData& r) { r.LegendBox = false; }},
      {"angle", [](Dlg& d) { d.AngleBox.UserSetText("-45"); }, [](TGraphPropData& r) { r.LabelAngle = -45; }},
      {"template", [](Dlg& d) { d.TemplateBox.UserSetText("i"); }, [](TGraphPropData& r) { r.LabelTemplate = "i"; }},
      {"inset lines", [](Dlg& d) { d.InsetMemo.UserSetText("a\r\n\nb\n"); },
       [](TGraphPropData& r) { r.InsetLines = {"a", "", "b"}; }},
      {"inset emptied", [](Dlg& d) { d.InsetMemo.UserSetText(""); }, [](TGraphPropData& r) { r.InsetLines.clear(); }},
      {"inset left", [](Dlg& d) { d.InsetLeftCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetLeft = false; }},
      {"inset top", [](Dlg& d) { d.InsetTopCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetTop = true; }},
      {"inset box", [](Dlg& d) { d.InsetBoxCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetBox = false; }},
      {"KD", [](Dlg& d) { d.InsetKDCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetFlags &= ~kInsetKD; }},
      {"ka", [](Dlg& d) { d.InsetKaCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetFlags |= kInsetKa; }},
      {"kd", [](Dlg& d) { d.InsetKdCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetFlags |= kInsetKd; }},
      {"km", [](Dlg& d) { d.InsetKmCheck.UserClick(); }, [](TGraphPropData& r) { r.InsetFlags &= ~kInsetKm; }},
      {"auto font", [](Dlg& d) { d.FontGroup.UserSelect(0); }, [](TGraphPropData& r) { r.AutoFont = true; }},
      {"axis width", [](Dlg& d) { d.AxisWidthBox.UserSetText("5"); }, [](TGraphPropData& r) { r.AxisWidth = 5; }},
      {"curve width", [](Dlg& d) { d.CurveWidthBox.UserSetText("6"); }, [](TGraphPropData& r) { r.CurveWidth = 6; }},
      {"model width", [](Dlg& d) { d.ModelWidthBox.UserSetText("0"); }, [](TGraphPropData& r) { r.ModelWidth = 0; }},
      {"point scale", [](Dlg& d) { d.PointScaleBox.UserSetText("0,5"); },
       [](TGraphPropData& r) { r.PointScale = 0.5f; }},
      {"points", [](Dlg& d) { d.ShowPointsCheck.UserClick(); }, [](TGraphPropData& r) { r.ShowPoints = true; }},
      {"curve", [](Dlg& d) { d.ShowCurveCheck.UserClick(); }, [](TGraphPropData& r) { r.ShowCurve = false; }},
      {"zero lines", [](Dlg& d) { d.ZeroLinesCheck.UserClick(); }, [](TGraphPropData& r) { r.ZeroLines = false; }},
      {"error bars", [](Dlg& d) { d.ErrorGroup.UserSelect(1); }, [](TGraphPropData& r) { r.ErrorBars = 1; }},
  };
  const TGraphPropData r = Unusual(gtCurve, false);
  for (const Case& c : cases) {
    TGraphPropData expected = r;
    c.expect(expected);
    EXPECT_EQ(Round(r, c.act), expected) << c.what;
    EXPECT_EQ(flagsChanged, expected.InsetFlags != r.InsetFlags) << c.what;
  }
}

TEST_F(GraphPropsDialogTest, UnreadableEntriesFallBackToTheirDefaults) {
  struct Case {
    const char* text;
    int width, copyWidth, copyHeight, angle;
    float scale;
  } cases[] = {
      {"", 1, 1000, 600, 0, 1.0f},
      {"abc", 1, 1000, 600, 0, 1.0f},
      {"2.5", 1, 1000, 600, 0, 2.5f},  // no whole number
      {"-3", 1, 1000, 600, -3, 1.0f},  // no negative pen, size or scale
      {"0", 0, 1000, 600, 0, 0.0f},
      {" 7 ", 7, 7, 7, 7, 7.0f},
      {"20000", 20000, kMaxCopySize, kMaxCopySize, 20000, 20000.0f},
      {"99999999999", 1, 1000, 600, 0, 99999999999.0f},
  };
  for (const Case& c : cases) {
    const TGraphPropData r = Round(Unusual(gtCurve, false), [&](TGraphPropsDialog& d) {
      for (EditBox* box : {&d.AxisWidthBox, &d.CurveWidthBox, &d.ModelWidthBox, &d.CopyWidthBox, &d.CopyHeightBox,
                           &d.AngleBox, &d.PointScaleBox})
        box->UserSetText(c.text);
    });
    EXPECT_EQ(r.AxisWidth, c.width) << '"' << c.text << '"';
    EXPECT_EQ(r.CurveWidth, c.width) << c.text;
    EXPECT_EQ(r.ModelWidth, c.width) << c.text;
    EXPECT_EQ(copyWidth, c.copyWidth) << c.text;
    EXPECT_EQ(copyHeight, c.copyHeight) << c.text;
    EXPECT_EQ(r.LabelAngle, c.angle) << c.text;
    EXPECT_FLOAT_EQ(r.PointScale, c.scale) << c.text;
  }
}

TEST_F(GraphPropsDialogTest, TypingIntoARangeBoxFixesOnlyThatAxis) {
  struct Case {
    EditBox TGraphPropsDialog::*box;
    bool autoX, autoY;
  } cases[] = {
      {&TGraphPropsDialog::XMinBox, false, true},
      {&TGraphPropsDialog::XMaxBox, false, true},
      {&TGraphPropsDialog::YMinBox, true, false},
      {&TGraphPropsDialog::YMaxBox, true, false},
  };
  TGraphPropData r = Unusual(gtCurve, false);
  r.AutoX = r.AutoY = true;
  for (const Case& c : cases) {
    dlg.Fill(r, false, 1000, 600);
    EXPECT_TRUE(dlg.AutoXCheck.Checked() && dlg.AutoYCheck.Checked()) << "filling is no typing";
    (dlg.*c.box).UserSetText("5");
    EXPECT_EQ(dlg.AutoXCheck.Checked(), c.autoX) << (dlg.*c.box).Name();
    EXPECT_EQ(dlg.AutoYCheck.Checked(), c.autoY) << (dlg.*c.box).Name();
    // The program's own change is no typing either.
    dlg.AutoXCheck.SetChecked(true);
    dlg.AutoYCheck.SetChecked(true);
    (dlg.*c.box).SetText("6");
    EXPECT_TRUE(dlg.AutoXCheck.Checked() && dlg.AutoYCheck.Checked()) << (dlg.*c.box).Name();
  }
}

TEST_F(GraphPropsDialogTest, EnablingFollowsTheKindAndThePage) {
  struct Case {
    int type;
    bool resultPage;
    bool log, kD, rates, applyAll;  // rates: the ka, kd and km boxes
  } cases[] = {
      {gtBound, false, true, false, false, false},    {gtBound, true, true, true, false, true},
      {gtBoundNorm, true, true, true, false, true},   {gtBoundRes, true, true, false, false, true},
      {gtCurve, true, false, true, true, true},       {gtCurveNorm, true, false, true, true, true},
      {gtCurveRes, true, false, false, false, true},  {gtTrend, true, false, false, false, true},
      {gtCurve, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    dlg.Fill(Unusual(c.type, false), c.resultPage, 1000, 600);
    EXPECT_EQ(dlg.LogCheck.Enabled(), c.log) << c.type << " " << c.resultPage;
    EXPECT_EQ(dlg.InsetKDCheck.Enabled(), c.kD) << c.type << " " << c.resultPage;
    for (const CheckBox* box : {&dlg.InsetKaCheck, &dlg.InsetKdCheck, &dlg.InsetKmCheck})
      EXPECT_EQ(box->Enabled(), c.rates) << c.type << " " << box->Name();
    EXPECT_EQ(dlg.ApplyAllButton.Enabled(), c.applyAll) << c.type;
  }
}

TEST_F(GraphPropsDialogTest, XBoxesAreReadAsTheAxisShowsThem) {
  using Dlg = TGraphPropsDialog;
  struct Case {
    const char* what;
    int type;
    bool logX;
    std::function<void(Dlg&)> act;
    double xmin, xmax;
    bool autoX, logAfter;
  } cases[] = {
      {"untouched log boxes keep their exact values", gtBound, true, nullptr, -7.123456789, -3.5, false, true},
      {"a concentration on a log axis", gtBound, true, [](Dlg& d) { d.XMinBox.UserSetText("1e-6"); }, -6, -3.5,
       false, true},
      {"no logarithm of zero", gtBound, true, [](Dlg& d) { d.XMaxBox.UserSetText("0"); }, -7.123456789, -3.5,
       false, true},
      {"an unreadable concentration", gtBound, true, [](Dlg& d) { d.XMinBox.UserSetText("abc"); }, -7.123456789,
       -3.5, false, true},
      {"log scale switched off", gtBoundNorm, true, [](Dlg& d) { d.LogCheck.UserClick(); }, -7.123456789, -3.5, true,
       false},
      {"log scale off with a typed box", gtBoundRes, true,
       [](Dlg& d) {
         d.LogCheck.UserClick();
         d.XMaxBox.UserSetText("1.00e-3");
       },
       -7.123456789, -3, true, false},
      {"a linear Kd axis", gtBound, false, [](Dlg& d) { d.XMaxBox.UserSetText("2.5e-6"); }, 1.234567, 2.5e-6, false,
       false},
      {"log scale switched on", gtBound, false, [](Dlg& d) { d.LogCheck.UserClick(); }, 1.234567, 45.678, true, true},
      {"a sensorgram's axis is linear whatever its switch", gtCurve, true,
       [](Dlg& d) {
         d.LogCheck.UserClick();  // disabled
         d.XMinBox.UserSetText("3");
       },
       3, -3.5, false, true},
      {"an unreadable time", gtCurve, false, [](Dlg& d) { d.XMinBox.UserSetText("x"); }, 1.234567, 45.678, false,
       false},
  };
  for (const Case& c : cases) {
    const TGraphPropData r = Round(Unusual(c.type, c.logX), c.act);
    EXPECT_NEAR(r.XMin, c.xmin, 1e-9) << c.what;
    EXPECT_NEAR(r.XMax, c.xmax, 1e-9) << c.what;
    EXPECT_EQ(r.AutoX, c.autoX) << c.what;
    EXPECT_EQ(r.LogX, c.logAfter) << c.what;
  }
}

TEST_F(GraphPropsDialogTest, YBoxesAreNumbersWithTheOldValuesAsDefaults) {
  struct Case {
    const char *ymin, *ymax;
    double expectedMin, expectedMax;
  } cases[] = {
      {"-5", "1,5e3", -5, 1500},
      {"", "abc", -1.2345, 98.765},
      {"12 RU", "1e999", 12, 98.765},  // units ignored; no infinite range
  };
  for (const Case& c : cases) {
    const TGraphPropData r = Round(Unusual(gtCurve, false), [&](TGraphPropsDialog& d) {
      d.YMinBox.UserSetText(c.ymin);
      d.YMaxBox.UserSetText(c.ymax);
    });
    EXPECT_DOUBLE_EQ(r.YMin, c.expectedMin) << c.ymin;
    EXPECT_DOUBLE_EQ(r.YMax, c.expectedMax) << c.ymax;
    EXPECT_FALSE(r.AutoY);
  }
}

TEST_F(GraphPropsDialogTest, TheTemplateBoxTakesSixtyCharacters) {
  TGraphPropData r = Unusual(gtCurve, false);
  r.LabelTemplate = std::string(70, 'x');
  EXPECT_EQ(Round(r, nullptr).LabelTemplate, r.LabelTemplate) << "a record's longer text is kept unless edited";
  const TGraphPropData typed = Round(r, [](TGraphPropsDialog& d) { d.TemplateBox.UserSetText(std::string(61, 'a')); });
  EXPECT_EQ(typed.LabelTemplate, std::string(kMaxLabelTemplate, 'a'));
}

TEST_F(GraphPropsDialogTest, FontButtonSetsTheFontThroughTheFontDialog) {
  TGraphPropData r = Unusual(gtCurve, false);
  r.AutoFont = true;
  Font chosen = r.GraphFont;
  chosen.name = "Liberation Serif";
  chosen.size = 20;
  chosen.style = fsBold;
  ws.OnChooseFont = [&](Font& font) {
    font = chosen;
    return true;
  };
  TGraphPropData stored = Round(r, [](TGraphPropsDialog& d) { d.FontButton.Click(); });
  ASSERT_EQ(ws.FontRequests().size(), 1u);
  EXPECT_EQ(ws.FontRequests()[0], r.GraphFont) << "the dialog opens on the record's font";
  EXPECT_EQ(stored.GraphFont, chosen);
  EXPECT_FALSE(stored.AutoFont) << "Font... checks Set";

  // Cancelled: whatever the dialog did to its font is dropped, Set stays.
  ws.OnChooseFont = [](Font& font) {
    font.name = "Other";
    return false;
  };
  stored = Round(r, [](TGraphPropsDialog& d) { d.FontButton.Click(); });
  EXPECT_EQ(stored.GraphFont, r.GraphFont);
  EXPECT_FALSE(stored.AutoFont);
}

// --- Edit: the whole round over a graph ---

class GraphPropsEditTest : public GraphPropsDialogTest {
 protected:
  void SetUp() override {
    plot.SetKdPlot(true);
    plot.SetLogPlot(true);
    plot.SetScaleX(-8, -3);
    plot.SetCompFcNum(2);
  }
  // The user's part: `act`, then the button, answering OK unless Cancel.
  void Answer(std::function<void(TGraphPropsDialog&)> act, Action TGraphPropsDialog::*button) {
    ws.OnShowModal = [this, act, button](Panel& form) {
      EXPECT_EQ(form.Name(), "GraphPropDlg");
      EXPECT_EQ(form.Caption(), "Graph Properties");
      if (act) act(dlg);
      (dlg.*button).Click();
      return button == &TGraphPropsDialog::CancelButton ? ModalResult::Cancel : ModalResult::Ok;
    };
  }

  TPlot plot{"Plot"};
  TBoundPropData record;
};

TEST_F(GraphPropsEditTest, OkTakesTheGraphsStateEditsItAndGivesItBack) {
  std::string shownXMin;
  Answer(
      [&](TGraphPropsDialog& d) {
        shownXMin = d.XMinBox.Text();
        d.YMaxBox.UserSetText("50");
        d.CopyWidthBox.UserSetText("1200");
      },
      &TGraphPropsDialog::OKButton);
  EXPECT_TRUE(dlg.Edit(plot, record, false, copyWidth, copyHeight));
  EXPECT_EQ(shownXMin, "1.00e-8") << "the graph's zoomed range, not the record's";
  EXPECT_FALSE(dlg.ApplyToAllPressed());
  EXPECT_EQ(record.CompFcNum, 2);
  EXPECT_EQ(record.Type, gtBound);
  EXPECT_DOUBLE_EQ(record.XMin, -8);
  EXPECT_DOUBLE_EQ(record.YMax, 50);
  EXPECT_FALSE(record.AutoY);
  EXPECT_EQ(copyWidth, 1200);
  EXPECT_EQ(copyHeight, 500);
  double xmin, xmax, ymin, ymax;
  plot.GetScale(xmin, xmax, ymin, ymax);
  EXPECT_DOUBLE_EQ(ymax, 50) << "the graph got the record";
  EXPECT_FALSE(plot.AutoY());
}

TEST_F(GraphPropsEditTest, CancelChangesNeitherRecordNorGraphNorCopySize) {
  TGraphPropData before;
  plot.GetProperties(before);
  const TBoundPropData recordBefore = record;
  Answer(
      [](TGraphPropsDialog& d) {
        d.YMaxBox.UserSetText("50");
        d.XTitleBox.UserSetText("changed");
        d.CopyWidthBox.UserSetText("10");
      },
      &TGraphPropsDialog::CancelButton);
  EXPECT_FALSE(dlg.Edit(plot, record, true, copyWidth, copyHeight));
  TGraphPropData after;
  plot.GetProperties(after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(static_cast<const TGraphPropData&>(record), recordBefore) << "not even the graph's state went in";
  EXPECT_EQ(copyWidth, 800);
  EXPECT_FALSE(dlg.ApplyToAllPressed());
}

TEST_F(GraphPropsEditTest, ApplyToAllAndChangedInsetFlagsAreReported) {
  plot.SetKdPlot(false);  // a sensorgram: all four inset boxes on the Result page
  Answer([](TGraphPropsDialog& d) { d.InsetKaCheck.UserClick(); }, &TGraphPropsDialog::ApplyAllButton);
  EXPECT_TRUE(dlg.Edit(plot, record, true, copyWidth, copyHeight));
  EXPECT_TRUE(dlg.ApplyToAllPressed());
  EXPECT_TRUE(dlg.InsetFlagsChanged());
  EXPECT_EQ(plot.InsetFlags(), kInsetKa);

  // Elsewhere the button is disabled and the boxes cannot change.
  Answer([](TGraphPropsDialog& d) { d.InsetKmCheck.UserClick(); }, &TGraphPropsDialog::ApplyAllButton);
  EXPECT_TRUE(dlg.Edit(plot, record, false, copyWidth, copyHeight));
  EXPECT_FALSE(dlg.ApplyToAllPressed());
  EXPECT_FALSE(dlg.InsetFlagsChanged());
  EXPECT_EQ(plot.InsetFlags(), kInsetKa);
}

// --- the record a main window graph edits ---

TEST(GraphPropsStageTest, RecordChoiceByPageAndGraph) {
  HeadlessWindowSystem ws;
  TExperiment e(ws);
  for (int s : {stRaw, stData, stZero, stBlank, stScale}) ASSERT_TRUE(e.AllocateStage(s, 1, 4));
  struct Case {
    int page;
    bool source, percent;
    int stage;
  } cases[] = {
      {pgScheme, false, false, stRaw},     {pgCompound, true, false, stRaw},
      {pgZero, true, false, stRaw},        {pgZero, false, false, stZero},  // stage 1 counts as 0
      {pgCrop, true, false, stZero},       {pgCrop, false, false, stCrop},
      {pgBlank, true, false, stZero},      {pgBlank, false, false, stBlank},
      {pgBound, true, false, stBlank},     {pgBound, false, false, stBound},  // stage 8 passed over
      {pgFit, false, true, stAffinity},    {pgFit, false, false, stBound},
      {pgKinetics, false, false, stBlank}, {pgResult, false, false, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GraphPropsStage(e, c.page, c.source, c.percent), c.stage) << c.page << " " << c.source;
}

TEST(GraphPropsClickTest, EditsTheRecordOfTheClickedGraph) {
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
  TMainForm& form = *app.MainForm;
  TGraphPropsDialog& dlg = *app.GraphPropDlg;
  int shown = 0;
  ws.OnShowModal = [&](Panel&) {
    ++shown;
    dlg.XTitleBox.UserSetText("edited");
    dlg.CopyHeightBox.UserSetText("700");
    dlg.OKButton.Click();
    return ModalResult::Ok;
  };
  struct Case {
    int page;
    TPlot* plot;
    int stage;
  } cases[] = {
      {pgScheme, &form.DataPlot, stRaw}, {pgZero, &form.FromPlot, stRaw},   {pgZero, &form.ToPlot, stZero},
      {pgCrop, &form.ToPlot, stCrop},    {pgCompound, &form.ToPlot, stRaw}, {pgResult, &form.ToPlot, -1},
  };
  for (const Case& c : cases) {
    for (auto& props : form.StageGraphProps) props->XTitle = "old";
    form.Pages.SetActivePageIndex(c.page);
    shown = 0;
    form.GraphPropertiesClick(*c.plot);
    EXPECT_EQ(shown, c.stage >= 0 ? 1 : 0) << c.page;
    for (int s = 0; s < kStageCount; ++s)
      EXPECT_EQ(form.StageGraphProps[static_cast<std::size_t>(s)]->XTitle, s == c.stage ? "edited" : "old")
          << "page " << c.page << " stage " << s;
    if (c.stage >= 0) {
      EXPECT_EQ(c.plot->Appearance().xTitle, "edited");
    }
  }
  EXPECT_EQ(form.CopyWidth, 1000);
  EXPECT_EQ(form.CopyHeight, 700);
}

}  // namespace
}  // namespace kelvaris

#include "analysis/affinity_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "affinity_test_run.h"
#include "analysis/affinity_entries.h"
#include "analysis/affinity_texts.h"
#include "table/kelvaris_grid.h"

namespace kelvaris {
namespace {

using test::AffinityInjection;
using test::AffinityRun;
using test::Isotherm;

const std::vector<double> kConcentrations = {1e-9, 3e-9, 1e-8, 3e-8, 1e-7, 3e-7, 1e-6, 3e-6, 1e-5, 3e-5};

std::vector<std::string> Row(const TKelvarisGrid& g, int row) {
  std::vector<std::string> cells;
  for (int c = 0; c < g.ColCount(); ++c) cells.push_back(g.Cell(c, row));
  return cells;
}

class AffinityTableTest : public ::testing::Test {
 protected:
  // Analyte 1 with one site; analyte 2 with two (5 nM on the shared Rmax,
  // 2 uM on a local fitted Rmax2); analyte 3 has no injections.
  void Load() {
    std::vector<AffinityInjection> data = Isotherm(1, 1, 40, 1e-7, kConcentrations);
    for (double c : kConcentrations)
      data.push_back({1, 2, c, std::vector<double>(6, 40 * c / (5e-9 + c) + 35 * c / (2e-6 + c))});
    run.Load(data, 3, {1});
    run.SetFlags(1, afTwoSites | afRmax2Local | afRmax2Fitted, 2);
    run.Ligand(1).CalcBound = 1;
    run.Ligand(1).AllowLocal = 1;
  }
  void Fill() { FillAffinityTable(grid, run.e, 1, names, false); }
  int Flags(int analyte) const {
    for (const TCurveInfo& info : run.e.CurveInfo)
      if (info.Analyte == analyte) return info.AffinityFlags;
    return -1;
  }

  AffinityRun run;
  HeadlessWindowSystem gridWs;
  TKelvarisGrid grid{"KmGrid", gridWs};
  std::vector<std::string> names = {"A", "B", "C"};
};

TEST_F(AffinityTableTest, TheOptionsChooseTheColumns) {
  struct Layout {
    bool calc, local;
    std::vector<std::string> headers;
    std::vector<int> widths;
  } layouts[] = {
      {false, false, {"Name", "2", "@K^D"}, {100, 20, 100}},
      {true, false, {"Name", "2", "@K^D", "@% Bound"}, {100, 20, 100, 100}},
      {false, true, {"Name", "2", "@K^D", "Rmax", "L", "F"}, {100, 20, 100, 100, 20, 20}},
      {true, true, {"Name", "2", "@K^D", "@% Bound", "Rmax", "L", "F"}, {100, 20, 100, 100, 100, 20, 20}},
  };
  Load();
  for (const Layout& l : layouts) {
    run.Ligand(1).CalcBound = l.calc;
    run.Ligand(1).AllowLocal = l.local;
    Fill();
    EXPECT_EQ(Row(grid, 0), l.headers);
    int sum = 0;
    for (int c = 0; c < grid.ColCount(); ++c) {
      EXPECT_EQ(grid.ColWidth(c), l.widths[static_cast<std::size_t>(c)]) << l.headers[static_cast<std::size_t>(c)];
      EXPECT_EQ(grid.GetTickCol(c), l.widths[static_cast<std::size_t>(c)] == 20) << l.headers[static_cast<std::size_t>(c)];
      EXPECT_EQ(grid.GetReadOnlyCol(c), l.headers[static_cast<std::size_t>(c)] != "Rmax") << "only Rmax is typed into";
      sum += l.widths[static_cast<std::size_t>(c)];
    }
    EXPECT_EQ(AffinityTableWidth(grid), sum + 16);
  }
}

TEST_F(AffinityTableTest, RowsPerAnalyteWithASecondRowForTwoSites) {
  Load();
  ASSERT_EQ(run.Run().Warnings.at(1), "");
  Fill();
  ASSERT_EQ(grid.RowCount(), 5) << "header, A, B and its second site, C";
  const auto a = AffinityTexts(run.e, 1, 1, false), b = AffinityTexts(run.e, 2, 1, false);
  const auto ra = RmaxTexts(run.e, 1, 1), rb = RmaxTexts(run.e, 2, 1);
  ASSERT_NE(b[2], kNotComputed) << "site 1 of B is the tighter one";
  EXPECT_EQ(Row(grid, 1), (std::vector<std::string>{"A", "", a[0], a[2], ra[0], "", ""}));
  EXPECT_EQ(Row(grid, 2), (std::vector<std::string>{"B", "*", b[0], "[ " + b[2] + " ]", rb[0], "", ""}));
  EXPECT_EQ(Row(grid, 3), (std::vector<std::string>{"", "#", b[1], kNotComputed, rb[1], "*", "*"}));
  EXPECT_EQ(Row(grid, 4), (std::vector<std::string>{"C", "", kNotComputed, kNotComputed, kNotComputed, "", ""}));
  EXPECT_TRUE(grid.GetBlocked(1, 3)) << "a # cell is inactive";
  EXPECT_FALSE(grid.GetBlocked(1, 2));

  // Without a local Rmax2 the second row's F cell is inactive.
  for (TCurveInfo& info : run.e.CurveInfo)
    if (info.Analyte == 2) info.AffinityFlags &= ~(afRmax2Local | afRmax2Fitted);
  Fill();
  EXPECT_EQ(grid.Cell(6, 3), "#");
  EXPECT_TRUE(grid.GetBlocked(6, 3));
  EXPECT_EQ(grid.Cell(5, 3), "");

  // With the fit off only the names are left.
  run.Ligand(1).FitOn = 0;
  Fill();
  ASSERT_EQ(grid.RowCount(), 5);
  for (int r = 1; r < 5; ++r)
    for (int c = 1; c < grid.ColCount(); ++c) EXPECT_EQ(grid.Cell(c, r), "") << c << "," << r;
  EXPECT_EQ(grid.Cell(0, 4), "C");
}

TEST_F(AffinityTableTest, ClicksOnTheNarrowColumnsToggleTheOptions) {
  struct Click {
    const char* column;
    int row;
    int before;  // options of analyte 1 (the KD is always fitted)
    int after;
    bool changed;
    const char* reason;
  } clicks[] = {
      {"2", 1, 0, afTwoSites, true, "two sites on"},
      {"2", 1, afRmax2Mask, 0, true, "two sites off, with the local fitted Rmax2"},
      {"2", 2, afTwoSites, afTwoSites, false, "the # of a second row does not react"},
      {"L", 1, 0, afRmax1Local | afRmax1Fitted, true, "local Rmax1 on, fitted too"},
      {"L", 1, afRmax1Local | afRmax1Fitted, 0, true, "local Rmax1 off"},
      {"L", 2, afTwoSites, afRmax2Mask, true, "local Rmax2 on a second row"},
      {"F", 1, afRmax1Local, afRmax1Local | afRmax1Fitted, true, "fit a local Rmax1"},
      {"F", 1, 0, 0, false, "a shared Rmax1 is not fitted here"},
      {"F", 2, afTwoSites, afTwoSites, false, "the # of a second row without local Rmax2"},
      {"F", 2, afTwoSites | afRmax2Local, afRmax2Mask, true, "fit a local Rmax2"},
      {"Rmax", 1, 0, 0, false, "a wide column"},
  };
  for (const Click& c : clicks) {
    AffinityRun fresh;
    fresh.Load(Isotherm(1, 1, 40, 1e-7, kConcentrations), 1, {1});
    fresh.Ligand(1).AllowLocal = 1;
    fresh.SetFlags(1, c.before);
    for (TCurveInfo& info : fresh.e.CurveInfo) info.BoundValue2 = 7;
    FillAffinityTable(grid, fresh.e, 1, {"A"}, false);
    int col = 0;
    while (col < grid.ColCount() && grid.Cell(col, 0) != c.column) ++col;
    ASSERT_LT(col, grid.ColCount()) << c.reason;
    EXPECT_EQ(AffinityTableClick(fresh.e, grid, 1, col, c.row), c.changed) << c.reason;
    for (const TCurveInfo& info : fresh.e.CurveInfo) {
      EXPECT_EQ(info.AffinityFlags, c.after | afKd1Fitted) << c.reason;
      if (std::string(c.column) == "2" && c.changed && !(c.after & afTwoSites)) {
        EXPECT_EQ(info.BoundValue2, 0) << c.reason << ": the fixed Rmax2 goes with the second site";
      }
    }
  }
}

TEST_F(AffinityTableTest, AHeaderClickSetsTheColumnOrClearsItWhenAllAreSet) {
  Load();
  Fill();
  // "2": A has one site, B two: all get two.
  EXPECT_TRUE(AffinityTableClick(run.e, grid, 1, 1, 0));
  EXPECT_TRUE(Flags(1) & afTwoSites);
  EXPECT_TRUE(Flags(2) & afTwoSites);
  Fill();
  EXPECT_TRUE(AffinityTableClick(run.e, grid, 1, 1, 0));
  EXPECT_FALSE(Flags(1) & afTwoSites);
  EXPECT_FALSE(Flags(2) & afTwoSites);
  // "L" sets every row's local Rmax, then clears them all.
  Fill();
  EXPECT_TRUE(AffinityTableClick(run.e, grid, 1, 5, 0));
  EXPECT_EQ(Flags(1) & (afRmax1Local | afRmax1Fitted), afRmax1Local | afRmax1Fitted);
  Fill();
  EXPECT_TRUE(AffinityTableClick(run.e, grid, 1, 5, 0));
  EXPECT_EQ(Flags(1) & (afRmax1Local | afRmax1Fitted), 0);
  // With the fit off the table shows no options to toggle.
  run.Ligand(1).FitOn = 0;
  Fill();
  EXPECT_FALSE(AffinityTableClick(run.e, grid, 1, 1, 1));
}

TEST_F(AffinityTableTest, TypingAnRmaxFixesTheRowsSite) {
  Load();
  run.SetFlags(1, afRmax1Local | afRmax1Fitted, 2);
  Fill();
  AffinityRmaxEdit(run.e, grid, 1, 2, "12.5 RU");
  AffinityRmaxEdit(run.e, grid, 1, 3, "oops");
  AffinityRmaxEdit(run.e, grid, 1, 9, "3");  // no such row
  for (const TCurveInfo& info : run.e.CurveInfo) {
    if (info.Analyte != 2) {
      EXPECT_EQ(info.BoundValue, 0);
      continue;
    }
    EXPECT_EQ(info.BoundValue, 12.5);
    EXPECT_EQ(info.BoundValue2, 1) << "unreadable: 1";
    EXPECT_EQ(info.AffinityFlags & (afRmax1Local | afRmax1Fitted), afRmax1Local);
    EXPECT_EQ(info.AffinityFlags & (afRmax2Local | afRmax2Fitted), afRmax2Local);
  }
}

}  // namespace
}  // namespace kelvaris

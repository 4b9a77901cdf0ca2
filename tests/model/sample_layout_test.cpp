#include <gtest/gtest.h>

#include "model/numbers.h"
#include "model/sample_layout.h"

namespace kelvaris {
namespace {

TEST(SampleLayout, InjectionsFillTheTableColumnByColumn) {
  struct Case {
    int injection, rows, col, row;
  } cases[] = {{1, 10, 1, 1}, {10, 10, 1, 10}, {11, 10, 2, 1}, {27, 10, 3, 7}, {13, 12, 2, 1}, {5, 1, 5, 1}};
  for (const Case& c : cases) {
    const CellPosition p = InjectionCell(c.injection, c.rows);
    EXPECT_EQ(p.col, c.col) << c.injection;
    EXPECT_EQ(p.row, c.row) << c.injection;
    EXPECT_EQ(InjectionOfCell(p.col, p.row, c.rows), c.injection);
  }
  EXPECT_EQ(ColumnsForInjections(27, 10), 3);
  EXPECT_EQ(ColumnsForInjections(20, 10), 2);
  EXPECT_EQ(ColumnsForInjections(0, 10), 0);
}

TEST(SampleLayout, ColumnLettersAndCellLabels) {
  const std::pair<int, const char*> letters[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
  for (auto [col, text] : letters) {
    EXPECT_EQ(ColumnLetters(col), text);
    int c = 0, r = 0;
    ASSERT_TRUE(ParseCellLabel(std::string(text) + "3", c, r)) << text;
    EXPECT_EQ(c, col);
    EXPECT_EQ(r, 3);
  }
  EXPECT_EQ(CellLabel(2, 3), "B3");
  int c = 0, r = 0;
  EXPECT_TRUE(ParseCellLabel("b12", c, r));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 12);
  for (const char* bad : {"", "B", "3", "B0", "B3x", "3B", "ABCDE1"}) EXPECT_FALSE(ParseCellLabel(bad, c, r)) << bad;
}

TEST(SampleLayout, SampleCellGrammar) {
  struct Case {
    const char* cell;
    const char* stock;
    const char* dilution;
    double value;
  } cases[] = {
      {"5nM", "", "", 5e-9},
      {"100 pM", "", "", 1e-10},
      {"10uM", "", "", 1e-5},
      {"10\xC2\xB5M", "", "", 1e-5},
      {"3mM", "", "", 3e-3},
      {"2.0", "", "", 2.0},
      {"1e-6", "", "", 1e-6},
      {"0", "", "", 0},
      {"", "", "", 0},
      {"blank", "", "", 0},
      {"DMSO", "", "", kSolventStandard},
      {"d", "", "", kSolventStandard},
      {"x", "", "", kNotUsed},
      {"X", "", "", kNotUsed},
      {"---", "", "", kNotUsed},
      // dilution steps
      {"1", "10uM", "2", 1e-5},
      {"2", "10uM", "2", 5e-6},
      {"3", "10uM", "2", 2.5e-6},
      {"2", "10uM", "10", 1e-6},
      {"2", "", "10", 0},
      {"2", "10uM", "", 0},
      {"2", "10uM", "0", 0},
      {"2", "x", "2", 0},     // a marker is no stock
      {"2", "dmso", "2", 0},  // nor is a solvent standard
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(SampleCellValue(c.cell, c.stock, c.dilution), c.value) << c.cell << " / " << c.stock;
}

TEST(SampleLayout, GrammarReadsACommaSeparatorToo) {
  ScopedDecimalSeparator comma(',');
  EXPECT_DOUBLE_EQ(SampleCellValue("2,5nM", "", ""), 2.5e-9);
  EXPECT_DOUBLE_EQ(SampleCellValue("2,0", "", ""), 2.0) << "a separator makes it no dilution step";
}

TEST(SampleLayout, UnitPrefixesGiveTheNearestDoubleSoTheyReadBackAsTyped) {
  EXPECT_EQ(ReadMolarText("100uM"), 1e-4);
  EXPECT_EQ(ReadMolarText("3nM"), 3e-9);
  EXPECT_EQ(ReadMolarText("7pM"), 7e-12);
  EXPECT_EQ(ReadMolarText("30mM"), 0.03);
  EXPECT_EQ(FormatMolar(ReadMolarText("100uM")), "100uM");
}

TEST(SampleLayout, WholeNumbers) {
  const std::pair<const char*, int> cases[] = {{"12", 12}, {" 3 ", 3}, {"-4", -4}, {"+5", 5}, {"1.5", 0},
                                               {"", 0},     {"a", 0},   {"99999999999", 0}};
  for (auto [text, value] : cases) EXPECT_EQ(ReadWholeNumber(text), value) << text;
}

}  // namespace
}  // namespace kelvaris

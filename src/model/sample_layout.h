// How injections sit in the sample table, and what a sample cell's text
// means: a concentration, a blank, a solvent standard, an unused injection
// or a step of a dilution series.
#pragma once

#include <string>
#include <string_view>

namespace kelvaris {

// Marker values of a sample cell (above 0 is a concentration in M).
constexpr double kSolventStandard = -1.0;
constexpr double kNotUsed = -2.0;

struct CellPosition {
  int col = 0;
  int row = 0;
};

// Injection n (1-based) in a table of `rows` data rows; column 0 and row 0
// are headers.
CellPosition InjectionCell(int injection, int rows);
// The injection a data cell stands for.
int InjectionOfCell(int col, int row, int rows);
// Columns needed for injections 1..m.
int ColumnsForInjections(int m, int rows);

// "A".."Z", then "AA".."AZ", "BA", ... for columns 1, 2, ...
std::string ColumnLetters(int col);
// The column letters followed by the row number, e.g. "B3".
std::string CellLabel(int col, int row);
// Reads a label such as "B3" (letters case-insensitive); false when it is none.
bool ParseCellLabel(std::string_view label, int& col, int& row);

// A cell's value without dilution steps: -2 for "---" or "x", -1 for "d",
// otherwise the number scaled by its first unit letter (p, n, u, m), in M.
double ReadMolarText(std::string_view text);

// The full reading of a sample cell, including the dilution-series rule:
// a whole number k >= 1 means stock / dilution^(k - 1).
double SampleCellValue(std::string_view cell, std::string_view stock, std::string_view dilution);

// A whole number as the grids read them ("12" is 12; anything else is 0).
int ReadWholeNumber(std::string_view text);

}  // namespace kelvaris

#include "model/sample_layout.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "model/numbers.h"

namespace kelvaris {

namespace {

char Lower(char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); }

bool ContainsNoCase(std::string_view text, char letter) {
  for (char ch : text)
    if (Lower(ch) == letter) return true;
  return false;
}

bool ContainsMicroSign(std::string_view text) { return text.find("\xC2\xB5") != std::string_view::npos; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

CellPosition InjectionCell(int injection, int rows) {
  if (rows < 1) rows = 1;
  if (injection < 1) return {0, 0};
  return {(injection - 1) / rows + 1, (injection - 1) % rows + 1};
}

int InjectionOfCell(int col, int row, int rows) { return (col - 1) * rows + row; }

int ColumnsForInjections(int m, int rows) {
  if (rows < 1) rows = 1;
  return m < 1 ? 0 : (m + rows - 1) / rows;
}

std::string ColumnLetters(int col) {
  // Letters in the spreadsheet way: A..Z, AA..ZZ, and three letters beyond
  // that (column 703 is AAA) so that every column keeps a readable label.
  std::string s;
  for (int k = col; k > 0; k = (k - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (k - 1) % 26));
  return s;
}

std::string CellLabel(int col, int row) { return ColumnLetters(col) + std::to_string(row); }

bool ParseCellLabel(std::string_view label, int& col, int& row) {
  std::size_t i = 0;
  long long c = 0;
  for (; i < label.size() && std::isalpha(static_cast<unsigned char>(label[i])); ++i) {
    if (i == 4) return false;
    c = c * 26 + (std::toupper(static_cast<unsigned char>(label[i])) - 'A' + 1);
  }
  if (i == 0 || i == label.size() || label.size() - i > 7) return false;
  long long r = 0;
  for (; i < label.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(label[i]))) return false;
    r = r * 10 + (label[i] - '0');
  }
  if (r < 1) return false;
  col = static_cast<int>(c);
  row = static_cast<int>(r);
  return true;
}

double ReadMolarText(std::string_view text) {
  if (text.find("---") != std::string_view::npos || ContainsNoCase(text, 'x')) return kNotUsed;
  if (ContainsNoCase(text, 'd')) return kSolventStandard;
  const double value = ParseNumber(text, 0);
  // Dividing by the exact power of ten keeps "100uM" the double nearest to
  // 1e-4; multiplying by the inexact 1e-6 lands an ulp below, and it then
  // reads back as "100.0uM".
  if (ContainsNoCase(text, 'p')) return value / 1e12;
  if (ContainsNoCase(text, 'n')) return value / 1e9;
  if (ContainsNoCase(text, 'u') || ContainsMicroSign(text)) return value / 1e6;
  if (ContainsNoCase(text, 'm')) return value / 1000;
  return value;
}

int ReadWholeNumber(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return 0;
  long long v = 0;
  for (char ch : text) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) return 0;
    v = v * 10 + (ch - '0');
  }
  if (v > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(negative ? -v : v);
}

double SampleCellValue(std::string_view cell, std::string_view stock, std::string_view dilution) {
  const double value = ReadMolarText(cell);
  if (value < 0.99) return value;
  for (char ch : cell) {
    const char c = Lower(ch);
    if (c == '.' || c == ',' || c == 'e' || c == 'n' || c == 'u' || c == 'm') return value;
  }
  if (ContainsMicroSign(cell)) return value;
  // A whole number k is the k-th step of the dilution series.
  const double stockMolar = ReadMolarText(stock);
  const double factor = ParseNumber(dilution, 0);
  const int step = ReadWholeNumber(cell);
  // A stock that is a marker (not used, solvent) would give a negative
  // "concentration" that reads as a marker itself; it counts as no stock.
  if (stockMolar <= 0 || !(factor > 0) || step <= 0) return 0;
  return stockMolar / std::pow(factor, step - 1);
}

}  // namespace kelvaris

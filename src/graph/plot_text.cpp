#include "graph/plot_text.h"

#include <charconv>
#include <cmath>

#include "model/numbers.h"

namespace kelvaris {

namespace {

std::string ToChars(double value, std::chars_format format, int precision) {
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, format, precision);
  if (r.ec != std::errc()) return "0";
  return std::string(buf, r.ptr);
}

// "1.0000e+06" becomes "1.0000e+6".
void ShortenExponent(std::string& text, bool upper) {
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return;
  std::size_t digits = e + 1;
  std::string sign = "+";
  if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) sign = text[digits++];
  std::size_t first = digits;
  while (first + 1 < text.size() && text[first] == '0') ++first;
  text = text.substr(0, e) + (upper ? "E" : "e") + sign + text.substr(first);
}

}  // namespace

std::string PlotFixed(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  std::string text = ToChars(value, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
  LocaliseDecimalSeparator(text);
  return text;
}

std::string PlotScientific(double value, int digits, bool upper) {
  if (!std::isfinite(value)) return "0";
  std::string text = ToChars(value, std::chars_format::scientific, digits > 1 ? digits - 1 : 0);
  ShortenExponent(text, upper);
  LocaliseDecimalSeparator(text);
  return text;
}

std::string PlotTickLabel(double value, int decimals, bool upperExponent) {
  if (value > 999999 && decimals == 0) return PlotScientific(value, 5, upperExponent);
  return PlotFixed(value, decimals);
}

void PlotPowerParts(double value, std::string& mantissa, std::string& exponent) {
  const std::string text = PlotScientific(value, 2, false);
  const std::size_t e = text.find('e');
  if (e == std::string::npos) {
    mantissa = text;
    exponent = "+0";
    return;
  }
  mantissa = text.substr(0, e);
  exponent = text.substr(e + 1);
}

}  // namespace kelvaris

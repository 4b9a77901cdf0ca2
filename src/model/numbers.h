// Numbers in text: how typed numbers are read and how values are written.
// Every function uses the locale's decimal separator (LocaleDecimalSeparator),
// which the window system installs at start-up; output always carries it.
#pragma once

#include <string>
#include <string_view>

namespace kelvaris {

// The locale's decimal separator, read at every call. '.' until set.
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparator(char separator);

// Sets the separator for the life of the object (tests, the CLI).
class ScopedDecimalSeparator {
 public:
  explicit ScopedDecimalSeparator(char separator);
  ~ScopedDecimalSeparator();
  ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
  ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;

 private:
  char saved_;
};

// Reads a typed number leniently: unit letters, words and a bracketed
// uncertainty are ignored, either separator is accepted, and a text that
// cannot be read gives `fallback`. Never allocates for short texts.
double ParseNumber(std::string_view text, double fallback);

// The prefix followed by the value with magnitude-dependent decimals
// ("0.00" for zero, "5.00e-3", "0.050", "5.00", "50.00", "500.0").
std::string FormatNumber(std::string_view prefix, double value);

// Value(uncertainty) writers; the uncertainty comes first. An uncertainty
// that is not above zero means none is known.
std::string FormatFixedWithError(double uncertainty, double value);       // 12.3(5)
std::string FormatMolarWithError(double uncertainty, double value);       // 460(30)nM
std::string FormatScientificWithError(double uncertainty, double value);  // 1.23(5)e-3
std::string FormatShortestWithError(double uncertainty, double value);    // 1.23(5)e-5

// Replaces the other separator by the locale's one, in place.
void LocaliseDecimalSeparator(std::string& text);

// A concentration in mol/L with an SI prefix: 150nM, 25.0uM, dmso, x.
std::string FormatMolar(double molar);
// The same in exponent form without unit: 1.50e-7.
std::string FormatMolarExponent(double molar);

}  // namespace kelvaris

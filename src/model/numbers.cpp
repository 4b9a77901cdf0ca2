#include <cstdint>
#include "model/numbers.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <string>

// Numbers are converted with std::to_chars / std::from_chars only: the C
// library routines follow setlocale(), which the Qt program calls at start-up,
// and would change the decimal point behind our back. Everything is produced
// with '.' and the locale separator is put in afterwards.

namespace kelvaris {

namespace {

std::atomic<char> g_separator{'.'};

// The separator that typed text may use instead of the locale's one.
char OtherSeparator(char separator) { return separator == ',' ? '.' : ','; }

// Characters kept by ParseNumber outside a bracketed region.
bool IsNumberCharacter(char ch) {
  return (ch >= '0' && ch <= '9') || ch == 'e' || ch == 'E' || ch == '.' || ch == ',' ||
         ch == '-' || ch == ' ';
}

void AppendNonFinite(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
  } else {
    out += value < 0 ? "-inf" : "inf";
  }
}

// ---------------------------------------------------------------------------
// Decimal rounding for the display patterns. The value is taken from the
// shortest text that reads back to the same double and rounded on those
// digits, halves away from zero, so 1.005 to two decimals is 1.01 although the
// double itself lies just below 1.005.

// A non-negative value as digits d0.d1d2... times 10^exp; no digits is zero.
struct Decimal {
  char digits[32];
  int count = 0;
  int exp = 0;

  // The digit of weight 10^power.
  char DigitAt(int power) const {
    int i = exp - power;
    return (i >= 0 && i < count) ? digits[i] : '0';
  }
  // The i-th digit counted from the leading one.
  char Digit(int i) const { return i < count ? digits[i] : '0'; }
};

// `magnitude` must be finite and not negative.
Decimal ToDecimal(double magnitude) {
  Decimal d;
  if (magnitude == 0) return d;
  char text[40];
  auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
  const char* p = text;
  for (; p != result.ptr && *p != 'e'; ++p) {
    if (*p != '.') d.digits[d.count++] = *p;
  }
  if (p != result.ptr) ++p;  // 'e'
  bool negative = false;
  if (p != result.ptr && (*p == '-' || *p == '+')) negative = *p++ == '-';
  int exponent = 0;
  std::from_chars(p, result.ptr, exponent);
  d.exp = negative ? -exponent : exponent;
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 0) d.exp = 0;
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void KeepDigits(Decimal& d, int keep) {
  if (keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    d.exp = 0;
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') --i;
    if (i < 0) {
      // 9.99 -> 10.0: one decade up.
      d.digits[0] = '1';
      d.count = 1;
      ++d.exp;
    } else {
      ++d.digits[i];
      d.count = i + 1;
    }
  }
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 0) d.exp = 0;
}

// Rounds to `maxDecimals` places and writes at least one integer digit and at
// least `minDecimals` places; a zero place beyond the minimum is dropped, and
// so is the separator when no place remains.
void AppendFixed(std::string& out, Decimal d, int minDecimals, int maxDecimals, char separator) {
  KeepDigits(d, d.exp + maxDecimals + 1);
  int top = (d.count > 0 && d.exp > 0) ? d.exp : 0;
  for (int power = top; power >= 0; --power) out += d.DigitAt(power);
  int decimals = maxDecimals;
  while (decimals > minDecimals && d.DigitAt(-decimals) == '0') --decimals;
  if (decimals == 0) return;
  out += separator;
  for (int power = -1; power >= -decimals; --power) out += d.DigitAt(power);
}

// One digit, the separator, `minDecimals` to `maxDecimals` places, then "e"
// and the exponent (with "+" for one that is not negative when asked).
// `d` must not be zero.
void AppendScientific(std::string& out, Decimal d, int minDecimals, int maxDecimals,
                      bool plusSign, char separator) {
  KeepDigits(d, maxDecimals + 1);
  out += d.Digit(0);
  int decimals = maxDecimals;
  while (decimals > minDecimals && d.Digit(decimals) == '0') --decimals;
  if (decimals > 0) {
    out += separator;
    for (int i = 1; i <= decimals; ++i) out += d.Digit(i);
  }
  out += 'e';
  if (d.exp < 0) {
    out += '-';
  } else if (plusSign) {
    out += '+';
  }
  char text[8];
  auto result = std::to_chars(text, text + sizeof text, d.exp < 0 ? -d.exp : d.exp);
  out.append(text, result.ptr);
}

// A signed value in fixed notation; a value that rounds to zero gets no sign.
void AppendSignedFixed(std::string& out, double value, int minDecimals, int maxDecimals,
                       char separator) {
  if (!std::isfinite(value)) {
    AppendNonFinite(out, value);
    return;
  }
  Decimal d = ToDecimal(std::fabs(value));
  KeepDigits(d, d.exp + maxDecimals + 1);
  if (value < 0 && d.count > 0) out += '-';
  AppendFixed(out, d, minDecimals, maxDecimals, separator);
}

// Mantissa with three significant digits, "e", sign and exponent: 1.50e-7.
void AppendExponentForm(std::string& out, double magnitude, char separator) {
  AppendScientific(out, ToDecimal(magnitude), 2, 2, true, separator);
}

// ---------------------------------------------------------------------------
// The value(uncertainty) writers follow C printf: "%.*lf" rounds the exact
// binary value, which std::to_chars with a precision does as well.

// Longest output: 309 integer digits and 324 decimals of a subnormal decade.
constexpr int kMaxDecimals = 700;

void AppendPrintfFixed(std::string& out, double value, int decimals, char separator) {
  char text[kMaxDecimals + 340];
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) {
    AppendNonFinite(out, value);
    return;
  }
  for (const char* p = text; p != result.ptr; ++p) out += *p == '.' ? separator : *p;
}

void AppendInt(std::string& out, int value) {
  char text[16];
  auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

// A value and its uncertainty rounded to the uncertainty's leading digit.
struct Rounded {
  int c = 0;         // decade of the uncertainty's digit
  double d = 1;      // 10^c
  int e = 0;         // the uncertainty's digit, 1..9
  double g = 0;      // the value rounded to the decade
  double h = 0;      // the rounded uncertainty, d * e
};

// False when the uncertainty is unusable: not above zero, not a number,
// infinite, or so small that its decade is not representable.
bool RoundToUncertainty(double u, double v, Rounded& r) {
  if (!(u > 0) || !std::isfinite(u)) return false;
  int c = static_cast<int>(std::floor(std::log10(u)));
  double d = std::pow(10.0, c);
  double e = std::floor(u / d + 0.5);
  if (!(e >= 1 && e <= 10)) return false;
  if (e == 10) {
    e = 1;
    c += 1;
    d *= 10;
  }
  r.c = c;
  r.d = d;
  r.e = static_cast<int>(e);
  // Near the top of the double range the division or the rounding can
  // overflow; such a value is already coarser than the decade and is kept.
  double g = d * std::floor(v / d + 0.5);
  r.g = std::isfinite(g) ? g : v;
  r.h = d * e;
  return true;
}

// "0(5e-6)": the digit and the decade of the uncertainty.
std::string ZeroWithDigitAndDecade(const Rounded& r) {
  std::string out = "0(";
  AppendInt(out, r.e);
  out += 'e';
  AppendInt(out, r.c);
  out += ')';
  return out;
}

// "0(0.000005)" or "0(50)": the rounded uncertainty in full.
std::string ZeroWithUncertainty(const Rounded& r, char separator) {
  std::string out = "0(";
  AppendPrintfFixed(out, r.h, r.c > 0 ? 0 : -r.c, separator);
  out += ')';
  return out;
}

// "12.3(5)": the value with the decimals of the uncertainty's decade.
std::string FixedText(const Rounded& r, char separator) {
  std::string out;
  AppendPrintfFixed(out, r.g, std::max(-r.c, 0), separator);
  out += '(';
  AppendInt(out, r.e);
  out += ')';
  return out;
}

// "1.23(5)e-3": mantissa and exponent of the rounded value. g must be finite
// and not zero.
std::string ScientificText(const Rounded& r, char separator) {
  int x = static_cast<int>(std::floor(std::log10(std::fabs(r.g))));
  double m = r.g / std::pow(10.0, x);
  std::string out;
  AppendPrintfFixed(out, m, std::max(x - r.c, 0), separator);
  out += '(';
  AppendInt(out, r.e);
  out += ")e";
  AppendInt(out, x);
  return out;
}

std::string NonFiniteText(double value) {
  std::string out;
  AppendNonFinite(out, value);
  return out;
}

}  // namespace

char LocaleDecimalSeparator() { return g_separator.load(std::memory_order_relaxed); }

void SetLocaleDecimalSeparator(char separator) {
  g_separator.store(separator, std::memory_order_relaxed);
}

ScopedDecimalSeparator::ScopedDecimalSeparator(char separator)
    : saved_(LocaleDecimalSeparator()) {
  SetLocaleDecimalSeparator(separator);
}

ScopedDecimalSeparator::~ScopedDecimalSeparator() { SetLocaleDecimalSeparator(saved_); }

namespace {

// Plain decimals such as "-12.345" (either separator) are by far the most
// common field of instrument files. When the digits fit into a double's
// mantissa and the fraction has at most 22 digits, one exact division gives
// the correctly rounded value, the same as the full conversion.
bool ParsePlainDecimal(std::string_view text, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction = -1;  // digits after the separator; -1 before it
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch >= '0' && ch <= '9') {
      if (++digits > 15) return false;
      mantissa = mantissa * 10 + static_cast<unsigned>(ch - '0');
      if (fraction >= 0) ++fraction;
    } else if ((ch == '.' || ch == ',') && fraction < 0) {
      fraction = 0;
    } else {
      return false;
    }
  }
  if (digits == 0 || fraction > 22) return false;
  double v = static_cast<double>(mantissa);
  if (fraction > 0) v /= kPowers[fraction];
  value = negative ? -v : v;
  return true;
}

}  // namespace

double ParseNumber(std::string_view text, double fallback) {
  double plain;
  if (ParsePlainDecimal(text, plain)) return plain;
  const char separator = LocaleDecimalSeparator();
  const char other = OtherSeparator(separator);

  // Called for every field of large instrument files: short texts are
  // filtered on the stack.
  char small[128];
  std::string large;
  char* kept = small;
  if (text.size() > sizeof small) {
    large.resize(text.size());
    kept = large.data();
  }

  size_t count = 0;
  bool inBrackets = false;
  for (char ch : text) {
    if (ch == '\0') break;
    if (ch == other) ch = separator;
    if (ch == '(') {
      inBrackets = true;
    } else if (ch == ')') {
      inBrackets = false;
    } else if (!inBrackets && IsNumberCharacter(ch)) {
      kept[count++] = ch;
    }
  }

  // Leading spaces go; the number ends at the next space.
  size_t begin = 0;
  while (begin < count && kept[begin] == ' ') ++begin;
  size_t end = begin;
  while (end < count && kept[end] != ' ') ++end;
  if (begin == end) return fallback;

  for (size_t i = begin; i < end; ++i) {
    if (kept[i] == separator) kept[i] = '.';
  }
  double value = 0;
  auto result = std::from_chars(kept + begin, kept + end, value, std::chars_format::general);
  if (result.ec != std::errc{} || result.ptr != kept + end) return fallback;
  return value;
}

std::string FormatNumber(std::string_view prefix, double value) {
  const char separator = LocaleDecimalSeparator();
  std::string out(prefix);
  if (value == 0 || std::isnan(value)) {
    out += '0';
    out += separator;
    out += "00";
    return out;
  }
  if (std::isinf(value)) {
    AppendNonFinite(out, value);
    return out;
  }
  double a = std::fabs(value);
  if (value < 0) out += '-';
  Decimal d = ToDecimal(a);
  if (a < 0.01 || a >= 100000) {
    AppendScientific(out, d, 2, 3, false, separator);  // 0.00#e-0
  } else if (a < 0.1) {
    AppendFixed(out, d, 3, 5, separator);  // 0.000##
  } else if (a < 1) {
    AppendFixed(out, d, 3, 4, separator);  // 0.000#
  } else if (a < 10) {
    AppendFixed(out, d, 2, 3, separator);  // 0.00#
  } else if (a < 100) {
    AppendFixed(out, d, 2, 2, separator);  // 0.00
  } else {
    AppendFixed(out, d, 1, 1, separator);  // 0.0
  }
  return out;
}

std::string FormatFixedWithError(double uncertainty, double value) {
  const char separator = LocaleDecimalSeparator();
  Rounded r;
  if (!RoundToUncertainty(uncertainty, value, r)) {
    std::string out;
    AppendSignedFixed(out, value, 2, 2, separator);
    return out;
  }
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (r.g == 0) return ZeroWithDigitAndDecade(r);
  return FixedText(r, separator);
}

std::string FormatMolarWithError(double uncertainty, double value) {
  const char separator = LocaleDecimalSeparator();
  Rounded r;
  if (!RoundToUncertainty(uncertainty, value, r)) return FormatNumber("", value);
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (r.g == 0) return ZeroWithUncertainty(r, separator);

  // The prefix follows the rounded value; negative values and those below
  // the pico range are written in M.
  double multiplier = 1;
  int shift = 0;
  char prefix = ' ';
  if (r.g >= 1e-12 && r.g < 1e-9) {
    multiplier = 1e12;
    shift = 12;
    prefix = 'p';
  } else if (r.g >= 1e-9 && r.g < 1e-6) {
    multiplier = 1e9;
    shift = 9;
    prefix = 'n';
  } else if (r.g >= 1e-6 && r.g < 1e-3) {
    multiplier = 1e6;
    shift = 6;
    prefix = 'u';
  } else if (r.g >= 1e-3 && r.g < 1) {
    multiplier = 1e3;
    shift = 3;
    prefix = 'm';
  }
  double scaledValue = r.g * multiplier;
  double scaledUncertainty = r.h * multiplier;
  int t = r.c + shift;

  std::string out;
  AppendPrintfFixed(out, scaledValue, t > 0 ? 0 : -t, separator);
  out += '(';
  if (t > 0) {
    AppendPrintfFixed(out, scaledUncertainty, 0, separator);
  } else {
    AppendInt(out, r.e);
  }
  out += ')';
  out += prefix;
  out += 'M';
  return out;
}

std::string FormatScientificWithError(double uncertainty, double value) {
  const char separator = LocaleDecimalSeparator();
  Rounded r;
  if (!RoundToUncertainty(uncertainty, value, r)) return FormatNumber("", value);
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (r.g == 0) return ZeroWithUncertainty(r, separator);
  if (r.c > 0) {
    std::string out;
    AppendPrintfFixed(out, r.g, 0, separator);
    out += '(';
    AppendPrintfFixed(out, r.h, 0, separator);
    out += ')';
    return out;
  }
  return ScientificText(r, separator);
}

std::string FormatShortestWithError(double uncertainty, double value) {
  const char separator = LocaleDecimalSeparator();
  Rounded r;
  if (!RoundToUncertainty(uncertainty, value, r)) return FormatNumber("", value);
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (r.g == 0) return ZeroWithDigitAndDecade(r);
  std::string scientific = ScientificText(r, separator);
  if (r.c > 0) return scientific;
  std::string fixed = FixedText(r, separator);
  // On a tie the fixed text wins.
  return scientific.size() < fixed.size() ? scientific : fixed;
}

void LocaliseDecimalSeparator(std::string& text) {
  const char separator = LocaleDecimalSeparator();
  std::replace(text.begin(), text.end(), OtherSeparator(separator), separator);
}

std::string FormatMolar(double molar) {
  if (molar == -1) return "dmso";
  if (molar == -2) return "x";
  double a = std::fabs(molar);
  if (a < 1e-20) return "0";

  const char separator = LocaleDecimalSeparator();
  std::string out;
  if (molar < 0) out += '>';  // a lower limit: "more than"
  if (!std::isfinite(a)) {
    AppendNonFinite(out, a);
    return out;
  }

  if (a >= 1) {
    // Four significant digits, written with one decimal; a value that needs
    // more than four integer digits goes to exponent form.
    Decimal d = ToDecimal(a);
    KeepDigits(d, std::min(4, d.exp + 2));
    if (d.exp >= 4) {
      AppendScientific(out, d, 3, 3, true, separator);
    } else {
      AppendFixed(out, d, 1, 1, separator);
    }
    out += 'M';
    return out;
  }
  if (a < 1e-12) {
    AppendExponentForm(out, a, separator);
    out += 'M';
    return out;
  }

  double scale;
  char prefix;
  if (a < 1e-9) {
    scale = 1e12;
    prefix = 'p';
  } else if (a < 1e-6) {
    scale = 1e9;
    prefix = 'n';
  } else if (a < 1e-3) {
    scale = 1e6;
    prefix = 'u';
  } else {
    scale = 1e3;
    prefix = 'm';
  }
  double v = a * scale;
  Decimal d = ToDecimal(v);
  if (v >= 100) {
    AppendFixed(out, d, 0, 3, separator);  // #.###
  } else if (v >= 10) {
    AppendFixed(out, d, 1, 4, separator);  // 0.0###
  } else {
    AppendFixed(out, d, 2, 5, separator);  // 0.00###
  }
  out += prefix;
  out += 'M';
  return out;
}

std::string FormatMolarExponent(double molar) {
  if (molar == -1) return "dmso";
  if (molar == -2) return "x";
  double a = std::fabs(molar);
  if (a < 1e-20) return "0";
  std::string out;
  if (molar < 0) out += '>';
  if (!std::isfinite(a)) {
    AppendNonFinite(out, a);
    return out;
  }
  AppendExponentForm(out, a, LocaleDecimalSeparator());
  return out;
}

}  // namespace kelvaris

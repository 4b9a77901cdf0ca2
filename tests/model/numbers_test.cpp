#include <charconv>
#include "model/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kelvaris {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Every written number carries the locale separator and no other '.', so the
// expected texts are given with '.' and checked under both separators.
const char kSeparators[] = {'.', ','};

std::string WithSeparator(std::string text, char separator) {
  for (char& ch : text) {
    if (ch == '.') ch = separator;
  }
  return text;
}

struct WriteCase {
  double uncertainty;
  double value;
  const char* expected;
};

template <typename Format>
void CheckWriteCases(const std::vector<WriteCase>& cases, Format format) {
  for (char separator : kSeparators) {
    ScopedDecimalSeparator scoped(separator);
    for (const WriteCase& c : cases) {
      EXPECT_EQ(format(c.uncertainty, c.value), WithSeparator(c.expected, separator))
          << "uncertainty " << c.uncertainty << ", value " << c.value << ", separator '"
          << separator << "'";
    }
  }
}

struct ValueCase {
  double value;
  const char* expected;
};

template <typename Format>
void CheckValueCases(const std::vector<ValueCase>& cases, Format format) {
  for (char separator : kSeparators) {
    ScopedDecimalSeparator scoped(separator);
    for (const ValueCase& c : cases) {
      EXPECT_EQ(format(c.value), WithSeparator(c.expected, separator))
          << "value " << c.value << ", separator '" << separator << "'";
    }
  }
}

TEST(DecimalSeparatorTest, ScopedSeparatorRestoresThePreviousOne) {
  EXPECT_EQ(LocaleDecimalSeparator(), '.');
  {
    ScopedDecimalSeparator comma(',');
    EXPECT_EQ(LocaleDecimalSeparator(), ',');
    {
      ScopedDecimalSeparator point('.');
      EXPECT_EQ(LocaleDecimalSeparator(), '.');
    }
    EXPECT_EQ(LocaleDecimalSeparator(), ',');
  }
  EXPECT_EQ(LocaleDecimalSeparator(), '.');
}

TEST(ParseNumberTest, ReadsLenientlyUnderEitherSeparator) {
  constexpr double kFallback = -7.25;
  struct Case {
    std::string text;
    double expected;
  };
  const std::vector<Case> cases = {
      {"", kFallback},
      {"abc", kFallback},
      {"e", kFallback},
      {"-", kFallback},
      {"   ", kFallback},
      {"(12)", kFallback},
      {"10uM", 10},
      {"680uM", 680},
      {"1.5", 1.5},
      {"1,5", 1.5},
      {"2.5(3)", 2.5},
      {"1.23(5)e-3", 0.00123},
      {"1.2 3", 1.2},
      {"+5", 5},
      {"  -4.5E2 nM  ", -450},
      {".5", 0.5},
      {"3 (est.) 4", 3},
      {"12(3", 12},  // an unclosed bracket skips to the end
      {"1)2", 12},   // a stray closing bracket is dropped
      // Text that survives the filter but is not one number.
      {"1,234.5", kFallback},
      {"1.5.", kFallback},
      {"1e", kFallback},
      {"1-2", kFallback},
      {"--5", kFallback},
      {"1e400", kFallback},
      // Reading stops at an embedded terminating zero.
      {std::string("5\0" "7", 3), 5},
      // Longer than the stack buffer.
      {std::string(300, ' ') + "42" + std::string(300, 'x'), 42},
      {"1" + std::string(150, '0'), 1e150},
  };
  for (char separator : kSeparators) {
    ScopedDecimalSeparator scoped(separator);
    for (const Case& c : cases) {
      EXPECT_EQ(ParseNumber(c.text, kFallback), c.expected)
          << "\"" << c.text << "\", separator '" << separator << "'";
    }
  }
}

TEST(ParseNumberTest, ReadsBackWhatTheWritersProduce) {
  for (char separator : kSeparators) {
    ScopedDecimalSeparator scoped(separator);
    EXPECT_DOUBLE_EQ(ParseNumber(FormatNumber("", -0.0123456), 0), -0.01235);
    EXPECT_DOUBLE_EQ(ParseNumber(FormatScientificWithError(5e-5, 0.001234), 0), 0.00123);
    EXPECT_DOUBLE_EQ(ParseNumber(FormatFixedWithError(0.5, 12.34), 0), 12.3);
  }
}

TEST(FormatNumberTest, DecimalsFollowTheMagnitude) {
  CheckValueCases(
      {
          {0, "0.00"},
          {-0.0, "0.00"},
          {kNaN, "0.00"},
          {0.005, "5.00e-3"},
          {-0.005, "-5.00e-3"},
          {123456, "1.235e5"},
          {0.05, "0.050"},
          {0.5, "0.500"},
          {5, "5.00"},
          {50, "50.00"},
          {500, "500.0"},
          {5000, "5000.0"},
          {-5, "-5.00"},
          // Pattern boundaries.
          {0.00999, "9.99e-3"},
          {0.01, "0.010"},
          {0.1, "0.100"},
          {1, "1.00"},
          {10, "10.00"},
          {100, "100.0"},
          {99999.9, "99999.9"},
          {100000, "1.00e5"},
          // Optional places: kept when not zero, dropped down to the minimum.
          {0.0123456, "0.01235"},
          {0.0123, "0.0123"},
          {0.12345, "0.1235"},
          {1.2345, "1.235"},
          {1.5e-7, "1.50e-7"},
          {1.234e-5, "1.234e-5"},
          {1.5e10, "1.50e10"},
          {1e-300, "1.00e-300"},
          // Halves go away from zero on the shortest decimal text.
          {10.005, "10.01"},
          {12.125, "12.13"},
          {-12.125, "-12.13"},
          {250.25, "250.3"},
          // Rounding carries into the next digit or decade.
          {99.999, "100.00"},
          {99999.96, "100000.0"},
          {9.9996e5, "1.00e6"},
          {0.0099996, "1.00e-2"},
          {kInf, "inf"},
          {-kInf, "-inf"},
      },
      [](double value) { return FormatNumber("", value); });
}

TEST(FormatNumberTest, PrefixComesFirst) {
  EXPECT_EQ(FormatNumber("t = ", 1.5), "t = 1.50");
  EXPECT_EQ(FormatNumber("t = ", 0), "t = 0.00");
  ScopedDecimalSeparator comma(',');
  EXPECT_EQ(FormatNumber("x: ", -0.25), "x: -0,250");
}

TEST(FormatFixedWithErrorTest, ValueToTheDecadeOfTheUncertainty) {
  CheckWriteCases(
      {
          {0.5, 12.34, "12.3(5)"},
          {50, 1234, "1230(5)"},
          {2000, 123456, "123000(2)"},
          {0.04, 1.23, "1.23(4)"},
          {0.3, -2.5, "-2.5(3)"},
          {0.96, 12.3, "12(1)"},  // the digit rounds up to 10
          // Values that round to zero.
          {5e-6, 1e-7, "0(5e-6)"},
          {0.5, 0.04, "0(5e-1)"},
          {50, -3, "0(5e1)"},
          // No uncertainty known: two decimals.
          {0, 12.345, "12.35"},
          {-1, 3, "3.00"},
          {kNaN, 3, "3.00"},
          {kInf, 3, "3.00"},
          {0, -0.001, "0.00"},
          {0, kNaN, "nan"},
          {0.5, kNaN, "nan"},
          {0.5, -kInf, "-inf"},
      },
      FormatFixedWithError);
}

TEST(FormatMolarWithErrorTest, PrefixFollowsTheRoundedValue) {
  CheckWriteCases(
      {
          {3e-8, 4.56e-7, "460(30)nM"},
          {5e-8, 1.234e-6, "1.23(5)uM"},
          {2e-9, 4.56e-8, "46(2)nM"},
          {0.3, 2.5, "2.5(3) M"},
          {0.96, 12.3, "12(1) M"},
          {2e-13, 1.5e-11, "15.0(2)pM"},
          {0.02, 0.5, "500(20)mM"},
          {50, 1234, "1230(50) M"},
          {0.3, 1, "1.0(3) M"},  // one molar takes no prefix
          // Below the pico range and negative values: no prefix.
          {1e-15, 5e-14, "0.000000000000050(1) M"},
          {3e-8, -4.56e-7, "-0.00000046(3) M"},
          // Values that round to zero: the uncertainty in full, no unit.
          {5e-6, 1e-7, "0(0.000005)"},
          {50, 3, "0(50)"},
          // No uncertainty known.
          {0, 4.56e-7, "4.56e-7"},
          {kNaN, 2.5, "2.50"},
          {0.5, kNaN, "nan"},
      },
      FormatMolarWithError);
}

TEST(FormatScientificWithErrorTest, MantissaAndExponent) {
  CheckWriteCases(
      {
          {5e-5, 0.001234, "1.23(5)e-3"},
          {5e-5, -0.001234, "-1.23(5)e-3"},
          {0.3, 123400, "1.234000(3)e5"},
          {3, 1234.4, "1.234(3)e3"},
          {0.96, 12.3, "1.2(1)e1"},
          {0.5, 2.34, "2.3(5)e0"},
          // Uncertainty above the units: both written in full.
          {2000, 123456, "123000(2000)"},
          // Values that round to zero.
          {5e-6, 1e-7, "0(0.000005)"},
          {50, 3, "0(50)"},
          // No uncertainty known.
          {0, 0.005, "5.00e-3"},
          {-2, 0, "0.00"},
          {0.5, kInf, "inf"},
      },
      FormatScientificWithError);
}

TEST(FormatShortestWithErrorTest, PicksTheShorterText) {
  CheckWriteCases(
      {
          {0.5, 12.34, "12.3(5)"},
          {5e-5, 0.001234, "0.00123(5)"},  // a tie: fixed wins
          {5e-7, 1.234e-5, "1.23(5)e-5"},
          {50, 12345, "1.235(5)e4"},  // uncertainty above the units
          {5e-7, -1.234e-5, "-1.23(5)e-5"},
          {5e-6, 1e-7, "0(5e-6)"},
          {0, 0, "0.00"},
          {0, 5, "5.00"},
          {0, kNaN, "0.00"},
          {0.5, kNaN, "nan"},
      },
      FormatShortestWithError);
}

TEST(LocaliseDecimalSeparatorTest, ReplacesOnlyTheOtherSeparator) {
  struct Case {
    char separator;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {'.', "1,5;2.5 (3,0)", "1.5;2.5 (3.0)"},
      {',', "1,5;2.5 (3.0)", "1,5;2,5 (3,0)"},
      {',', "", ""},
  };
  for (const Case& c : cases) {
    ScopedDecimalSeparator scoped(c.separator);
    std::string text = c.text;
    LocaliseDecimalSeparator(text);
    EXPECT_EQ(text, c.expected) << "separator '" << c.separator << "'";
  }
}

TEST(FormatMolarTest, SiPrefixAndMarkers) {
  CheckValueCases(
      {
          {1.5e-7, "150nM"},
          {2.5e-5, "25.0uM"},
          {3e-7, "300nM"},
          {5e-9, "5.00nM"},
          {1e-13, "1.00e-13M"},
          {-1, "dmso"},
          {-2, "x"},
          {0, "0"},
          {-0.0, "0"},
          {1e-21, "0"},
          {1e-20, "1.00e-20M"},
          {2.5e-16, "2.50e-16M"},
          {1.5e-12, "1.50pM"},
          {0.5, "500mM"},
          {1.2345678e-7, "123.457nM"},
          {1.2345678e-5, "12.3457uM"},
          {1.2345678e-3, "1.23457mM"},
          {1.25e-7, "125nM"},
          {9.9999999e-7, "1000nM"},
          // One molar and above: four significant digits, one decimal.
          {1, "1.0M"},
          {2.5, "2.5M"},
          {2.56, "2.6M"},
          {2.549, "2.5M"},  // rounded once, not first to 2.55
          {1234.56, "1235.0M"},
          {9999.6, "1.000e+4M"},
          {12345, "1.235e+4M"},
          // Negative: a lower limit.
          {-1.5e-7, ">150nM"},
          {-3, ">3.0M"},
          {kNaN, "nan"},
          {kInf, "inf"},
      },
      FormatMolar);
}

TEST(FormatMolarExponentTest, ExponentFormWithoutUnit) {
  CheckValueCases(
      {
          {1.5e-7, "1.50e-7"},
          {1e5, "1.00e+5"},
          {1e-13, "1.00e-13"},
          {1, "1.00e+0"},
          {9.996e-7, "1.00e-6"},
          {-3e-6, ">3.00e-6"},
          {-1, "dmso"},
          {-2, "x"},
          {0, "0"},
          {1e-21, "0"},
          {kInf, "inf"},
      },
      FormatMolarExponent);
}

}  // namespace
}  // namespace kelvaris

namespace kelvaris {
namespace {

// Plain decimals take a shortcut; it must agree with the full conversion.
TEST(ParseNumberPlainDecimals, AgreeWithTheFullConversion) {
  unsigned state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1664525u + 1013904223u;
    const int digits = 1 + static_cast<int>(state % 15);
    const int point = static_cast<int>((state >> 8) % (digits + 1));
    std::string text = (state >> 20) % 2 ? "-" : "";
    unsigned d = state;
    for (int k = 0; k < digits; ++k) {
      if (k == point && k > 0) text += '.';
      d = d * 1103515245u + 12345u;
      text += static_cast<char>('0' + (d >> 16) % 10);
    }
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    EXPECT_EQ(ParseNumber(text, -999), expected) << text;
  }
  EXPECT_EQ(ParseNumber("0.0000000000000000000001", 0), 1e-22);
  EXPECT_EQ(ParseNumber("123456789012345678", 0), 123456789012345678.0);
}

}  // namespace
}  // namespace kelvaris

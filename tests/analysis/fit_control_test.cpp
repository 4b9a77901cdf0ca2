#include "analysis/fit_control.h"

#include <gtest/gtest.h>

#include <string>

#include "model/numbers.h"

namespace kelvaris {
namespace {

FitControl ReadBack(const FitControl& written, FitControl into = {}) {
  EXPECT_TRUE(ReadFitControlLine(FitControlLine1(written), into));
  EXPECT_TRUE(ReadFitControlLine(FitControlLine2(written), into));
  return into;
}

TEST(FitControlLines, DefaultsAreWrittenAsTheFileHasThem) {
  const FitControl c;
  EXPECT_EQ(FitControlLine1(c), "FitControl1: 1.000e-04 1.000e-20 1.000e+20 5.000e-06");
  EXPECT_EQ(FitControlLine2(c), "FitControl2: 1.000e-02 1.000e-03 1.000e+10 100 1");
}

TEST(FitControlLines, WriteThenReadKeepsEveryFieldToFourDigits) {
  FitControl c;
  c.endChisqChange = 2.5e-5;
  c.lambdaMin = 3.14159e-18;
  c.lambdaMax = 7e15;
  c.rateStep = 1.23456e-7;
  c.amplitudeStep = 0.5;
  c.timeStep = 0.0125;
  c.rateUpperLimit = 1e9;
  c.maxIterations = 40;
  c.displayInterval = 0;
  // Put the reader in a state with other values everywhere.
  FitControl other;
  other.maxIterations = 7;
  other.displayInterval = 9;
  const FitControl r = ReadBack(c, other);
  EXPECT_DOUBLE_EQ(r.endChisqChange, 2.5e-5);
  EXPECT_DOUBLE_EQ(r.lambdaMin, 3.142e-18);
  EXPECT_DOUBLE_EQ(r.lambdaMax, 7e15);
  EXPECT_DOUBLE_EQ(r.rateStep, 1.235e-7);
  EXPECT_DOUBLE_EQ(r.amplitudeStep, 0.5);
  EXPECT_DOUBLE_EQ(r.timeStep, 0.0125);
  EXPECT_DOUBLE_EQ(r.rateUpperLimit, 1e9);
  EXPECT_EQ(r.maxIterations, 40);
  EXPECT_EQ(r.displayInterval, 0);
}

TEST(FitControlLines, TheLineIsTheSameWhateverTheLocaleSeparator) {
  const ScopedDecimalSeparator comma(',');
  EXPECT_EQ(FitControlLine1(FitControl{}), "FitControl1: 1.000e-04 1.000e-20 1.000e+20 5.000e-06");
}

TEST(FitControlLines, ReadingStopsAtTheFirstFieldThatIsNotANumber) {
  struct Row {
    const char* line;
    FitControl expected;
    const char* reason;
  };
  FitControl partial1;
  partial1.endChisqChange = 2e-3;
  FitControl partial2;
  partial2.amplitudeStep = 0.2;
  partial2.timeStep = 0.003;
  partial2.rateUpperLimit = 5e8;
  partial2.maxIterations = 12;
  FitControl comma;
  comma.endChisqChange = 1.5e-4;
  const Row rows[] = {
      {"FitControl1: 2.000e-03 x 1.000e+00 1.000e+00", partial1, "the fields after a word keep their values"},
      {"FitControl2: 2.000e-01 3.000e-03 5.000e+08 12", partial2, "a missing last field keeps its value"},
      {"FitControl2: 2.000e-01 3.000e-03 5.000e+08 12.5 3", partial2,
       "a whole number read from '12.5' ends the line as the old reader did"},
      {"FitControl1: 1,500e-04", comma, "a comma is read as the decimal point"},
      {"FitControl1:", FitControl{}, "nothing to read"},
  };
  for (const Row& row : rows) {
    FitControl c;
    EXPECT_TRUE(ReadFitControlLine(row.line, c)) << row.reason;
    EXPECT_DOUBLE_EQ(c.endChisqChange, row.expected.endChisqChange) << row.reason;
    EXPECT_DOUBLE_EQ(c.lambdaMin, row.expected.lambdaMin) << row.reason;
    EXPECT_DOUBLE_EQ(c.amplitudeStep, row.expected.amplitudeStep) << row.reason;
    EXPECT_DOUBLE_EQ(c.rateUpperLimit, row.expected.rateUpperLimit) << row.reason;
    EXPECT_EQ(c.maxIterations, row.expected.maxIterations) << row.reason;
    EXPECT_EQ(c.displayInterval, row.expected.displayInterval) << row.reason;
  }
}

TEST(FitControlLines, OtherLinesAreNotTaken) {
  FitControl c;
  EXPECT_FALSE(ReadFitControlLine("FitOptions: 1 0 1", c));
  EXPECT_FALSE(ReadFitControlLine("FitControl", c));
  EXPECT_EQ(c.maxIterations, 100);
}

}  // namespace
}  // namespace kelvaris

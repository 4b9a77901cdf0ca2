#include "import/headerless_pair_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/numbers.h"

namespace kelvaris {
namespace {

struct Read {
  bool ok = false;
  RawRun run;
  ReadMessage message;
  std::vector<int> progress;
};

Read ReadText(const std::string& text) {
  Read r;
  r.ok = ReadHeaderlessPairText(text, r.run, r.message, [&](int v) { r.progress.push_back(v); });
  return r;
}

std::vector<double> Responses(const RawRun& run, int c) {
  const double* p = run.curves.ResponseOf(c);
  return {p, p + run.curves.PointCount[c]};
}

TEST(HeaderlessReader, ShapeChecksComeBeforeAnyAllocation) {
  struct Case {
    std::string text;
    std::string message, caption;
  } cases[] = {
      {"1\t2\t3\n4\t5\t6\n", "Unreadable format", "File Read Error"},   // 3 fields: odd
      {"1\t2\t3\t4", "Unreadable format", "File Read Error"},          // no line feed
      {"1\t2\n", "Poorly formated file", "Load Error"},                // one row
      {"1\t2\n3\t4", "Poorly formated file", "Load Error"},            // the last line is not a row
      {"1\t2\x1a\n3\t4\n", "Unreadable format", "File Read Error"},    // 1A ends the text
  };
  for (const auto& c : cases) {
    Read r = ReadText(c.text);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_EQ(r.message.text, c.message) << c.text;
    EXPECT_EQ(r.message.caption, c.caption) << c.text;
    EXPECT_FALSE(r.run.curves.Exists()) << c.text;
  }
}

TEST(HeaderlessReader, FourFieldsGiveTwoCurvesOfOneInjectionEach) {
  Read r = ReadText("0\t1.5\t0\t2.5\n1\t3\t1\t4\n2\t5\t2\t6");
  ASSERT_TRUE(r.ok) << r.message.text;
  ASSERT_EQ(r.run.curves.CurveCount, 2);
  EXPECT_EQ(r.run.curves.Capacity, 2);
  EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1.5, 3}));  // the unterminated row is not read
  EXPECT_EQ(Responses(r.run, 1), (std::vector<double>{2.5, 4}));
  EXPECT_EQ(r.run.info[0].Injection, 1);
  EXPECT_EQ(r.run.info[1].Injection, 2);
  EXPECT_EQ(r.run.info[1].FlowCell, 1);
  EXPECT_EQ(r.run.curves.IndexOf(1)[1], 1);
}

TEST(HeaderlessReader, ColonGivesThePointItsFlagWord) {
  Read r = ReadText("0\t1:3\t0\t7\n1\t2 : 12\t1\t8\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.FlagsOf(0)[0], 3u);
  EXPECT_EQ(r.run.curves.FlagsOf(0)[1], 12u);
  EXPECT_EQ(r.run.curves.FlagsOf(1)[0], 0u);
  EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1, 2}));
}

TEST(HeaderlessReader, ShortRowsLeaveLaterCurvesShort) {
  Read r = ReadText("0\t1\t0\t2\t0\t3\n1\t4\t1\t5\n2\t6\t2\t7\t2\t8\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1, 4, 6}));
  EXPECT_EQ(Responses(r.run, 2), (std::vector<double>{3, 8}));
  EXPECT_DOUBLE_EQ(r.run.curves.TimeOf(2)[1], 2);
}

TEST(HeaderlessReader, FieldsThatDoNotMatchGiveNoPoint) {
  // An empty pair, a pair without a response, CR LF line ends, text units.
  Read r = ReadText("\t\t0\t1\r\n5\t\t1\t2s\r\n9 RU\t7\t2\t3\r\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.PointCount[0], 1);
  EXPECT_DOUBLE_EQ(r.run.curves.TimeOf(0)[0], 9);
  EXPECT_DOUBLE_EQ(r.run.curves.ResponseOf(0)[0], 0) << "RU is the response token";
  EXPECT_EQ(Responses(r.run, 1), (std::vector<double>{1, 2, 3}));
}

TEST(HeaderlessReader, AnOverLongPairFailsKeepingTheRowsRead) {
  const std::string pair78 = "1\t" + std::string(76, '2');
  const std::string pair79 = "1\t" + std::string(77, '2');
  Read ok = ReadText("0\t1\n" + pair78 + "\n");
  EXPECT_TRUE(ok.ok);
  Read bad = ReadText("0\t1\n" + pair79 + "\n");
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.message.text, "Unreadable format");
  EXPECT_EQ(bad.run.curves.PointCount[0], 1);
}

TEST(HeaderlessReader, CommaLocaleReadsBothSeparators) {
  ScopedDecimalSeparator comma(',');
  Read r = ReadText("0,5\t1.25\n1.5\t2,75\n");
  ASSERT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(r.run.curves.TimeOf(0)[0], 0.5);
  EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1.25, 2.75}));
}

TEST(HeaderlessReader, ProgressIsSentOnlyWhenItChanges) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += std::to_string(i) + "\t1\n";
  Read r = ReadText(text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.progress, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(HeaderlessReader, AByte255EndsTheData) {
  Read r = ReadText("0\t1\n1\t2\n\xff" "2\t3\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.PointCount[0], 2);
}

}  // namespace
}  // namespace kelvaris

#include "import/tagged_text.h"

#include <gtest/gtest.h>

#include "import/data_readers.h"
#include "import/format_recognition.h"
#include "synthetic_tagged_text.h"

namespace kelvaris {
namespace {

// Joins fields with the record separator; "|" in the literal stands for it.
std::string Rs(std::string text) {
  for (auto& ch : text)
    if (ch == '|') ch = kTaggedFieldSeparator;
  return text;
}

struct Read {
  bool ok = false;
  RawRun run;
  ReadMessage message;
};

Read ReadText(const std::string& text) {
  Read r;
  r.ok = ReadTaggedText(text, r.run, r.message, nullptr);
  return r;
}

// Three cycles S1, S2, s1; `spots` spots; `lines` data lines per cycle.
std::string File(int spots, int lines, const std::string& keywords = "", const std::string& unit = "") {
  std::string s = "<FILEVERSION>2\n";
  if (!unit.empty()) s += Rs("<T_>FILETAG<TX>\n|||ConcUnit=" + unit + "\n</T_>\n");
  s += Rs("<T_>CYCLE<TX>\n|||S1\n|||S2\n|||\n|||s1\n</T_>\n");
  s += "<T_>XYMULTISPOTDATA<TX>\n";
  for (int h = 1; h <= 3; ++h)
    for (int i = 0; i < lines; ++i) {
      std::string line = Rs("||" + std::to_string(h) + "|" + std::to_string(i) + "|");
      for (int g = 0; g < spots; ++g) line += std::to_string(100 * h + g) + Rs("|");
      s += line + "\n";
    }
  s += "</T_>\n";
  if (!keywords.empty()) s += "<T_>CURVEKEYWORD<TX>\n" + Rs(keywords) + "</T_>\n";
  return s;
}

TEST(TaggedText, SectionNamesAndFields) {
  EXPECT_EQ(TaggedSectionName("x<T_>CYCLE<TX>rest"), std::optional<std::string_view>("CYCLE"));
  EXPECT_EQ(TaggedSectionName("<T_>CYCLE;"), std::optional<std::string_view>("CYCLE"));
  EXPECT_EQ(TaggedSectionName("</T_>"), std::nullopt);
  EXPECT_EQ(TaggedField(Rs("a|b||d"), 3), "d");
  EXPECT_EQ(TaggedField(Rs("a|b"), 3), "");
}

TEST(TaggedText, CyclesSpotsAndCurves) {
  Read r = ReadText(File(10, 4));
  ASSERT_TRUE(r.ok) << r.message.text;
  ASSERT_EQ(r.run.curves.CurveCount, 30);
  EXPECT_EQ(r.run.curves.Capacity, 4);
  EXPECT_EQ(r.run.curves.PointCount[13], 4);
  EXPECT_EQ(r.run.curves.ResponseOf(13)[2], 203.0) << "cycle 2, spot 3";
  EXPECT_EQ(r.run.curves.TimeOf(13)[2], 2.0);
  // S1, S2, s1: two analytes, numbered 1, 2, 1.
  EXPECT_EQ(r.run.info[0].Analyte, 1);
  EXPECT_EQ(r.run.info[10].Analyte, 2);
  EXPECT_EQ(r.run.info[29].Analyte, 1);
  ASSERT_TRUE(r.run.rowAnalyteLayout);
  EXPECT_EQ(r.run.rowAnalyteLayout->rows, 3);
  EXPECT_EQ(r.run.rowAnalyteLayout->columns, 2);
  EXPECT_EQ(r.run.rowAnalyteLayout->analytePerRow, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(r.run.rowAnalyteLayout->analyteNames, (std::vector<std::string>{"S1", "S2"}));
  EXPECT_EQ(r.run.highestFlowCell, 5) << "flow cells 1 to 5 even with fewer spots";
}

TEST(TaggedText, ConcentrationKeywordsGiveInjectionAndFlowCell) {
  const std::string keywords = "||2|7|Conc|50\n||1|0|Conc|x\n||1|1|Note|7\n||9|0|Conc|1\n||1|99|Conc|1\n";
  Read r = ReadText(File(10, 2, keywords, "nM"));
  ASSERT_TRUE(r.ok);
  const TCurveInfo& c = r.run.info[10 + 7];
  EXPECT_DOUBLE_EQ(c.Concentration, 5e-8);
  EXPECT_EQ(c.Injection, 3 + 2);
  EXPECT_EQ(c.FlowCell, 3);
  EXPECT_EQ(r.run.info[0].Concentration, -2.0);
  EXPECT_EQ(r.run.info[1].Injection, 0) << "no Conc keyword";
  EXPECT_EQ(r.run.info[1].FlowCell, 1);

  Read plain = ReadText(File(5, 2, "||1|0|Conc|0.0005\n"));
  EXPECT_DOUBLE_EQ(plain.run.info[0].Concentration, 0.0005);
}

TEST(TaggedText, RunsOfDifferentLengthAndOddCycleTexts) {
  std::string s = Rs("<FILEVERSION>\n<T_>CYCLE<TX>\n|||A\n|||B\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n");
  for (int i = 0; i < 3; ++i) s += Rs("||word|" + std::to_string(i) + "|1|2|3|4|5|\n");  // cycle 1
  for (int i = 0; i < 5; ++i) s += Rs("||2|" + std::to_string(i) + "|6|7|8|9|10|\n");
  s += Rs("||7|0|1|1|1|1|1|\n");       // no such cycle
  s += Rs("||1|9|11|12|13|14|15|\n");  // cycle 1 again, in a second run
  s += Rs("a|b|1|12.5|3|4\n");          // the last field has no separator
  s += "</T_>\n";
  Read r = ReadText(s);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.run.curves.CurveCount, 2 * 5);
  EXPECT_EQ(r.run.curves.Capacity, 5);
  EXPECT_EQ(r.run.curves.PointCount[0], 5);
  EXPECT_EQ(r.run.curves.ResponseOf(0)[4], 3.0);
  EXPECT_EQ(r.run.curves.TimeOf(0)[4], 12.5);
  EXPECT_EQ(r.run.curves.ResponseOf(1)[4], 12.0) << "a missing value repeats the line before";
  EXPECT_EQ(r.run.curves.PointCount[5], 5);
  EXPECT_EQ(r.run.rowAnalyteLayout->columns, 1);
}

TEST(TaggedText, RefusalsAndAFileWithoutData) {
  // No cycles before the data, and a data section without a data line.
  EXPECT_FALSE(ReadText(Rs("<FILEVERSION>\n<T_>XYMULTISPOTDATA<TX>\n||1|0|1|2|3|4|5|\n</T_>\n")).ok);
  Read empty = ReadText(Rs("<FILEVERSION>\n<T_>CYCLE<TX>\n|||A\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n|x\n</T_>\n"));
  EXPECT_FALSE(empty.ok);
  EXPECT_TRUE(empty.message.text.empty());
  EXPECT_FALSE(empty.run.curves.Exists());
  // Too few fields for a single spot: the allocation refuses.
  Read narrow = ReadText(Rs("<FILEVERSION>\n<T_>CYCLE<TX>\n|||A\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n||1|0|\n</T_>\n"));
  EXPECT_FALSE(narrow.ok);
  EXPECT_EQ(narrow.message.text, "Bad allocation request");
  // Keywords before the data have no curve to go to; without data the
  // loaded curves stay.
  Read none = ReadText(Rs("<FILEVERSION>\n<T_>CURVEKEYWORD<TX>\n||1|0|Conc|5\n</T_>\n<T_>CYCLE<TX>\n|||A\n</T_>\n"));
  EXPECT_TRUE(none.ok);
  EXPECT_TRUE(none.run.keepsLoadedCurves);
  EXPECT_FALSE(none.run.rowAnalyteLayout);
}

TEST(TaggedText, GeneratedFileIsRecognisedAndLoads) {
  synth::RunShape shape;
  shape.curves = 4;
  shape.points = 12;
  const std::string text = synth::TaggedText(shape, 10);
  const RecognisedFormat f = RecogniseFormat(std::string_view(text).substr(0, 20));
  ASSERT_EQ(f.format, DataFormat::TaggedText);
  RawRun run;
  ReadMessage message;
  ASSERT_TRUE(ReaderFor(f.format)(text, {}, run, message, nullptr));
  EXPECT_EQ(run.curves.CurveCount, 40);
  EXPECT_EQ(run.curves.PointCount[39], 12);
  EXPECT_DOUBLE_EQ(run.info[0].Concentration, synth::ConcentrationOf(shape, 0));
  EXPECT_EQ(run.info[7].FlowCell, 3);
  EXPECT_EQ(run.info[7].Injection, 4 + 1);
}

}  // namespace
}  // namespace kelvaris

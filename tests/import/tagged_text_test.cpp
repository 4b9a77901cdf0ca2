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

// A file of two cycles A and B with five spots and the given data lines
// ("|" for the separator).
std::string TwoCycles(const std::string& dataLines) {
  return Rs("<FILEVERSION>\n<T_>CYCLE<TX>\n|||A\n|||B\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n" + dataLines + "</T_>\n");
}

std::string DataLines(const std::string& cycle, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += "||" + cycle + "|" + std::to_string(i) + "|1|2|3|4|5|\n";
  return s;
}

TEST(TaggedText, SectionNamesAreExactAndNeedNoNameEnd) {
  // Opening lines without "<TX>" lose their last character (here the
  // separator that ends them); the version line and sections of other
  // names are skipped.
  const std::string good = Rs("<FILEVERSION><T_>CYCLE<TX>\n<T_>NOTES<TX>\n|||Z\n</T_>\n<T_>CYCLE|\n|||A\n</T_>\n"
                              "<T_>XYMULTISPOTDATA|\n||1|0|1|2|3|4|5|\n</T_>\n");
  Read r = ReadText(good);
  ASSERT_TRUE(r.ok) << r.message.text;
  EXPECT_EQ(r.run.rowAnalyteLayout->analyteNames, (std::vector<std::string>{"A"}));
  EXPECT_EQ(r.run.curves.CurveCount, 5);

  const struct {
    const char* opening;
    const char* why;
  } notCycles[] = {
      {"<T_>cycle<TX>", "case counts"},
      {"<T_>CYCLE", "the last character is dropped: CYCL"},
      {"<T_>CYCLE <TX>", "no trimming"},
  };
  for (const auto& c : notCycles) {
    Read bad = ReadText(Rs(std::string("<FILEVERSION>\n") + c.opening + "\n|||A\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n"
                           "||1|0|1|2|3|4|5|\n</T_>\n"));
    EXPECT_FALSE(bad.ok) << c.why;
    EXPECT_TRUE(bad.message.text.empty()) << c.why;
  }
}

TEST(TaggedText, RunLengthsAndCycleNumbersSizeTheCurves) {
  const struct {
    std::string lines;
    int capacity;
    std::vector<int> points;  // cycle A, cycle B
    const char* what;
  } cases[] = {
      {DataLines("1", 50), 50, {50, 0}, "a single run"},
      {DataLines("1", 40) + DataLines("2", 40) + DataLines("1", 60), 100, {100, 40},
       "a cycle split into runs keeps all its lines"},
      {DataLines("2", 3) + DataLines("3", 7) + DataLines("0", 2) + DataLines("-1", 1), 7, {0, 3},
       "cycles without curves are dropped"},
      {DataLines(" 2 ", 2) + DataLines("00", 4) + DataLines("A", 1) + DataLines("99999999999", 1), 4, {2, 2},
       "blanks around a number; 00 is cycle 0; words and numbers beyond int are cycle 1"},
      {DataLines("7", 4), 4, {0, 0}, "data lines, but none of a known cycle"},
  };
  for (const auto& c : cases) {
    Read r = ReadText(TwoCycles(c.lines));
    ASSERT_TRUE(r.ok) << c.what;
    ASSERT_EQ(r.run.curves.CurveCount, 10) << c.what;
    EXPECT_EQ(r.run.curves.Capacity, c.capacity) << c.what;
    EXPECT_EQ(r.run.curves.PointCount[0], c.points[0]) << c.what;
    EXPECT_EQ(r.run.curves.PointCount[9], c.points[1]) << c.what;
  }

  // Runs of 40, 40 and 60 lines for three cycles: capacity 60, and the
  // points of cycle 3 keep their order and index.
  std::string three = Rs("<FILEVERSION>\n<T_>CYCLE<TX>\n|||A\n|||B\n|||C\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n");
  three += Rs(DataLines("1", 40) + DataLines("2", 40) + DataLines("3", 60)) + "</T_>\n";
  Read r = ReadText(three);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.Capacity, 60);
  EXPECT_EQ(r.run.curves.PointCount[14], 60);
  EXPECT_EQ(r.run.curves.PointCount[5], 40);
  EXPECT_EQ(r.run.curves.TimeOf(14)[59], 59.0);
  EXPECT_EQ(r.run.curves.IndexOf(14)[59], 59);
}

TEST(TaggedText, UnitLetters) {
  const struct {
    const char* unit;  // empty: no FILETAG section
    const char* value;
    double molar;
  } cases[] = {
      {"", "0.0005", 0.0005}, {"", "x", -2},       {"", "---", -2},  {"", "d", -1},
      {"nM", "50", 5e-8},     {"uM", "2.5", 2.5e-6}, {"pM", "100", 1e-10}, {"mM", "3", 3e-3},
      {"M", "0.0005", 0.0005},  // molar itself, not milli
      {"", "5nM", 5e-9},      {"nM", "x", -2},
  };
  for (const auto& c : cases) {
    Read r = ReadText(File(5, 1, std::string("||1|2|Conc|") + c.value + "\n", c.unit));
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.run.info[2].Concentration, c.molar) << c.unit << " " << c.value;
  }
  // "ConcUnit=" ends field 3: no letter (the nM after it is field 4). A
  // FILETAG after the keywords is too late for them.
  Read none = ReadText(File(5, 1, "||1|0|Conc|7\n", "|nM"));
  EXPECT_DOUBLE_EQ(none.run.info[0].Concentration, 7);
  Read late = ReadText(File(5, 1, "||1|0|Conc|7\n") + Rs("<T_>FILETAG<TX>\n|||ConcUnit=nM\n</T_>\n"));
  EXPECT_DOUBLE_EQ(late.run.info[0].Concentration, 7);
}

TEST(TaggedText, KeywordsThatNameNoCurveAreSkipped) {
  // Seven spots: the second group is incomplete and has no table column.
  // A CYCLE section after the data adds cycles without curves.
  std::string s = File(7, 2, "||3|6|Conc|1\n||4|0|Conc|1\n||0|0|Conc|1\n||1|7|Conc|1\n||1|-1|Conc|1\n||x|0|Conc|1\n");
  s += Rs("<T_>CYCLE<TX>\n") + std::string(5, '\n') + Rs("|||more\n</T_>\n");
  s += Rs("<T_>CURVEKEYWORD<TX>\n||4|0|Conc|9\n||2|5|Conc|2|\n</T_>\n");
  Read r = ReadText(s);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.run.curves.CurveCount, 21);
  EXPECT_EQ(r.run.rowAnalyteLayout->columns, 1);
  EXPECT_EQ(r.run.rowAnalyteLayout->rows, 4) << "the later cycle counts for the table";
  const TCurveInfo& spot6 = r.run.info[2 * 7 + 6];
  EXPECT_EQ(spot6.Injection, 3 + 3);
  EXPECT_EQ(spot6.FlowCell, 2);
  EXPECT_EQ(r.run.info[7 + 5].Injection, 4 + 2) << "injections use the cycle count when the keywords are read";
  EXPECT_DOUBLE_EQ(r.run.info[7 + 5].Concentration, 2);
  int withKeyword = 0;
  for (const auto& info : r.run.info) withKeyword += info.Injection != 0;
  EXPECT_EQ(withKeyword, 2);
}

TEST(TaggedText, AnInjectionNumberBeyondTheIntegersIsSkipped) {
  // One cycle of 50000 spots, then a CYCLE section of 220000 cycles: the
  // last spot's injection would be 220000 * 9999 + 1.
  std::string s = Rs("<FILEVERSION>\n<T_>CYCLE<TX>\n|||A\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n||1|0|");
  for (int g = 0; g < 50000; ++g) s += "1\x1e";
  s += "\n</T_>\n<T_>CYCLE<TX>\n";
  for (int h = 0; h < 219999; ++h) s += Rs("|||A\n");
  s += Rs("</T_>\n<T_>CURVEKEYWORD<TX>\n||1|49999|Conc|1\n||1|49998|Conc|1\n||1|10|Conc|1\n</T_>\n");
  Read r = ReadText(s);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.info[49999].Injection, 0);
  EXPECT_EQ(r.run.info[49998].Injection, 0);
  EXPECT_EQ(r.run.info[10].Injection, 220000 * 2 + 1);
}

TEST(TaggedText, ALaterDataSectionReplacesTheFirst) {
  std::string s = File(5, 2, "||1|0|Conc|1\n");
  s += Rs("<T_>XYMULTISPOTDATA<TX>\n||2|0|1|2|3|4|5|6|7|8|9|10|\n</T_>\n");
  Read r = ReadText(s);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.CurveCount, 30);
  EXPECT_EQ(r.run.curves.Capacity, 1);
  EXPECT_EQ(r.run.curves.PointCount[0], 0);
  EXPECT_EQ(r.run.curves.ResponseOf(19)[0], 10.0);
  EXPECT_EQ(r.run.info[0].Injection, 0) << "the keywords belonged to the curves replaced";
}

TEST(TaggedText, CrLfLinesAndTheEndOfText) {
  synth::RunShape shape;
  shape.curves = 3;
  shape.points = 5;
  const std::string lf = synth::TaggedText(shape, 5);
  std::string crlf;
  for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  Read a = ReadText(lf);
  Read b = ReadText(crlf);
  ASSERT_TRUE(a.ok && b.ok);
  ASSERT_EQ(b.run.curves.CurveCount, 15);
  for (int c = 0; c < 15; ++c) {
    EXPECT_EQ(b.run.curves.PointCount[c], a.run.curves.PointCount[c]);
    EXPECT_EQ(b.run.curves.ResponseOf(c)[4], a.run.curves.ResponseOf(c)[4]);
    EXPECT_EQ(b.run.info[c].Concentration, a.run.info[c].Concentration);
  }
  // A 1A byte ends the text: the keywords after it are not read.
  const std::size_t keywords = lf.find("<T_>CURVEKEYWORD");
  Read cut = ReadText(lf.substr(0, keywords) + "\x1a" + lf.substr(keywords));
  ASSERT_TRUE(cut.ok);
  EXPECT_EQ(cut.run.info[0].Injection, 0);
}

TEST(TaggedText, ProgressFollowsTheDataLines) {
  std::vector<int> seen;
  RawRun run;
  ReadMessage message;
  ASSERT_TRUE(ReadTaggedText(TwoCycles(DataLines("1", 100)), run, message, [&](int v) { seen.push_back(v); }));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
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

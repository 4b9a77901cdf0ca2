// The headed, flow-cell-labelled, version-3, two-channel and ROI block
// readers, reached through the reader table as the loader reaches them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/data_readers.h"
#include "import/flow_cell_labelled_text.h"

namespace kelvaris {
namespace {

struct Read {
  bool ok = false;
  RawRun run;
  ReadMessage message;
};

Read ReadAs(DataFormat format, const std::string& text) {
  Read r;
  const DataReader reader = ReaderFor(format);
  EXPECT_NE(reader, nullptr);
  if (reader) r.ok = reader(text, ReaderOptions{}, r.run, r.message, nullptr);
  return r;
}

std::vector<double> Responses(const RawRun& run, int c) {
  const double* p = run.curves.ResponseOf(c);
  return {p, p + run.curves.PointCount[c]};
}

std::vector<double> Times(const RawRun& run, int c) {
  const double* p = run.curves.TimeOf(c);
  return {p, p + run.curves.PointCount[c]};
}

// Flow cell and injection of every curve.
std::vector<std::pair<int, int>> Labels(const RawRun& run) {
  std::vector<std::pair<int, int>> out;
  for (const TCurveInfo& i : run.info) out.emplace_back(i.FlowCell, i.Injection);
  return out;
}

using Labelled = std::vector<std::pair<int, int>>;

std::string LabelPair(int flowCell, const std::string& cycle) {
  const std::string label = "201231a Fc=" + std::to_string(flowCell) + " - " + cycle;
  return label + "_X\t" + label + "_Y";
}

// --- Failures -------------------------------------------------------------

TEST(PlainTextReaders, EveryRefusalWithItsMessage) {
  const std::string unreadable = "Unreadable format", poor = "Poorly formated file";
  const std::string pair79 = "1\t" + std::string(77, '2');
  struct Case {
    DataFormat format;
    std::string text;
    std::string message;
    bool allocated;  // refused while reading, after the shape was accepted
    const char* why;
  } cases[] = {
      {DataFormat::HeadedPairText, "Time\tResp", unreadable, false, "header without line feed"},
      {DataFormat::HeadedPairText, "Time\tResp\tNote\n1\t2\n3\t4\n", unreadable, false, "three named cells"},
      {DataFormat::HeadedPairText, "\t-\t\n1\t2\n3\t4\n", poor, false, "no named cell"},
      {DataFormat::HeadedPairText, "Time\tResp\n1\t2\n", poor, false, "one row"},
      {DataFormat::HeadedPairText, "Time\tResp\n1\t2\x1a\n3\t4\n", poor, false, "1A ends the text"},
      {DataFormat::HeadedPairText, "Time\tResp\n0\t1\n" + pair79 + "\n", unreadable, true, "pair of 79 characters"},
      {DataFormat::FlowCellText, "\n\n", unreadable, false, "nothing but line feeds"},
      {DataFormat::FlowCellText, LabelPair(1, "1"), unreadable, false, "header without line feed"},
      {DataFormat::FlowCellText, "201231a Fc=1 - 1_X\n1\t2\n3\t4\n", unreadable, false, "one label"},
      {DataFormat::FlowCellText, LabelPair(1, "1") + "\n1\t2\n", poor, false, "one row"},
      {DataFormat::FlowCellText, LabelPair(10000, "1") + "\n1\t2\n3\t4\n", unreadable, true, "flow cell 10000"},
      {DataFormat::FlowCellText, LabelPair(1, "1") + "\t" + "a Fc=2 - 1_X\ta Fc=99999999999999999999 - 1_Y\n1\t2\n3\t4\n",
       unreadable, true, "flow cell beyond any integer"},
      {DataFormat::Version3Text, "Version 3\nrun\n", unreadable, false, "line 3 unterminated"},
      {DataFormat::Version3Text, "Version 3\nrun\nnote\nxTime\tResp", unreadable, false, "line 4 unterminated"},
      {DataFormat::Version3Text, "Version 3\nrun\nnote\nxT\tR\tT\n", unreadable, false, "three separators"},
      {DataFormat::Version3Text, "Version 3\nrun\nnote\nxTime\tResp\nC1\t1e-6\n", poor, false, "only the concentration line"},
      {DataFormat::Version3Text, "Version 3\nrun\nnote\nxT\tR\tT\tR\nC1\t1e-6\tC2\n1\t2\t1\t3\n", unreadable, true,
       "second concentration missing"},
      {DataFormat::Version3Text, "Version 3\nrun\nnote\nxT\tR\n\n1\t2\n", unreadable, true, "empty concentration line"},
      {DataFormat::TwoChannelText, "", unreadable, false, "empty file"},
      {DataFormat::TwoChannelText, "_Data\tY1\tX2\n1\t2\n3\t4\n", unreadable, false, "three separators"},
      {DataFormat::TwoChannelText, "_Data\tY1\n1\t2\n", poor, false, "one row"},
  };
  for (const auto& c : cases) {
    Read r = ReadAs(c.format, c.text);
    EXPECT_FALSE(r.ok) << c.why;
    EXPECT_EQ(r.message.text, c.message) << c.why;
    EXPECT_EQ(r.message.caption, c.message == poor ? "Load Error" : "File Read Error") << c.why;
    EXPECT_EQ(r.run.curves.Exists(), c.allocated) << c.why;
  }
}

// --- Headed pair-column text ----------------------------------------------

TEST(HeadedPairText, OnlyNamedHeaderCellsCountAsColumns) {
  struct Case {
    std::string header;
    int curves;
  } cases[] = {
      {"Time\tResp\t\t\n", 1},
      {"t 1\tr 1\t -- \tt 2\tr 2\n", 2},
      {"Time\tResp\r\n", 1},
  };
  for (const auto& c : cases) {
    const std::string rows = c.curves == 1 ? "0\t1\r\n1\t2:3\n" : "0\t1\t0\t5\r\n1\t2:3\t1\t6\n";
    Read r = ReadAs(DataFormat::HeadedPairText, c.header + rows);
    ASSERT_TRUE(r.ok) << c.header << r.message.text;
    ASSERT_EQ(r.run.curves.CurveCount, c.curves) << c.header;
    EXPECT_EQ(r.run.curves.Capacity, 2);
    EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1, 2})) << c.header;
    EXPECT_EQ(r.run.curves.FlagsOf(0)[1], 3u) << "the colon form gives the flag word";
    EXPECT_EQ(r.run.info.back().Injection, c.curves);
    EXPECT_EQ(r.run.info.back().FlowCell, 1);
    EXPECT_EQ(r.run.highestFlowCell, 1);
    EXPECT_EQ(r.run.naming, FlowCellNaming::Default);
  }
}

// --- Flow-cell-labelled text ----------------------------------------------

TEST(FlowCellLabelledText, InjectionsRankTheCyclesOfOneFlowCell) {
  const std::string text = LabelPair(2, "7") + "\t" + LabelPair(2, "7") + "\t" + LabelPair(2, "9") +
                           "\n0\t1\t0\t2\t0\t3:4\n1\t5\t1\t6\t1\t7\n";
  Read r = ReadAs(DataFormat::FlowCellText, text);
  ASSERT_TRUE(r.ok) << r.message.text;
  EXPECT_EQ(Labels(r.run), (Labelled{{2, 1}, {2, 1}, {2, 2}}));
  EXPECT_EQ(r.run.highestFlowCell, 2);
  EXPECT_EQ(r.run.naming, FlowCellNaming::Default);
  EXPECT_EQ(Responses(r.run, 2), (std::vector<double>{3, 7}));
  EXPECT_EQ(r.run.curves.FlagsOf(2)[0], 4u);
}

TEST(FlowCellLabelledText, LabelsAsTheyCome) {
  struct Case {
    std::string header;
    Labelled labels;
    int highest;
    const char* why;
  } cases[] = {
      {LabelPair(1, "3") + "\t" + LabelPair(12, "-3") + "\t" + LabelPair(3, "3"), {{1, 1}, {12, 2}, {3, 1}}, 12,
       "several digits, negative cycle, a cycle met again"},
      {"d Fc= - 4_X\td Fc= - 4_Y\t" + LabelPair(1, "5"), {{0, 1}, {1, 2}}, 1, "no digits give flow cell 0"},
      {"d Fc=2 -_X\td Fc=2 -_Y\t" + LabelPair(2, "6") + "\t" + "d Fc=3 -_X\td Fc=3 -_Y", {{2, 1}, {2, 2}, {3, 2}}, 3,
       "a missing cycle number: cycle 0 first, later the one before"},
      {LabelPair(4, "1") + "\tTime\tResponse", {{4, 1}, {1, 0}}, 4, "unlabelled curves keep their initial values"},
      {"\n\n" + LabelPair(2, "1") + "\t" + LabelPair(2, "2"), {{2, 1}, {2, 2}}, 2, "empty lines before the header"},
  };
  for (const auto& c : cases) {
    std::string rows;
    for (int m = 0; m < 2; ++m) {
      for (std::size_t k = 0; k < c.labels.size(); ++k) rows += (k ? "\t" : "") + std::to_string(m) + "\t7";
      rows += "\r\n";
    }
    Read r = ReadAs(DataFormat::FlowCellText, c.header + "\r\n" + rows);
    ASSERT_TRUE(r.ok) << c.why << ": " << r.message.text;
    EXPECT_EQ(Labels(r.run), c.labels) << c.why;
    EXPECT_EQ(r.run.highestFlowCell, c.highest) << c.why;
    EXPECT_EQ(Responses(r.run, static_cast<int>(c.labels.size()) - 1), (std::vector<double>{7, 7})) << c.why;
  }
}

TEST(FlowCellLabelledText, TheStreamFormReadsFromTheCursor) {
  const std::string method = "Kelvaris method\nInput data:\n" + LabelPair(3, "1") + "\t" + LabelPair(3, "2") +
                             "\n0.000\t1.000\t0.000\t2.000\n1.000\t3.000:8\t\n\n";
  TextCursor in(method);
  in.ReadLine();
  in.ReadLine();
  RawRun run;
  ReadMessage message;
  ASSERT_TRUE(ReadFlowCellLabelledStream(in, run, message, nullptr)) << message.text;
  EXPECT_EQ(Labels(run), (Labelled{{3, 1}, {3, 2}}));
  EXPECT_EQ(Responses(run, 0), (std::vector<double>{1, 3}));
  EXPECT_EQ(run.curves.FlagsOf(0)[1], 8u);
  EXPECT_EQ(Responses(run, 1), (std::vector<double>{2})) << "a lone TAB: the curve has no point";
  EXPECT_EQ(run.curves.Capacity, 3) << "the closing empty line is a row";
}

// --- Version-3 text -------------------------------------------------------

TEST(Version3Text, ConcentrationLineThenTheDataLines) {
  const std::string lf =
      "Version 3\nrun 12\nsecond note\nxTime\tResp\tTime\tResp\nConc\t1e-6  Conc\t5E-7\n"
      "0\t1\t0\t10\n1\t2\t1\t20\n2\t3\t2\t30\n";
  std::string crlf;
  for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  for (const std::string& text : {lf, crlf}) {
    Read r = ReadAs(DataFormat::Version3Text, text);
    ASSERT_TRUE(r.ok) << r.message.text;
    ASSERT_EQ(r.run.curves.CurveCount, 2);
    EXPECT_EQ(r.run.curves.Capacity, 4) << "the concentration line counts as a row";
    EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(Times(r.run, 1), (std::vector<double>{0, 1, 2}));
    EXPECT_DOUBLE_EQ(r.run.info[0].Concentration, 1e-6);
    EXPECT_DOUBLE_EQ(r.run.info[1].Concentration, 5e-7);
    EXPECT_EQ(Labels(r.run), (Labelled{{1, 1}, {1, 2}}));
    EXPECT_TRUE(r.run.carriesConcentrations);
  }
}

// --- Two-channel text -----------------------------------------------------

TEST(TwoChannelText, CurvesAlternateBetweenTwoFlowCells) {
  Read r = ReadAs(DataFormat::TwoChannelText,
                  "_Data\tY1\tX2\tY2\tX3\tY3\n0\t1\t0\t2\t0\t3\n1\t4\t1\t5\t1\t6\n");
  ASSERT_TRUE(r.ok) << r.message.text;
  EXPECT_EQ(Labels(r.run), (Labelled{{1, 1}, {2, 1}, {1, 2}}));
  EXPECT_EQ(Responses(r.run, 2), (std::vector<double>{3, 6}));
  EXPECT_EQ(r.run.highestFlowCell, 2);

  Read one = ReadAs(DataFormat::TwoChannelText, "_Data\tY\n0\t1\n1\t2\n");
  ASSERT_TRUE(one.ok);
  EXPECT_EQ(one.run.curves.CurveCount, 1);
  EXPECT_EQ(one.run.highestFlowCell, 2) << "the ligand list covers both channels";
}

// --- ROI block text -------------------------------------------------------

// A block of `columns` ROI columns and `rows` rows; row m has time
// (m + 1) / 2 minutes and response 100 * block + 10 * k + m in column k.
std::string RoiBlock(int block, int columns, int rows) {
  std::string s = "Time";
  for (int k = 0; k < columns; ++k) s += "\tROI " + std::to_string(k + 1);
  s += "\n\r";
  for (int m = 0; m < rows; ++m) {
    s += std::to_string((m + 1) * 0.5);
    for (int k = 0; k < columns; ++k) s += "\t" + std::to_string(100 * block + 10 * k + m);
    s += "\n\r";
  }
  return s + "\n\r";
}

std::vector<double> RoiResponses(int block, int k, int rows) {
  std::vector<double> v;
  for (int m = 0; m < rows; ++m) v.push_back(100 * block + 10 * k + m);
  return v;
}

TEST(RoiBlockText, OneBlockKeepsRoomForASecond) {
  Read r = ReadAs(DataFormat::RoiBlockText, "Beta 2 export\n\r" + RoiBlock(1, 4, 10));
  ASSERT_TRUE(r.ok) << r.message.text;
  ASSERT_EQ(r.run.curves.CurveCount, 8);
  EXPECT_EQ(r.run.curves.Capacity, 10);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(Responses(r.run, k), RoiResponses(1, k, 10)) << k;
    EXPECT_EQ(r.run.info[k].FlowCell, 1);
    EXPECT_EQ(r.run.info[k].Injection, k + 1);
    EXPECT_EQ(r.run.info[k].Analyte, 1);
    EXPECT_DOUBLE_EQ(r.run.curves.TimeOf(k)[0], 30) << "minutes become seconds";
    EXPECT_DOUBLE_EQ(r.run.info[k].SampleInterval, 30);
  }
  for (int c = 4; c < 8; ++c) EXPECT_EQ(r.run.curves.PointCount[c], 0);
  EXPECT_EQ(r.run.highestFlowCell, 1);
  EXPECT_EQ(r.run.naming, FlowCellNaming::Default);
}

TEST(RoiBlockText, EachBlockIsAFlowCellAfterTheCurvesOfTheBlocksBefore) {
  struct Case {
    std::vector<std::pair<int, int>> blocks;  // columns, rows
    int curves;
    int capacity;
    const char* why;
  } cases[] = {
      {{{2, 3}, {2, 3}}, 4, 3, "two equal blocks"},
      {{{2, 2}, {3, 4}}, 5, 4, "the second block wider and longer"},
      {{{3, 5}, {1, 2}}, 6, 5, "the second block smaller: room as for an equal one"},
      {{{1, 2}, {2, 3}, {2, 1}}, 5, 3, "three blocks"},
  };
  for (const auto& c : cases) {
    std::string text = "Beta 2\n\r";
    for (std::size_t b = 0; b < c.blocks.size(); ++b)
      text += RoiBlock(static_cast<int>(b) + 1, c.blocks[b].first, c.blocks[b].second);
    Read r = ReadAs(DataFormat::RoiBlockText, text);
    ASSERT_TRUE(r.ok) << c.why;
    ASSERT_EQ(r.run.curves.CurveCount, c.curves) << c.why;
    EXPECT_EQ(r.run.curves.Capacity, c.capacity) << c.why;
    int curve = 0;
    for (std::size_t b = 0; b < c.blocks.size(); ++b) {
      const int block = static_cast<int>(b) + 1;
      for (int k = 0; k < c.blocks[b].first; ++k, ++curve) {
        EXPECT_EQ(Responses(r.run, curve), RoiResponses(block, k, c.blocks[b].second)) << c.why << " curve " << curve;
        EXPECT_EQ(r.run.info[curve].FlowCell, block) << c.why;
        EXPECT_EQ(r.run.info[curve].Injection, k + 1) << c.why;
      }
    }
    for (; curve < c.curves; ++curve) EXPECT_EQ(r.run.curves.PointCount[curve], 0) << c.why;
    EXPECT_EQ(r.run.highestFlowCell, static_cast<int>(c.blocks.size())) << c.why;
  }
}

TEST(RoiBlockText, FilesWithoutABlockLoadWithNoCurves) {
  const char* cases[] = {
      "",
      "Beta 2\n\r",
      "Beta 2\n\rTime\tRO\n\r0.5\t1\n\r",
      "Beta 2\n\rTTime\tROI 1\n\r0.5\t1\n\r",  // the 7 bytes after a T are passed over
  };
  for (const char* text : cases) {
    Read r = ReadAs(DataFormat::RoiBlockText, text);
    EXPECT_TRUE(r.ok) << text;
    EXPECT_FALSE(r.run.curves.Exists()) << text;
  }
}

TEST(RoiBlockText, RowsAsTheFieldsGo) {
  struct Case {
    std::string text;
    std::vector<std::vector<double>> responses;
    std::vector<double> times;
    const char* why;
  } cases[] = {
      {"Time\tROI\tROI\n\r0.5\t1\t\n\r1\t\t4\n\r\n\r", {{1, 1}, {1, 4}}, {30, 60}, "an empty field repeats the one before"},
      {"Time\tROI\n\r0.5\t1\n\r1\t2", {{1, 2}}, {30, 60}, "a last row at the end of the file"},
      {"Time\tROI\n\r\n\rTime\tROI\n\r0.25\tx\n\r", {{}, {0}}, {15}, "a block without rows; text reads as 0"},
  };
  for (const auto& c : cases) {
    Read r = ReadAs(DataFormat::RoiBlockText, c.text);
    ASSERT_TRUE(r.ok) << c.why;
    ASSERT_GE(r.run.curves.CurveCount, static_cast<int>(c.responses.size())) << c.why;
    for (std::size_t k = 0; k < c.responses.size(); ++k)
      EXPECT_EQ(Responses(r.run, static_cast<int>(k)), c.responses[k]) << c.why << " curve " << k;
    EXPECT_EQ(Times(r.run, static_cast<int>(c.responses.size()) - 1), c.times) << c.why;
  }
}

}  // namespace
}  // namespace kelvaris

#include "import/keyed_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "import/data_readers.h"
#include "import/format_recognition.h"
#include "import/keyed_rows.h"
#include "synthetic_keyed_text.h"

namespace kelvaris {
namespace {

struct Read {
  bool ok = false;
  RawRun run;
  ReadMessage message;
  std::vector<int> progress;
};

// Through the registered reader, as the loader calls it; mask 1 is the
// one-column form.
Read ReadText(const std::string& text, int mask = 1) {
  Read r;
  ReaderOptions options;
  options.columnMask = mask;
  const DataReader reader = ReaderFor(DataFormat::KeyedText);
  EXPECT_NE(reader, nullptr);
  if (!reader) return r;
  r.ok = reader(text, options, r.run, r.message, [&](int v) { r.progress.push_back(v); });
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

std::vector<int> FlowCells(const RawRun& run) {
  std::vector<int> v;
  for (const auto& i : run.info) v.push_back(i.FlowCell);
  return v;
}
std::vector<int> Injections(const RawRun& run) {
  std::vector<int> v;
  for (const auto& i : run.info) v.push_back(i.Injection);
  return v;
}
std::vector<double> Concentrations(const RawRun& run) {
  std::vector<double> v;
  for (const auto& i : run.info) v.push_back(i.Concentration);
  return v;
}

// Two curves, two data rows, after the given key rows.
std::string TwoCurves(const std::string& keyRows) {
  return "Vers 3.41 Data\n" + keyRows + "Time1\tData1\tTime2\tData2\n0\t1\t0\t2\n1\t3\t1\t4\n";
}
// Four curves of one point each row.
std::string FourCurves(const std::string& keyRows) {
  return "Vers 3.41 Data\n" + keyRows +
         "Time1\tData1\tTime2\tData2\tTime3\tData3\tTime4\tData4\n"
         "0\t1\t0\t2\t0\t3\t0\t4\n1\t1\t1\t2\t1\t3\t1\t4\n";
}

TEST(KeyedTextReader, ShapeChecksComeBeforeAnyAllocation) {
  struct Case {
    std::string text;
    int mask;
    std::string message, caption;
    const char* why;
  } cases[] = {
      {"Vers 3.41 Data", 1, "Unreadable format", "File Read Error", "the version line never ends"},
      {"Vers 3.41 Data\nConc\t1\n0\t1\n1\t2\n", 1, "Unreadable format", "File Read Error",
       "no column header"},
      {"Vers 3.41 Data\nAnalyte1\tTime course\n0\t1\n1\t2\n", 1, "Unreadable format",
       "File Read Error", "Time inside a line is no header"},
      {"Vers 3.41 Data\nTime1\tData1", 1, "Unreadable format", "File Read Error",
       "the header never ends"},
      {"Vers 3.41 Data\nTime1\tData1\tTime2\n0\t1\n1\t2\n", 1, "Unreadable format",
       "File Read Error", "an even TAB count"},
      {"Vers 3.41 Data\nTime1\tData1\n0\t1\n", 1, "Poorly formated file", "Load Error",
       "one data row"},
      {"Vers 3.41 Data\nTime1\tData1\n0\t1\n1\t2", 1, "Poorly formated file", "Load Error",
       "an unterminated last row is no row"},
      {"Vers 3.41 Data\nTime1\tData1\n0\t1\x1a\n1\t2\n", 1, "Poorly formated file", "Load Error",
       "1A ends the text"},
      {"Vers 3.43 Data Simulation\nTime1\tData1\tSimulation1", 3, "Unreadable format",
       "File Read Error", "several columns: the header never ends"},
      {"Vers 3.43 Data Simulation\nTime1\tData1\tSimulation1\n0\t1\t1\n", 3,
       "Poorly formated file", "Load Error", "several columns: one data row"},
  };
  for (const auto& c : cases) {
    Read r = ReadText(c.text, c.mask);
    EXPECT_FALSE(r.ok) << c.why;
    EXPECT_EQ(r.message.text, c.message) << c.why;
    EXPECT_EQ(r.message.caption, c.caption) << c.why;
    EXPECT_FALSE(r.run.curves.Exists()) << c.why;
  }
}

// The layouts the result export writes, with and without simulations.
TEST(KeyedTextReader, ProgramsOwnExportLoads) {
  const std::string keyRows =
      "Conc1\t1.00e-6\t5.00e-7\t0.00e0\n"
      "Analyte1\tTime course drug\tTime course drug\tTime course drug\n"
      "Start1\t0.00\t0.00\t0\n"
      "Stop1\t60.00\t60.00\t80.00\n"
      "Channel\t2\t2\t3\n"
      "Ligand\tFirst protein\tFirst protein\tSecond protein\n"
      "Flowrate\t30.00\t30.00\t30.00\n";
  struct Case {
    std::string text;
    int mask;
  } cases[] = {
      {"Vers 3.41 Data\n" + keyRows +
           "Time1\tData1\tTime2\tData2\tTime4\tData4\n"
           "0.00\t1.50\t0.00\t2.50\t0.00\t3.50\n"
           "0.50\t1.75\t0.50\t2.75\t\n",
       1},
      {"Vers 3.43 Data Simulation\n" + keyRows +
           "Time1\tData1\tSimulation1\tTime2\tData2\tSimulation2\tTime4\tData4\tSimulation4\n"
           "0.00\t1.50\t9\t0.00\t2.50\t9\t0.00\t3.50\t9\n"
           "0.50\t1.75\t9\t0.50\t2.75\t9\t\t\t\n",
       3},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(RecogniseFormat(c.text.substr(0, 20)).columnMask, c.mask);
    Read r = ReadText(c.text, c.mask);
    ASSERT_TRUE(r.ok) << r.message.text;
    ASSERT_EQ(r.run.curves.CurveCount, 3) << c.mask;
    EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1.5, 1.75})) << c.mask;
    EXPECT_EQ(Responses(r.run, 1), (std::vector<double>{2.5, 2.75})) << c.mask;
    EXPECT_EQ(Responses(r.run, 2), (std::vector<double>{3.5})) << c.mask;
    EXPECT_EQ(Times(r.run, 0), (std::vector<double>{0, 0.5})) << c.mask;
    EXPECT_EQ(Concentrations(r.run), (std::vector<double>{1e-6, 5e-7, 0})) << c.mask;
    EXPECT_EQ(FlowCells(r.run), (std::vector<int>{2, 2, 3})) << c.mask;
    EXPECT_EQ(r.run.highestFlowCell, 3);
    EXPECT_EQ(Injections(r.run), (std::vector<int>{1, 2, 3})) << c.mask;
    EXPECT_EQ(r.run.naming, FlowCellNaming::Default);
    ASSERT_EQ(r.run.ligandNames.size(), 4u);
    EXPECT_EQ(r.run.ligandNames[1], "") << "flow cell 1 keeps its name";
    EXPECT_EQ(r.run.ligandNames[2], "First protein");
    EXPECT_EQ(r.run.ligandNames[3], "Second protein");
    ASSERT_TRUE(r.run.flowRate.has_value());
    EXPECT_DOUBLE_EQ(*r.run.flowRate, 30);
  }
}

TEST(KeyedTextReader, ConcentrationRowsStoreOnlyNonZeroValues) {
  struct Case {
    std::string row;
    std::vector<double> expected;
    const char* why;
  } cases[] = {
      {"Conc\t1e-9\t0\t3e-9\t4e-9\n", {1e-9, 0, 3e-9, 4e-9}, "a zero is not stored"},
      {"Conc\t1e-9\t\t3e-9\t4e-9\n", {1e-9, 0, 0, 0}, "a blank cell ends the values"},
      {"Conc\t1e-9\t2e-9\t3e-9\t4e-9\t5e-9\t6e-9\n", {1e-9, 2e-9, 3e-9, 4e-9},
       "values beyond the curves are dropped"},
      {"Conc1\n", {0, 0, 0, 0}, "a row without values"},
      {"Conc\t1,5e-9 nM\t2e-9\r\n", {1.5e-9, 2e-9, 0, 0}, "ParseNumber and a CR LF line end"},
  };
  for (const auto& c : cases) {
    Read r = ReadText(FourCurves(c.row));
    ASSERT_TRUE(r.ok) << c.why << ": " << r.message.text;
    EXPECT_EQ(Concentrations(r.run), c.expected) << c.why;
  }
}

TEST(KeyedTextReader, ChannelAndCycleRowsNumberTheCurves) {
  Read r = ReadText(FourCurves("Chan\t1\t2\t1\t2\nCycl\t3\t0\t7\t7\n"));
  ASSERT_TRUE(r.ok) << r.message.text;
  EXPECT_EQ(FlowCells(r.run), (std::vector<int>{1, 2, 1, 2}));
  EXPECT_EQ(r.run.highestFlowCell, 2);
  EXPECT_EQ(Injections(r.run), (std::vector<int>{3, 0, 7, 7})) << "a zero is stored";

  // Without the rows, curve c is injection c + 1 on flow cell 1.
  Read plain = ReadText(FourCurves(""));
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(FlowCells(plain.run), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(Injections(plain.run), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(plain.run.curves.SourceCurve[3], 3);

  Read partial = ReadText(FourCurves("Chan\t3\t2.0 x\t\t4\n"));
  ASSERT_TRUE(partial.ok);
  EXPECT_EQ(FlowCells(partial.run), (std::vector<int>{3, 2, 1, 1}))
      << "the digits count, a blank cell ends the row";
}

TEST(KeyedTextReader, UnreadableNumbersFailWithTheirRowsMessage) {
  struct Case {
    std::string row;
    std::string message;
  } cases[] = {
      {"Chan\t1\tx\n", "Error in flow cells"},
      {"Chan\t-1\t1\n", "Error in flow cells"},
      {"Chan\t1\t1001\n", "Error in flow cells"},
      {"Chan\t99999999999999999999\n", "Error in flow cells"},
      {"Chan\t-\n", "Error in flow cells"},
      {"Cycl\tfirst\n", "Error in cycles"},
      {"Cycl\t100001\n", "Error in cycles"},
  };
  for (const auto& c : cases) {
    Read r = ReadText(TwoCurves(c.row));
    EXPECT_FALSE(r.ok) << c.row;
    EXPECT_EQ(r.message.text, c.message) << c.row;
    EXPECT_EQ(r.message.caption, "File Read Error") << c.row;
  }
  Read top = ReadText(TwoCurves("Chan\t1000\t0\nCycl\t100000\n"));
  ASSERT_TRUE(top.ok) << "the limits themselves are allowed";
  EXPECT_EQ(top.run.highestFlowCell, 1000);
}

TEST(KeyedTextReader, LigandNamesGoToTheFlowCellsOfTheirCurves) {
  // Curve 0 lies on flow cell 0 (the header entry), which no file renames.
  Read r = ReadText(FourCurves("Chan\t0\t1\t2\t2\nLiga\tZero\tAnti body\tOld\tNew\n"));
  ASSERT_TRUE(r.ok) << r.message.text;
  ASSERT_EQ(r.run.ligandNames.size(), 3u);
  EXPECT_EQ(r.run.ligandNames[0], "");
  EXPECT_EQ(r.run.ligandNames[1], "Anti body") << "names may hold blanks";
  EXPECT_EQ(r.run.ligandNames[2], "New") << "the last name of a flow cell wins";

  // Before any "Chan" row every curve is on flow cell 1.
  Read early = ReadText(TwoCurves("Liga\tA\tB\nChan\t1\t2\n"));
  ASSERT_TRUE(early.ok);
  ASSERT_EQ(early.run.ligandNames.size(), 2u);
  EXPECT_EQ(early.run.ligandNames[1], "B");
}

TEST(KeyedRows, NamesOfFlowCellsOutsideTheListAreDropped) {
  std::vector<TCurveInfo> curves(3);
  curves[0].FlowCell = 0;
  curves[1].FlowCell = 2;  // beyond a list of entries 0 and 1
  curves[2].FlowCell = 1;
  std::vector<std::string> names;
  TextCursor in("\tZero\tTwo\tOne\n");
  ASSERT_TRUE(ReadKeyedNames(in, curves, 2, names));
  EXPECT_EQ(names, (std::vector<std::string>{"", "One"}));
}

TEST(KeyedRows, TheTextEndingWhereACellShouldStartFails) {
  double values[2] = {};
  int numbers[2] = {};
  std::vector<TCurveInfo> curves(2);
  std::vector<std::string> names;
  for (const char* text : {"", "1", "\t1\t"}) {
    TextCursor a(text), b(text), c(text);
    EXPECT_FALSE(ReadKeyedValues(a, 2, values)) << '"' << text << '"';
    EXPECT_FALSE(ReadKeyedWholeNumbers(b, 2, numbers, 0, 9)) << '"' << text << '"';
    EXPECT_FALSE(ReadKeyedNames(c, curves, 2, names)) << '"' << text << '"';
  }
  // The values of a last line without a line feed are read.
  TextCursor last("\t1\t2");
  EXPECT_TRUE(ReadKeyedValues(last, 2, values));
  EXPECT_EQ(values[1], 2);
}

TEST(KeyedTextReader, FlowRateComesFromTheFirstNonZeroValue) {
  struct Case {
    std::string rows;
    std::optional<double> expected;
  } cases[] = {
      {"Flowrate\t0\t0\n", std::nullopt},
      {"Flowrate\t25.5\t10\n", 25.5},
      {"Flow\t25\nFlow\t0\n", 25.0},
      {"Flowrate\n", std::nullopt},
  };
  for (const auto& c : cases) {
    Read r = ReadText(TwoCurves(c.rows));
    ASSERT_TRUE(r.ok) << c.rows;
    EXPECT_EQ(r.run.flowRate, c.expected) << c.rows;
  }
}

TEST(KeyedTextReader, OtherRowsAndRowsAfterTheHeaderAreNoKeys) {
  Read r = ReadText(
      "Vers 3.41 Data\nAnalyte1\tx\tTime\nStart1\t0\t0\nStop1\tnone\t60\nRInd\t1\t2\n\nab\n"
      "Time1\tData1\n0\t1\n1\t2\nConc\t5\n");
  ASSERT_TRUE(r.ok) << r.message.text;
  ASSERT_EQ(r.run.curves.CurveCount, 1);
  EXPECT_EQ(r.run.info[0].Concentration, 0);
  EXPECT_EQ(Responses(r.run, 0), (std::vector<double>{1, 2, 5})) << "the Conc line is a data row";
}

TEST(KeyedTextReader, OneColumnRowsReadPairsWithoutFlagWords) {
  // A short row, CR LF, a response with a colon, a cell that is no pair,
  // and columns beyond the header's curves.
  Read r = ReadText(
      "Vers 3.41 Data\nTime1\tData1\tTime2\tData2\n"
      "0\t1\t0\t2\r\n"
      "1\t3\n"
      "2\t5:3\t\t\n"
      "3\t7\t3\t8\t99\t99\n"
      "4\t9\t4\t10\n");
  ASSERT_TRUE(r.ok) << r.message.text;
  EXPECT_EQ(Times(r.run, 0), (std::vector<double>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Times(r.run, 1), (std::vector<double>{0, 3, 4})) << "extra columns start no row";
  EXPECT_EQ(Responses(r.run, 1), (std::vector<double>{2, 8, 10}));
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < r.run.curves.PointCount[c]; ++k) EXPECT_EQ(r.run.curves.FlagsOf(c)[k], 0u);
}

TEST(KeyedTextReader, SeveralColumnsTakeTheResponseFromTheLowestBit) {
  struct Case {
    int mask;
    std::string header, rows;
    std::vector<double> first, second;
  } cases[] = {
      {3, "Time1\tData1\tSimulation1\tTime2\tData2\tSimulation2",
       "0\t1\t10\t0\t2\t20\n1\t3\t30\t1\t4\t40\n", {1, 3}, {2, 4}},
      {6, "Time1\tSim1\tX1\tTime2\tSim2\tX2",
       "0\t1\t10\t0\t2\t20\n1\t3\t30\t1\t4\t40\n", {1, 3}, {2, 4}},
      {5, "Time1\tData1\tX1\tTime2\tData2\tX2",
       "0\t1\t10\t0\t2\t20\n1\t3\t30\t1\t4\t40\n", {1, 3}, {2, 4}},
      {7, "Time1\tA\tB\tC\tTime2\tA\tB\tC",
       "0\t1\t0\t0\t0\t2\t0\t0\n1\t3\t0\t0\t1\t4\t0\t0\n", {1, 3}, {2, 4}},
      // The first row ends after curve 0; the second has no time for
      // curve 0 and cells beyond curve 1.
      {3, "Time1\tData1\tSimulation1\tTime2\tData2\tSimulation2",
       "0\t1\t10\n\t3\t30\t1\t4\t40\t5\t5\n2\t5\n", {1, 5}, {4}},
  };
  for (const auto& c : cases) {
    Read r = ReadText("Vers 3.4" + std::to_string(c.mask) + " Data\n" + c.header + "\n" + c.rows,
                      c.mask);
    ASSERT_TRUE(r.ok) << c.mask << ": " << r.message.text;
    ASSERT_EQ(r.run.curves.CurveCount, 2) << c.mask;
    EXPECT_EQ(Responses(r.run, 0), c.first) << c.mask << " " << c.rows;
    EXPECT_EQ(Responses(r.run, 1), c.second) << c.mask << " " << c.rows;
  }
}

TEST(KeyedTextReader, AnOverLongFieldFailsKeepingThePointsRead) {
  const std::string cell78(78, '2');
  const std::string cell79(79, '2');
  struct Case {
    std::string text;
    int mask;
    bool ok;
  } cases[] = {
      {"V\nTime1\tData1\n0\t1\n1\t" + std::string(76, '2') + "\n", 1, true},
      {"V\nTime1\tData1\n0\t1\n1\t" + std::string(77, '2') + "\n", 1, false},
      {"V\nTime1\tData1\tSim1\n0\t1\t1\n1\t" + cell78 + "\t1\n", 3, true},
      {"V\nTime1\tData1\tSim1\n0\t1\t1\n1\t" + cell79 + "\t1\n", 3, false},
  };
  for (const auto& c : cases) {
    Read r = ReadText(c.text, c.mask);
    EXPECT_EQ(r.ok, c.ok) << c.mask;
    if (c.ok) continue;
    EXPECT_EQ(r.message.text, "Unreadable format");
    EXPECT_EQ(r.message.caption, "File Read Error");
    EXPECT_EQ(r.run.curves.PointCount[0], 1);
  }
}

TEST(KeyedTextReader, AByte255EndsOneColumnData) {
  Read r = ReadText("V\nTime1\tData1\n0\t1\n1\t2\n\xff" "2\t3\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.PointCount[0], 2);
}

TEST(KeyedTextReader, ProgressIsSentOnlyWhenItChanges) {
  std::string text = "Vers 3.43 Data Simulation\nTime1\tData1\tSimulation1\n";
  for (int i = 0; i < 100; ++i) text += std::to_string(i) + "\t1\t1\n";
  Read r = ReadText(text, 3);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.run.curves.PointCount[0], 100);
  EXPECT_EQ(r.progress, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(SyntheticKeyedText, IsRecognisedAndLoadsWithTheShapesCurves) {
  synth::RunShape shape;
  shape.curves = 5;
  shape.points = 7;
  shape.step = 15;  // the last points lie in the injection
  for (bool simulation : {false, true}) {
    const std::string text = synth::KeyedText(shape, simulation);
    const RecognisedFormat format = RecogniseFormat(std::string_view(text).substr(0, 20));
    ASSERT_EQ(format.format, DataFormat::KeyedText) << simulation;
    EXPECT_EQ(format.columnMask, simulation ? 3 : 1);
    RawRun run;
    ReadMessage message;
    ReaderOptions options;
    options.columnMask = format.columnMask;
    ASSERT_TRUE(ReaderFor(format.format)(text, options, run, message, nullptr)) << message.text;
    ASSERT_EQ(run.curves.CurveCount, shape.curves) << simulation;
    for (int k = 0; k < shape.curves; ++k) {
      ASSERT_EQ(run.curves.PointCount[k], shape.points) << simulation << " curve " << k;
      EXPECT_DOUBLE_EQ(run.curves.TimeOf(k)[shape.points - 1], (shape.points - 1) * shape.step);
      const double conc = synth::ConcentrationOf(shape, k);
      EXPECT_NEAR(run.info[k].Concentration, conc, conc * 1e-4) << simulation << " curve " << k;
      EXPECT_EQ(run.info[k].FlowCell, 1);
      const double t = 4 * shape.step;
      EXPECT_NEAR(run.curves.ResponseOf(k)[4], synth::ResponseAt(shape, k, t), shape.noise + 1e-4);
    }
  }
}

}  // namespace
}  // namespace kelvaris

#include "import/format_recognition.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvaris {
namespace {

std::string Head(std::string s) {
  s.resize(20, ' ');
  return s;
}

TEST(FormatRecognition, EveryRuleInItsOrder) {
  struct Case {
    std::string head;
    DataFormat format;
    int mask;
    bool concentrations;
    const char* why;
  } cases[] = {
      {Head("Kelvaris 2.00 Method"), DataFormat::MethodFile, 1, false, "method file"},
      {Head("Version 3 data"), DataFormat::Version3Text, 1, true, "V, 3 at 8, no dot at 6"},
      {Head("Vers 3.41 Data\n"), DataFormat::KeyedText, 1, true, "keyed, one column"},
      {Head("Vers 3.43 Data Simulation\n"), DataFormat::KeyedText, 3, true, "keyed, mask 3"},
      {Head("Vers 3.34 Data"), DataFormat::KeyedText, 1, true, "mask 4 has a single bit"},
      {Head("Vers 3.47 Data"), DataFormat::KeyedText, 7, true, "mask 7"},
      {Head("Vers 3.49 Data"), DataFormat::KeyedText, 1, true, "mask 9 is out of range"},
      {Head("Vers 3.4x Data"), DataFormat::KeyedText, 1, true, "no digit at 8"},
      {Head("V....3x23"), DataFormat::Version3Text, 1, true, "3 at 8 with no dot at 6 wins"},
      {Head(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)), DataFormat::CompoundDocument, 1, false, "OLE"},
      {Head("\xEF\xBB\xBF<?xml version"), DataFormat::XmlResult, 1, false, "XML with BOM"},
      {Head("<?xml version=\"1.0\""), DataFormat::HeadedPairText, 1, false, "XML without BOM"},
      {Head("Spot number\t1"), DataFormat::SpotFolder, 1, false, "spot folder"},
      {Head("Beta 2 ROI"), DataFormat::RoiBlockText, 1, false, "ROI blocks"},
      {Head("_Data\t"), DataFormat::TwoChannelText, 1, false, "two channels"},
      {Head("<FILEVERSION>2"), DataFormat::TaggedText, 1, false, "tagged"},
      {Head(std::string("PK\x03\x04\x14\x00", 6)), DataFormat::ZipExport, 1, false, "zip 2.0"},
      {Head(std::string("PK\x03\x04\x0A\x00", 6)), DataFormat::HeadedPairText, 1, false, "zip 1.0 is not the export"},
      {Head("Time\tFc1\tTime\tFc2"), DataFormat::FlowCellText, 1, false, "Fc"},
      {Head("X\tFC=2"), DataFormat::FlowCellText, 1, false, "FC"},
      {Head(std::string("12\0Fc\t3.5\t4\t5\t6\t7 ", 18)), DataFormat::HeadedPairText, 1, false,
       "Fc after a zero byte does not count, its letters do"},
      {Head("Time\tResp"), DataFormat::HeadedPairText, 1, false, "a word"},
      {Head("1.5e-3\t2E4\t-7\t+8"), DataFormat::HeaderlessPairText, 1, false, "only E and e"},
      {Head("0.00\t-0.0458\t0.00\t0"), DataFormat::HeaderlessPairText, 1, false, "numbers"},
  };
  for (const auto& c : cases) {
    const RecognisedFormat r = RecogniseFormat(c.head);
    EXPECT_EQ(r.format, c.format) << c.why;
    EXPECT_EQ(r.columnMask, c.mask) << c.why;
    EXPECT_EQ(r.carriesConcentrations, c.concentrations) << c.why;
  }
}

TEST(FormatRecognition, ShortHeadsAreReadAsPaddedWithZeros) {
  EXPECT_EQ(RecogniseFormat("1\t2\n").format, DataFormat::HeaderlessPairText);
  EXPECT_EQ(RecogniseFormat("").format, DataFormat::HeaderlessPairText);
}

}  // namespace
}  // namespace kelvaris

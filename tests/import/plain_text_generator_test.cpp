// Every generated plain-text run is recognised from its first 20 bytes and
// loads with the shape's curves.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "import/data_readers.h"
#include "synthetic_plain_text.h"

namespace kelvaris {
namespace {

TEST(SyntheticPlainText, EachFormatLoadsThroughTheLoadersChoice) {
  synth::RunShape shape;
  shape.curves = 4;
  shape.points = 20;
  shape.step = 5;
  shape.injectionStart = 10;
  shape.injectionEnd = 60;
  struct Case {
    std::string text;
    DataFormat format;
    int curves;  // allocated
    const char* name;
  } cases[] = {
      {synth::HeadedPairText(shape), DataFormat::HeadedPairText, 4, "headed"},
      {synth::FlowCellLabelledText(shape), DataFormat::FlowCellText, 4, "flow-cell-labelled"},
      {synth::Version3Text(shape), DataFormat::Version3Text, 4, "version-3"},
      {synth::TwoChannelText(shape), DataFormat::TwoChannelText, 4, "two-channel"},
      {synth::RoiBlockText(shape), DataFormat::RoiBlockText, 8, "ROI block"},
  };
  for (const auto& c : cases) {
    const RecognisedFormat format = RecogniseFormat(std::string_view(c.text).substr(0, 20));
    ASSERT_EQ(format.format, c.format) << c.name;
    RawRun run;
    ReadMessage message;
    ASSERT_TRUE(ReaderFor(format.format)(c.text, ReaderOptions{}, run, message, nullptr)) << c.name << ": "
                                                                                         << message.text;
    ASSERT_EQ(run.curves.CurveCount, c.curves) << c.name;
    for (int k = 0; k < shape.curves; ++k) {
      ASSERT_EQ(run.curves.PointCount[k], shape.points) << c.name << " curve " << k;
      for (int i = 0; i < shape.points; i += 7) {
        const double t = i * shape.step;
        EXPECT_NEAR(run.curves.TimeOf(k)[i], t, 1e-9) << c.name;
        EXPECT_NEAR(run.curves.ResponseOf(k)[i], synth::ResponseAt(shape, k, t), shape.noise + 1e-4) << c.name;
      }
    }
    if (c.format == DataFormat::Version3Text) {
      EXPECT_TRUE(format.carriesConcentrations);
      for (int k = 0; k < shape.curves; ++k)
        EXPECT_DOUBLE_EQ(run.info[k].Concentration, synth::ConcentrationOf(shape, k)) << k;
    }
    if (c.format == DataFormat::TwoChannelText) {
      EXPECT_EQ(run.info[3].FlowCell, 2);
      EXPECT_EQ(run.info[3].Injection, 2);
    } else {
      EXPECT_EQ(run.info[3].Injection, 4) << c.name;
    }
  }
}

}  // namespace
}  // namespace kelvaris

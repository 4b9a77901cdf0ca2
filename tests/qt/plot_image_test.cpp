#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <sstream>

#include "cli/cli_runner.h"
#include "qt/plot_image.h"
#include "test_support.h"

namespace kelvaris::qt {
namespace {

int RunTool(std::vector<std::string> args, std::string& err) {
  std::ostringstream out, errors;
  const int code = RunCli(args, out, errors);
  err = errors.str();
  return code;
}

TEST(PlotImage, TheToolDrawsGraphsIntoPngAndSvgFiles) {
  SetPlotWriter(WritePlotImage);
  test::TempDir dir;
  const std::string data = std::string(KELVARIS_TEST_DATA) + "/headerless_two_curves.txt";
  const std::string png = dir.Path() + "/zero.png";
  const std::string svg = dir.Path() + "/data.svg";
  std::string err;
  ASSERT_EQ(RunTool({data, "--page", "Zero", "--set", "ZeroCheck=on", "--size", "320x200", "--plot", "ToPlot", png,
                 "--plot", "DataPlot", svg},
                err),
            0)
      << err;
  QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(320, 200));
  int dark = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 100;
  EXPECT_GT(dark, 300) << "axes, labels and curves";
  QFile file(QString::fromStdString(svg));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<svg"));

  EXPECT_EQ(RunTool({data, "--plot", "ZeroCheck", png}, err), 2) << "not a graph";
  EXPECT_EQ(RunTool({data, "--plot", "DataPlot", dir.Path() + "/no/such/folder/x.png"}, err), 2);
  EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

}  // namespace
}  // namespace kelvaris::qt

// The main window's page tabs: text and weight from the caption, colours by
// selection, and the window's tab width.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "qt/page_tab_widget.h"
#include "qt_test_support.h"

namespace kelvaris::qt {
namespace {

TEST(PageTabText, LowerCaseAfterTheFirstAndBoldForUpperCaseSecond) {
  struct Case {
    std::string caption;
    std::string text;
    bool bold;
  };
  const Case cases[] = {
      {"REF", "Ref", true},           {"Ref", "Ref", false},
      {"KINETICS", "Kinetics", true}, {"Kinetics", "Kinetics", false},
      {"DMSO", "Dmso", true},         {"Compnd", "Compnd", false},
      {"FC 2", "Fc 2", true},         {"Fc 2", "Fc 2", false},
      {"aB", "ab", true},             {"a1", "a1", false},
      {"X", "X", false},              {"", "", false},
      {"Z\xC9RO", "Z\xC9ro", false},  // only ASCII letters change case or count as upper case
  };
  for (const Case& c : cases) {
    bool bold = !c.bold;
    EXPECT_EQ(PageTabText(c.caption, &bold), c.text) << c.caption;
    EXPECT_EQ(bold, c.bold) << c.caption;
  }
}

// Counts blue and dark grey-to-black pixels (text edges are smoothed)
// inside a rectangle of the picture.
std::pair<int, int> BlueAndBlack(const QImage& image, const QRect& rect) {
  int blue = 0, black = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const Colour p = test::PixelAt(image, x, y);
      const int r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
      blue += b - r > 100 && b - g > 100;
      black += std::max({r, g, b}) < 90;
    }
  return {blue, black};
}

TEST(PageTabBar, CurrentTabInBlueOthersInBlack) {
  PageTabWidget tabs;
  for (const char* caption : {"Data", "ZERO", "Crop"}) tabs.addTab(new QWidget, QString::fromLatin1(caption));
  tabs.resize(400, 200);
  tabs.setCurrentIndex(1);
  tabs.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));

  PageTabBar* bar = tabs.PageBar();
  ASSERT_EQ(bar, tabs.tabBar());
  const QImage picture = bar->grab().toImage();
  auto [currentBlue, currentBlack] = BlueAndBlack(picture, bar->tabRect(1));
  auto [otherBlue, otherBlack] = BlueAndBlack(picture, bar->tabRect(0));
  EXPECT_GT(currentBlue, 10);
  EXPECT_EQ(otherBlue, 0);
  EXPECT_GT(otherBlack, 10);
  (void)currentBlack;
}

TEST(PageTabBar, FixedTabWidthAndFittedBoldText) {
  PageTabWidget tabs;
  for (int i = 0; i < 12; ++i) tabs.addTab(new QWidget, QStringLiteral("KINETICS"));
  tabs.resize(723, 200);
  PageTabBar* bar = tabs.PageBar();
  bar->SetTabWidth((723 - 3) / 12);
  EXPECT_EQ(bar->tabRect(0).width(), 60);
  EXPECT_EQ(bar->tabRect(11).width(), 60);

  bar->SetTabWidth(0);
  QFont bold = bar->font();
  bold.setBold(true);
  EXPECT_GT(bar->tabRect(0).width(), QFontMetrics(bold).horizontalAdvance(QStringLiteral("Kinetics")))
      << "a fitted tab holds its bold text";
}

}  // namespace
}  // namespace kelvaris::qt

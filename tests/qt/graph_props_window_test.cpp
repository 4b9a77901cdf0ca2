#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/graph_props_dialog.h"
#include "graph/plot.h"
#include "qt/graph_props_window.h"
#include "qt/qt_window_system.h"
#include "qt_test_support.h"

namespace kelvaris::qt {
namespace {

class GraphPropsWindowTest : public ::testing::Test {
 protected:
  GraphPropsWindowTest() { ws.RegisterModal(model.Form.Name(), [this] { return window.Run(); }); }
  // Runs `act` on the window once the dialog is up.
  void WhenUp(std::function<void()> act) { QTimer::singleShot(0, &window, std::move(act)); }
  template <typename T>
  T* Find(const char* name) {
    return window.findChild<T*>(name);
  }

  QtWindowSystem ws;
  TGraphPropsDialog model{ws};
  GraphPropsWindow window{model, nullptr};
  TPlot plot{"Plot"};
  TCurvePropData record;
  int copyWidth = 1000;
  int copyHeight = 600;
};

TEST_F(GraphPropsWindowTest, ShowsTheSixPagesAndOkStoresWhatWasTyped) {
  QStringList tabs;
  bool applyAllEnabled = true;
  WhenUp([&] {
    QTabWidget* pages = window.Tabs();
    for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
    applyAllEnabled = Find<QPushButton>("ApplyAllButton")->isEnabled();
    pages->setCurrentIndex(TGraphPropsDialog::pgScale);
    Find<QLineEdit>("YMaxBox")->selectAll();
    QTest::keyClicks(Find<QLineEdit>("YMaxBox"), "5");
    pages->setCurrentIndex(TGraphPropsDialog::pgInset);
    QTest::keyClicks(Find<QPlainTextEdit>("InsetMemo"), "one");
    QTest::mouseClick(Find<QPushButton>("OKButton"), Qt::LeftButton);
  });
  EXPECT_TRUE(model.Edit(plot, record, false, copyWidth, copyHeight));
  EXPECT_EQ(window.windowTitle(), "Graph Properties");
  EXPECT_EQ(tabs, (QStringList{"Scale", "Labels", "Inset", "Font", "Lines", "Copy"}));
  EXPECT_FALSE(applyAllEnabled) << "only on the Result page";
  EXPECT_FALSE(Find<QCheckBox>("AutoYCheck")->isChecked()) << "typing a y value fixed the y range";
  EXPECT_FALSE(record.AutoY);
  EXPECT_EQ(record.YMax, 5);
  EXPECT_EQ(record.InsetLines, std::vector<std::string>{"one"});
  EXPECT_EQ(plot.InsetLines(), record.InsetLines);
}

TEST_F(GraphPropsWindowTest, CancelAndEscapeStoreNothing) {
  for (bool escape : {false, true}) {
    std::string typed;
    WhenUp([&] {
      window.Tabs()->setCurrentIndex(TGraphPropsDialog::pgLabels);
      QTest::keyClicks(Find<QLineEdit>("XTitleBox"), "changed");
      typed = model.XTitleBox.Text();
      if (escape)
        QTest::keyClick(&window, Qt::Key_Escape);
      else
        QTest::mouseClick(Find<QPushButton>("CancelButton"), Qt::LeftButton);
    });
    EXPECT_FALSE(model.Edit(plot, record, true, copyWidth, copyHeight));
    EXPECT_EQ(typed, "changed") << "the box shows the graph's own title";
    EXPECT_EQ(record.XTitle, "Time (s)");
    EXPECT_EQ(plot.Appearance().xTitle, "");
  }
}

TEST_F(GraphPropsWindowTest, TheFontDialogOpensOnTheFontAndReturnsTheChoice) {
  Font font;
  font.name = "Liberation Sans";
  font.size = 12;
  font.height = 16;
  font.colour = colours::Red;
  QFont shown;
  test::WhenShown<QFontDialog>([&](QFontDialog* dialog) {
    shown = dialog->currentFont();
    QFont serif("Liberation Serif");
    serif.setPointSize(20);
    serif.setBold(true);
    dialog->setCurrentFont(serif);
    dialog->accept();
  });
  ASSERT_TRUE(ws.ChooseFont(font));
  EXPECT_EQ(shown.family(), "Liberation Sans");
  EXPECT_EQ(font.name, "Liberation Serif");
  EXPECT_EQ(font.size, 20);
  EXPECT_EQ(font.height, 0) << "the chosen size decides";
  EXPECT_EQ(font.style, static_cast<unsigned>(fsBold));
  EXPECT_EQ(font.colour, colours::Red) << "the dialog offers no colour";

  test::WhenShown<QFontDialog>([](QFontDialog* dialog) { dialog->reject(); });
  const Font before = font;
  EXPECT_FALSE(ws.ChooseFont(font));
  EXPECT_EQ(font, before);
}

}  // namespace
}  // namespace kelvaris::qt

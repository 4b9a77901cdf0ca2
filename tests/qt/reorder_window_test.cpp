#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/reorder_dialog.h"
#include "qt/grid_widget.h"
#include "qt/qt_window_system.h"
#include "qt/reorder_window.h"

namespace kelvaris::qt {
namespace {

std::vector<TCurveInfo> TwoCurves() {
  std::vector<TCurveInfo> info(2);
  info[0].Injection = 1;
  info[1].Injection = 2;
  return info;
}

TEST(ReorderWindowTest, OkClosesOnlyAfterTheChecksPass) {
  QtWindowSystem ws;
  TReorderDialog model(ws);
  ReorderWindow window(model, nullptr);
  model.Fill(TwoCurves());
  ws.RegisterModal(model.Form.Name(), [&window] { return window.Run(); });
  // The user keeps the numbers and presses OK.
  QTimer::singleShot(0, &window, [&window] {
    QTest::mouseClick(window.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
  });
  EXPECT_EQ(ws.ShowModal(model.Form), ModalResult::Ok);
  EXPECT_EQ(window.Grid()->size(), QSize(model.Grid.TotalWidth(), model.Grid.TotalHeight()));

  QTimer::singleShot(0, &window, [&window] {
    QTest::mouseClick(window.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
  });
  EXPECT_EQ(ws.ShowModal(model.Form), ModalResult::Cancel);
  EXPECT_TRUE(model.MayClose());
}

}  // namespace
}  // namespace kelvaris::qt

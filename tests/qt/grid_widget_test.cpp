// The grid on Qt: copy and paste through the real clipboard, and the widget
// turning clicks and typing into the grid's selection and cell texts.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "qt/grid_widget.h"
#include "qt/qt_window_system.h"
#include "qt_test_support.h"

namespace kelvaris::qt {
namespace {

void NumberCells(TKelvarisGrid& grid) {
  grid.SetColCount(4);
  grid.SetRowCount(4);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) grid.SetCell(c, r, std::to_string(c) + std::to_string(r));
}

TEST(GridClipboard, CopyAndPasteGoThroughTheSystemClipboard) {
  QtWindowSystem ws;
  TKelvarisGrid grid("Grid", ws);
  NumberCells(grid);
  grid.SetCell(1, 1, "1.5(2)e-3");
  grid.SetBlocked(2, 2, true);
  for (auto [c, r] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}}) grid.SetSelected(c, r, true);

  grid.CopySelected(true);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1.5e-3\t21\n12\t---\n"));

  QGuiApplication::clipboard()->setText(QStringLiteral("a\tb\r\nc\td\r\n"));
  grid.PasteSelected();
  EXPECT_EQ(grid.Cell(1, 1), "a");
  EXPECT_EQ(grid.Cell(2, 1), "b");
  EXPECT_EQ(grid.Cell(1, 2), "c");
  EXPECT_EQ(grid.Cell(2, 2), "22") << "blocked";
  EXPECT_EQ(grid.Cell(3, 1), "31") << "not selected";
}

TEST(GridWidget, ClickSelectsAndTypingFillsTheSelectedCells) {
  QtWindowSystem ws;
  TKelvarisGrid grid("Grid", ws);
  NumberCells(grid);
  int wordChanges = 0;
  grid.OnWordChange = [&](TKelvarisGrid&) { ++wordChanges; };
  GridWidget widget(grid);
  widget.resize(widget.sizeHint());
  EXPECT_EQ(widget.sizeHint(), QSize(grid.TotalWidth(), grid.TotalHeight()));
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  widget.activateWindow();

  auto centre = [&](int c, int r) {
    const Rect rect = grid.CellRect(c, r);
    return QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  };
  QTest::mouseClick(&widget, Qt::LeftButton, {}, centre(1, 2));
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::ControlModifier, centre(3, 3));
  EXPECT_TRUE(grid.GetSelected(1, 2));
  EXPECT_TRUE(grid.GetSelected(3, 3));
  EXPECT_FALSE(grid.GetSelected(1, 1));
  ASSERT_EQ(grid.CursorCol(), 3);

  // The selection shows blue once painted.
  const Rect cell = grid.CellRect(1, 2);
  EXPECT_EQ(test::PixelAt(widget.grab().toImage(), cell.left + 2, cell.top + 2), Colour{0xFF0000});

  QTest::keyClicks(&widget, "4");
  ASSERT_NE(widget.Editor(), nullptr);
  QTest::keyClicks(widget.Editor(), "2");
  EXPECT_EQ(grid.Cell(3, 3), "42");
  EXPECT_EQ(grid.Cell(1, 2), "42");
  EXPECT_EQ(grid.Cell(1, 1), "11");

  QTest::keyClick(widget.Editor(), Qt::Key_Return);
  EXPECT_TRUE(test::WaitFor([&] { return widget.Editor() == nullptr; }));
  EXPECT_FALSE(grid.EditorOpen());
  EXPECT_EQ(wordChanges, 1);
  EXPECT_TRUE(grid.GetSelected(1, 2)) << "closing the editor keeps the selection";

  // Arrow keys reach the grid; Delete clears the selection's cells.
  QTest::keyClick(&widget, Qt::Key_Up);  // from the end cell (3,3)
  EXPECT_TRUE(grid.GetSelected(3, 2));
  EXPECT_FALSE(grid.GetSelected(1, 2));
  QTest::keyClick(&widget, Qt::Key_Delete);
  EXPECT_EQ(grid.Cell(3, 2), "");
  EXPECT_EQ(grid.Cell(1, 2), "42");
}

TEST(GridWidget, KeysMapToTheGridsCodes) {
  EXPECT_EQ(GridWidget::GridKeyFor(Qt::Key_Enter), vkReturn);
  EXPECT_EQ(GridWidget::GridKeyFor(Qt::Key_Delete), vkDelete);
  EXPECT_EQ(GridWidget::GridKeyFor(Qt::Key_C), 'C');
  // Characters that share a code with an arrow or Delete must not act as one.
  EXPECT_NE(GridWidget::GridKeyFor(Qt::Key_Period), vkDelete);
  EXPECT_NE(GridWidget::GridKeyFor(Qt::Key_ParenLeft), vkDown);
  EXPECT_EQ(GridWidget::ShiftFor(Qt::ControlModifier | Qt::ShiftModifier), unsigned{ssCtrl | ssShift});
}

}  // namespace
}  // namespace kelvaris::qt

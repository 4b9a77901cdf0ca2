#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <fstream>

#include "app/application.h"
#include "qt/main_window.h"
#include "qt/qt_window_system.h"

namespace kelvaris::qt {
namespace {

// The real window system with the open dialog answered by the test.
class ScriptedDialogs : public QtWindowSystem {
 public:
  OpenDialogResult next;
  OpenDialogResult OpenFileDialog(const OpenDialogRequest& request) override {
    OpenDialogResult r = next;
    r.options = request.options;
    if (request.onFilterChange) request.onFilterChange(r.filterIndex, r.options);
    return r;
  }
};

TEST(MainWindowTest, LoadButtonLoadsTheChosenFileAndTheCaptionFollows) {
  const std::string path = std::string(KELVARIS_TEST_DATA) + "/headerless_two_curves.txt";
  ScriptedDialogs ws;
  TApplication app(ws, {}, "");
  MainWindow window(*app.MainForm);
  ws.SetDialogParent(&window);
  app.MainForm->Form.SetVisible(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), "Kelvaris");

  auto* pages = window.findChild<QTabWidget*>("PageControl");
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->count(), 12);

  ws.next.outcome = DialogOutcome::Accepted;
  ws.next.path = path;
  ws.next.filterIndex = 1;
  QToolButton* load = window.ButtonFor(app.MainForm->LoadButton);
  ASSERT_NE(load, nullptr);
  QTest::mouseClick(load, Qt::LeftButton, {}, QPoint(8, 8));
  QApplication::processEvents();

  EXPECT_EQ(window.windowTitle(), "Kelvaris - headerless_two_curves");
  EXPECT_TRUE(app.MainForm->Experiment.DataLoaded);
  auto* list = window.findChild<QListWidget*>("CurveList");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 2);
  EXPECT_EQ(pages->tabText(0), "DATA");

  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT")) window.grab().save(shot);
}

}  // namespace
}  // namespace kelvaris::qt

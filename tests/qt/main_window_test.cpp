#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
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

// The main window on an application of its own, shown as at start-up.
struct ShownWindow {
  ShownWindow() { app.MainForm->Form.SetVisible(true); }
  ShownWindow(int width, int height) {
    window.resize(width, height);
    app.MainForm->Form.SetVisible(true);
  }
  QtWindowSystem ws;
  TApplication app{ws, {}, ""};
  MainWindow window{*app.MainForm};
};

// Loads `text` through a temporary file, as the Load command would.
void LoadRunText(TMainForm& form, const std::string& text, const std::string& name) {
  const std::string path = QDir::tempPath().toStdString() + "/" + name;
  std::ofstream(path) << text;
  form.Merge = false;
  ASSERT_TRUE(form.LoadDataFile(path, true));
  std::remove(path.c_str());
}

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

TEST(MainWindowTest, TheSampleTableShowsAfterALoadAndTakesTypedText) {
  const std::string path = std::string(KELVARIS_TEST_DATA) + "/headerless_two_curves.txt";
  ShownWindow shown{900, 600};
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
  MainWindow& window = shown.window;
  TMainForm& form = *shown.app.MainForm;
  auto* grid = window.findChild<QWidget*>("SampleGrid");
  ASSERT_NE(grid, nullptr);
  EXPECT_FALSE(grid->isVisibleTo(&window)) << "no layout before a load";

  form.Merge = false;
  ASSERT_TRUE(form.LoadDataFile(path, true));
  form.RunChain(stRaw);
  QApplication::processEvents();
  EXPECT_TRUE(grid->isVisibleTo(&window));
  EXPECT_EQ(grid->size(), QSize(form.SampleGrid.TotalWidth(), form.SampleGrid.TotalHeight()));

  // A click on cell A2 and typing.
  const Rect cell = form.SampleGrid.CellRect(1, 2);
  QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  for (char ch : std::string("5nM")) QTest::keyClick(QApplication::focusWidget(), ch);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(form.SampleGrid.Cell(1, 2), "5nM");
  EXPECT_TRUE(form.SaveMethodButton.Enabled());

  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_DATA")) window.grab().save(shot);
  auto* pages = window.findChild<QTabWidget*>("PageControl");
  ASSERT_TRUE(form.Pages.UserSelect(pgCompound));
  QApplication::processEvents();
  EXPECT_EQ(pages->currentIndex(), pgCompound);
  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_COMPOUND")) window.grab().save(shot);
}

TEST(MainWindowTest, CtrlZAndCtrlRUndoAndRedoEvenInsideAnEditBox) {
  const std::string path = std::string(KELVARIS_TEST_DATA) + "/headerless_two_curves.txt";
  ShownWindow shown{};
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
  MainWindow& window = shown.window;
  TMainForm& form = *shown.app.MainForm;
  form.Merge = false;
  ASSERT_TRUE(form.LoadDataFile(path, true));
  ASSERT_TRUE(form.Pages.UserSelect(pgZero));
  QApplication::processEvents();
  const std::string before = form.StartZeroBox.Text();

  auto* box = window.findChild<QLineEdit*>("StartZeroBox");
  ASSERT_NE(box, nullptr);
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, '7');
  EXPECT_EQ(form.StartZeroBox.Text(), "7");
  ASSERT_EQ(form.UndoList.Count(), 1);

  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form.StartZeroBox.Text(), before);
  EXPECT_EQ(box->text().toStdString(), before);
  EXPECT_EQ(form.UndoList.Cursor(), 0) << "the program's undo, not the box's own";
  EXPECT_TRUE(form.RedoButton.Enabled());
  QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(box->text().toStdString(), "7");
  EXPECT_FALSE(window.ButtonFor(form.RedoButton)->isEnabled());
}

TEST(MainWindowTest, ProcessingPagesShowTheirSourceAndResultGraphs) {
  const std::string path = std::string(KELVARIS_TEST_DATA) + "/headerless_two_curves.txt";
  ShownWindow shown{1000, 650};
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
  MainWindow& window = shown.window;
  TMainForm& form = *shown.app.MainForm;
  form.Merge = false;
  ASSERT_TRUE(form.LoadDataFile(path, true));
  form.RunChain(stRaw);
  form.RefreshDataPage();  // as the Load command does
  QTest::qWait(20);
  auto* dataPlot = window.findChild<QWidget*>("DataPlot");
  ASSERT_NE(dataPlot, nullptr);
  EXPECT_TRUE(dataPlot->isVisible());
  EXPECT_GT(form.DataPlot.XScale(), 0) << "the Data page's graph has been drawn";

  for (int page : {pgZero, pgCrop, pgAlign, pgReference, pgDmso}) {
    ASSERT_TRUE(form.Pages.UserSelect(page));
    QApplication::processEvents();
    auto* from = window.findChild<QWidget*>("FromPlot");
    ASSERT_NE(from, nullptr);
    EXPECT_TRUE(from->isVisible()) << page;
    EXPECT_TRUE(window.findChild<QWidget*>("ToPlot")->isVisible());
  }
  ASSERT_TRUE(form.Pages.UserSelect(pgZero));
  form.ZeroCheck.UserClick();
  QApplication::processEvents();
  EXPECT_GT(form.ToPlot.XScale(), 0) << "the Zero stage is drawn below";
  EXPECT_GE(form.FromPlot.LinePixel(TPlot::kStart), 0) << "the window markers are placed";
  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_ZERO")) window.grab().save(shot);
  ASSERT_TRUE(form.Pages.UserSelect(pgAlign));
  form.AlignCheck.UserClick();
  QApplication::processEvents();
  auto* right = window.findChild<QToolButton*>("AlignStepRight");
  ASSERT_NE(right, nullptr);
  ASSERT_TRUE(right->isEnabled());
  const double before = form.Experiment.CurveInfo[0].InjectionTime;
  right->click();
  EXPECT_NEAR(form.Experiment.CurveInfo[0].InjectionTime, before - 0.1, 1e-9);
  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_ALIGN")) window.grab().save(shot);
}

TEST(MainWindowTest, TheDmsoPageDrawsTheStandardGraph) {
  // Six injections on two flow cells; the first three are solvent standards.
  std::string text;
  for (int k = 1; k <= 6; ++k)
    for (int f = 1; f <= 2; ++f) {
      const std::string label = "run Fc=" + std::to_string(f) + " - " + std::to_string(k);
      text += (k + f > 2 ? "\t" : "") + label + "_X\t" + label + "_Y";
    }
  text += "\n";
  for (int i = 0; i <= 40; ++i) {
    for (int k = 1; k <= 6; ++k) {
      const bool during = i >= 10 && i <= 30;
      const double fc1 = during ? k : 0, fc2 = during ? 1.1 * k + 0.5 + (k >= 4 ? 2 : 0) : 0;
      text += (k > 1 ? "\t" : "") + std::to_string(i) + "\t" + std::to_string(fc1) + "\t" + std::to_string(i) +
              "\t" + std::to_string(fc2);
    }
    text += "\n";
  }
  ShownWindow shown{1000, 650};
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
  MainWindow& window = shown.window;
  TMainForm& form = *shown.app.MainForm;
  LoadRunText(form, text, "kelvaris-dmso-run.txt");
  form.RunChain(stRaw);
  form.RefreshDataPage();
  for (int row = 1; row <= 3; ++row) form.SampleGrid.SetCell(1, row, "dmso");
  form.Experiment.SampleTableEdited = true;
  ASSERT_TRUE(form.Pages.UserSelect(pgReference));
  form.ReferenceCombo.UserSelect(1);
  ASSERT_TRUE(form.Pages.UserSelect(pgDmso));
  form.StartDMSOBox.UserSetText("15");
  form.StopDMSOBox.UserSetText("25");
  form.InjEndBox.UserSetText("35");
  form.DMSOGroup.UserSelect(1);
  ASSERT_TRUE(form.Experiment.StageExists(stSolvent));
  QTest::qWait(20);
  auto* graph = window.findChild<QWidget*>("StandardGraph");
  ASSERT_NE(graph, nullptr);
  EXPECT_TRUE(graph->isVisible());
  EXPECT_EQ(form.StandardGraph.Markers().size(), 3u) << "the standards of flow cell 2 were drawn";
  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_DMSO")) window.grab().save(shot);
}

TEST(MainWindow, TheBlankAndBoundPagesShowTheirGraphsAndWarnings) {
  // Five injections on one flow cell; 1 and 5 are blanks, 2 to 4 bind
  // 10, 50 and 90 RU from 10 to 30 s.
  const double bound[] = {0, 10, 50, 90, 0};
  std::string text;
  for (int k = 1; k <= 5; ++k) {
    const std::string label = "run Fc=1 - " + std::to_string(k);
    text += (k > 1 ? "\t" : "") + label + "_X\t" + label + "_Y";
  }
  text += "\n";
  for (int i = 0; i <= 40; ++i) {
    for (int k = 1; k <= 5; ++k)
      text += (k > 1 ? "\t" : "") + std::to_string(i) + "\t" +
              std::to_string(0.1 * i + (i >= 10 && i <= 30 ? bound[k - 1] : 0));
    text += "\n";
  }
  ShownWindow shown{1000, 650};
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
  MainWindow& window = shown.window;
  TMainForm& form = *shown.app.MainForm;
  LoadRunText(form, text, "kelvaris-bound-run.txt");
  const char* samples[] = {"0", "1uM", "10uM", "100uM", "0"};
  for (int row = 1; row <= 5; ++row) form.SampleGrid.SetCell(1, row, samples[row - 1]);
  form.Experiment.SampleTableEdited = true;

  ASSERT_TRUE(form.Pages.UserSelect(pgBlank));
  QTest::qWait(20);
  auto* warning = window.findChild<QWidget*>("BlankWarningPanel");
  ASSERT_NE(warning, nullptr);
  EXPECT_FALSE(warning->isVisible()) << "samples and blanks are there";
  form.BlankGroup.UserSelect(1);
  ASSERT_TRUE(form.Experiment.StageExists(stBlank));
  auto* blankRadio = window.findChild<QGroupBox*>("BlankGroup");
  ASSERT_NE(blankRadio, nullptr);
  EXPECT_TRUE(blankRadio->isVisible());

  ASSERT_TRUE(form.Pages.UserSelect(pgBound));
  form.StartBoundBox.UserSetText("15");
  form.StopBoundBox.UserSetText("25");
  form.BoundCheck.UserClick();
  ASSERT_TRUE(form.Experiment.StageExists(stBound));
  QTest::qWait(20);
  auto* result = window.findChild<QWidget*>("ToPlot");
  ASSERT_NE(result, nullptr);
  EXPECT_TRUE(result->isVisible()) << "the page's graph area holds the stage graphs";
  EXPECT_FALSE(window.findChild<QWidget*>("BoundWarningPanel")->isVisible());
  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_BOUND")) window.grab().save(shot);

  ASSERT_TRUE(form.Pages.UserSelect(pgFit));
  form.FitCheck.UserClick();
  ASSERT_TRUE(form.Experiment.StageExists(stAffinity));
  QTest::qWait(20);
  auto* fitGraph = window.findChild<QWidget*>("FitPlot");
  ASSERT_NE(fitGraph, nullptr);
  EXPECT_TRUE(fitGraph->isVisible());
  auto* table = window.findChild<QWidget*>("KmGrid");
  ASSERT_NE(table, nullptr);
  EXPECT_TRUE(table->isVisible());
  if (const char* shot = std::getenv("KELVARIS_SCREENSHOT_AFFINITY")) window.grab().save(shot);
}

}  // namespace
}  // namespace kelvaris::qt

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/application.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

const char* kTwoCurves = "0\t1\t0\t10\n1\t2\t1\t20\n2\t3\t2\t30\n";

class LoadTest : public ::testing::Test {
 protected:
  TMainForm& form() { return *app.MainForm; }
  TExperiment& e() { return app.MainForm->Experiment; }

  static OpenDialogResult Chosen(std::string path, int filter = 1) {
    OpenDialogResult r;
    r.outcome = DialogOutcome::Accepted;
    r.path = std::move(path);
    r.filterIndex = filter;
    return r;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : ws.Messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  test::TempDir dir;
  HeadlessWindowSystem ws;
  TApplication app{ws, {}, ""};
};

TEST_F(LoadTest, LoadCommandReadsTheChosenFile) {
  const std::string path = dir.Write("run.7.txt", kTwoCurves);
  ws.QueueOpenResult(Chosen(path));
  form().LoadButtonClick();
  EXPECT_TRUE(MessageTexts().empty()) << MessageTexts()[0];
  EXPECT_TRUE(e().DataLoaded);
  EXPECT_EQ(form().Form.Caption(), "Kelvaris - run.7");
  EXPECT_EQ(form().DataFilePath, path);
  EXPECT_EQ(e().Stage(stRaw).CurveCount, 2);
  EXPECT_EQ(form().FcListBox.Items(), (std::vector<std::string>{"All flowcells", "Flowcell 1"}));
  EXPECT_EQ(form().Pages.PageAt(pgScheme).caption, "DATA");
  EXPECT_TRUE(form().HideButton.Enabled());
  EXPECT_TRUE(form().AllPointAction.Enabled());
  EXPECT_TRUE(form().DespikeAction.Enabled());
  EXPECT_EQ(app.TitleForm->Recent.files.front(), path);
  EXPECT_EQ(app.TitleForm->Recent.folders.front(), dir.Path() + "/");
  EXPECT_EQ(form().CurveList.Count(), 2);
  EXPECT_FALSE(app.ProgForm->Form.Visible());
  EXPECT_FALSE(e().Busy);
  EXPECT_EQ(ws.Cursor(), crDefault);
}

TEST_F(LoadTest, DialogOffersTheFourFiltersAndTheOptionsStrip) {
  form().OpenFilterIndex = 2;
  form().LoadButtonClick();  // cancelled: nothing queued
  ASSERT_EQ(ws.OpenRequests().size(), 1u);
  const OpenDialogRequest& r = ws.OpenRequests()[0];
  ASSERT_EQ(r.filters.size(), 4u);
  EXPECT_EQ(r.filters[0].description, "Biosensor files");
  EXPECT_EQ(r.filters[0].pattern, "*.blr;*.ble;*.frd;*.dat;*.txt");
  EXPECT_EQ(r.filters[2].pattern, "*.kvx");
  EXPECT_EQ(r.filters[3].description, "All files");
  EXPECT_EQ(r.filterIndex, 2);
  EXPECT_EQ(r.defaultExtension, "txt");
  EXPECT_TRUE(r.multiSelect);
  EXPECT_EQ(r.nameBufferSize, 30000u);
  EXPECT_EQ(r.optionsLabel, "Options:");
  ASSERT_EQ(r.options.size(), 3u);
  EXPECT_EQ(r.options[0].caption, "Clear method");
  EXPECT_EQ(r.options[1].caption, "Load associated data");
  EXPECT_EQ(r.options[2].caption, "Merge");
  EXPECT_TRUE(r.options[0].enabled);
  EXPECT_FALSE(r.options[1].enabled) << "only with the method filter";
  EXPECT_FALSE(r.options[2].enabled) << "nothing loaded to merge with";
  EXPECT_FALSE(r.options[2].checked);

  // Choosing the method filter swaps which option applies.
  std::vector<DialogOption> options = r.options;
  r.onFilterChange(3, options);
  EXPECT_FALSE(options[0].enabled);
  EXPECT_TRUE(options[1].enabled);
}

TEST_F(LoadTest, OptionStatesReachTheFormOnConfirmation) {
  const std::string path = dir.Write("run.txt", kTwoCurves);
  OpenDialogResult chosen = Chosen(path, 4);
  chosen.options = {{"Clear method", false, true}, {"Load associated data", false, false}, {"Merge", false, false}};
  ws.QueueOpenResult(chosen);
  form().LoadButtonClick();
  EXPECT_FALSE(form().ClearMethod);
  EXPECT_FALSE(form().LoadAssociatedData);
  EXPECT_EQ(form().OpenFilterIndex, 4);
  EXPECT_EQ(form().OpenFolder, path);
}

TEST_F(LoadTest, OverflowingSelectionSaysSoAndLoadsNothing) {
  OpenDialogResult r;
  r.outcome = DialogOutcome::Overflow;
  ws.QueueOpenResult(r);
  form().LoadButtonClick();
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Load error: Too many files selected"}));
  EXPECT_FALSE(e().DataLoaded);
}

TEST_F(LoadTest, FailedLoadsKeepThePreviousCurvesExactly) {
  ASSERT_TRUE(form().LoadDataFile(dir.Write("good.txt", kTwoCurves), true));
  const TCurveSet before = e().Stage(stRaw);
  const std::string caption = form().Form.Caption();

  struct Case {
    std::string name, content, message;
  } cases[] = {
      {"short.txt", std::string(19, '1'), "File Read Error: Unable to read file"},
      {"odd.txt", "1\t2\t3\n4\t5\t6\n7\t8\t9\n10\t11\t12\n", "File Read Error: Unreadable format"},
      {"oneline.txt", "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\n", "Load Error: Poorly formated file"},
      {"longpair.txt", "0\t1\n1\t" + std::string(100, '2') + "\n", "File Read Error: Unreadable format"},
      {"export.zip", std::string("PK\x03\x04\x14", 5) + std::string(20, '\0'),
       "File Read Error: Kelvaris cannot read zip export files yet"},
      {"tagged.txt", "<FILEVERSION>2\n<T_>CYCLE<TX>\n\x1e\x1e\x1e" "A\n</T_>\n<T_>XYMULTISPOTDATA<TX>\n\x1e\x1e" "1\x1e" "0\x1e\n</T_>\n",
       "New Sens: Bad allocation request"},
  };
  for (const auto& c : cases) {
    ws.ClearMessages();
    EXPECT_FALSE(form().LoadDataFile(dir.Write(c.name, c.content), true)) << c.name;
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{c.message})) << c.name;
    const TCurveSet& after = e().Stage(stRaw);
    EXPECT_EQ(after.CurveCount, before.CurveCount) << c.name;
    EXPECT_EQ(after.Time, before.Time) << c.name;
    EXPECT_EQ(after.Response, before.Response) << c.name;
    EXPECT_EQ(after.PointCount, before.PointCount) << c.name;
    EXPECT_TRUE(e().DataLoaded) << c.name;
    EXPECT_EQ(form().Form.Caption(), caption) << c.name;
    EXPECT_FALSE(app.ProgForm->Form.Visible()) << c.name;
  }
}

TEST_F(LoadTest, TwentyBytesAreEnoughNineteenAreNot) {
  EXPECT_TRUE(form().LoadDataFile(dir.Write("20.txt", "0\t1.25\n1\t2.5\n2\t3.75\n"), true));
  EXPECT_EQ(std::string("0\t1.25\n1\t2.5\n2\t3.75\n").size(), 20u);
  EXPECT_FALSE(form().LoadDataFile(dir.Write("19.txt", "0\t1.25\n1\t2.5\n2\t3.7\n"), true));
}

TEST_F(LoadTest, UnopenableFilesNameTheReason) {
  EXPECT_FALSE(form().LoadDataFile(dir.Path() + "/missing.txt", true));
  ASSERT_EQ(ws.Messages().size(), 1u);
  EXPECT_EQ(ws.Messages()[0].caption, "File Read Error");
  EXPECT_EQ(ws.Messages()[0].text, "Unable to open file possibly because\nNo such file or directory");
  EXPECT_EQ(ws.Messages()[0].icon, MsgIcon::Warning);
  EXPECT_FALSE(form().LoadDataFile(dir.Path() + "/missing.txt", false));
  EXPECT_EQ(ws.Messages().size(), 1u) << "no messages when not asked for";
  EXPECT_TRUE(app.TitleForm->Recent.files.empty());
}

TEST_F(LoadTest, SeveralFilesAreLoadedInOrderFromTheirFolder) {
  dir.Write("a.txt", kTwoCurves);
  dir.Write("b.txt", "0\t5.5\n1\t6.5\n2\t7.5\n3\t8.5\n");
  OpenDialogResult r = Chosen(dir.Path());
  r.names = {"a.txt", "b.txt"};
  ws.QueueOpenResult(r);
  form().LoadButtonClick();
  EXPECT_EQ(form().DataFilePath, dir.Path() + "/b.txt");
  EXPECT_EQ(app.TitleForm->Recent.files, (std::vector<std::string>{dir.Path() + "/b.txt", dir.Path() + "/a.txt"}));
  EXPECT_FALSE(form().Merge) << "the chosen value is put back";
}

TEST_F(LoadTest, RecentListEntriesLoadOrOpenTheDialog) {
  const std::string path = dir.Write("run.txt", kTwoCurves);
  app.TitleForm->AddRecent(path);
  form().FileListMenu.Popup();
  ASSERT_EQ(form().FileListMenu.Items().size(), 3u);
  form().FileListMenu.Choose(2);  // the file
  EXPECT_TRUE(e().DataLoaded);
  EXPECT_EQ(form().DataFilePath, path);

  form().FileListMenu.Choose(0);  // the folder: the dialog opens there
  ASSERT_EQ(ws.OpenRequests().size(), 1u);
  EXPECT_EQ(ws.OpenRequests()[0].startFolder, dir.Path() + "/");
}

TEST(StartUp, WindowsAreCreatedInOrderAndTheCommandLineFileLoadsAtFirstPaint) {
  test::TempDir dir;
  const std::string path = dir.Write("start.txt", kTwoCurves);
  HeadlessWindowSystem ws;
  TApplication app(ws, {path}, "");
  EXPECT_EQ(app.CreationOrder(),
            (std::vector<std::string>{"TitleForm", "MainForm", "HideDialog", "GraphPropDlg", "PrintPropDialog",
                                      "ProgForm", "TableDialog", "ChopDialog", "SavePlotDialog", "KinOptionsDlg",
                                      "PleaseWaitDlg", "FitProgDialog", "ReorderDialog"}));
  TMainForm& form = *app.MainForm;
  EXPECT_FALSE(form.Form.Visible());
  EXPECT_FALSE(form.Experiment.DataLoaded);
  EXPECT_EQ(form.Pages.PageAt(pgCompound).caption, "Compound") << "the reset's caption";
  form.FormPaint();
  EXPECT_TRUE(form.Experiment.DataLoaded);
  EXPECT_EQ(form.Form.Caption(), "Kelvaris - start");
  form.FormPaint();  // only the first paint loads
  EXPECT_EQ(app.TitleForm->Recent.files.size(), 1u);
}

TEST(StartUp, ClosingAsksAndNoKeepsTheProgramRunning) {
  HeadlessWindowSystem ws;
  TApplication app(ws, {}, "");
  ws.QueueAnswer(MsgResult::No);
  EXPECT_FALSE(app.MainForm->FormCloseQuery());
  ASSERT_EQ(ws.Messages().size(), 1u);
  EXPECT_EQ(ws.Messages()[0].text, "Exit Kelvaris?");
  EXPECT_EQ(ws.Messages()[0].caption, "Close");
  EXPECT_EQ(ws.Messages()[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(ws.Messages()[0].icon, MsgIcon::Question);
  ws.QueueAnswer(MsgResult::Yes);
  EXPECT_TRUE(app.MainForm->FormCloseQuery());
  app.MainForm->FormClose();
  EXPECT_EQ(ws.HelpClosed(), 1);
}

TEST(StartUp, PagesCannotBeLeftWithoutDataAndHelpFollowsThePage) {
  HeadlessWindowSystem ws;
  TApplication app(ws, {}, "");
  TMainForm& form = *app.MainForm;
  EXPECT_FALSE(form.Pages.UserSelect(pgZero));
  EXPECT_EQ(form.Pages.ActivePageIndex(), pgScheme);
  form.HelpButton.Click();
  form.Experiment.DataLoaded = true;
  EXPECT_TRUE(form.Pages.UserSelect(pgZero));
  form.HelpButton.Click();
  EXPECT_EQ(ws.HelpTopics(), (std::vector<std::string>{"Kelvaris2.chm::/contents/contents.htm",
                                                       "Kelvaris2.chm::/analysis_pages/zero_page/zero_page.htm"}));
}

}  // namespace
}  // namespace kelvaris

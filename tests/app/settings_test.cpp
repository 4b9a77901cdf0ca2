#include <gtest/gtest.h>

#include "app/recent_lists.h"
#include "app/title_form.h"
#include "import/file_bytes.h"
#include "platform/headless_window_system.h"
#include "test_support.h"

namespace kelvaris {
namespace {

using Lines = std::vector<std::string>;

TEST(Settings, ReadingRules) {
  struct Case {
    std::string text;
    Lines folders, files;
    const char* why;
  } cases[] = {
      {"", {}, {}, "empty file"},
      {"/a/\n/b/\n-\n/a/x.txt\n", {"/a/", "/b/"}, {"/a/x.txt"}, "folders, dash, files"},
      {"\n/a/\n\n-\n\n/a/x.txt\n\n", {"/a/"}, {"/a/x.txt"}, "empty lines are skipped"},
      {"/a/\n-\n/a/x\n-\n/a/y\n", {"/a/"}, {"/a/x", "/a/y"}, "a second dash is ignored"},
      {"/a/\n--old\n/a/x\n", {"/a/"}, {"/a/x"}, "any line beginning with - separates"},
      {"/a/\r\n-\r\n/a/x\r\n", {"/a/"}, {"/a/x"}, "CR LF lines"},
      {"/a/\n-\n/a/last", {"/a/"}, {"/a/last"}, "a last line without a line feed keeps its characters"},
      {"1\n2\n3\n4\n5\n6\n7\n-\nf\ng\n", {"1", "2", "3", "4", "5", "6", "7"}, {"f", "g"},
       "lists are not cut when read"},
  };
  for (const auto& c : cases) {
    RecentLists lists = ParseSettings(c.text);
    EXPECT_EQ(lists.folders, c.folders) << c.why;
    EXPECT_EQ(lists.files, c.files) << c.why;
  }
}

TEST(Settings, AnOverLongLineIsReadInPieces) {
  const std::string longPath(600, 'p');
  RecentLists lists = ParseSettings(longPath + "\n-\n");
  ASSERT_EQ(lists.folders.size(), 2u);
  EXPECT_EQ(lists.folders[0] + lists.folders[1], longPath);
}

TEST(Settings, WrittenFileHasExactlyOneDash) {
  EXPECT_EQ(FormatSettings({}), "-\n");
  EXPECT_EQ(FormatSettings({{"/a/"}, {"/a/x"}}), "/a/\n-\n/a/x\n");
}

TEST(RecentListsTest, AddingMovesToTheFrontIgnoringCaseAndKeepsFive) {
  RecentLists lists = ParseSettings("/1/\n/2/\n/3/\n/4/\n/5/\n/6/\n/7/\n-\n/1/a\n/2/b\n");
  lists.AddRecent("/DATA/run.txt");
  EXPECT_EQ(lists.folders, (Lines{"/DATA/", "/1/", "/2/", "/3/", "/4/"}));
  EXPECT_EQ(lists.files, (Lines{"/DATA/run.txt", "/1/a", "/2/b"}));
  lists.AddRecent("/data/Run.txt");
  EXPECT_EQ(lists.folders, (Lines{"/data/", "/1/", "/2/", "/3/", "/4/"}));
  EXPECT_EQ(lists.files, (Lines{"/data/Run.txt", "/1/a", "/2/b"}));
  lists.AddRecent("C:\\runs\\b.txt");
  EXPECT_EQ(lists.folders[0], "C:\\runs\\");
}

TEST(TitleFormTest, ReadsAtCreationAndWritesAtTheEnd) {
  test::TempDir dir;
  const std::string ini = dir.Write("Kelvaris2.ini", "/r/\n-\n/r/a.txt\n");
  HeadlessWindowSystem ws;
  ws.SetProgramFolder(dir.Path() + "/");
  {
    TTitleForm title(ws, ini);
    EXPECT_EQ(title.InitialFolder, "/r/");
    title.AddRecent("/s/b.txt");
    Menu menu("FileListMenu");
    title.FillRecentMenu(menu);
    std::vector<std::string> captions;
    for (const auto& item : menu.Items()) captions.push_back(item.caption);
    EXPECT_EQ(captions, (Lines{"/s/", "/r/", "-", "/s/b.txt", "/r/a.txt"}));
  }
  EXPECT_EQ(ReadFileBytes(ini).bytes, "/s/\n/r/\n-\n/s/b.txt\n/r/a.txt\n");
}

TEST(TitleFormTest, WithoutSettingsTheProgramFolderIsTheStart) {
  test::TempDir dir;
  HeadlessWindowSystem ws;
  ws.SetProgramFolder(dir.Path() + "/");
  TTitleForm title(ws, dir.Path() + "/missing/Kelvaris2.ini");
  EXPECT_EQ(title.InitialFolder, dir.Path() + "/");
  Menu menu("FileListMenu");
  title.FillRecentMenu(menu);
  ASSERT_EQ(menu.Items().size(), 1u);
  EXPECT_EQ(menu.Items()[0].caption, "-");
}

TEST(TitleFormTest, SplashShowsTheMainWindowAfterThreeSecondsAndHidesHalfASecondLater) {
  HeadlessWindowSystem ws;
  TTitleForm title(ws, "");
  Panel mainWindow("MainForm");
  mainWindow.SetVisible(false);
  title.SetMainWindow(&mainWindow);
  ws.AdvanceMs(2999);
  EXPECT_FALSE(mainWindow.Visible());
  ws.AdvanceMs(1);
  EXPECT_TRUE(mainWindow.Visible());
  EXPECT_TRUE(title.Form.Visible());
  ws.AdvanceMs(500);
  EXPECT_FALSE(title.Form.Visible());
  EXPECT_EQ(ws.ActiveTimerCount(), 0);
}

}  // namespace
}  // namespace kelvaris

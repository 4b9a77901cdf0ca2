#include "platform/headless_window_system.h"

#include <gtest/gtest.h>

#include "platform/controls.h"

namespace kelvaris {
namespace {

TEST(HeadlessTimers, FireInDueOrderOnlyWhenTimeAdvances) {
  HeadlessWindowSystem ws;
  auto a = ws.CreateTimer();
  auto b = ws.CreateTimer();
  std::vector<std::string> ticks;
  a->OnTimer = [&] { ticks.push_back("a@" + std::to_string(ws.NowMs())); };
  b->OnTimer = [&] {
    ticks.push_back("b@" + std::to_string(ws.NowMs()));
    if (ticks.size() < 4) b->Start();  // a handler may restart its timer
  };
  a->SetInterval(2000);
  b->SetInterval(500);
  a->Start();
  b->Start();
  ws.AdvanceMs(1999);
  EXPECT_EQ(ticks, (std::vector<std::string>{"b@500", "b@1000", "b@1500"}));
  a->Stop();
  a->Start();  // restarting moves the due time on
  ws.AdvanceMs(10000);
  EXPECT_EQ(ticks.back(), "a@3999");
  EXPECT_EQ(ws.ActiveTimerCount(), 0);
}

TEST(HeadlessMessages, QuestionsTakeScriptedAnswersThenTheDefault) {
  HeadlessWindowSystem ws;
  ws.QueueAnswer(MsgResult::Yes);
  EXPECT_EQ(ws.MessageBox("q1", "c", MsgButtons::YesNo, MsgIcon::Question), MsgResult::Yes);
  EXPECT_EQ(ws.MessageBox("q2", "c", MsgButtons::YesNo, MsgIcon::Question), MsgResult::No);
  EXPECT_EQ(ws.MessageBox("info", "c", MsgButtons::Ok, MsgIcon::None), MsgResult::Ok);
  ASSERT_EQ(ws.Messages().size(), 3u);
  EXPECT_EQ(ws.Messages()[1].answer, MsgResult::No);
}

TEST(Controls, ProgramChangesFireTheToolkitsEventsOnlyWhereItDoes) {
  int edits = 0, clicks = 0, combos = 0;
  EditBox box("Box");
  box.OnChange = [&] { ++edits; };
  box.SetText("1");
  box.SetText("1");
  EXPECT_EQ(edits, 1);
  EXPECT_FALSE(box.Modified());
  box.UserSetText("2");
  EXPECT_TRUE(box.Modified());
  EXPECT_EQ(box.PreviousText(), "1");
  box.SetText("3");
  EXPECT_FALSE(box.Modified()) << "the program's own text is not the user's";

  CheckBox check("Check");
  check.OnClick = [&] { ++clicks; };
  check.SetChecked(true);
  check.SetEnabled(false);
  check.UserClick();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(check.Checked());

  ComboBox combo("Combo");
  combo.OnChange = [&] { ++combos; };
  combo.SetItems({"a", "b"});
  combo.SetItemIndex(1);
  EXPECT_EQ(combos, 0);
  combo.UserSelect(0);
  EXPECT_EQ(combos, 1);
}

TEST(Controls, PageChangeCanBeRefused) {
  PageControl pages("Pages");
  pages.AddPage("A", "Data");
  pages.AddPage("B", "Zero");
  bool allow = false;
  int changes = 0;
  pages.OnChanging = [&](bool& ok) { ok = allow; };
  pages.OnChange = [&] { ++changes; };
  EXPECT_FALSE(pages.UserSelect(1));
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  allow = true;
  EXPECT_TRUE(pages.UserSelect(1));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(pages.IndexOfCaption("ZERO"), 1);
}

TEST(Controls, UpDownClampsAndShowsItsPositionInItsBox) {
  EditBox box("RowsBox");
  UpDown rows("RowsUpDown");
  rows.SetAssociate(&box);
  rows.SetRange(1, 10000);
  int clicks = 0;
  rows.OnClick = [&] { ++clicks; };
  rows.UserSetPosition(0);
  EXPECT_EQ(rows.Position(), 1);
  EXPECT_EQ(box.Text(), "1");
  rows.UserSetPosition(12);
  EXPECT_EQ(box.Text(), "12");
  EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace kelvaris

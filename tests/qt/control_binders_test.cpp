// Binders between control models and Qt widgets: the model's changes show
// in the widget, the user's actions reach the model, and neither comes back
// as the other.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "qt/control_binders.h"
#include "qt_test_support.h"

namespace kelvaris::qt {
namespace {

// A shown top-level window for the widgets under test, so that visibility,
// focus and mouse clicks behave as on screen.
struct Window {
  Window() {
    widget = std::make_unique<QWidget>();
    new QVBoxLayout(widget.get());
    widget->resize(400, 300);
  }
  template <typename W>
  W* Add(W* child) {
    widget->layout()->addWidget(child);
    return child;
  }
  void Show() {
    widget->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
  }
  std::unique_ptr<QWidget> widget;
};

TEST(EditBoxBinder, FollowsTheModelAndReportsTyping) {
  EditBox box("StartZeroBox");
  int changes = 0;
  std::string keys;
  box.OnChange = [&] { ++changes; };
  box.OnKeyPress = [&](char key) {
    keys.push_back(key);
    EXPECT_EQ(box.Text().size(), keys.size() - 1) << "a key is reported before the text changes";
  };
  Window window;
  auto* edit = window.Add(new QLineEdit);
  Bind(box, edit);
  window.Show();

  box.SetText("12.5");
  EXPECT_EQ(edit->text(), QStringLiteral("12.5"));
  EXPECT_EQ(changes, 1) << "the program's change is not echoed back";
  EXPECT_FALSE(box.Modified());

  edit->setFocus();
  edit->clear();
  box.SetText("");
  changes = 0;
  QTest::keyClicks(edit, "30");
  EXPECT_EQ(keys, "30");
  EXPECT_EQ(box.Text(), "30");
  EXPECT_TRUE(box.Modified());
  EXPECT_EQ(changes, 2) << "one change per typed character";

  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(keys, "30\b");
  EXPECT_EQ(box.Text(), "3");
}

TEST(EditBoxBinder, HandlerRewritingTheTextShowsWithoutLooping) {
  EditBox box("Rows");
  int changes = 0;
  box.OnChange = [&] {
    ++changes;
    if (box.Text() == "0") box.SetText("1");  // values below 1 become 1
  };
  Window window;
  auto* edit = window.Add(new QLineEdit);
  Bind(box, edit);
  window.Show();
  edit->setFocus();
  QTest::keyClick(edit, '0');
  EXPECT_EQ(box.Text(), "1");
  EXPECT_EQ(edit->text(), QStringLiteral("1"));
  EXPECT_EQ(changes, 2);
}

TEST(CheckBoxBinder, ClickTogglesTheModelOnce) {
  CheckBox check("CropCheck");
  int clicks = 0;
  check.OnClick = [&] { ++clicks; };
  Window window;
  auto* box = window.Add(new QCheckBox);
  Bind(check, box);
  window.Show();

  check.SetCaption("Crop");
  check.SetChecked(true);
  EXPECT_EQ(box->text(), QStringLiteral("Crop"));
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(clicks, 1);

  const QPoint indicator(6, box->height() / 2);
  QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
  EXPECT_FALSE(check.Checked());
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(clicks, 2) << "one click, one event";

  // A handler that puts the box back: the widget shows the model's word.
  check.OnClick = [&] {
    ++clicks;
    if (check.Checked()) check.SetChecked(false);
  };
  QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
  EXPECT_FALSE(check.Checked());
  EXPECT_FALSE(box->isChecked());
}

TEST(RadioGroupBinder, ButtonsFollowItemsAndSelection) {
  RadioGroup group("ModelGroup");
  int clicks = 0;
  group.OnClick = [&] { ++clicks; };
  Window window;
  auto* box = window.Add(new QGroupBox);
  Bind(group, box);
  window.Show();

  group.SetCaption("Model");
  group.SetItems({"1:1", "Two state", "Bulk RI"});
  group.SetItemIndex(1);
  EXPECT_EQ(box->title(), QStringLiteral("Model"));
  QList<QRadioButton*> buttons = box->findChildren<QRadioButton*>();
  ASSERT_EQ(buttons.size(), 3);
  EXPECT_EQ(buttons[2]->text(), QStringLiteral("Bulk RI"));
  EXPECT_TRUE(buttons[1]->isChecked());
  EXPECT_EQ(clicks, 1);

  QTest::mouseClick(buttons[2], Qt::LeftButton);
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_EQ(clicks, 2);

  group.SetItemIndex(-1);
  for (QRadioButton* button : buttons) EXPECT_FALSE(button->isChecked());

  group.SetItems({"A", "B"});
  QTest::qWait(0);
  int shown = 0;
  for (QRadioButton* button : box->findChildren<QRadioButton*>()) shown += button->isVisibleTo(box);
  EXPECT_EQ(shown, 2) << "the buttons are rebuilt with the items";
}

TEST(ComboBoxBinder, ItemsSelectionAndTheUsersChoice) {
  ListBox list("FcListBox");
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  Window window;
  auto* combo = window.Add(new QComboBox);
  Bind(list, combo);
  window.Show();

  list.SetItems({"All fc", "Fc 1", "Fc 2"});
  list.SetItemIndex(0);
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(1), QStringLiteral("Fc 1"));
  EXPECT_EQ(combo->currentIndex(), 0);
  EXPECT_EQ(changes, 0) << "only the user's choice is a change";

  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);

  list.AddItem("Fc 3");
  EXPECT_EQ(combo->count(), 4);
  EXPECT_EQ(combo->currentIndex(), 1) << "rebuilding keeps the selection";
  list.Clear();
  EXPECT_EQ(combo->count(), 0);
  EXPECT_EQ(changes, 1);
}

TEST(UpDownBinder, RangePositionAndArrows) {
  UpDown updown("CurveUpDown");
  EditBox associate("CurveBox");
  updown.SetAssociate(&associate);
  int clicks = 0;
  updown.OnClick = [&] { ++clicks; };
  Window window;
  auto* spin = window.Add(new QSpinBox);
  Bind(updown, spin);
  window.Show();

  updown.SetRange(1, 10);
  updown.SetPosition(4);
  EXPECT_EQ(spin->minimum(), 1);
  EXPECT_EQ(spin->maximum(), 10);
  EXPECT_EQ(spin->value(), 4);
  EXPECT_EQ(clicks, 0);

  spin->stepUp();
  EXPECT_EQ(updown.Position(), 5);
  EXPECT_EQ(associate.Text(), "5");
  EXPECT_EQ(clicks, 1);

  updown.SetRange(1, 3);
  EXPECT_EQ(spin->maximum(), 3);
  updown.SetPosition(3);
  EXPECT_EQ(spin->value(), 3);
  EXPECT_EQ(clicks, 1);
}

TEST(ActionBinder, FollowsStateAndClicksOnTrigger) {
  Action action("DespikeAction", true);
  int clicks = 0;
  action.OnClick = [&] { ++clicks; };
  QAction qaction(nullptr);
  Bind(action, &qaction);
  EXPECT_TRUE(qaction.isCheckable());

  action.SetCaption("Despike");
  action.SetHint("Remove spikes");
  action.SetChecked(true);
  EXPECT_EQ(qaction.text(), QStringLiteral("Despike"));
  EXPECT_EQ(qaction.toolTip(), QStringLiteral("Remove spikes"));
  EXPECT_TRUE(qaction.isChecked());
  EXPECT_EQ(clicks, 0);

  qaction.trigger();
  EXPECT_FALSE(action.Checked()) << "toggled once, not twice";
  EXPECT_FALSE(qaction.isChecked());
  EXPECT_EQ(clicks, 1);

  action.SetEnabled(false);
  EXPECT_FALSE(qaction.isEnabled());
  action.SetVisible(false);
  EXPECT_FALSE(qaction.isVisible());
}

TEST(ActionBinder, ToolButtonPressClicksTheModel) {
  Action load("LoadButton");
  int clicks = 0;
  load.OnClick = [&] { ++clicks; };
  load.SetCaption("Load");
  load.SetHint("Load data");
  Window window;
  auto* button = window.Add(new QToolButton);
  Bind(load, button);
  window.Show();
  ASSERT_NE(button->defaultAction(), nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("Load"));
  EXPECT_EQ(button->toolTip(), QStringLiteral("Load data"));

  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  load.SetEnabled(false);
  EXPECT_FALSE(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

struct Pages {
  PageControl control{"PageControl"};
  int asked = 0;
  int changed = 0;
  bool allow = true;
  Pages() {
    control.AddPage("SchemePage", "Data");
    control.AddPage("ZeroPage", "Zero");
    control.AddPage("CropPage", "Crop");
    control.OnChanging = [this](bool& ok) {
      ++asked;
      ok = allow;
    };
    control.OnChange = [this] { ++changed; };
  }
};

TEST(PageControlBinder, TabsFollowPagesCaptionsAndActivePage) {
  Pages pages;
  Window window;
  auto* tabs = window.Add(new QTabWidget);
  tabs->addTab(new QWidget, QStringLiteral("designed"));
  Bind(pages.control, tabs);
  window.Show();

  ASSERT_EQ(tabs->count(), 3) << "missing tabs get pages";
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("Data"));
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("Crop"));
  pages.control.SetPageCaption(1, "ZERO");
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("ZERO"));
  pages.control.SetActivePageIndex(2);
  EXPECT_EQ(tabs->currentIndex(), 2);
  EXPECT_EQ(pages.asked + pages.changed, 0) << "the program's change asks nobody";
}

TEST(PageControlBinder, UserChangeAsksFirstAndARefusalKeepsTheTab) {
  struct Way {
    const char* name;
    std::function<void(QTabWidget*, int)> select;
  };
  const Way ways[] = {
      {"mouse", [](QTabWidget* tabs, int i) {
         QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(i).center());
       }},
      {"keys or code", [](QTabWidget* tabs, int i) { tabs->setCurrentIndex(i); }},
  };
  for (const Way& way : ways) {
    Pages pages;
    Window window;
    auto* tabs = window.Add(new QTabWidget);
    Bind(pages.control, tabs);
    window.Show();
    int tabSignals = 0;
    QObject::connect(tabs, &QTabWidget::currentChanged, [&] { ++tabSignals; });

    way.select(tabs, 1);
    EXPECT_EQ(pages.control.ActivePageIndex(), 1) << way.name;
    EXPECT_EQ(tabs->currentIndex(), 1) << way.name;
    EXPECT_EQ(pages.asked, 1) << way.name;
    EXPECT_EQ(pages.changed, 1) << way.name;

    pages.allow = false;
    tabSignals = 0;
    way.select(tabs, 2);
    EXPECT_EQ(pages.control.ActivePageIndex(), 1) << way.name;
    EXPECT_EQ(tabs->currentIndex(), 1) << way.name << ": the tab is back";
    EXPECT_EQ(pages.asked, 2) << way.name << ": asked once, no recursion";
    EXPECT_EQ(pages.changed, 1) << way.name;
    EXPECT_LE(tabSignals, 2) << way.name;
  }
}

TEST(PageControlBinder, BareTabBarFollowsThePageCount) {
  Pages pages;
  Window window;
  auto* bar = window.Add(new QTabBar);
  for (int i = 0; i < 5; ++i) bar->addTab(QStringLiteral("old"));
  Bind(pages.control, bar);
  window.Show();
  ASSERT_EQ(bar->count(), 3);
  EXPECT_EQ(bar->tabText(1), QStringLiteral("Zero"));
  pages.control.AddPage("AlignPage", "Align");
  EXPECT_EQ(bar->count(), 4);

  pages.allow = false;
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
  EXPECT_EQ(bar->currentIndex(), 0);
  EXPECT_EQ(pages.asked, 1);
}

// Enabled, visible and hint for every kind of widget binder.
TEST(ControlBinders, EveryBinderFollowsEnabledVisibleAndHint) {
  struct Kind {
    const char* name;
    std::function<std::pair<Control*, QWidget*>(Window&)> make;
  };
  std::vector<std::unique_ptr<Control>> models;
  auto own = [&](Control* c) {
    models.emplace_back(c);
    return c;
  };
  const Kind kinds[] = {
      {"edit", [&](Window& w) {
         auto* m = static_cast<EditBox*>(own(new EditBox("e")));
         auto* q = w.Add(new QLineEdit);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"check", [&](Window& w) {
         auto* m = static_cast<CheckBox*>(own(new CheckBox("c")));
         auto* q = w.Add(new QCheckBox);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"radio", [&](Window& w) {
         auto* m = static_cast<RadioGroup*>(own(new RadioGroup("r")));
         auto* q = w.Add(new QGroupBox);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"combo", [&](Window& w) {
         auto* m = static_cast<ComboBox*>(own(new ComboBox("cb")));
         auto* q = w.Add(new QComboBox);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"updown", [&](Window& w) {
         auto* m = static_cast<UpDown*>(own(new UpDown("u")));
         auto* q = w.Add(new QSpinBox);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"pages", [&](Window& w) {
         auto* m = static_cast<PageControl*>(own(new PageControl("p")));
         auto* q = w.Add(new QTabWidget);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"label", [&](Window& w) {
         auto* m = static_cast<Label*>(own(new Label("l")));
         auto* q = w.Add(new QLabel);
         Bind(*m, q);
         m->SetCaption("Flowcells");
         EXPECT_EQ(q->text(), QStringLiteral("Flowcells"));
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"panel", [&](Window& w) {
         auto* m = static_cast<Panel*>(own(new Panel("pn")));
         auto* q = w.Add(new QWidget);
         Bind(*m, q);
         return std::pair<Control*, QWidget*>(m, q);
       }},
      {"progress", [&](Window& w) {
         auto* m = static_cast<ProgressBar*>(own(new ProgressBar("pb")));
         auto* q = w.Add(new QProgressBar);
         Bind(*m, q);
         m->SetMax(50);
         m->SetPosition(20);
         EXPECT_EQ(q->maximum(), 50);
         EXPECT_EQ(q->value(), 20);
         return std::pair<Control*, QWidget*>(m, q);
       }},
  };
  for (const Kind& kind : kinds) {
    Window window;
    auto [model, widget] = kind.make(window);
    window.Show();
    EXPECT_TRUE(widget->isVisible()) << kind.name << ": shown with its window";
    model->SetEnabled(false);
    EXPECT_FALSE(widget->isEnabled()) << kind.name;
    model->SetHint("a hint");
    EXPECT_EQ(widget->toolTip(), QStringLiteral("a hint")) << kind.name;
    model->SetVisible(false);
    EXPECT_FALSE(widget->isVisible()) << kind.name;
    model->SetEnabled(true);
    model->SetVisible(true);
    EXPECT_TRUE(widget->isEnabled()) << kind.name;
    EXPECT_TRUE(widget->isVisible()) << kind.name;
  }
}

TEST(ControlBinders, ModelVisibilityNeverOpensAWindow) {
  Panel panel("FloatingPanel");
  auto loose = std::make_unique<QWidget>();
  Bind(panel, loose.get());
  panel.SetVisible(false);
  panel.SetVisible(true);
  EXPECT_FALSE(loose->isVisible());
}

TEST(ControlBinders, DestroyedWidgetStopsFollowingAndReleaseLetsTheModelGo) {
  EditBox box("Box");
  auto edit = std::make_unique<QLineEdit>();
  QPointer<ControlBinder> binder = Bind(box, edit.get());
  ASSERT_TRUE(binder);
  edit.reset();
  EXPECT_FALSE(binder) << "the binder ends with its widget";
  box.SetText("after");  // must not reach the deleted widget
  box.SetEnabled(false);

  auto window = std::make_unique<QWidget>();
  auto* label = new QLabel(window.get());
  auto* check = new QCheckBox(window.get());
  {
    auto caption = std::make_unique<Label>("Caption");
    auto flag = std::make_unique<CheckBox>("Flag");
    Bind(*caption, label);
    Bind(*flag, check);
    caption->SetCaption("shown");
    ReleaseBindings(window.get());
    caption->SetCaption("not shown");
    EXPECT_EQ(label->text(), QStringLiteral("shown"));
  }  // the models go first; the widgets must not touch them when they go
  window.reset();
}

TEST(MenuBinder, BuildsItemsOnOpeningAndChoosesThem) {
  Menu menu("FileListMenu");
  std::vector<int> chosen;
  int popups = 0;
  menu.OnPopup = [&] {
    ++popups;
    menu.Clear();
    menu.Add({"/data/run1.blr", 1, true, false, ""});
    menu.Add({"-", 0, true, false, ""});
    menu.Add({"/data/run2.blr", 2, false, false, ""});
  };
  menu.OnClick = [&](int index) {
    chosen.push_back(index);
    menu.Clear();  // the chosen item goes while it is being chosen
  };
  QMenu qmenu;
  Bind(menu, &qmenu);
  EXPECT_TRUE(qmenu.actions().isEmpty());

  QMetaObject::invokeMethod(&qmenu, "aboutToShow");
  EXPECT_EQ(popups, 1);
  const QList<QAction*> actions = qmenu.actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("/data/run1.blr"));
  EXPECT_TRUE(actions[1]->isSeparator());
  EXPECT_FALSE(actions[2]->isEnabled());

  actions[0]->trigger();
  EXPECT_EQ(chosen, std::vector<int>{0});
  EXPECT_TRUE(qmenu.actions().isEmpty());
  QTest::qWait(0);
}

}  // namespace
}  // namespace kelvaris::qt

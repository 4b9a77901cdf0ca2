#include "qt/control_binders.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt/qt_text.h"

namespace kelvaris::qt {

// --- ControlBinder ---

ControlBinder::ControlBinder(Control& model, QObject* target) : QObject(target), model_(&model) {}

ControlBinder::~ControlBinder() { Release(); }

void ControlBinder::Release() {
  if (model_) model_->Unobserve(observer_);
  model_ = nullptr;
}

void ControlBinder::Start() {
  observer_ = model_->Observe([this](Control&) { Refresh(); });
  Refresh();
}

void ControlBinder::Refresh() {
  if (!model_) return;
  const bool outer = applying_;
  applying_ = true;
  Apply();
  applying_ = outer;
}

template <typename Action>
void ControlBinder::FromUser(Action action) {
  if (!model_ || applying_) return;
  // The model's handlers may delete the widget, and this binder with it.
  QPointer<ControlBinder> self(this);
  action();
  if (self) Refresh();
}

void ReleaseBindings(QObject* root) {
  if (!root) return;
  if (auto* binder = qobject_cast<ControlBinder*>(root)) binder->Release();
  for (ControlBinder* binder : root->findChildren<ControlBinder*>()) binder->Release();
}

namespace {

QStringList ToQStrings(const std::vector<std::string>& texts) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(texts.size()));
  for (const std::string& text : texts) list << ToQString(text);
  return list;
}

// Enabled, visible and hint, common to every widget. A widget is only shown
// again when it was hidden before; a window is never opened by its model.
void ApplyCommon(const Control& model, QWidget* widget) {
  widget->setEnabled(model.Enabled());  // does nothing when unchanged
  if (!model.Visible()) {
    if (!widget->isHidden() || !widget->testAttribute(Qt::WA_WState_ExplicitShowHide)) widget->hide();
  } else if (widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide) && !widget->isWindow()) {
    widget->show();
  }
  const QString hint = ToQString(model.Hint());
  if (widget->toolTip() != hint) widget->setToolTip(hint);
}

void SetTextIfChanged(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

// The characters a key press types, as the program's key handlers see
// them: printable characters, and Backspace, Enter and Escape as 8, 13, 27.
std::string TypedChars(const QKeyEvent& event) {
  std::string chars;
  for (QChar ch : event.text()) {
    if (ch == u'\t' || ch.unicode() > 0xff) continue;
    chars.push_back(static_cast<char>(ch.unicode()));
  }
  if (chars.empty() && event.text().isEmpty()) {
    switch (event.key()) {
      case Qt::Key_Backspace: chars = "\b"; break;
      case Qt::Key_Return:
      case Qt::Key_Enter: chars = "\r"; break;
      case Qt::Key_Escape: chars = "\x1b"; break;
      default: break;
    }
  }
  return chars;
}

// --- one binder per control kind ---

class EditBinder : public ControlBinder {
 public:
  EditBinder(EditBox& model, QLineEdit* edit) : ControlBinder(model, edit), model_(model), edit_(edit) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this,
            [this](const QString& text) { FromUser([&] { model_.UserSetText(FromQString(text)); }); });
    Start();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == edit_ && event->type() == QEvent::KeyPress && !applying() && Model()) {
      const std::string chars = TypedChars(*static_cast<QKeyEvent*>(event));
      for (char ch : chars) FromUser([&] { model_.UserKey(ch); });
    }
    return false;
  }

  void Apply() override {
    const QString text = ToQString(model_.Text());
    if (edit_->text() != text) edit_->setText(text);
    ApplyCommon(model_, edit_);
  }

 private:
  EditBox& model_;
  QLineEdit* edit_;
};

class MemoBinder : public ControlBinder {
 public:
  MemoBinder(EditBox& model, QPlainTextEdit* memo) : ControlBinder(model, memo), model_(model), memo_(memo) {
    connect(memo, &QPlainTextEdit::textChanged, this,
            [this] { FromUser([&] { model_.UserSetText(FromQString(memo_->toPlainText())); }); });
    Start();
  }

 protected:
  void Apply() override {
    const QString text = ToQString(model_.Text());
    if (memo_->toPlainText() != text) memo_->setPlainText(text);
    ApplyCommon(model_, memo_);
  }

 private:
  EditBox& model_;
  QPlainTextEdit* memo_;
};

class CheckBinder : public ControlBinder {
 public:
  CheckBinder(CheckBox& model, QCheckBox* box) : ControlBinder(model, box), model_(model), box_(box) {
    connect(box, &QCheckBox::clicked, this, [this] { FromUser([&] { model_.UserClick(); }); });
    Start();
  }

 protected:
  void Apply() override {
    const QString caption = ToQString(model_.Caption());
    if (box_->text() != caption) box_->setText(caption);
    if (box_->isChecked() != model_.Checked()) box_->setChecked(model_.Checked());
    ApplyCommon(model_, box_);
  }

 private:
  CheckBox& model_;
  QCheckBox* box_;
};

class RadioBinder : public ControlBinder {
 public:
  RadioBinder(RadioGroup& model, QGroupBox* group)
      : ControlBinder(model, group), model_(model), group_(group), buttons_(new QButtonGroup(this)) {
    if (!group->layout()) new QVBoxLayout(group);
    connect(buttons_, &QButtonGroup::idClicked, this, [this](int id) { FromUser([&] { model_.UserSelect(id); }); });
    Start();
  }

 protected:
  void Apply() override {
    const QString caption = ToQString(model_.Caption());
    if (group_->title() != caption) group_->setTitle(caption);
    const QStringList items = ToQStrings(model_.Items());
    if (items != shown_) Rebuild(items);
    QAbstractButton* wanted = buttons_->button(model_.ItemIndex());
    if (wanted) {
      if (!wanted->isChecked()) wanted->setChecked(true);
    } else if (buttons_->checkedButton()) {
      // No item: an exclusive group cannot uncheck its last button.
      buttons_->setExclusive(false);
      buttons_->checkedButton()->setChecked(false);
      buttons_->setExclusive(true);
    }
    ApplyCommon(model_, group_);
  }

 private:
  void Rebuild(const QStringList& items) {
    for (QAbstractButton* button : buttons_->buttons()) {
      buttons_->removeButton(button);
      button->deleteLater();
      button->hide();
    }
    for (int i = 0; i < items.size(); ++i) {
      auto* button = new QRadioButton(items[i], group_);
      buttons_->addButton(button, i);
      group_->layout()->addWidget(button);
    }
    shown_ = items;
  }

  RadioGroup& model_;
  QGroupBox* group_;
  QButtonGroup* buttons_;
  QStringList shown_;
};

class ComboBinder : public ControlBinder {
 public:
  ComboBinder(ComboBox& model, QComboBox* combo) : ControlBinder(model, combo), model_(model), combo_(combo) {
    connect(combo, &QComboBox::activated, this, [this](int index) { FromUser([&] { model_.UserSelect(index); }); });
    Start();
  }

 protected:
  void Apply() override {
    const QStringList items = ToQStrings(model_.Items());
    QStringList present;
    for (int i = 0; i < combo_->count(); ++i) present << combo_->itemText(i);
    if (present != items) {
      combo_->clear();
      combo_->addItems(items);
    }
    if (combo_->currentIndex() != model_.ItemIndex()) combo_->setCurrentIndex(model_.ItemIndex());
    ApplyCommon(model_, combo_);
  }

 private:
  ComboBox& model_;
  QComboBox* combo_;
};

class UpDownBinder : public ControlBinder {
 public:
  UpDownBinder(UpDown& model, QSpinBox* spin) : ControlBinder(model, spin), model_(model), spin_(spin) {
    connect(spin, &QSpinBox::valueChanged, this, [this](int value) {
      if (!applying()) FromUser([&] { model_.UserSetPosition(value); });
    });
    Start();
  }

 protected:
  void Apply() override {
    if (spin_->minimum() != model_.Min() || spin_->maximum() != model_.Max())
      spin_->setRange(model_.Min(), model_.Max());
    if (spin_->value() != model_.Position()) spin_->setValue(model_.Position());
    ApplyCommon(model_, spin_);
  }

 private:
  UpDown& model_;
  QSpinBox* spin_;
};

class ActionBinder : public ControlBinder {
 public:
  ActionBinder(Action& model, QAction* action) : ControlBinder(model, action), model_(model), action_(action) {
    connect(action, &QAction::triggered, this, [this] { FromUser([&] { model_.Click(); }); });
    Start();
  }

 protected:
  // No signal blocking here: buttons and menus showing the action follow
  // its changed() signal.
  void Apply() override {
    const QString caption = ToQString(model_.Caption());
    if (action_->text() != caption) action_->setText(caption);
    const QString hint = ToQString(model_.Hint());
    if (action_->toolTip() != hint && !hint.isEmpty()) action_->setToolTip(hint);
    if (action_->statusTip() != hint) action_->setStatusTip(hint);
    if (action_->isCheckable() != model_.Checkable()) action_->setCheckable(model_.Checkable());
    if (action_->isChecked() != model_.Checked()) action_->setChecked(model_.Checked());
    if (action_->isEnabled() != model_.Enabled()) action_->setEnabled(model_.Enabled());
    if (action_->isVisible() != model_.Visible()) action_->setVisible(model_.Visible());
  }

 private:
  Action& model_;
  QAction* action_;
};

class ButtonBinder : public ControlBinder {
 public:
  ButtonBinder(Action& model, QPushButton* button) : ControlBinder(model, button), model_(model), button_(button) {
    connect(button, &QPushButton::clicked, this, [this] { FromUser([&] { model_.Click(); }); });
    Start();
  }

 protected:
  void Apply() override {
    const QString caption = ToQString(model_.Caption());
    if (button_->text() != caption) button_->setText(caption);
    ApplyCommon(model_, button_);
  }

 private:
  Action& model_;
  QPushButton* button_;
};

// Shared by the tab widget and the bare tab bar.
class PageBinderBase : public ControlBinder {
 public:
  PageBinderBase(PageControl& model, QObject* target, QTabBar* bar)
      : ControlBinder(model, target), model_(model), bar_(bar) {
    bar->installEventFilter(this);
  }

 protected:
  // A click on another tab asks the model before the tab changes.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != bar_ || event->type() != QEvent::MouseButtonPress || !Model()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    const int index = bar_->tabAt(mouse->position().toPoint());
    if (index < 0 || index == bar_->currentIndex()) return false;
    FromUser([&] { model_.UserSelect(index); });
    return true;
  }

  // Any other change of tab (keys, wheel): the tab has moved already, so a
  // refusal moves it back.
  void TabChanged(int index) {
    if (applying() || index < 0 || index == model_.ActivePageIndex()) return;
    FromUser([&] { model_.UserSelect(index); });
  }

  void ApplyTabs() {
    for (int i = 0; i < model_.PageCount() && i < bar_->count(); ++i) {
      const PageControl::Page& page = model_.PageAt(i);
      const QString caption = ToQString(page.caption);
      if (bar_->tabText(i) != caption) bar_->setTabText(i, caption);
      if (bar_->isTabVisible(i) != page.visible) bar_->setTabVisible(i, page.visible);
    }
  }

  PageControl& model_;
  QTabBar* bar_;
};

class TabWidgetBinder : public PageBinderBase {
 public:
  TabWidgetBinder(PageControl& model, QTabWidget* tabs)
      : PageBinderBase(model, tabs, tabs->tabBar()), tabs_(tabs) {
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) { TabChanged(index); });
    Start();
  }

 protected:
  void Apply() override {
    while (tabs_->count() < model_.PageCount())
      tabs_->addTab(new QWidget, ToQString(model_.PageAt(tabs_->count()).caption));
    ApplyTabs();
    const int active = model_.ActivePageIndex();
    if (active >= 0 && active < tabs_->count() && tabs_->currentIndex() != active) tabs_->setCurrentIndex(active);
    ApplyCommon(model_, tabs_);
  }

 private:
  QTabWidget* tabs_;
};

class TabBarBinder : public PageBinderBase {
 public:
  TabBarBinder(PageControl& model, QTabBar* bar) : PageBinderBase(model, bar, bar) {
    connect(bar, &QTabBar::currentChanged, this, [this](int index) { TabChanged(index); });
    Start();
  }

 protected:
  void Apply() override {
    while (bar_->count() > model_.PageCount()) bar_->removeTab(bar_->count() - 1);
    while (bar_->count() < model_.PageCount()) bar_->addTab(ToQString(model_.PageAt(bar_->count()).caption));
    ApplyTabs();
    const int active = model_.ActivePageIndex();
    if (active >= 0 && active < bar_->count() && bar_->currentIndex() != active) bar_->setCurrentIndex(active);
    ApplyCommon(model_, bar_);
  }
};

class LabelBinder : public ControlBinder {
 public:
  LabelBinder(Label& model, QLabel* label) : ControlBinder(model, label), model_(model), label_(label) { Start(); }

 protected:
  void Apply() override {
    SetTextIfChanged(label_, ToQString(model_.Caption()));
    ApplyCommon(model_, label_);
  }

 private:
  Label& model_;
  QLabel* label_;
};

class PanelBinder : public ControlBinder {
 public:
  PanelBinder(Panel& model, QWidget* panel) : ControlBinder(model, panel), model_(model), panel_(panel) { Start(); }

 protected:
  void Apply() override { ApplyCommon(model_, panel_); }

 private:
  Panel& model_;
  QWidget* panel_;
};

class MenuBinder : public ControlBinder {
 public:
  MenuBinder(Menu& model, QMenu* menu) : ControlBinder(model, menu), model_(model), menu_(menu) {
    connect(menu, &QMenu::aboutToShow, this, [this] { FromUser([&] { model_.Popup(); }); });
    Start();
  }

 protected:
  void Apply() override {
    const QString caption = ToQString(model_.Caption());
    if (menu_->title() != caption) menu_->setTitle(caption);
    if (menu_->isEnabled() != model_.Enabled()) menu_->setEnabled(model_.Enabled());
    // The old items go later: the item being chosen may be the one whose
    // handler rebuilds the menu.
    for (QAction* old : items_) {
      menu_->removeAction(old);
      old->deleteLater();
    }
    items_.clear();
    const auto& items = model_.Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
      const Menu::Item& item = items[i];
      QAction* action = item.caption == "-" ? menu_->addSeparator() : menu_->addAction(ToQString(item.caption));
      if (item.caption != "-") {
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(ToQString(item.shortcut)));
        connect(action, &QAction::triggered, this, [this, i] { FromUser([&] { model_.Choose(i); }); });
      }
      items_.push_back(action);
    }
  }

 private:
  Menu& model_;
  QMenu* menu_;
  std::vector<QAction*> items_;
};

class ProgressBinder : public ControlBinder {
 public:
  ProgressBinder(ProgressBar& model, QProgressBar* bar) : ControlBinder(model, bar), model_(model), bar_(bar) {
    Start();
  }

 protected:
  void Apply() override {
    if (bar_->minimum() != 0 || bar_->maximum() != model_.Max()) bar_->setRange(0, model_.Max());
    if (bar_->value() != model_.Position()) bar_->setValue(model_.Position());
    ApplyCommon(model_, bar_);
  }

 private:
  ProgressBar& model_;
  QProgressBar* bar_;
};

}  // namespace

ControlBinder* Bind(EditBox& model, QLineEdit* edit) { return new EditBinder(model, edit); }
ControlBinder* Bind(EditBox& model, QPlainTextEdit* memo) { return new MemoBinder(model, memo); }
ControlBinder* Bind(CheckBox& model, QCheckBox* box) { return new CheckBinder(model, box); }
ControlBinder* Bind(RadioGroup& model, QGroupBox* group) { return new RadioBinder(model, group); }
ControlBinder* Bind(ComboBox& model, QComboBox* combo) { return new ComboBinder(model, combo); }
ControlBinder* Bind(UpDown& model, QSpinBox* spin) { return new UpDownBinder(model, spin); }
ControlBinder* Bind(Action& model, QAction* action) { return new ActionBinder(model, action); }

ControlBinder* Bind(Action& model, QToolButton* button) {
  QAction* action = button->defaultAction();
  if (!action) {
    action = new QAction(button);
    button->setDefaultAction(action);
  }
  return Bind(model, action);
}

ControlBinder* Bind(Action& model, QPushButton* button) { return new ButtonBinder(model, button); }

ControlBinder* Bind(PageControl& model, QTabWidget* tabs) { return new TabWidgetBinder(model, tabs); }
ControlBinder* Bind(PageControl& model, QTabBar* bar) { return new TabBarBinder(model, bar); }
ControlBinder* Bind(Label& model, QLabel* label) { return new LabelBinder(model, label); }
ControlBinder* Bind(Panel& model, QWidget* panel) { return new PanelBinder(model, panel); }
ControlBinder* Bind(Menu& model, QMenu* menu) { return new MenuBinder(model, menu); }
ControlBinder* Bind(ProgressBar& model, QProgressBar* bar) { return new ProgressBinder(model, bar); }

}  // namespace kelvaris::qt

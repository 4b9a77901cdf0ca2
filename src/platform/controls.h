// Control models: every window control of the program is plain data here.
// A control notifies its observers whenever its value, caption, enabled
// state or visibility changes, so that a view can follow it. The change
// events (OnChange, OnClick) fire as the desktop toolkit the program was
// designed for fires them: also for changes the program makes itself, which
// is why handlers return at once while the experiment is Busy.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kelvaris {

enum class ControlKind {
  EditBox,
  CheckBox,
  RadioGroup,
  ComboBox,
  UpDown,
  ListBox,
  Action,
  PageControl,
  Label,
  Panel,
  Menu,
  ProgressBar,
  Grid,
  Graph,
};

class Control {
 public:
  using Observer = std::function<void(Control&)>;

  Control(std::string name, ControlKind kind) : name_(std::move(name)), kind_(kind) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);

  int Observe(Observer observer);
  void Unobserve(int id);

 protected:
  void Notify();

 private:
  std::string name_;
  ControlKind kind_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string caption_;
  std::string hint_;
  std::map<int, Observer> observers_;
  int nextObserver_ = 1;
};

// A one-line text box. SetText is the program's change and clears Modified;
// UserSetText is the user typing and sets it, so handlers tell the two apart.
class EditBox : public Control {
 public:
  explicit EditBox(std::string name) : Control(std::move(name), ControlKind::EditBox) {}
  const std::string& Text() const { return text_; }
  // The text before the latest change.
  const std::string& PreviousText() const { return previous_; }
  void SetText(const std::string& text);
  void UserSetText(const std::string& text);
  // One typed key, reported before the text changes.
  void UserKey(char key);
  bool Modified() const { return modified_; }
  void SetModified(bool on) { modified_ = on; }

  std::function<void()> OnChange;
  std::function<void(char key)> OnKeyPress;

 private:
  void Assign(const std::string& text);
  std::string text_;
  std::string previous_;
  bool modified_ = false;
};

// A check box, or a radio button standing alone. Setting Checked to a new
// value fires OnClick, whoever sets it.
class CheckBox : public Control {
 public:
  explicit CheckBox(std::string name) : Control(std::move(name), ControlKind::CheckBox) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  void UserClick();  // toggles, when enabled

  std::function<void()> OnClick;

 private:
  bool checked_ = false;
};

// Shared by the controls that hold a list of item texts.
class ItemList {
 public:
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  int IndexOf(const std::string& text) const;

 protected:
  std::vector<std::string> items_;
};

// A radio group: one of several items. Setting ItemIndex fires OnClick.
class RadioGroup : public Control, public ItemList {
 public:
  explicit RadioGroup(std::string name) : Control(std::move(name), ControlKind::RadioGroup) {}
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return index_; }
  std::string ItemText() const;
  void SetItemIndex(int index);
  void UserSelect(int index);

  std::function<void()> OnClick;

 private:
  int index_ = -1;
};

// A drop-down list. Only the user's choice fires OnChange.
class ComboBox : public Control, public ItemList {
 public:
  explicit ComboBox(std::string name, ControlKind kind = ControlKind::ComboBox)
      : Control(std::move(name), kind) {}
  void SetItems(std::vector<std::string> items);
  void AddItem(const std::string& text);
  void Clear();
  int ItemIndex() const { return index_; }
  std::string ItemText() const;
  void SetItemIndex(int index);
  void UserSelect(int index);

  std::function<void()> OnChange;

 private:
  int index_ = -1;
};

// A list box: a list of items with one selected; items may carry a check.
class ListBox : public ComboBox {
 public:
  explicit ListBox(std::string name) : ComboBox(std::move(name), ControlKind::ListBox) {}
};

// An up-down spinner, usually tied to an edit box that shows its position.
class UpDown : public Control {
 public:
  explicit UpDown(std::string name) : Control(std::move(name), ControlKind::UpDown) {}
  int Position() const { return position_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  // Clamps to the range and updates the associated box's text.
  void SetPosition(int position);
  // A click on an arrow (+1 or -1) or a typed position: clamps, updates the
  // box and fires OnClick when the position changed.
  void UserSetPosition(int position);
  void SetAssociate(EditBox* box) { associate_ = box; }
  EditBox* Associate() const { return associate_; }

  std::function<void()> OnClick;

 private:
  int position_ = 0;
  int min_ = 0;
  int max_ = 100;
  EditBox* associate_ = nullptr;
};

// A button, tool button or menu command. A check action keeps its state.
class Action : public Control {
 public:
  explicit Action(std::string name, bool checkable = false)
      : Control(std::move(name), ControlKind::Action), checkable_(checkable) {}
  bool Checkable() const { return checkable_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  // A press: toggles a check action, then fires OnClick; nothing when disabled.
  void Click();
  int ImageIndex() const { return image_; }
  void SetImageIndex(int index) { image_ = index; }

  std::function<void()> OnClick;

 private:
  bool checkable_;
  bool checked_ = false;
  int image_ = -1;
};

// A text shown on a form.
class Label : public Control {
 public:
  explicit Label(std::string name) : Control(std::move(name), ControlKind::Label) {}
};

// A panel: a caption, a colour and a size the layout rules set.
class Panel : public Control {
 public:
  explicit Panel(std::string name) : Control(std::move(name), ControlKind::Panel) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int w);
  void SetHeight(int h);

 private:
  int width_ = 0;
  int height_ = 0;
};

// A page control: tabs with captions, one active page. The user's change
// asks OnChanging first (which may refuse) and reports OnChange after it.
class PageControl : public Control {
 public:
  struct Page {
    std::string name;     // SchemePage, ZeroPage, ...
    std::string caption;  // what the tab shows
    bool visible = true;
  };

  explicit PageControl(std::string name) : Control(std::move(name), ControlKind::PageControl) {}
  int AddPage(const std::string& name, const std::string& caption);
  // Replaces every page by one per caption (named as captioned), keeping
  // the active index when it still exists, else the first page.
  void SetPages(const std::vector<std::string>& captions);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  const Page& PageAt(int index) const { return pages_.at(index); }
  int IndexOfPage(const std::string& name) const;
  int IndexOfCaption(const std::string& caption) const;  // ignores letter case
  void SetPageCaption(int index, const std::string& caption);
  int ActivePageIndex() const { return active_; }
  const std::string& ActivePageName() const;
  // The program's change: no events.
  void SetActivePageIndex(int index);
  // The user's change; returns false when OnChanging refused it.
  bool UserSelect(int index);

  std::function<void(bool& allowChange)> OnChanging;
  std::function<void()> OnChange;

 private:
  std::vector<Page> pages_;
  int active_ = -1;
};

// A pop-up or drop-down menu whose items are built when it opens.
class Menu : public Control {
 public:
  struct Item {
    std::string caption;  // "-" for a separator
    int tag = 0;          // what the owner needs to run the item
    bool enabled = true;
    bool checked = false;
    std::string shortcut;  // "Ctrl+R"
  };

  explicit Menu(std::string name) : Control(std::move(name), ControlKind::Menu) {}
  void Clear();
  void Add(Item item);
  const std::vector<Item>& Items() const { return items_; }
  // Opening the menu: OnPopup builds the items.
  void Popup();
  // The user's choice of item k.
  void Choose(int index);

  std::function<void()> OnPopup;
  std::function<void(int index)> OnClick;

 private:
  std::vector<Item> items_;
};

// A progress bar from Min to Max.
class ProgressBar : public Control {
 public:
  explicit ProgressBar(std::string name) : Control(std::move(name), ControlKind::ProgressBar) {}
  int Position() const { return position_; }
  int Max() const { return max_; }
  void SetMax(int max);
  void SetPosition(int position);

 private:
  int position_ = 0;
  int max_ = 100;
};

// The controls of a window by name, for the view's binders and the CLI.
class ControlRegistry {
 public:
  void Add(Control& control);
  Control* Find(const std::string& name) const;
  const std::vector<Control*>& All() const { return order_; }

 private:
  std::map<std::string, Control*> byName_;
  std::vector<Control*> order_;
};

}  // namespace kelvaris

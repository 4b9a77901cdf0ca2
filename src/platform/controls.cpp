#include "platform/controls.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace kelvaris {

void Control::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  Notify();
}

void Control::SetVisible(bool on) {
  if (visible_ == on) return;
  visible_ = on;
  Notify();
}

void Control::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Notify();
}

void Control::SetHint(const std::string& hint) {
  if (hint_ == hint) return;
  hint_ = hint;
  Notify();
}

int Control::Observe(Observer observer) {
  int id = nextObserver_++;
  observers_.emplace(id, std::move(observer));
  return id;
}

void Control::Unobserve(int id) { observers_.erase(id); }

void Control::Notify() {
  // An observer may remove itself while being told.
  auto copy = observers_;
  for (auto& [id, observer] : copy) observer(*this);
}

void EditBox::SetText(const std::string& text) {
  modified_ = false;
  Assign(text);
}

void EditBox::UserSetText(const std::string& text) {
  modified_ = true;
  Assign(text);
}

void EditBox::Assign(const std::string& text) {
  if (text_ == text) return;
  previous_ = text_;
  text_ = text;
  Notify();
  if (OnChange) OnChange();
}

void EditBox::UserKey(char key) {
  if (!Enabled()) return;
  if (OnKeyPress) OnKeyPress(key);
}

void CheckBox::SetChecked(bool on) {
  if (checked_ == on) return;
  checked_ = on;
  Notify();
  if (OnClick) OnClick();
}

void CheckBox::UserClick() {
  if (!Enabled()) return;
  SetChecked(!checked_);
}

int ItemList::IndexOf(const std::string& text) const {
  auto it = std::find(items_.begin(), items_.end(), text);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void RadioGroup::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (index_ >= Count()) index_ = -1;
  Notify();
}

std::string RadioGroup::ItemText() const {
  return index_ >= 0 && index_ < Count() ? items_[index_] : std::string();
}

void RadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (index_ == index) return;
  index_ = index;
  Notify();
  if (OnClick) OnClick();
}

void RadioGroup::UserSelect(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (index_ >= Count()) index_ = -1;
  Notify();
}

void ComboBox::AddItem(const std::string& text) {
  items_.push_back(text);
  Notify();
}

void ComboBox::Clear() {
  items_.clear();
  index_ = -1;
  Notify();
}

std::string ComboBox::ItemText() const {
  return index_ >= 0 && index_ < Count() ? items_[index_] : std::string();
}

void ComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (index_ == index) return;
  index_ = index;
  Notify();
}

void ComboBox::UserSelect(int index) {
  if (!Enabled()) return;
  if (index < -1 || index >= Count()) return;
  index_ = index;
  Notify();
  if (OnChange) OnChange();
}

void UpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  Notify();
}

void UpDown::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  bool changed = position != position_;
  position_ = position;
  if (associate_) associate_->SetText(std::to_string(position_));
  if (changed) Notify();
}

void UpDown::UserSetPosition(int position) {
  if (!Enabled()) return;
  int before = position_;
  SetPosition(position);
  if (position_ != before && OnClick) OnClick();
}

void Action::SetChecked(bool on) {
  if (checked_ == on) return;
  checked_ = on;
  Notify();
}

void Action::Click() {
  if (!Enabled()) return;
  if (checkable_) SetChecked(!checked_);
  if (OnClick) OnClick();
}

void Panel::SetWidth(int w) {
  if (width_ == w) return;
  width_ = w;
  Notify();
}

void Panel::SetHeight(int h) {
  if (height_ == h) return;
  height_ = h;
  Notify();
}

int PageControl::AddPage(const std::string& name, const std::string& caption) {
  pages_.push_back(Page{name, caption, true});
  if (active_ < 0) active_ = 0;
  Notify();
  return PageCount() - 1;
}

void PageControl::SetPages(const std::vector<std::string>& captions) {
  std::vector<Page> pages;
  for (const std::string& caption : captions) pages.push_back(Page{caption, caption, true});
  if (pages.size() == pages_.size() &&
      std::equal(pages.begin(), pages.end(), pages_.begin(),
                 [](const Page& a, const Page& b) { return a.name == b.name && a.caption == b.caption; }))
    return;
  pages_ = std::move(pages);
  if (active_ >= PageCount() || active_ < 0) active_ = PageCount() > 0 ? 0 : -1;
  Notify();
}

int PageControl::IndexOfPage(const std::string& name) const {
  for (int i = 0; i < PageCount(); ++i)
    if (pages_[i].name == name) return i;
  return -1;
}

int PageControl::IndexOfCaption(const std::string& caption) const {
  auto lower = [](std::string s) {
    for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  };
  const std::string wanted = lower(caption);
  for (int i = 0; i < PageCount(); ++i)
    if (lower(pages_[i].caption) == wanted) return i;
  return -1;
}

void PageControl::SetPageCaption(int index, const std::string& caption) {
  if (index < 0 || index >= PageCount() || pages_[index].caption == caption) return;
  pages_[index].caption = caption;
  Notify();
}

const std::string& PageControl::ActivePageName() const {
  static const std::string none;
  return active_ >= 0 && active_ < PageCount() ? pages_[active_].name : none;
}

void PageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == active_) return;
  active_ = index;
  Notify();
}

bool PageControl::UserSelect(int index) {
  if (!Enabled() || index < 0 || index >= PageCount()) return false;
  if (index == active_) return true;
  bool allow = true;
  if (OnChanging) OnChanging(allow);
  if (!allow) return false;
  active_ = index;
  Notify();
  if (OnChange) OnChange();
  return true;
}

void Menu::Clear() {
  items_.clear();
  Notify();
}

void Menu::Add(Item item) {
  items_.push_back(std::move(item));
  Notify();
}

void Menu::Popup() {
  if (OnPopup) OnPopup();
}

void Menu::Choose(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  if (!items_[index].enabled || items_[index].caption == "-") return;
  if (OnClick) OnClick(index);
}

void ProgressBar::SetMax(int max) {
  if (max_ == max) return;
  max_ = max;
  Notify();
}

void ProgressBar::SetPosition(int position) {
  position = std::clamp(position, 0, max_);
  if (position_ == position) return;
  position_ = position;
  Notify();
}

void ControlRegistry::Add(Control& control) {
  if (!byName_.emplace(control.Name(), &control).second)
    throw std::logic_error("control registered twice: " + control.Name());
  order_.push_back(&control);
}

Control* ControlRegistry::Find(const std::string& name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

}  // namespace kelvaris

// The main window's page tabs, drawn the program's way: a tab shows its
// caption in lower case with the first character kept ("REF" reads "Ref"),
// in bold when the caption's second character is an upper-case letter (a
// stage that is switched on), blue on the current tab and black, 2 pixels
// lower, on the others.
#pragma once

#include <QTabBar>
#include <QTabWidget>
#include <string>

namespace kelvaris::qt {

// The text a tab shows for `caption`; sets *bold when it is drawn in bold.
std::string PageTabText(const std::string& caption, bool* bold);

class PageTabBar : public QTabBar {
  Q_OBJECT

 public:
  explicit PageTabBar(QWidget* parent = nullptr);

  // Every tab gets this width (the window divides its width among the
  // pages); 0 lets each tab fit its text.
  void SetTabWidth(int width);
  int TabWidth() const { return tabWidth_; }

 protected:
  QSize tabSizeHint(int index) const override;
  QSize minimumTabSizeHint(int index) const override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int tabWidth_ = 0;
};

class PageTabWidget : public QTabWidget {
  Q_OBJECT

 public:
  explicit PageTabWidget(QWidget* parent = nullptr);
  PageTabBar* PageBar() const { return bar_; }

 private:
  PageTabBar* bar_;
};

}  // namespace kelvaris::qt

#include "qt/page_tab_widget.h"

#include <QStyleOptionTab>
#include <QStylePainter>
#include <cctype>

#include "qt/qt_text.h"

namespace kelvaris::qt {

std::string PageTabText(const std::string& caption, bool* bold) {
  if (bold) *bold = caption.size() >= 2 && std::isupper(static_cast<unsigned char>(caption[1]));
  std::string text = caption;
  for (std::size_t i = 1; i < text.size(); ++i)
    text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  return text;
}

namespace {

constexpr int kTextPadding = 16;  // pixels beside the text of a fitted tab
constexpr int kOtherTabDrop = 2;  // tabs other than the current one sit lower

struct TabLabel {
  QString text;
  QFont font;
};

TabLabel LabelOf(const QTabBar& bar, int index) {
  bool bold = false;
  TabLabel label{ToQString(PageTabText(FromQString(bar.tabText(index)), &bold)), bar.font()};
  label.font.setBold(bold);
  return label;
}

}  // namespace

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
  setExpanding(false);
  setElideMode(Qt::ElideNone);
  setDrawBase(true);
}

void PageTabBar::SetTabWidth(int width) {
  if (tabWidth_ == width) return;
  tabWidth_ = std::max(0, width);
  // Setting the icon size (even to itself) makes the bar lay its tabs out
  // again.
  setIconSize(iconSize());
  updateGeometry();
  update();
}

QSize PageTabBar::tabSizeHint(int index) const {
  QSize size = QTabBar::tabSizeHint(index);
  if (tabWidth_ > 0) {
    size.setWidth(tabWidth_);
  } else {
    const TabLabel label = LabelOf(*this, index);
    size.setWidth(std::max(size.width(), QFontMetrics(label.font).horizontalAdvance(label.text) + kTextPadding));
  }
  return size;
}

QSize PageTabBar::minimumTabSizeHint(int index) const { return tabSizeHint(index); }

void PageTabBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  auto drawTab = [&](int i) {
    QStyleOptionTab option;
    initStyleOption(&option, i);
    option.text.clear();
    painter.drawControl(QStyle::CE_TabBarTabShape, option);
    const TabLabel label = LabelOf(*this, i);
    const QFontMetrics metrics(label.font);
    const QRect r = tabRect(i);
    const bool current = i == currentIndex();
    const int left = r.left() + (r.width() - metrics.horizontalAdvance(label.text)) / 2;
    const int top = r.top() + (r.height() - metrics.height()) / 2 + (current ? 0 : kOtherTabDrop);
    painter.setFont(label.font);
    painter.setPen(current ? QColor(0, 0, 255) : QColor(0, 0, 0));
    painter.drawText(left, top + metrics.ascent(), label.text);
  };
  // The current tab overlaps its neighbours, so it comes last.
  for (int i = 0; i < count(); ++i)
    if (i != currentIndex() && isTabVisible(i)) drawTab(i);
  if (currentIndex() >= 0 && isTabVisible(currentIndex())) drawTab(currentIndex());
}

PageTabWidget::PageTabWidget(QWidget* parent) : QTabWidget(parent), bar_(new PageTabBar) {
  setTabBar(bar_);
}

}  // namespace kelvaris::qt

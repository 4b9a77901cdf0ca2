// The help viewer: one top-level window beside the program that shows the
// HTML help topics shipped in the program's help folder.
#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

namespace kelvaris::qt {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows `topic` (a relative path such as "contents/contents.htm", with an
  // optional "#anchor") from `folder`; a topic that is not there shows a
  // short note instead. Brings the window to the front.
  void ShowTopic(const QString& folder, const std::string& topic);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace kelvaris::qt

#include "qt/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "qt/qt_text.h"

namespace kelvaris::qt {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(QStringLiteral("Kelvaris Help"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  browser_->setOpenExternalLinks(true);
  resize(720, 560);
}

void HelpWindow::ShowTopic(const QString& folder, const std::string& topic) {
  QString relative = PathToQString(topic);
  QString anchor;
  if (const qsizetype hash = relative.indexOf(u'#'); hash >= 0) {
    anchor = relative.mid(hash + 1);
    relative.truncate(hash);
  }
  while (relative.startsWith(u'/')) relative.remove(0, 1);
  const QString path = QDir(folder).filePath(relative);
  if (!relative.isEmpty() && QFileInfo(path).isFile()) {
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!anchor.isEmpty()) url.setFragment(anchor);
    browser_->setSource(url);
  } else {
    browser_->setPlainText(QStringLiteral("Help topic not found: ") + PathToQString(topic));
  }
  show();
  raise();
  activateWindow();
}

}  // namespace kelvaris::qt

#include "qt/app_windows.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "qt/control_binders.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

VisibilityFollower::VisibilityFollower(Panel& model, QWidget* window) : model_(model), window_(window) {
  auto apply = [this] {
    window_->setWindowTitle(ToQString(model_.Caption()));
    if (model_.Visible() != window_->isVisible()) window_->setVisible(model_.Visible());
  };
  id_ = model.Observe([apply](Control&) { apply(); });
  apply();
}

VisibilityFollower::~VisibilityFollower() { model_.Unobserve(id_); }

SplashWindow::SplashWindow(TTitleForm& title)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      follow_(title.Form, this) {
  setObjectName("TitleForm");
  setFixedSize(title.Form.Width(), title.Form.Height());
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0, 0, 128));
  p.setPen(Qt::white);
  QFont big("Arial", 28, QFont::Bold);
  p.setFont(big);
  p.drawText(rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, "Kelvaris");
  p.setFont(QFont("Arial", 10));
  p.drawText(rect().adjusted(0, 60, 0, 0), Qt::AlignCenter, "Biosensor binding analysis");
}

ProgressWindow::ProgressWindow(TProgForm& progress, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), follow_(progress.Form, this) {
  setObjectName("ProgForm");
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(ToQString(progress.Form.Caption()), this);
  auto* bar = new QProgressBar(this);
  bar->setObjectName("ProgressBar");
  Bind(progress.Bar, bar);
  layout->addWidget(caption);
  layout->addWidget(bar);
  setFixedSize(260, 80);
}

EmptyDialog::EmptyDialog(TDialogWindow& model, QWidget* parent) : QDialog(parent), follow_(model.Form, this) {
  setObjectName(ToQString(model.Form.Name()));
}

}  // namespace kelvaris::qt

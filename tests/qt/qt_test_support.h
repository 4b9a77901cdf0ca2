// Helpers shared by the Qt tests.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/canvas.h"

namespace kelvaris::qt::test {

// The colour of one pixel, in the program's 0x00BBGGRR form.
inline Colour PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return Rgb(qRed(p), qGreen(p), qBlue(p));
}

// Waits (running events) until `done` holds or `ms` milliseconds pass.
inline bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

// Runs `act` on the first visible top-level widget of type T once it shows:
// used to answer modal dialogs, which block the test until closed.
template <typename T>
void WhenShown(std::function<void(T*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* wanted = qobject_cast<T*>(widget);
      if (wanted && wanted->isVisible()) {
        poll->stop();
        poll->deleteLater();
        act(wanted);
        return;
      }
    }
  });
  poll->start();
}

}  // namespace kelvaris::qt::test

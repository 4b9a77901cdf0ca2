#include "qt/plot_image.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSvgGenerator>

#include "graph/plot.h"
#include "qt/qpainter_canvas.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

namespace {

// Fonts and images need an application object; a tool run has none.
void EnsureApplication() {
  if (QCoreApplication::instance()) return;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kelvaris-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

void Draw(TPlot& plot, QPaintDevice& device, int width, int height) {
  QPainterCanvas canvas(device);
  plot.PlotPicture(canvas, width, height);
  canvas.Finish();
}

}  // namespace

bool WritePlotImage(TPlot& plot, const std::string& path, int width, int height, std::string& error) {
  EnsureApplication();
  const QString file = PathToQString(path);
  if (QFileInfo(file).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle(ToQString(plot.Name()));
    Draw(plot, svg, width, height);
    if (!QFileInfo::exists(file)) {
      error = "cannot write " + path;
      return false;
    }
    return true;
  }
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  Draw(plot, image, width, height);
  if (!image.save(file, "PNG")) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace kelvaris::qt

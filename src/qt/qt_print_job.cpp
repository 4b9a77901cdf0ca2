#include "qt/qt_print_job.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include "qt/qt_text.h"

namespace kelvaris::qt {

QtPrintJob::QtPrintJob(std::unique_ptr<QPagedPaintDevice> device) : device_(std::move(device)) {
  if (painter_.begin(device_.get())) canvas_ = std::make_unique<QPainterCanvas>(painter_);
}

QtPrintJob::~QtPrintJob() {
  canvas_.reset();
  if (painter_.isActive()) painter_.end();
}

int QtPrintJob::PageWidth() const { return device_->width(); }
int QtPrintJob::PageHeight() const { return device_->height(); }
int QtPrintJob::DotsPerInch() const { return device_->logicalDpiY(); }

void QtPrintJob::NewPage() {
  if (!ended_ && painter_.isActive()) device_->newPage();
}

bool QtPrintJob::End() {
  if (ended_) return false;
  ended_ = true;
  return painter_.isActive() && painter_.end();
}

std::unique_ptr<PrintJob> BeginPdfJob(const std::string& path, const std::string& title) {
  auto writer = std::make_unique<QPdfWriter>(PathToQString(path));
  writer->setResolution(300);
  writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  writer->setTitle(ToQString(title));
  writer->setCreator(QStringLiteral("Kelvaris"));
  auto job = std::make_unique<QtPrintJob>(std::move(writer));
  if (!job->Started()) return nullptr;
  return job;
}

std::unique_ptr<PrintJob> BeginPrinterJob(QWidget* parent, const std::string& title, bool showSetup) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(ToQString(title));
  if (showSetup) {
    QPrintDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() != QDialog::Accepted) return nullptr;
  }
  if (!printer->isValid()) return nullptr;
  auto job = std::make_unique<QtPrintJob>(std::move(printer));
  if (!job->Started()) return nullptr;
  return job;
}

}  // namespace kelvaris::qt

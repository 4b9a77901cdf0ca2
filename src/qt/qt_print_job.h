// Printer jobs: a printer chosen in the print dialog, or a PDF file.
#pragma once

#include <QPainter>
#include <memory>

#include "platform/window_system.h"
#include "qt/qpainter_canvas.h"

class QPagedPaintDevice;
class QWidget;

namespace kelvaris::qt {

// Pages are drawn with one painter on a paged device (a QPrinter or a
// QPdfWriter) that the job owns.
class QtPrintJob : public PrintJob {
 public:
  // Starts the document; Started() tells whether the device could be opened.
  explicit QtPrintJob(std::unique_ptr<QPagedPaintDevice> device);
  ~QtPrintJob() override;

  bool Started() const { return painter_.isActive(); }

  int PageWidth() const override;
  int PageHeight() const override;
  int DotsPerInch() const override;
  Canvas& Page() override { return *canvas_; }
  void NewPage() override;
  bool End() override;

 private:
  std::unique_ptr<QPagedPaintDevice> device_;
  QPainter painter_;
  std::unique_ptr<QPainterCanvas> canvas_;
  bool ended_ = false;
};

// A job printing into a PDF file: A4 portrait, 300 dots per inch, no
// margins. Null when the file cannot be written.
std::unique_ptr<PrintJob> BeginPdfJob(const std::string& path, const std::string& title);
// A job on a printer, after the print dialog when `showSetup` is set; null
// when the user cancels or no printer can be opened.
std::unique_ptr<PrintJob> BeginPrinterJob(QWidget* parent, const std::string& title, bool showSetup);

}  // namespace kelvaris::qt

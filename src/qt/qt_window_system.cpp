#include "qt/qt_window_system.h"

#include "platform/controls.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "qt/file_dialogs.h"
#include "qt/help_window.h"
#include "qt/qpainter_canvas.h"
#include "qt/qt_print_job.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

// --- QtTimer ---

QtTimer::QtTimer() : timer_(new QTimer) {
  timer_->setSingleShot(true);
  QObject::connect(timer_, &QTimer::timeout, [this] { Tick(); });
}

QtTimer::~QtTimer() {
  timer_->stop();
  if (ticking_) {
    // Destroyed by its own handler: the QTimer is still sending its signal.
    *destroyed_ = true;
    timer_->disconnect();
    timer_->deleteLater();
  } else {
    delete timer_;
  }
}

void QtTimer::Tick() {
  // The handler may restart the timer, replace OnTimer or destroy the timer.
  auto handler = OnTimer;
  if (!handler) return;
  bool destroyed = false;
  ticking_ = true;
  destroyed_ = &destroyed;
  handler();
  if (destroyed) return;
  ticking_ = false;
  destroyed_ = nullptr;
}

void QtTimer::SetInterval(int ms) { timer_->setInterval(std::max(0, ms)); }
int QtTimer::Interval() const { return timer_->interval(); }
void QtTimer::Start() { timer_->start(); }
void QtTimer::Stop() { timer_->stop(); }
bool QtTimer::Active() const { return timer_->isActive(); }

// --- QtWindowSystem ---

QtWindowSystem::QtWindowSystem(QWidget* dialogParent) : parent_(dialogParent) {}

QtWindowSystem::~QtWindowSystem() {
  delete help_.data();
  if (overridden_) QApplication::restoreOverrideCursor();
}

MsgResult QtWindowSystem::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                     MsgIcon icon) {
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  if (icon == MsgIcon::Warning) qicon = QMessageBox::Warning;
  if (icon == MsgIcon::Question) qicon = QMessageBox::Question;
  const bool yesNo = buttons == MsgButtons::YesNo;
  QMessageBox box(qicon, ToQString(caption), ToQString(text),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent_.data());
  box.setTextFormat(Qt::PlainText);
  if (yesNo) {
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  }
  const int answer = box.exec();
  if (!yesNo) return MsgResult::Ok;
  return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

OpenDialogResult QtWindowSystem::OpenFileDialog(const OpenDialogRequest& request) {
  return RunOpenDialog(parent_.data(), request);
}

SaveDialogResult QtWindowSystem::SaveFileDialog(const SaveDialogRequest& request) {
  return RunSaveDialog(parent_.data(), request);
}

void QtWindowSystem::RegisterModal(const std::string& formName, std::function<ModalResult()> run) {
  modals_[formName] = std::move(run);
}

ModalResult QtWindowSystem::ShowModal(Panel& form) {
  auto it = modals_.find(form.Name());
  return it == modals_.end() || !it->second ? ModalResult::Cancel : it->second();
}

bool QtWindowSystem::ChooseFont(Font& font) {
  QFontDialog dialog(ToQFont(font), parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QFont chosen = dialog.selectedFont();
  font.name = FromQString(chosen.family());
  // The dialog chooses a size in points; a pixel height would override it.
  if (chosen.pointSize() > 0) {
    font.size = chosen.pointSize();
    font.height = 0;
  }
  unsigned style = font.style & ~static_cast<unsigned>(fsBold | fsItalic | fsUnderline);
  if (chosen.bold()) style |= fsBold;
  if (chosen.italic()) style |= fsItalic;
  if (chosen.underline()) style |= fsUnderline;
  font.style = style;
  return true;
}

std::unique_ptr<Timer> QtWindowSystem::CreateTimer() { return std::make_unique<QtTimer>(); }

Qt::CursorShape CursorFor(int shape) {
  switch (shape) {
    case crHourGlass: return Qt::WaitCursor;
    case crCross: return Qt::CrossCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    default: break;
  }
  if (shape >= crStageFirst && shape <= crStageLast) return Qt::BusyCursor;
  return Qt::ArrowCursor;
}

void QtWindowSystem::SetCursor(int shape) {
  cursor_ = shape;
  if (shape == crDefault) {
    if (overridden_) QApplication::restoreOverrideCursor();
    overridden_ = false;
    return;
  }
  if (overridden_)
    QApplication::changeOverrideCursor(QCursor(CursorFor(shape)));
  else
    QApplication::setOverrideCursor(QCursor(CursorFor(shape)));
  overridden_ = true;
}

void QtWindowSystem::ProcessMessages() { QCoreApplication::processEvents(); }

// Clipboard text is 8-bit: each byte is one Latin-1 character, so that
// whatever the program puts there comes back byte for byte.
void QtWindowSystem::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

bool QtWindowSystem::HasClipboardText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText();
}

std::string QtWindowSystem::ClipboardText() const {
  const QByteArray bytes = QGuiApplication::clipboard()->text().toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtWindowSystem::SetClipboardBitmap(const Bitmap& bitmap) {
  const QImage image = ToQImage(bitmap);
  if (!image.isNull()) QGuiApplication::clipboard()->setImage(image);
}

std::unique_ptr<Bitmap> QtWindowSystem::CreateBitmap(int width, int height) {
  return std::make_unique<QtBitmap>(width, height);
}

std::unique_ptr<PrintJob> QtWindowSystem::BeginPrint(const PrintRequest& request) {
  if (!request.pdfPath.empty()) return BeginPdfJob(request.pdfPath, request.title);
  return BeginPrinterJob(parent_.data(), request.title, request.showSetup);
}

void QtWindowSystem::ShowHelp(const std::string& helpFile, const std::string& topic) {
  // The compiled help file became HTML topics in the help folder; its name
  // only says which help the caller means.
  if (!help_) help_ = new HelpWindow();
  help_->ShowTopic(PathToQString(ProgramFolder() + "help/"), topic);
}

void QtWindowSystem::CloseHelp() {
  if (help_) help_->close();
}

void QtWindowSystem::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(ToQString(url)));
}

std::string QtWindowSystem::CurrentFolder() const { return PathFromQString(QDir::currentPath()); }

void QtWindowSystem::SetCurrentFolder(const std::string& folder) { QDir::setCurrent(PathToQString(folder)); }

std::string QtWindowSystem::ProgramFolder() const {
  return PathFromQString(QCoreApplication::applicationDirPath()) + "/";
}

bool QtWindowSystem::FileExists(const std::string& path) const {
  const QFileInfo info(PathToQString(path));
  return info.exists() && info.isFile();
}

char QtWindowSystem::DecimalSeparator() const {
  const QString point = QLocale().decimalPoint();
  if (point.isEmpty() || point.front().unicode() > 0x7f) return '.';
  return static_cast<char>(point.front().unicode());
}

}  // namespace kelvaris::qt

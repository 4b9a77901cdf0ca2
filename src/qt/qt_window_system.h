// The window system on Qt Widgets: message boxes, the file dialogs with
// their options strip, one-shot timers, cursors, the clipboard, printing,
// the help window and the few file-system facts the program asks for.
#pragma once

#include <functional>
#include <map>
#include <string>

#include <QPointer>
#include <QWidget>

#include "platform/window_system.h"
#include "qt/help_window.h"

class QTimer;

namespace kelvaris::qt {

// A one-shot timer over a single-shot QTimer.
class QtTimer : public Timer {
 public:
  QtTimer();
  ~QtTimer() override;
  void SetInterval(int ms) override;
  int Interval() const override;
  void Start() override;
  void Stop() override;
  bool Active() const override;

 private:
  void Tick();
  QTimer* timer_;
  bool ticking_ = false;
  bool* destroyed_ = nullptr;  // set by the destructor while a tick runs
};

class QtWindowSystem : public WindowSystem {
 public:
  // Dialogs and message boxes are centred on `dialogParent` (usually the
  // main window), which may be set later.
  explicit QtWindowSystem(QWidget* dialogParent = nullptr);
  ~QtWindowSystem() override;
  void SetDialogParent(QWidget* parent) { parent_ = parent; }
  // The help window, once help has been shown; null before.
  HelpWindow* Help() const { return help_; }

  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  OpenDialogResult OpenFileDialog(const OpenDialogRequest& request) override;
  SaveDialogResult SaveFileDialog(const SaveDialogRequest& request) override;

  // Dialog windows register how they run modally, by their form's name.
  void RegisterModal(const std::string& formName, std::function<ModalResult()> run);
  ModalResult ShowModal(Panel& form) override;
  bool ChooseFont(Font& font) override;
  std::unique_ptr<Timer> CreateTimer() override;
  void SetCursor(int shape) override;
  int Cursor() const override { return cursor_; }
  void ProcessMessages() override;

  void SetClipboardText(const std::string& text) override;
  bool HasClipboardText() const override;
  std::string ClipboardText() const override;
  void SetClipboardBitmap(const Bitmap& bitmap) override;
  std::unique_ptr<Bitmap> CreateBitmap(int width, int height) override;

  std::unique_ptr<PrintJob> BeginPrint(const PrintRequest& request) override;

  void ShowHelp(const std::string& helpFile, const std::string& topic) override;
  void CloseHelp() override;
  void OpenUrl(const std::string& url) override;

  std::string CurrentFolder() const override;
  void SetCurrentFolder(const std::string& folder) override;
  std::string ProgramFolder() const override;
  bool FileExists(const std::string& path) const override;

  char DecimalSeparator() const override;

 private:
  QPointer<QWidget> parent_;
  QPointer<HelpWindow> help_;
  int cursor_ = crDefault;
  bool overridden_ = false;
  std::map<std::string, std::function<ModalResult()>> modals_;
};

// The Qt cursor shown for one of the program's cursor shapes.
Qt::CursorShape CursorFor(int shape);

}  // namespace kelvaris::qt

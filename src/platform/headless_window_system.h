// A window system without windows, for tests and the command-line tool:
// message boxes are recorded and answered from a script, file dialogs return
// scripted results, and timers tick only when the owner advances time.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/window_system.h"

namespace kelvaris {

struct RecordedMessage {
  std::string text;
  std::string caption;
  MsgButtons buttons = MsgButtons::Ok;
  MsgIcon icon = MsgIcon::None;
  MsgResult answer = MsgResult::Ok;
};

class HeadlessTimer;

class HeadlessWindowSystem : public WindowSystem {
 public:
  HeadlessWindowSystem();
  ~HeadlessWindowSystem() override;

  // --- scripting ---
  // Answers for question boxes, used in order; once used up, DefaultAnswer.
  void QueueAnswer(MsgResult answer) { answers_.push_back(answer); }
  void SetDefaultAnswer(MsgResult answer) { defaultAnswer_ = answer; }
  void QueueOpenResult(OpenDialogResult result) { openResults_.push_back(std::move(result)); }
  void QueueSaveResult(SaveDialogResult result) { saveResults_.push_back(std::move(result)); }
  // Called for every message box as it is shown (the CLI prints them).
  std::function<void(const RecordedMessage&)> OnMessage;
  // Plays the user's part in a modal dialog; without it dialogs are cancelled.
  std::function<ModalResult(Panel& form)> OnShowModal;
  // Plays the user's part in the font dialog: may change the font, and
  // returns true for OK; without it the font dialog is cancelled.
  std::function<bool(Font& font)> OnChooseFont;

  const std::vector<RecordedMessage>& Messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  // The requests the dialogs were shown with, newest last.
  const std::vector<OpenDialogRequest>& OpenRequests() const { return openRequests_; }
  const std::vector<SaveDialogRequest>& SaveRequests() const { return saveRequests_; }
  // The fonts the font dialog was opened on, newest last.
  const std::vector<Font>& FontRequests() const { return fontRequests_; }
  int ProcessMessagesCalls() const { return processCalls_; }
  const std::vector<int>& CursorHistory() const { return cursorHistory_; }
  const std::vector<std::string>& HelpTopics() const { return helpTopics_; }
  const std::vector<std::string>& OpenedUrls() const { return urls_; }
  int HelpClosed() const { return helpClosed_; }

  // --- manual time ---
  long long NowMs() const { return now_; }
  // Moves the clock on, firing every timer that falls due, in time order.
  void AdvanceMs(long long ms);
  // Fires every active timer at once, earliest first, until none is active
  // or `limit` ticks have run (a timer that restarts itself forever stops).
  void FireAllTimers(int limit = 1000);
  int ActiveTimerCount() const;

  void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
  void SetDecimalSeparator(char separator) { separator_ = separator; }

  // --- WindowSystem ---
  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  OpenDialogResult OpenFileDialog(const OpenDialogRequest& request) override;
  SaveDialogResult SaveFileDialog(const SaveDialogRequest& request) override;
  ModalResult ShowModal(Panel& form) override;
  bool ChooseFont(Font& font) override;
  std::unique_ptr<Timer> CreateTimer() override;
  void SetCursor(int shape) override;
  int Cursor() const override { return cursor_; }
  void ProcessMessages() override { ++processCalls_; }
  void SetClipboardText(const std::string& text) override;
  bool HasClipboardText() const override { return hasClipboardText_; }
  std::string ClipboardText() const override { return clipboardText_; }
  void SetClipboardBitmap(const Bitmap& bitmap) override;
  std::unique_ptr<Bitmap> CreateBitmap(int width, int height) override;
  std::unique_ptr<PrintJob> BeginPrint(const PrintRequest& request) override;
  void ShowHelp(const std::string& helpFile, const std::string& topic) override;
  void CloseHelp() override { ++helpClosed_; }
  void OpenUrl(const std::string& url) override { urls_.push_back(url); }
  std::string CurrentFolder() const override;
  void SetCurrentFolder(const std::string& folder) override;
  std::string ProgramFolder() const override { return programFolder_; }
  bool FileExists(const std::string& path) const override;
  char DecimalSeparator() const override { return separator_; }

  // Bitmaps put on the clipboard: their size.
  int ClipboardBitmapWidth() const { return clipboardBitmapW_; }
  int ClipboardBitmapHeight() const { return clipboardBitmapH_; }

 private:
  friend class HeadlessTimer;
  void Register(HeadlessTimer* timer);
  void Unregister(HeadlessTimer* timer);
  HeadlessTimer* NextDue(long long until) const;

  std::deque<MsgResult> answers_;
  MsgResult defaultAnswer_ = MsgResult::No;
  std::deque<OpenDialogResult> openResults_;
  std::deque<SaveDialogResult> saveResults_;
  std::vector<RecordedMessage> messages_;
  std::vector<OpenDialogRequest> openRequests_;
  std::vector<SaveDialogRequest> saveRequests_;
  std::vector<Font> fontRequests_;
  std::vector<HeadlessTimer*> timers_;
  long long now_ = 0;
  long long sequence_ = 0;
  int cursor_ = crDefault;
  std::vector<int> cursorHistory_;
  int processCalls_ = 0;
  std::string clipboardText_;
  bool hasClipboardText_ = false;
  int clipboardBitmapW_ = 0;
  int clipboardBitmapH_ = 0;
  std::vector<std::string> helpTopics_;
  std::vector<std::string> urls_;
  int helpClosed_ = 0;
  std::string currentFolder_;
  std::string programFolder_;
  char separator_ = '.';
};

}  // namespace kelvaris

#include "platform/headless_window_system.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "platform/recording_canvas.h"

namespace kelvaris {

class HeadlessTimer : public Timer {
 public:
  explicit HeadlessTimer(HeadlessWindowSystem& ws) : ws_(&ws) { ws.Register(this); }
  ~HeadlessTimer() override {
    if (ws_) ws_->Unregister(this);
  }
  void SetInterval(int ms) override {
    interval_ = ms;
    if (active_) Restart();
  }
  int Interval() const override { return interval_; }
  void Start() override {
    active_ = true;
    Restart();
  }
  void Stop() override { active_ = false; }
  bool Active() const override { return active_; }

  void Detach() { ws_ = nullptr; }
  long long due = 0;
  long long sequence = 0;  // start order, to fire equal due times in order

 private:
  void Restart() {
    due = ws_ ? ws_->now_ + interval_ : 0;
    sequence = ws_ ? ++ws_->sequence_ : 0;
  }
  HeadlessWindowSystem* ws_;
  int interval_ = 1000;
  bool active_ = false;
};

HeadlessWindowSystem::HeadlessWindowSystem() {
  std::error_code ec;
  currentFolder_ = std::filesystem::current_path(ec).string();
  programFolder_ = currentFolder_ + "/";
}

HeadlessWindowSystem::~HeadlessWindowSystem() {
  for (auto* t : timers_) t->Detach();
}

MsgResult HeadlessWindowSystem::MessageBox(const std::string& text, const std::string& caption,
                                           MsgButtons buttons, MsgIcon icon) {
  RecordedMessage m{text, caption, buttons, icon, MsgResult::Ok};
  if (buttons == MsgButtons::YesNo) {
    if (!answers_.empty()) {
      m.answer = answers_.front();
      answers_.pop_front();
    } else {
      m.answer = defaultAnswer_;
    }
  }
  messages_.push_back(m);
  if (OnMessage) OnMessage(m);
  return m.answer;
}

OpenDialogResult HeadlessWindowSystem::OpenFileDialog(const OpenDialogRequest& request) {
  openRequests_.push_back(request);
  if (openResults_.empty()) return OpenDialogResult{};
  OpenDialogResult r = std::move(openResults_.front());
  openResults_.pop_front();
  // Options the script left out keep the states the dialog opened with; the
  // filter hook runs as a real dialog runs it on confirmation.
  if (r.options.empty()) r.options = request.options;
  if (r.outcome == DialogOutcome::Accepted && request.onFilterChange)
    request.onFilterChange(r.filterIndex, r.options);
  return r;
}

SaveDialogResult HeadlessWindowSystem::SaveFileDialog(const SaveDialogRequest& request) {
  saveRequests_.push_back(request);
  if (saveResults_.empty()) return SaveDialogResult{};
  SaveDialogResult r = std::move(saveResults_.front());
  saveResults_.pop_front();
  if (r.options.empty()) r.options = request.options;
  if (r.outcome == DialogOutcome::Accepted && request.onFilterChange)
    request.onFilterChange(r.filterIndex, r.options);
  return r;
}

ModalResult HeadlessWindowSystem::ShowModal(Panel& form) {
  return OnShowModal ? OnShowModal(form) : ModalResult::Cancel;
}

bool HeadlessWindowSystem::ChooseFont(Font& font) {
  fontRequests_.push_back(font);
  if (!OnChooseFont) return false;
  Font chosen = font;
  if (!OnChooseFont(chosen)) return false;
  font = chosen;
  return true;
}

std::unique_ptr<Timer> HeadlessWindowSystem::CreateTimer() {
  return std::make_unique<HeadlessTimer>(*this);
}

void HeadlessWindowSystem::Register(HeadlessTimer* timer) { timers_.push_back(timer); }

void HeadlessWindowSystem::Unregister(HeadlessTimer* timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

HeadlessTimer* HeadlessWindowSystem::NextDue(long long until) const {
  HeadlessTimer* best = nullptr;
  for (auto* t : timers_) {
    if (!t->Active() || t->due > until) continue;
    if (!best || t->due < best->due || (t->due == best->due && t->sequence < best->sequence))
      best = t;
  }
  return best;
}

void HeadlessWindowSystem::AdvanceMs(long long ms) {
  const long long target = now_ + ms;
  while (HeadlessTimer* t = NextDue(target)) {
    now_ = std::max(now_, t->due);
    t->Stop();
    if (t->OnTimer) t->OnTimer();
  }
  now_ = target;
}

void HeadlessWindowSystem::FireAllTimers(int limit) {
  for (int i = 0; i < limit; ++i) {
    HeadlessTimer* t = NextDue(std::numeric_limits<long long>::max());
    if (!t) return;
    now_ = std::max(now_, t->due);
    t->Stop();
    if (t->OnTimer) t->OnTimer();
  }
}

int HeadlessWindowSystem::ActiveTimerCount() const {
  return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                        [](const HeadlessTimer* t) { return t->Active(); }));
}

void HeadlessWindowSystem::SetCursor(int shape) {
  cursor_ = shape;
  cursorHistory_.push_back(shape);
}

void HeadlessWindowSystem::SetClipboardText(const std::string& text) {
  clipboardText_ = text;
  hasClipboardText_ = true;
}

void HeadlessWindowSystem::SetClipboardBitmap(const Bitmap& bitmap) {
  clipboardBitmapW_ = bitmap.Width();
  clipboardBitmapH_ = bitmap.Height();
  hasClipboardText_ = false;
}

std::unique_ptr<Bitmap> HeadlessWindowSystem::CreateBitmap(int width, int height) {
  RecordingCanvas factory(1, 1);
  return factory.CreateBitmap(width, height);
}

namespace {
// Pages recorded on canvases; A4 at 300 dots per inch.
class HeadlessPrintJob : public PrintJob {
 public:
  HeadlessPrintJob() { pages_.push_back(std::make_unique<RecordingCanvas>(2480, 3508, 300)); }
  int PageWidth() const override { return 2480; }
  int PageHeight() const override { return 3508; }
  int DotsPerInch() const override { return 300; }
  Canvas& Page() override { return *pages_.back(); }
  void NewPage() override { pages_.push_back(std::make_unique<RecordingCanvas>(2480, 3508, 300)); }
  bool End() override { return true; }

 private:
  std::vector<std::unique_ptr<RecordingCanvas>> pages_;
};
}  // namespace

std::unique_ptr<PrintJob> HeadlessWindowSystem::BeginPrint(const PrintRequest&) {
  return std::make_unique<HeadlessPrintJob>();
}

void HeadlessWindowSystem::ShowHelp(const std::string& helpFile, const std::string& topic) {
  helpTopics_.push_back(helpFile + "::/" + topic);
}

std::string HeadlessWindowSystem::CurrentFolder() const { return currentFolder_; }

void HeadlessWindowSystem::SetCurrentFolder(const std::string& folder) { currentFolder_ = folder; }

bool HeadlessWindowSystem::FileExists(const std::string& path) const {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace kelvaris

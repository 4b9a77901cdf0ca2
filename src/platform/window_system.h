// The services the program needs from the desktop: message boxes, file
// dialogs, one-shot timers, cursors, the message pump, the clipboard, the
// printer, help, the browser and a few file-system facts. The core talks only
// to this interface; the Qt view and the headless test double implement it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvaris {

class Canvas;
class Bitmap;
struct Font;

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Warning, Question };
enum class MsgResult { Ok, Yes, No };

// Standard cursor shapes; slots 5 to 15 hold the stage busy cursors.
enum CursorShape : int {
  crDefault = 0,
  crHourGlass = 1,
  crCross = 2,
  crSizeWE = 3,
  crHandPoint = 4,
  crStageFirst = 5,
  crStageLast = 15,
};

struct FileFilter {
  std::string description;  // "Biosensor files"
  std::string pattern;      // "*.blr;*.ble;*.frd;*.dat;*.txt"
};

// One check box of a file dialog's options strip.
struct DialogOption {
  std::string caption;
  bool checked = false;
  bool enabled = true;
};

struct OpenDialogRequest {
  std::string title;
  std::vector<FileFilter> filters;
  int filterIndex = 1;  // 1-based
  std::string defaultExtension;
  std::string startFolder;
  bool multiSelect = false;
  std::size_t nameBufferSize = 30000;  // characters the selection may take
  std::string optionsLabel;            // "Options:"; empty means no strip
  std::vector<DialogOption> options;
  // Called with the new 1-based filter index whenever the filter changes and
  // once more when the user confirms; it may change the options' checked and
  // enabled states.
  std::function<void(int filterIndex, std::vector<DialogOption>& options)> onFilterChange;
};

enum class DialogOutcome { Accepted, Cancelled, Overflow };

struct OpenDialogResult {
  DialogOutcome outcome = DialogOutcome::Cancelled;
  // One file: the path. Several files: the folder, and each name in `names`.
  std::string path;
  std::vector<std::string> names;
  int filterIndex = 1;
  std::vector<DialogOption> options;
};

struct SaveDialogRequest {
  std::string title;
  std::vector<FileFilter> filters;
  int filterIndex = 1;
  std::string defaultExtension;
  std::string startFolder;
  std::string fileName;
  std::string optionsLabel;
  std::vector<DialogOption> options;
  std::function<void(int filterIndex, std::vector<DialogOption>& options)> onFilterChange;
};

struct SaveDialogResult {
  DialogOutcome outcome = DialogOutcome::Cancelled;
  std::string path;
  int filterIndex = 1;
  std::vector<DialogOption> options;
};

// A one-shot timer: after Start it ticks once on the user-interface thread
// after the interval, unless stopped. The handler may restart it.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int ms) = 0;
  virtual int Interval() const = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool Active() const = 0;
  std::function<void()> OnTimer;
};

// A printer job: pages in device units, each with its own drawing surface.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual int PageWidth() const = 0;   // device units
  virtual int PageHeight() const = 0;  // device units
  virtual int DotsPerInch() const = 0;
  virtual Canvas& Page() = 0;  // surface of the current page
  virtual void NewPage() = 0;
  virtual bool End() = 0;  // false when the document could not be finished
};

struct PrintRequest {
  std::string title;
  std::string pdfPath;     // print into this PDF instead of a printer when set
  bool showSetup = true;   // show the printer choice and setup dialog
};

enum class ModalResult { Ok, Cancel };

class Panel;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual MsgResult MessageBox(const std::string& text, const std::string& caption,
                               MsgButtons buttons, MsgIcon icon) = 0;
  virtual OpenDialogResult OpenFileDialog(const OpenDialogRequest& request) = 0;
  virtual SaveDialogResult SaveFileDialog(const SaveDialogRequest& request) = 0;

  // Shows a dialog's form modally until its model lets it close; the view
  // finds the dialog's window by the form's name.
  virtual ModalResult ShowModal(Panel& form) = 0;
  // The font dialog, opened on `font`. On OK the choice is in `font` and the
  // result is true; what the dialog does not offer keeps its value.
  virtual bool ChooseFont(Font& font) = 0;

  virtual std::unique_ptr<Timer> CreateTimer() = 0;
  virtual void SetCursor(int shape) = 0;
  virtual int Cursor() const = 0;
  // Lets queued input and paint messages run before returning.
  virtual void ProcessMessages() = 0;

  virtual void SetClipboardText(const std::string& text) = 0;
  virtual bool HasClipboardText() const = 0;
  virtual std::string ClipboardText() const = 0;
  virtual void SetClipboardBitmap(const Bitmap& bitmap) = 0;
  // A 24-bit picture to draw into, for the clipboard.
  virtual std::unique_ptr<Bitmap> CreateBitmap(int width, int height) = 0;

  // Returns null when the user cancels or no printer can be had.
  virtual std::unique_ptr<PrintJob> BeginPrint(const PrintRequest& request) = 0;

  virtual void ShowHelp(const std::string& helpFile, const std::string& topic) = 0;
  virtual void CloseHelp() = 0;
  virtual void OpenUrl(const std::string& url) = 0;

  virtual std::string CurrentFolder() const = 0;
  virtual void SetCurrentFolder(const std::string& folder) = 0;
  // The program's own folder, with a trailing separator.
  virtual std::string ProgramFolder() const = 0;
  virtual bool FileExists(const std::string& path) const = 0;

  virtual char DecimalSeparator() const = 0;
};

}  // namespace kelvaris

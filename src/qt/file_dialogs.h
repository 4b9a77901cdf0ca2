// Open and save dialogs with an options strip: a label and a row of check
// boxes below the file list, whose enabled and checked states a hook of the
// caller may change whenever the user picks another filter and once more
// when the user confirms.
#pragma once

#include <QFileDialog>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "platform/window_system.h"

class QCheckBox;
class QLabel;

namespace kelvaris::qt {

// "Biosensor files (*.blr *.ble)" from a filter whose patterns are separated
// by ";". The pattern "*.*" means every file, with or without a dot.
QString NameFilterText(const FileFilter& filter);

// Characters a multiple selection takes in the caller's name buffer: the
// folder and each name with a terminating zero, and one more zero ending the
// list.
std::size_t SelectionLength(const std::string& folder, const std::vector<std::string>& names);

// The open dialog's result for the chosen files (full paths, all in one
// folder): one file gives its path; several give the folder and the names.
// A selection that does not fit the name buffer gives Overflow and no names.
OpenDialogResult OpenResultFromFiles(const QStringList& files, std::size_t nameBufferSize);

class OptionsFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  using FilterHook = std::function<void(int filterIndex, std::vector<DialogOption>& options)>;

  struct Setup {
    std::string title;
    std::vector<FileFilter> filters;
    int filterIndex = 1;  // 1-based
    std::string defaultExtension;
    std::string startFolder;
    std::string optionsLabel;  // empty: no strip
    std::vector<DialogOption> options;
    FilterHook onFilterChange;
  };

  OptionsFileDialog(QWidget* parent, Setup setup);

  // The selected filter, 1-based.
  int FilterIndex() const;
  // The options as the check boxes show them now.
  std::vector<DialogOption> Options() const;
  QLabel* OptionsLabel() const { return label_; }
  const std::vector<QCheckBox*>& OptionBoxes() const { return boxes_; }

  void done(int result) override;

 private:
  void BuildStrip(const std::string& label);
  void RunHook(int filterIndex);
  void ShowOptions();

  FilterHook hook_;
  std::vector<DialogOption> options_;
  QLabel* label_ = nullptr;
  std::vector<QCheckBox*> boxes_;
};

OpenDialogResult RunOpenDialog(QWidget* parent, const OpenDialogRequest& request);
SaveDialogResult RunSaveDialog(QWidget* parent, const SaveDialogRequest& request);

}  // namespace kelvaris::qt

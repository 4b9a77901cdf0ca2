#include "qt/file_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>

#include "qt/qt_text.h"

namespace kelvaris::qt {

QString NameFilterText(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& part : ToQString(filter.pattern).split(u';', Qt::SkipEmptyParts)) {
    const QString pattern = part.trimmed();
    if (pattern.isEmpty()) continue;
    patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
  }
  if (patterns.isEmpty()) patterns << QStringLiteral("*");
  return ToQString(filter.description) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

std::size_t SelectionLength(const std::string& folder, const std::vector<std::string>& names) {
  std::size_t length = folder.size() + 1;
  for (const std::string& name : names) length += name.size() + 1;
  return length + 1;
}

OpenDialogResult OpenResultFromFiles(const QStringList& files, std::size_t nameBufferSize) {
  OpenDialogResult result;
  if (files.isEmpty()) return result;
  if (files.size() == 1) {
    result.path = PathFromQString(QDir::cleanPath(files.front()));
    if (result.path.size() + 1 > nameBufferSize) {
      result.path.clear();
      result.outcome = DialogOutcome::Overflow;
    } else {
      result.outcome = DialogOutcome::Accepted;
    }
    return result;
  }
  result.path = PathFromQString(QFileInfo(files.front()).absolutePath());
  for (const QString& file : files) result.names.push_back(PathFromQString(QFileInfo(file).fileName()));
  if (SelectionLength(result.path, result.names) > nameBufferSize) {
    result.path.clear();
    result.names.clear();
    result.outcome = DialogOutcome::Overflow;
  } else {
    result.outcome = DialogOutcome::Accepted;
  }
  return result;
}

// --- OptionsFileDialog ---

OptionsFileDialog::OptionsFileDialog(QWidget* parent, Setup setup)
    : QFileDialog(parent), hook_(std::move(setup.onFilterChange)), options_(std::move(setup.options)) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  if (!setup.title.empty()) setWindowTitle(ToQString(setup.title));
  QStringList filters;
  for (const FileFilter& filter : setup.filters) filters << NameFilterText(filter);
  if (!filters.isEmpty()) {
    setNameFilters(filters);
    const int index = std::clamp(setup.filterIndex, 1, static_cast<int>(filters.size()));
    selectNameFilter(filters[index - 1]);
  }
  if (!setup.defaultExtension.empty()) setDefaultSuffix(ToQString(setup.defaultExtension));
  if (!setup.startFolder.empty()) setDirectory(PathToQString(setup.startFolder));
  if (!setup.optionsLabel.empty()) BuildStrip(setup.optionsLabel);
  connect(this, &QFileDialog::filterSelected, this, [this](const QString& filter) {
    const int index = static_cast<int>(nameFilters().indexOf(filter)) + 1;
    if (index > 0) RunHook(index);
  });
}

void OptionsFileDialog::BuildStrip(const std::string& label) {
  auto* strip = new QWidget(this);
  strip->setObjectName(QStringLiteral("optionsStrip"));
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(0, 0, 0, 0);
  label_ = new QLabel(ToQString(label), strip);
  row->addWidget(label_);
  for (const DialogOption& option : options_) {
    auto* box = new QCheckBox(ToQString(option.caption), strip);
    row->addWidget(box);
    boxes_.push_back(box);
  }
  row->addStretch(1);
  ShowOptions();
  // The non-native dialog lays itself out on a grid; the strip takes a new
  // row below the file list, the name and the filter.
  if (auto* grid = qobject_cast<QGridLayout*>(layout()))
    grid->addWidget(strip, grid->rowCount(), 0, 1, grid->columnCount());
  else if (layout())
    layout()->addWidget(strip);
}

int OptionsFileDialog::FilterIndex() const {
  const int index = static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1;
  return index > 0 ? index : 1;
}

std::vector<DialogOption> OptionsFileDialog::Options() const {
  std::vector<DialogOption> options = options_;
  for (std::size_t i = 0; i < boxes_.size() && i < options.size(); ++i) {
    options[i].checked = boxes_[i]->isChecked();
    options[i].enabled = boxes_[i]->isEnabled();
  }
  return options;
}

void OptionsFileDialog::ShowOptions() {
  for (std::size_t i = 0; i < boxes_.size() && i < options_.size(); ++i) {
    boxes_[i]->setChecked(options_[i].checked);
    boxes_[i]->setEnabled(options_[i].enabled);
  }
}

void OptionsFileDialog::RunHook(int filterIndex) {
  options_ = Options();
  if (hook_) hook_(filterIndex, options_);
  ShowOptions();
}

void OptionsFileDialog::done(int result) {
  if (result == QDialog::Accepted) RunHook(FilterIndex());
  QFileDialog::done(result);
}

// --- running them ---

OpenDialogResult RunOpenDialog(QWidget* parent, const OpenDialogRequest& request) {
  OptionsFileDialog dialog(parent, {request.title, request.filters, request.filterIndex,
                                    request.defaultExtension, request.startFolder, request.optionsLabel,
                                    request.options, request.onFilterChange});
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  OpenDialogResult result;
  if (dialog.exec() == QDialog::Accepted) result = OpenResultFromFiles(dialog.selectedFiles(), request.nameBufferSize);
  result.filterIndex = dialog.FilterIndex();
  result.options = dialog.Options();
  return result;
}

SaveDialogResult RunSaveDialog(QWidget* parent, const SaveDialogRequest& request) {
  OptionsFileDialog dialog(parent, {request.title, request.filters, request.filterIndex,
                                    request.defaultExtension, request.startFolder, request.optionsLabel,
                                    request.options, request.onFilterChange});
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.fileName.empty()) dialog.selectFile(PathToQString(request.fileName));
  SaveDialogResult result;
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    result.outcome = DialogOutcome::Accepted;
    result.path = PathFromQString(QDir::cleanPath(dialog.selectedFiles().front()));
  }
  result.filterIndex = dialog.FilterIndex();
  result.options = dialog.Options();
  return result;
}

}  // namespace kelvaris::qt

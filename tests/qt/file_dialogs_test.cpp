// The open and save dialogs: filters, the options strip and its hook, and
// the results they give, including a selection too long for the caller.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "qt/file_dialogs.h"
#include "qt/qt_text.h"
#include "qt/qt_window_system.h"
#include "qt_test_support.h"

namespace kelvaris::qt {
namespace {

const std::vector<FileFilter> kLoadFilters = {
    {"Biosensor files", "*.blr;*.ble;*.frd;*.dat;*.txt"},
    {"Data files", "*.txt"},
    {"Kelvaris files", "*.kvx"},
    {"All files", "*.*"},
};

TEST(FileDialogFilters, DescriptionAndPatterns) {
  struct Case {
    FileFilter filter;
    const char* text;
  };
  for (const Case& c : {Case{kLoadFilters[0], "Biosensor files (*.blr *.ble *.frd *.dat *.txt)"},
                        Case{kLoadFilters[2], "Kelvaris files (*.kvx)"},
                        Case{kLoadFilters[3], "All files (*)"},
                        Case{{"Text", " *.txt ; *.csv;"}, "Text (*.txt *.csv)"}})
    EXPECT_EQ(NameFilterText(c.filter), QString::fromLatin1(c.text));
}

TEST(FileDialogSelection, OneFileSeveralFilesAndOverflow) {
  const QStringList one = {QStringLiteral("/data/run1.blr")};
  const QStringList two = {QStringLiteral("/data/run1.blr"), QStringLiteral("/data/b.txt")};
  // "/data" + 0, "run1.blr" + 0, "b.txt" + 0, and the list's closing 0.
  const std::size_t twoLength = 6 + 9 + 6 + 1;
  EXPECT_EQ(SelectionLength("/data", {"run1.blr", "b.txt"}), twoLength);

  struct Case {
    QStringList files;
    std::size_t buffer;
    DialogOutcome outcome;
    std::string path;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {one, 30000, DialogOutcome::Accepted, "/data/run1.blr", {}},
      {one, 15, DialogOutcome::Accepted, "/data/run1.blr", {}},  // 14 characters and a zero
      {one, 14, DialogOutcome::Overflow, "", {}},
      {two, 30000, DialogOutcome::Accepted, "/data", {"run1.blr", "b.txt"}},
      {two, twoLength, DialogOutcome::Accepted, "/data", {"run1.blr", "b.txt"}},
      {two, twoLength - 1, DialogOutcome::Overflow, "", {}},
      {{}, 30000, DialogOutcome::Cancelled, "", {}},
  };
  for (const Case& c : cases) {
    const OpenDialogResult result = OpenResultFromFiles(c.files, c.buffer);
    EXPECT_EQ(result.outcome, c.outcome) << c.files.join(u',').toStdString() << " in " << c.buffer;
    EXPECT_EQ(result.path, c.path) << c.buffer;
    EXPECT_EQ(result.names, c.names) << c.buffer;
  }
}

// The load dialog's rule: "Load associated data" only with Kelvaris files
// (filter 3), "Clear method" only with the others.
struct LoadOptions {
  std::vector<int> calls;
  std::vector<std::vector<DialogOption>> seen;
  OptionsFileDialog::FilterHook Hook() {
    return [this](int filter, std::vector<DialogOption>& options) {
      calls.push_back(filter);
      seen.push_back(options);
      options[0].enabled = filter != 3;
      options[1].enabled = filter == 3;
    };
  }
};

OptionsFileDialog::Setup LoadSetup(LoadOptions& hook, const QString& folder = {}) {
  return {"Load", kLoadFilters, 2, "txt", PathFromQString(folder), "Options:",
          {{"Clear method", true, true}, {"Load associated data", false, false}, {"Merge", false, true}},
          hook.Hook()};
}

void PickFilter(OptionsFileDialog* dialog, int index) {
  auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(combo, nullptr);
  combo->setCurrentIndex(index - 1);
  // What a choice in the list sends.
  emit combo->activated(index - 1);
  emit combo->textActivated(combo->currentText());
}

TEST(OptionsFileDialogTest, StripShowsTheRequestAndFollowsTheFilter) {
  LoadOptions hook;
  OptionsFileDialog dialog(nullptr, LoadSetup(hook));
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(dialog.FilterIndex(), 2);
  EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Data files (*.txt)"));
  ASSERT_NE(dialog.OptionsLabel(), nullptr);
  EXPECT_EQ(dialog.OptionsLabel()->text(), QStringLiteral("Options:"));
  ASSERT_EQ(dialog.OptionBoxes().size(), 3u);
  EXPECT_EQ(dialog.OptionBoxes()[1]->text(), QStringLiteral("Load associated data"));
  EXPECT_TRUE(dialog.OptionBoxes()[0]->isChecked());
  EXPECT_FALSE(dialog.OptionBoxes()[1]->isEnabled());
  EXPECT_TRUE(hook.calls.empty()) << "opening is not a change of filter";

  dialog.OptionBoxes()[2]->setChecked(true);  // the user ticks "Merge"
  PickFilter(&dialog, 3);
  ASSERT_EQ(hook.calls, std::vector<int>{3});
  EXPECT_TRUE(hook.seen[0][2].checked) << "the hook sees what the user ticked";
  EXPECT_FALSE(dialog.OptionBoxes()[0]->isEnabled());
  EXPECT_TRUE(dialog.OptionBoxes()[1]->isEnabled());

  PickFilter(&dialog, 1);
  EXPECT_EQ(hook.calls, (std::vector<int>{3, 1}));
  EXPECT_TRUE(dialog.OptionBoxes()[0]->isEnabled());
  EXPECT_FALSE(dialog.OptionBoxes()[1]->isEnabled());
  EXPECT_EQ(dialog.FilterIndex(), 1);
  const std::vector<DialogOption> options = dialog.Options();
  EXPECT_TRUE(options[2].checked);
  EXPECT_FALSE(options[1].enabled);
}

TEST(OptionsFileDialogTest, NoLabelNoStrip) {
  LoadOptions hook;
  OptionsFileDialog::Setup setup = LoadSetup(hook);
  setup.optionsLabel.clear();
  OptionsFileDialog dialog(nullptr, setup);
  EXPECT_EQ(dialog.OptionsLabel(), nullptr);
  EXPECT_TRUE(dialog.OptionBoxes().empty());
  EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("optionsStrip")), nullptr);
}

struct Folder {
  QTemporaryDir dir;
  explicit Folder(std::initializer_list<const char*> files) {
    for (const char* name : files) {
      QFile file(dir.filePath(QString::fromLatin1(name)));
      file.open(QIODevice::WriteOnly);
      file.write("1\t2\n");
    }
  }
  std::string Path() const { return PathFromQString(dir.path()); }
};

// Types names into the visible dialog and confirms.
void Confirm(const QString& typed, std::function<void(OptionsFileDialog*)> before = {}) {
  test::WhenShown<OptionsFileDialog>([typed, before](OptionsFileDialog* dialog) {
    if (before) before(dialog);
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

TEST(OpenFileDialog, SeveralFilesGiveTheFolderAndNames) {
  Folder folder({"a.txt", "b.txt", "c.kvx"});
  LoadOptions hook;
  OpenDialogRequest request;
  request.title = "Load";
  request.filters = kLoadFilters;
  request.filterIndex = 1;
  request.defaultExtension = "txt";
  request.startFolder = folder.Path();
  request.multiSelect = true;
  request.optionsLabel = "Options:";
  request.options = LoadSetup(hook).options;
  request.onFilterChange = hook.Hook();

  Confirm(QStringLiteral("\"a.txt\" \"b.txt\""), [](OptionsFileDialog* dialog) {
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Load"));
    PickFilter(dialog, 3);
    dialog->OptionBoxes()[1]->setChecked(true);
    PickFilter(dialog, 4);
  });
  QtWindowSystem ws;
  const OpenDialogResult result = ws.OpenFileDialog(request);
  ASSERT_EQ(result.outcome, DialogOutcome::Accepted);
  EXPECT_EQ(QFileInfo(PathToQString(result.path)).canonicalFilePath(), QFileInfo(folder.dir.path()).canonicalFilePath());
  EXPECT_EQ(result.names, (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(result.filterIndex, 4);
  EXPECT_EQ(hook.calls, (std::vector<int>{3, 4, 4})) << "each change of filter, then the confirmation";
  ASSERT_EQ(result.options.size(), 3u);
  EXPECT_TRUE(result.options[1].checked);
  EXPECT_FALSE(result.options[1].enabled);
}

TEST(OpenFileDialog, OneFileGivesItsPathAndCancelGivesNothing) {
  Folder folder({"run.blr"});
  OpenDialogRequest request;
  request.filters = kLoadFilters;
  request.filterIndex = 4;
  request.startFolder = folder.Path();
  int hookCalls = 0;
  request.onFilterChange = [&](int, std::vector<DialogOption>&) { ++hookCalls; };
  QtWindowSystem ws;

  Confirm(QStringLiteral("run.blr"), [](OptionsFileDialog* dialog) {
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
  });
  OpenDialogResult result = ws.OpenFileDialog(request);
  ASSERT_EQ(result.outcome, DialogOutcome::Accepted);
  EXPECT_EQ(QFileInfo(PathToQString(result.path)).fileName(), QStringLiteral("run.blr"));
  EXPECT_TRUE(QFileInfo(PathToQString(result.path)).isAbsolute());
  EXPECT_TRUE(result.names.empty());
  EXPECT_EQ(result.filterIndex, 4);
  EXPECT_EQ(hookCalls, 1);

  test::WhenShown<OptionsFileDialog>([](OptionsFileDialog* dialog) { dialog->reject(); });
  result = ws.OpenFileDialog(request);
  EXPECT_EQ(result.outcome, DialogOutcome::Cancelled);
  EXPECT_TRUE(result.path.empty());
  EXPECT_EQ(hookCalls, 1) << "no confirmation on cancel";
}

TEST(OpenFileDialog, SelectionTooLongForTheBufferOverflows) {
  Folder folder({"a.txt", "b.txt"});
  OpenDialogRequest request;
  request.filters = kLoadFilters;
  request.startFolder = folder.Path();
  request.multiSelect = true;
  request.nameBufferSize = 10;
  Confirm(QStringLiteral("\"a.txt\" \"b.txt\""));
  QtWindowSystem ws;
  const OpenDialogResult result = ws.OpenFileDialog(request);
  EXPECT_EQ(result.outcome, DialogOutcome::Overflow);
  EXPECT_TRUE(result.names.empty());
}

TEST(SaveFileDialog, DefaultExtensionAndOptions) {
  Folder folder({});
  SaveDialogRequest request;
  request.title = "Save Method";
  request.filters = {{"Kelvaris files", "*.kvx"}};
  request.defaultExtension = "kvx";
  request.startFolder = folder.Path();
  request.optionsLabel = "Options:";
  request.options = {{"Save associated data", true, true}, {"Data as text", false, true}};
  Confirm(QStringLiteral("method"), [](OptionsFileDialog* dialog) {
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    dialog->OptionBoxes()[1]->setChecked(true);
  });
  QtWindowSystem ws;
  const SaveDialogResult result = ws.SaveFileDialog(request);
  ASSERT_EQ(result.outcome, DialogOutcome::Accepted);
  EXPECT_EQ(QFileInfo(PathToQString(result.path)).fileName(), QStringLiteral("method.kvx"));
  EXPECT_EQ(result.filterIndex, 1);
  ASSERT_EQ(result.options.size(), 2u);
  EXPECT_TRUE(result.options[0].checked);
  EXPECT_TRUE(result.options[1].checked);
}

}  // namespace
}  // namespace kelvaris::qt

// Undo and redo, and the recording of typed keys and dragged markers.
#include <cctype>

#include "app/main_form.h"
#include "model/numbers.h"

namespace kelvaris {

void TMainForm::UndoButtonClick() {
  TUndoItem* e = UndoList.ToUndo();
  if (!e) return;
  FocusToolBar();
  // Nothing that runs from here on rewrites the history being walked.
  TUndoList::ApplyScope applying(UndoList);
  if (Pages.ActivePageIndex() != e->page) {
    // The first press only shows where the change was made.
    Pages.UserSelect(e->page);
    return;
  }
  e->Close();
  e->Undo();
  RecomputeAfterUndo(e->stage);
  UndoList.MoveCursor(-1);
}

void TMainForm::RedoButtonClick() {
  TUndoItem* e = UndoList.ToRedo();
  if (!e) return;
  FocusToolBar();
  TUndoList::ApplyScope applying(UndoList);
  if (Pages.ActivePageIndex() != e->page) Pages.UserSelect(e->page);
  e->Redo();
  UndoList.MoveCursor(1);
  RecomputeAfterUndo(e->stage);
}

void TMainForm::RecomputeAfterUndo(int stage) {
  if (stage < 0) return;
  // A restored sample cell must reach the concentrations before the run,
  // which clears the edited flag that would otherwise bring it there.
  ApplySampleTableEdits();
  RunChain(stage);
  RefreshActivePage();
  // The run covers what the restored value asked for through its handler.
  if (Experiment.PendingStage >= stage) {
    EditTimer->Stop();
    Experiment.PendingStage = kNoStage;
  }
}

void TMainForm::FormKeyPress(char& key) {
  if (key == 26) {
    key = 0;
    UndoButtonClick();
  } else if (key == 18) {
    key = 0;
    RedoButtonClick();
  }
}

void TMainForm::FocusToolBar() {
  // An edit in progress ends with the focus.
  for (TKelvarisGrid* grid : {&SampleGrid, &InjAnalyteGrid, &CompoundGrid, &LigandGrid})
    if (grid->EditorOpen()) grid->CloseEditor();
  if (OnFocusToolBar) OnFocusToolBar();
}

void TMainForm::ShowUndoButtons() {
  UndoButton.SetEnabled(UndoList.Count() > 0 && UndoList.Cursor() > 0);
  RedoButton.SetEnabled(UndoList.Count() > 0 && UndoList.Cursor() < UndoList.Count());
}

void TMainForm::NumericBoxKey(EditBox& box, int page, char key) {
  // The new text is a guess made before the key reaches the box; the
  // box's change handler puts the text it really got into the same entry.
  std::string guess = box.Text();
  if (key == '\b') {
    if (!guess.empty()) guess.pop_back();
  } else if (std::iscntrl(static_cast<unsigned char>(key))) {
    return;  // Enter, Escape: the text stays
  } else {
    guess += key;
  }
  UndoList.RecordEdit(box, page, guess, box.Text(), stZero);
  Experiment.SampleTableEdited = true;
  SaveMethodButton.SetEnabled(true);
}

void TMainForm::NumericBoxEdited(EditBox& box, int page) {
  if (Experiment.Busy || !box.Modified()) return;
  UndoList.RecordEdit(box, page, box.Text(), box.PreviousText(), stZero);
}

void TMainForm::WindowMarkerDrag(int stage, EditBox& box, double time) {
  const std::string before = box.Text();
  box.SetText(FormatNumber("", time));
  UndoList.RecordEdit(box, PageOfStage(stage), box.Text(), before, stage);
  if (stage == stAlign || stage == stReference || stage == stSolvent || stage == stBound)
    Experiment.WindowSet[static_cast<std::size_t>(stage)] = true;
  // The injection end matters only to the jump.
  const bool used = stage != stReference || (ReferenceCombo.ItemIndex() > 0 && JumpMode());
  if (Experiment.DataLoaded && Experiment.Switches.IsOn(stage) && used) ScheduleRecompute(stage);
}

}  // namespace kelvaris

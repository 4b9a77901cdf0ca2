// The history of the user's setting changes: which control, on which page,
// the value before and after, and the stage to recompute. Undo and redo put
// a value back through the control itself, so its own handler follows; the
// main window then reruns the chain from the recorded stage.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "table/kelvaris_grid.h"

namespace kelvaris {

// The cells of a grid entry; all 0 for other controls.
struct UndoCells {
  int lastRow = 0;
  int lastCol = 0;
  int firstRow = 0;
  int firstCol = 0;
  bool operator==(const UndoCells&) const = default;
};

class TUndoItem {
 public:
  TUndoItem(int page, int stage, std::string oldText, std::string newText, const Control* control,
            UndoCells cells = {})
      : page(page), stage(stage), oldText(std::move(oldText)), newText(std::move(newText)),
        control(control), cells(cells) {}
  virtual ~TUndoItem() = default;
  TUndoItem(const TUndoItem&) = delete;
  TUndoItem& operator=(const TUndoItem&) = delete;

  virtual void Undo() {}
  virtual void Redo() {}
  virtual void SetNewText(const std::string& text) { newText = text; }
  virtual void Close() { open = false; }
  virtual bool CanMerge(const Control* c, int p, const UndoCells& r, int s) const {
    return open && c == control && p == page && r == cells && s == stage;
  }

  int page;
  int stage;  // negative: nothing to recompute
  std::string oldText;
  std::string newText;
  const Control* control;
  UndoCells cells;
  bool open = true;
};

class TUndoEdit : public TUndoItem {
 public:
  TUndoEdit(EditBox& box, int page, int stage, std::string oldText, std::string newText)
      : TUndoItem(page, stage, std::move(oldText), std::move(newText), &box), box_(box) {}
  void Undo() override { Put(oldText); }
  void Redo() override { Put(newText); }

 private:
  void Put(const std::string& text);
  EditBox& box_;
};

class TUndoGrid : public TUndoItem {
 public:
  TUndoGrid(TKelvarisGrid& grid, int page, int stage, UndoCells cells, std::string oldText, std::string newText)
      : TUndoItem(page, stage, std::move(oldText), std::move(newText), &grid, cells), grid_(grid) {}
  void Undo() override { Put(oldText); }
  void Redo() override { Put(newText); }

 private:
  void Put(const std::string& text);
  TKelvarisGrid& grid_;
};

class TUndoCheck : public TUndoItem {
 public:
  TUndoCheck(CheckBox& box, int page, int stage, bool checked)
      : TUndoItem(page, stage, checked ? "0" : "1", checked ? "1" : "0", &box), box_(box) {}
  void Undo() override { box_.SetChecked(newText != "1"); }
  void Redo() override { box_.SetChecked(newText == "1"); }
  bool CanMerge(const Control*, int, const UndoCells&, int) const override { return false; }

 private:
  CheckBox& box_;
};

class TUndoUpDown : public TUndoItem {
 public:
  TUndoUpDown(UpDown& upDown, int page, int stage, int oldPosition, int newPosition)
      : TUndoItem(page, stage, std::to_string(oldPosition), std::to_string(newPosition), &upDown),
        upDown_(upDown) {}
  void Undo() override { Put(oldText); }
  void Redo() override { Put(newText); }

 private:
  void Put(const std::string& text);
  UpDown& upDown_;
};

// The list and its cursor: entries below the cursor are done, the others
// can be redone. While an entry is being applied nothing is recorded, so
// the handlers it runs cannot rewrite the history being walked.
class TUndoList {
 public:
  void RecordEdit(EditBox& box, int page, const std::string& newText, const std::string& oldText, int stage);
  void RecordGrid(TKelvarisGrid& grid, int page, UndoCells cells, const std::string& newText,
                  const std::string& oldText, int stage);
  void RecordUpDown(UpDown& upDown, int page, int newPosition, int oldPosition, int stage);
  void RecordCheck(CheckBox& box, int page, bool checked, int stage);
  // No later change merges into the newest applied entry.
  void CloseCurrent();
  void Clear();

  int Count() const { return static_cast<int>(items_.size()); }
  int Cursor() const { return cursor_; }
  bool CanUndo() const { return cursor_ > 0; }
  bool CanRedo() const { return cursor_ < Count(); }
  // The entry an undo or a redo would apply; null when there is none.
  TUndoItem* ToUndo() { return CanUndo() ? items_[static_cast<std::size_t>(cursor_ - 1)].get() : nullptr; }
  TUndoItem* ToRedo() { return CanRedo() ? items_[static_cast<std::size_t>(cursor_)].get() : nullptr; }
  const TUndoItem* At(int i) const { return items_.at(static_cast<std::size_t>(i)).get(); }
  void MoveCursor(int by);

  bool Applying() const { return applying_ > 0; }
  // Held while an entry is put back and the chain follows it.
  class ApplyScope {
   public:
    explicit ApplyScope(TUndoList& list) : list_(list) { ++list_.applying_; }
    ~ApplyScope() { --list_.applying_; }
    ApplyScope(const ApplyScope&) = delete;
    ApplyScope& operator=(const ApplyScope&) = delete;

   private:
    TUndoList& list_;
  };

  // After every change of the entries or the cursor.
  std::function<void()> OnChange;

 private:
  // Drops the redo history; false while applying.
  bool BeginRecord();
  bool Merge(const Control* control, int page, const UndoCells& cells, int stage, const std::string& newText);
  void Append(std::unique_ptr<TUndoItem> item);
  void Changed();

  std::vector<std::unique_ptr<TUndoItem>> items_;
  int cursor_ = 0;
  int applying_ = 0;
};

}  // namespace kelvaris

// The reorder dialog: every raw curve with its injection and flow cell, and
// the new numbers the user types for them.
#pragma once

#include <vector>

#include "app/dialogs.h"
#include "model/curve_info.h"
#include "platform/window_system.h"
#include "table/kelvaris_grid.h"

namespace kelvaris {

class TReorderDialog : public TDialogWindow {
 public:
  enum Column { colCurve = 0, colOldInj, colOldFc, colNewInj, colNewFc, kColumns };
  static constexpr int kHelpContext = 120;

  explicit TReorderDialog(WindowSystem& ws);

  TKelvarisGrid Grid;
  Action OKButton{"OKButton"};
  Action CancelButton{"CancelButton"};
  Action HelpButton{"HelpButton"};

  // Fills the grid for the raw curves; row c + 1 is curve c.
  void Fill(const std::vector<TCurveInfo>& info);
  // The new numbers of row c + 1 (a text that is no whole number reads 0).
  int NewInjection(int curve) const;
  int NewFlowCell(int curve) const;

  void OKButtonClick();
  void CancelButtonClick();
  bool FormCloseQuery() const { return mayClose_; }
  void FormShow() {}
  void HelpButtonClick();
  bool MayClose() const { return mayClose_; }

 private:
  // The first failed check's message, or empty when every check passes.
  std::string Validate() const;

  WindowSystem& ws_;
  bool mayClose_ = true;
};

}  // namespace kelvaris

#include "app/reorder_dialog.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "model/sample_layout.h"

namespace kelvaris {

TReorderDialog::TReorderDialog(WindowSystem& ws)
    : TDialogWindow("ReorderDialog", "Reorder"), Grid("ReorderGrid", ws), ws_(ws) {
  Grid.SetColCount(kColumns);
  Grid.SetRowCount(2);
  Grid.SetFixedRows(1);
  Grid.SetFixedCols(3);
  Grid.SetDefaultColWidth(54);
  OKButton.SetCaption("OK");
  OKButton.OnClick = [this] { OKButtonClick(); };
  CancelButton.SetCaption("Cancel");
  CancelButton.OnClick = [this] { CancelButtonClick(); };
  HelpButton.SetCaption("&Help");
  HelpButton.OnClick = [this] { HelpButtonClick(); };
  Grid.OnControlKey = [](TKelvarisGrid& grid, int& key, unsigned) {
    if (key == 'C') grid.CopySelected(false);
    if (key == 'V') grid.PasteSelected();
  };
}

void TReorderDialog::Fill(const std::vector<TCurveInfo>& info) {
  const int n = static_cast<int>(info.size());
  Grid.ClearSelection();
  Grid.SetRowCount(n + 1);
  Grid.ClearAll();
  const char* headers[kColumns] = {"Curve", "Old Inj", "Old Fc", "New Inj", "New Fc"};
  for (int c = 0; c < kColumns; ++c) Grid.SetCell(c, 0, headers[c]);
  for (int c = 0; c < n; ++c) {
    const std::string inj = std::to_string(info[c].Injection);
    const std::string fc = std::to_string(info[c].FlowCell);
    Grid.SetCell(colCurve, c + 1, std::to_string(c + 1));
    Grid.SetCell(colOldInj, c + 1, inj);
    Grid.SetCell(colOldFc, c + 1, fc);
    Grid.SetCell(colNewInj, c + 1, inj);
    Grid.SetCell(colNewFc, c + 1, fc);
  }
  mayClose_ = true;
}

int TReorderDialog::NewInjection(int curve) const { return ReadWholeNumber(Grid.Cell(colNewInj, curve + 1)); }
int TReorderDialog::NewFlowCell(int curve) const { return ReadWholeNumber(Grid.Cell(colNewFc, curve + 1)); }

std::string TReorderDialog::Validate() const {
  const int n = Grid.RowCount() - 1;
  int highest = 0;
  for (int c = 0; c < n; ++c) {
    const std::string& label = Grid.Cell(colCurve, c + 1);
    if (NewInjection(c) < 1) return "Invalid inj num for curve " + label;
    const int fc = NewFlowCell(c);
    if (fc < 1 || fc > 4) return "Invalid fc num for curve " + label;
    highest = std::max(highest, NewInjection(c));
  }
  std::set<int> used;
  for (int c = 0; c < n; ++c) used.insert(NewInjection(c));
  for (int k = 1; k <= highest; ++k)
    if (!used.count(k)) return "Inj not used: " + std::to_string(k);
  // The first row, in row order, that another row repeats, with the
  // earliest of its repeats.
  std::map<std::pair<int, int>, std::vector<int>> rowsOf;
  for (int c = 0; c < n; ++c) rowsOf[{NewInjection(c), NewFlowCell(c)}].push_back(c);
  int first = n, second = n;
  for (const auto& [pair, rows] : rowsOf)
    if (rows.size() > 1 && rows[0] < first) {
      first = rows[0];
      second = rows[1];
    }
  if (first < n)
    return "Duplicate entries for curves " + Grid.Cell(colCurve, first + 1) + ", " + Grid.Cell(colCurve, second + 1);
  return "";
}

void TReorderDialog::OKButtonClick() {
  const std::string failure = Validate();
  mayClose_ = failure.empty();
  if (!mayClose_) ws_.MessageBox(failure, "Reorder error", MsgButtons::Ok, MsgIcon::None);
}

void TReorderDialog::CancelButtonClick() { mayClose_ = true; }

void TReorderDialog::HelpButtonClick() { ws_.ShowHelp("Kelvaris2.chm", "dialogs/reorder_dialog.htm"); }

}  // namespace kelvaris

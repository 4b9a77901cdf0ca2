// The grid's table commands: clear, copy, paste and fill of the selection.
#include <algorithm>
#include <cctype>

#include "table/kelvaris_grid.h"

namespace kelvaris {

namespace {

bool IsLetter(char ch) { return std::isalpha(static_cast<unsigned char>(ch)) != 0; }

// The text of a cell as it goes to the clipboard: markup left out, and the
// uncertainty in brackets too when asked ("1.23(5)e-3" -> "1.23e-3"), unless
// the brackets hold letters, as units do ("(RU)").
std::string CopyText(std::string text, bool dataCell, bool withoutUncertainties) {
  if (auto caret = text.find('^'); caret != std::string::npos) text.erase(caret, 1);
  if (auto bold = text.find('\x08'); bold != std::string::npos) text.erase(bold, 1);
  if (text.find('|') != std::string::npos) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '|')
        ++i;  // the markup letter goes with it
      else
        plain.push_back(text[i]);
    }
    text = std::move(plain);
  }
  if (!dataCell || !withoutUncertainties) return text;
  const auto open = text.find('(');
  if (open == std::string::npos) return text;
  const auto close = text.find(')', open + 1);
  if (close == std::string::npos) return text;
  if (std::any_of(text.begin() + open + 1, text.begin() + close, IsLetter)) return text;
  return text.substr(0, open) + text.substr(close + 1);
}

// Printable 8-bit characters: everything from the space on except DEL.
bool Printable(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  return u >= 0x20 && u != 0x7F;
}

}  // namespace

void TKelvarisGrid::FinishCommand() {
  if (OnWordChange) OnWordChange(*this);
  wordChangePending_ = false;
  changed_ = true;
  Notify();
}

void TKelvarisGrid::ClearSelected() {
  bool any = false;
  for (int c = fixedCols_; c < cols_; ++c) {
    if (GetReadOnlyCol(c)) continue;
    for (int r = fixedRows_; r < rows_; ++r) {
      if (!GetSelected(c, r) || GetBlocked(c, r)) continue;
      any = true;
      const std::string old = Cell(c, r);
      ChangeCell(c, r, old, "");
      SetFlag(c, r, gfFitFixed, false);
    }
  }
  if (any) FinishCommand();
}

std::string TKelvarisGrid::SelectionText(bool withoutUncertainties) const {
  int c1 = cols_, r1 = rows_, c2 = -1, r2 = -1;
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c)
      if (GetSelected(c, r)) {
        c1 = std::min(c1, c);
        r1 = std::min(r1, r);
        c2 = std::max(c2, c);
        r2 = std::max(r2, r);
      }
  if (c2 < 0) {
    c1 = 0;
    r1 = 0;
    c2 = cols_ - 1;
    r2 = rows_ - 1;
  }
  std::string out;
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) {
      if (c > c1) out.push_back('\t');
      if (GetBlocked(c, r))
        out += "---";
      else
        out += CopyText(Cell(c, r), r >= 1 && c >= 1, withoutUncertainties);
    }
    out.push_back('\n');
  }
  return out;
}

void TKelvarisGrid::CopySelected(bool withoutUncertainties) { ws_.SetClipboardText(SelectionText(withoutUncertainties)); }

void TKelvarisGrid::PasteText(const std::string& text) {
  // The origin: the top row and the left column of the selection.
  int originCol = cols_, originRow = rows_;
  bool selection = false;
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c)
      if (GetSelected(c, r)) {
        selection = true;
        originCol = std::min(originCol, c);
        originRow = std::min(originRow, r);
      }
  if (!selection) originCol = originRow = 0;

  auto place = [&](int field, int line, const std::string& value) {
    const int c = originCol + field, r = originRow + line;
    if (!InGrid(c, r) || IsFixed(c, r) || GetReadOnlyCol(c) || GetBlocked(c, r)) return;
    if (selection && !GetSelected(c, r)) return;
    const std::string old = Cell(c, r);
    ChangeCell(c, r, old, value);
  };

  std::string value;
  int field = 0, line = 0;
  for (char ch : text) {
    if (ch == '\t' || ch == '\n') {
      place(field, line, value);
      value.clear();
      if (ch == '\t') {
        ++field;
      } else {
        field = 0;
        ++line;
      }
    } else if (Printable(ch)) {
      value.push_back(ch);
    }
  }
  // A last field without a TAB or LF after it still counts.
  if (!value.empty()) place(field, line, value);
  FinishCommand();
}

void TKelvarisGrid::PasteSelected() { PasteText(ws_.ClipboardText()); }

void TKelvarisGrid::FillDown() {
  int sourceCol = -1, sourceRow = -1;
  for (int c = 0; c < cols_ && sourceCol < 0; ++c)
    for (int r = 0; r < rows_; ++r)
      if (GetSelected(c, r) && !GetBlocked(c, r)) {
        sourceCol = c;
        sourceRow = r;
        break;
      }
  if (sourceCol < 0) return;
  const std::string source = Cell(sourceCol, sourceRow);
  for (int c = 0; c < cols_; ++c)
    for (int r = 0; r < rows_; ++r) {
      if ((c == sourceCol && r == sourceRow) || !GetSelected(c, r) || GetBlocked(c, r)) continue;
      const std::string old = Cell(c, r);
      ChangeCell(c, r, old, source);
    }
  FinishCommand();
}

}  // namespace kelvaris

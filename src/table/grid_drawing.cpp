// How the grid draws its cells: a 14-colour scheme for the fill and the
// bevelled edges, the cell text in the colour its flags call for, a little
// markup for subscripts, superscripts and bold, tick pictures and radio
// buttons.
#include <algorithm>
#include <array>

#include "table/kelvaris_grid.h"

namespace kelvaris {

namespace {

using Scheme = std::array<Colour, 14>;

constexpr Colour kSelectedFill = 0xFF0000;   // blue
constexpr Colour kReadOnlyFill = 0xF0FFFF;   // light yellow
constexpr Colour kTintedFill = 0xFFF0E0;      // light blue: a column whose header begins with "@"
constexpr Colour kFitFixedSelected = 0x8080FF;  // pink
constexpr Colour kFitFixedText = 0x0000FF;      // red

using namespace colours;

// 0 fill; 1-5 top edge; 6 left; 7 right; 8-12 bottom; 13 inner right.
constexpr Scheme kNormalScheme = {Window, Black, Black, ButtonShadow, Black, ButtonFace, ButtonShadow,
                                  ButtonFace, ButtonShadow, ButtonShadow, ButtonFace, ButtonShadow, Window,
                                  Window};
constexpr Scheme kFixedScheme = {ButtonFace, Black, Black, Black, Black, ButtonFace, Black,
                                 Window, Black, ButtonShadow, Window, ButtonShadow, Window, ButtonFace};

Font BaseFont() { return Font{}; }

Scheme CellScheme(const TKelvarisGrid& g, int col, int row) {
  const bool fixedLook = col < g.FixedCols() || row < g.FixedRows() || g.GetBlocked(col, row) ||
                         g.GetHidden(col, row) || g.GetRadioCol(col) || !g.Enabled();
  Scheme s = fixedLook ? kFixedScheme : kNormalScheme;
  const bool tinted = row >= g.FixedRows() && g.InGrid(col, 0) && !g.Cell(col, 0).empty() && g.Cell(col, 0)[0] == '@';
  if (g.GetSelected(col, row)) {
    s[0] = s[13] = fixedLook ? ButtonShadow : kSelectedFill;
  } else if (tinted && !fixedLook) {
    s[0] = s[13] = kTintedFill;
  } else if (g.GetReadOnlyCol(col)) {
    s[0] = s[13] = kReadOnlyFill;
  }
  if (!fixedLook && col == g.ColCount() - 1) {
    s[5] = s[12] = s[13] = ButtonFace;
    s[7] = Window;
  }
  return s;
}

// The text without "|" and the character after each.
std::string WithoutMarkup(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '|')
      ++i;
    else
      plain.push_back(text[i]);
  }
  return plain;
}

// The text as shown and the font to show it in: a leading 0x08 makes it
// bold, a leading "!" (on an ordinary fill) silver.
void TextLook(const TKelvarisGrid& g, int col, int row, const Scheme& s, std::string& text, Font& font) {
  font = BaseFont();
  text = g.Cell(col, row);
  if (!text.empty() && text[0] == '\x08') {
    font.style = fsBold;
    text.erase(0, 1);
  }
  // A header's leading "@" only tints its column.
  if (row < g.FixedRows() && !text.empty() && text[0] == '@') text.erase(0, 1);
  const bool fitFixed = g.GetFitFixed(col, row);
  const Colour disabledOr = g.Enabled() ? Black : ButtonShadow;
  if (g.GetHidden(col, row)) {
    font.colour = Black;
  } else if (s[0] == kSelectedFill) {
    font.colour = fitFixed ? kFitFixedSelected : White;
  } else if (s[0] == ButtonShadow) {
    font.colour = White;
  } else if (!text.empty() && text[0] == '!') {
    font.colour = Silver;
    text.erase(0, 1);
  } else if (fitFixed) {
    font.colour = g.Enabled() ? kFitFixedText : ButtonShadow;
  } else {
    font.colour = disabledOr;
  }
}

void Pixels(Canvas& canvas, int x1, int x2, int y, Colour colour) {
  if (x2 < x1) return;
  Pen pen;
  pen.colour = colour;
  canvas.SetPen(pen);
  canvas.MoveTo(x1, y);
  canvas.LineTo(x2 + 1, y);  // a line leaves out its last pixel
}

void Column(Canvas& canvas, int x, int y1, int y2, Colour colour) {
  if (y2 < y1) return;
  Pen pen;
  pen.colour = colour;
  canvas.SetPen(pen);
  canvas.MoveTo(x, y1);
  canvas.LineTo(x, y2 + 1);
}

void Edges(Canvas& canvas, const Rect& r, const Scheme& s) {
  const int L = r.left, T = r.top, R = r.right, B = r.bottom;
  auto horizontal = [&](int y, int first) {
    Pixels(canvas, L, L, y, s[first]);
    Pixels(canvas, L + 1, L + 1, y, s[first + 1]);
    Pixels(canvas, L + 2, R - 2, y, s[first + 2]);
    Pixels(canvas, R - 1, R - 1, y, s[first + 3]);
    Pixels(canvas, R, R, y, s[first + 4]);
  };
  horizontal(T, 1);
  Column(canvas, L, T + 1, B - 1, s[6]);
  Column(canvas, R, T + 1, B - 1, s[7]);
  horizontal(B, 8);
  Column(canvas, R - 1, T + 1, B - 1, s[13]);
}

void ButtonFrame(Canvas& canvas, const Rect& r, bool pressed) {
  const int L = r.left, T = r.top, R = r.right, B = r.bottom;
  const Colour first = pressed ? Black : White;
  const Colour second = pressed ? ButtonShadow : Black;
  const Colour third = pressed ? White : ButtonShadow;
  Pen pen;
  pen.colour = first;
  canvas.SetPen(pen);
  canvas.MoveTo(L + 3, B - 1);
  canvas.LineTo(L + 3, T + 2);
  canvas.LineTo(R - 2, T + 2);
  pen.colour = second;
  canvas.SetPen(pen);
  canvas.LineTo(R - 2, B - 1);
  canvas.LineTo(L + 3, B - 1);
  pen.colour = third;
  canvas.SetPen(pen);
  canvas.MoveTo(L + 3, B - 2);
  canvas.LineTo(R - 3, B - 2);
  canvas.LineTo(R - 3, T + 2);
}

// A 16 x 16 tick: a dark three-pixel-thick check mark on white, or on the
// selection blue.
void DrawTick(Canvas& canvas, int x, int y, bool selected) {
  auto bitmap = canvas.CreateBitmap(16, 16);
  if (!bitmap) return;
  Canvas& s = bitmap->Surface();
  const Colour ground = selected ? kSelectedFill : White;
  s.SetPen(Pen{ground});
  s.SetBrush(Brush{ground});
  s.FillRect(Rect{0, 0, 16, 16});
  s.SetPen(Pen{Rgb(0, 0, 0)});
  for (int d = 0; d < 3; ++d) {
    s.MoveTo(3, 7 + d);
    s.LineTo(6, 10 + d);
    s.LineTo(13, 3 + d);
  }
  canvas.DrawBitmap(x, y, *bitmap);
}

Font Smaller(const Font& base, int points) {
  Font f = base;
  f.name = "Arial";
  f.size = std::max(1, base.size - points);
  f.height = 0;
  return f;
}

// Text with "|s" (subscript) and "|p" (superscript) switches.
void DrawMarkedUp(Canvas& canvas, const std::string& text, int x, int y, const Font& font) {
  bool sub = false, super = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '|' && next == 's') {
      sub = !sub;
      if (sub) {
        canvas.SetFont(Smaller(font, 1));
        x += 1;
        y += 3;
      } else {
        canvas.SetFont(font);
        y -= 3;
      }
      ++i;
    } else if (text[i] == '|' && next == 'p') {
      super = !super;
      if (super) {
        canvas.SetFont(Smaller(font, 2));
        x += 1;
        y -= 3;
      } else {
        canvas.SetFont(font);
        y += 3;
      }
      ++i;
    } else {
      const std::string ch(1, text[i]);
      canvas.TextOut(x, y, ch);
      x += canvas.TextWidth(ch);
    }
  }
  if (sub || super) canvas.SetFont(font);
}

}  // namespace

int TKelvarisGrid::MeasureCell(Canvas& canvas, int col, int row, std::string& text) {
  Font font;
  TextLook(*this, col, row, CellScheme(*this, col, row), text, font);
  canvas.SetFont(font);
  return canvas.TextWidth(WithoutMarkup(text));
}

// Columns only grow, to the text's full width with room either side.
void TKelvarisGrid::GrowColumn(int col, int textWidth) {
  if (autoWidth_ && ColWidth(col) < textWidth + 15) SetColWidth(col, textWidth + 15);
}

void TKelvarisGrid::Paint(Canvas& canvas) {
  // Widen first, so that every cell is drawn where it ends up.
  if (autoWidth_) {
    std::string text;
    for (int r = 0; r < rows_; ++r)
      for (int c = 0; c < cols_; ++c)
        if (!Cell(c, r).empty() && !GetBlocked(c, r)) GrowColumn(c, MeasureCell(canvas, c, r, text));
  }
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c) DrawCell(canvas, c, r, CellRect(c, r));
  // Past the last column and row: the grid's own button-face colour.
  const int w = TotalWidth(), h = TotalHeight();
  canvas.SetBrush(Brush{colours::ButtonFace});
  if (canvas.Width() > w) canvas.FillRect(Rect{w, 0, canvas.Width(), std::max(h, canvas.Height())});
  if (canvas.Height() > h) canvas.FillRect(Rect{0, h, std::min(w, canvas.Width()), canvas.Height()});
  canvas.SetFont(BaseFont());
}

void TKelvarisGrid::DrawCell(Canvas& canvas, int col, int row, const Rect& rect) {
  if (!InGrid(col, row)) return;
  const Scheme s = CellScheme(*this, col, row);
  canvas.SetPen(Pen{s[0]});
  canvas.SetBrush(Brush{s[0]});
  canvas.Rectangle(rect);

  if (!Cell(col, row).empty() && !GetBlocked(col, row)) {
    std::string text;
    const int fullWidth = MeasureCell(canvas, col, row, text);
    const Font font = canvas.GetFont();
    canvas.SetBrush(Brush{s[0], BrushStyle::Clear});
    const int w = std::min(fullWidth, rect.Width() - 4);
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + rect.bottom) / 2;
    const int x = cx - w / 2;
    const int y = cy - canvas.TextHeight(text) / 2;
    GrowColumn(col, fullWidth);

    canvas.SetClip(rect);
    if (GetTickCol(col) && row >= fixedRows_) {
      DrawTick(canvas, cx - 8, cy - 8, GetSelected(col, row));
    } else if (text.find('^') != std::string::npos) {
      const std::string first = text.substr(0, 1);
      canvas.TextOut(x, y - 1, first);
      const int firstWidth = canvas.TextWidth(first);
      if (text.size() > 2) {
        canvas.SetFont(Smaller(font, 1));
        canvas.TextOut(x + firstWidth, y + 2, text.substr(2));
        canvas.SetFont(font);
      }
    } else if (text.find('|') != std::string::npos) {
      DrawMarkedUp(canvas, text, x, y, font);
    } else if (GetRadioCol(col) && row >= fixedRows_) {
      const int d = GetButtonDown(col, row) ? 1 : -1;
      canvas.TextOut(x + d, y + d, text);
    } else {
      canvas.TextOut(x, y, text);
    }
    canvas.RemoveClip();
    Font plain = canvas.GetFont();
    plain.style = fsNone;
    canvas.SetFont(plain);
  }

  Edges(canvas, rect, s);
  if (GetRadioCol(col) && row >= fixedRows_) ButtonFrame(canvas, rect, GetButtonDown(col, row));
}

}  // namespace kelvaris

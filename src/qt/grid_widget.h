// The Qt view of a TKelvarisGrid: it paints the grid through a
// QPainterCanvas, hands mouse, key and focus events to the grid in its own
// terms (pixels, virtual key codes, shift states) and repaints whenever the
// grid notifies. Typing or a double click opens a line edit over the cursor
// cell while the grid allows editing; every change of its text goes to the
// grid, which spreads it over the selection.
#pragma once

#include <QPointer>
#include <QWidget>

#include "table/kelvaris_grid.h"

class QLineEdit;

namespace kelvaris::qt {

class GridWidget : public QWidget {
  Q_OBJECT

 public:
  // The grid must outlive the widget, or Release() must be called first.
  explicit GridWidget(TKelvarisGrid& grid, QWidget* parent = nullptr);
  ~GridWidget() override;

  TKelvarisGrid* Grid() const { return grid_; }
  // Stops following the grid; the widget then shows nothing new.
  void Release();
  // The in-place editor while it is shown; null otherwise.
  QLineEdit* Editor() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return QSize(0, 0); }

  // The grid's key code for a Qt key (letters as upper-case characters);
  // 0 for keys the grid has no code for.
  static int GridKeyFor(int qtKey);
  static unsigned ShiftFor(Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FromGrid();
  // Opens the line edit on the grid's cursor cell; `typed` replaces the
  // cell's text, or the text is kept when it is null.
  bool StartEditing(const QString* typed);
  void StopEditing();
  void PlaceEditor();
  // Whether losing the focus to `reason` and `next` leaves the grid.
  bool LeavesGrid(Qt::FocusReason reason, QWidget* next) const;

  TKelvarisGrid* grid_;
  int observer_ = 0;
  QPointer<QLineEdit> editor_;
  bool syncing_ = false;
  QSize lastSize_;
};

}  // namespace kelvaris::qt

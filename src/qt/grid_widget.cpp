#include "qt/grid_widget.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "qt/qpainter_canvas.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

namespace {

bool Typable(const QString& text) {
  if (text.isEmpty()) return false;
  for (QChar ch : text)
    if (!ch.isPrint()) return false;
  return true;
}

}  // namespace

GridWidget::GridWidget(TKelvarisGrid& grid, QWidget* parent) : QWidget(parent), grid_(&grid) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  observer_ = grid_->Observe([this](Control&) { FromGrid(); });
  lastSize_ = sizeHint();
  setEnabled(grid_->Enabled());
}

GridWidget::~GridWidget() { Release(); }

void GridWidget::Release() {
  if (!grid_) return;
  grid_->Unobserve(observer_);
  grid_ = nullptr;
  if (editor_) {
    editor_->removeEventFilter(this);
    editor_->deleteLater();
    editor_ = nullptr;
  }
}

QLineEdit* GridWidget::Editor() const { return editor_.data(); }

QSize GridWidget::sizeHint() const {
  if (!grid_) return QSize(0, 0);
  return QSize(grid_->TotalWidth(), grid_->TotalHeight());
}

int GridWidget::GridKeyFor(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return vkReturn;
    case Qt::Key_Left: return vkLeft;
    case Qt::Key_Up: return vkUp;
    case Qt::Key_Right: return vkRight;
    case Qt::Key_Down: return vkDown;
    case Qt::Key_Delete: return vkDelete;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Space: return 0x20;
    // Punctuation has its own desktop codes, which must not be taken for
    // the arrows and Delete that share their character values.
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Slash: return 0xBF;
    default: break;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 0x70 + (qtKey - Qt::Key_F1);
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) return qtKey;
  if (qtKey > 0x20 && qtKey <= 0xFF) return 0xDF;  // any other character key
  return 0;
}

unsigned GridWidget::ShiftFor(Qt::KeyboardModifiers modifiers) {
  unsigned shift = ssNone;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

void GridWidget::FromGrid() {
  if (!grid_) return;
  setEnabled(grid_->Enabled());
  const QSize size = sizeHint();
  if (size != lastSize_) {
    lastSize_ = size;
    updateGeometry();
  }
  if (editor_ && !grid_->EditorOpen() && !syncing_) StopEditing();
  if (editor_) PlaceEditor();
  update();
}

void GridWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!grid_) {
    painter.fillRect(rect(), ToQColor(colours::ButtonFace));
    return;
  }
  QPainterCanvas canvas(painter);
  grid_->Paint(canvas);
}

namespace {

bool ToGridButton(Qt::MouseButton qt, MouseButton& button) {
  switch (qt) {
    case Qt::LeftButton: button = MouseButton::Left; return true;
    case Qt::RightButton: button = MouseButton::Right; return true;
    case Qt::MiddleButton: button = MouseButton::Middle; return true;
    default: return false;
  }
}

}  // namespace

void GridWidget::mousePressEvent(QMouseEvent* event) {
  MouseButton button;
  if (!grid_ || !ToGridButton(event->button(), button)) return QWidget::mousePressEvent(event);
  // Taking the focus first closes an open editor.
  setFocus(Qt::MouseFocusReason);
  const QPoint p = event->position().toPoint();
  grid_->MouseDown(button, ShiftFor(event->modifiers()), p.x(), p.y());
  event->accept();
}

void GridWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!grid_) return;
  const QPoint p = event->position().toPoint();
  grid_->MouseMove(ShiftFor(event->modifiers()), p.x(), p.y());
}

void GridWidget::mouseReleaseEvent(QMouseEvent* event) {
  MouseButton button;
  if (!grid_ || !ToGridButton(event->button(), button)) return QWidget::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  grid_->MouseUp(button, ShiftFor(event->modifiers()), p.x(), p.y());
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!grid_ || event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  if (grid_->EditingAllowed()) StartEditing(nullptr);
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
  if (!grid_) return QWidget::keyPressEvent(event);
  int key = GridKeyFor(event->key());
  const unsigned shift = ShiftFor(event->modifiers());
  if (key == 0 && !Typable(event->text())) return QWidget::keyPressEvent(event);
  if (key != 0) {
    grid_->KeyDown(key, shift);
    if (!grid_) return;  // a handler released the widget
    if (key == 0) return event->accept();
  }
  if (shift & (ssCtrl | ssAlt)) return event->accept();
  if (key == 0x71 /* F2 */ && grid_->EditingAllowed()) {
    StartEditing(nullptr);
  } else if (Typable(event->text()) && grid_->EditingAllowed()) {
    const QString typed = event->text();
    StartEditing(&typed);
  }
  event->accept();
}

bool GridWidget::LeavesGrid(Qt::FocusReason reason, QWidget* next) const {
  // A pop-up menu or another window taking the focus leaves the selection
  // alone, so that a menu command still sees it.
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
  return next != this && (!editor_ || next != editor_.data());
}

void GridWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (grid_ && LeavesGrid(event->reason(), QApplication::focusWidget())) grid_->FocusLost();
}

bool GridWidget::StartEditing(const QString* typed) {
  if (!grid_ || !grid_->OpenEditor()) return false;
  if (!editor_) {
    editor_ = new QLineEdit(this);
    editor_->setFrame(false);
    editor_->setAlignment(Qt::AlignCenter);
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
      if (grid_ && !syncing_) grid_->EditorText(FromQString(text));
    });
  }
  const int col = grid_->CursorCol(), row = grid_->CursorRow();
  syncing_ = true;
  editor_->setText(typed ? *typed : ToQString(grid_->Cell(col, row)));
  syncing_ = false;
  PlaceEditor();
  editor_->show();
  editor_->setFocus(Qt::OtherFocusReason);
  editor_->end(false);
  // What was typed replaces the cell's text, as if the editor had been
  // open for the key.
  if (typed) grid_->EditorText(FromQString(*typed));
  return true;
}

void GridWidget::StopEditing() {
  if (!editor_) return;
  QLineEdit* editor = editor_;
  editor_ = nullptr;
  const bool hadFocus = editor->hasFocus();
  editor->removeEventFilter(this);
  editor->hide();
  editor->deleteLater();
  if (hadFocus) setFocus(Qt::OtherFocusReason);
  if (grid_) {
    syncing_ = true;
    grid_->CloseEditor();
    syncing_ = false;
  }
}

void GridWidget::PlaceEditor() {
  if (!editor_ || !grid_) return;
  const Rect r = grid_->CellRect(grid_->CursorCol(), grid_->CursorRow());
  editor_->setGeometry(r.left + 1, r.top + 1, std::max(1, r.Width() - 2), std::max(1, r.Height() - 2));
}

bool GridWidget::eventFilter(QObject* watched, QEvent* event) {
  if (!editor_ || watched != editor_.data() || !grid_) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (keyEvent->key() == Qt::Key_Escape) {
      StopEditing();
      return true;
    }
    int key = GridKeyFor(keyEvent->key());
    if (key == 0) return false;
    // The grid sees every key typed into its editor.
    grid_->KeyDown(key, ShiftFor(keyEvent->modifiers()));
    if (!grid_) return true;
    if (key == 0 || key == vkReturn) {
      StopEditing();
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
    QWidget* next = QApplication::focusWidget();
    StopEditing();
    if (grid_ && next != this) grid_->FocusLost();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kelvaris::qt

// Binders keep a Qt widget in step with a control model: a change of the
// model (value, items, caption, hint, enabled, visible) is shown by the
// widget, and what the user does to the widget goes to the model as the
// user's action (UserSetText, UserClick, UserSelect, Click, ...). A change
// the binder applies to the widget never comes back as a user action.
//
// A binder is a child of the widget (or action, or menu) it binds and ends
// with it. It holds the model by reference, so a model must outlive its
// widgets, or the bindings must be released first: a window whose members
// own the models calls ReleaseBindings(this) at the start of its destructor.
#pragma once

#include <QObject>

#include "platform/controls.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabBar;
class QTabWidget;
class QToolButton;
class QWidget;

namespace kelvaris::qt {

class ControlBinder : public QObject {
  Q_OBJECT

 public:
  ControlBinder(Control& model, QObject* target);
  ~ControlBinder() override;

  // The bound model; null once released.
  Control* Model() const { return model_; }
  // Stops following the model; the widget keeps what it shows.
  void Release();

 protected:
  // Starts following the model and shows its present state.
  void Start();
  // Shows the model's state in the widget.
  virtual void Apply() = 0;
  // Runs a user action on the model, then shows the model's state again
  // (the model may have refused or changed the value).
  template <typename Action>
  void FromUser(Action action);

  bool applying() const { return applying_; }
  // Applies the model under the guard that keeps widget signals from being
  // taken as the user's.
  void Refresh();

 private:
  Control* model_;
  int observer_ = 0;
  bool applying_ = false;
};

// Releases every binder of `root` and of its descendants.
void ReleaseBindings(QObject* root);

ControlBinder* Bind(EditBox& model, QLineEdit* edit);
// A memo: the box's text, lines separated by '\n'.
ControlBinder* Bind(EditBox& model, QPlainTextEdit* memo);
ControlBinder* Bind(CheckBox& model, QCheckBox* box);
// Makes one radio button per item in the group box (in its layout, or in a
// new vertical layout).
ControlBinder* Bind(RadioGroup& model, QGroupBox* group);
// Also for ListBox, which is a ComboBox.
ControlBinder* Bind(ComboBox& model, QComboBox* combo);
ControlBinder* Bind(UpDown& model, QSpinBox* spin);
ControlBinder* Bind(Action& model, QAction* action);
// Binds the button's default action, made for it when it has none.
ControlBinder* Bind(Action& model, QToolButton* button);
// A push button pressed is the action clicked; the button shows its caption.
ControlBinder* Bind(Action& model, QPushButton* button);
// Tabs follow the model's pages; missing tabs get empty pages. A mouse
// press on another tab asks the model first; any other change of tab the
// model refuses is undone.
ControlBinder* Bind(PageControl& model, QTabWidget* tabs);
// The same for a bare tab bar, whose tab count follows the model's pages.
ControlBinder* Bind(PageControl& model, QTabBar* bar);
ControlBinder* Bind(Label& model, QLabel* label);
ControlBinder* Bind(Panel& model, QWidget* panel);
// The menu's items are built when it opens (Menu::Popup) and after every
// change of the model; choosing one calls Menu::Choose.
ControlBinder* Bind(Menu& model, QMenu* menu);
ControlBinder* Bind(ProgressBar& model, QProgressBar* bar);

}  // namespace kelvaris::qt

#include "qt/graph_props_window.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt/control_binders.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

namespace {

QLineEdit* MakeEdit(EditBox& model, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(ToQString(model.Name()));
  Bind(model, edit);
  return edit;
}

QCheckBox* MakeCheck(CheckBox& model, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(ToQString(model.Name()));
  Bind(model, box);
  return box;
}

QGroupBox* MakeRadio(RadioGroup& model, QWidget* parent) {
  auto* group = new QGroupBox(parent);
  group->setObjectName(ToQString(model.Name()));
  Bind(model, group);
  return group;
}

QPushButton* MakeButton(Action& model, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(ToQString(model.Name()));
  Bind(model, button);
  return button;
}

// A row of a form: the box's caption, then the box.
void AddRow(QFormLayout* form, EditBox& model, QWidget* parent) {
  form->addRow(ToQString(model.Caption()), MakeEdit(model, parent));
}

// A group of check boxes side by side.
QHBoxLayout* CheckRow(QWidget* parent, std::initializer_list<CheckBox*> boxes) {
  auto* row = new QHBoxLayout;
  for (CheckBox* box : boxes) row->addWidget(MakeCheck(*box, parent));
  row->addStretch(1);
  return row;
}

}  // namespace

GraphPropsWindow::GraphPropsWindow(TGraphPropsDialog& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(ToQString(model.Form.Name()));
  setWindowTitle(ToQString(model.Form.Caption()));
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(ToQString(model.Pages.Name()));
  tabs_->addTab(ScalePage(), QString());
  tabs_->addTab(LabelsPage(), QString());
  tabs_->addTab(InsetPage(), QString());
  tabs_->addTab(FontPage(), QString());
  tabs_->addTab(LinesPage(), QString());
  tabs_->addTab(CopyPage(), QString());
  Bind(model.Pages, tabs_);
  layout->addWidget(tabs_, 1);

  auto* buttons = new QHBoxLayout;
  QPushButton* ok = MakeButton(model.OKButton, this);
  ok->setDefault(true);
  QPushButton* cancel = MakeButton(model.CancelButton, this);
  QPushButton* all = MakeButton(model.ApplyAllButton, this);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(all);
  layout->addLayout(buttons);
  // The binders have told the model first.
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(all, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

GraphPropsWindow::~GraphPropsWindow() { ReleaseBindings(this); }

QWidget* GraphPropsWindow::ScalePage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* x = new QGroupBox("X axis", page);
  auto* xForm = new QFormLayout(x);
  xForm->addRow(MakeCheck(model_.AutoXCheck, x));
  xForm->addRow(MakeCheck(model_.LogCheck, x));
  AddRow(xForm, model_.XMinBox, x);
  AddRow(xForm, model_.XMaxBox, x);
  auto* y = new QGroupBox("Y axis", page);
  auto* yForm = new QFormLayout(y);
  yForm->addRow(MakeCheck(model_.AutoYCheck, y));
  AddRow(yForm, model_.YMinBox, y);
  AddRow(yForm, model_.YMaxBox, y);
  layout->addWidget(x);
  layout->addWidget(y);
  layout->addStretch(1);
  return page;
}

QWidget* GraphPropsWindow::LabelsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* titles = new QFormLayout;
  AddRow(titles, model_.XTitleBox, page);
  AddRow(titles, model_.YTitleBox, page);
  titles->addRow(MakeCheck(model_.TitleCheck, page));
  layout->addLayout(titles);
  QGroupBox* legend = MakeRadio(model_.LegendGroup, page);
  layout->addWidget(legend);
  layout->addLayout(CheckRow(page, {&model_.LegendLeftCheck, &model_.LegendTopCheck, &model_.LegendBoxCheck}));
  auto* labels = new QFormLayout;
  AddRow(labels, model_.AngleBox, page);
  auto* templateRow = new QHBoxLayout;
  QLineEdit* templateBox = MakeEdit(model_.TemplateBox, page);
  templateBox->setMaxLength(static_cast<int>(kMaxLabelTemplate));
  auto* hint = new QLabel(page);
  hint->setObjectName(ToQString(model_.TemplateHint.Name()));
  Bind(model_.TemplateHint, hint);
  templateRow->addWidget(templateBox, 1);
  templateRow->addWidget(hint);
  labels->addRow(ToQString(model_.TemplateBox.Caption()), templateRow);
  layout->addLayout(labels);
  layout->addStretch(1);
  return page;
}

QWidget* GraphPropsWindow::InsetPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(ToQString(model_.InsetMemo.Caption()), page));
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName(ToQString(model_.InsetMemo.Name()));
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Bind(model_.InsetMemo, memo);
  layout->addWidget(memo, 1);
  layout->addLayout(CheckRow(page, {&model_.InsetLeftCheck, &model_.InsetTopCheck, &model_.InsetBoxCheck}));
  layout->addLayout(CheckRow(
      page, {&model_.InsetKDCheck, &model_.InsetKaCheck, &model_.InsetKdCheck, &model_.InsetKmCheck}));
  return page;
}

QWidget* GraphPropsWindow::FontPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeRadio(model_.FontGroup, page));
  auto* row = new QHBoxLayout;
  row->addWidget(MakeButton(model_.FontButton, page));
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(1);
  return page;
}

QWidget* GraphPropsWindow::LinesPage() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* widths = new QFormLayout;
  AddRow(widths, model_.AxisWidthBox, page);
  AddRow(widths, model_.CurveWidthBox, page);
  AddRow(widths, model_.ModelWidthBox, page);
  AddRow(widths, model_.PointScaleBox, page);
  left->addLayout(widths);
  for (CheckBox* box : {&model_.ShowPointsCheck, &model_.ShowCurveCheck, &model_.ZeroLinesCheck})
    left->addWidget(MakeCheck(*box, page));
  left->addStretch(1);
  layout->addLayout(left, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(MakeRadio(model_.ErrorGroup, page));
  right->addStretch(1);
  layout->addLayout(right);
  return page;
}

QWidget* GraphPropsWindow::CopyPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  AddRow(form, model_.CopyWidthBox, page);
  AddRow(form, model_.CopyHeightBox, page);
  layout->addLayout(form);
  layout->addStretch(1);
  return page;
}

ModalResult GraphPropsWindow::Run() {
  return exec() == QDialog::Accepted ? ModalResult::Ok : ModalResult::Cancel;
}

void GraphPropsWindow::reject() {
  model_.CancelButtonClick();
  QDialog::reject();
}

}  // namespace kelvaris::qt

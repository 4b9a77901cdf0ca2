#include "qt/sample_pages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QPointer>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt/control_binders.h"
#include "qt/grid_widget.h"
#include "qt/plot_widget.h"
#include "qt/standard_graph_widget.h"
#include "qt/qt_text.h"

namespace kelvaris::qt {

namespace {

// A widget named after its control model and bound to it.
template <typename Widget, typename Model>
Widget* BoundTo(Model& model, QWidget* parent) {
  auto* widget = new Widget(parent);
  widget->setObjectName(ToQString(model.Name()));
  Bind(model, widget);
  return widget;
}

QSpinBox* SpinFor(UpDown& model, QWidget* parent) { return BoundTo<QSpinBox>(model, parent); }
QLineEdit* EditFor(EditBox& model, QWidget* parent) { return BoundTo<QLineEdit>(model, parent); }
QCheckBox* CheckFor(CheckBox& model, QWidget* parent) { return BoundTo<QCheckBox>(model, parent); }

QToolButton* ButtonFor(Action& model, QWidget* parent) {
  auto* button = BoundTo<QToolButton>(model, parent);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

}  // namespace

QWidget* GridArea(TKelvarisGrid& grid, QWidget* parent, GridWidget** widgetOut) {
  auto* area = new QScrollArea(parent);
  area->setObjectName(ToQString(grid.Name()) + "Area");
  area->setWidgetResizable(false);
  area->setFrameShape(QFrame::NoFrame);
  auto* widget = new GridWidget(grid, area);
  widget->setObjectName(ToQString(grid.Name()));
  area->setWidget(widget);
  QPointer<GridWidget> guard(widget);
  QPointer<QScrollArea> areaGuard(area);
  auto follow = [guard, areaGuard](Control& c) {
    if (!guard || !areaGuard) return;
    guard->resize(guard->sizeHint());
    areaGuard->setVisible(c.Visible());
  };
  const int id = grid.Observe(follow);
  follow(grid);
  // The grid outlives the view; stop following it when the area goes.
  QObject::connect(area, &QObject::destroyed, [&grid, id] { grid.Unobserve(id); });
  if (widgetOut) *widgetOut = widget;
  return area;
}

void ShowTableMenuFrom(TKelvarisGrid& grid, GridWidget* widget, QMenu* menu) {
  auto core = grid.OnContextMenu;
  QPointer<GridWidget> guard(widget);
  QPointer<QMenu> menuGuard(menu);
  grid.OnContextMenu = [core, guard, menuGuard](TKelvarisGrid& g, int x, int y) {
    if (core) core(g, x, y);
    if (guard && menuGuard) menuGuard->popup(guard->mapToGlobal(QPoint(x, y)));
  };
}

void BuildDataPage(TMainForm& form, QWidget* page, QListWidget* curveList, QMenu* tableMenu) {
  auto* layout = new QHBoxLayout(page);
  auto* controls = new QWidget(page);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Rows", SpinFor(form.RowUpDown, controls));
  boxes->addRow("Stock conc", EditFor(form.StockConcBox, controls));
  boxes->addRow("Dilution factor", EditFor(form.DilutionBox, controls));
  controls->setFixedWidth(200);
  layout->addWidget(controls, 0, Qt::AlignTop);

  auto* splitter = new QSplitter(Qt::Vertical, page);
  splitter->setObjectName("DataSplitter");
  splitter->addWidget(new PlotWidget(form.DataPlot, splitter));
  GridWidget* grid = nullptr;
  splitter->addWidget(GridArea(form.SampleGrid, splitter, &grid));
  ShowTableMenuFrom(form.SampleGrid, grid, tableMenu);
  curveList->setParent(splitter);
  splitter->addWidget(curveList);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setStretchFactor(2, 1);
  layout->addWidget(splitter, 1);
}

QWidget* StageGraphArea(QWidget* page) {
  for (QWidget* area : page->findChildren<QWidget*>("GraphArea", Qt::FindDirectChildrenOnly)) return area;
  return nullptr;
}

namespace {

// A processing page: the graphs above, the page's controls in a strip below.
QVBoxLayout* StagePageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  auto* area = new QWidget(page);
  area->setObjectName("GraphArea");
  auto* areaLayout = new QHBoxLayout(area);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(area, 1);
  return layout;
}

}  // namespace

void BuildCompoundPage(TMainForm& form, QWidget* page, QMenu* tableMenu) {
  auto* layout = new QHBoxLayout(page);
  auto* left = new QWidget(page);
  auto* column = new QVBoxLayout(left);

  auto* ligandLabel = new QLabel(left);
  ligandLabel->setObjectName("LigandLabel");
  Bind(form.LigandLabel, ligandLabel);
  column->addWidget(ligandLabel);
  auto* ligandRow = new QFormLayout();
  ligandRow->addRow("Number", SpinFor(form.LigandUpDown, left));
  column->addLayout(ligandRow);
  column->addWidget(GridArea(form.LigandGrid, left), 1);
  column->addWidget(ButtonFor(form.LigandColorButton, left));

  column->addWidget(new QLabel("Analytes", left));
  auto* analyteRow = new QFormLayout();
  analyteRow->addRow("Number", SpinFor(form.CompoundUpDown, left));
  column->addLayout(analyteRow);
  column->addWidget(GridArea(form.CompoundGrid, left), 2);
  column->addWidget(ButtonFor(form.AnalyteColorButton, left));
  left->setFixedWidth(260);
  layout->addWidget(left);

  // The right half: scaling above the analyte of every injection.
  auto* right = new QWidget(page);
  auto* rightColumn = new QVBoxLayout(right);
  rightColumn->setContentsMargins(0, 0, 0, 0);
  auto* scale = new QWidget(right);
  auto* scaleRow = new QHBoxLayout(scale);
  scaleRow->setContentsMargins(0, 0, 0, 0);
  scaleRow->addWidget(CheckFor(form.ScaleCheck, scale));
  QLineEdit* factor = EditFor(form.ScaleBox, scale);
  factor->setFixedWidth(80);
  scaleRow->addWidget(factor);
  scaleRow->addSpacing(16);
  scaleRow->addWidget(CheckFor(form.DivideMWCheck, scale));
  scaleRow->addStretch(1);
  rightColumn->addWidget(scale);
  GridWidget* grid = nullptr;
  rightColumn->addWidget(GridArea(form.InjAnalyteGrid, right, &grid), 1);
  ShowTableMenuFrom(form.InjAnalyteGrid, grid, tableMenu);
  layout->addWidget(right, 1);
}

namespace {

// A panel with a red bold "Warning" title over its message; hidden until
// the page has something to say.
QWidget* WarningPanel(Panel& panel, Label& message, QWidget* parent) {
  auto* box = new QFrame(parent);
  box->setObjectName(ToQString(panel.Name()));
  box->setFrameShape(QFrame::StyledPanel);
  auto* rows = new QVBoxLayout(box);
  auto* title = new QLabel("Warning", box);
  title->setStyleSheet("color: red; font-weight: bold;");
  rows->addWidget(title);
  auto* text = BoundTo<QLabel>(message, box);
  text->setWordWrap(true);
  rows->addWidget(text);
  box->setMaximumWidth(320);
  Bind(panel, box);
  return box;
}

}  // namespace

void BuildBlankPage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  layout->addWidget(BoundTo<QGroupBox>(form.BlankGroup, strip), 0, Qt::AlignTop);
  auto* buttons = new QWidget(strip);
  auto* column = new QVBoxLayout(buttons);
  for (Action* action : {&form.BlankRemoveButton, &form.BlankAddButton}) {
    auto* button = new QPushButton(buttons);
    button->setObjectName(QString::fromStdString(action->Name()));
    Bind(*action, button);
    column->addWidget(button);
  }
  layout->addWidget(buttons, 0, Qt::AlignTop);
  layout->addWidget(WarningPanel(form.BlankWarningPanel, form.BlankWarningLabel, strip), 0, Qt::AlignTop);
  layout->addStretch(1);
}

void BuildBoundPage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  auto* controls = new QWidget(strip);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Average from", EditFor(form.StartBoundBox, controls));
  boxes->addRow("to", EditFor(form.StopBoundBox, controls));
  boxes->addRow(CheckFor(form.BoundCheck, controls));
  controls->setFixedWidth(200);
  layout->addWidget(controls, 0, Qt::AlignTop);
  layout->addWidget(WarningPanel(form.BoundWarningPanel, form.BoundWarningLabel, strip), 0, Qt::AlignTop);
  layout->addStretch(1);
}

void BuildCropPage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  auto* controls = new QWidget(strip);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Start time", EditFor(form.StartCropBox, controls));
  boxes->addRow("Stop time", EditFor(form.StopCropBox, controls));
  boxes->addRow(CheckFor(form.CropCheck, controls));
  auto* reduce = new QGroupBox("Reduce point count", controls);
  auto* reduceRows = new QFormLayout(reduce);
  reduceRows->addRow(CheckFor(form.CropAverageCheck, reduce));
  reduceRows->addRow("seconds", EditFor(form.CropSecondsBox, reduce));
  boxes->addRow(reduce);
  controls->setFixedWidth(220);
  layout->addWidget(controls, 0, Qt::AlignTop);
  layout->addStretch(1);
}

void BuildZeroPage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  auto* controls = new QWidget(strip);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Average from", EditFor(form.StartZeroBox, controls));
  boxes->addRow("to", EditFor(form.StopZeroBox, controls));
  boxes->addRow(CheckFor(form.ZeroCheck, controls));
  controls->setFixedWidth(200);
  layout->addWidget(controls, 0, Qt::AlignTop);
  layout->addStretch(1);
}

void BuildAlignPage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  auto* controls = new QWidget(strip);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Min inj time", EditFor(form.StartAlignBox, controls));
  boxes->addRow("Max inj time", EditFor(form.StopAlignBox, controls));
  boxes->addRow(CheckFor(form.AlignCheck, controls));
  controls->setFixedWidth(200);
  layout->addWidget(controls, 0, Qt::AlignTop);

  auto* group = new QGroupBox("Set injection time", strip);
  auto* rows = new QFormLayout(group);
  auto* curve = new QWidget(group);
  auto* curveRow = new QHBoxLayout(curve);
  curveRow->setContentsMargins(0, 0, 0, 0);
  curveRow->addWidget(SpinFor(form.AlignCurveUpDown, curve));
  auto* number = new QLabel(curve);
  number->setObjectName("AlignCurveLabel");
  Bind(form.AlignCurveLabel, number);
  curveRow->addWidget(number);
  rows->addRow("Curve", curve);
  auto* time = new QWidget(group);
  auto* timeRow = new QHBoxLayout(time);
  timeRow->setContentsMargins(0, 0, 0, 0);
  timeRow->addWidget(EditFor(form.InjectionTimeBox, time));
  // The step buttons: one click is one step of the up-down.
  for (int direction : {-1, 1}) {
    auto* button = new QToolButton(time);
    button->setObjectName(direction < 0 ? "AlignStepLeft" : "AlignStepRight");
    button->setArrowType(direction < 0 ? Qt::LeftArrow : Qt::RightArrow);
    UpDown* step = &form.AlignStepUpDown;
    QObject::connect(button, &QToolButton::clicked, button, [step, direction] { step->UserSetPosition(direction); });
    const auto follow = [button, step](Control&) { button->setEnabled(step->Enabled()); };
    follow(*step);
    const int id = step->Observe(follow);
    QObject::connect(button, &QObject::destroyed, [step, id] { step->Unobserve(id); });
    timeRow->addWidget(button);
  }
  rows->addRow("Injection time", time);
  rows->addRow(CheckFor(form.AutoCheck, group));
  rows->addRow(CheckFor(form.SingleCheck, group));
  layout->addWidget(group, 0, Qt::AlignTop);
  layout->addStretch(1);
}

void BuildReferencePage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  auto* controls = new QWidget(strip);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Reference", BoundTo<QComboBox>(form.ReferenceCombo, controls));
  controls->setFixedWidth(220);
  layout->addWidget(controls, 0, Qt::AlignTop);
  auto* subtract = BoundTo<QGroupBox>(form.SubtractGroup, strip);
  auto* end = new QWidget(strip);
  auto* endRow = new QFormLayout(end);
  auto* endLabel = BoundTo<QLabel>(form.InjEndLabel, end);
  endRow->addRow(endLabel, EditFor(form.InjEndBox, end));
  layout->addWidget(subtract, 0, Qt::AlignTop);
  layout->addWidget(end, 0, Qt::AlignTop);
  layout->addStretch(1);
}

void BuildSolventPage(TMainForm& form, QWidget* page) {
  auto* strip = new QWidget(page);
  auto* layout = new QHBoxLayout(strip);
  StagePageLayout(page)->addWidget(strip);
  auto* controls = new QWidget(strip);
  auto* boxes = new QFormLayout(controls);
  boxes->addRow("Average from", EditFor(form.StartDMSOBox, controls));
  boxes->addRow("to", EditFor(form.StopDMSOBox, controls));
  // The same "Inj end" box as on the Ref page.
  boxes->addRow("Inj end", EditFor(form.InjEndBox, controls));
  controls->setFixedWidth(200);
  layout->addWidget(controls, 0, Qt::AlignTop);
  layout->addWidget(BoundTo<QGroupBox>(form.DMSOGroup, strip), 0, Qt::AlignTop);
  auto* file = new QWidget(strip);
  auto* fileRow = new QHBoxLayout(file);
  fileRow->addWidget(EditFor(form.DMSOFileBox, file), 1);
  QToolButton* browse = ButtonFor(form.DMSOFileButton, file);
  // A button's text drops a trailing "..." unless it is set as its own.
  if (QAction* action = browse->defaultAction()) action->setIconText("...");
  fileRow->addWidget(browse);
  layout->addWidget(file, 0, Qt::AlignTop);
  layout->addWidget(new StandardGraphWidget(form, strip), 1);
}

void BuildAffinityPage(TMainForm& form, QWidget* page) {
  auto* layout = new QHBoxLayout(page);
  // Left: the flow-cell tabs over the binding-curve graph.
  auto* left = new QWidget(page);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  auto* tabs = new QTabBar(left);
  tabs->setObjectName("FitFcTab");
  tabs->setExpanding(false);
  Bind(form.FitFcTab, tabs);
  leftColumn->addWidget(tabs);
  leftColumn->addWidget(new PlotWidget(form.FitPlot, left), 1);
  layout->addWidget(left, 1);

  // Right: the fit switches, the results table and the percent-bound boxes.
  auto* right = new QWidget(page);
  auto* column = new QVBoxLayout(right);
  auto* switches = new QWidget(right);
  auto* rows = new QFormLayout(switches);
  rows->addRow(CheckFor(form.FitCheck, switches));
  auto* rmax = new QWidget(switches);
  auto* rmaxRow = new QHBoxLayout(rmax);
  rmaxRow->setContentsMargins(0, 0, 0, 0);
  rmaxRow->addWidget(EditFor(form.Rmax1Box, rmax));
  rmaxRow->addWidget(CheckFor(form.FloatCheck, rmax));
  rows->addRow("Rmax", rmax);
  rows->addRow(CheckFor(form.IndependentCheck, switches));
  rows->addRow(CheckFor(form.NormalizeAffinityCheck, switches));
  column->addWidget(switches);
  column->addWidget(WarningPanel(form.FitWarningPanel, form.FitWarningLabel, right));
  column->addWidget(GridArea(form.KmGrid, right), 1);
  auto* calc = new QWidget(right);
  calc->setObjectName("CalcBoundPanel");
  auto* calcRows = new QFormLayout(calc);
  calcRows->addRow(CheckFor(form.CalcBoundCheck, calc));
  calcRows->addRow("Drug conc", EditFor(form.DrugBox, calc));
  calcRows->addRow("Prot. conc", EditFor(form.ProteinBox, calc));
  // The labels come and go with their boxes.
  for (EditBox* box : {&form.DrugBox, &form.ProteinBox}) {
    const int row = box == &form.DrugBox ? 1 : 2;
    const auto follow = [calcRows, row, box](Control&) { calcRows->setRowVisible(row, box->Visible()); };
    follow(*box);
    const int id = box->Observe(follow);
    QObject::connect(calc, &QObject::destroyed, [box, id] { box->Unobserve(id); });
  }
  column->addWidget(calc);
  right->setFixedWidth(327);
  layout->addWidget(right);
}

}  // namespace kelvaris::qt

#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt/control_binders.h"
#include "qt/grid_widget.h"
#include "qt/page_tab_widget.h"
#include "qt/plot_widget.h"
#include "qt/qt_text.h"
#include "qt/sample_pages.h"

namespace kelvaris::qt {

namespace {

// Pictures for the tool buttons, by their place in the tool image list.
QIcon ToolIcon(QStyle* style, int image) {
  switch (image) {
    case 0: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case 1: return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case 2: return style->standardIcon(QStyle::SP_ArrowBack);
    case 3: return style->standardIcon(QStyle::SP_ArrowForward);
    case 4: return style->standardIcon(QStyle::SP_DialogHelpButton);
    case 5: return style->standardIcon(QStyle::SP_DialogDiscardButton);
    case 6: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case 18: return style->standardIcon(QStyle::SP_BrowserReload);
    default: return {};
  }
}

}  // namespace

MainWindow::MainWindow(TMainForm& form, QWidget* parent) : QMainWindow(parent), form_(form) {
  setObjectName("MainForm");
  resize(form.Form.Width(), form.Form.Height());
  BuildToolBar();
  BuildPages();
  FollowForm();
  // An edit in progress loses the focus when undo or redo starts.
  form_.OnFocusToolBar = [] {
    if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
  };
  qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier) return QMainWindow::eventFilter(watched, event);
  char ch = 0;
  if (key->key() == Qt::Key_Z) ch = 26;
  if (key->key() == Qt::Key_R) ch = 18;
  if (ch == 0) return QMainWindow::eventFilter(watched, event);
  // In a layout grid, Ctrl+R is the table menu's Reorder.
  for (QWidget* w = widget; w && ch == 18; w = w->parentWidget()) {
    auto* grid = qobject_cast<GridWidget*>(w);
    if (grid && (grid->Grid() == &form_.SampleGrid || grid->Grid() == &form_.InjAnalyteGrid))
      return QMainWindow::eventFilter(watched, event);
  }
  form_.FormKeyPress(ch);
  return true;
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  form_.OnFocusToolBar = nullptr;
  ReleaseBindings(this);
  for (auto& [control, id] : observed_) control->Unobserve(id);
}

QToolButton* MainWindow::ButtonFor(const Action& action) const {
  for (const auto& [a, button] : buttons_)
    if (a == &action) return button;
  return nullptr;
}

void MainWindow::BuildToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar");
  bar->setMovable(false);
  bar->setIconSize(QSize(32, 26));
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

  auto add = [&](Action& action, const char* text) {
    auto* button = new QToolButton(bar);
    button->setObjectName(ToQString(action.Name()));
    Bind(action, button);
    QAction* qa = button->defaultAction();
    if (qa) {
      const QIcon icon = ToolIcon(style(), action.ImageIndex());
      qa->setIcon(icon);
      if (action.Caption().empty()) qa->setText(text);
      button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    }
    bar->addWidget(button);
    buttons_.push_back({&action, button});
    return button;
  };

  QToolButton* load = add(form_.LoadButton, "Load");
  auto* recent = new QMenu(load);
  Bind(form_.FileListMenu, recent);
  load->setMenu(recent);
  load->setPopupMode(QToolButton::MenuButtonPopup);
  add(form_.SaveMethodButton, "Save");
  add(form_.PrintButton, "Print");
  add(form_.HelpButton, "Help");
  add(form_.WebButton, "Web");
  bar->addSeparator();
  add(form_.UndoButton, "Undo");
  add(form_.RedoButton, "Redo");
  bar->addSeparator();
  add(form_.HideButton, "Hide");
  bar->addSeparator();
  add(form_.AllPointAction, "All");
  add(form_.DespikeAction, "Despike");

  auto* spacer = new QWidget(bar);
  spacer->setObjectName("SpacerPanel");
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);

  auto* controls = new QWidget(bar);
  controls->setObjectName("ControlPanel");
  auto* row = new QHBoxLayout(controls);
  row->setContentsMargins(0, 0, 0, 0);
  for (ComboBox* model : {&form_.AnalyteListBox, &form_.FcListBox}) {
    auto* combo = new QComboBox(controls);
    combo->setObjectName(ToQString(model->Name()));
    combo->setMinimumWidth(125);
    Bind(*model, combo);
    row->addWidget(combo);
  }
  controls->setFixedWidth(270);
  bar->addWidget(controls);
}

void MainWindow::BuildPages() {
  auto* pages = new PageTabWidget(this);
  auto* tableMenu = new QMenu(this);
  tableMenu->setObjectName("TablePopup");
  Bind(form_.TablePopup, tableMenu);
  pages->setObjectName("PageControl");
  for (int p = 0; p < form_.Pages.PageCount(); ++p) {
    auto* page = new QWidget(pages);
    page->setObjectName(ToQString(form_.Pages.PageAt(p).name));
    if (p == pgScheme) {
      curveList_ = new QListWidget(page);
      curveList_->setObjectName("CurveList");
      BuildDataPage(form_, page, curveList_, tableMenu);
    }
    if (p == pgCompound) BuildCompoundPage(form_, page, tableMenu);
    if (p == pgZero) BuildZeroPage(form_, page);
    if (p == pgCrop) BuildCropPage(form_, page);
    if (p == pgAlign) BuildAlignPage(form_, page);
    if (p == pgReference) BuildReferencePage(form_, page);
    if (p == pgDmso) BuildSolventPage(form_, page);
    if (p == pgBlank) BuildBlankPage(form_, page);
    if (p == pgBound) BuildBoundPage(form_, page);
    if (p == pgFit) BuildAffinityPage(form_, page);
    pages->addTab(page, ToQString(form_.Pages.PageAt(p).caption));
  }
  Bind(form_.Pages, pages);
  setCentralWidget(pages);
  pagesWidget_ = pages;

  auto* graphMenu = new QMenu(this);
  graphMenu->setObjectName("GraphPopup");
  Bind(form_.GraphPopup, graphMenu);
  auto* graphs = new QSplitter(Qt::Horizontal, this);
  graphs->setObjectName("PlotSplitter");
  graphs->addWidget(new PlotWidget(form_.FromPlot, graphs));
  graphs->addWidget(new PlotWidget(form_.ToPlot, graphs));
  for (PlotWidget* widget : findChildren<PlotWidget*>()) {
    TPlot* plot = &widget->Plot();
    widget->SetContextMenu(graphMenu, [this, plot] { form_.GraphContextMenu(*plot); });
  }
  graphs->hide();
  stageGraphs_ = graphs;
}

void MainWindow::PlaceStageGraphs() {
  auto* tabs = qobject_cast<QTabWidget*>(pagesWidget_);
  if (!tabs || !stageGraphs_) return;
  QWidget* area = StageGraphArea(tabs->widget(form_.Pages.ActivePageIndex()));
  if (!area) {
    stageGraphs_->hide();
    return;
  }
  if (stageGraphs_->parentWidget() != area) {
    stageGraphs_->setParent(area);
    area->layout()->addWidget(stageGraphs_);
  }
  stageGraphs_->show();
}

void MainWindow::FollowForm() {
  auto follow = [this](Control& control, std::function<void()> apply) {
    apply();
    observed_.push_back({&control, control.Observe([apply](Control&) { apply(); })});
  };
  follow(form_.Form, [this] {
    setWindowTitle(ToQString(form_.Form.Caption()));
    if (form_.Form.Visible() && !isVisible() && !form_.Closed()) show();
  });
  follow(form_.CurveList, [this] { ShowCurveList(); });
  follow(form_.Pages, [this] { PlaceStageGraphs(); });
}

void MainWindow::ShowCurveList() {
  if (!curveList_) return;
  curveList_->clear();
  for (const auto& item : form_.CurveList.Items()) curveList_->addItem(ToQString(item));
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstShow_) return;
  firstShow_ = false;
  // The first paint loads the file named on the command line; it runs once
  // the window is on screen, outside the paint itself.
  QTimer::singleShot(0, this, [this] { form_.FormPaint(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!form_.FormCloseQuery()) {
    event->ignore();
    return;
  }
  form_.FormClose();
  event->accept();
  QApplication::quit();
}

}  // namespace kelvaris::qt

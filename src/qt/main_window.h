// The main window's view: tool bar, pages and graph filters drawn from the
// core TMainForm, whose handlers receive every user action.
#pragma once

#include <QMainWindow>

#include "app/main_form.h"

class QListWidget;
class QToolButton;

namespace kelvaris::qt {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(TMainForm& form, QWidget* parent = nullptr);
  ~MainWindow() override;

  TMainForm& Form() const { return form_; }
  QToolButton* ButtonFor(const Action& action) const;

 protected:
  void showEvent(QShowEvent* event) override;
  // The window's key preview: Ctrl+Z and Ctrl+R reach the form first.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolBar();
  void BuildPages();
  void FollowForm();
  void ShowCurveList();
  // The source and result graphs move to the processing page on display.
  void PlaceStageGraphs();

  TMainForm& form_;
  QListWidget* curveList_ = nullptr;
  QWidget* pagesWidget_ = nullptr;
  QWidget* stageGraphs_ = nullptr;
  std::vector<std::pair<const Action*, QToolButton*>> buttons_;
  std::vector<std::pair<Control*, int>> observed_;
  bool firstShow_ = true;
};

}  // namespace kelvaris::qt

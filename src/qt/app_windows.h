// The windows around the main window: the splash, the loading progress
// window and the dialogs, each following its core model's visibility.
#pragma once

#include <QDialog>
#include <QWidget>

#include "app/application.h"

namespace kelvaris::qt {

// Shows and hides a top-level widget as its model panel says.
class VisibilityFollower {
 public:
  VisibilityFollower(Panel& model, QWidget* window);
  ~VisibilityFollower();
  VisibilityFollower(const VisibilityFollower&) = delete;
  VisibilityFollower& operator=(const VisibilityFollower&) = delete;

 private:
  Panel& model_;
  QWidget* window_;
  int id_;
};

class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SplashWindow(TTitleForm& title);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  VisibilityFollower follow_;
};

class ProgressWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressWindow(TProgForm& progress, QWidget* parent);

 private:
  VisibilityFollower follow_;
};

// A dialog whose contents arrive with its feature; for now an empty window.
class EmptyDialog : public QDialog {
  Q_OBJECT
 public:
  EmptyDialog(TDialogWindow& model, QWidget* parent);

 private:
  VisibilityFollower follow_;
};

}  // namespace kelvaris::qt

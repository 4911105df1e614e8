#pragma once
// The Open dialog on QFileDialog.

#include "file_dialog.h"

class QWidget;

class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent) : parent_(parent) {}
  // The window the dialogs belong to: they open over it and stay above it, also while it is
  // kept on top.
  void SetParent(QWidget* parent) { parent_ = parent; }

 protected:
  QString AskOpenPath() override;

 private:
  QWidget* parent_;
};

#pragma once
// The Open dialog on QFileDialog.

#include "file_dialog.h"

class QWidget;

class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent) : parent_(parent) {}

 protected:
  QString AskOpenPath() override;

 private:
  QWidget* parent_;
};

#pragma once
// Message boxes on QMessageBox.

#include "message_boxes.h"

class QWidget;

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  // The window the dialogs belong to: they open over it and stay above it, also while it is
  // kept on top.
  void SetParent(QWidget* parent) { parent_ = parent; }
  Answer Show(const QString& text, const QString& title, Buttons buttons) override;

 private:
  QWidget* parent_;
};

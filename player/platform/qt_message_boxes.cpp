#include "qt_message_boxes.h"

#include <QMessageBox>

MessageBoxes::Answer QtMessageBoxes::Show(const QString& text, const QString& title,
                                          Buttons buttons) {
  QMessageBox box(parent_);
  box.setWindowTitle(title);
  box.setText(text);
  if (buttons == Buttons::AbortRetryIgnore) {
    box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    box.setIcon(QMessageBox::Critical);
  } else if (buttons == Buttons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setIcon(QMessageBox::Question);
  } else if (buttons == Buttons::OkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setIcon(QMessageBox::Question);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    case QMessageBox::Yes: return Answer::Yes;
    // Closing the box with Esc or the title bar's button, where No is offered, is No.
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
  }
}

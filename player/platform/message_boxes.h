#pragma once
// Modal message boxes: a text, a title and a set of buttons; the answer is the button pressed.

#include <QString>

class MessageBoxes {
 public:
  enum class Buttons { OkOnly, OkCancel, AbortRetryIgnore, YesNo };
  enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

  virtual ~MessageBoxes() = default;
  virtual Answer Show(const QString& text, const QString& title, Buttons buttons) = 0;
};

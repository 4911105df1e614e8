#pragma once
// The small widget kinds the window is made of, beyond what Qt offers as is: a picture box that
// takes the keyboard focus and reports keys as virtual-key codes, a label that reports clicks, and
// text colours as &HBBGGRR values.

#include <QFrame>
#include <QLabel>

class QComboBox;

// A panel that can hold the keyboard focus; its keys arrive as virtual-key codes with the shift
// mask, its mouse presses with button code, shift mask and position.
class PictureBox : public QFrame {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);

 signals:
  void KeyDown(int keyCode, int shift);
  void KeyUp(int keyCode, int shift);
  void MouseDown(int button, int shift, int x, int y);
  void MouseUp(int button, int shift, int x, int y);
  void Click();
  void DblClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key like the others
};

class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void Click();
  void DblClick();
  void MouseDown(int button, int shift, int x, int y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Text colour as &HBBGGRR (255 red, 65280 green).
void SetForeColor(QWidget* widget, int bgr);
int ForeColor(const QWidget* widget);

// A drop-down list's text: its chosen row, or its initial text while no row is chosen.
QString ComboText(const QComboBox* combo);

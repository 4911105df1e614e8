#include "form_widgets.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/virtual_keys.h"

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(VirtualKeyCode(event->key()), ShiftMask(event->modifiers()));
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) emit KeyUp(VirtualKeyCode(event->key()), ShiftMask(event->modifiers()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseDown(MouseButtonCode(event->button()), ShiftMask(event->modifiers()), at.x(), at.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseUp(MouseButtonCode(event->button()), ShiftMask(event->modifiers()), at.x(), at.y());
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Click();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit DblClick();
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseDown(MouseButtonCode(event->button()), ShiftMask(event->modifiers()), at.x(), at.y());
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Click();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit DblClick();
}

void SetForeColor(QWidget* widget, int bgr) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
  widget->setPalette(palette);
}

int ForeColor(const QWidget* widget) {
  const QColor c = widget->palette().color(QPalette::WindowText);
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QString ComboText(const QComboBox* combo) {
  return combo->currentIndex() >= 0 ? combo->currentText() : combo->placeholderText();
}

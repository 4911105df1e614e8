#include "virtual_keys.h"

int VirtualKeyCode(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return vk::kF1 + (qtKey - Qt::Key_F1);
  // Letters and digits carry their upper-case character code in both systems.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return qtKey;
  }
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kReturn;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_Left: return vk::kLeft;
    case Qt::Key_Up: return vk::kUp;
    case Qt::Key_Right: return vk::kRight;
    case Qt::Key_Down: return vk::kDown;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaTogglePlayPause: return vk::kMediaPlayPause;
    default: return 0;
  }
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
  int mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= vk::kShift;
  if (modifiers & Qt::ControlModifier) mask |= vk::kCtrl;
  if (modifiers & Qt::AltModifier) mask |= vk::kAlt;
  return mask;
}

int MouseButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

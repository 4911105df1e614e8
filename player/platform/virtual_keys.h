#pragma once
// Qt key events as Windows virtual-key codes with the shift mask 1 Shift, 2 Ctrl, 4 Alt: the codes
// the hot keys are written against.

#include <Qt>

namespace vk {
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kF1 = 112;
inline constexpr int kF12 = 123;
inline constexpr int kMediaPlayPause = 179;

inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;
}  // namespace vk

// The virtual-key code of a Qt key; 0 for keys without one.
int VirtualKeyCode(int qtKey);
int ShiftMask(Qt::KeyboardModifiers modifiers);
// Mouse buttons as 1 left, 2 right, 4 middle.
int MouseButtonCode(Qt::MouseButton button);

#pragma once
// Which Qt platform plugin the window asks for.
//
// On a Wayland session a program may set the clipboard only while it has the keyboard focus and
// cannot keep its window above the others; the typist copies the time code from the pedal while
// typing in another program, and may want the window always on top. So on a Wayland session
// the window runs on X11 through XWayland, where both work, and on Wayland itself when the
// session has no X server or it does not answer. A platform the user chose in QT_QPA_PLATFORM is kept.

#include <string>

namespace quillmark {

// The value for QT_QPA_PLATFORM given the environment's QT_QPA_PLATFORM, WAYLAND_DISPLAY and
// DISPLAY (null when unset); empty when Qt's own choice stands.
std::string ChosenDisplayPlatform(const char* qtPlatform, const char* waylandDisplay,
                                  const char* x11Display);

}  // namespace quillmark

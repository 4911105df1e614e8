#pragma once
// The window's fonts and colours. Geometry is in twips and so in pixels, so the text is sized in
// pixels too: what fits at one screen resolution fits at every scale. The dark strip and the
// options panel are dark enough that every text colour the window uses, the red and green of the
// frame-rate caption and the light green and light red of the auto-backup setting among them,
// reads at a contrast of at least 4.5:1.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPalette>

namespace window_look {

// Captions, lists and entries: a narrow face, installed with the program's packages, so that
// the captions fit their controls whatever fonts the desktop has.
QFont TextFont();
// The running time code and its entry box: a monospaced bold face, every character one cell.
QFont DigitFont();

// The main strip: the window's own background and its lists, buttons and slider.
QPalette StripPalette(const QPalette& base);
// The options panel below the strip, a shade lighter than the strip.
QPalette OptionsPalette(const QPalette& base);
// The About and wait panels: black on light grey.
QPalette LightPalette(const QPalette& base);

// The gradient behind the strip's controls, as a style sheet for the widget named `name`.
QString StripBackground(const char* name);

// A picture made for light backgrounds, redrawn in a light grey for the dark strip.
QPixmap LightPicture(const QIcon& icon, int size);

// Lines that only divide the panel, quieter than its text.
inline constexpr QColor kDividerColour{0x4a, 0x5a, 0x6a};

}  // namespace window_look

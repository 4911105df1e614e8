#pragma once
// What a person would see wrong in a window, found by walking every control it shows: a text
// cut off by its control (captions, list rows, the closed list's text, entry text), a control
// cut off by its container or covered by another, and a text too faint against what is behind
// it. Each finding is one line naming the control, for a test to print.

#include <QStringList>
#include <QWidget>
#include <set>

namespace layout_check {

// The visible controls of `window` (its own window only, not pop-ups), in creation order; only
// those inside `within` when it is given.
QList<QWidget*> VisibleControls(QWidget* window, const QWidget* within = nullptr);

// Texts that do not fit their control. Drop-down lists are opened to measure their rows.
QStringList TextsCutOff(QWidget* window, const QWidget* within = nullptr);

// Controls lying partly outside their container, or under another control painted above them
// that takes the mouse. `backgrounds` are the panels meant to lie under other controls;
// `mayOverhang` are controls whose edges may leave the window (the player's area).
QStringList ControlsHidden(QWidget* window, const std::set<QWidget*>& backgrounds,
                           const std::set<QWidget*>& mayOverhang = {});

// Texts whose contrast against the colour behind them, as the window paints them, is below
// `minimum` (relative luminance contrast; 4.5 for body text).
QStringList TextsTooFaint(QWidget* window, const QWidget* within = nullptr, double minimum = 4.5);

// The contrast of two colours by their relative luminance, 1 to 21.
double Contrast(QRgb a, QRgb b);

}  // namespace layout_check

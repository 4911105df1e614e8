#pragma once
// What a screen reader sees of the window's own kinds of control, beyond what Qt gives each
// widget: a readout box as one text (readout.h), a picture clicked like a button as a button,
// and a drop-down list named by what it is.

class QComboBox;
class QString;
class QWidget;

namespace accessibility {

// Installs the accessible interfaces of these kinds; once per program, before the first control
// of these kinds is shown or asked for. Further calls do nothing.
void InstallAccessibleKinds();

// `box` reads as the one text of its labels (done by Readout).
void MarkReadout(QWidget* box);

// A picture that is clicked like a button: a screen reader sees a button, named by the
// picture's accessible name or else its tooltip, with no separate parts, whose press action
// clicks it as the mouse does.
void ReadAsButton(QWidget* picture);

// On this platform a drop-down list's accessible name is the row it shows (its accessible name
// only while no row is chosen), and what the list is comes from a label for it. `name` becomes
// both: the accessible name, and the text of a label that only screen readers see, for a list
// that has no caption of its own beside it.
void NameList(QComboBox* list, const QString& name);

}  // namespace accessibility

#pragma once
// `quillmark --probe [--framerate CAPTION] FILE...`: runs the window headless through the open
// sequence for each file and prints what it found, one JSON object per line. The user's settings
// are read as at start-up but never written.

#include <QStringList>
#include <string>

class Form1;

// The open recording as one JSON line; `file` as the user named it.
std::string ProbeRecord(const Form1& form, const QString& file);

// Chooses the default-rate rows that give `caption` ("25.000 ND"); false when no rows give it.
bool SelectDefaultFrameRate(Form1& form, const QString& caption);

// Arguments after "--probe". Returns the exit status: 0, 1 when a file could not be probed,
// 2 for a usage error.
int RunProbe(const QStringList& arguments);

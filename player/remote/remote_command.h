#pragma once
// The other side of the bus, in a second quillmark process: `quillmark --remote ACTION [ARG]`
// sends one action (remote_actions.h) to the running window, and `quillmark [FILE]` while a
// window runs hands the file over to it instead of starting a second one.

#include <QString>
#include <QStringList>
#include <optional>

class QDBusConnection;

// Sends the action in `arguments` (ACTION and its argument, if any). Returns the exit status:
// 0 sent, 1 no window running or the window refused it (said on stderr), 2 not an action or a
// wrong argument (said on stderr, with the usage).
int SendRemoteAction(const QStringList& arguments, const QDBusConnection& bus);

// When a window runs: opens `file` in it (unless empty), brings it to the front and returns the
// exit status (0, or 1 when the window could not open the file). Nothing when no window runs.
std::optional<int> HandOverToRunningWindow(const QString& file, const QDBusConnection& bus);

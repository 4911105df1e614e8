#pragma once
// A session bus of the program's own: a dbus-daemon started for it and stopped with this object.
// Start() points DBUS_SESSION_BUS_ADDRESS of this process at it, so the programs it starts
// (playerctl, a second quillmark) talk on it too, and the user's bus is never reached.

#include <QProcess>
#include <QString>

class PrivateSessionBus {
 public:
  PrivateSessionBus() = default;
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  // Starts the daemon; false, with the reason in `error`, when it cannot.
  bool Start(QString* error);

  // The address of the bus started last in this process.
  static QString Address();

 private:
  QProcess daemon_;
};

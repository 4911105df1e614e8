#pragma once
// A session bus of the program's own: a dbus-daemon started for it and stopped with this object.
// Start() points DBUS_SESSION_BUS_ADDRESS of this process at it, so the programs it starts
// (playerctl, a second quillmark) talk on it too, and the user's bus is never reached.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PrivateSessionBus {
 public:
  PrivateSessionBus() = default;
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  // Starts the daemon; false, with the reason in `error`, when it cannot.
  bool Start(QString* error);
  // Adds the bus a screen reader listens on: the AT-SPI bus launcher on this bus (its socket in
  // a folder of its own), with Qt's bridge to it switched on for this process. Call it before
  // the first widget is shown: the bridge connects when first asked for, on the X display.
  bool StartAccessibilityBus(QString* error);

  // The address of the bus started last in this process.
  static QString Address();

 private:
  QProcess daemon_;
  QTemporaryDir accessibilityRuntime_;
  QProcess accessibilityLauncher_;
};

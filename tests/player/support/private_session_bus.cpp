#include "private_session_bus.h"

#include <QByteArray>

namespace {
QString address;
constexpr int kStartMilliseconds = 10000;
}  // namespace

bool PrivateSessionBus::Start(QString* error) {
  // Whatever happens below, nothing in this process may reach the user's bus.
  qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  qunsetenv("DBUS_SESSION_BUS_PID");
  daemon_.setProgram("dbus-daemon");
  daemon_.setArguments({"--session", "--nofork", "--nopidfile", "--print-address=1"});
  daemon_.start();
  if (!daemon_.waitForStarted(kStartMilliseconds)) {
    *error = "dbus-daemon (Debian package dbus) did not start";
    return false;
  }
  QByteArray line;
  while (!line.contains('\n') && daemon_.waitForReadyRead(kStartMilliseconds)) {
    line += daemon_.readAllStandardOutput();
  }
  address = QString::fromUtf8(line).trimmed();
  if (address.isEmpty()) {
    *error = "dbus-daemon gave no address: " + QString::fromUtf8(daemon_.readAllStandardError());
    return false;
  }
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
  return true;
}

PrivateSessionBus::~PrivateSessionBus() {
  if (daemon_.state() == QProcess::NotRunning) return;
  daemon_.terminate();
  if (!daemon_.waitForFinished(5000)) daemon_.kill();
  daemon_.waitForFinished(5000);
}

QString PrivateSessionBus::Address() { return address; }

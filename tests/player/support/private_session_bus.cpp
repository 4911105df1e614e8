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

bool PrivateSessionBus::StartAccessibilityBus(QString* error) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", accessibilityRuntime_.path());
  accessibilityLauncher_.setProcessEnvironment(environment);
  accessibilityLauncher_.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
  if (!accessibilityRuntime_.isValid() || !accessibilityLauncher_.waitForStarted(kStartMilliseconds)) {
    *error = "at-spi-bus-launcher (Debian package at-spi2-core) did not start";
    return false;
  }
  qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  return true;
}

PrivateSessionBus::~PrivateSessionBus() {
  // The AT-SPI bus goes with its launcher, the registry daemon on it with both buses.
  for (QProcess* process : {&accessibilityLauncher_, &daemon_}) {
    if (process->state() == QProcess::NotRunning) continue;
    process->terminate();
    if (!process->waitForFinished(5000)) process->kill();
    process->waitForFinished(5000);
  }
}

QString PrivateSessionBus::Address() { return address; }

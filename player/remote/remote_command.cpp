#include "remote_command.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

#include "remote_actions.h"
#include "remote_names.h"

namespace {

// The bus itself, which answers a ping.
constexpr char kBusService[] = "org.freedesktop.DBus";
constexpr char kBusPath[] = "/org/freedesktop/DBus";
constexpr char kPeerInterface[] = "org.freedesktop.DBus.Peer";

void PrintError(const QString& text) {
  std::fprintf(stderr, "quillmark: %s\n", text.toLocal8Bit().constData());
}

int Usage(const QString& why) {
  PrintError(why);
  std::fprintf(stderr, "\nUsage: quillmark --remote ACTION [ARG]\n\nRemote actions:\n%s",
               quillmark::RemoteActionsHelp().c_str());
  return 2;
}

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool WindowRuns(const QDBusConnection& bus) {
  const QDBusConnectionInterface* interface = bus.isConnected() ? bus.interface() : nullptr;
  return interface && interface->isServiceRegistered(remote_names::kServiceName);
}

// Calls `method` on the running window; an error answer is said on stderr.
bool Call(const QDBusConnection& bus, const QString& interface, const QString& method,
          const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(remote_names::kServiceName,
                                                     remote_names::kObjectPath, interface, method);
  call.setArguments(arguments);
  const QDBusMessage reply = bus.call(call);
  if (reply.type() != QDBusMessage::ErrorMessage) return true;
  // Qt's bus thread passes every error answer on to a signal of its own just after the waiting
  // call has returned. Were the program to end meanwhile, that would meet a Qt already shut down,
  // which prints warnings of its own on the terminal. The thread answers calls in turn, so one
  // more round trip waits for it.
  bus.call(QDBusMessage::createMethodCall(kBusService, kBusPath, kPeerInterface, "Ping"));
  if (reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown") {
    PrintError("no Quillmark window is running");
  } else {
    PrintError(reply.errorMessage());
  }
  return false;
}

}  // namespace

int SendRemoteAction(const QStringList& arguments, const QDBusConnection& bus) {
  if (arguments.isEmpty()) return Usage("--remote needs an action");
  const quillmark::RemoteAction* action = nullptr;
  for (const quillmark::RemoteAction& candidate : quillmark::RemoteActions()) {
    if (arguments.first() == FromView(candidate.name)) action = &candidate;
  }
  if (action == nullptr) return Usage("no remote action " + arguments.first());
  const QString name = FromView(action->name);
  QVariantList callArguments;
  const QString argument = FromView(action->argument);
  if (argument.contains('|')) {
    // One of the words; "on" and "off" go as yes and no.
    const QStringList words = argument.split('|');
    if (arguments.size() != 2 || !words.contains(arguments[1])) {
      return Usage(name + " takes one of " + words.join(", "));
    }
    if (argument == "on|off") {
      callArguments << (arguments[1] == "on");
    } else {
      callArguments << arguments[1];
    }
  } else if (!argument.isEmpty()) {
    bool isNumber = false;
    const int number = arguments.size() == 2 ? arguments[1].toInt(&isNumber) : 0;
    if (!isNumber) {
      return Usage(name + " takes one whole number " + argument);
    }
    callArguments << number;
  } else if (arguments.size() != 1) {
    return Usage(name + " takes nothing more");
  }

  if (!WindowRuns(bus)) {
    PrintError("no Quillmark window is running");
    return 1;
  }
  return Call(bus, FromView(action->interface), FromView(action->method), callArguments) ? 0
                                                                                          : 1;
}

std::optional<int> HandOverToRunningWindow(const QString& file, const QDBusConnection& bus) {
  if (!WindowRuns(bus)) return std::nullopt;
  if (!file.isEmpty()) {
    const QString uri = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString();
    if (!Call(bus, remote_names::kPlayerInterface, "OpenUri", {uri})) return 1;
  }
  return Call(bus, remote_names::kRootInterface, "Raise") ? 0 : 1;
}

// Quillmark: `quillmark [FILE]` opens the window (and FILE in it), or hands FILE over to the
// window that runs already; `quillmark --remote ACTION` sends an action to that window
// (remote/remote_command.h); `quillmark --probe ...` runs the window headless over files and
// prints what it reads from them (probe.h). The options are in command_line.cpp; `quillmark
// --help` lists them.

#include <QApplication>
#include <QDBusConnection>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "command_line.h"
#include "display_platform.h"
#include "form1.h"
#include "platform/mpv_media_player.h"
#include "platform/qt_clipboard.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_message_boxes.h"
#include "platform/routed_serial_control.h"
#include "platform/tty_serial_control.h"
#include "platform/udev_input_directory.h"
#include "platform/usb_pedal_control.h"
#include "probe.h"
#include "remote/remote_command.h"
#include "remote/remote_control.h"
#include "remote/remote_names.h"
#include "version.h"

namespace {

QStringList ToQt(const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& argument : arguments) list << QString::fromLocal8Bit(argument);
  return list;
}

// `newInstance`: a window of its own, off the bus, whether or not another one runs.
int RunWindow(QApplication& app, const QString& file, bool newInstance) {
  // One window: a running one takes the file. The name is claimed before this window is made, so
  // of two started at once one hands over.
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!newInstance) {
    if (const auto status = HandOverToRunningWindow(file, bus)) return *status;
    if (bus.isConnected() && !bus.registerService(remote_names::kServiceName)) {
      if (const auto status = HandOverToRunningWindow(file, bus)) return *status;
    }
  }

  MpvMediaPlayer player(MpvMediaPlayer::Window());
  if (!player.Ready()) {
    std::fprintf(stderr, "quillmark: the media engine (libmpv) could not be started\n");
    return 1;
  }
  QtFileDialog dialog(nullptr);
  QtMessageBoxes messages(nullptr);
  QtClipboard clipboard;
  FormPlatform platform = FormPlatform::ForUser(player, dialog, messages);
  // MSComm1 reaches the serial ports and the USB pedals by the port number of the chosen entry.
  TtySerialControl serialPorts;
  UdevInputDirectory inputDevices;
  UsbPedalControl usbPedals(inputDevices);
  RoutedSerialControl serial(serialPorts, usbPedals, UsbPedalControl::kFirstPort);
  platform.serial = &serial;
  platform.usbPedals = &usbPedals;
  platform.clipboard = &clipboard;
  // Where each recording was left off: the program's own, not --probe's.
  platform.stateFolder = UserStateFolder();
  platform.cacheFolder = WaveformCacheFolder();
  Form1 form(platform);
  dialog.SetParent(&form);
  messages.SetParent(&form);
  std::unique_ptr<RemoteControl> remote;
  if (!newInstance) {
    remote = std::make_unique<RemoteControl>(form, bus);
    remote->Start();
  }
  form.show();
  if (!file.isEmpty()) {
    QMetaObject::invokeMethod(&form, [&] { form.OpenRecording(file); }, Qt::QueuedConnection);
  }
  return app.exec();
}

}  // namespace

int main(int argc, char* argv[]) {
  const quillmark::CommandLine command =
      quillmark::ParseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
  if (!command.error.empty()) {
    std::fprintf(stderr, "quillmark: %s\n\n%s", command.error.c_str(),
                 quillmark::UsageText().c_str());
    return 2;
  }
  if (command.Has("--help")) {
    std::fputs(quillmark::UsageText().c_str(), stdout);
    return 0;
  }
  if (command.Has("--version")) {
    std::printf("quillmark %s\n", kQuillmarkVersion);
    return 0;
  }

  // Sending an action needs no display.
  char programName[] = "quillmark";
  char* qtArgv[] = {argc > 0 ? argv[0] : programName, nullptr};
  int qtArgc = 1;
  if (command.Has("--remote")) {
    QCoreApplication app(qtArgc, qtArgv);
    return SendRemoteAction(ToQt(command.Arguments("--remote")), QDBusConnection::sessionBus());
  }

  SetApplicationIdentity();
  const bool probe = command.Has("--probe");
  if (probe) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  } else {
    const std::string platform = quillmark::ChosenDisplayPlatform(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
    if (!platform.empty()) qputenv("QT_QPA_PLATFORM", platform.c_str());
  }
  // The command line is ours alone: Qt sees only the program's name.
  QApplication app(qtArgc, qtArgv);
  if (probe) return RunProbe(ToQt(command.Arguments("--probe")));
  return RunWindow(app, QString::fromLocal8Bit(command.file), command.Has("--new-instance"));
}

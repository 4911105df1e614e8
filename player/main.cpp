// Quillmark: `quillmark [FILE]` opens the window (and FILE in it); `quillmark --probe ...` runs
// the window headless over files and prints what it reads from them (probe.h).

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "form1.h"
#include "platform/mpv_media_player.h"
#include "platform/qt_clipboard.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_message_boxes.h"
#include "platform/tty_serial_control.h"
#include "probe.h"

int main(int argc, char* argv[]) {
  const bool probe = argc > 1 && std::strcmp(argv[1], "--probe") == 0;
  if (probe) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  if (probe) return RunProbe(arguments.mid(1));

  QString file;
  for (const QString& argument : arguments) {
    if (argument.startsWith("--") || !file.isEmpty()) {
      std::fprintf(stderr, "usage: quillmark [FILE]\n       quillmark --probe [--framerate CAPTION] FILE...\n");
      return 2;
    }
    file = argument;
  }

  MpvMediaPlayer player(MpvMediaPlayer::Output::Window);
  if (!player.Ready()) {
    std::fprintf(stderr, "quillmark: the media engine (libmpv) could not be started\n");
    return 1;
  }
  QtFileDialog dialog(nullptr);
  QtMessageBoxes messages(nullptr);
  QtClipboard clipboard;
  FormPlatform platform;
  platform.player = &player;
  platform.fileDialog = &dialog;
  platform.messageBoxes = &messages;
  TtySerialControl serial;
  platform.serial = &serial;
  platform.clipboard = &clipboard;
  platform.programFolder = QCoreApplication::applicationDirPath();
  Form1 form(platform);
  form.show();
  if (!file.isEmpty()) {
    QTimer::singleShot(0, &form, [&] {
      dialog.PresetAnswer(file);
      form.Fileopen_Click();
    });
  }
  return app.exec();
}

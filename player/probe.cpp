#include "probe.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

#include "form1.h"
#include "json_line.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/mpv_media_player.h"

namespace {

// Every file comes from the command line; nothing is ever asked.
class CommandLineFiles : public FileDialog {
 protected:
  QString AskOpenPath() override { return {}; }
};

// Nobody is there to answer: the box is told on stderr and answered with its first button.
class MessagesToStderr : public MessageBoxes {
 public:
  Answer Show(const QString& text, const QString& title, Buttons buttons) override {
    std::fprintf(stderr, "quillmark: %s: %s\n", qPrintable(title), qPrintable(text));
    return buttons == Buttons::AbortRetryIgnore ? Answer::Abort : Answer::Ok;
  }
};

void Error(const QString& message) {
  std::fprintf(stderr, "quillmark: %s\n", message.toLocal8Bit().constData());
}

// A file the probe can read, or the reason it cannot.
QString Unreadable(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return "no such file";
  if (info.isDir()) return "is a folder";
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return file.errorString();
  return {};
}

}  // namespace

std::string ProbeRecord(const Form1& form, const QString& file) {
  std::vector<JsonLine> chunks;
  for (int n = 1; n < form.Chunks.chunkCount && n <= timecode::kMaxChunks; ++n) {
    const timecode::ChunkEntry& entry = form.Chunks.chunkTable[n];
    JsonLine chunk;
    chunk.Text("Id", QString::fromLatin1(entry.id.data(), static_cast<qsizetype>(entry.id.size())))
        .Number("Size", entry.size)
        .Number("Pos", static_cast<double>(entry.pos));
    chunks.push_back(chunk);
  }
  std::vector<QString> bookmarks;
  for (int i = 0; i < form.Bookmark->count(); ++i) bookmarks.push_back(form.Bookmark->itemText(i));
  const std::vector<double> positions(form.BookmarkPos.begin() + 1, form.BookmarkPos.end());

  JsonLine line;
  line.Text("file", file)
      .Text("caption", form.windowTitle())
      .Text("MediaExt", form.MediaExt)
      .Bool("NoBext", form.NoBext)
      .Number("ChunkCount", form.Chunks.chunkCount)
      .Objects("chunks", chunks)
      .Text("Framerate", form.Framerate->text())
      .Number("FramerateColor", ForeColor(form.Framerate))
      .Text("STC", form.STC->text())
      .Text("Duration", form.Duration->text())
      .Text("Samplerate", form.Samplerate->text())
      .Text("FDT", form.FDT->text())
      .Text("UB", form.UB->text())
      .Text("TCLabel", form.TCLabel->text())
      .Number("TCSource", form.TCSource)
      .Number("TCOffset", form.TCOffset)
      .Number("BWFStartTC", form.BWFStartTC)
      .Number("ID3StartTC", form.ID3StartTC)
      .Number("ID3Duration", form.ID3Duration)
      .Number("UserTCValue", form.UserTCValue)
      .Text("BookmarkFile", form.BookmarkFile)
      .Texts("Bookmarks", bookmarks)
      .Numbers("BookmarkPos", positions)
      .Text("Dbugtxt", form.Dbugtxt->toPlainText());
  return line.str();
}

bool SelectDefaultFrameRate(Form1& form, const QString& caption) {
  const QStringList parts = caption.split(' ', Qt::SkipEmptyParts);
  if (parts.size() != 2) return false;
  const int rate = form.DEFAULTTC->findText(parts[0]);
  const int mode = form.DEFAULTDF->findText(parts[1]);
  if (rate < 0 || mode < 0) return false;
  form.DEFAULTTC->setCurrentIndex(rate);
  form.DEFAULTDF->setCurrentIndex(mode);
  return true;
}

int RunProbe(const QStringList& arguments) {
  QString framerate;
  QStringList files;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--framerate" && i + 1 < arguments.size()) {
      framerate = arguments[++i];
    } else if (arguments[i].startsWith("--")) {
      Error("unknown option " + arguments[i]);
      return 2;
    } else {
      files << arguments[i];
    }
  }
  if (files.isEmpty()) {
    Error("usage: quillmark --probe [--framerate CAPTION] FILE...");
    return 2;
  }

  MpvMediaPlayer player(MpvMediaPlayer::Headless());
  if (!player.Ready()) {
    Error("the media engine (libmpv) could not be started");
    return 1;
  }
  CommandLineFiles dialog;
  MessagesToStderr messages;
  FormPlatform platform = FormPlatform::ForUser(player, dialog, messages);
  platform.saveSettings = false;
  Form1 form(platform);
  form.Timer1->stop();
  form.Timer2->stop();
  if (!framerate.isEmpty() && !SelectDefaultFrameRate(form, framerate)) {
    Error("--framerate takes a rate and a mode, such as \"25.000 ND\": rates 30.000, 29.970, "
          "24.000, 25.000, 23.976; modes ND, DF");
    return 2;
  }

  int status = 0;
  for (const QString& file : files) {
    const QString reason = Unreadable(file);
    if (!reason.isEmpty()) {
      Error("cannot probe " + file + ": " + reason);
      status = 1;
      continue;
    }
    dialog.PresetAnswer(file);
    form.Fileopen_Click();
    std::printf("%s\n", ProbeRecord(form, file).c_str());
    std::fflush(stdout);
  }
  form.close();
  return status;
}

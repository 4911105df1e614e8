// What keeping places costs an opening: the real window on the real libmpv player (headless)
// opens a recording until it waits, loaded and paused, with the file of places holding the most
// it ever keeps (1000 recordings) when the window started, against a window whose file was empty.
// Before each opening the recording it replaces is moved to a new place, so every opening also
// keeps that place (and has the file rewritten). The two windows take turns over the same two
// recordings, so the ratio compares like with like.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "form1.h"
#include "platform/mpv_media_player.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_message_boxes.h"
#include "resume_positions.h"

namespace {

using Clock = std::chrono::steady_clock;

// A mono 16-bit WAV file of silence, `seconds` long.
bool WriteSilence(const QString& path, int seconds) {
  constexpr quint32 kRate = 8000;
  const quint32 data = kRate * 2 * static_cast<quint32>(seconds);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QDataStream out(&file);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + data);
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << quint16(1) << kRate << kRate * 2 << quint16(2)
      << quint16(16);
  out.writeRawData("data", 4);
  out << data;
  file.write(QByteArray(static_cast<qsizetype>(data), '\0'));
  return file.error() == QFile::NoError;
}

// A window on a player of its own, opening the two recordings in turn.
struct Window {
  std::unique_ptr<MpvMediaPlayer> player;
  std::unique_ptr<Form1> form;
  int open = -1;  // the recording it holds
};

struct Bench {
  QTemporaryDir folder;
  QtFileDialog dialog{nullptr};
  QtMessageBoxes messages{nullptr};
  QString recordings[2];
  int seconds[2] = {30, 31};  // told apart by their length once loaded
  Window empty, full;
};
Bench* bench = nullptr;

bool Loaded(const Window& window, int which) {
  return window.player->playState() == MediaPlayer::kPaused &&
         window.player->duration() == bench->seconds[which];
}

// Moves the window's recording to a new place, then opens the other one; the seconds the opening
// took until the recording waits loaded and paused and the events of its loading are handled.
double TimedOpening(Window& window, long round) {
  if (window.open >= 0) window.form->MoveTo(10 + round % 10);
  const int which = window.open == 0 ? 1 : 0;
  const auto start = Clock::now();
  window.form->OpenRecording(bench->recordings[which]);
  while (!Loaded(window, which)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
  window.open = which;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool MakeWindow(Window& window, const QString& stateFolder) {
  window.player = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Headless());
  if (!window.player->Ready()) return false;
  FormPlatform platform(*window.player, bench->dialog, bench->messages);
  platform.saveSettings = false;
  platform.stateFolder = stateFolder;
  window.form = std::make_unique<Form1>(platform);
  window.form->Timer2->stop();
  return true;
}

void OpeningWithPlacesKept(benchmark::State& state) {
  double empty = 0, full = 0;
  long round = 0;
  for (auto _ : state) {
    const double withEmpty = TimedOpening(bench->empty, round);
    const double withFull = TimedOpening(bench->full, round);
    ++round;
    state.SetIterationTime(withEmpty + withFull);
    empty += withEmpty;
    full += withFull;
  }
  state.counters["empty_ms"] = empty / round * 1e3;
  state.counters["full_ms"] = full / round * 1e3;
  state.counters["ratio_full_to_empty"] = full / empty;
}

}  // namespace

BENCHMARK(OpeningWithPlacesKept)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Bench state;
  bench = &state;
  for (int i = 0; i < 2; ++i) {
    state.recordings[i] = state.folder.filePath(QString("talk %1.wav").arg(i + 1));
    if (!WriteSilence(state.recordings[i], state.seconds[i])) {
      std::fprintf(stderr, "cannot write %s\n", state.recordings[i].toLocal8Bit().constData());
      return 1;
    }
  }
  // Places for 1000 other recordings, each path as long as a typist's.
  quillmark::ResumePositions places;
  for (int i = 0; i < 1000; ++i) {
    quillmark::RecordingIdentity other{
        "/home/typist/Transcripts/Client " + std::to_string(i % 40) + "/2026-11 interview " +
            std::to_string(i) + " (second part).wav",
        static_cast<std::uintmax_t>(50'000'000 + i), 1'790'000'000'000'000'000 + i};
    places.Remember(other, 61.5 + i, 3600);
  }
  const QString emptyFolder = state.folder.filePath("empty"), fullFolder = state.folder.filePath("full");
  if (places.WriteFile(fullFolder.toStdString() + "/" + quillmark::kResumeFileName) !=
          quillmark::WriteResult::Written ||
      !MakeWindow(state.empty, emptyFolder) || !MakeWindow(state.full, fullFolder)) {
    std::fprintf(stderr, "the windows could not be made\n");
    return 1;
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

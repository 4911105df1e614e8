// What keeping places costs an opening: the real window on the real libmpv player (headless)
// opens a recording until it waits, loaded and paused, while the file of places holds the
// most it ever keeps (1000 recordings), against the same opening with that file empty. Each
// opening also keeps the place of the recording it replaces, so both the look-up and the
// rewrite of the file are in it. The two kinds alternate within the run, over the same two
// recordings, so the ratio compares like with like.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <filesystem>

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

struct Bench {
  QTemporaryDir folder;
  std::unique_ptr<MpvMediaPlayer> player;
  QtFileDialog dialog{nullptr};
  QtMessageBoxes messages{nullptr};
  std::unique_ptr<Form1> form;
  std::filesystem::path stateFile;
  std::string full;   // the file of places holding 1000 recordings
  QString recordings[2];
  int seconds[2] = {30, 31};  // told apart by their length once loaded
};
Bench* bench = nullptr;

// Opens recording `which` with the file of places as `places`; the seconds until it waits loaded
// and paused, and the events that came with the loading are handled.
double TimedOpening(int which, const std::string& places) {
  FILE* file = std::fopen(bench->stateFile.c_str(), "wb");
  std::fwrite(places.data(), 1, places.size(), file);
  std::fclose(file);
  const auto start = Clock::now();
  bench->form->OpenRecording(bench->recordings[which]);
  MediaPlayer& player = *bench->player;
  while (player.playState() != MediaPlayer::kPaused || player.duration() != bench->seconds[which]) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  QCoreApplication::processEvents();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void OpeningWithPlacesKept(benchmark::State& state) {
  double empty = 0, full = 0;
  long round = 0;
  for (auto _ : state) {
    // Which recording gets which file changes every round.
    const int first = static_cast<int>(round++ % 2);
    const double withEmpty = TimedOpening(first, "");
    const double withFull = TimedOpening(1 - first, bench->full);
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
  // Places for 1000 recordings (the two opened among them), each path as long as a typist's.
  quillmark::ResumePositions places;
  for (int i = 0; i < 998; ++i) {
    quillmark::RecordingIdentity other{
        "/home/typist/Transcripts/Client " + std::to_string(i % 40) + "/2026-11 interview " +
            std::to_string(i) + " (second part).wav",
        static_cast<std::uintmax_t>(50'000'000 + i), 1'790'000'000'000'000'000 + i};
    places.Remember(other, 61.5 + i, 3600);
  }
  for (const QString& recording : state.recordings) {
    places.Remember(*quillmark::IdentifyRecording(recording.toStdString()), 0, 0);
  }
  state.full = places.Text();

  state.player = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Headless());
  if (!state.player->Ready()) {
    std::fprintf(stderr, "the media engine (libmpv) could not be started\n");
    return 1;
  }
  FormPlatform platform;
  platform.player = state.player.get();
  platform.fileDialog = &state.dialog;
  platform.messageBoxes = &state.messages;
  platform.saveSettings = false;
  platform.stateFolder = state.folder.filePath("state");
  std::filesystem::create_directories(platform.stateFolder.toStdString());
  state.stateFile = std::filesystem::path(platform.stateFolder.toStdString()) /
                    quillmark::kResumeFileName;
  state.form = std::make_unique<Form1>(platform);
  state.form->Timer2->stop();

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  state.form.reset();
  return 0;
}

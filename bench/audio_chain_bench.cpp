// The cost of the sound filters: a ten-minute recording (spoken sentences over a little hiss,
// 44.1 kHz stereo, as WAV and as MP3) decoded and filtered through libmpv as fast as it goes,
// the sound written to /dev/null. The floor, measured in the same run, is libmpv with no filter
// at all; then the window's player with every sound setting off (its filters in place, passing
// the sound on) and with all of them on (volume 150 %, speech levelled, noise reduction High,
// rumble cut, left channel only). Counters: x_realtime, the recording's length over the time it
// took; x_floor and x_off, the time against the floor and against the settings off; cpu_s, the
// processor time of every thread.

#include <benchmark/benchmark.h>
#include <mpv/client.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <map>

#include "audio/audio_settings.h"
#include "platform/mpv_media_player.h"

namespace {

constexpr double kRecordingSeconds = 600;
const char* const kFormats[] = {"wav", "mp3"};

QTemporaryDir* folder = nullptr;

bool Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  const bool ok = process.waitForFinished(600000) && process.exitCode() == 0;
  if (!ok) std::fprintf(stderr, "%s failed: %s\n", program.toLocal8Bit().constData(),
                        process.readAllStandardError().constData());
  return ok;
}

// The ten minutes, in both formats, made once.
bool MakeRecordings() {
  const QString spoken = folder->filePath("spoken.wav");
  const QString hiss = folder->filePath("hiss.wav");
  const QString wav = folder->filePath("recording.wav");
  return Run("espeak-ng", {"-w", spoken,
                           "The meeting started at ten in the morning, and everyone agreed on the "
                           "budget. Please send the minutes to the committee before Friday."}) &&
         Run("sox", {"-q", "-n", "-r", "44100", "-c", "2", hiss, "synth",
                     QString::number(kRecordingSeconds), "whitenoise", "vol", "0.01"}) &&
         Run("sox", {"-q", "-m", hiss, "|sox " + spoken + " -r 44100 -c 2 -p repeat 200 trim 0 " +
                                           QString::number(kRecordingSeconds),
                     wav}) &&
         Run("sox", {"-q", wav, "-C", "128", folder->filePath("recording.mp3")});
}

QString Recording(int format) {
  return folder->filePath(QString("recording.") + kFormats[format]);
}

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + now.tv_nsec * 1e-9;
}

// libmpv alone: the recording decoded into /dev/null with no filter.
void PlayBare(const QString& path) {
  std::setlocale(LC_NUMERIC, "C");
  mpv_handle* mpv = mpv_create();
  for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
           {"config", "no"}, {"terminal", "no"}, {"vo", "null"}, {"ao", "pcm"},
           {"ao-pcm-file", "/dev/null"}, {"audio-format", "float"}, {"untimed", "yes"},
           {"idle", "no"}, {"keep-open", "no"}, {"audio-pitch-correction", "no"}}) {
    mpv_set_option_string(mpv, name, value);
  }
  mpv_initialize(mpv);
  const QByteArray file = path.toUtf8();
  const char* command[] = {"loadfile", file.constData(), nullptr};
  mpv_command(mpv, command);
  for (;;) {
    const mpv_event* event = mpv_wait_event(mpv, 10);
    if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN) break;
  }
  mpv_terminate_destroy(mpv);
}

// The window's player, from load to the end.
void PlayThroughPlayer(const QString& path, const audio::AudioSettings& settings) {
  MpvMediaPlayer player(MpvMediaPlayer::IntoWaveFile("/dev/null"));
  player.setAudioSettings(settings);
  player.setURL(path);
  while (!(player.playState() == MediaPlayer::kPaused && player.duration() > 0)) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  player.play();
  while (player.playState() != MediaPlayer::kStopped) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
}

enum Chain { kNoFilters, kSettingsOff, kSettingsOn };

void Decode(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  const auto chain = static_cast<Chain>(state.range(1));
  audio::AudioSettings on;
  on.volumePercent = 150;
  on.levelSpeech = true;
  on.noise = audio::NoiseReduction::High;
  on.cutRumble = true;
  on.channel = audio::Channel::LeftOnly;
  double wall = 0, processor = 0;
  for (auto _ : state) {
    const double cpuStart = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (chain == kNoFilters) {
      PlayBare(Recording(format));
    } else {
      PlayThroughPlayer(Recording(format), chain == kSettingsOn ? on : audio::AudioSettings{});
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    wall += seconds;
    processor += ProcessorSeconds() - cpuStart;
  }
  const double perRun = wall / double(state.iterations());
  const double cpuPerRun = processor / double(state.iterations());
  // Per format: the floor and the settings off, for the ratios of those measured after them.
  static std::map<std::pair<int, int>, std::pair<double, double>> measured;
  measured[{format, chain}] = {perRun, cpuPerRun};
  state.counters["x_realtime"] = kRecordingSeconds / perRun;
  state.counters["cpu_s"] = cpuPerRun;
  if (const auto floor = measured.find({format, kNoFilters}); chain != kNoFilters && floor != measured.end()) {
    state.counters["x_floor"] = perRun / floor->second.first;
    state.counters["cpu_x_floor"] = cpuPerRun / floor->second.second;
  }
  if (const auto off = measured.find({format, kSettingsOff}); chain == kSettingsOn && off != measured.end()) {
    state.counters["x_off"] = perRun / off->second.first;
    state.counters["cpu_x_off"] = cpuPerRun / off->second.second;
  }
}

}  // namespace

// For each format the floor first, then the settings off, then on, so the ratios have theirs.
BENCHMARK(Decode)
    ->ArgsProduct({{0, 1}, {kNoFilters, kSettingsOff, kSettingsOn}})
    ->ArgNames({"mp3", "chain"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir made;
  folder = &made;
  if (!MakeRecordings()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Delay from a playerctl-style D-Bus call (Player.PlayPause from another connection) to the
// player command it makes in the window, against a floor measured in the same run: a bare method
// call to an empty handler on the same connection and event loop. Both go through a private
// dbus-daemon started for the run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QEventLoop>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "form1.h"
#include "platform/media_player.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_message_boxes.h"
#include "remote/remote_control.h"
#include "remote/remote_names.h"
#include "support/private_session_bus.h"

namespace {

using Clock = std::chrono::steady_clock;

// A player that only notes when it was told to play or pause.
class CommandClock : public MediaPlayer {
 public:
  void setURL(const QString&) override {}
  void play() override { Command(kPlaying); }
  void pause() override { Command(kPaused); }
  void stop() override { Command(kStopped); }
  double currentPosition() const override { return 0; }
  void setCurrentPosition(double) override {}
  int playState() const override { return state_; }
  QString durationString() const override { return {}; }
  double duration() const override { return 0; }
  void setBalance(int) override {}
  void setRate(double) override {}
  void setAudioSettings(const audio::AudioSettings&) override {}
  QWidget* view() override {
    if (view_.isNull()) view_ = new QWidget;
    return view_;
  }
  // The window takes the view as its child and deletes it with itself.
  ~CommandClock() override { delete view_.data(); }

  long commands = 0;
  Clock::time_point last;

 private:
  void Command(int state) {
    last = Clock::now();
    ++commands;
    state_ = state;
  }
  int state_ = kPaused;
  QPointer<QWidget> view_;
};

// The floor's handler: does nothing but count.
class Echo : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.quillmark.BenchEcho")
 public:
  long calls = 0;
  Clock::time_point last;
 public slots:
  Q_SCRIPTABLE void Ping() {
    last = Clock::now();
    ++calls;
  }
};

struct Bench {
  CommandClock player;
  QtFileDialog dialog{nullptr};
  QtMessageBoxes messages{nullptr};
  Echo echo;
  QDBusConnection client{QString()};
};
Bench* bench = nullptr;

// Sends one call and runs the event loop until `handled` has grown; the seconds from sending to
// `at`, the moment the handler noted.
template <typename Handled>
double OneCall(const QString& path, const QString& interface, const QString& method,
               Handled handled, const Clock::time_point& at) {
  const long before = handled();
  const auto start = Clock::now();
  const QDBusPendingCall pending = bench->client.asyncCall(
      QDBusMessage::createMethodCall(remote_names::kServiceName, path, interface, method));
  while (handled() == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return std::chrono::duration<double>(at - start).count();
}

double Average(double total, long count) { return count > 0 ? total / count : 0; }

void CallToHandler(benchmark::State& state) {
  const bool window = state.range(0) != 0;
  double total = 0;
  long count = 0;
  for (auto _ : state) {
    const double seconds =
        window ? OneCall(remote_names::kObjectPath, remote_names::kPlayerInterface, "PlayPause",
                         [] { return bench->player.commands; }, bench->player.last)
               : OneCall("/bench/echo", "org.quillmark.BenchEcho", "Ping",
                         [] { return bench->echo.calls; }, bench->echo.last);
    state.SetIterationTime(seconds);
    total += seconds;
    ++count;
  }
  state.counters["delay_us"] = Average(total, count) * 1e6;
  static double floor = 0;
  if (!window) floor = Average(total, count);
  if (window && floor > 0) state.counters["ratio_to_floor"] = Average(total, count) / floor;
}

}  // namespace

// The floor first, so the window's ratio has it.
BENCHMARK(CallToHandler)->Arg(0)->ArgName("bare_call")->UseManualTime()->Iterations(3000);
BENCHMARK(CallToHandler)->Arg(1)->ArgName("play_pause")->UseManualTime()->Iterations(3000);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PrivateSessionBus bus;
  QString error;
  if (!bus.Start(&error)) {
    std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
    return 1;
  }
  Bench state;
  bench = &state;
  QTemporaryDir folder;
  FormPlatform platform(state.player, state.dialog, state.messages);
  platform.programFolder = folder.path();
  platform.saveSettings = false;
  Form1 form(platform);
  form.Timer1->stop();
  form.Timer2->stop();
  QDBusConnection window = QDBusConnection::connectToBus(PrivateSessionBus::Address(), "window");
  RemoteControl remote(form, window);
  if (remote.Start() != RemoteControl::Claim::Claimed) {
    std::fprintf(stderr, "the window could not be put on the bus\n");
    return 1;
  }
  window.registerObject("/bench/echo", &state.echo, QDBusConnection::ExportScriptableSlots);
  state.client = QDBusConnection::connectToBus(PrivateSessionBus::Address(), "client");

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

#include "remote_latency_bench.moc"

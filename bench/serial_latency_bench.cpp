// Delay from a change of a modem line to the pedal handler (OnComm on the window thread), in the
// waiting and the polling watcher, against a floor measured in the same run: a bare thread woken
// through the same pipe that the scripted driver wait uses, handing off to this thread.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/tty_serial_control.h"
#include "support/scripted_modem_lines.h"

namespace {

using Clock = std::chrono::steady_clock;

// One event handed from a worker to the measuring thread.
class Handoff {
 public:
  void signal() {
    std::lock_guard lock(mutex_);
    ++count_;
    arrived_.notify_one();
  }
  void waitFor(long n) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return count_ >= n; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  long count_ = 0;
};

// The floor: a thread blocked in poll on a pipe, woken by a write, hands off to us.
double BareWakeupSeconds(int rounds) {
  int wake[2];
  if (::pipe(wake) != 0) return 0;
  Handoff handoff;
  std::atomic<bool> stop{false};
  std::thread waiter([&] {
    char byte;
    while (true) {
      pollfd fd{wake[0], POLLIN, 0};
      ::poll(&fd, 1, -1);
      if (::read(wake[0], &byte, 1) != 1 || stop) break;
      handoff.signal();
    }
  });
  const auto start = Clock::now();
  for (int i = 1; i <= rounds; ++i) {
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(wake[1], &byte, 1);
    handoff.waitFor(i);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count() / rounds;
  stop = true;
  const char byte = 1;
  [[maybe_unused]] auto n = ::write(wake[1], &byte, 1);
  waiter.join();
  ::close(wake[0]);
  ::close(wake[1]);
  return seconds;
}

void LineChangeToHandler(benchmark::State& state) {
  const bool driverCanWait = state.range(0) != 0;
  int master = -1, slave = -1;
  char name[128];
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    state.SkipWithError("no pty");
    return;
  }
  testing_support::ScriptedModemLines lines(driverCanWait);
  ::setenv("QUILLMARK_COM1", name, 1);
  TtySerialControl port(&testing_support::ScriptedModemLines::Ioctl);
  long handled = 0;
  QObject::connect(&port, &SerialControl::OnComm, [&] { ++handled; });
  port.CommPort = 1;
  if (port.SetPortOpen(true) != 0) {
    state.SkipWithError("cannot open the pty");
    return;
  }

  long events = 0;
  double total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    lines.set(events % 2 == 0 ? TIOCM_DSR : 0);
    ++events;
    while (handled < events) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    total += seconds;
    state.SetIterationTime(seconds);
  }
  port.SetPortOpen(false);
  ::close(master);
  ::close(slave);

  const double floor = BareWakeupSeconds(200);
  const double delay = total / static_cast<double>(events);
  state.counters["delay_us"] = delay * 1e6;
  state.counters["floor_us"] = floor * 1e6;
  state.counters["ratio_to_floor"] = floor > 0 ? delay / floor : 0;
}

}  // namespace

BENCHMARK(LineChangeToHandler)->Arg(1)->ArgName("waiting")->UseManualTime()->Iterations(500);
BENCHMARK(LineChangeToHandler)->Arg(0)->ArgName("polling")->UseManualTime()->Iterations(100);
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

#pragma once
// The pedal benchmarks' measurement: the delay from a switch's change to the OnComm handler on
// this thread, against a floor measured in the same run: a bare thread blocked in poll on a pipe,
// woken by a write, handing off to this thread. No pedal can be faster than the floor.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <functional>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/serial_control.h"

namespace bench_support {

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

// The median of `times`: a machine busy with other work stretches some rounds a lot, the median
// little.
inline double Median(std::vector<double> times) {
  if (times.empty()) return 0;
  std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2), times.end());
  return times[times.size() / 2];
}

// Seconds from a write to the pipe to the hand-off, the median of `rounds`.
inline double BareWakeupSeconds(int rounds) {
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
  using Clock = std::chrono::steady_clock;
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(rounds));
  for (int i = 1; i <= rounds; ++i) {
    const auto start = Clock::now();
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(wake[1], &byte, 1);
    handoff.waitFor(i);
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  stop = true;
  const char byte = 1;
  [[maybe_unused]] auto n = ::write(wake[1], &byte, 1);
  waiter.join();
  ::close(wake[0]);
  ::close(wake[1]);
  return Median(std::move(times));
}

// Each iteration makes the n-th change through `change(n)` (n from 0) and waits on this thread's
// event loop for the control's OnComm; then the median delay, the floor and their ratio are
// reported as counters.
inline void MeasureDelayToHandler(benchmark::State& state, SerialControl& control,
                                  const std::function<void(long)>& change) {
  using Clock = std::chrono::steady_clock;
  long handled = 0;
  const auto connection = QObject::connect(&control, &SerialControl::OnComm, [&] { ++handled; });
  long events = 0;
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(state.max_iterations));
  for (auto _ : state) {
    const auto start = Clock::now();
    change(events);
    ++events;
    while (handled < events) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    times.push_back(seconds);
    state.SetIterationTime(seconds);
  }
  QObject::disconnect(connection);

  const double floor = BareWakeupSeconds(500);
  const double delay = Median(std::move(times));
  state.counters["delay_us"] = delay * 1e6;
  state.counters["floor_us"] = floor * 1e6;
  state.counters["ratio_to_floor"] = floor > 0 ? delay / floor : 0;
}

}  // namespace bench_support

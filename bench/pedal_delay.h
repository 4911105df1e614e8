#pragma once
// The pedal benchmarks' measurement: the delay from a switch's change to the OnComm handler on
// this thread, against a floor measured in the same run: a bare thread blocked in poll on a pipe,
// woken by a write, waking this thread through another pipe. A pedal's path has the same two
// wake-ups and more.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/serial_control.h"

namespace bench_support {

// The median of `times`: a machine busy with other work stretches some rounds a lot, the median
// little.
inline double Median(std::vector<double> times) {
  if (times.empty()) return 0;
  std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2), times.end());
  return times[times.size() / 2];
}

// Seconds from a write to a pipe to this thread's wake-up, the median of `rounds`: a bare thread
// blocked in poll on the pipe reads the byte and writes one back through a second pipe, on which
// this thread waits in poll.
inline double BareWakeupSeconds(int rounds) {
  int there[2], back[2];
  if (::pipe(there) != 0) return 0;
  if (::pipe(back) != 0) {
    ::close(there[0]);
    ::close(there[1]);
    return 0;
  }
  const auto wait = [](int fd) {
    pollfd ready{fd, POLLIN, 0};
    ::poll(&ready, 1, -1);
    char byte;
    return ::read(fd, &byte, 1) == 1 && byte != 0;
  };
  const auto send = [](int fd, char byte) { [[maybe_unused]] auto n = ::write(fd, &byte, 1); };
  std::thread waiter([&] {
    while (wait(there[0])) send(back[1], 1);
  });
  using Clock = std::chrono::steady_clock;
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(rounds));
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    send(there[1], 1);
    wait(back[0]);
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  send(there[1], 0);  // stops the waiter
  waiter.join();
  for (const int fd : {there[0], there[1], back[0], back[1]}) ::close(fd);
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

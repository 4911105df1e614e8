#include "processor_pace.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

namespace waveform {
namespace {

// A rest is taken in slices this long, so a cancelled computation ends within one of them.
constexpr double kRestSliceSeconds = 0.01;
// Shorter rests wait until they add up to this: waking after every packet would cost the thread
// as much again as its work.
constexpr double kShortestRestSeconds = 0.2;

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double WallNow() { return Seconds(CLOCK_MONOTONIC); }
double ThreadProcessorNow() { return Seconds(CLOCK_THREAD_CPUTIME_ID); }

}  // namespace

ProcessorPace::ProcessorPace(Pace pace)
    : share_(pace.share),
      headStart_(pace.headStartSeconds),
      startWall_(WallNow()),
      startProcessor_(ThreadProcessorNow()) {}

double ProcessorPace::RestNeeded(double processorSeconds, double wallSeconds, double share,
                                 double headStartSeconds) {
  if (share <= 0) return 0;
  const double beyondHeadStart = processorSeconds - headStartSeconds;
  if (beyondHeadStart <= 0) return 0;
  return std::max(0.0, beyondHeadStart / share - wallSeconds);
}

void ProcessorPace::Keep(const std::atomic<bool>& stop) const {
  const double spent = ThreadProcessorNow() - startProcessor_;
  double rest = RestNeeded(spent, WallNow() - startWall_, share_, headStart_);
  if (rest < kShortestRestSeconds) return;
  while (rest > 0 && !stop.load(std::memory_order_relaxed)) {
    const double slice = std::min(rest, kRestSliceSeconds);
    std::this_thread::sleep_for(std::chrono::duration<double>(slice));
    rest -= slice;
  }
}

}  // namespace waveform

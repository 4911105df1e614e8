#pragma once
// Keeps a background thread's processor time to a share of the time since it began, after a
// head start: the envelope of a long recording is computed while it plays, and the first
// computation must not weigh on the player (or on the typist's editor) more than the bar's
// drawing does. The start of the recording comes at once; the rest follows well ahead of play.

#include <atomic>

namespace waveform {

// How a computation is paced: `share` of one processor (0.02 is 2 %; 0 leaves it unpaced) after
// `headStartSeconds` of processor time free.
struct Pace {
  double share = 0;
  double headStartSeconds = 0;
};

class ProcessorPace {
 public:
  // Counts from now, on the calling thread: construct it on the thread it paces.
  explicit ProcessorPace(Pace pace);

  // Seconds to rest so that `processorSeconds` spent over `wallSeconds` stays within the head
  // start plus the share of the wall time; 0 when the thread is within it.
  static double RestNeeded(double processorSeconds, double wallSeconds, double share,
                           double headStartSeconds);

  // Called between pieces of work on the paced thread: rests as long as the thread is ahead of
  // its share, in short slices, returning at once when `stop` is set.
  void Keep(const std::atomic<bool>& stop) const;

 private:
  double share_;
  double headStart_;
  double startWall_;
  double startProcessor_;
};

}  // namespace waveform

#pragma once
// One recording's envelope, computed on a thread of its own: read from the cache when it holds
// the file as it is now, else decoded and then stored there. The window keeps the job while the
// recording is open and reads the envelope as it grows; dropping or cancelling the job never
// waits for the thread, which finishes its packet, sees the request and ends by itself.

#include <atomic>
#include <filesystem>
#include <memory>

#include "envelope_decoder.h"

namespace waveform {

// A first computation runs beside playback and must cost it little: the first minutes of a
// recording come at once, the rest at 1 % of one processor, still ten or more times faster than
// it plays (an hour's MP3 in about four minutes; a WAV in seconds). The cache brings it back
// whole next time.
inline constexpr Pace kBackgroundPace{0.01, 0.2};

class EnvelopeJob {
 public:
  // Starts on `file`; `cacheFolder` empty keeps the cache out of it.
  static std::shared_ptr<EnvelopeJob> Start(const std::filesystem::path& file,
                                            const std::filesystem::path& cacheFolder,
                                            Pace pace = kBackgroundPace);

  // Asks the thread to stop; returns at once.
  void Cancel() { work_.cancelled.store(true); }

  const Envelope& envelope() const { return work_.envelope; }
  Outcome outcome() const { return work_.outcome.load(); }
  // The recording's length as its file gives it; 0 while unknown.
  double seconds() const { return work_.seconds.load(); }
  bool fromCache() const { return fromCache_.load(); }

  // Threads of jobs that have not ended yet, over the whole process.
  static int Running();

 private:
  EnvelopeJob() = default;
  void Run(const std::filesystem::path& file, const std::filesystem::path& cacheFolder);

  EnvelopeWork work_;
  std::atomic<bool> fromCache_{false};
};

}  // namespace waveform
